#include "tests/game/ActorLevel.h"

#include <map>
#include <tuple>

#include "game/AlarmDispatcher.h"
#include "models/Mesh3DS.h"
#include "platform/IniFile.h"

namespace qv::test {

int64_t TActorLevel::now = 0;

TBoundsModel::TBoundsModel(float hx, float hy, float hz)
    : object_(std::make_unique<TLookObject>(TBox{-hx, hx, -hy, hy, -hz, hz},
                                            TSphere{0, 0, 0, VecLength({hx, hy, hz})}, true)) {}

TBoundsModel::TBoundsModel(const TBox& b)
    : object_(std::make_unique<TLookObject>(
          b,
          TSphere{(b.minX + b.maxX) / 2, (b.minY + b.maxY) / 2, (b.minZ + b.maxZ) / 2,
                  VecLength({b.maxX - b.minX, b.maxY - b.minY, b.maxZ - b.minZ}) / 2},
          true)) {}

TTriangles Quad(TVector a, TVector u, TVector v) {
  const TVector b = VecAdd(a, u), c = VecAdd(b, v), d = VecAdd(a, v);
  return {{a, b, c}, {a, c, d}};
}

TTriangles Floor(float x0, float x1, float z0, float z1, float y) {
  return Quad({x0, y, z1}, {x1 - x0, 0, 0}, {0, 0, z0 - z1});
}

TTriangles FloorCells(float x0, float x1, float z0, float z1, float y) {
  TTriangles all;
  for (float x = x0; x < x1; x += 1)
    for (float z = z0; z < z1; z += 1) all = all + Floor(x, x + 1, z, z + 1, y);
  return all;
}

TTriangles Wall(float x0, float z0, float x1, float z1, float y0, float y1, bool cells) {
  const TVector along{x1 - x0, 0, z1 - z0};
  if (!cells) return Quad({x0, y0, z0}, along, {0, y1 - y0, 0});
  const float length = VecLength(along);
  const TVector unit = VecScale(along, 1 / length);
  TTriangles all;
  for (float s = 0; s < length; s += 1)
    for (float y = y0; y < y1; y += 1)
      all = all + Quad(VecAdd({x0, y, z0}, VecScale(unit, s)), unit, {0, 1, 0});
  return all;
}

TTriangles operator+(TTriangles a, const TTriangles& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

namespace {

// The mesh record of the triangles: world (x, y, z) is file (x, -z, y); equal corners shared and
// every face in one smoothing group, so cell walls stay under the 500-vertex limit.
TMesh3DS MeshOf(const std::string& name, const TTriangles& triangles) {
  TMesh3DS mesh;
  mesh.name = name;
  std::map<std::tuple<float, float, float>, uint16_t> index;
  auto vertex = [&](const TVector& w) {
    const auto key = std::make_tuple(w.x, w.y, w.z);
    const auto found = index.find(key);
    if (found != index.end()) return found->second;
    mesh.vertices.push_back({w.x, -w.z, w.y});
    const auto i = static_cast<uint16_t>(mesh.vertices.size() - 1);
    index.emplace(key, i);
    return i;
  };
  for (const TTriangle& t : triangles) {
    const uint16_t a = vertex(t.a), b = vertex(t.b), c = vertex(t.c);
    mesh.faces.push_back({a, b, c, 0});
  }
  mesh.smoothing.assign(mesh.faces.size(), 1);
  return mesh;
}

}  // namespace

TActorLevel::TActorLevel() {
  GlobalAlarmDispatcher().SetClock([] { return now; });
  ghosts.BindRules(info);
  ghosts.SetPlayer(&player);
  player.PlaceAt({-1000, 0, -1000});  // out of the way until a test places it
}

TActorLevel::~TActorLevel() {
  ghosts.DeactivateAll();
  GlobalAlarmDispatcher().FireAll();
}

TTerrainObject& TActorLevel::Terrain(const TTriangles& triangles) {
  auto terrain = std::make_unique<TTerrainObject>(
      TMaterialLookup{}, rlRelease3, MeshOf("ter" + std::to_string(objects_.size()), triangles));
  TTerrainObject& added = *terrain;
  objects_.push_back(std::move(terrain));
  return added;
}

TCollideeObject& TActorLevel::Collidee(const TTriangles& triangles) {
  auto collidee = std::make_unique<TCollideeObject>(
      TMaterialLookup{}, rlRelease3, MeshOf("col" + std::to_string(objects_.size()), triangles));
  TCollideeObject& added = *collidee;
  objects_.push_back(std::move(collidee));
  return added;
}

void TActorLevel::Load() { statics.LoadFromAdapter(*this); }

TGhostObject& TActorLevel::Ghost(const std::string& className, const std::string& ini, float hx,
                                 float hy, float hz) {
  models_.push_back(std::make_unique<TBoundsModel>(hx, hy, hz));
  const TIniFile file = TIniFile::FromText(ini);
  const std::vector<std::string> sections = file.SectionNames();
  const std::string section = sections.empty() ? "ghost" : sections.front();
  return ghosts.CreateGhost(*models_.back(), className, info, section,
                            ini.empty() ? nullptr : &file);
}

TGhostObject& TActorLevel::Ghost(const std::string& className, const TBox& model) {
  models_.push_back(std::make_unique<TBoundsModel>(model));
  return ghosts.CreateGhost(*models_.back(), className, info, "ghost", nullptr);
}

void TActorLevel::Put(TMovableObject& actor, TVector p, float heading) {
  actor.SetPosition(p);
  actor.SetHeading(heading);
  actor.Commit();
}

bool TActorLevel::Highlighted(const TGhostObject& ghost) {
  return static_cast<const TLookObject*>(ghost.GetMember(0))->Highlighted;
}

void TActorLevel::Step(float dt) {
  StepActor(context, player, dt);
  for (int i = 0; i < ghosts.GhostCount(); ++i) StepActor(context, ghosts.GhostAt(i), dt);
}

void TActorLevel::Advance(int64_t ms) {
  now += ms;
  GlobalAlarmDispatcher().FireDue(now);
}

}  // namespace qv::test
