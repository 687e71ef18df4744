// The stream interface through which the editor loads and saves its text.
#pragma once

#include <QIODevice>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

class TScintillaBase;

// An encoding kind number (0 ANSI, 1 and 2 UTF-16 with BOM, 3 UTF-8 with BOM,
// 4 UTF-8 by coding cookie, 5 and 6 UTF-16 without BOM).
using SciEncodingKind = std::uint8_t;

// Moves text between an open byte stream and the editor it serves. The editor owns
// its one stream object (its `Streamer`) and creates it from its `StreamClass`.
// The byte stream handed to LoadText and SaveText is an open QIODevice: a file opened
// for reading, or a file being written that the editor commits only after SaveText
// returns. Failures are raised as exceptions and reach the caller of the editor's
// LoadFromFile or SaveToFile.
class TSciStreamBase {
public:
    explicit TSciStreamBase(TScintillaBase* editor) : editor_(editor) {}
    virtual ~TSciStreamBase() = default;
    TSciStreamBase(const TSciStreamBase&) = delete;
    TSciStreamBase& operator=(const TSciStreamBase&) = delete;

    // Writes the editor's whole text to a writable stream.
    virtual void SaveText(QIODevice* stream) = 0;
    // Reads the whole stream into the editor, whose text is already empty.
    virtual void LoadText(QIODevice* stream) = 0;
    virtual SciEncodingKind GetEncoding() const = 0;
    virtual void SetEncoding(SciEncodingKind kind) = 0;
    // Kept for stream classes that need a hook here; nothing calls it.
    virtual void UnusedOperation() = 0;
    // A text a stream class may keep per document; the document tabs hand it back
    // when a document becomes active again.
    virtual void SetStreamData(const QString& text) = 0;

    TScintillaBase* Editor() const { return editor_; }

private:
    TScintillaBase* editor_;
};

// Stands for a class reference: the name of a stream class and how to make one.
// Each stream class publishes one constant of this type, for example
//   const TSciStreamClass TSciStreamDefault::StreamClass{"TSciStreamDefault",
//       SciStreamFactory<TSciStreamDefault>};
// and the editor is given its address: Edit3->SetStreamClass(&TSciMyStream::StreamClass).
// A factory may return null; the editor then reports that no streamer could be made.
struct TSciStreamClass {
    QString Name;
    std::function<std::unique_ptr<TSciStreamBase>(TScintillaBase* editor)> Create;
};

// Null means "no class assigned".
using TSciStreamClassRef = const TSciStreamClass*;

template <class StreamT>
std::unique_ptr<TSciStreamBase> SciStreamFactory(TScintillaBase* editor) {
    return std::make_unique<StreamT>(editor);
}
