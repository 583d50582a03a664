#pragma once
// Test helpers around the global services: a log file of the test's own and a recorder of message
// boxes. Both undo themselves when they go away.
//   qv::test::ScopedLog log;          // GlobalLog() now writes to a fresh temp file
//   qv::test::BoxRecorder boxes;      // boxes.texts holds "caption|text" per box shown
//   ... EXPECT_EQ(log.Messages()[1], "CreateGLWindow...");

#include <string>
#include <vector>

#include "platform/MessageBox.h"
#include "tests/support/TempDir.h"

namespace qv::test {

class ScopedLog {
 public:
  ScopedLog();
  ~ScopedLog();
  ScopedLog(const ScopedLog&) = delete;
  ScopedLog& operator=(const ScopedLog&) = delete;

  // The messages of the log's lines, time stamps removed, header line included.
  std::vector<std::string> Messages() const;

 private:
  TempDir dir_;
};

class BoxRecorder {
 public:
  // Every Yes/No question is answered with `answer`.
  explicit BoxRecorder(TAnswer answer = TAnswer::No);
  ~BoxRecorder();
  BoxRecorder(const BoxRecorder&) = delete;
  BoxRecorder& operator=(const BoxRecorder&) = delete;

  std::vector<std::string> texts;  // "caption|text" per box, in order
};

// The messages of a log file's lines, time stamps removed.
std::vector<std::string> LogMessages(const std::filesystem::path& file);

}  // namespace qv::test
