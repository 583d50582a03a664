// The render switches against a real context: what GL reports after HighestQuality, wire frame
// flipped twice, and Apply on a fresh context.
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

TEST(GLStates, HighestQualityTurnsEverythingButWireFrameOnWhateverTheSettingsSaid) {
  qv::test::TempDir dir;
  const qv::TParams none(dir.Path() / "missing.ini");  // every switch off
  qv::test::GLTestContext ctx(32, 32);
  TGLStates states(none);
  EXPECT_EQ(Fields(states), TSwitches{});
  states.SetWireFrame(true);
  states.HighestQuality();
  const TSwitches best = {true, true, false, true, true, true, true};
  EXPECT_EQ(Fields(states), best);
  EXPECT_EQ(ReadBack(), best);
}

TEST(GLStates, WireFrameFlippedTwiceFillsAgainAndSettersAlwaysCallGL) {
  qv::test::TempDir dir;
  std::ofstream(dir.Path() / "q.ini") << "[GL]\nFog=1\n";
  const qv::TParams params(dir.Path() / "q.ini");
  qv::test::GLTestContext ctx(32, 32);
  TGLStates states(params);
  EXPECT_FALSE(states.WireFrame);
  states.SetWireFrame(!states.WireFrame);
  EXPECT_TRUE(ReadBack()[2]);
  states.SetWireFrame(!states.WireFrame);
  EXPECT_FALSE(states.WireFrame);
  EXPECT_FALSE(ReadBack()[2]);
  // Fog is already true in the record but not yet in GL: setting the same value still reaches GL.
  EXPECT_FALSE(glIsEnabled(GL_FOG));
  states.SetFog(true);
  EXPECT_TRUE(glIsEnabled(GL_FOG));
}

TEST(GLStates, ApplyAfterAContextRebuildSendsTheValuesOfTheMoment) {
  qv::test::TempDir dir;
  std::ofstream(dir.Path() / "q.ini") << "[GL]\nFog=1\nLight=0\nTexture=1\nBlend=0\n";
  const qv::TParams params(dir.Path() / "q.ini");
  std::optional<qv::test::GLTestContext> ctx(std::in_place, 32, 32);
  TGLStates states(params);
  states.Apply();
  states.SetFog(false);
  states.SetLight(true);
  states.SetWireFrame(true);
  states.SetSeparateSpecular(false);
  const TSwitches now = {false, true, true, true, true, false, false};
  ASSERT_EQ(Fields(states), now);
  ctx.reset();
  ctx.emplace(32, 32);  // a fresh context starts from GL's own defaults
  ASSERT_NE(ReadBack(), now);
  states.Apply();
  EXPECT_EQ(ReadBack(), now);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
