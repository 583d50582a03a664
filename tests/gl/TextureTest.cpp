#include "scene/Texture.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "platform/EGL.h"
#include "scene/TgaWriter.h"
#include "tests/support/GLTestContext.h"
#include "tests/support/TempDir.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

class TextureGL : public ::testing::Test {
 protected:
  test::TempDir temp_;
  const fs::path& dir_ = temp_.Path();
};

// Draws the bound texture over the whole viewport, unlit and untransformed.
void DrawTexturedQuad() {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_TEXTURE_2D);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  glBegin(GL_QUADS);
  glTexCoord2f(0, 0), glVertex2f(-1, -1);
  glTexCoord2f(1, 0), glVertex2f(1, -1);
  glTexCoord2f(1, 1), glVertex2f(1, 1);
  glTexCoord2f(0, 1), glVertex2f(-1, 1);
  glEnd();
  glDisable(GL_TEXTURE_2D);
}

void ExpectColour(const std::vector<std::uint8_t>& rgba, int width, int x, int y, int r, int g,
                  int b) {
  const auto p = test::PixelAt(rgba, width, x, y);
  // Compressed formats may round a channel slightly; pure colours survive within a few steps.
  EXPECT_NEAR(p[0], r, 8) << "at " << x << ", " << y << ": " << int(p[0]) << " " << int(p[1]) << " "
                          << int(p[2]);
  EXPECT_NEAR(p[1], g, 8) << "at " << x << ", " << y << ": " << int(p[0]) << " " << int(p[1]) << " "
                          << int(p[2]);
  EXPECT_NEAR(p[2], b, 8) << "at " << x << ", " << y << ": " << int(p[0]) << " " << int(p[1]) << " "
                          << int(p[2]);
}

TEST_F(TextureGL, UploadedTextureShowsItsPixelsWithTheFirstRowAtTheBottom) {
  test::GLTestContext ctx(64, 64);
  // 2 pixels wide: 6-byte rows, which GL's default 4-byte row alignment would misread. Two
  // colours only: the compressed formats keep two colours per 4 x 4 block exactly.
  TTgaImage image = MakeTgaImage(2, 4, 24);
  const int colours[4][3] = {{255, 0, 0}, {0, 0, 255}, {0, 0, 255}, {255, 0, 0}};
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 2; ++x)
      SetTgaPixel(image, x, y, colours[y][0], colours[y][1], colours[y][2]);
  SetTgaPixel(image, 1, 0, 0, 0, 255);
  WriteTga(dir_ / "stripes.tga", image);

  TTexture texture((dir_ / "stripes.bmp").string());
  EXPECT_EQ(texture.FileName, (dir_ / "stripes.tga").string());
  EXPECT_FALSE(texture.HasAlpha);
  EXPECT_EQ(texture.InternalFormat, static_cast<GLenum>(GL_RGB8));
  EXPECT_EQ(texture.Format, static_cast<GLenum>(GL_BGR_EXT));
  EXPECT_EQ(texture.ImageSize, 24);
  EXPECT_NE(texture.TextureName, 0u);
  texture.MagFilter = GL_NEAREST;
  texture.Upload();
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

  GLint bound = 0, wrap = 0, minFilter = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
  EXPECT_EQ(static_cast<GLuint>(bound), texture.TextureName);
  EXPECT_EQ(wrap, GL_REPEAT);
  EXPECT_EQ(minFilter, GL_LINEAR_MIPMAP_LINEAR);
  GLint alignment = 0;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
  EXPECT_EQ(alignment, 4);  // the caller's pixel-store state is left as it was

  DrawTexturedQuad();
  const auto rgba = test::ReadPixels(ctx);
  for (int y = 0; y < 4; ++y)
    ExpectColour(rgba, 64, 16, 8 + 16 * y, colours[y][0], colours[y][1], colours[y][2]);
  ExpectColour(rgba, 64, 48, 8, 0, 0, 255);  // the one odd pixel of the bottom row
  ExpectColour(rgba, 64, 48, 56, 255, 0, 0);
}

TEST_F(TextureGL, ThirtyTwoBitTextureHasAlphaThatTheAlphaTestSees) {
  test::GLTestContext ctx(32, 32);
  // 4 x 4: Mesa's RGBA compressor is only reliable on whole 4 x 4 blocks.
  TTgaImage image = MakeTgaImage(4, 4, 32, 255, 255, 255, 255);
  for (int y = 0; y < 2; ++y)
    for (int x = 2; x < 4; ++x) SetTgaPixel(image, x, y, 255, 255, 255, 0);  // lower right clear
  WriteTga(dir_ / "leaf.tga", image);
  TTexture texture((dir_ / "leaf").string());
  EXPECT_TRUE(texture.HasAlpha);
  EXPECT_EQ(texture.InternalFormat, static_cast<GLenum>(GL_RGBA8));
  EXPECT_EQ(texture.Format, static_cast<GLenum>(GL_BGRA_EXT));
  texture.MagFilter = GL_NEAREST;
  texture.Upload();
  glEnable(GL_ALPHA_TEST);
  glAlphaFunc(GL_GREATER, 0.5f);
  DrawTexturedQuad();
  const auto rgba = test::ReadPixels(ctx);
  ExpectColour(rgba, 32, 8, 8, 255, 255, 255);
  ExpectColour(rgba, 32, 24, 8, 0, 0, 0);  // dropped by the alpha test
  ExpectColour(rgba, 32, 24, 24, 255, 255, 255);
}

TEST_F(TextureGL, PixelsStayForAnUploadIntoANewContext) {
  TTgaImage image = MakeTgaImage(4, 4, 24, 0, 255, 0);
  WriteTga(dir_ / "grass.tga", image);
  std::unique_ptr<TTexture> texture;
  {
    test::GLTestContext first(16, 16);
    texture = std::make_unique<TTexture>((dir_ / "grass.tga").string());
    texture->Upload();
  }
  EXPECT_EQ(texture->Pixels.size(), 48u);
  test::GLTestContext second(16, 16);
  texture->Upload();
  DrawTexturedQuad();
  ExpectColour(test::ReadPixels(second), 16, 8, 8, 0, 255, 0);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(TextureGL, UnreadableFilesFailNamingTheTgaFile) {
  test::GLTestContext ctx(16, 16);
  std::vector<std::uint8_t> rle = EncodeTga(MakeTgaImage(2, 2, 24));
  rle[2] = 10;
  WriteBytes(dir_ / "rle.tga", rle);
  WriteBytes(dir_ / "grey.tga", [] {
    auto bytes = EncodeTga(MakeTgaImage(2, 2, 24));
    bytes[16] = 8;
    return bytes;
  }());
  for (const char* name : {"missing.jpg", "rle.png", "grey.tga"}) {
    const std::string expected = "Error Loading Texture:" + TgaFileName((dir_ / name).string());
    try {
      TTexture texture((dir_ / name).string());
      ADD_FAILURE() << name << " loaded";
    } catch (const EGL& error) {
      EXPECT_EQ(error.what(), expected);
    }
  }
}

}  // namespace
}  // namespace qv
