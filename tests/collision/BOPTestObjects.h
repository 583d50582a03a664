#pragma once
// Stand-in scene objects for the partition-tree tests: a named box with a chosen kind, whose
// sphere is the box's circumsphere unless a test sets one, and helpers to read a tree's shape.

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "collision/BOPBetween.h"
#include "collision/BOPLeaf.h"
#include "collision/BOPNode.h"
#include "scene/3dObject.h"
#include "scene/3dObjectList.h"
#include "scene/Frustum.h"
#include "scene/Geometry.h"
#include "tests/support/BoundsObject.h"

namespace qv::test {

// The game camera's frustum (45 degrees, 4:3, near 0.5, far `far`) at `eye`, turned by `heading`
// degrees about y.
inline TFrustum CameraView(const TVector& eye, float heading, float far) {
  const float f = 1 / std::tan(22.5f * 3.14159265f / 180), n = 0.5f;
  TMatrix projection{};
  projection[0] = f / (4.0f / 3);
  projection[5] = f;
  projection[10] = (far + n) / (n - far);
  projection[11] = -1;
  projection[14] = 2 * far * n / (n - far);
  const float c = std::cos(-heading * 3.14159265f / 180),
              s = std::sin(-heading * 3.14159265f / 180);
  TMatrix rotation = IdentityMatrix();
  rotation[0] = c, rotation[2] = -s, rotation[8] = s, rotation[10] = c;
  TMatrix translation = IdentityMatrix();
  translation[12] = -eye.x, translation[13] = -eye.y, translation[14] = -eye.z;
  return ExtractFrustum(projection, MultiplyMatrix(rotation, translation));
}

enum class TKind { Plain, Terrain, Collidee };

// A named level object of a kind, with the bounds a mesh of that box would have.
class TBoxObject : public TBoundsObject {
 public:
  TBoxObject(std::string name, const TBox& box, TKind kind = TKind::Plain, bool transparent = false)
      : TBoundsObject(box), name_(std::move(name)), kind_(kind) {
    Transparent = transparent;
  }

  void GetName(std::string& name) const override { name = name_; }

  TKind Kind() const { return kind_; }

 private:
  std::string name_;
  TKind kind_;
};

inline TBOPKinds TestKinds() {
  return {
      [](const T3dObject& o) { return static_cast<const TBoxObject&>(o).Kind() == TKind::Terrain; },
      [](const T3dObject& o) {
        return static_cast<const TBoxObject&>(o).Kind() == TKind::Collidee;
      }};
}

// Owns the objects; List() refers to them in creation order.
class TObjectSet {
 public:
  TBoxObject& Add(std::string name, const TBox& box, TKind kind = TKind::Plain,
                  bool transparent = false) {
    objects_.push_back(std::make_unique<TBoxObject>(std::move(name), box, kind, transparent));
    list_.Add(objects_.back().get());
    return *objects_.back();
  }
  const T3dObjectList& List() const { return list_; }
  TBoxObject& operator[](int i) { return *objects_[i]; }
  int Size() const { return static_cast<int>(objects_.size()); }

 private:
  std::vector<std::unique_ptr<TBoxObject>> objects_;
  T3dObjectList list_{TOwnership::Refers};
};

// Leaves below `node`, left to right.
inline void CollectLeaves(const TBOPNode& node, std::vector<const TBOPLeaf*>& leaves) {
  if (auto leaf = dynamic_cast<const TBOPLeaf*>(&node)) {
    leaves.push_back(leaf);
    return;
  }
  const auto& between = dynamic_cast<const TBOPBetween&>(node);
  CollectLeaves(between.First(), leaves);
  CollectLeaves(between.Second(), leaves);
}

inline std::vector<std::string> LeafNames(const TBOPNode& node) {
  std::vector<const TBOPLeaf*> leaves;
  CollectLeaves(node, leaves);
  std::vector<std::string> names;
  for (const TBOPLeaf* leaf : leaves) {
    std::string name;
    leaf->Object().GetName(name);
    names.push_back(name);
  }
  return names;
}

inline std::vector<std::string> Names(const T3dObjectList& list) {
  std::vector<std::string> names;
  for (int i = 0; i < list.Count(); ++i) {
    std::string name;
    list.Get(i)->GetName(name);
    names.push_back(name);
  }
  return names;
}

// A box-shaped view: |x| < half, |y| < half, -depth < z < 0, looking along -z; the near plane is
// z = 0, so an object's view distance is its depth.
inline TFrustum BoxFrustum(float half, float depth) {
  return {TPlane{-1, 0, 0, half}, TPlane{1, 0, 0, half},  TPlane{0, 1, 0, half},
          TPlane{0, -1, 0, half}, TPlane{0, 0, 1, depth}, TPlane{0, 0, -1, 0}};
}

inline TBox Cube(float x, float y, float z, float half) {
  return {x - half, x + half, y - half, y + half, z - half, z + half};
}

}  // namespace qv::test
