#include "game/ShuttleGhostObject.h"

#include "game/LevelSchema.h"
#include "platform/IniFile.h"

namespace qv {

TShuttleGhostObject::TShuttleGhostObject(const TModelSource& adapter, TSearchInfo& searchInfo,
                                         TRandomSource& random)
    : TGhostObject(adapter, searchInfo, random) {}

const TGhostClass& TShuttleGhostObject::Class() {
  static const TGhostClass ref =
      MakeClassRef<TShuttleGhostObject, TGhostClass>("TShuttleGhostObject");
  return ref;
}

void TShuttleGhostObject::LoadFromIni(const TIniFile& ini, std::string_view section) {
  TGhostObject::LoadFromIni(ini, section);
  constexpr std::string_view kShuttle = "TShuttleGhostObject";
  MoveVector = {ReadLevelFloat(ini, section, LevelKey(kShuttle, "MoveVecx")),
                ReadLevelFloat(ini, section, LevelKey(kShuttle, "MoveVecy")),
                ReadLevelFloat(ini, section, LevelKey(kShuttle, "MoveVecz"))};
}

TVector TShuttleGhostObject::DesiredPosition(float dt) {
  return VecAdd(Position(), VecScale(MoveVector, Speed() * dt));
}

void TShuttleGhostObject::Think() { MoveVector = VecScale(MoveVector, -1); }

}  // namespace qv
