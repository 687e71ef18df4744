// The one interface through which the assembler's passes write what they produce:
// bytes, labels, relocations, instructions and listing rows. Where it all goes (the
// sections, symbols and relocations of the object, and the listing) is the business
// of the class behind it (ObjectStreamer); the passes see only this.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "Sections.h"
#include "x86/Encoder.h"

namespace ml {

struct Symbol;
struct SourceLine;

// A place in the output: a section (-1: none) and an offset in it.
struct Location {
    std::int32_t section = -1;
    std::uint32_t offset = 0;
};

// What has been emitted up to a point, for repeating what follows it (DUP).
struct EmitMark {
    std::uint32_t offset = 0;
    std::size_t relocations = 0;
};

class Emitter {
public:
    virtual ~Emitter() = default;

    // ---- where the next byte goes (asked for by nearly every statement: kept here,
    // where reading it costs no call)
    bool hasSection() const { return location_.section >= 0; }
    Location here() const { return location_; }
    // The symbol that stands for offset 0 of the current section ($ is relative to it).
    const Symbol* currentSectionSymbol() const { return locationSymbol_; }
    // The location counter of section `index`.
    virtual std::uint32_t offsetIn(std::int32_t index) const = 0;
    // Kind and MASM name of the current section (call only with a section).
    virtual SectionKind sectionKind() const = 0;
    virtual std::string_view sectionName() const = 0;
    // Whether the current section may reach `end` bytes within the bounds of one object.
    virtual bool mayGrowTo(std::uint64_t end) const = 0;
    // The symbol that stands for offset 0 of section `index`; nullptr when there is none.
    virtual const Symbol* sectionSymbol(std::int32_t index) const = 0;

    // ---- choosing the section
    virtual void switchSection(std::string_view masmName) = 0;  // .CODE, .DATA, ...
    // name SEGMENT: the named section, returned to by popSection() (name ENDS).
    virtual void pushSection(std::string_view masmName) = 0;
    virtual void popSection() = 0;
    // A class given with SEGMENT ('CODE', 'BSS', 'CONST') decides the current section's kind.
    virtual void classifySection(SectionKind kind) = 0;
    virtual void setOffset(std::uint32_t offset) = 0;  // ORG

    // ---- what is emitted at the location counter
    virtual void bytes(std::span<const std::uint8_t> data) = 0;
    virtual void fill(std::uint8_t value, std::uint64_t count) = 0;
    virtual EmitMark mark() const = 0;
    // Repeats the bytes and relocations emitted since `from` until they stand `times`
    // times in a row (DUP).
    virtual void repeat(const EmitMark& from, std::size_t times) = 0;
    virtual void relocation(RelocKind kind, const Symbol& target, std::uint32_t at) = 0;
    // Binds `label` to the location counter; true when that moves it from where an
    // earlier pass had put it.
    virtual bool label(Symbol& label) = 0;
    // An encoded instruction: its bytes, its fixups as relocations, the source line
    // record, and its code column in the listing. With `generatedText` it is listed
    // below the line as an instruction the assembler wrote ("* push ebp").
    virtual void instruction(const x86::Encoded& enc, std::string_view generatedText = {}) = 0;

    // ---- lines and the listing
    // The source line that what follows belongs to.
    virtual void beginLine(std::size_t index, const SourceLine& line) = 0;
    // The line is complete: the listing notes whether it produced code or data.
    virtual void endLine() = 0;
    // Lists what follows under line `index` instead (the prologue under PROC).
    virtual void listUnder(std::size_t index) = 0;
    // Whether the listing records the current line.
    virtual bool listing() const = 0;
    // The line's offset column shows the location counter.
    virtual void listOffset() = 0;
    // A data statement that started at `start`: the code column holds `rows`.
    virtual void dataLine(std::uint32_t start, std::span<const std::string> rows) = 0;
    // An equate's value column: "0000000D".
    virtual void listEquate(std::int64_t value) = 0;

protected:
    // The implementation keeps this up to date after everything that moves it.
    Location location_;
    const Symbol* locationSymbol_ = nullptr;
};

}  // namespace ml
