#include "game/ShuttleGhostObject.h"

#include "game/LevelNumbers.h"
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
  MoveVector = {ReadLevelFloat(ini, section, "MoveVecx", 0.2f),
                ReadLevelFloat(ini, section, "MoveVecy", 0.2f),
                ReadLevelFloat(ini, section, "MoveVecz", 0.2f)};
}

TVector TShuttleGhostObject::DesiredPosition(float dt) {
  return VecAdd(Position(), VecScale(MoveVector, Speed() * dt));
}

void TShuttleGhostObject::Think() { MoveVector = VecScale(MoveVector, -1); }

}  // namespace qv
