// A statistical classifier that tells UTF-16 text without BOM from 8-bit text, in
// either byte order; it answers the question of the Windows IsTextUnicode test.
#pragma once

#include <cstdint>

// The tests a caller can request, and the answer reports, by their Windows names.
// "Native" order is low byte first (UTF-16LE); "reverse" is high byte first.
enum TextUnicodeTest : unsigned {
    IS_TEXT_UNICODE_ASCII16 = 0x01,
    IS_TEXT_UNICODE_STATISTICS = 0x02,
    IS_TEXT_UNICODE_CONTROLS = 0x04,
    IS_TEXT_UNICODE_SIGNATURE = 0x08,
    IS_TEXT_UNICODE_REVERSE_ASCII16 = 0x10,
    IS_TEXT_UNICODE_REVERSE_STATISTICS = 0x20,
    IS_TEXT_UNICODE_REVERSE_CONTROLS = 0x40,
    IS_TEXT_UNICODE_REVERSE_SIGNATURE = 0x80,
};

// Runs the requested tests (`*tests` on entry) on the bytes and leaves in `*tests` the
// requested tests that passed. Returns true when the bytes look like UTF-16 text:
// some ASCII16, STATISTICS or SIGNATURE test passed, in either order. The rules are
// described at the top of Utf16Statistics.cpp.
bool IsTextUnicode(const std::uint8_t* bytes, int length, unsigned* tests);
