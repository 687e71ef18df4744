// Document tabs: a tab bar over one editing control, one TSciDoc per tab, each holding a
// text buffer of the control with its view and option state.
#pragma once

#include "SciScintillaMemo.h"
#include "SciStreamBase.h"

#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

class QTabBar;
class TScintilla;
class TSciDocumentTabControl;

// One document of the editing control and the state that belongs to it, so that
// switching tabs swaps the whole editing context.
class TSciDoc {
public:
    // A document for the buffer the editor shows now, or for a new buffer. Either way
    // the document holds one reference to its buffer. Creation ends by capturing the
    // editor's state.
    TSciDoc(TSciDocumentTabControl* owner, TScintillaMemo* editor, bool forCurrentBuffer);
    ~TSciDoc();
    TSciDoc(const TSciDoc&) = delete;
    TSciDoc& operator=(const TSciDoc&) = delete;

    int Index = 0;  // its tab position

    const QString& Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    const QString& FileName() const { return fileName_; }
    // An untitled name ("<Untitled.ext>") keeps the untitled form; a path shows its
    // file-name part and records the file's modification stamp.
    void SetFileName(const QString& fileName);
    qint64 LastChanged() const { return lastChanged_; }

    // Option properties: stored, and applied to the editor when this document is the
    // one it shows and the editor's value differs.
    bool Modified() const { return modified_; }
    void SetModified(bool modified);
    const QByteArray& WordChars() const { return wordChars_; }
    void SetWordChars(const QByteArray& chars);
    const QString& Highlighter() const { return highlighter_; }
    void SetHighlighter(const QString& language);
    int IndentWidth() const { return indentWidth_; }
    void SetIndentWidth(int width);
    int TabWidth() const { return tabWidth_; }
    void SetTabWidth(int width);
    TSciIndentation Indentation() const { return indentation_; }
    void SetIndentation(TSciIndentation options);
    bool UseTabs() const { return useTabs_; }
    void SetUseTabs(bool on);
    int CodePage() const { return codePage_; }
    void SetCodePage(int codePage);

    bool AutoIgnoreCase = false;
    QString AutoStartChars;
    QString AutoStopChars;

    SciEncodingKind EncodingKind() const { return encoding_; }
    void SetEncodingKind(SciEncodingKind kind) { encoding_ = kind; }
    const QString& StreamData() const { return streamData_; }
    void SetStreamData(const QString& data) { streamData_ = data; }
    void* DocumentHandle() const { return handle_; }
    const std::vector<std::pair<int, bool>>& FoldStates() const { return folds_; }

    // From the editor into the document, and back.
    void CaptureState();
    void RestoreState();
    // Makes this document the one the editor shows (and its tab the current one).
    void Activate();
    // The editor is being destroyed, together with every buffer it holds.
    void ForgetEditor() { editor_ = nullptr; }

    // Refreshes the owner's tab text of this document; unhooked when the owner goes.
    std::function<void(TSciDoc*)> OnChange;
    std::function<void(TSciDoc*)> OnDestroy;

private:
    bool IsShown() const;
    TScintilla* FullEditor() const;
    void Changed();
    // Stores `value`; when this document is shown and the editor differs, applies it.
    template <class T, class Getter, class Setter>
    void StoreAndApply(T& field, const T& value, Getter get, Setter set);

    TSciDocumentTabControl* owner_;
    QPointer<TScintillaMemo> editor_;
    void* handle_ = nullptr;
    QString caption_;
    QString fileName_;
    qint64 lastChanged_ = -1;
    bool modified_ = false;
    QByteArray wordChars_ = kSciDefaultWordChars;
    QString highlighter_ = QStringLiteral("null");
    int indentWidth_ = 0;
    int tabWidth_ = 8;
    TSciIndentation indentation_ = 0;
    bool useTabs_ = false;
    int codePage_ = 0;
    int selStart_ = 0;
    int selLength_ = 0;
    int firstVisibleLine_ = 0;
    bool readOnly_ = false;
    std::vector<std::pair<int, bool>> folds_;  // (fold header line, expanded)
    TSciStreamClassRef streamClass_ = nullptr;
    SciEncodingKind encoding_ = 0;
    QString streamData_;
};

class TSciDocumentTabControl : public QWidget {
public:
    explicit TSciDocumentTabControl(QWidget* parent = nullptr);
    ~TSciDocumentTabControl() override;

    TScintillaMemo* Editor() const { return editor_; }
    // Makes the editor fill the area under the tabs and starts with one document for
    // the buffer it shows; none detaches it.
    void SetEditor(TScintillaMemo* editor);

    const QString& DefaultExt() const { return defaultExt_; }
    // Stored with a full stop; untitled documents follow the new extension.
    void SetDefaultExt(const QString& ext);
    QString UntitledCaption() const;

    int Count() const { return static_cast<int>(docs_.size()); }
    TSciDoc* Document(int index) const;
    TSciDoc* ActiveDocument() const;
    int CurrentIndex() const;
    QTabBar* TabBar() const { return tabs_; }
    // "&1 caption" for the first nine tabs, "10 caption" from the tenth on.
    static QString TabText(int index, const QString& caption);

    void ResetToOneDocument();
    // Appends a document with a new, empty buffer of the editor.
    TSciDoc* AddDocument();
    void RefreshTabTexts();
    void RefreshTabText(TSciDoc* doc);
    void OpenFile(const QString& fileName);

    // Before a switch: refused without an editor or documents; otherwise captures the
    // active document and asks OnChanging.
    bool CanChange();
    // After a switch: activates the document of the new tab, then OnChange.
    void Change();
    // Selects a tab without running the switch handlers.
    void SelectTabQuietly(int index);

    bool ShowHint = true;
    // The hint over tab `index`: "Language: " + its highlighter, then OnTabHint.
    QString TabHint(int index) const;

    std::function<void(TSciDocumentTabControl* sender, const QString& ext, QString& language)> OnDetectHighlighter;
    std::function<void(TSciDocumentTabControl* sender, int index, TSciDoc* doc)> OnOpenedAndInited;
    std::function<void(TSciDocumentTabControl* sender, int index, QString& hint, TSciDoc* doc)> OnTabHint;
    std::function<void(TSciDocumentTabControl* sender, int index, bool& allowClose)> OnClosing;
    std::function<void(TSciDocumentTabControl* sender, bool& allowChange)> OnChanging;
    std::function<void(TSciDocumentTabControl* sender)> OnChange;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Detach();
    void DropDocuments();
    void TabChangedByUser();
    QString DetectHighlighter(const QString& ext, const QString& start) const;
    void AddTab(TSciDoc* doc);

    QTabBar* tabs_;
    QPointer<TScintillaMemo> editor_;
    QMetaObject::Connection editorGone_;
    std::vector<std::unique_ptr<TSciDoc>> docs_;
    bool hasList_ = false;
    QString defaultExt_ = QStringLiteral(".txt");
    int shownIndex_ = -1;  // the tab whose document the editor shows
    bool quietSwitch_ = false;
};
