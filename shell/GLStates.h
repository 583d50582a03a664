#pragma once
// TGLStates: every switch the player flips, and the one owner of their values: the render states
// (fog, lighting, wire frame, alpha test, 2D texturing, blending, separate specular colour), the
// frame-rate line, mouse capture and display lists. The settings file gives the initial values and
// is never written; the key commands flip the switches here.
//
// Construction copies the settings' initial values and makes no GL call. Every render-state
// setter stores the value and makes its GL call at once, also when the value does not change, so
// a setter can be trusted to leave GL as it says; those setters, Apply and HighestQuality need a
// current GL context. Apply sends every render state to a fresh context, so they survive a context
// rebuild. The frame-rate line, mouse capture and display lists are only stored here: the game
// window carries them out (its overlay, the cursor, the world's meshes).

namespace qv {

class TParams;

// The switches by name, for tables of key commands. HighestQuality is the one that only turns on:
// toggling it sets every render state but wire frame.
enum class TSwitch {
  FrameInfo,
  Fog,
  WireFrame,
  Light,
  MouseCapture,
  Texture,
  AlphaTest,
  Blend,
  SeparateSpecular,
  DisplayLists,
  HighestQuality,
};

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

  // Every render-state setter with its stored value: fog, light, wire frame, alpha test, texture,
  // blend, separate specular.
  void Apply();
  // Everything on but wire frame, then Apply.
  void HighestQuality();

  // The value of a switch (HighestQuality: always true).
  bool Get(TSwitch which) const;
  // Stores the value through the switch's setter (HighestQuality: runs HighestQuality).
  void Set(TSwitch which, bool on);
  // Flips the switch and returns its new value.
  bool Toggle(TSwitch which);

  // The render states, in this order; write them through the setters.
  bool Fog;
  bool Light;
  bool WireFrame;
  bool AlphaTest;
  bool Texture;
  bool Blend;
  bool SeparateSpecular;
  // Carried out by the game window.
  bool ShowFrameInfoLine;  // the frame-rate line is drawn
  bool MouseCapture;       // the hidden cursor is held near the centre
  bool DisplayLists;       // the world's meshes are drawn from display lists
};

}  // namespace qv
