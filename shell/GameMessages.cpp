// The game window's lines for what happens in a game of hide-and-seek. Ghosts are named after
// their section in the level file; the player is "you". A game the player starts says nothing
// here: the Enter key that starts it has its own lines.
#include "game/GhostObject.h"
#include "shell/MyGLWindow.h"

namespace qv {

bool TMyGLWindow::IsPlayer(const TGhostObject& actor) const {
  return World && &actor == &World->GetPlayer();
}

void TMyGLWindow::GameStarted(const TGhostObject& seeker) {
  if (!Messages || IsPlayer(seeker)) return;
  Messages->Add(seeker.Name + " caught you and seeks now: hide!");
}

void TMyGLWindow::Found(const TGhostObject& seeker, const TGhostObject& hider) {
  if (!Messages) return;
  if (IsPlayer(hider))
    Messages->Add(seeker.Name + " tagged you: you are out.");
  else if (IsPlayer(seeker))
    Messages->Add("You found " + hider.Name + ".");
  else
    Messages->Add(seeker.Name + " found " + hider.Name + ".");
}

void TMyGLWindow::GameWon(const TGhostObject& seeker) {
  if (!Messages) return;
  Messages->Add(IsPlayer(seeker) ? "You found everybody: you win!"
                                 : seeker.Name + " found everybody and wins.");
}

}  // namespace qv
