// The line scanner: tokens of one source line and the radix rules of integer literals.
#include "Lexer.h"

#include <string>

#include "Text.h"

namespace ml {

bool Token::isWord(std::string_view word) const { return kind == TokenKind::Identifier && equalsNoCase(text, word); }

namespace {

bool endsOperandContext(const std::vector<Token>& out) {
    if (out.empty()) return false;
    const Token& last = out.back();
    return last.kind == TokenKind::Identifier || last.kind == TokenKind::Number || last.is(")") || last.is("]");
}

bool isTwoCharOperator(char a, char b) {
    return (b == '=' && (a == '=' || a == '!' || a == '<' || a == '>')) || (a == '&' && b == '&') ||
           (a == '|' && b == '|') || (a == ':' && b == ':');
}

}  // namespace

LexResult tokenize(std::string_view line, std::vector<Token>& out) {
    out.clear();
    LexResult result;
    const char* s = line.data();
    const std::size_t n = line.size();
    std::size_t i = 0;
    auto push = [&](TokenKind kind, std::size_t start) {
        out.push_back(Token{kind, std::string_view(s + start, i - start), static_cast<std::uint32_t>(start)});
    };
    while (i < n) {
        const char c = s[i];
        const std::uint8_t cls = kCharClasses[static_cast<unsigned char>(c)];
        if (cls & kSpace) {
            ++i;
            continue;
        }
        const std::size_t start = i;
        if (cls & kIdentStart) {
            for (++i; i < n && isIdentChar(s[i]);) ++i;
            push(TokenKind::Identifier, start);
        } else if (cls & kDigit) {
            bool allDecimal = true;
            for (; i < n && isAlnum(s[i]); ++i) allDecimal = allDecimal && isDigit(s[i]);
            if (allDecimal && i < n && s[i] == '.') {
                ++i;
                while (i < n && isDigit(s[i])) ++i;
                if (i < n && (s[i] == 'e' || s[i] == 'E')) {
                    std::size_t save = i++;
                    if (i < n && (s[i] == '+' || s[i] == '-')) ++i;
                    if (i < n && isDigit(s[i])) {
                        while (i < n && isDigit(s[i])) ++i;
                    } else {
                        i = save;
                    }
                }
                push(TokenKind::Real, start);
            } else {
                push(TokenKind::Number, start);
            }
        } else if (c == ';') {
            break;
        } else if (c == '\'' || c == '"') {
            ++i;
            while (true) {
                if (i >= n) {
                    result.error = Diag::MissingQuote;
                    result.errorColumn = static_cast<std::uint32_t>(start);
                    return result;
                }
                if (s[i] == c) {
                    if (i + 1 < n && s[i + 1] == c) {
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                ++i;
            }
            push(TokenKind::String, start);
        } else if (c == '.' && i + 1 < n && isIdentChar(s[i + 1]) && !endsOperandContext(out)) {
            for (i += 2; i < n && isIdentChar(s[i]);) ++i;
            push(TokenKind::Identifier, start);
        } else if (i + 1 < n && isTwoCharOperator(c, s[i + 1])) {
            i += 2;
            push(TokenKind::Punct, start);
        } else {
            ++i;
            push(TokenKind::Punct, start);
        }
    }
    return result;
}

std::optional<std::uint64_t> parseInteger(std::string_view text, int defaultRadix, bool* tooLarge) {
    if (text.empty()) return std::nullopt;
    int radix = defaultRadix;
    char last = toLowerAscii(text.back());
    std::string_view digits = text;
    auto dropSuffix = [&](int r) {
        radix = r;
        digits.remove_suffix(1);
    };
    if (last == 'h')
        dropSuffix(16);
    else if (last == 'o' || last == 'q')
        dropSuffix(8);
    else if (last == 'y')
        dropSuffix(2);
    else if (last == 't')
        dropSuffix(10);
    else if (last == 'b' && defaultRadix <= 11)
        dropSuffix(2);
    else if (last == 'd' && defaultRadix <= 13)
        dropSuffix(10);
    if (digits.empty()) return std::nullopt;
    std::uint64_t value = 0;
    bool overflow = false;
    for (char ch : digits) {
        int d;
        char l = toLowerAscii(ch);
        if (isDigit(l))
            d = l - '0';
        else if (l >= 'a' && l <= 'z')
            d = l - 'a' + 10;
        else
            return std::nullopt;
        if (d >= radix) return std::nullopt;
        if (__builtin_mul_overflow(value, static_cast<std::uint64_t>(radix), &value) ||
            __builtin_add_overflow(value, static_cast<std::uint64_t>(d), &value))
            overflow = true;  // the other digits are still checked: a bad digit is reported first
    }
    if (overflow) {
        if (tooLarge) *tooLarge = true;
        return std::nullopt;
    }
    return value;
}

std::string unquote(std::string_view quoted) {
    std::string out;
    if (quoted.size() < 2) return out;
    char q = quoted.front();
    for (std::size_t i = 1; i + 1 < quoted.size(); ++i) {
        out.push_back(quoted[i]);
        if (quoted[i] == q) ++i;  // a doubled quote stands for one
    }
    return out;
}

std::size_t commentStart(std::string_view line) {
    // Most lines have no quote before their first ';', which then starts the comment.
    const std::size_t first = line.find(';');
    if (first == std::string_view::npos) return line.size();
    if (line.substr(0, first).find_first_of("'\"") == std::string_view::npos) return first;
    char quote = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == ';') {
            return i;
        }
    }
    return line.size();
}

}  // namespace ml

namespace ml {

namespace {

// Reads one word at `i`: a name, a dotted name or a lone '='.
std::string_view readWord(std::string_view s, std::size_t& i) {
    const char* p = s.data();
    const std::size_t n = s.size();
    while (i < n && isSpace(p[i])) ++i;
    const std::size_t start = i;
    if (i >= n) return {};
    if (p[i] == '=') return std::string_view(p + i++, 1);
    if (p[i] == '.' && i + 1 < n && isIdentChar(p[i + 1]))
        ++i;
    else if (!isIdentStart(p[i]))
        return {};
    while (i < n && isIdentChar(p[i])) ++i;
    return std::string_view(p + start, i - start);
}

// `s` from `i` on, without blanks at either end.
std::string_view trimmedFrom(std::string_view s, std::size_t i) {
    return i >= s.size() ? std::string_view() : trim(std::string_view(s.data() + i, s.size() - i));
}

}  // namespace

StatementHead splitHead(std::string_view code) {
    StatementHead h;
    std::size_t i = 0;
    std::string_view w = readWord(code, i);
    std::size_t j = i;
    while (j < code.size() && isSpace(code[j])) ++j;
    if (!w.empty() && w != "=" && w[0] != '.' && j < code.size() && code[j] == ':') {
        h.label = w;
        ++j;
        if (j < code.size() && code[j] == ':') {
            h.globalLabel = true;
            ++j;
        }
        i = j;
        w = readWord(code, i);
    }
    h.first = w;
    h.firstRest = trimmedFrom(code, i);
    if (w.empty()) return h;
    std::size_t k = i;
    std::string_view second = readWord(code, k);
    if (!second.empty()) {
        h.second = second;
        h.secondRest = trimmedFrom(code, k);
    }
    return h;
}

}  // namespace ml

namespace ml {

std::size_t TokenParts::partEnd(std::size_t from) const {
    int depth = 0;
    for (std::size_t i = from; i < tokens_.size(); ++i) {
        const Token& t = tokens_[i];
        if (t.kind != TokenKind::Punct) continue;
        if (t.is("(") || t.is("[") || (angles_ && (t.is("<") || t.is("{"))))
            ++depth;
        else if ((t.is(")") || t.is("]") || (angles_ && (t.is(">") || t.is("}")))) && depth > 0)
            --depth;
        else if (depth == 0 && t.text == separator_)
            return i;
    }
    return tokens_.size();
}

std::vector<std::span<const Token>> splitTokens(std::span<const Token> tokens, std::string_view separator,
                                                bool angles) {
    std::vector<std::span<const Token>> parts;
    for (std::span<const Token> part : TokenParts(tokens, separator, angles)) parts.push_back(part);
    return parts;
}

std::vector<std::string_view> splitTextList(std::string_view s) {
    std::vector<std::string_view> out;
    int angle = 0, paren = 0;
    char quote = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == '!' && angle > 0) {
            ++i;
        } else if (c == '<') {
            ++angle;
        } else if (c == '>' && angle > 0) {
            --angle;
        } else if (c == '(' || c == '[') {
            ++paren;
        } else if ((c == ')' || c == ']') && paren > 0) {
            --paren;
        } else if (c == ',' && angle == 0 && paren == 0) {
            out.push_back(trim(s.substr(start, i - start)));
            start = i + 1;
        }
    }
    std::string_view last = trim(s.substr(std::min(start, s.size())));
    if (!last.empty() || !out.empty()) out.push_back(last);
    return out;
}

}  // namespace ml
