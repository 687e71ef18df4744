#include "BatchHeap.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

namespace asmora::toolkit {

namespace {

constexpr std::uintptr_t kHugePage = std::uintptr_t(2) << 20;

// Marks the whole huge pages of [begin, end) for transparent huge pages.
void adviseHugePages(std::uintptr_t begin, std::uintptr_t end) {
    std::uintptr_t first = (begin + kHugePage - 1) & ~(kHugePage - 1);
    std::uintptr_t last = end & ~(kHugePage - 1);
    if (first >= last) return;
    madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);  // advisory
}

}  // namespace

void prepareBatchHeap(std::size_t reserveBytes) {
    constexpr int kNever = 1 << 30;
    constexpr int kLargestMmapThreshold = 4 * 1024 * 1024 * int(sizeof(long));  // glibc's upper bound
    // Large blocks come from the heap rather than from mappings of their own, so a
    // growing vector reuses memory that an earlier, smaller copy has already touched;
    // freed memory stays in the heap for the next allocation.
    mallopt(M_MMAP_THRESHOLD, kLargestMmapThreshold);
    mallopt(M_TRIM_THRESHOLD, kNever);
    mallopt(M_TOP_PAD, static_cast<int>(reserveBytes < std::size_t(kNever) ? reserveBytes : kNever));
    // An allocation larger than what is left at the top extends the heap by the
    // reservation; the kernel then fills it in 2 MiB pages, one fault each, instead
    // of in 4 KiB ones.
    const auto before = reinterpret_cast<std::uintptr_t>(sbrk(0));
    void* volatile probe = std::malloc(kHugePage);  // volatile: the pair must not be elided
    std::free(probe);
    const auto after = reinterpret_cast<std::uintptr_t>(sbrk(0));
    if (after > before) adviseHugePages(before, after);
}

}  // namespace asmora::toolkit
