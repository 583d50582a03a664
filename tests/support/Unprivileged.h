#pragma once
// Running code or a program as a user who cannot write a read-only folder. Root writes read-only
// folders anyway, and CI runs the suite as root, so there the work runs as "nobody"; run by
// anybody else it runs as that user, and read-only permissions suffice.
//
//   qv::test::AsUnprivilegedUser({folder}, [&] { ExpectLoadsWithoutTreeFile(folder); });
//   qv::test::GiveToRunUser(home);                 // folders the program writes
//   std::system((qv::test::AsRunUser() + "./quorvantille").c_str());

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace qv::test {

bool RunningAsRoot();

// Runs `body` as "nobody" in a forked child when root, after handing the listed paths over to
// that user (recursively); its GoogleTest failures are printed by the child and reported here as
// one failure. As any other user the body runs in this process.
void AsUnprivilegedUser(const std::vector<std::filesystem::path>& handedOver,
                        const std::function<void()>& body);

// A prefix for a shell command: "setpriv ... -- " as root, else empty.
std::string AsRunUser();

// Makes `path` and everything below it the run user's own (nothing to do when not root), after
// opening the folders above it (OpenToEveryone).
void GiveToRunUser(const std::filesystem::path& path);

// Opens `path` and the folders above it, up to the temporary folder, for reading and entering to
// every user (temporary folders are made 0700).
void OpenToEveryone(const std::filesystem::path& path);

}  // namespace qv::test
