// The sixteen console colours and the "color XY" argument (X background, Y text).
#pragma once

#include <optional>
#include <string>

namespace asmora::console {

struct Rgb {
    unsigned char red, green, blue;
};

// Colour number 0..15 as the classic console palette shows it.
Rgb consoleColor(int number);

struct ColorPair {
    int background;
    int foreground;
};

// "F1" -> {15, 1}. Nothing for a malformed argument or equal colours, which a
// console refuses.
std::optional<ColorPair> parseColorArgument(const std::string& argument);

}  // namespace asmora::console
