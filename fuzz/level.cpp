// libFuzzer target for level loading without GL: the bytes are a "Level.ini" that a new TWorld
// reads beside tiny writer-made models - the level's "Objects.3DS" (terrain, a wall, a box), a
// ghost model "ghost.3ds", and the shared "objects/Player.3ds" in the current directory - then the
// world steps a few times with the alarms firing in between, so every value read moves an actor.
// There is no sky box: which one a level gets depends on the files beside it, not on its
// "Level.ini", and loading one cost every input a model load. A level may be refused with E3DSError
// or EGL (a ghost model that does not exist); any other exception, a sanitizer report or a hang is
// a finding.
//
// The models lie in a folder of their own, the current directory only while an input runs, so
// the fuzzer's corpus and artifact paths keep their meaning; the level's tree file is built by
// the first input and reloaded by every later one.
//
// QV_WRITE_SEEDS=DIR fuzz_level -runs=0 writes seed files into DIR first: the demo levels' files
// with their ghosts on "ghost.3ds", and a level naming every ghost kind and key of the schema.

#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>

#include "fuzz/SeedBox.h"
#include "game/AlarmDispatcher.h"
#include "game/GhostClasses.h"
#include "game/LevelSchema.h"
#include "game/World.h"
#include "models/3DSError.h"
#include "models/Writer3DS.h"
#include "platform/EGL.h"
#include "platform/IniFile.h"
#include "platform/LogFile.h"

namespace {

using namespace qv;
namespace fs = std::filesystem;

fs::path folder;       // the models; current directory while an input runs
fs::path started;      // the fuzzer's own current directory
std::int64_t now = 0;  // the alarm clock, ms

// A box of the given size with its low corner at (x, y, z), file axes (z up).
TMesh3DS Box(const char* name, float x, float y, float z, float sx, float sy, float sz) {
  return SeedBox(name, {x, y, z}, {sx, sy, sz});
}

// The terrain: the top of a 4 x 4 box at height 0. Small, so its grid costs little (the level is
// loaded for every input: an 8 x 8 floor's 41 x 41 nodes took a third of an empty level's time),
// and open, so each node holds one face (a closed box's bottom lay under every node too and
// doubled the grid's work).
TMesh3DS Floor() {
  TMesh3DS box = Box("terFloor", -2, -2, -1, 4, 4, 1);
  box.faces = {box.faces[2], box.faces[3]};  // the top quad
  box.smoothing.assign(2, 1);
  return box;
}

void Save(const fs::path& file, std::initializer_list<TMesh3DS> meshes) {
  TWriter3DS writer;
  for (const TMesh3DS& mesh : meshes) writer.AddMesh(mesh);
  SaveBytes(file, writer.Bytes());
}

void WriteModels() {
  fs::create_directories(folder / "objects");
  fs::create_directories(folder / "level");
  Save(folder / "objects/Player.3ds", {Box("Player", -0.3f, -0.3f, 0, 0.6f, 0.6f, 1.8f)});
  Save(folder / "level/ghost.3ds", {Box("Ghost", -0.5f, -0.5f, 0, 1, 1, 2)});
  Save(folder / "level/Objects.3DS",
       {Floor(), Box("colWall", 1, -2, 0, 0.5f, 4, 3), Box("Crate", -2, 1, 0, 1, 1, 1)});
  // Older than any tree file, so the tree the first input saves is reloaded from then on.
  fs::last_write_time(folder / "level/Objects.3DS",
                      fs::last_write_time(folder / "level/Objects.3DS") - std::chrono::hours(1));
}

// One line of a key of the schema, its value off the default.
std::string KeyLine(const TLevelKey& key, std::string_view kind) {
  std::string value = "1";
  if (key.Name == "filename") value = "ghost.3ds";
  if (key.Name == "classname") value = kind;
  if (key.Type == TLevelKeyType::Number) value = std::to_string(key.Default + 1.5f);
  return std::string(key.Name) + "=" + value + "\n";
}

// A level with every key of the schema: the player's, and a ghost of every kind with its keys;
// then ghosts without a file, with a missing one and with one in another letter case.
std::string EveryKey() {
  std::string text = "[Player]\n";
  for (const TLevelKey& key : LevelKeys())
    if (key.Scope == "Player") text += KeyLine(key, "");
  for (const TGhostKind& kind : GhostKinds()) {
    text += "[" + std::string(kind.Class->Name) + "]\n";
    for (const TLevelKey& key : LevelKeys())
      if (key.Scope != "Player" && GhostKindIsA(kind.Class->Name, key.Scope))
        text += KeyLine(key, kind.Class->Name);
  }
  return text +
         "[none]\nclassname=TSearchGhostObject\n[missing]\nfilename=nothing.3ds\n"
         "[spelled]\nfilename=GHOST.3DS\nclassname=TShuttleGhostObject\n";
}

void WriteSeeds(const fs::path& dir) {
  fs::create_directories(dir);
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(QV_BUILD_DIR "/levels", ec)) {
    std::ifstream in(entry.path() / "Level.ini", std::ios::binary);
    if (!in) continue;
    std::ofstream out(dir / (entry.path().filename().string() + ".ini"), std::ios::binary);
    for (std::string line; std::getline(in, line);)
      out << (line.rfind("filename=", 0) == 0 ? "filename=ghost.3ds" : line) << '\n';
  }
  std::ofstream(dir / "every.ini", std::ios::binary) << EveryKey();
}

// The models' folder as the current directory for one input.
class TInFolder {
 public:
  TInFolder() { fs::current_path(folder); }
  ~TInFolder() { fs::current_path(started); }
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  SetGlobalLogFile("");  // level loading logs every step; the runs need no log
  started = fs::current_path();
  folder = fs::temp_directory_path() / ("fuzz_level_" + std::to_string(getpid()));
  WriteModels();
  GlobalAlarmDispatcher().SetClock([] { return now; });
  if (const char* dir = std::getenv("QV_WRITE_SEEDS")) WriteSeeds(dir);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const TIniFile ini =
      TIniFile::FromText(std::string_view(reinterpret_cast<const char*>(data), size));
  const TInFolder inFolder;
  try {
    const auto world = std::make_unique<TWorld>(12345);
    world->LoadFromLevelFile(0, "level\\", ini);
    // Three seconds of play in five frames: the first reset of the game and the ghosts' first
    // thinking fall within.
    for (int frame = 0; frame < 5; ++frame) {
      now += 600;
      GlobalAlarmDispatcher().FireDue(now);
      world->Step(3.0f);
    }
  } catch (const E3DSError&) {
  } catch (const EGL&) {
  }
  return 0;
}
