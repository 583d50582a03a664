// The .3ds database: mesh and material records, name lists, release codes, and the checks made
// when a mesh record is read.

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "models/Chunks3DS.h"
#include "models/File3DS.h"
#include "models/Writer3DS.h"
#include "platform/Beep.h"

namespace qv {
namespace {

using namespace chunk3ds;

TMesh3DS Triangle(const std::string& name) {
  TMesh3DS m;
  m.name = name;
  m.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
  m.faces = {{0, 1, 2, 7}};
  return m;
}

std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const E3DSError& e) {
    return e.what();
  }
  return "(no error)";
}

// A scene whose material entry is laid out by `body`.
std::vector<uint8_t> SceneWithMaterial(const std::function<void(TChunkWriter3DS&)>& body) {
  TChunkWriter3DS w;
  w.Begin(kScene);
  w.Begin(kMeshData);
  w.Begin(kMaterialEntry);
  w.Begin(kMatName);
  w.Name("M");
  w.End();
  body(w);
  w.End();
  w.End();
  w.End();
  return w.Take();
}

const TMaterial3DS& OnlyMaterial(TFile3DS& file) {
  EXPECT_EQ(file.MaterialList().Count(), 1);
  return *file.MaterialList().Item(0);
}

TEST(Database, TransparencyFlagNegatesWhatIsThereAtThatMoment) {
  TFile3DS after(SceneWithMaterial([](TChunkWriter3DS& w) {
                   w.Percent(kMatTransparency, 25);
                   w.EmptyChunk(kMatXpFallIn);
                 }),
                 "a.3ds");
  EXPECT_FLOAT_EQ(OnlyMaterial(after).transparency, -0.25f);
  TFile3DS before(SceneWithMaterial([](TChunkWriter3DS& w) {
                    w.EmptyChunk(kMatXpFallIn);
                    w.Percent(kMatTransparency, 25);
                  }),
                  "b.3ds");
  EXPECT_FLOAT_EQ(OnlyMaterial(before).transparency, 0.25f);
}

TEST(Database, ColoursPercentagesAndDefaults) {
  TFile3DS file(SceneWithMaterial([](TChunkWriter3DS& w) {
                  w.Begin(kMatDiffuse);  // both forms: the second wins
                  w.Begin(kColor24);
                  w.Byte(255), w.Byte(0), w.Byte(0);
                  w.End();
                  w.Begin(kColor24Gamma);
                  w.Byte(0), w.Byte(51), w.Byte(255);
                  w.End();
                  w.End();
                  w.EmptyChunk(kMatAmbient);  // no colour inside: black
                  w.Begin(kMatShininess);     // float percentage taken as it stands
                  w.Begin(kFloatPercent);
                  w.Float(0.5f);
                  w.End();
                  w.End();
                  w.Begin(0x8010);  // a program's extra data inside the entry
                  w.Dword(1);
                  w.End();
                  w.EmptyChunk(kMatWire);
                }),
                "c.3ds");
  const TMaterial3DS& m = OnlyMaterial(file);
  EXPECT_EQ(m.diffuse, (TColor3DS{0, 0.2f, 1}));
  EXPECT_EQ(m.ambient, (TColor3DS{0, 0, 0}));
  EXPECT_FLOAT_EQ(m.shininess, 0.5f);
  EXPECT_EQ(m.shading, 0);  // wire
  EXPECT_FLOAT_EQ(m.wireSize, 1.0f);
  EXPECT_EQ(m.reflect.autoSize, 100);
  EXPECT_EQ(m.reflect.autoFrameStep, 1);
  EXPECT_FLOAT_EQ(m.texture.map.uScale, 1.0f);
  EXPECT_EQ(m.texture.map.tint[4], (TColor3DS{0, 0, 1}));
}

TEST(Database, UnknownMaterialChunkIsAnInvalidStructure) {
  TFile3DS file(SceneWithMaterial([](TChunkWriter3DS& w) { w.EmptyChunk(0xA999); }), "u.3ds");
  int beeps = 0;
  SetErrorBeepHook([&] { ++beeps; });
  // The entry starts at 12, its name chunk takes 8 bytes: the stray chunk sits at 26.
  EXPECT_EQ(ErrorOf([&] { file.MaterialList().Item(0); }),
            "An invalid Chunk structure was encountered while reading\r"
            "the database. Usually caused by a corrupt database or file. (chunk 0xA999 at offset "
            "26) in material \"M\"");
  EXPECT_EQ(beeps, 1);
  EXPECT_EQ(ErrorOf([&] { file.ReadMaterial(5); }), "Invalid index 5.");
  SetErrorBeepHook({});
}

// Map settings the format defines, written by some exporters directly under the material: read
// past, while the bump map's own percentage still counts.
TEST(Database, MapPropertiesDirectlyUnderAMaterialAreSkipped) {
  for (uint16_t id : {kMatBumpPercent, kMatMapName, kMapTiling, kMapUScale, kMapTint1}) {
    TFile3DS file(SceneWithMaterial([&](TChunkWriter3DS& w) {
                    w.Begin(id);
                    w.Int16(50);
                    w.End();
                    w.Color24(kMatDiffuse, 255, 0, 0);
                  }),
                  "stray.3ds");
    EXPECT_EQ(ErrorOf([&] { file.MaterialList().Item(0); }), "(no error)") << std::hex << id;
    EXPECT_EQ(file.MaterialList().Item(0)->diffuse, (TColor3DS{1, 0, 0})) << std::hex << id;
  }
}

TEST(Database, MapSettings) {
  TFile3DS file(SceneWithMaterial([](TChunkWriter3DS& w) {
                  w.Begin(kMatBumpMap);
                  w.Begin(kIntPercent);
                  w.Int16(40);
                  w.End();
                  w.Begin(kMatMapName);
                  w.Name("bump.tga");
                  w.End();
                  w.Begin(kMatBumpPercent);  // overrides the strength of a bump map
                  w.Int16(70);
                  w.End();
                  w.Begin(kMapTiling);
                  w.Word(0x0002 | 0x0008 | 0x0020);  // mirror, negative, summed area
                  w.End();
                  w.Begin(kMapUScale);
                  w.Float(2);
                  w.End();
                  w.EmptyChunk(0x0C0C);  // ignored inside a map
                  w.End();
                  w.Begin(kMatTexture);
                  w.Begin(kMatMapName);
                  w.Name("wall.tga");
                  w.End();
                  w.End();
                }),
                "m.3ds");
  const TMaterial3DS& m = OnlyMaterial(file);
  EXPECT_EQ(m.texture.map.name, "wall.tga");
  EXPECT_EQ(m.bump.map.name, "bump.tga");
  EXPECT_FLOAT_EQ(m.bump.map.percent, 0.7f);
  EXPECT_TRUE(m.bump.map.mirror && m.bump.map.negative && m.bump.map.summedAreaFilter);
  EXPECT_FALSE(m.bump.map.ignoreAlpha);
  EXPECT_FLOAT_EQ(m.bump.map.uScale, 2);
  EXPECT_FLOAT_EQ(m.bump.map.vScale, 1);
}

TEST(Database, MeshesAreNamedObjectsHoldingATriangleMesh) {
  TChunkWriter3DS w;
  w.Begin(kScene);
  w.Begin(kMeshData);
  WriteNamedMesh(w, Triangle("same"));
  w.Begin(kNamedObject);  // a light only: not a mesh, and mesh indices skip it
  w.Name("lamp");
  w.Begin(kLight);
  for (int i = 0; i < 3; ++i) w.Float(0);
  w.End();
  w.End();
  WriteNamedMesh(w, Triangle("same"));  // duplicate names are two meshes
  w.Begin(kNamedObject);                // a mesh one level too deep: counted, but not readable
  w.Name("deep");
  w.Begin(0x4700);
  for (int i = 0; i < 8; ++i) w.Float(0);
  w.Begin(kTriMesh);
  w.End();
  w.End();
  w.End();
  w.End();
  w.End();
  TFile3DS file(w.Take(), "o.3ds");
  ASSERT_EQ(file.ObjectNames().size(), 4u);
  EXPECT_EQ(file.ObjectNames()[1].name, "lamp");
  ASSERT_EQ(file.ObjectList().MeshCount(), 3);
  EXPECT_EQ(file.ObjectList().MeshItem(0)->name, "same");
  EXPECT_EQ(file.ObjectList().MeshItem(1)->name, "same");
  EXPECT_NE(file.ObjectList().MeshItem(0), file.ObjectList().MeshItem(1));
  EXPECT_EQ(ErrorOf([&] { file.ObjectList().MeshItem(2); }),
            "The Name passed to the functions exists but is not the type of object asked for.\r"
            "For example asking for a mesh object with the GetCameraByName3DS function. (chunk "
            "0x4000 at offset " +
                std::to_string(file.ObjectNames()[3].node->position) + ") in mesh \"deep\"");
  EXPECT_THROW(file.ObjectList().MeshItem(3), std::out_of_range);
  EXPECT_THROW(file.ObjectList().MeshItem(-1), std::out_of_range);
  EXPECT_EQ(file.MaterialList().Count(), 0);
}

TEST(Database, RecordsAreCachedAndReleasable) {
  TWriter3DS writer;
  writer.AddMesh(Triangle("t"));
  TFile3DS file(writer.Bytes(), "r.3ds");
  const TMesh3DS* first = file.ObjectList().MeshItem(0);
  const long decodes = file.PayloadDecodes();
  EXPECT_EQ(file.ObjectList().MeshItem(0), first);
  EXPECT_EQ(file.PayloadDecodes(), decodes);  // cached: nothing decoded again
  file.ObjectList().ReleaseMesh(0);
  EXPECT_EQ(file.ObjectList().MeshItem(0)->faces, Triangle("t").faces);
  // The record's arrays moved out of the payloads, which are gone again.
  TChunkNode3DS* vertices = FindChunkDeep(file.RootChunk(), kVertexList);
  EXPECT_EQ(vertices->payload, nullptr);
}

TEST(Database, ReleaseCodes) {
  struct Case {
    uint32_t file, mesh;
    TRelease3DS fileCode, meshCode;
  };
  for (const Case& c : {Case{3, 3, 2, 2}, Case{1, 2, 0, 1}, Case{0, 0, 3, 3}, Case{7, 4, 3, 3}}) {
    TWriter3DS writer;
    writer.fileRelease = c.file;
    writer.meshRelease = c.mesh;
    TFile3DS file(writer.Bytes(), "v.3ds");
    EXPECT_EQ(file.FileRelease(), c.fileCode) << c.file;
    EXPECT_EQ(file.MeshRelease(), c.meshCode) << c.mesh;
  }
  TWriter3DS library;
  library.kind = TFileKind3DS::MaterialLibrary;
  TMaterial3DS brick;
  brick.name = "brick";
  library.AddMaterial(brick);
  TFile3DS file(library.Bytes(), "lib.mli");
  EXPECT_EQ(file.FileRelease(), 2);
  EXPECT_EQ(file.MeshRelease(), 3);
  ASSERT_EQ(file.MaterialList().Count(), 1);
  EXPECT_EQ(file.MaterialList().Item(0)->name, "brick");
  EXPECT_EQ(file.ObjectList().MeshCount(), 0);
  EXPECT_EQ(ErrorOf([&] { file.ReadMesh(0); }),
            "The database passed as an argument is the wrong kind of\r"
            "database for this function. (chunk 0x3DAA at offset 0)");
}

TEST(Database, MeshIndicesMustStayInsideTheirArrays) {
  TMesh3DS badCorner = Triangle("bad corner");
  badCorner.faces.push_back({0, 1, 3, 0});  // only 3 vertices
  TWriter3DS w1;
  w1.AddMesh(badCorner);
  TFile3DS f1(w1.Bytes(), "c.3ds");
  EXPECT_EQ(f1.ObjectList().MeshCount(), 1);  // the tree itself is fine
  const std::string corner = ErrorOf([&] { f1.ObjectList().MeshItem(0); });
  EXPECT_NE(corner.find("\"bad corner\""), std::string::npos) << corner;
  EXPECT_NE(corner.find("face 1 uses vertex 3, not below the vertex count 3"), std::string::npos)
      << corner;
  EXPECT_NE(corner.find("offset"), std::string::npos) << corner;

  TMesh3DS badGroup = Triangle("bad group");
  badGroup.matGroups = {{"wood", {0, 1}}};  // only 1 face
  TWriter3DS w2;
  w2.AddMesh(badGroup);
  TFile3DS f2(w2.Bytes(), "g.3ds");
  const std::string group = ErrorOf([&] { f2.ObjectList().MeshItem(0); });
  EXPECT_NE(group.find("\"wood\" names face 1, not below the face count 1"), std::string::npos)
      << group;
}

TEST(Database, ShortSmoothingAndTextureArraysArePadded) {
  TMesh3DS m = Triangle("pad");
  m.faces.push_back({2, 1, 0, 0});
  m.smoothing = {5};             // two faces, one mask
  m.texVerts = {{0.5f, 0.25f}};  // three vertices, one pair
  TWriter3DS w;
  w.AddMesh(m);
  TFile3DS file(w.Bytes(), "p.3ds");
  const TMesh3DS& r = *file.ObjectList().MeshItem(0);
  EXPECT_EQ(r.smoothing, (std::vector<uint32_t>{5, 0}));
  EXPECT_EQ(r.texVertexCount, 1);  // as the file stores it
  EXPECT_EQ(r.texVerts, (std::vector<TTexCoord>{{0.5f, 0.25f}, {0, 0}, {0, 0}}));

  TWriter3DS plain;
  plain.AddMesh(Triangle("plain"));
  TFile3DS none(plain.Bytes(), "n.3ds");
  const TMesh3DS& bare = *none.ObjectList().MeshItem(0);
  EXPECT_TRUE(bare.smoothing.empty());
  EXPECT_TRUE(bare.texVerts.empty());
  EXPECT_TRUE(bare.matGroups.empty());
}

}  // namespace
}  // namespace qv
