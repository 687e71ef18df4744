// The line scanner: splits one logical source line into tokens and reads numbers
// in the radix rules of the dialect.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "Diagnostics.h"

namespace ml {

enum class TokenKind : std::uint8_t { Identifier, Number, Real, String, Punct };

struct Token {
    TokenKind kind;
    std::string_view text;     // for String: with its quotes; for Punct: one or two characters
    std::uint32_t column = 0;  // offset in the line

    bool is(std::string_view punct) const { return kind == TokenKind::Punct && text == punct; }
    bool isWord(std::string_view word) const;  // identifier equal to `word` ignoring case
};

struct LexResult {
    std::optional<Diag> error;  // MissingQuote for an unclosed string
    std::uint32_t errorColumn = 0;
};

// Scans `line` up to a comment (';' outside a string). Tokens point into `line`.
//   mov eax, [ebx+4]   ; comment   ->  mov | eax | , | [ | ebx | + | 4 | ]
// A '.' that starts an operand and is followed by a letter or digit belongs to the
// name (".386", ".DATA?"); after a name, ')' or ']' it is the field operator.
LexResult tokenize(std::string_view line, std::vector<Token>& out);

// Reads an integer literal ("0FFh", "1010b", "17", "777o") in the default radix.
// Returns nothing when a character is not a digit of the radix, or when the value
// needs more than 64 bits (then `tooLarge`, when given, is set).
std::optional<std::uint64_t> parseInteger(std::string_view text, int defaultRadix, bool* tooLarge = nullptr);

// The text between the quotes of a string token, with doubled quotes made single.
std::string unquote(std::string_view quoted);

// Where the comment of `line` starts (a ';' outside quotes), or line.size().
std::size_t commentStart(std::string_view line);

}  // namespace ml

namespace ml {

// The first words of a statement, read without tokenizing the whole line:
//   again:  mov eax, 1     -> label "again", first "mov", rest "eax, 1"
//   count   EQU 10         -> first "count", second "EQU", secondRest "10"
struct StatementHead {
    std::string_view label;       // name of "name:" or "name::"
    bool globalLabel = false;     // "name::"
    std::string_view first;       // a name, a dotted directive, or "=" / "%" alone
    std::string_view firstRest;   // text after `first`, blanks trimmed
    std::string_view second;      // the next name (or "="), when there is one
    std::string_view secondRest;  // text after `second`
};

StatementHead splitHead(std::string_view code);

// The pieces of `tokens` between top-level separators: those outside (), [] and, when
// `angles`, outside <> and {} (structure initializers). There is always at least one
// piece, possibly empty. A range that stores nothing:
//   1, (2, 3), <4, 5>   ->   1 | (2, 3) | <4, 5>
//   for (std::span<const Token> item : TokenParts(list)) ...
class TokenParts {
public:
    explicit TokenParts(std::span<const Token> tokens, std::string_view separator = ",", bool angles = true)
        : tokens_(tokens), separator_(separator), angles_(angles) {}

    class iterator {
    public:
        std::span<const Token> operator*() const { return parts_->tokens_.subspan(start_, end_ - start_); }
        iterator& operator++() {
            if (end_ == parts_->tokens_.size()) {
                done_ = true;
            } else {
                start_ = end_ + 1;
                end_ = parts_->partEnd(start_);
            }
            return *this;
        }
        bool operator==(const iterator& o) const { return done_ == o.done_ && (done_ || start_ == o.start_); }

    private:
        friend class TokenParts;
        const TokenParts* parts_ = nullptr;
        std::size_t start_ = 0, end_ = 0;
        bool done_ = true;
    };

    iterator begin() const {
        iterator it;
        it.parts_ = this;
        it.end_ = partEnd(0);
        it.done_ = false;
        return it;
    }
    iterator end() const { return iterator{}; }

private:
    // Where the part that starts at `from` ends: its separator, or the end.
    std::size_t partEnd(std::size_t from) const;

    std::span<const Token> tokens_;
    std::string_view separator_;
    bool angles_;
};

// Calls `part` for each piece TokenParts finds.
template <class Part>
void forEachPart(std::span<const Token> tokens, std::string_view separator, bool angles, Part&& part) {
    for (std::span<const Token> piece : TokenParts(tokens, separator, angles)) part(piece);
}

std::vector<std::span<const Token>> splitTokens(std::span<const Token> tokens, std::string_view separator = ",",
                                                bool angles = true);

// Splits directive text at top-level commas; <literals>, strings, () and [] keep
// their commas:   a, <b, c>, [ebx+4]   ->   a | <b, c> | [ebx+4]
std::vector<std::string_view> splitTextList(std::string_view text);

}  // namespace ml
