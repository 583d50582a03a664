#pragma once
// The path layer. Settings and level files were written for Windows: they may use "\" as the
// separator and may name files in another letter case than the disk holds. ResolvePath accepts both
// separators and, where the path does not exist as written, resolves it one component at a time
// without regard to letter case. A path that cannot be resolved comes back as written (with "/"),
// so the caller's own "file not found" error names what was asked for.

#include <filesystem>
#include <string>
#include <string_view>

namespace qv {

// `path` relative to `base` unless it is absolute; an empty base means the game's data folder
// (GameFolders.h), which is the current directory in every program but the game.
std::filesystem::path ResolvePath(std::string_view path, const std::filesystem::path& base = {});

// "\" and "/" both become the native separator; nothing else changes.
std::string NormalizeSeparators(std::string_view path);

// The executable's own path (from /proc/self/exe).
std::filesystem::path ExecutablePath();

// The settings file: the one the game chose at start-up (GameFolders.h), else the executable's
// path with its extension replaced by ".ini" (appended when the name has none).
std::filesystem::path SettingsPath();

}  // namespace qv
