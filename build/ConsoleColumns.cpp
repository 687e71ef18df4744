// Two-column characters padded to two columns of the fixed font.
#include "ConsoleColumns.h"

#include "platform/Cp936.h"

#include <QFontMetricsF>
#include <QTextDocument>

namespace asmora::build {

bool takesTwoColumns(QChar character) {
    return character.unicode() >= 0x80 && platform::cp936::encode(QString(character)).size() == 2;
}

TConsoleColumns::TConsoleColumns(QTextDocument* document) : QSyntaxHighlighter(document) {}

qreal TConsoleColumns::paddingFor(QChar character) {
    const auto known = padding_.constFind(character.unicode());
    if (known != padding_.cend()) return *known;
    const QFontMetricsF metrics(document()->defaultFont());
    const qreal padding = 2 * metrics.horizontalAdvance(u'0') - metrics.horizontalAdvance(character);
    padding_.insert(character.unicode(), padding);
    return padding;
}

void TConsoleColumns::highlightBlock(const QString& text) {
    for (qsizetype at = 0; at < text.size(); ++at) {
        const QChar character = text[at];
        if (!takesTwoColumns(character)) continue;
        QTextCharFormat widened;
        widened.setFontLetterSpacingType(QFont::AbsoluteSpacing);
        widened.setFontLetterSpacing(paddingFor(character));
        setFormat(static_cast<int>(at), 1, widened);
    }
}

}  // namespace asmora::build
