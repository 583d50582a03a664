#pragma once
// Shapes the demo levels are built from, added to a TMeshBuilder in world axes (y up). Every face
// is wound so that it faces outwards (or inwards for the sky dome), checked against the intended
// direction rather than trusted to the corner order. Texture coordinates are planar, in world
// units times `uvScale`, so neighbouring surfaces continue their textures.

#include <functional>
#include <string>

#include "assets/DemoModel.h"

namespace qv::assets {

enum class EBottom { Open, Closed };
enum class EFacing { Outward, Inward };

// A quad p0-p1-p2-p3 (in order around its edge) facing `towards`; uv per corner.
void AddQuadFacing(TMeshBuilder& b, const TVector (&p)[4], const TTexCoord (&uv)[4],
                   const TVector& towards, const std::string& material, std::uint32_t smoothing);

// An upright box standing on `base` (centre of its bottom face), turned by `yaw` degrees about y.
// Each side gets its own smoothing bit, so corners are shared within a side only.
void AddBox(TMeshBuilder& b, const TVector& base, float halfX, float height, float halfZ, float yaw,
            const std::string& material, float uvScale, EBottom bottom = EBottom::Closed);

// A grid of nx x nz cells over [x0, x1] x [z0, z1] with y = height(x, z), facing up, all faces in
// smoothing group 1 (corners shared). Cells for which skip(i, j) is true are left out.
void AddHeightfield(TMeshBuilder& b, float x0, float z0, float x1, float z1, int nx, int nz,
                    const std::function<float(float, float)>& height, const std::string& material,
                    float uvScale, const std::function<bool(int, int)>& skip = {});

// An upright cylinder. The caps share the rim vertices of the side but sit in another smoothing
// group (2), so the game splits those vertices while the side (group 1) stays smooth.
void AddCylinder(TMeshBuilder& b, const TVector& base, float radius, float height, int segments,
                 const std::string& sideMaterial, const std::string& capMaterial, float uvScale);

// An upright cone (smoothing group 1) with a flat base (group 2).
void AddCone(TMeshBuilder& b, const TVector& base, float radius, float height, int segments,
             const std::string& material, float uvScale);

// A sphere of `slices` x `stacks` quads, all in smoothing group 1, u around and v up. `scale`
// (slice, stack) -> factor, when given, bends the radius per vertex (rocks); `squash` scales y.
void AddSphere(TMeshBuilder& b, const TVector& centre, float radius, int slices, int stacks,
               const std::string& material, const std::function<float(int, int)>& scale = {},
               float squash = 1.0f);

// An open tube from radius r0 at base.y to r1 at base.y + height (smoothing group 1), for skirts
// and lamp shades; two-sided materials show its inside too.
void AddTube(TMeshBuilder& b, const TVector& base, float r0, float r1, float height, int segments,
             const std::string& material);

// A dome seen from inside: latitudes from `fromDegrees` (below the horizon when negative) to the
// zenith, texture coordinates on every vertex (`uvRepeat` times around).
void AddSkyDome(TMeshBuilder& b, float radius, float fromDegrees, int slices, int stacks,
                const std::string& material, float uvRepeat);

// A flight of `steps` steps starting at `start` (centre of the bottom front edge, on the ground at
// start.y) and climbing along the horizontal direction (dirX, dirZ), `width` wide. Treads face up,
// risers face back down the flight, the sides reach down to start.y.
void AddStairs(TMeshBuilder& b, const TVector& start, float dirX, float dirZ, float width,
               int steps, float rise, float run, const std::string& material, float uvScale);

// A ramp from `start` (centre of its low edge) climbing `rise` over `length` along (dirX, dirZ),
// with sides down to start.y and an upright back face.
void AddRamp(TMeshBuilder& b, const TVector& start, float dirX, float dirZ, float width,
             float length, float rise, const std::string& material, float uvScale);

// A pitched roof over walls of half sizes halfX, halfZ and top wallTop (ridge along x before
// turning by yaw), rising `ridge` above its eaves and reaching `overhang` beyond the walls.
void AddPitchedRoof(TMeshBuilder& b, const TVector& centre, float halfX, float halfZ, float wallTop,
                    float ridge, float overhang, float yaw, const std::string& roofMaterial,
                    const std::string& gableMaterial, float uvScale);

// A thin upright panel (two-sided materials show both faces) from (x0, z0) to (x1, z1).
void AddPanel(TMeshBuilder& b, float x0, float z0, float x1, float z1, float bottom, float top,
              const std::string& material, float uvScale);

}  // namespace qv::assets
