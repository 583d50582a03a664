// Terrain and collidee meshes as the level load meets them: written to a .3ds file, read back
// through the model adapter (which needs a GL context for its materials).
#include <gtest/gtest.h>

#include "collision/CollideeObject.h"
#include "models/3DSFileAdapter.h"
#include "models/Writer3DS.h"
#include "platform/EGL.h"
#include "scene/TerrainObject.h"
#include "tests/support/GLTestContext.h"
#include "tests/support/TempDir.h"

namespace qv {
namespace {

// A quad in file axes (z up) over x 0..20, y -10..0, rising along x: file z = x / 4.
TMesh3DS Slope(const std::string& name) {
  TMesh3DS mesh;
  mesh.name = name;
  mesh.vertices = {{0, 0, 0}, {20, 0, 5}, {20, -10, 5}, {0, -10, 0}};
  mesh.faces = {{0, 1, 2, 0}, {0, 2, 3, 0}};
  mesh.smoothing = {1, 1};
  return mesh;
}

TEST(TerrainLoad, TerrainFromAFileStandsOnItsFileHeights) {
  test::GLTestContext ctx(32, 32);
  test::TempDir dir;
  TWriter3DS writer;
  writer.AddMesh(Slope("terHill"));
  TMesh3DS box = Slope("colRamp");
  writer.AddMesh(box);
  writer.Save(dir.Path() / "Objects.3DS");
  TerrainMemory() = 0;
  T3DSFileAdapter adapter((dir.Path() / "Objects.3DS").string());
  ASSERT_EQ(adapter.ObjectCount(), 2);
  const auto* hill = dynamic_cast<const TTerrainObject*>(adapter.GetObject(0));
  const auto* ramp = dynamic_cast<const TCollideeObject*>(adapter.GetObject(1));
  ASSERT_NE(hill, nullptr);
  ASSERT_NE(ramp, nullptr);
  EXPECT_GT(TerrainMemory(), 0.0);
  // File (x, y, z) is world (x, z, -y): the height is file z, world z runs 0..10.
  const TVector s = hill->SurfacePoint(12, 3, 1, 1);
  EXPECT_EQ(s.x, 12);
  EXPECT_EQ(s.z, 3);
  EXPECT_NEAR(s.y, 3, 1e-5);
  // The same slope as a collidee: a box resting on it overlaps, one lifted clear does not.
  EXPECT_TRUE(ramp->OverlapsBox({11, 13, 2.5f, 4, 2, 4}));
  EXPECT_FALSE(ramp->OverlapsBox({11, 13, 3.6f, 5, 2, 4}));
  EXPECT_FALSE(ramp->IsLarge());
}

TEST(TerrainLoad, TerrainWithoutDepthFailsTheLoadNamingFileAndMesh) {
  test::GLTestContext ctx(32, 32);
  test::TempDir dir;
  TWriter3DS writer;
  writer.AddMesh(Slope("terHill"));
  TMesh3DS wall;  // stands in the file x-z plane: no extent along world z
  wall.name = "terWall";
  wall.vertices = {{0, 4, 0}, {10, 4, 0}, {0, 4, 6}};
  wall.faces = {{0, 1, 2, 0}};
  writer.AddMesh(wall);
  TMesh3DS stub;  // under three vertices
  stub.name = "terStub";
  stub.vertices = {{0, 0, 0}, {1, 1, 1}};
  const auto file = dir.Path() / "Objects.3DS";
  writer.Save(file);
  try {
    T3DSFileAdapter adapter(file.string());
    FAIL() << "a terrain without depth loaded";
  } catch (const EGL& e) {
    const std::string message = e.what();
    EXPECT_NE(message.find("Objects.3DS"), std::string::npos) << message;
    EXPECT_NE(message.find("terWall"), std::string::npos) << message;
  }
  TWriter3DS stubWriter;
  stubWriter.AddMesh(stub);
  stubWriter.Save(file);
  EXPECT_THROW(T3DSFileAdapter adapter(file.string()), EGL);
}

}  // namespace
}  // namespace qv
