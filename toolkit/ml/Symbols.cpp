// The symbol table and the table of built-in type names.
#include "Symbols.h"

#include <algorithm>
#include <array>

#include "Text.h"
#include "WordIndex.h"

namespace ml {

const StructField* StructDef::field(std::string_view wanted) const {
    for (const StructField& f : fields)
        if (equalsNoCase(f.name, wanted)) return &f;
    return nullptr;
}

std::uint64_t SymbolTable::nameHash(std::string_view name) const {
    std::uint64_t h = 1469598103934665603ull;  // FNV-1a over the (folded) name
    for (char c : name) {
        h ^= static_cast<unsigned char>(caseSensitive_ ? c : toLowerAscii(c));
        h *= 1099511628211ull;
    }
    return h;
}

std::uint32_t SymbolTable::keyHash(std::uint64_t nameHash, std::uint32_t scope) {
    std::uint64_t h = (nameHash ^ scope) * 0x9E3779B97F4A7C15ull;
    return static_cast<std::uint32_t>(h >> 32);
}

bool SymbolTable::sameName(std::string_view a, std::string_view b) const {
    return caseSensitive_ ? a == b : equalsNoCase(a, b);
}

Symbol* SymbolTable::probe(std::string_view name, std::uint64_t nameHash, std::uint32_t scope) const {
    const std::uint32_t h = keyHash(nameHash, scope);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = h & mask;; i = (i + 1) & mask) {
        const Slot& slot = slots_[i];
        if (!slot.symbol) return nullptr;
        if (slot.hash == h && slot.scope == scope && sameName(slot.symbol->name, name)) return slot.symbol;
    }
}

Symbol* SymbolTable::lookup(std::string_view name, std::uint32_t scope) const {
    if (slots_.empty()) return nullptr;
    const std::uint64_t hash = nameHash(name);
    if (scope != 0 && mayHaveLocal(scope, hash))
        if (Symbol* local = probe(name, hash, scope)) return local;
    return probe(name, hash, 0);
}

void SymbolTable::insert(Symbol* s, std::uint32_t scope) {
    if ((used_ + 1) * 2 > slots_.size()) rehash(slots_.empty() ? 1024 : slots_.size() * 2);
    const std::uint64_t folded = nameHash(s->name);
    if (scope != 0) noteLocal(scope, folded);
    const std::uint32_t h = keyHash(folded, scope);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = h & mask;; i = (i + 1) & mask) {
        Slot& slot = slots_[i];
        if (!slot.symbol) {
            slot = Slot{h, scope, s};
            ++used_;
            return;
        }
        if (slot.hash == h && slot.scope == scope && sameName(slot.symbol->name, s->name)) {
            slot.symbol = s;  // a new symbol of the same name hides the old one
            return;
        }
    }
}

std::uint64_t SymbolTable::localBit(std::uint64_t nameHash) { return 1ull << (nameHash >> 58); }

bool SymbolTable::mayHaveLocal(std::uint32_t scope, std::uint64_t nameHash) const {
    return scope < localNames_.size() && (localNames_[scope] & localBit(nameHash)) != 0;
}

void SymbolTable::noteLocal(std::uint32_t scope, std::uint64_t nameHash) {
    if (localNames_.size() <= scope) localNames_.resize(std::size_t(scope) + 1, 0);
    localNames_[scope] |= localBit(nameHash);
}

void SymbolTable::rehash(std::size_t slots) {
    // Every key in the old table is distinct and keeps its hash, so each slot moves to
    // the first free place of its new run without reading its symbol.
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(slots, Slot{});
    const std::size_t mask = slots - 1;
    for (const Slot& slot : old) {
        if (!slot.symbol) continue;
        std::size_t i = slot.hash & mask;
        while (slots_[i].symbol) i = (i + 1) & mask;
        slots_[i] = slot;
    }
}

void SymbolTable::setCaseSensitive(bool on) {
    if (on == caseSensitive_) return;
    caseSensitive_ = on;
    // Names that differ only in case become one name: the symbol made last hides the
    // others, as a redefinition does, whatever order the old slots had.
    std::vector<Slot> old = std::move(slots_);
    std::sort(old.begin(), old.end(), [](const Slot& a, const Slot& b) {
        return (a.symbol ? a.symbol->id : 0) < (b.symbol ? b.symbol->id : 0);
    });
    slots_.assign(old.size(), Slot{});
    localNames_.clear();
    used_ = 0;
    for (const Slot& slot : old)
        if (slot.symbol) insert(slot.symbol, slot.scope);
}

Symbol* SymbolTable::find(std::string_view name) const { return lookup(name, scope_); }

Symbol* SymbolTable::findGlobal(std::string_view name) const { return lookup(name, 0); }

Symbol& SymbolTable::create(std::string_view name, SymbolKind kind, bool local) {
    Symbol& s = all_.emplace_back();
    s.name = std::string(name);
    s.kind = kind;
    s.id = static_cast<std::uint32_t>(all_.size());
    s.procLocal = local && scope_ != 0;
    insert(&s, s.procLocal ? scope_ : 0);
    return s;
}

namespace {

struct NamedType {
    std::string_view name;
    Type type;
};

Type integer(std::uint32_t size, bool isSigned = false) { return Type{size, false, isSigned}; }
Type real(std::uint32_t size) { return Type{size, true}; }
Type code(bool far) { return Type{far ? 6u : 4u, false, false, true, far}; }

// name     type
// clang-format off
const std::array<NamedType, 25> kBuiltinTypes = {{
    {"byte", integer(1)},    {"db", integer(1)},      {"sbyte", integer(1, true)},
    {"word", integer(2)},    {"dw", integer(2)},      {"sword", integer(2, true)},
    {"dword", integer(4)},   {"dd", integer(4)},      {"sdword", integer(4, true)},
    {"fword", integer(6)},   {"df", integer(6)},      {"qword", integer(8)},
    {"dq", integer(8)},      {"tbyte", integer(10)},  {"dt", integer(10)},
    {"real4", real(4)},      {"real8", real(8)},      {"real10", real(10)},
    {"near", code(false)},   {"near32", code(false)}, {"near16", code(false)},
    {"far", code(true)},     {"far32", code(true)},   {"far16", code(true)},
    {"proc", code(false)},
}};
// clang-format on

}  // namespace

const Type* builtinType(std::string_view name) {
    if (name.size() < 2 || name.size() > 6) return nullptr;
    static const WordIndex index(kBuiltinTypes);
    const NamedType* t = index.find(name);
    return t ? &t->type : nullptr;
}

}  // namespace ml
