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
  TVector entered{};  // the face of the contact triangle the box runs into
  for (int g = 0; g < FaceGroupCount(); ++g) {
    for (int f = 0; f < GroupFaceCount(g); ++f) {
      const TTriangle t = TriangleAt(g, f);
      const TSweepResult hit = SweepBoxTriangle(box, d, t);
      if (!hit.Hit) continue;
      const float first = hit.FirstTime, last = hit.LastTime;
      if (first < bestFirst) {  // strictly: among equal times the earlier triangle stays
        bestFirst = first;
        contact = t;
        entered = hit.Normal;
      }
      if (last > greatestLast) greatestLast = last;
    }
  }
  if (bestFirst > 1.0f || bestFirst > greatestLast) return {};
  TSphere sphere;
  mover.GetBoundingSphere(sphere);
  const TVector p = VecAdd({sphere.x, sphere.y, sphere.z}, VecScale(d, bestFirst));
  // Pushed off the face actually entered: for a box passing the end of a wall that is the wall's
  // face, not the diagonal the collidee's bounds would give past their corner.
  const TVector normal = entered == TVector{} ? NormalTowards(contact, p) : entered;
  return {true, bestFirst, greatestLast, SlideResponse(mover, d, bestFirst, contact, normal),
          normal};
}

TVector TCollideeObject::NormalTowards(const TTriangle& triangle, const TVector& p) {
  TVector n = TriangleNormal(triangle);
  if (VecDot(n, triangle.a) > VecDot(n, p)) n = VecScale(n, -1);
  return VecNormalize(n);
}

TVector TCollideeObject::SlideResponse(const T3dObject& mover, const TVector& d, float t,
                                       const TTriangle& contact, const TVector& faceNormal) const {
  if (!(faceNormal == TVector{})) return SlideMovement(faceNormal, d, t);
  TSphere moverSphere;
  mover.GetBoundingSphere(moverSphere);
  const TVector p = VecAdd({moverSphere.x, moverSphere.y, moverSphere.z}, VecScale(d, t));
  TBox box;
  GetBoundingBox(box);
  // Inside the collidee's box the triangle itself says where out is. (Adding the direction from
  // the collidee's centre would point into the wall from inside a room or a yard.)
  const bool inside = p.x >= box.minX && p.x <= box.maxX && p.y >= box.minY && p.y <= box.maxY &&
                      p.z >= box.minZ && p.z <= box.maxZ;
  const TVector push = inside ? NormalTowards(contact, p) : BoundingPush(p, *this);
  return SlideMovement(push, d, t);
}

}  // namespace qv
