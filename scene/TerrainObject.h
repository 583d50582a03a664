#pragma once
// Terrain: a mesh that actors walk on. Besides being an ordinary mesh (drawn, compiled and stored
// like any other) it keeps a regular grid over its x-z extent whose every node names the uppermost
// triangle lying over that node, so a ground query is at most four node look-ups plus one plane
// evaluation (sixteen look-ups in the fallback for a query over a hole).
//
// Contract: the grid is built once in the constructor and only read afterwards; the terrain never
// moves. It costs 8 bytes per node, capped near 1,048,576 nodes per object; every construction adds
// its grid size to the process-wide TerrainMemory() counter. A mesh whose box has zero (or no
// finite) width or depth - which includes every mesh of fewer than three vertices - cannot be
// gridded and is refused with std::invalid_argument naming the mesh, like any other unusable mesh
// record (the model adapter turns it into an EGL naming the file). Queries never raise: no surface
// gives TerrainFailure().

#include <cstdint>
#include <vector>

#include "scene/Geometry.h"
#include "scene/Simple3dObject.h"

namespace qv {

// Process-wide kilobytes of terrain grids built since the world last set it to 0.
double& TerrainMemory();

// The point a terrain query answers when it finds no surface.
constexpr TVector TerrainFailure() { return {-1e16f, -1e16f, -1e16f}; }

// Plane geometry on the x and z of three corners and a point (y is ignored). Points on an edge or a
// corner are inside; a triangle of no area in x-z (a vertical wall) contains nothing.
bool PointInTriangleXZ(const TVector& a, const TVector& b, const TVector& c, const TVector& p);
// 0.5 at the centre, 1.5 at a corner, more the further outside; 1e16 for a zero-area triangle.
float TriangleClosenessXZ(const TVector& a, const TVector& b, const TVector& c, const TVector& p);
// The y of the triangle's plane above (x, z); 0 for a vertical triangle.
float PlaneHeight(const TVector& a, const TVector& b, const TVector& c, float x, float z);

// Grid size for a terrain of the given x-z extent and vertex count: nodes per unit length from the
// vertex density, held between 0.4 and 5.0 and cut so the grid stays near 1,048,576 nodes.
struct TTerrainGridSize {
  int64_t nx;  // nodes along x, including both box edges
  int64_t nz;  // nodes along z
};
TTerrainGridSize TerrainGridSize(float width, float depth, int vertexCount);

class TTerrainObject : public TSimple3dObject {
 public:
  // Builds the mesh, then the grid. Raises std::invalid_argument for a mesh that cannot be gridded
  // (no extent, or too thin for its length), and EGL "not enought memory" when the grid cannot be
  // allocated.
  TTerrainObject(const TMaterialLookup& materials, int releaseLevel, const TMesh3DS& mesh);
  ~TTerrainObject() override;

  // The class the adapter picks for a mesh whose name begins with "ter".
  static const TMeshClass& Class();

  // The surface point for the query position (x, z): straight below it when a triangle covers the
  // clamped query, else - over a hole - the best triangle near the fallback position (x2, z2),
  // answered at that triangle's grid node (so x and z then differ from the query's). Outside the
  // box, or with nothing found, TerrainFailure().
  TVector SurfacePoint(float x, float z, float x2, float z2) const;

  float TerrainWidth() const { return terrainWidth_; }
  float TerrainDepth() const { return terrainDepth_; }
  float NodesPerUnitX() const { return nodesPerUnitX_; }
  float NodesPerUnitZ() const { return nodesPerUnitZ_; }
  int NodeCountX() const { return nx_; }
  int NodeCountZ() const { return nz_; }

  // One grid entry: the face group and the face within it; (-1, -1) is an empty node.
  struct TNode {
    int32_t group;  // face group index, -1 for none
    int32_t face;   // face index within the group
  };
  TNode GetNode(int i, int j) const { return grid_[Index(i, j)]; }
  // World x and z of node (i, j); y is 0.
  TVector NodePosition(int i, int j) const;

 private:
  struct TNodeIndex {
    int i, j;
  };
  void BuildGrid();
  struct TGridSetup;  // what rasterising every face shares
  TGridSetup MakeGridSetup() const;
  // Enters the face in every node it covers.
  void RasteriseFace(int group, int face, const TGridSetup& setup);
  TNodeIndex NodeOf(float x, float z) const;
  TVector ClampInside(float x, float z) const;
  bool IsValidNode(int i, int j) const { return i >= 0 && j >= 0 && i < nx_ && j < nz_; }
  size_t Index(int i, int j) const { return size_t(i) * size_t(nz_) + size_t(j); }
  TTriangle At(const TNode& node) const { return TriangleAt(node.group, node.face); }

  float terrainWidth_ = 0;   // box maxX - minX at construction, world units
  float terrainDepth_ = 0;   // box maxZ - minZ at construction
  float nodesPerUnitX_ = 0;  // (nx - 1) / width
  float nodesPerUnitZ_ = 0;  // (nz - 1) / depth
  int nx_ = 0;               // nodes along x (grid rows, index i)
  int nz_ = 0;               // nodes along z (entries per row, index j)
  std::vector<TNode> grid_;  // nx rows of nz entries
  TBox box_;                 // bounding box the grid was laid over
};

}  // namespace qv
