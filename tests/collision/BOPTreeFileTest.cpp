// The tree file: its exact form, the round trip, and every way a file can fail to describe a tree.

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>

#include "collision/BOPTree.h"
#include "platform/EGL.h"
#include "tests/collision/BOPTestObjects.h"
#include "tests/support/TempDir.h"

namespace qv::test {
namespace {

std::string ReadBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteBytes(const std::filesystem::path& file, const std::string& text) {
  std::ofstream(file, std::ios::binary) << text;
}

// a | {b, c}, then b | c on z.
void AddThree(TObjectSet& set) {
  set.Add("a", {0, 1, 0, 5, 0, 3});
  set.Add("b", {2, 3, 0, 5, 0, 1});
  set.Add("c", {2, 3.2f, 0, 5, 1.2f, 3});
}

std::vector<const T3dObject*> LeafObjects(const TBOPTree& tree) {
  std::vector<const TBOPLeaf*> leaves;
  CollectLeaves(tree.Root(), leaves);
  std::vector<const T3dObject*> objects;
  for (const TBOPLeaf* leaf : leaves) objects.push_back(&leaf->Object());
  return objects;
}

TEST(BOPTreeFile, WritesPreOrderWithCrLfAndReadsItBack) {
  TempDir dir;
  TObjectSet set;
  AddThree(set);
  auto built = TBOPTree::Build(set.List(), TestKinds());
  const auto file = dir.Path() / "bop";
  built->SaveToFile(file);
  EXPECT_EQ(ReadBytes(file), "X\r\n0\r\nZ\r\n1\r\n2\r\n");

  auto loaded = TBOPTree::Load(set.List(), file, TestKinds());
  EXPECT_EQ(loaded->Origin(), TBOPOrigin::Reloaded);
  EXPECT_EQ(loaded->Describe(), built->Describe());
  EXPECT_EQ(LeafObjects(*loaded), LeafObjects(*built));
  EXPECT_EQ(loaded->Names(), (std::vector<std::string>{"a", "b", "c"}));
  // The reloaded nodes carry the same boxes, so the queries answer alike.
  TBox rootBox, builtBox;
  loaded->Root().GetBoundingBox(rootBox);
  built->Root().GetBoundingBox(builtBox);
  EXPECT_EQ(rootBox, builtBox);

  // Saving again replaces the file whole and leaves nothing else in the folder.
  TObjectSet one;
  one.Add("solo", Cube(0, 0, 0, 1));
  TBOPTree::Build(one.List(), TestKinds())->SaveToFile(file);
  EXPECT_EQ(ReadBytes(file), "0\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                          std::filesystem::directory_iterator()),
            1);
}

TEST(BOPTreeFile, RepeatedNamesReloadEveryObject) {
  // Two meshes of one name: each leaf keeps its own index, so the reloaded tree still holds both.
  TempDir dir;
  TObjectSet set;
  set.Add("wall", {0, 1, 0, 1, 0, 1}, TKind::Collidee);
  set.Add("wall", {5, 6, 0, 1, 0, 1}, TKind::Collidee);
  set.Add("door", {2, 3, 0, 1, 0, 1}, TKind::Collidee);
  const auto file = dir.Path() / "bop";
  TBOPTree::Build(set.List(), TestKinds())->SaveToFile(file);
  auto loaded = TBOPTree::Load(set.List(), file, TestKinds());
  std::vector<const T3dObject*> leaves = LeafObjects(*loaded);
  std::sort(leaves.begin(), leaves.end());
  std::vector<const T3dObject*> expected{&set[0], &set[1], &set[2]};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(leaves, expected);
  EXPECT_EQ(loaded->QueryCollidees({5, 6, 0, 1, 0, 1}).Count(), 1);
  EXPECT_EQ(loaded->QueryCollidees({5, 6, 0, 1, 0, 1}).Get(0), &set[1]);
}

TEST(BOPTreeFile, AcceptsOtherLineEndsAndIgnoresWhatFollowsTheTree) {
  TempDir dir;
  TObjectSet set;
  AddThree(set);
  const auto file = dir.Path() / "bop";
  for (const std::string text :
       {"X\n0\nZ\n1\n2", "X\r0\rZ\r1\r2\r", "X\r\n0\r\nZ\r\n+1\r\n2\r\nY\r\nrubbish"}) {
    WriteBytes(file, text);
    EXPECT_EQ(TBOPTree::Load(set.List(), file, TestKinds())->Describe(),
              "X{s:a,b:Z{s:b,b:c}\r\n}\r\n")
        << text;
  }
}

// Runs Load on `text` and returns the kind of failure and its message.
struct TFailure {
  std::string kind;  // "EGL", "range" or "none"
  std::string message;
};

TFailure LoadFails(const std::string& text, int objectCount = 3) {
  TempDir dir;
  TObjectSet set;
  for (int i = 0; i < objectCount; ++i) {
    std::string name = "o";  // (not "o" + ...: g++ 12 -O3 warns falsely about that)
    set.Add(name += std::to_string(i), Cube(3.0f * i, 0, 0, 1));
  }
  const auto file = dir.Path() / "bop";
  WriteBytes(file, text);
  try {
    TBOPTree::Load(set.List(), file, TestKinds());
  } catch (const EGL& error) {
    return {"EGL", error.what()};
  } catch (const std::out_of_range& error) {
    return {"range", error.what()};
  }
  return {"none", ""};
}

TEST(BOPTreeFile, EveryReadingErrorIsRaisedAndNamesTheFile) {
  const struct {
    std::string text;
    const char* kind;
    const char* says;
  } cases[] = {
      {"", "range", "before the tree is complete"},
      {"X\r\n0\r\n", "range", "ends after line 2"},
      {"x\r\n0\r\n1\r\n", "EGL", "line 1: \"x\" is neither"},
      {"X\r\n0\r\n\r\n", "EGL", "line 3: \"\" is neither"},
      {"X\r\n 1\r\n2\r\n", "EGL", "\" 1\""},
      {"X\r\n1 \r\n2\r\n", "EGL", "\"1 \""},
      {"X\r\n0x1\r\n2\r\n", "EGL", "\"0x1\""},
      {"X\r\n-\r\n2\r\n", "EGL", "\"-\""},
      {"X\r\n+-1\r\n2\r\n", "EGL", "\"+-1\""},
      {"X\r\n3\r\n1\r\n", "range", "index 3 is outside 0..2"},
      {"X\r\n-1\r\n1\r\n", "range", "index -1 is outside"},
      {"X\r\n99999999999\r\n1\r\n", "EGL", "99999999999"},
      {"X\r\n0\r\nX\r\n1\r\n0\r\n", "EGL", "line 5: object index 0 appears twice"},
      {"X\r\n2\r\n0\r\n", "EGL", "holds 2 of the 3 objects"},
      {"1\r\n", "EGL", "holds 1 of the 3 objects"},
      {std::string(100, '1') + "\r\n", "EGL", "longer than 64"},
  };
  for (const auto& c : cases) {
    const TFailure failure = LoadFails(c.text);
    EXPECT_EQ(failure.kind, c.kind) << c.text;
    EXPECT_NE(failure.message.find(c.says), std::string::npos) << failure.message;
    EXPECT_NE(failure.message.find("bop"), std::string::npos) << failure.message;
  }
}

TEST(BOPTreeFile, RefusesNestingBeyondTheLimitWithoutOverflowingTheStack) {
  std::string deep;
  for (int i = 0; i < 200000; ++i) deep += "Z\r\n";
  const TFailure failure = LoadFails(deep);
  EXPECT_EQ(failure.kind, "EGL");
  EXPECT_NE(failure.message.find("deeper than 1024"), std::string::npos) << failure.message;

  // A lopsided but legal tree right at the limit still loads.
  std::string chain;
  for (int i = 0; i < TBOPTree::MaxFileDepth; ++i) chain += "X\r\n" + std::to_string(i) + "\r\n";
  chain += std::to_string(TBOPTree::MaxFileDepth) + "\r\n";
  EXPECT_EQ(LoadFails(chain, TBOPTree::MaxFileDepth + 1).kind, "none");
}

TEST(BOPTreeFile, EmptyListAndMissingFileFail) {
  TempDir dir;
  const auto file = dir.Path() / "bop";
  WriteBytes(file, "0\r\n");
  T3dObjectList none(TOwnership::Refers);
  try {
    TBOPTree::Load(none, file, TestKinds());
    FAIL();
  } catch (const EGL& error) {
    EXPECT_STREQ(error.what(), "tree in File is shit");
  }
  TObjectSet set;
  set.Add("a", Cube(0, 0, 0, 1));
  EXPECT_THROW(TBOPTree::Load(set.List(), dir.Path() / "missing", TestKinds()), EGL);
}

TEST(BOPTreeFile, WriteFailuresRaiseAndLeaveNoTemporaryFile) {
  TempDir dir;
  TObjectSet set;
  AddThree(set);
  auto tree = TBOPTree::Build(set.List(), TestKinds());
  EXPECT_THROW(tree->SaveToFile(dir.Path() / "no such folder" / "bop"), EGL);

  // A folder in the way of the file: the rename fails, the folder and its content stay.
  const auto blocked = dir.Path() / "bop";
  std::filesystem::create_directory(blocked);
  WriteBytes(blocked / "keep", "x");
  try {
    tree->SaveToFile(blocked);
    FAIL();
  } catch (const EGL& error) {
    EXPECT_NE(std::string(error.what()).find(blocked.string()), std::string::npos);
  }
  EXPECT_TRUE(std::filesystem::exists(blocked / "keep"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                          std::filesystem::directory_iterator()),
            1);
}

}  // namespace
}  // namespace qv::test
