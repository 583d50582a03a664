#pragma once
// TObjectList: the triangle meshes of one .3ds file (named objects holding a 0x4100 mesh), one slot
// per mesh, each read on first use and cached. The light and camera lists exist for completeness
// and stay empty: nothing in the game reads them.

#include <memory>
#include <vector>

#include "models/Mesh3DS.h"

namespace qv {

class TFile3DS;

class TObjectList {
 public:
  explicit TObjectList(TFile3DS& owner) : owner_(owner) {}

  // Number of meshes. Counted while the list is empty, so a file without meshes recounts.
  int MeshCount();
  // Mesh `index`, read on first use; null when MeshCount() is 0. std::out_of_range outside
  // 0..MeshCount()-1. The record belongs to the list.
  const TMesh3DS* MeshItem(int index);
  // Frees the cached record of mesh `index` (a later MeshItem reads it again). Lets a tool that
  // walks a large file once keep only one mesh in memory.
  void ReleaseMesh(int index);

  int OmniLightCount() const { return 0; }
  int SpotLightCount() const { return 0; }
  int CameraCount() const { return 0; }

 private:
  TFile3DS& owner_;
  std::vector<std::unique_ptr<TMesh3DS>> meshes_;
};

}  // namespace qv
