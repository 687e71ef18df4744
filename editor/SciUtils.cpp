// Character classes and line-end conversion used across the editor layer.
#include "SciUtils.h"

const char* const kSciLetterWordChars = "_abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";

namespace {

bool IsAsciiAlnum(int ch) { return (ch >= '0' && ch <= '9') || (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z'); }

}  // namespace

bool SciIsFixedWordChar(int ch) { return IsAsciiAlnum(ch) || ch == '_'; }

bool SciIsBlank(int ch) { return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n'; }

bool SciIsTagNameChar(int ch) { return IsAsciiAlnum(ch) || ch == '_' || ch == '-' || ch == '.' || ch == ':'; }

QByteArray SciLineEnd(int eolMode) {
    switch (eolMode) {
        case sciEolCR:
            return QByteArrayLiteral("\r");
        case sciEolLF:
            return QByteArrayLiteral("\n");
        default:
            return QByteArrayLiteral("\r\n");
    }
}

int SciDominantEolMode(const char* text, qsizetype length) {
    qsizetype count[3] = {0, 0, 0};  // indexed by mode: CR LF, CR, LF
    for (qsizetype i = 0; i < length; ++i) {
        if (text[i] == '\r') {
            const bool pair = i + 1 < length && text[i + 1] == '\n';
            ++count[pair ? sciEolCRLF : sciEolCR];
            i += pair;
        } else if (text[i] == '\n') {
            ++count[sciEolLF];
        }
    }
    int mode = sciEolCRLF;
    for (int other : {sciEolLF, sciEolCR})
        if (count[other] > count[mode]) mode = other;
    return mode;
}

QByteArray SciConvertLineEnds(const QByteArray& text, const QByteArray& lineEnd) {
    QByteArray out;
    out.reserve(text.size() + text.size() / 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += lineEnd;
        } else if (c == '\n') {
            out += lineEnd;
        } else {
            out += c;
        }
    }
    return out;
}
