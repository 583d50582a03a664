#pragma once
// A mesh record made from triangles given in world axes (y up). The record holds file axes (z up):
// world (x, y, z) is file (x, -z, y), the reverse of what building a mesh does. Every corner is a
// vertex of its own and there is no smoothing data.
//   qv::test::TWorldMesh b("terGround");  b.Rect(0, 0, 10, 10, 2);
//   TTerrainObject ground(TMaterialLookup{}, rlRelease3, b.mesh);

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "scene/Geometry.h"
#include "scene/Mesh3DS.h"
#include "scene/Simple3dObject.h"

namespace qv::test {

struct TWorldMesh {
  TMesh3DS mesh;

  explicit TWorldMesh(std::string name) { mesh.name = std::move(name); }
  std::uint16_t Vertex(TVector w) {
    mesh.vertices.push_back({w.x, -w.z, w.y});
    return static_cast<std::uint16_t>(mesh.vertices.size() - 1);
  }
  // The face's index.
  int Triangle(TVector a, TVector b, TVector c) {
    const std::uint16_t ia = Vertex(a), ib = Vertex(b), ic = Vertex(c);
    mesh.faces.push_back({ia, ib, ic, 0});
    return static_cast<int>(mesh.faces.size() - 1);
  }
  // A horizontal rectangle at height y as two triangles.
  void Rect(float x0, float z0, float x1, float z1, float y) {
    Triangle({x0, y, z0}, {x1, y, z0}, {x1, y, z1});
    Triangle({x0, y, z0}, {x1, y, z1}, {x0, y, z1});
  }
  // An axis box from lo to hi as 12 triangles (two per side).
  void Box(TVector lo, TVector hi) {
    const auto quad = [&](TVector a, TVector b, TVector c, TVector d) {
      Triangle(a, b, c);
      Triangle(a, c, d);
    };
    quad({lo.x, lo.y, lo.z}, {hi.x, lo.y, lo.z}, {hi.x, hi.y, lo.z}, {lo.x, hi.y, lo.z});
    quad({lo.x, lo.y, hi.z}, {hi.x, lo.y, hi.z}, {hi.x, hi.y, hi.z}, {lo.x, hi.y, hi.z});
    quad({lo.x, lo.y, lo.z}, {lo.x, hi.y, lo.z}, {lo.x, hi.y, hi.z}, {lo.x, lo.y, hi.z});
    quad({hi.x, lo.y, lo.z}, {hi.x, hi.y, lo.z}, {hi.x, hi.y, hi.z}, {hi.x, lo.y, hi.z});
    quad({lo.x, lo.y, lo.z}, {hi.x, lo.y, lo.z}, {hi.x, lo.y, hi.z}, {lo.x, lo.y, hi.z});
    quad({lo.x, hi.y, lo.z}, {hi.x, hi.y, lo.z}, {hi.x, hi.y, hi.z}, {lo.x, hi.y, hi.z});
  }
  // Puts the listed faces in one material group (and so in one face group, in call order).
  void Group(std::vector<std::uint16_t> faces, std::string material = "m") {
    mesh.matGroups.push_back({std::move(material), std::move(faces)});
  }
  // The mesh as an object of class T (no materials, release 3 winding).
  template <class T>
  std::unique_ptr<T> Build() const {
    return std::make_unique<T>(TMaterialLookup{}, rlRelease3, mesh);
  }
};

}  // namespace qv::test
