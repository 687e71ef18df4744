// Turns an assembly's sections and symbols into a relocatable object, with DWARF
// line, procedure and data information when debug information is asked for (/Zi).
#pragma once

#include "ObjectFile.h"

namespace ml {

class Assembler;

ObjectFile buildObject(const Assembler& assembler, bool debugInfo);

}  // namespace ml
