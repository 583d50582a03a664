#include "tests/support/Unprivileged.h"

#include <pwd.h>
#include <unistd.h>

#include <stdexcept>
#include <system_error>

namespace qv::test {

namespace fs = std::filesystem;

namespace {

const passwd& Nobody() {
  const passwd* user = getpwnam("nobody");
  if (!user) throw std::runtime_error("no user \"nobody\" to run as");
  return *user;
}

}  // namespace

std::string AsRunUser() {
  return geteuid() == 0 ? "setpriv --reuid=nobody --regid=nogroup --clear-groups -- " : "";
}

void GiveToRunUser(const fs::path& path) {
  OpenToEveryone(path.parent_path());
  if (geteuid() != 0) return;
  const passwd& nobody = Nobody();
  if (lchown(path.c_str(), nobody.pw_uid, nobody.pw_gid) != 0)
    throw std::runtime_error("cannot give " + path.string() + " to nobody");
  if (fs::is_directory(path))
    for (const auto& entry : fs::recursive_directory_iterator(path))
      if (lchown(entry.path().c_str(), nobody.pw_uid, nobody.pw_gid) != 0)
        throw std::runtime_error("cannot give " + entry.path().string() + " to nobody");
}

void OpenToEveryone(const fs::path& path) {
  using fs::perms;
  const fs::path temp = fs::temp_directory_path();
  for (fs::path at = fs::absolute(path); at != temp && at != at.root_path(); at = at.parent_path())
    fs::permissions(at,
                    perms::others_read | perms::others_exec | perms::group_read | perms::group_exec,
                    fs::perm_options::add);
}

}  // namespace qv::test
