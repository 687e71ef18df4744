// The main window: layout, start-up sequence, drop, maximised state, resize, close,
// view switches and the execute button.
#include "Unit1.h"

#include "app/CarriedFiles.h"
#include "app/CleanupList.h"
#include "app/MainMenuTable.h"
#include "app/SkinMenu.h"
#include "app/StartupFile.h"
#include "build/CommandRunner.h"
#include "build/OutputList.h"
#include "documents/DocumentCommands.h"
#include "platform/DialogService.h"
#include "platform/Errors.h"
#include "platform/Paths.h"
#include "platform/ShellService.h"
#include "skins/WindowFonts.h"

#include "documents/MyEditFileClasses.h"
#include "documents/SciDocTabCtrl.h"
#include "editor/SciAsmLanguage.h"
#include "editor/SciLanguageManager.h"
#include "editor/SciMainWindowEditor.h"
#include "editor/SciScintilla.h"
#include "editor/SciAutoComplete.h"
#include "editor/SciSearchReplace.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QFile>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QWindowStateChangeEvent>

namespace asmora::app {
namespace {

const QString kCaption = QStringLiteral("80X86Asmora\u3000V2009 Build 3.818 [修正版]");
const QString kFinalLine = QStringLiteral("最终加载结果：加载成功，您可以正常使用了。");

// Sizes of the stored window layout, in pixels.
constexpr int kTopBarHeight = 49;
constexpr int kRightColumnWidth = 104;
constexpr int kBottomAreaHeight = 171;
constexpr int kCheckRowHeight = 24;
constexpr int kCommandRowHeight = 31;
constexpr int kGap = 10;

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption, QRect geometry) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

QWidget* makePanel(QWidget* parent, const char* name) {
    auto* panel = new QWidget(parent);
    panel->setObjectName(QString::fromLatin1(name));
    return panel;
}

}  // namespace

TForm1::TForm1(const platform::ProgramFolder& programFolder, Services services, QWidget* parent)
    : QMainWindow(parent), programFolder_(programFolder), services_(services), settings_(programFolder) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(kCaption);
    resize(680, 560);
    setMinimumSize(640, 560);
    setFont(skins::songTi(12));
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    runner_ = new build::TCommandRunner(this);
    buildMenus();
    buildPopupMenu();
    buildLayout();
    connectHandlers();
    connectBuildHandlers();
    connectDocumentHandlers();
    connectNavigationHandlers();
}

TForm1::~TForm1() = default;

// ----------------------------------------------------------------------------------
// Layout

void TForm1::buildMenus() {
    for (const MenuRow& row : mainMenus()) {
        QMenu* menu = menuBar()->addMenu(QString::fromUtf16(row.caption));
        menu->setObjectName(QString::fromLatin1(row.name));
        menus_[row.id] = menu;
        if (*row.shortcut) {
            auto* own = new QAction(this);
            own->setObjectName(QString::fromLatin1(row.name));
            own->setShortcut(QKeySequence(QString::fromLatin1(row.shortcut)));
            addAction(own);
            actions_[row.id] = own;
        }
    }
    for (const MenuItemRow& row : mainMenuItems()) {
        QMenu* owner = menus_.at(row.menu);
        const QString name = QString::fromLatin1(row.name);
        if (row.submenu) {
            QMenu* sub = owner->addMenu(QString::fromUtf16(row.caption));
            sub->setObjectName(name);
            menus_[row.id] = sub;
        } else {
            QAction* item = owner->addAction(QString::fromUtf16(row.caption));
            item->setObjectName(name);
            item->setCheckable(row.checkable);
            if (*row.shortcut) item->setShortcut(QKeySequence(QString::fromLatin1(row.shortcut)));
            actions_[row.id] = item;
        }
        if (row.separatorAfter) owner->addSeparator();
    }
    action(MenuId::Open)->setStatusTip(QStringLiteral("Open|Opens an existing file"));
}

void TForm1::buildPopupMenu() {
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QString::fromLatin1(popupMenu().name));
    for (const MenuItemRow& row : popupMenuItems()) {
        QAction* item = PopupMenu1->addAction(QString::fromUtf16(row.caption));
        item->setObjectName(QString::fromLatin1(row.name));
        // Shown beside the caption; the editor's own key map handles the keys.
        item->setShortcut(QKeySequence(QString::fromLatin1(row.shortcut)));
        item->setShortcutContext(Qt::WidgetShortcut);
        actions_[row.id] = item;
        if (row.separatorAfter) PopupMenu1->addSeparator();
    }
}

void TForm1::buildLayout() {
    central_ = new QWidget(this);
    setCentralWidget(central_);
    buildTopBar();
    buildButtonColumn();
    buildCommandArea();
    buildEditor();
}

// The top bar: the directory box and the open button.
void TForm1::buildTopBar() {
    Panel5 = makePanel(central_, "Panel5");
    Label1 = new QLabel(QStringLiteral("文件所在目录："), Panel5);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(8, 17, 96, 16);
    Edit1 = new QLineEdit(Panel5);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setReadOnly(true);
    Edit1->setToolTip(QStringLiteral("此处不能手动修改，只起提示作用。"));
    Edit1->setGeometry(104, 14, 400, 21);
    Panel7 = makePanel(Panel5, "Panel7");
    ButtonOpen = makeButton(Panel7, "ButtonOpen", QStringLiteral("打  开"), QRect(8, 12, 75, 25));
}

// The right column of command buttons.
void TForm1::buildButtonColumn() {
    Panel8 = makePanel(central_, "Panel8");
    struct ButtonRow {
        QPushButton** slot;
        const char* name;
        const char16_t* caption;
    };
    const ButtonRow columns[] = {
        {&Button1, "Button1", u"编  译"},         {&Button2, "Button2", u"链  接"},
        {&Button3, "Button3", u"运行程序"},       {&Button12, "Button12", u"调试WinDBG"},
        {&Button13, "Button13", u"清除冗余文件"}, {&Button4, "Button4", u"调整DOS界面"},
        {&Button6, "Button6", u"显示List文件"},
    };
    int top = 22;
    for (const ButtonRow& row : columns) {
        *row.slot = makeButton(Panel8, row.name, QString::fromUtf16(row.caption), QRect(8, top, 89, 25));
        top += 32;
    }
}

// The bottom area: the auto-execution switch, the command box with its button and
// the output list.
void TForm1::buildCommandArea() {
    Panel1 = makePanel(central_, "Panel1");
    CheckBox1 = new QCheckBox(
        QStringLiteral("点击“汇编”或“链接”按钮后，自动执行汇编指令；如不，需手动点击“执行”按钮方可生效。"), Panel1);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setChecked(true);
    Panel2 = makePanel(Panel1, "Panel2");
    Panel3 = new QLabel(QStringLiteral("汇编指令："), Panel2);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    Panel3->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Edit2 = new QLineEdit(Panel2);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->setToolTip(QStringLiteral("可以直接输入指令，然后运行。(跨目录编译须输入完整的路径，不推荐直接输入指令)"));
    Edit2->setStyleSheet(QStringLiteral("color: navy;"));
    Edit2->installEventFilter(this);
    Panel4 = makePanel(Panel2, "Panel4");
    Button5 = makeButton(Panel4, "Button5", QStringLiteral("执 行"), QRect(4, 3, 69, 25));
    Button5->setFont(skins::songTi(12, true));
    Button5->setStyleSheet(QStringLiteral("color: navy;"));
    ListBox1 = new build::TOutputList(Panel1);
    ListBox1->setFont(skins::songTi(12));
    ListBox1->setStyleSheet(QStringLiteral("color: navy;"));
}

// The document tab with the editor, its languages, search and completion.
void TForm1::buildEditor() {
    TabControl1 = new TSciDocumentTabControl(central_);
    TabControl1->setObjectName(QStringLiteral("TabControl1"));
    // The editing library was written beside the program by the entry; the editor
    // refuses to start without it.
    TSciLibrary::Load(programFolder_.path());
    LMG = new TSciLanguageManager(this);
    FillMainWindowLanguages(*LMG);
    Edit3 = new TScintilla(TabControl1);
    Edit3->setObjectName(QStringLiteral("Edit3"));
    ApplyMainWindowEditorForm(*Edit3, LMG);
    SciSearchReplace1 = new TSciSearchReplace(this);
    SciSearchReplace1->SetEditor(Edit3);
    SciAutoComplete1 = new TSciAutoComplete(this);
    ApplyMainWindowAutoComplete(*SciAutoComplete1, Edit3);
    Edit3->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Edit3, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->popup(Edit3->mapToGlobal(at)); });
    TabControl1->SetDefaultExt(QStringLiteral(".asm"));
    TabControl1->SetEditor(Edit3);
}

// Places the docked regions as the stored layout aligns them: the top bar and the
// bottom area span the window, the button column stands at the right between them
// and the document tabs fill the rest.
void TForm1::arrangePanels() {
    if (!central_) return;
    QRect free = central_->rect();
    if (Panel5->isVisibleTo(this)) {
        Panel5->setGeometry(free.left(), free.top(), free.width(), kTopBarHeight);
        free.setTop(free.top() + kTopBarHeight);
    }
    if (Panel1->isVisibleTo(this)) {
        Panel1->setGeometry(free.left(), free.bottom() - kBottomAreaHeight + 1, free.width(), kBottomAreaHeight);
        free.setBottom(free.bottom() - kBottomAreaHeight);
    }
    if (Panel8->isVisibleTo(this)) {
        Panel8->setGeometry(free.right() - kRightColumnWidth + 1, free.top(), kRightColumnWidth, free.height());
        free.setRight(free.right() - kRightColumnWidth);
    }
    TabControl1->setGeometry(free);

    Panel7->setGeometry(Panel5->width() - 91, 0, 91, kTopBarHeight);
    CheckBox1->setGeometry(8, 2, Panel1->width() - 16, kCheckRowHeight - 4);
    Panel2->setGeometry(0, kCheckRowHeight, Panel1->width(), kCommandRowHeight);
    Panel3->setGeometry(0, 0, 80, kCommandRowHeight);
    Edit2->setGeometry(80, 5, 400, 21);
    Panel4->setGeometry(Panel2->width() - 77, 0, 77, kCommandRowHeight);
    ListBox1->setGeometry(0, kCheckRowHeight + kCommandRowHeight, Panel1->width(),
                          kBottomAreaHeight - kCheckRowHeight - kCommandRowHeight);
    FormResize();
}

void TForm1::FormResize() {
    Edit2->resize(Panel4->x() - Edit2->x() - kGap, Edit2->height());
    Edit1->resize(Panel7->x() - Edit1->x() - kGap, Edit1->height());
}

void TForm1::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    arrangePanels();
}

// ----------------------------------------------------------------------------------
// Wiring

void TForm1::connectHandlers() {
    auto on = [this](MenuId item, void (TForm1::*handler)()) {
        connect(action(item), &QAction::triggered, this, guardedSlot(handler));
    };
    on(MenuId::HideButtonColumn, &TForm1::N21Click);
    on(MenuId::HideCommandArea, &TForm1::N22Click);
    on(MenuId::HideFolderBar, &TForm1::N23Click);
    on(MenuId::SkipToolKitCheck, &TForm1::N25Click);
    on(MenuId::SkipDebugTips, &TForm1::N27Click);
    on(MenuId::SkinsOff, &TForm1::N29Click);
    on(MenuId::CheckToolKit, &TForm1::N26Click);
    on(MenuId::Find, &TForm1::N5Click);
    on(MenuId::FindNext, &TForm1::N8Click);
    on(MenuId::Replace, &TForm1::N6Click);
    on(MenuId::Associate, &TForm1::ASM1Click);
    on(MenuId::AboutAuthor, &TForm1::A1Click);
    on(MenuId::About, &TForm1::A1Click);
    connect(Button5, &QPushButton::clicked, this, [this] {
        if (runner_->isRunning())
            runner_->stop();
        else
            guarded([this] { Button7Click(); });
    });
    connect(CheckBox1, &QCheckBox::clicked, this, [this] { guarded([this] { CheckBox1Click(); }); });
    connect(runner_, &build::TCommandRunner::runningChanged, this, &TForm1::setBusy);
    central_->installEventFilter(this);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Edit2 && event->type() == QEvent::KeyPress) Edit2KeyDown();
    if (watched == central_ && event->type() == QEvent::Resize) arrangePanels();
    if (isEditorKey(watched, event)) Edit3KeyDown();
    if (watched == ListBox1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            guarded([this] { ListBox1DblClick(ListBox1->currentRow()); });
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::guarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const platform::Error& error) {
        showError(error.message());
    } catch (const std::exception& error) {
        showError(QString::fromLocal8Bit(error.what()));
    }
}

std::function<void()> TForm1::guardedSlot(void (TForm1::*handler)()) {
    return [this, handler] { guarded([this, handler] { (this->*handler)(); }); };
}

void TForm1::showError(const QString& message) {
    services_.dialogs.messageBox(this, message, QStringLiteral("80X86Asmora"), platform::MessageIcon::Error,
                                 platform::MessageButtons::Ok);
}

// While a child runs, nothing else that runs a tool or changes files may start; the
// execute button becomes the stop button.
void TForm1::setBusy(bool busy) {
    for (const auto& [id, item] : actions_) item->setEnabled(!busy);
    for (QPushButton* button : {Button1, Button2, Button3, Button12, Button13, Button4, Button6, ButtonOpen})
        button->setEnabled(!busy);
    Button5->setText(busy ? QStringLiteral("停 止") : QStringLiteral("执 行"));
    setAcceptDrops(!busy && acceptDrops());
    emit busyChanged(busy);
    if (!busy && closeWhenIdle_) QTimer::singleShot(0, this, &QWidget::close);
}

void TForm1::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && runner_->isRunning()) {
        runner_->stop();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

// ----------------------------------------------------------------------------------
// Start-up

void TForm1::FormCreate(const QStringList& arguments) {
    creating_ = true;
    try {
        hide();  // 1
        SkinMenu = new TSkinMenu(
            menu(MenuId::SkinChoice), action(MenuId::SkinsOff), settings_,
            [this](QAction* item) {  // 2
                guarded([this, item] { ClearBlue1Click(item); });
            },
            this);
        SkinMenu->startBuilder();
        Edit3->SetStreamClass(&TSciMyStream::StreamClass);  // 3
        move(screen()->availableGeometry().center() - rect().center());
        Edit3->SetCodePage(0);
        QDir::setCurrent(programFolder_.path());                    // 4
        const QString startupFile = resolveStartupFile(arguments);  // 5
        if (!QDir().mkpath(programFolder_.bin()))                   // 6
            throw platform::Error(QStringLiteral("无法创建文件夹 %1").arg(programFolder_.bin()));
        document_.SetPath(QString());                // 7
        const TCleanupList cleanup(programFolder_);  // 8
        if (QFile::exists(cleanup.path())) cleanup.process();
        cleanup.reset();
        show();                  // 9
        applyStartupSettings();  // 10
        warnAboutBrokenSettings();
        ListBox1->addRow(kFinalLine);                       // 11
        setAcceptDrops(true);                               // 12
        E1Click();                                          // 13
        Edit3->SetSelectedLanguage(QStringLiteral("ASM"));  // 14
        setDocumentCaption(TDocumentCommands::kUntitledCaption);
        openStartupFile(startupFile, cleanup);  // 15
        offerBackupRecovery();                  // 16
        ListBox1->setHorizontalExtent(2000);    // 17
        show();                                 // 18
    } catch (const platform::Error& error) {
        show();
        showError(error.message());
    } catch (const std::exception& error) {
        show();
        showError(QString::fromLocal8Bit(error.what()));
    }
    arrangePanels();
    creating_ = false;
}

// The switches of bin/setting.ini as the window shows them: the tool-kit check,
// the maximised window, the debugging tips, the hidden panels, auto-execution.
void TForm1::applyStartupSettings() {
    const bool skipCheck = settings_.read(Switch::SkipToolKitCheck);
    action(MenuId::SkipToolKitCheck)->setChecked(skipCheck);
    if (!skipCheck) N26Click();
    if (settings_.read(Switch::StartMaximised)) setWindowState(windowState() | Qt::WindowMaximized);
    action(MenuId::SkipDebugTips)->setChecked(settings_.read(Switch::SkipDebugTips));
    const struct {
        MenuId item;
        Switch key;
        QWidget* pane;
    } panes[] = {
        {MenuId::HideFolderBar, Switch::HideFolderBar, Panel5},
        {MenuId::HideButtonColumn, Switch::HideButtonColumn, Panel8},
        {MenuId::HideCommandArea, Switch::HideCommandArea, Panel1},
    };
    for (const auto& pane : panes) {
        const bool hidden = settings_.read(pane.key);
        action(pane.item)->setChecked(hidden);
        pane.pane->setVisible(!hidden);
    }
    CheckBox1->setChecked(settings_.read(Switch::RunBuildCommandsAtOnce));
}

// A settings file that cannot be used leaves every switch at its default; the user
// is told once at start-up, and the tool-kit check names it as well.
void TForm1::warnAboutBrokenSettings() {
    const QString problem = settings_.problem();
    if (problem.isEmpty()) return;
    services_.dialogs.messageBox(this, settings_.problemWarning(problem), QStringLiteral("设置文件错误"),
                                 platform::MessageIcon::Warning, platform::MessageButtons::Ok);
}

// The file named on the command line, when it exists, is opened if it is a source.
void TForm1::openStartupFile(const QString& startupFile, const TCleanupList& cleanup) {
    if (startupFile.isEmpty() || !platform::fileExists(startupFile)) return;
    if (platform::extensionOf(startupFile).toLower() != u".asm") {
        services_.dialogs.messageBox(this, QStringLiteral("启动文件不是ASM汇编源文件，不能自动加载使用。"),
                                     QStringLiteral("错误提示"), platform::MessageIcon::Warning,
                                     platform::MessageButtons::Ok);
        return;
    }
    cleanup.addRecord(startupFile);
    documents_->OpenDocument(startupFile);
    documents_->ShowFolderOf(startupFile);
}

// A console template backup (Backup.dat) in the program folder: offer to restore the
// template from it; the backup goes either way.
void TForm1::offerBackupRecovery() {
    const QString backup = programFolder_.templateBackup();
    if (!QFile::exists(backup)) return;
    const int answer = services_.dialogs.messageBox(
        this, QStringLiteral("发现DOS界面备份文件，请问是否使用该备份文件恢复？"),
        QStringLiteral("发现DOS界面备份文件"), platform::MessageIcon::Information, platform::MessageButtons::YesNo);
    if (answer == platform::IdYes) Recovery();  // an error keeps Backup.dat for the next start
    QFile::remove(backup);
}

// ----------------------------------------------------------------------------------
// Execute button and command box

void TForm1::Button7Click() { executeCommandBox(); }

void TForm1::executeCommandBox() {
    if (!CheckBox1->isChecked()) ListBox1->clear();
    const QString command = Edit2->text();
    if (command.isEmpty()) return;
    ListBox1->addRow(QStringLiteral("运行指令：") + programFolder_.path() + u'>' + command +
                     QStringLiteral("\r\n\r\n"));
    ListBox1->addRow(QString());
    runner_->RunDosCommand(command, *ListBox1);
    ListBox1->selectLast();
}

void TForm1::Edit2KeyDown() { ListBox1->clear(); }

// ----------------------------------------------------------------------------------
// View switches and settings

void TForm1::writeSwitch(Switch key, bool on) { settings_.write(key, on); }

void TForm1::toggleSwitch(QAction* item, Switch key, QWidget* pane) {
    if (pane) {
        pane->setVisible(!pane->isVisibleTo(this));
        arrangePanels();
    }
    // A triggered checkable action has flipped its mark already.
    writeSwitch(key, item->isChecked());
}

void TForm1::N21Click() { toggleSwitch(action(MenuId::HideButtonColumn), Switch::HideButtonColumn, Panel8); }
void TForm1::N22Click() { toggleSwitch(action(MenuId::HideCommandArea), Switch::HideCommandArea, Panel1); }
void TForm1::N23Click() { toggleSwitch(action(MenuId::HideFolderBar), Switch::HideFolderBar, Panel5); }
void TForm1::N25Click() { toggleSwitch(action(MenuId::SkipToolKitCheck), Switch::SkipToolKitCheck, nullptr); }
void TForm1::N27Click() { toggleSwitch(action(MenuId::SkipDebugTips), Switch::SkipDebugTips, nullptr); }
void TForm1::N29Click() {
    toggleSwitch(action(MenuId::SkinsOff), Switch::SkinsOff, nullptr);
    if (SkinMenu) SkinMenu->SkinData1.setActive(!action(MenuId::SkinsOff)->isChecked());
}
void TForm1::CheckBox1Click() { writeSwitch(Switch::RunBuildCommandsAtOnce, CheckBox1->isChecked()); }

void TForm1::N26Click() {
    const ToolKitReport report{[this] { ListBox1->clear(); }, [this](const QString& line) { ListBox1->addRow(line); }};
    checkToolKit(programFolder_, report, services_.pause);
    for (const QString& row : services_.shell.hostRows()) ListBox1->addRow(row);
    const QString problem = settings_.problem();
    if (!problem.isEmpty()) ListBox1->addRow(settings_.problemLine(problem));
}

// ----------------------------------------------------------------------------------
// Edit menu: find, find next, replace

void TForm1::N5Click() { SciSearchReplace1->ShowSearchDialog(); }
void TForm1::N8Click() { SciSearchReplace1->SearchReplace(false, SciSearchReplace1->SearchBackwards, srmAsk); }
void TForm1::N6Click() { SciSearchReplace1->ShowReplaceDialog(); }

// ----------------------------------------------------------------------------------
// Window events

void TForm1::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || creating_) return;
    const Qt::WindowStates before = static_cast<QWindowStateChangeEvent*>(event)->oldState();
    const Qt::WindowStates now = windowState();
    const bool maximised = now & Qt::WindowMaximized && !(now & Qt::WindowMinimized);
    const bool normal = !(now & (Qt::WindowMaximized | Qt::WindowMinimized));
    if (maximised && !(before & Qt::WindowMaximized && !(before & Qt::WindowMinimized)))
        guarded([this] { writeSwitch(Switch::StartMaximised, true); });
    else if (normal && (before & (Qt::WindowMaximized | Qt::WindowMinimized)))
        guarded([this] { writeSwitch(Switch::StartMaximised, false); });
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls() && !runner_->isRunning()) event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || runner_->isRunning()) return;
    event->acceptProposedAction();
    const QString first = urls.front().toLocalFile();
    guarded([this, first] { dropFile(first); });
}

void TForm1::dropFile(const QString& path) {
    if (path.isEmpty()) return;
    openInPlaceOfCurrent(path);
    Edit3->setFocus();
    TCleanupList(programFolder_).addRecord(path);
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (runner_->isRunning()) {
        closeWhenIdle_ = true;
        runner_->stop();
        event->ignore();
        return;
    }
    bool closing = true;
    guarded([this, &closing] { closing = FormClose(); });
    if (closing)
        event->accept();
    else
        event->ignore();
}

bool TForm1::FormClose() {
    if (document_.Modified() &&
        services_.dialogs.messageBox(this, QStringLiteral("当前文件已被更改，请问是否保存？"),
                                     QStringLiteral("文件未保存"), platform::MessageIcon::Information,
                                     platform::MessageButtons::YesNo) == platform::IdYes) {
        // A failed save is shown and keeps the window and its document open.
        bool saved = false;
        guarded([this, &saved] {
            SaveBClick();
            saved = true;
        });
        if (!saved) return false;
    }
    const TCleanupList cleanup(programFolder_);
    cleanup.process();
    for (const QString& file : {programFolder_.runBatch(), programFolder_.cleanupList(), programFolder_.helpIndex()})
        QFile::remove(file);
    return true;
}

}  // namespace asmora::app
