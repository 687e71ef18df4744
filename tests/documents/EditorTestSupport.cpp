// Qt application and editing library for the document tests.
#include "EditorTestSupport.h"

#include "SciScintillaBase.h"

#include <QApplication>
#include <QFile>
#include <gtest/gtest.h>

#include <memory>

namespace {

struct EditorEnvironmentState {
    int argc = 1;
    char name[24] = "asmora_documents_tests";
    char *argv[2] = {name, nullptr};
    std::unique_ptr<QApplication> app;
    std::unique_ptr<QTemporaryDir> programFolder;
};

EditorEnvironmentState &State()
{
    static EditorEnvironmentState state;
    return state;
}

// Ends the application after the last test, before static objects go away.
class EditorEnvironment : public ::testing::Environment {
public:
    void TearDown() override
    {
        State().app.reset();
        State().programFolder.reset();
    }
};

[[maybe_unused]] const ::testing::Environment *const kRegistered =
    ::testing::AddGlobalTestEnvironment(new EditorEnvironment);

}  // namespace

void EnsureEditorEnvironment()
{
    EditorEnvironmentState &state = State();
    if (state.app) return;
    state.app = std::make_unique<QApplication>(state.argc, state.argv);
    state.programFolder = std::make_unique<QTemporaryDir>();
    const QString library = state.programFolder->filePath(QStringLiteral("SciLexer.dll"));
    ASSERT_TRUE(QFile::copy(TSciLibrary::SciLinkedLibraryPath(), library));
    ASSERT_TRUE(TSciLibrary::Load(state.programFolder->path()));
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
