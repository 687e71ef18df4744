// Data definitions (BYTE ... REAL10, DB ... DT, structure and record instances, DUP)
// and the type definitions STRUCT/UNION, RECORD, TYPEDEF and LABEL.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "PassContext.h"

namespace ml {

class DataDirectives {
public:
    explicit DataDirectives(PassContext& ctx) : ctx_(ctx) {}

    void beginPass() { openStructure_ = nullptr; }
    // The data type a word names (BYTE, a structure, a TYPEDEF); nullptr otherwise.
    const Type* dataType(const Token& word) const;
    // The structure being defined, if any: data lines add fields to it.
    const StructDef* openStructure() const { return openStructure_; }

    void defineData(const Token* name, const Type& type, Tokens initializers);
    void beginStructure(std::string_view name, bool isUnion, Tokens alignment);
    void endStructure();
    void addStructField(const Token* name, const Type& type, Tokens initializers);
    // ALIGN inside a structure: the next field's offset and the structure's alignment.
    void alignStructure(std::uint32_t alignment);
    void directiveRecord(std::string_view name, Tokens rest);
    void directiveTypedef(std::string_view name, Tokens rest);
    void directiveLabel(std::string_view name, Tokens rest);

private:
    bool emitInitializer(const Type& type, Tokens item, std::uint32_t& count, std::vector<std::string>& fields);
    bool emitInitializerList(const Type& type, Tokens list, std::uint32_t& count, std::vector<std::string>& fields,
                             int depth);
    bool emitScalar(const Type& type, Tokens item, std::vector<std::string>& fields);
    bool emitWrittenReal(std::uint32_t size, Tokens item, std::vector<std::string>& fields);
    bool emitReal(std::uint32_t size, long double value, const char* digits, bool negative,
                  std::vector<std::string>& fields);
    bool emitHexReal(std::uint32_t size, const Token& number, std::vector<std::string>& fields);
    bool emitInteger(std::uint32_t size, std::int64_t n, std::vector<std::string>& fields);
    bool emitAddress(std::uint32_t size, const ExprValue& v, std::vector<std::string>& fields);
    bool emitStructure(const StructDef& def, Tokens item, std::vector<std::string>& fields);
    bool emitRecord(const StructDef& def, Tokens item, std::vector<std::string>& fields);
    std::uint32_t countInitializers(const Type& type, Tokens list);
    std::uint32_t firstInitializerLength(Tokens list);
    static std::vector<std::string> listingRows(const std::vector<std::string>& fields);

    PassContext& ctx_;
    std::vector<std::string> dataFields_;  // reused: the listed values of one data line
    StructDef* openStructure_ = nullptr;
    std::shared_ptr<StructDef> structureBeingBuilt_;
};

}  // namespace ml
