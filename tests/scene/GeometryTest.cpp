#include "scene/Geometry.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

TEST(Vector, NormalizeKeepsZeroAndScalesOthersToUnitLength) {
  EXPECT_EQ(VecNormalize({0, 0, 0}), (TVector{0, 0, 0}));
  const TVector n = VecNormalize({3, 0, 4});
  EXPECT_FLOAT_EQ(n.x, 0.6f);
  EXPECT_FLOAT_EQ(n.z, 0.8f);
  EXPECT_FLOAT_EQ(VecLength(n), 1.0f);
}

TEST(Vector, CrossFollowsTheRightHandRule) {
  EXPECT_EQ(VecCross({1, 0, 0}, {0, 1, 0}), (TVector{0, 0, 1}));
  EXPECT_EQ(VecCross({0, 1, 0}, {1, 0, 0}), (TVector{0, 0, -1}));
  EXPECT_FLOAT_EQ(VecDot({1, 2, 3}, {4, -5, 6}), 12.0f);
}

TEST(Matrix, InverseTimesMatrixIsIdentity) {
  // A rotation about y by 30 degrees, then a translation, then a non-uniform scale.
  const float c = 0.8660254f, s = 0.5f;
  const TMatrix m = {2 * c, 0, -3 * s, 0, 0, 1, 0, 0, 2 * s, 0, 3 * c, 0, 4, -5, 6, 1};
  const TMatrix product = MultiplyMatrix(m, InvertMatrix(m));
  const TMatrix identity = IdentityMatrix();
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(product[i], identity[i], 1e-5) << "element " << i;
}

TEST(Matrix, SingularMatrixInvertsToIdentity) {
  TMatrix singular{};  // all zero: determinant 0
  EXPECT_EQ(InvertMatrix(singular), IdentityMatrix());
  TMatrix rankThree = IdentityMatrix();
  rankThree[10] = 0;  // flattens z
  EXPECT_EQ(InvertMatrix(rankThree), IdentityMatrix());
}

TEST(Matrix, TinyButRegularDeterminantStillInverts) {
  // det = 1e-20: far above the 1e-100 cut, so the true inverse comes back.
  TMatrix m = IdentityMatrix();
  m[0] = 1e-20f;
  const TMatrix inverse = InvertMatrix(m);
  EXPECT_FLOAT_EQ(inverse[0], 1e20f);
  EXPECT_FLOAT_EQ(inverse[5], 1.0f);
}

}  // namespace
}  // namespace qv
