// One logical line as the preprocessor hands it to the assembler, with where it came
// from (file line or macro expansion) and how the listing shows it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Diagnostics.h"

namespace ml {

class SourceFiles;

// One macro or repeat-block invocation. Lines produced inside it point here, so a
// diagnostic can name the chain of invocations back to the source line.
struct Expansion {
    std::string name;                   // macro name, or REPT, FOR ...
    const Expansion* parent = nullptr;  // enclosing expansion; null when called from a file line
    std::uint32_t callerMacroLine = 0;  // the calling line within the parent's body
};

enum LineFlag : std::uint16_t {
    kStatement = 1,    // the assembler processes the line
    kListed = 2,       // the listing shows it (subject to the expansion rules)
    kFromInclude = 4,  // listed with 'C': read from an INCLUDE file
    kExpansion = 8,    // produced by a macro or repeat block
    kListIfCode = 16,  // expansion line listed only when it generates code or data
};

struct SourceLine {
    std::string_view text;      // what the assembler processes
    std::string_view listText;  // what the listing shows
    const Expansion* expansion = nullptr;
    std::uint32_t file = 0;  // outermost source position (file line or invoking line)
    std::uint32_t line = 0;
    std::uint32_t macroLine = 0;  // line within the innermost expansion's body
    std::uint16_t flags = 0;
    std::uint8_t macroDepth = 0;

    bool has(LineFlag f) const { return (flags & f) != 0; }
};

// What macros and repeat blocks may produce in all (lines read, characters of text),
// so that any source ends in bounded time and memory; past either, fatal error A1009.
// A course program expands a few thousand lines; the defaults are tens of times that,
// and keep any source at a fraction of a second natively and within a second or two
// under the sanitizers, where a line costs some 5 us and a data item 3 us.
struct ExpansionBounds {
    std::uint64_t lines = 100'000;
    std::uint64_t bytes = 1ull << 20;
};

// Stable storage for generated text: views into it stay valid for the assembly.
class TextArena {
public:
    std::string_view store(std::string_view text);

private:
    std::vector<std::unique_ptr<char[]>> blocks_;
    std::vector<std::unique_ptr<char[]>> large_;
    std::size_t used_ = 0;
    std::size_t capacity_ = 0;
};

// Builds the diagnostic for `id` at `at`, with the macro chain when it is an expansion line.
Diagnostic diagnosticAt(Diag id, std::string detail, const SourceLine& at, const SourceFiles& files,
                        std::uint64_t order);

}  // namespace ml
