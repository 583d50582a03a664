// qv-tool: command-line programs for level authors and tests.
//   qv-tool [--log FILE] <command> [arguments...]
// Each command lives in its own file and is listed in the table below. Authors run the tool in the
// game's folder, so it writes no log file (and leaves the game's log.txt alone) unless --log names
// one.

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/LogFile.h"
#include "tools/Commands.h"

namespace {

struct TCommand {
  const char* name;
  int (*run)(const std::vector<std::string>& args);
  const char* usage;
};

const TCommand kCommands[] = {
    {"help", nullptr, "help                      this list"},
    {"info", qvtool::RunInfo, "info FILE.3ds [--json]    meshes and materials of a model file"},
    {"demo", qvtool::RunDemo, "demo OUTDIR               write the demo levels and settings"},
    {"bop", qvtool::RunBop, "bop FILE.3ds [--describe] build or reload the tree file of a model"},
    {"check", qvtool::RunCheck, "check LEVELDIR [--game-dir DIR]  problems of a level folder"},
    {"playtest", qvtool::RunPlaytest,
     "playtest LEVELDIR [--minutes M] [--seeds N] [--player still|wander] [--json]  play headless"},
    {"view", qvtool::RunView, "view FILE.3ds [--screenshot OUT.png] [--size WxH]  show a model"},
};

int PrintUsage(FILE* out) {
  std::fprintf(out, "usage: qv-tool [--log FILE] <command> [arguments]\ncommands:\n");
  for (const TCommand& command : kCommands) std::fprintf(out, "  %s\n", command.usage);
  return out == stdout ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv) {
  int first = 1;
  std::string logFile;
  if (argc > 1 && std::strcmp(argv[1], "--log") == 0) {
    if (argc < 3 || argv[2][0] == '\0') return PrintUsage(stderr);
    logFile = argv[2];
    first = 3;
  }
  qv::SetGlobalLogFile(logFile);
  if (argc <= first) return PrintUsage(stderr);
  const char* name = argv[first];
  const std::vector<std::string> args(argv + first + 1, argv + argc);
  for (const TCommand& command : kCommands) {
    if (std::strcmp(command.name, name) != 0) continue;
    if (!command.run) return PrintUsage(stdout);
    return command.run(args);
  }
  std::fprintf(stderr, "qv-tool: unknown command '%s'\n", name);
  return PrintUsage(stderr);
}
