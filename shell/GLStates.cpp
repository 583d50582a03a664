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
      SeparateSpecular(params.SeparateSpecular),
      ShowFrameInfoLine(params.ShowFrameInfoLine),
      MouseCapture(params.MouseCapture),
      DisplayLists(params.DisplayLists) {}

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

bool TGLStates::Get(TSwitch which) const {
  switch (which) {
    case TSwitch::FrameInfo: return ShowFrameInfoLine;
    case TSwitch::Fog: return Fog;
    case TSwitch::WireFrame: return WireFrame;
    case TSwitch::Light: return Light;
    case TSwitch::MouseCapture: return MouseCapture;
    case TSwitch::Texture: return Texture;
    case TSwitch::AlphaTest: return AlphaTest;
    case TSwitch::Blend: return Blend;
    case TSwitch::SeparateSpecular: return SeparateSpecular;
    case TSwitch::DisplayLists: return DisplayLists;
    case TSwitch::HighestQuality: return true;
  }
  return false;
}

void TGLStates::Set(TSwitch which, bool on) {
  switch (which) {
    case TSwitch::FrameInfo: ShowFrameInfoLine = on; break;
    case TSwitch::Fog: SetFog(on); break;
    case TSwitch::WireFrame: SetWireFrame(on); break;
    case TSwitch::Light: SetLight(on); break;
    case TSwitch::MouseCapture: MouseCapture = on; break;
    case TSwitch::Texture: SetTexture(on); break;
    case TSwitch::AlphaTest: SetAlphaTest(on); break;
    case TSwitch::Blend: SetBlend(on); break;
    case TSwitch::SeparateSpecular: SetSeparateSpecular(on); break;
    case TSwitch::DisplayLists: DisplayLists = on; break;
    case TSwitch::HighestQuality: HighestQuality(); break;
  }
}

bool TGLStates::Toggle(TSwitch which) {
  Set(which, !Get(which));
  return Get(which);
}

}  // namespace qv
