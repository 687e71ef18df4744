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
    None, Short, Or, Xor, And, Not, Eq, Ne, Lt, Le, Gt, Ge, Mod, Shl, Shr, High, Low, HighWord, LowWord,
    Offset, Type, Ptr, LengthOf, SizeOf, Length, Size, Opattr, DotType, Seg, Width, Mask,
};

struct KeywordName {
    std::string_view name;
    Keyword keyword;
};

// name (sorted)  keyword
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
    {"type", Keyword::Type},     {"width", Keyword::Width},     {"xor", Keyword::Xor},
});

Keyword keywordOf(const Token& t) {
    if (t.kind != TokenKind::Identifier || t.text.size() < 2 || t.text.size() > 8) return Keyword::None;
    static const WordIndex index(kKeywords);
    const KeywordName* k = index.find(t.text);
    return k ? k->keyword : Keyword::None;
}

bool isFpuStack(std::string_view name) { return equalsNoCase(name, "st"); }

class Parser {
public:
    Parser(std::span<const Token> tokens, const EvalEnvironment& env, EvalError& error)
        : t_(tokens), env_(env), error_(error) {
        // Each precedence level asks for the keyword at the current token: look each up once.
        if (tokens.size() > small_.size()) large_.resize(tokens.size());
        keywords_ = tokens.size() > small_.size() ? large_.data() : small_.data();
        for (std::size_t i = 0; i < tokens.size(); ++i) keywords_[i] = keywordOf(tokens[i]);
    }

    std::optional<ExprValue> run() {
        if (t_.empty()) return fail(Diag::ExpressionExpected, "");
        // One token (a register, a number, a name) needs no operator levels.
        auto v = t_.size() == 1 && keywords_[0] == Keyword::None ? parsePrimary() : parseExpr();
        if (!v) return std::nullopt;
        if (pos_ < t_.size()) return fail(Diag::ExpressionSyntax, std::string(t_[pos_].text));
        return v;
    }

private:
    std::span<const Token> t_;
    const EvalEnvironment& env_;
    EvalError& error_;
    std::size_t pos_ = 0;
    int depth_ = 0;
    std::array<Keyword, 24> small_{};
    std::vector<Keyword> large_;
    Keyword* keywords_ = nullptr;

    std::optional<ExprValue> fail(Diag id, std::string detail) {
        error_.id = id;
        error_.detail = std::move(detail);
        return std::nullopt;
    }
    const Token* peek() const { return pos_ < t_.size() ? &t_[pos_] : nullptr; }
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

    std::optional<ExprValue> parseExpr() {
        DepthGuard guard(depth_);
        if (depth_ > 200) return fail(Diag::ExpressionSyntax, "nested too deeply");
        Keyword k = atKeyword();
        if (k == Keyword::Short) {
            ++pos_;
            auto v = parseExpr();
            if (v) v->isShort = true;
            return v;
        }
        if (k == Keyword::Opattr || k == Keyword::DotType) {
            ++pos_;
            auto v = parseExpr();
            if (!v) return std::nullopt;
            std::int64_t attr = opattr(*v);
            return constant(k == Keyword::DotType ? (attr & 0xFF) : attr);
        }
        return parseOr();
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
        if (v.kind == ValueKind::Memory && v.base.cls == x86::RegClass::Gpr32 && (v.base.number == 4 || v.base.number == 5))
            a |= 64;
        if (v.symbol && v.symbol->kind == SymbolKind::External) a |= 128;
        return a;
    }

    using Combine = std::int64_t (*)(std::int64_t, std::int64_t);

    std::optional<ExprValue> binaryConstant(ExprValue l, const ExprValue& r, std::string_view op, Combine f) {
        auto a = constantOf(l, op);
        auto b = a ? constantOf(r, op) : std::nullopt;
        if (!b) return std::nullopt;
        return constant(f(*a, *b), l.unresolved || r.unresolved);
    }

    std::optional<ExprValue> parseOr() {
        auto l = parseAnd();
        while (l) {
            Keyword k = atKeyword();
            if (k != Keyword::Or && k != Keyword::Xor) break;
            ++pos_;
            auto r = parseAnd();
            if (!r) return std::nullopt;
            l = k == Keyword::Or ? binaryConstant(*l, *r, "OR", [](std::int64_t a, std::int64_t b) { return a | b; })
                                 : binaryConstant(*l, *r, "XOR", [](std::int64_t a, std::int64_t b) { return a ^ b; });
        }
        return l;
    }

    std::optional<ExprValue> parseAnd() {
        auto l = parseNot();
        while (l && atKeyword() == Keyword::And) {
            ++pos_;
            auto r = parseNot();
            if (!r) return std::nullopt;
            l = binaryConstant(*l, *r, "AND", [](std::int64_t a, std::int64_t b) { return a & b; });
        }
        return l;
    }

    std::optional<ExprValue> parseNot() {
        if (atKeyword() == Keyword::Not) {
            ++pos_;
            auto v = parseNot();
            if (!v) return std::nullopt;
            auto n = constantOf(*v, "NOT");
            if (!n) return std::nullopt;
            return constant(~*n, v->unresolved);
        }
        return parseRelational();
    }

    std::optional<ExprValue> parseRelational() {
        auto l = parseAdditive();
        while (l) {
            Keyword k = atKeyword();
            if (k < Keyword::Eq || k > Keyword::Ge) break;
            ++pos_;
            auto r = parseAdditive();
            if (!r) return std::nullopt;
            std::optional<std::int64_t> a, b;
            // Two addresses in one section compare by offset.
            if (l->kind == ValueKind::Address && r->kind == ValueKind::Address && l->symbol && r->symbol &&
                l->symbol->section == r->symbol->section && l->symbol->section >= 0) {
                a = l->symbol->value + l->number;
                b = r->symbol->value + r->number;
            } else {
                a = constantOf(*l, "relational operator");
                b = a ? constantOf(*r, "relational operator") : std::nullopt;
            }
            if (!b) return std::nullopt;
            bool result = false;
            switch (k) {
                case Keyword::Eq: result = *a == *b; break;
                case Keyword::Ne: result = *a != *b; break;
                case Keyword::Lt: result = *a < *b; break;
                case Keyword::Le: result = *a <= *b; break;
                case Keyword::Gt: result = *a > *b; break;
                default: result = *a >= *b; break;
            }
            l = constant(result ? -1 : 0, l->unresolved || r->unresolved);
        }
        return l;
    }

    std::optional<ExprValue> parseAdditive() {
        auto l = parseMultiplicative();
        while (l && (atPunct("+") || atPunct("-"))) {
            bool minus = t_[pos_].is("-");
            ++pos_;
            auto r = parseMultiplicative();
            if (!r) return std::nullopt;
            l = minus ? subtract(*l, *r) : add(*l, *r);
        }
        return l;
    }

    std::optional<ExprValue> parseMultiplicative() {
        auto l = parseUnary();
        while (l) {
            Keyword k = atKeyword();
            bool times = atPunct("*"), divide = atPunct("/");
            if (!times && !divide && k != Keyword::Mod && k != Keyword::Shl && k != Keyword::Shr) break;
            ++pos_;
            auto r = parseUnary();
            if (!r) return std::nullopt;
            if (times && (l->kind == ValueKind::Register || r->kind == ValueKind::Register)) {
                l = scaledIndex(*l, *r);
                continue;
            }
            auto a = constantOf(*l, "arithmetic");
            auto b = a ? constantOf(*r, "arithmetic") : std::nullopt;
            if (!b) return std::nullopt;
            bool unresolved = l->unresolved || r->unresolved;
            if ((divide || k == Keyword::Mod) && *b == 0) {
                if (unresolved) {
                    l = constant(0, true);
                    continue;
                }
                return fail(Diag::DivideByZero, "");
            }
            std::int64_t v;
            if (times) v = static_cast<std::int64_t>(static_cast<std::uint64_t>(*a) * static_cast<std::uint64_t>(*b));
            else if (divide) v = (*a == INT64_MIN && *b == -1) ? *a : *a / *b;
            else if (k == Keyword::Mod) v = (*b == -1) ? 0 : *a % *b;
            else if (k == Keyword::Shl) v = (*b >= 64 || *b < 0) ? 0 : static_cast<std::int64_t>(static_cast<std::uint64_t>(*a) << *b);
            else v = (*b >= 64 || *b < 0) ? 0 : static_cast<std::int64_t>(static_cast<std::uint64_t>(*a) >> *b);
            l = constant(v, unresolved);
        }
        return l;
    }

    std::optional<ExprValue> parseUnary() {
        if (atPunct("-") || atPunct("+")) {
            bool minus = t_[pos_].is("-");
            ++pos_;
            auto v = parseUnary();
            if (!v || !minus) return v;
            if (v->kind == ValueKind::Real) {
                v->real = -v->real;
                return v;
            }
            auto n = constantOf(*v, "-");
            if (!n) return std::nullopt;
            return constant(static_cast<std::int64_t>(0 - static_cast<std::uint64_t>(*n)), v->unresolved);
        }
        return parseHighLow();
    }

    std::optional<ExprValue> parseHighLow() {
        Keyword k = atKeyword();
        if (k == Keyword::High || k == Keyword::Low || k == Keyword::HighWord || k == Keyword::LowWord) {
            ++pos_;
            auto v = parseHighLow();
            if (!v) return std::nullopt;
            auto n = constantOf(*v, "HIGH/LOW");
            if (!n) return std::nullopt;
            std::int64_t r = k == Keyword::High       ? (*n >> 8) & 0xFF
                             : k == Keyword::Low      ? *n & 0xFF
                             : k == Keyword::HighWord ? (*n >> 16) & 0xFFFF
                                                      : *n & 0xFFFF;
            return constant(r, v->unresolved);
        }
        return parseOffsetType();
    }

    std::optional<ExprValue> parseOffsetType() {
        Keyword k = atKeyword();
        if (k == Keyword::Offset) {
            ++pos_;
            auto v = parseOffsetType();
            if (!v) return std::nullopt;
            if (v->kind == ValueKind::Memory && !v->hasRegisters()) {
                v->kind = v->symbol || v->unresolved ? ValueKind::Address : ValueKind::Constant;
                v->bracketed = false;
            }
            if (v->kind == ValueKind::Constant) return v;
            if (v->kind != ValueKind::Address) return fail(Diag::InvalidOffsetOperand, "");
            v->isOffset = true;
            v->type = Type{4};
            v->explicitType = false;
            return v;
        }
        if (k == Keyword::Type) {
            ++pos_;
            auto v = parseOffsetType();
            if (!v) return std::nullopt;
            return constant(typeValue(*v), v->unresolved);
        }
        if (k == Keyword::Seg) return fail(Diag::SyntaxError, "SEG");
        return parsePtr();
    }

    static std::int64_t typeValue(const ExprValue& v) {
        if (v.type.isCode) return v.type.isFar ? 0xFF06 : 0xFF04;
        if (v.kind == ValueKind::Constant && !v.explicitType) return 0;
        return v.type.size;
    }

    std::optional<ExprValue> parsePtr() {
        auto l = parseDot();
        if (!l) return std::nullopt;
        if (atKeyword() == Keyword::Ptr) {
            ++pos_;
            if (l->kind != ValueKind::TypeName) return fail(Diag::InvalidType, "PTR");
            if (pos_ >= t_.size()) {  // "DWORD PTR" alone names a pointer type
                ExprValue p;
                p.kind = ValueKind::TypeName;
                p.type = Type{4};
                p.number = 4;
                return p;
            }
            auto r = parsePtr();
            if (!r) return std::nullopt;
            if (r->kind == ValueKind::TypeName) {  // pointer type such as DWORD PTR BYTE
                r->type = Type{4};
                r->number = 4;
                return r;
            }
            if (r->kind == ValueKind::Register) return fail(Diag::InvalidRegisterUse, "PTR");
            r->type = l->type;
            r->explicitType = true;
            return r;
        }
        if (atPunct(":")) {
            if (l->kind != ValueKind::Register || l->reg.cls != x86::RegClass::Segment)
                return fail(Diag::SyntaxError, ":");
            ++pos_;
            auto r = parsePtr();
            if (!r) return std::nullopt;
            ExprValue m = toMemory(*r);
            m.segment = l->reg;
            return m;
        }
        return l;
    }

    std::optional<ExprValue> parseDot() {
        auto l = parseLength();
        while (l && atPunct(".")) {
            ++pos_;
            const Token* name = peek();
            if (!name || name->kind != TokenKind::Identifier) return fail(Diag::SyntaxError, ".");
            ++pos_;
            const StructField* field = findField(*l, name->text);
            if (!field) return fail(Diag::NotAStructure, std::string(name->text));
            ExprValue offset = constant(field->offset);
            bool plainOffset = (l->kind == ValueKind::Constant && !l->bracketed) || l->kind == ValueKind::TypeName;
            ExprValue m = plainOffset ? offset : toMemory(*l);
            if (m.kind == ValueKind::Memory) m.number += field->offset;
            m.type = field->type;
            m.explicitType = true;
            l = m;
        }
        return l;
    }

    const StructField* findField(const ExprValue& v, std::string_view name) const {
        if (v.type.structure) return v.type.structure->field(name);
        for (const Symbol& s : env_.symbols->all())
            if (s.kind == SymbolKind::StructType && s.structure)
                if (const StructField* f = s.structure->field(name)) return f;
        return nullptr;
    }

    std::optional<ExprValue> parseLength() {
        Keyword k = atKeyword();
        if (k == Keyword::LengthOf || k == Keyword::SizeOf || k == Keyword::Length || k == Keyword::Size) {
            ++pos_;
            bool paren = atPunct("(");
            auto v = paren ? parsePrimary() : parseLength();
            if (!v) return std::nullopt;
            bool lengthOf = k == Keyword::LengthOf || k == Keyword::Length;
            if (v->kind == ValueKind::TypeName) return constant(lengthOf ? 1 : v->type.size);
            const Symbol* s = v->symbol;
            if (!s || (v->kind != ValueKind::Address && v->kind != ValueKind::Memory)) {
                if (v->unresolved) return constant(0, true);
                if (v->kind == ValueKind::Memory && v->explicitType) return constant(lengthOf ? 1 : v->type.size);
                return fail(Diag::SyntaxError, lengthOf ? "LENGTHOF" : "SIZEOF");
            }
            if (s->kind == SymbolKind::StackParam) return constant(lengthOf ? 1 : s->type.size);
            return constant(lengthOf ? s->lengthOf : s->sizeOf);
        }
        if (k == Keyword::Width || k == Keyword::Mask) {
            ++pos_;
            auto v = parseLength();
            if (!v) return std::nullopt;
            const Symbol* s = v->symbol;
            if (!s || s->kind != SymbolKind::RecordField) return fail(Diag::SyntaxError, "WIDTH");
            if (k == Keyword::Width) return constant(s->recordWidth);
            std::uint64_t mask = ((s->recordWidth >= 64 ? 0 : (1ull << s->recordWidth)) - 1) << s->recordShift;
            return constant(static_cast<std::int64_t>(mask));
        }
        return parsePrimary();
    }

    std::optional<ExprValue> parsePrimary() {
        DepthGuard guard(depth_);
        if (depth_ > 200) return fail(Diag::ExpressionSyntax, "nested too deeply");
        const Token* tok = peek();
        if (!tok) return fail(Diag::ExpressionExpected, "");
        std::optional<ExprValue> v;
        if (tok->is("(")) {
            ++pos_;
            v = parseExpr();
            if (!v) return std::nullopt;
            if (!atPunct(")")) return fail(Diag::MissingRightParen, "");
            ++pos_;
        } else if (tok->is("[")) {
            v = parseBracket();
        } else if (tok->kind == TokenKind::Number) {
            ++pos_;
            auto n = parseInteger(tok->text, env_.radix);
            if (!n) return fail(Diag::NonDigitInNumber, std::string(tok->text));
            v = constant(static_cast<std::int64_t>(*n));
        } else if (tok->kind == TokenKind::Real) {
            ++pos_;
            ExprValue r;
            r.kind = ValueKind::Real;
            r.text = tok->text;
            r.real = std::strtold(std::string(tok->text).c_str(), nullptr);
            v = r;
        } else if (tok->kind == TokenKind::String) {
            ++pos_;
            ExprValue s;
            s.kind = ValueKind::String;
            s.text = tok->text;
            s.number = stringValue(tok->text);
            v = s;
        } else if (tok->kind == TokenKind::Identifier) {
            v = parseName();
        } else {
            return fail(Diag::ExpressionSyntax, std::string(tok->text));
        }
        while (v && atPunct("[")) {
            auto index = parseBracket();
            if (!index) return std::nullopt;
            v = add(*v, *index);
            if (v) v->bracketed = true;
        }
        return v;
    }

    std::optional<ExprValue> parseBracket() {
        ++pos_;  // '['
        auto v = parseExpr();
        if (!v) return std::nullopt;
        if (!atPunct("]")) return fail(Diag::ExpressionSyntax, "missing ]");
        ++pos_;
        if (v->kind == ValueKind::TypeName) return fail(Diag::InvalidType, "[]");
        if (v->kind == ValueKind::Register && v->reg.cls != x86::RegClass::Gpr32) return fail(Diag::NotIndexOrBase, "");
        ExprValue m = toMemory(*v);
        m.bracketed = true;
        return m;
    }

    std::optional<ExprValue> parseName() {
        const Token& tok = t_[pos_];
        std::string_view name = tok.text;
        if (keywords_[pos_] != Keyword::None) return fail(Diag::ExpressionSyntax, std::string(name));
        ++pos_;
        if (isFpuStack(name)) {
            ExprValue r;
            r.kind = ValueKind::Register;
            r.reg = x86::Register{x86::RegClass::Fpu, 0};
            r.type = Type{10, true};
            if (atPunct("(")) {
                ++pos_;
                const Token* n = peek();
                auto number = n && n->kind == TokenKind::Number ? parseInteger(n->text, env_.radix) : std::nullopt;
                if (!number || *number > 7) return fail(Diag::InvalidFpuRegister, "");
                pos_ += 1;
                if (!atPunct(")")) return fail(Diag::MissingRightParen, "");
                ++pos_;
                r.reg.number = static_cast<std::uint8_t>(*number);
            }
            return r;
        }
        x86::Register reg = x86::lookupRegister(name);
        if (reg.cls != x86::RegClass::None) {
            ExprValue r;
            r.kind = ValueKind::Register;
            r.reg = reg;
            r.type = Type{registerSize(reg)};
            return r;
        }
        if (name == "$") {
            ExprValue a;
            a.kind = ValueKind::Address;
            a.symbol = env_.locationSymbol;
            a.number = env_.locationOffset;
            a.type = Type{4, false, false, true};
            if (!a.symbol) return fail(Diag::OutsideSegment, "$");
            return a;
        }
        if (name == "?") return fail(Diag::ExpressionSyntax, "?");
        if (Symbol* s = env_.symbols->find(name)) return symbolValue(*s);
        if (const Type* t = builtinType(name)) {
            ExprValue tv;
            tv.kind = ValueKind::TypeName;
            tv.type = *t;
            tv.number = t->size;
            return tv;
        }
        if (env_.undefinedIsError) return fail(Diag::UndefinedSymbol, std::string(name));
        ExprValue u;
        u.kind = ValueKind::Address;
        u.unresolved = true;
        return u;
    }

    std::optional<ExprValue> symbolValue(Symbol& s) {
        ExprValue v;
        switch (s.kind) {
            case SymbolKind::Equate:
            case SymbolKind::Redefinable:
                if (!s.defined) break;
                return constant(s.value);
            case SymbolKind::RecordField:
                v = constant(s.recordShift);
                v.symbol = &s;
                return v;
            case SymbolKind::StructType:
            case SymbolKind::TypeAlias:
                v.kind = ValueKind::TypeName;
                v.type = s.type;
                v.number = s.type.size;
                return v;
            case SymbolKind::StackParam:
                v.kind = ValueKind::Memory;
                v.base = x86::Register{x86::RegClass::Gpr32, 5};
                v.number = s.value;
                v.type = s.type;
                v.symbol = nullptr;
                return v;
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
                return v;
        }
        if (s.kind == SymbolKind::Text && s.defined) return fail(Diag::SyntaxError, s.name);
        if (env_.undefinedIsError) return fail(Diag::UndefinedSymbol, s.name);
        ExprValue u;
        u.kind = ValueKind::Address;
        u.unresolved = true;
        return u;
    }

    std::optional<ExprValue> scaledIndex(const ExprValue& l, const ExprValue& r) {
        const ExprValue& reg = l.kind == ValueKind::Register ? l : r;
        const ExprValue& factor = l.kind == ValueKind::Register ? r : l;
        if (factor.kind != ValueKind::Constant) return fail(Diag::InvalidScale, "");
        if (factor.number != 1 && factor.number != 2 && factor.number != 4 && factor.number != 8)
            return fail(Diag::InvalidScale, std::to_string(factor.number));
        if (reg.reg.cls != x86::RegClass::Gpr32) return fail(Diag::NotIndexOrBase, "");
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
        if (l.kind == ValueKind::Real || r.kind == ValueKind::Real) return fail(Diag::RealNotAllowed, "");
        if (l.kind == ValueKind::TypeName) l = constant(l.number);
        if (r.kind == ValueKind::TypeName) r = constant(r.number);
        if (l.kind == ValueKind::String) l = constant(stringValue(l.text));
        if (r.kind == ValueKind::String) r = constant(stringValue(r.text));
        bool unresolved = l.unresolved || r.unresolved;
        if (l.kind == ValueKind::Constant && r.kind == ValueKind::Constant) {
            ExprValue c = constant(static_cast<std::int64_t>(static_cast<std::uint64_t>(l.number) + static_cast<std::uint64_t>(r.number)), unresolved);
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
            return fail(Diag::CannotAddLabels, "");
        }
        // At least one side is memory-like.
        ExprValue a = l.kind == ValueKind::Constant || l.kind == ValueKind::Address ? l : toMemory(l);
        ExprValue b = r.kind == ValueKind::Constant || r.kind == ValueKind::Address ? r : toMemory(r);
        if (a.kind != ValueKind::Memory) std::swap(a, b);
        ExprValue m = a;
        m.number = a.number + b.number;
        if (b.symbol) {
            if (m.symbol) return fail(Diag::CannotAddLabels, "");
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
                    return fail(reg == b.index ? Diag::TwoIndexRegisters : Diag::TwoBaseRegisters, "");
                }
            }
        }
        for (x86::Register reg : {m.base, m.index})
            if (reg.cls != x86::RegClass::None && reg.cls != x86::RegClass::Gpr32)
                return fail(Diag::NotIndexOrBase, "");
        return m;
    }

    std::optional<ExprValue> subtract(ExprValue l, ExprValue r) {
        if (l.kind == ValueKind::Real || r.kind == ValueKind::Real) return fail(Diag::RealNotAllowed, "");
        bool unresolved = l.unresolved || r.unresolved;
        if (r.kind == ValueKind::Address || (r.kind == ValueKind::Memory && r.symbol && !r.hasRegisters())) {
            if (l.kind != ValueKind::Address && l.kind != ValueKind::Memory) {
                if (unresolved) return constant(0, true);
                return fail(Diag::ConstantExpected, "-");
            }
            if (unresolved) return constant(0, true);
            const Symbol* a = l.symbol;
            const Symbol* b = r.symbol;
            if (!a || !b || a->section < 0 || a->section != b->section) return fail(Diag::ConstantExpected, "-");
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
    return Parser(tokens, env, error).run();
}

std::uint32_t registerSize(x86::Register r) {
    switch (r.cls) {
        case x86::RegClass::Gpr8: return 1;
        case x86::RegClass::Gpr16: return 2;
        case x86::RegClass::Segment: return 2;
        case x86::RegClass::Fpu: return 10;
        case x86::RegClass::None: return 0;
        default: return 4;
    }
}

std::int64_t stringValue(std::string_view quoted) {
    std::string s = unquote(quoted);
    std::uint64_t v = 0;
    for (char c : s) v = (v << 8) | static_cast<unsigned char>(c);
    return static_cast<std::int64_t>(v);
}

}  // namespace ml
