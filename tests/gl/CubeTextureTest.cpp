#include "scene/CubeTexture.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

#include <array>
#include <stdexcept>
#include <vector>

#include "scene/Frustum.h"
#include "tests/support/GLTestContext.h"

namespace qv {
namespace {

// The six axis directions in face order, and the colour the test scene shows in each.
constexpr std::array<TVector, 6> kDirections{TVector{1, 0, 0}, {-1, 0, 0}, {0, 1, 0},
                                             {0, -1, 0},       {0, 0, 1},  {0, 0, -1}};
constexpr std::array<std::array<std::uint8_t, 3>, 6> kColours{
    {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}, {255, 0, 255}, {0, 255, 255}}};

const TVector kCentre{10, 20, 30};

// A box of six coloured walls around kCentre, 50 units out: each wall faces the centre.
void DrawColouredRoom() {
  glDisable(GL_LIGHTING);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_CULL_FACE);
  glEnable(GL_DEPTH_TEST);
  const float d = 50;
  for (int face = 0; face < 6; ++face) {
    const TVector n = kDirections[face];
    // Two axes spanning the wall.
    const TVector u = n.x != 0 ? TVector{0, 1, 0} : TVector{1, 0, 0};
    const TVector v = VecCross(n, u);
    const TVector c = VecAdd(kCentre, VecScale(n, d));
    glColor3ub(kColours[face][0], kColours[face][1], kColours[face][2]);
    glBegin(GL_QUADS);
    for (auto [su, sv] : {std::pair{-1, -1}, {1, -1}, {1, 1}, {-1, 1}}) {
      const TVector p = VecAdd(c, VecAdd(VecScale(u, su * d), VecScale(v, sv * d)));
      glVertex3f(p.x, p.y, p.z);
    }
    glEnd();
  }
}

std::vector<std::uint8_t> FaceImage(const TCubeTexture& cube, int face) {
  std::vector<std::uint8_t> rgba(static_cast<std::size_t>(cube.Width) * cube.Height * 4);
  glEnable(GL_TEXTURE_CUBE_MAP_ARB);
  cube.Bind();
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(kCubeFaces[face].Target, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
  glDisable(GL_TEXTURE_CUBE_MAP_ARB);
  return rgba;
}

struct CubeTextureGL : ::testing::Test {
  test::GLTestContext ctx{320, 300};
  TCubeTexture cube{256, 256};
  std::vector<TFrustum> frustums;  // what each render call was given

  void SetUp() override {
    cube.Centre = kCentre;
    cube.SetUp([this](const TFrustum& f) {
      frustums.push_back(f);
      DrawColouredRoom();
    });
  }
};

TEST_F(CubeTextureGL, ConstructionAndSetUpGiveSixEmptyFaces) {
  EXPECT_EQ(cube.InternalFormat, static_cast<GLenum>(GL_RGBA));
  EXPECT_EQ(cube.WrapS, static_cast<GLenum>(GL_CLAMP));
  EXPECT_FALSE(cube.HasAlpha);
  EXPECT_EQ(cube.ImageSize, 256 * 256 * 4);
  EXPECT_EQ(cube.CurrentFace, 0);
  for (int face = 0; face < 6; ++face) {
    GLint width = 0;
    glEnable(GL_TEXTURE_CUBE_MAP_ARB);
    cube.Bind();
    glGetTexLevelParameteriv(kCubeFaces[face].Target, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 256) << "face " << face;
    EXPECT_EQ(FaceImage(cube, face)[4 * (128 * 256 + 128)], 0) << "face " << face;
  }
  GLint mode = 0;
  glGetTexGeniv(GL_R, GL_TEXTURE_GEN_MODE, &mode);
  EXPECT_EQ(mode, GL_REFLECTION_MAP_ARB);
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_CUBE_MAP_ARB));
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(CubeTextureGL, SixUpdatesRenderEachFaceOnceShowingItsDirection) {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-1, 1, -1, 1, -1, 1);
  TMatrix projectionBefore{};
  glGetFloatv(GL_PROJECTION_MATRIX, projectionBefore.data());
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslatef(1, 2, 3);
  glClearColor(0, 0, 0, 1);

  cube.Update();
  EXPECT_EQ(cube.CurrentFace, 1);
  // One face per call: face 0 shows red, face 1 is still empty.
  EXPECT_EQ(FaceImage(cube, 0)[4 * (128 * 256 + 128)], 255);
  EXPECT_EQ(FaceImage(cube, 1)[4 * (128 * 256 + 128) + 1], 0);

  for (int i = 1; i < 6; ++i) cube.Update();
  EXPECT_EQ(cube.CurrentFace, 0);
  ASSERT_EQ(frustums.size(), 6u);
  for (int face = 0; face < 6; ++face) {
    const std::vector<std::uint8_t> image = FaceImage(cube, face);
    // The whole face sees one wall: check the middle and near the corners.
    for (auto [x, y] : {std::pair{128, 128}, {10, 10}, {245, 10}, {10, 245}, {245, 245}}) {
      const std::uint8_t* p = &image[4 * (y * 256 + x)];
      EXPECT_EQ(p[0], kColours[face][0]) << "face " << face << " at " << x << ", " << y;
      EXPECT_EQ(p[1], kColours[face][1]) << "face " << face << " at " << x << ", " << y;
      EXPECT_EQ(p[2], kColours[face][2]) << "face " << face << " at " << x << ", " << y;
    }
    // The frustum handed to the renderer looks the same way.
    const TVector ahead = VecAdd(kCentre, VecScale(kDirections[face], 20));
    const TVector behind = VecSub(kCentre, VecScale(kDirections[face], 20));
    EXPECT_TRUE(SphereInFrustum(ahead.x, ahead.y, ahead.z, 0.1f, frustums[face])) << face;
    EXPECT_FALSE(SphereInFrustum(behind.x, behind.y, behind.z, 0.1f, frustums[face])) << face;
  }
  EXPECT_EQ(cube.Projection[0], 1.0f);  // 90 degrees, square

  // The caller's matrices, viewport and frame are as before.
  GLint mode = 0, viewport[4] = {};
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(mode, GL_MODELVIEW);
  EXPECT_EQ(viewport[2], 320);
  EXPECT_EQ(viewport[3], 300);
  TMatrix projectionAfter{}, modelView{};
  glGetFloatv(GL_PROJECTION_MATRIX, projectionAfter.data());
  glGetFloatv(GL_MODELVIEW_MATRIX, modelView.data());
  EXPECT_EQ(projectionAfter, projectionBefore);
  EXPECT_EQ(modelView[12], 1);
  EXPECT_EQ(modelView[14], 3);
  const auto frame = test::ReadPixels(ctx);
  EXPECT_EQ(test::PixelAt(frame, 320, 100, 100)[0], 0);  // the face picture was cleared away
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(CubeTextureGL, ViewportGoesThroughTheApplicationsHooks) {
  std::vector<std::pair<int, int>> set;
  int resets = 0;
  ViewportHooks() = {[&](int w, int h) { set.push_back({w, h}); }, [&] { ++resets; }};
  cube.Update();
  cube.Update();
  ViewportHooks() = {};
  EXPECT_EQ(set, (std::vector<std::pair<int, int>>{{256, 256}, {256, 256}}));
  EXPECT_EQ(resets, 2);
}

TEST(CubeTextureNoSetUp, UpdateBeforeSetUpIsRefused) {
  test::GLTestContext ctx(32, 32);
  TCubeTexture cube(256, 256);
  EXPECT_THROW(cube.Update(), std::logic_error);
  EXPECT_EQ(cube.CurrentFace, 0);
  GLint depth = 0;
  glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depth);
  EXPECT_EQ(depth, 1);  // nothing pushed and left behind
}

}  // namespace
}  // namespace qv
