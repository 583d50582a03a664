#pragma once
// TBitmap3DS: one map setting of a material (texture, bump, reflection, ... and their masks).
// Only the file name is used by the game; the rest is decoded so a material round-trips.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "models/Types3DS.h"

namespace qv {

struct TBitmap3DS {
  std::string name;          // map file name (0xA300), as written in the file, "" when absent
  float percent = 0;         // strength, a fraction (0x0030 / 100 or 0x0031; bump: 0xA252 / 100)
  int tiling = 0;            // 0 tile, 1 decal, 2 both (from the 0xA351 flag word)
  bool ignoreAlpha = false;  // 0xA351 bit 8
  bool summedAreaFilter = false;  // 0xA351 bit 5 (pyramidal when false)
  bool mirror = false;            // 0xA351 bit 1
  bool negative = false;          // 0xA351 bit 3
  int source = 0;      // 0 RGB, 1 alpha, 2 RGB luma tint, 3 RGB tint (0xA351 bits 6, 7, 9)
  float blur = 0;      // 0xA353
  float uScale = 1;    // 0xA354
  float vScale = 1;    // 0xA356
  float uOffset = 0;   // 0xA358
  float vOffset = 0;   // 0xA35A
  float rotation = 0;  // 0xA35C, degrees
  std::array<TColor3DS, 5> tint{TColor3DS{}, TColor3DS{1, 1, 1}, TColor3DS{1, 0, 0},
                                TColor3DS{0, 1, 0}, TColor3DS{0, 0, 1}};  // 0xA360..0xA368
  std::vector<uint8_t> procData;  // procedural map data (0xA320..0xA338), raw
};

}  // namespace qv
