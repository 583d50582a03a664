#include "game/MovementStep.h"

#include <cmath>
#include <limits>

#include "collision/BoundingSweep.h"
#include "collision/CollideeObject.h"
#include "collision/Static3dObjects.h"
#include "scene/TerrainObject.h"

namespace qv {

namespace {

constexpr float kGravity = 6.0f;         // units per game second per game second
constexpr int kMaxAttempts = 6;          // collision corrections per step
constexpr float kTouchingTime = 0.001f;  // a first time below: touching at the start
constexpr float kLeavingTime = 0.1f;     // a last time below: already on the way out

// Terrain answers only strictly inside its box, so a target exactly on the edge of a tile - the
// seam where two tiles meet - would be refused by both, and an actor walking along the seam would
// freeze. Asked a hair inside, the tile answers from its clamped border instead.
TVector InsideEdgeOf(const TBox& box, TVector p) {
  constexpr float kInf = std::numeric_limits<float>::infinity();
  if (p.x == box.minX) p.x = std::nextafter(p.x, kInf);
  if (p.x == box.maxX) p.x = std::nextafter(p.x, -kInf);
  if (p.z == box.minZ) p.z = std::nextafter(p.z, kInf);
  if (p.z == box.maxZ) p.z = std::nextafter(p.z, -kInf);
  return p;
}

// The highest surface below the target among `terrains`, else the closest point any offers, else
// `current`; `answered` tells whether any terrain gave a point. With `onSeam`, targets on a box
// edge are asked a hair inside.
TVector GroundPointAmong(const T3dObjectList& terrains, const TVector& target,
                         const TVector& current, bool onSeam, bool& answered) {
  TVector result = current;
  float bestBelow = 1e16f, bestNear = 1e16f;
  bool foundBelow = false;
  for (int i = 0; i < terrains.Count(); ++i) {
    const auto& terrain = static_cast<const TTerrainObject&>(*terrains.Get(i));
    TVector query = target;
    if (onSeam) {
      TBox box;
      terrain.GetBoundingBox(box);
      query = InsideEdgeOf(box, target);
    }
    const TVector s = terrain.SurfacePoint(query.x, query.z, current.x, current.z);
    if (s.x == target.x && s.z == target.z) {
      if (s.y < target.y && target.y - s.y < bestBelow) {
        bestBelow = target.y - s.y;
        result = s;
        foundBelow = answered = true;
      }
    } else if (!foundBelow) {
      const float distance = VecLength(VecSub(s, target));
      if (distance < bestNear) {
        bestNear = distance;
        result = s;
        answered = true;
      }
    }
  }
  return result;
}

}  // namespace

void StepActor(const TMovementContext& context, TGhostObject& actor, float dt) {
  if (!(dt > 0)) dt = 0;  // also NaN
  if (dt > kMaxStepTime) dt = kMaxStepTime;
  MoveActor(context, actor, dt);
}

void MoveActor(const TMovementContext& context, TGhostObject& actor, float dt) {
  TVector target = actor.DesiredPosition(dt);
  const TVector current = actor.Position();
  if (target == current && actor.VerticalSpeed == 0) {
    PlaceActor(context, actor, current);
    return;
  }
  bool blocked = false;
  for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
    TVector next = target;
    if (!actor.GravityFree) {
      next = GroundPoint(context, target, current);
      // A target off every terrain is refused horizontally; the actor still falls onto the
      // ground under it instead of hanging in the air where a jump took it.
      if (next == current && !(target.x == current.x && target.z == current.z))
        next = GroundPoint(context, {current.x, target.y, current.z}, current);
      if (!(next == current)) next.y += actor.HoverHeight();
      if (target.y > next.y) actor.VerticalSpeed += dt * kGravity;
      const float h = target.y - dt * actor.VerticalSpeed;
      if (h > next.y)
        next.y = h;
      else
        actor.VerticalSpeed = 0;  // on the ground
    }
    TVector corrected;
    if (blocked) {
      // Actors that touched at the start are let apart without a further actor test; the walls
      // are still swept, or the corrected move could carry the actor through one (into a corner).
      // A wall the actor is leaving lets it through unchanged.
      if (!CollideWithCollidees(context, actor, next, blocked, corrected) || corrected == next) {
        PlaceActor(context, actor, next);
        return;
      }
      target = corrected;
      continue;
    }
    if (!CollideActor(context, actor, next, blocked, corrected)) {
      PlaceActor(context, actor, next);
      return;
    }
    target = corrected;
  }
  PlaceActor(context, actor, current);
}

TVector GroundPoint(const TMovementContext& context, const TVector& target,
                    const TVector& current) {
  const T3dObjectList& terrains = context.Statics.QueryTerrainAt(target.x, target.z);
  bool answered = false;
  TVector result = GroundPointAmong(terrains, target, current, false, answered);
  // Only where tiles meet: the outer edge of a level's terrain stays a wall.
  if (!answered && terrains.Count() >= 2)
    result = GroundPointAmong(terrains, target, current, true, answered);
  return result;
}

bool CollideActor(const TMovementContext& context, TGhostObject& actor, const TVector& target,
                  bool& blocked, TVector& corrected) {
  corrected = target;
  TPlayerObject& player = context.Player;
  if (&actor != &player && CollideWith(actor, target, player, blocked, corrected)) {
    actor.Touched(player);
    player.Touched(actor);
    return true;
  }
  for (int i = 0; i < context.Ghosts.GhostCount(); ++i) {
    TGhostObject& ghost = context.Ghosts.GhostAt(i);
    if (&ghost == &actor) continue;
    if (CollideWith(actor, target, ghost, blocked, corrected)) {
      ghost.Touched(actor);
      actor.Touched(ghost);
      return true;
    }
  }
  return CollideWithCollidees(context, actor, target, blocked, corrected);
}

bool CollideWithCollidees(const TMovementContext& context, const TMovableObject& actor,
                          const TVector& target, bool& blocked, TVector& corrected) {
  corrected = target;
  TBox box;
  actor.GetBoundingBox(box);
  const T3dObjectList& collidees =
      context.Statics.QueryCollidees(BoxExtendedBy(box, VecSub(target, actor.Position())));
  for (int i = 0; i < collidees.Count(); ++i) {
    const auto& collidee = static_cast<const TCollideeObject&>(*collidees.Get(i));
    if (CollideWithCollidee(actor, target, collidee, blocked, corrected)) return true;
  }
  return false;
}

bool CollideWith(const TMovableObject& actor, const TVector& target, const T3dObject& other,
                 bool& blocked, TVector& corrected) {
  const TVector d = VecSub(target, actor.Position());
  if (d == TVector{}) return false;
  const TSweepResult hit = SweepAgainst(actor, d, other);
  if (!hit.Hit) return false;
  if (hit.FirstTime < kTouchingTime) {
    blocked = true;
    // Let through only what is on its way out: a step ten times longer than the overlap would
    // otherwise carry an actor through the other.
    TSphere sphere;
    actor.GetBoundingSphere(sphere);
    if (hit.LastTime < kLeavingTime &&
        VecDot(d, BoundingPush({sphere.x, sphere.y, sphere.z}, other)) >= 0)
      return true;
  }
  corrected = BoundingResponse(actor, actor.Position(), d, other, hit.FirstTime);
  return true;
}

bool CollideWithCollidee(const TMovableObject& actor, const TVector& target,
                         const TCollideeObject& collidee, bool& blocked, TVector& corrected) {
  if (collidee.IsLarge()) return CollideWith(actor, target, collidee, blocked, corrected);
  const TVector d = VecSub(target, actor.Position());
  if (d == TVector{}) return false;
  if (!SweepAgainst(actor, d, collidee).Hit) return false;
  const TCollideeSweep hit = collidee.SweepBox(actor, d);
  if (!hit.Hit) return false;
  if (hit.FirstTime < kTouchingTime) {
    blocked = true;
    // Only a move away from the triangle is let through: a long step into a thin wall leaves it
    // after a small fraction of the step, too, and would pass it.
    if (hit.LastTime < kLeavingTime && VecDot(d, hit.Normal) >= 0) return true;
  }
  corrected = VecAdd(actor.Position(), hit.Corrected);
  return true;
}

void PlaceActor(const TMovementContext& context, TMovableObject& actor, const TVector& position) {
  actor.SetPosition(position);
  const TBox box = actor.NextBox();
  const T3dObjectList& collidees = context.Statics.QueryCollidees(box);
  for (int i = 0; i < collidees.Count(); ++i) {
    if (static_cast<const TCollideeObject&>(*collidees.Get(i)).OverlapsBox(box)) {
      actor.Revert();
      return;
    }
  }
  actor.Commit();
}

}  // namespace qv
