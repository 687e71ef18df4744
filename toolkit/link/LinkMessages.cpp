// The link driver's message table and the two ways a message is written out.
#include "LinkMessages.h"

#include <array>
#include <cassert>

namespace asmora::link {
namespace {

using enum LinkMsg;
constexpr LinkSeverity W = LinkSeverity::Warning;
constexpr LinkSeverity E = LinkSeverity::Error;
constexpr LinkSeverity F = LinkSeverity::Fatal;

// id                        number  severity  text
constexpr std::array kTable = std::to_array<LinkMessageInfo>({
    {LinkerReport,            1000, E, "{}"},
    {CannotStartLinker,       1000, F, "cannot start the linker '{}'"},
    {LinkerFailed,            1000, F, "the linker failed with status {}"},
    {CannotOpenFile,          1104, F, "cannot open file '{}'"},
    {CorruptFile,             1107, F, "invalid or corrupt file: '{}' is not an i386 object or library"},
    {MachineConflict,         1112, F, "module machine type of '{}' conflicts with target machine type 'X86'"},
    {OptionSyntax,            1117, F, "syntax error in option '{}'"},
    {UnresolvedCount,         1120, F, "{} unresolved externals"},
    {MultiplyDefinedSummary,  1169, F, "one or more multiply defined symbols found"},
    {UnresolvedExternal,      2001, E, "unresolved external symbol {}"},
    {AlreadyDefined,          2005, E, "{} already defined in {}"},
    {LinkerWarning,           4000, W, "{}"},
    {UnknownOption,           4044, W, "unrecognized option '{}'; ignored"},
});

constexpr bool tableMatchesEnum() {
  for (std::size_t i = 0; i < kTable.size(); ++i)
    if (static_cast<std::size_t>(kTable[i].id) != i) return false;
  return true;
}
static_assert(tableMatchesEnum(), "link message rows must follow the LinkMsg enumerators");

const LinkMessageInfo& info(LinkMsg id) {
  const auto index = static_cast<std::size_t>(id);
  assert(index < kTable.size() && "link message outside the table");
  return kTable[index];
}

const char* severityWord(LinkSeverity severity) {
  switch (severity) {
    case LinkSeverity::Warning: return "warning";
    case LinkSeverity::Error: return "error";
    case LinkSeverity::Fatal: break;
  }
  return "fatal error";
}

}  // namespace

std::span<const LinkMessageInfo> linkMessageTable() { return kTable; }

std::string linkMessageBody(LinkMsg id, std::initializer_list<std::string> args) {
  const LinkMessageInfo& message = info(id);
  std::string body = "LNK" + std::to_string(message.number) + ": ";
  auto arg = args.begin();
  for (const char* c = message.text; *c; ++c) {
    if (c[0] == '{' && c[1] == '}') {
      if (arg != args.end()) body += *arg++;
      ++c;
    } else {
      body += *c;
    }
  }
  return body;
}

std::string linkMessageLine(const std::string& origin, LinkMsg id, std::initializer_list<std::string> args) {
  return origin + " : " + severityWord(info(id).severity) + " " + linkMessageBody(id, args);
}

}  // namespace asmora::link
