// The assembler's name and version, as the banner, the listing and the debug
// information show them.
#pragma once

namespace ml {

inline constexpr const char* kAssemblerName = "Asmora Macro Assembler";
inline constexpr const char* kAssemblerVersion = "1.00";

}  // namespace ml
