// Test support for the document tests: the editing library in a temporary program
// folder, and files written and read as raw bytes. The QApplication comes from the
// test main (QTAPP).
#pragma once

#include <QString>
#include <QTemporaryDir>
#include <string>

// Loads the editing library once per test process.
void EnsureEditorEnvironment();

// A fresh temporary folder for the files of one test.
class TestFolder {
public:
    QString Path(const QString &name) const { return dir_.filePath(name); }
    QString Write(const QString &name, const std::string &bytes) const;

private:
    QTemporaryDir dir_;
};

std::string ReadBytes(const QString &path);
