// The symbol table and the table of built-in type names.
#include "Symbols.h"

#include <array>

#include "Text.h"

namespace ml {

const StructField* StructDef::field(std::string_view wanted) const {
    for (const StructField& f : fields)
        if (equalsNoCase(f.name, wanted)) return &f;
    return nullptr;
}

const std::string& SymbolTable::key(std::string_view name, std::uint32_t scope) const {
    std::string& k = keyBuffer_;
    k.clear();
    if (scope != 0) {
        k = std::to_string(scope);
        k.push_back('\x01');
    }
    if (caseSensitive_)
        k.append(name);
    else
        for (char c : name) k.push_back(toLowerAscii(c));
    return k;
}

Symbol* SymbolTable::find(std::string_view name) const {
    if (scope_ != 0) {
        auto it = index_.find(key(name, scope_));
        if (it != index_.end()) return it->second;
    }
    return findGlobal(name);
}

Symbol* SymbolTable::findGlobal(std::string_view name) const {
    auto it = index_.find(key(name, 0));
    return it == index_.end() ? nullptr : it->second;
}

Symbol& SymbolTable::create(std::string_view name, SymbolKind kind, bool local) {
    Symbol& s = all_.emplace_back();
    s.name = std::string(name);
    s.kind = kind;
    s.id = static_cast<std::uint32_t>(all_.size());
    s.procLocal = local && scope_ != 0;
    index_[std::string(key(name, s.procLocal ? scope_ : 0))] = &s;
    return s;
}

namespace {

struct NamedType {
    const char* name;
    Type type;
};

Type integer(std::uint32_t size, bool isSigned = false) { return Type{size, false, isSigned}; }
Type real(std::uint32_t size) { return Type{size, true}; }
Type code(bool far) { return Type{far ? 6u : 4u, false, false, true, far}; }

// name     type
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

}  // namespace

const Type* builtinType(std::string_view name) {
    if (name.size() < 2 || name.size() > 6) return nullptr;
    for (const NamedType& t : kBuiltinTypes)
        if (equalsNoCase(name, t.name)) return &t.type;
    return nullptr;
}

}  // namespace ml
