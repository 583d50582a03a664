#pragma once
// TGameEvents: what happens in a game of hide-and-seek, told to whoever watches the game (the game
// window puts it into the message list). The ghost collection calls it as the rules decide; it is
// the only way the game layer reports upwards. Calls arrive inside a world step (a touch) or an
// alarm (a think step), never during drawing; a watcher must not destroy the world from them.

namespace qv {

class TGhostObject;

class TGameEvents {
 public:
  virtual ~TGameEvents() = default;
  // A game starts: `seeker` seeks (the player, or the ghost that touched the player).
  virtual void GameStarted(const TGhostObject& seeker) = 0;
  // The seeker found `hider` (the player too: it is tagged).
  virtual void Found(const TGhostObject& seeker, const TGhostObject& hider) = 0;
  // The seeker found nobody left hiding: it has found everybody and the game ends a second later.
  virtual void GameWon(const TGhostObject& seeker) = 0;
};

}  // namespace qv
