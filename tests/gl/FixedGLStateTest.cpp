// The game's fixed GL state, read back from a real context: every value it promises, the light
// fixed to the viewer whatever view is loaded, and the matrices left as they were.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "scene/FixedGLState.h"
#include "tests/support/GLTestContext.h"

namespace {

TEST(FixedGLState, SetsEveryStateTheGameReliesOn) {
  qv::test::GLTestContext ctx(32, 32);
  // A view left loaded by a previous frame, with projection the current matrix.
  glMatrixMode(GL_MODELVIEW);
  glRotatef(90, 1, 0, 0);
  glTranslatef(3, 4, 5);
  GLfloat viewBefore[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, viewBefore);
  glMatrixMode(GL_PROJECTION);

  qv::ApplyFixedGLState({12.5f, 345, {0.1f, 0.2f, 0.3f, 0.4f}});

  const struct {
    GLenum what;
    GLboolean on;
  } enables[] = {{GL_DITHER, GL_FALSE}, {GL_NORMALIZE, GL_TRUE}, {GL_DEPTH_TEST, GL_TRUE},
                 {GL_LIGHT0, GL_TRUE},  {GL_FOG, GL_FALSE},      {GL_LIGHTING, GL_FALSE}};
  for (const auto& e : enables) EXPECT_EQ(glIsEnabled(e.what), e.on) << std::hex << e.what;

  const struct {
    GLenum what;
    GLint value;
  } integers[] = {{GL_SHADE_MODEL, GL_SMOOTH},
                  {GL_ALPHA_TEST_FUNC, GL_GREATER},
                  {GL_BLEND_SRC, GL_SRC_ALPHA},
                  {GL_BLEND_DST, GL_ONE_MINUS_SRC_ALPHA},
                  {GL_DEPTH_FUNC, GL_LESS},
                  {GL_FOG_MODE, GL_LINEAR},
                  {GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST},
                  {GL_MATRIX_MODE, GL_PROJECTION}};
  for (const auto& i : integers) {
    GLint value = 0;
    glGetIntegerv(i.what, &value);
    EXPECT_EQ(value, i.value) << std::hex << i.what;
  }

  const auto floats = [](GLenum what, int n) {
    std::vector<GLfloat> v(16);
    glGetFloatv(what, v.data());
    v.resize(static_cast<std::size_t>(n));
    return v;
  };
  EXPECT_FLOAT_EQ(floats(GL_ALPHA_TEST_REF, 1)[0], 0.1f);
  EXPECT_FLOAT_EQ(floats(GL_DEPTH_CLEAR_VALUE, 1)[0], 1.0f);
  EXPECT_EQ(floats(GL_FOG_START, 1)[0], 12.5f);
  EXPECT_EQ(floats(GL_FOG_END, 1)[0], 345.0f);
  const std::vector<GLfloat> fogColor = floats(GL_FOG_COLOR, 4);
  const std::vector<GLfloat> expectedFog = {0.1f, 0.2f, 0.3f, 0.4f};
  for (int c = 0; c < 4; ++c) EXPECT_NEAR(fogColor[c], expectedFog[c], 1e-6f) << c;
  const std::vector<GLfloat> white = {1, 1, 1, 1};
  EXPECT_EQ(floats(GL_LIGHT_MODEL_AMBIENT, 4), white);

  std::array<GLfloat, 4> ambient{}, diffuse{}, position{};
  glGetLightfv(GL_LIGHT0, GL_AMBIENT, ambient.data());
  glGetLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse.data());
  glGetLightfv(GL_LIGHT0, GL_POSITION, position.data());  // in eye space
  EXPECT_EQ(ambient, (std::array<GLfloat, 4>{1, 1, 1, 1}));
  EXPECT_EQ(diffuse, (std::array<GLfloat, 4>{1, 1, 1, 1}));
  EXPECT_EQ(position, (std::array<GLfloat, 4>{10, 1000, 0, 0}));

  GLfloat viewAfter[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, viewAfter);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(viewAfter[i], viewBefore[i]) << i;
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
