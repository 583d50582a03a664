#pragma once
// A fresh, empty folder for one test, removed with everything in it when the object goes away.
//   qv::test::TempDir dir;  std::ofstream(dir.Path() / "Level.ini") << "[Player]\n";

#include <filesystem>

namespace qv::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Makes `dir` the current directory until the object goes away (the global log and relative level
// paths are resolved against it).
class ScopedCurrentDir {
 public:
  explicit ScopedCurrentDir(const std::filesystem::path& dir);
  ~ScopedCurrentDir();
  ScopedCurrentDir(const ScopedCurrentDir&) = delete;
  ScopedCurrentDir& operator=(const ScopedCurrentDir&) = delete;

 private:
  std::filesystem::path saved_;
};

}  // namespace qv::test
