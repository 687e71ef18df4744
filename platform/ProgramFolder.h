// The program folder and the files the program keeps in it: `bin/` with the tool kit,
// the settings, the cleanup list, the console template and the run batch, and
// `Backup.dat` beside the program. Every path under the program folder is made here.
//
//   <program folder>/SciLexer.dll
//   <program folder>/Backup.dat
//   <program folder>/bin/setting.ini  Rubish.ini  ExecM.dll  ml.bat  windbg.exe ...
#pragma once

#include <QString>
#include <QStringView>

namespace platform {

class ProgramFolder {
public:
    ProgramFolder() = default;
    // `path` without a trailing separator.
    explicit ProgramFolder(QString path) : path_(std::move(path)) {}

    const QString& path() const { return path_; }
    // A path relative to the program folder, as the carried-file table writes them
    // ("bin/io.h", "SciLexer.dll").
    QString file(QStringView relative) const;

    QString bin() const;
    QString inBin(QStringView fileName) const;

    QString settingsFile() const { return inBin(u"setting.ini"); }
    QString cleanupList() const { return inBin(u"Rubish.ini"); }
    QString consoleTemplate() const { return inBin(u"ExecM.dll"); }
    QString runBatch() const { return inBin(u"ml.bat"); }
    QString debugger() const { return inBin(u"windbg.exe"); }
    QString ioObject() const { return inBin(u"io.obj"); }
    QString kernel32Library() const { return inBin(u"kernel32.lib"); }
    QString helpFile() const { return inBin(u"Asmora帮助.hlp"); }
    // The help index file beside the help file, removed at exit.
    QString helpIndex() const { return inBin(u"Asmora帮助.GID"); }
    QString icon() const { return inBin(u"asm.ico"); }
    // The editable form of the console template, kept beside the program.
    QString templateBackup() const { return file(u"Backup.dat"); }

private:
    QString path_;
};

}  // namespace platform
