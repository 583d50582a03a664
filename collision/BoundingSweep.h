#pragma once
// Bounding-volume collision for one movement step: a mover travels from its current place by a
// displacement d, and times are fractions of that step (0 start, 1 end). Used by the movement
// code for actor against actor and actor against a large collidee, and by the collidee's own
// triangle response for contacts outside the collidee's box. The responses slide: the part of the
// move into the obstacle is taken away and the rest kept.
//
// Contract: pure functions over the bounds the objects report through their virtual getters
// (a moving actor reports its current, not its next, bounds). A zero movement must not be swept;
// the sphere sweep answers "no collision" for it rather than dividing by zero. No allocation.

#include "collision/BoxTriangle.h"
#include "scene/Geometry.h"

namespace qv {

class T3dObject;

// Sphere of the mover (moving by d) against a resting sphere. A hit needs the smaller root of the
// contact quadratic in [0, 1]: spheres already overlapping at the start give a negative first
// time and no hit, so interpenetrating actors can move apart. The times are filled in whenever the
// paths meet at all, hit or not.
TSweepResult SweepSpheres(const TSphere& mover, const TVector& d, const TSphere& other);

// Box of the mover (moving by d) against a resting box. Overlapping boxes hit at time 0. The
// normal is the face of `other` entered last, or for overlapping boxes the shortest way apart.
TSweepResult SweepBoxes(const TBox& mover, const TVector& d, const TBox& other);

// The box sweep when either object's box is its tighter bound, else the sphere sweep.
TSweepResult SweepAgainst(const T3dObject& mover, const TVector& d, const T3dObject& other);

// Raw push direction from a contact centre p away from `other`'s bounds: the per-axis sign of p
// against its box when the box is the tighter bound, else p minus its sphere centre. A centre
// inside the box is pushed out through the nearest face (along the first such axis).
TVector BoundingPush(const TVector& p, const T3dObject& other);
TVector BoundingPush(const TVector& p, bool otherBoxTighter, const TBox& otherBox,
                     const TSphere& otherSphere);

// How far a blocked mover keeps off the surface it slid along, world units.
constexpr float kSlideGap = 0.01f;

// The movement that replaces d after touching an obstacle at time t, given the direction `push`
// off its surface (any length; zero when unknown): up to kSlideGap short of the contact, then the
// rest of the step without its part into the surface, and kSlideGap off it. So a blocked mover
// slides along a wall at its pace along it, and never rests touching it.
TVector SlideMovement(const TVector& push, const TVector& d, float t);

// Where the mover ends after touching `other` at time t: moverPosition + the slide movement off
// `faceNormal` (the sweep's normal) when it is given, else off `other`'s bounds at the mover's
// sphere centre at contact.
TVector BoundingResponse(const T3dObject& mover, const TVector& moverPosition, const TVector& d,
                         const T3dObject& other, float t, const TVector& faceNormal = {});

}  // namespace qv
