// Mesh building without a GL context: geometry, normals, smoothing splits, groups, bounds.
#include "scene/Simple3dObject.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "scene/Mesh3DS.h"

namespace qv {
namespace {

constexpr float kEps = 1e-5f;

void ExpectVector(const TVector& actual, const TVector& expected, const char* what = "") {
  EXPECT_NEAR(actual.x, expected.x, kEps) << what;
  EXPECT_NEAR(actual.y, expected.y, kEps) << what;
  EXPECT_NEAR(actual.z, expected.z, kEps) << what;
}

TMesh3DS MeshOf(std::vector<TVector> vertices, std::vector<TFace3DS> faces) {
  TMesh3DS mesh;
  mesh.name = "Box01";
  mesh.vertices = std::move(vertices);
  mesh.faces = std::move(faces);
  return mesh;
}

// A cube of side 2 around the origin in file axes (z up), 12 triangles wound counter-clockwise
// seen from outside. Every side's diagonal runs through (1, 1, 1) or (-1, -1, -1), so the corner
// (1, 1, 1) (vertex 7) belongs to two triangles of each of its three sides.
TMesh3DS Cube() {
  std::vector<TVector> v;
  for (int i = 0; i < 8; ++i)
    v.push_back({i & 1 ? 1.f : -1.f, i & 2 ? 1.f : -1.f, i & 4 ? 1.f : -1.f});
  auto f = [](int a, int b, int c) { return TFace3DS{uint16_t(a), uint16_t(b), uint16_t(c), 0}; };
  return MeshOf(v, {
                       f(1, 3, 7), f(1, 7, 5),  // +x
                       f(0, 4, 6), f(0, 6, 2),  // -x
                       f(2, 6, 7), f(2, 7, 3),  // +y
                       f(0, 1, 5), f(0, 5, 4),  // -y
                       f(4, 5, 7), f(4, 7, 6),  // +z
                       f(0, 2, 3), f(0, 3, 1),  // -z
                   });
}

// File axis (x, y, z) in world axes (x, z, -y).
TVector World(float x, float y, float z) { return {x, z, -y}; }

TEST(Simple3dObjectTest, FileVertexTurnsZUpIntoYUp) {
  TSimple3dObject mesh(nullptr, rlRelease3, MeshOf({{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}, {}));
  ASSERT_EQ(mesh.VertexCount(), 3);
  EXPECT_EQ(mesh.GetVertex(0), (TVector{1, 3, -2}));
  EXPECT_EQ(mesh.GetVertex(2), (TVector{7, 9, -8}));
  std::string name;
  mesh.GetName(name);
  EXPECT_EQ(name, "Box01");
}

TEST(Simple3dObjectTest, ReleaseLevelChoosesTheWindingOfFaceNormals) {
  // Counter-clockwise about the file's +z (up) axis.
  const TMesh3DS tri = MeshOf({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2, 0}});
  TSimple3dObject release3(nullptr, rlRelease3, tri);
  TSimple3dObject release2(nullptr, rlRelease2, tri);
  TSimple3dObject release1(nullptr, rlRelease1, tri);
  for (int v = 0; v < 3; ++v) {
    ExpectVector(release3.GetNormals()[v], {0, 1, 0}, "release 3");
    ExpectVector(release2.GetNormals()[v], {0, -1, 0}, "release 2");
    ExpectVector(release1.GetNormals()[v], {0, -1, 0}, "release 1");
  }
}

TEST(Simple3dObjectTest, CubeWithoutSmoothingGivesEveryCornerItsOwnVertex) {
  TSimple3dObject mesh(nullptr, rlRelease3, Cube());
  ASSERT_EQ(mesh.VertexCount(), 36);
  ASSERT_EQ(mesh.FaceGroupCount(), 1);
  ASSERT_EQ(mesh.GroupFaceCount(0), 12);
  std::map<std::uint32_t, int> uses;
  for (int f = 0; f < 12; ++f) {
    const auto corners = mesh.GetFace(0, f);
    // The outward normal of a cube side is the axis on which all three corners agree.
    const TVector a = mesh.GetVertex(corners[0]);
    const TVector b = mesh.GetVertex(corners[1]);
    const TVector c = mesh.GetVertex(corners[2]);
    TVector expected{};
    if (a.x == b.x && b.x == c.x) expected.x = a.x;
    if (a.y == b.y && b.y == c.y) expected.y = a.y;
    if (a.z == b.z && b.z == c.z) expected.z = a.z;
    for (const auto corner : corners) {
      ++uses[corner];
      ExpectVector(mesh.GetNormals()[corner], expected, "flat face normal");
    }
  }
  EXPECT_EQ(uses.size(), 36u);  // no vertex shared between two corners
}

TEST(Simple3dObjectTest, CubeInOneSmoothingGroupSharesAndAveragesByArea) {
  TMesh3DS cube = Cube();
  cube.smoothing.assign(12, 1);
  TSimple3dObject mesh(nullptr, rlRelease3, cube);
  ASSERT_EQ(mesh.VertexCount(), 8);
  // Corner (1, 1, 1): two triangles on each of its sides.
  ExpectVector(mesh.GetNormals()[7], VecNormalize(World(1, 1, 1)));
  // Corner (1, -1, 1) (vertex 5): one triangle of +x, two of -y, one of +z.
  ExpectVector(mesh.GetNormals()[5], VecNormalize(World(1, -2, 1)));
  for (int v = 0; v < 8; ++v) {
    EXPECT_NEAR(VecLength(mesh.GetNormals()[v]), 1.0f, kEps);
    EXPECT_GT(VecDot(mesh.GetNormals()[v], mesh.GetVertex(v)), 0) << "vertex " << v << " outward";
  }
}

TEST(Simple3dObjectTest, BiggerFacesWeighMoreInASharedNormal) {
  // Vertex 0 shared by a triangle of area 2 in the file's x-y plane and one of area 0.5 in the y-z
  // plane: the sum is (1, 0, 4) in file axes.
  TMesh3DS mesh =
      MeshOf({{0, 0, 0}, {2, 0, 0}, {0, 2, 0}, {0, 1, 0}, {0, 0, 1}}, {{0, 1, 2, 0}, {0, 3, 4, 0}});
  mesh.smoothing = {1, 1};
  TSimple3dObject object(nullptr, rlRelease3, mesh);
  ASSERT_EQ(object.VertexCount(), 5);
  ExpectVector(object.GetNormals()[0], VecNormalize(World(1, 0, 4)));
}

TEST(Simple3dObjectTest, LowestSmoothingBitDecidesSharing) {
  const TMesh3DS base =
      MeshOf({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 1}}, {{0, 1, 2, 0}, {0, 3, 4, 0}});
  {
    TMesh3DS mesh = base;
    mesh.smoothing = {1, 3};  // both lowest bit 0: shared
    TSimple3dObject object(nullptr, rlRelease3, mesh);
    EXPECT_EQ(object.VertexCount(), 5);
    EXPECT_EQ(object.GetFace(0, 1)[0], 0u);
  }
  {
    TMesh3DS mesh = base;
    mesh.smoothing = {2, 1};  // lowest bits 1 and 0: split
    TSimple3dObject object(nullptr, rlRelease3, mesh);
    ASSERT_EQ(object.VertexCount(), 6);
    EXPECT_EQ(object.GetFace(0, 0)[0], 0u);
    EXPECT_EQ(object.GetFace(0, 1)[0], 5u);
    EXPECT_EQ(object.GetVertex(5), object.GetVertex(0));
    // Each copy carries only its own face's normal.
    ExpectVector(object.GetNormals()[0], {0, 1, 0});
    ExpectVector(object.GetNormals()[5], World(0, 1, 0));
  }
  {
    // A face in no group never shares, even after a smoothed face used the vertex; a third face
    // back in group 0 finds the vertex of the first.
    TMesh3DS mesh =
        MeshOf({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 1}, {-1, 0, 0}, {0, -1, 0}},
               {{0, 1, 2, 0}, {0, 3, 4, 0}, {0, 5, 6, 0}});
    mesh.smoothing = {1, 0, 1};
    TSimple3dObject object(nullptr, rlRelease3, mesh);
    ASSERT_EQ(object.VertexCount(), 8);
    EXPECT_EQ(object.GetFace(0, 1)[0], 7u);
    EXPECT_EQ(object.GetFace(0, 2)[0], 0u);
  }
}

TEST(Simple3dObjectTest, SplitCopiesCarryTheirTextureCoordinates) {
  TMesh3DS mesh =
      MeshOf({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, {{0, 1, 2, 0}, {0, 2, 3, 0}});
  mesh.texVerts = {{0.25f, 0.5f}, {1, 0}, {0, 1}, {1, 1}};
  TSimple3dObject object(nullptr, rlRelease3, mesh);
  ASSERT_EQ(object.VertexCount(), 6);
  ASSERT_TRUE(object.HasTexCoordsPerVertex());
  const auto corners = object.GetFace(0, 1);
  EXPECT_EQ(object.GetTexCoord(corners[0]), (TTexCoord{0.25f, 0.5f}));
  EXPECT_EQ(object.GetTexCoord(corners[1]), (TTexCoord{0, 1}));
  object.SetTexCoord(5, {3, 4});
  EXPECT_EQ(object.GetTexCoord(5), (TTexCoord{3, 4}));
  EXPECT_THROW(object.GetTexCoord(6), std::out_of_range);
  EXPECT_THROW(object.SetTexCoord(-1, {}), std::out_of_range);

  TSimple3dObject bare(nullptr, rlRelease3, MeshOf({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {}));
  EXPECT_FALSE(bare.HasTexCoordsPerVertex());
  EXPECT_THROW(bare.GetTexCoord(0), std::out_of_range);
}

TEST(Simple3dObjectTest, SplittingPast65536VerticesDoesNotWrap) {
  // 22,000 flat faces over the same three vertices: every face after the first splits all three.
  TMesh3DS mesh = MeshOf({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {});
  mesh.faces.assign(22000, {0, 1, 2, 0});
  TSimple3dObject object(nullptr, rlRelease3, mesh);
  ASSERT_EQ(object.VertexCount(), 3 * 22000);
  const auto last = object.GetFace(0, 21999);
  EXPECT_EQ(last[0], 65997u);
  EXPECT_EQ(last[2], 65999u);
  EXPECT_EQ(object.GetVertex(65998), (TVector{1, 0, 0}));
  ExpectVector(object.GetNormals()[65999], {0, 1, 0});
}

TEST(Simple3dObjectTest, MaterialAssignmentsBecomeGroupsInTheirOrder) {
  TMesh3DS mesh = Cube();
  mesh.matGroups = {{"Red", {3, 0}}, {"Missing", {5}}, {"red", {}}};
  // Materials need a GL context; which group gets which one is tested with the adapter.
  std::vector<std::string> asked;
  TMaterialLookup lookup = [&](const std::string& name) -> TMaterial* {
    asked.push_back(name);
    return nullptr;
  };
  TSimple3dObject object(lookup, rlRelease3, mesh);
  ASSERT_EQ(object.FaceGroupCount(), 3);
  EXPECT_EQ(asked, (std::vector<std::string>{"Red", "Missing", "red"}));
  EXPECT_EQ(object.GroupFaceCount(0), 2);
  EXPECT_EQ(object.GroupFaceCount(2), 0);
  // Face 3 first: its corners are those the splitting gave face 3.
  TSimple3dObject all(nullptr, rlRelease3, Cube());
  EXPECT_EQ(object.GetFace(0, 0), all.GetFace(0, 3));
  EXPECT_EQ(object.GetFace(0, 1), all.GetFace(0, 0));
  EXPECT_EQ(object.GetFace(1, 0), all.GetFace(0, 5));

  EXPECT_THROW(object.GetFace(-1, 0), std::out_of_range);
  EXPECT_THROW(object.GetFace(0, 2), std::out_of_range);
  EXPECT_THROW(object.GetFaceGroup(3), std::out_of_range);
  EXPECT_THROW(object.GetVertex(36), std::out_of_range);
}

TEST(Simple3dObjectTest, MeshWithoutAssignmentsHasOneMaterialLessGroup) {
  TSimple3dObject object(nullptr, rlRelease3, Cube());
  ASSERT_EQ(object.FaceGroupCount(), 1);
  EXPECT_EQ(object.GetFaceGroup(0).Material, nullptr);
  EXPECT_EQ(object.GetFaceGroup(0).Indices.size(), 36u);
  EXPECT_FALSE(object.Transparent);
  EXPECT_FALSE(object.HasCubeTexture());
}

TEST(Simple3dObjectTest, BoundsAreTheVertexBoxAndTheSphereAroundItsCentre) {
  // File (x, y, z) -> world (x, z, -y): x 0..4, y (file z) -1..1, z (file -y) -2..0.
  TSimple3dObject object(nullptr, rlRelease3,
                         MeshOf({{0, 0, -1}, {4, 2, 1}, {4, 0, 1}}, {{0, 1, 2, 0}}));
  EXPECT_EQ(object.BoundingBox, (TBox{0, 4, -1, 1, -2, 0}));
  EXPECT_FLOAT_EQ(object.BoxVolume, 16);
  EXPECT_FLOAT_EQ(object.BoundingSphere.x, 2);
  EXPECT_FLOAT_EQ(object.BoundingSphere.y, 0);
  EXPECT_FLOAT_EQ(object.BoundingSphere.z, -1);
  EXPECT_FLOAT_EQ(object.BoundingSphere.r, std::sqrt(6.0f));
  EXPECT_NEAR(object.SphereVolume, 4.18879f * 6 * std::sqrt(6.0f), 1e-3);
  EXPECT_TRUE(object.BoxTighter);
}

TEST(Simple3dObjectTest, TooFewVerticesGiveAnEmptyInvisibleObject) {
  TSimple3dObject object(nullptr, rlRelease3, MeshOf({{5, 5, 5}, {6, 6, 6}}, {{0, 1, 1, 0}}));
  EXPECT_EQ(object.VertexCount(), 0);
  EXPECT_EQ(object.FaceGroupCount(), 0);
  EXPECT_FALSE(object.Visible);
  EXPECT_EQ(object.BoundingBox, TBox{});

  TMesh3DS hidden = Cube();
  hidden.hidden = true;
  EXPECT_FALSE(TSimple3dObject(nullptr, rlRelease3, hidden).Visible);
  EXPECT_TRUE(TSimple3dObject(nullptr, rlRelease3, Cube()).Visible);
}

TEST(Simple3dObjectTest, CorruptRecordsAreRefusedNamingTheMesh) {
  TMesh3DS corner = Cube();
  corner.faces[4].b = 8;
  try {
    TSimple3dObject object(nullptr, rlRelease3, corner);
    FAIL() << "corner beyond the vertices accepted";
  } catch (const std::invalid_argument& e) {
    EXPECT_NE(std::string(e.what()).find("Box01"), std::string::npos) << e.what();
  }
  TMesh3DS group = Cube();
  group.matGroups = {{"A", {0, 12}}};
  EXPECT_THROW(TSimple3dObject(nullptr, rlRelease3, group), std::invalid_argument);
}

TEST(Simple3dObjectTest, ClassReferenceBuildsAPlainMesh) {
  const TMeshClass& ref = TSimple3dObject::Class();
  EXPECT_STREQ(ref.Name, "TSimple3dObject");
  auto object = ref.Create(nullptr, rlRelease3, Cube());
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(object->VertexCount(), 36);
}

}  // namespace
}  // namespace qv
