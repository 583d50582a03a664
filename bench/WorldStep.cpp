// One movement step of every actor of the stress demo level: the player and its 32 ghosts, on the
// level's own geometry and tree (built from the generated files, without GL), with the ghosts'
// think alarms firing on a clock that advances one 60 Hz frame per step. A second benchmark runs
// only the collidee part of the same steps (the sweeps of the moves and the final overlap query),
// so the share of the step spent in collidee tests is the ratio of the two, measured in one run.
//   build/bench/bench_WorldStep --benchmark_min_time=0.5
#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "assets/DemoContent.h"
#include "collision/CollideeObject.h"
#include "collision/Static3dObjects.h"
#include "game/AlarmDispatcher.h"
#include "game/GhostObjects.h"
#include "game/MovementStep.h"
#include "game/PlayerObject.h"
#include "game/RandomSource.h"
#include "models/File3DS.h"
#include "models/Mesh3DS.h"
#include "models/ObjectList.h"
#include "platform/IniFile.h"
#include "scene/ModelSource.h"
#include "scene/TerrainObject.h"
#include "tests/collision/BoundsObject.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

const std::vector<uint8_t>& DemoFile(const std::string& path) {
  static const std::vector<assets::TDemoFile> files = assets::BuildDemoFiles();
  for (const auto& f : files)
    if (f.Path == path) return f.Bytes;
  throw std::runtime_error("no demo file " + path);
}

std::vector<std::unique_ptr<TSimple3dObject>> Meshes(const std::string& path) {
  TFile3DS file(DemoFile(path), path);
  TObjectList& meshes = file.ObjectList();
  std::vector<std::unique_ptr<TSimple3dObject>> objects;
  for (int i = 0; i < meshes.MeshCount(); ++i) {
    const TMesh3DS& mesh = *meshes.MeshItem(i);
    const TMeshClass& cls = mesh.name.starts_with("ter")   ? TTerrainObject::Class()
                            : mesh.name.starts_with("col") ? TCollideeObject::Class()
                                                           : TSimple3dObject::Class();
    objects.push_back(cls.Create(TMaterialLookup{}, rlRelease3, mesh));
  }
  return objects;
}

// A model file's objects, owned, as the static container's source.
class TLevelSource : public TModelSource {
 public:
  TLevelSource(const std::string& path, fs::path folder)
      : objects_(Meshes(path)), folder_(std::move(folder)) {}
  int ObjectCount() const override { return static_cast<int>(objects_.size()); }
  T3dObject* GetObject(int i) const override { return objects_[i].get(); }
  fs::path Folder() const override { return folder_; }
  bool IsNewerThanModel(const fs::path&) const override { return false; }

 private:
  std::vector<std::unique_ptr<TSimple3dObject>> objects_;
  fs::path folder_;
};

// An actor model reduced to the bounds of a model file's meshes: the actors draw nothing here,
// and a mesh would want a GL context as soon as a ghost's look changes.
class TBoundsSource : public TModelSource {
 public:
  explicit TBoundsSource(const std::string& path) {
    for (const auto& mesh : Meshes(path)) {
      TBox box;
      TSphere sphere;
      mesh->GetBoundingBox(box);
      mesh->GetBoundingSphere(sphere);
      objects_.push_back(std::make_unique<test::TBoundsObject>(box, sphere, mesh->BoxTighter));
    }
  }
  int ObjectCount() const override { return static_cast<int>(objects_.size()); }
  T3dObject* GetObject(int i) const override { return objects_[i].get(); }
  fs::path Folder() const override { return {}; }
  bool IsNewerThanModel(const fs::path&) const override { return false; }

 private:
  std::vector<std::unique_ptr<test::TBoundsObject>> objects_;
};

int64_t gNow = 0;

struct TStressLevel {
  fs::path folder = fs::temp_directory_path() / "qv-bench-worldstep";
  TLevelSource geometry{"levels/Stress/Objects.3DS", (fs::create_directories(folder), folder / "")};
  TRandomSource random{1};
  TSearchInfo info;
  TStatic3dObjects statics;
  TGhostObjects ghosts{random};
  std::map<std::string, std::unique_ptr<TBoundsSource>> models;
  TBoundsSource playerModel{"objects/Player.3ds"};
  TPlayerObject player{playerModel, info, random};
  TMovementContext context{statics, ghosts, player};

  TStressLevel() {
    statics.LoadFromAdapter(geometry);
    GlobalAlarmDispatcher().SetClock([] { return gNow; });
    ghosts.BindRules(info);
    ghosts.SetPlayer(&player);
    const std::vector<uint8_t>& text = DemoFile("levels/Stress/Level.ini");
    const TIniFile ini = TIniFile::FromText(std::string(text.begin(), text.end()));
    player.LoadFromIni(ini, "Player");
    for (const std::string& section : ini.SectionNames()) {
      std::string file = ini.ReadString(section, "filename", "");
      if (section == "Player" || file.empty()) continue;
      for (char& c : file)
        if (c == '\\') c = '/';
      auto& model = models[file];
      if (!model) model = std::make_unique<TBoundsSource>("levels/Stress/" + file);
      ghosts.CreateGhost(*model, ini.ReadString(section, "classname", ""), info, section, &ini);
    }
    ghosts.ActivateAll();
    for (int frame = 0; frame < 60; ++frame) Frame();  // everybody on the ground, under way
  }
  ~TStressLevel() {
    ghosts.DeactivateAll();
    GlobalAlarmDispatcher().FireAll();
  }

  static constexpr float kDt = 1.0f / 60 * 5;
  void Frame() {
    gNow += 16;
    GlobalAlarmDispatcher().FireDue(gNow);
    player.MoveForward();
    StepActor(context, player, kDt);
    for (int i = 0; i < ghosts.GhostCount(); ++i) StepActor(context, ghosts.GhostAt(i), kDt);
  }
};

TStressLevel& Level() {
  static TStressLevel level;
  return level;
}

void BM_WorldStep(benchmark::State& state) {
  TStressLevel& level = Level();
  for (auto _ : state) level.Frame();
  state.counters["actors"] = 1 + level.ghosts.GhostCount();
  state.SetItemsProcessed(state.iterations() * (1 + level.ghosts.GhostCount()));
}
BENCHMARK(BM_WorldStep)->Unit(benchmark::kMicrosecond);

// The collidee tests of one frame: each actor's desired move swept against the collidees near it,
// and the final box query with its triangle overlap test. Nothing moves.
void BM_WorldStepCollideeTests(benchmark::State& state) {
  TStressLevel& level = Level();
  std::vector<TGhostObject*> actors{&level.player};
  for (int i = 0; i < level.ghosts.GhostCount(); ++i) actors.push_back(&level.ghosts.GhostAt(i));
  std::vector<TVector> targets;
  for (TGhostObject* a : actors) {
    targets.push_back(a->DesiredPosition(TStressLevel::kDt));
    a->Revert();
  }
  for (auto _ : state) {
    for (size_t i = 0; i < actors.size(); ++i) {
      benchmark::DoNotOptimize(CollideWithCollidees(level.context, *actors[i], targets[i]));
      TBox box;
      actors[i]->GetBoundingBox(box);
      const T3dObjectList& near = level.statics.QueryCollidees(box);
      for (int k = 0; k < near.Count(); ++k)
        benchmark::DoNotOptimize(
            static_cast<const TCollideeObject*>(near.Get(k))->OverlapsBox(box));
    }
  }
  state.SetItemsProcessed(state.iterations() * int64_t(actors.size()));
}
BENCHMARK(BM_WorldStepCollideeTests)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace qv
