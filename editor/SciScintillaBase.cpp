// The host of the editing control: library check, message path, events, load and save.
#include "SciScintillaBase.h"

#include "SciUtils.h"
#include "platform/SystemReasons.h"

#include "platform/AtomicFile.h"
#include "platform/Errors.h"
#include "platform/RegularFile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPixmap>
#include <QScrollBar>

#include <dlfcn.h>

const char* const kSciDefaultWordChars = "_abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

// ---- the carried editing library ---------------------------------------------------------

namespace {

struct LibraryState {
    bool Attempted = false;
    QString Path;
};

LibraryState& Library() {
    static LibraryState state;
    return state;
}

QString RunningProgramFolder() {
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath()).absolutePath();
}

// A shared library begins with the ELF magic; anything else is not the library.
bool LooksLikeSharedLibrary(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    return file.read(4) == QByteArray("\177ELF", 4);
}

QWidget* RequireLibrary(QWidget* parent) {
    if (!Library().Attempted) TSciLibrary::Load(RunningProgramFolder());
    if (!TSciLibrary::IsLoaded()) throw ESciException(TSciLibrary::NotFoundMessage());
    return parent;
}

}  // namespace

bool TSciLibrary::Load(const QString& folder) {
    LibraryState& state = Library();
    state.Attempted = true;
    state.Path.clear();
    const QDir dir(folder);
    const QStringList entries = dir.entryList(QDir::Files | QDir::Readable);
    for (const QString& entry : entries) {
        if (entry.compare(QLatin1String("scilexer.dll"), Qt::CaseInsensitive) == 0 &&
            LooksLikeSharedLibrary(dir.filePath(entry))) {
            state.Path = dir.filePath(entry);
            break;
        }
    }
    return !state.Path.isEmpty();
}

bool TSciLibrary::IsLoaded() { return !Library().Path.isEmpty(); }

QString TSciLibrary::Path() { return Library().Path; }

QString TSciLibrary::SciLinkedLibraryPath() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void*>(&QsciScintillaBase::staticMetaObject), &info) == 0 || !info.dli_fname)
        return {};
    return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).canonicalFilePath();
}

QString TSciLibrary::NotFoundMessage() {
    return QStringLiteral(
        "\"SciLexer.DLL\" wasn't found. Please make sure is located on the System Path.\n\n"
        "The program writes it beside itself from the QScintilla library it was built with\n"
        "(Debian package libqscintilla2-qt6-15, or https://riverbankcomputing.com/software/qscintilla).");
}

// ---- construction ---------------------------------------------------------------------------

TScintillaBase::TScintillaBase(QWidget* parent)
    : QsciScintillaBase(RequireLibrary(parent)), wordChars_(kSciDefaultWordChars) {
    InstallSciFontSubstitutes();
    resize(185, 89);
    setFocusPolicy(Qt::StrongFocus);
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    Send(SCI_SETCODEPAGE, SC_CP_UTF8);
    ConnectNotifications();
    FontChanged();
    ColorChanged();
}

// The control may still notify while it is torn down; nothing reaches the handlers
// of an editor that is going.
TScintillaBase::~TScintillaBase() {
    QObject::disconnect(this, nullptr, this, nullptr);
    verticalScrollBar()->disconnect(this);
}

void TScintillaBase::Loaded() {
    Send(SCI_SETBUFFEREDDRAW, 1);
    Send(SCI_SETSAVEPOINT);
    Send(SCI_SETMOUSEDOWNCAPTURES, 0);
}

// ---- the message path --------------------------------------------------------------------

long TScintillaBase::Record(unsigned msg, unsigned long wParam, long lParam, const QByteArray* text,
                            const QByteArray* key) const {
    if (recording_) {
        TSciMessage m;
        m.Msg = msg;
        m.WParam = key ? 0 : wParam;
        m.LParam = text ? 0 : lParam;
        m.HasText = text != nullptr;
        if (text) m.Text = *text;
        m.HasKey = key != nullptr;
        if (key) m.Key = *key;
        recorded_.push_back(m);
    }
    return SendScintilla(msg, wParam, lParam);
}

long TScintillaBase::Send(unsigned msg, unsigned long wParam, long lParam) const {
    return Record(msg, wParam, lParam, nullptr);
}

long TScintillaBase::SendText(unsigned msg, unsigned long wParam, const QByteArray& text) const {
    return Record(msg, wParam, reinterpret_cast<long>(text.constData()), &text);
}

long TScintillaBase::SendStrings(unsigned msg, const QByteArray& key, const QByteArray& text) const {
    return Record(msg, reinterpret_cast<unsigned long>(key.constData()), reinterpret_cast<long>(text.constData()),
                  &text, &key);
}

long TScintillaBase::SendBuffer(unsigned msg, unsigned long wParam, char* buffer) const {
    return Record(msg, wParam, reinterpret_cast<long>(buffer), nullptr);
}

bool TScintillaBase::SendImage(unsigned msg, unsigned long wParam, const QByteArray& image) const {
    QPixmap picture;
    QByteArray bytes = image;
    if (bytes.endsWith('\0')) bytes.chop(1);
    if (!picture.loadFromData(bytes)) return false;
    Record(msg, wParam, reinterpret_cast<long>(&picture), &image);
    return true;
}

long TScintillaBase::SendColor(unsigned msg, unsigned long wParam, TColor color) const {
    return Send(msg, wParam, long(ColorToRGB(color)));
}

void TScintillaBase::StartRecording() {
    recorded_.clear();
    recording_ = true;
}

void TScintillaBase::StopRecording() { recording_ = false; }

// ---- properties -------------------------------------------------------------------------------

void TScintillaBase::SetBorderStyle(TSciBorderStyle style) {
    borderStyle_ = style;
    setFrameStyle(style == bsNone ? int(QFrame::NoFrame) : int(QFrame::StyledPanel | QFrame::Sunken));
}

void TScintillaBase::SetWordChars(const QByteArray& chars) {
    wordChars_ = chars.isEmpty() ? QByteArray(kSciLetterWordChars) : chars;
    SendText(SCI_SETWORDCHARS, 0, wordChars_);
}

void TScintillaBase::SetFont(const TSciFont& font) {
    font_ = font;
    FontChanged();
}

void TScintillaBase::SetColor(TColor color) {
    color_ = color;
    ColorChanged();
}

void TScintillaBase::FontChanged() {
    const unsigned long style = STYLE_DEFAULT;
    SendText(SCI_STYLESETFONT, style, font_.Name.toUtf8());
    Send(SCI_STYLESETSIZE, style, font_.Size);
    Send(SCI_STYLESETCHARACTERSET, style, font_.CharSet);
    Send(SCI_STYLESETITALIC, style, font_.Italic);
    Send(SCI_STYLESETBOLD, style, font_.Bold);
    Send(SCI_STYLESETUNDERLINE, style, font_.Underline);
    SendColor(SCI_STYLESETFORE, style, font_.Color);
    Send(SCI_STYLECLEARALL);
}

void TScintillaBase::ColorChanged() {
    SendColor(SCI_STYLESETBACK, STYLE_DEFAULT, color_);
    Send(SCI_STYLECLEARALL);
}

// ---- streams, loading and saving ------------------------------------------------------

void TScintillaBase::SetStreamClass(TSciStreamClassRef streamClass) {
    streamClass_ = streamClass;
    streamer_.reset();
    if (streamClass_ && streamClass_->Create) streamer_ = streamClass_->Create(this);
}

TSciStreamBase* TScintillaBase::Streamer() {
    if (!streamer_) {
        if (!streamClass_) throw ESciException(QStringLiteral("No class is assigned to StreamClass."));
        if (streamClass_->Create) streamer_ = streamClass_->Create(this);
        if (!streamer_)
            throw ESciException(
                QStringLiteral("The Streamer is nil.. Unassigned StreamClass property or Can't create the class."));
    }
    return streamer_.get();
}

namespace {

// Restores the modification-event mask on every way out of a load.
class ModEventMaskPause {
public:
    explicit ModEventMaskPause(TScintillaBase& editor) : editor_(editor) {
        saved_ = editor_.Send(QsciScintillaBase::SCI_GETMODEVENTMASK);
        editor_.Send(QsciScintillaBase::SCI_SETMODEVENTMASK, 0);
    }
    ~ModEventMaskPause() {
        if (saved_ != 0) editor_.Send(QsciScintillaBase::SCI_SETMODEVENTMASK, saved_);
    }

private:
    TScintillaBase& editor_;
    long saved_ = 0;
};

}  // namespace

void TScintillaBase::LoadFromFile(const QString& fileName) {
    // The streamer and the file come first, so a missing stream class or a file that
    // cannot be read leaves the current text as it is.
    Streamer();
    QFile file;
    try {
        platform::openRegularFile(file, fileName, kMaxDocumentBytes);
    } catch (const platform::Error& error) {
        throw ESciException(error.message());
    }
    const TextSnapshot before = TakeSnapshot();
    Send(SCI_CLEARALL);
    try {
        ModEventMaskPause pause(*this);
        ReadStream(&file);
        Send(SCI_SETSAVEPOINT);
    } catch (...) {
        RestoreSnapshot(before);
        throw;
    }
}

void TScintillaBase::LoadFromStream(QIODevice* stream) {
    const TextSnapshot before = TakeSnapshot();
    try {
        ReadStream(stream);
    } catch (...) {
        RestoreSnapshot(before);
        throw;
    }
}

void TScintillaBase::ReadStream(QIODevice* stream) {
    TSciStreamBase* streamer = Streamer();
    Send(SCI_CLEARALL);
    streamer->LoadText(stream);
    FollowTextLineEnds();
    WholeTextReplaced();
    Send(SCI_EMPTYUNDOBUFFER);
    Send(SCI_SETSAVEPOINT);
    Send(SCI_GOTOPOS, 0);
}

// A stream failing half-way must not leave part of a file under the old document's
// name: the previous text comes back before the error goes on.
TScintillaBase::TextSnapshot TScintillaBase::TakeSnapshot() const { return {GetText(), Modified()}; }

void TScintillaBase::RestoreSnapshot(const TextSnapshot& snapshot) {
    SetText(snapshot.Text);
    FollowTextLineEnds();
    WholeTextReplaced();
    Send(SCI_EMPTYUNDOBUFFER);
    SetModified(snapshot.Modified);
}

void TScintillaBase::SaveToFile(const QString& fileName) {
    TSciStreamBase* streamer = Streamer();
    // The whole text is formed first; it then replaces the file in one step, so a
    // failure at any point leaves the old file as it was.
    QBuffer text;
    text.open(QIODevice::WriteOnly);
    streamer->SaveText(&text);
    try {
        platform::writeFileAtomically(fileName, text.data());
    } catch (const platform::Error& error) {
        throw ESciException(error.message());
    }
    Send(SCI_SETSAVEPOINT);
    if (ClearUndoAfterSave) Send(SCI_EMPTYUNDOBUFFER);
}

void TScintillaBase::SaveToStream(QIODevice* stream) { Streamer()->SaveText(stream); }

// ---- text operations ------------------------------------------------------------------------

void TScintillaBase::ClearDocument() {
    Send(SCI_CLEARALL);
    Send(SCI_EMPTYUNDOBUFFER);
    Send(SCI_SETSAVEPOINT);
    Send(SCI_SETEOLMODE, sciEolCRLF);  // a new file's lines end in CR LF
    WholeTextReplaced();
}

void TScintillaBase::FollowTextLineEnds() {
    const auto* text = reinterpret_cast<const char*>(Send(SCI_GETCHARACTERPOINTER));
    Send(SCI_SETEOLMODE, SciDominantEolMode(text, GetTextLength()));
}

void TScintillaBase::SetDocPointer(void* doc) {
    Send(SCI_SETDOCPOINTER, 0, reinterpret_cast<long>(doc));
    FollowTextLineEnds();
    WholeTextReplaced();
}

void TScintillaBase::AddText(const QByteArray& text) { SendText(SCI_ADDTEXT, text.size(), text); }

void TScintillaBase::AddText(const char* bytes, int length) { AddText(QByteArray::fromRawData(bytes, length)); }

QByteArray TScintillaBase::GetText() const {
    const int length = GetTextLength();
    QByteArray buffer(length + 1, '\0');
    SendBuffer(SCI_GETTEXT, length + 1, buffer.data());
    buffer.truncate(length);
    return buffer;
}

QByteArray TScintillaBase::GetTextRange(int start, int end) const {
    const int length = GetTextLength();
    if (end < 0 || end > length) end = length;
    start = std::max(start, 0);
    if (start >= end) return {};
    QByteArray buffer(end - start + 1, '\0');
    SciTextRange range{{start, end}, buffer.data()};
    Send(SCI_GETTEXTRANGE, 0, reinterpret_cast<long>(&range));
    buffer.truncate(end - start);
    return buffer;
}

QByteArray TScintillaBase::GetLineText(int line) const {
    if (line == -1) line = CaretLine();
    if (line < 0 || line >= GetLineCount()) return {};
    return GetTextRange(PositionFromLine(line), GetLineEndPosition(line));
}

void TScintillaBase::RemoveTrailingBlanks() {
    for (int line = 0; line < GetLineCount(); ++line) {
        const int start = PositionFromLine(line);
        const int end = GetLineEndPosition(line);
        int lastKept = end;
        while (lastKept > start && SciIsBlank(GetCharAt(lastKept - 1))) --lastKept;
        if (lastKept < end) {
            SetTargetStart(lastKept);
            SetTargetEnd(end);
            ReplaceTarget(QByteArray());
        }
    }
}

// ---- positions and selection ------------------------------------------------------------

void TScintillaBase::StyleTo(int position) {
    const int styledTo = int(Send(SCI_GETENDSTYLED));
    if (styledTo >= position) return;
    Send(SCI_COLOURISE, PositionFromLine(LineFromPosition(styledTo)), position);
}

int TScintillaBase::CaretLine() const { return LineFromPosition(GetCurrentPos()); }

int TScintillaBase::CaretColumn() const {
    const int pos = GetCurrentPos();
    return pos - PositionFromLine(LineFromPosition(pos));
}

void TScintillaBase::GetSelection(int& start, int& end) const {
    start = int(Send(SCI_GETSELECTIONSTART));
    end = int(Send(SCI_GETSELECTIONEND));
}

int TScintillaBase::SelLength() const {
    int start = 0, end = 0;
    GetSelection(start, end);
    return end - start;
}

QByteArray TScintillaBase::SelectedText() const {
    // The control reports the size it needs (rectangular selections add line ends).
    const int needed = int(SendBuffer(SCI_GETSELTEXT, 0, nullptr));
    if (needed <= 1) return {};
    QByteArray buffer(needed, '\0');
    SendBuffer(SCI_GETSELTEXT, 0, buffer.data());
    buffer.truncate(needed - 1);
    return buffer;
}

int TScintillaBase::SelectionLength() const {
    int start = 0, end = 0;
    GetSelection(start, end);
    if (!Send(SCI_SELECTIONISRECTANGLE)) return end - start;
    int total = 0;
    for (int line = LineFromPosition(start); line <= LineFromPosition(end); ++line)
        total += int(Send(SCI_GETLINESELENDPOSITION, line) - Send(SCI_GETLINESELSTARTPOSITION, line));
    return total;
}

QByteArray TScintillaBase::WordAtCaret() const {
    if (SelLength() != 0) return {};
    const int caret = GetCurrentPos();
    const int length = GetTextLength();
    int start = caret;
    while (start > 0 && SciIsFixedWordChar(GetCharAt(start - 1))) --start;
    int end = caret;
    while (end < length && SciIsFixedWordChar(GetCharAt(end))) ++end;
    return GetTextRange(start, end);
}

int TScintillaBase::TopLine() const { return int(Send(SCI_DOCLINEFROMVISIBLE, Send(SCI_GETFIRSTVISIBLELINE))); }

void TScintillaBase::EnsureRangeVisible(int start, int end) {
    const int first = LineFromPosition(std::min(start, end));
    const int last = LineFromPosition(std::max(start, end));
    for (int line = first; line <= last; ++line) Send(SCI_ENSUREVISIBLE, line);
}

void TScintillaBase::SetModified(bool modified) {
    if (!modified) Send(SCI_SETSAVEPOINT);
}

// ---- search and target ----------------------------------------------------------------------

int TScintillaBase::SearchInTarget(const QByteArray& text) {
    return int(SendText(SCI_SEARCHINTARGET, text.size(), text));
}

int TScintillaBase::ReplaceTarget(const QByteArray& text) {
    return int(SendText(SCI_REPLACETARGET, text.size(), text));
}

int TScintillaBase::ReplaceTargetRE(const QByteArray& text) {
    return int(SendText(SCI_REPLACETARGETRE, text.size(), text));
}

int TScintillaBase::FindText(int flags, int start, int end, const QByteArray& text, int* matchEnd) {
    SciTextToFind find{{start, end}, text.constData(), {0, 0}};
    const int found = int(Record(SCI_FINDTEXT, flags, reinterpret_cast<long>(&find), &text));
    if (matchEnd) *matchEnd = int(find.chrgText.cpMax);
    return found;
}

// ---- notifications --------------------------------------------------------------------------

namespace {

int ScrollCodeOf(int sliderAction) {
    switch (sliderAction) {
        case QAbstractSlider::SliderSingleStepSub:
            return SB_LINEUP;
        case QAbstractSlider::SliderSingleStepAdd:
            return SB_LINEDOWN;
        case QAbstractSlider::SliderPageStepSub:
            return SB_PAGEUP;
        case QAbstractSlider::SliderPageStepAdd:
            return SB_PAGEDOWN;
        case QAbstractSlider::SliderToMinimum:
            return SB_TOP;
        case QAbstractSlider::SliderToMaximum:
            return SB_BOTTOM;
        case QAbstractSlider::SliderMove:
            return SB_THUMBTRACK;
        default:
            return SB_ENDSCROLL;
    }
}

}  // namespace

void TScintillaBase::ConnectNotifications() {
    using B = QsciScintillaBase;
    connect(this, &B::SCN_STYLENEEDED, this, [this](int pos) { DoStyleNeeded(pos); });
    connect(this, &B::SCN_CHARADDED, this, [this](int ch) { DoCharAdded(ch); });
    connect(this, &B::SCN_SAVEPOINTREACHED, this, [this] { DoSavePointReached(); });
    connect(this, &B::SCN_SAVEPOINTLEFT, this, [this] { DoSavePointLeft(); });
    connect(this, &B::SCN_MODIFYATTEMPTRO, this, [this] { DoModifyAttemptRO(); });
    connect(this, &B::SCN_DOUBLECLICK, this, [this](int, int, int) { DoDoubleClick(); });
    connect(this, &B::SCN_UPDATEUI, this, [this](int) { DoUpdateUI(); });
    connect(this, &B::SCN_MODIFIED, this,
            [this](int pos, int type, const char* text, int length, int added, int line, int foldNow, int foldPrev, int,
                   int) {
                TSciModification m;
                m.Position = pos;
                m.ModificationType = type;
                if (text && length > 0) m.Text = QByteArray(text, length);
                m.Length = length;
                m.LinesAdded = added;
                m.Line = line;
                m.FoldLevelNow = foldNow;
                m.FoldLevelPrev = foldPrev;
                DoModified(m);
            });
    connect(this, &B::SCN_MACRORECORD, this,
            [this](unsigned msg, unsigned long w, void* l) { DoMacroRecord(msg, w, reinterpret_cast<long>(l)); });
    connect(this, &B::SCN_MARGINCLICK, this,
            [this](int pos, int modifiers, int margin) { DoMarginClick(modifiers, pos, margin); });
    connect(this, &B::SCN_NEEDSHOWN, this, [this](int pos, int length) { DoNeedShown(pos, length); });
    connect(this, &B::SCN_PAINTED, this, [this] { DoPainted(); });
    connect(this, qOverload<const char*, int>(&B::SCN_USERLISTSELECTION), this,
            [this](const char* text, int listType) { DoUserListSelection(listType, QByteArray(text)); });
    connect(this, &B::SCN_DWELLSTART, this, [this](int pos, int x, int y) { DoDwellStart(pos, x, y); });
    connect(this, &B::SCN_DWELLEND, this, [this](int pos, int x, int y) { DoDwellEnd(pos, x, y); });
    connect(this, &B::SCN_ZOOM, this, [this] { DoZoom(); });
    connect(this, &B::SCN_HOTSPOTCLICK, this, [this](int pos, int modifiers) { DoHotSpotClick(modifiers, pos); });
    connect(this, &B::SCN_HOTSPOTDOUBLECLICK, this,
            [this](int pos, int modifiers) { DoHotSpotDoubleClick(modifiers, pos); });
    connect(this, &B::SCN_CALLTIPCLICK, this, [this](int pos) { DoCallTipClick(pos); });
    connect(this, qOverload<const char*, int>(&B::SCN_AUTOCSELECTION), this,
            [this](const char* text, int) { DoAutoCSelection(QByteArray(text)); });
    connect(this, &B::SCN_INDICATORCLICK, this, [this](int pos, int modifiers) { DoIndicatorClick(modifiers, pos); });
    connect(this, &B::SCN_INDICATORRELEASE, this,
            [this](int pos, int modifiers) { DoIndicatorRelease(modifiers, pos); });
    connect(this, &B::SCN_AUTOCCANCELLED, this, [this] { DoAutoCCancelled(); });
    connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
            [this](int action) { DoVScroll(ScrollCodeOf(action)); });
}

void TScintillaBase::mouseMoveEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    const bool outside = p.x() < 0 || p.y() < 0 || p.x() > width() || p.y() > height();
    if (ForceMouseRelease && outside && (e->buttons() & (Qt::LeftButton | Qt::RightButton)) == 0 &&
        QWidget::mouseGrabber() == this)
        releaseMouse();
    QsciScintillaBase::mouseMoveEvent(e);
}

// Each handler slot calls its event when one is assigned.
void TScintillaBase::DoVScroll(int code) {
    if (OnVScroll) OnVScroll(this, code);
}
void TScintillaBase::DoCharAdded(int ch) {
    if (OnCharAdded) OnCharAdded(this, ch);
}
void TScintillaBase::DoUserListSelection(int listType, const QByteArray& text) {
    if (OnUserListSelection) OnUserListSelection(this, listType, text);
}
void TScintillaBase::DoUpdateUI() {
    if (OnUpdateUI) OnUpdateUI(this);
}
void TScintillaBase::DoModified(const TSciModification& m) {
    if (OnModified) OnModified(this, m);
}
void TScintillaBase::DoMarginClick(int modifiers, int position, int margin) {
    if (OnMarginClick) OnMarginClick(this, modifiers, position, margin);
}
void TScintillaBase::DoSavePointReached() {
    if (OnSavePointReached) OnSavePointReached(this);
}
void TScintillaBase::DoSavePointLeft() {
    if (OnSavePointLeft) OnSavePointLeft(this);
}
void TScintillaBase::DoStyleNeeded(int position) {
    if (OnStyleNeeded) OnStyleNeeded(this, position);
}
void TScintillaBase::DoModifyAttemptRO() {
    if (OnModifyAttemptRO) OnModifyAttemptRO(this);
}
void TScintillaBase::DoDoubleClick() {
    if (OnDoubleClick) OnDoubleClick(this);
}
void TScintillaBase::DoNeedShown(int position, int length) {
    if (OnNeedShown) OnNeedShown(this, position, length);
}
void TScintillaBase::DoPainted() {
    if (OnPainted) OnPainted(this);
}
void TScintillaBase::DoDwellStart(int position, int x, int y) {
    if (OnDwellStart) OnDwellStart(this, position, x, y);
}
void TScintillaBase::DoDwellEnd(int position, int x, int y) {
    if (OnDwellEnd) OnDwellEnd(this, position, x, y);
}
void TScintillaBase::DoZoom() {
    if (OnZoom) OnZoom(this);
}
void TScintillaBase::DoHotSpotClick(int modifiers, int position) {
    if (OnHotSpotClick) OnHotSpotClick(this, modifiers, position);
}
void TScintillaBase::DoHotSpotDoubleClick(int modifiers, int position) {
    if (OnHotSpotDoubleClick) OnHotSpotDoubleClick(this, modifiers, position);
}
void TScintillaBase::DoMacroRecord(unsigned msg, unsigned long wParam, long lParam) {
    if (OnMacroRecord) OnMacroRecord(this, msg, wParam, lParam);
}
void TScintillaBase::DoCallTipClick(int position) {
    if (OnCallTipClick) OnCallTipClick(this, position);
}
void TScintillaBase::DoAutoCSelection(const QByteArray& text) {
    if (OnAutoCSelection) OnAutoCSelection(this, text);
}
void TScintillaBase::DoAutoCCancelled() {
    if (OnAutoCCancelled) OnAutoCCancelled(this);
}
void TScintillaBase::DoIndicatorClick(int modifiers, int position) {
    if (OnIndicatorClick) OnIndicatorClick(this, modifiers, position);
}
void TScintillaBase::DoIndicatorRelease(int modifiers, int position) {
    if (OnIndicatorRelease) OnIndicatorRelease(this, modifiers, position);
}
