// The classic console palette.
#include "ConsoleColors.h"

#include <array>
#include <cctype>

// clang-format off
namespace asmora::console {

namespace {

// number  name            red green blue
const std::array<Rgb, 16> kPalette{{
    {0x00, 0x00, 0x00},  // 0 black
    {0x00, 0x00, 0x80},  // 1 blue
    {0x00, 0x80, 0x00},  // 2 green
    {0x00, 0x80, 0x80},  // 3 aqua
    {0x80, 0x00, 0x00},  // 4 red
    {0x80, 0x00, 0x80},  // 5 purple
    {0x80, 0x80, 0x00},  // 6 yellow
    {0xC0, 0xC0, 0xC0},  // 7 white
    {0x80, 0x80, 0x80},  // 8 gray
    {0x00, 0x00, 0xFF},  // 9 light blue
    {0x00, 0xFF, 0x00},  // A light green
    {0x00, 0xFF, 0xFF},  // B light aqua
    {0xFF, 0x00, 0x00},  // C light red
    {0xFF, 0x00, 0xFF},  // D light purple
    {0xFF, 0xFF, 0x00},  // E light yellow
    {0xFF, 0xFF, 0xFF},  // F bright white
}};
// clang-format on

int hexDigit(char c) {
    if (std::isdigit(static_cast<unsigned char>(c))) return c - '0';
    const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return (lower >= 'a' && lower <= 'f') ? lower - 'a' + 10 : -1;
}

}  // namespace

Rgb consoleColor(int number) { return kPalette.at(static_cast<std::size_t>(number & 0x0F)); }

std::optional<ColorPair> parseColorArgument(const std::string& argument) {
    int background = 0;
    int foreground;
    if (argument.size() == 1) {
        foreground = hexDigit(argument[0]);
    } else if (argument.size() == 2) {
        background = hexDigit(argument[0]);
        foreground = hexDigit(argument[1]);
    } else {
        return std::nullopt;
    }
    if (background < 0 || foreground < 0 || background == foreground) return std::nullopt;
    return ColorPair{background, foreground};
}

}  // namespace asmora::console
