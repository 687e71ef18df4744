// What the link driver reads inside its inputs: the entry that an object's END
// names (the "/ENTRY:" text of its .drectve section) and whether an archive's
// symbol index offers a symbol.
#pragma once

#include <optional>
#include <string>

namespace asmora::link {

// The ELF symbol named by "/ENTRY:<name>" in the .drectve section of the ELF32
// object at `path`; nothing when the object has no such directive or is unreadable.
std::optional<std::string> objectEntryDirective(const std::string& path);

// True when the symbol index of the ar archive at `path` lists `symbol`.
bool archiveDefines(const std::string& path, const std::string& symbol);

}  // namespace asmora::link
