#include "scene/Geometry.h"

#include <algorithm>
#include <cmath>

namespace qv {

TVector VecAdd(const TVector& a, const TVector& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
TVector VecSub(const TVector& a, const TVector& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
TVector VecScale(const TVector& v, float s) { return {v.x * s, v.y * s, v.z * s}; }
float VecDot(const TVector& a, const TVector& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

TVector VecCross(const TVector& a, const TVector& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float VecLength(const TVector& v) { return std::sqrt(VecDot(v, v)); }

TVector VecNormalize(const TVector& v) {
  const float length = VecLength(v);
  if (length == 0) return v;
  return VecScale(v, 1.0f / length);
}

float MaxFloat(float a, float b) { return a > b ? a : b; }

TBox BoxUnion(const TBox& a, const TBox& b) {
  return {std::min(a.minX, b.minX), std::max(a.maxX, b.maxX), std::min(a.minY, b.minY),
          std::max(a.maxY, b.maxY), std::min(a.minZ, b.minZ), std::max(a.maxZ, b.maxZ)};
}

bool BoxesOverlap(const TBox& a, const TBox& b) {
  return a.minX <= b.maxX && b.minX <= a.maxX && a.minY <= b.maxY && b.minY <= a.maxY &&
         a.minZ <= b.maxZ && b.minZ <= a.maxZ;
}

TBox BoxExtendedBy(const TBox& box, const TVector& d) {
  TBox r = box;
  (d.x > 0 ? r.maxX : r.minX) += d.x;
  (d.y > 0 ? r.maxY : r.minY) += d.y;
  (d.z > 0 ? r.maxZ : r.minZ) += d.z;
  return r;
}

TBox BoxGrownBy(const TBox& box, float margin) {
  return {box.minX - margin, box.maxX + margin, box.minY - margin,
          box.maxY + margin, box.minZ - margin, box.maxZ + margin};
}

TMatrix IdentityMatrix() { return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}; }

namespace {

// Element at row r, column c of a column-major matrix, in double precision.
double At(const TMatrix& m, int r, int c) { return m[4 * c + r]; }

// Determinant of the 3x3 minor that leaves out row `skipRow` and column `skipCol`.
double Minor(const TMatrix& m, int skipRow, int skipCol) {
  int rows[3], cols[3];
  for (int i = 0, r = 0; i < 4; ++i)
    if (i != skipRow) rows[r++] = i;
  for (int i = 0, c = 0; i < 4; ++i)
    if (i != skipCol) cols[c++] = i;
  auto e = [&](int r, int c) { return At(m, rows[r], cols[c]); };
  return e(0, 0) * (e(1, 1) * e(2, 2) - e(1, 2) * e(2, 1)) -
         e(0, 1) * (e(1, 0) * e(2, 2) - e(1, 2) * e(2, 0)) +
         e(0, 2) * (e(1, 0) * e(2, 1) - e(1, 1) * e(2, 0));
}

}  // namespace

TMatrix InvertMatrix(const TMatrix& m) {
  double cofactor[4][4];
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) cofactor[r][c] = ((r + c) % 2 ? -1.0 : 1.0) * Minor(m, r, c);
  double det = 0;
  for (int c = 0; c < 4; ++c) det += At(m, 0, c) * cofactor[0][c];
  if (std::fabs(det) < 1e-100) return IdentityMatrix();
  TMatrix inverse{};
  // The inverse is the adjoint (transposed cofactors) over the determinant.
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) inverse[4 * c + r] = static_cast<float>(cofactor[c][r] / det);
  return inverse;
}

TMatrix MultiplyMatrix(const TMatrix& a, const TMatrix& b) {
  TMatrix result{};
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) {
      double sum = 0;
      for (int k = 0; k < 4; ++k) sum += At(a, r, k) * At(b, k, c);
      result[4 * c + r] = static_cast<float>(sum);
    }
  return result;
}

}  // namespace qv
