// The main window `TForm1`: where the subsystems meet. It owns the editor inside the
// document tabs, the output list and command box, the button column and the menus;
// every command handler is a method of it. This unit holds the window's layout, its
// start-up sequence (FormCreate), dropping files, the maximised-state memory,
// resizing, closing, the view switches and the execute button.
#pragma once

#include "app/Services.h"
#include "app/MainMenuTable.h"
#include "app/Settings.h"
#include "documents/DocumentState.h"
#include "platform/ProgramFolder.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMap>
#include <QMenu>
#include <QPushButton>

#include <functional>
#include <map>
#include <memory>

class TScintilla;
class TSciLanguageManager;
class TSciDocumentTabControl;
class TSciSearchReplace;
class TSciAutoComplete;
class TDocumentCommands;

namespace asmora::build {
class TCommandRunner;
class TOutputList;
class TForm2;
class TForm4;
struct TBuildContext;
}  // namespace asmora::build

namespace asmora::app {

class TForm3;
class TSkinMenu;
class TCleanupList;

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    TForm1(const platform::ProgramFolder& programFolder, Services services, QWidget* parent = nullptr);
    ~TForm1() override;

    // The start-up sequence; `arguments` are the command-line arguments after the
    // program's own name. Errors end it at the step where they happen.
    void FormCreate(const QStringList& arguments);

    // --- what other units use of the window ---------------------------------------
    TScintilla& editor() const { return *Edit3; }
    build::TOutputList& outputList() const { return *ListBox1; }
    QLineEdit& commandBox() const { return *Edit2; }
    QLineEdit& folderBox() const { return *Edit1; }
    QCheckBox& autoExecuteBox() const { return *CheckBox1; }
    TSciDocumentTabControl& documentTabs() const { return *TabControl1; }
    TSkinMenu* skinMenu() const { return SkinMenu; }
    // The secondary windows; the program entry makes them once the window exists.
    build::TForm2* consoleTemplateEditor() const { return Form2; }
    build::TForm4* listingWindow() const { return Form4; }
    void setConsoleTemplateEditor(build::TForm2* editor) { Form2 = editor; }
    void setAboutWindow(TForm3* about) { Form3 = about; }
    void setListingWindow(build::TForm4* listing) { Form4 = listing; }

    // Menu items and menus by id; every id of the menu tables has its action or menu.
    QAction* action(MenuId id) const { return actions_.at(id); }
    QMenu* menu(MenuId id) const { return menus_.at(id); }

    // --- current document -------------------------------------------------------
    // `CurrentPath` and `FileModified`, owned here and changed by the document commands.
    TDocumentState& document() { return document_; }
    // Saves the current document before assembling (the save command `SaveBClick`);
    // nothing is saved while it is empty.
    std::function<void()> saveCurrentDocument;

    const platform::ProgramFolder& programFolder() const { return programFolder_; }
    const TSettings& settings() const { return settings_; }
    Services& services() { return services_; }
    build::TCommandRunner& runner() { return *runner_; }

    // --- handlers -------------------------------------------------------------------
    void Button7Click();       // button Button5 "执 行"
    void executeCommandBox();  // runs the command box's command into the output list
    void Edit2KeyDown();       // any key in the command box clears the output list
    void N21Click();
    void N22Click();
    void N23Click();
    void N25Click();
    void N27Click();
    void N29Click();
    void CheckBox1Click();
    void N26Click();                      // tool-kit check
    void N5Click();                       // find
    void N8Click();                       // find next
    void N6Click();                       // replace
    void ASM1Click();                     // file association (FileAssociation.cpp)
    void A1Click();                       // about window (Unit3.cpp)
    void ClearBlue1Click(QAction* item);  // a skin chosen in N19 (SkinMenu.cpp)
    void FormResize();

    // Build and run (BuildHandlers.cpp): each command's work forwards to build/; the
    // handlers of its button and its menu item call it.
    void assembleCurrent();
    void linkCurrent();
    void runCurrent();
    void debugCurrent();
    void cleanCurrent();  // delete the current source's work files
    void showCurrentListing();
    void editConsoleTemplate();
    void Button1Click();  // button Button1 "编  译"
    void M1Click();
    void Button2Click();  // button Button2 "链  接"
    void L1Click();
    void Button3Click();  // button Button3 "运行程序"
    void R1Click();
    void Button6Click();  // button Button12 "调试WinDBG"
    void Windbg1Click();
    void Button4Click();  // button Button13 "清除冗余文件"
    void C1Click();
    void Button8Click();  // button Button6 "显示List文件" and item List1
    void Button5Click();  // button Button4 "调整DOS界面"
    void DOS1Click();
    void DelYongYu(const QString& base);
    void Recovery();  // the console template from Backup.dat
    build::TBuildContext buildContext();

    // Document commands (DocumentHandlers.cpp): each forwards to TDocumentCommands.
    void Edit3KeyDown();    // any key in the editor marks the document changed
    void E1Click();         // new
    void FileOpenBClick();  // open (item S0, button ButtonOpen)
    void SaveBClick();      // save (item SaveB, context menu SaveFile1)
    void A2Click();         // save as
    void N3Click();         // delete the file
    void E2Click();         // exit
    TDocumentCommands& documentCommands() { return *documents_; }

    // Output-list messages (ErrorNavigation.cpp): a row double-clicked or entered
    // shows the line it names, opening its file when needed; F2 and Shift+F2 go to
    // the next and previous message row; Ctrl+G goes to a line number.
    void ListBox1DblClick(int row);
    void NextError1Click();
    void PrevError1Click();
    void GotoLine1Click();

    // Drop handling for one file (the first of a drop).
    void dropFile(const QString& path);

    // Runs a handler the way the application's default error handler would: an
    // error is shown in a message box and the program goes on.
    void guarded(const std::function<void()>& handler);

signals:
    void busyChanged(bool busy);

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // --- components (names of the stored window layout) -----------------------
    QWidget* Panel5 = nullptr;   // top bar: directory box and open button
    QLabel* Label1 = nullptr;    // "文件所在目录："
    QLineEdit* Edit1 = nullptr;  // directory box (read-only)
    QWidget* Panel7 = nullptr;
    QPushButton* ButtonOpen = nullptr;
    QWidget* Panel8 = nullptr;        // right column of command buttons
    QPushButton* Button1 = nullptr;   // 编  译
    QPushButton* Button2 = nullptr;   // 链  接
    QPushButton* Button3 = nullptr;   // 运行程序
    QPushButton* Button12 = nullptr;  // 调试WinDBG
    QPushButton* Button13 = nullptr;  // 清除冗余文件
    QPushButton* Button4 = nullptr;   // 调整DOS界面
    QPushButton* Button6 = nullptr;   // 显示List文件
    QWidget* Panel1 = nullptr;        // bottom area: check box, command row, output list
    QCheckBox* CheckBox1 = nullptr;
    QWidget* Panel2 = nullptr;   // command row
    QLabel* Panel3 = nullptr;    // "汇编指令："
    QLineEdit* Edit2 = nullptr;  // command box
    QWidget* Panel4 = nullptr;
    QPushButton* Button5 = nullptr;  // 执 行
    build::TOutputList* ListBox1 = nullptr;
    TSciDocumentTabControl* TabControl1 = nullptr;
    TScintilla* Edit3 = nullptr;                     // the editor
    TSciLanguageManager* LMG = nullptr;              // the editor's languages ("ASM" among them)
    TSciSearchReplace* SciSearchReplace1 = nullptr;  // find and replace in Edit3
    TSciAutoComplete* SciAutoComplete1 = nullptr;    // completion from Edit3's words
    QMenu* PopupMenu1 = nullptr;
    build::TForm2* Form2 = nullptr;  // console template editor, made by the program entry
    build::TForm4* Form4 = nullptr;  // listing window, made by the program entry
    TForm3* Form3 = nullptr;         // the about window, made by the program entry
    TSkinMenu* SkinMenu = nullptr;   // skin menu, SkinStore1 and SkinData1 (FormCreate step 2)

    void buildLayout();
    void buildTopBar();
    void buildButtonColumn();
    void buildCommandArea();
    void buildEditor();
    void buildMenus();
    void buildPopupMenu();
    void arrangePanels();
    // Steps of FormCreate.
    void applyStartupSettings();
    void warnAboutBrokenSettings();
    void openStartupFile(const QString& startupFile, const TCleanupList& cleanup);
    void offerBackupRecovery();
    void connectHandlers();
    void connectBuildHandlers();
    void connectDocumentHandlers();
    void connectNavigationHandlers();
    void stepToMessageRow(int step);
    void openMessageFile(const QString& path);
    // Opens `path` as the current document, after offering to save a modified one.
    void openInPlaceOfCurrent(const QString& path);
    std::function<void()> guardedSlot(void (TForm1::*handler)());
    bool isEditorKey(QObject* watched, QEvent* event) const;
    void setBusy(bool busy);
    void setDocumentCaption(const QString& caption);  // caption of document 0
    void toggleSwitch(QAction* item, Switch key, QWidget* pane);
    void writeSwitch(Switch key, bool on);
    void showError(const QString& message);
    // Returns false, keeping the window open, when the save the user asked for failed.
    bool FormClose();

    platform::ProgramFolder programFolder_;
    Services services_;
    TSettings settings_;
    build::TCommandRunner* runner_ = nullptr;
    TDocumentState document_;
    std::unique_ptr<TDocumentCommands> documents_;
    std::map<MenuId, QAction*> actions_;
    std::map<MenuId, QMenu*> menus_;
    QWidget* central_ = nullptr;
    bool creating_ = false;
    bool closeWhenIdle_ = false;
};

}  // namespace asmora::app
