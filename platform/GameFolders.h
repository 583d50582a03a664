#pragma once
// Where the game finds its data and keeps its files, decided once at start-up.
//
// The game's own files are found through relative paths ("levels\Showcase\", "objects\Player.3ds"),
// taken from the data folder: the current directory when it holds "objects/Player.3ds" (any letter
// case), else the executable's folder when that holds it, else the installed data folder. So the
// game runs from its build folder as always, and from anywhere else too.
//
// The game counts as installed when its executable lives in PREFIX/bin and
// PREFIX/share/quorvantille is a folder. An installed game keeps the user's files in the XDG base
// directories:
//   settings   $XDG_CONFIG_HOME/quorvantille/<name>.ini when that file exists (default ~/.config),
//              else the installed default PREFIX/share/quorvantille/<name>.ini
//   log        $XDG_STATE_HOME/quorvantille/log.txt (default ~/.local/state)
//   tree files $XDG_CACHE_HOME/quorvantille/trees/<model folder>/bop (default ~/.cache) for levels
//              inside the installed data folder (the package's files are not the game's to change,
//              even when it runs as root), and for other levels whose folder it cannot write
// A game that is not installed keeps today's places: the settings beside the executable, log.txt in
// the current directory, tree files beside their models.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qv {

// Reads an environment variable; nullopt when it is not set.
using TEnvironment = std::function<std::optional<std::string>(const std::string& name)>;

struct TGameFolders {
  std::filesystem::path Data;       // base of relative data paths; empty: the current directory
  std::filesystem::path Settings;   // the settings file
  std::filesystem::path Log;        // the log file
  std::filesystem::path Installed;  // PREFIX/share/quorvantille; empty when not installed
  std::filesystem::path TreeCache;  // folder of cached tree files; empty when not installed

  // Where the tree file of a model in `modelFolder` may be, in order of preference: it is read
  // from the first that is newer than the model and written to the first that takes it.
  std::vector<std::filesystem::path> TreeFiles(const std::filesystem::path& modelFolder) const;
};

// The decision above for an executable, a current directory and an environment.
TGameFolders LocateGameFolders(const std::filesystem::path& executable,
                               const std::filesystem::path& currentDir, const TEnvironment& env);
// The same for this process (/proc/self/exe, the current directory, the real environment with
// the password database's home folder when HOME is unset).
TGameFolders LocateGameFolders();

// The folders in use: the game sets them once at start-up; every other program keeps the
// default (data from the current directory, settings beside the executable, tree files beside
// their models).
void SetGameFolders(TGameFolders folders);
const TGameFolders& GameFolders();

}  // namespace qv
