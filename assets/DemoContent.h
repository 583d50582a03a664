#pragma once
// The bundled demo data set, made by code: the settings file, the shared "objects" folder (the
// player's model and the fallback sky box) and four level folders. Everything is a pure function
// of the code: fixed seeds, no time stamps, so two runs give the same bytes.
//
// Layout under the output folder:
//   quorvantille.ini         the settings, beside the game's executable
//   objects/Player.3ds, objects/SkyBox.3DS, objects/sky.tga
//   levels/meadow/           level 0: no sky box of its own; names on disk differ in letter case
//                            from what the settings and level file ask for ("objects.3ds")
//   levels/Tiny/             level 1: small, its Level.ini holds only the "Player" section
//   levels/Showcase/         level 2, where the game starts: every feature of the level format
//   levels/Stress/           level 3: 1,000 x 1,000 units, thousands of objects, 32 ghosts
// Level folders are written with "\" separators in the settings, as the game's files always were.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace qv::assets {

inline constexpr const char* kSettingsFileName = "quorvantille.ini";

struct TDemoFile {
  std::string Path;                 // relative to the output folder, "/" separated, case as on disk
  std::vector<std::uint8_t> Bytes;  // the whole file
};

// The whole data set in memory, in a fixed order.
std::vector<TDemoFile> BuildDemoFiles();

struct TDemoWriteResult {
  int Written = 0;    // files created or replaced
  int Unchanged = 0;  // files that already held exactly these bytes and were left alone
};

// Writes the data set below `outDir` (created when missing). A file that already holds the same
// bytes is not touched, so its time stamp stays and the tree files the game cached beside the
// level geometry remain valid. Raises std::runtime_error naming the file when one cannot be
// written.
TDemoWriteResult WriteDemoContent(const std::filesystem::path& outDir);

}  // namespace qv::assets
