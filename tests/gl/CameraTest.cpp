#include "scene/Camera.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "tests/support/GLTestContext.h"

namespace qv {
namespace {

float Distance(const TPlane& p, float x, float y, float z) {
  return p.a * x + p.b * y + p.c * z + p.d;
}

bool Inside(const TFrustum& f, float x, float y, float z) {
  for (const TPlane& p : f)
    if (Distance(p, x, y, z) <= 0) return false;
  return true;
}

bool SameBits(const TFrustum& a, const TFrustum& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(CameraGL, StartUpViewLooksAlongMinusZFromTheEye) {
  test::GLTestContext ctx(64, 48);
  TCamera camera;
  EXPECT_TRUE(camera.FrustumDirty());
  EXPECT_EQ(camera.Position(), (TVector{0, 5, 0}));
  camera.SetProjection(45, 4.0f / 3.0f, 0.005f, 20000);
  EXPECT_FALSE(camera.FrustumDirty());

  GLint mode = 0;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  EXPECT_EQ(mode, GL_MODELVIEW);
  TMatrix projection{};
  glMatrixMode(GL_PROJECTION);
  glGetFloatv(GL_PROJECTION_MATRIX, projection.data());
  glMatrixMode(GL_MODELVIEW);
  EXPECT_EQ(projection, camera.Projection());
  EXPECT_NEAR(camera.Projection()[5], 1 / std::tan(22.5 * M_PI / 180), 1e-5);

  const TFrustum& f = camera.Frustum();
  EXPECT_TRUE(Inside(f, 0, 5, -10));
  EXPECT_LT(Distance(f[fpNear], 0, 5, 10), 0);
  // The modelview holds the eye translation.
  EXPECT_EQ(camera.ModelView()[13], -5);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(CameraGL, AStillCameraKeepsItsPlanesBitForBit) {
  test::GLTestContext ctx(64, 48);
  TCamera camera;
  camera.SetProjection(45, 4.0f / 3.0f, 0.005f, 20000);
  camera.SetPositionXYZ(3, 7, -2);
  camera.SetHeading(30);
  camera.SetTilt(-10);
  camera.Apply();
  const TFrustum first = camera.Frustum();

  // The frame loop sets the same values every frame and applies again.
  for (int frame = 0; frame < 3; ++frame) {
    camera.SetPosition({3, 7, -2});
    camera.SetHeading(30);
    camera.SetTilt(-10);
    EXPECT_FALSE(camera.FrustumDirty());
    camera.Apply();
    EXPECT_TRUE(FrustumEquals(first, camera.Frustum()));
    EXPECT_TRUE(SameBits(first, camera.Frustum()));
  }

  camera.SetHeading(31);
  EXPECT_TRUE(camera.FrustumDirty());
  camera.Apply();
  EXPECT_FALSE(FrustumEquals(first, camera.Frustum()));
  camera.SetTilt(-11);
  EXPECT_TRUE(camera.FrustumDirty());
  camera.Apply();
  camera.SetPositionXYZ(3, 7, -2.5f);
  EXPECT_TRUE(camera.FrustumDirty());
  camera.SetFovAspect(60, 1);  // a resize: new projection, applied at once
  EXPECT_FALSE(camera.FrustumDirty());
  EXPECT_EQ(camera.Fovy(), 60);
  EXPECT_EQ(camera.ZFar(), 20000);
}

TEST(CameraGL, PositiveHeadingTurnsLeftAndPositiveTiltLooksUp) {
  test::GLTestContext ctx(64, 64);
  TCamera camera;
  camera.SetProjection(45, 1, 0.1f, 1000);
  camera.SetPositionXYZ(0, 0, 0);
  camera.SetHeading(90);
  camera.Apply();
  EXPECT_TRUE(Inside(camera.Frustum(), -10, 0, 0));
  EXPECT_FALSE(Inside(camera.Frustum(), 0, 0, -10));
  EXPECT_FALSE(Inside(camera.Frustum(), 10, 0, 0));

  camera.SetHeading(0);
  camera.SetTilt(60);
  camera.Apply();
  EXPECT_TRUE(Inside(camera.Frustum(), 0, 10, -5));
  EXPECT_FALSE(Inside(camera.Frustum(), 0, -10, -5));

  // What is drawn agrees with the planes: a red point straight ahead lands mid-screen.
  camera.SetTilt(0);
  camera.SetPositionXYZ(1, 2, 3);
  camera.Apply();
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glPointSize(4);
  glColor3f(1, 0, 0);
  glBegin(GL_POINTS);
  glVertex3f(1, 2, -7);
  glEnd();
  const auto rgba = test::ReadPixels(ctx);
  EXPECT_EQ(test::PixelAt(rgba, 64, 32, 32)[0], 255);
  EXPECT_EQ(test::PixelAt(rgba, 64, 5, 5)[0], 0);
}

}  // namespace
}  // namespace qv
