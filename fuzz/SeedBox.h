#pragma once
// A closed box mesh for the writer-made seeds of the fuzz targets: eight corners with texture
// coordinates, twelve triangles in one smoothing group, file axes (z up), no material groups.

#include <cstdint>

#include "scene/Mesh3DS.h"

namespace qv {

inline TMesh3DS SeedBox(const char* name, TVector low = {0, 0, 0}, TVector size = {1, 1, 1}) {
  TMesh3DS m;
  m.name = name;
  for (int i = 0; i < 8; ++i) {
    m.vertices.push_back({low.x + size.x * float(i & 1), low.y + size.y * float((i >> 1) & 1),
                          low.z + size.z * float(i >> 2)});
    m.texVerts.push_back({float(i & 1), float((i >> 1) & 1)});
  }
  const std::uint16_t quads[6][4] = {{0, 1, 3, 2}, {4, 6, 7, 5}, {0, 4, 5, 1},
                                     {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 5, 7, 3}};
  for (const auto& q : quads) {
    m.faces.push_back({q[0], q[1], q[2], 7});
    m.faces.push_back({q[0], q[2], q[3], 7});
  }
  m.smoothing.assign(12, 1);
  return m;
}

}  // namespace qv
