#include "game/MovementStep.h"

#include <cmath>
#include <limits>
#include <utility>

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

// Ground under the target. Where there is none, ground under the move's part along one axis (the
// longer part first): an actor pushed along a wall at the edge of the terrain slides along the
// edge instead of stopping. Failing both, ground under the actor itself, so it still falls onto
// the ground under it instead of hanging in the air where a jump took it.
TVector GroundAlong(const TMovementContext& context, const TVector& target,
                    const TVector& current) {
  const TVector ground = GroundPoint(context, target, current);
  if (!(ground == current) || (target.x == current.x && target.z == current.z)) return ground;
  TVector parts[2] = {{target.x, target.y, current.z}, {current.x, target.y, target.z}};
  if (std::fabs(target.x - current.x) < std::fabs(target.z - current.z))
    std::swap(parts[0], parts[1]);
  for (const TVector& part : parts) {
    if (part.x == current.x && part.z == current.z) continue;
    const TVector partGround = GroundPoint(context, part, current);
    if (!(partGround == current)) return partGround;
  }
  return GroundPoint(context, {current.x, target.y, current.z}, current);
}

// The mover's box swept against the other's box, whichever bound is tighter: what the triangle
// sweep and the final placement test is the box, so the pre-test must not be a sphere that
// misses where the box hits.
TSweepResult SweepBoundingBoxes(const T3dObject& mover, const TVector& d, const T3dObject& other) {
  TBox moverBox, otherBox;
  mover.GetBoundingBox(moverBox);
  other.GetBoundingBox(otherBox);
  return SweepBoxes(moverBox, d, otherBox);
}

// The collision after a hit of the bounds: the slide off the face entered. Touching at the start,
// the actor is blocked; a move on its way out (leaving within a tenth of the step, not into the
// other) is let through unchanged.
TCollision RespondToBounds(const TMovableObject& actor, const TVector& target, const TVector& d,
                           const T3dObject& other, const TSweepResult& hit) {
  if (!hit.Hit) return {false, false, target};
  TCollision collision{true, false, target};
  if (hit.FirstTime < kTouchingTime) {
    collision.Blocked = true;
    TSphere sphere;
    actor.GetBoundingSphere(sphere);
    const TVector away =
        hit.Normal == TVector{} ? BoundingPush({sphere.x, sphere.y, sphere.z}, other) : hit.Normal;
    // Let through only what is on its way out: a step ten times longer than the overlap would
    // otherwise carry an actor through the other.
    if (hit.LastTime < kLeavingTime && VecDot(d, away) >= 0) return collision;
  }
  collision.Corrected =
      BoundingResponse(actor, actor.Position(), d, other, hit.FirstTime, hit.Normal);
  return collision;
}

// True when the box overlaps a triangle of a collidee near it.
bool MeetsCollidee(const TMovementContext& context, const TBox& box) {
  const T3dObjectList& collidees = context.Statics.QueryCollidees(box);
  for (int i = 0; i < collidees.Count(); ++i)
    if (static_cast<const TCollideeObject&>(*collidees.Get(i)).OverlapsBox(box)) return true;
  return false;
}

// A turn whose box grows into a wall, made with the actor stepped aside by as much as the box
// grows on that side (on x, on z or both, the smallest step first). Without it an actor flush in
// a corner, or a long one along a wall, could never turn away. True when one fits; the next
// position is then that place.
bool TurnSteppingAside(const TMovementContext& context, TMovableObject& actor,
                       const TVector& position) {
  if (!actor.Turns()) return false;
  TBox still;  // the box at the target, not turned
  actor.GetBoundingBox(still);
  const TVector by = VecSub(position, actor.Position());
  still = {still.minX + by.x, still.maxX + by.x, still.minY + by.y,
           still.maxY + by.y, still.minZ + by.z, still.maxZ + by.z};
  const TBox turned = actor.TurnBox();
  const float xs[3] = {0, std::min(0.0f, still.maxX - turned.maxX),
                       std::max(0.0f, still.minX - turned.minX)};
  const float zs[3] = {0, std::min(0.0f, still.maxZ - turned.maxZ),
                       std::max(0.0f, still.minZ - turned.minZ)};
  struct TStep {
    float x, z;
  };
  TStep steps[8];
  int count = 0;
  for (float x : xs)
    for (float z : zs)
      if (x != 0 || z != 0) steps[count++] = {x, z};
  auto length = [](const TStep& s) { return s.x * s.x + s.z * s.z; };
  for (int k = 1; k < count; ++k)  // shortest first
    for (int j = k; j > 0 && length(steps[j]) < length(steps[j - 1]); --j)
      std::swap(steps[j], steps[j - 1]);
  for (int k = 0; k < count; ++k) {
    actor.SetNextPosition({position.x + steps[k].x, position.y, position.z + steps[k].z});
    if (!MeetsCollidee(context, actor.TurnBox())) return true;
  }
  actor.SetNextPosition(position);
  return false;
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
  // A collision that held the actor up (it came down on a collidee's top, or the edge of a ledge
  // it walks off) ends the fall for this step: the next attempts keep the corrected height, so the
  // actor slides over the top instead of being pulled into it again by every attempt.
  bool heldUp = false;
  for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
    TVector next = target;
    if (heldUp) {
      actor.VerticalSpeed = 0;
    } else if (!actor.GravityFree) {
      next = GroundAlong(context, target, current);
      if (!(next == current)) next.y += actor.HoverHeight();
      if (target.y > next.y) actor.VerticalSpeed += dt * kGravity;
      const float h = target.y - dt * actor.VerticalSpeed;
      if (h > next.y)
        next.y = h;
      else
        actor.VerticalSpeed = 0;  // on the ground
    }
    if (blocked) {
      // Actors that touched at the start are let apart without a further actor test; the walls
      // are still swept, or the corrected move could carry the actor through one (into a corner).
      // A wall the actor is leaving lets it through unchanged.
      const TCollision wall = CollideWithCollidees(context, actor, next);
      if (!wall.Hit || wall.Corrected == next) {
        PlaceActor(context, actor, next);
        return;
      }
      heldUp = heldUp || (!actor.GravityFree && wall.Corrected.y > next.y);
      target = wall.Corrected;
      continue;
    }
    const TCollision collision = CollideActor(context, actor, next);
    if (!collision.Hit) {
      PlaceActor(context, actor, next);
      return;
    }
    blocked = collision.Blocked;
    heldUp = heldUp || (!actor.GravityFree && collision.Corrected.y > next.y);
    target = collision.Corrected;
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

bool Meet(const TGhostObject& a, const TGhostObject& b) {
  return a.State() != gsDone && b.State() != gsDone;
}

TCollision CollideActor(const TMovementContext& context, TGhostObject& actor,
                        const TVector& target) {
  TPlayerObject& player = context.Player;
  if (&actor != &player && Meet(actor, player)) {
    const TCollision collision = CollideWith(actor, target, player);
    if (collision.Hit) {
      actor.Touched(player);
      player.Touched(actor);
      if (context.OnTouch) context.OnTouch(actor, player);
      return collision;
    }
  }
  for (int i = 0; i < context.Ghosts.GhostCount(); ++i) {
    TGhostObject& ghost = context.Ghosts.GhostAt(i);
    if (&ghost == &actor || !Meet(actor, ghost)) continue;
    const TCollision collision = CollideWith(actor, target, ghost);
    if (collision.Hit) {
      ghost.Touched(actor);
      actor.Touched(ghost);
      if (context.OnTouch) context.OnTouch(actor, ghost);
      return collision;
    }
  }
  return CollideWithCollidees(context, actor, target);
}

namespace {

// The move to `target` as the step would correct it at its first collision, touching nobody.
TVector FirstCorrection(const TMovementContext& context, const TGhostObject& actor,
                        const TVector& target) {
  if (&actor != &context.Player && Meet(actor, context.Player)) {
    const TCollision collision = CollideWith(actor, target, context.Player);
    if (collision.Hit) return collision.Corrected;
  }
  for (int i = 0; i < context.Ghosts.GhostCount(); ++i) {
    const TGhostObject& ghost = context.Ghosts.GhostAt(i);
    if (&ghost == &actor || !Meet(actor, ghost)) continue;
    const TCollision collision = CollideWith(actor, target, ghost);
    if (collision.Hit) return collision.Corrected;
  }
  return CollideWithCollidees(context, actor, target).Corrected;
}

}  // namespace

bool IsBoxedIn(const TMovementContext& context, const TGhostObject& actor, float step) {
  constexpr int kWays = 8;
  const TVector at = actor.Position();
  for (int k = 0; k < kWays; ++k) {
    const float angle = 6.2831853f * static_cast<float>(k) / kWays;
    const TVector target{at.x + step * std::cos(angle), at.y, at.z + step * std::sin(angle)};
    if (GroundPoint(context, target, at) == at) continue;  // no ground that way
    TVector reached = target;  // corrected as the step would be, attempt by attempt
    for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
      const TVector corrected = FirstCorrection(context, actor, reached);
      if (corrected == reached) break;
      reached = corrected;
    }
    if (std::hypot(reached.x - at.x, reached.z - at.z) >= step / 2) return false;
  }
  return true;
}

TCollision CollideWithCollidees(const TMovementContext& context, const TMovableObject& actor,
                                const TVector& target) {
  TBox box;
  actor.GetBoundingBox(box);
  const T3dObjectList& collidees =
      context.Statics.QueryCollidees(BoxExtendedBy(box, VecSub(target, actor.Position())));
  for (int i = 0; i < collidees.Count(); ++i) {
    const auto& collidee = static_cast<const TCollideeObject&>(*collidees.Get(i));
    const TCollision collision = CollideWithCollidee(actor, target, collidee);
    if (collision.Hit) return collision;
  }
  return {false, false, target};
}

TCollision CollideWith(const TMovableObject& actor, const TVector& target, const T3dObject& other) {
  const TVector d = VecSub(target, actor.Position());
  if (d == TVector{}) return {false, false, target};
  return RespondToBounds(actor, target, d, other, SweepAgainst(actor, d, other));
}

TCollision CollideWithCollidee(const TMovableObject& actor, const TVector& target,
                               const TCollideeObject& collidee) {
  const TVector d = VecSub(target, actor.Position());
  if (d == TVector{}) return {false, false, target};
  const TSweepResult bounds = SweepBoundingBoxes(actor, d, collidee);
  if (collidee.IsLarge()) return RespondToBounds(actor, target, d, collidee, bounds);
  if (!bounds.Hit) return {false, false, target};
  const TCollideeSweep hit = collidee.SweepBox(actor, d);
  if (!hit.Hit) return {false, false, target};
  TCollision collision{true, false, VecAdd(actor.Position(), hit.Corrected)};
  if (hit.FirstTime < kTouchingTime) {
    collision.Blocked = true;
    // Only a move away from the triangle is let through: a long step into a thin wall leaves it
    // after a small fraction of the step, too, and would pass it.
    if (hit.LastTime < kLeavingTime && VecDot(d, hit.Normal) >= 0) collision.Corrected = target;
  }
  return collision;
}

void PlaceActor(const TMovementContext& context, TMovableObject& actor, const TVector& position) {
  actor.SetPosition(position);
  if (!MeetsCollidee(context, actor.TurnBox()) || TurnSteppingAside(context, actor, position) ||
      (actor.HoldTurn() && !MeetsCollidee(context, actor.NextBox()))) {
    actor.Commit();
    return;
  }
  actor.Revert();
}

}  // namespace qv
