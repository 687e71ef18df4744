// Unicode transcoding: encoding detection (BOM, coding cookie, UTF-16 statistics) and
// the byte-level converters between the file encodings and the editor's UTF-8 text.
//
// Only the Basic Multilingual Plane is handled: every 16-bit unit is converted on its
// own (no surrogate pairing) and UTF-8 sequences longer than three bytes are not
// decoded. Nothing is validated; malformed input is converted by the same rules as
// well-formed input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

// The encoding of a text file. The numbers are stored and compared by value; values
// above 6 are possible (a caller may store any 8-bit number) and are treated as
// big-endian UTF-16 wherever they reach the UTF-16 code.
enum EncodingKind : std::uint8_t {
    ekAnsi = 0,        // code page 936, no BOM
    ekUtf16BE = 1,     // BOM FE FF
    ekUtf16LE = 2,     // BOM FF FE
    ekUtf8 = 3,        // BOM EF BB BF
    ekUtf8Cookie = 4,  // a coding cookie in line 1 or 2, no BOM
    ekUtf16BENoBom = 5,
    ekUtf16LENoBom = 6,
};

// The BOM of each kind that has one, indexed by kind. Kinds 1 and 2 use the first two
// bytes of their row, kind 3 all three.
inline constexpr std::uint8_t BomTable[4][3] = {
    {0x00, 0x00, 0x00},
    {0xFE, 0xFF, 0x00},
    {0xFF, 0xFE, 0x00},
    {0xEF, 0xBB, 0xBF},
};

// Kinds whose bytes are UTF-16 (everything but ANSI and the two UTF-8 kinds).
bool IsUtf16Kind(EncodingKind kind);
// Kinds 2 and 6 put the low byte first; every other UTF-16 kind the high byte.
bool IsLittleEndianKind(EncodingKind kind);

// Sets `kind` to the encoding the first bytes show and returns how many BOM bytes
// (0, 2 or 3) the caller must skip. Without a BOM the coding-cookie test decides
// between 4 and 0; fewer than two bytes are always kind 0.
int DetectBom(const std::uint8_t* bytes, int length, EncodingKind& kind);

// The UTF-16 test for text without BOM: sets kind 6 (native, low byte first) or
// kind 5 (reversed) and returns true when the bytes look like UTF-16 text; otherwise
// returns false and leaves kind alone. The statistical classifier is in
// Utf16Statistics.h.
bool DetectUtf16Statistics(const std::uint8_t* bytes, int length, EncodingKind& kind);

// The line that starts at `start`: up to and including the first CR or LF (a CR LF
// pair belongs to the line whole); never past `end`.
std::string_view TakeLine(const std::uint8_t* bytes, std::size_t end, std::size_t start);
// 4 when the line carries the cookie "coding:" or "coding=" with the value utf-8 (in
// any letter case), otherwise 0.
EncodingKind ReadCodingCookie(std::string_view line);
// The characters of a cookie value: A-Z, a-z, 0-9, '_', '-' and '.'.
bool IsCookieChar(char character);

// Turns 16-bit units into UTF-8 bytes, one output byte per step.
//   loop:  Attach(...); while (HasMore()) { out(Value()); Step(); }
// Every complete unit in the range gives its one to three bytes; a final odd byte is
// dropped; bytes beyond the range are never read.
class Utf16_Iter {
public:
    Utf16_Iter() = default;  // every field zero
    void Clear();
    // Binds range and kind and takes the first step, so Value() is ready at once.
    void Attach(const std::uint8_t* bytes, std::size_t length, EncodingKind kind);
    void Step();
    bool HasMore() const { return read_ <= end_; }
    std::uint8_t Value() const { return current_; }

private:
    enum State : std::uint8_t { AtUnit = 0, TwoOfTwo = 1, TwoOfThree = 2, ThreeOfThree = 3 };

    EncodingKind kind_ = ekAnsi;
    std::uint8_t state_ = AtUnit;
    const std::uint8_t* start_ = nullptr;
    std::size_t read_ = 0;  // offsets from start_; read_ may pass end_ by up to 2
    std::size_t end_ = 0;
    std::uint8_t current_ = 0;
    std::uint16_t unit_ = 0;
};

// Turns UTF-8 bytes into 16-bit units, consuming one input byte per step.
//   loop:  Attach(...); while (HasMore()) { Step(); if (IsComplete()) out(Value()); }
// A sequence still open at the end of the range gives nothing. For kinds 1 and 5 the
// two bytes of each finished unit are exchanged, so that a unit stored low byte first
// comes out high byte first.
class Utf8_Iter {
public:
    Utf8_Iter() = default;  // every field zero
    void Clear();
    // Binds range and kind only; state and the value being assembled are kept.
    void Attach(const std::uint8_t* bytes, std::size_t length, EncodingKind kind);
    void Step();
    bool HasMore() const { return read_ < end_; }
    std::uint16_t Value() const { return value_; }
    bool IsComplete() const { return state_ == AtUnit; }
    void FinishUnit();

private:
    enum State : std::uint8_t { AtUnit = 0, LastOfTwo = 1, SecondOfThree = 2, LastOfThree = 3 };

    EncodingKind kind_ = ekAnsi;
    std::uint8_t state_ = AtUnit;
    const std::uint8_t* start_ = nullptr;
    std::size_t read_ = 0;  // offsets from start_
    std::size_t end_ = 0;
    std::uint16_t value_ = 0;
};

// How many bytes at the end of `bytes` start a sequence that Utf8_Iter would leave
// open: a caller converting one text in pieces carries them over to the next piece.
std::size_t OpenUtf8IterTail(const std::uint8_t* bytes, std::size_t length);

// Decodes a file piece by piece into UTF-8. Only the first Decode detects the
// encoding (when kind is still 0) and skips a BOM.
class UtfRead {
public:
    UtfRead() = default;
    ~UtfRead() = default;
    UtfRead(const UtfRead&) = delete;
    UtfRead& operator=(const UtfRead&) = delete;

    // Converts one piece; returns the count of bytes at Output(). Kinds 0, 3 and 4
    // are handed back uncopied (Output() points into `bytes`).
    int Decode(const std::uint8_t* bytes, int length);
    const std::uint8_t* Output() const { return output_; }

    // A caller that already knows the encoding stores it before the first Decode.
    EncodingKind kind = ekAnsi;

private:
    const std::uint8_t* input_ = nullptr;
    std::int32_t capacity_ = 0;
    bool firstCall_ = true;
    std::unique_ptr<std::uint8_t[]> buffer_;
    const std::uint8_t* output_ = nullptr;
    std::int32_t inputLength_ = 0;
};

// The byte stream a UtfWrite writes to. Write returns the count written.
class UtfOutputStream {
public:
    virtual ~UtfOutputStream() = default;
    virtual int Write(const std::uint8_t* bytes, int length) = 0;
};

// Encodes UTF-8 text piece by piece into the bytes of a kind; the BOM of kinds 1, 2
// and 3 goes out before the first non-empty piece after each SetStream.
class UtfWrite {
public:
    UtfWrite() = default;
    UtfWrite(const UtfWrite&) = delete;
    UtfWrite& operator=(const UtfWrite&) = delete;

    void SetKind(EncodingKind kind) { kind_ = kind; }
    void SetStream(UtfOutputStream* stream);
    // Returns the count of the last stream write of the call, or 0.
    int Write(const std::uint8_t* bytes, int length);

private:
    int WriteUtf16(const std::uint8_t* bytes, int length);

    EncodingKind kind_ = ekAnsi;
    std::unique_ptr<std::uint8_t[]> units_;
    std::uint32_t capacity_ = 0;
    bool bomPending_ = true;
    UtfOutputStream* stream_ = nullptr;
};
