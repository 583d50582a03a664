#include "platform/ProcessMemory.h"

#include <gtest/gtest.h>
#include <malloc.h>

#include <cstdlib>

// A frame's worth of blocks as small as the renderer's comes from the heap's top; freed, it stays
// there until the memory is handed back on purpose.
TEST(ProcessMemory, KeepsAFramesBuffersUntilTheMemoryIsReturned) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer's allocator stands in for the heap";
#endif
  qv::KeepFreedMemoryBetweenFrames();
  void* blocks[96];
  for (void*& block : blocks) block = std::malloc(64 << 10);
  for (void* block : blocks) std::free(block);
  EXPECT_GE(mallinfo2().keepcost, std::size_t(6) << 20);
  qv::ReturnFreedMemory();
  EXPECT_LT(mallinfo2().keepcost, std::size_t(1) << 20);
}
