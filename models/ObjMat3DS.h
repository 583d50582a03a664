#pragma once
// TObjMat3DS: one face-material group of a mesh (0x4130 under the face list).

#include <cstdint>
#include <string>
#include <vector>

namespace qv {

struct TObjMat3DS {
  std::string name;             // the material's name, as written in the file
  std::vector<uint16_t> faces;  // indices into the mesh's faces; every one below the face count
  friend bool operator==(const TObjMat3DS&, const TObjMat3DS&) = default;
};

}  // namespace qv
