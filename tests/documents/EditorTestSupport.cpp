// Qt application and editing library for the document tests.
#include "EditorTestSupport.h"

#include "SciScintillaBase.h"

#include <QApplication>
#include <QFile>
#include <gtest/gtest.h>

#include <memory>

void EnsureEditorEnvironment()
{
    static int argc = 1;
    static char name[] = "asmora_documents_tests";
    static char *argv[] = {name, nullptr};
    static std::unique_ptr<QApplication> app;
    static std::unique_ptr<QTemporaryDir> programFolder;
    if (app) return;
    app = std::make_unique<QApplication>(argc, argv);
    programFolder = std::make_unique<QTemporaryDir>();
    const QString library = programFolder->filePath(QStringLiteral("SciLexer.dll"));
    ASSERT_TRUE(QFile::copy(TSciLibrary::SciLinkedLibraryPath(), library));
    ASSERT_TRUE(TSciLibrary::Load(programFolder->path()));
}

QString TestFolder::Write(const QString &name, const std::string &bytes) const
{
    const QString path = Path(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) ADD_FAILURE() << "cannot create " << path.toStdString();
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    return path;
}

std::string ReadBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return "<missing>";
    const QByteArray bytes = file.readAll();
    return bytes.toStdString();
}
