#pragma once
// The GL state every frame of the game relies on and nothing switches: smooth shading, no
// dithering, the alpha test and blend functions the materials are made for, depth testing,
// normalised normals, linear fog with the level's range and colour (whether fog is on is the
// render switches' business), and light 0 as a white directional light from above, fixed to the
// viewer. The game window sets it after every creation of the context and every level load, and
// qv-tool view sets the same, so a model looks there as it does in the game. Needs a current
// context; leaves the matrix mode and both matrices as it found them.

#include "scene/Geometry.h"

namespace qv {

struct TFogSettings {
  float Start = 50;                   // distance where fog begins, world units
  float End = 1000;                   // distance where fog is complete, world units
  TColor Color{0.6f, 0.6f, 0.6f, 1};  // fog colour
};

void ApplyFixedGLState(const TFogSettings& fog);

}  // namespace qv
