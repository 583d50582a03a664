#pragma once
// Small levels and actors for the movement and game-rule tests, made without GL: terrain and
// collidee objects straight from mesh records in world axes, actors from bounds-only models, a
// fixed random seed and the global alarm dispatcher on a clock the test drives.
//   TActorLevel level;
//   level.Terrain({Quad(...)}); level.Collidee(Box(...)); level.Load();
//   TGhostObject& g = level.Ghost("TSearchGhostObject", "[g]\nInitialxpos=3\n");
//   level.Step(0.1f);  level.Advance(2100);

#include <memory>
#include <string>
#include <vector>

#include "collision/CollideeObject.h"
#include "collision/Static3dObjects.h"
#include "game/GhostObjects.h"
#include "game/MovementStep.h"
#include "game/PlayerObject.h"
#include "game/RandomSource.h"
#include "scene/ModelSource.h"
#include "scene/TerrainObject.h"
#include "tests/collision/BoundsObject.h"
#include "tests/support/ScopedLog.h"
#include "tests/support/TempDir.h"

namespace qv::test {

// A bounds-only object that remembers whether it is highlighted.
class TLookObject : public TBoundsObject {
 public:
  using TBoundsObject::TBoundsObject;
  void Highlight() override { Highlighted = true; }
  void Unhighlight() override { Highlighted = false; }
  bool Highlighted = false;
};

// A model of one bounds-only object centred on the origin, half extents hx, hy, hz.
class TBoundsModel : public TModelSource {
 public:
  explicit TBoundsModel(float hx = 0.5f, float hy = 1, float hz = 0.5f);
  // Any box, the origin anywhere in or outside it; the sphere encloses the box.
  explicit TBoundsModel(const TBox& box);
  bool Highlighted() const { return object_->Highlighted; }
  int ObjectCount() const override { return 1; }
  T3dObject* GetObject(int) const override { return object_.get(); }
  std::filesystem::path Folder() const override { return {}; }
  bool IsNewerThanModel(const std::filesystem::path&) const override { return false; }

 private:
  std::unique_ptr<TLookObject> object_;
};

// Triangles in world axes.
using TTriangles = std::vector<TTriangle>;
// Two triangles over the rectangle spanned by corner a and the edges u and v (a, a+u, a+u+v,
// a+v), wound so their normal is u x v.
TTriangles Quad(TVector a, TVector u, TVector v);
// A flat floor at height y over x0..x1, z0..z1, facing up.
TTriangles Floor(float x0, float x1, float z0, float z1, float y);
// The same area cut into 1 x 1 cells.
TTriangles FloorCells(float x0, float x1, float z0, float z1, float y);
// A vertical wall from (x0, z0) to (x1, z1), bottom y0, top y1; cells of 1 x 1 when `cells`.
TTriangles Wall(float x0, float z0, float x1, float z1, float y0, float y1, bool cells = false);
TTriangles operator+(TTriangles a, const TTriangles& b);

class TActorLevel : public TModelSource {
 public:
  TActorLevel();
  ~TActorLevel() override;

  // Level objects, in the order added. Vertices are shared where triangles share corners.
  TTerrainObject& Terrain(const TTriangles& triangles);
  TCollideeObject& Collidee(const TTriangles& triangles);
  // Builds the tree over the objects added; after this the actors can move.
  void Load();

  // A ghost of the class named, reading `ini` (a section "[name]" and its keys) when given.
  TGhostObject& Ghost(const std::string& className, const std::string& ini = "", float hx = 0.5f,
                      float hy = 1, float hz = 0.5f);
  // A ghost whose model is the box `model`.
  TGhostObject& Ghost(const std::string& className, const TBox& model);
  // The player placed at p (its ini keys are not read).
  void PlacePlayer(TVector p) { player.PlaceAt(p); }
  // Puts an actor there at once, facing `heading`.
  static void Put(TMovableObject& actor, TVector p, float heading = 0);
  // Whether the ghost's model is highlighted.
  static bool Highlighted(const TGhostObject& ghost);

  // One frame: the player, then every ghost, each with StepActor.
  void Step(float dt);
  // Moves the clock on by ms and fires the alarms due.
  void Advance(int64_t ms);

  // TModelSource over the level objects.
  int ObjectCount() const override { return static_cast<int>(objects_.size()); }
  T3dObject* GetObject(int index) const override { return objects_[index].get(); }
  std::filesystem::path Folder() const override { return dir_.Path(); }
  bool IsNewerThanModel(const std::filesystem::path&) const override { return false; }

  static int64_t now;  // the dispatcher's clock, ms

 private:
  // Declared first so they go last: the tree, the ghosts and the player refer to them.
  TempDir dir_;
  std::vector<std::unique_ptr<T3dObject>> objects_;
  std::vector<std::unique_ptr<TBoundsModel>> models_;

 public:
  ScopedLog log;
  TRandomSource random{12345};
  TSearchInfo info;
  TGhostObjects ghosts{random};
  TBoundsModel playerModel;
  TPlayerObject player{playerModel, info, random};
  TStatic3dObjects statics;
  TMovementContext context{statics, ghosts, player};
};

}  // namespace qv::test
