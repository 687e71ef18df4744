// Tells whether a file without BOM and without coding cookie is UTF-8 text: its bytes,
// read in pieces, form valid UTF-8 and hold at least one character beyond ASCII. Text
// in code page 936 almost never passes (its lead bytes are followed by bytes that
// cannot continue a UTF-8 sequence), so the course's GBK files stay code page 936.
#pragma once

#include <string_view>

class Utf8Scan {
public:
    // Examines the next piece; a sequence may continue from one piece into the next.
    void Feed(std::string_view piece);
    // True when everything fed so far is complete, valid UTF-8 with a non-ASCII character.
    bool IsUtf8Text() const { return valid_ && pending_ == 0 && nonAscii_; }
    // False once a byte was found that UTF-8 does not allow there.
    bool StillValid() const { return valid_; }

private:
    void Start(unsigned char lead);

    bool valid_ = true;
    bool nonAscii_ = false;
    int pending_ = 0;  // continuation bytes still expected
    // The range of the next continuation byte; narrower after E0, ED, F0 and F4, which
    // shuts out overlong forms, surrogates and code points beyond U+10FFFF.
    unsigned char low_ = 0x80;
    unsigned char high_ = 0xBF;
};
