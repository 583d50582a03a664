#pragma once
// The fixed-function surface of one model-file material: four lighting colours, shininess, fill
// and shade mode, two-sidedness, an optional texture map (owned) and the reflective cube-map flag.
// The model adapter creates and owns the materials and fills them from the 3DS records; the face
// groups of the meshes refer to them and Apply them before drawing. Constructing and filling
// one need no GL context, Apply requires one; LoadFromRecord loads the texture file (throws EGL
// when it cannot).

#include <memory>
#include <string>

#include <GL/gl.h>

#include "scene/Geometry.h"
#include "scene/Texture.h"

namespace qv {

// What a material is filled from: the part of a model file's material record the game reads.
// The model adapter copies it out of the file's record.
struct TMaterialRecord {
  struct TRGB {
    float r = 0, g = 0, b = 0;  // fractions 0..1
  };
  std::string name;  // the material's name; "CUBEMAP" anywhere in it makes it reflective
  TRGB ambient;
  TRGB diffuse;
  TRGB specular;
  float shininess = 0;         // a fraction; times 128 gives the GL exponent
  float transparency = 0;      // a fraction, negative when the file marks it see-through
  bool selfIllum = false;      // Emission from the diffuse colour
  float selfIllumPercent = 0;  // a fraction, used with selfIllum
  int shading = 3;             // 0 wire, 1 flat, 2 and above smooth
  bool twoSided = false;
  std::string textureMap;  // the texture map's file name as written, "" for none
};

class TMaterial {
 public:
  // The defaults below; no GL call (Apply sets the texture environment mode).
  TMaterial() = default;

  // Fills the material from a model file's record; folder ends in a path delimiter, the texture
  // map is read from there with its extension replaced by ".tga".
  void LoadFromRecord(const std::string& folder, const TMaterialRecord& record);
  // Colours, polygon and shade mode, culling, texture binding and alpha test, in that order.
  void Apply() const;
  void UploadTexture();
  // Ambient and diffuse white, their alphas kept.
  void SetWhite();
  // Specular 0.1 grey and shininess 55, also as the values RestoreSpecular brings back.
  void SetDullSpecular();
  // Specular white and shininess 126; the saved values stay.
  void SetHighlight();
  void RestoreSpecular();

  bool IsCubeMap = false;   // reflective: drawn with the mesh's cube texture
  bool TwoSided = false;    // back faces are not culled
  int Shininess = 64;       // GL shininess exponent, 0..128
  int SavedShininess = 64;  // restored by RestoreSpecular
  TColor Emission{0, 0, 0, 1};
  TColor Ambient{0.4f, 0.4f, 0.4f, 1};
  TColor Diffuse{0.8f, 0.8f, 0.8f, 1};  // its alpha below 1 makes the surface transparent
  TColor Specular{0.1f, 0.1f, 0.1f, 1};
  TColor SavedSpecular{0.1f, 0.1f, 0.1f, 1};  // restored by RestoreSpecular
  GLenum TexEnvMode = GL_MODULATE;
  GLenum ShadeModel = GL_SMOOTH;      // GL_FLAT or GL_SMOOTH
  GLenum PolygonMode = GL_FILL;       // GL_FILL or GL_LINE (wireframe)
  std::unique_ptr<TTexture> Texture;  // texture map, none when the material has none
};

}  // namespace qv
