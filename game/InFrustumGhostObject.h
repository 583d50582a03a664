#pragma once
// A search ghost that, when seeking, heads for the first hiding actor that lies within its viewing
// angle of its heading.

#include <string_view>

#include "game/SearchGhostObject.h"

namespace qv {

class TInFrustumGhostObject : public TSearchGhostObject {
 public:
  using TSearchGhostObject::TSearchGhostObject;

  static const TGhostClass& Class();

  // The search ghost's keys, then "ViewingAngle" (35.0).
  void LoadFromIni(const TIniFile& ini, std::string_view section) override;
  // CheckGameOver, then the heading towards the first hider, in list order, less than the viewing
  // angle off the heading (strictly). The same number serves as angle limit and chosen heading,
  // so when nobody is seen the target is the absolute heading equal to the viewing angle.
  void Seek() override;

  float ViewingAngle = 35.0f;  // degrees either side of the heading
};

}  // namespace qv
