#pragma once
// A cube-map texture whose six faces are rendered from the scene rather than loaded: from Centre
// the scene is drawn through a 90-degree view along each axis and each picture is copied into one
// face. Reflective meshes own one (256 x 256) and use it with reflection-map texture-coordinate
// generation. Update renders one face per call (face 0 to 5, then 0 again), so a full refresh
// takes six calls; each call draws the scene once more at Width x Height into the lower-left corner
// of the back buffer, copies it and clears the frame again. SetUp must have run (once per GL
// context, making a new texture name in a new context) before the first Update. The name is freed
// as a TTexture's is.
//
// The viewport of the window belongs to the application object above this layer: Update reaches it
// through ViewportHooks(), which the application fills in at start-up. Left empty, the hooks set
// the GL viewport and scissor box themselves and restore the ones in force before.

#include <cstdint>
#include <functional>

#include "scene/Geometry.h"
#include "scene/Texture.h"

namespace qv {

// Draws the scene for one face, culled against that face's frustum.
using TCubeRenderCallback = std::function<void(const TFrustum& frustum)>;

struct TViewportHooks {
  std::function<void(int width, int height)> SetViewport;  // viewport and scissor to (0,0,w,h)
  std::function<void()> ResetViewport;                     // back to the window's own size
};

// The process-wide hooks (filled in by the application at start-up).
TViewportHooks& ViewportHooks();

// One face: its GL target and the rotation that turns the view from -z to the face's direction
// (faces 0 and 1 also turn 180 degrees about z).
struct TCubeFace {
  GLenum Target;              // GL_TEXTURE_CUBE_MAP_{POSITIVE,NEGATIVE}_{X,Y,Z}_ARB
  float Angle;                // first rotation, degrees
  float AxisX, AxisY, AxisZ;  // first rotation's axis
  bool TurnAboutZ;            // a second rotation of 180 degrees about z
};
extern const TCubeFace kCubeFaces[6];

class TCubeTexture : public TTexture {
 public:
  TCubeTexture(int width, int height);

  void Bind() const override;
  // Stores the renderer and creates the six faces in GL; again after every context rebuild.
  void SetUp(TCubeRenderCallback onRender);
  // Renders face CurrentFace and moves on to the next; std::logic_error before SetUp.
  void Update();
  // Draws the scene for one face (0..5) and copies the picture into it.
  void RenderFace(int face);

  TCubeRenderCallback OnRender;  // draws the scene for one face; empty until SetUp
  std::uint8_t CurrentFace = 0;  // the face the next Update renders, 0..5
  TMatrix Projection{};          // projection of the face views, read back in Update
  TVector Centre{};              // where the faces are rendered from, world coordinates
};

}  // namespace qv
