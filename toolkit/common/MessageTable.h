// What the tool kit's message tables share (the assembler's diagnostics and the link
// driver's messages): the three severities, the word a message line gives each, and
// the lookup of a row by its id, which relies on row i describing enumerator i.
//   LINK : fatal error LNK1104: cannot open file 'io.obj'
//          ^severityWord
#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>

namespace asmora::toolkit {

enum class Severity : std::uint8_t { Warning, Error, Fatal };

// Short names for the severity column of a message table.
namespace severity_column {
inline constexpr Severity W = Severity::Warning;
inline constexpr Severity E = Severity::Error;
inline constexpr Severity F = Severity::Fatal;
}  // namespace severity_column

constexpr const char* severityWord(Severity severity) {
    switch (severity) {
        case Severity::Warning:
            return "warning";
        case Severity::Error:
            return "error";
        case Severity::Fatal:
            break;
    }
    return "fatal error";
}

// True when every row of `table` sits at the index of its own id.
template <typename Table>
constexpr bool rowsFollowIds(const Table& table) {
    for (std::size_t i = 0; i < table.size(); ++i)
        if (static_cast<std::size_t>(table[i].id) != i) return false;
    return true;
}

// The row of `id` in a table whose rows follow their ids.
template <typename Table, typename Id>
constexpr const auto& rowOf(const Table& table, Id id) {
    const auto index = static_cast<std::size_t>(id);
    assert(index < table.size() && "message id outside its table");
    return table[index];
}

}  // namespace asmora::toolkit
