// The tree answers visibility from a flat copy of its nodes with a shortened box test; the nodes'
// own CollectVisible is the plain form of the same walk. Both must give the same lists in the same
// order and write the same sort keys to the same objects - also where box corners lie exactly on
// a plane, where the box test's "strictly inside" decides.

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "collision/BOPTree.h"
#include "scene/Frustum.h"
#include "tests/collision/BOPTestObjects.h"
#include "tests/support/TempDir.h"

namespace qv::test {
namespace {

constexpr float Unwritten = -12345.0f;  // a sort key no walk produces in these levels

struct TWalk {
  std::vector<const T3dObject*> opaque;
  std::vector<const T3dObject*> transparent;
  std::vector<float> keys;  // every object's SortKey afterwards, in set order
};

std::vector<const T3dObject*> Items(const T3dObjectList& list) {
  std::vector<const T3dObject*> items;
  for (int i = 0; i < list.Count(); ++i) items.push_back(list.Get(i));
  return items;
}

void ResetKeys(TObjectSet& set) {
  for (int i = 0; i < set.Size(); ++i) set[i].SortKey = Unwritten;
}

std::vector<float> Keys(TObjectSet& set) {
  std::vector<float> keys;
  for (int i = 0; i < set.Size(); ++i) keys.push_back(set[i].SortKey);
  return keys;
}

TWalk ByQuery(TBOPTree& tree, TObjectSet& set, const TFrustum& view) {
  ResetKeys(set);
  tree.QueryVisible(view);
  return {Items(tree.OpaqueResult()), Items(tree.TransparentResult()), Keys(set)};
}

TWalk ByNodes(const TBOPTree& tree, TObjectSet& set, const TFrustum& view) {
  ResetKeys(set);
  T3dObjectList opaque(TOwnership::Refers), transparent(TOwnership::Refers);
  tree.Root().CollectVisible(view, opaque, transparent);
  transparent.Sort();
  return {Items(opaque), Items(transparent), Keys(set)};
}

// Returns how many objects the query found, so callers can check the views saw something.
std::size_t ExpectSameWalk(TBOPTree& tree, TObjectSet& set, const TFrustum& view) {
  const TWalk nodes = ByNodes(tree, set, view);
  const TWalk query = ByQuery(tree, set, view);
  EXPECT_EQ(query.opaque, nodes.opaque);
  EXPECT_EQ(query.transparent, nodes.transparent);
  EXPECT_EQ(query.keys, nodes.keys);  // exact: the same float steps, the same objects written
  return query.opaque.size() + query.transparent.size();
}

TEST(BOPTreeVisibleWalk, MatchesTheNodeWalkOnRandomLevelsBuiltAndReloaded) {
  TempDir dir;
  std::size_t found = 0;
  for (const int n : {1, 2, 7, 300, 2000}) {
    SCOPED_TRACE("n=" + std::to_string(n));
    std::mt19937 random(n);
    std::uniform_real_distribution<float> place(-300, 300), size(0, 12), unit(0, 1), turn(0, 360);
    TObjectSet set;
    for (int i = 0; i < n; ++i) {
      const float x = place(random), y = place(random) / 20, z = place(random);
      // A few large ones keep the far-subtree skip from dropping whole regions.
      const float grow = unit(random) < 0.05f ? 8 : 1;
      set.Add("o", {x, x + grow * size(random), y, y + size(random), z, z + grow * size(random)},
              TKind::Plain, unit(random) < 0.2f);
    }
    auto tree = TBOPTree::Build(set.List(), TestKinds());
    tree->SaveToFile(dir.Path() / "bop");
    auto reloaded = TBOPTree::Load(set.List(), dir.Path() / "bop", TestKinds());
    for (int v = 0; v < 30; ++v) {
      const TFrustum view =
          CameraView({place(random), 5, place(random)}, turn(random), v % 3 ? 400 : 40);
      found += ExpectSameWalk(*tree, set, view);
      found += ExpectSameWalk(*reloaded, set, view);
    }
  }
  EXPECT_GT(found, 2000u);
}

// Whole-numbered cubes against axis-aligned planes: many corners lie exactly on a plane (outside,
// for the box test) and many boxes exactly fill the space up to one.
TEST(BOPTreeVisibleWalk, MatchesTheNodeWalkWhereCornersTouchThePlanes) {
  TObjectSet set;
  for (int x = -6; x <= 6; ++x)
    for (int z = -12; z <= 1; ++z) {
      const float fx = static_cast<float>(x), fz = static_cast<float>(z);
      set.Add("c", Cube(fx, 0, fz, (x + z) % 3 ? 0.5f : 1), TKind::Plain, (x * z) % 4 == 1);
      // Flat ones lying in the planes x = k + 0.5 and z = k + 0.5: all corners on a plane.
      set.Add("fx", {fx + 0.5f, fx + 0.5f, -0.5f, 0.5f, fz - 0.5f, fz + 0.5f});
      set.Add("fz", {fx - 0.5f, fx + 0.5f, -0.5f, 0.5f, fz + 0.5f, fz + 0.5f}, TKind::Plain, true);
    }
  auto tree = TBOPTree::Build(set.List(), TestKinds());
  std::size_t found = 0;
  for (const float half : {0.5f, 1.0f, 2.5f, 4.0f})
    for (const float depth : {1.0f, 3.5f, 8.0f, 11.0f}) {
      found += ExpectSameWalk(*tree, set, BoxFrustum(half, depth));
      // The same volume moved by whole units along each plane's normal.
      TFrustum shifted = BoxFrustum(half, depth);
      shifted[fpNear].d = -1.5f;
      shifted[fpRight].d = half + 1;
      shifted[fpLeft].d = half - 1;
      found += ExpectSameWalk(*tree, set, shifted);
    }
  EXPECT_GT(found, 100u);
}

// Coordinates or planes too large for the shortened test take the nodes' walk, with the same
// results; the tree must not lose the ordinary objects next to a huge one.
TEST(BOPTreeVisibleWalk, HugeValuesGiveTheSameResults) {
  TObjectSet set;
  set.Add("near", Cube(0, 0, -5, 1));
  set.Add("glass", Cube(3, 0, -6, 1), TKind::Plain, true);
  set.Add("huge", {-1e30f, 1e30f, -1, 1, -1e30f, -20});
  set.Add("far", Cube(0, 0, -50, 1));
  auto tree = TBOPTree::Build(set.List(), TestKinds());
  EXPECT_EQ(ExpectSameWalk(*tree, set, BoxFrustum(10, 100)), 4u);

  TObjectSet plain;
  plain.Add("near", Cube(0, 0, -5, 1));
  plain.Add("glass", Cube(3, 0, -6, 1), TKind::Plain, true);
  auto small = TBOPTree::Build(plain.List(), TestKinds());
  TFrustum wide = BoxFrustum(10, 100);
  wide[fpFar].d = 1e30f;
  EXPECT_EQ(ExpectSameWalk(*small, plain, wide), 2u);
  wide[fpFar].d = std::nanf("");
  EXPECT_EQ(ExpectSameWalk(*small, plain, wide), 0u);  // a plane that is not a number rejects all
}

}  // namespace
}  // namespace qv::test
