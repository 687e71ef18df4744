// The link driver's message table and the two ways a message is written out.
#include "LinkMessages.h"

#include <array>

// clang-format off
namespace asmora::link {
namespace {

using enum LinkMsg;
using namespace toolkit::severity_column;

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
// clang-format on

static_assert(toolkit::rowsFollowIds(kTable), "link message rows must follow the LinkMsg enumerators");

const LinkMessageInfo& info(LinkMsg id) { return toolkit::rowOf(kTable, id); }

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
    return origin + " : " + toolkit::severityWord(info(id).severity) + " " + linkMessageBody(id, args);
}

}  // namespace asmora::link
