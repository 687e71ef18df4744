// Test support for the document tests: the editing library in a temporary program
// folder, and files written and read as raw bytes. The QApplication comes from the
// test main (QTAPP).
#pragma once

#include <QString>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>
#include <string>

class TSciDocumentTabControl;
class TScintillaMemo;

// Loads the editing library once per test process.
void EnsureEditorEnvironment();

// A fresh temporary folder for the files of one test.
class TestFolder {
public:
    QString Path(const QString& name) const { return dir_.filePath(name); }
    QString Write(const QString& name, const std::string& bytes) const;

private:
    QTemporaryDir dir_;
};

std::string ReadBytes(const QString& path);

// A window holding the document tabs, and an editor that loads and saves through the
// program's stream; a test attaches the editor to the tabs when it needs them joined.
class DocumentTabsTest : public ::testing::Test {
protected:
    void SetUp() override;

    std::unique_ptr<QWidget> window;
    TSciDocumentTabControl* tabs = nullptr;
    TScintillaMemo* editor = nullptr;
};
