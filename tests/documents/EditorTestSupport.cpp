// The editing library and raw files for the document tests.
#include "EditorTestSupport.h"

#include "MyEditFileClasses.h"
#include "SciDocTabCtrl.h"
#include "SciScintillaBase.h"

#include <QFile>
#include <gtest/gtest.h>

void EnsureEditorEnvironment() {
    // The library is copied once into a program folder that lives as long as the process.
    static QTemporaryDir programFolder;
    if (TSciLibrary::IsLoaded()) return;
    const QString library = programFolder.filePath(QStringLiteral("SciLexer.dll"));
    ASSERT_TRUE(QFile::copy(TSciLibrary::SciLinkedLibraryPath(), library));
    ASSERT_TRUE(TSciLibrary::Load(programFolder.path()));
}

QString TestFolder::Write(const QString& name, const std::string& bytes) const {
    const QString path = Path(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) ADD_FAILURE() << "cannot create " << path.toStdString();
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    return path;
}

std::string ReadBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return "<missing>";
    const QByteArray bytes = file.readAll();
    return bytes.toStdString();
}

void DocumentTabsTest::SetUp() {
    EnsureEditorEnvironment();
    window = std::make_unique<QWidget>();
    tabs = new TSciDocumentTabControl(window.get());
    editor = new TScintillaMemo();
    editor->SetStreamClass(&TSciMyStream::StreamClass);
}
