// The main window's editor values in their stored order.
#include "SciMainWindowEditor.h"

#include "SciScintilla.h"

const char* const kMainEditorHint = "提示：一个中文相当于两个字符。";

namespace {

constexpr int kCodePageUtf8 = 65001;
constexpr int kGB2312CharSet = 134;

void ApplyWindowLook(TScintilla& editor) {
    editor.setToolTip(QString::fromUtf8(kMainEditorHint));
    editor.SetColor(clBtnFace);
    TSciFont font;
    font.Name = QStringLiteral("Fixedsys");
    font.Size = 12;
    font.CharSet = kGB2312CharSet;
    font.Color = clWindowText;
    editor.SetFont(font);
}

void ApplyEditingOptions(TScintilla& editor) {
    editor.SetEOLStyle(sciEolCRLF);
    editor.SetIndentation(TabIndents);
    editor.SetIndentWidth(0);
    editor.SetMarginLeft(1);
    editor.SetMarginRight(1);
    editor.SetTabWidth(4);
    editor.SetUseTabs(false);
    editor.SetCodePage(kCodePageUtf8);
}

void ApplyCaret(TCaret& caret) {
    caret.SetForeColor(HexRGB(0x000000));
    caret.SetLineBackColor(HexRGB(0xD8EBEB));
    caret.SetLineVisible(true);
    caret.SetWidth(1);
    caret.SetPeriod(500);
    caret.SetLineBackAlpha(256);
}

void ApplyOtherOptions(TOtherOptions& options) {
    options.SetViewWSpace(sciWsInvisible);
    options.SetUsePalette(false);
    options.SetOverType(false);
    options.SetViewEOL(false);
    options.SetEndAtLastLine(true);
    options.SetScrollBarH(true);
    options.SetScrollBarV(true);
    options.SetScrollWidthTracking(false);
    options.SetPasteConvertEndings(true);
}

void ApplyHotSpot(TSciHotSpot& hotSpot) {
    hotSpot.SetBackColor(clDefault);
    hotSpot.SetForeColor(HexRGB(0x0000FF));
    hotSpot.SetUnderlined(true);
    hotSpot.SetSingleLine(false);
}

void ApplyColors(TSciColors& colors) {
    colors.SetSelFore(clHighlightText);
    colors.SetSelBack(clHighlight);
    colors.SetMarkerFore(HexRGB(0x0000FF));
    colors.SetMarkerBack(HexRGB(0x00FFFF));
    colors.SetFoldHi(clBtnFace);
    colors.SetFoldLo(clBtnFace);
    colors.SetWhiteSpaceFore(clDefault);
    colors.SetWhiteSpaceBack(clDefault);
}

void ApplyBookmark(TSciMarker& bookmark) {
    bookmark.SetForeColor(clDefault);
    bookmark.SetBackColor(clDefault);
    bookmark.SetMarkerType(sciMCircle);
}

// Margin 0 shows line numbers, margin 2 is the fold margin.
struct MarginRow {
    int Width;
    TSciMarginType Type;
    bool Sensitive;
};

constexpr MarginRow kMargins[5] = {
    {32, gutLineNumber, false}, {0, gutSymbol, false}, {14, gutSymbol, true},
    {0, gutSymbol, false},      {0, gutSymbol, false},
};

void ApplyMargins(TScintilla& editor) {
    for (int n = 0; n < 5; ++n) {
        TMargin& margin = editor.Gutter(n);
        margin.SetWidth(kMargins[n].Width);
        margin.SetMarginType(kMargins[n].Type);
        margin.SetSensitive(kMargins[n].Sensitive);
    }
}

void ApplyViewOptions(TScintilla& editor) {
    editor.SetWordWrapVisualFlags(0);
    editor.SetWordWrapVisualFlagsLocation(0);
    editor.SetLayoutCache(sciCacheCaret);
    editor.SetHideSelect(false);
    editor.SetWordWrap(sciNoWrap);
    editor.SetEdgeColor(HexRGB(0xC0C0C0));
    editor.SetEdgeMode(sciEdgeNone);
    editor.SetWordChars(kSciDefaultWordChars);
    editor.SetControlCharSymbol(0);
}

void ApplyFolding(TScintilla& editor) {
    editor.SetFolding(foldFold | foldCompact | foldComment | foldPreprocessor | foldAtElse | foldHTML |
                      foldHTMLPreProcessor);
    TSciFoldMarkers stored(nullptr);  // box shapes, every colour default
    editor.FoldMarkers.Assign(stored);
    editor.SetFoldDrawFlags(sciBelowIfNotExpanded);
}

void ApplyKeysAndLanguage(TScintilla& editor, TSciLanguageManager* languageManager) {
    TSciKeyCommandCollection stored(nullptr);
    stored.ResetToDefaults();
    editor.KeyCommands.Assign(stored);
    editor.SetLanguageManager(languageManager);
    editor.SetSelectedLanguage(QStringLiteral("ASM"));
}

}  // namespace

void ApplyMainWindowEditorForm(TScintilla& editor, TSciLanguageManager* languageManager) {
    ApplyWindowLook(editor);
    ApplyEditingOptions(editor);
    ApplyCaret(editor.Caret);
    ApplyOtherOptions(editor.OtherOptions);
    ApplyHotSpot(editor.ActiveHotSpot);
    ApplyColors(editor.Colors);
    ApplyBookmark(editor.Bookmark);
    ApplyMargins(editor);
    ApplyViewOptions(editor);
    ApplyFolding(editor);
    ApplyKeysAndLanguage(editor, languageManager);
    editor.Loaded();
}
