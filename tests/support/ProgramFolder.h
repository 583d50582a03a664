#pragma once
// The real quorvantille program, run as a user would: from a folder of its own that holds a copy
// of the executable with its settings file beside it (the program finds its settings through
// /proc/self/exe, which resolves symbolic links, hence a copy) and the demo data set.
//
//   qv::test::ProgramFolder folder;                  // executable + demo data, no stress level
//   folder.Write("quorvantille.ini", "[Levels]\n");   // a test's own settings
//   const auto run = folder.Run("QV_QUIT_AFTER_MS=300");
//   EXPECT_EQ(run.exitCode, 0) << run.err;
//
// Runs go through sh under the test's display, with QV_NO_DIALOGS=1: boxes go to standard error.

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/TempDir.h"

namespace qv::test {

struct ProgramOutcome {
  int exitCode = -1;             // -1 when the program did not exit normally
  std::vector<std::string> log;  // messages of log.txt, time stamps removed
  std::string err;               // standard error
};

class ProgramFolder {
 public:
  enum class Data { Demo, DemoWithStress };
  explicit ProgramFolder(Data data = Data::Demo);

  const std::filesystem::path& Path() const { return dir_.Path(); }
  // Replaces (or makes) the file at `relative` with `text`.
  void Write(const std::filesystem::path& relative, const std::string& text) const;
  // Runs the program here with `env` (arguments of env(1): "-u NAME" first, then NAME=value).
  // `shellAfter` may act on "$pid" while it runs and must wait for it; what it prints to its
  // standard output lands in `script.txt`.
  ProgramOutcome Run(const std::string& env, const std::string& shellAfter = "wait $pid") const;

 private:
  TempDir dir_;
};

// The text of a file; empty when it cannot be read.
std::string ReadText(const std::filesystem::path& file);

}  // namespace qv::test
