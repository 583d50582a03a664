#include "shell/GLStates.h"

#include <GL/gl.h>

#include "shell/Params.h"

namespace qv {

namespace {
void Enable(GLenum capability, bool on) { on ? glEnable(capability) : glDisable(capability); }
}  // namespace

TGLStates::TGLStates(const TParams& params)
    : Fog(params.Fog),
      Light(params.Light),
      WireFrame(params.WireFrame),
      AlphaTest(params.AlphaTest),
      Texture(params.Texture),
      Blend(params.Blend),
      SeparateSpecular(params.SeparateSpecular) {}

void TGLStates::SetFog(bool on) {
  Fog = on;
  Enable(GL_FOG, on);
}

void TGLStates::SetLight(bool on) {
  Light = on;
  Enable(GL_LIGHTING, on);
}

void TGLStates::SetWireFrame(bool on) {
  WireFrame = on;
  glPolygonMode(GL_FRONT_AND_BACK, on ? GL_LINE : GL_FILL);
}

void TGLStates::SetAlphaTest(bool on) {
  AlphaTest = on;
  Enable(GL_ALPHA_TEST, on);
}

void TGLStates::SetTexture(bool on) {
  Texture = on;
  Enable(GL_TEXTURE_2D, on);
}

void TGLStates::SetBlend(bool on) {
  Blend = on;
  Enable(GL_BLEND, on);
}

void TGLStates::SetSeparateSpecular(bool on) {
  SeparateSpecular = on;
  glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, on ? GL_SEPARATE_SPECULAR_COLOR : GL_SINGLE_COLOR);
}

void TGLStates::Apply() {
  SetFog(Fog);
  SetLight(Light);
  SetWireFrame(WireFrame);
  SetAlphaTest(AlphaTest);
  SetTexture(Texture);
  SetBlend(Blend);
  SetSeparateSpecular(SeparateSpecular);
}

void TGLStates::HighestQuality() {
  Fog = Light = AlphaTest = Texture = Blend = SeparateSpecular = true;
  WireFrame = false;
  Apply();
}

}  // namespace qv
