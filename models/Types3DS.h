#pragma once
// Small value types shared by the .3ds records, the reader and the writer. Header-only data: the
// scene layer includes these records without linking the model reader.

#include <array>
#include <cstdint>

namespace qv {

// Release code of a model file: 0, 1, 2 for 3DS release 1, 2, 3; 3 when unknown or absent.
using TRelease3DS = int;
constexpr TRelease3DS kRelease3DSNone = 3;

// A colour as the material chunks hold it, each channel a fraction 0..1.
struct TColor3DS {
  float r = 0;  // red, 0..1
  float g = 0;  // green, 0..1
  float b = 0;  // blue, 0..1
  friend bool operator==(const TColor3DS&, const TColor3DS&) = default;
};

// One triangle of a mesh, as stored in the face list.
struct TFace3DS {
  uint16_t a = 0;     // first corner, index into the mesh's vertices
  uint16_t b = 0;     // second corner
  uint16_t c = 0;     // third corner
  uint16_t flag = 0;  // edge visibility and mapping bits; unused by the game
  friend bool operator==(const TFace3DS&, const TFace3DS&) = default;
};

// Texture-mapping info of a mesh (0x4170). Kept for completeness; nothing in the game reads it.
struct TMapInfo3DS {
  uint16_t mapType = 0;           // 0 planar, 1 cylindrical, 2 spherical
  float tileX = 1, tileY = 1;     // tiling in u and v
  float centerX = 0, centerY = 0, centerZ = 0;  // icon centre, file axes
  float scale = 1;                // icon scale
  std::array<float, 12> matrix{1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};  // icon orientation, 3x4
  float planeWidth = 1, planeHeight = 1;  // planar icon size
  float cylinderHeight = 1;               // cylindrical icon height
};

}  // namespace qv
