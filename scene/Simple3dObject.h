#pragma once
// Mesh objects: a triangle mesh built once from one mesh record of a .3ds file, drawn from client
// vertex arrays (one glDrawElements per face group) or from a display list once compiled.
//
// Building turns the file's z-up vertices (x, y, z) into world vertices (x, z, -y), computes
// area-weighted per-vertex normals and duplicates a vertex only where the faces that use it
// disagree about smoothing: faces share a vertex when their lowest smoothing-group bit is the same,
// and faces without a group (or meshes without smoothing data) are flat. Corners are kept as 32-bit
// indices throughout, so a mesh that splits past 65,536 vertices stays correct.
//
// Ownership: the mesh owns its arrays, face groups, display list and (for a reflective mesh) its
// cube texture; materials belong to the model adapter and outlive the mesh. The list and the cube
// texture are freed with the mesh while the context they were made in is current, and forgotten
// when it is gone (scene/GLNames.h); a compiled mesh whose list belongs to a context that is gone
// draws from its arrays until it is compiled again.
//
// Refused input (std::invalid_argument, naming the mesh): a face corner beyond the vertex list, a
// material assignment naming a face beyond the face list. A mesh of fewer than three vertices is
// not an error: it builds to an empty object that never draws.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "scene/3dObject.h"
#include "scene/FaceGroup.h"
#include "scene/GLNames.h"
#include "scene/Geometry.h"

namespace qv {

class TCubeTexture;
class TMaterial;
struct TMesh3DS;

// The material of a given name, compared without regard to letter case; null when there is none.
using TMaterialLookup = std::function<TMaterial*(const std::string& name)>;

// Draws the scene for one cube-map face, culled against that face's frustum.
using TCubeMapRenderer = std::function<void(const TFrustum& frustum)>;

// Release level of a model file: 0, 1 or 2 for 3DS release 1, 2 or 3. Release 3 files wind their
// faces the other way round, so the level picks the order of the face-normal cross product.
enum TReleaseLevel : int { rlRelease1 = 0, rlRelease2 = 1, rlRelease3 = 2 };

class TSimple3dObject;
// What the adapter picks a mesh class by: a name and the constructor (material lookup, release
// level, mesh record).
using TMeshClass = TClassRef<TSimple3dObject, const TMaterialLookup&, int, const TMesh3DS&>;

class TSimple3dObject : public T3dObject {
 public:
  // The record is only read; everything kept is copied. `releaseLevel` is 0..2 (values above 2
  // wind as release 3).
  TSimple3dObject(const TMaterialLookup& materials, int releaseLevel, const TMesh3DS& mesh);
  ~TSimple3dObject() override;

  static const TMeshClass& Class();

  // T3dObject slots.
  void GetName(std::string& name) const override;
  void CalcBoundingBox() override;
  void CalcBoundingSphere() override;
  void CalcTransparent() override;
  void Compile() override;  // never for a reflective mesh
  void Uncompile() override;
  void Draw() override;
  // Both change the materials and compile at the next Draw: they run on alarms, where no GL call
  // belongs (the rule in 3dObject.h).
  void Highlight() override;
  void Unhighlight() override;

  int FaceGroupCount() const { return static_cast<int>(FaceGroups.size()); }
  // std::out_of_range for an index outside the groups.
  const TFaceGroup& GetFaceGroup(int group) const;
  // The three vertex indices of one triangle; std::out_of_range for a group or face outside.
  std::array<std::uint32_t, 3> GetFace(int group, int face) const;
  int GroupFaceCount(int group) const;
  // Corners of one triangle, world coordinates, read without range checks: for the terrain and
  // collision loops that walk only faces that exist, in every frame.
  TTriangle TriangleAt(int group, int face) const {
    const TIndexArray& indices = FaceGroups[group]->Indices;
    const size_t first = size_t(face) * 3;
    return {Vertices[indices[first]], Vertices[indices[first + 1]], Vertices[indices[first + 2]]};
  }

  int VertexCount() const { return static_cast<int>(Vertices.size()); }
  // std::out_of_range for an index outside the vertices.
  TVector GetVertex(int index) const;
  const std::vector<TVector>& GetVertices() const { return Vertices; }
  const std::vector<TVector>& GetNormals() const { return Normals; }

  bool HasTexCoordsPerVertex() const {
    return !TexCoords.empty() && TexCoords.size() == Vertices.size();
  }
  // std::out_of_range for an index outside the texture coordinates.
  TTexCoord GetTexCoord(int index) const;
  void SetTexCoord(int index, const TTexCoord& texCoord);

  // Hands the vertex, normal and texture-coordinate arrays to OpenGL's client state.
  void SetUpArrays() const;

  bool HasCubeTexture() const { return CubeTexture != nullptr; }
  TCubeTexture* GetCubeTexture() const { return CubeTexture.get(); }
  // Gives the cube texture its scene renderer and creates its faces; needs a current context.
  void SetCubeMapRenderer(const TCubeMapRenderer& renderer);
  // Renders one face of the reflection, without this object in it.
  void UpdateCubeMap();

  std::uint32_t GetDisplayList() const { return DisplayList.Name(); }

  std::string Name;  // the mesh name from the file
  bool Visible =
      false;  // false skips all drawing: hidden in the file, or rendering its own reflection

 protected:
  void DrawReflection(const TFaceGroup& group) const;

  std::unique_ptr<TCubeTexture> CubeTexture;  // reflection map, only with a cube-map material
  TDisplayList DisplayList;                   // valid while Compiled, in the context it was made in
  std::vector<std::unique_ptr<TFaceGroup>> FaceGroups;  // in the order of the material assignments
  std::vector<TVector> Vertices;                        // world coordinates, split copies included
  std::vector<TVector> Normals;      // unit length per vertex; zero for a vertex no face uses
  std::vector<TTexCoord> TexCoords;  // empty, or one per vertex

 private:
  // The constructor's steps, in order after the vertices are taken.
  void BuildNormals(const TMesh3DS& mesh, int releaseLevel, std::vector<std::uint32_t>& corners);
  void BuildFaceGroups(const TMaterialLookup& materials, const TMesh3DS& mesh,
                       std::vector<std::uint32_t>& corners);
  void MakeCubeTextureIfReflective();

  bool compileAtDraw_ = false;  // a highlight changed the materials the list recorded
};

}  // namespace qv
