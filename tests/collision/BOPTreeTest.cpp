// Partition-tree building and queries, on stand-in box objects.

#include "collision/BOPTree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "collision/BOPAxisNodes.h"
#include "platform/EGL.h"
#include "tests/collision/BOPTestObjects.h"
#include "tests/support/ScopedLog.h"

namespace qv::test {
namespace {

// A box spanning [x0, x1] on x, [y0, y1] on y, [z0, z1] on z.
TBox B(float x0, float x1, float y0, float y1, float z0, float z1) {
  return {x0, x1, y0, y1, z0, z1};
}

char RootAxis(const TBOPTree& tree) {
  const TBOPNode& root = tree.Root();
  if (dynamic_cast<const TBOPXNode*>(&root)) return 'X';
  if (dynamic_cast<const TBOPYNode*>(&root)) return 'Y';
  if (dynamic_cast<const TBOPZNode*>(&root)) return 'Z';
  return 'L';
}

std::vector<std::string> FirstLeaves(const TBOPTree& tree) {
  return LeafNames(dynamic_cast<const TBOPBetween&>(tree.Root()).First());
}

TEST(BOPTreeBuild, SingleObjectIsOneLeafAndLogsItsDepths) {
  ScopedLog scopedLog;
  TObjectSet set;
  set.Add("only", Cube(0, 0, 0, 1));
  auto tree = TBOPTree::Build(set.List(), TestKinds());
  EXPECT_EQ(RootAxis(*tree), 'L');
  EXPECT_EQ(tree->AverageDepth(), 0.0);
  EXPECT_EQ(tree->Describe(), "only");
  EXPECT_EQ(tree->Origin(), TBOPOrigin::Built);

  const std::vector<std::string> log = scopedLog.Messages();
  ASSERT_GE(log.size(), 2u);
  const std::string& created = log[log.size() - 2];
  ASSERT_EQ(created.rfind("create time:", 0), 0u) << created;
  EXPECT_EQ(created.substr(created.size() - 5), " tree");
  EXPECT_EQ(log.back().rfind("avg depth:0 ideal:0", 0), 0u) << log.back();
}

TEST(BOPTreeBuild, EmptyListFailsClearly) {
  T3dObjectList none(TOwnership::Refers);
  try {
    TBOPTree::Build(none, TestKinds());
    FAIL() << "built a tree over nothing";
  } catch (const EGL& error) {
    EXPECT_NE(std::string(error.what()).find("no objects"), std::string::npos);
  }
}

TEST(BOPTreeBuild, TwoObjectsSplitWhereTheirGapIsSmallestInInputOrder) {
  // Every axis goes through the least-overlap path; z has the smallest |max of first - min of
  // second| either way round, and the first input object is always the first child even when its
  // keys are larger.
  TObjectSet ab;
  ab.Add("a", B(0, 1, 0, 10, 0, 1));
  ab.Add("b", B(5, 6, 0, 10, 1.5f, 2));
  // x: |1 - 5| = 4, y: 10, z: |1 - 1.5| = 0.5; the signed overlaps would pick x.
  EXPECT_EQ(TBOPTree::Build(ab.List(), TestKinds())->Describe(), "Z{s:a,b:b}\r\n");

  TObjectSet ba;
  ba.Add("b", B(5, 6, 0, 10, 1.5f, 2));
  ba.Add("a", B(0, 1, 0, 10, 0, 1));
  // x: |6 - 0| = 6, y: 10, z: |2 - 0| = 2.
  EXPECT_EQ(TBOPTree::Build(ba.List(), TestKinds())->Describe(), "Z{s:b,b:a}\r\n");
}

TEST(BOPTreeBuild, TouchingObjectsSplitCleanlyButOverlappingOnesDoNot) {
  TObjectSet touching;
  for (int i = 0; i < 4; ++i)
    touching.Add(std::string(1, static_cast<char>('a' + i)), B(i, i + 1, 0, 1, 0, 1));
  auto tree = TBOPTree::Build(touching.List(), TestKinds());
  EXPECT_EQ(tree->Describe(), "X{s:X{s:X{s:a,b:b}\r\n,b:c}\r\n,b:d}\r\n");
  EXPECT_DOUBLE_EQ(tree->AverageDepth(), (3 + 3 + 2 + 1) / 4.0);

  // d reaching back into c by a hair: the middle split is no longer clean, the next one down is.
  TObjectSet overlapping;
  for (int i = 0; i < 3; ++i)
    overlapping.Add(std::string(1, static_cast<char>('a' + i)), B(i, i + 1, 0, 1, 0, 1));
  overlapping.Add("d", B(2.999f, 4, 0, 1, 0, 1));
  EXPECT_EQ(FirstLeaves(*TBOPTree::Build(overlapping.List(), TestKinds())),
            (std::vector<std::string>{"a", "b"}));
}

TEST(BOPTreeBuild, CleanSplitClosestToTheMiddleWinsAndTiesGoLow) {
  // Six objects on x (middle m = 3). Clean at 2 and 4, not at 3: the lower one.
  TObjectSet tie;
  tie.Add("a", B(0, 1, 0, 1, 0, 1));
  tie.Add("b", B(1, 2, 0, 1, 0, 1));
  tie.Add("c", B(2, 3, 0, 1, 0, 1));
  tie.Add("d", B(3, 4.5f, 0, 1, 0, 1));
  tie.Add("e", B(4, 5, 0, 1, 0, 1));
  tie.Add("f", B(5, 6, 0, 1, 0, 1));
  auto tree = TBOPTree::Build(tie.List(), TestKinds());
  EXPECT_EQ(RootAxis(*tree), 'X');
  EXPECT_EQ(FirstLeaves(*tree), (std::vector<std::string>{"a", "b", "c"}));

  // Clean at 1 and 4 only: the downward search finds 1 first, the upward one finds 4, closer.
  TObjectSet closer;
  closer.Add("a", B(0, 1, 0, 1, 0, 1));
  closer.Add("b", B(1, 2, 0, 1, 0, 1));
  closer.Add("c", B(2, 3.5f, 0, 1, 0, 1));
  closer.Add("d", B(3, 4.6f, 0, 1, 0, 1));
  closer.Add("e", B(4, 5, 0, 1, 0, 1));
  closer.Add("f", B(5, 6, 0, 1, 0, 1));
  EXPECT_EQ(FirstLeaves(*TBOPTree::Build(closer.List(), TestKinds())),
            (std::vector<std::string>{"a", "b", "c", "d", "e"}));
}

TEST(BOPTreeBuild, AxisWithSplitNearestTheMiddleWinsAndXBeatsYOnATie) {
  // Unit cubes on the x-y diagonal: both x and y split cleanly in the middle.
  TObjectSet diagonal;
  for (int i = 0; i < 4; ++i)
    diagonal.Add(std::string(1, static_cast<char>('a' + i)), B(i, i + 1, i, i + 1, 0, 1));
  EXPECT_EQ(RootAxis(*TBOPTree::Build(diagonal.List(), TestKinds())), 'X');

  // c reaching into d on x only: x's clean split moves one below the middle, y's stays.
  TObjectSet yCloser;
  for (int i = 0; i < 4; ++i)
    yCloser.Add(std::string(1, static_cast<char>('a' + i)),
                B(i, i == 2 ? 3.5f : i + 1, i, i + 1, 0, 1));
  auto tree = TBOPTree::Build(yCloser.List(), TestKinds());
  EXPECT_EQ(RootAxis(*tree), 'Y');
  EXPECT_EQ(FirstLeaves(*tree), (std::vector<std::string>{"a", "b", "c"}));
}

TEST(BOPTreeBuild, WithoutCleanSplitTheLeastOverlapWins) {
  // Eight overlapping objects (q = 2, candidates 2..4). On x the overlap is 1 at 2, 0.5 at 3 and
  // 1.4 at 4; on y and z every object spans the same 0..10, overlap 10.
  TObjectSet set;
  for (int i = 0; i < 8; ++i) {
    const TBox box = i == 4 ? B(4.5f, 6.4f, 0, 10, 0, 10) : B(i, i + 2, 0, 10, 0, 10);
    set.Add(std::string(1, static_cast<char>('a' + i)), box);
  }
  auto tree = TBOPTree::Build(set.List(), TestKinds());
  EXPECT_EQ(RootAxis(*tree), 'X');
  EXPECT_EQ(FirstLeaves(*tree), (std::vector<std::string>{"a", "b", "c", "d"}));

  // Equal overlaps everywhere: the first candidate (q) stays.
  TObjectSet even;
  for (int i = 0; i < 8; ++i)
    even.Add(std::string(1, static_cast<char>('a' + i)), B(i, i + 2, 0, 10, 0, 10));
  EXPECT_EQ(FirstLeaves(*TBOPTree::Build(even.List(), TestKinds())),
            (std::vector<std::string>{"a", "b", "c"}));
}

// --- queries ------------------------------------------------------------------------------------

TEST(BOPTreeVisible, BoxTestAtLeavesSortsTransparentAndKeepsTreeOrderForOpaque) {
  TObjectSet set;
  set.Add("near", Cube(0, 0, -5, 1), TKind::Plain, true);
  set.Add("behind", Cube(0, 0, 5, 1));
  set.Add("far", Cube(3, 0, -40, 1), TKind::Plain, true);
  set.Add("mid", Cube(-3, 0, -20, 1), TKind::Plain, true);
  set.Add("opaque1", Cube(-6, 0, -10, 1));
  set.Add("opaque2", Cube(6, 0, -10, 1));
  set.Add("aside", Cube(40, 0, -10, 1));
  // A sphere inside the view around a box outside it: the tree tests the box even though the
  // object says its sphere is tighter.
  TBoxObject& ball = set.Add("ball", Cube(0, 14, -10, 1));
  ball.BoundingSphere = {0, 0, -10, 20};
  ball.BoxTighter = false;
  auto tree = TBOPTree::Build(set.List(), TestKinds());

  tree->QueryVisible(BoxFrustum(10, 100));
  EXPECT_EQ(Names(tree->TransparentResult()), (std::vector<std::string>{"near", "mid", "far"}));
  EXPECT_FLOAT_EQ(set[0].SortKey, 6);  // depth 5 plus half the side
  std::vector<std::string> opaqueInTreeOrder;
  for (const std::string& name : LeafNames(tree->Root()))
    if (name == "opaque1" || name == "opaque2") opaqueInTreeOrder.push_back(name);
  EXPECT_EQ(Names(tree->OpaqueResult()), opaqueInTreeOrder);
}

TEST(BOPTreeVisible, UnchangedFrustumLeavesResultsUntouched) {
  TObjectSet set;
  set.Add("a", Cube(0, 0, -5, 1));
  TBoxObject& moving = set.Add("b", Cube(2, 0, -5, 1));
  auto tree = TBOPTree::Build(set.List(), TestKinds());
  const TFrustum view = BoxFrustum(10, 100);
  tree->QueryVisible(view);
  const T3dObjectList& opaque = tree->OpaqueResult();
  ASSERT_EQ(opaque.Count(), 2);

  // The object turns transparent, but the same frustum does not walk again.
  moving.Transparent = true;
  moving.SortKey = -7;
  tree->QueryVisible(view);
  EXPECT_EQ(&tree->OpaqueResult(), &opaque);
  EXPECT_EQ(opaque.Count(), 2);
  EXPECT_EQ(tree->TransparentResult().Count(), 0);
  EXPECT_EQ(moving.SortKey, -7);

  // Any change of any plane does.
  TFrustum moved = view;
  moved[fpFar].d = 100.5f;
  tree->QueryVisible(moved);
  EXPECT_EQ(Names(opaque), (std::vector<std::string>{"a"}));
  EXPECT_EQ(Names(tree->TransparentResult()), (std::vector<std::string>{"b"}));

  // The all-zero frustum equals the initial cache: a fresh tree answers it with nothing.
  auto fresh = TBOPTree::Build(set.List(), TestKinds());
  fresh->QueryVisible(TFrustum{});
  EXPECT_EQ(fresh->OpaqueResult().Count(), 0);
}

TEST(BOPTreeVisible, ObjectsNinetyDiametersAwayAreCut) {
  // Sphere-bound objects of radius 1: the key is depth + 1, cut from 180 (90 diameters) on.
  TObjectSet set;
  for (float depth : {178.5f, 179.0f, 250.0f}) {
    TBoxObject& object =
        set.Add(std::to_string(static_cast<int>(depth * 10)), Cube(0, 0, -depth, 0.5f));
    object.BoundingSphere = {0, 0, -depth, 1};
    object.BoxTighter = false;
  }
  auto tree = TBOPTree::Build(set.List(), TestKinds());
  set[1].SortKey = -1;
  tree->QueryVisible(BoxFrustum(10, 1000));
  EXPECT_EQ(Names(tree->OpaqueResult()), (std::vector<std::string>{"1785"}));
  EXPECT_FLOAT_EQ(set[0].SortKey, 179.5f);
  EXPECT_EQ(set[1].SortKey, -1);  // visible by its box, then cut by distance: no key this frame
}

int terrainTests = 0;  // calls of the counting kind test below

TEST(BOPTreeVisible, FarSubtreesAreDroppedOnlyWhenNothingInThemIsBigEnough) {
  // A far cluster of specks, one large object among them: the walk may skip groups of specks but
  // never the group holding the large one.
  TObjectSet set;
  std::mt19937 random(4);
  std::uniform_real_distribution<float> spread(-40, 40);
  for (int i = 0; i < 60; ++i)
    set.Add("speck", Cube(spread(random), spread(random) / 8, -500 + spread(random), 0.1f));
  set.Add("tower", Cube(10, 0, -500, 4));  // diameter ~13.9: 90 of them reach ~1250
  set.Add("near speck", Cube(0, 0, -3, 0.1f));
  auto tree = TBOPTree::Build(set.List(), TestKinds());
  tree->QueryVisible(BoxFrustum(100, 1000));
  std::vector<std::string> names = Names(tree->OpaqueResult());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"near speck", "tower"}));
}

TEST(BOPTreeTerrain, BordersAreInclusiveAndOnlyTerrainIsFound) {
  TObjectSet set;
  set.Add("ground", B(0, 10, -1, 0, 0, 10), TKind::Terrain);
  set.Add("hill", B(10, 20, 0, 5, 0, 10), TKind::Terrain);
  set.Add("rock", B(0, 10, 0, 1, 0, 10));
  set.Add("wall", B(0, 10, 0, 3, 0, 10), TKind::Collidee);
  TBOPKinds counting = TestKinds();
  counting.IsTerrain = [](const T3dObject& object) {
    ++terrainTests;
    return static_cast<const TBoxObject&>(object).Kind() == TKind::Terrain;
  };
  auto tree = TBOPTree::Build(set.List(), counting);

  auto found = [&](float x, float z) {
    std::vector<std::string> names = Names(tree->QueryTerrainAt(x, z));
    std::sort(names.begin(), names.end());
    return names;
  };
  EXPECT_EQ(found(5, 5), (std::vector<std::string>{"ground"}));
  EXPECT_EQ(found(10, 10), (std::vector<std::string>{"ground", "hill"}));  // shared corner
  EXPECT_EQ(found(0, 0), (std::vector<std::string>{"ground"}));
  EXPECT_TRUE(found(20.001f, 5).empty());
  EXPECT_TRUE(found(5, -0.001f).empty());

  // The same point again answers from the cache without looking at any object.
  EXPECT_EQ(found(15, 5), (std::vector<std::string>{"hill"}));
  const int tests = terrainTests;
  EXPECT_EQ(found(15, 5), (std::vector<std::string>{"hill"}));
  EXPECT_EQ(terrainTests, tests);
  found(15, 5.5f);
  EXPECT_GT(terrainTests, tests);
}

TEST(BOPTreeCollidees, FirstAllZeroQueryIsEmptyAndTouchingCounts) {
  TObjectSet set;
  set.Add("pillar", B(-1, 1, -1, 1, -1, 1), TKind::Collidee);
  set.Add("floor", B(-10, 10, -2, -1, -10, 10), TKind::Terrain);
  set.Add("crate", B(5, 6, -1, 0, 5, 6), TKind::Collidee);
  auto tree = TBOPTree::Build(set.List(), TestKinds());

  // The all-zero box lies inside the pillar, but it equals the initial cache: no walk.
  EXPECT_EQ(tree->QueryCollidees(TBox{}).Count(), 0);
  std::vector<std::string> touching = Names(tree->QueryCollidees(B(1, 5, 0, 0.5f, 1, 5)));
  std::sort(touching.begin(), touching.end());
  EXPECT_EQ(touching, (std::vector<std::string>{"crate", "pillar"}));
  EXPECT_TRUE(Names(tree->QueryCollidees(B(1.01f, 4.99f, 0, 0.5f, 1.01f, 4.99f))).empty());
  // Now the all-zero box is a new input and walks.
  EXPECT_EQ(Names(tree->QueryCollidees(TBox{})), (std::vector<std::string>{"pillar"}));
}

}  // namespace
}  // namespace qv::test
