#pragma once
// A search ghost that, when seeking, heads straight for the nearest hiding actor within 500 units.

#include "game/SearchGhostObject.h"

namespace qv {

class TDirectGhostObject : public TSearchGhostObject {
 public:
  using TSearchGhostObject::TSearchGhostObject;

  static const TGhostClass& Class();

  // CheckGameOver, then the heading towards the nearest hider closer than 500.0 (strictly; none
  // gives -90), turning so as to face it at the next think step.
  void Seek() override;
};

}  // namespace qv
