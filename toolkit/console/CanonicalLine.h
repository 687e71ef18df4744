// The line that a program's terminal collects in canonical mode, followed in
// characters of code page 936. The terminal's line editing counts bytes, so one
// erase key would remove half of a double-byte character; this sends one erase
// per byte of the character instead (the echo then moves back two columns, the
// character's width), and turns a word erase into the erases of whole characters.
#pragma once

#include <string>
#include <string_view>
#include <termios.h>
#include <vector>

namespace asmora::console {

class CanonicalLine {
public:
    // Passes typed input (whole code page 936 characters) on to a terminal with
    // `settings`, with erases widened as above.
    std::string forward(std::string_view cp936, const termios& settings);

private:
    // What one typed character does to the line; appends what is sent for it.
    void forwardCharacter(std::string_view character, const termios& settings, std::string& out);
    // Sends one erase per byte of the last `count` characters and drops them.
    void eraseCharacters(std::size_t count, char erase, std::string& out);
    std::size_t lastWordLength() const;

    std::vector<std::string> characters_;  // the line so far
    bool literalNext_ = false;             // the previous key was the literal-next key
};

}  // namespace asmora::console
