// Checks each input before ld sees it, so that a file which is not an i386 object
// or archive is refused with a link.exe message instead of being misread by ld
// (ld takes an unknown text file for a linker script).
#pragma once

#include <optional>
#include <string>

namespace asmora::link {

enum class InputKind { Object, Archive };

struct InputCheck {
    std::optional<InputKind> kind;  // set when the file is usable
    std::string message;            // the LNK message otherwise
};

// Looks at the first bytes of `path`; `shownName` is the name used in messages.
InputCheck checkInputFile(const std::string& path, const std::string& shownName);

}  // namespace asmora::link
