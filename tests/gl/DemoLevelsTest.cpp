// The bundled demo data set through the game's model adapter with a GL context: every model file
// loads with its textures, and the showcase's meshes become the classes and carry the features the
// level is there to show.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include "assets/DemoContent.h"
#include "collision/CollideeObject.h"
#include "models/3DSFileAdapter.h"
#include "scene/TerrainObject.h"
#include "tests/support/GLTestContext.h"
#include "tests/support/TempDir.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

TEST(DemoLevelsTest, EveryModelLoadsThroughTheAdapterWithItsTextures) {
  test::GLTestContext ctx(64, 64);
  test::TempDir dir;
  assets::WriteDemoContent(dir.Path());
  int files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(dir.Path())) {
    std::string ext = entry.path().extension().string();
    for (char& c : ext) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (ext != ".3DS") continue;
    ++files;
    SCOPED_TRACE(entry.path().string());
    std::unique_ptr<T3DSFileAdapter> adapter;
    // Raise: a texture that does not load fails the test, as it would fail the level.
    ASSERT_NO_THROW(adapter = std::make_unique<T3DSFileAdapter>(entry.path().string()));
    EXPECT_GT(adapter->ObjectCount(), 0);
    adapter->UploadTextures();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  }
  EXPECT_GE(files, 15);
}

TEST(DemoLevelsTest, ShowcaseMeshesBecomeTerrainCollideesReflectorsAndSeeThroughObjects) {
  test::GLTestContext ctx(64, 64);
  test::TempDir dir;
  assets::WriteDemoContent(dir.Path());
  const T3DSFileAdapter adapter((dir.Path() / "levels/Showcase/Objects.3DS").string());
  int terrain = 0, hiddenTerrain = 0, collidees = 0, large = 0, mirrors = 0, transparent = 0;
  for (int i = 0; i < adapter.ObjectCount(); ++i) {
    TSimple3dObject* object = adapter.GetObject(i);
    if (dynamic_cast<TTerrainObject*>(object)) {
      ++terrain;
      hiddenTerrain += !object->Visible;
    }
    if (auto* collidee = dynamic_cast<TCollideeObject*>(object)) {
      ++collidees;
      large += collidee->IsLarge();
    }
    mirrors += object->HasCubeTexture();
    transparent += object->Transparent;
  }
  EXPECT_GE(terrain, 5);
  EXPECT_EQ(hiddenTerrain, 1);
  EXPECT_GE(collidees, 10);
  EXPECT_EQ(large, 1);
  EXPECT_EQ(mirrors, 2);      // the chrome ball and the obelisk
  EXPECT_GE(transparent, 3);  // water and glass through 0xA08A, the lattice fence's 32-bit texture
  const T3DSFileAdapter ghost((dir.Path() / "levels/Showcase/ghosts/Wisp.3ds").string());
  EXPECT_TRUE(ghost.GetObject(0)->Transparent);  // its skin is a 32-bit texture
}

}  // namespace
}  // namespace qv
