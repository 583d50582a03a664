#pragma once
// A moving obstacle: shuttles back and forth along a fixed vector, reversing at every think step,
// and never takes part in a game.

#include <string_view>

#include "game/GhostObject.h"

namespace qv {

class TShuttleGhostObject : public TGhostObject {
 public:
  // Gravity-free, move vector (0.2, 0.2, 0.2).
  TShuttleGhostObject(const TModelSource& adapter, TSearchInfo& searchInfo, TRandomSource& random);

  static const TGhostClass& Class();

  // The movable object's keys, then "MoveVecx", "MoveVecy", "MoveVecz" (0.2 each).
  void LoadFromIni(const TIniFile& ini, std::string_view section) override;
  // Position + move vector * speed * dt; heading and speed factor play no part.
  TVector DesiredPosition(float dt) override;
  // Reverses.
  void Think() override;
  void Touched(TGhostObject& /*other*/) override {}

  TVector MoveVector{0.2f, 0.2f, 0.2f};  // units per unit of speed and game second
};

}  // namespace qv
