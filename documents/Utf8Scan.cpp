// The strict UTF-8 test of a text read in pieces.
#include "Utf8Scan.h"

void Utf8Scan::Feed(std::string_view piece) {
    for (const char c : piece) {
        if (!valid_) return;
        const auto b = static_cast<unsigned char>(c);
        if (pending_ > 0) {
            if (b < low_ || b > high_) {
                valid_ = false;
                return;
            }
            low_ = 0x80;
            high_ = 0xBF;
            --pending_;
        } else if (b >= 0x80) {
            nonAscii_ = true;
            Start(b);
        }
    }
}

// Lead bytes, with the range of the first continuation byte where it is narrower:
//   C2..DF  one more byte          E0  A0..BF, one more    ED  80..9F, one more
//   E1..EF  two more (not ED)      F0  90..BF, two more    F4  80..8F, two more
//   F1..F3  three more             80..C1 and F5..FF never start a sequence
void Utf8Scan::Start(unsigned char lead) {
    if (lead >= 0xC2 && lead <= 0xDF) {
        pending_ = 1;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        pending_ = 2;
        if (lead == 0xE0) low_ = 0xA0;
        if (lead == 0xED) high_ = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        pending_ = 3;
        if (lead == 0xF0) low_ = 0x90;
        if (lead == 0xF4) high_ = 0x8F;
    } else {
        valid_ = false;
    }
}
