#include "platform/Paths.h"

#include <strings.h>

#include <string>
#include <system_error>
#include <utility>

#include "platform/GameFolders.h"

namespace qv {

namespace fs = std::filesystem;

std::string NormalizeSeparators(std::string_view path) {
  std::string result(path);
  for (char& c : result)
    if (c == '\\') c = '/';
  return result;
}

namespace {

// The entry of `folder` whose name equals `name` without regard to ASCII letter case, or an empty
// path when there is none. An exact match wins; among several others ("Lv1" and "LV1" asked as
// "lv1") the smallest name in byte order wins, so the choice does not depend on directory order.
fs::path FindEntryIgnoringCase(const fs::path& folder, const std::string& name) {
  std::error_code ec;
  if (fs::exists(folder / name, ec)) return folder / name;
  fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec);
  if (ec) return {};
  std::string best;
  for (const auto& entry : it) {
    std::string candidate = entry.path().filename().string();
    if (strcasecmp(candidate.c_str(), name.c_str()) == 0 && (best.empty() || candidate < best))
      best = std::move(candidate);
  }
  return best.empty() ? fs::path() : folder / best;
}

}  // namespace

fs::path ResolvePath(std::string_view path, const fs::path& base) {
  const fs::path written = NormalizeSeparators(path);
  const fs::path& from = base.empty() ? GameFolders().Data : base;
  const fs::path full = written.is_absolute() || from.empty() ? written : from / written;
  std::error_code ec;
  if (fs::exists(full, ec)) return full;

  fs::path resolved = full.root_path();
  for (const fs::path& part : full.relative_path()) {
    const std::string name = part.string();
    if (name.empty() || name == "." || name == "..") {
      resolved /= part;
      continue;
    }
    const fs::path next = FindEntryIgnoringCase(resolved, name);
    if (next.empty()) return full;
    resolved = next;
  }
  return resolved;
}

fs::path ExecutablePath() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::path() : exe;
}

fs::path SettingsPath() {
  if (!GameFolders().Settings.empty()) return GameFolders().Settings;
  fs::path settings = ExecutablePath();
  settings.replace_extension(".ini");
  return settings;
}

}  // namespace qv
