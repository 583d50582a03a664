#include "collision/CollideeObject.h"

#include "collision/BoundingSweep.h"

namespace qv {

TCollideeObject::TCollideeObject(const TMaterialLookup& materials, int releaseLevel,
                                 const TMesh3DS& mesh)
    : TSimple3dObject(materials, releaseLevel, mesh) {}

const TMeshClass& TCollideeObject::Class() {
  static const TMeshClass collideeClass =
      MakeClassRef<TCollideeObject, TMeshClass>("TCollideeObject");
  return collideeClass;
}

TTriangle TCollideeObject::GetTriangle(int group, int face) const {
  GetFace(group, face);  // the range check
  return TriangleAt(group, face);
}

bool TCollideeObject::OverlapsBox(const TBox& box) const {
  for (int g = 0; g < FaceGroupCount(); ++g)
    for (int f = 0; f < GroupFaceCount(g); ++f)
      if (TriangleOverlapsBox(TriangleAt(g, f), box)) return true;
  return false;
}

TCollideeSweep TCollideeObject::SweepBox(const T3dObject& mover, const TVector& d) const {
  TBox box;
  mover.GetBoundingBox(box);
  float bestFirst = 2.0f, greatestLast = -1.0f;
  TTriangle contact{};
  for (int g = 0; g < FaceGroupCount(); ++g) {
    for (int f = 0; f < GroupFaceCount(g); ++f) {
      const TTriangle t = TriangleAt(g, f);
      const TSweepResult hit = SweepBoxTriangle(box, d, t);
      if (!hit.Hit) continue;
      const float first = hit.FirstTime, last = hit.LastTime;
      if (first < bestFirst) {  // strictly: among equal times the earlier triangle stays
        bestFirst = first;
        contact = t;
      }
      if (last > greatestLast) greatestLast = last;
    }
  }
  if (bestFirst > 1.0f || bestFirst > greatestLast) return {};
  return {true, bestFirst, greatestLast, SlideResponse(mover, d, bestFirst, contact)};
}

TVector TCollideeObject::SlideResponse(const T3dObject& mover, const TVector& d, float t,
                                      const TTriangle& contact) const {
  TSphere moverSphere;
  mover.GetBoundingSphere(moverSphere);
  const TVector travelled = VecScale(d, t);
  const TVector p = VecAdd({moverSphere.x, moverSphere.y, moverSphere.z}, travelled);
  TBox box;
  GetBoundingBox(box);
  TVector push;
  if (p.x >= box.minX && p.x <= box.maxX && p.y >= box.minY && p.y <= box.maxY &&
      p.z >= box.minZ && p.z <= box.maxZ) {
    // Inside the collidee's box: off the triangle, towards the side the mover is on, and away
    // from the collidee's centre.
    TVector n = TriangleNormal(contact);
    if (VecDot(n, contact.a) > VecDot(n, p)) n = VecScale(n, -1);
    TSphere sphere;
    GetBoundingSphere(sphere);
    push = VecAdd(n, VecSub(p, {sphere.x, sphere.y, sphere.z}));
  } else {
    push = BoundingPush(p, *this);
  }
  return VecAdd(travelled, SlidePush(push, d, t));
}

}  // namespace qv
