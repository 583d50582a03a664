#pragma once
// A scene object reduced to its bounds: a box, a sphere and which is tighter, given or derived
// from the box as the meshes derive them (sphere round the box, both volumes, the tighter chosen).
// The stand-in for movers, level objects and members wherever only the bounds are read.

#include <cmath>
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
  // The sphere through the box's corners, volumes and the tighter bound as a mesh has them.
  explicit TBoundsObject(const TBox& box) {
    BoundingBox = box;
    const float hx = (box.maxX - box.minX) / 2, hy = (box.maxY - box.minY) / 2,
                hz = (box.maxZ - box.minZ) / 2;
    BoundingSphere = {box.minX + hx, box.minY + hy, box.minZ + hz,
                      std::sqrt(hx * hx + hy * hy + hz * hz)};
    BoxVolume = 8 * hx * hy * hz;
    SphereVolume = 4.188790204786391f * BoundingSphere.r * BoundingSphere.r * BoundingSphere.r;
    ChooseBound();
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
