// Every message the link driver prints, as one table: its number, its severity and
// its text in link.exe's words, "{}" standing for each argument in turn.
//   LINK : fatal error LNK1104: cannot open file 'io.obj'
//   ^origin  ^severity  ^number ^text
#pragma once

#include "MessageTable.h"

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>

namespace asmora::link {

enum class LinkMsg : std::uint8_t {
    LinkerReport,  // a line of ld that no pattern knows
    CannotStartLinker,
    LinkerFailed,
    CannotOpenFile,
    CorruptFile,
    MachineConflict,
    OptionSyntax,
    UnresolvedCount,
    MultiplyDefinedSummary,
    UnresolvedExternal,
    AlreadyDefined,
    LinkerWarning,
    UnknownOption,
};

using LinkSeverity = asmora::toolkit::Severity;

struct LinkMessageInfo {
    LinkMsg id;
    int number;  // printed as LNK<number>
    LinkSeverity severity;
    const char* text;
};

std::span<const LinkMessageInfo> linkMessageTable();

// "LNK1104: cannot open file 'io.obj'"
std::string linkMessageBody(LinkMsg id, std::initializer_list<std::string> args = {});
// "LINK : fatal error LNK1104: cannot open file 'io.obj'"
std::string linkMessageLine(const std::string& origin, LinkMsg id, std::initializer_list<std::string> args = {});

}  // namespace asmora::link
