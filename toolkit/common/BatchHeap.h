// Heap settings for a tool that runs once over its input and exits: the assembler
// touches tens of megabytes of fresh memory on a large source, and with the default
// heap most of its time beyond the work itself goes into page faults.
#pragma once

#include <cstddef>

namespace asmora::toolkit {

// Keeps every allocation in one heap that is never given back while the process
// runs, reserves `reserveBytes` of it up front, and asks the kernel to back that
// reservation with transparent huge pages where it can. Call it first in main(),
// before large allocations. Every step is advisory: on a system that refuses one,
// the heap works as before.
void prepareBatchHeap(std::size_t reserveBytes);

}  // namespace asmora::toolkit
