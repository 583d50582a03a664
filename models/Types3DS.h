#pragma once
// Small value types shared by the .3ds records, the reader and the writer. The mesh record's own
// types (faces, mapping info, material groups) live with it in scene/Mesh3DS.h.

#include "scene/Mesh3DS.h"

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

}  // namespace qv
