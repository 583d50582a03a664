// libFuzzer target for the .3ds reader: open the bytes as a file and read every record.
// Any exception other than E3DSError (or a sanitizer report) is a finding.
//
// QV_WRITE_SEEDS=DIR fuzz_3ds -runs=0 writes the writer-made seed files into DIR first.

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "models/Chunks3DS.h"
#include "models/File3DS.h"
#include "models/Writer3DS.h"

namespace {

using namespace qv;
using namespace qv::chunk3ds;

TMesh3DS Box(const char* name, bool hidden) {
  TMesh3DS m;
  m.name = name;
  m.hidden = hidden;
  for (int i = 0; i < 8; ++i) {
    m.vertices.push_back({float(i & 1), float((i >> 1) & 1), float(i >> 2)});
    m.texVerts.push_back({float(i & 1), float((i >> 1) & 1)});
  }
  const uint16_t quads[6][4] = {{0, 1, 3, 2}, {4, 6, 7, 5}, {0, 4, 5, 1},
                                {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 5, 7, 3}};
  for (const auto& q : quads) {
    m.faces.push_back({q[0], q[1], q[2], 7});
    m.faces.push_back({q[0], q[2], q[3], 7});
  }
  m.smoothing.assign(12, 1);
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

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
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
  return 0;
}
