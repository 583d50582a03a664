// qv-tool check LEVELDIR [--game-dir DIR]: every problem of a level folder, one line each
// ("error: FILE: problem" or "warning: FILE: problem"), then a count. Exits with 1 when any line
// is an error, else 0; 2 for bad arguments.

#include <cstdio>
#include <string>
#include <vector>

#include "tools/Commands.h"
#include "tools/LevelCheck.h"

namespace qvtool {

namespace {

int Usage() {
  std::fprintf(stderr, "usage: qv-tool check LEVELDIR [--game-dir DIR]\n");
  return 2;
}

}  // namespace

int RunCheck(const std::vector<std::string>& args) {
  std::string levelDir, gameDir;
  bool levelGiven = false, gameGiven = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--game-dir" && !gameGiven && i + 1 < args.size() && !args[i + 1].empty()) {
      gameDir = args[++i];
      gameGiven = true;
    } else if (!levelGiven && !args[i].empty() && !args[i].starts_with("--")) {
      levelDir = args[i];
      levelGiven = true;
    } else {
      return Usage();
    }
  }
  if (!levelGiven) return Usage();

  int errors = 0, warnings = 0;
  for (const TLevelProblem& problem : CheckLevel(levelDir, gameDir)) {
    ++(problem.Severity == TSeverity::Error ? errors : warnings);
    std::printf("%s\n", ProblemLine(problem).c_str());
  }
  std::printf("%s: %d error(s), %d warning(s)\n", levelDir.c_str(), errors, warnings);
  return errors > 0 ? 1 : 0;
}

}  // namespace qvtool
