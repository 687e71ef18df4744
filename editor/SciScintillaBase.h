// The host of the editing control: library check, the one message path, notifications
// turned into events, and text loading and saving through a pluggable stream object.
#pragma once

#include "SciStreamBase.h"
#include "SciSupport.h"

#include <Qsci/qsciscintillabase.h>

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class TScintillaBase;

// The editing library the program carries beside itself. The program writes it from
// the QScintilla shared library it is linked with (SciLinkedLibraryPath) as
// <program folder>/SciLexer.dll; an editor can only be constructed while it is found
// there. The first construction looks in the folder of the running program unless
// Load was called before.
class TSciLibrary {
public:
    // Looks for "scilexer.dll" in `folder`, ignoring case as Windows does, and keeps
    // the result for the rest of the run (or until the next Load).
    static bool Load(const QString& folder);
    static bool IsLoaded();
    static QString Path();  // the file found, empty when none
    // The QScintilla shared library this program is linked with.
    static QString SciLinkedLibraryPath();
    // The text of the failure raised when an editor is made without the library.
    static QString NotFoundMessage();
};

// One recorded message of the send routine. Text holds the string argument (lParam)
// of the messages that take one, Key the string wParam of SCI_SETPROPERTY and the like;
// HasText and HasKey tell them apart from numeric arguments.
struct TSciMessage {
    unsigned Msg = 0;
    unsigned long WParam = 0;
    long LParam = 0;
    bool HasText = false;
    QByteArray Text;
    bool HasKey = false;
    QByteArray Key;
};

// The arguments of SCN_MODIFIED.
struct TSciModification {
    int Position = 0;
    int ModificationType = 0;
    QByteArray Text;
    int Length = 0;
    int LinesAdded = 0;
    int Line = 0;
    int FoldLevelNow = 0;
    int FoldLevelPrev = 0;
};

using TSciNotifyEvent = std::function<void(TScintillaBase* sender)>;
using TSciPositionEvent = std::function<void(TScintillaBase* sender, int position)>;
using TSciCharAddedEvent = std::function<void(TScintillaBase* sender, int ch)>;
using TSciModifiedEvent = std::function<void(TScintillaBase* sender, const TSciModification& m)>;
using TSciMacroRecordEvent =
    std::function<void(TScintillaBase* sender, unsigned msg, unsigned long wParam, long lParam)>;
using TSciMarginClickEvent = std::function<void(TScintillaBase* sender, int modifiers, int position, int margin)>;
using TSciNeedShownEvent = std::function<void(TScintillaBase* sender, int position, int length)>;
using TSciUserListEvent = std::function<void(TScintillaBase* sender, int listType, const QByteArray& text)>;
using TSciDwellEvent = std::function<void(TScintillaBase* sender, int position, int x, int y)>;
using TSciModifierPositionEvent = std::function<void(TScintillaBase* sender, int modifiers, int position)>;
using TSciTextEvent = std::function<void(TScintillaBase* sender, const QByteArray& text)>;
using TSciScrollEvent = std::function<void(TScintillaBase* sender, int scrollCode)>;

enum TSciBorderStyle { bsNone, bsSingle };

// Windows scroll codes, as OnVScroll reports them.
enum TSciScrollCode {
    SB_LINEUP = 0,
    SB_LINEDOWN = 1,
    SB_PAGEUP = 2,
    SB_PAGEDOWN = 3,
    SB_THUMBPOSITION = 4,
    SB_THUMBTRACK = 5,
    SB_TOP = 6,
    SB_BOTTOM = 7,
    SB_ENDSCROLL = 8,
};

// The default word characters: letters, digits and underscore.
extern const char* const kSciDefaultWordChars;

class TScintillaBase : public QsciScintillaBase {
public:
    // Raises ESciException with TSciLibrary::NotFoundMessage() before any widget is
    // made when the editing library is missing.
    explicit TScintillaBase(QWidget* parent = nullptr);
    ~TScintillaBase() override;

    // ---- the message path ------------------------------------------------------------
    long Send(unsigned msg, unsigned long wParam = 0, long lParam = 0) const;
    // A message whose lParam is a NUL-terminated string (recorded with its text).
    long SendText(unsigned msg, unsigned long wParam, const QByteArray& text) const;
    // A message whose both arguments are NUL-terminated strings (SCI_SETPROPERTY).
    long SendStrings(unsigned msg, const QByteArray& key, const QByteArray& text) const;
    // A message whose lParam is a buffer the control fills (recorded without text).
    long SendBuffer(unsigned msg, unsigned long wParam, char* buffer) const;
    // SCI_MARKERDEFINEPIXMAP and the like: this control takes a decoded picture rather
    // than XPM text, so `image` (XPM or any format Qt reads) is decoded and the picture
    // sent; the recorder keeps the bytes. Returns false, sending nothing, when the
    // bytes are no picture.
    bool SendImage(unsigned msg, unsigned long wParam, const QByteArray& image) const;
    // A colour message: the colour goes as 24-bit RGB, system colours resolved now.
    long SendColor(unsigned msg, unsigned long wParam, TColor color) const;

    // The recorder: while on, every message of the send routine is kept in order.
    void StartRecording();
    void StopRecording();
    const std::vector<TSciMessage>& RecordedMessages() const { return recorded_; }

    // ---- published properties ------------------------------------------------------
    TSciBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TSciBorderStyle style);
    bool ClearUndoAfterSave = false;
    bool ForceMouseRelease = true;
    const QByteArray& WordChars() const { return wordChars_; }
    // SCI_SETWORDCHARS; an empty value sends the 52 letters and underscore.
    void SetWordChars(const QByteArray& chars);

    const TSciFont& Font() const { return font_; }
    // Style 32 takes the font, then SCI_STYLECLEARALL copies it onto every style.
    virtual void SetFont(const TSciFont& font);
    TColor Color() const { return color_; }
    virtual void SetColor(TColor color);

    // The logical code page, 0 (ANSI) or 65001 (UTF-8). The control itself always
    // holds UTF-8; the stream reads this value to decide how to convert.
    int CodePage() const { return codePage_; }
    void SetCodePage(int codePage) { codePage_ = codePage; }

    // ---- loading and saving ------------------------------------------------------------
    TSciStreamClassRef StreamClass() const { return streamClass_; }
    void SetStreamClass(TSciStreamClassRef streamClass);
    // Created on first use; ESciException when there is no class or no object results.
    TSciStreamBase* Streamer();
    // Loads only a regular file of at most kMaxDocumentBytes: a folder, device, pipe or
    // socket is refused (ESciException, in Chinese) before anything is read.
    void LoadFromFile(const QString& fileName);
    // Writes beside the target and replaces it only when the whole text is written;
    // a target that is no regular file is refused.
    void SaveToFile(const QString& fileName);
    static constexpr qint64 kMaxDocumentBytes = 64LL * 1024 * 1024;
    void LoadFromStream(QIODevice* stream);
    void SaveToStream(QIODevice* stream);

    // ---- text --------------------------------------------------------------------------
    void ClearDocument();
    void AddText(const QByteArray& text);
    void AddText(const char* bytes, int length);
    int GetTextLength() const { return int(Send(SCI_GETLENGTH)); }
    void Allocate(int bytes) { Send(SCI_ALLOCATE, bytes); }
    bool UndoCollection() const { return Send(SCI_GETUNDOCOLLECTION) != 0; }
    void SetUndoCollection(bool on) { Send(SCI_SETUNDOCOLLECTION, on); }
    QByteArray GetText() const;
    void SetText(const QByteArray& text) { SendText(SCI_SETTEXT, 0, text); }
    QByteArray GetTextRange(int start, int end) const;
    // New lines take the line end most lines of the text use; a text without line ends
    // (a new file) takes CR LF.
    void FollowTextLineEnds();
    // Text of a line without its line end; -1 means the caret line.
    QByteArray GetLineText(int line = -1) const;
    void RemoveTrailingBlanks();

    void Undo() { Send(SCI_UNDO); }
    void Redo() { Send(SCI_REDO); }
    void Cut() { Send(SCI_CUT); }
    void Copy() { Send(SCI_COPY); }
    void Paste() { Send(SCI_PASTE); }
    void SelectAll() { Send(SCI_SELECTALL); }
    bool CanUndo() const { return Send(SCI_CANUNDO) != 0; }
    bool CanRedo() const { return Send(SCI_CANREDO) != 0; }
    void EmptyUndoBuffer() { Send(SCI_EMPTYUNDOBUFFER); }
    void BeginUndoAction() { Send(SCI_BEGINUNDOACTION); }
    void EndUndoAction() { Send(SCI_ENDUNDOACTION); }

    // ---- positions and selection ----------------------------------------------------
    int CaretLine() const;
    int CaretColumn() const;
    int GetCurrentPos() const { return int(Send(SCI_GETCURRENTPOS)); }
    void GotoPos(int pos) { Send(SCI_GOTOPOS, pos); }
    int LineFromPosition(int pos) const { return int(Send(SCI_LINEFROMPOSITION, pos)); }
    int PositionFromLine(int line) const { return int(Send(SCI_POSITIONFROMLINE, line)); }
    int GetLineEndPosition(int line) const { return int(Send(SCI_GETLINEENDPOSITION, line)); }
    int GetLineCount() const { return int(Send(SCI_GETLINECOUNT)); }
    int GetCharAt(int pos) const { return int(Send(SCI_GETCHARAT, pos)) & 0xFF; }
    // Styles the text before `position` the way the control's own lazy styling does:
    // from the start of the line that holds the first unstyled character. A lexer
    // started inside a line takes the style of the character before as its state, and
    // the asm lexer never leaves a keyword style it starts in (a register, say), so
    // every later character would take that style.
    void StyleTo(int position);
    void GetSelection(int& start, int& end) const;
    int SelStart() const { return int(Send(SCI_GETSELECTIONSTART)); }
    void SetSelStart(int pos) { Send(SCI_SETSEL, pos, pos); }
    int SelLength() const;
    void SetSelLength(int length) { Send(SCI_SETSELECTIONEND, SelStart() + length); }
    void SetSel(int anchor, int caret) { Send(SCI_SETSEL, anchor, caret); }
    QByteArray SelectedText() const;
    void ReplaceSel(const QByteArray& text) { SendText(SCI_REPLACESEL, 0, text); }
    // Counts every line of a rectangular selection.
    int SelectionLength() const;
    // The word of letters, digits and "_" around the caret; empty with a selection.
    QByteArray WordAtCaret() const;
    int TopLine() const;
    void EnsureRangeVisible(int start, int end);

    // ---- documents, modified and read-only state -----------------------------------
    void* GetDocPointer() const { return reinterpret_cast<void*>(Send(SCI_GETDOCPOINTER)); }
    // Shows `doc`; new lines follow its line ends from then on.
    void SetDocPointer(void* doc);
    void* CreateDocument() { return reinterpret_cast<void*>(Send(SCI_CREATEDOCUMENT)); }
    void AddRefDocument(void* doc) { Send(SCI_ADDREFDOCUMENT, 0, reinterpret_cast<long>(doc)); }
    void ReleaseDocument(void* doc) { Send(SCI_RELEASEDOCUMENT, 0, reinterpret_cast<long>(doc)); }
    bool Modified() const { return Send(SCI_GETMODIFY) != 0; }
    // Marks the document saved unless `modified` is true (which changes nothing).
    void SetModified(bool modified);
    bool ReadOnly() const { return Send(SCI_GETREADONLY) != 0; }
    void SetReadOnly(bool on) { Send(SCI_SETREADONLY, on); }

    // ---- view and fold state --------------------------------------------------------
    int GetFirstVisibleLine() const { return int(Send(SCI_GETFIRSTVISIBLELINE)); }
    int VisibleFromDocLine(int line) const { return int(Send(SCI_VISIBLEFROMDOCLINE, line)); }
    void LineScroll(int columns, int lines) { Send(SCI_LINESCROLL, columns, lines); }
    void EnsureVisibleEnforcePolicy(int line) { Send(SCI_ENSUREVISIBLEENFORCEPOLICY, line); }
    int GetFoldLevel(int line) const { return int(Send(SCI_GETFOLDLEVEL, line)); }
    bool GetFoldExpanded(int line) const { return Send(SCI_GETFOLDEXPANDED, line) != 0; }
    void ToggleFold(int line) { Send(SCI_TOGGLEFOLD, line); }

    // ---- search and target ----------------------------------------------------------
    void SetTargetStart(int pos) { Send(SCI_SETTARGETSTART, pos); }
    void SetTargetEnd(int pos) { Send(SCI_SETTARGETEND, pos); }
    int GetTargetStart() const { return int(Send(SCI_GETTARGETSTART)); }
    int GetTargetEnd() const { return int(Send(SCI_GETTARGETEND)); }
    void SetSearchFlags(int flags) { Send(SCI_SETSEARCHFLAGS, flags); }
    int SearchInTarget(const QByteArray& text);
    int ReplaceTarget(const QByteArray& text);
    int ReplaceTargetRE(const QByteArray& text);
    // SCI_FINDTEXT from `start` to `end`; the match start, or -1. `matchEnd` gets its end.
    int FindText(int flags, int start, int end, const QByteArray& text, int* matchEnd = nullptr);
    int PositionAfter(int pos) const { return int(Send(SCI_POSITIONAFTER, pos)); }
    int PointXFromPosition(int pos) const { return int(Send(SCI_POINTXFROMPOSITION, 0, pos)); }
    int PointYFromPosition(int pos) const { return int(Send(SCI_POINTYFROMPOSITION, 0, pos)); }
    int TextHeight(int line) const { return int(Send(SCI_TEXTHEIGHT, line)); }

    // ---- auto-completion and call tips ---------------------------------------------
    void AutoCShow(int typedLength, const QByteArray& list) { SendText(SCI_AUTOCSHOW, typedLength, list); }
    void AutoCCancel() { Send(SCI_AUTOCCANCEL); }
    bool AutoCActive() const { return Send(SCI_AUTOCACTIVE) != 0; }
    void AutoCStops(const QByteArray& chars) { SendText(SCI_AUTOCSTOPS, 0, chars); }
    bool CallTipActive() const { return Send(SCI_CALLTIPACTIVE) != 0; }
    bool AutoCIgnoreCase() const { return Send(SCI_AUTOCGETIGNORECASE) != 0; }
    void SetAutoCIgnoreCase(bool on) { Send(SCI_AUTOCSETIGNORECASE, on); }
    bool AutoCChooseSingle() const { return Send(SCI_AUTOCGETCHOOSESINGLE) != 0; }
    void SetAutoCChooseSingle(bool on) { Send(SCI_AUTOCSETCHOOSESINGLE, on); }
    bool AutoCAutoHide() const { return Send(SCI_AUTOCGETAUTOHIDE) != 0; }
    void SetAutoCAutoHide(bool on) { Send(SCI_AUTOCSETAUTOHIDE, on); }
    bool AutoCDropRestOfWord() const { return Send(SCI_AUTOCGETDROPRESTOFWORD) != 0; }
    void SetAutoCDropRestOfWord(bool on) { Send(SCI_AUTOCSETDROPRESTOFWORD, on); }
    bool AutoCCancelAtStart() const { return Send(SCI_AUTOCGETCANCELATSTART) != 0; }
    void SetAutoCCancelAtStart(bool on) { Send(SCI_AUTOCSETCANCELATSTART, on); }
    int AutoCTypeSeparator() const { return int(Send(SCI_AUTOCGETTYPESEPARATOR)); }
    void SetAutoCTypeSeparator(int ch) { Send(SCI_AUTOCSETTYPESEPARATOR, ch); }
    int AutoCMaxWidth() const { return int(Send(SCI_AUTOCGETMAXWIDTH)); }
    void SetAutoCMaxWidth(int characters) { Send(SCI_AUTOCSETMAXWIDTH, characters); }
    int AutoCMaxHeight() const { return int(Send(SCI_AUTOCGETMAXHEIGHT)); }
    void SetAutoCMaxHeight(int rows) { Send(SCI_AUTOCSETMAXHEIGHT, rows); }

    // ---- events (each empty by default) ---------------------------------------------
    TSciPositionEvent OnStyleNeeded;
    TSciCharAddedEvent OnCharAdded;
    TSciNotifyEvent OnSavePointReached;
    TSciNotifyEvent OnSavePointLeft;
    TSciNotifyEvent OnModifyAttemptRO;
    TSciNotifyEvent OnDoubleClick;
    TSciNotifyEvent OnUpdateUI;
    TSciModifiedEvent OnModified;
    TSciMacroRecordEvent OnMacroRecord;
    TSciMarginClickEvent OnMarginClick;
    TSciNeedShownEvent OnNeedShown;
    TSciNotifyEvent OnPainted;
    TSciUserListEvent OnUserListSelection;
    TSciDwellEvent OnDwellStart;
    TSciDwellEvent OnDwellEnd;
    TSciNotifyEvent OnZoom;
    TSciModifierPositionEvent OnHotSpotClick;
    TSciModifierPositionEvent OnHotSpotDoubleClick;
    TSciPositionEvent OnCallTipClick;
    TSciTextEvent OnAutoCSelection;
    TSciModifierPositionEvent OnIndicatorClick;
    TSciModifierPositionEvent OnIndicatorRelease;
    TSciNotifyEvent OnAutoCCancelled;
    TSciScrollEvent OnVScroll;

    // After the owner has assigned the stored settings: finishes the set-up
    // (buffered drawing, save point, mouse-down captures off, then what the
    // derived classes add).
    virtual void Loaded();

protected:
    // Handler slots; each calls its event by default.
    virtual void DoVScroll(int scrollCode);
    virtual void DoCharAdded(int ch);
    virtual void DoUserListSelection(int listType, const QByteArray& text);
    virtual void DoUpdateUI();
    virtual void DoModified(const TSciModification& m);
    virtual void DoMarginClick(int modifiers, int position, int margin);
    virtual void DoSavePointReached();
    virtual void DoSavePointLeft();
    virtual void DoStyleNeeded(int position);
    virtual void DoModifyAttemptRO();
    virtual void DoDoubleClick();
    virtual void DoNeedShown(int position, int length);
    virtual void DoPainted();
    virtual void DoDwellStart(int position, int x, int y);
    virtual void DoDwellEnd(int position, int x, int y);
    virtual void DoZoom();
    virtual void DoHotSpotClick(int modifiers, int position);
    virtual void DoHotSpotDoubleClick(int modifiers, int position);
    virtual void DoMacroRecord(unsigned msg, unsigned long wParam, long lParam);
    virtual void DoCallTipClick(int position);
    virtual void DoAutoCSelection(const QByteArray& text);
    virtual void DoAutoCCancelled();
    virtual void DoIndicatorClick(int modifiers, int position);
    virtual void DoIndicatorRelease(int modifiers, int position);

    // The control shows another text as a whole: a loaded, restored or cleared one, or
    // another document. Nothing by default.
    virtual void WholeTextReplaced() {}

    // The font and colour steps; TScintilla brackets them with its language manager.
    virtual void FontChanged();
    virtual void ColorChanged();

    void mouseMoveEvent(QMouseEvent* e) override;

private:
    struct TextSnapshot {
        QByteArray Text;
        bool Modified = false;
    };
    void ReadStream(QIODevice* stream);
    TextSnapshot TakeSnapshot() const;
    void RestoreSnapshot(const TextSnapshot& snapshot);
    void ConnectNotifications();
    long Record(unsigned msg, unsigned long wParam, long lParam, const QByteArray* text,
                const QByteArray* key = nullptr) const;

    TSciBorderStyle borderStyle_ = bsSingle;
    QByteArray wordChars_;
    TSciFont font_;
    TColor color_ = clWindow;
    int codePage_ = 0;
    TSciStreamClassRef streamClass_ = nullptr;
    std::unique_ptr<TSciStreamBase> streamer_;
    bool recording_ = false;
    mutable std::vector<TSciMessage> recorded_;
};
