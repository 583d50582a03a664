// What the .3ds writer makes reads back through the reader unchanged.

#include <gtest/gtest.h>

#include <fstream>
#include <stdexcept>

#include "models/Chunks3DS.h"
#include "models/File3DS.h"
#include "models/Writer3DS.h"
#include "tests/support/TempDir.h"

namespace qv {
namespace {

TEST(WriterRoundTrip, MeshesAndMaterials) {
  TMesh3DS quad;
  quad.name = "terFloor";
  quad.hidden = true;
  quad.vertices = {{0, 0, 0}, {4, 0, 0}, {4, 4, 0.5f}, {0, 4, -1e-3f}};
  quad.texVerts = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  quad.faces = {{0, 1, 2, 3}, {0, 2, 3, 6}};
  quad.smoothing = {1, 0x80000001u};
  quad.matGroups = {{"Stone", {1}}, {"Glass", {0}}};
  quad.localMatrix = {1, 0, 0, 0, 1, 0, 0, 0, 1, 10, 20, 30};
  TMesh3DS empty;
  empty.name = "";

  TMaterial3DS stone;
  stone.name = "Stone";
  stone.ambient = {0.2f, 0.2f, 0.2f};
  stone.diffuse = {1, 0.5f, 0};
  stone.specular = {1, 1, 1};
  stone.shininess = 0.3f;
  stone.shineStrength = 0.05f;
  stone.transparency = 0.25f;
  stone.selfIllumPercent = 0.4f;
  stone.shading = 2;
  stone.twoSided = true;
  stone.selfIllum = true;
  stone.texture.map.name = "stone.tga";
  stone.texture.map.percent = 1;
  TMaterial3DS glass;
  glass.name = "Glass CUBEMAP";
  glass.transparency = -0.75f;  // written with 0xA08A behind 0xA050

  TWriter3DS writer;
  writer.AddMaterial(stone);
  writer.AddMaterial(glass);
  writer.AddMesh(quad);
  writer.AddMesh(empty);
  test::TempDir dir;
  const auto path = dir.Path() / "scene.3ds";
  writer.Save(path);
  TFile3DS file(path);

  ASSERT_EQ(file.ObjectList().MeshCount(), 2);
  const TMesh3DS& q = *file.ObjectList().MeshItem(0);
  EXPECT_EQ(q.name, quad.name);
  EXPECT_TRUE(q.hidden);
  EXPECT_EQ(q.vertices, quad.vertices);
  EXPECT_EQ(q.texVerts, quad.texVerts);
  EXPECT_EQ(q.texVertexCount, 4);
  EXPECT_EQ(q.faces, quad.faces);
  EXPECT_EQ(q.smoothing, quad.smoothing);
  EXPECT_EQ(q.matGroups, quad.matGroups);
  EXPECT_EQ(q.localMatrix, quad.localMatrix);
  const TMesh3DS& e = *file.ObjectList().MeshItem(1);
  EXPECT_EQ(e.name, "");
  EXPECT_FALSE(e.hidden);
  EXPECT_TRUE(e.vertices.empty() && e.faces.empty());

  ASSERT_EQ(file.MaterialList().Count(), 2);
  const TMaterial3DS& s = *file.MaterialList().Item(0);
  EXPECT_EQ(s.name, "Stone");
  EXPECT_NEAR(s.ambient.r, 0.2f, 1.0f / 255);
  EXPECT_EQ(s.diffuse.r, 1.0f);
  EXPECT_NEAR(s.diffuse.g, 0.5f, 1.0f / 255);
  EXPECT_EQ(s.specular, (TColor3DS{1, 1, 1}));
  EXPECT_FLOAT_EQ(s.shininess, 0.3f);
  EXPECT_FLOAT_EQ(s.shineStrength, 0.05f);
  EXPECT_FLOAT_EQ(s.transparency, 0.25f);
  EXPECT_FLOAT_EQ(s.selfIllumPercent, 0.4f);
  EXPECT_EQ(s.shading, 2);
  EXPECT_TRUE(s.twoSided);
  EXPECT_TRUE(s.selfIllum);
  EXPECT_EQ(s.texture.map.name, "stone.tga");
  EXPECT_FLOAT_EQ(s.texture.map.percent, 1);
  const TMaterial3DS& g = *file.MaterialList().Item(1);
  EXPECT_EQ(g.name, "Glass CUBEMAP");
  EXPECT_FLOAT_EQ(g.transparency, -0.75f);
  EXPECT_FALSE(g.twoSided);
  EXPECT_EQ(g.texture.map.name, "");
  EXPECT_EQ(file.FileRelease(), 2);
  EXPECT_EQ(file.MeshRelease(), 2);
}

TEST(WriterRoundTrip, LimitsAndMisuse) {
  TMesh3DS big;
  big.name = "big";
  big.vertices.resize(65536);
  TChunkWriter3DS out;
  EXPECT_THROW(WriteNamedMesh(out, big), std::length_error);

  TChunkWriter3DS open;
  open.Begin(chunk3ds::kScene);
  EXPECT_THROW(open.Take(), std::logic_error);
  open.End();
  EXPECT_THROW(open.End(), std::logic_error);
  EXPECT_EQ(open.Take(), (std::vector<uint8_t>{0x4D, 0x4D, 6, 0, 0, 0}));

  test::TempDir dir;
  EXPECT_THROW(TWriter3DS().Save(dir.Path() / "no such folder" / "x.3ds"), std::runtime_error);
}

TEST(WriterRoundTrip, OpensThroughThePathLayer) {
  test::TempDir dir;
  std::filesystem::create_directory(dir.Path() / "Objects");
  TWriter3DS writer;
  TMesh3DS m;
  m.name = "m";
  writer.AddMesh(m);
  writer.Save(dir.Path() / "Objects" / "Player.3DS");
  // Written for Windows: other separators and letter case.
  TFile3DS file((dir.Path() / "objects\\player.3ds").string());
  EXPECT_EQ(file.ObjectList().MeshCount(), 1);
  try {
    TFile3DS missing(dir.Path() / "absent.3ds");
    ADD_FAILURE();
  } catch (const E3DSError& e) {
    EXPECT_NE(std::string(e.what()).find("cannot open"), std::string::npos) << e.what();
  }
}

}  // namespace
}  // namespace qv
