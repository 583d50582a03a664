// Whole model-adapter load of a large writer-made level: reading, materials, normals with
// smoothing splits, face groups, bounds and the terrain grid, in triangles per second. The reader
// alone (every mesh record decoded, nothing built) runs beside it, so the share of the mesh
// building shows as the ratio of the two rates. Needs a display for the GL context the materials
// require: run it with scripts/with-xvfb.sh.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "models/3DSFileAdapter.h"
#include "models/File3DS.h"
#include "models/Writer3DS.h"
#include "platform/Window.h"

namespace {

namespace fs = std::filesystem;

constexpr float kPi = 3.14159265f;

// A 1,000 x 1,000 terrain of 180 x 180 quads (64,800 triangles, one smoothing group), 1,000 rocks
// (UV spheres of 240 triangles: smooth sides, a flat band) and 200 flat-shaded collision boxes:
// 307,200 triangles in 1,201 meshes and 8 materials.
struct TLevel {
  fs::path file;
  long triangles = 0;
};

qv::TMesh3DS Terrain() {
  constexpr int kQuads = 180;  // 64,800 faces: a .3ds mesh holds at most 65,535
  qv::TMesh3DS mesh;
  mesh.name = "terGround";
  for (int i = 0; i <= kQuads; ++i)
    for (int j = 0; j <= kQuads; ++j) {
      const float x = i * (1000.0f / kQuads), y = j * (1000.0f / kQuads);
      mesh.vertices.push_back({x, y, 8 * std::sin(x * 0.01f) * std::cos(y * 0.013f)});
      mesh.texVerts.push_back({i / 8.0f, j / 8.0f});
    }
  auto at = [](int i, int j) { return std::uint16_t(i * (kQuads + 1) + j); };
  for (int i = 0; i < kQuads; ++i)
    for (int j = 0; j < kQuads; ++j) {
      mesh.faces.push_back({at(i, j), at(i + 1, j), at(i + 1, j + 1), 0});
      mesh.faces.push_back({at(i, j), at(i + 1, j + 1), at(i, j + 1), 0});
    }
  mesh.smoothing.assign(mesh.faces.size(), 1);
  qv::TObjMat3DS group{"Grass", {}};
  for (std::size_t f = 0; f < mesh.faces.size(); ++f) group.faces.push_back(std::uint16_t(f));
  mesh.matGroups = {group};
  return mesh;
}

qv::TMesh3DS Rock(int n) {
  constexpr int kRings = 10, kSegments = 12;
  qv::TMesh3DS mesh;
  mesh.name = "Rock" + std::to_string(n);
  const float cx = (n % 40) * 25.0f, cy = (n / 40) * 40.0f;
  for (int r = 0; r <= kRings; ++r)
    for (int s = 0; s <= kSegments; ++s) {
      const float polar = kPi * r / kRings, azimuth = 2 * kPi * s / kSegments;
      mesh.vertices.push_back({cx + 3 * std::sin(polar) * std::cos(azimuth),
                               cy + 3 * std::sin(polar) * std::sin(azimuth),
                               10 + 3 * std::cos(polar)});
    }
  auto at = [](int r, int s) { return std::uint16_t(r * (kSegments + 1) + s); };
  for (int r = 0; r < kRings; ++r)
    for (int s = 0; s < kSegments; ++s) {
      mesh.faces.push_back({at(r, s), at(r + 1, s), at(r + 1, s + 1), 0});
      mesh.faces.push_back({at(r, s), at(r + 1, s + 1), at(r, s + 1), 0});
      // A flat band round the middle, the rest smooth: both sharing and splitting.
      const std::uint32_t mask = (r == kRings / 2) ? 0u : 1u << (r % 3);
      mesh.smoothing.push_back(mask);
      mesh.smoothing.push_back(mask);
    }
  qv::TObjMat3DS stone{"Stone" + std::to_string(n % 4), {}}, moss{"Moss", {}};
  for (std::size_t f = 0; f < mesh.faces.size(); ++f)
    (f < mesh.faces.size() / 3 ? moss : stone).faces.push_back(std::uint16_t(f));
  mesh.matGroups = {stone, moss};
  return mesh;
}

qv::TMesh3DS Box(int n) {
  qv::TMesh3DS mesh;
  mesh.name = "colWall" + std::to_string(n);
  const float x = (n % 20) * 50.0f, y = (n / 20) * 100.0f;
  for (int i = 0; i < 8; ++i)
    mesh.vertices.push_back(
        {x + (i & 1 ? 20.f : 0.f), y + (i & 2 ? 2.f : 0.f), i & 4 ? 12.f : 0.f});
  auto f = [](int a, int b, int c) {
    return qv::TFace3DS{std::uint16_t(a), std::uint16_t(b), std::uint16_t(c), 0};
  };
  mesh.faces = {f(1, 3, 7), f(1, 7, 5), f(0, 4, 6), f(0, 6, 2), f(2, 6, 7), f(2, 7, 3),
                f(0, 1, 5), f(0, 5, 4), f(4, 5, 7), f(4, 7, 6), f(0, 2, 3), f(0, 3, 1)};
  mesh.matGroups = {{"Brick", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}}};
  return mesh;
}

const TLevel& Level() {
  static const TLevel level = [] {
    TLevel made;
    made.file =
        fs::temp_directory_path() / ("qv_bench_level_" + std::to_string(::getpid()) + ".3ds");
    qv::TWriter3DS writer;
    for (const char* name :
         {"Grass", "Moss", "Brick", "Stone0", "Stone1", "Stone2", "Stone3", "Sky"}) {
      qv::TMaterial3DS material;
      material.name = name;
      material.diffuse = {0.5f, 0.6f, 0.4f};
      writer.AddMaterial(material);
    }
    auto add = [&](const qv::TMesh3DS& mesh) {
      made.triangles += static_cast<long>(mesh.faces.size());
      writer.AddMesh(mesh);
    };
    add(Terrain());
    for (int i = 0; i < 1000; ++i) add(Rock(i));
    for (int i = 0; i < 200; ++i) add(Box(i));
    writer.Save(made.file);
    std::atexit([] {
      std::error_code ec;
      fs::remove(Level().file, ec);
    });
    return made;
  }();
  return level;
}

// The GL context materials need; one for the whole run.
bool HaveContext() {
  static const bool ready = [] {
    if (!qv::InitVideo()) return false;
    qv::TWindowRequest request;
    request.width = request.height = 64;
    request.visibility = qv::TWindowVisibility::Hidden;
    static std::unique_ptr<qv::TPlatformWindow> window = qv::TPlatformWindow::Create(request);
    return window && window->CreateGLContext() != nullptr;
  }();
  return ready;
}

void BM_AdapterLoad(benchmark::State& state) {
  if (!HaveContext()) {
    state.SkipWithError("no display (run with scripts/with-xvfb.sh)");
    return;
  }
  const TLevel& level = Level();
  for (auto _ : state) {
    qv::T3DSFileAdapter adapter(level.file.string());
    benchmark::DoNotOptimize(adapter.ObjectCount());
  }
  state.counters["triangles/s"] =
      benchmark::Counter(double(level.triangles) * state.iterations(), benchmark::Counter::kIsRate);
  state.counters["file MB"] = double(fs::file_size(level.file)) / 1e6;
}
BENCHMARK(BM_AdapterLoad)->Unit(benchmark::kMillisecond);

// The reader's share: every record decoded, no mesh built.
void BM_ReadRecordsOnly(benchmark::State& state) {
  const TLevel& level = Level();
  for (auto _ : state) {
    qv::TFile3DS file(level.file);
    for (int i = 0; i < file.MaterialList().Count(); ++i)
      benchmark::DoNotOptimize(file.MaterialList().Item(i));
    const int meshes = file.ObjectList().MeshCount();
    for (int i = 0; i < meshes; ++i) {
      benchmark::DoNotOptimize(file.ObjectList().MeshItem(i));
      file.ObjectList().ReleaseMesh(i);
    }
  }
  state.counters["triangles/s"] =
      benchmark::Counter(double(level.triangles) * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReadRecordsOnly)->Unit(benchmark::kMillisecond);

}  // namespace
