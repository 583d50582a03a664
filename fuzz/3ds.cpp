// libFuzzer target for the .3ds reader and the adapter: the bytes are read as a model in memory
// (every record), then read afresh by a T3DSFileAdapter that turns them into materials, meshes,
// terrain and collidees, with a partition tree over them that answers one query of each kind.
// The adapter's path-opening constructor (path resolution, mapping the file, its time) is not
// covered here; the level target loads its models through it.
// The reader may refuse with E3DSError, the adapter also with EGL naming the file (a corrupt mesh
// record, a duplicate material, a missing texture); any other exception is a finding, as is a
// sanitizer report. No GL context is current: materials and meshes then make no GL objects.
//
// QV_WRITE_SEEDS=DIR fuzz_3ds -runs=0 writes the writer-made seed files into DIR first.

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "collision/BOPTree.h"
#include "collision/CollideeObject.h"
#include "fuzz/SeedBox.h"
#include "models/3DSFileAdapter.h"
#include "models/Chunks3DS.h"
#include "models/File3DS.h"
#include "models/Writer3DS.h"
#include "platform/EGL.h"
#include "platform/LogFile.h"
#include "scene/3dObjectList.h"
#include "scene/TerrainObject.h"
#include "scene/TgaWriter.h"

namespace {

using namespace qv;
using namespace qv::chunk3ds;

TMesh3DS Box(const char* name, bool hidden) {
  TMesh3DS m = SeedBox(name);
  m.hidden = hidden;
  m.matGroups = {{"Stone", {0, 1, 2, 3, 4, 5}}, {"Glass", {6, 7, 8, 9, 10, 11}}};
  return m;
}

void WriteSeeds(const std::filesystem::path& dir) {
  std::filesystem::create_directories(dir);
  TMaterial3DS stone;
  stone.name = "Stone";
  stone.diffuse = {0.5f, 0.4f, 0.3f};
  stone.texture.map.name = "STONE.TGA";
  stone.twoSided = true;
  TMaterial3DS glass;
  glass.name = "Glass CUBEMAP";
  glass.transparency = -0.5f;

  TWriter3DS scene;
  scene.AddMaterial(stone);
  scene.AddMaterial(glass);
  scene.AddMesh(Box("Box01", false));
  scene.AddMesh(Box("colWall", true));
  SaveBytes(dir / "writer-scene.3ds", scene.Bytes());

  TWriter3DS library;
  library.kind = TFileKind3DS::MaterialLibrary;
  library.AddMaterial(stone);
  SaveBytes(dir / "writer-library.3ds", library.Bytes());

  // Odd but valid layouts: extra data, a light-only object, maps with settings, keyframer header.
  TChunkWriter3DS w;
  w.Begin(kScene);
  w.Begin(kMeshData);
  w.Begin(kMaterialEntry);
  w.Begin(kMatName);
  w.Name("Mapped");
  w.End();
  w.Begin(kMatBumpMap);
  w.Begin(kMatMapName);
  w.Name("b.tga");
  w.End();
  w.Begin(kMapTiling);
  w.Word(0x2A);
  w.End();
  w.Begin(kMatBumpPercent);
  w.Int16(50);
  w.End();
  w.End();
  w.Begin(kExtraData);
  w.Begin(kExtraEntry);
  w.EmptyChunk(0x8002);
  w.End();
  w.End();
  w.End();
  w.Begin(kNamedObject);
  w.Name("lamp");
  w.Begin(kLight);
  w.Float(1), w.Float(2), w.Float(3);
  w.End();
  w.End();
  WriteNamedMesh(w, Box("terFloor", false));
  w.End();
  w.Begin(kKeyFramer);
  w.Begin(0xB002);
  w.Begin(0xB010);
  w.Name("Box01");
  w.Word(0), w.Word(0), w.Word(0xFFFF);
  w.End();
  w.End();
  w.End();
  w.End();
  SaveBytes(dir / "writer-odd.3ds", w.Take());
}

// The folder the adapter reads the model from; it holds the writer seed's texture, so mutants of
// that seed load a texture too.
std::filesystem::path folder;

// What the level does with the adapter's objects, short of drawing them: a tree over them, a
// ground query and a collidee query at the middle, and each terrain and collidee asked directly.
void UseObjects(const T3DSFileAdapter& adapter) {
  T3dObjectList objects(TOwnership::Refers);
  for (int i = 0; i < adapter.ObjectCount(); ++i) objects.Add(adapter.GetObject(i));
  if (objects.Count() == 0) return;
  const auto tree = TBOPTree::Build(objects);
  TBox box = adapter.GetObject(0)->BoundingBox;
  for (int i = 1; i < adapter.ObjectCount(); ++i) {
    const TBox& b = adapter.GetObject(i)->BoundingBox;
    box = {std::min(box.minX, b.minX), std::max(box.maxX, b.maxX), std::min(box.minY, b.minY),
           std::max(box.maxY, b.maxY), std::min(box.minZ, b.minZ), std::max(box.maxZ, b.maxZ)};
  }
  const float x = (box.minX + box.maxX) / 2, z = (box.minZ + box.maxZ) / 2;
  tree->QueryTerrainAt(x, z);
  tree->QueryCollidees(box);
  const T3dObject& mover = *adapter.GetObject(0);
  for (int i = 0; i < adapter.ObjectCount(); ++i) {
    const TSimple3dObject* object = adapter.GetObject(i);
    if (auto* terrain = dynamic_cast<const TTerrainObject*>(object))
      terrain->SurfacePoint(x, z, box.minX, box.minZ);
    if (auto* collidee = dynamic_cast<const TCollideeObject*>(object)) {
      collidee->OverlapsBox(box);
      collidee->SweepBox(mover, {1, -1, 0.5f});
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  SetGlobalLogFile("");  // EGL logs every refusal; the runs need no log
  folder = std::filesystem::temp_directory_path() / ("fuzz_3ds_" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  WriteTga(folder / "stone.tga", MakeTgaImage(2, 2, 24, 10, 20, 30));
  if (const char* dir = std::getenv("QV_WRITE_SEEDS")) WriteSeeds(dir);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    TFile3DS file(std::vector<uint8_t>(data, data + size), "fuzz.3ds");
    file.FileRelease();
    file.MeshRelease();
    TObjectList& objects = file.ObjectList();
    for (int i = 0; i < objects.MeshCount(); ++i) objects.MeshItem(i);
    TMaterialList& materials = file.MaterialList();
    for (int i = 0; i < materials.Count(); ++i) materials.Item(i);
  } catch (const E3DSError&) {
    // Refused input is the expected outcome for most mutations.
  }

  // The adapter reads the bytes where they lie: writing them to a file for it to map cost every
  // input a write, a mapping and an unmapping. Textures are looked for beside the model's name.
  static const std::string model = (folder / "model.3ds").string();
  try {
    const T3DSFileAdapter adapter(std::vector<uint8_t>(data, data + size), model);
    UseObjects(adapter);
  } catch (const E3DSError& e) {
    if (std::string(e.what()).find(model) == std::string::npos) std::abort();
  } catch (const EGL&) {
  }
  return 0;
}
