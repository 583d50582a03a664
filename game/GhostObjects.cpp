#include "game/GhostObjects.h"

#include <stdexcept>

#include "game/GhostClasses.h"
#include "game/PlayerObject.h"
#include "game/SearchGhostObject.h"

namespace qv {

TGhostObjects::TGhostObjects(TRandomSource& random) : random_(random) {}

// The member list refers to the ghosts; empty it before they go.
TGhostObjects::~TGhostObjects() { Members.Clear(); }

bool TGhostObjects::IsSearchGhost(const TGhostObject& ghost) {
  return dynamic_cast<const TSearchGhostObject*>(&ghost) != nullptr;
}

TGhostObject& TGhostObjects::CreateGhost(const TModelSource& adapter, const std::string& className,
                                         TSearchInfo& searchInfo, const std::string& sectionName,
                                         const TIniFile* ini) {
  const TGhostClass& chosen = GhostClassNamed(className);
  std::unique_ptr<TGhostObject> ghost = chosen.Create(adapter, searchInfo, random_);
  ghost->Kind = &chosen;
  ghost->Name = sectionName;
  ghost->LoadFromIniIfAny(ini, sectionName);
  TGhostObject& added = *ghost;
  ghosts_.push_back(std::move(ghost));
  Members.Add(&added);
  UpdateBounds();
  CalcTransparent();
  return added;
}

TGhostObject& TGhostObjects::GhostAt(int index) const {
  if (index < 0 || index >= GhostCount())
    throw std::out_of_range("ghost " + std::to_string(index) + " of " +
                            std::to_string(GhostCount()));
  return *ghosts_[index];
}

void TGhostObjects::ActivateAll() {
  for (auto& ghost : ghosts_) ghost->Activate();
}

void TGhostObjects::DeactivateAll() {
  for (auto& ghost : ghosts_) ghost->Deactivate();
}

void TGhostObjects::MakeSeeker(TGhostObject* actor) {
  if (!actor) return;
  seeker_ = actor;
  for (auto& ghost : ghosts_)
    if (ghost.get() != seeker_ && IsSearchGhost(*ghost)) ghost->SetState(gsHiding);
  if (seeker_ == player_) {
    player_->SetState(gsSeeking);
  } else {
    if (player_) player_->SetState(gsHiding);
    if (IsSearchGhost(*seeker_)) seeker_->SetState(gsCounting);
  }
  if (events_) events_->GameStarted(*seeker_);
}

TGhostList TGhostObjects::GetHiders() const {
  TGhostList hiders;
  for (const auto& ghost : ghosts_)
    if (ghost.get() != seeker_ && IsSearchGhost(*ghost) && ghost->State() == gsHiding)
      hiders.push_back(ghost.get());
  if (player_ && player_ != seeker_ && player_->State() == gsHiding) hiders.push_back(player_);
  return hiders;
}

void TGhostObjects::ResetGame() {
  seeker_ = nullptr;
  for (auto& ghost : ghosts_)
    if (IsSearchGhost(*ghost)) ghost->SetState(gsFree);
  if (player_) player_->SetState(gsFree);
}

void TGhostObjects::BindRules(TSearchInfo& info) {
  info.GetSeeker = [this] { return GetSeeker(); };
  info.MakeSeeker = [this](TGhostObject* actor) { MakeSeeker(actor); };
  info.GetHiders = [this] { return GetHiders(); };
  info.ResetGame = [this] { ResetGame(); };
  info.BecameDone = [this](TGhostObject& actor) { ActorDone(actor); };
}

void TGhostObjects::ActorDone(const TGhostObject& actor) {
  if (!events_ || !seeker_) return;
  if (&actor == seeker_)
    events_->GameWon(actor);
  else
    events_->Found(*seeker_, actor);
}

}  // namespace qv
