#include "scene/Simple3dObject.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include <stdexcept>

#include "platform/Window.h"
#include "scene/CubeTexture.h"
#include "scene/Material.h"
#include "scene/Mesh3DS.h"

namespace qv {

namespace {

constexpr int kCubeMapSize = 256;  // texels per side of a reflection map

int LowestBit(std::uint32_t mask) {
  int bit = 0;
  while (!(mask & 1u)) {
    mask >>= 1;
    ++bit;
  }
  return bit;
}

// Per vertex, which vertex stands for it in each smoothing group (a row of 32 entries, -1 for
// none). Only a handful of groups ever meet at one vertex, so a row is a short chain of set
// entries instead of 32 integers per vertex.
class TSmoothingTable {
 public:
  void AddRow() { Heads.push_back(-1); }
  void ClearRow(std::uint32_t vertex) { Heads[vertex] = -1; }
  std::int64_t Get(std::uint32_t vertex, int group) const {
    for (std::int32_t e = Heads[vertex]; e >= 0; e = Entries[e].Next)
      if (Entries[e].Group == group) return Entries[e].Vertex;
    return -1;
  }
  void Set(std::uint32_t vertex, int group, std::uint32_t value) {
    for (std::int32_t e = Heads[vertex]; e >= 0; e = Entries[e].Next)
      if (Entries[e].Group == group) {
        Entries[e].Vertex = value;
        return;
      }
    Entries.push_back({group, value, Heads[vertex]});
    Heads[vertex] = static_cast<std::int32_t>(Entries.size() - 1);
  }

 private:
  struct TEntry {
    int Group;             // smoothing-group bit, 0..31
    std::uint32_t Vertex;  // the vertex standing for the row's vertex in that group
    std::int32_t Next;     // next entry of the same row, -1 at the end
  };
  std::vector<std::int32_t> Heads;  // first entry of each row, -1 for an empty row
  std::vector<TEntry> Entries;
};

// The file's z axis (up) becomes y. Every vertex index handed to OpenGL must have a texture
// coordinate when there are any: a short list is padded with zeros, extra entries are dropped.
void TakeVertices(const TMesh3DS& mesh, std::vector<TVector>& vertices,
                  std::vector<TTexCoord>& texCoords) {
  vertices.reserve(mesh.vertices.size());
  for (const auto& p : mesh.vertices) vertices.push_back({p.x, p.z, -p.y});
  if (mesh.texVerts.empty()) return;
  texCoords.assign(mesh.vertices.size(), TTexCoord{});
  const std::size_t n = std::min(mesh.vertices.size(), mesh.texVerts.size());
  for (std::size_t i = 0; i < n; ++i) texCoords[i] = {mesh.texVerts[i].u, mesh.texVerts[i].v};
}

// The faces' corners in 32-bit working storage (splitting may pass 65,536 vertices), each checked
// against the vertex list.
std::vector<std::uint32_t> CheckedCorners(const TMesh3DS& mesh, const std::string& name) {
  const std::size_t vertexCount = mesh.vertices.size();
  std::vector<std::uint32_t> corners(mesh.faces.size() * 3);
  for (std::size_t f = 0; f < mesh.faces.size(); ++f) {
    const std::uint32_t abc[3] = {mesh.faces[f].a, mesh.faces[f].b, mesh.faces[f].c};
    for (int k = 0; k < 3; ++k) {
      if (abc[k] >= vertexCount)
        throw std::invalid_argument("mesh \"" + name + "\": face " + std::to_string(f) +
                                    " uses vertex " + std::to_string(abc[k]) + " of " +
                                    std::to_string(vertexCount));
      corners[f * 3 + k] = abc[k];
    }
  }
  return corners;
}

// Sums area-weighted face normals into the vertices, giving a corner a copy of its vertex where
// the faces meeting there disagree about smoothing. Copies extend the mesh's own arrays.
class TNormalBuilder {
 public:
  TNormalBuilder(std::vector<TVector>& vertices, std::vector<TVector>& normals,
                 std::vector<TTexCoord>& texCoords)
      : vertices_(vertices), normals_(normals), texCoords_(texCoords) {
    normals_.assign(vertices_.size(), TVector{});
    used_.assign(vertices_.size(), false);
    for (std::size_t v = 0; v < vertices_.size(); ++v) smoothing_.AddRow();
  }

  // A corner of a face in smoothing groups `s` (0: none): shares the vertex standing for the
  // corner's lowest group, or gets a new one.
  void SmoothedCorner(std::uint32_t& corner, std::uint32_t s, const TVector& n) {
    const std::uint32_t v = corner;
    const int g = s ? LowestBit(s) : 0;
    if (!used_[v]) {
      normals_[v] = n;
      smoothing_.ClearRow(v);
      if (s) smoothing_.Set(v, g, v);
      used_[v] = true;
    } else if (!s) {
      corner = Split(v, n);
    } else if (const std::int64_t shared = smoothing_.Get(v, g); shared >= 0) {
      corner = static_cast<std::uint32_t>(shared);
      normals_[corner] = VecAdd(normals_[corner], n);
    } else {
      corner = Split(v, n);
      smoothing_.Set(v, g, corner);
      smoothing_.Set(corner, g, corner);
    }
  }

  // A corner of a mesh without smoothing data: every face after the first gets its own vertex.
  void FlatCorner(std::uint32_t& corner, const TVector& n) {
    if (used_[corner]) {
      corner = Split(corner, n);
      return;
    }
    normals_[corner] = n;
    used_[corner] = true;
  }

  void Normalize() {
    for (TVector& normal : normals_) normal = VecNormalize(normal);
  }

 private:
  std::uint32_t Split(std::uint32_t v, const TVector& n) {
    const auto w = static_cast<std::uint32_t>(vertices_.size());
    vertices_.push_back(vertices_[v]);
    normals_.push_back(n);
    used_.push_back(true);
    smoothing_.AddRow();
    if (!texCoords_.empty()) texCoords_.push_back(texCoords_[v]);
    return w;
  }

  std::vector<TVector>& vertices_;
  std::vector<TVector>& normals_;
  std::vector<TTexCoord>& texCoords_;
  std::vector<bool> used_;  // a face has given the vertex its normal
  TSmoothingTable smoothing_;
};

}  // namespace

TSimple3dObject::TSimple3dObject(const TMaterialLookup& materials, int releaseLevel,
                                 const TMesh3DS& mesh) {
  // Named even when empty, so a loader can say which mesh it refused.
  Name = mesh.name;
  if (mesh.vertices.size() < 3) return;  // no geometry: invisible, zero bounds, no groups
  Visible = !mesh.hidden;
  TakeVertices(mesh, Vertices, TexCoords);
  std::vector<std::uint32_t> corners = CheckedCorners(mesh, Name);
  BuildNormals(mesh, releaseLevel, corners);
  BuildFaceGroups(materials, mesh, corners);
  UpdateBounds();
  CalcTransparent();
  MakeCubeTextureIfReflective();
}

void TSimple3dObject::BuildNormals(const TMesh3DS& mesh, int releaseLevel,
                                   std::vector<std::uint32_t>& corners) {
  TNormalBuilder normals(Vertices, Normals, TexCoords);
  const bool smoothed = !mesh.smoothing.empty();
  for (std::size_t f = 0; f < mesh.faces.size(); ++f) {
    std::uint32_t* corner = &corners[f * 3];
    // Not normalised: the length is twice the area, so big faces weigh more in the vertex sums.
    const TVector e1 = VecSub(Vertices[corner[0]], Vertices[corner[1]]);
    const TVector e2 = VecSub(Vertices[corner[2]], Vertices[corner[1]]);
    const TVector n = releaseLevel >= rlRelease3 ? VecCross(e2, e1) : VecCross(e1, e2);
    // A smoothing list shorter than the face list leaves the remaining faces flat.
    const std::uint32_t s = f < mesh.smoothing.size() ? mesh.smoothing[f] : 0;
    for (int k = 0; k < 3; ++k) {
      if (smoothed)
        normals.SmoothedCorner(corner[k], s, n);
      else
        normals.FlatCorner(corner[k], n);
    }
  }
  normals.Normalize();
}

void TSimple3dObject::BuildFaceGroups(const TMaterialLookup& materials, const TMesh3DS& mesh,
                                      std::vector<std::uint32_t>& corners) {
  if (mesh.matGroups.empty()) {
    // Nothing assigns a material: one group holding every face, which draws nothing.
    auto group = std::make_unique<TFaceGroup>(nullptr);
    group->Indices = std::move(corners);
    FaceGroups.push_back(std::move(group));
    return;
  }
  const std::size_t faceCount = mesh.faces.size();
  for (const auto& assignment : mesh.matGroups) {
    auto group = std::make_unique<TFaceGroup>(materials ? materials(assignment.name) : nullptr);
    group->Indices.reserve(assignment.faces.size() * 3);
    for (const auto face : assignment.faces) {
      if (face >= faceCount)
        throw std::invalid_argument("mesh \"" + Name + "\": material \"" + assignment.name +
                                    "\" lists face " + std::to_string(face) + " of " +
                                    std::to_string(faceCount));
      group->Indices.insert(group->Indices.end(), &corners[face * 3], &corners[face * 3] + 3);
    }
    FaceGroups.push_back(std::move(group));
  }
}

void TSimple3dObject::MakeCubeTextureIfReflective() {
  for (const auto& group : FaceGroups) {
    if (group->Material && group->Material->IsCubeMap) {
      CubeTexture = std::make_unique<TCubeTexture>(kCubeMapSize, kCubeMapSize);
      CubeTexture->Centre = {BoundingSphere.x, BoundingSphere.y, BoundingSphere.z};
      return;
    }
  }
}

TSimple3dObject::~TSimple3dObject() = default;

const TMeshClass& TSimple3dObject::Class() {
  static const TMeshClass ref = MakeClassRef<TSimple3dObject, TMeshClass>("TSimple3dObject");
  return ref;
}

void TSimple3dObject::GetName(std::string& name) const { name = Name; }

void TSimple3dObject::CalcBoundingBox() {
  if (Vertices.empty()) {
    BoundingBox = {};
    BoxVolume = 0;
    return;
  }
  TBox b{Vertices[0].x, Vertices[0].x, Vertices[0].y, Vertices[0].y, Vertices[0].z, Vertices[0].z};
  for (const TVector& v : Vertices) {
    b.minX = std::min(b.minX, v.x);
    b.maxX = std::max(b.maxX, v.x);
    b.minY = std::min(b.minY, v.y);
    b.maxY = std::max(b.maxY, v.y);
    b.minZ = std::min(b.minZ, v.z);
    b.maxZ = std::max(b.maxZ, v.z);
  }
  BoundingBox = b;
  BoxVolume = (b.maxX - b.minX) * (b.maxY - b.minY) * (b.maxZ - b.minZ);
}

void TSimple3dObject::CalcBoundingSphere() {
  const TBox& b = BoundingBox;
  const TVector centre{b.minX + (b.maxX - b.minX) * 0.5f, b.minY + (b.maxY - b.minY) * 0.5f,
                       b.minZ + (b.maxZ - b.minZ) * 0.5f};
  float radius = 0;
  for (const TVector& v : Vertices) radius = std::max(radius, VecLength(VecSub(v, centre)));
  BoundingSphere = {centre.x, centre.y, centre.z, radius};
  SphereVolume = 4.188790204786391f * radius * radius * radius;
}

void TSimple3dObject::CalcTransparent() {
  for (const auto& group : FaceGroups) {
    const TMaterial* material = group->Material;
    if (!material) continue;
    if (material->Diffuse.a < 1.0f || (material->Texture && material->Texture->HasAlpha)) {
      Transparent = true;
      return;
    }
  }
}

const TFaceGroup& TSimple3dObject::GetFaceGroup(int group) const {
  if (group < 0 || group >= FaceGroupCount())
    throw std::out_of_range("face group " + std::to_string(group) + " of " +
                            std::to_string(FaceGroupCount()));
  return *FaceGroups[group];
}

std::array<std::uint32_t, 3> TSimple3dObject::GetFace(int group, int face) const {
  const TFaceGroup& g = GetFaceGroup(group);
  if (face < 0 || face >= g.FaceCount())
    throw std::out_of_range("face " + std::to_string(face) + " of " +
                            std::to_string(g.FaceCount()));
  const std::uint32_t* p = &g.Indices[static_cast<std::size_t>(face) * 3];
  return {p[0], p[1], p[2]};
}

int TSimple3dObject::GroupFaceCount(int group) const { return GetFaceGroup(group).FaceCount(); }

TVector TSimple3dObject::GetVertex(int index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= Vertices.size())
    throw std::out_of_range("vertex " + std::to_string(index) + " of " +
                            std::to_string(Vertices.size()));
  return Vertices[index];
}

TTexCoord TSimple3dObject::GetTexCoord(int index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= TexCoords.size())
    throw std::out_of_range("texture coordinate " + std::to_string(index) + " of " +
                            std::to_string(TexCoords.size()));
  return TexCoords[index];
}

void TSimple3dObject::SetTexCoord(int index, const TTexCoord& texCoord) {
  if (index < 0 || static_cast<std::size_t>(index) >= TexCoords.size())
    throw std::out_of_range("texture coordinate " + std::to_string(index) + " of " +
                            std::to_string(TexCoords.size()));
  TexCoords[index] = texCoord;
}

void TSimple3dObject::SetUpArrays() const {
  glVertexPointer(3, GL_FLOAT, 0, Vertices.data());
  glEnableClientState(GL_VERTEX_ARRAY);
  if (!Normals.empty()) {
    glNormalPointer(GL_FLOAT, 0, Normals.data());
    glEnableClientState(GL_NORMAL_ARRAY);
  } else {
    glDisableClientState(GL_NORMAL_ARRAY);
  }
  if (!TexCoords.empty()) {
    glTexCoordPointer(2, GL_FLOAT, 0, TexCoords.data());
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  } else {
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  }
}

void TSimple3dObject::Compile() {
  // A reflection's texture matrix depends on the view of each frame; it cannot be recorded.
  if (CubeTexture) return;
  compileAtDraw_ = false;
  // Without a context (a level read by a tool) there is nothing to record into; the next compile
  // in a context makes the list.
  if (!HaveGLContext()) return;
  SetUpArrays();
  if (!DisplayList.Make()) return;  // out of list names: keep drawing from the arrays
  glNewList(DisplayList.Name(), GL_COMPILE);
  for (const auto& group : FaceGroups) {
    glPushAttrib(GL_ENABLE_BIT);
    group->Draw();
    glPopAttrib();
  }
  glEndList();
  T3dObject::Compile();
}

void TSimple3dObject::Uncompile() {
  compileAtDraw_ = false;
  DisplayList.Reset();
  T3dObject::Uncompile();
}

void TSimple3dObject::Draw() {
  if (!Visible) return;
  RequireGLContext();
  if (compileAtDraw_) Compile();
  // A list of a context that is gone would draw nothing, or another object: the arrays still work.
  if (Compiled && DisplayList.Usable()) {
    glCallList(DisplayList.Name());
    return;
  }
  SetUpArrays();
  for (const auto& group : FaceGroups) {
    if (group->Material && group->Material->IsCubeMap && CubeTexture)
      DrawReflection(*group);
    else
      group->Draw();
  }
}

void TSimple3dObject::DrawReflection(const TFaceGroup& group) const {
  // OpenGL generates the reflection vectors in eye space; the inverse of the view's rotation in
  // the texture matrix turns them back into world directions, along which the cube map was
  // rendered from the object's centre.
  TMatrix texture, modelView;
  glGetFloatv(GL_TEXTURE_MATRIX, texture.data());
  glGetFloatv(GL_MODELVIEW_MATRIX, modelView.data());
  TMatrix rotation = IdentityMatrix();
  for (int col = 0; col < 3; ++col)
    for (int row = 0; row < 3; ++row) rotation[col * 4 + row] = modelView[col * 4 + row];
  rotation = InvertMatrix(rotation);
  for (int col = 0; col < 3; ++col)
    for (int row = 0; row < 3; ++row) texture[col * 4 + row] = rotation[col * 4 + row];

  glMatrixMode(GL_TEXTURE);
  glPushMatrix();
  glLoadMatrixf(texture.data());
  glMatrixMode(GL_MODELVIEW);

  glEnable(GL_TEXTURE_CUBE_MAP_ARB);
  glEnable(GL_TEXTURE_GEN_R);
  glEnable(GL_TEXTURE_GEN_S);
  glEnable(GL_TEXTURE_GEN_T);
  CubeTexture->Bind();
  group.Draw();

  glDisable(GL_TEXTURE_GEN_R);
  glDisable(GL_TEXTURE_GEN_S);
  glDisable(GL_TEXTURE_GEN_T);
  glDisable(GL_TEXTURE_CUBE_MAP_ARB);
  glMatrixMode(GL_TEXTURE);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
}

void TSimple3dObject::Highlight() {
  for (const auto& group : FaceGroups)
    if (group->Material) group->Material->SetHighlight();
  compileAtDraw_ = true;
}

void TSimple3dObject::Unhighlight() {
  for (const auto& group : FaceGroups)
    if (group->Material) group->Material->RestoreSpecular();
  compileAtDraw_ = true;
}

void TSimple3dObject::SetCubeMapRenderer(const TCubeMapRenderer& renderer) {
  if (CubeTexture) CubeTexture->SetUp(renderer);
}

void TSimple3dObject::UpdateCubeMap() {
  if (!CubeTexture) return;
  // Absent from its own reflection; a hidden mesh stays hidden afterwards.
  const bool wasVisible = Visible;
  Visible = false;
  CubeTexture->Update();
  Visible = wasVisible;
}

}  // namespace qv
