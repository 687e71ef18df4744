// The expression evaluator: a recursive-descent parser over one operand's tokens that
// computes values while it parses, level by level in MASM's operator precedence:
//   SHORT  <  OR XOR  <  AND  <  NOT  <  EQ NE LT LE GT GE  <  + -  <  * / MOD SHL SHR
//   <  unary + -  <  HIGH LOW HIGHWORD LOWWORD  <  OFFSET TYPE  <  PTR and ':'  <  '.'
//   <  LENGTHOF SIZEOF LENGTH SIZE  <  ( ) [ ] and names
#include "Expression.h"

#include <array>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "Text.h"
#include "WordIndex.h"

namespace ml {

namespace {

enum class Keyword : std::uint8_t {
    None,
    Short,
    Or,
    Xor,
    And,
    Not,
    Eq,
    Ne,
    Lt,
    Le,
    Gt,
    Ge,
    Mod,
    Shl,
    Shr,
    High,
    Low,
    HighWord,
    LowWord,
    Offset,
    Type,
    Ptr,
    LengthOf,
    SizeOf,
    Length,
    Size,
    Opattr,
    DotType,
    Seg,
    Width,
    Mask,
    This,
};

struct KeywordName {
    std::string_view name;
    Keyword keyword;
};

// name (sorted)  keyword
// clang-format off
constexpr std::array kKeywords = std::to_array<KeywordName>({
    {".type", Keyword::DotType}, {"and", Keyword::And},         {"eq", Keyword::Eq},
    {"ge", Keyword::Ge},         {"gt", Keyword::Gt},           {"high", Keyword::High},
    {"highword", Keyword::HighWord}, {"le", Keyword::Le},       {"length", Keyword::Length},
    {"lengthof", Keyword::LengthOf}, {"low", Keyword::Low},     {"lowword", Keyword::LowWord},
    {"lt", Keyword::Lt},         {"mask", Keyword::Mask},       {"mod", Keyword::Mod},
    {"ne", Keyword::Ne},         {"not", Keyword::Not},         {"offset", Keyword::Offset},
    {"opattr", Keyword::Opattr}, {"or", Keyword::Or},           {"ptr", Keyword::Ptr},
    {"seg", Keyword::Seg},       {"shl", Keyword::Shl},         {"short", Keyword::Short},
    {"shr", Keyword::Shr},       {"size", Keyword::Size},       {"sizeof", Keyword::SizeOf},
    {"this", Keyword::This},     {"type", Keyword::Type},       {"width", Keyword::Width},
    {"xor", Keyword::Xor},
});
// clang-format on

Keyword keywordOf(const Token& t) {
    if (t.kind != TokenKind::Identifier || t.text.size() < 2 || t.text.size() > 8) return Keyword::None;
    static const WordIndex index(kKeywords);
    const KeywordName* k = index.find(t.text);
    return k ? k->keyword : Keyword::None;
}

bool isFpuStack(std::string_view name) { return equalsNoCase(name, "st"); }

// Each level parses into `v` and returns false after recording the error; values are
// built in place rather than returned, since an operand passes through every level.
class Parser {
public:
    Parser(std::span<const Token> tokens, const EvalEnvironment& env, EvalError& error)
        : t_(tokens), env_(env), error_(error) {
        // Each precedence level asks for the keyword at the current token: look each up once.
        if (tokens.size() > small_.size()) large_.resize(tokens.size());
        keywords_ = tokens.size() > small_.size() ? large_.data() : small_.data();
        for (std::size_t i = 0; i < tokens.size(); ++i) keywords_[i] = keywordOf(tokens[i]);
    }

    bool run(ExprValue& v) {
        if (t_.empty()) return fail(Diag::ExpressionExpected, "");
        // One token (a register, a number, a name) needs no operator levels.
        bool ok = t_.size() == 1 && keywords_[0] == Keyword::None ? parsePrimary(v) : parseExpr(v);
        if (!ok) return false;
        if (pos_ < t_.size()) return fail(Diag::ExpressionSyntax, std::string(t_[pos_].text));
        return true;
    }

private:
    std::span<const Token> t_;
    const EvalEnvironment& env_;
    EvalError& error_;
    std::size_t pos_ = 0;
    int depth_ = 0;
    const StructField* lastField_ = nullptr;  // the field the last dot named, for SIZEOF
    std::array<Keyword, 24> small_;           // the first t_.size() are set by the constructor
    std::vector<Keyword> large_;
    Keyword* keywords_ = nullptr;

    bool fail(Diag id, std::string detail) {
        error_.id = id;
        error_.detail = std::move(detail);
        return false;
    }
    // The same for the operators that compute a value: add, subtract, scaled index.
    std::nullopt_t failValue(Diag id, std::string detail) {
        fail(id, std::move(detail));
        return std::nullopt;
    }
    const Token* peek() const { return pos_ < t_.size() ? &t_[pos_] : nullptr; }
    void noteSymbolDependency() const {
        if (env_.dependsOnSymbols) *env_.dependsOnSymbols = true;
    }
    bool atPunct(std::string_view p) const { return pos_ < t_.size() && t_[pos_].is(p); }
    Keyword atKeyword() const { return pos_ < t_.size() ? keywords_[pos_] : Keyword::None; }

    struct DepthGuard {
        int& d;
        explicit DepthGuard(int& depth) : d(depth) { ++d; }
        ~DepthGuard() { --d; }
    };

    // A number the operator needs; an unresolved forward reference counts as 0.
    std::optional<std::int64_t> constantOf(const ExprValue& v, std::string_view op) {
        if (v.kind == ValueKind::Constant || v.kind == ValueKind::TypeName) return v.number;
        if (v.kind == ValueKind::String) return stringValue(v.text);
        if (v.unresolved) return 0;
        fail(Diag::ConstantExpected, std::string(op));
        return std::nullopt;
    }

    static ExprValue constant(std::int64_t n, bool unresolved = false) {
        ExprValue v;
        v.number = n;
        v.unresolved = unresolved;
        return v;
    }

    // Stores `result` in `v`; false when it holds no value (the error is recorded).
    static bool take(std::optional<ExprValue>&& result, ExprValue& v) {
        if (!result) return false;
        v = *result;
        return true;
    }

    bool parseExpr(ExprValue& v) {
        DepthGuard guard(depth_);
        if (depth_ > 200) return fail(Diag::ExpressionSyntax, "nested too deeply");
        Keyword k = atKeyword();
        if (k == Keyword::Short) {
            ++pos_;
            if (!parseExpr(v)) return false;
            v.isShort = true;
            return true;
        }
        if (k == Keyword::Opattr || k == Keyword::DotType) {
            ++pos_;
            if (!parseExpr(v)) return false;
            std::int64_t attr = opattr(v);
            v = constant(k == Keyword::DotType ? (attr & 0xFF) : attr);
            return true;
        }
        return parseOr(v);
    }

    static std::int64_t opattr(const ExprValue& v) {
        std::int64_t a = 0;
        bool code = v.type.isCode;
        if ((v.kind == ValueKind::Address || v.kind == ValueKind::Memory) && code) a |= 1;
        if (v.kind == ValueKind::Memory || (v.kind == ValueKind::Address && !code && !v.isOffset)) a |= 2;
        if (v.kind == ValueKind::Constant || v.isOffset) a |= 4;
        if ((v.kind == ValueKind::Memory && !v.hasRegisters()) || (v.kind == ValueKind::Address && !v.isOffset)) a |= 8;
        if (v.kind == ValueKind::Register) a |= 16;
        if (!v.unresolved) a |= 32;
        if (v.kind == ValueKind::Memory && v.base.cls == x86::RegClass::Gpr32 &&
            (v.base.number == 4 || v.base.number == 5))
            a |= 64;
        if (v.symbol && v.symbol->kind == SymbolKind::External) a |= 128;
        return a;
    }

    using Combine = std::int64_t (*)(std::int64_t, std::int64_t);

    // l = l op r for the operators that need two numbers.
    bool binaryConstant(ExprValue& l, const ExprValue& r, std::string_view op, Combine f) {
        auto a = constantOf(l, op);
        auto b = a ? constantOf(r, op) : std::nullopt;
        if (!b) return false;
        l = constant(f(*a, *b), l.unresolved || r.unresolved);
        return true;
    }

    bool parseOr(ExprValue& l) {
        if (!parseAnd(l)) return false;
        while (true) {
            Keyword k = atKeyword();
            if (k != Keyword::Or && k != Keyword::Xor) return true;
            ++pos_;
            ExprValue r;
            if (!parseAnd(r)) return false;
            bool ok = k == Keyword::Or
                          ? binaryConstant(l, r, "OR", [](std::int64_t a, std::int64_t b) { return a | b; })
                          : binaryConstant(l, r, "XOR", [](std::int64_t a, std::int64_t b) { return a ^ b; });
            if (!ok) return false;
        }
    }

    bool parseAnd(ExprValue& l) {
        if (!parseNot(l)) return false;
        while (atKeyword() == Keyword::And) {
            ++pos_;
            ExprValue r;
            if (!parseNot(r)) return false;
            if (!binaryConstant(l, r, "AND", [](std::int64_t a, std::int64_t b) { return a & b; })) return false;
        }
        return true;
    }

    bool parseNot(ExprValue& v) {
        if (atKeyword() == Keyword::Not) {
            ++pos_;
            if (!parseNot(v)) return false;
            auto n = constantOf(v, "NOT");
            if (!n) return false;
            v = constant(~*n, v.unresolved);
            return true;
        }
        return parseRelational(v);
    }

    bool parseRelational(ExprValue& l) {
        if (!parseAdditive(l)) return false;
        while (true) {
            Keyword k = atKeyword();
            if (k < Keyword::Eq || k > Keyword::Ge) return true;
            ++pos_;
            ExprValue r;
            if (!parseAdditive(r)) return false;
            std::optional<std::int64_t> a, b;
            // Two addresses in one section compare by offset.
            if (l.kind == ValueKind::Address && r.kind == ValueKind::Address && l.symbol && r.symbol &&
                l.symbol->section == r.symbol->section && l.symbol->section >= 0) {
                a = l.symbol->value + l.number;
                b = r.symbol->value + r.number;
            } else {
                a = constantOf(l, "relational operator");
                b = a ? constantOf(r, "relational operator") : std::nullopt;
            }
            if (!b) return false;
            bool result = false;
            switch (k) {
                case Keyword::Eq:
                    result = *a == *b;
                    break;
                case Keyword::Ne:
                    result = *a != *b;
                    break;
                case Keyword::Lt:
                    result = *a < *b;
                    break;
                case Keyword::Le:
                    result = *a <= *b;
                    break;
                case Keyword::Gt:
                    result = *a > *b;
                    break;
                default:
                    result = *a >= *b;
                    break;
            }
            l = constant(result ? -1 : 0, l.unresolved || r.unresolved);
        }
    }

    bool parseAdditive(ExprValue& l) {
        if (!parseMultiplicative(l)) return false;
        while (atPunct("+") || atPunct("-")) {
            bool minus = t_[pos_].is("-");
            ++pos_;
            ExprValue r;
            if (!parseMultiplicative(r)) return false;
            if (!take(minus ? subtract(l, r) : add(l, r), l)) return false;
        }
        return true;
    }

    bool parseMultiplicative(ExprValue& l) {
        if (!parseUnary(l)) return false;
        while (true) {
            Keyword k = atKeyword();
            bool times = atPunct("*"), divide = atPunct("/");
            if (!times && !divide && k != Keyword::Mod && k != Keyword::Shl && k != Keyword::Shr) return true;
            ++pos_;
            ExprValue r;
            if (!parseUnary(r)) return false;
            if (times && (l.kind == ValueKind::Register || r.kind == ValueKind::Register)) {
                if (!take(scaledIndex(l, r), l)) return false;
                continue;
            }
            auto a = constantOf(l, "arithmetic");
            auto b = a ? constantOf(r, "arithmetic") : std::nullopt;
            if (!b) return false;
            bool unresolved = l.unresolved || r.unresolved;
            if ((divide || k == Keyword::Mod) && *b == 0) {
                if (unresolved) {
                    l = constant(0, true);
                    continue;
                }
                return fail(Diag::DivideByZero, "");
            }
            std::int64_t n;
            if (times)
                n = static_cast<std::int64_t>(static_cast<std::uint64_t>(*a) * static_cast<std::uint64_t>(*b));
            else if (divide)
                n = (*a == INT64_MIN && *b == -1) ? *a : *a / *b;
            else if (k == Keyword::Mod)
                n = (*b == -1) ? 0 : *a % *b;
            else if (k == Keyword::Shl)
                n = (*b >= 64 || *b < 0) ? 0 : static_cast<std::int64_t>(static_cast<std::uint64_t>(*a) << *b);
            else
                n = (*b >= 64 || *b < 0) ? 0 : static_cast<std::int64_t>(static_cast<std::uint64_t>(*a) >> *b);
            l = constant(n, unresolved);
        }
    }

    bool parseUnary(ExprValue& v) {
        if (atPunct("-") || atPunct("+")) {
            bool minus = t_[pos_].is("-");
            ++pos_;
            if (!parseUnary(v)) return false;
            if (!minus) return true;
            if (v.kind == ValueKind::Real) {
                v.real = -v.real;
                return true;
            }
            auto n = constantOf(v, "-");
            if (!n) return false;
            v = constant(static_cast<std::int64_t>(0 - static_cast<std::uint64_t>(*n)), v.unresolved);
            return true;
        }
        return parseHighLow(v);
    }

    bool parseHighLow(ExprValue& v) {
        Keyword k = atKeyword();
        if (k == Keyword::High || k == Keyword::Low || k == Keyword::HighWord || k == Keyword::LowWord) {
            ++pos_;
            if (!parseHighLow(v)) return false;
            auto n = constantOf(v, "HIGH/LOW");
            if (!n) return false;
            std::int64_t r = k == Keyword::High       ? (*n >> 8) & 0xFF
                             : k == Keyword::Low      ? *n & 0xFF
                             : k == Keyword::HighWord ? (*n >> 16) & 0xFFFF
                                                      : *n & 0xFFFF;
            v = constant(r, v.unresolved);
            return true;
        }
        return parseOffsetType(v);
    }

    bool parseOffsetType(ExprValue& v) {
        Keyword k = atKeyword();
        if (k == Keyword::Offset) {
            ++pos_;
            if (!parseOffsetType(v)) return false;
            if (v.kind == ValueKind::Memory && !v.hasRegisters()) {
                v.kind = v.symbol || v.unresolved ? ValueKind::Address : ValueKind::Constant;
                v.bracketed = false;
            }
            if (v.kind == ValueKind::Constant) return true;
            if (v.kind != ValueKind::Address) return fail(Diag::InvalidOffsetOperand, "");
            v.isOffset = true;
            v.type = Type{4};
            v.explicitType = false;
            return true;
        }
        if (k == Keyword::Type) {
            ++pos_;
            if (!parseOffsetType(v)) return false;
            v = constant(typeValue(v), v.unresolved);
            return true;
        }
        if (k == Keyword::Seg) return fail(Diag::SyntaxError, "SEG");
        if (k == Keyword::This) return parseThis(v);
        return parsePtr(v);
    }

    // THIS type: the current location with that type (w1 EQU THIS WORD names the
    // bytes that follow as a word).
    bool parseThis(ExprValue& v) {
        ++pos_;
        if (!parseOffsetType(v)) return false;
        if (v.kind != ValueKind::TypeName) return fail(Diag::SyntaxError, "THIS");
        const Type type = v.type;
        noteSymbolDependency();
        if (!env_.locationSymbol) return fail(Diag::OutsideSegment, "THIS");
        v = ExprValue{};
        v.kind = ValueKind::Address;
        v.symbol = env_.locationSymbol;
        v.number = env_.locationOffset;
        v.type = type;
        return true;
    }

    static std::int64_t typeValue(const ExprValue& v) {
        if (v.type.isCode) return v.type.isFar ? 0xFF06 : 0xFF04;
        if (v.kind == ValueKind::Constant && !v.explicitType) return 0;
        return v.type.size;
    }

    bool parsePtr(ExprValue& v) {
        ExprValue l;
        if (!parseDot(l)) return false;
        if (atKeyword() == Keyword::Ptr) {
            ++pos_;
            if (l.kind != ValueKind::TypeName) return fail(Diag::InvalidType, "PTR");
            if (pos_ >= t_.size()) {  // "DWORD PTR" alone names a pointer type
                v = ExprValue{};
                v.kind = ValueKind::TypeName;
                v.type = Type{4};
                v.number = 4;
                return true;
            }
            if (!parsePtr(v)) return false;
            if (v.kind == ValueKind::TypeName) {  // pointer type such as DWORD PTR BYTE
                v.type = Type{4};
                v.number = 4;
                return true;
            }
            // DWORD PTR ecx is ecx; a PTR of another size cannot change a register's
            if (v.kind == ValueKind::Register) {
                const Type& t = l.type;
                if (t.structure || t.isCode || t.size == 0 || t.size != registerSize(v.reg))
                    return fail(Diag::InvalidRegisterUse, "PTR");
                v.type.isSigned = t.isSigned;  // .IF SDWORD PTR eax < 3 compares signed
                return true;
            }
            v.type = l.type;
            v.explicitType = true;
            return true;
        }
        if (atPunct(":")) {
            if (l.kind != ValueKind::Register || l.reg.cls != x86::RegClass::Segment)
                return fail(Diag::SyntaxError, ":");
            ++pos_;
            ExprValue r;
            if (!parsePtr(r)) return false;
            v = toMemory(r);
            v.segment = l.reg;
            return true;
        }
        v = l;
        return true;
    }

    bool parseDot(ExprValue& l) {
        if (!parseLength(l)) return false;
        while (atPunct(".")) {
            ++pos_;
            const Token* name = peek();
            if (!name || name->kind != TokenKind::Identifier) return fail(Diag::SyntaxError, ".");
            ++pos_;
            const StructField* field = findField(l, name->text);
            if (!field) {
                // [esi].point.y: a structure's name after the dot gives the operand its type.
                const Symbol* s = env_.symbols->find(name->text);
                if (!s || s->kind != SymbolKind::StructType) return fail(Diag::NotAStructure, std::string(name->text));
                noteSymbolDependency();
                bool plain = (l.kind == ValueKind::Constant && !l.bracketed) || l.kind == ValueKind::TypeName;
                if (!plain) l = toMemory(l);
                l.type = s->type;
                l.explicitType = true;
                lastField_ = nullptr;
                if (!parseIndexes(l)) return false;
                continue;
            }
            ExprValue offset = constant(field->offset);
            bool plainOffset = (l.kind == ValueKind::Constant && !l.bracketed) || l.kind == ValueKind::TypeName;
            ExprValue m = plainOffset ? offset : toMemory(l);
            if (m.kind == ValueKind::Memory) m.number += field->offset;
            m.type = field->type;
            m.explicitType = true;
            l = m;
            lastField_ = field;
            if (!parseIndexes(l)) return false;
        }
        return true;
    }

    // Indexes after a name or a field: arr[esi], s1.scores[2], arr[ebx].scores[4]
    bool parseIndexes(ExprValue& v) {
        while (atPunct("[")) {
            ExprValue index;
            if (!parseBracket(index)) return false;
            if (!take(add(v, index), v)) return false;
            v.bracketed = true;
        }
        return true;
    }

    const StructField* findField(const ExprValue& v, std::string_view name) const {
        noteSymbolDependency();
        if (v.type.structure) return v.type.structure->field(name);
        for (const Symbol& s : env_.symbols->all())
            if (s.kind == SymbolKind::StructType && s.structure)
                if (const StructField* f = s.structure->field(name)) return f;
        return nullptr;
    }

    // A record type's WIDTH is the bits of all its fields, its MASK those bits set.
    static ExprValue recordTypeWidthOrMask(const StructDef& record, bool width) {
        std::uint64_t bits = 0, mask = 0;
        for (const StructField& f : record.fields) {
            bits += f.lengthOf;
            mask |= ((f.lengthOf >= 64 ? 0 : (1ull << f.lengthOf)) - 1) << f.offset;
        }
        return constant(static_cast<std::int64_t>(width ? bits : mask));
    }

    bool parseLength(ExprValue& v) {
        Keyword k = atKeyword();
        if (k == Keyword::LengthOf || k == Keyword::SizeOf || k == Keyword::Length || k == Keyword::Size) {
            ++pos_;
            bool paren = atPunct("(");
            lastField_ = nullptr;
            if (!(paren ? parsePrimary(v) : parseDot(v))) return false;
            bool lengthOf = k == Keyword::LengthOf || k == Keyword::Length;
            if (const StructField* field = lastField_) {  // SIZEOF s1.scores, LENGTHOF Student.scores
                lastField_ = nullptr;
                v = constant(lengthOf ? field->lengthOf : field->lengthOf * field->type.size);
                return true;
            }
            if (v.kind == ValueKind::TypeName) {
                v = constant(lengthOf ? 1 : v.type.size);
                return true;
            }
            const Symbol* s = v.symbol ? v.symbol : v.stackVariable;
            if (!s || (v.kind != ValueKind::Address && v.kind != ValueKind::Memory)) {
                if (v.unresolved) {
                    v = constant(0, true);
                    return true;
                }
                if (v.kind == ValueKind::Memory && v.explicitType) {
                    v = constant(lengthOf ? 1 : v.type.size);
                    return true;
                }
                return fail(Diag::SyntaxError, lengthOf ? "LENGTHOF" : "SIZEOF");
            }
            if (k == Keyword::Length || k == Keyword::Size) {  // the first initializer only
                const std::uint32_t elementSize = s->lengthOf ? s->sizeOf / s->lengthOf : 0;
                v = constant(k == Keyword::Length ? s->firstLength : s->firstLength * elementSize);
                return true;
            }
            v = constant(lengthOf ? s->lengthOf : s->sizeOf);
            return true;
        }
        if (k == Keyword::Width || k == Keyword::Mask) {
            ++pos_;
            if (!parseLength(v)) return false;
            if (v.kind == ValueKind::TypeName && v.type.structure && v.type.structure->isRecord) {
                v = recordTypeWidthOrMask(*v.type.structure, k == Keyword::Width);  // WIDTH COLOR
                return true;
            }
            const Symbol* s = v.symbol;
            if (!s || s->kind != SymbolKind::RecordField) return fail(Diag::SyntaxError, "WIDTH");
            if (k == Keyword::Width) {
                v = constant(s->recordWidth);
                return true;
            }
            std::uint64_t mask = ((s->recordWidth >= 64 ? 0 : (1ull << s->recordWidth)) - 1) << s->recordShift;
            v = constant(static_cast<std::int64_t>(mask));
            return true;
        }
        return parsePrimary(v);
    }

    bool parsePrimary(ExprValue& v) {
        DepthGuard guard(depth_);
        if (depth_ > 200) return fail(Diag::ExpressionSyntax, "nested too deeply");
        const Token* tok = peek();
        if (!tok) return fail(Diag::ExpressionExpected, "");
        if (tok->is("(")) {
            ++pos_;
            if (!parseExpr(v)) return false;
            if (!atPunct(")")) return fail(Diag::MissingRightParen, "");
            ++pos_;
        } else if (tok->is("[")) {
            if (!parseBracket(v)) return false;
        } else if (tok->kind == TokenKind::Number) {
            ++pos_;
            bool tooLarge = false;
            auto n = parseInteger(tok->text, env_.radix, &tooLarge);
            if (!n) return fail(tooLarge ? Diag::ValueTooLarge : Diag::NonDigitInNumber, std::string(tok->text));
            v = constant(static_cast<std::int64_t>(*n));
        } else if (tok->kind == TokenKind::Real) {
            ++pos_;
            v = ExprValue{};
            v.kind = ValueKind::Real;
            v.text = tok->text;
            v.real = std::strtold(std::string(tok->text).c_str(), nullptr);
        } else if (tok->kind == TokenKind::String) {
            if (tok->text.size() <= 2) return fail(Diag::EmptyString, "");  // mov al, ''
            ++pos_;
            v = ExprValue{};
            v.kind = ValueKind::String;
            v.text = tok->text;
            v.number = stringValue(tok->text);
        } else if (tok->kind == TokenKind::Identifier) {
            if (!parseName(v)) return false;
        } else {
            return fail(Diag::ExpressionSyntax, std::string(tok->text));
        }
        return parseIndexes(v);
    }

    bool parseBracket(ExprValue& m) {
        ++pos_;  // '['
        ExprValue v;
        if (!parseExpr(v)) return false;
        if (!atPunct("]")) return fail(Diag::ExpressionSyntax, "missing ]");
        ++pos_;
        if (v.kind == ValueKind::TypeName) return fail(Diag::InvalidType, "[]");
        if (v.kind == ValueKind::Register && v.reg.cls != x86::RegClass::Gpr32) return fail(Diag::NotIndexOrBase, "");
        // Brackets make a register an address but leave a constant a constant, as in
        // MASM: mov eax, [1000h] loads 1000h; ds:[1000h] reads memory.
        m = v.kind == ValueKind::Constant ? v : toMemory(v);
        m.bracketed = true;
        return true;
    }

    bool parseName(ExprValue& v) {
        const Token& tok = t_[pos_];
        std::string_view name = tok.text;
        if (keywords_[pos_] != Keyword::None) return fail(Diag::ExpressionSyntax, std::string(name));
        ++pos_;
        if (isFpuStack(name)) {
            v = ExprValue{};
            v.kind = ValueKind::Register;
            v.reg = x86::Register{x86::RegClass::Fpu, 0};
            v.type = Type{10, true};
            if (atPunct("(")) {
                ++pos_;
                const Token* n = peek();
                auto number = n && n->kind == TokenKind::Number ? parseInteger(n->text, env_.radix) : std::nullopt;
                if (!number || *number > 7) return fail(Diag::InvalidFpuRegister, "");
                pos_ += 1;
                if (!atPunct(")")) return fail(Diag::MissingRightParen, "");
                ++pos_;
                v.reg.number = static_cast<std::uint8_t>(*number);
            }
            return true;
        }
        x86::Register reg = x86::lookupRegister(name);
        if (reg.cls != x86::RegClass::None) {
            v = ExprValue{};
            v.kind = ValueKind::Register;
            v.reg = reg;
            v.type = Type{registerSize(reg)};
            return true;
        }
        if (name == "$") {
            noteSymbolDependency();
            if (!env_.locationSymbol) return fail(Diag::OutsideSegment, "$");
            v = ExprValue{};
            v.kind = ValueKind::Address;
            v.symbol = env_.locationSymbol;
            v.number = env_.locationOffset;
            v.type = Type{4, false, false, true};
            return true;
        }
        if (name == "?") return fail(Diag::ExpressionSyntax, "?");
        if (equalsNoCase(name, "@B") || equalsNoCase(name, "@F")) return anonymousLabel(name, v);
        if (Symbol* s = env_.symbols->find(name)) {
            noteSymbolDependency();
            return symbolValue(*s, v);
        }
        if (const Type* t = builtinType(name)) {
            v = ExprValue{};
            v.kind = ValueKind::TypeName;
            v.type = *t;
            v.number = t->size;
            return true;
        }
        noteSymbolDependency();
        if (env_.undefinedIsError) return fail(Diag::UndefinedSymbol, std::string(name));
        v = ExprValue{};
        v.kind = ValueKind::Address;
        v.unresolved = true;
        return true;
    }

    // @B: the nearest @@: before this line; @F: the nearest one after it.
    bool anonymousLabel(std::string_view name, ExprValue& v) {
        noteSymbolDependency();
        const bool back = equalsNoCase(name, "@B");
        if (back && env_.anonymousLabels == 0) return fail(Diag::UndefinedSymbol, std::string(name));
        const std::uint32_t n = back ? env_.anonymousLabels - 1 : env_.anonymousLabels;
        Symbol* s = env_.symbols->findGlobal(anonymousLabelName(n));
        if (s && s->defined) return symbolValue(*s, v);
        if (env_.undefinedIsError) return fail(Diag::UndefinedSymbol, std::string(name));
        v = ExprValue{};
        v.kind = ValueKind::Address;
        v.unresolved = true;
        return true;
    }

    bool symbolValue(Symbol& s, ExprValue& v) {
        v = ExprValue{};
        switch (s.kind) {
            case SymbolKind::Equate:
            case SymbolKind::Redefinable:
                if (!s.defined) break;
                v = constant(s.value);
                return true;
            case SymbolKind::RecordField:
                v = constant(s.recordShift);
                v.symbol = &s;
                return true;
            case SymbolKind::StructType:
            case SymbolKind::TypeAlias:
                v.kind = ValueKind::TypeName;
                v.type = s.type;
                v.number = s.type.size;
                return true;
            case SymbolKind::StackParam:
                v.kind = ValueKind::Memory;
                v.base = x86::Register{x86::RegClass::Gpr32, 5};
                v.number = s.value;
                v.type = s.type;
                v.symbol = nullptr;
                v.stackVariable = &s;
                return true;
            case SymbolKind::Text:
            case SymbolKind::Macro:
                break;
            case SymbolKind::Segment:
            case SymbolKind::Label:
            case SymbolKind::Procedure:
            case SymbolKind::Prototype:
            case SymbolKind::External:
                if (!s.defined && s.kind == SymbolKind::Label) break;
                if (env_.markReferenced) s.referenced = true;
                v.kind = ValueKind::Address;
                v.symbol = &s;
                v.type = s.type;
                return true;
        }
        if (s.kind == SymbolKind::Text && s.defined) return fail(Diag::SyntaxError, s.name);
        if (env_.undefinedIsError) return fail(Diag::UndefinedSymbol, s.name);
        v = ExprValue{};
        v.kind = ValueKind::Address;
        v.unresolved = true;
        return true;
    }

    std::optional<ExprValue> scaledIndex(const ExprValue& l, const ExprValue& r) {
        const ExprValue& reg = l.kind == ValueKind::Register ? l : r;
        const ExprValue& factor = l.kind == ValueKind::Register ? r : l;
        if (factor.kind != ValueKind::Constant) return failValue(Diag::InvalidScale, "");
        if (factor.number != 1 && factor.number != 2 && factor.number != 4 && factor.number != 8)
            return failValue(Diag::InvalidScale, std::to_string(factor.number));
        if (reg.reg.cls != x86::RegClass::Gpr32) return failValue(Diag::NotIndexOrBase, "");
        ExprValue m;
        m.kind = ValueKind::Memory;
        m.index = reg.reg;
        m.scale = static_cast<std::uint8_t>(factor.number);
        return m;
    }

    ExprValue toMemory(const ExprValue& v) {
        ExprValue m = v;
        if (v.kind == ValueKind::Register) {
            m = ExprValue{};
            m.base = v.reg;
        }
        if (v.kind == ValueKind::String) m.number = stringValue(v.text);
        m.kind = ValueKind::Memory;
        m.isOffset = false;
        return m;
    }

    // Register-based operands are memory parts: [ebx + esi] merges base and index.
    std::optional<ExprValue> add(ExprValue l, ExprValue r) {
        if (l.kind == ValueKind::Real || r.kind == ValueKind::Real) return failValue(Diag::RealNotAllowed, "");
        if (l.kind == ValueKind::TypeName) l = constant(l.number);
        if (r.kind == ValueKind::TypeName) r = constant(r.number);
        if (l.kind == ValueKind::String) l = constant(stringValue(l.text));
        if (r.kind == ValueKind::String) r = constant(stringValue(r.text));
        bool unresolved = l.unresolved || r.unresolved;
        if (l.kind == ValueKind::Constant && r.kind == ValueKind::Constant) {
            ExprValue c = constant(
                static_cast<std::int64_t>(static_cast<std::uint64_t>(l.number) + static_cast<std::uint64_t>(r.number)),
                unresolved);
            c.bracketed = l.bracketed || r.bracketed;
            c.type = l.explicitType ? l.type : r.type;
            c.explicitType = l.explicitType || r.explicitType;
            return c;
        }
        if (r.kind == ValueKind::Address && l.kind == ValueKind::Constant) std::swap(l, r);
        if (l.kind == ValueKind::Address && r.kind == ValueKind::Constant) {
            l.number += r.number;
            l.unresolved = unresolved;
            l.bracketed = l.bracketed || r.bracketed;
            return l;
        }
        if (l.kind == ValueKind::Address && r.kind == ValueKind::Address) {
            if (unresolved) return l.unresolved ? l : r;
            return failValue(Diag::CannotAddLabels, "");
        }
        // At least one side is memory-like.
        ExprValue a = l.kind == ValueKind::Constant || l.kind == ValueKind::Address ? l : toMemory(l);
        ExprValue b = r.kind == ValueKind::Constant || r.kind == ValueKind::Address ? r : toMemory(r);
        if (a.kind != ValueKind::Memory) std::swap(a, b);
        ExprValue m = a;
        m.number = a.number + b.number;
        if (b.symbol) {
            if (m.symbol) return failValue(Diag::CannotAddLabels, "");
            m.symbol = b.symbol;
        }
        if (!m.explicitType && (b.explicitType || m.type.size == 0)) {
            m.type = b.type;
            m.explicitType = b.explicitType;
        }
        m.unresolved = unresolved;
        m.bracketed = a.bracketed || b.bracketed;
        if (m.segment.cls == x86::RegClass::None) m.segment = b.segment;
        if (b.kind == ValueKind::Memory) {
            for (x86::Register reg : {b.base, b.index}) {
                if (reg.cls == x86::RegClass::None) continue;
                std::uint8_t scale = reg == b.index ? b.scale : 1;
                if (m.base.cls == x86::RegClass::None && scale == 1 && reg == b.base) {
                    m.base = reg;
                } else if (m.index.cls == x86::RegClass::None) {
                    m.index = reg;
                    m.scale = scale;
                } else if (m.base.cls == x86::RegClass::None && scale == 1) {
                    m.base = reg;
                } else {
                    return failValue(reg == b.index ? Diag::TwoIndexRegisters : Diag::TwoBaseRegisters, "");
                }
            }
        }
        for (x86::Register reg : {m.base, m.index})
            if (reg.cls != x86::RegClass::None && reg.cls != x86::RegClass::Gpr32)
                return failValue(Diag::NotIndexOrBase, "");
        return m;
    }

    std::optional<ExprValue> subtract(ExprValue l, ExprValue r) {
        if (l.kind == ValueKind::Real || r.kind == ValueKind::Real) return failValue(Diag::RealNotAllowed, "");
        bool unresolved = l.unresolved || r.unresolved;
        if (r.kind == ValueKind::Address || (r.kind == ValueKind::Memory && r.symbol && !r.hasRegisters())) {
            if (l.kind != ValueKind::Address && l.kind != ValueKind::Memory) {
                if (unresolved) return constant(0, true);
                return failValue(Diag::ConstantExpected, "-");
            }
            if (unresolved) return constant(0, true);
            const Symbol* a = l.symbol;
            const Symbol* b = r.symbol;
            if (!a || !b || a->section < 0 || a->section != b->section) return failValue(Diag::ConstantExpected, "-");
            ExprValue c = constant((a->value + l.number) - (b->value + r.number));
            if (l.kind == ValueKind::Memory && l.hasRegisters()) {
                l.symbol = nullptr;
                l.number = c.number;
                return l;
            }
            return c;
        }
        auto n = r.kind == ValueKind::TypeName ? std::optional<std::int64_t>(r.number) : constantOf(r, "-");
        if (!n) return std::nullopt;
        ExprValue neg = constant(static_cast<std::int64_t>(0 - static_cast<std::uint64_t>(*n)), r.unresolved);
        return add(l, neg);
    }
};

}  // namespace

std::optional<ExprValue> evaluate(std::span<const Token> tokens, const EvalEnvironment& env, EvalError& error) {
    std::optional<ExprValue> v(std::in_place);
    if (!evaluateInto(tokens, env, error, *v)) v.reset();
    return v;
}

bool evaluateInto(std::span<const Token> tokens, const EvalEnvironment& env, EvalError& error, ExprValue& out) {
    out = ExprValue{};
    return Parser(tokens, env, error).run(out);
}

std::string anonymousLabelName(std::uint32_t n) { return "@@#" + hex(n, 4); }

bool isReservedWord(std::string_view name) {
    constexpr std::size_t kLongestReservedWord = 11;  // cmpxchg8b, highword, lengthof ...
    if (name.size() < 2 || name.size() > kLongestReservedWord) return false;
    // Its own index of the operators, so that the parser's hot keyword lookup stays inline.
    static const WordIndex operators(kKeywords);
    return operators.find(name) != nullptr || x86::lookupRegister(name).cls != x86::RegClass::None ||
           builtinType(name) != nullptr || x86::isInstruction(name);
}

std::uint32_t registerSize(x86::Register r) {
    switch (r.cls) {
        case x86::RegClass::Gpr8:
            return 1;
        case x86::RegClass::Gpr16:
            return 2;
        case x86::RegClass::Segment:
            return 2;
        case x86::RegClass::Fpu:
            return 10;
        case x86::RegClass::None:
            return 0;
        default:
            return 4;
    }
}

std::int64_t stringValue(std::string_view quoted) {
    std::string s = unquote(quoted);
    std::uint64_t v = 0;
    for (char c : s) v = (v << 8) | static_cast<unsigned char>(c);
    return static_cast<std::int64_t>(v);
}

}  // namespace ml
