// For random sets of boxes: every object sits in exactly one leaf, every inner box encloses its
// children, a saved and reloaded tree is the same tree, and the three queries return exactly what
// a scan over all objects returns - the visibility query also in the same order, with the same
// keys, from views of every direction and width.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>

#include "collision/BOPTree.h"
#include "scene/Frustum.h"
#include "tests/collision/BOPTestObjects.h"
#include "tests/support/TempDir.h"

namespace qv::test {
namespace {

// Mostly scattered boxes, some stacked exactly on top of each other, some flat or of no size, so
// both the clean and the least-overlap splits run.
void RandomLevel(std::mt19937& random, int n, TObjectSet& set) {
  std::uniform_real_distribution<float> place(-200, 200), size(0, 20), unit(0, 1);
  std::uniform_int_distribution<int> kind(0, 2);
  for (int i = 0; i < n; ++i) {
    TBox box;
    if (i > 0 && unit(random) < 0.1f) {
      set[std::uniform_int_distribution<int>(0, i - 1)(random)].GetBoundingBox(box);
    } else {
      const float x = place(random), y = place(random) / 10, z = place(random);
      const float sx = unit(random) < 0.05f ? 0 : size(random);
      box = {x, x + sx, y, y + size(random) / 4, z, z + size(random)};
    }
    set.Add("o" + std::to_string(i % 7), box, static_cast<TKind>(kind(random)),
            unit(random) < 0.3f);
  }
}

TBox UnionOf(const TBox& a, const TBox& b) {
  return {std::min(a.minX, b.minX), std::max(a.maxX, b.maxX), std::min(a.minY, b.minY),
          std::max(a.maxY, b.maxY), std::min(a.minZ, b.minZ), std::max(a.maxZ, b.maxZ)};
}

void CheckBoxes(const TBOPNode& node) {
  const auto* between = dynamic_cast<const TBOPBetween*>(&node);
  if (!between) return;
  TBox box, first, second;
  node.GetBoundingBox(box);
  between->First().GetBoundingBox(first);
  between->Second().GetBoundingBox(second);
  EXPECT_EQ(box, UnionOf(first, second));
  CheckBoxes(between->First());
  CheckBoxes(between->Second());
}

std::vector<const T3dObject*> Sorted(const T3dObjectList& list) {
  std::vector<const T3dObject*> objects;
  for (int i = 0; i < list.Count(); ++i) objects.push_back(list.Get(i));
  std::sort(objects.begin(), objects.end());
  return objects;
}

TEST(BOPTreeProperty, TreeMatchesAScanOverAllObjects) {
  TempDir dir;
  std::size_t found[3] = {0, 0, 0};  // terrain, collidee, visible hits: the scan is not vacuous
  for (const int n : {1, 2, 3, 5, 17, 64, 400}) {
    for (unsigned seed = 1; seed <= 4; ++seed) {
      SCOPED_TRACE("n=" + std::to_string(n) + " seed=" + std::to_string(seed));
      std::mt19937 random(seed * 1000 + n);
      TObjectSet set;
      RandomLevel(random, n, set);
      auto tree = TBOPTree::Build(set.List(), TestKinds());

      std::vector<const TBOPLeaf*> leaves;
      CollectLeaves(tree->Root(), leaves);
      ASSERT_EQ(static_cast<int>(leaves.size()), n);
      std::map<const T3dObject*, int> seen;
      for (const TBOPLeaf* leaf : leaves) {
        ++seen[&leaf->Object()];
        EXPECT_EQ(set.List().Get(leaf->Index()), &leaf->Object());
      }
      EXPECT_EQ(static_cast<int>(seen.size()), n);
      CheckBoxes(tree->Root());

      tree->SaveToFile(dir.Path() / "bop");
      auto reloaded = TBOPTree::Load(set.List(), dir.Path() / "bop", TestKinds());
      EXPECT_EQ(reloaded->Describe(), tree->Describe());
      EXPECT_EQ(reloaded->AverageDepth(), tree->AverageDepth());

      std::uniform_real_distribution<float> place(-220, 220);
      std::uniform_int_distribution<int> pick(0, n - 1);
      for (int q = 0; q < 40; ++q) {
        // Ground points, every other one on a corner of some box.
        TBox at;
        set[pick(random)].GetBoundingBox(at);
        const float x = q % 2 ? at.maxX : place(random), z = q % 2 ? at.minZ : place(random);
        std::vector<const T3dObject*> terrain;
        for (int i = 0; i < n; ++i) {
          TBox b;
          set[i].GetBoundingBox(b);
          if (set[i].Kind() == TKind::Terrain && BoxCoversXZ(b, x, z)) terrain.push_back(&set[i]);
        }
        std::sort(terrain.begin(), terrain.end());
        EXPECT_EQ(Sorted(reloaded->QueryTerrainAt(x, z)), terrain);
        found[0] += terrain.size();

        // Collision boxes, every other one sharing a face with some box.
        const float cx = place(random), cz = place(random), half = q % 3 == 0 ? 40 : 5;
        const TBox query = q % 2 ? TBox{at.maxX, at.maxX + 3, at.minY, at.maxY, at.minZ, at.maxZ}
                                 : TBox{cx - half, cx + half, -30, 30, cz - half, cz + half};
        std::vector<const T3dObject*> collidees;
        for (int i = 0; i < n; ++i) {
          TBox b;
          set[i].GetBoundingBox(b);
          if (set[i].Kind() == TKind::Collidee && BoxesOverlap(b, query))
            collidees.push_back(&set[i]);
        }
        std::sort(collidees.begin(), collidees.end());
        EXPECT_EQ(Sorted(tree->QueryCollidees(query)), collidees);
        found[1] += collidees.size();

        // A view from somewhere in the level.
        const TFrustum view = CameraView({place(random), 5, place(random)}, place(random), 300);
        std::vector<const T3dObject*> opaque, transparent;
        for (int i = 0; i < n; ++i) {
          TBox b;
          set[i].GetBoundingBox(b);
          if (!BoxInFrustum(b, view)) continue;
          const float key = ViewDistance(view, set[i]);
          if (key / (2 * set[i].BoundingSphere.r) >= 90) continue;
          (set[i].Transparent ? transparent : opaque).push_back(&set[i]);
        }
        std::sort(opaque.begin(), opaque.end());
        std::sort(transparent.begin(), transparent.end());
        tree->QueryVisible(view);
        EXPECT_EQ(Sorted(tree->OpaqueResult()), opaque);
        EXPECT_EQ(Sorted(tree->TransparentResult()), transparent);
        found[2] += opaque.size() + transparent.size();
        // Ascending by the list's own sort, which leaves a list of two as it found it.
        const T3dObjectList& sortedTransparent = tree->TransparentResult();
        for (int i = 1; i < sortedTransparent.Count() && sortedTransparent.Count() > 2; ++i)
          EXPECT_LE(sortedTransparent.Get(i - 1)->SortKey, sortedTransparent.Get(i)->SortKey);
      }
    }
  }
  EXPECT_GT(found[0], 100u);
  EXPECT_GT(found[1], 100u);
  EXPECT_GT(found[2], 1000u);
}

// Frusta of any width, heading, tilt and reach, from inside the level and from outside it (where
// the whole level may be in view).
TFrustum AnyView(std::mt19937& random) {
  std::uniform_real_distribution<float> place(-500, 500), unit(0, 1);
  const float fov = 10 + 140 * unit(random), near = 0.5f, far = 20 + 3000 * unit(random);
  const float f = 1 / std::tan(fov / 2 * 3.14159265f / 180);
  TMatrix projection{};
  projection[0] = f / (0.5f + 2 * unit(random));
  projection[5] = f;
  projection[10] = (far + near) / (near - far);
  projection[11] = -1;
  projection[14] = 2 * far * near / (near - far);
  const float heading = 6.2831853f * unit(random), tilt = 3.1415926f * (unit(random) - 0.5f);
  TMatrix turn = IdentityMatrix(), lean = IdentityMatrix(), move = IdentityMatrix();
  turn[0] = turn[10] = std::cos(heading), turn[2] = -std::sin(heading), turn[8] = -turn[2];
  lean[5] = lean[10] = std::cos(tilt), lean[6] = std::sin(tilt), lean[9] = -lean[6];
  move[12] = -place(random), move[13] = -place(random) / 5, move[14] = -place(random);
  return ExtractFrustum(projection, MultiplyMatrix(lean, MultiplyMatrix(turn, move)));
}

TEST(BOPTreeProperty, VisibleIsAScanOfTheLeavesInTreeOrder) {
  constexpr float Unwritten = -12345.0f;
  std::size_t found = 0, cut = 0;
  for (const int n : {1, 9, 150, 1500}) {
    SCOPED_TRACE("n=" + std::to_string(n));
    std::mt19937 random(n);
    std::uniform_real_distribution<float> place(-300, 300), unit(0, 1);
    TObjectSet set;
    for (int i = 0; i < n; ++i) {  // sizes from specks to blocks, so the distance cut bites
      const float x = place(random), y = place(random) / 10, z = place(random);
      const float s = std::pow(10.0f, 3 * unit(random) - 1.7f);
      set.Add("o", {x, x + s * unit(random), y, y + s, z, z + s * unit(random)});
    }
    auto tree = TBOPTree::Build(set.List(), TestKinds());
    std::vector<const TBOPLeaf*> leaves;
    CollectLeaves(tree->Root(), leaves);
    for (int q = 0; q < 60; ++q) {
      // Transparency may change between queries: the query must read it again.
      for (int i = 0; i < n; ++i)
        if (unit(random) < 0.1f) set[i].Transparent = !set[i].Transparent;
      const TFrustum view = AnyView(random);
      std::vector<T3dObject*> opaque;
      T3dObjectList transparent(TOwnership::Refers);
      std::map<T3dObject*, float> keys;
      for (const TBOPLeaf* leaf : leaves) {
        T3dObject& object = leaf->Object();
        TBox box;
        object.GetBoundingBox(box);
        if (!BoxInFrustum(box, view)) continue;
        const float key = ViewDistance(view, object), diameter = 2 * object.BoundingSphere.r;
        if (diameter > 0 ? key / diameter >= 90 : key > 0) {
          ++cut;
          continue;
        }
        keys[&object] = key;
        if (object.Transparent)
          transparent.Add(&object);
        else
          opaque.push_back(&object);
      }
      for (int i = 0; i < n; ++i) set[i].SortKey = Unwritten;
      tree->QueryVisible(view);
      std::vector<T3dObject*> gotOpaque;
      for (int i = 0; i < tree->OpaqueResult().Count(); ++i)
        gotOpaque.push_back(tree->OpaqueResult().Get(i));
      EXPECT_EQ(gotOpaque, opaque);
      for (int i = 0; i < n; ++i) {
        const auto it = keys.find(&set[i]);
        EXPECT_EQ(set[i].SortKey, it == keys.end() ? Unwritten : it->second);
      }
      transparent.Sort();  // with the keys just compared
      ASSERT_EQ(tree->TransparentResult().Count(), transparent.Count());
      for (int i = 0; i < transparent.Count(); ++i)
        EXPECT_EQ(tree->TransparentResult().Get(i), transparent.Get(i));
      found += keys.size();
    }
  }
  EXPECT_GT(found, 5000u);
  EXPECT_GT(cut, 1000u);
}

}  // namespace
}  // namespace qv::test
