// Makes the carried files (the tool kit, help files, editing library) available
// under ":/carried/<type>/<name>".
#pragma once

namespace asmora::resources {

// Registers the bundle compiled into the program; safe to call more than once.
void registerCarriedFiles();

}  // namespace asmora::resources
