// qv-tool: command-line programs for level authors and tests.
//   qv-tool <command> [arguments...]
// Each command lives in its own file and is listed in the table below.

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

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
    {"view", qvtool::RunView, "view FILE.3ds [--screenshot OUT.png] [--size WxH]  show a model"},
};

int PrintUsage(FILE* out) {
  std::fprintf(out, "usage: qv-tool <command> [arguments]\ncommands:\n");
  for (const TCommand& command : kCommands) std::fprintf(out, "  %s\n", command.usage);
  return out == stdout ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return PrintUsage(stderr);
  const std::vector<std::string> args(argv + 2, argv + argc);
  for (const TCommand& command : kCommands) {
    if (std::strcmp(command.name, argv[1]) != 0) continue;
    if (!command.run) return PrintUsage(stdout);
    return command.run(args);
  }
  std::fprintf(stderr, "qv-tool: unknown command '%s'\n", argv[1]);
  return PrintUsage(stderr);
}
