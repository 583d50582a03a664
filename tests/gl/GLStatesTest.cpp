// The render switches against a real context: HighestQuality, wire frame flipped twice, setters
// that reach GL even without a change, and Apply on a fresh context.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <optional>

#include "shell/GLStates.h"
#include "shell/Params.h"
#include "tests/support/GLTestContext.h"
#include "tests/support/TempDir.h"

namespace {

using qv::TGLStates;
using TSwitches = std::array<bool, 7>;  // in the class's field order

// What the context says about each switch.
TSwitches ReadBack() {
  GLint polygon[2] = {}, colour = 0;
  glGetIntegerv(GL_POLYGON_MODE, polygon);
  glGetIntegerv(GL_LIGHT_MODEL_COLOR_CONTROL, &colour);
  EXPECT_EQ(polygon[0], polygon[1]) << "front and back faces differ";
  return {glIsEnabled(GL_FOG) == GL_TRUE,
          glIsEnabled(GL_LIGHTING) == GL_TRUE,
          polygon[0] == GL_LINE,
          glIsEnabled(GL_ALPHA_TEST) == GL_TRUE,
          glIsEnabled(GL_TEXTURE_2D) == GL_TRUE,
          glIsEnabled(GL_BLEND) == GL_TRUE,
          colour == GL_SEPARATE_SPECULAR_COLOR};
}

TSwitches Fields(const TGLStates& s) {
  return {s.Fog, s.Light, s.WireFrame, s.AlphaTest, s.Texture, s.Blend, s.SeparateSpecular};
}

class GLStatesTest : public ::testing::Test {
 protected:
  qv::TParams Settings(const char* text) {
    std::ofstream(dir_.Path() / "q.ini") << text;
    return qv::TParams(dir_.Path() / "q.ini");
  }
  qv::test::TempDir dir_;
  std::optional<qv::test::GLTestContext> ctx_{std::in_place, 32, 32};
};

TEST_F(GLStatesTest, HighestQualityAndWireFrameWhateverTheSettingsSaid) {
  TGLStates states(qv::TParams(dir_.Path() / "missing.ini"));  // every switch off
  ASSERT_EQ(Fields(states), TSwitches{});
  states.SetWireFrame(!states.WireFrame);
  EXPECT_TRUE(ReadBack()[2]);
  states.SetWireFrame(!states.WireFrame);
  EXPECT_EQ(ReadBack(), TSwitches{});  // filled again, front and back
  states.SetWireFrame(true);
  states.HighestQuality();
  const TSwitches best = {true, true, false, true, true, true, true};
  EXPECT_EQ(Fields(states), best);
  EXPECT_EQ(ReadBack(), best);
}

TEST_F(GLStatesTest, ApplyAfterAContextRebuildSendsTheValuesOfTheMoment) {
  TGLStates states(Settings("[GL]\nLight=0\nBlend=0\n"));
  // Fog is on in the record but not yet in GL: setting the same value still reaches GL.
  states.SetFog(true);
  EXPECT_TRUE(glIsEnabled(GL_FOG));
  states.SetFog(false);
  states.SetLight(true);
  states.SetWireFrame(true);
  states.SetSeparateSpecular(false);
  const TSwitches now = {false, true, true, true, true, false, false};
  ASSERT_EQ(Fields(states), now);
  ctx_.reset();
  ctx_.emplace(32, 32);  // a fresh context starts from GL's own defaults
  ASSERT_NE(ReadBack(), now);
  states.Apply();
  EXPECT_EQ(ReadBack(), now);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
