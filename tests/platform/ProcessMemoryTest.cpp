#include "platform/ProcessMemory.h"

#include <gtest/gtest.h>
#include <malloc.h>

#include <cstdlib>
#include <vector>

namespace qv {
namespace {

// Blocks as small as the renderer's per-frame ones come from the heap's top; freed, they would
// be handed back to the system at once unless it keeps them.
std::size_t FreeBytesKeptAfterAFrameOfBlocks() {
  std::vector<void*> blocks(96);
  for (void*& block : blocks) block = std::malloc(64 << 10);
  for (void* block : blocks) std::free(block);
  return mallinfo2().keepcost;
}

TEST(ProcessMemory, KeepsAFramesBuffersUntilTheMemoryIsReturned) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer's allocator stands in for the heap";
#endif
  KeepFreedMemoryBetweenFrames();
  EXPECT_GE(FreeBytesKeptAfterAFrameOfBlocks(), std::size_t(6) << 20);
  ReturnFreedMemory();
  EXPECT_LT(mallinfo2().keepcost, std::size_t(1) << 20);
}

}  // namespace
}  // namespace qv
