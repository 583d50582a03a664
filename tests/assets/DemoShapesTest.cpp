// Shapes of the demo levels: faces must face the way the game's lighting and culling expect once
// the mesh has gone through the file's axes and back, and smoothing groups must share and split
// vertices as intended.

#include <gtest/gtest.h>

#include <set>

#include "assets/DemoModel.h"
#include "assets/DemoShapes.h"

namespace qv::assets {
namespace {

// A file vertex as the game turns it into a world point.
TVector ToWorld(const TVector& file) { return {file.x, file.z, -file.y}; }

// The game's face normal for release 3 files, in world axes.
TVector FaceNormal(const TDemoMesh& mesh, std::size_t face) {
  const auto& f = mesh.Faces[face];
  const TVector a = ToWorld(mesh.Vertices[f[0]]), b = ToWorld(mesh.Vertices[f[1]]),
                c = ToWorld(mesh.Vertices[f[2]]);
  return VecCross(VecSub(c, b), VecSub(a, b));
}

TVector Centroid(const TDemoMesh& mesh, std::size_t face) {
  const auto& f = mesh.Faces[face];
  TVector sum;
  for (int k = 0; k < 3; ++k) sum = VecAdd(sum, ToWorld(mesh.Vertices[f[k]]));
  return VecScale(sum, 1.0f / 3);
}

// Every non-degenerate face of a closed convex shape points away from `inside`.
void ExpectOutward(const TDemoMesh& mesh, const TVector& inside, float sign = 1) {
  for (std::size_t face = 0; face < mesh.Faces.size(); ++face) {
    const TVector n = FaceNormal(mesh, face);
    if (VecLength(n) < 1e-6f) continue;
    EXPECT_GT(sign * VecDot(n, VecSub(Centroid(mesh, face), inside)), 0)
        << mesh.Name << " face " << face;
  }
}

TEST(DemoShapesTest, ClosedShapesFaceOutwardAndTheSkyFacesIn) {
  TMeshBuilder box("box");
  AddBox(box, {10, 2, -5}, 3, 4, 1, 37, "m", 1);
  ExpectOutward(box.Finish(), {10, 4, -5});

  TMeshBuilder cylinder("cylinder");
  AddCylinder(cylinder, {0, 0, 0}, 2, 5, 12, "side", "cap", 1);
  ExpectOutward(cylinder.Finish(), {0, 2.5f, 0});

  TMeshBuilder sphere("sphere");
  AddSphere(sphere, {1, 2, 3}, 4, 10, 6, "m");
  ExpectOutward(sphere.Finish(), {1, 2, 3});

  TMeshBuilder cone("cone");
  AddCone(cone, {0, 0, 0}, 2, 6, 9, "m", 1);
  ExpectOutward(cone.Finish(), {0, 1, 0});

  TMeshBuilder sky("sky");
  AddSkyDome(sky, 100, -10, 12, 4, "m", 1);
  const TDemoMesh dome = sky.Finish();
  ExpectOutward(dome, {0, 0, 0}, -1);
  EXPECT_EQ(dome.TexCoords.size(), dome.Vertices.size());
}

TEST(DemoShapesTest, WalkableSurfacesFaceUpAndEverythingElseStandsUpright) {
  TMeshBuilder b("walk");
  AddHeightfield(
      b, -10, -10, 10, 10, 4, 4, [](float x, float z) { return 0.1f * x * z; }, "m", 1);
  AddStairs(b, {0, 1, 0}, 0, -1, 4, 5, 0.5f, 2, "m", 1);
  AddRamp(b, {5, 0, 5}, 1, 0, 3, 10, 4, "m", 1);
  const TDemoMesh mesh = b.Finish();
  int up = 0;
  for (std::size_t face = 0; face < mesh.Faces.size(); ++face) {
    const TVector n = VecNormalize(FaceNormal(mesh, face));
    // Nothing may face down: a walkable mesh seen from above would show holes.
    EXPECT_GT(n.y, -1e-5f) << "face " << face;
    if (n.y > 0.5f) ++up;
  }
  EXPECT_EQ(up, 4 * 4 * 2 + 5 * 2 + 2);  // grid, treads, ramp top
}

TEST(DemoShapesTest, HeightfieldLeavesOutSkippedCellsAndSharesCorners) {
  TMeshBuilder b("ter");
  AddHeightfield(
      b, 0, 0, 30, 30, 3, 3, [](float, float) { return 2.0f; }, "m", 1,
      [](int i, int j) { return i == 1 && j == 1; });
  const TDemoMesh mesh = b.Finish();
  EXPECT_EQ(mesh.Vertices.size(), 16u);
  EXPECT_EQ(mesh.Faces.size(), 16u);
  for (std::size_t face = 0; face < mesh.Faces.size(); ++face) {
    const TVector c = Centroid(mesh, face);
    EXPECT_FALSE(c.x > 10 && c.x < 20 && c.z > 10 && c.z < 20) << "face in the hole";
    EXPECT_FLOAT_EQ(c.y, 2.0f);
    EXPECT_EQ(mesh.Smoothing[face], 1u);
  }
}

TEST(DemoShapesTest, CylinderSplitsItsRimBetweenSmoothingGroups) {
  TMeshBuilder b("column");
  AddCylinder(b, {0, 0, 0}, 1, 3, 8, "side", "cap", 1);
  const TDemoMesh mesh = b.Finish();
  std::set<std::uint16_t> side, cap;
  for (std::size_t face = 0; face < mesh.Faces.size(); ++face)
    for (std::uint16_t v : mesh.Faces[face]) (mesh.Smoothing[face] == 1 ? side : cap).insert(v);
  int shared = 0;
  for (std::uint16_t v : cap) shared += side.count(v);
  // The 8 rim vertices of each end are used by both groups: the game splits exactly those.
  EXPECT_EQ(shared, 16);
  ASSERT_EQ(mesh.Groups.size(), 2u);
  EXPECT_EQ(mesh.Groups[0].Material, "side");
  EXPECT_EQ(mesh.Groups[0].Faces.size() + mesh.Groups[1].Faces.size(), mesh.Faces.size());
}

TEST(DemoShapesTest, BuilderRefusesWhatAFileCannotHold) {
  TMeshBuilder b("big");
  for (int i = 0; i < 65535; ++i) b.Vertex({static_cast<float>(i), 0, 0});
  EXPECT_THROW(b.Vertex({0, 0, 0}), std::length_error);
  EXPECT_THROW(b.Triangle(0, 1, 65535, "m", 0), std::out_of_range);
}

}  // namespace
}  // namespace qv::assets
