#pragma once
// TMesh3DS: one triangle mesh of a .3ds file, as the database hands it out. Plain data, owned by
// the database's object list; a caller keeps a copy of what it needs beyond the file object's life.
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

#include "models/ObjMat3DS.h"
#include "models/Types3DS.h"
#include "scene/Geometry.h"

namespace qv {

struct TMesh3DS {
  std::string name;                  // the named object's name (0x4000)
  bool hidden = false;               // 0x4010 under the named object
  bool visibleInLofter = false;      // 0x4011
  bool matte = false;                // 0x4013
  bool noCastShadows = false;        // 0x4012
  bool fast = false;                 // 0x4014
  bool noReceiveShadows = false;     // 0x4017
  bool frozen = false;               // 0x4016
  std::vector<TVector> vertices;     // 0x4110, file axes (z up), unscaled
  std::vector<uint16_t> vertexFlags;  // 0x4111
  uint16_t texVertexCount = 0;       // count stored in 0x4140 (0 when absent)
  std::vector<TTexCoord> texVerts;   // 0x4140, padded with (0,0) up to the vertex count
  bool useMapInfo = false;           // 0x4170 present
  TMapInfo3DS mapInfo;               // 0x4170
  std::array<float, 12> localMatrix{};  // 0x4160, 3x3 rotation then translation; never applied
  std::vector<TFace3DS> faces;       // 0x4120
  std::vector<uint32_t> smoothing;   // 0x4150 under the face list, one mask per face
  bool useBoxMap = false;            // 0x4190 present
  std::array<std::string, 6> boxMap;  // 0x4190: front, back, left, right, top, bottom
  uint8_t meshColor = 0;             // 0x4165
  std::vector<TObjMat3DS> matGroups;  // 0x4130 under the face list, in file order
  bool procedural = false;           // 0x4015 under the named object
  std::string procName;              // 0x4181
  std::vector<uint8_t> procData;     // 0x4182, raw
};

}  // namespace qv
