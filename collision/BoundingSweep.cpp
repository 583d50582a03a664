#include "collision/BoundingSweep.h"

#include <algorithm>
#include <cmath>

#include "scene/3dObject.h"

namespace qv {

TSweepResult SweepSpheres(const TSphere& mover, const TVector& d, const TSphere& other) {
  // |d|^2 t^2 - 2 (d.s) t + (|s|^2 - R^2) = 0, with s from the mover's centre to the other's.
  const double sx = double(other.x) - mover.x, sy = double(other.y) - mover.y,
               sz = double(other.z) - mover.z;
  const double r = double(mover.r) + other.r;
  const double a = double(d.x) * d.x + double(d.y) * d.y + double(d.z) * d.z;
  const double b = -2.0 * (d.x * sx + d.y * sy + d.z * sz);
  const double c = sx * sx + sy * sy + sz * sz - r * r;
  if (a == 0) return {};  // no movement, no sweep (and no division by zero)
  const double discriminant = b * b - 4 * a * c;
  if (discriminant < 0) return {};
  const double root = std::sqrt(discriminant);
  const double first = (-b - root) / (2 * a);
  const double last = (-b + root) / (2 * a);
  return {first >= 0 && first <= 1, static_cast<float>(first), static_cast<float>(last)};
}

namespace {

// One axis of the box sweep. w is minus the mover's speed on the axis: the other box seen moving
// towards the mover. Returns false when this axis alone rules out a hit.
bool AxisEntry(float moverMin, float moverMax, float otherMin, float otherMax, double w,
               double& entry) {
  if (moverMax < otherMin) {
    if (w >= 0) return false;
    entry = (double(moverMax) - otherMin) / w;
  } else if (otherMax < moverMin) {
    if (w <= 0) return false;
    entry = (double(moverMin) - otherMax) / w;
  } else {
    entry = 0;
  }
  return entry <= 1;
}

bool AxisExit(float moverMin, float moverMax, float otherMin, float otherMax, double w,
              double& exit) {
  if (w < 0)
    exit = (double(moverMin) - otherMax) / w;
  else if (w > 0)
    exit = (double(moverMax) - otherMin) / w;
  else
    exit = 1;
  return exit >= 0;
}

// The face of `other` the mover runs into: on the axis entered last (the other two already
// overlap by then), towards the side the mover comes from. Pushing along the sign of every axis
// instead would turn diagonal once the mover is past the corner, and a diagonal push removes
// nothing from a move along the face.
TVector EnteredFace(const TBox& mover, const TBox& other, double ex, double ey, double ez) {
  if (ex >= ey && ex >= ez) return {mover.maxX < other.minX ? -1.0f : 1.0f, 0, 0};
  if (ey >= ez) return {0, mover.maxY < other.minY ? -1.0f : 1.0f, 0};
  return {0, 0, mover.maxZ < other.minZ ? -1.0f : 1.0f};
}

// For boxes that already overlap: the axis on which they overlap least, away from the other's
// centre. Any move with a part along that way gets them apart soonest.
TVector ShortestWayApart(const TBox& mover, const TBox& other) {
  const float depth[3] = {std::min(mover.maxX - other.minX, other.maxX - mover.minX),
                          std::min(mover.maxY - other.minY, other.maxY - mover.minY),
                          std::min(mover.maxZ - other.minZ, other.maxZ - mover.minZ)};
  const int k = depth[0] <= depth[1] && depth[0] <= depth[2] ? 0 : depth[1] <= depth[2] ? 1 : 2;
  const float moverCentre[3] = {mover.minX + mover.maxX, mover.minY + mover.maxY,
                                mover.minZ + mover.maxZ};
  const float otherCentre[3] = {other.minX + other.maxX, other.minY + other.maxY,
                                other.minZ + other.maxZ};
  TVector out{};
  (k == 0 ? out.x : k == 1 ? out.y : out.z) = moverCentre[k] < otherCentre[k] ? -1.0f : 1.0f;
  return out;
}

}  // namespace

TSweepResult SweepBoxes(const TBox& mover, const TVector& d, const TBox& other) {
  const double wx = -double(d.x), wy = -double(d.y), wz = -double(d.z);
  double ex, ey, ez, xx, xy, xz;
  if (!AxisEntry(mover.minX, mover.maxX, other.minX, other.maxX, wx, ex)) return {};
  if (!AxisEntry(mover.minY, mover.maxY, other.minY, other.maxY, wy, ey)) return {};
  if (!AxisEntry(mover.minZ, mover.maxZ, other.minZ, other.maxZ, wz, ez)) return {};
  if (!AxisExit(mover.minX, mover.maxX, other.minX, other.maxX, wx, xx)) return {};
  if (!AxisExit(mover.minY, mover.maxY, other.minY, other.maxY, wy, xy)) return {};
  if (!AxisExit(mover.minZ, mover.maxZ, other.minZ, other.maxZ, wz, xz)) return {};
  const double first = std::max({ex, ey, ez});
  const double last = std::min({xx, xy, xz});
  if (!(first <= last)) return {};
  return {true, static_cast<float>(first), static_cast<float>(last),
          first > 0 ? EnteredFace(mover, other, ex, ey, ez) : ShortestWayApart(mover, other)};
}

TSweepResult SweepAgainst(const T3dObject& mover, const TVector& d, const T3dObject& other) {
  if (mover.IsBoxTighter() || other.IsBoxTighter()) {
    TBox moverBox, otherBox;
    mover.GetBoundingBox(moverBox);
    other.GetBoundingBox(otherBox);
    return SweepBoxes(moverBox, d, otherBox);
  }
  TSphere moverSphere, otherSphere;
  mover.GetBoundingSphere(moverSphere);
  other.GetBoundingSphere(otherSphere);
  return SweepSpheres(moverSphere, d, otherSphere);
}

TVector BoundingPush(const TVector& p, bool otherBoxTighter, const TBox& otherBox,
                     const TSphere& otherSphere) {
  if (!otherBoxTighter) return VecSub(p, {otherSphere.x, otherSphere.y, otherSphere.z});
  auto sign = [](float v, float min, float max) { return v > max ? 1.0f : v < min ? -1.0f : 0.0f; };
  const TVector push{sign(p.x, otherBox.minX, otherBox.maxX),
                     sign(p.y, otherBox.minY, otherBox.maxY),
                     sign(p.z, otherBox.minZ, otherBox.maxZ)};
  if (!(push == TVector{})) return push;
  // Inside the box: no sign says where out is, and a zero push would hold the mover there for
  // good. The nearest face is the shortest way out.
  const float gaps[6] = {p.x - otherBox.minX, otherBox.maxX - p.x, p.y - otherBox.minY,
                         otherBox.maxY - p.y, p.z - otherBox.minZ, otherBox.maxZ - p.z};
  int nearest = 0;
  for (int k = 1; k < 6; ++k)
    if (gaps[k] < gaps[nearest]) nearest = k;
  TVector out{};
  (nearest < 2 ? out.x : nearest < 4 ? out.y : out.z) = nearest % 2 == 0 ? -1.0f : 1.0f;
  return out;
}

TVector BoundingPush(const TVector& p, const T3dObject& other) {
  TBox box;
  TSphere sphere;
  other.GetBoundingBox(box);
  other.GetBoundingSphere(sphere);
  return BoundingPush(p, other.IsBoxTighter(), box, sphere);
}

TVector SlideMovement(const TVector& push, const TVector& d, float t) {
  const float length = VecLength(d);
  // Stopping a little before the contact keeps the mover clear of every obstacle met later in
  // the step too, not only of this one.
  const float before = length > 0 ? std::max(0.0f, t - kSlideGap / length) : 0.0f;
  const TVector travelled = VecScale(d, before);
  const TVector n = VecNormalize(push);
  if (n == TVector{}) return travelled;
  TVector rest = VecScale(d, 1 - before);
  const float into = VecDot(rest, n);
  if (into < 0) rest = VecSub(rest, VecScale(n, into));
  return VecAdd(VecAdd(travelled, rest), VecScale(n, kSlideGap));
}

TVector BoundingResponse(const T3dObject& mover, const TVector& moverPosition, const TVector& d,
                         const T3dObject& other, float t, const TVector& faceNormal) {
  if (!(faceNormal == TVector{})) return VecAdd(moverPosition, SlideMovement(faceNormal, d, t));
  TSphere sphere;
  mover.GetBoundingSphere(sphere);
  const TVector contact = VecAdd({sphere.x, sphere.y, sphere.z}, VecScale(d, t));
  return VecAdd(moverPosition, SlideMovement(BoundingPush(contact, other), d, t));
}

}  // namespace qv
