#include "tests/support/Unprivileged.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <stdexcept>

namespace qv::test {

namespace fs = std::filesystem;

namespace {

const passwd& Nobody() {
  const passwd* user = getpwnam("nobody");
  if (!user) throw std::runtime_error("no user \"nobody\" to run as");
  return *user;
}

// In the child: drop every privilege for good, run the body, report through the exit status.
[[noreturn]] void RunDropped(const passwd& nobody, const std::function<void()>& body) {
  if (setgroups(0, nullptr) != 0 || setresgid(nobody.pw_gid, nobody.pw_gid, nobody.pw_gid) != 0 ||
      setresuid(nobody.pw_uid, nobody.pw_uid, nobody.pw_uid) != 0) {
    std::fprintf(stderr, "cannot become user nobody\n");
    _exit(2);
  }
  body();
  std::fflush(nullptr);
  _exit(::testing::Test::HasFailure() ? 1 : 0);
}

}  // namespace

bool RunningAsRoot() { return geteuid() == 0; }

void AsUnprivilegedUser(const std::vector<fs::path>& handedOver,
                        const std::function<void()>& body) {
  if (!RunningAsRoot()) {
    body();
    return;
  }
  for (const auto& path : handedOver) GiveToRunUser(path);
  const passwd nobody = Nobody();
  std::fflush(nullptr);
  const pid_t child = fork();
  ASSERT_NE(child, -1) << "fork failed";
  if (child == 0) RunDropped(nobody, body);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
      << "the body run as user nobody failed (its output is above), status " << status;
}

std::string AsRunUser() {
  return RunningAsRoot() ? "setpriv --reuid=nobody --regid=nogroup --clear-groups -- " : "";
}

void GiveToRunUser(const fs::path& path) {
  OpenToEveryone(path.parent_path());
  if (!RunningAsRoot()) return;
  const passwd& nobody = Nobody();
  if (lchown(path.c_str(), nobody.pw_uid, nobody.pw_gid) != 0)
    throw std::runtime_error("cannot give " + path.string() + " to nobody");
  if (fs::is_directory(path) && !fs::is_symlink(path))
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
