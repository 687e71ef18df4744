// The preprocessor's input frames (a file, a macro call or a repeat block) and its
// limits; shared by Preprocessor.cpp and MacroExpansion.cpp.
#pragma once

#include "Preprocessor.h"

namespace ml {

constexpr std::size_t kMaxConditionalDepth = 1000;
constexpr std::size_t kMaxIncludeDepth = 50;
// MASM's limits: macro calls and repeat blocks nest 20 deep; a logical line (after
// joining continued lines and expanding macros, its comment left out) holds 512
// characters; a text macro or a macro argument 255.
constexpr std::size_t kMaxMacroDepth = 20;
constexpr std::size_t kMaxLineLength = 512;
constexpr std::size_t kMaxTextLength = 255;
bool isRepeatWord(std::string_view word);  // REPT, WHILE, FOR ... (any case)
// A line's first non-blank character is "%", the operator that expands the whole line.
bool startsWithPercent(std::string_view code);
// The line after its "%" (the line itself when it has none).
std::string_view afterExpansionOperator(std::string_view code);

struct Preprocessor::Frame {
    enum class Kind : std::uint8_t { File, Macro, Repeat };
    enum class Repeat : std::uint8_t { Count, While, For, Forc };
    Kind kind = Kind::File;
    std::uint32_t file = 0;
    std::size_t next = 0;  // next line of the file or body
    bool fromInclude = false;
    const std::vector<std::string_view>* body = nullptr;
    const std::vector<std::uint32_t>* bodyLines = nullptr;
    std::vector<std::string_view> ownedBody;  // repeat blocks keep their own body
    std::vector<std::uint32_t> ownedBodyLines;
    std::vector<std::pair<std::string, std::string>> bindings;  // parameter -> argument text
    const Expansion* expansion = nullptr;
    std::size_t condDepth = 0;
    std::uint32_t mainFile = 0, mainLine = 0;
    std::uint8_t depth = 0;
    Repeat repeat = Repeat::Count;
    std::int64_t remaining = 0;
    std::string condition;
    std::vector<std::string> items;
    std::size_t item = 0;
    SourceLine opener;
};

}  // namespace ml
