// Level and settings files written on Windows must resolve unchanged on a case-sensitive disk.
#include "platform/Paths.h"

#include <gtest/gtest.h>

#include <fstream>

#include "tests/support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using qv::ResolvePath;

class PathsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(root() / "Levels" / "Forest");
    std::ofstream(root() / "Levels" / "Forest" / "Objects.3DS") << "x";
    std::ofstream(root() / "Levels" / "Forest" / "level.ini") << "x";
  }
  fs::path root() const { return dir_.Path(); }
  qv::test::TempDir dir_;
};

TEST_F(PathsTest, BackslashesAndLetterCaseResolveComponentByComponent) {
  const fs::path want = root() / "Levels" / "Forest" / "Objects.3DS";
  EXPECT_EQ(ResolvePath("Levels\\Forest\\Objects.3DS", root()), want);
  EXPECT_EQ(ResolvePath("levels\\FOREST\\objects.3ds", root()), want);
  EXPECT_EQ(ResolvePath("LEVELS/forest\\Level.INI", root()),
            root() / "Levels" / "Forest" / "level.ini");
  EXPECT_EQ(ResolvePath((root() / "levels\\forest\\OBJECTS.3ds").string()), want);  // no base
  // "." and ".." pass through; a trailing separator is kept.
  EXPECT_EQ(ResolvePath("levels\\.\\forest\\..\\FOREST\\objects.3ds", root()),
            root() / "Levels" / "." / "Forest" / ".." / "Forest" / "Objects.3DS");
  EXPECT_EQ(ResolvePath("levels\\forest\\", root()), root() / "Levels" / "Forest" / "");
}

TEST_F(PathsTest, ExistingPathsStayAsWrittenAndMissingOnesComeBackAsAsked) {
  // Present as written: not touched even though another spelling exists too.
  fs::create_directories(root() / "levels");
  EXPECT_EQ(ResolvePath("levels", root()), root() / "levels");
  // Nothing matches in any case: the caller gets the path it asked for, with "/" separators,
  // so its "not found" message names that.
  EXPECT_EQ(ResolvePath("Levels\\Desert\\Objects.3DS", root()),
            root() / "Levels/Desert/Objects.3DS");
  // A file used as a folder does not resolve.
  EXPECT_EQ(ResolvePath("levels\\forest\\objects.3ds\\x", root()),
            root() / "levels/forest/objects.3ds/x");
  EXPECT_EQ(qv::NormalizeSeparators("a\\b/c\\"), "a/b/c/");
}

TEST_F(PathsTest, SeveralCaseVariantsPickTheSmallestNameEveryTime) {
  fs::create_directories(root() / "Mixed" / "SKY");
  fs::create_directories(root() / "Mixed" / "Sky");
  EXPECT_EQ(ResolvePath("mixed\\sky", root()), root() / "Mixed" / "SKY");
  EXPECT_EQ(ResolvePath("mixed\\Sky", root()), root() / "Mixed" / "Sky");  // exact wins
}

TEST_F(PathsTest, RelativePathsWithoutBaseUseTheCurrentDirectory) {
  qv::test::ScopedCurrentDir here(root());
  EXPECT_EQ(ResolvePath("LEVELS\\forest\\objects.3ds"), fs::path("Levels/Forest/Objects.3DS"));
}

TEST(Paths, SettingsFileSitsBesideTheExecutable) {
  const fs::path exe = qv::ExecutablePath();
  ASSERT_FALSE(exe.empty());
  EXPECT_TRUE(fs::exists(exe));
  // The test program has no extension, so ".ini" is appended.
  EXPECT_EQ(qv::SettingsPath(), fs::path(exe.string() + ".ini"));
}

}  // namespace
