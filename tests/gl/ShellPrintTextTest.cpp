// Bitmap-font text: the font the shell builds and PrintText's promise to leave GL as it found it.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include "shell/GLApplication.h"
#include "tests/support/GLTestContext.h"

namespace {

using qv::GlobalApplication;
using qv::test::GLTestContext;

struct TextWindow : qv::TGLWindow {
  using TGLWindow::TGLWindow;
  bool GLLoad() override { return true; }
  bool GLStore() override { return true; }
  void GLResize() override {}
  bool GLDraw() override { return true; }
};

class ShellPrintTextTest : public ::testing::Test {
 protected:
  ShellPrintTextTest() : ctx_(200, 40) {
    GlobalApplication().Width = 200;
    GlobalApplication().Height = 40;
  }
  // Raster x after drawing one code from a fresh start at x = 10.
  float AdvanceOf(int base, unsigned char code) {
    glRasterPos2i(10, 10);
    glCallList(static_cast<GLuint>(base) + code);
    GLfloat position[4] = {};
    glGetFloatv(GL_CURRENT_RASTER_POSITION, position);
    return position[0] - 10;
  }
  static int LitPixels(const std::vector<std::uint8_t>& rgba) {
    int lit = 0;
    for (std::size_t i = 0; i < rgba.size(); i += 4) lit += rgba[i] > 128;
    return lit;
  }
  GLTestContext ctx_;
};

TEST_F(ShellPrintTextTest, CourierNewIsAMonospacedBoldFaceOf255Lists) {
  const int base = GlobalApplication().BuildFont("Courier New");
  ASSERT_NE(base, 0);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, 200, 0, 40, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  // Liberation Mono, 20 pixels: every character advances 12 pixels, controls and the unassigned
  // Windows-1252 codes as much as a space.
  const float advance = AdvanceOf(base, 'M');
  EXPECT_FLOAT_EQ(advance, 12.0f);
  for (int code : {0, 9, 31, 32, 48, 105, 87, 126, 0x80, 0x81, 0x9F, 0xE9, 0xFE})
    EXPECT_FLOAT_EQ(AdvanceOf(base, static_cast<unsigned char>(code)), advance) << code;
  for (unsigned code = 0; code <= 254; ++code) EXPECT_TRUE(glIsList(base + code)) << code;
  GlobalApplication().KillFont(base);
  EXPECT_FALSE(glIsList(base));
  EXPECT_FALSE(glIsList(base + 254));
}

TEST_F(ShellPrintTextTest, PrintTextDrawsAtWindowPixelsAndRestoresTheState) {
  const int base = GlobalApplication().BuildFont("Courier New");
  // The window lays text out in its own application's client area, whatever the global says.
  qv::TGLApplication app;
  app.Width = 200;
  app.Height = 40;
  GlobalApplication().Width = 400;
  GlobalApplication().Height = 80;
  TextWindow window(app);
  // Some state PrintText must hand back unchanged.
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glScalef(2, 2, 2);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslatef(5, 6, 7);
  glListBase(1234);
  glMatrixMode(GL_PROJECTION);  // even when projection was current, model-view is current after

  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glColor3f(1, 1, 1);
  window.PrintText(4, 12, "HIT", base);
  const auto rgba = qv::test::ReadPixels(ctx_);
  int inside = 0, outside = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 200; ++x) {
      const bool lit = qv::test::PixelAt(rgba, 200, x, y)[0] > 128;
      // Three 12-pixel cells from x = 4; capitals stand on the base line at y = 12.
      (x >= 4 && x < 4 + 36 && y >= 12 && y < 12 + 20 ? inside : outside) += lit;
    }
  EXPECT_GT(inside, 60);
  EXPECT_EQ(outside, 0);

  GLint mode = 0, listBase = 0;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  glGetIntegerv(GL_LIST_BASE, &listBase);
  EXPECT_EQ(mode, GL_MODELVIEW);
  EXPECT_EQ(listBase, 1234);
  GLfloat projection[16], modelView[16];
  glGetFloatv(GL_PROJECTION_MATRIX, projection);
  glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
  EXPECT_FLOAT_EQ(projection[0], 2);
  EXPECT_FLOAT_EQ(modelView[12], 5);
  EXPECT_FLOAT_EQ(modelView[14], 7);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

  // Empty text draws nothing and touches nothing.
  glClear(GL_COLOR_BUFFER_BIT);
  glMatrixMode(GL_PROJECTION);
  window.PrintText(4, 12, "", base);
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  EXPECT_EQ(mode, GL_PROJECTION);
  EXPECT_EQ(LitPixels(qv::test::ReadPixels(ctx_)), 0);
  GlobalApplication().KillFont(base);
}

}  // namespace
