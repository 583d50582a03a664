// Partition tree: build against reload from its file, and each query against a scan over every
// object doing the same per-object test. Levels are random boxes at a constant density (the floor
// grows with the object count), viewed with the game's projection from random places.
//
//   bench_BOPTree --benchmark_filter=Build|Reload
//   bench_BOPTree --benchmark_filter=Visible

#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <memory>
#include <random>

#include "collision/BOPTree.h"
#include "platform/LogFile.h"
#include "scene/3dObject.h"
#include "scene/3dObjectList.h"
#include "scene/Frustum.h"

namespace {

using namespace qv;

enum class TKind { Plain, Terrain, Collidee };

class TBenchObject : public T3dObject {
 public:
  TBenchObject(const TBox& box, TKind kind, bool transparent) : kind_(kind) {
    BoundingBox = box;
    const float hx = (box.maxX - box.minX) / 2, hy = (box.maxY - box.minY) / 2,
                hz = (box.maxZ - box.minZ) / 2;
    BoundingSphere = {box.minX + hx, box.minY + hy, box.minZ + hz,
                      std::sqrt(hx * hx + hy * hy + hz * hz)};
    BoxVolume = 8 * hx * hy * hz;
    SphereVolume = 4.188790204786391f * BoundingSphere.r * BoundingSphere.r * BoundingSphere.r;
    Transparent = transparent;
    ChooseBound();
  }
  void GetName(std::string& name) const override { name = "mesh"; }
  void CalcBoundingBox() override {}
  void CalcBoundingSphere() override {}
  void CalcTransparent() override {}
  void Draw() override {}
  void Highlight() override {}
  void Unhighlight() override {}
  TKind kind_;
};

TBOPKinds Kinds() {
  return {[](const T3dObject& o) {
            return static_cast<const TBenchObject&>(o).kind_ == TKind::Terrain;
          },
          [](const T3dObject& o) {
            return static_cast<const TBenchObject&>(o).kind_ == TKind::Collidee;
          }};
}

struct TLevel {
  std::vector<std::unique_ptr<TBenchObject>> objects;
  T3dObjectList list{TOwnership::Refers};
  float side = 0;  // the floor is side x side, centred on the origin
  std::unique_ptr<TBOPTree> tree;
  std::filesystem::path file;
};

// One level per size, made once: the build is what the Build benchmark measures, not this.
TLevel& Level(int n) {
  static std::map<int, std::unique_ptr<TLevel>> levels;
  auto& level = levels[n];
  if (level) return *level;
  static bool logMoved = false;
  if (!logMoved) {  // keep the benchmark's log lines out of the working folder
    GlobalLog().Restart(std::filesystem::temp_directory_path() / "bench_BOPTree.log");
    logMoved = true;
  }
  level = std::make_unique<TLevel>();
  level->side = 20 * std::sqrt(static_cast<float>(n));
  std::mt19937 random(n);
  std::uniform_real_distribution<float> place(-level->side / 2, level->side / 2), size(1, 10),
      height(0, 30), unit(0, 1);
  for (int i = 0; i < n; ++i) {
    const float x = place(random), z = place(random), y = height(random);
    const float u = unit(random);
    const TKind kind = u < 0.05f ? TKind::Terrain : u < 0.25f ? TKind::Collidee : TKind::Plain;
    const float sx = kind == TKind::Terrain ? 60 : size(random);
    const float sz = kind == TKind::Terrain ? 60 : size(random);
    level->objects.push_back(std::make_unique<TBenchObject>(
        TBox{x, x + sx, y, y + size(random), z, z + sz}, kind, unit(random) < 0.1f));
    level->list.Add(level->objects.back().get());
  }
  level->tree = TBOPTree::Build(level->list, Kinds());
  level->file = std::filesystem::temp_directory_path() / ("bench_bop_" + std::to_string(n));
  level->tree->SaveToFile(level->file);
  return *level;
}

// The game's projection (45 degrees, 4:3, near 0.005, far 20000) from eye height 5 at random
// places and headings.
std::vector<TFrustum> Views(const TLevel& level, int count) {
  const float f = 1 / std::tan(22.5f * 3.14159265f / 180), n = 0.005f, far = 20000;
  TMatrix projection{};
  projection[0] = f / (4.0f / 3);
  projection[5] = f;
  projection[10] = (far + n) / (n - far);
  projection[11] = -1;
  projection[14] = 2 * far * n / (n - far);
  std::mt19937 random(7);
  std::uniform_real_distribution<float> place(-level.side / 2, level.side / 2), turn(0, 360);
  std::vector<TFrustum> views;
  for (int i = 0; i < count; ++i) {
    const float a = -turn(random) * 3.14159265f / 180;
    TMatrix rotation = IdentityMatrix();
    rotation[0] = std::cos(a), rotation[2] = -std::sin(a), rotation[8] = std::sin(a),
    rotation[10] = std::cos(a);
    TMatrix translation = IdentityMatrix();
    translation[12] = -place(random), translation[13] = -5, translation[14] = -place(random);
    views.push_back(ExtractFrustum(projection, MultiplyMatrix(rotation, translation)));
  }
  return views;
}

void BM_Build(benchmark::State& state) {
  TLevel& level = Level(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(TBOPTree::Build(level.list, Kinds()));
}

void BM_Reload(benchmark::State& state) {
  TLevel& level = Level(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(TBOPTree::Load(level.list, level.file, Kinds()));
}

// A new frustum every call, so the cache never answers.
void BM_VisibleTree(benchmark::State& state) {
  TLevel& level = Level(static_cast<int>(state.range(0)));
  const std::vector<TFrustum> views = Views(level, 64);
  std::size_t i = 0, found = 0;
  for (auto _ : state) {
    level.tree->QueryVisible(views[i++ % views.size()]);
    found += level.tree->OpaqueResult().Count() + level.tree->TransparentResult().Count();
  }
  state.counters["visible"] = static_cast<double>(found) / state.iterations();
}

// The same on a tree read back from its file, as the game has it on every start after the first:
// the reader makes the nodes one after another, so they lie close together in memory.
void BM_VisibleReloadedTree(benchmark::State& state) {
  TLevel& level = Level(static_cast<int>(state.range(0)));
  auto tree = TBOPTree::Load(level.list, level.file, Kinds());
  const std::vector<TFrustum> views = Views(level, 64);
  std::size_t i = 0, found = 0;
  for (auto _ : state) {
    tree->QueryVisible(views[i++ % views.size()]);
    found += tree->OpaqueResult().Count() + tree->TransparentResult().Count();
  }
  state.counters["visible"] = static_cast<double>(found) / state.iterations();
}

// Every object through the same test a leaf makes: box against frustum, key, distance cut.
void BM_VisibleScan(benchmark::State& state) {
  TLevel& level = Level(static_cast<int>(state.range(0)));
  const std::vector<TFrustum> views = Views(level, 64);
  T3dObjectList opaque(TOwnership::Refers), transparent(TOwnership::Refers);
  std::size_t i = 0, found = 0;
  for (auto _ : state) {
    const TFrustum& view = views[i++ % views.size()];
    opaque.Clear();
    transparent.Clear();
    for (const auto& object : level.objects) {
      TBox box;
      object->GetBoundingBox(box);
      if (!BoxInFrustum(box, view)) continue;
      object->SortKey = ViewDistance(view, *object);
      TSphere sphere;
      object->GetBoundingSphere(sphere);
      if (object->SortKey / (2 * sphere.r) >= 90) continue;
      (object->Transparent ? transparent : opaque).Add(object.get());
    }
    transparent.Sort();
    found += opaque.Count() + transparent.Count();
  }
  state.counters["visible"] = static_cast<double>(found) / state.iterations();
}

std::vector<std::pair<float, float>> GroundPoints(const TLevel& level) {
  std::mt19937 random(3);
  std::uniform_real_distribution<float> place(-level.side / 2, level.side / 2);
  std::vector<std::pair<float, float>> points(256);
  for (auto& p : points) p = {place(random), place(random)};
  return points;
}

void BM_TerrainTree(benchmark::State& state) {
  TLevel& level = Level(static_cast<int>(state.range(0)));
  const auto points = GroundPoints(level);
  std::size_t i = 0;
  for (auto _ : state) {
    const auto& p = points[i++ % points.size()];
    benchmark::DoNotOptimize(level.tree->QueryTerrainAt(p.first, p.second).Count());
  }
}

void BM_TerrainScan(benchmark::State& state) {
  TLevel& level = Level(static_cast<int>(state.range(0)));
  const auto points = GroundPoints(level);
  T3dObjectList result(TOwnership::Refers);
  std::size_t i = 0;
  for (auto _ : state) {
    const auto& p = points[i++ % points.size()];
    result.Clear();
    for (const auto& object : level.objects) {
      if (object->kind_ != TKind::Terrain) continue;
      TBox box;
      object->GetBoundingBox(box);
      if (BoxCoversXZ(box, p.first, p.second)) result.Add(object.get());
    }
    benchmark::DoNotOptimize(result.Count());
  }
}

// An actor-sized box swept over one step, at random places.
std::vector<TBox> ActorBoxes(const TLevel& level) {
  std::vector<TBox> boxes;
  for (const auto& [x, z] : GroundPoints(level))
    boxes.push_back({x - 1, x + 1, 0, 4, z - 1, z + 1});
  return boxes;
}

void BM_CollideesTree(benchmark::State& state) {
  TLevel& level = Level(static_cast<int>(state.range(0)));
  const auto boxes = ActorBoxes(level);
  std::size_t i = 0;
  for (auto _ : state)
    benchmark::DoNotOptimize(level.tree->QueryCollidees(boxes[i++ % boxes.size()]).Count());
}

void BM_CollideesScan(benchmark::State& state) {
  TLevel& level = Level(static_cast<int>(state.range(0)));
  const auto boxes = ActorBoxes(level);
  T3dObjectList result(TOwnership::Refers);
  std::size_t i = 0;
  for (auto _ : state) {
    const TBox& query = boxes[i++ % boxes.size()];
    result.Clear();
    for (const auto& object : level.objects) {
      if (object->kind_ != TKind::Collidee) continue;
      TBox box;
      object->GetBoundingBox(box);
      if (BoxesOverlap(box, query)) result.Add(object.get());
    }
    benchmark::DoNotOptimize(result.Count());
  }
}

// A repeated input: the cache answers.
void BM_VisibleTreeSameView(benchmark::State& state) {
  TLevel& level = Level(static_cast<int>(state.range(0)));
  const TFrustum view = Views(level, 1)[0];
  for (auto _ : state) {
    level.tree->QueryVisible(view);
    benchmark::DoNotOptimize(level.tree->OpaqueResult().Count());
  }
}

BENCHMARK(BM_Build)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Reload)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VisibleTree)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_VisibleReloadedTree)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_VisibleScan)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_VisibleTreeSameView)->Arg(10000);
BENCHMARK(BM_TerrainTree)->Arg(1000)->Arg(10000)->Arg(50000);
BENCHMARK(BM_TerrainScan)->Arg(1000)->Arg(10000)->Arg(50000);
BENCHMARK(BM_CollideesTree)->Arg(1000)->Arg(10000)->Arg(50000);
BENCHMARK(BM_CollideesScan)->Arg(1000)->Arg(10000)->Arg(50000);

}  // namespace
