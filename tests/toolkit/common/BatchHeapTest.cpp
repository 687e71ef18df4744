// The one-shot heap: after it is prepared, large blocks come from the one heap and
// memory freed there is handed out again instead of fresh pages.
#include "BatchHeap.h"

#include <gtest/gtest.h>

#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace {

// Runs `check` in a child process, whose heap settings cannot reach the other
// tests, and returns its exit status (0 = every check held).
template <typename Check>
int inChild(Check check) {
    const pid_t child = fork();
    if (child == 0) _exit(check());
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100;
}

// Bytes the allocator holds in mappings of their own, outside the heap.
std::size_t mappedBytes() { return mallinfo2().hblkhd; }

}  // namespace

TEST(BatchHeap, LargeBlocksComeFromTheHeapAndFreedOnesAreReused) {
    EXPECT_EQ(inChild([] {
                  asmora::toolkit::prepareBatchHeap(std::size_t(16) << 20);
                  // 8 MiB would have a mapping of its own under the default settings.
                  const std::size_t mappedBefore = mappedBytes();
                  void* first = std::malloc(std::size_t(8) << 20);
                  if (!first) return 1;
                  if (mappedBytes() != mappedBefore) return 2;
                  std::memset(first, 0x5A, std::size_t(8) << 20);
                  std::free(first);
                  void* again = std::malloc(std::size_t(6) << 20);
                  if (again != first) return 3;  // the freed block serves the next request
                  std::free(again);
                  return 0;
              }),
              0);
}

TEST(BatchHeap, AReservationLargerThanTheLimitStillLeavesAWorkingHeap) {
    EXPECT_EQ(inChild([] {
                  asmora::toolkit::prepareBatchHeap(std::size_t(1) << 40);  // far beyond any top pad
                  void* block = std::malloc(std::size_t(1) << 20);
                  if (!block) return 1;
                  std::memset(block, 1, std::size_t(1) << 20);
                  std::free(block);
                  return 0;
              }),
              0);
}
