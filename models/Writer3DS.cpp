#include "models/Writer3DS.h"

#include <cmath>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <string>

#include "models/Chunks3DS.h"

namespace qv {

using namespace chunk3ds;

void TChunkWriter3DS::Begin(uint16_t id) {
  open_.push_back(data_.size());
  Word(id);
  Dword(0);
}

void TChunkWriter3DS::End() {
  if (open_.empty()) throw std::logic_error("TChunkWriter3DS::End without an open chunk");
  const size_t start = open_.back();
  open_.pop_back();
  const size_t length = data_.size() - start;
  if (length > UINT32_MAX) throw std::length_error("a .3ds chunk cannot exceed 4 GiB");
  PatchDword(start + 2, static_cast<uint32_t>(length));
}

void TChunkWriter3DS::Byte(uint8_t value) { data_.push_back(value); }

void TChunkWriter3DS::Word(uint16_t value) {
  data_.push_back(static_cast<uint8_t>(value));
  data_.push_back(static_cast<uint8_t>(value >> 8));
}

void TChunkWriter3DS::Int16(int16_t value) { Word(static_cast<uint16_t>(value)); }

void TChunkWriter3DS::Dword(uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) data_.push_back(static_cast<uint8_t>(value >> shift));
}

void TChunkWriter3DS::Float(float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  Dword(bits);
}

void TChunkWriter3DS::Name(std::string_view name) {
  Bytes(name.data(), name.size());
  Byte(0);
}

void TChunkWriter3DS::Bytes(const void* data, size_t size) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  data_.insert(data_.end(), bytes, bytes + size);
}

void TChunkWriter3DS::Color24(uint16_t id, uint8_t r, uint8_t g, uint8_t b) {
  Begin(id);
  Begin(kColor24);
  Byte(r);
  Byte(g);
  Byte(b);
  End();
  End();
}

void TChunkWriter3DS::Percent(uint16_t id, int percent) {
  Begin(id);
  Begin(kIntPercent);
  Int16(static_cast<int16_t>(percent));
  End();
  End();
}

void TChunkWriter3DS::EmptyChunk(uint16_t id) {
  Begin(id);
  End();
}

void TChunkWriter3DS::PatchDword(size_t offset, uint32_t value) {
  if (offset + 4 > data_.size()) throw std::out_of_range("TChunkWriter3DS::PatchDword offset");
  for (int i = 0; i < 4; ++i) data_[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

std::vector<uint8_t> TChunkWriter3DS::Take() {
  if (!open_.empty()) throw std::logic_error("TChunkWriter3DS::Take with chunks still open");
  return std::move(data_);
}

namespace {

uint8_t ColorByte(float channel) {
  const float clamped = channel < 0 ? 0 : (channel > 1 ? 1 : channel);
  return static_cast<uint8_t>(std::lround(clamped * 255));
}

void WriteColor(TChunkWriter3DS& out, uint16_t id, const TColor3DS& color) {
  out.Color24(id, ColorByte(color.r), ColorByte(color.g), ColorByte(color.b));
}

int WholePercent(float fraction) { return static_cast<int>(std::lround(fraction * 100)); }

uint16_t Count16(size_t count, const char* what, const std::string& mesh) {
  if (count > UINT16_MAX) {
    throw std::length_error("mesh \"" + mesh + "\" has " + std::to_string(count) + " " + what +
                            "; a .3ds mesh holds at most 65535");
  }
  return static_cast<uint16_t>(count);
}

}  // namespace

void WriteMaterial(TChunkWriter3DS& out, const TMaterial3DS& m) {
  out.Begin(kMaterialEntry);
  out.Begin(kMatName);
  out.Name(m.name);
  out.End();
  WriteColor(out, kMatAmbient, m.ambient);
  WriteColor(out, kMatDiffuse, m.diffuse);
  WriteColor(out, kMatSpecular, m.specular);
  out.Percent(kMatShininess, WholePercent(m.shininess));
  out.Percent(kMatShineStrength, WholePercent(m.shineStrength));
  out.Percent(kMatTransparency, WholePercent(std::fabs(m.transparency)));
  if (m.transparency < 0) out.EmptyChunk(kMatXpFallIn);
  out.Percent(kMatSelfIllumPercent, WholePercent(m.selfIllumPercent));
  out.Begin(kMatShading);
  out.Int16(static_cast<int16_t>(m.shading));
  out.End();
  if (m.twoSided) out.EmptyChunk(kMatTwoSided);
  if (m.selfIllum) out.EmptyChunk(kMatSelfIllum);
  if (!m.texture.map.name.empty()) {
    out.Begin(kMatTexture);
    out.Begin(kIntPercent);
    out.Int16(static_cast<int16_t>(WholePercent(m.texture.map.percent)));
    out.End();
    out.Begin(kMatMapName);
    out.Name(m.texture.map.name);
    out.End();
    out.End();
  }
  out.End();
}

void WriteNamedMesh(TChunkWriter3DS& out, const TMesh3DS& mesh) {
  const uint16_t nVerts = Count16(mesh.vertices.size(), "vertices", mesh.name);
  const uint16_t nFaces = Count16(mesh.faces.size(), "faces", mesh.name);
  const uint16_t nTex = Count16(mesh.texVerts.size(), "texture coordinates", mesh.name);

  out.Begin(kNamedObject);
  out.Name(mesh.name);
  if (mesh.hidden) out.EmptyChunk(kObjHidden);
  out.Begin(kTriMesh);

  out.Begin(kVertexList);
  out.Word(nVerts);
  for (const TVector& v : mesh.vertices) {
    out.Float(v.x);
    out.Float(v.y);
    out.Float(v.z);
  }
  out.End();

  if (nTex > 0) {
    out.Begin(kTexVerts);
    out.Word(nTex);
    for (const TTexCoord& t : mesh.texVerts) {
      out.Float(t.u);
      out.Float(t.v);
    }
    out.End();
  }

  out.Begin(kMeshMatrix);
  for (float f : mesh.localMatrix) out.Float(f);
  out.End();

  out.Begin(kFaceList);
  out.Word(nFaces);
  for (const TFace3DS& f : mesh.faces) {
    out.Word(f.a);
    out.Word(f.b);
    out.Word(f.c);
    out.Word(f.flag);
  }
  for (const TObjMat3DS& group : mesh.matGroups) {
    out.Begin(kFaceMaterial);
    out.Name(group.name);
    out.Word(Count16(group.faces.size(), "faces in a material group", mesh.name));
    for (uint16_t face : group.faces) out.Word(face);
    out.End();
  }
  if (!mesh.smoothing.empty()) {
    out.Begin(kSmoothing);
    for (uint32_t mask : mesh.smoothing) out.Dword(mask);
    out.End();
  }
  out.End();  // face list

  out.End();  // triangle mesh
  out.End();  // named object
}

std::vector<uint8_t> TWriter3DS::Bytes() const {
  TChunkWriter3DS out;
  if (kind == TFileKind3DS::MaterialLibrary) {
    out.Begin(kMaterialLibrary);
    for (const TMaterial3DS& m : materials_) WriteMaterial(out, m);
    out.End();
    return out.Take();
  }
  out.Begin(kScene);
  if (fileRelease != 0) {
    out.Begin(kFileRelease);
    out.Dword(fileRelease);
    out.End();
  }
  out.Begin(kMeshData);
  if (meshRelease != 0) {
    out.Begin(kMeshRelease);
    out.Dword(meshRelease);
    out.End();
  }
  for (const TMaterial3DS& m : materials_) WriteMaterial(out, m);
  for (const TMesh3DS& mesh : meshes_) WriteNamedMesh(out, mesh);
  out.End();
  out.End();
  return out.Take();
}

void TWriter3DS::Save(const std::filesystem::path& file) const { SaveBytes(file, Bytes()); }

void SaveBytes(const std::filesystem::path& file, const std::vector<uint8_t>& bytes) {
  std::ofstream stream(file, std::ios::binary | std::ios::trunc);
  if (stream) stream.write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (!stream) throw std::runtime_error(file.string() + ": cannot write the file");
}

}  // namespace qv
