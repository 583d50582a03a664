// The one place that knows which game classes the terrain and collidee queries select.

#include "collision/BOPTree.h"
#include "collision/CollideeObject.h"
#include "scene/TerrainObject.h"

namespace qv {

namespace {

bool IsTerrainObject(const T3dObject& object) {
  return dynamic_cast<const TTerrainObject*>(&object) != nullptr;
}

bool IsCollideeObject(const T3dObject& object) {
  return dynamic_cast<const TCollideeObject*>(&object) != nullptr;
}

}  // namespace

TBOPKinds GameBOPKinds() { return {&IsTerrainObject, &IsCollideeObject}; }

}  // namespace qv
