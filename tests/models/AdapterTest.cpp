// The model adapter's rules that need no GL context: class by name prefix, the release rule,
// folders, model time, files without meshes and errors that name the file.
#include "models/3DSFileAdapter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <vector>

#include "collision/CollideeObject.h"
#include "models/3DSError.h"
#include "models/Writer3DS.h"
#include "scene/TerrainObject.h"
#include "tests/support/TempDir.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

TEST(AdapterTest, MeshClassFollowsTheLowerCasePrefix) {
  const TMeshClass* terrain = &TTerrainObject::Class();
  const TMeshClass* collidee = &TCollideeObject::Class();
  const TMeshClass* plain = &TSimple3dObject::Class();
  EXPECT_EQ(&T3DSFileAdapter::MeshClassFor("terGround"), terrain);
  EXPECT_EQ(&T3DSFileAdapter::MeshClassFor("ter"), terrain);
  EXPECT_EQ(&T3DSFileAdapter::MeshClassFor("tercolumn"), terrain);
  EXPECT_EQ(&T3DSFileAdapter::MeshClassFor("colWall"), collidee);
  EXPECT_EQ(&T3DSFileAdapter::MeshClassFor("Terrace"), plain);
  EXPECT_EQ(&T3DSFileAdapter::MeshClassFor("TER01"), plain);
  EXPECT_EQ(&T3DSFileAdapter::MeshClassFor("Column"), plain);
  EXPECT_EQ(&T3DSFileAdapter::MeshClassFor("cOlumn"), plain);
  EXPECT_EQ(&T3DSFileAdapter::MeshClassFor("te"), plain);
  EXPECT_EQ(&T3DSFileAdapter::MeshClassFor(""), plain);
}

TEST(AdapterTest, ReleaseRuleTakesTheLaterReleaseAndDefaultsToRelease3) {
  // Codes: 0, 1, 2 = release 1, 2, 3; 3 = unknown.
  EXPECT_EQ(T3DSFileAdapter::ReleaseLevelFor(2, 1), 2);  // mesh 3, file 2
  EXPECT_EQ(T3DSFileAdapter::ReleaseLevelFor(0, 2), 2);  // mesh 1, file 3
  EXPECT_EQ(T3DSFileAdapter::ReleaseLevelFor(1, 0), 1);  // file older than the mesh section
  EXPECT_EQ(T3DSFileAdapter::ReleaseLevelFor(0, 0), 0);
  EXPECT_EQ(T3DSFileAdapter::ReleaseLevelFor(3, 0), 0);  // no mesh release: the file's
  EXPECT_EQ(T3DSFileAdapter::ReleaseLevelFor(0, 3), 2);  // unknown file release counts as later
  EXPECT_EQ(T3DSFileAdapter::ReleaseLevelFor(3, 3), 2);  // neither
}

TEST(AdapterTest, MaterialNamesFoldEveryWindows1252Letter) {
  struct TCase {
    const char* a;
    const char* b;
    int order;
  };
  for (const TCase& c : {
           TCase{"Stone", "sTONE", 0},
           TCase{"\xC9"
                 "corce",
                 "\xE9"
                 "CORCE",
                 0},                                          // E acute
           TCase{"\x8A\x8C\x8E\x9F", "\x9A\x9C\x9E\xFF", 0},  // S caron, OE, Z caron, Y diaeresis
           TCase{"\xC0\xD6\xD8\xDE", "\xE0\xF6\xF8\xFE", 0},  // both ends of both ranges
           TCase{"\xD7", "\xF7", -1},  // multiplication and division sign are no letters
           TCase{"\xDF", "SS", 1},     // sharp s has no upper case
           TCase{"a", "\xE0", -1},
           TCase{"ab", "AB ", -1},
       }) {
    EXPECT_EQ(T3DSFileAdapter::CompareMaterialNames(c.a, c.b), c.order) << c.a << " " << c.b;
    EXPECT_EQ(T3DSFileAdapter::CompareMaterialNames(c.b, c.a), -c.order) << c.a << " " << c.b;
  }
}

// A scene file listing materials but no mesh: loading it needs no GL context.
void WriteMeshlessFile(const fs::path& file) {
  TWriter3DS writer;
  TMaterial3DS stone;
  stone.name = "Stone";
  stone.texture.map.name = "missing.bmp";  // never loaded: no mesh, no material
  writer.AddMaterial(stone);
  fs::create_directories(file.parent_path());
  writer.Save(file);
}

TEST(AdapterTest, FileWithoutMeshesMakesNoObjectsAndNoMaterials) {
  test::TempDir dir;
  WriteMeshlessFile(dir.Path() / "Lights.3ds");
  T3DSFileAdapter adapter((dir.Path() / "Lights.3ds").string());
  EXPECT_EQ(adapter.ObjectCount(), 0);
  EXPECT_EQ(adapter.MaterialCount(), 0);
  EXPECT_EQ(adapter.FindMaterial("Stone"), nullptr);
  EXPECT_THROW(adapter.GetObject(0), std::out_of_range);
}

TEST(AdapterTest, FolderIsTheFilesDirectoryWithASeparator) {
  test::TempDir dir;
  WriteMeshlessFile(dir.Path() / "objects" / "Player.3ds");
  WriteMeshlessFile(dir.Path() / "Sky.3ds");
  test::ScopedCurrentDir here(dir.Path());

  // Written for Windows, in another letter case than the disk holds.
  T3DSFileAdapter nested("Objects\\player.3DS");
  EXPECT_EQ(nested.Folder(), fs::path("objects/"));
  EXPECT_EQ(nested.Folder() / "bop", fs::path("objects/bop"));

  // A bare name lies in the current directory, not in the root.
  T3DSFileAdapter bare("Sky.3ds");
  EXPECT_EQ(bare.Folder(), fs::path("./"));
  EXPECT_TRUE(fs::equivalent(bare.Folder(), dir.Path()));

  T3DSFileAdapter absolute((dir.Path() / "objects" / "Player.3ds").string());
  EXPECT_EQ(absolute.Folder(), dir.Path() / "objects" / "");

  // A model in memory: the folder of the name it was given, where its textures are looked for.
  std::ifstream sky(dir.Path() / "Sky.3ds", std::ios::binary);
  T3DSFileAdapter inMemory(std::vector<uint8_t>(std::istreambuf_iterator<char>(sky), {}),
                           "objects/Sky.3ds");
  EXPECT_EQ(inMemory.Folder(), fs::path("objects/"));
}

TEST(AdapterTest, NewerThanModelMeansStrictlyLater) {
  test::TempDir dir;
  const fs::path model = dir.Path() / "Objects.3DS";
  const fs::path tree = dir.Path() / "bop";
  WriteMeshlessFile(model);
  const auto modelTime = fs::last_write_time(model);
  T3DSFileAdapter adapter(model.string());
  EXPECT_EQ(adapter.ModelTime(), modelTime);

  EXPECT_FALSE(adapter.IsNewerThanModel(tree)) << "missing file";
  std::ofstream(tree) << "tree";
  fs::last_write_time(tree, modelTime);
  EXPECT_FALSE(adapter.IsNewerThanModel(tree)) << "same time";
  fs::last_write_time(tree, modelTime - std::chrono::seconds(5));
  EXPECT_FALSE(adapter.IsNewerThanModel(tree)) << "older";
  fs::last_write_time(tree, modelTime + std::chrono::seconds(1));
  EXPECT_TRUE(adapter.IsNewerThanModel(tree));

  // The time is the model's when it was loaded, not now.
  fs::last_write_time(model, modelTime + std::chrono::seconds(10));
  EXPECT_TRUE(adapter.IsNewerThanModel(tree));
}

TEST(AdapterTest, UnreadableFilesFailNamingTheFile) {
  test::TempDir dir;
  const fs::path missing = dir.Path() / "Nothing.3ds";
  const fs::path empty = dir.Path() / "Empty.3ds";
  std::ofstream(empty).close();
  const fs::path truncated = dir.Path() / "Cut.3ds";
  {
    TWriter3DS writer;
    TMesh3DS mesh;
    mesh.name = "Box";
    mesh.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    mesh.faces = {{0, 1, 2, 0}};
    writer.AddMesh(mesh);
    auto bytes = writer.Bytes();
    bytes.resize(bytes.size() - 7);
    SaveBytes(truncated, bytes);
  }
  const auto expectRefusalNaming = [](const fs::path& file, auto load) {
    try {
      load();
      ADD_FAILURE() << file << " loaded";
    } catch (const E3DSError& e) {
      EXPECT_NE(std::string(e.what()).find(file.string()), std::string::npos) << e.what();
    }
  };
  for (const fs::path& file : {missing, empty, truncated}) {
    expectRefusalNaming(file, [&] { T3DSFileAdapter adapter(file.string()); });
    // The same bytes handed over in memory fail alike, under the name given with them.
    std::ifstream in(file, std::ios::binary);
    std::vector<uint8_t> bytes(std::istreambuf_iterator<char>(in), {});
    expectRefusalNaming(file, [&] { T3DSFileAdapter adapter(bytes, file.string()); });
  }
}

}  // namespace
}  // namespace qv
