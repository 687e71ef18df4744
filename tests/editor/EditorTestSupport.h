// Test support for the editor tests: the Qt application, the carried editing library,
// a byte-for-byte test stream, views of the recorded message sequence, and the main
// window's editor as a fixture.
#pragma once

#include "SciAsmLanguage.h"
#include "SciAutoComplete.h"
#include "SciMainWindowEditor.h"
#include "SciScintilla.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>
#include <vector>

// The folder of the running test program, where the build copies SciLexer.dll.
QString TestProgramFolder();

// Copies every byte between the stream and the editor; counts its instances.
class TTestStream : public TSciStreamBase {
public:
    explicit TTestStream(TScintillaBase* editor);
    ~TTestStream() override;
    void SaveText(QIODevice* stream) override;
    void LoadText(QIODevice* stream) override;
    SciEncodingKind GetEncoding() const override { return kind_; }
    void SetEncoding(SciEncodingKind kind) override { kind_ = kind; }
    void UnusedOperation() override {}
    void SetStreamData(const QString&) override {}

    static const TSciStreamClass StreamClass;
    static int Alive;

private:
    SciEncodingKind kind_ = 0;
};

// Like TTestStream, but fails half-way: it loads or writes the first 3 bytes, then throws.
class TFailingStream : public TTestStream {
public:
    using TTestStream::TTestStream;
    void SaveText(QIODevice* stream) override;
    void LoadText(QIODevice* stream) override;

    static const TSciStreamClass StreamClass;
};

// The message numbers of a recorded sequence, in order.
std::vector<unsigned> Codes(const std::vector<TSciMessage>& messages);
// Only the messages whose number is in `wanted`, in order.
std::vector<TSciMessage> Only(const std::vector<TSciMessage>& messages, std::initializer_list<unsigned> wanted);
// The first recorded message with this number; fails the test when there is none.
TSciMessage First(const std::vector<TSciMessage>& messages, unsigned msg);

// A TScintilla whose protected handler slots tests may call directly.
class TTestScintilla : public TScintilla {
public:
    using TScintilla::TScintilla;
    void MarginClick(int modifiers, int line, int margin = 2) {
        DoMarginClick(modifiers, PositionFromLine(line), margin);
    }
    void UpdateUI() { DoUpdateUI(); }
};

// Writes `bytes` to a file, replacing it.
void WriteFile(const QString& path, const QByteArray& bytes);
QByteArray ReadFile(const QString& path);

// The main window's editor: its languages, its settings and its auto-completion,
// applied as the main window applies them.
class MainWindowEditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        FillMainWindowLanguages(languages);
        ApplyMainWindowEditorForm(editor, &languages);
        ApplyMainWindowAutoComplete(complete, &editor);
    }

    TSciLanguageManager languages;
    TScintilla editor;
    TSciAutoComplete complete;
};
