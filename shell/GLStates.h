#pragma once
// TGLStates: the render states the player can switch (fog, lighting, wire frame, alpha test, 2D
// texturing, blending, separate specular colour) and the only place that turns them on or off.
// Construction copies the settings' initial values and makes no GL call; every setter stores the
// value and makes its GL call at once, also when the value does not change, so a setter can be
// trusted to leave GL as it says. Setters, Apply and HighestQuality need a current GL context.
// Apply sends every switch to a fresh context, so the switches survive a context rebuild.

namespace qv {

class TParams;

class TGLStates {
 public:
  explicit TGLStates(const TParams& params);

  void SetFog(bool on);               // GL_FOG
  void SetLight(bool on);             // GL_LIGHTING
  void SetWireFrame(bool on);         // polygon mode GL_LINE / GL_FILL, front and back
  void SetAlphaTest(bool on);         // GL_ALPHA_TEST
  void SetTexture(bool on);           // GL_TEXTURE_2D
  void SetBlend(bool on);             // GL_BLEND
  void SetSeparateSpecular(bool on);  // colour control GL_SEPARATE_SPECULAR_COLOR / GL_SINGLE_COLOR

  // Every setter with its stored value: fog, light, wire frame, alpha test, texture, blend,
  // separate specular.
  void Apply();
  // Everything on but wire frame, then Apply.
  void HighestQuality();

  // The switches, in this order; write them through the setters.
  bool Fog;
  bool Light;
  bool WireFrame;
  bool AlphaTest;
  bool Texture;
  bool Blend;
  bool SeparateSpecular;
};

}  // namespace qv
