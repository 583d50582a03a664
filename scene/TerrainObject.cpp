#include "scene/TerrainObject.h"

#include <cmath>
#include <new>
#include <stdexcept>
#include <string>

#include "platform/EGL.h"

namespace qv {

double& TerrainMemory() {
  static double kilobytes = 0;
  return kilobytes;
}

namespace {

// Signed doubled area of the triangle in x-z; 0 for a triangle standing on edge.
float AreaXZ(const TVector& a, const TVector& b, const TVector& c) {
  return (b.x - a.x) * (c.z - a.z) - (c.x - a.x) * (b.z - a.z);
}

// A triangle's x-z footprint with its doubled area worked out once: the grid asks it about every
// node under the triangle's box. The barycentric weights are computed in the same order of
// operations everywhere, so a node on an edge counts the same in the grid as in a query.
struct TFootprintXZ {
  TVector a, b, c;
  float d;  // AreaXZ(a, b, c), not 0

  float W1(float px, float pz) const {
    return ((b.x - px) * (c.z - pz) - (c.x - px) * (b.z - pz)) / d;
  }
  float W2(float px, float pz) const {
    return ((c.x - px) * (a.z - pz) - (a.x - px) * (c.z - pz)) / d;
  }
  float W3(float px, float pz) const {
    return ((a.x - px) * (b.z - pz) - (b.x - px) * (a.z - pz)) / d;
  }
  // Each weight is checked as soon as it is known: most nodes in a triangle's box fail the first.
  bool Covers(float px, float pz) const {
    const auto unit = [](float w) { return w >= 0 && w <= 1; };
    return unit(W1(px, pz)) && unit(W2(px, pz)) && unit(W3(px, pz));
  }
};

// Barycentric weights of p in x-z; false for a zero-area triangle.
bool WeightsXZ(const TVector& a, const TVector& b, const TVector& c, const TVector& p, float& w1,
               float& w2, float& w3) {
  const float d = AreaXZ(a, b, c);
  if (d == 0) return false;
  const TFootprintXZ t{a, b, c, d};
  w1 = t.W1(p.x, p.z);
  w2 = t.W2(p.x, p.z);
  w3 = t.W3(p.x, p.z);
  return true;
}

// The plane through a triangle, as heights over x-z; 0 everywhere for a standing triangle.
struct TPlaneY {
  TVector n;    // unit normal
  float nDotA;  // the normal times a corner

  float HeightAt(float x, float z) const {
    if (n.y == 0) return 0;
    return (nDotA - x * n.x - z * n.z) / n.y;
  }
};

TPlaneY PlaneOf(const TVector& a, const TVector& b, const TVector& c) {
  const TVector n = VecNormalize(VecCross(VecSub(b, a), VecSub(c, a)));
  return {n, VecDot(a, n)};
}

// One face as the grid sees it. Entering it in a row is the loop that runs for every node under
// the face's box; the fuzz build leaves it untraced, so it stays a function of its own (inlined,
// it would be traced as part of its caller).
struct TFaceOnGrid {
  TFootprintXZ footprint;
  TPlaneY plane;
  TTerrainObject::TNode id;

  // planes: every face's plane by group, for the faces already in the row.
  [[gnu::noinline]] void EnterInRow(TTerrainObject::TNode* row, float x, int j0, int j1,
                                    const float* nodeZ,
                                    const std::vector<std::vector<TPlaneY>>& planes) const {
    for (int j = j0; j <= j1; ++j) {
      const float z = nodeZ[j];
      if (!footprint.Covers(x, z)) continue;
      TTerrainObject::TNode& entry = row[j];
      // Strictly higher wins: among equal heights the earlier triangle keeps the node.
      if (entry.group < 0 || plane.HeightAt(x, z) > planes[entry.group][entry.face].HeightAt(x, z))
        entry = id;
    }
  }
};

// Nearest integer, halves to the even neighbour (the FPU's default rounding).
int Nearest(float v) { return static_cast<int>(std::lrint(v)); }

// Beyond this many nodes a grid is refused before allocating: the density cut keeps ordinary
// terrains near 1,048,576 nodes, but a mesh thinner than one node on one axis escapes that cut
// (its rounded-up row still costs a node per step along the other axis).
constexpr int64_t kMaxGridNodes = 4 * 1048576;

constexpr TTerrainObject::TNode kEmptyNode{-1, -1};

}  // namespace

bool PointInTriangleXZ(const TVector& a, const TVector& b, const TVector& c, const TVector& p) {
  const float d = AreaXZ(a, b, c);
  return d != 0 && TFootprintXZ{a, b, c, d}.Covers(p.x, p.z);
}

float TriangleClosenessXZ(const TVector& a, const TVector& b, const TVector& c, const TVector& p) {
  float w1, w2, w3;
  if (!WeightsXZ(a, b, c, p, w1, w2, w3)) return 1e16f;
  return std::fabs(w1 - 0.5f) + std::fabs(w2 - 0.5f) + std::fabs(w3 - 0.5f);
}

float PlaneHeight(const TVector& a, const TVector& b, const TVector& c, float x, float z) {
  return PlaneOf(a, b, c).HeightAt(x, z);
}

TTerrainGridSize TerrainGridSize(float width, float depth, int vertexCount) {
  const float wanted = (vertexCount / 3.0 * 20) / std::sqrt(double(width) * depth);
  float density = std::max(0.4f, std::min(5.0f, wanted));
  if ((double(width) * density) * (double(depth) * density) > 1048576.0)
    density = static_cast<float>(std::sqrt(1048576.0 / (double(width) * depth)));
  // Rounded in 64 bits: a very thin, very long mesh escapes the cut above and may ask for more
  // nodes along its length than an int holds; the caller refuses such a grid.
  auto nodes = [density](float extent) {
    const float steps = std::min(extent * density, 1e15f);
    return static_cast<int64_t>(std::llrint(steps)) + 1;
  };
  return {nodes(width), nodes(depth)};
}

TTerrainObject::TTerrainObject(const TMaterialLookup& materials, int releaseLevel,
                               const TMesh3DS& mesh)
    : TSimple3dObject(materials, releaseLevel, mesh) {
  BuildGrid();
}

TTerrainObject::~TTerrainObject() = default;

const TMeshClass& TTerrainObject::Class() {
  static const TMeshClass terrainClass = MakeClassRef<TTerrainObject, TMeshClass>("TTerrainObject");
  return terrainClass;
}

// What rasterising every face shares, worked out once per grid: the nodes' coordinates (each face
// would otherwise divide again for every node under it) and every face's plane (each overlap
// would otherwise rebuild the plane of the face already there).
struct TTerrainObject::TGridSetup {
  std::vector<float> nodeX, nodeZ;
  std::vector<std::vector<TPlaneY>> planes;  // by face group, then face
};

TTerrainObject::TGridSetup TTerrainObject::MakeGridSetup() const {
  TGridSetup setup;
  setup.nodeX.resize(static_cast<size_t>(nx_));
  for (int i = 0; i < nx_; ++i) setup.nodeX[i] = NodePosition(i, 0).x;
  setup.nodeZ.resize(static_cast<size_t>(nz_));
  for (int j = 0; j < nz_; ++j) setup.nodeZ[j] = NodePosition(0, j).z;
  setup.planes.resize(static_cast<size_t>(FaceGroupCount()));
  for (int g = 0; g < FaceGroupCount(); ++g)
    for (int f = 0; f < GroupFaceCount(g); ++f) {
      const auto [a, b, c] = TriangleAt(g, f);
      setup.planes[g].push_back(PlaneOf(a, b, c));
    }
  return setup;
}

void TTerrainObject::BuildGrid() {
  GetBoundingBox(box_);
  terrainWidth_ = box_.maxX - box_.minX;
  terrainDepth_ = box_.maxZ - box_.minZ;
  // Also catches meshes of under three vertices, whose box is all zero, and NaN or infinite
  // coordinates from a damaged file: the density below would divide by zero or by infinity.
  if (!(std::isfinite(terrainWidth_) && terrainWidth_ > 0 && std::isfinite(terrainDepth_) &&
        terrainDepth_ > 0)) {
    throw std::invalid_argument(
        "terrain mesh \"" + Name + "\" has no extent in x or z (width " +
        std::to_string(terrainWidth_) + ", depth " + std::to_string(terrainDepth_) + ", " +
        std::to_string(VertexCount()) + " vertices) and cannot carry actors");
  }
  const TTerrainGridSize size = TerrainGridSize(terrainWidth_, terrainDepth_, VertexCount());
  if (double(size.nx) * double(size.nz) > double(kMaxGridNodes)) {
    throw std::invalid_argument("terrain mesh \"" + Name + "\" would need a grid of " +
                                std::to_string(size.nx) + " x " + std::to_string(size.nz) +
                                " nodes; it is too thin for its length");
  }
  nx_ = static_cast<int>(size.nx);
  nz_ = static_cast<int>(size.nz);
  try {
    grid_.assign(size_t(nx_) * size_t(nz_), kEmptyNode);
  } catch (const std::bad_alloc&) {
    throw EGL("not enought memory");
  } catch (const std::length_error&) {
    throw EGL("not enought memory");
  }
  nodesPerUnitX_ = (nx_ - 1) / terrainWidth_;
  nodesPerUnitZ_ = (nz_ - 1) / terrainDepth_;
  TerrainMemory() += double(nx_) * nz_ * 8 / 1024;
  const TGridSetup setup = MakeGridSetup();
  for (int g = 0; g < FaceGroupCount(); ++g)
    for (int f = 0; f < GroupFaceCount(g); ++f) RasteriseFace(g, f, setup);
}

TVector TTerrainObject::NodePosition(int i, int j) const {
  // A grid of one node on an axis has no spacing on it (0 nodes per unit); its node lies on the
  // box minimum rather than at 0/0.
  const float x = nodesPerUnitX_ == 0 ? box_.minX : box_.minX + i / nodesPerUnitX_;
  const float z = nodesPerUnitZ_ == 0 ? box_.minZ : box_.minZ + j / nodesPerUnitZ_;
  return {x, 0, z};
}

TTerrainObject::TNodeIndex TTerrainObject::NodeOf(float x, float z) const {
  return {Nearest((x - box_.minX) * nodesPerUnitX_), Nearest((z - box_.minZ) * nodesPerUnitZ_)};
}

TVector TTerrainObject::ClampInside(float x, float z) const {
  if (x < box_.minX + 0.01f)
    x = box_.minX + 0.01f;
  else if (x > box_.maxX - 0.01f)
    x = box_.maxX - 0.01f;
  if (z < box_.minZ + 0.01f)
    z = box_.minZ + 0.01f;
  else if (z > box_.maxZ - 0.01f)
    z = box_.maxZ - 0.01f;
  return {x, 0, z};
}

void TTerrainObject::RasteriseFace(int group, int face, const TGridSetup& setup) {
  const auto [a, b, c] = TriangleAt(group, face);
  // Standing triangles cover no node; skipping them early also keeps NaN corners out of NodeOf.
  const float area = AreaXZ(a, b, c);
  if (!std::isfinite(area) || area == 0) return;
  const TFaceOnGrid onGrid{{a, b, c, area}, setup.planes[group][face], {group, face}};
  const TNodeIndex low = NodeOf(std::min({a.x, b.x, c.x}), std::min({a.z, b.z, c.z}));
  const TNodeIndex high = NodeOf(std::max({a.x, b.x, c.x}), std::max({a.z, b.z, c.z}));
  // The corners lie in the box, so this clamp only guards against rounding at its edges.
  const int i0 = std::max(low.i, 0), i1 = std::min(high.i, nx_ - 1);
  const int j0 = std::max(low.j, 0), j1 = std::min(high.j, nz_ - 1);
  for (int i = i0; i <= i1; ++i)
    onGrid.EnterInRow(&grid_[Index(i, 0)], setup.nodeX[i], j0, j1, setup.nodeZ.data(),
                      setup.planes);
}

TVector TTerrainObject::SurfacePoint(float x, float z, float x2, float z2) const {
  const TBox& box = box_;
  if (!(box.minX < x && x < box.maxX && box.minZ < z && z < box.maxZ)) return TerrainFailure();
  const TVector p = ClampInside(x, z);

  // Stage 1: the four nodes around the clamped query.
  const float fx = (p.x - box.minX) * nodesPerUnitX_;
  const float fz = (p.z - box.minZ) * nodesPerUnitZ_;
  const int lx = int(std::floor(fx)), hx = int(std::ceil(fx));
  const int lz = int(std::floor(fz)), hz = int(std::ceil(fz));
  const TNodeIndex around[4] = {{lx, lz}, {lx, hz}, {hx, hz}, {hx, lz}};
  float best = 1e16f;
  const TNode* chosen = nullptr;
  TTriangle t;
  for (const TNodeIndex& at : around) {
    if (!IsValidNode(at.i, at.j)) continue;  // rounding at the far edge; never for inner points
    const TNode& node = grid_[Index(at.i, at.j)];
    if (node.group < 0) continue;
    t = At(node);
    const float m = TriangleClosenessXZ(t.a, t.b, t.c, p);
    if (m < 1.501f) return {p.x, PlaneHeight(t.a, t.b, t.c, p.x, p.z), p.z};
    if (m < best) {
      best = m;
      chosen = &node;
    }
  }
  if (chosen) {
    t = At(*chosen);
    return {p.x, PlaneHeight(t.a, t.b, t.c, p.x, p.z), p.z};
  }

  // Stage 2: every node around the query is empty (a hole); look near the fallback position for
  // the triangle closest to the query and answer at that triangle's node.
  if (!(box.minX + 0.01f < x2 && x2 < box.maxX - 0.01f && box.minZ + 0.01f < z2 &&
        z2 < box.maxZ - 0.01f))
    return TerrainFailure();
  const float gx = (x2 - box.minX) * nodesPerUnitX_;
  const float gz = (z2 - box.minZ) * nodesPerUnitZ_;
  const int gi0 = int(std::floor(gx)) - 1, gi1 = int(std::ceil(gx)) + 1;
  const int gj0 = int(std::floor(gz)) - 1, gj1 = int(std::ceil(gz)) + 1;
  best = 1e16f;
  TNodeIndex chosenAt{-1, -1};
  for (int i = gi0; i <= gi1; ++i) {
    for (int j = gj0; j <= gj1; ++j) {
      if (!IsValidNode(i, j)) continue;
      const TNode& node = grid_[Index(i, j)];
      if (node.group < 0) continue;
      t = At(node);
      const float m = TriangleClosenessXZ(t.a, t.b, t.c, p);
      if (m < best) {
        best = m;
        chosenAt = {i, j};
      }
    }
  }
  if (chosenAt.i < 0) return TerrainFailure();
  t = At(grid_[Index(chosenAt.i, chosenAt.j)]);
  const TVector n = NodePosition(chosenAt.i, chosenAt.j);
  return {n.x, PlaneHeight(t.a, t.b, t.c, n.x, n.z), n.z};
}

}  // namespace qv
