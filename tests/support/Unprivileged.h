#pragma once
// Running a program as a user who cannot write a read-only folder. Root writes read-only folders
// anyway, and CI runs the suite as root, so there the program runs as "nobody" (setpriv); run by
// anybody else it runs as that user, and read-only permissions suffice.
//
//   qv::test::GiveToRunUser(home);                 // folders the program writes
//   std::system((qv::test::AsRunUser() + "./quorvantille").c_str());

#include <filesystem>
#include <string>

namespace qv::test {

// A prefix for a shell command: "setpriv ... -- " as root, else empty.
std::string AsRunUser();

// Makes `path` and everything below it the run user's own (nothing to do when not root), after
// opening the folders above it (OpenToEveryone).
void GiveToRunUser(const std::filesystem::path& path);

// Opens `path` and the folders above it, up to the temporary folder, for reading and entering to
// every user (temporary folders are made 0700).
void OpenToEveryone(const std::filesystem::path& path);

}  // namespace qv::test
