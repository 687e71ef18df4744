// The editor class of the main window: code folding, brace highlighting, automatic
// closing of markup tags and the binding to a language manager.
#pragma once

#include "SciLanguageManager.h"
#include "SciScintillaMemo.h"

#include <QPointer>

// Folding flags (a set; bits 0 to 8 in this order).
enum TSciFoldingFlag : unsigned {
    foldFold = 1u << 0,
    foldCompact = 1u << 1,
    foldComment = 1u << 2,
    foldPreprocessor = 1u << 3,
    foldCommentPython = 1u << 4,
    foldQuotesPython = 1u << 5,
    foldAtElse = 1u << 6,
    foldHTML = 1u << 7,
    foldHTMLPreProcessor = 1u << 8,
};
using TSciFolding = unsigned;

// Fold drawing flags (a set; bits 0 to 4).
enum TSciFoldDrawFlag : unsigned {
    sciAboveIfExpanded = 1u << 0,
    sciAboveIfNotExpanded = 1u << 1,
    sciBelowIfExpanded = 1u << 2,
    sciBelowIfNotExpanded = 1u << 3,
    sciHexLevels = 1u << 4,
};
using TSciFoldDrawFlags = unsigned;

// Fold levels as the control reports them.
constexpr int kSciFoldLevelHeaderFlag = 0x2000;
constexpr int kSciFoldLevelNumberMask = 0x0FFF;
constexpr int kSciFoldLevelBase = 0x400;

class TScintilla : public TScintillaMemo {
public:
    explicit TScintilla(QWidget* parent = nullptr);
    ~TScintilla() override;

    bool BraceHilite = true;
    bool AutoCloseTags = false;
    TSciFoldMarkers FoldMarkers{this};

    TSciFolding Folding() const { return folding_; }
    // Without foldFold the fold margin (2) gets width 0 and the lexer stops folding.
    void SetFolding(TSciFolding folding);
    TSciFoldDrawFlags FoldDrawFlags() const { return foldDrawFlags_; }
    void SetFoldDrawFlags(TSciFoldDrawFlags flags);

    TSciLanguageManager* LanguageManager() const { return languageManager_; }
    // A change of manager applies the selected language again.
    void SetLanguageManager(TSciLanguageManager* manager);
    QString SelectedLanguage() const { return selectedLanguage_; }
    // Stores the name ("null" for an empty one) and applies it through the manager.
    void SetSelectedLanguage(const QString& name);

    // Unfolds or folds every top-level fold (Shift+Ctrl click in the fold margin).
    void FoldAll();
    // Shows or hides the lines under fold header `line`; `line` ends past the block.
    void Expand(int& line, bool doExpand, bool force, int levels, int level);

    void Loaded() override;

protected:
    void DoCharAdded(int ch) override;
    void DoUpdateUI() override;
    void DoModified(const TSciModification& m) override;
    void DoMarginClick(int modifiers, int position, int margin) override;
    void FontChanged() override;
    void ColorChanged() override;
    // Highlights the brace at the caret and its partner, or marks a brace without one.
    virtual void HighlightBraces();

private:
    void CloseTag();
    void FoldMarginClick(int modifiers, int position);
    int BraceAtCaret(bool& isColon) const;
    int ColonBlockEnd(int colonPos) const;

    TSciFolding folding_ = foldCompact | foldComment | foldPreprocessor | foldAtElse | foldHTML | foldHTMLPreProcessor;
    TSciFoldDrawFlags foldDrawFlags_ = sciBelowIfNotExpanded;
    QPointer<TSciLanguageManager> languageManager_;
    QString selectedLanguage_ = QStringLiteral("null");
};
