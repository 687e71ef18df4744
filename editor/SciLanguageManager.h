// Languages: named bundles of a lexer, styles and keyword lists, and how one is applied.
#pragma once

#include "SciSupport.h"

#include <QByteArrayList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class TScintillaBase;

enum TSciCharCase { CASE_MIXED = 0, CASE_UPPER = 1, CASE_LOWER = 2 };

// Font style set; strike-out is kept but never sent.
enum TSciFontStyle : unsigned { fsBold = 1u << 0, fsItalic = 1u << 1, fsUnderline = 1u << 2, fsStrikeOut = 1u << 3 };

struct TSciStyle {
    QString FontName;  // empty: not sent
    int FontSize = 0;  // points; 0: not sent
    unsigned FontStyles = 0;
    TColor ForeColor = clDefault;
    TColor BackColor = clDefault;
    TSciCharCase CharCase = CASE_MIXED;
    bool Visible = true;
    bool Changeable = true;
    bool EOLFilled = false;
    bool Hotspot = false;
    QString Name;
    int StyleNumber = 0;
    int CharSet = -1;  // -1: not sent

    // Sends the style's messages for its StyleNumber.
    void SendTo(TScintillaBase& editor) const;
};

struct TSciKeywords {
    int KeywordListNumber = 0;
    QString Name;
    QByteArrayList Keywords;  // lines of words, joined with single blanks when sent
};

class TSciLangItem {
public:
    explicit TSciLangItem(int index);

    QString Name;
    QString Lexer = QStringLiteral("null");
    std::vector<TSciStyle> Styles;
    std::vector<TSciKeywords> Keywords;
    QString AssignmentOperator = QStringLiteral("=");
    QString EndOfStatementOperator = QStringLiteral(";");
    QString CommentBoxStart = QStringLiteral("/*");
    QString CommentBoxEnd = QStringLiteral("*/");
    QString CommentBoxMiddle = QStringLiteral("*");
    QString CommentBlock = QStringLiteral("//");
    bool CommentAtLineStart = true;
    QString CommentStreamStart = QStringLiteral("/*");
    QString CommentStreamEnd = QStringLiteral("*/");
    int NumStyleBits = 5;  // negative: ask the lexer

    // A new style named "Style[n]" with StyleNumber n, n being its index.
    TSciStyle& AddStyle();
    // A new keyword list named "Keywords[n]".
    TSciKeywords& AddKeywords();
};

class TSciLangList {
public:
    int Count() const { return int(items_.size()); }
    TSciLangItem& Item(int index) { return *items_.at(index); }
    const TSciLangItem& Item(int index) const { return *items_.at(index); }
    // A new language named "Language[n]" with lexer "null".
    TSciLangItem& Add();
    void Clear() { items_.clear(); }
    TSciLangItem* Find(const QString& name);
    // The language `name`; created from the "null" language when missing (and "null"
    // first when that is missing too). A given lexer replaces the found one's.
    TSciLangItem& FindOrCreate(const QString& name, const QString& lexer = QString(), bool noStyles = false);
    void Sort();

private:
    std::vector<std::unique_ptr<TSciLangItem>> items_;
};

class TSciLanguageManager : public QObject {
public:
    explicit TSciLanguageManager(QObject* parent = nullptr);

    TSciLangList LanguageList;
    // The 88 lexer names of the control.
    const QStringList& LexerNames() const { return lexerNames_; }

    // Empties the list down to a "null" language with lexer "null".
    void Reset();
    // The lexer of the first language named exactly `name`; `name` itself otherwise.
    QString LexerOf(const QString& name) const;
    // Orders languages by name ignoring case, styles and keyword lists by number.
    void Sort() { LanguageList.Sort(); }

    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();
    int UpdateCount() const { return updateCount_; }

    // Steps 2 to 11 of selecting a language: lexer, styles, keyword lists, colouring.
    void ApplyLanguage(TScintillaBase& editor, const QString& name);

private:
    int updateCount_ = 0;
    QStringList lexerNames_;
};

// The lexer names the control knows, in its catalogue order.
extern const char* const kSciLexerNames[88];
