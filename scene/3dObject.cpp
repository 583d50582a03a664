#include "scene/3dObject.h"

#include "scene/Frustum.h"

namespace qv {

bool T3dObject::IsBoxTighter() const { return BoxTighter; }

void T3dObject::GetBoundingBox(TBox& box) const { box = BoundingBox; }

void T3dObject::GetBoundingSphere(TSphere& sphere) const { sphere = BoundingSphere; }

void T3dObject::Compile() { Compiled = true; }

void T3dObject::Uncompile() { Compiled = false; }

void T3dObject::ChooseBound() { BoxTighter = BoxVolume < SphereVolume; }

void T3dObject::UpdateBounds() {
  CalcBoundingBox();
  CalcBoundingSphere();
  ChooseBound();
}

bool T3dObject::IsInFrustum(const TFrustum& frustum) {
  bool visible;
  if (IsBoxTighter()) {
    TBox box;
    GetBoundingBox(box);
    visible = BoxInFrustum(box, frustum);
  } else {
    TSphere sphere;
    GetBoundingSphere(sphere);
    visible = SphereInFrustum(sphere, frustum);
  }
  if (visible) SortKey = ViewDistance(frustum, *this);
  return visible;
}

float ViewDistance(const TFrustum& frustum, const T3dObject& object) {
  const TPlane& p = frustum[fpNear];
  if (object.IsBoxTighter()) {
    TBox b;
    object.GetBoundingBox(b);
    const float hx = (b.maxX - b.minX) / 2;
    const float hy = (b.maxY - b.minY) / 2;
    const float hz = (b.maxZ - b.minZ) / 2;
    const float extent = MaxFloat(MaxFloat(hx, hy), hz);
    return p.a * (b.minX + hx) + p.b * (b.minY + hy) + p.c * (b.minZ + hz) + p.d + extent;
  }
  TSphere s;
  object.GetBoundingSphere(s);
  return p.a * s.x + p.b * s.y + p.c * s.z + p.d + s.r;
}

}  // namespace qv
