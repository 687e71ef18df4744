// Small helpers of the editor layer: character classes, line ends, control structures.
#pragma once

#include <QByteArray>

// The letters and underscore that an empty WordChars stands for (no digits).
extern const char* const kSciLetterWordChars;

// "0"-"9", "A"-"Z", "a"-"z" and "_": the fixed set of the word at the caret.
bool SciIsFixedWordChar(int ch);
// Tab, line feed, carriage return or space.
bool SciIsBlank(int ch);
// A character of a markup tag name: letters, digits, "_", "-", ".", ":".
bool SciIsTagNameChar(int ch);

// The control's end-of-line modes and the line end each writes.
enum TSciEolMode { sciEolCRLF = 0, sciEolCR = 1, sciEolLF = 2 };
QByteArray SciLineEnd(int eolMode);
// The mode of the line end most lines of `text` use (CR LF, a lone CR or a lone LF).
// Text without line ends, and a tie that includes CR LF, give CR LF; LF wins a tie
// with CR.
int SciDominantEolMode(const char* text, qsizetype length);
// Every CR LF, CR and LF of `text` becomes `lineEnd`.
QByteArray SciConvertLineEnds(const QByteArray& text, const QByteArray& lineEnd);

// The control's range and search structures (Sci_TextRange, Sci_TextToFind).
struct SciCharacterRange {
    long cpMin;
    long cpMax;
};
struct SciTextRange {
    SciCharacterRange chrg;
    char* lpstrText;
};
struct SciTextToFind {
    SciCharacterRange chrg;
    const char* lpstrText;
    SciCharacterRange chrgText;
};
