#include "game/DirectGhostObject.h"

#include "game/RandomSource.h"

namespace qv {

const TGhostClass& TDirectGhostObject::Class() {
  static const TGhostClass ref =
      MakeClassRef<TDirectGhostObject, TGhostClass>("TDirectGhostObject");
  return ref;
}

void TDirectGhostObject::Seek() {
  CheckGameOver();
  float best = 500.0f;
  TVector direction{};
  for (const TGhostObject* hider : SearchInfo.GetHiders()) {
    const TVector d = VecSub(hider->Position(), Position());
    const float distance = VecLength(d);
    if (distance < best) {
      best = distance;
      direction = d;
    }
  }
  SetTarget(HeadingTowards(direction));
  TurnByNextThink();
  SpeedFactor = Random.Unit() * 0.14f + 0.85f;
}

}  // namespace qv
