// The game's fixed GL state read back from a real context, with a view left loaded as a previous
// frame would leave it: the light must still come out fixed to the viewer.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "scene/FixedGLState.h"
#include "tests/support/GLTestContext.h"

namespace {

using TFloats = std::vector<GLfloat>;

TEST(FixedGLState, SetsEveryStateTheGameReliesOnAndLeavesTheMatrices) {
  qv::test::GLTestContext ctx(32, 32);
  glMatrixMode(GL_MODELVIEW);
  glRotatef(90, 1, 0, 0);
  glTranslatef(3, 4, 5);
  TFloats viewBefore(16), viewAfter(16);
  glGetFloatv(GL_MODELVIEW_MATRIX, viewBefore.data());
  glMatrixMode(GL_PROJECTION);

  qv::ApplyFixedGLState({12.5f, 345, {0.25f, 0.5f, 0.75f, 1}});

  const std::pair<GLenum, GLint> integers[] = {{GL_DITHER, 0},
                                               {GL_NORMALIZE, 1},
                                               {GL_DEPTH_TEST, 1},
                                               {GL_LIGHT0, 1},
                                               {GL_FOG, 0},
                                               {GL_SHADE_MODEL, GL_SMOOTH},
                                               {GL_ALPHA_TEST_FUNC, GL_GREATER},
                                               {GL_BLEND_SRC, GL_SRC_ALPHA},
                                               {GL_BLEND_DST, GL_ONE_MINUS_SRC_ALPHA},
                                               {GL_DEPTH_FUNC, GL_LESS},
                                               {GL_FOG_MODE, GL_LINEAR},
                                               {GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST},
                                               {GL_MATRIX_MODE, GL_PROJECTION}};
  for (const auto& [what, value] : integers) {
    GLint got = -1;
    glGetIntegerv(what, &got);
    EXPECT_EQ(got, value) << std::hex << what;
  }
  const std::pair<GLenum, TFloats> floats[] = {{GL_ALPHA_TEST_REF, {0.1f}},
                                               {GL_DEPTH_CLEAR_VALUE, {1}},
                                               {GL_FOG_START, {12.5f}},
                                               {GL_FOG_END, {345}},
                                               {GL_FOG_COLOR, {0.25f, 0.5f, 0.75f, 1}},
                                               {GL_LIGHT_MODEL_AMBIENT, {1, 1, 1, 1}}};
  for (const auto& [what, value] : floats) {
    TFloats got(16);
    glGetFloatv(what, got.data());
    got.resize(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) EXPECT_FLOAT_EQ(got[i], value[i]) << what;
  }
  const std::pair<GLenum, TFloats> light[] = {
      {GL_AMBIENT, {1, 1, 1, 1}},
      {GL_DIFFUSE, {1, 1, 1, 1}},
      {GL_POSITION, {10, 1000, 0, 0}}};  // eye space: set under the identity, not the view
  for (const auto& [what, value] : light) {
    TFloats got(4);
    glGetLightfv(GL_LIGHT0, what, got.data());
    EXPECT_EQ(got, value) << what;
  }
  glGetFloatv(GL_MODELVIEW_MATRIX, viewAfter.data());
  EXPECT_EQ(viewAfter, viewBefore);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
