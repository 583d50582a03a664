// The GL test context itself: later GL tests trust its read-back and PNG output.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/GLTestContext.h"
#include "tests/support/TempDir.h"

namespace {

using qv::test::GLTestContext;
using qv::test::PixelAt;
using qv::test::ReadPixels;

TEST(PlatformGLContext, ContextHasRequestedSizeDepthAndDoubleBuffer) {
  GLTestContext ctx(96, 64);
  GLint viewport[4] = {};
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 96);
  EXPECT_EQ(viewport[3], 64);
  GLint depthBits = 0, redBits = 0;
  GLboolean doubleBuffer = GL_FALSE;
  glGetIntegerv(GL_DEPTH_BITS, &depthBits);
  glGetIntegerv(GL_RED_BITS, &redBits);
  glGetBooleanv(GL_DOUBLEBUFFER, &doubleBuffer);
  EXPECT_GE(depthBits, 24);
  EXPECT_EQ(redBits, 8);
  EXPECT_TRUE(doubleBuffer);
  // Fixed-function calls must work: the game is written against the compatibility profile.
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(PlatformGLContext, ReadPixelsIsBottomUp) {
  GLTestContext ctx(32, 32);
  glClearColor(0, 0, 1, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  // Red lower half via scissor: row 0 of the read-back must be red, the top row blue.
  glEnable(GL_SCISSOR_TEST);
  glScissor(0, 0, 32, 16);
  glClearColor(1, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glDisable(GL_SCISSOR_TEST);
  auto back = ReadPixels(ctx);
  ASSERT_EQ(back.size(), 32u * 32u * 4u);
  EXPECT_EQ(PixelAt(back, 32, 5, 0)[0], 255);
  EXPECT_EQ(PixelAt(back, 32, 5, 0)[2], 0);
  EXPECT_EQ(PixelAt(back, 32, 5, 31)[2], 255);
  EXPECT_THROW(PixelAt(back, 32, 32, 0), std::out_of_range);
}

TEST(PlatformGLContext, WritePngStoresTheImageTheRightWayUp) {
  GLTestContext ctx(8, 4);
  glClearColor(0, 1, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glEnable(GL_SCISSOR_TEST);
  glScissor(0, 0, 8, 1);  // bottom row white
  glClearColor(1, 1, 1, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glDisable(GL_SCISSOR_TEST);
  auto rgba = ReadPixels(ctx);
  const qv::test::TempDir dir;
  const auto path = dir.Path() / "context.png";
  qv::test::WritePng(path, 8, 4, rgba);

  int w = 0, h = 0;
  const auto png = qv::test::ReadPng(path, w, h);
  EXPECT_EQ(w, 8);
  EXPECT_EQ(h, 4);
  // PNG rows run top down: the white GL row 0 is the PNG's last row.
  const std::size_t lastRow = (3 * 8) * 4;
  EXPECT_EQ(png[lastRow], 255);
  EXPECT_EQ(png[lastRow + 2], 255);
  EXPECT_EQ(png[0], 0);
  EXPECT_EQ(png[1], 255);
  std::filesystem::remove(path);

  EXPECT_THROW(qv::test::WritePng(path, 8, 5, rgba), std::runtime_error);  // size mismatch
}

}  // namespace
