// Document tabs over one editing control.
#include "SciDocTabCtrl.h"

#include "SciScintilla.h"

#include <QEvent>
#include <QFileInfo>
#include <QHelpEvent>
#include <QSignalBlocker>
#include <QTabBar>
#include <QToolTip>
#include <QVBoxLayout>

namespace {

// The stored text of the untitled name.
const QString kUntitled = QStringLiteral("Untitled");
const QString kNullLanguage = QStringLiteral("null");

// The extension of a name, with its full stop: "Untitled.asm" -> ".asm".
QString ExtensionOf(const QString& name) {
    const QString file = QFileInfo(name).fileName();
    const qsizetype dot = file.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : file.mid(dot);
}

qint64 ModificationStamp(const QString& path) {
    const QFileInfo info(path);
    return info.exists() ? info.lastModified().toSecsSinceEpoch() : -1;
}

}  // namespace

// ---------------------------------------------------------------------------------
// TSciDoc

TSciDoc::TSciDoc(TSciDocumentTabControl* owner, TScintillaMemo* editor, bool forCurrentBuffer)
    : owner_(owner), editor_(editor) {
    caption_ = owner_->UntitledCaption();
    fileName_ = kUntitled + owner_->DefaultExt();
    codePage_ = editor->CodePage();
    indentWidth_ = editor->IndentWidth();
    tabWidth_ = editor->TabWidth();
    indentation_ = editor->Indentation();
    if (forCurrentBuffer) {
        handle_ = editor->GetDocPointer();
        editor->AddRefDocument(handle_);
    } else {
        handle_ = editor->CreateDocument();  // created with the one reference we hold
    }
    CaptureState();
}

TSciDoc::~TSciDoc() {
    folds_.clear();
    if (OnDestroy) OnDestroy(this);
    if (editor_ && handle_) editor_->ReleaseDocument(handle_);
}

bool TSciDoc::IsShown() const { return editor_ && editor_->GetDocPointer() == handle_; }

TScintilla* TSciDoc::FullEditor() const { return dynamic_cast<TScintilla*>(editor_.data()); }

template <class T, class Getter, class Setter>
void TSciDoc::StoreAndApply(T& field, const T& value, Getter get, Setter set) {
    field = value;
    if (IsShown() && (editor_->*get)() != value) (editor_->*set)(value);
}

void TSciDoc::Changed() {
    if (OnChange) OnChange(this);
}

void TSciDoc::SetCaption(const QString& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    Changed();
}

void TSciDoc::SetFileName(const QString& fileName) {
    if (fileName == fileName_) return;
    fileName_ = fileName;
    if (fileName.startsWith(QLatin1Char('<') + kUntitled)) {
        const QString ext = ExtensionOf(fileName.mid(1, fileName.size() - 2));
        caption_ = QLatin1Char('<') + kUntitled + ext + QLatin1Char('>');
        fileName_ = kUntitled + ext;
        lastChanged_ = -1;
    } else {
        caption_ = QFileInfo(fileName).fileName();
        lastChanged_ = ModificationStamp(fileName);
    }
    Changed();
}

void TSciDoc::SetModified(bool modified) {
    modified_ = modified;
    // Only "unmodified" reaches the editor: it marks the save point.
    if (IsShown() && !modified && editor_->Modified()) editor_->SetModified(false);
}

void TSciDoc::SetWordChars(const QByteArray& chars) {
    StoreAndApply(wordChars_, chars, &TScintillaMemo::WordChars, &TScintillaMemo::SetWordChars);
}

void TSciDoc::SetHighlighter(const QString& language) {
    highlighter_ = language;
    TScintilla* full = FullEditor();
    if (IsShown() && full && full->LanguageManager() && full->SelectedLanguage() != language)
        full->SetSelectedLanguage(language);
}

void TSciDoc::SetIndentWidth(int width) {
    StoreAndApply(indentWidth_, width, &TScintillaMemo::IndentWidth, &TScintillaMemo::SetIndentWidth);
}

void TSciDoc::SetTabWidth(int width) {
    StoreAndApply(tabWidth_, width, &TScintillaMemo::TabWidth, &TScintillaMemo::SetTabWidth);
}

void TSciDoc::SetIndentation(TSciIndentation options) {
    StoreAndApply(indentation_, options, &TScintillaMemo::Indentation, &TScintillaMemo::SetIndentation);
}

void TSciDoc::SetUseTabs(bool on) {
    StoreAndApply(useTabs_, on, &TScintillaMemo::UseTabs, &TScintillaMemo::SetUseTabs);
}

void TSciDoc::SetCodePage(int codePage) {
    StoreAndApply(codePage_, codePage, &TScintillaMemo::CodePage, &TScintillaMemo::SetCodePage);
}

void TSciDoc::CaptureState() {
    if (!editor_) return;
    TScintillaMemo& editor = *editor_;
    folds_.clear();
    if (highlighter_ != kNullLanguage) {
        const int lines = editor.GetLineCount();
        for (int line = 0; line < lines; ++line)
            if (editor.GetFoldLevel(line) & kSciFoldLevelHeaderFlag)
                folds_.emplace_back(line, editor.GetFoldExpanded(line));
    }
    firstVisibleLine_ = editor.TopLine();
    selStart_ = editor.SelStart();
    selLength_ = editor.SelectionLength();
    modified_ = editor.Modified();
    readOnly_ = editor.ReadOnly();
    wordChars_ = editor.WordChars();
    codePage_ = editor.CodePage();
    streamClass_ = editor.StreamClass();
    // The kind goes with the document, so that a switch back saves it as loaded.
    if (streamClass_) encoding_ = editor.Streamer()->GetEncoding();
    TScintilla* full = FullEditor();
    if (full && full->LanguageManager()) highlighter_ = full->SelectedLanguage();
}

void TSciDoc::RestoreState() {
    if (!editor_) return;
    TScintillaMemo& editor = *editor_;
    const TSciWordWrap wrap = editor.WordWrap();
    if (wrap != sciNoWrap) editor.SetWordWrap(sciNoWrap);
    TScintilla* full = FullEditor();
    if (full && full->LanguageManager()) full->SetSelectedLanguage(highlighter_);
    if (highlighter_ != kNullLanguage) {
        for (const auto& [line, expanded] : folds_)
            if (editor.GetFoldExpanded(line) != expanded) editor.ToggleFold(line);
    }
    editor.EnsureVisibleEnforcePolicy(editor.LineFromPosition(selStart_));
    editor.EnsureVisibleEnforcePolicy(editor.LineFromPosition(selStart_ + selLength_));
    editor.SetSelStart(selStart_);
    editor.SetSelLength(selLength_);
    if (!modified_) editor.SetModified(false);
    editor.SetReadOnly(readOnly_);
    editor.SetWordChars(wordChars_);
    editor.SetStreamClass(streamClass_);
    if (streamClass_) {
        editor.Streamer()->SetEncoding(encoding_);
        editor.Streamer()->SetStreamData(streamData_);
    }
    editor.SetIndentation(indentation_);
    editor.SetTabWidth(tabWidth_);
    editor.SetIndentWidth(indentWidth_);
    editor.SetUseTabs(useTabs_);
    if (editor.CodePage() != codePage_) editor.SetCodePage(codePage_);
    editor.LineScroll(0, editor.VisibleFromDocLine(firstVisibleLine_) - editor.GetFirstVisibleLine());
    if (wrap != sciNoWrap) editor.SetWordWrap(wrap);
    if (editor.isVisible()) editor.setFocus();
}

void TSciDoc::Activate() {
    if (!editor_ || IsShown()) return;
    if (owner_->CurrentIndex() != Index && owner_->CanChange()) owner_->SelectTabQuietly(Index);
    editor_->SetDocPointer(handle_);
    RestoreState();
}

// ---------------------------------------------------------------------------------
// TSciDocumentTabControl

TSciDocumentTabControl::TSciDocumentTabControl(QWidget* parent) : QWidget(parent), tabs_(new QTabBar(this)) {
    setFocusPolicy(Qt::NoFocus);
    tabs_->setFocusPolicy(Qt::NoFocus);
    tabs_->setDrawBase(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(tabs_);
    layout->addStretch(1);
    tabs_->installEventFilter(this);
    connect(tabs_, &QTabBar::currentChanged, this, [this] { TabChangedByUser(); });
}

TSciDocumentTabControl::~TSciDocumentTabControl() {
    disconnect(editorGone_);
    for (auto& doc : docs_) doc->OnChange = nullptr;
    DropDocuments();
}

void TSciDocumentTabControl::SetEditor(TScintillaMemo* editor) {
    if (editor == editor_) return;
    if (!editor) {
        Detach();
        return;
    }
    if (editor_) Detach();
    editor_ = editor;
    // A destroyed editor takes its buffers with it: the documents release nothing.
    editorGone_ = connect(editor, &QObject::destroyed, this, [this] {
        for (auto& doc : docs_) doc->ForgetEditor();
        DropDocuments();
        hasList_ = false;
    });
    auto* layout = static_cast<QVBoxLayout*>(this->layout());
    delete layout->takeAt(1);  // the stretch that stands in for the editor
    editor->setParent(this);
    layout->addWidget(editor, 1);
    editor->show();
    hasList_ = true;
    ResetToOneDocument();
    RefreshTabTexts();
}

void TSciDocumentTabControl::Detach() {
    TScintillaMemo* editor = editor_;
    if (!editor) return;
    disconnect(editorGone_);
    DropDocuments();
    hasList_ = false;
    auto* layout = static_cast<QVBoxLayout*>(this->layout());
    layout->removeWidget(editor);
    layout->addStretch(1);
    if (parentWidget()) {
        const QPoint onScreen = editor->mapToGlobal(QPoint(0, 0));
        editor->setParent(parentWidget());
        editor->move(parentWidget()->mapFromGlobal(onScreen));
        editor->show();
    }
    editor_ = nullptr;
}

void TSciDocumentTabControl::DropDocuments() {
    const QSignalBlocker quiet(tabs_);
    docs_.clear();
    while (tabs_->count() > 0) tabs_->removeTab(0);
    shownIndex_ = -1;
}

QString TSciDocumentTabControl::UntitledCaption() const {
    return QLatin1Char('<') + kUntitled + defaultExt_ + QLatin1Char('>');
}

void TSciDocumentTabControl::SetDefaultExt(const QString& ext) {
    const QString oldCaption = UntitledCaption();
    defaultExt_ = ext.contains(QLatin1Char('.')) ? ext : QLatin1Char('.') + ext;
    const QString newCaption = UntitledCaption();
    for (auto& doc : docs_) {
        if (!doc->Caption().startsWith(oldCaption, Qt::CaseInsensitive)) continue;
        doc->SetFileName(newCaption);  // caption "<Untitled.ext>", file name "Untitled.ext"
        if (!dynamic_cast<TScintilla*>(editor_.data())) continue;
        const QString language = DetectHighlighter(defaultExt_.toLower(), doc->Highlighter());
        if (language != doc->Highlighter()) doc->SetHighlighter(language);
    }
}

QString TSciDocumentTabControl::DetectHighlighter(const QString& ext, const QString& start) const {
    QString language = start;
    if (OnDetectHighlighter) OnDetectHighlighter(const_cast<TSciDocumentTabControl*>(this), ext, language);
    return language;
}

TSciDoc* TSciDocumentTabControl::Document(int index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return docs_[static_cast<std::size_t>(index)].get();
}

int TSciDocumentTabControl::CurrentIndex() const { return tabs_->currentIndex(); }

TSciDoc* TSciDocumentTabControl::ActiveDocument() const { return Document(CurrentIndex()); }

QString TSciDocumentTabControl::TabText(int index, const QString& caption) {
    const QString number = QString::number(index + 1) + QLatin1Char(' ') + caption;
    return index < 9 ? QLatin1Char('&') + number : number;
}

void TSciDocumentTabControl::AddTab(TSciDoc* doc) {
    doc->OnChange = [this](TSciDoc* changed) { RefreshTabText(changed); };
    const QSignalBlocker quiet(tabs_);
    tabs_->addTab(TabText(doc->Index, doc->Caption()));
}

void TSciDocumentTabControl::ResetToOneDocument() {
    setUpdatesEnabled(false);
    DropDocuments();
    if (editor_) {
        auto doc = std::make_unique<TSciDoc>(this, editor_, true);
        doc->Index = 0;
        doc->SetCaption(UntitledCaption());
        if (dynamic_cast<TScintilla*>(editor_.data()))
            doc->SetHighlighter(DetectHighlighter(defaultExt_.toLower(), kNullLanguage));
        TSciDoc* added = docs_.emplace_back(std::move(doc)).get();
        AddTab(added);
        shownIndex_ = 0;
        if (OnOpenedAndInited) OnOpenedAndInited(this, 0, added);
    }
    setUpdatesEnabled(true);
}

TSciDoc* TSciDocumentTabControl::AddDocument() {
    if (!editor_) return nullptr;
    auto doc = std::make_unique<TSciDoc>(this, editor_, false);
    doc->Index = Count();
    TSciDoc* added = docs_.emplace_back(std::move(doc)).get();
    AddTab(added);
    return added;
}

void TSciDocumentTabControl::RefreshTabTexts() {
    setUpdatesEnabled(false);
    {
        const QSignalBlocker quiet(tabs_);
        const int current = tabs_->currentIndex();
        while (tabs_->count() > 0) tabs_->removeTab(0);
        for (const auto& doc : docs_) tabs_->addTab(TabText(doc->Index, doc->Caption()));
        if (current >= 0 && current < tabs_->count()) tabs_->setCurrentIndex(current);
    }
    setUpdatesEnabled(true);
}

void TSciDocumentTabControl::RefreshTabText(TSciDoc* doc) {
    if (doc->Index < tabs_->count()) tabs_->setTabText(doc->Index, TabText(doc->Index, doc->Caption()));
}

void TSciDocumentTabControl::OpenFile(const QString& fileName) {
    if (editor_) editor_->LoadFromFile(fileName);
}

bool TSciDocumentTabControl::CanChange() {
    if (!editor_ || !hasList_ || docs_.empty()) return false;
    if (TSciDoc* active = Document(shownIndex_)) active->CaptureState();
    bool allow = true;
    if (OnChanging) OnChanging(this, allow);
    return allow;
}

void TSciDocumentTabControl::Change() {
    shownIndex_ = CurrentIndex();
    if (TSciDoc* doc = ActiveDocument()) doc->Activate();
    if (OnChange) OnChange(this);
}

void TSciDocumentTabControl::SelectTabQuietly(int index) {
    const QSignalBlocker quiet(tabs_);
    tabs_->setCurrentIndex(index);
    shownIndex_ = index;
}

void TSciDocumentTabControl::TabChangedByUser() {
    // Qt has already moved the selection; a refused switch moves it back.
    if (!CanChange()) {
        SelectTabQuietly(shownIndex_);
        return;
    }
    Change();
}

QString TSciDocumentTabControl::TabHint(int index) const {
    TSciDoc* doc = Document(index);
    if (!ShowHint || !doc) return {};
    QString hint;
    if (dynamic_cast<TScintilla*>(editor_.data())) hint = QStringLiteral("Language: ") + doc->Highlighter();
    if (OnTabHint) OnTabHint(const_cast<TSciDocumentTabControl*>(this), index, hint, doc);
    return hint;
}

bool TSciDocumentTabControl::eventFilter(QObject* watched, QEvent* event) {
    if (watched == tabs_ && event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int index = tabs_->tabAt(help->pos());
        if (!ShowHint) return true;
        if (index < 0) return false;  // outside the tabs: the control's own hint
        const QString hint = TabHint(index);
        if (hint.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), hint, tabs_, tabs_->tabRect(index));
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
