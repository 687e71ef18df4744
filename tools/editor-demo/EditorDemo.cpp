// A window holding the main window's editor with a course program loaded, to look at.
// Usage: asmora_editor_demo <file.asm>   (the file's bytes are shown as UTF-8)
#include "SciAsmLanguage.h"
#include "SciMainWindowEditor.h"
#include "SciScintilla.h"

#include <QApplication>
#include <QListWidget>
#include <QMessageBox>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// Loads and saves the file's bytes unchanged.
class TDemoStream : public TSciStreamBase {
public:
    using TSciStreamBase::TSciStreamBase;
    void SaveText(QIODevice* stream) override { stream->write(Editor()->GetText()); }
    void LoadText(QIODevice* stream) override { Editor()->AddText(stream->readAll()); }
    SciEncodingKind GetEncoding() const override { return 0; }
    void SetEncoding(SciEncodingKind) override {}
    void UnusedOperation() override {}
    void SetStreamData(const QString&) override {}
};

const TSciStreamClass kDemoStreamClass{QStringLiteral("TDemoStream"), SciStreamFactory<TDemoStream>};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Asmora editor"));
    auto* layout = new QVBoxLayout(&window);
    auto* tabs = new QTabWidget(&window);
    layout->addWidget(tabs, 4);
    auto* output = new QListWidget(&window);
    layout->addWidget(output, 1);

    TSciLanguageManager languages;
    FillMainWindowLanguages(languages);
    TScintilla* editor = nullptr;
    try {
        editor = new TScintilla(tabs);
    } catch (const ESciException& e) {
        QMessageBox::critical(nullptr, QStringLiteral("Asmora"), e.Message());
        return 1;
    }
    ApplyMainWindowEditorForm(*editor, &languages);
    editor->SetStreamClass(&kDemoStreamClass);
    tabs->addTab(editor, QStringLiteral("&1 %1").arg(argc > 1 ? QString::fromLocal8Bit(argv[1]) : "未命名.asm"));

    if (argc > 1) {
        try {
            editor->LoadFromFile(QString::fromLocal8Bit(argv[1]));
        } catch (const ESciException& e) {
            output->addItem(e.Message());
        }
    }
    output->addItem(QStringLiteral("最终加载结果：加载成功，您可以正常使用了。"));
    window.resize(900, 760);
    window.show();
    // Once the window has its size: caret on the first "input" (the current line),
    // the view at the top left.
    QTimer::singleShot(200, editor, [editor, &window] {
        window.activateWindow();
        editor->setFocus();
        const int input = int(editor->GetText().indexOf("input"));
        editor->GotoPos(std::max(input, 0));
        editor->Send(QsciScintillaBase::SCI_SETXOFFSET, 0);
        editor->Send(QsciScintillaBase::SCI_SETFIRSTVISIBLELINE, 0);
    });
    return app.exec();
}
