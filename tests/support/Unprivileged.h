#pragma once
// Runs a test body as an unprivileged user, so permission checks that root passes by (a read-only
// folder, a file without read permission) are tested when the suite runs as root, as CI does.
//   qv::test::AsUnprivilegedUser({folder}, [&] { ExpectLoadsWithoutTreeFile(folder); });
// As root the body runs in a forked child with the user and group "nobody" (65534), after the
// listed paths are given to that user (recursively); its GoogleTest failures are printed by the
// child and reported here as one failure. As any other user the body runs in this process.

#include <filesystem>
#include <functional>
#include <vector>

namespace qv::test {

bool RunningAsRoot();

void AsUnprivilegedUser(const std::vector<std::filesystem::path>& handedOver,
                        const std::function<void()>& body);

}  // namespace qv::test
