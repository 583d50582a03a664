#pragma once
// TMaterial3DS: one material entry (0xAFFF) of a .3ds file. Plain data, owned by the database's
// material list. The game reads the name, the colours, shininess, transparency, self-illumination,
// shading level, two-sided and the texture map's file name; the rest is kept so a file round-trips.

#include <string>

#include "models/Bitmap3DS.h"
#include "models/Types3DS.h"

namespace qv {

// A map and its mask.
struct TMapSet3DS {
  TBitmap3DS map;   // the map itself
  TBitmap3DS mask;  // its mask
};

// The reflection map set, with its automatic (cube) reflection settings.
struct TRMapSet3DS {
  TBitmap3DS map;                   // 0xA220
  bool useAuto = false;             // 0xA310 present
  bool autoFirstFrameOnly = false;  // 0xA310 option: render the first frame only
  bool autoFlat = false;            // 0xA310 option: flat mirror
  int autoSize = 100;               // 0xA310 map size, pixels
  int autoFrameStep = 1;            // 0xA310 render every n-th frame
  TBitmap3DS mask;                  // 0xA34C
};

struct TMaterial3DS {
  std::string name;              // 0xA000, "" when absent
  TColor3DS ambient;             // 0xA010
  TColor3DS diffuse;             // 0xA020
  TColor3DS specular;            // 0xA030
  float shininess = 0;           // 0xA040, a fraction (1.0 = 100 %)
  float shineStrength = 0;       // 0xA041, a fraction
  float transparency = 0;        // 0xA050, a fraction; negated by 0xA08A
  float transFalloff = 0;        // 0xA052, a fraction
  float reflectBlur = 0;         // 0xA053, a fraction
  float selfIllumPercent = 0;    // 0xA084, a fraction
  float wireSize = 1;            // 0xA087
  int shading = 3;               // 0xA100; 0xA085 sets 0 (wire)
  bool useReflectBlur = false;   // 0xA250
  bool useTransFalloff = false;  // 0xA240
  bool twoSided = false;         // 0xA081
  bool selfIllum = false;        // 0xA080
  bool additive = false;         // 0xA083
  bool wireInUnits = false;      // 0xA08E
  bool faceMap = false;          // 0xA088
  bool soften = false;           // 0xA08C
  TMapSet3DS texture;            // 0xA200 with mask 0xA33E
  TMapSet3DS texture2;           // 0xA33A with mask 0xA340
  TMapSet3DS opacity;            // 0xA210 with mask 0xA342
  TMapSet3DS bump;               // 0xA230 with mask 0xA344
  TMapSet3DS specMap;            // 0xA204 with mask 0xA348
  TMapSet3DS shinMap;            // 0xA33C with mask 0xA346
  TMapSet3DS illumMap;           // 0xA33D with mask 0xA34A
  TRMapSet3DS reflect;           // 0xA220, 0xA310, mask 0xA34C
};

}  // namespace qv
