#include "platform/GameFolders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <system_error>
#include <utility>

#include "platform/Paths.h"

namespace qv {

namespace fs = std::filesystem;

namespace {

constexpr const char* kGameName = "quorvantille";
constexpr const char* kPlayerModel = "objects\\Player.3ds";  // every level needs it

bool HoldsGameData(const fs::path& folder) {
  std::error_code error;
  return !folder.empty() && fs::is_regular_file(ResolvePath(kPlayerModel, folder), error);
}

// PREFIX/share/quorvantille when `executable` is PREFIX/bin/NAME and that folder exists.
fs::path InstalledDataFolder(const fs::path& executable) {
  const fs::path bin = executable.parent_path();
  if (bin.filename() != "bin") return {};
  const fs::path share = bin.parent_path() / "share" / kGameName;
  std::error_code error;
  return fs::is_directory(share, error) ? share : fs::path();
}

// An XDG base directory: the variable when it holds an absolute path (relative ones are to be
// ignored), else `fallback` below the home folder.
fs::path XdgFolder(const TEnvironment& env, const char* variable, const char* fallback) {
  if (const auto value = env(variable); value && fs::path(*value).is_absolute()) return *value;
  const auto home = env("HOME");
  return fs::path(home && !home->empty() ? *home : "/") / fallback;
}

bool IsInside(const fs::path& path, const fs::path& folder) {
  const fs::path relative = path.lexically_normal().lexically_relative(folder.lexically_normal());
  return !relative.empty() && *relative.begin() != "..";
}

std::optional<std::string> RealEnvironment(const std::string& name) {
  if (const char* value = std::getenv(name.c_str())) return std::string(value);
  if (name == "HOME")
    if (const passwd* user = getpwuid(getuid()); user && user->pw_dir) return user->pw_dir;
  return std::nullopt;
}

TGameFolders& Current() {
  static TGameFolders folders;
  return folders;
}

}  // namespace

std::vector<fs::path> TGameFolders::TreeFiles(const fs::path& modelFolder) const {
  const fs::path beside = modelFolder / "bop";
  if (TreeCache.empty()) return {beside};
  std::error_code error;  // no current directory: the folder stays as given
  fs::path absolute = fs::absolute(modelFolder, error).lexically_normal();
  if (error) absolute = modelFolder.lexically_normal();
  const fs::path cached = TreeCache / "trees" / absolute.relative_path() / "bop";
  if (IsInside(absolute, Installed)) return {cached};
  return {beside, cached};
}

TGameFolders LocateGameFolders(const fs::path& executable, const fs::path& currentDir,
                               const TEnvironment& env) {
  TGameFolders folders;
  folders.Installed = InstalledDataFolder(executable);
  if (!HoldsGameData(currentDir)) {
    if (HoldsGameData(executable.parent_path()))
      folders.Data = executable.parent_path();
    else if (!folders.Installed.empty())
      folders.Data = folders.Installed;
  }

  fs::path settingsName = executable.filename();
  settingsName.replace_extension(".ini");
  if (folders.Installed.empty()) {
    folders.Settings = executable.parent_path() / settingsName;
    folders.Log = "log.txt";
    return folders;
  }
  const fs::path userSettings =
      XdgFolder(env, "XDG_CONFIG_HOME", ".config") / kGameName / settingsName;
  std::error_code error;
  folders.Settings =
      fs::is_regular_file(userSettings, error) ? userSettings : folders.Installed / settingsName;
  folders.Log = XdgFolder(env, "XDG_STATE_HOME", ".local/state") / kGameName / "log.txt";
  folders.TreeCache = XdgFolder(env, "XDG_CACHE_HOME", ".cache") / kGameName;
  return folders;
}

TGameFolders LocateGameFolders() {
  std::error_code error;
  return LocateGameFolders(ExecutablePath(), fs::current_path(error), RealEnvironment);
}

void SetGameFolders(TGameFolders folders) { Current() = std::move(folders); }

const TGameFolders& GameFolders() { return Current(); }

}  // namespace qv
