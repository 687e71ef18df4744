// Shows text in the console's columns: every character that takes two columns in
// a console of code page 936 (Chinese characters, box-drawing characters, the
// full-width blank) is drawn exactly two columns of the fixed font wide, so the
// template editor lines its text up as the console window will.
#pragma once

#include <QHash>
#include <QSyntaxHighlighter>

namespace asmora::build {

// True for a character that code page 936 writes as two bytes.
bool takesTwoColumns(QChar character);

class TConsoleColumns final : public QSyntaxHighlighter {
    Q_OBJECT
public:
    explicit TConsoleColumns(QTextDocument* document);

protected:
    void highlightBlock(const QString& text) override;

private:
    // The letter spacing that widens `character` to two columns.
    qreal paddingFor(QChar character);

    QHash<char16_t, qreal> padding_;
};

}  // namespace asmora::build
