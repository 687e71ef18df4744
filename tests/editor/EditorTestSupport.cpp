// Test support for the editor tests.
#include "EditorTestSupport.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

// One QApplication for the whole test program, on the platform the test runner chose.
class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        // Window tests run on Qt's offscreen platform unless the runner chose one.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "asmora_editor_tests";
        static char* argv[] = {name, nullptr};
        app_ = new QApplication(argc, argv);
        TSciLibrary::Load(TestProgramFolder());
    }
    void TearDown() override {
        delete app_;
        app_ = nullptr;
    }

private:
    QApplication* app_ = nullptr;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace

QString TestProgramFolder() {
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath()).absolutePath();
}

// ---- test streams ---------------------------------------------------------------------

int TTestStream::Alive = 0;
const TSciStreamClass TTestStream::StreamClass{QStringLiteral("TTestStream"), SciStreamFactory<TTestStream>};
const TSciStreamClass TFailingStream::StreamClass{QStringLiteral("TFailingStream"), SciStreamFactory<TFailingStream>};

TTestStream::TTestStream(TScintillaBase* editor) : TSciStreamBase(editor) { ++Alive; }
TTestStream::~TTestStream() { --Alive; }

void TTestStream::SaveText(QIODevice* stream) { stream->write(Editor()->GetText()); }

void TTestStream::LoadText(QIODevice* stream) { Editor()->AddText(stream->readAll()); }

void TFailingStream::SaveText(QIODevice* stream) {
    stream->write(Editor()->GetText().left(3));
    throw ESciException(QStringLiteral("disk full"));
}

void TFailingStream::LoadText(QIODevice* stream) {
    Editor()->AddText(stream->read(3));
    throw ESciException(QStringLiteral("bad bytes"));
}

// ---- recorded messages ----------------------------------------------------------------

std::vector<unsigned> Codes(const std::vector<TSciMessage>& messages) {
    std::vector<unsigned> codes;
    for (const TSciMessage& m : messages) codes.push_back(m.Msg);
    return codes;
}

std::vector<TSciMessage> Only(const std::vector<TSciMessage>& messages, std::initializer_list<unsigned> wanted) {
    std::vector<TSciMessage> kept;
    for (const TSciMessage& m : messages)
        if (std::find(wanted.begin(), wanted.end(), m.Msg) != wanted.end()) kept.push_back(m);
    return kept;
}

TSciMessage First(const std::vector<TSciMessage>& messages, unsigned msg) {
    for (const TSciMessage& m : messages)
        if (m.Msg == msg) return m;
    ADD_FAILURE() << "message " << msg << " was not sent";
    return {};
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}
