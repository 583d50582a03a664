#pragma once
// Shared geometry: the value types every subsystem passes around, and the small vector and
// matrix helpers. World axes: y is up; heading 0 looks along -z. Units are world units and
// degrees. All types are plain single-precision values, laid out as the model and tree files and
// OpenGL expect them; none allocates.

#include <array>

namespace qv {

struct TVector {
  float x = 0, y = 0, z = 0;  // world units
  friend bool operator==(const TVector&, const TVector&) = default;
};

// Axis-aligned box, minimum and maximum of each axis side by side.
struct TBox {
  float minX = 0, maxX = 0;
  float minY = 0, maxY = 0;
  float minZ = 0, maxZ = 0;
  friend bool operator==(const TBox&, const TBox&) = default;
};

struct TSphere {
  float x = 0, y = 0, z = 0;  // centre, world units
  float r = 0;                // radius
  friend bool operator==(const TSphere&, const TSphere&) = default;
};

// One frustum plane: a*x + b*y + c*z + d is the signed distance of a point, positive inside.
struct TPlane {
  float a = 0, b = 0, c = 0, d = 0;
  friend bool operator==(const TPlane&, const TPlane&) = default;
};

// Six planes in the order right, left, bottom, top, far, near.
enum TFrustumPlane { fpRight = 0, fpLeft, fpBottom, fpTop, fpFar, fpNear };
using TFrustum = std::array<TPlane, 6>;

// Sixteen floats in OpenGL's column-major order: element i of column j at index 4j + i.
using TMatrix = std::array<float, 16>;

struct TColor {
  float r = 0, g = 0, b = 0, a = 0;
  friend bool operator==(const TColor&, const TColor&) = default;
};

// Three corners in the order of the face's vertex indices; the normal is (b - a) x (c - a).
struct TTriangle {
  TVector a;  // first corner, level coordinates
  TVector b;  // second corner
  TVector c;  // third corner
};

struct TTexCoord {
  float u = 0, v = 0;
  friend bool operator==(const TTexCoord&, const TTexCoord&) = default;
};

TVector VecAdd(const TVector& a, const TVector& b);
TVector VecSub(const TVector& a, const TVector& b);
TVector VecScale(const TVector& v, float s);
float VecDot(const TVector& a, const TVector& b);
TVector VecCross(const TVector& a, const TVector& b);
float VecLength(const TVector& v);
// Scales to unit length; a zero vector stays zero.
TVector VecNormalize(const TVector& v);
float MaxFloat(float a, float b);

// Box helpers of the movement step. Touching boxes overlap (bounds inclusive).
TBox BoxUnion(const TBox& a, const TBox& b);
bool BoxesOverlap(const TBox& a, const TBox& b);
// The box swept by a move d: on each axis the maximum grows by d when d > 0, else the minimum.
TBox BoxExtendedBy(const TBox& box, const TVector& d);
// Every side moved outwards by margin (inwards when it is negative).
TBox BoxGrownBy(const TBox& box, float margin);

TMatrix IdentityMatrix();
// General 4x4 inverse by adjoint and determinant; the identity when |det| < 1e-100.
TMatrix InvertMatrix(const TMatrix& m);
// a * b in OpenGL's convention (b applied first).
TMatrix MultiplyMatrix(const TMatrix& a, const TMatrix& b);

}  // namespace qv
