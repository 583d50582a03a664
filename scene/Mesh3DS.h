#pragma once
// TMesh3DS: one triangle mesh of a .3ds file, as the database hands it out and the mesh objects
// are built from. Plain data, owned by the database's object list; a caller keeps a copy of what
// it needs beyond the file object's life. It lives here, with the meshes, so that they read it
// without reaching up into the model reader (models/Mesh3DS.h names it there).
//
// Guarantees of a record read from a file (the reader rejects a file that breaks the first two):
//  - every face corner is below vertices.size();
//  - every material-group face index is below faces.size();
//  - smoothing is empty (no 0x4150 chunk) or holds at least one mask per face (missing masks 0);
//  - texVerts is empty (no coordinates) or holds at least one pair per vertex (missing ones (0,0)).
// texVertexCount keeps the count the file stored, which may differ from texVerts.size().

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "scene/Geometry.h"

namespace qv {

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
  uint16_t mapType = 0;                         // 0 planar, 1 cylindrical, 2 spherical
  float tileX = 1, tileY = 1;                   // tiling in u and v
  float centerX = 0, centerY = 0, centerZ = 0;  // icon centre, file axes
  float scale = 1;                              // icon scale
  std::array<float, 12> matrix{1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};  // icon orientation, 3x4
  float planeWidth = 1, planeHeight = 1;                             // planar icon size
  float cylinderHeight = 1;                                          // cylindrical icon height
};

// One face-material group of a mesh (0x4130 under the face list).
struct TObjMat3DS {
  std::string name;             // the material's name, as written in the file
  std::vector<uint16_t> faces;  // indices into the mesh's faces; every one below the face count
  friend bool operator==(const TObjMat3DS&, const TObjMat3DS&) = default;
};

struct TMesh3DS {
  std::string name;                     // the named object's name (0x4000)
  bool hidden = false;                  // 0x4010 under the named object
  bool visibleInLofter = false;         // 0x4011
  bool matte = false;                   // 0x4013
  bool noCastShadows = false;           // 0x4012
  bool fast = false;                    // 0x4014
  bool noReceiveShadows = false;        // 0x4017
  bool frozen = false;                  // 0x4016
  std::vector<TVector> vertices;        // 0x4110, file axes (z up), unscaled
  std::vector<uint16_t> vertexFlags;    // 0x4111
  uint16_t texVertexCount = 0;          // count stored in 0x4140 (0 when absent)
  std::vector<TTexCoord> texVerts;      // 0x4140, padded with (0,0) up to the vertex count
  bool useMapInfo = false;              // 0x4170 present
  TMapInfo3DS mapInfo;                  // 0x4170
  std::array<float, 12> localMatrix{};  // 0x4160, 3x3 rotation then translation; never applied
  std::vector<TFace3DS> faces;          // 0x4120
  std::vector<uint32_t> smoothing;      // 0x4150 under the face list, one mask per face
  bool useBoxMap = false;               // 0x4190 present
  std::array<std::string, 6> boxMap;    // 0x4190: front, back, left, right, top, bottom
  uint8_t meshColor = 0;                // 0x4165
  std::vector<TObjMat3DS> matGroups;    // 0x4130 under the face list, in file order
  bool procedural = false;              // 0x4015 under the named object
  std::string procName;                 // 0x4181
  std::vector<uint8_t> procData;        // 0x4182, raw
};

}  // namespace qv
