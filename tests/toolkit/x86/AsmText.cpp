// A small reader of Intel-syntax instruction lines for the encoder tests.
#include "AsmText.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <optional>

namespace ml::x86::test {
namespace {

std::string lower(std::string_view text) {
    std::string result(text);
    for (char& c : result) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return result;
}

std::string_view trim(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    return text;
}

bool isIdentifierChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.' || c == '@';
}

// Splits off the first word (letters, digits, _ . @); `rest` keeps the remainder.
std::string_view firstWord(std::string_view text, std::string_view& rest) {
    text = trim(text);
    std::size_t n = 0;
    while (n < text.size() && isIdentifierChar(text[n])) ++n;
    rest = trim(text.substr(n));
    return text.substr(0, n);
}

std::optional<std::int64_t> parseNumber(std::string_view text) {
    text = trim(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text = trim(text.substr(1));
    }
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    std::uint64_t value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size()) return std::nullopt;
    const auto signedValue = static_cast<std::int64_t>(value);
    return negative ? -signedValue : signedValue;
}

std::uint8_t sizeOf(std::string_view word, bool& isFloat) {
    const std::string w = lower(word);
    isFloat = w.starts_with("real");
    if (w == "byte") return 1;
    if (w == "word") return 2;
    if (w == "dword" || w == "real4") return 4;
    if (w == "fword") return 6;
    if (w == "qword" || w == "real8") return 8;
    if (w == "tbyte" || w == "real10") return 10;
    return 0;
}

// Splits "a + b - c" into signed terms: {+a, +b, -c}.
std::vector<std::pair<bool, std::string_view>> terms(std::string_view text) {
    std::vector<std::pair<bool, std::string_view>> result;
    bool negative = false;
    std::size_t start = 0;
    text = trim(text);
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        start = 1;
    }
    for (std::size_t i = start; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '+' || text[i] == '-') {
            result.push_back({negative, trim(text.substr(start, i - start))});
            if (i < text.size()) negative = text[i] == '-';
            start = i + 1;
        }
    }
    return result;
}

class OperandReader {
public:
    OperandReader(SymbolTable& symbols, std::uint32_t address, bool branch)
        : symbols_(symbols), address_(address), branch_(branch) {}

    bool read(std::string_view text, Operand& op, BranchForm& form, std::string& error) {
        text = trim(text);
        std::string_view rest;
        std::string word = lower(firstWord(text, rest));
        if (word == "short" || word == "near") {
            form = word == "short" ? BranchForm::Short : BranchForm::Near;
            text = rest;
            word = lower(firstWord(text, rest));
        }
        bool isFloat = false;
        if (const std::uint8_t size = sizeOf(word, isFloat); size != 0) {
            std::string_view afterPtr;
            if (lower(firstWord(rest, afterPtr)) != "ptr") return fail(error, "PTR expected after " + word);
            op.size = size;
            op.isFloat = isFloat;
            if (const auto n = parseNumber(trim(afterPtr))) {  // word ptr 5: a typed immediate
                op.kind = OperandKind::Imm;
                op.imm.constant = *n;
                return true;
            }
            return readMemory(afterPtr, op, error);
        }
        if (word == "offset") return readValue(rest, op.imm, error) && (op.kind = OperandKind::Imm, true);
        if (text.starts_with("$")) {
            const auto n = parseNumber(text.substr(1));
            if (!n && trim(text) != "$") return fail(error, "bad $ expression");
            op.kind = OperandKind::Imm;
            op.imm.constant = static_cast<std::int64_t>(address_) + n.value_or(0);
            return true;
        }
        if (const Register reg = lookupRegister(text); reg.cls != RegClass::None) {
            op.kind = OperandKind::Reg;
            op.reg = reg;
            return true;
        }
        if (const auto n = parseNumber(text)) {
            op.kind = OperandKind::Imm;
            op.imm.constant = *n;
            return true;
        }
        if (branch_ && text.find('[') == std::string_view::npos && text.find(':') == std::string_view::npos) {
            op.kind = OperandKind::Imm;
            return readValue(text, op.imm, error);
        }
        return readMemory(text, op, error);
    }

private:
    static bool fail(std::string& error, std::string why) {
        error = std::move(why);
        return false;
    }

    // "sym", "sym+8", "12"
    bool readValue(std::string_view text, Value& value, std::string& error) {
        for (const auto& [negative, term] : terms(text)) {
            if (const auto n = parseNumber(term)) {
                value.constant += negative ? -*n : *n;
            } else if (!negative && value.symbol == 0 && !term.empty()) {
                value.symbol = symbols_.id(term);
            } else {
                return fail(error, "bad value '" + std::string(text) + "'");
            }
        }
        return true;
    }

    // "fs:[ebx+esi*4+8]", "[0x1234]", "ext", "ds:0x20"
    bool readMemory(std::string_view text, Operand& op, std::string& error) {
        op.kind = OperandKind::Mem;
        text = trim(text);
        if (const std::size_t colon = text.find(':'); colon != std::string_view::npos) {
            op.segment = lookupRegister(trim(text.substr(0, colon)));
            if (op.segment.cls != RegClass::Segment) return fail(error, "bad segment in '" + std::string(text) + "'");
            text = trim(text.substr(colon + 1));
        }
        if (text.starts_with("[")) {
            if (!text.ends_with("]")) return fail(error, "missing ]");
            text = text.substr(1, text.size() - 2);
        }
        for (const auto& [negative, term] : terms(text)) {
            if (!readAddressTerm(term, negative, op, error)) return false;
        }
        return true;
    }

    bool readAddressTerm(std::string_view term, bool negative, Operand& op, std::string& error) {
        const std::size_t star = term.find('*');
        const Register reg = lookupRegister(trim(term.substr(0, star)));
        if (reg.cls == RegClass::None) {
            if (const auto n = parseNumber(term)) {
                op.disp.constant += negative ? -*n : *n;
                return true;
            }
            if (negative || op.disp.symbol != 0) return fail(error, "bad address term '" + std::string(term) + "'");
            op.disp.symbol = symbols_.id(term);
            return true;
        }
        if (negative) return fail(error, "negative register");
        if (star != std::string_view::npos) {
            const auto scale = parseNumber(term.substr(star + 1));
            if (!scale || op.index.cls != RegClass::None) return fail(error, "bad scaled index");
            op.index = reg;
            op.scale = static_cast<std::uint8_t>(*scale);
        } else if (op.base.cls == RegClass::None) {
            op.base = reg;
        } else if (op.index.cls == RegClass::None) {
            op.index = reg;
        } else {
            return fail(error, "too many registers");
        }
        return true;
    }

    SymbolTable& symbols_;
    std::uint32_t address_;
    bool branch_;
};

// Splits operands at commas outside brackets and parentheses.
std::vector<std::string_view> splitOperands(std::string_view text) {
    std::vector<std::string_view> result;
    int depth = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '[' || text[i] == '(') ++depth;
        if (text[i] == ']' || text[i] == ')') --depth;
        if (text[i] == ',' && depth == 0) {
            result.push_back(trim(text.substr(start, i - start)));
            start = i + 1;
        }
    }
    if (!trim(text.substr(start)).empty()) result.push_back(trim(text.substr(start)));
    return result;
}

}  // namespace

std::uint32_t SymbolTable::id(std::string_view name) {
    for (std::size_t i = 0; i < names_.size(); ++i)
        if (names_[i] == name) return static_cast<std::uint32_t>(i + 1);
    names_.emplace_back(name);
    return static_cast<std::uint32_t>(names_.size());
}

std::string SymbolTable::name(std::uint32_t id) const {
    return id >= 1 && id <= names_.size() ? names_[id - 1] : std::string();
}

bool parseLine(std::string_view text, std::uint32_t address, SymbolTable& symbols, ParsedLine& out) {
    out = ParsedLine{};
    std::string_view rest;
    std::string_view word = firstWord(text, rest);
    if (const Prefix prefix = lookupPrefix(word); prefix != Prefix::None && !rest.empty()) {
        out.insn.prefix = prefix;
        word = firstWord(rest, rest);
    }
    if (word.empty()) {
        out.error = "no mnemonic";
        return false;
    }
    out.mnemonic = std::string(word);
    OperandReader reader(symbols, address, isRelativeBranch(out.mnemonic));
    const auto operands = splitOperands(rest);
    if (operands.size() > out.insn.operands.size()) {
        out.error = "too many operands";
        return false;
    }
    for (std::size_t i = 0; i < operands.size(); ++i) {
        if (!reader.read(operands[i], out.insn.operands[i], out.insn.branch, out.error)) return false;
    }
    out.insn.operandCount = static_cast<std::uint8_t>(operands.size());
    return true;
}

std::string hexBytes(const std::uint8_t* bytes, std::size_t length) {
    std::string text;
    char buffer[4];
    for (std::size_t i = 0; i < length; ++i) {
        std::snprintf(buffer, sizeof buffer, i == 0 ? "%02X" : " %02X", bytes[i]);
        text += buffer;
    }
    return text;
}

std::string hexBytes(const Encoded& encoded) { return hexBytes(encoded.bytes.data(), encoded.length); }

}  // namespace ml::x86::test
