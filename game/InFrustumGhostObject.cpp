#include "game/InFrustumGhostObject.h"

#include <algorithm>
#include <cmath>

#include "game/LevelSchema.h"
#include "game/RandomSource.h"
#include "platform/IniFile.h"

namespace qv {

const TGhostClass& TInFrustumGhostObject::Class() {
  static const TGhostClass ref =
      MakeClassRef<TInFrustumGhostObject, TGhostClass>("TInFrustumGhostObject");
  return ref;
}

void TInFrustumGhostObject::LoadFromIni(const TIniFile& ini, std::string_view section) {
  TSearchGhostObject::LoadFromIni(ini, section);
  ViewingAngle = ReadLevelFloat(ini, section, LevelKey("TInFrustumGhostObject", "ViewingAngle"));
}

void TInFrustumGhostObject::Seek() {
  CheckGameOver();
  constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180.0;
  const double h = Heading() * kRadiansPerDegree;
  const TVector forward{float(-std::sin(h)), 0, float(-std::cos(h))};
  float limit = ViewingAngle;
  for (const TGhostObject* hider : SearchInfo.GetHiders()) {
    const TVector d = VecSub(hider->Position(), Position());
    const double cosine = std::clamp(double(VecDot(VecNormalize(d), forward)), -1.0, 1.0);
    const double angle = std::fabs(std::acos(cosine) / kRadiansPerDegree);
    if (angle < limit) limit = HeadingTowards(d);
  }
  SetTarget(limit);
  TurnByNextThink();
  SpeedFactor = Random.Unit() * 0.14f + 0.85f;
}

}  // namespace qv
