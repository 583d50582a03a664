#include "tests/support/Unprivileged.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

namespace qv::test {
namespace {

constexpr uid_t kNobody = 65534;

void GiveToNobody(const std::filesystem::path& path) {
  if (lchown(path.c_str(), kNobody, kNobody) != 0) ADD_FAILURE() << "cannot chown " << path;
  if (!std::filesystem::is_directory(path) || std::filesystem::is_symlink(path)) return;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(path))
    if (lchown(entry.path().c_str(), kNobody, kNobody) != 0)
      ADD_FAILURE() << "cannot chown " << entry.path();
}

// In the child: drop every privilege for good, run the body, report through the exit status.
[[noreturn]] void RunDropped(const std::function<void()>& body) {
  if (setgroups(0, nullptr) != 0 || setresgid(kNobody, kNobody, kNobody) != 0 ||
      setresuid(kNobody, kNobody, kNobody) != 0) {
    std::fprintf(stderr, "cannot become user nobody\n");
    _exit(2);
  }
  body();
  std::fflush(nullptr);
  _exit(::testing::Test::HasFailure() ? 1 : 0);
}

}  // namespace

bool RunningAsRoot() { return geteuid() == 0; }

void AsUnprivilegedUser(const std::vector<std::filesystem::path>& handedOver,
                        const std::function<void()>& body) {
  if (!RunningAsRoot()) {
    body();
    return;
  }
  for (const auto& path : handedOver) GiveToNobody(path);
  std::fflush(nullptr);
  const pid_t child = fork();
  ASSERT_NE(child, -1) << "fork failed";
  if (child == 0) RunDropped(body);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
      << "the body run as user nobody failed (its output is above), status " << status;
}

}  // namespace qv::test
