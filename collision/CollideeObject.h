#pragma once
// Collidee objects: static meshes (name prefix "col") that moving actors collide with at triangle
// level. A collidee is drawn and stored like any mesh; what it adds are the triangle tests of the
// movement step: a static box overlap (is the actor's final box inside any triangle?) and a swept
// box with its slide response (where does a blocked actor go instead?).
//
// Contract: every test walks all triangles, group by group, in order: a cost linear in the face
// count. That is why a collidee of more than 500 vertices is "large" and the movement code tests
// it by its bounding volume only (BoundingSweep.h). Movements are displacements for one step and
// times fractions of it. Nothing here allocates or raises.

#include "collision/BoxTriangle.h"
#include "scene/Simple3dObject.h"

namespace qv {

// A swept box against the collidee's triangles, with the response to the earliest contact.
struct TCollideeSweep {
  bool Hit = false;     // some triangle is met within the step
  float FirstTime = 0;  // earliest contact time over the triangles
  float LastTime = 0;   // latest separation time over the triangles hit
  TVector Corrected{};  // the movement replacing d (SlideResponse at the earliest contact)
  TVector Normal{};     // unit normal of the face pushed off (SlideResponse's), towards the mover
};

class TCollideeObject : public TSimple3dObject {
 public:
  TCollideeObject(const TMaterialLookup& materials, int releaseLevel, const TMesh3DS& mesh);

  // The class the adapter picks for a mesh whose name begins with "col".
  static const TMeshClass& Class();

  // More than 500 vertices: too many triangles to sweep in every frame.
  bool IsLarge() const { return VertexCount() > 500; }

  // True when any triangle overlaps or touches the box.
  bool OverlapsBox(const TBox& box) const;

  // Sweeps the mover's current box along d against every triangle. On a collision: the earliest
  // contact time, the latest separation time among the triangles hit, and the corrected movement
  // from SlideResponse against the earliest-hit triangle (the first one in group order among
  // equal times). Without one, Hit is false and the rest zero.
  TCollideeSweep SweepBox(const T3dObject& mover, const TVector& d) const;

  // The movement that replaces d after the mover hit `contact` at time t: the slide movement
  // (BoundingSweep.h) off `faceNormal`, the face the sweep entered, when it is given; else along
  // the triangle, or along this object's bounds when the mover's centre at contact lies outside
  // its box.
  TVector SlideResponse(const T3dObject& mover, const TVector& d, float t, const TTriangle& contact,
                        const TVector& faceNormal = {}) const;
  // The triangle's unit normal turned towards the point p (zero for a triangle of no area).
  static TVector NormalTowards(const TTriangle& triangle, const TVector& p);

  // Corners of one triangle, level coordinates; std::out_of_range outside the groups or faces.
  TTriangle GetTriangle(int group, int face) const;
};

}  // namespace qv
