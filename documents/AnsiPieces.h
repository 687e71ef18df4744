// Code page 936 <-> UTF-8 conversion of a text that arrives in pieces: a character
// whose bytes straddle two pieces is carried over and converted whole. The editor's
// streams call it in their own words; the conversion is the tool kit's codec.
#pragma once

#include "toolkit/common/Cp936.h"

#include <string>
#include <string_view>

// Code page 936 bytes to UTF-8, losslessly (bytes that are no 936 character come
// back as the same bytes through Utf8ToAnsiPieces).
class AnsiToUtf8Pieces {
public:
    // Converts `piece` after what was carried over; a lead byte that ends the piece
    // is kept back for the next call.
    std::string Convert(std::string_view piece) { return decoder_.decode(piece); }
    // Converts whatever is still kept back; call once after the last piece.
    std::string Finish() { return decoder_.finish(); }

private:
    asmora::toolkit::cp936::Decoder decoder_;
};

// UTF-8 to code page 936. Characters that code page 936 lacks become '?'; bytes that
// are not UTF-8 are written unchanged.
class Utf8ToAnsiPieces {
public:
    // Converts `piece` after what was carried over; an unfinished UTF-8 sequence at
    // its end is kept back for the next call.
    std::string Convert(std::string_view piece) { return encoder_.encode(piece); }
    std::string Finish() { return encoder_.finish(); }

private:
    asmora::toolkit::cp936::Encoder encoder_{asmora::toolkit::cp936::InvalidUtf8::KeepByte};
};
