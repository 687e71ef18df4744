// The language list, find-or-create with the "null" rule, and applying a language.
#include "SciLanguageManager.h"

#include "SciScintillaBase.h"

#include <algorithm>

using B = QsciScintillaBase;

const char* const kSciLexerNames[88] = {
    "abaqus",     "ada",           "apdl",      "asm",        "asn1",
    "asy",        "au3",           "ave",       "baan",       "bash",
    "blitzbasic", "purebasic",     "freebasic", "bullant",    "caml",
    "clarion",    "clarionnocase", "cmake",     "conf",       "cpp",
    "cppnocase",  "nncrontab",     "csound",    "css",        "d",
    "eiffel",     "eiffelkw",      "email",     "erlang",     "escript",
    "flagship",   "forth",         "fortran",   "f77",        "gap",
    "gui4cli",    "haskell",       "hypertext", "xml",        "asp",
    "php",        "phpscript",     "inno",      "kix",        "lisp",
    "lout",       "lua",           "magiksf",   "matlab",     "octave",
    "metapost",   "mmixal",        "lot",       "mssql",      "nsis",
    "opal",       "batch",         "diff",      "props",      "makefile",
    "errorlist",  "latex",         "null",      "pascal",     "powerbasic",
    "perl",       "PL/M",          "pov",       "powershell", "progress",
    "ps",         "python",        "r",         "rebol",      "ruby",
    "scriptol",   "smalltalk",     "specman",   "spice",      "sql",
    "tads3",      "tcl",           "tex",       "vb",         "vbscript",
    "verilog",    "vhdl",          "yaml",
};

namespace {

const QString kNullLanguage = QStringLiteral("null");

}  // namespace

// ---- TSciStyle ------------------------------------------------------------------------

void TSciStyle::SendTo(TScintillaBase& editor) const {
    const unsigned long n = StyleNumber;
    if (CharSet != -1) editor.Send(B::SCI_STYLESETCHARACTERSET, n, CharSet);
    if (!FontName.isEmpty()) editor.SendText(B::SCI_STYLESETFONT, n, FontName.toUtf8());
    if (FontSize > 0) editor.Send(B::SCI_STYLESETSIZE, n, FontSize);
    if (ForeColor != clDefault) editor.SendColor(B::SCI_STYLESETFORE, n, ForeColor);
    if (BackColor != clDefault) editor.SendColor(B::SCI_STYLESETBACK, n, BackColor);
    editor.Send(B::SCI_STYLESETBOLD, n, (FontStyles & fsBold) != 0);
    editor.Send(B::SCI_STYLESETITALIC, n, (FontStyles & fsItalic) != 0);
    editor.Send(B::SCI_STYLESETUNDERLINE, n, (FontStyles & fsUnderline) != 0);
    editor.Send(B::SCI_STYLESETCASE, n, CharCase);
    editor.Send(B::SCI_STYLESETVISIBLE, n, Visible);
    editor.Send(B::SCI_STYLESETCHANGEABLE, n, Changeable);
    editor.Send(B::SCI_STYLESETHOTSPOT, n, Hotspot);
    editor.Send(B::SCI_STYLESETEOLFILLED, n, EOLFilled);
}

// ---- TSciLangItem ---------------------------------------------------------------------

TSciLangItem::TSciLangItem(int index) : Name(QStringLiteral("Language[%1]").arg(index)) {}

TSciStyle& TSciLangItem::AddStyle() {
    const int index = int(Styles.size());
    TSciStyle& style = Styles.emplace_back();
    style.Name = QStringLiteral("Style[%1]").arg(index);
    style.StyleNumber = index;
    return style;
}

TSciKeywords& TSciLangItem::AddKeywords() {
    const int index = int(Keywords.size());
    TSciKeywords& list = Keywords.emplace_back();
    list.Name = QStringLiteral("Keywords[%1]").arg(index);
    return list;
}

// ---- TSciLangList ---------------------------------------------------------------------

TSciLangItem& TSciLangList::Add() {
    items_.push_back(std::make_unique<TSciLangItem>(Count()));
    return *items_.back();
}

TSciLangItem* TSciLangList::Find(const QString& name) {
    for (const auto& item : items_)
        if (item->Name == name) return item.get();
    return nullptr;
}

TSciLangItem& TSciLangList::FindOrCreate(const QString& name, const QString& lexer, bool noStyles) {
    for (;;) {
        if (TSciLangItem* found = Find(name)) {
            if (!lexer.isEmpty() && lexer != found->Lexer) found->Lexer = lexer;
            return *found;
        }
        const TSciLangItem* null = Find(kNullLanguage);
        TSciLangItem& created = Add();
        if (!null) {
            created.Name = kNullLanguage;
            created.Lexer = kNullLanguage;
            continue;
        }
        if (!noStyles) created.Styles = null->Styles;
        created.Name = name;
        created.Lexer = lexer.isEmpty() ? name : lexer;
        return created;
    }
}

void TSciLangList::Sort() {
    std::stable_sort(items_.begin(), items_.end(),
                     [](const auto& a, const auto& b) { return a->Name.compare(b->Name, Qt::CaseInsensitive) < 0; });
    for (auto& item : items_) {
        std::stable_sort(item->Styles.begin(), item->Styles.end(),
                         [](const TSciStyle& a, const TSciStyle& b) { return a.StyleNumber < b.StyleNumber; });
        std::stable_sort(
            item->Keywords.begin(), item->Keywords.end(),
            [](const TSciKeywords& a, const TSciKeywords& b) { return a.KeywordListNumber < b.KeywordListNumber; });
    }
}

// ---- TSciLanguageManager --------------------------------------------------------------

TSciLanguageManager::TSciLanguageManager(QObject* parent) : QObject(parent) {
    for (const char* name : kSciLexerNames) lexerNames_ << QString::fromLatin1(name);
}

void TSciLanguageManager::Reset() {
    LanguageList.Clear();
    TSciLangItem& null = LanguageList.Add();
    null.Name = kNullLanguage;
    null.Lexer = kNullLanguage;
    lexerNames_.clear();
    for (const char* name : kSciLexerNames) lexerNames_ << QString::fromLatin1(name);
}

QString TSciLanguageManager::LexerOf(const QString& name) const {
    for (int i = 0; i < LanguageList.Count(); ++i)
        if (LanguageList.Item(i).Name == name) return LanguageList.Item(i).Lexer;
    return name;
}

void TSciLanguageManager::EndUpdate() {
    if (updateCount_ > 0) --updateCount_;
}

void TSciLanguageManager::ApplyLanguage(TScintillaBase& editor, const QString& name) {
    const QString lexer = LexerOf(name);
    if (lexer.compare(QLatin1String("container"), Qt::CaseInsensitive) == 0) {
        editor.Send(B::SCI_SETLEXER, B::SCLEX_CONTAINER);
        editor.Send(B::SCI_STYLECLEARALL);
        return;
    }
    editor.SendText(B::SCI_SETLEXERLANGUAGE, 0, lexer.toUtf8());
    if (lexer == QLatin1String("xml"))
        editor.SendStrings(B::SCI_SETPROPERTY, "html.tags.case.sensitive", "1");
    else if (lexer == QLatin1String("hypertext"))
        editor.SendStrings(B::SCI_SETPROPERTY, "html.tags.case.sensitive", "0");

    TSciLangItem& item = LanguageList.FindOrCreate(name);
    editor.Send(B::SCI_CLEARDOCUMENTSTYLE);
    if (item.NumStyleBits >= 0) {
        editor.Send(B::SCI_SETSTYLEBITS, item.NumStyleBits);
    } else {
        const long needed = editor.Send(B::SCI_GETSTYLEBITSNEEDED);
        if (needed >= 1 && needed <= 8) {
            editor.Send(B::SCI_SETSTYLEBITS, needed);
        } else {
            item.NumStyleBits = 5;
            editor.Send(B::SCI_SETSTYLEBITS, 5);
        }
    }
    editor.Send(B::SCI_STYLECLEARALL);
    for (const TSciStyle& style : item.Styles) style.SendTo(editor);
    for (const TSciKeywords& list : item.Keywords)
        editor.SendText(B::SCI_SETKEYWORDS, list.KeywordListNumber, list.Keywords.join(' '));
    editor.Send(B::SCI_COLOURISE, 0, -1);
}
