// qv-tool playtest LEVELDIR [--minutes M] [--seeds N] [--player still|wander] [--json]: plays a
// level headless and reports its games and where actors froze (tools/Playtest.h). Exits with 1
// and "error: FILE: problem" when the level cannot be played, 2 for bad arguments.

#include <charconv>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "tools/Commands.h"
#include "tools/Playtest.h"

namespace qvtool {

namespace {

constexpr int kMaxMinutes = 24 * 60;
constexpr int kMaxSeeds = 1000;

int Usage() {
  std::fprintf(stderr,
               "usage: qv-tool playtest LEVELDIR [--minutes M] [--seeds N] [--player still|wander] "
               "[--json]\n");
  return 2;
}

// A whole decimal number within 1..max, nothing else.
bool ReadCount(const std::string& text, int max, int& value) {
  int read = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), read);
  if (error != std::errc{} || end != text.data() + text.size() || read < 1 || read > max)
    return false;
  value = read;
  return true;
}

}  // namespace

int RunPlaytest(const std::vector<std::string>& args) {
  TPlaytestOptions options;
  bool json = false, levelGiven = false, minutesGiven = false, seedsGiven = false,
       playerGiven = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if (arg == "--json" && !json) {
      json = true;
    } else if (arg == "--minutes" && !minutesGiven && hasValue) {
      if (!ReadCount(args[++i], kMaxMinutes, options.Minutes)) return Usage();
      minutesGiven = true;
    } else if (arg == "--seeds" && !seedsGiven && hasValue) {
      if (!ReadCount(args[++i], kMaxSeeds, options.Seeds)) return Usage();
      seedsGiven = true;
    } else if (arg == "--player" && !playerGiven && hasValue) {
      const std::string& mode = args[++i];
      if (mode != "still" && mode != "wander") return Usage();
      options.Player = mode == "still" ? TPlayerMode::Still : TPlayerMode::Wander;
      playerGiven = true;
    } else if (!levelGiven && !arg.empty() && !arg.starts_with("--")) {
      options.LevelDir = arg;
      levelGiven = true;
    } else {
      return Usage();
    }
  }
  if (!levelGiven) return Usage();

  try {
    const TPlaytestReport report = Playtest(options);
    const std::string out = json ? PlaytestJson(report) : PlaytestText(report);
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "error: %s\n", e.what());
    return 1;
  }
}

}  // namespace qvtool
