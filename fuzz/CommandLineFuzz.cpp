// libFuzzer target over the Windows command-line splitter: any line splits, and
// the arguments, quoted again by the Windows rules, split back to themselves.
#include "WindowsCommandLine.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// One argument as a Windows program expects it: in quotes, a quote escaped by a
// backslash, and the backslashes before a quote (or before the closing quote) doubled.
std::string quoted(const std::string& argument) {
  std::string out = "\"";
  std::size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"') {
      out.append(backslashes * 2 + 1, '\\');
    } else {
      out.append(backslashes, '\\');
    }
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, '\\');
  return out + "\"";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string line(reinterpret_cast<const char*>(data), size);
  const auto arguments = asmora::toolkit::splitWindowsCommandLine(line);
  std::string again;
  for (const auto& argument : arguments) again += quoted(argument) + " ";
  if (asmora::toolkit::splitWindowsCommandLine(again) != arguments) std::abort();
  for (const auto& argument : arguments) (void)asmora::toolkit::isSlashSwitch(argument);
  return 0;
}
