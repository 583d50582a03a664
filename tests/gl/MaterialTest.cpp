#include "scene/Material.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <filesystem>

#include "platform/EGL.h"
#include "scene/TgaWriter.h"
#include "tests/support/GLTestContext.h"
#include "tests/support/TempDir.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

struct MaterialGL : ::testing::Test {
  test::GLTestContext ctx{32, 32};
  test::TempDir temp;
  const fs::path& dir = temp.Path();
  std::string folder = dir.string() + "/";  // ends in a separator, as the adapter passes it

  void SetUp() override {
    WriteTga(dir / "wood.tga", MakeTgaImage(4, 4, 24, 200, 100, 50));
    WriteTga(dir / "leaves.tga", MakeTgaImage(4, 4, 32, 0, 200, 0, 128));
  }
};

TMaterialRecord Record(const std::string& name = "plain") {
  TMaterialRecord r;
  r.name = name;
  r.ambient = {0.1f, 0.2f, 0.3f};
  r.diffuse = {0.4f, 0.5f, 0.6f};
  r.specular = {0.7f, 0.8f, 0.9f};
  r.shininess = 0.5f;
  return r;
}

std::array<float, 4> MaterialColour(GLenum which) {
  std::array<float, 4> c{};
  glGetMaterialfv(GL_FRONT, which, c.data());
  return c;
}

TEST_F(MaterialGL, TransparencyGivesAlphaOnePlusTInAllThreeColours) {
  TMaterialRecord r = Record();
  r.transparency = 0.5f;  // plain 50 %: alpha above 1, still opaque
  TMaterial m;
  m.LoadFromRecord(folder, r);
  EXPECT_EQ(m.Ambient, (TColor{0.1f, 0.2f, 0.3f, 1.5f}));
  EXPECT_EQ(m.Diffuse, (TColor{0.4f, 0.5f, 0.6f, 1.5f}));
  EXPECT_EQ(m.Specular, (TColor{0.7f, 0.8f, 0.9f, 1.5f}));
  EXPECT_EQ(m.SavedSpecular, m.Specular);

  r.transparency = -0.5f;  // negated by the 0xA08A chunk: see-through
  TMaterial glass;
  glass.LoadFromRecord(folder, r);
  EXPECT_EQ(glass.Diffuse.a, 0.5f);
  EXPECT_EQ(glass.Ambient.a, 0.5f);
  EXPECT_EQ(glass.Specular.a, 0.5f);
}

TEST_F(MaterialGL, ShininessEmissionAndShadingFollowTheRecord) {
  TMaterialRecord r = Record();
  TMaterial m;
  EXPECT_EQ(m.Emission, (TColor{0, 0, 0, 1}));
  r.shininess = 0.3f;  // 38.4
  r.selfIllum = true;
  r.selfIllumPercent = 0.5f;
  m.LoadFromRecord(folder, r);
  EXPECT_EQ(m.Shininess, 38);
  EXPECT_EQ(m.SavedShininess, 38);
  EXPECT_EQ(m.Emission, (TColor{0.2f, 0.25f, 0.3f, 0.5f}));

  r.selfIllum = false;
  r.shininess = 0.7f;  // 89.6
  TMaterial unlit;
  unlit.LoadFromRecord(folder, r);
  EXPECT_EQ(unlit.Shininess, 90);
  EXPECT_EQ(unlit.Emission, (TColor{0, 0, 0, 1}));

  const struct {
    int level;
    GLenum polygon, shade;
  } levels[] = {{0, GL_LINE, GL_FLAT},
                {1, GL_FILL, GL_FLAT},
                {2, GL_FILL, GL_SMOOTH},
                {3, GL_FILL, GL_SMOOTH},
                {4, GL_FILL, GL_SMOOTH}};
  for (const auto& l : levels) {
    r.shading = l.level;
    TMaterial s;
    s.LoadFromRecord(folder, r);
    EXPECT_EQ(s.PolygonMode, l.polygon) << "level " << l.level;
    EXPECT_EQ(s.ShadeModel, l.shade) << "level " << l.level;
  }
  r.twoSided = true;
  TMaterial twoSided;
  twoSided.LoadFromRecord(folder, r);
  EXPECT_TRUE(twoSided.TwoSided);
}

TEST_F(MaterialGL, CubeMapNamesInAnyCaseLoadNoTexture) {
  for (const char* name : {"CUBEMAP", "chromeCubeMap2", "xcUbEmApx"}) {
    TMaterialRecord r = Record(name);
    r.textureMap = "missing.bmp";  // would fail to load if it were tried
    TMaterial m;
    EXPECT_NO_THROW(m.LoadFromRecord(folder, r)) << name;
    EXPECT_TRUE(m.IsCubeMap) << name;
    EXPECT_EQ(m.Texture, nullptr) << name;
  }
  TMaterialRecord r = Record("CUBE MAP");
  TMaterial m;
  m.LoadFromRecord(folder, r);
  EXPECT_FALSE(m.IsCubeMap);
}

TEST_F(MaterialGL, TextureMapIsReadAsTgaFromTheModelsFolder) {
  TMaterialRecord r = Record();
  r.textureMap = "WOOD.JPG";  // another extension and letter case than on disk
  TMaterial m;
  m.LoadFromRecord(folder, r);
  ASSERT_NE(m.Texture, nullptr);
  EXPECT_EQ(m.Texture->FileName, folder + "WOOD.tga");
  EXPECT_EQ(m.Texture->WrapS, static_cast<GLenum>(GL_REPEAT));
  EXPECT_EQ(m.Texture->Width, 4);

  r.textureMap = "stone.gif";
  TMaterial missing;
  try {
    missing.LoadFromRecord(folder, r);
    ADD_FAILURE() << "a missing texture loaded";
  } catch (const EGL& e) {
    EXPECT_EQ(std::string(e.what()), "Error Loading Texture:" + folder + "stone.tga");
  }
}

TEST_F(MaterialGL, ApplySetsColoursModesAndCulling) {
  TMaterialRecord r = Record();
  r.shading = 0;
  r.twoSided = true;
  TMaterial wire;
  wire.LoadFromRecord(folder, r);
  glEnable(GL_CULL_FACE);
  wire.Apply();
  EXPECT_EQ(MaterialColour(GL_AMBIENT), (std::array<float, 4>{0.1f, 0.2f, 0.3f, 1}));
  EXPECT_EQ(MaterialColour(GL_DIFFUSE), (std::array<float, 4>{0.4f, 0.5f, 0.6f, 1}));
  EXPECT_EQ(MaterialColour(GL_SPECULAR), (std::array<float, 4>{0.7f, 0.8f, 0.9f, 1}));
  EXPECT_EQ(MaterialColour(GL_EMISSION), (std::array<float, 4>{0, 0, 0, 1}));
  GLfloat shininess = 0;
  glGetMaterialfv(GL_BACK, GL_SHININESS, &shininess);
  EXPECT_EQ(shininess, 64);
  GLint polygon[2] = {}, shade = 0;
  glGetIntegerv(GL_POLYGON_MODE, polygon);
  glGetIntegerv(GL_SHADE_MODEL, &shade);
  EXPECT_EQ(polygon[0], GL_LINE);
  EXPECT_EQ(polygon[1], GL_LINE);
  EXPECT_EQ(shade, GL_FLAT);
  EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));

  // A filled material leaves the polygon mode as the wireframe material (or switch) left it.
  r.shading = 3;
  r.twoSided = false;
  TMaterial solid;
  solid.LoadFromRecord(folder, r);
  solid.Apply();
  glGetIntegerv(GL_POLYGON_MODE, polygon);
  glGetIntegerv(GL_SHADE_MODEL, &shade);
  EXPECT_EQ(polygon[0], GL_LINE);
  EXPECT_EQ(shade, GL_SMOOTH);
  EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(MaterialGL, ApplyDecidesAlphaTestAndTexturingByTheTexture) {
  TMaterialRecord r = Record();
  TMaterial plain;
  plain.LoadFromRecord(folder, r);
  r.textureMap = "wood.tga";
  TMaterial wood;
  wood.LoadFromRecord(folder, r);
  r.textureMap = "leaves.tga";
  TMaterial leaves;
  leaves.LoadFromRecord(folder, r);
  wood.UploadTexture();
  leaves.UploadTexture();
  plain.UploadTexture();  // nothing to upload: harmless

  // Texturing on (render switch) and alpha test on, as the world sets them for a frame.
  for (bool texturing : {true, false}) {
    if (texturing)
      glEnable(GL_TEXTURE_2D);
    else
      glDisable(GL_TEXTURE_2D);
    glEnable(GL_ALPHA_TEST);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    leaves.Apply();  // 32-bit: the alpha test stays
    EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));
    GLint env = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
    EXPECT_EQ(env, GL_MODULATE);
    EXPECT_EQ(glIsEnabled(GL_TEXTURE_2D), texturing);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), leaves.Texture->TextureName);

    wood.Apply();  // 24-bit: no alpha test
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_EQ(glIsEnabled(GL_TEXTURE_2D), texturing);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), wood.Texture->TextureName);

    glEnable(GL_ALPHA_TEST);
    plain.Apply();  // no texture: neither
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
  }
}

TEST_F(MaterialGL, HighlightAndRestoreRoundTripAndDullValuesBecomeTheRestoredOnes) {
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  TMaterial m;
  GLint env = 0;
  glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
  EXPECT_EQ(env, GL_REPLACE);  // building makes no GL call; a textured Apply sets the mode

  TMaterialRecord r = Record();
  r.transparency = -0.25f;
  m.LoadFromRecord(folder, r);
  m.SetHighlight();
  EXPECT_EQ(m.Specular, (TColor{1, 1, 1, 0.75f}));
  EXPECT_EQ(m.Shininess, 126);
  m.RestoreSpecular();
  EXPECT_EQ(m.Specular, (TColor{0.7f, 0.8f, 0.9f, 0.75f}));
  EXPECT_EQ(m.Shininess, 64);

  m.SetHighlight();
  m.SetDullSpecular();
  m.SetHighlight();
  m.RestoreSpecular();
  EXPECT_EQ(m.Specular, (TColor{0.1f, 0.1f, 0.1f, 0.75f}));
  EXPECT_EQ(m.Shininess, 55);

  m.SetWhite();
  EXPECT_EQ(m.Ambient, (TColor{1, 1, 1, 0.75f}));
  EXPECT_EQ(m.Diffuse, (TColor{1, 1, 1, 0.75f}));
}

}  // namespace
}  // namespace qv
