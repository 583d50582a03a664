#pragma once
// The .3ds writer: builds model files for tests, tools and the demo content.
//
// Two levels. TChunkWriter3DS appends chunks to a byte vector (little-endian, lengths patched when
// a chunk is closed), so a test can lay out any file, malformed ones included. TWriter3DS builds a
// whole scene file (0x4D4D) from mesh and material records: file and mesh release chunks, material
// entries, then named objects with their triangle meshes. WriteMaterial and WriteNamedMesh are the
// pieces it uses, public so a hand-made layout can reuse them.
//
// What a record turns into:
//  - mesh: 0x4000 name { 0x4010 when hidden; 0x4100 { 0x4110 vertices; 0x4140 texVerts when not
//    empty; 0x4160 localMatrix; 0x4120 faces { 0x4130 per material group; 0x4150 smoothing when
//    not empty } } }. Counts above 65535 raise std::length_error.
//  - material: 0xAFFF { 0xA000 name; 0xA010/0xA020/0xA030 colours as 0x0011 bytes; 0xA040
//    shininess, 0xA041 shine strength, 0xA050 |transparency| and, when transparency is negative,
//    0xA08A after it; 0xA084 self-illumination; 0xA100 shading; 0xA081 two-sided; 0xA080
//    self-illuminated; 0xA200 { 0x0030 strength; 0xA300 file name } when the texture has a name }.
//    Percentages are written as whole 0x0030 percentages (rounded).

#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

#include "models/Material3DS.h"
#include "models/Mesh3DS.h"

namespace qv {

class TChunkWriter3DS {
 public:
  // Opens a chunk; its length is filled in by the matching End. Chunks nest.
  void Begin(uint16_t id);
  void End();

  void Byte(uint8_t value);
  void Word(uint16_t value);
  void Int16(int16_t value);
  void Dword(uint32_t value);
  void Float(float value);
  void Name(std::string_view name);  // the bytes, then a zero
  void Bytes(const void* data, size_t size);

  // Whole small chunks.
  void Color24(uint16_t id, uint8_t r, uint8_t g, uint8_t b);  // id { 0x0011 r g b }
  void Percent(uint16_t id, int percent);                      // id { 0x0030 percent }
  void EmptyChunk(uint16_t id);                                // header only

  size_t Size() const { return data_.size(); }
  int OpenChunks() const { return static_cast<int>(open_.size()); }
  // Overwrites four bytes at `offset` (to make wrong lengths on purpose).
  void PatchDword(size_t offset, uint32_t value);
  const std::vector<uint8_t>& Data() const { return data_; }
  // The bytes written so far; every chunk must be closed.
  std::vector<uint8_t> Take();

 private:
  std::vector<uint8_t> data_;
  std::vector<size_t> open_;  // offsets of the headers of chunks not yet closed
};

void WriteMaterial(TChunkWriter3DS& out, const TMaterial3DS& material);
void WriteNamedMesh(TChunkWriter3DS& out, const TMesh3DS& mesh);

enum class TFileKind3DS {
  Scene,            // root 0x4D4D with a 0x3D3D mesh data section
  MaterialLibrary,  // root 0x3DAA holding only material entries
};

class TWriter3DS {
 public:
  TFileKind3DS kind = TFileKind3DS::Scene;
  uint32_t fileRelease = 3;  // value of 0x0002; 0 leaves the chunk out
  uint32_t meshRelease = 3;  // value of 0x3D3E; 0 leaves the chunk out

  void AddMaterial(const TMaterial3DS& material) { materials_.push_back(material); }
  void AddMesh(const TMesh3DS& mesh) { meshes_.push_back(mesh); }

  std::vector<uint8_t> Bytes() const;
  // Raises std::runtime_error naming the file when it cannot be written.
  void Save(const std::filesystem::path& file) const;

 private:
  std::vector<TMaterial3DS> materials_;
  std::vector<TMesh3DS> meshes_;
};

// Writes `bytes` to `file`; raises std::runtime_error naming the file on failure.
void SaveBytes(const std::filesystem::path& file, const std::vector<uint8_t>& bytes);

}  // namespace qv
