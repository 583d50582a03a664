#include "game/GhostClasses.h"

#include <vector>

#include "game/DirectGhostObject.h"
#include "game/InFrustumGhostObject.h"
#include "game/SearchGhostObject.h"
#include "game/ShuttleGhostObject.h"

namespace qv {

std::span<const TGhostKind> GhostKinds() {
  static const std::vector<TGhostKind> kinds = {
      {&TGhostObject::Class(), ""},
      GhostKindOf<TShuttleGhostObject, TGhostObject>(),
      GhostKindOf<TSearchGhostObject, TGhostObject>(),
      GhostKindOf<TDirectGhostObject, TSearchGhostObject>(),
      GhostKindOf<TInFrustumGhostObject, TSearchGhostObject>(),
  };
  return kinds;
}

const TGhostClass& GhostClassNamed(std::string_view name) {
  for (const TGhostKind& kind : GhostKinds())
    if (name == kind.Class->Name) return *kind.Class;
  return TGhostObject::Class();
}

bool GhostKindIsA(std::string_view kind, std::string_view base) {
  while (!kind.empty()) {
    if (kind == base) return true;
    std::string_view next;
    for (const TGhostKind& k : GhostKinds())
      if (kind == k.Class->Name) next = k.Base;
    kind = next;
  }
  return false;
}

}  // namespace qv
