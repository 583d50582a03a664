// The ini rules the settings and level files depend on.
#include "platform/IniFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/support/TempDir.h"

namespace {

using qv::TIniFile;

TEST(IniFile, NamesIgnoreCaseAndFirstSectionAndKeyWin) {
  const TIniFile ini = TIniFile::FromText(
      "[Window]\r\n"
      "Width=1024\r\n"
      "WIDTH=2048\r\n"
      "[window]\r\n"
      "Height=768\r\n"
      "[Other]\r\n"
      "Height=5\r\n");
  EXPECT_EQ(ini.ReadInteger("WINDOW", "width", 0), 1024);
  // The second [window] section is never seen, so its Height is missing.
  EXPECT_EQ(ini.ReadInteger("Window", "Height", 480), 480);
  EXPECT_EQ(ini.ReadInteger("other", "HEIGHT", 0), 5);
  EXPECT_TRUE(ini.SectionExists("wInDoW"));
  EXPECT_FALSE(ini.SectionExists("Levels"));
  EXPECT_TRUE(ini.ValueExists("window", "width"));
  EXPECT_FALSE(ini.ValueExists("window", "bits"));
}

TEST(IniFile, BlanksQuotesCommentsAndStrayLines) {
  const TIniFile ini = TIniFile::FromText(
      "\xEF\xBB\xBF"
      "orphan=before any section\n"
      "[ Keys ]\n"
      "  FogKey   =   F  \n"
      "; FogKey=X\n"
      "Quoted = \"  spaced  \"\n"
      "Half = \"open\n"
      "Empty =\n"
      "EmptyQuotes = \"\"\n"
      "Trailing = value ; not a comment\n"
      "no equals sign here\n"
      "Path = a=b\\c\\\n"
      "\tTabbed\t=\tt\t\n");
  EXPECT_EQ(ini.SectionNames(), std::vector<std::string>{"Keys"});
  EXPECT_EQ(ini.ReadString("keys", "fogkey", "?"), "F");
  EXPECT_EQ(ini.ReadString("Keys", "Quoted", "?"), "  spaced  ");
  EXPECT_EQ(ini.ReadString("Keys", "Half", "?"), "\"open");
  EXPECT_EQ(ini.ReadString("Keys", "Empty", "?"), "");
  EXPECT_EQ(ini.ReadString("Keys", "EmptyQuotes", "?"), "");
  EXPECT_EQ(ini.ReadString("Keys", "Trailing", "?"), "value ; not a comment");
  EXPECT_EQ(ini.ReadString("Keys", "Path", "?"), "a=b\\c\\");
  EXPECT_EQ(ini.ReadString("Keys", "Tabbed", "?"), "t");
  EXPECT_EQ(ini.ReadString("Keys", "orphan", "?"), "?");
  EXPECT_EQ(ini.ReadString("Keys", "no equals sign here", "?"), "?");
}

TEST(IniFile, IntegersMustBeWholeOrTheDefaultApplies) {
  const TIniFile ini = TIniFile::FromText(
      "[N]\n"
      "a=12\nb=-7\nc=+3\nd=12abc\ne=abc\nf=1.5\ng=\nh=-\ni=2147483647\nj=2147483648\n"
      "k=-2147483648\nl=0x10\nm= 42 \nn=1 2\n");
  EXPECT_EQ(ini.ReadInteger("N", "a", 99), 12);
  EXPECT_EQ(ini.ReadInteger("N", "b", 99), -7);
  EXPECT_EQ(ini.ReadInteger("N", "c", 99), 3);
  for (const char* key : {"d", "e", "f", "g", "h", "j", "l", "n", "missing"})
    EXPECT_EQ(ini.ReadInteger("N", key, 99), 99) << key;
  EXPECT_EQ(ini.ReadInteger("N", "i", 99), 2147483647);
  EXPECT_EQ(ini.ReadInteger("N", "k", 99), -2147483647 - 1);
  EXPECT_EQ(ini.ReadInteger("N", "m", 99), 42);
}

TEST(IniFile, BooleansAreIntegers) {
  const TIniFile ini = TIniFile::FromText("[B]\nzero=0\none=1\nminus=-3\nword=true\nnone=\n");
  EXPECT_FALSE(ini.ReadBool("B", "zero", true));
  EXPECT_TRUE(ini.ReadBool("B", "one", false));
  EXPECT_TRUE(ini.ReadBool("B", "minus", false));
  // "true" is not an integer: the default stays, whichever it is.
  EXPECT_TRUE(ini.ReadBool("B", "word", true));
  EXPECT_FALSE(ini.ReadBool("B", "word", false));
  EXPECT_TRUE(ini.ReadBool("B", "none", true));
}

TEST(IniFile, FloatsUseAPointAndRefuseEverythingElse) {
  const TIniFile ini = TIniFile::FromText(
      "[F]\na=1.5\nb=-0.25\nc=.5\nd=5.\ne=1e3\nf=+2.5E-1\ng=1,5\nh=inf\ni=nan\nj=0x10\nk=1.5m\n"
      "l=.\nm=1e\nn=1e999\no=7\n");
  EXPECT_DOUBLE_EQ(ini.ReadFloat("F", "a", 9), 1.5);
  EXPECT_DOUBLE_EQ(ini.ReadFloat("F", "b", 9), -0.25);
  EXPECT_DOUBLE_EQ(ini.ReadFloat("F", "c", 9), 0.5);
  EXPECT_DOUBLE_EQ(ini.ReadFloat("F", "d", 9), 5.0);
  EXPECT_DOUBLE_EQ(ini.ReadFloat("F", "e", 9), 1000.0);
  EXPECT_DOUBLE_EQ(ini.ReadFloat("F", "f", 9), 0.25);
  EXPECT_DOUBLE_EQ(ini.ReadFloat("F", "o", 9), 7.0);
  for (const char* key : {"g", "h", "i", "j", "k", "l", "m", "n", "missing"})
    EXPECT_DOUBLE_EQ(ini.ReadFloat("F", key, 9), 9.0) << key;
}

TEST(IniFile, SectionNamesAndValuesKeepFileOrder) {
  const TIniFile ini = TIniFile::FromText(
      "[Player]\nx=1\n[Ghost2]\n[ghost1]\n[Player]\n[Levels]\nb=lv1\\\na=lv0\nB=dup\nc=\n");
  EXPECT_EQ(ini.SectionNames(),
            (std::vector<std::string>{"Player", "Ghost2", "ghost1", "Player", "Levels"}));
  const auto levels = ini.SectionValues("LEVELS");
  ASSERT_EQ(levels.size(), 4u);
  EXPECT_EQ(levels[0], (std::pair<std::string, std::string>{"b", "lv1\\"}));
  EXPECT_EQ(levels[2], (std::pair<std::string, std::string>{"B", "dup"}));
  EXPECT_EQ(levels[3], (std::pair<std::string, std::string>{"c", ""}));
  EXPECT_TRUE(ini.SectionValues("nothing").empty());
}

TEST(IniFile, FilesOnDiskMissingUnreadableOrHuge) {
  qv::test::TempDir dir;
  const TIniFile missing(dir.Path() / "absent.ini");
  EXPECT_TRUE(missing.SectionNames().empty());
  EXPECT_EQ(missing.ReadInteger("Window", "Width", 640), 640);
  EXPECT_EQ(missing.ReadString("Keys", "FogKey", "F"), "F");

  std::ofstream(dir.Path() / "game.ini", std::ios::binary) << "[Window]\r\nWidth=1024\r\n";
  const TIniFile real(dir.Path() / "game.ini");
  EXPECT_EQ(real.ReadInteger("window", "width", 640), 1024);
  EXPECT_EQ(real.FileName(), dir.Path() / "game.ini");

  // A directory where the file should be: every default, no exception.
  std::filesystem::create_directory(dir.Path() / "dir.ini");
  EXPECT_EQ(TIniFile(dir.Path() / "dir.ini").ReadInteger("a", "b", 3), 3);

  // Larger than the cap: refused before anything is allocated for it.
  {
    std::ofstream big(dir.Path() / "big.ini", std::ios::binary);
    big << "[A]\nb=1\n";
  }
  std::filesystem::resize_file(dir.Path() / "big.ini", TIniFile::kMaxIniFileSize + 1);
  EXPECT_EQ(TIniFile(dir.Path() / "big.ini").ReadInteger("A", "b", 7), 7);
}

}  // namespace
