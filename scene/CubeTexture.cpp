#include "scene/CubeTexture.h"

#include <GL/glext.h>
#include <GL/glu.h>

#include <array>
#include <stdexcept>
#include <string>

#include "scene/Frustum.h"

namespace qv {

const TCubeFace kCubeFaces[6] = {
    {GL_TEXTURE_CUBE_MAP_POSITIVE_X_ARB, -90, 0, 1, 0, true},
    {GL_TEXTURE_CUBE_MAP_NEGATIVE_X_ARB, 90, 0, 1, 0, true},
    {GL_TEXTURE_CUBE_MAP_POSITIVE_Y_ARB, -90, 1, 0, 0, false},
    {GL_TEXTURE_CUBE_MAP_NEGATIVE_Y_ARB, 90, 1, 0, 0, false},
    {GL_TEXTURE_CUBE_MAP_POSITIVE_Z_ARB, 180, 1, 0, 0, false},
    {GL_TEXTURE_CUBE_MAP_NEGATIVE_Z_ARB, 180, 0, 0, 1, false},
};

namespace {

// Used while the application has not installed its own hooks: remembers the viewport and scissor
// box in force when the face rendering starts and puts them back afterwards.
struct TSavedViewport {
  std::array<GLint, 4> viewport{};
  std::array<GLint, 4> scissor{};
};

TSavedViewport& SavedViewport() {
  static TSavedViewport saved;
  return saved;
}

void SetViewport(int width, int height) {
  const TViewportHooks& hooks = ViewportHooks();
  if (hooks.SetViewport) {
    hooks.SetViewport(width, height);
    return;
  }
  glGetIntegerv(GL_VIEWPORT, SavedViewport().viewport.data());
  glGetIntegerv(GL_SCISSOR_BOX, SavedViewport().scissor.data());
  glViewport(0, 0, width, height);
  glScissor(0, 0, width, height);
}

void ResetViewport() {
  const TViewportHooks& hooks = ViewportHooks();
  if (hooks.ResetViewport) {
    hooks.ResetViewport();
    return;
  }
  const TSavedViewport& saved = SavedViewport();
  glViewport(saved.viewport[0], saved.viewport[1], saved.viewport[2], saved.viewport[3]);
  glScissor(saved.scissor[0], saved.scissor[1], saved.scissor[2], saved.scissor[3]);
}

}  // namespace

TViewportHooks& ViewportHooks() {
  static TViewportHooks hooks;
  return hooks;
}

TCubeTexture::TCubeTexture(int width, int height) {
  if (width <= 0 || height <= 0)
    throw std::invalid_argument("TCubeTexture: size " + std::to_string(width) + " x " +
                                std::to_string(height));
  HasAlpha = false;
  InternalFormat = GL_RGBA;
  BitsPerPixel = 32;
  BytesPerPixel = 4;
  WrapS = GL_CLAMP;
  WrapT = GL_CLAMP;
  MinFilter = GL_LINEAR_MIPMAP_LINEAR;
  MagFilter = GL_LINEAR;
  Width = width;
  Height = height;
  ImageSize = std::int64_t(width) * height * 4;
  // Only gives the faces their size; zeroed so the first picture of a face is black, not garbage.
  Pixels.assign(static_cast<std::size_t>(ImageSize), 0);
  MakeName();
}

void TCubeTexture::Bind() const { glBindTexture(GL_TEXTURE_CUBE_MAP_ARB, TextureName); }

void TCubeTexture::SetUp(TCubeRenderCallback onRender) {
  OnRender = std::move(onRender);
  RenewNameForThisContext();
  glEnable(GL_TEXTURE_CUBE_MAP_ARB);
  Bind();
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_REFLECTION_MAP_ARB);
  glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_REFLECTION_MAP_ARB);
  glTexGeni(GL_R, GL_TEXTURE_GEN_MODE, GL_REFLECTION_MAP_ARB);
  glTexParameterf(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_MAG_FILTER, static_cast<GLfloat>(MagFilter));
  glTexParameterf(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_MIN_FILTER, static_cast<GLfloat>(MinFilter));
  glTexParameteri(GL_TEXTURE_CUBE_MAP_ARB, GL_GENERATE_MIPMAP_SGIS, GL_TRUE);
  for (const TCubeFace& face : kCubeFaces)
    glTexImage2D(face.Target, 0, 4, Width, Height, 0, GL_RGBA, GL_UNSIGNED_BYTE, Pixels.data());
  glTexParameteri(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_WRAP_S, WrapS);
  glTexParameteri(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_WRAP_T, WrapT);
  glDisable(GL_TEXTURE_CUBE_MAP_ARB);
}

void TCubeTexture::Update() {
  if (!OnRender) throw std::logic_error("TCubeTexture.Update before SetUp");
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  gluPerspective(90.0, 1.0, 2.0, 2000.0);
  glGetFloatv(GL_PROJECTION_MATRIX, Projection.data());
  SetViewport(Width, Height);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  RenderFace(CurrentFace);
  CurrentFace = CurrentFace >= 5 ? 0 : CurrentFace + 1;
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  ResetViewport();
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  // The face picture must not show in the frame drawn next.
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void TCubeTexture::RenderFace(int faceNumber) {
  if (faceNumber < 0 || faceNumber > 5)
    throw std::out_of_range("TCubeTexture face " + std::to_string(faceNumber));
  const TCubeFace& face = kCubeFaces[faceNumber];
  glClear(GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
  glRotatef(face.Angle, face.AxisX, face.AxisY, face.AxisZ);
  if (face.TurnAboutZ) glRotatef(180, 0, 0, 1);
  glTranslatef(-Centre.x, -Centre.y, -Centre.z);
  TMatrix modelView{};
  glGetFloatv(GL_MODELVIEW_MATRIX, modelView.data());
  const TFrustum frustum = ExtractFrustum(Projection, modelView);
  if (OnRender) OnRender(frustum);
  glEnable(GL_TEXTURE_CUBE_MAP_ARB);
  Bind();
  glCopyTexSubImage2D(face.Target, 0, 0, 0, 0, 0, Width, Height);
  glDisable(GL_TEXTURE_CUBE_MAP_ARB);
}

}  // namespace qv
