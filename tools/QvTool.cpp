// qv-tool: command-line programs for level authors and tests.
//   qv-tool [--log FILE] <command> [arguments...]
//   qv-tool --help | --version | help COMMAND
// Each command lives in its own file and is listed in the table below. Authors run the tool in the
// game's folder, so it writes no log file (and leaves the game's log.txt alone) unless --log names
// one.

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/LogFile.h"
#include "platform/Version.h"
#include "tools/Commands.h"

namespace {

struct TCommand {
  const char* name;
  int (*run)(const std::vector<std::string>& args);
  const char* usage;    // one line: the arguments and what the command does
  const char* details;  // what `qv-tool help NAME` adds
};

int Help(const std::vector<std::string>& args);

const TCommand kCommands[] = {
    {"help", Help, "help [COMMAND]            this list, or what COMMAND does",
     "Without a command lists every command; with one, says what it does.\n"},
    {"info", qvtool::RunInfo, "info FILE.3ds [--json]    meshes and materials of a model file",
     "One line per mesh and per material, counts as stored in the file.\n"
     "--json writes the same as one JSON object.\n"},
    {"demo", qvtool::RunDemo, "demo OUTDIR               write the demo levels and settings",
     "Writes quorvantille.ini, objects/ and levels/ below OUTDIR; files whose bytes are\n"
     "unchanged are left alone, so cached tree files stay valid.\n"},
    {"bop", qvtool::RunBop, "bop FILE.3ds [--describe] build or reload the tree file of a model",
     "Loads the model as a level's geometry, as the game does: reloads the \"bop\" tree file\n"
     "beside it when that is newer than the model, else builds the tree and writes the file.\n"
     "--describe prints the tree.\n"},
    {"check", qvtool::RunCheck, "check LEVELDIR [--game-dir DIR]  problems of a level folder",
     "Loads the level with the game's own code and reports every problem at once, as\n"
     "\"error: <file>: <problem>\" or \"warning: <file>: <problem>\", then a count; exits with 1\n"
     "when any line is an error. objects\\ is looked up in DIR (default: the current "
     "directory).\n"},
    {"import", qvtool::RunImport, "import SCENE LEVELDIR     a level from a glTF, FBX or OBJ scene",
     "Reads a scene with the Open Asset Import Library and writes a level folder: Objects.3DS,\n"
     "SkyBox.3DS, the ghosts' models, TGA textures and Level.ini; every conversion is reported.\n"
     "docs/levels.md has the marker rule.\n"},
    {"playtest", qvtool::RunPlaytest,
     "playtest LEVELDIR [--minutes M] [--seeds N] [--player still|wander] [--json]  play headless",
     "Plays the level with the game's own code, no window: M minutes of game clock (100 ms "
     "frames)\n"
     "for each of N seeds, the player standing still or wandering; reports the games (started,\n"
     "ended, how long they took, who sought, finds) and every actor's longest frozen stretch.\n"},
    {"view", qvtool::RunView, "view FILE.3ds [--screenshot OUT.png] [--size WxH]  show a model",
     "Opens a window with a camera orbiting the model, lit as the game lights its levels.\n"
     "--screenshot renders one frame, writes the PNG and exits; --size sets the window.\n"},
};

int PrintUsage(FILE* out) {
  std::fprintf(out,
               "usage: qv-tool [--log FILE] <command> [arguments]\n"
               "       qv-tool --help | --version | help COMMAND\ncommands:\n");
  for (const TCommand& command : kCommands) std::fprintf(out, "  %s\n", command.usage);
  return out == stdout ? 0 : 2;
}

const TCommand* FindCommand(const std::string& name) {
  for (const TCommand& command : kCommands)
    if (name == command.name) return &command;
  return nullptr;
}

int Help(const std::vector<std::string>& args) {
  if (args.empty()) return PrintUsage(stdout);
  const TCommand* command = args.size() == 1 ? FindCommand(args[0]) : nullptr;
  if (!command) {
    std::fprintf(stderr, "qv-tool: help: unknown command '%s'\n", args[0].c_str());
    return PrintUsage(stderr);
  }
  std::printf("usage: qv-tool %s\n\n%s", command->usage, command->details);
  return 0;
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
  const std::string name = argv[first];
  const std::vector<std::string> args(argv + first + 1, argv + argc);
  if (name == "--help" || name == "-h") return PrintUsage(stdout);
  if (name == "--version") {
    std::printf("qv-tool %s\n", std::string(qv::Version()).c_str());
    return 0;
  }
  const TCommand* command = FindCommand(name);
  if (!command) {
    std::fprintf(stderr, "qv-tool: unknown command '%s'\n", name.c_str());
    return PrintUsage(stderr);
  }
  // "qv-tool COMMAND --help" reads as "qv-tool help COMMAND".
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) return Help({name});
  return command->run(args);
}
