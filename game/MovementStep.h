#pragma once
// The movement step: how one actor moves through a level in one frame. The actor asks where it
// wants to be (DesiredPosition), follows the highest terrain below that target, falls under
// gravity, and is tested against the player, the other ghosts and the collidee objects near the
// box swept by its move; a collision corrects the target and the step tries again, at most six
// times. Every step ends in a commit or a revert, and a move whose final box overlaps any collidee
// triangle is reverted whole. Two actors that touch are both told (Touched): that is how hiders
// are found.
//
// The world calls StepActor once per actor per frame, the player first, then every ghost in
// collection order. Cost per actor: at most six attempts, each one sweep per other actor and one
// per collidee whose box meets the swept box (a triangle sweep for collidees of up to 500
// vertices), plus the terrain query under the target and the final box query.
//
// Times are game seconds (real seconds * 5). Nothing here needs a GL context: the context is the
// static objects' tree queries, the ghost collection and the player.

#include <functional>

#include "game/GhostObjects.h"
#include "game/PlayerObject.h"

namespace qv {

class TCollideeObject;
class TStatic3dObjects;

struct TMovementContext {
  TStatic3dObjects& Statics;  // terrain and collidee queries of the level
  TGhostObjects& Ghosts;      // every ghost, in collection order
  TPlayerObject& Player;      // the player (not one of the ghosts)
  // Told of every touch after both actors were (mover, other); for tools and tests that watch
  // the game. Empty: nobody is told.
  std::function<void(const TGhostObject& mover, const TGhostObject& other)> OnTouch{};
};

// What a move meets.
struct TCollision {
  bool Hit = false;      // the move meets something: Corrected is the target to try instead
  bool Blocked = false;  // the actor already touched it at the start of the move
  TVector Corrected{};   // level coordinates; the target itself when nothing was met
};

// The longest step StepActor runs at once: a frame of 100 ms. Longer frames (a window dragged, a
// machine waking up) run as one such step, so the game slows down for that frame instead of
// carrying actors through walls or floors.
constexpr float kMaxStepTime = 0.5f;

// MoveActor with dt held within 0..kMaxStepTime (a frame of up to 100 ms moves exactly as
// MoveActor does).
void StepActor(const TMovementContext& context, TGhostObject& actor, float dt);

// One move of the actor by dt game seconds.
void MoveActor(const TMovementContext& context, TGhostObject& actor, float dt);

// The highest terrain surface point below `target` (exactly under it); while none is found, the
// closest point any terrain offers near it; with no terrain under target at all, `current`.
TVector GroundPoint(const TMovementContext& context, const TVector& target, const TVector& current);

// Whether two actors meet at all: one that is done (found, or a seeker who found everybody) is out
// of the game until the reset and passes through the others, and they through it. Found ghosts
// stop where they were found, so a seeker that found a crowd would otherwise stand fenced in by
// them and never end its game.
bool Meet(const TGhostObject& a, const TGhostObject& b);

// Tests the move of `actor` to `target` against the player, the ghosts and the collidees, in this
// order, and tells both actors of a touch. The first collision answers.
TCollision CollideActor(const TMovementContext& context, TGhostObject& actor,
                        const TVector& target);

// The collidee part of CollideActor: the collidees whose boxes meet the box swept by the move.
TCollision CollideWithCollidees(const TMovementContext& context, const TMovableObject& actor,
                                const TVector& target);

// The move against another actor's bounds.
TCollision CollideWith(const TMovableObject& actor, const TVector& target, const T3dObject& other);

// The move against a collidee: by its box when it is large, else at triangle level. Both are
// box tests, as the final placement's is, so a move found free here is not refused there.
TCollision CollideWithCollidee(const TMovableObject& actor, const TVector& target,
                               const TCollideeObject& collidee);

// True when every way on the ground is shut: a level move of `step` units in each of eight
// directions finds no terrain, or meets another actor or a collidee and keeps under half its
// length after the slide. Tells nobody of a touch and moves nothing.
bool IsBoxedIn(const TMovementContext& context, const TGhostObject& actor, float step);

// Moves the actor to `position` unless its box there overlaps a collidee triangle. A turn that
// would swing the box into a collidee waits: the actor moves at its old heading and tilt.
void PlaceActor(const TMovementContext& context, TMovableObject& actor, const TVector& position);

}  // namespace qv
