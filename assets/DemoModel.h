#pragma once
// The generator's own picture of one .3ds file before it is written: materials and triangle meshes
// as plain records, plus TMeshBuilder, which collects triangles in world axes (y up) and hands out
// a mesh in the file's axes (z up: a world point (x, y, z) is stored as (x, -z, y)), grouping faces
// by material in the order the materials were first used.
//
// Winding: a triangle is counter-clockwise as seen from the side its surface faces. The files are
// written as release 3, for which the game's face normal then points to that side.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "scene/Geometry.h"

namespace qv::assets {

struct TDemoMaterial {
  std::string Name;                      // unique within its file, compared ignoring case
  TColor Ambient{0.2f, 0.2f, 0.2f, 1};   // rgb used, 0..1
  TColor Diffuse{0.8f, 0.8f, 0.8f, 1};   // rgb used, 0..1
  TColor Specular{0.2f, 0.2f, 0.2f, 1};  // rgb used, 0..1
  float Shininess = 0.3f;                // fraction, 1 = 100 %
  float Transparency = 0;                // fraction
  bool NegateTransparency = false;       // writes 0xA08A: only then is the surface see-through
  bool SelfIlluminated = false;          // writes 0xA080
  float SelfIllum = 0;                   // fraction (0xA084)
  int Shading = 3;                       // 0 wire, 1 flat, 2 Gouraud, 3 Phong
  bool TwoSided = false;                 // writes 0xA081
  std::string TextureMap;                // file name as the material names it; empty for none
};

struct TDemoGroup {
  std::string Material;              // material name
  std::vector<std::uint16_t> Faces;  // face numbers of the mesh
};

struct TDemoMesh {
  std::string Name;                                 // "ter"/"col" prefixes choose the class
  bool Hidden = false;                              // writes 0x4010
  std::vector<TVector> Vertices;                    // file axes (z up)
  std::vector<TTexCoord> TexCoords;                 // empty or one per vertex
  std::vector<std::array<std::uint16_t, 3>> Faces;  // vertex numbers, counter-clockwise
  std::vector<std::uint32_t> Smoothing;             // empty or one mask per face
  std::vector<TDemoGroup> Groups;                   // material assignments
};

struct TDemoModel {
  std::vector<TDemoMaterial> Materials;
  std::vector<TDemoMesh> Meshes;

  std::size_t FaceCount() const;
  std::size_t VertexCount() const;
};

class TMeshBuilder {
 public:
  explicit TMeshBuilder(std::string name) : Name(std::move(name)) {}

  // Adds a vertex (world axes) and returns its number. Throws std::length_error past 65535.
  std::uint16_t Vertex(const TVector& world, TTexCoord uv = {});
  // A triangle of existing vertices; `smoothing` is the face's smoothing-group mask (0 = none).
  void Triangle(std::uint16_t a, std::uint16_t b, std::uint16_t c, const std::string& material,
                std::uint32_t smoothing);
  // Two triangles a-b-c and a-c-d.
  void Quad(std::uint16_t a, std::uint16_t b, std::uint16_t c, std::uint16_t d,
            const std::string& material, std::uint32_t smoothing);
  // Without texture coordinates or smoothing masks the mesh is written without those chunks.
  void DropTexCoords() { KeepTexCoords = false; }
  void DropSmoothing() { KeepSmoothing = false; }

  const TVector& Position(std::uint16_t vertex) const { return World.at(vertex); }
  std::size_t VertexCount() const { return World.size(); }
  std::size_t FaceCount() const { return Faces.size(); }
  const std::string& GetName() const { return Name; }

  TDemoMesh Finish(bool hidden = false) const;

 private:
  std::string Name;
  std::vector<TVector> World;
  std::vector<TTexCoord> Uv;
  std::vector<std::array<std::uint16_t, 3>> Faces;
  std::vector<std::uint32_t> Masks;
  std::vector<std::string> FaceMaterial;
  bool KeepTexCoords = true;
  bool KeepSmoothing = true;
};

}  // namespace qv::assets
