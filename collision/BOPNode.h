#pragma once
// TBOPNode: one node of the partition tree (see collision/BOPTree.h for the contract). A leaf holds
// one scene object; an inner node splits its objects along one axis and keeps the box around both
// halves. Nodes never change after the tree is made; the walks below allocate nothing except what
// the result lists grow by.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "scene/Geometry.h"

namespace qv {

class T3dObject;
class T3dObjectList;

// Which objects the terrain and collidee queries select. The tree asks nothing else about an
// object's class, so the check lives in exactly one place (BOPTree.cpp) and tests may pass their
// own.
struct TBOPKinds {
  bool (*IsTerrain)(const T3dObject& object) = nullptr;   // a TTerrainObject
  bool (*IsCollidee)(const T3dObject& object) = nullptr;  // a TCollideeObject
};

class TBOPNode {
 public:
  TBOPNode() = default;
  virtual ~TBOPNode() = default;
  TBOPNode(const TBOPNode&) = delete;
  TBOPNode& operator=(const TBOPNode&) = delete;

  virtual void GetBoundingBox(TBox& box) const = 0;
  // Appends the subtree in the tree file's pre-order form, one token per entry of `lines`.
  // `names` is the tree's name list: one entry per object of the list the tree was made from.
  virtual void SaveTo(const std::vector<std::string>& names,
                      std::vector<std::string>& lines) const = 0;
  // Readable form of the subtree, for tools and tests.
  virtual void Describe(std::string& text) const = 0;
  // Sum of the depths of all leaves below, this node being at `depth`. 64 bits: a lopsided tree
  // over many objects overflows 32.
  virtual std::int64_t SumDepth(std::int64_t depth) const = 0;
  // Appends visible objects: transparent ones to `transparent`, the rest to `opaque`.
  virtual void CollectVisible(const TFrustum& frustum, T3dObjectList& opaque,
                              T3dObjectList& transparent) const = 0;
  // Appends the terrain objects whose box covers the ground point (x, z), bounds inclusive.
  virtual void CollectTerrainAt(float x, float z, const TBOPKinds& kinds,
                                T3dObjectList& result) const = 0;
  // Appends the collidee objects whose box overlaps `box` (touching counts).
  virtual void CollectCollideesIn(const TBox& box, const TBOPKinds& kinds,
                                  T3dObjectList& result) const = 0;
  // The largest bounding-sphere radius below: what lets a walk drop a whole subtree whose objects
  // are all too far away to be drawn.
  virtual float LargestRadius() const = 0;
};

// True when every object inside `box` whose sphere radius is at most `radius` would be dropped by
// the visibility query's distance cut, so the whole subtree can be skipped. An object's key is
// the near plane's value at a point of its box plus a non-negative extent, so it is at least the
// plane's least value over the enclosing box; the cut needs key / (2 r) >= 90 (key > 0 for
// r = 0). The slack covers the float rounding of the key and of the division, so this never
// drops an object the leaf would keep. Inline: both visibility walks run it at every inner node.
inline bool SubtreeAllTooFar(const TBox& box, float radius, const TFrustum& frustum) {
  const TPlane& p = frustum[fpNear];
  const double least = p.a * double(p.a >= 0 ? box.minX : box.maxX) +
                       p.b * double(p.b >= 0 ? box.minY : box.maxY) +
                       p.c * double(p.c >= 0 ? box.minZ : box.maxZ) + p.d;
  const double scale = std::fabs(p.a) * std::max(std::fabs(box.minX), std::fabs(box.maxX)) +
                       std::fabs(p.b) * std::max(std::fabs(box.minY), std::fabs(box.maxY)) +
                       std::fabs(p.c) * std::max(std::fabs(box.minZ), std::fabs(box.maxZ)) +
                       std::fabs(p.d);
  return least - 1e-5 * (scale + 1) > 180.0 * double(radius) * (1 + 1e-5);
}

// Bounds inclusive on x and z; y is ignored (the ground point has no height).
inline bool BoxCoversXZ(const TBox& box, float x, float z) {
  return box.minX <= x && x <= box.maxX && box.minZ <= z && z <= box.maxZ;
}

// Each box's minimum is at most the other's maximum on every axis: touching counts.
inline bool BoxesOverlap(const TBox& a, const TBox& b) {
  return a.minX <= b.maxX && b.minX <= a.maxX && a.minY <= b.maxY && b.minY <= a.maxY &&
         a.minZ <= b.maxZ && b.minZ <= a.maxZ;
}

}  // namespace qv
