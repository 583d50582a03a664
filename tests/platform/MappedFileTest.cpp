// The model reader's file layer refuses what is no plain file, and never waits on one.
#include "platform/MappedFile.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/support/TempDir.h"

TEST(MappedFile, AFifoOrAFolderIsRefusedWithoutWaiting) {
  const qv::test::TempDir dir;
  const auto fifo = dir.Path() / "ghost.3ds";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // No writer ever opens the FIFO: a blocking open would hang here.
  EXPECT_THROW(qv::TMappedFile{fifo}, std::runtime_error);
  EXPECT_THROW(qv::TMappedFile{dir.Path()}, std::runtime_error);
}
