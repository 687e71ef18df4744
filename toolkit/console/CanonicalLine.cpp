// Following a canonical terminal line in code page 936 characters, in the order in
// which the terminal's line discipline looks at each typed byte.
#include "CanonicalLine.h"

#include <unistd.h>

namespace asmora::console {

namespace {

// True when `byte` is the terminal's special character `index` (and that one is set).
bool isSpecial(const termios& settings, int index, unsigned char byte) {
    const cc_t special = settings.c_cc[index];
    return special != _POSIX_VDISABLE && special == byte;
}

bool isSignalKey(const termios& settings, unsigned char byte) {
    return (settings.c_lflag & ISIG) &&
           (isSpecial(settings, VINTR, byte) || isSpecial(settings, VQUIT, byte) || isSpecial(settings, VSUSP, byte));
}

// Keys the terminal acts on before the line sees them: flow control, signal keys
// and an ignored carriage return.
bool isTakenBeforeTheLine(const termios& settings, unsigned char byte) {
    if ((settings.c_iflag & IXON) && (isSpecial(settings, VSTART, byte) || isSpecial(settings, VSTOP, byte))) {
        return true;
    }
    return isSignalKey(settings, byte) || (byte == '\r' && (settings.c_iflag & IGNCR));
}

// The byte as the line sees it, after the carriage return and line feed mappings.
unsigned char lineByte(const termios& settings, unsigned char byte) {
    if (byte == '\r' && (settings.c_iflag & ICRNL)) return '\n';
    if (byte == '\n' && (settings.c_iflag & INLCR)) return '\r';
    return byte;
}

bool endsTheLine(const termios& settings, unsigned char byte) {
    return byte == '\n' || isSpecial(settings, VEOF, byte) || isSpecial(settings, VEOL, byte) ||
           ((settings.c_lflag & IEXTEN) && isSpecial(settings, VEOL2, byte));
}

bool isBlank(const std::string& character) { return character == " " || character == "\t"; }

}  // namespace

std::string CanonicalLine::forward(std::string_view cp936, const termios& settings) {
    std::string out;
    while (!cp936.empty()) {
        const auto lead = static_cast<unsigned char>(cp936.front());
        const std::size_t length = (lead >= 0x81 && lead <= 0xFE && cp936.size() >= 2) ? 2 : 1;
        forwardCharacter(cp936.substr(0, length), settings, out);
        cp936.remove_prefix(length);
    }
    return out;
}

void CanonicalLine::forwardCharacter(std::string_view character, const termios& settings, std::string& out) {
    const auto typed = static_cast<unsigned char>(character.front());
    const bool extended = settings.c_lflag & IEXTEN;
    if (!(settings.c_lflag & ICANON)) {
        characters_.clear();
        literalNext_ = false;
    } else if (literalNext_ || character.size() > 1) {
        literalNext_ = false;
        characters_.emplace_back(character);
    } else if (isTakenBeforeTheLine(settings, typed)) {
        if (isSignalKey(settings, typed) && !(settings.c_lflag & NOFLSH)) characters_.clear();
    } else if (const unsigned char byte = lineByte(settings, typed); isSpecial(settings, VERASE, byte)) {
        if (!characters_.empty()) {
            eraseCharacters(1, character.front(), out);
            return;
        }
    } else if (extended && isSpecial(settings, VWERASE, byte)) {
        const std::size_t word = lastWordLength();
        if (settings.c_cc[VERASE] != _POSIX_VDISABLE && word > 0) {
            eraseCharacters(word, static_cast<char>(settings.c_cc[VERASE]), out);
            return;
        }
        characters_.resize(characters_.size() - word);
    } else if (isSpecial(settings, VKILL, byte) || endsTheLine(settings, byte)) {
        characters_.clear();
    } else if (extended && isSpecial(settings, VLNEXT, byte)) {
        literalNext_ = true;
    } else if (!(extended && isSpecial(settings, VREPRINT, byte))) {
        characters_.emplace_back(character);
    }
    out += character;
}

void CanonicalLine::eraseCharacters(std::size_t count, char erase, std::string& out) {
    for (std::size_t i = 0; i < count && !characters_.empty(); ++i) {
        out.append(characters_.back().size(), erase);
        characters_.pop_back();
    }
}

// Blanks at the end of the line, then the characters up to the blank before them.
std::size_t CanonicalLine::lastWordLength() const {
    std::size_t at = characters_.size();
    while (at > 0 && isBlank(characters_[at - 1])) --at;
    while (at > 0 && !isBlank(characters_[at - 1])) --at;
    return characters_.size() - at;
}

}  // namespace asmora::console
