#pragma once
// A mover reduced to the bounds the collision code reads: a box, a sphere and which is tighter.

#include <string>

#include "scene/3dObject.h"
#include "scene/Geometry.h"

namespace qv::test {

class TBoundsObject : public T3dObject {
 public:
  TBoundsObject(const TBox& box, const TSphere& sphere, bool boxTighter) {
    BoundingBox = box;
    BoundingSphere = sphere;
    BoxTighter = boxTighter;
  }
  // A cube of side 2s centred at c, box tighter.
  static TBoundsObject Cube(TVector c, float s) {
    return TBoundsObject({c.x - s, c.x + s, c.y - s, c.y + s, c.z - s, c.z + s},
                         {c.x, c.y, c.z, s * 1.7320508f}, true);
  }
  void GetName(std::string& name) const override { name = "bounds"; }
  void CalcBoundingBox() override {}
  void CalcBoundingSphere() override {}
  void CalcTransparent() override {}
  void Draw() override {}
  void Highlight() override {}
  void Unhighlight() override {}
};

}  // namespace qv::test
