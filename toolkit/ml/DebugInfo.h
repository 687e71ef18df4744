// DWARF debug information for /Zi: a compile unit, the line table that maps every
// code byte to its source line, and the procedures and data labels with their types.
#pragma once

#include "ObjectFile.h"

namespace ml {

class Assembler;

// Adds .debug_abbrev, .debug_info, .debug_line and .debug_aranges to `obj`, whose
// first sections are the assembler's sections in order.
void addDebugInfo(ObjectFile& obj, const Assembler& assembler);

}  // namespace ml
