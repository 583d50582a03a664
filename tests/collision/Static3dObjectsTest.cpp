// The static container's tree decision: reload the "bop" file only when it is strictly newer than
// the model, rebuild and rewrite otherwise or when it cannot be read.

#include "collision/Static3dObjects.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "platform/EGL.h"
#include "scene/ModelSource.h"
#include "tests/collision/BOPTestObjects.h"
#include "tests/support/ScopedLog.h"
#include "tests/support/TempDir.h"
#include "tests/support/Unprivileged.h"

namespace qv::test {
namespace {

namespace fs = std::filesystem;

// A model source over stand-in objects, with a model file whose time the test controls.
class TFakeSource : public TModelSource {
 public:
  TFakeSource(const fs::path& folder, TObjectSet& objects) : folder_(folder), objects_(objects) {
    model_ = folder / "Objects.3DS";
    std::ofstream(model_) << "model";
  }
  int ObjectCount() const override { return objects_.Size(); }
  T3dObject* GetObject(int index) const override { return &objects_[index]; }
  fs::path Folder() const override { return folder_; }
  bool IsNewerThanModel(const fs::path& file) const override {
    return fs::exists(file) && fs::last_write_time(file) > fs::last_write_time(model_);
  }
  const fs::path& Model() const { return model_; }

 private:
  fs::path folder_;
  TObjectSet& objects_;
  fs::path model_;
};

std::string ReadBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void Level(TObjectSet& set) {
  set.Add("ground", {-50, 50, -1, 0, -50, 50}, TKind::Terrain);
  set.Add("col_wall", {-50, 50, 0, 4, -51, -50}, TKind::Collidee);
  set.Add("glass", Cube(0, 1, -10, 1), TKind::Plain, true);
  set.Add("crate", Cube(3, 1, -10, 1));
}

TEST(Static3dObjects, BuildsAndSavesThenReloadsAnUnchangedLevel) {
  TempDir dir;
  TObjectSet set;
  Level(set);
  TFakeSource source(dir.Path(), set);
  const fs::path bop = dir.Path() / "bop";
  fs::last_write_time(source.Model(), fs::file_time_type::clock::now() - std::chrono::hours(1));

  TStatic3dObjects first(TestKinds());
  first.LoadFromAdapter(source);
  ASSERT_NE(first.Tree(), nullptr);
  EXPECT_EQ(first.Tree()->Origin(), TBOPOrigin::Built);
  EXPECT_EQ(first.MemberCount(), 4);
  EXPECT_TRUE(first.Transparent);
  const std::string saved = ReadBytes(bop);
  EXPECT_FALSE(saved.empty());

  TStatic3dObjects second(TestKinds());
  second.LoadFromAdapter(source);
  EXPECT_EQ(second.Tree()->Origin(), TBOPOrigin::Reloaded);
  EXPECT_EQ(second.Tree()->Describe(), first.Tree()->Describe());

  // The queries go through the tree and append to the caller's lists without clearing them.
  T3dObjectList opaque(TOwnership::Refers), transparent(TOwnership::Refers);
  opaque.Add(&set[0]);
  second.CollectVisible(BoxFrustum(20, 100), opaque, transparent);
  std::vector<std::string> names = Names(opaque);
  ASSERT_EQ(names.size(), 4u);
  EXPECT_EQ(names[0], "ground");  // the caller's own entry stays first
  std::sort(names.begin() + 1, names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"ground", "col_wall", "crate", "ground"}));
  EXPECT_EQ(Names(transparent), (std::vector<std::string>{"glass"}));
  EXPECT_EQ(Names(second.QueryTerrainAt(50, -50)), (std::vector<std::string>{"ground"}));
  EXPECT_EQ(Names(second.QueryCollidees({-1, 1, 0, 2, -50.5f, -49})),
            (std::vector<std::string>{"col_wall"}));
}

TEST(Static3dObjects, OlderOrEqualOrUnreadableFileIsRebuiltAndRewritten) {
  TempDir dir;
  TObjectSet set;
  Level(set);
  TFakeSource source(dir.Path(), set);
  const fs::path bop = dir.Path() / "bop";
  const auto modelTime = fs::last_write_time(source.Model());

  // A file that would fail to read if it were read at all: as old as, then older than the model.
  for (const auto time : {modelTime, modelTime - std::chrono::seconds(5)}) {
    std::ofstream(bop, std::ios::binary) << "rubbish\r\n";
    fs::last_write_time(bop, time);
    TStatic3dObjects level(TestKinds());
    level.LoadFromAdapter(source);
    EXPECT_EQ(level.Tree()->Origin(), TBOPOrigin::Built);
    EXPECT_NE(ReadBytes(bop), "rubbish\r\n");
    EXPECT_GT(fs::last_write_time(bop), modelTime);
  }

  // Newer but unreadable, or written for another model (a tree over one object): every reading
  // error falls back to a rebuild.
  for (const std::string text : {"", "x\r\n", "X\r\n0\r\n9\r\n", "X\r\n0\r\n", "0\r\n"}) {
    std::ofstream(bop, std::ios::binary) << text;
    fs::last_write_time(bop, modelTime + std::chrono::seconds(5));
    TStatic3dObjects level(TestKinds());
    level.LoadFromAdapter(source);
    EXPECT_EQ(level.Tree()->Origin(), TBOPOrigin::Built) << text;
    EXPECT_EQ(ReadBytes(bop).substr(0, 1), std::string(1, level.Tree()->Describe()[0]));
  }
}

TEST(Static3dObjects, EmptyModelEndsTheLoad) {
  TempDir dir;
  TObjectSet none;
  TFakeSource empty(dir.Path(), none);
  TStatic3dObjects level(TestKinds());
  EXPECT_THROW(level.LoadFromAdapter(empty), EGL);
}

// A tree file that cannot be written is logged and the built tree used. A folder in the way of
// "bop" refuses the write for every user, root included; a read-only folder only for the others.
void ExpectLoadsWithoutTreeFile(const fs::path& folder) {
  ScopedLog log;
  TObjectSet set;
  Level(set);
  TFakeSource source(folder, set);
  TStatic3dObjects level(TestKinds());
  ASSERT_NO_THROW(level.LoadFromAdapter(source));
  ASSERT_NE(level.Tree(), nullptr);
  EXPECT_EQ(level.Tree()->Origin(), TBOPOrigin::Built);
  EXPECT_NE(level.TreeFileError().find("tree file"), std::string::npos) << level.TreeFileError();
  EXPECT_EQ(Names(level.QueryTerrainAt(0, 0)), (std::vector<std::string>{"ground"}));
  const std::vector<std::string> messages = log.Messages();
  EXPECT_EQ(messages.back(), "tree file not saved, the built tree is used");
  EXPECT_NE(messages.end()[-2].find("cannot"), std::string::npos) << messages.end()[-2];
  for (const fs::directory_entry& entry : fs::directory_iterator(folder))
    EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos) << "left " << entry.path();
}

TEST(Static3dObjects, FolderInTheWayOfTheTreeFileStillLoads) {
  TempDir dir;
  fs::create_directory(dir.Path() / "bop");
  std::ofstream(dir.Path() / "bop" / "in the way") << "x";
  ExpectLoadsWithoutTreeFile(dir.Path());
}

TEST(Static3dObjects, ReadOnlyLevelFolderStillLoads) {
  TempDir dir;
  const fs::path folder = dir.Path() / "level";
  fs::create_directory(folder);
  std::ofstream(folder / "Objects.3DS") << "model";
  fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
  AsUnprivilegedUser({dir.Path()}, [&] {
    ASSERT_FALSE(std::ofstream(folder / "probe")) << "the folder is writable after all";
    ExpectLoadsWithoutTreeFile(folder);
  });
}

TEST(Static3dObjects, QueriesBeforeAnyLoadAreEmpty) {
  TStatic3dObjects level(TestKinds());
  T3dObjectList opaque(TOwnership::Refers), transparent(TOwnership::Refers);
  level.CollectVisible(BoxFrustum(10, 10), opaque, transparent);
  EXPECT_EQ(opaque.Count() + transparent.Count(), 0);
  EXPECT_EQ(level.QueryTerrainAt(0, 0).Count(), 0);
  EXPECT_EQ(level.QueryCollidees({-1, 1, -1, 1, -1, 1}).Count(), 0);
}

}  // namespace
}  // namespace qv::test
