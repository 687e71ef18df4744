// Shared value types of the editor layer: colour values, the editor font, message numbers.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>

// The exception class of the editor layer: a plain message exception.
class ESciException : public std::runtime_error {
public:
    explicit ESciException(const QString& message) : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& Message() const { return message_; }

private:
    QString message_;
};

// Colour values as the editor's option records hold them:
//   0x00BBGGRR   a plain 24-bit colour, blue in the high byte (the control's own order)
//   0xFF0000nn   the system colour number nn, resolved from the Qt palette when sent
//   0x20000000   clDefault: no colour is sent at all
using TColor = std::uint32_t;

constexpr TColor clDefault = 0x20000000;
constexpr TColor clSystemColor = 0xFF000000;

// System colour numbers (the Windows COLOR_* indices that stored forms use).
enum TSysColorIndex : std::uint32_t {
    COLOR_BACKGROUND = 1,  // the desktop
    COLOR_WINDOW = 5,
    COLOR_WINDOWTEXT = 8,
    COLOR_HIGHLIGHT = 13,
    COLOR_HIGHLIGHTTEXT = 14,
    COLOR_BTNFACE = 15,
};

constexpr TColor clBackground = clSystemColor | COLOR_BACKGROUND;
constexpr TColor clWindow = clSystemColor | COLOR_WINDOW;
constexpr TColor clWindowText = clSystemColor | COLOR_WINDOWTEXT;
constexpr TColor clHighlight = clSystemColor | COLOR_HIGHLIGHT;
constexpr TColor clHighlightText = clSystemColor | COLOR_HIGHLIGHTTEXT;
constexpr TColor clBtnFace = clSystemColor | COLOR_BTNFACE;

// A colour written the way web pages and the course notes write it: HexRGB(0x0080FF).
constexpr TColor HexRGB(std::uint32_t rgb) { return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF); }

constexpr bool IsSystemColor(TColor c) { return (c & 0xFF000000) == clSystemColor; }

// The 24-bit 0x00BBGGRR value the control receives; system colours come from the
// application palette at this moment. Must not be called with clDefault.
std::uint32_t ColorToRGB(TColor color);

// The editor font: what the control's default style 32 receives on a font change.
struct TSciFont {
    QString Name = QStringLiteral("Courier New");
    int Size = 10;    // points
    int CharSet = 1;  // the control's character-set number (1 = default)
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    TColor Color = clWindowText;
};

// Makes the Windows font names of the stored forms ("Fixedsys", "Comic Sans MS",
// "宋体") usable: each resolves through fontconfig to a monospace, a sans and a CJK
// font. The control is still told the original name. Safe to call more than once.
void InstallSciFontSubstitutes();

// The font family that Qt draws for `family` after the substitutes above.
QString ResolvedFontFamily(const QString& family);

// Messages that this Scintilla no longer has; they are still sent and ignored.
enum TSciRetiredMessage : unsigned {
    SCI_SETUSEPALETTE = 2039,
    SCI_GETUSEPALETTE = 2139,
};

// A value with the identifier under which stored settings write it ("cpUTF8").
struct TSciIdent {
    int Value;
    const char* Name;
};

// The code page identifiers; the value is the one the control would receive.
extern const std::span<const TSciIdent> kSciCodePageIdents;

// Identifier lookups; names compare without regard to case.
std::optional<int> SciIdentToValue(std::span<const TSciIdent> table, const QString& name);
QString SciValueToIdent(std::span<const TSciIdent> table, int value);
