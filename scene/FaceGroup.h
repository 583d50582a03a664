#pragma once
// One material's share of a mesh: the triangles (three vertex indices each, in the file's corner
// order) that are drawn with one material applied once. The group refers to its material; the
// model adapter owns it.

#include <cstdint>
#include <vector>

namespace qv {

class TMaterial;

using TIndexArray = std::vector<std::uint32_t>;

class TFaceGroup {
 public:
  explicit TFaceGroup(TMaterial* material) : Material(material) {}

  // The triangles with whatever material state is current.
  void DrawElements() const;
  // Applies the material and draws; a group without material draws nothing. The enable flags the
  // material switches (culling, texturing, alpha test) and the polygon mode are restored
  // afterwards.
  void Draw() const;
  int FaceCount() const { return static_cast<int>(Indices.size() / 3); }

  TMaterial* Material = nullptr;  // not owned; none when the file's name had no material
  TIndexArray Indices;            // three vertex indices per triangle
};

}  // namespace qv
