#include "assets/DemoShapes.h"

#include <cmath>
#include <numbers>

namespace qv::assets {

namespace {

constexpr float kDegree = std::numbers::pi_v<float> / 180.0f;

TVector Turn(float x, float z, float yaw) {
  const float c = std::cos(yaw * kDegree), s = std::sin(yaw * kDegree);
  return {x * c + z * s, 0, -x * s + z * c};
}

TVector At(const TVector& base, float x, float y, float z, float yaw) {
  const TVector t = Turn(x, z, yaw);
  return {base.x + t.x, base.y + y, base.z + t.z};
}

// A triangle of existing vertices, its corner order reversed when needed so it faces `towards`.
void Facing(TMeshBuilder& b, std::uint16_t v0, std::uint16_t v1, std::uint16_t v2,
            const TVector& towards, const std::string& material, std::uint32_t smoothing) {
  const TVector n =
      VecCross(VecSub(b.Position(v1), b.Position(v0)), VecSub(b.Position(v2), b.Position(v0)));
  if (VecDot(n, towards) < 0)
    b.Triangle(v0, v2, v1, material, smoothing);
  else
    b.Triangle(v0, v1, v2, material, smoothing);
}

void FacingQuad(TMeshBuilder& b, std::uint16_t v0, std::uint16_t v1, std::uint16_t v2,
                std::uint16_t v3, const TVector& towards, const std::string& material,
                std::uint32_t smoothing) {
  Facing(b, v0, v1, v2, towards, material, smoothing);
  Facing(b, v0, v2, v3, towards, material, smoothing);
}

float Distance2d(const TVector& a, const TVector& b) { return std::hypot(b.x - a.x, b.z - a.z); }

}  // namespace

void AddQuadFacing(TMeshBuilder& b, const TVector (&p)[4], const TTexCoord (&uv)[4],
                   const TVector& towards, const std::string& material, std::uint32_t smoothing) {
  std::uint16_t v[4];
  for (int i = 0; i < 4; ++i) v[i] = b.Vertex(p[i], uv[i]);
  FacingQuad(b, v[0], v[1], v[2], v[3], towards, material, smoothing);
}

void AddBox(TMeshBuilder& b, const TVector& base, float halfX, float height, float halfZ, float yaw,
            const std::string& material, float uvScale, EBottom bottom) {
  // Sides in the order +x, -x, +z, -z, each with its two bottom corners (local x, z).
  const float sides[4][4] = {{halfX, halfZ, halfX, -halfZ},
                             {-halfX, -halfZ, -halfX, halfZ},
                             {-halfX, halfZ, halfX, halfZ},
                             {halfX, -halfZ, -halfX, -halfZ}};
  const float normals[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
  for (int s = 0; s < 4; ++s) {
    const TVector a = At(base, sides[s][0], 0, sides[s][1], yaw);
    const TVector c = At(base, sides[s][2], 0, sides[s][3], yaw);
    const float length = Distance2d(a, c) * uvScale, up = height * uvScale;
    const TVector p[4] = {a, c, {c.x, c.y + height, c.z}, {a.x, a.y + height, a.z}};
    const TTexCoord uv[4] = {{0, 0}, {length, 0}, {length, up}, {0, up}};
    AddQuadFacing(b, p, uv, Turn(normals[s][0], normals[s][1], yaw), material, 1u << s);
  }
  const float corners[4][2] = {{-halfX, -halfZ}, {halfX, -halfZ}, {halfX, halfZ}, {-halfX, halfZ}};
  for (int cap = 0; cap < 2; ++cap) {
    if (cap == 0 && bottom == EBottom::Open) continue;
    const float y = cap == 0 ? 0 : height;
    TVector p[4];
    TTexCoord uv[4];
    for (int i = 0; i < 4; ++i) {
      p[i] = At(base, corners[i][0], y, corners[i][1], yaw);
      uv[i] = {p[i].x * uvScale, p[i].z * uvScale};
    }
    AddQuadFacing(b, p, uv, {0, cap == 0 ? -1.0f : 1.0f, 0}, material, 1u << (4 + cap));
  }
}

void AddHeightfield(TMeshBuilder& b, float x0, float z0, float x1, float z1, int nx, int nz,
                    const std::function<float(float, float)>& height, const std::string& material,
                    float uvScale, const std::function<bool(int, int)>& skip) {
  const std::size_t first = b.VertexCount();
  auto index = [&](int i, int j) {
    return static_cast<std::uint16_t>(first + static_cast<std::size_t>(j) * (nx + 1) + i);
  };
  for (int j = 0; j <= nz; ++j)
    for (int i = 0; i <= nx; ++i) {
      const float x = x0 + (x1 - x0) * static_cast<float>(i) / static_cast<float>(nx);
      const float z = z0 + (z1 - z0) * static_cast<float>(j) / static_cast<float>(nz);
      b.Vertex({x, height(x, z), z}, {x * uvScale, z * uvScale});
    }
  for (int j = 0; j < nz; ++j)
    for (int i = 0; i < nx; ++i) {
      if (skip && skip(i, j)) continue;
      FacingQuad(b, index(i, j), index(i, j + 1), index(i + 1, j + 1), index(i + 1, j), {0, 1, 0},
                 material, 1);
    }
}

void AddCylinder(TMeshBuilder& b, const TVector& base, float radius, float height, int segments,
                 const std::string& sideMaterial, const std::string& capMaterial, float uvScale) {
  const float around = 2 * std::numbers::pi_v<float> * radius * uvScale;
  std::uint16_t ring[2][65];
  const int n = segments > 64 ? 64 : segments;
  for (int level = 0; level < 2; ++level)
    for (int s = 0; s <= n; ++s) {
      const float angle = 360.0f * static_cast<float>(s % n) / static_cast<float>(n);
      const TVector d = Turn(radius, 0, angle);
      ring[level][s] = b.Vertex(
          {base.x + d.x, base.y + level * height, base.z + d.z},
          {around * static_cast<float>(s) / static_cast<float>(n), level * height * uvScale});
    }
  for (int s = 0; s < n; ++s) {
    const TVector out = Turn(1, 0, 360.0f * (static_cast<float>(s) + 0.5f) / static_cast<float>(n));
    FacingQuad(b, ring[0][s], ring[0][s + 1], ring[1][s + 1], ring[1][s], out, sideMaterial, 1);
  }
  for (int level = 0; level < 2; ++level) {
    const float y = base.y + level * height;
    const std::uint16_t centre = b.Vertex({base.x, y, base.z}, {0.5f, 0.5f});
    const TVector towards{0, level == 0 ? -1.0f : 1.0f, 0};
    for (int s = 0; s < n; ++s)
      Facing(b, centre, ring[level][s], ring[level][s + 1 == n ? 0 : s + 1], towards, capMaterial,
             2);
  }
}

void AddCone(TMeshBuilder& b, const TVector& base, float radius, float height, int segments,
             const std::string& material, float uvScale) {
  const std::uint16_t apex = b.Vertex({base.x, base.y + height, base.z}, {0, height * uvScale});
  const std::uint16_t centre = b.Vertex(base, {0, 0});
  std::vector<std::uint16_t> ring;
  for (int s = 0; s < segments; ++s) {
    const TVector d =
        Turn(radius, 0, 360.0f * static_cast<float>(s) / static_cast<float>(segments));
    ring.push_back(b.Vertex({base.x + d.x, base.y, base.z + d.z},
                            {radius * uvScale * static_cast<float>(s), 0}));
  }
  for (int s = 0; s < segments; ++s) {
    const std::uint16_t next = ring[(s + 1) % segments];
    const TVector out =
        Turn(1, 0, 360.0f * (static_cast<float>(s) + 0.5f) / static_cast<float>(segments));
    Facing(b, ring[s], next, apex, {out.x, 0.5f, out.z}, material, 1);
    Facing(b, centre, ring[s], next, {0, -1, 0}, material, 2);
  }
}

void AddSphere(TMeshBuilder& b, const TVector& centre, float radius, int slices, int stacks,
               const std::string& material, const std::function<float(int, int)>& scale,
               float squash) {
  const std::size_t first = b.VertexCount();
  auto index = [&](int s, int t) {
    return static_cast<std::uint16_t>(first + static_cast<std::size_t>(t) * (slices + 1) + s);
  };
  for (int t = 0; t <= stacks; ++t) {
    const float lat = -90.0f + 180.0f * static_cast<float>(t) / static_cast<float>(stacks);
    for (int s = 0; s <= slices; ++s) {
      const float lon = 360.0f * static_cast<float>(s % slices) / static_cast<float>(slices);
      // Pole and seam vertices repeat, so the factor is asked for their canonical slice.
      const int canonical = (t == 0 || t == stacks) ? 0 : s % slices;
      const float k = scale ? scale(canonical, t) : 1.0f;
      const float r = radius * k * std::cos(lat * kDegree);
      const TVector d = Turn(r, 0, lon);
      b.Vertex({centre.x + d.x, centre.y + radius * k * squash * std::sin(lat * kDegree),
                centre.z + d.z},
               {static_cast<float>(s) / static_cast<float>(slices),
                static_cast<float>(t) / static_cast<float>(stacks)});
    }
  }
  for (int t = 0; t < stacks; ++t)
    for (int s = 0; s < slices; ++s) {
      const TVector mid = VecSub(
          VecScale(VecAdd(b.Position(index(s, t)), b.Position(index(s + 1, t + 1))), 0.5f), centre);
      // The rows at the poles collapse to one point: one triangle each instead of a quad.
      if (t == 0)
        Facing(b, index(s, t), index(s + 1, t + 1), index(s, t + 1), mid, material, 1);
      else if (t == stacks - 1)
        Facing(b, index(s, t), index(s + 1, t), index(s, t + 1), mid, material, 1);
      else
        FacingQuad(b, index(s, t), index(s + 1, t), index(s + 1, t + 1), index(s, t + 1), mid,
                   material, 1);
    }
}

void AddTube(TMeshBuilder& b, const TVector& base, float r0, float r1, float height, int segments,
             const std::string& material) {
  std::vector<std::uint16_t> ring[2];
  for (int level = 0; level < 2; ++level)
    for (int s = 0; s <= segments; ++s) {
      const float angle = 360.0f * static_cast<float>(s % segments) / static_cast<float>(segments);
      const TVector d = Turn(level == 0 ? r0 : r1, 0, angle);
      ring[level].push_back(b.Vertex(
          {base.x + d.x, base.y + level * height, base.z + d.z},
          {static_cast<float>(s) / static_cast<float>(segments), static_cast<float>(level)}));
    }
  for (int s = 0; s < segments; ++s) {
    const TVector out =
        Turn(1, 0, 360.0f * (static_cast<float>(s) + 0.5f) / static_cast<float>(segments));
    FacingQuad(b, ring[0][s], ring[0][s + 1], ring[1][s + 1], ring[1][s],
               {out.x, (r0 - r1) / height, out.z}, material, 1);
  }
}

void AddSkyDome(TMeshBuilder& b, float radius, float fromDegrees, int slices, int stacks,
                const std::string& material, float uvRepeat) {
  const std::size_t first = b.VertexCount();
  auto index = [&](int s, int t) {
    return static_cast<std::uint16_t>(first + static_cast<std::size_t>(t) * (slices + 1) + s);
  };
  for (int t = 0; t <= stacks; ++t) {
    const float part = static_cast<float>(t) / static_cast<float>(stacks);
    const float lat = fromDegrees + (90.0f - fromDegrees) * part;
    for (int s = 0; s <= slices; ++s) {
      const float lon = 360.0f * static_cast<float>(s % slices) / static_cast<float>(slices);
      const TVector d = Turn(radius * std::cos(lat * kDegree), 0, lon);
      b.Vertex({d.x, radius * std::sin(lat * kDegree), d.z},
               {uvRepeat * static_cast<float>(s) / static_cast<float>(slices), 0.5f * part});
    }
  }
  for (int t = 0; t < stacks; ++t)
    for (int s = 0; s < slices; ++s) {
      const TVector in =
          VecScale(VecAdd(b.Position(index(s, t)), b.Position(index(s + 1, t))), -0.5f);
      if (t == stacks - 1)
        Facing(b, index(s, t), index(s + 1, t), index(s, t + 1), in, material, 1);
      else
        FacingQuad(b, index(s, t), index(s + 1, t), index(s + 1, t + 1), index(s, t + 1), in,
                   material, 1);
    }
}

void AddStairs(TMeshBuilder& b, const TVector& start, float dirX, float dirZ, float width,
               int steps, float rise, float run, const std::string& material, float uvScale) {
  const TVector forward{dirX, 0, dirZ};
  const TVector side{-dirZ, 0, dirX};
  const float half = width / 2;
  auto point = [&](float along, float across, float y) {
    return TVector{start.x + forward.x * along + side.x * across, start.y + y,
                   start.z + forward.z * along + side.z * across};
  };
  for (int k = 0; k < steps; ++k) {
    const float a0 = run * static_cast<float>(k), a1 = a0 + run;
    const float top = rise * static_cast<float>(k + 1), below = rise * static_cast<float>(k);
    const float u0 = a0 * uvScale, u1 = a1 * uvScale, w = width * uvScale;
    const TVector tread[4] = {point(a0, -half, top), point(a0, half, top), point(a1, half, top),
                              point(a1, -half, top)};
    AddQuadFacing(b, tread, {{0, u0}, {w, u0}, {w, u1}, {0, u1}}, {0, 1, 0}, material, 1);
    const TVector riser[4] = {point(a0, -half, below), point(a0, half, below), point(a0, half, top),
                              point(a0, -half, top)};
    AddQuadFacing(
        b, riser,
        {{0, below * uvScale}, {w, below * uvScale}, {w, top * uvScale}, {0, top * uvScale}},
        VecScale(forward, -1), material, 2);
    for (float across : {-half, half}) {
      const TVector wall[4] = {point(a0, across, 0), point(a1, across, 0), point(a1, across, top),
                               point(a0, across, top)};
      AddQuadFacing(b, wall, {{u0, 0}, {u1, 0}, {u1, top * uvScale}, {u0, top * uvScale}},
                    VecScale(side, across), material, 4);
    }
  }
  const float end = run * static_cast<float>(steps), height = rise * static_cast<float>(steps);
  const TVector back[4] = {point(end, -half, 0), point(end, half, 0), point(end, half, height),
                           point(end, -half, height)};
  AddQuadFacing(
      b, back,
      {{0, 0}, {width * uvScale, 0}, {width * uvScale, height * uvScale}, {0, height * uvScale}},
      forward, material, 8);
}

void AddRamp(TMeshBuilder& b, const TVector& start, float dirX, float dirZ, float width,
             float length, float rise, const std::string& material, float uvScale) {
  const TVector forward{dirX, 0, dirZ};
  const TVector side{-dirZ, 0, dirX};
  const float half = width / 2;
  auto point = [&](float along, float across, float y) {
    return TVector{start.x + forward.x * along + side.x * across, start.y + y,
                   start.z + forward.z * along + side.z * across};
  };
  const float w = width * uvScale, l = std::hypot(length, rise) * uvScale;
  const TVector top[4] = {point(0, -half, 0), point(0, half, 0), point(length, half, rise),
                          point(length, -half, rise)};
  AddQuadFacing(b, top, {{0, 0}, {w, 0}, {w, l}, {0, l}}, {0, 1, 0}, material, 1);
  for (float across : {-half, half}) {
    const std::uint16_t a = b.Vertex(point(0, across, 0), {0, 0});
    const std::uint16_t c = b.Vertex(point(length, across, 0), {length * uvScale, 0});
    const std::uint16_t d =
        b.Vertex(point(length, across, rise), {length * uvScale, rise * uvScale});
    Facing(b, a, c, d, VecScale(side, across), material, 2);
  }
  const TVector back[4] = {point(length, -half, 0), point(length, half, 0),
                           point(length, half, rise), point(length, -half, rise)};
  AddQuadFacing(b, back, {{0, 0}, {w, 0}, {w, rise * uvScale}, {0, rise * uvScale}}, forward,
                material, 4);
}

void AddPitchedRoof(TMeshBuilder& b, const TVector& centre, float halfX, float halfZ, float wallTop,
                    float ridge, float overhang, float yaw, const std::string& roofMaterial,
                    const std::string& gableMaterial, float uvScale) {
  const float ex = halfX + overhang, ez = halfZ + overhang;
  // The slopes pass over the wall line exactly at the wall top, so the eave edge hangs lower.
  const float eave = wallTop - ridge * overhang / ez;
  const float peak = eave + ridge;
  const TVector base{centre.x, 0, centre.z};
  const float slope = std::hypot(ez, ridge) * uvScale;
  for (float sideZ : {-1.0f, 1.0f}) {
    const TVector p[4] = {At(base, -ex, eave, sideZ * ez, yaw), At(base, ex, eave, sideZ * ez, yaw),
                          At(base, ex, peak, 0, yaw), At(base, -ex, peak, 0, yaw)};
    const TVector out = Turn(0, sideZ * ridge, yaw);
    AddQuadFacing(b, p, {{0, 0}, {2 * ex * uvScale, 0}, {2 * ex * uvScale, slope}, {0, slope}},
                  {out.x, ez, out.z}, roofMaterial, sideZ < 0 ? 1 : 2);
  }
  // Gables close the roof space above the end walls.
  for (float sideX : {-1.0f, 1.0f}) {
    const std::uint16_t a = b.Vertex(At(base, sideX * halfX, wallTop, -halfZ, yaw), {0, 0});
    const std::uint16_t c =
        b.Vertex(At(base, sideX * halfX, wallTop, halfZ, yaw), {2 * halfZ * uvScale, 0});
    const std::uint16_t d = b.Vertex(At(base, sideX * halfX, peak, 0, yaw),
                                     {halfZ * uvScale, (peak - wallTop) * uvScale});
    Facing(b, a, c, d, Turn(sideX, 0, yaw), gableMaterial, 4);
  }
}

void AddPanel(TMeshBuilder& b, float x0, float z0, float x1, float z1, float bottom, float top,
              const std::string& material, float uvScale) {
  const float length = std::hypot(x1 - x0, z1 - z0) * uvScale;
  const TVector p[4] = {{x0, bottom, z0}, {x1, bottom, z1}, {x1, top, z1}, {x0, top, z0}};
  AddQuadFacing(
      b, p,
      {{0, 0}, {length, 0}, {length, (top - bottom) * uvScale}, {0, (top - bottom) * uvScale}},
      {z1 - z0, 0, x0 - x1}, material, 1);
}

}  // namespace qv::assets
