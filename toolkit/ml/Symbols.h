// The symbol table: labels, equates, text macros, procedures, prototypes, externals
// and structure types, looked up case-insensitively with procedure-local scopes.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ml {

struct StructDef;
struct ProcInfo;

// The type a symbol, a PTR or a data directive gives to a value.
struct Type {
    std::uint32_t size = 0;  // bytes; 0 when unknown or untyped
    bool isFloat = false;    // REAL4, REAL8, REAL10
    bool isSigned = false;   // SBYTE, SWORD, SDWORD
    bool isCode = false;     // NEAR, FAR, PROC labels
    bool isFar = false;
    const StructDef* structure = nullptr;

    friend bool operator==(const Type&, const Type&) = default;
};

enum class Language : std::uint8_t { None, C, Syscall, Stdcall, Pascal, Fortran, Basic };

enum class SymbolKind : std::uint8_t {
    Label,        // code or data address in a section
    Equate,       // EQU constant: may be redefined only to the same value
    Redefinable,  // '=' constant
    Text,         // text macro (EQU <...>, TEXTEQU, CATSTR ...)
    Procedure,    // PROC (also a label)
    Prototype,    // PROTO
    External,     // EXTRN, EXTERN, EXTERNDEF without a definition
    StructType,   // STRUCT, UNION, RECORD
    TypeAlias,    // TYPEDEF
    Macro,        // MACRO name (the body lives in the preprocessor)
    Segment,      // section names of the listing
    StackParam,   // PROC parameter or LOCAL variable: [ebp +/- offset]
    RecordField,
};

struct Symbol {
    std::string name;  // as first written
    SymbolKind kind = SymbolKind::Label;
    bool defined = false;  // defined in the current pass
    bool isPublic = false;
    bool isExternDef = false;  // EXTERNDEF: public when defined, external otherwise
    bool referenced = false;   // used by an instruction or data (externals reach the object only then)
    bool procLocal = false;
    bool globalLabel = false;  // written name:: inside a procedure
    bool hidden = false;       // made by the assembler (.IF labels): not listed
    Language language = Language::None;
    std::int32_t section = -1;  // index of the section of a label; -1 = none
    std::int64_t value = 0;     // offset of a label, value of a constant
    Type type;
    std::uint32_t lengthOf = 1;  // element count of a data label
    std::uint32_t sizeOf = 0;    // bytes of a data label
    // LENGTH: the DUP count of the first initializer, 1 without DUP (K DW 20h DUP (0) -> 20h)
    std::uint32_t firstLength = 1;
    std::string text;  // text macro value
    std::uint32_t definedPass = 0;
    std::uint32_t id = 0;                            // 1-based, stable; the encoder's Value::symbol
    std::uint64_t definedAt = 0;                     // line index of the definition in that pass
    std::shared_ptr<ProcInfo> proc;                  // procedures and prototypes
    std::shared_ptr<const ProcInfo> prototype;       // the first PROTO of a procedure
    std::uint64_t prototypeAt = 0;                   // its line index
    std::shared_ptr<StructDef> structure;            // structure types
    std::uint32_t recordShift = 0, recordWidth = 0;  // record fields
};

struct ProcParam {
    std::string name;
    Type type;
    bool isVararg = false;
    std::int32_t offset = 0;  // from ebp
};

struct ProcInfo {
    Language language = Language::None;
    bool isFar = false;
    std::vector<ProcParam> params;
    std::vector<ProcParam> locals;
    std::vector<std::string> uses;  // registers saved by USES
    std::uint32_t localBytes = 0;
    std::uint32_t paramBytes = 0;
    bool hasFrame = false;        // generated prologue (parameters or locals)
    std::uint32_t endOffset = 0;  // size, once ENDP is seen
    bool hasPrototype = false;
};

struct StructField {
    std::string name;
    std::uint32_t offset = 0;
    Type type;
    std::uint32_t lengthOf = 1;
    std::string initializer;  // default initial value text
};

struct StructDef {
    std::string name;
    bool isUnion = false;
    bool isRecord = false;
    std::uint32_t size = 0;
    std::uint32_t alignment = 1;
    std::vector<StructField> fields;
    const StructField* field(std::string_view name) const;
};

class SymbolTable {
public:
    explicit SymbolTable(bool caseSensitive = false) : caseSensitive_(caseSensitive) {}

    void setCaseSensitive(bool on);  // rebuilds the index under the new rule
    bool caseSensitive() const { return caseSensitive_; }

    // Finds `name` in the open procedure's scope first, then globally.
    Symbol* find(std::string_view name) const;
    Symbol* findGlobal(std::string_view name) const;
    // Creates the symbol in the global scope (or the procedure scope when `local`).
    Symbol& create(std::string_view name, SymbolKind kind, bool local = false);

    void openScope(std::uint32_t procId) { scope_ = procId; }
    void closeScope() { scope_ = 0; }
    std::uint32_t scope() const { return scope_; }

    Symbol* byId(std::uint32_t id) { return id == 0 || id > all_.size() ? nullptr : &all_[id - 1]; }
    const std::deque<Symbol>& all() const { return all_; }
    std::deque<Symbol>& all() { return all_; }

private:
    // Open addressing on (scope, name): the slots hold the key's hash and the symbol,
    // whose own name is compared, so that lookups never build a key string. A
    // procedure's local and a global of the same name have keys of their own, and a
    // search stops at the first slot that holds its key.
    struct Slot {
        std::uint32_t hash = 0;
        std::uint32_t scope = 0;
        Symbol* symbol = nullptr;
    };
    std::uint64_t nameHash(std::string_view name) const;
    static std::uint32_t keyHash(std::uint64_t nameHash, std::uint32_t scope);
    bool sameName(std::string_view a, std::string_view b) const;
    // The symbol of exactly `scope` (0: global) with this name.
    Symbol* probe(std::string_view name, std::uint64_t nameHash, std::uint32_t scope) const;
    // The symbol of `scope` with this name, else the global one.
    Symbol* lookup(std::string_view name, std::uint32_t scope) const;
    void insert(Symbol* s, std::uint32_t scope);
    // A 64-bit summary per procedure scope of its local names' hashes, so that a lookup
    // inside a procedure skips the local probe for a name the procedure cannot hold.
    static std::uint64_t localBit(std::uint64_t nameHash);
    bool mayHaveLocal(std::uint32_t scope, std::uint64_t nameHash) const;
    void noteLocal(std::uint32_t scope, std::uint64_t nameHash);
    void rehash(std::size_t slots);

    bool caseSensitive_;
    std::uint32_t scope_ = 0;
    std::deque<Symbol> all_;
    std::vector<Slot> slots_;
    std::vector<std::uint64_t> localNames_;  // indexed by scope (the procedure's id)
    std::size_t used_ = 0;
};

// The built-in types by name (BYTE, DB, SDWORD, REAL8, NEAR32 ...); nullptr if none.
const Type* builtinType(std::string_view name);

}  // namespace ml
