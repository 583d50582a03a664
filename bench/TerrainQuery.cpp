// Terrain ground queries against the grid versus a scan of every triangle (what the grid saves
// each actor in each frame), the grid build itself, and a collidee sweep at the 500-vertex limit.
//   build-*/bench/bench_TerrainQuery --benchmark_min_time=0.2
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

#include "collision/CollideeObject.h"
#include "scene/Mesh3DS.h"
#include "scene/TerrainObject.h"

namespace qv {
namespace {

// A rolling height field of n x n cells over 0..size in x and z, smoothed (one vertex per grid
// point), two triangles per cell. File axes are z up: world (x, y, z) is file (x, -z, y).
TMesh3DS HeightField(int n, float size) {
  TMesh3DS mesh;
  mesh.name = "terBench";
  for (int i = 0; i <= n; ++i)
    for (int j = 0; j <= n; ++j) {
      const float x = size * i / n, z = size * j / n;
      mesh.vertices.push_back({x, -z, 3 * std::sin(x * 0.05f) * std::cos(z * 0.07f)});
    }
  auto at = [n](int i, int j) { return static_cast<uint16_t>(i * (n + 1) + j); };
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) {
      mesh.faces.push_back({at(i, j), at(i + 1, j), at(i + 1, j + 1), 0});
      mesh.faces.push_back({at(i, j), at(i + 1, j + 1), at(i, j + 1), 0});
    }
  mesh.smoothing.assign(mesh.faces.size(), 1);
  return mesh;
}

constexpr int kCells = 180;  // 65,341 vertices, 64,800 triangles: near the 16-bit record limit
constexpr float kSize = 1000;

const TTerrainObject& Terrain() {
  static const TTerrainObject terrain(TMaterialLookup{}, rlRelease3, HeightField(kCells, kSize));
  return terrain;
}

std::vector<TVector> Queries() {
  std::mt19937 random(7);
  std::uniform_real_distribution<float> coord(1, kSize - 1);
  std::vector<TVector> queries(4096);
  for (TVector& q : queries) q = {coord(random), 0, coord(random)};
  return queries;
}

void BM_TerrainBuildGrid(benchmark::State& state) {
  const TMesh3DS mesh = HeightField(kCells, kSize);
  for (auto _ : state) {
    TTerrainObject terrain(TMaterialLookup{}, rlRelease3, mesh);
    benchmark::DoNotOptimize(terrain.NodeCountX());
  }
  state.SetItemsProcessed(state.iterations() * int64_t(mesh.faces.size()));
}
BENCHMARK(BM_TerrainBuildGrid)->Unit(benchmark::kMillisecond);

void BM_TerrainSurfacePoint(benchmark::State& state) {
  const TTerrainObject& terrain = Terrain();
  const std::vector<TVector> queries = Queries();
  size_t k = 0;
  for (auto _ : state) {
    const TVector& q = queries[k++ & 4095];
    benchmark::DoNotOptimize(terrain.SurfacePoint(q.x, q.z, q.x, q.z));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TerrainSurfacePoint);

// The same answer without the grid: the highest triangle over the point, found by testing all.
void BM_TerrainLinearScan(benchmark::State& state) {
  const TTerrainObject& terrain = Terrain();
  const std::vector<TVector> queries = Queries();
  const std::vector<TVector>& v = terrain.GetVertices();
  const TFaceGroup& group = terrain.GetFaceGroup(0);
  size_t k = 0;
  for (auto _ : state) {
    const TVector& q = queries[k++ & 4095];
    float best = -1e16f;
    for (size_t i = 0; i + 2 < group.Indices.size(); i += 3) {
      const TVector &a = v[group.Indices[i]], &b = v[group.Indices[i + 1]],
                    &c = v[group.Indices[i + 2]];
      if (PointInTriangleXZ(a, b, c, q)) best = std::max(best, PlaneHeight(a, b, c, q.x, q.z));
    }
    benchmark::DoNotOptimize(best);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TerrainLinearScan);

// A 500-vertex collidee (the most that is still swept triangle by triangle) against a box that
// hits it: the worst per-collidee cost of one collision attempt.
void BM_CollideeSweepBox500(benchmark::State& state) {
  TMesh3DS mesh;
  mesh.name = "colBench";
  for (int k = 0; k < 166; ++k) {  // 166 separate triangles, 498 vertices, plus 2 spare
    const float x = float(k % 13), z = float(k / 13);
    const auto base = static_cast<uint16_t>(mesh.vertices.size());
    mesh.vertices.push_back({x, -z, 0});
    mesh.vertices.push_back({x + 1, -z, 0.5f});
    mesh.vertices.push_back({x, -(z + 1), 0.2f});
    mesh.faces.push_back({base, uint16_t(base + 1), uint16_t(base + 2), 0});
  }
  mesh.vertices.push_back({0, 0, 5});
  mesh.vertices.push_back({13, -13, -5});
  const TCollideeObject collidee(TMaterialLookup{}, rlRelease3, mesh);
  struct TMover : T3dObject {
    TMover() { BoundingBox = {5, 6, 1, 2, 5, 6}, BoundingSphere = {5.5f, 1.5f, 5.5f, 0.87f}; }
    void GetName(std::string& name) const override { name = "mover"; }
    void CalcBoundingBox() override {}
    void CalcBoundingSphere() override {}
    void CalcTransparent() override {}
    void Draw() override {}
    void Highlight() override {}
    void Unhighlight() override {}
  } mover;
  for (auto _ : state) benchmark::DoNotOptimize(collidee.SweepBox(mover, {0.3f, -2, 0.1f}));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CollideeSweepBox500);

}  // namespace
}  // namespace qv
