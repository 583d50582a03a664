#include "assets/DemoModel.h"

#include <stdexcept>

namespace qv::assets {

std::size_t TDemoModel::FaceCount() const {
  std::size_t n = 0;
  for (const TDemoMesh& mesh : Meshes) n += mesh.Faces.size();
  return n;
}

std::size_t TDemoModel::VertexCount() const {
  std::size_t n = 0;
  for (const TDemoMesh& mesh : Meshes) n += mesh.Vertices.size();
  return n;
}

std::uint16_t TMeshBuilder::Vertex(const TVector& world, TTexCoord uv) {
  if (World.size() >= 65535) throw std::length_error("mesh " + Name + ": more than 65535 vertices");
  World.push_back(world);
  Uv.push_back(uv);
  return static_cast<std::uint16_t>(World.size() - 1);
}

void TMeshBuilder::Triangle(std::uint16_t a, std::uint16_t b, std::uint16_t c,
                            const std::string& material, std::uint32_t smoothing) {
  if (a >= World.size() || b >= World.size() || c >= World.size())
    throw std::out_of_range("mesh " + Name + ": triangle names a vertex that does not exist");
  if (Faces.size() >= 65535) throw std::length_error("mesh " + Name + ": more than 65535 faces");
  Faces.push_back({a, b, c});
  Masks.push_back(smoothing);
  FaceMaterial.push_back(material);
}

void TMeshBuilder::Quad(std::uint16_t a, std::uint16_t b, std::uint16_t c, std::uint16_t d,
                        const std::string& material, std::uint32_t smoothing) {
  Triangle(a, b, c, material, smoothing);
  Triangle(a, c, d, material, smoothing);
}

TDemoMesh TMeshBuilder::Finish(bool hidden) const {
  TDemoMesh mesh;
  mesh.Name = Name;
  mesh.Hidden = hidden;
  mesh.Vertices.reserve(World.size());
  for (const TVector& p : World) mesh.Vertices.push_back({p.x, -p.z, p.y});
  if (KeepTexCoords) mesh.TexCoords = Uv;
  mesh.Faces = Faces;
  if (KeepSmoothing) mesh.Smoothing = Masks;
  for (std::size_t f = 0; f < Faces.size(); ++f) {
    TDemoGroup* group = nullptr;
    for (TDemoGroup& g : mesh.Groups)
      if (g.Material == FaceMaterial[f]) group = &g;
    if (!group) {
      mesh.Groups.push_back({FaceMaterial[f], {}});
      group = &mesh.Groups.back();
    }
    group->Faces.push_back(static_cast<std::uint16_t>(f));
  }
  return mesh;
}

}  // namespace qv::assets
