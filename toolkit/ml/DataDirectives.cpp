// Data definitions (BYTE ... REAL10, DB ... DT, structure and record instances, DUP)
// and the type definitions STRUCT/UNION, RECORD, TYPEDEF and LABEL.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "DataDirectives.h"
#include "Text.h"

namespace ml {

namespace {

// Finds "count DUP ( list )" at the top level of `item`.
bool splitDup(std::span<const Token> item, std::span<const Token>& count, std::span<const Token>& inner) {
    int depth = 0;
    for (std::size_t i = 0; i < item.size(); ++i) {
        if (item[i].is("(") || item[i].is("[") || item[i].is("<"))
            ++depth;
        else if ((item[i].is(")") || item[i].is("]") || item[i].is(">")) && depth > 0)
            --depth;
        else if (depth == 0 && item[i].isWord("DUP")) {
            count = item.subspan(0, i);
            auto rest = item.subspan(i + 1);
            if (rest.size() < 2 || !rest.front().is("(") || !rest.back().is(")")) {
                inner = {};
                return true;
            }
            inner = rest.subspan(1, rest.size() - 2);
            return true;
        }
    }
    return false;
}

bool isQuestion(std::span<const Token> item) { return item.size() == 1 && item[0].text == "?"; }

// Bracketed structure initializer: the tokens inside < > or { }.
bool bracketed(std::span<const Token> item, std::span<const Token>& inside) {
    if (item.size() < 2) return false;
    bool angle = item.front().is("<") && item.back().is(">");
    bool brace = item.front().is("{") && item.back().is("}");
    if (!angle && !brace) return false;
    inside = item.subspan(1, item.size() - 2);
    return true;
}

void putLittleEndian(std::uint8_t* out, std::uint64_t value, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) out[i] = static_cast<std::uint8_t>(i < 8 ? value >> (8 * i) : 0);
}

// The bytes of a real number in REAL4, REAL8 or REAL10 layout.
std::vector<std::uint8_t> realBytes(long double value, const char* text, bool negative, std::uint32_t size) {
    std::vector<std::uint8_t> out(size, 0);
    if (size == 4) {
        float f = text ? std::strtof(text, nullptr) : static_cast<float>(value);
        if (negative) f = -f;
        std::memcpy(out.data(), &f, 4);
    } else if (size == 8) {
        double d = text ? std::strtod(text, nullptr) : static_cast<double>(value);
        if (negative) d = -d;
        std::memcpy(out.data(), &d, 8);
    } else {
        long double e = text ? std::strtold(text, nullptr) : value;
        if (negative) e = -e;
        std::uint8_t raw[sizeof(long double)] = {};
        std::memcpy(raw, &e, sizeof e);
        std::memcpy(out.data(), raw, std::min<std::size_t>(10, size));
    }
    return out;
}

// A real number as one hexadecimal value, most significant byte first: 3F000000.
std::string realHex(const std::vector<std::uint8_t>& bytes) {
    std::string out;
    for (auto it = bytes.rbegin(); it != bytes.rend(); ++it) out += hex(*it, 2);
    return out;
}

std::string hexBytes(const std::uint8_t* data, std::size_t size) {
    std::string out;
    for (std::size_t i = 0; i < size; ++i) {
        if (i) out += ' ';
        out += hex(data[i], 2);
    }
    return out;
}

}  // namespace

const Type* DataDirectives::dataType(const Token& word) const {
    if (word.kind != TokenKind::Identifier) return nullptr;
    if (const Type* t = builtinType(word.text)) return t->isCode ? nullptr : t;
    const Symbol* s = ctx_.symbols.find(word.text);
    if (s && (s->kind == SymbolKind::StructType || s->kind == SymbolKind::TypeAlias) && !s->type.isCode)
        return &s->type;
    return nullptr;
}

void DataDirectives::defineData(const Token* name, const Type& type, Tokens initializers) {
    if (!ctx_.requireSection()) return;
    if (initializers.empty()) {
        ctx_.error(Diag::InvalidDataInitializer, name ? std::string(name->text) : std::string());
        return;
    }
    std::uint32_t start = ctx_.out.here().offset;
    Symbol* label = name ? ctx_.defineLabel(name->text, false, type) : nullptr;
    std::vector<std::string>& fields = dataFields_;
    fields.clear();
    std::uint32_t count = 0;
    emitInitializerList(type, initializers, count, fields, 0);
    if (label && label->section == ctx_.out.here().section && label->value == start) {
        label->lengthOf = count;
        label->sizeOf = count * type.size;
        if (ctx_.pass == 1) label->firstLength = firstInitializerLength(initializers);  // the same in every pass
    }
    ctx_.out.dataLine(start, ctx_.out.listing() ? listingRows(fields) : std::vector<std::string>{});
}

// Plain values share rows ("0D 0A 54 68"); a DUP group takes rows of its own:
//   00000064 [
//     00000000
//    ]
std::vector<std::string> DataDirectives::listingRows(const std::vector<std::string>& fields) {
    std::vector<std::string> rows;
    bool joinable = false;
    for (const std::string& f : fields) {
        bool dupPart = f.ends_with(" [") || f == " ]" || f.starts_with("  ");
        if (!dupPart && joinable) {
            rows.back() += " " + f;
        } else {
            rows.push_back(f);
        }
        joinable = !dupPart;
    }
    return rows;
}

bool DataDirectives::emitInitializerList(const Type& type, Tokens list, std::uint32_t& count,
                                         std::vector<std::string>& fields, int depth) {
    if (depth > 32) {
        ctx_.error(Diag::NestingTooDeep, "DUP");
        return false;
    }
    for (Tokens item : TokenParts(list)) {
        Tokens countTokens, inner;
        if (splitDup(item, countTokens, inner)) {
            if (inner.empty()) {
                ctx_.error(Diag::SyntaxError, "DUP");
                return false;
            }
            auto n = ctx_.constantTokens(countTokens, "DUP");
            if (!n) return false;
            if (*n < 0) {
                ctx_.error(Diag::ValueOutOfRange, "DUP");
                return false;
            }
            if (*n == 0) continue;
            const EmitMark begin = ctx_.out.mark();
            std::uint32_t innerCount = 0;
            std::vector<std::string> innerFields;
            if (!emitInitializerList(type, inner, innerCount, innerFields, depth + 1)) return false;
            const std::uint32_t end = ctx_.out.here().offset;
            const std::uint32_t unit = end - begin.offset;
            if (end < begin.offset ||
                !ctx_.out.mayGrowTo(std::uint64_t(begin.offset) + std::uint64_t(unit) * std::uint64_t(*n))) {
                ctx_.error(Diag::ValueTooLarge, "DUP");
                return false;
            }
            ctx_.out.repeat(begin, std::size_t(*n));
            count += innerCount * static_cast<std::uint32_t>(*n);
            fields.push_back(hex(static_cast<std::uint64_t>(*n), 8) + " [");
            for (std::string& f : innerFields) fields.push_back("  " + f);
            fields.push_back(" ]");
            continue;
        }
        if (!emitInitializer(type, item, count, fields)) return false;
    }
    return true;
}

bool DataDirectives::emitInitializer(const Type& type, Tokens item, std::uint32_t& count,
                                     std::vector<std::string>& fields) {
    if (item.empty()) {
        ctx_.error(Diag::InvalidDataInitializer);
        return false;
    }
    if (type.structure && !type.structure->isRecord) {
        ++count;
        return emitStructure(*type.structure, item, fields);
    }
    if (type.structure && type.structure->isRecord) {
        ++count;
        return emitRecord(*type.structure, item, fields);
    }
    if (isQuestion(item)) {
        ctx_.out.fill(0, type.size);
        ++count;
        fields.push_back(std::string(type.size * 2, '0'));
        return true;
    }
    if (item.size() == 1 && item[0].kind == TokenKind::String && type.size == 1) {
        std::string bytes = unquote(item[0].text);
        if (bytes.empty()) {
            ctx_.error(Diag::EmptyString);
            return false;
        }
        ctx_.out.bytes({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
        count += static_cast<std::uint32_t>(bytes.size());
        fields.push_back(hexBytes(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
        return true;
    }
    ++count;
    return emitScalar(type, item, fields);
}

namespace {

// "3.5", "-2.0E3": a real number written out, which keeps its exact rounding.
bool isWrittenReal(std::span<const Token> item) {
    std::size_t at = (item.size() == 2 && (item[0].is("-") || item[0].is("+"))) ? 1 : 0;
    return item.size() == at + 1 && item[at].kind == TokenKind::Real;
}

// "3F800000r": the bits of a real in a number with the suffix R.
bool isHexReal(std::span<const Token> item) {
    return item.size() == 1 && item[0].kind == TokenKind::Number &&
           (item[0].text.back() == 'r' || item[0].text.back() == 'R');
}

bool isRealSize(std::uint32_t size) { return size == 4 || size == 8 || size == 10; }

}  // namespace

bool DataDirectives::emitScalar(const Type& type, Tokens item, std::vector<std::string>& fields) {
    const std::uint32_t size = type.size;
    if (size == 0 || size > 16) {
        ctx_.error(Diag::InvalidDataType);
        return false;
    }
    if (isWrittenReal(item)) return emitWrittenReal(size, item, fields);
    if (isHexReal(item)) return emitHexReal(size, item[0], fields);
    auto v = ctx_.evaluateTokens(item);
    if (!v) return false;
    if (v->kind == ValueKind::Real || (type.isFloat && v->kind == ValueKind::Constant)) {
        const long double value = v->kind == ValueKind::Real ? v->real : static_cast<long double>(v->number);
        return emitReal(size, value, nullptr, false, fields);
    }
    if (v->kind == ValueKind::String) {
        if (unquote(v->text).size() > size) {
            ctx_.error(Diag::InitializerTooLarge);
            return false;
        }
        v->kind = ValueKind::Constant;
        v->number = stringValue(v->text);
    }
    if (v->kind == ValueKind::TypeName) v->kind = ValueKind::Constant;
    if (v->kind == ValueKind::Memory && !v->hasRegisters() && !v->bracketed && (v->symbol || v->unresolved))
        v->kind = ValueKind::Address;
    if (v->kind == ValueKind::Constant) return emitInteger(size, v->number, fields);
    if (v->kind == ValueKind::Address) return emitAddress(size, *v, fields);
    ctx_.error(Diag::InvalidDataInitializer);
    return false;
}

bool DataDirectives::emitWrittenReal(std::uint32_t size, Tokens item, std::vector<std::string>& fields) {
    const bool negative = item.size() == 2 && item[0].is("-");
    const std::string text(item.back().text);
    return emitReal(size, 0, text.c_str(), negative, fields);
}

// A real from its value, or from its written digits when `digits` is given.
bool DataDirectives::emitReal(std::uint32_t size, long double value, const char* digits, bool negative,
                              std::vector<std::string>& fields) {
    if (!isRealSize(size)) {
        ctx_.error(Diag::RealNotAllowed);
        return false;
    }
    auto bytes = realBytes(value, digits, negative, size);
    ctx_.out.bytes(bytes);
    fields.push_back(realHex(bytes));
    return true;
}

bool DataDirectives::emitHexReal(std::uint32_t size, const Token& number, std::vector<std::string>& fields) {
    std::string digits(number.text.substr(0, number.text.size() - 1));
    bool tooLarge = false;
    auto bits = parseInteger(digits + "h", 10, &tooLarge);
    if (!bits) {
        ctx_.error(tooLarge ? Diag::ValueTooLarge : Diag::NonDigitInNumber, std::string(number.text));
        return false;
    }
    std::uint8_t buffer[16] = {};
    putLittleEndian(buffer, *bits, size);
    ctx_.out.bytes({buffer, size});
    fields.push_back(hex(*bits, int(size * 2)));
    return true;
}

bool DataDirectives::emitInteger(std::uint32_t size, std::int64_t n, std::vector<std::string>& fields) {
    const bool fits = size >= 8 || (n >= -(std::int64_t(1) << (size * 8 - 1)) && n < (std::int64_t(1) << (size * 8)));
    if (!fits) {
        ctx_.error(Diag::InitializerTooLarge, std::to_string(n));
        return false;
    }
    std::uint8_t buffer[16] = {};
    putLittleEndian(buffer, static_cast<std::uint64_t>(n), size);
    if (size > 8 && n < 0) std::memset(buffer + 8, 0xFF, size - 8);
    ctx_.out.bytes({buffer, size});
    const std::uint64_t shown = size >= 8 ? static_cast<std::uint64_t>(n)
                                          : static_cast<std::uint64_t>(n) & ((std::uint64_t(1) << (size * 8)) - 1);
    // A TBYTE shows all ten bytes: its two high ones, then the other eight.
    const std::string high = size > 8 ? hex(n < 0 ? 0xFFFF : 0, int((size - 8) * 2)) : std::string();
    fields.push_back(high + hex(shown, int(std::min<std::uint32_t>(size, 8) * 2)));
    return true;
}

// An address in a WORD, DWORD or FWORD, relocated when it names a symbol; the
// listing marks it R, or E for an external.
bool DataDirectives::emitAddress(std::uint32_t size, const ExprValue& v, std::vector<std::string>& fields) {
    if (size != 4 && size != 2 && size != 6) {
        ctx_.error(Diag::InitializerTooLarge, "address");
        return false;
    }
    const x86::Value target = ctx_.relocatable(v.symbol, v.number);
    const std::uint32_t at = ctx_.out.here().offset;
    std::uint8_t buffer[16] = {};
    putLittleEndian(buffer, static_cast<std::uint64_t>(target.constant), std::min<std::uint32_t>(size, 4));
    ctx_.out.bytes({buffer, size});
    const Symbol* relocated = ctx_.symbols.byId(target.symbol);
    if (relocated) ctx_.out.relocation(size == 2 ? RelocKind::Abs16 : RelocKind::Abs32, *relocated, at);
    const bool external = relocated && relocated->kind != SymbolKind::Segment;
    fields.push_back(hex(static_cast<std::uint64_t>(target.constant), int(std::min<std::uint32_t>(size, 4) * 2)) +
                     (target.symbol ? (external ? " E" : " R") : ""));
    return true;
}

bool DataDirectives::emitStructure(const StructDef& def, Tokens item, std::vector<std::string>& fields) {
    const std::uint32_t start = ctx_.out.here().offset;
    std::vector<Tokens> overrides;
    Tokens inside;
    if (isQuestion(item)) {
        // every field uninitialized
    } else if (bracketed(item, inside)) {
        if (!inside.empty()) overrides = splitTokens(inside);
    } else {
        ctx_.error(Diag::InvalidDataInitializer, def.name);
        return false;
    }
    if (overrides.size() > def.fields.size()) {
        ctx_.error(Diag::TooManyInitialValues, def.name);
        return false;
    }
    std::vector<std::string> fieldText;
    for (std::size_t i = 0; i < def.fields.size(); ++i) {
        const StructField& f = def.fields[i];
        if (def.isUnion && i > 0) break;
        if (const std::uint32_t at = ctx_.out.here().offset; at < start + f.offset)
            ctx_.out.fill(0, start + f.offset - at);
        std::vector<Token> defaults;
        Tokens value;
        if (i < overrides.size() && !overrides[i].empty()) {
            value = overrides[i];
        } else if (isQuestion(item)) {
            value = {};
        } else {
            tokenize(f.initializer, defaults);
            value = defaults;
        }
        std::uint32_t n = 0;
        if (value.empty()) {
            ctx_.out.fill(0, std::uint64_t(f.type.size) * f.lengthOf);
            fieldText.push_back(std::string(std::min<std::uint32_t>(f.type.size, 8) * 2, '0'));
            continue;
        }
        // An array field takes a list in < > or { }: scores <9, 8, 7>
        Tokens list;
        if (!f.type.structure && f.lengthOf > 1 && bracketed(value, list)) value = list;
        if (!emitInitializerList(f.type, value, n, fieldText, 1)) return false;
        if (n > f.lengthOf) {  // it would overwrite the next field
            ctx_.error(Diag::TooManyInitialValues, f.name);
            return false;
        }
        // A shorter string is padded with blanks: name BYTE "ABCDEFGH" given <"Li">
        if (f.type.size == 1 && value.size() == 1 && value[0].kind == TokenKind::String && n < f.lengthOf) {
            ctx_.out.fill(' ', f.lengthOf - n);
            fieldText.insert(fieldText.end(), f.lengthOf - n, hex(' ', 2));
        }
    }
    if (const std::uint32_t at = ctx_.out.here().offset; at < start + def.size) ctx_.out.fill(0, start + def.size - at);
    for (std::string& t : fieldText) fields.push_back(std::move(t));
    return true;
}

bool DataDirectives::emitRecord(const StructDef& def, Tokens item, std::vector<std::string>& fields) {
    Tokens inside;
    std::vector<Tokens> overrides;
    if (bracketed(item, inside)) {
        if (!inside.empty()) overrides = splitTokens(inside);
    } else if (!isQuestion(item)) {
        auto v = ctx_.constantTokens(item, def.name);
        if (!v) return false;
        std::uint8_t buffer[8];
        putLittleEndian(buffer, static_cast<std::uint64_t>(*v), def.size);
        ctx_.out.bytes({buffer, def.size});
        fields.push_back(hex(static_cast<std::uint64_t>(*v), int(def.size * 2)));
        return true;
    }
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < def.fields.size(); ++i) {
        const StructField& f = def.fields[i];
        std::int64_t v = 0;
        std::vector<Token> defaults;
        Tokens text;
        if (i < overrides.size() && !overrides[i].empty())
            text = overrides[i];
        else if (!f.initializer.empty()) {
            tokenize(f.initializer, defaults);
            text = defaults;
        }
        if (!text.empty()) {
            auto c = ctx_.constantTokens(text, f.name);
            if (!c) return false;
            v = *c;
        }
        std::uint64_t mask = f.lengthOf >= 64 ? ~0ull : ((1ull << f.lengthOf) - 1);
        value |= (static_cast<std::uint64_t>(v) & mask) << f.offset;
    }
    std::uint8_t buffer[8];
    putLittleEndian(buffer, value, def.size);
    ctx_.out.bytes({buffer, def.size});
    fields.push_back(hex(value, int(def.size * 2)));
    return true;
}

// ---- type definitions -------------------------------------------------------

// What LENGTH gives: the count of a DUP that starts the list, else 1.
std::uint32_t DataDirectives::firstInitializerLength(Tokens list) {
    for (Tokens item : TokenParts(list)) {
        Tokens countTokens, inner;
        if (!splitDup(item, countTokens, inner)) return 1;
        EvalError err;
        auto n = evaluate(countTokens, ctx_.environment(false), err);
        return n && n->kind == ValueKind::Constant
                   ? static_cast<std::uint32_t>(std::clamp<std::int64_t>(n->number, 0, 1 << 24))
                   : 1;
    }
    return 1;
}

std::uint32_t DataDirectives::countInitializers(const Type& type, Tokens list) {
    std::uint32_t count = 0;
    for (Tokens item : TokenParts(list)) {
        Tokens countTokens, inner;
        if (splitDup(item, countTokens, inner)) {
            EvalError err;
            auto n = evaluate(countTokens, ctx_.environment(false), err);
            std::int64_t times = n && n->kind == ValueKind::Constant ? n->number : 0;
            count += static_cast<std::uint32_t>(std::clamp<std::int64_t>(times, 0, 1 << 24)) *
                     countInitializers(type, inner);
        } else if (item.size() == 1 && item[0].kind == TokenKind::String && type.size == 1) {
            count += static_cast<std::uint32_t>(unquote(item[0].text).size());
        } else {
            ++count;
        }
    }
    return count;
}

// name STRUCT [alignment]: fields are aligned to the smaller of their size and the
// alignment (1, 2, 4, 8 or 16; 1 when not given).
void DataDirectives::beginStructure(std::string_view name, bool isUnion, Tokens alignment) {
    if (openStructure_) {
        ctx_.error(Diag::NestingTooDeep, std::string(name));
        return;
    }
    std::uint32_t align = 1;
    if (!alignment.empty() && !alignment[0].is(",")) {
        auto a = ctx_.constantTokens(alignment, "STRUCT");
        if (a && (*a == 1 || *a == 2 || *a == 4 || *a == 8 || *a == 16))
            align = static_cast<std::uint32_t>(*a);
        else if (a)
            ctx_.error(Diag::AlignNotPowerOfTwo, std::string(name));
    }
    structureBeingBuilt_ = std::make_shared<StructDef>();
    structureBeingBuilt_->name = std::string(name);
    structureBeingBuilt_->isUnion = isUnion;
    structureBeingBuilt_->alignment = align;
    openStructure_ = structureBeingBuilt_.get();
}

void DataDirectives::addStructField(const Token* name, const Type& type, Tokens initializers) {
    StructDef& def = *openStructure_;
    if (initializers.empty()) {
        ctx_.error(Diag::InvalidDataInitializer);
        return;
    }
    StructField f;
    if (name) f.name = std::string(name->text);
    f.type = type;
    f.lengthOf = countInitializers(type, initializers);
    std::size_t from = initializers.front().column;
    std::string_view text = ctx_.line->text;
    f.initializer = std::string(trim(text.substr(std::min(from, text.size()))));
    std::uint32_t bytes = f.type.size * f.lengthOf;
    if (def.isUnion) {
        f.offset = 0;
        def.size = std::max(def.size, bytes);
    } else {
        std::uint32_t align =
            std::min(def.alignment, std::max<std::uint32_t>(1, std::min<std::uint32_t>(type.size, 16)));
        if (align > 1) def.size = (def.size + align - 1) / align * align;
        f.offset = def.size;
        def.size += bytes;
    }
    if (name && def.field(f.name)) {
        ctx_.error(Diag::SymbolRedefinition, f.name);
        return;
    }
    def.fields.push_back(std::move(f));
}

void DataDirectives::alignStructure(std::uint32_t alignment) {
    openStructure_->alignment = std::max(openStructure_->alignment, alignment);
    openStructure_->size = (openStructure_->size + alignment - 1) & ~(alignment - 1);
}

void DataDirectives::endStructure() {
    StructDef* def = openStructure_;
    openStructure_ = nullptr;
    if (def->alignment > 1) def->size = (def->size + def->alignment - 1) / def->alignment * def->alignment;
    Symbol* s = ctx_.symbols.findGlobal(def->name);
    if (s && s->kind == SymbolKind::StructType && s->definedPass != ctx_.pass) {
        s->definedPass = ctx_.pass;
        s->definedAt = ctx_.lineIndex;
        return;  // defined in an earlier pass: keep the definition that types point to
    }
    if (s && s->kind == SymbolKind::StructType && s->structure && s->structure->size == def->size &&
        s->structure->fields.size() == def->fields.size())
        return;  // the same structure again
    s = ctx_.defineSymbol(def->name, SymbolKind::StructType);
    if (!s) return;
    s->structure = structureBeingBuilt_;
    s->type = Type{def->size};
    s->type.structure = def;
    s->defined = true;
    s->definedPass = ctx_.pass;
    s->definedAt = ctx_.lineIndex;
}

void DataDirectives::directiveRecord(std::string_view name, Tokens rest) {
    Symbol* existing = ctx_.symbols.findGlobal(name);
    if (existing && existing->kind == SymbolKind::StructType && existing->definedPass != ctx_.pass) {
        existing->definedPass = ctx_.pass;
        existing->definedAt = ctx_.lineIndex;
        return;
    }
    auto def = std::make_shared<StructDef>();
    def->name = std::string(name);
    def->isRecord = true;
    struct Part {
        std::string_view name;
        std::uint32_t width;
        std::string init;
    };
    std::vector<Part> parts;
    std::uint32_t total = 0;
    for (Tokens item : splitTokens(rest)) {
        if (item.size() < 3 || item[0].kind != TokenKind::Identifier || !item[1].is(":")) {
            ctx_.error(Diag::SyntaxError, "RECORD");
            return;
        }
        std::size_t eq = 2;
        while (eq < item.size() && !item[eq].is("=")) ++eq;
        auto width = ctx_.constantTokens(item.subspan(2, eq - 2), "RECORD");
        if (!width) return;
        if (*width < 1 || *width > 32 || total + std::uint32_t(*width) > 32) {
            ctx_.error(Diag::ValueOutOfRange, "RECORD");
            return;
        }
        std::string init;
        if (eq < item.size() && eq + 1 < item.size()) {
            std::string_view text = ctx_.line->text;
            std::size_t from = item[eq + 1].column;
            std::size_t to = item.back().column + item.back().text.size();
            init = std::string(text.substr(from, to - from));
        }
        parts.push_back({item[0].text, std::uint32_t(*width), init});
        total += std::uint32_t(*width);
    }
    def->size = total <= 8 ? 1 : total <= 16 ? 2 : 4;
    std::uint32_t shift = total;
    for (const Part& p : parts) {
        shift -= p.width;
        StructField f;
        f.name = std::string(p.name);
        f.offset = shift;      // bit position
        f.lengthOf = p.width;  // bit width
        f.initializer = p.init;
        def->fields.push_back(f);
        Symbol* field = ctx_.defineSymbol(p.name, SymbolKind::RecordField);
        if (field) {
            field->recordShift = shift;
            field->recordWidth = p.width;
            field->defined = true;
            field->definedPass = ctx_.pass;
            field->definedAt = ctx_.lineIndex;
        }
    }
    Symbol* s = ctx_.defineSymbol(name, SymbolKind::StructType);
    if (!s) return;
    s->structure = def;
    s->type = Type{def->size};
    s->type.structure = def.get();
    s->defined = true;
    s->definedPass = ctx_.pass;
    s->definedAt = ctx_.lineIndex;
}

void DataDirectives::directiveTypedef(std::string_view name, Tokens rest) {
    auto type = ctx_.parseType(rest);
    if (!type) {
        ctx_.error(Diag::InvalidType, std::string(name));
        return;
    }
    Symbol* s = ctx_.symbols.findGlobal(name);
    if (!s || s->kind != SymbolKind::TypeAlias) s = ctx_.defineSymbol(name, SymbolKind::TypeAlias);
    if (!s) return;
    s->type = *type;
    s->defined = true;
    s->definedPass = ctx_.pass;
    s->definedAt = ctx_.lineIndex;
}

void DataDirectives::directiveLabel(std::string_view name, Tokens rest) {
    auto type = ctx_.parseType(rest);
    if (!type) {
        ctx_.error(Diag::InvalidType, "LABEL");
        return;
    }
    Symbol* s = ctx_.defineLabel(name, false, *type);
    if (s && !type->isCode) s->sizeOf = type->size;
    ctx_.out.listOffset();
}

}  // namespace ml
