#include "assets/DemoWriter.h"

#include "models/Writer3DS.h"

namespace qv::assets {

namespace {

TColor3DS Rgb(const TColor& c) { return {c.r, c.g, c.b}; }

TMaterial3DS ToRecord(const TDemoMaterial& m) {
  TMaterial3DS r;
  r.name = m.Name;
  r.ambient = Rgb(m.Ambient);
  r.diffuse = Rgb(m.Diffuse);
  r.specular = Rgb(m.Specular);
  r.shininess = m.Shininess;
  r.shineStrength = 0.5f;
  // The writer follows a negative transparency with 0xA08A, which is what makes it see-through.
  r.transparency = m.NegateTransparency ? -m.Transparency : m.Transparency;
  r.selfIllumPercent = m.SelfIllum;
  r.selfIllum = m.SelfIlluminated;
  r.shading = m.Shading;
  r.twoSided = m.TwoSided;
  if (!m.TextureMap.empty()) {
    r.texture.map.name = m.TextureMap;
    r.texture.map.percent = 1.0f;
  }
  return r;
}

TMesh3DS ToRecord(const TDemoMesh& m) {
  TMesh3DS r;
  r.name = m.Name;
  r.hidden = m.Hidden;
  r.vertices = m.Vertices;
  r.texVertexCount = static_cast<std::uint16_t>(m.TexCoords.size());
  r.texVerts = m.TexCoords;
  r.localMatrix = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
  r.faces.reserve(m.Faces.size());
  for (const auto& f : m.Faces) r.faces.push_back({f[0], f[1], f[2], 7});  // all edges visible
  r.smoothing = m.Smoothing;
  for (const TDemoGroup& g : m.Groups) r.matGroups.push_back({g.Material, g.Faces});
  return r;
}

}  // namespace

std::vector<std::uint8_t> EncodeModel(const TDemoModel& model) {
  TWriter3DS writer;
  writer.fileRelease = 3;
  writer.meshRelease = 3;
  for (const TDemoMaterial& m : model.Materials) writer.AddMaterial(ToRecord(m));
  for (const TDemoMesh& m : model.Meshes) writer.AddMesh(ToRecord(m));
  return writer.Bytes();
}

}  // namespace qv::assets
