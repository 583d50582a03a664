#pragma once
// TFile3DS: one .3ds model file, opened as a chunk tree and exposed as lazily filled lists of mesh
// and material records.
//
// Contract:
//  - The constructor maps the whole file into memory (or reads it at once) and builds the chunk
//  tree from
//    the headers (names and face counts are the only own data it looks at). Cost: one pass over the
//    headers; no chunk body is copied.
//  - Records are decoded from the buffer on first request and cached until the file object dies;
//    each payload is decoded at most once and released as soon as its record is filled.
//  - Refused input, each with an E3DSError naming the problem and its file offset: an empty or
//    truncated file, a chunk shorter than its header, a chunk running past its parent or the end of
//    the file, own data or a counted array running past its chunk, a name without its zero inside
//    the chunk or longer than 255 bytes, nesting deeper than kMaxDepth3DS, face corners not below
//    the vertex count and group face numbers not below the face count. Nothing is allocated beyond
//    what the file's bytes can fill, and no loop runs without advancing.
//  - Every refusal names the chunk id and its file offset after the message, and inside a material
//    or a mesh the material's or mesh's name at the end (`... in mesh "Wall"`). A material
//    property the format defines for maps but found directly under the material (the bump
//    percentage 0xA252, say) is skipped; an id the format does not define is refused.
//  - The file name never appears in the messages; the caller adds it.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "models/3DSError.h"
#include "models/ChunkNode3DS.h"
#include "models/KeyFramer.h"
#include "models/MaterialList.h"
#include "models/ObjectList.h"
#include "models/Types3DS.h"
#include "platform/MappedFile.h"

namespace qv {

// Deepest chunk nesting accepted (a scene's deepest real chunk is about eight levels down).
constexpr int kMaxDepth3DS = 64;
constexpr size_t kMaxName3DS = 255;

// A name list: named objects (0x4000) or material entries (0xAFFF), in file order.
struct TNameEntry3DS {
  std::string name;               // the object's or material's name
  TChunkNode3DS* node = nullptr;  // its 0x4000 or 0xAFFF chunk
};

class TFile3DS {
 public:
  // Opens `fileName` (resolved with "\" separators and letter case as the path layer does) and
  // reads its chunk tree. E3DSError when it cannot be read or is malformed.
  explicit TFile3DS(const std::filesystem::path& fileName);
  // The same over bytes already in memory; `name` stands for the file name.
  TFile3DS(std::vector<uint8_t> bytes, std::string name);
  ~TFile3DS();
  TFile3DS(const TFile3DS&) = delete;
  TFile3DS& operator=(const TFile3DS&) = delete;

  TRelease3DS FileRelease();
  TRelease3DS MeshRelease();

  TMaterialList& MaterialList() { return *materialList_; }
  TObjectList& ObjectList() { return *objectList_; }
  TKeyFramer& KeyFramer() { return *keyFramer_; }

  TChunkNode3DS* RootChunk() const { return rootChunk_.get(); }
  const std::string& FileName() const { return fileName_; }
  size_t FileSize() const { return size_; }

  // Decodes the node's own data into node.payload unless it already has one.
  void LoadPayload(TChunkNode3DS& node);
  // How many payloads have been decoded so far (each decode reads the node's bytes once).
  long PayloadDecodes() const { return payloadDecodes_; }

  // The name lists, refreshed while stale (see the database's rules).
  const std::vector<TNameEntry3DS>& ObjectNames();
  const std::vector<TNameEntry3DS>& MaterialNames();

  // Record readers used by the lists.
  std::unique_ptr<TMaterial3DS> ReadMaterial(int index);
  std::unique_ptr<TMesh3DS> ReadMesh(int index);
  int CountMeshes();

 private:
  void LoadChunkTree();
  void LoadSubChunkTree(TChunkNode3DS& root);
  void ReadMaterialProperties(TChunkNode3DS& entry, TMaterial3DS& material);
  TChunkNode3DS& MeshObject(int index);
  // Fills the record from the mesh's sub-chunks; returns the face list chunk, if any.
  TChunkNode3DS* ReadMeshChunks(TChunkNode3DS& mesh, TMesh3DS& r);
  void ReadFaceList(TChunkNode3DS& faceList, TMesh3DS& r);
  static void ReadObjectFlags(TChunkNode3DS& object, TMesh3DS& r);
  static void CheckMeshIndices(const TMesh3DS& r, const TChunkNode3DS* faceList);
  static void PadPerFaceArrays(TMesh3DS& r);

  std::unique_ptr<TChunkNode3DS> rootChunk_;
  bool objectNamesStale_ = true;
  bool materialNamesStale_ = true;
  std::vector<TNameEntry3DS> objectNames_;
  std::vector<TNameEntry3DS> materialNames_;
  std::vector<TChunkNode3DS*> meshObjects_;  // named objects holding a mesh, by mesh index
  std::vector<uint8_t> owned_;               // the file's bytes, when handed over as a vector
  std::unique_ptr<TMappedFile> mapped_;      // the file's bytes, when opened from disk
  const uint8_t* data_ = nullptr;            // whichever of the two holds the bytes
  size_t size_ = 0;                          // bytes in the file
  std::unique_ptr<TMaterialList> materialList_;
  std::unique_ptr<TObjectList> objectList_;
  std::unique_ptr<TKeyFramer> keyFramer_;
  std::string fileName_;
  long payloadDecodes_ = 0;
};

}  // namespace qv
