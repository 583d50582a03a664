#include "collision/BoxTriangle.h"

#include <algorithm>
#include <cmath>

namespace qv {

namespace {

// Intermediates are doubles: the projections subtract nearly equal numbers when a box just
// touches a triangle, and single precision would turn a touch into a gap.
struct TAxis {
  double x, y, z;
};

double Dot(const TAxis& a, const TVector& v) { return a.x * v.x + a.y * v.y + a.z * v.z; }

TAxis Cross(const TAxis& a, const TAxis& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

TAxis Edge(const TVector& from, const TVector& to) {
  return {double(to.x) - from.x, double(to.y) - from.y, double(to.z) - from.z};
}

// The axis scaled to length 1 (zero stays zero), in single precision.
TVector Unit(const TAxis& a) {
  const double length = std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z);
  if (length == 0) return {};
  return {static_cast<float>(a.x / length), static_cast<float>(a.y / length),
          static_cast<float>(a.z / length)};
}

struct TInterval {
  double min, max;
};

// The thirteen candidate axes in their test order. Index 0 is the normal, 1-3 the world axes.
struct TAxes {
  TAxis axis[13];
};

TAxes MakeAxes(const TTriangle& t) {
  TAxes result;
  const TAxis e0 = Edge(t.a, t.b), e1 = Edge(t.b, t.c), e2 = Edge(t.c, t.a);
  result.axis[0] = Cross(e0, Edge(t.a, t.c));
  result.axis[1] = {1, 0, 0};
  result.axis[2] = {0, 1, 0};
  result.axis[3] = {0, 0, 1};
  const TAxis world[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  const TAxis edges[3] = {e0, e1, e2};
  int k = 4;
  for (const TAxis& e : edges)
    for (const TAxis& w : world) result.axis[k++] = Cross(e, w);
  return result;
}

TInterval TriangleInterval(int index, const TAxis& a, const TTriangle& t) {
  const double pa = Dot(a, t.a);
  if (index == 0) return {pa, pa};  // on its own normal the triangle is a single point
  const double pb = Dot(a, t.b), pc = Dot(a, t.c);
  return {std::min({pa, pb, pc}), std::max({pa, pb, pc})};
}

TInterval BoxInterval(int index, const TAxis& a, const TBox& box) {
  switch (index) {
    case 1: return {box.minX, box.maxX};
    case 2: return {box.minY, box.maxY};
    case 3: return {box.minZ, box.maxZ};
    default: break;
  }
  const double hx = (double(box.maxX) - box.minX) / 2;
  const double hy = (double(box.maxY) - box.minY) / 2;
  const double hz = (double(box.maxZ) - box.minZ) / 2;
  const double centre = a.x * (box.minX + hx) + a.y * (box.minY + hy) + a.z * (box.minZ + hz);
  const double radius = std::fabs(a.x) * hx + std::fabs(a.y) * hy + std::fabs(a.z) * hz;
  return {centre - radius, centre + radius};
}

// Whether one world axis alone keeps the box moving by d from the triangle: the same tests, in the
// same precision, by which the sweep below gives up on such an axis - but made before the thirteen
// axes are built, so the many triangles of a mesh far from the box cost a few comparisons each.
bool OutOfReachOnAWorldAxis(const TBox& box, const TVector& d, const TTriangle& t) {
  const double boxMin[3] = {box.minX, box.minY, box.minZ};
  const double boxMax[3] = {box.maxX, box.maxY, box.maxZ};
  const double along[3] = {d.x, d.y, d.z};
  for (int k = 0; k < 3; ++k) {
    const double pa = k == 0 ? t.a.x : k == 1 ? t.a.y : t.a.z;
    const double pb = k == 0 ? t.b.x : k == 1 ? t.b.y : t.b.z;
    const double pc = k == 0 ? t.c.x : k == 1 ? t.c.y : t.c.z;
    const double wMin = std::min({pa, pb, pc}), wMax = std::max({pa, pb, pc});
    const double c = along[k];
    if (boxMax[k] < wMin && (c <= 0 || (wMin - boxMax[k]) / c > 1)) return true;
    if (wMax < boxMin[k] && (c >= 0 || (wMax - boxMin[k]) / c > 1)) return true;
  }
  return false;
}

}  // namespace

TVector TriangleNormal(const TTriangle& t) { return VecCross(VecSub(t.b, t.a), VecSub(t.c, t.a)); }

bool TriangleOverlapsBox(const TTriangle& t, const TBox& box) {
  if (OutOfReachOnAWorldAxis(box, {}, t)) return false;
  const TAxes axes = MakeAxes(t);
  for (int i = 0; i < 13; ++i) {
    const TInterval u = BoxInterval(i, axes.axis[i], box);
    const TInterval w = TriangleInterval(i, axes.axis[i], t);
    if (u.max < w.min || w.max < u.min) return false;
  }
  return true;
}

TSweepResult SweepBoxTriangle(const TBox& box, const TVector& d, const TTriangle& t) {
  if (OutOfReachOnAWorldAxis(box, d, t)) return {};
  const TAxes axes = MakeAxes(t);
  double first = 0, last = 1;
  TAxis entered{};  // the axis that set `first`, towards the box; none while first is 0
  for (int i = 0; i < 13; ++i) {
    const TAxis& a = axes.axis[i];
    const TInterval u = BoxInterval(i, a, box);
    const TInterval w = TriangleInterval(i, a, t);
    const double c = Dot(a, d);  // speed of the box along this axis
    double candidate = last;
    if (u.max < w.min) {  // box below the triangle on this axis
      if (c <= 0) return {};
      if ((w.min - u.max) / c > first) {
        first = (w.min - u.max) / c;
        entered = {-a.x, -a.y, -a.z};
      }
      if (first > 1) return {};
      candidate = (w.max - u.min) / c;
    } else if (w.max < u.min) {  // box above
      if (c >= 0) return {};
      if ((w.max - u.min) / c > first) {
        first = (w.max - u.min) / c;
        entered = a;
      }
      if (first > 1) return {};
      candidate = (w.min - u.max) / c;
    } else if (c > 0) {
      candidate = (w.max - u.min) / c;
    } else if (c < 0) {
      candidate = (w.min - u.max) / c;
    }
    last = std::min(last, candidate);
    if (first > last) return {};
  }
  return {true, static_cast<float>(first), static_cast<float>(last), Unit(entered)};
}

}  // namespace qv
