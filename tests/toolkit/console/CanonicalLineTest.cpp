// Erasing in a canonical terminal line of code page 936 characters: one erase key
// must take a whole double-byte character away, in every mode the terminal has.
#include "CanonicalLine.h"

#include <gtest/gtest.h>

#include <unistd.h>

using asmora::console::CanonicalLine;

namespace {

const std::string kZhong = "\xD6\xD0";  // 中
const std::string kWen = "\xCE\xC4";    // 文

// The modes of a freshly opened terminal: canonical, echo, signals, CR to NL.
termios cookedTerminal() {
    termios settings{};
    settings.c_iflag = ICRNL | IXON;
    settings.c_lflag = ICANON | ECHO | ECHOE | ECHOK | ISIG | IEXTEN;
    settings.c_cc[VERASE] = 0x7F;
    settings.c_cc[VWERASE] = 0x17;  // Ctrl+W
    settings.c_cc[VKILL] = 0x15;    // Ctrl+U
    settings.c_cc[VINTR] = 0x03;
    settings.c_cc[VQUIT] = 0x1C;
    settings.c_cc[VSUSP] = 0x1A;
    settings.c_cc[VEOF] = 0x04;
    settings.c_cc[VLNEXT] = 0x16;  // Ctrl+V
    settings.c_cc[VSTART] = 0x11;
    settings.c_cc[VSTOP] = 0x13;
    settings.c_cc[VEOL] = _POSIX_VDISABLE;
    settings.c_cc[VEOL2] = _POSIX_VDISABLE;
    return settings;
}

TEST(CanonicalLine, OneEraseTakesAWholeDoubleByteCharacter) {
    CanonicalLine line;
    const termios cooked = cookedTerminal();
    EXPECT_EQ(line.forward("a" + kZhong + kWen, cooked), "a" + kZhong + kWen);
    EXPECT_EQ(line.forward("\x7f", cooked), "\x7f\x7f");
    EXPECT_EQ(line.forward("\x7f", cooked), "\x7f\x7f");
    EXPECT_EQ(line.forward("\x7f", cooked), "\x7f");
    // Nothing left to erase: the key passes once and the terminal ignores it.
    EXPECT_EQ(line.forward("\x7f", cooked), "\x7f");
    // Typed in one piece: the erase follows the characters before it.
    EXPECT_EQ(line.forward(kZhong + "\x7f"
                                    "b\x7f",
                           cooked),
              kZhong +
                  "\x7f\x7f"
                  "b\x7f");
}

TEST(CanonicalLine, TheLineStartsAfreshAfterEachLineEndAndKill) {
    CanonicalLine line;
    termios cooked = cookedTerminal();
    for (const std::string end : {"\r", "\n", "\x04", "\x15", "\x03"}) {
        line.forward(kZhong + end, cooked);
        EXPECT_EQ(line.forward("\x7f", cooked), "\x7f") << "after " << static_cast<int>(end[0]);
    }
    // With NOFLSH an interrupt keeps the line; with IGNCR a carriage return is dropped.
    cooked.c_lflag |= NOFLSH;
    cooked.c_iflag |= IGNCR;
    EXPECT_EQ(line.forward(kZhong + "\x03\r\x7f", cooked), kZhong + "\x03\r\x7f\x7f");
    // Flow-control keys never join the line.
    EXPECT_EQ(line.forward(kWen + "\x13\x11\x7f", cooked), kWen + "\x13\x11\x7f\x7f");
}

TEST(CanonicalLine, WordEraseBecomesErasesOfWholeCharacters) {
    CanonicalLine line;
    const termios cooked = cookedTerminal();
    line.forward("ab " + kZhong + kWen + "c  ", cooked);
    // Two blanks, c, 文 and 中: seven bytes.
    EXPECT_EQ(line.forward("\x17", cooked), std::string(7, '\x7f'));
    EXPECT_EQ(line.forward("\x17", cooked), std::string(3, '\x7f'));
    EXPECT_EQ(line.forward("\x17", cooked), "\x17");
}

TEST(CanonicalLine, LiteralNextKeepsAnEraseInTheLine) {
    CanonicalLine line;
    const termios cooked = cookedTerminal();
    line.forward(kZhong + "\x16\x7f", cooked);
    EXPECT_EQ(line.forward("\x7f", cooked), "\x7f");
    EXPECT_EQ(line.forward("\x7f", cooked), "\x7f\x7f");
}

TEST(CanonicalLine, OutsideCanonicalModeEverythingPassesAsTyped) {
    CanonicalLine line;
    termios raw = cookedTerminal();
    raw.c_lflag &= ~static_cast<tcflag_t>(ICANON);
    const std::string typed = kZhong + "\x7f\x17\x15" + kWen + "\x7f";
    EXPECT_EQ(line.forward(typed, raw), typed);
    // Back in canonical mode nothing typed before counts.
    EXPECT_EQ(line.forward("\x7f", cookedTerminal()), "\x7f");
}

}  // namespace
