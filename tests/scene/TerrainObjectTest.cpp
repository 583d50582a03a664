#include "scene/TerrainObject.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "platform/EGL.h"
#include "scene/Mesh3DS.h"
#include "tests/support/WorldMesh.h"

namespace qv {
namespace {

// Terrain meshes from world-axes triangles, named "terGround" unless a test says otherwise.
struct TTerrainBuilder : test::TWorldMesh {
  explicit TTerrainBuilder(std::string name = "terGround") : TWorldMesh(std::move(name)) {}
  std::unique_ptr<TTerrainObject> Build() const { return TWorldMesh::Build<TTerrainObject>(); }
};

bool IsFailure(const TVector& v) { return v == TerrainFailure(); }

TEST(TerrainPlaneGeometry, EdgesAndCornersAreInsideAndWallsContainNothing) {
  const TVector a{0, 0, 0}, b{4, 7, 0}, c{0, -3, 4};  // heights must not matter
  EXPECT_TRUE(PointInTriangleXZ(a, b, c, {1, 100, 1}));
  EXPECT_TRUE(PointInTriangleXZ(a, b, c, {2, 0, 0}));  // on edge a-b
  EXPECT_TRUE(PointInTriangleXZ(a, b, c, {2, 0, 2}));  // on the hypotenuse
  EXPECT_TRUE(PointInTriangleXZ(a, b, c, {4, 0, 0}));  // a corner
  EXPECT_FALSE(PointInTriangleXZ(a, b, c, {2.01f, 0, 2}));
  EXPECT_FALSE(PointInTriangleXZ(a, b, c, {-0.01f, 0, 1}));
  // Either winding works.
  EXPECT_TRUE(PointInTriangleXZ(a, c, b, {1, 0, 1}));

  EXPECT_FLOAT_EQ(TriangleClosenessXZ(a, b, c, {4.0f / 3, 0, 4.0f / 3}), 0.5f);
  EXPECT_FLOAT_EQ(TriangleClosenessXZ(a, b, c, {4, 0, 0}), 1.5f);
  EXPECT_GT(TriangleClosenessXZ(a, b, c, {8, 0, 8}), TriangleClosenessXZ(a, b, c, {3, 0, 3}));

  // A wall standing on the segment (0,0)-(4,0): no area in x-z.
  const TVector w1{0, 0, 0}, w2{4, 0, 0}, w3{2, 5, 0};
  EXPECT_FALSE(PointInTriangleXZ(w1, w2, w3, {2, 1, 0}));
  EXPECT_EQ(TriangleClosenessXZ(w1, w2, w3, {2, 1, 0}), 1e16f);
  EXPECT_EQ(PlaneHeight(w1, w2, w3, 2, 0), 0.0f);
}

TEST(TerrainPlaneGeometry, PlaneHeightFollowsASlopeWhateverTheWinding) {
  // y = 0.5 x - 0.25 z + 2
  auto y = [](float x, float z) { return 0.5f * x - 0.25f * z + 2; };
  const TVector a{0, y(0, 0), 0}, b{8, y(8, 0), 0}, c{0, y(0, 8), 8};
  EXPECT_NEAR(PlaneHeight(a, b, c, 3, 5), y(3, 5), 1e-5);
  EXPECT_NEAR(PlaneHeight(a, c, b, 3, 5), y(3, 5), 1e-5);
  EXPECT_NEAR(PlaneHeight(a, b, c, -20, 40), y(-20, 40), 1e-4);  // extrapolated outside
}

TEST(TerrainGridSizing, DensityClampsAndNodeCap) {
  // 10 x 10 with 6 vertices: c = 4 nodes per unit.
  EXPECT_EQ(TerrainGridSize(10, 10, 6).nx, 41);
  EXPECT_EQ(TerrainGridSize(10, 10, 6).nz, 41);
  // 2,000 x 2,000 with 3,000 vertices: c = 10, cut to 5, then to 0.512 by the node cap.
  EXPECT_EQ(TerrainGridSize(2000, 2000, 3000).nx, 1025);
  EXPECT_EQ(TerrainGridSize(2000, 2000, 3000).nz, 1025);
  // 100 x 100 with 3 vertices: c = 0.2 is raised to 0.4.
  EXPECT_EQ(TerrainGridSize(100, 100, 3).nx, 41);
  // Oblong terrains keep their shape: 40 x 10 with 12 vertices, c = 4.
  EXPECT_EQ(TerrainGridSize(40, 10, 12).nx, 161);
  EXPECT_EQ(TerrainGridSize(40, 10, 12).nz, 41);
  // Half steps round to the even neighbour: 2.5 steps -> 2, 7.5 -> 8 (c = 5 for both).
  EXPECT_EQ(TerrainGridSize(0.5f, 100, 3000).nx, 3);
  EXPECT_EQ(TerrainGridSize(1.5f, 100, 3000).nx, 9);
}

TEST(TerrainGrid, SizesAndMemoryCounterOfBuiltTerrains) {
  TerrainMemory() = 0;
  TTerrainBuilder small;
  small.Rect(-5, -5, 5, 5, 1);  // 2 faces, 6 vertices after splitting
  const auto flat = small.Build();
  EXPECT_EQ(flat->VertexCount(), 6);
  EXPECT_EQ(flat->NodeCountX(), 41);
  EXPECT_EQ(flat->NodeCountZ(), 41);
  EXPECT_FLOAT_EQ(flat->NodesPerUnitX(), 4.0f);
  EXPECT_DOUBLE_EQ(TerrainMemory(), 13.1328125);

  // 2,000 x 2,000 with 3,000 vertices: one triangle spanning the square and 999 slivers.
  TTerrainBuilder big;
  big.Triangle({0, 0, 0}, {2000, 0, 0}, {0, 0, 2000});
  big.Triangle({2000, 0, 2000}, {1999, 0, 2000}, {2000, 0, 1999});
  for (int k = 2; k < 1000; ++k) big.Triangle({1, 0, 1}, {2, 0, 1}, {1, 0, 2});
  const auto large = big.Build();
  EXPECT_EQ(large->VertexCount(), 3000);
  EXPECT_EQ(large->NodeCountX(), 1025);
  EXPECT_DOUBLE_EQ(TerrainMemory(), 13.1328125 + 8208.0078125);

  TTerrainBuilder lone;
  lone.Triangle({0, 0, 0}, {100, 0, 0}, {0, 0, 100});
  EXPECT_EQ(lone.Build()->NodeCountX(), 41);
  // Destruction gives nothing back: the counter reports what the level load built.
  EXPECT_DOUBLE_EQ(TerrainMemory(), 13.1328125 + 8208.0078125 + 13.1328125);
}

TEST(TerrainGrid, MeshesWithoutExtentAreRefusedByName) {
  TTerrainBuilder wall("terWall");  // stands in x-y: no depth in z
  wall.Triangle({0, 0, 0}, {4, 0, 0}, {0, 3, 0});
  try {
    wall.Build();
    FAIL() << "a terrain without depth was accepted";
  } catch (const std::invalid_argument& e) {
    EXPECT_NE(std::string(e.what()).find("terWall"), std::string::npos) << e.what();
  }
  TTerrainBuilder two("terTiny");  // under three vertices: an empty mesh with an all-zero box
  two.Vertex({0, 0, 0});
  two.Vertex({1, 0, 1});
  EXPECT_THROW(two.Build(), std::invalid_argument);
  // A damaged file's NaN corner: refused, or built without that triangle - never a wild grid
  // index (the sanitizer build watches this one).
  TTerrainBuilder broken("terNaN");
  broken.Rect(0, 0, 10, 10, 0);
  broken.Triangle({1, 0, 1}, {NAN, 0, 2}, {3, 4, 9});
  try {
    const auto t = broken.Build();
    EXPECT_FLOAT_EQ(t->SurfacePoint(2, 2, 5, 5).y, 0);
  } catch (const std::invalid_argument&) {
  }
  // A strip far thinner than one node spacing but very long would escape the node cap.
  TTerrainBuilder strip("terStrip");
  strip.Triangle({0, 0, 0}, {5e7f, 0, 0}, {0, 0, 0.001f});
  EXPECT_THROW(strip.Build(), std::invalid_argument);
}

TEST(TerrainQuery, ExactHeightsOnASlope) {
  auto y = [](float x, float z) { return 0.3f * x + 0.1f * z - 4; };
  TTerrainBuilder b;
  b.Triangle({0, y(0, 0), 0}, {20, y(20, 0), 0}, {20, y(20, 10), 10});
  b.Triangle({0, y(0, 0), 0}, {20, y(20, 10), 10}, {0, y(0, 10), 10});
  const auto t = b.Build();
  for (float x : {0.5f, 7.3f, 13.13f, 19.2f})
    for (float z : {0.4f, 5.0f, 9.9f}) {
      const TVector s = t->SurfacePoint(x, z, 1, 1);
      EXPECT_EQ(s.x, x);
      EXPECT_EQ(s.z, z);
      EXPECT_NEAR(s.y, y(x, z), 1e-4) << x << "," << z;
    }
}

TEST(TerrainQuery, BoxEdgesFailAndNearEdgeQueriesAreClamped) {
  TTerrainBuilder b;
  b.Rect(0, 0, 10, 10, 2);
  const auto t = b.Build();
  EXPECT_TRUE(IsFailure(t->SurfacePoint(0, 5, 5, 5)));   // exactly on minX
  EXPECT_TRUE(IsFailure(t->SurfacePoint(10, 5, 5, 5)));  // exactly on maxX
  EXPECT_TRUE(IsFailure(t->SurfacePoint(5, 0, 5, 5)));
  EXPECT_TRUE(IsFailure(t->SurfacePoint(-3, 5, 5, 5)));
  EXPECT_TRUE(IsFailure(t->SurfacePoint(NAN, 5, 5, 5)));

  const TVector low = t->SurfacePoint(0.005f, 5, 5, 5);
  EXPECT_FLOAT_EQ(low.x, 0.01f);  // moved 0.01 inside: not the query's x any more
  EXPECT_NE(low.x, 0.005f);
  EXPECT_FLOAT_EQ(low.y, 2);
  EXPECT_EQ(low.z, 5);
  const TVector high = t->SurfacePoint(5, 9.999f, 5, 5);
  EXPECT_FLOAT_EQ(high.z, 9.99f);
  EXPECT_FLOAT_EQ(high.y, 2);
  const TVector inside = t->SurfacePoint(0.02f, 9.98f, 5, 5);  // clamping changes nothing
  EXPECT_EQ(inside.x, 0.02f);
  EXPECT_EQ(inside.z, 9.98f);
}

TEST(TerrainQuery, HighestOverlappingTriangleWinsInEitherOrder) {
  for (bool highFirst : {false, true}) {
    TTerrainBuilder b;
    b.Rect(0, 0, 10, 10, highFirst ? 3.0f : 1.0f);
    b.Rect(0, 0, 10, 10, highFirst ? 1.0f : 3.0f);
    const auto t = b.Build();
    for (float x : {0.3f, 4.4f, 9.6f})
      EXPECT_FLOAT_EQ(t->SurfacePoint(x, 6.1f, 1, 1).y, 3.0f) << "high first: " << highFirst;
  }
  // Equal heights: the earlier face group keeps the node.
  TTerrainBuilder b;
  b.Rect(0, 0, 10, 10, 1);
  b.Rect(0, 0, 10, 10, 1);
  b.Group({2, 3});
  b.Group({0, 1});
  const auto t = b.Build();
  for (int i = 0; i < t->NodeCountX(); i += 7)
    for (int j = 0; j < t->NodeCountZ(); j += 7) EXPECT_EQ(t->GetNode(i, j).group, 0);
}

// The grid by its definition: each node holds the highest face covering it, the earlier at equal
// heights. Random overlapping meshes, each with a standing face (0, 1, 2).
TEST(TerrainGrid, EveryNodeHoldsTheHighestFaceCoveringIt) {
  std::mt19937 random(1);
  std::uniform_real_distribution<float> across(-50, 50);
  for (int mesh = 0; mesh < 40; ++mesh) {
    TMesh3DS m;
    m.name = "terRandom";
    for (int v = 0; v < 12; ++v) m.vertices.push_back({across(random), across(random), v * 0.3f});
    m.vertices[1] = {m.vertices[0].x, m.vertices[0].y, 9};
    m.faces = {{0, 1, 2, 0}};
    for (int f = 0; f < 30; ++f)
      m.faces.push_back({uint16_t(random() % 12), uint16_t(f % 12), 5, 0});
    m.smoothing.assign(m.faces.size(), 1);
    const TTerrainObject t(TMaterialLookup{}, rlRelease3, m);
    for (int i = 0; i < t.NodeCountX(); ++i)
      for (int j = 0; j < t.NodeCountZ(); ++j) {
        const TVector n = t.NodePosition(i, j);
        int best = -1;
        float top = 0;
        for (int f = 0; f < t.GroupFaceCount(0); ++f) {
          const auto [a, b, c] = t.TriangleAt(0, f);
          const float h = PlaneHeight(a, b, c, n.x, n.z);
          if (PointInTriangleXZ(a, b, c, n) && (best < 0 || h > top)) best = f, top = h;
        }
        ASSERT_EQ(t.GetNode(i, j).face, best) << "mesh " << mesh << " node " << i << ", " << j;
      }
  }
}

TEST(TerrainQuery, HoleFallsBackToTheBestTriangleNearTheFallbackAtItsNode) {
  // Two strips, [0,4] and [6,10] in x, with a hole between; the left strip slopes (y = x).
  TTerrainBuilder b;
  b.Triangle({0, 0, 0}, {4, 4, 0}, {4, 4, 10});
  b.Triangle({0, 0, 0}, {4, 4, 10}, {0, 0, 10});
  b.Rect(6, 0, 10, 10, 9);
  const auto t = b.Build();
  ASSERT_EQ(t->NodeCountX(), 51);  // 12 vertices: density 5, spacing 0.2
  const TVector s = t->SurfacePoint(5, 5, 3.5f, 5);
  ASSERT_FALSE(IsFailure(s));
  EXPECT_NE(s.x, 5.0f);  // answered at a grid node, so the caller sees it is not straight below
  EXPECT_GE(s.x, 3.2f - 1e-4);
  EXPECT_LE(s.x, 3.8f + 1e-4);
  EXPECT_NEAR(s.x / 0.2f, std::round(s.x / 0.2f), 1e-3);  // on the node raster
  EXPECT_NEAR(s.z / 0.2f, std::round(s.z / 0.2f), 1e-3);
  EXPECT_NEAR(s.y, s.x, 1e-4);  // the plane's height at the node, not at the query

  // Fallback on the right strip: its flat height.
  EXPECT_FLOAT_EQ(t->SurfacePoint(5, 5, 6.5f, 5).y, 9);
  // Fallback over the hole too, or outside the inner box: nothing found.
  EXPECT_TRUE(IsFailure(t->SurfacePoint(5, 5, 5, 5)));
  EXPECT_TRUE(IsFailure(t->SurfacePoint(5, 5, 0.005f, 5)));
}

TEST(TerrainQuery, JustOutsideAnEdgeAnswersFromThePlaneAtTheQuery) {
  // A single triangle: its hypotenuse cuts the box diagonally, leaving the far half empty.
  TTerrainBuilder b;
  b.Triangle({0, 0, 0}, {10, 5, 0}, {0, 0, 10});  // y = x / 2
  const auto t = b.Build();
  const TVector s = t->SurfacePoint(5.1f, 5.1f, 1, 1);
  EXPECT_EQ(s.x, 5.1f);
  EXPECT_NEAR(s.y, 2.55f, 1e-4);
  // Far in the empty half, near the fallback's triangle.
  const TVector far = t->SurfacePoint(9.5f, 9.5f, 1, 1);
  EXPECT_FALSE(IsFailure(far));
  EXPECT_NE(far.x, 9.5f);
}

TEST(TerrainQuery, FirstCloseEnoughNodeAnswersAtOnce) {
  // A flat half and a steep half (y = 10 (x - 5)) meeting at x = 5. The query (5.1, 5.1) lies on
  // the steep side, but its first surrounding node (5.0, 5.0) belongs to a flat triangle whose
  // closeness (0.54) is under 1.501, so that triangle's plane answers without looking further.
  TTerrainBuilder b;
  b.Rect(0, 0, 5, 10, 0);
  b.Triangle({5, 0, 0}, {10, 50, 0}, {10, 50, 10});
  b.Triangle({5, 0, 0}, {10, 50, 10}, {5, 0, 10});
  const auto t = b.Build();
  ASSERT_EQ(t->NodeCountX(), 51);
  EXPECT_FLOAT_EQ(t->SurfacePoint(5.1f, 5.1f, 1, 1).y, 0);
  EXPECT_NEAR(t->SurfacePoint(5.3f, 5.1f, 1, 1).y, 3, 1e-4);  // all four nodes on the steep side
}

TEST(TerrainQuery, VerticalWallNeverAnswersAndHiddenTerrainStillDoes) {
  TTerrainBuilder b;
  b.Rect(0, 0, 10, 10, 0);
  const int wall = b.Triangle({2, 0, 5}, {8, 0, 5}, {5, 50, 5});  // stands across z = 5
  b.mesh.hidden = true;
  const auto t = b.Build();
  EXPECT_FALSE(t->Visible);
  for (int i = 0; i < t->NodeCountX(); ++i)
    for (int j = 0; j < t->NodeCountZ(); ++j) ASSERT_NE(t->GetNode(i, j).face, wall);
  EXPECT_FLOAT_EQ(t->SurfacePoint(5, 5, 1, 1).y, 0);
  EXPECT_FLOAT_EQ(t->SurfacePoint(5, 5.001f, 1, 1).y, 0);
}

TEST(TerrainClass, ClassReferenceBuildsATerrain) {
  TTerrainBuilder b;
  b.Rect(0, 0, 4, 4, 1);
  const auto& ref = TTerrainObject::Class();
  EXPECT_STREQ(ref.Name, "TTerrainObject");
  const std::unique_ptr<TSimple3dObject> object = ref.Create(TMaterialLookup{}, rlRelease3, b.mesh);
  const auto* terrain = dynamic_cast<const TTerrainObject*>(object.get());
  ASSERT_NE(terrain, nullptr);
  EXPECT_FLOAT_EQ(terrain->SurfacePoint(2, 2, 1, 1).y, 1);
}

}  // namespace
}  // namespace qv
