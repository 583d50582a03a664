// Reading a large .3ds file through TFile3DS (tree, then every mesh and material record) against
// a baseline that only reads the file's bytes into memory.
//
// The file is writer-made: 200 grid meshes of 51 x 51 vertices (5,000 faces each, 1,000,000 in
// all) with texture coordinates, smoothing groups and two material groups, plus 16 materials.
// QV_BENCH_3DS_OUT=FILE keeps a copy at FILE (scripts/measure-3ds.sh uses it for the whole-process
// comparison with lib3ds).

#include <benchmark/benchmark.h>

#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "models/File3DS.h"
#include "models/Writer3DS.h"

namespace {

using namespace qv;

constexpr int kMeshes = 200;
constexpr int kGrid = 50;  // quads per side

TMesh3DS GridMesh(int index) {
  TMesh3DS m;
  m.name = "Grid" + std::to_string(index);
  for (int y = 0; y <= kGrid; ++y) {
    for (int x = 0; x <= kGrid; ++x) {
      m.vertices.push_back({float(x), float(y), float((x * y + index) % 7)});
      m.texVerts.push_back({x / float(kGrid), y / float(kGrid)});
    }
  }
  TObjMat3DS even{"Material" + std::to_string(index % 16), {}};
  TObjMat3DS odd{"Material" + std::to_string((index + 1) % 16), {}};
  for (int y = 0; y < kGrid; ++y) {
    for (int x = 0; x < kGrid; ++x) {
      const uint16_t a = static_cast<uint16_t>(y * (kGrid + 1) + x);
      const uint16_t b = static_cast<uint16_t>(a + 1);
      const uint16_t c = static_cast<uint16_t>(a + kGrid + 1);
      const uint16_t d = static_cast<uint16_t>(c + 1);
      ((x + y) % 2 ? odd : even).faces.push_back(static_cast<uint16_t>(m.faces.size()));
      m.faces.push_back({a, b, d, 7});
      ((x + y) % 2 ? odd : even).faces.push_back(static_cast<uint16_t>(m.faces.size()));
      m.faces.push_back({a, d, c, 7});
    }
  }
  m.smoothing.assign(m.faces.size(), 1u << (index % 32));
  m.matGroups = {even, odd};
  m.localMatrix = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
  return m;
}

const std::filesystem::path& LargeFile() {
  static const std::filesystem::path path = [] {
    const char* keep = std::getenv("QV_BENCH_3DS_OUT");
    const std::filesystem::path file = keep ? std::filesystem::path(keep)
                                            : std::filesystem::temp_directory_path() /
                                                  ("qv-bench-" + std::to_string(getpid()) + ".3ds");
    TWriter3DS writer;
    for (int i = 0; i < 16; ++i) {
      TMaterial3DS material;
      material.name = "Material" + std::to_string(i);
      material.diffuse = {i / 16.0f, 0.5f, 0.5f};
      material.texture.map.name = "TEX" + std::to_string(i) + ".TGA";
      writer.AddMaterial(material);
    }
    for (int i = 0; i < kMeshes; ++i) writer.AddMesh(GridMesh(i));
    writer.Save(file);
    if (!keep) {
      static struct Remover {
        std::filesystem::path file;
        ~Remover() { std::filesystem::remove(file); }
      } remover{file};
    }
    return file;
  }();
  return path;
}

void ReadBytes(benchmark::State& state) {
  const auto& file = LargeFile();
  const size_t size = std::filesystem::file_size(file);
  for (auto _ : state) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(file.c_str(), "rb"), std::fclose);
    auto bytes = std::make_unique_for_overwrite<uint8_t[]>(size);
    if (std::fread(bytes.get(), 1, size, f.get()) != size) state.SkipWithError("short read");
    benchmark::DoNotOptimize(bytes.get());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
}
BENCHMARK(ReadBytes)->Unit(benchmark::kMillisecond)->UseRealTime();

void File3DSReadEveryRecord(benchmark::State& state) {
  const auto& file = LargeFile();
  const size_t size = std::filesystem::file_size(file);
  long faces = 0;
  for (auto _ : state) {
    TFile3DS model(file);
    faces = 0;
    for (int i = 0; i < model.ObjectList().MeshCount(); ++i) {
      faces += static_cast<long>(model.ObjectList().MeshItem(i)->faces.size());
    }
    for (int i = 0; i < model.MaterialList().Count(); ++i) {
      benchmark::DoNotOptimize(model.MaterialList().Item(i));
    }
  }
  if (faces != 1000000) state.SkipWithError("the file does not hold 1,000,000 faces");
  state.counters["faces"] = static_cast<double>(faces);
  state.counters["MB"] = size / 1e6;
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
}
BENCHMARK(File3DSReadEveryRecord)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

namespace {
void File3DSOpenOnly(benchmark::State& state) {
  const auto& file = LargeFile();
  for (auto _ : state) {
    TFile3DS model(file);
    benchmark::DoNotOptimize(model.RootChunk());
  }
}
BENCHMARK(File3DSOpenOnly)->Unit(benchmark::kMillisecond)->UseRealTime();
}  // namespace
