#pragma once
// Pieces several demo levels share: material presets, the actors' models, the sky dome and the
// decoration objects (each decoration is one mesh of its own, so the partition tree sees many
// small objects). Decorations use the materials of DecorationMaterials(), which a level adds to its
// model together with the texture files those materials name.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "assets/DemoModel.h"
#include "assets/DemoTextures.h"

namespace qv::assets {

// A material with ambient at 40 % of the diffuse colour and a little specular light.
TDemoMaterial MakeMaterial(const std::string& name, float r, float g, float b,
                           const std::string& texture = {});

// "Bark", "Leaves", "Rock", "Crate", "Metal", "LampGlow", naming "bark.tga", "leaves.bmp",
// "rock.jpg" and "crate.bmp" (read as .tga files by the game).
std::vector<TDemoMaterial> DecorationMaterials();
// The texture files the decoration materials need, as (file name, picture).
std::vector<std::pair<std::string, TTgaImage>> DecorationTextures();

// Appended as one mesh each; `seed` varies the shape.
void AddTree(TDemoModel& model, const std::string& name, const TVector& base, float height,
             std::uint32_t seed);
void AddRock(TDemoModel& model, const std::string& name, const TVector& base, float size,
             std::uint32_t seed);
void AddCrate(TDemoModel& model, const std::string& name, const TVector& base, float size,
              float yaw);
void AddLampPost(TDemoModel& model, const std::string& name, const TVector& base);
void AddBush(TDemoModel& model, const std::string& name, const TVector& base, float size,
             std::uint32_t seed);

// A low wall round the play area: `segments` blocks on a circle of `radius` about the origin, each
// from below the ground to `height` above it (`ground` gives the surface), in collision meshes
// named prefix1, prefix2, ... of at most 20 blocks (480 vertices) each, so actors meet every block
// as it is. Actors inside slide along it instead of stopping at the terrain's edge.
void AddBoundaryWall(TDemoModel& model, const std::string& prefix, float radius, int segments,
                     float height, const std::function<float(float, float)>& ground,
                     const std::string& material);

// The player: a body the camera sits inside (eye height 0.75, front reach 0.55, floating 3.9 above
// the ground), plain materials.
TDemoModel PlayerModel();

// A ghost: translucent skin from a 32-bit texture `skinTexture` (two-sided, so the inside of the
// skirt shows), dark eyes facing -z. Floats about 3.1 above the ground.
TDemoModel GhostModel(const std::string& meshName, const std::string& skinTexture, float r, float g,
                      float b);
// A glowing lantern without texture (self-illuminated), for shuttles.
TDemoModel LanternModel();

// A sky dome of `radius` around the origin, texture coordinates on every vertex, self-illuminated
// so lighting and fog colour leave its picture alone.
TDemoModel SkyModel(float radius, const std::string& texture);

}  // namespace qv::assets
