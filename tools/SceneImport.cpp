#include "tools/SceneImport.h"

#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <assimp/Importer.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>

#include "models/Writer3DS.h"
#include "tools/ImportNames.h"
#include "tools/ImportTextures.h"

namespace qvtool {

namespace fs = std::filesystem;

namespace {

// A .3ds mesh counts its vertices and faces in 16 bits.
constexpr std::size_t kFormatLimit = 65535;
// The player's model is the game's own; its start goes this far above the marked ground and it
// falls to rest there on the first steps.
constexpr float kPlayerLift = 1.0f;
// The share of a material's diffuse colour that becomes its ambient colour.
constexpr float kAmbientShare = 0.2f;
// Scene files a ghost's "model" property may name, tried in this order after the scene's own kind.
const char* const kModelExtensions[] = {".glb", ".gltf", ".fbx", ".obj", ".dae", ".3ds"};

std::string Number(double value) {
  if (std::fabs(value) < 5e-5) value = 0;  // no "-0" and no 1e-7 noise from a rotation
  char text[64];
  std::snprintf(text, sizeof text, "%.4f", value);
  std::string s = text;
  while (s.back() == '0') s.pop_back();
  if (s.back() == '.') s.pop_back();
  return s;
}

std::string Quote(const std::string& text) { return "\"" + text + "\""; }

// ---- the scene as the loader hands it over ----

struct TLoadedScene {
  Assimp::Importer importer;       // owns the scene
  const aiScene* scene = nullptr;  // y up, right-handed, as the loader delivers every format
  fs::path file;
  std::vector<unsigned> polygons;  // per mesh: faces of more than three corners, before
                                   // triangulation
};

std::unique_ptr<TLoadedScene> LoadScene(const fs::path& file) {
  auto loaded = std::make_unique<TLoadedScene>();
  loaded->file = file;
  if (!fs::is_regular_file(file)) throw std::runtime_error(file.string() + ": no such file");
  const aiScene* raw = loaded->importer.ReadFile(file.string(), 0);
  if (!raw || !raw->mRootNode) {
    throw std::runtime_error(file.string() + ": cannot read the scene (" +
                             loaded->importer.GetErrorString() + ")");
  }
  for (unsigned m = 0; m < raw->mNumMeshes; ++m) {
    const aiMesh& mesh = *raw->mMeshes[m];
    unsigned count = 0;
    for (unsigned f = 0; f < mesh.mNumFaces; ++f) count += mesh.mFaces[f].mNumIndices > 3;
    loaded->polygons.push_back(count);
  }
  loaded->scene =
      loaded->importer.ApplyPostProcessing(aiProcess_Triangulate | aiProcess_JoinIdenticalVertices);
  if (!loaded->scene) {
    throw std::runtime_error(file.string() + ": cannot triangulate the scene (" +
                             loaded->importer.GetErrorString() + ")");
  }
  return loaded;
}

struct TPlacedNode {
  const aiNode* node;
  aiMatrix4x4 world;  // node to scene, every parent's transform applied
};

void CollectNodes(const aiNode& node, const aiMatrix4x4& parent, std::vector<TPlacedNode>& out) {
  const aiMatrix4x4 world = parent * node.mTransformation;
  out.push_back({&node, world});
  for (unsigned i = 0; i < node.mNumChildren; ++i) CollectNodes(*node.mChildren[i], world, out);
}

// ---- what a node stands for ----

std::optional<std::string> TextProperty(const aiNode& node, const char* key) {
  if (!node.mMetaData) return std::nullopt;
  aiString text;
  if (node.mMetaData->Get(key, text)) return std::string(text.C_Str());
  return std::nullopt;
}

bool TrueProperty(const aiNode& node, const char* key) {
  const aiMetadata* meta = node.mMetaData;
  for (unsigned i = 0; meta && i < meta->mNumProperties; ++i) {
    if (meta->mKeys[i] != aiString(std::string(key))) continue;
    const aiMetadataEntry& entry = meta->mValues[i];
    switch (entry.mType) {
      case AI_BOOL: return *static_cast<const bool*>(entry.mData);
      case AI_INT32: return *static_cast<const int32_t*>(entry.mData) != 0;
      case AI_UINT64: return *static_cast<const uint64_t*>(entry.mData) != 0;
      case AI_FLOAT: return *static_cast<const float*>(entry.mData) != 0;
      case AI_DOUBLE: return *static_cast<const double*>(entry.mData) != 0;
      case AI_AISTRING: {
        const std::string text = static_cast<const aiString*>(entry.mData)->C_Str();
        return text == "1" || text == "true";
      }
      default: return false;
    }
  }
  return false;
}

enum class TRole { Geometry, Sky, Player, Ghost, Other };

TRole RoleOf(const aiNode& node) {
  const std::string name = node.mName.C_Str();
  if (node.mNumMeshes == 0) {
    if (name == "Player" || name.starts_with("Player.")) return TRole::Player;
    if (name.starts_with("Ghost.") || TextProperty(node, "classname")) return TRole::Ghost;
    return TRole::Other;
  }
  if (name == "Sky" || name.starts_with("Sky.") || TrueProperty(node, "sky")) return TRole::Sky;
  return TRole::Geometry;
}

// The game's heading of a marker: it faces along its local -z (glTF's forward, Blender's +Y);
// heading h faces (-sin h, 0, -cos h).
float HeadingOf(const aiMatrix4x4& world) {
  const aiVector3D forward = aiMatrix3x3(world) * aiVector3D(0, 0, -1);
  double degrees = std::atan2(-forward.x, -forward.z) * 180.0 / M_PI;
  if (degrees < -179.9995) degrees += 360;  // facing +z reads 180, whatever the sign of a tiny x
  return static_cast<float>(std::round(degrees * 1000) / 1000);
}

aiVector3D PositionOf(const aiMatrix4x4& world) { return {world.a4, world.b4, world.c4}; }

// ---- meshes ----

struct TBuiltMesh {
  std::string name;
  std::vector<aiVector3D> positions;  // scene space, y up
  std::vector<aiVector3D> uvs;        // one per position, or none at all
  std::vector<std::array<uint32_t, 3>> triangles;
  std::vector<unsigned> materials;  // per triangle: the scene's material index
};

struct TBounds {
  aiVector3D low{1e30f, 1e30f, 1e30f}, high{-1e30f, -1e30f, -1e30f};
  bool Empty() const { return low.x > high.x; }
  void Add(const aiVector3D& p) {
    low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
    high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
  }
};

// Cuts a mesh into parts of at most 65535 vertices and 65535 faces, keeping triangles whole.
std::vector<TBuiltMesh> SplitToFit(TBuiltMesh mesh) {
  if (mesh.positions.size() <= kFormatLimit && mesh.triangles.size() <= kFormatLimit) {
    return {std::move(mesh)};
  }
  std::vector<TBuiltMesh> parts;
  std::vector<int> owner(mesh.positions.size(), -1);  // the part a vertex was last copied into
  std::vector<uint32_t> local(mesh.positions.size());
  TBuiltMesh part;
  auto flush = [&] {
    part.name = mesh.name;
    parts.push_back(std::move(part));
    part = TBuiltMesh{};
  };
  for (std::size_t t = 0; t < mesh.triangles.size(); ++t) {
    const std::array<uint32_t, 3>& tri = mesh.triangles[t];
    const int current = static_cast<int>(parts.size());
    std::size_t fresh = 0;
    for (uint32_t v : tri) fresh += owner[v] != current;
    if (part.positions.size() + fresh > kFormatLimit || part.triangles.size() == kFormatLimit) {
      flush();
    }
    const int index = static_cast<int>(parts.size());
    std::array<uint32_t, 3> mapped;
    for (int k = 0; k < 3; ++k) {
      const uint32_t v = tri[k];
      if (owner[v] != index) {
        owner[v] = index;
        local[v] = static_cast<uint32_t>(part.positions.size());
        part.positions.push_back(mesh.positions[v]);
        if (!mesh.uvs.empty()) part.uvs.push_back(mesh.uvs[v]);
      }
      mapped[k] = local[v];
    }
    part.triangles.push_back(mapped);
    part.materials.push_back(mesh.materials[t]);
  }
  if (!part.triangles.empty()) flush();
  return parts;
}

bool IsPlaceholderMaterial(const aiMaterial& material) {
  const std::string name = material.GetName().C_Str();
  return name.empty() || name == AI_DEFAULT_MATERIAL_NAME;
}

// ---- one .3ds file ----

class TModelFile {
 public:
  TModelFile(std::string fileName, const TLoadedScene& scene, TTextureExport& textures,
             std::vector<std::string>& notes)
      : fileName_(std::move(fileName)), scene_(scene), textures_(textures), notes_(notes) {}

  void AddNode(const TPlacedNode& placed);
  bool Empty() const { return meshes_.empty(); }
  TBounds Bounds(const char* prefix = "") const;
  void Lift(float dy) {
    for (TBuiltMesh& mesh : meshes_) {
      for (aiVector3D& p : mesh.positions) p.y += dy;
    }
  }
  void Save(const fs::path& levelDir);

 private:
  void Note(const std::string& text) { notes_.push_back(fileName_ + ": " + text); }
  std::string MaterialName(unsigned index, const std::string& meshName);
  qv::TMaterial3DS ConvertMaterial(const aiMaterial& source, const std::string& name);
  qv::TMesh3DS ToRecord(const TBuiltMesh& part, const std::string& name);

  std::string fileName_;
  const TLoadedScene& scene_;
  TTextureExport& textures_;
  std::vector<std::string>& notes_;
  std::vector<TBuiltMesh> meshes_;
  qv::TWriter3DS writer_;
  TNameTable meshNames_{kMeshNameLimit, TNameCase::Sensitive};
  TNameTable materialNames_{kMaterialNameLimit, TNameCase::Insensitive};
  std::map<unsigned, std::string> materials_;  // scene material index -> name in the file
  bool defaultWritten_ = false;
};

void TModelFile::AddNode(const TPlacedNode& placed) {
  const aiNode& node = *placed.node;
  const aiScene& scene = *scene_.scene;
  TBuiltMesh mesh;
  mesh.name = node.mName.C_Str();
  if (mesh.name.empty()) mesh.name = "mesh";
  // A mirroring transform turns the triangles inside out; swapping two corners turns them back.
  const bool mirrored = placed.world.Determinant() < 0;
  bool textured = false;
  for (unsigned i = 0; i < node.mNumMeshes; ++i) {
    textured |= scene.mMeshes[node.mMeshes[i]]->HasTextureCoords(0);
  }
  unsigned polygons = 0, dropped = 0;
  for (unsigned i = 0; i < node.mNumMeshes; ++i) {
    const unsigned index = node.mMeshes[i];
    const aiMesh& source = *scene.mMeshes[index];
    polygons += index < scene_.polygons.size() ? scene_.polygons[index] : 0;
    const auto base = static_cast<uint32_t>(mesh.positions.size());
    for (unsigned v = 0; v < source.mNumVertices; ++v) {
      mesh.positions.push_back(placed.world * source.mVertices[v]);
      if (textured) {
        mesh.uvs.push_back(source.HasTextureCoords(0) ? source.mTextureCoords[0][v]
                                                      : aiVector3D(0, 0, 0));
      }
    }
    for (unsigned f = 0; f < source.mNumFaces; ++f) {
      const aiFace& face = source.mFaces[f];
      if (face.mNumIndices != 3) {
        ++dropped;
        continue;
      }
      std::array<uint32_t, 3> tri{base + face.mIndices[0], base + face.mIndices[1],
                                  base + face.mIndices[2]};
      if (mirrored) std::swap(tri[1], tri[2]);
      mesh.triangles.push_back(tri);
      mesh.materials.push_back(source.mMaterialIndex);
    }
  }
  if (polygons) {
    Note(Quote(mesh.name) + ": " + std::to_string(polygons) +
         " polygon(s) of more than three corners triangulated");
  }
  if (dropped) {
    Note(Quote(mesh.name) + ": " + std::to_string(dropped) +
         " point(s) and line(s) left out (a .3ds mesh holds only triangles)");
  }
  if (mesh.triangles.empty()) {
    Note(Quote(mesh.name) + ": no triangles, left out");
    return;
  }
  meshes_.push_back(std::move(mesh));
}

TBounds TModelFile::Bounds(const char* prefix) const {
  TBounds bounds;
  for (const TBuiltMesh& mesh : meshes_) {
    if (!mesh.name.starts_with(prefix)) continue;
    for (const aiVector3D& p : mesh.positions) bounds.Add(p);
  }
  return bounds;
}

qv::TMaterial3DS TModelFile::ConvertMaterial(const aiMaterial& source, const std::string& name) {
  qv::TMaterial3DS m;
  m.name = name;
  aiColor3D diffuse(0.8f, 0.8f, 0.8f), specular(0, 0, 0), emissive(0, 0, 0);
  source.Get(AI_MATKEY_COLOR_DIFFUSE, diffuse);
  source.Get(AI_MATKEY_COLOR_SPECULAR, specular);
  source.Get(AI_MATKEY_COLOR_EMISSIVE, emissive);
  float shininess = 0, opacity = 1;
  source.Get(AI_MATKEY_SHININESS, shininess);
  source.Get(AI_MATKEY_OPACITY, opacity);
  int twoSided = 0;
  source.Get(AI_MATKEY_TWOSIDED, twoSided);

  m.diffuse = {diffuse.r, diffuse.g, diffuse.b};
  // Exporters write the emission colour where the format keeps the ambient one, black unless the
  // author set it: every face the overhead light misses would be black. The game lights the
  // ambient term twice (the light's and the scene's, both white), so a share of the diffuse
  // colour shows such faces at about 40 % without washing out the lit ones.
  m.ambient = {diffuse.r * kAmbientShare, diffuse.g * kAmbientShare, diffuse.b * kAmbientShare};
  Note("material " + Quote(name) + ": ambient colour set to " + Number(kAmbientShare) +
       " x its diffuse colour (" + Number(diffuse.r) + ", " + Number(diffuse.g) + ", " +
       Number(diffuse.b) + ") so faces the overhead light does not reach are not black");
  // A highlight without an exponent would whiten every lit face; shininess is 0..128 in GL terms.
  m.shininess = std::clamp(shininess / 128.0f, 0.0f, 1.0f);
  if (m.shininess > 0.05f) m.specular = {specular.r, specular.g, specular.b};
  if (opacity < 1) m.transparency = -(1 - std::clamp(opacity, 0.0f, 1.0f));
  m.twoSided = twoSided != 0;
  const float glow = std::max({emissive.r, emissive.g, emissive.b});
  const bool glowMap = source.GetTextureCount(aiTextureType_EMISSIVE) > 0;
  if (glow > 0 || glowMap) {
    m.selfIllum = true;
    m.selfIllumPercent = glowMap ? 1.0f : std::min(glow, 1.0f);
    Note("material " + Quote(name) + ": emission turned into self-illumination of " +
         Number(m.selfIllumPercent * 100) + " %");
  }
  aiString texture;
  if (source.GetTexture(aiTextureType_DIFFUSE, 0, &texture) == AI_SUCCESS ||
      source.GetTexture(aiTextureType_BASE_COLOR, 0, &texture) == AI_SUCCESS) {
    try {
      m.texture.map.name =
          textures_.Export(*scene_.scene, scene_.file.parent_path(), texture.C_Str());
    } catch (const std::runtime_error& e) {
      throw std::runtime_error(scene_.file.string() + ": material " + Quote(name) + ": " +
                               e.what());
    }
    m.texture.map.percent = 1;
  }
  return m;
}

std::string TModelFile::MaterialName(unsigned index, const std::string& meshName) {
  const aiScene& scene = *scene_.scene;
  const bool placeholder =
      index >= scene.mNumMaterials || IsPlaceholderMaterial(*scene.mMaterials[index]);
  if (placeholder) {
    // The game draws no face without a material: give them a plain one, visibly so.
    Note("mesh " + Quote(meshName) + " has no material: its faces get \"Default\" (light grey)");
    if (!defaultWritten_) {
      qv::TMaterial3DS fallback;
      fallback.name = materialNames_.Claim("Default");
      fallback.diffuse = fallback.ambient = {0.8f, 0.8f, 0.8f};
      writer_.AddMaterial(fallback);
      defaultWritten_ = true;
    }
    return "Default";
  }
  if (auto known = materials_.find(index); known != materials_.end()) return known->second;
  const std::string wanted = scene.mMaterials[index]->GetName().C_Str();
  const std::string name = materialNames_.Claim(wanted);
  if (name != wanted) {
    Note("material " + Quote(wanted) + " renamed " + Quote(name) +
         " (material names hold 16 characters and must differ in more than letter case)");
  }
  writer_.AddMaterial(ConvertMaterial(*scene.mMaterials[index], name));
  materials_[index] = name;
  return name;
}

qv::TMesh3DS TModelFile::ToRecord(const TBuiltMesh& part, const std::string& name) {
  qv::TMesh3DS r;
  r.name = name;
  r.localMatrix = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
  // Scene y-up to the file's z-up: the game turns a file's (x, y, z) into (x, z, -y).
  for (const aiVector3D& p : part.positions) r.vertices.push_back({p.x, -p.z, p.y});
  for (const aiVector3D& uv : part.uvs) r.texVerts.push_back({uv.x, uv.y});
  r.texVertexCount = static_cast<uint16_t>(r.texVerts.size());
  std::map<unsigned, std::string> names;  // scene material -> name in the file, for this part
  std::map<std::string, std::vector<uint16_t>> groups;
  for (std::size_t t = 0; t < part.triangles.size(); ++t) {
    const std::array<uint32_t, 3>& tri = part.triangles[t];
    r.faces.push_back({static_cast<uint16_t>(tri[0]), static_cast<uint16_t>(tri[1]),
                       static_cast<uint16_t>(tri[2]), 0});
    const unsigned material = part.materials[t];
    auto known = names.find(material);
    if (known == names.end()) known = names.emplace(material, MaterialName(material, name)).first;
    groups[known->second].push_back(static_cast<uint16_t>(t));
  }
  for (auto& [material, faces] : groups) r.matGroups.push_back({material, std::move(faces)});
  // One smoothing group: shared vertices average their normals, split ones (flat shading) don't.
  r.smoothing.assign(r.faces.size(), 1);
  return r;
}

void TModelFile::Save(const fs::path& levelDir) {
  Note("turned from y-up to the format's z-up: (x, y, z) becomes (x, -z, y)");
  for (TBuiltMesh& mesh : meshes_) {
    const std::string wanted = mesh.name;
    const std::size_t vertices = mesh.positions.size(), faces = mesh.triangles.size();
    std::vector<TBuiltMesh> parts = SplitToFit(std::move(mesh));
    if (parts.size() > 1) {
      Note(Quote(wanted) + ": " + std::to_string(vertices) + " vertices and " +
           std::to_string(faces) + " faces split into " + std::to_string(parts.size()) +
           " meshes (a .3ds mesh holds at most 65535 of each)");
    }
    for (const TBuiltMesh& part : parts) {
      const std::string name = meshNames_.Claim(wanted);
      if (name != wanted) {
        Note("mesh " + Quote(wanted) + " named " + Quote(name) +
             " (object names hold 10 characters; the \"ter\"/\"col\" prefix is kept)");
      }
      writer_.AddMesh(ToRecord(part, name));
    }
  }
  writer_.Save(levelDir / fileName_);
}

// ---- the level description ----

struct TGhostMarker {
  std::string section;    // the ghost's name in Level.ini
  std::string className;  // its class
  std::string model;      // the "model" property: a scene file's name without extension
  aiVector3D ground;      // the marked point, scene space
  float heading = 0;      // degrees
};

fs::path FindModelScene(const fs::path& sceneDir, const std::string& model,
                        const std::string& sceneExtension) {
  std::vector<std::string> extensions{sceneExtension};
  extensions.insert(extensions.end(), std::begin(kModelExtensions), std::end(kModelExtensions));
  for (const std::string& extension : extensions) {
    const fs::path candidate = sceneDir / (model + extension);
    if (fs::is_regular_file(candidate)) return candidate;
  }
  return {};
}

struct TGhostModel {
  std::string fileName;  // in the level folder
  float hover = 0;       // how high the game floats it above the ground
};

// A ghost model as its own .3ds file, at file scale, turning about its file origin.
TGhostModel ImportGhostModel(const fs::path& source, const fs::path& levelDir,
                             TTextureExport& textures, std::vector<std::string>& notes) {
  const std::unique_ptr<TLoadedScene> loaded = LoadScene(source);
  TGhostModel result{source.stem().string() + ".3ds", 0};
  TModelFile file(result.fileName, *loaded, textures, notes);
  std::vector<TPlacedNode> nodes;
  CollectNodes(*loaded->scene->mRootNode, aiMatrix4x4(), nodes);
  for (const TPlacedNode& placed : nodes) {
    if (placed.node->mNumMeshes > 0) file.AddNode(placed);
  }
  if (file.Empty()) throw std::runtime_error(source.string() + ": the ghost model has no mesh");
  // The game floats an actor |lowest point| x 1.3 above the ground: a model standing on its
  // origin would float 0 high, and an actor at the surface cannot move. Put its origin halfway up.
  const TBounds bounds = file.Bounds();
  float lowest = bounds.low.y;
  if (lowest > -1e-3f) {
    const float shift = -(bounds.low.y + bounds.high.y) / 2;
    file.Lift(shift);
    lowest += shift;
    notes.push_back(result.fileName + ": the model stands on its origin; moved down by " +
                    Number(-shift) +
                    " so its origin is halfway up (the game floats a ghost |lowest point| x 1.3 "
                    "above the ground)");
  }
  file.Save(levelDir);
  result.hover = std::fabs(lowest) * 1.3f;
  return result;
}

void WriteLevelIni(const fs::path& file, const aiVector3D& start, float heading,
                   const std::vector<std::pair<TGhostMarker, TGhostModel>>& ghosts) {
  std::ofstream out(file, std::ios::binary);
  if (!out) throw std::runtime_error(file.string() + ": cannot write the level description");
  out << "; written by qv-tool import\r\n[Player]\r\n"
      << "Startingxpos=" << Number(start.x) << "\r\nStartingypos=" << Number(start.y)
      << "\r\nStartingzpos=" << Number(start.z) << "\r\nHeading=" << Number(heading) << "\r\n";
  for (const auto& [ghost, model] : ghosts) {
    out << "\r\n[" << ghost.section << "]\r\nfilename=" << model.fileName
        << "\r\nclassname=" << ghost.className << "\r\nInitialxpos=" << Number(ghost.ground.x)
        << "\r\nInitialypos=" << Number(ghost.ground.y + model.hover)
        << "\r\nInitialzpos=" << Number(ghost.ground.z)
        << "\r\nInitialHeading=" << Number(ghost.heading) << "\r\n";
  }
  if (!out.flush())
    throw std::runtime_error(file.string() + ": cannot write the level description");
}

TGhostMarker GhostMarkerOf(const TPlacedNode& placed, std::set<std::string>& sections,
                           std::vector<std::string>& notes) {
  const aiNode& node = *placed.node;
  const std::string name = node.mName.C_Str();
  TGhostMarker ghost;
  ghost.section = name.starts_with("Ghost.") ? name.substr(6) : name;
  if (ghost.section.empty() || ghost.section == "Player") ghost.section = "Ghost";
  for (int n = 2; !sections.insert(ghost.section).second; ++n) {
    ghost.section = (name.starts_with("Ghost.") ? name.substr(6) : name) + std::to_string(n);
  }
  ghost.className = TextProperty(node, "classname").value_or("");
  if (ghost.className.empty()) {
    ghost.className = "TSearchGhostObject";
    notes.push_back("Level.ini: ghost " + Quote(name) +
                    " has no \"classname\": it plays hide-and-seek (TSearchGhostObject)");
  }
  ghost.model = TextProperty(node, "model").value_or("");
  ghost.ground = PositionOf(placed.world);
  ghost.heading = HeadingOf(placed.world);
  return ghost;
}

// The markers a scene holds; its meshes go straight into the level's and the sky's files.
struct TMarkers {
  std::optional<TPlacedNode> player;
  std::vector<TGhostMarker> ghosts;
};

TMarkers SortNodes(const TLoadedScene& loaded, TModelFile& level, TModelFile& sky,
                   std::vector<std::string>& notes) {
  TMarkers markers;
  std::set<std::string> sections{"Player"};
  std::vector<TPlacedNode> nodes;
  CollectNodes(*loaded.scene->mRootNode, aiMatrix4x4(), nodes);
  for (const TPlacedNode& placed : nodes) {
    switch (RoleOf(*placed.node)) {
      case TRole::Geometry: level.AddNode(placed); break;
      case TRole::Sky: sky.AddNode(placed); break;
      case TRole::Player:
        if (markers.player) {
          notes.push_back("Level.ini: a second player marker " + Quote(placed.node->mName.C_Str()) +
                          " is left out");
        } else {
          markers.player = placed;
        }
        break;
      case TRole::Ghost: markers.ghosts.push_back(GhostMarkerOf(placed, sections, notes)); break;
      case TRole::Other: break;
    }
  }
  const unsigned lightsAndCameras = loaded.scene->mNumLights + loaded.scene->mNumCameras;
  if (lightsAndCameras > 0) {
    notes.push_back(std::to_string(lightsAndCameras) +
                    " light(s) and camera(s) left out: the game lights every level with its own "
                    "light from above and looks through the player's eyes");
  }
  return markers;
}

// Each ghost with its model, every model written once.
std::vector<std::pair<TGhostMarker, TGhostModel>> ImportGhosts(
    const std::vector<TGhostMarker>& ghosts, const fs::path& scenePath, const fs::path& levelDir,
    TTextureExport& textures, std::vector<std::string>& notes) {
  std::map<std::string, TGhostModel> models;
  std::vector<std::pair<TGhostMarker, TGhostModel>> placed;
  const std::string extension = scenePath.extension().string();
  for (const TGhostMarker& ghost : ghosts) {
    if (ghost.model.empty()) {
      // Some exporters drop custom properties: the rest of the level is still worth having.
      notes.push_back("Level.ini: ghost " + Quote(ghost.section) +
                      " left out: its marker has no \"model\" property naming its model's scene");
      continue;
    }
    if (!models.count(ghost.model)) {
      const fs::path source = FindModelScene(scenePath.parent_path(), ghost.model, extension);
      if (source.empty()) {
        throw std::runtime_error(scenePath.string() + ": ghost " + Quote(ghost.section) +
                                 ": no scene file " + Quote(ghost.model) +
                                 " (.glb, .gltf, .fbx, .obj, .dae, .3ds) beside the scene");
      }
      models[ghost.model] = ImportGhostModel(source, levelDir, textures, notes);
    }
    placed.push_back({ghost, models[ghost.model]});
  }
  return placed;
}

struct TPlayerStart {
  aiVector3D position;  // scene space
  float heading = 0;    // degrees
};

TPlayerStart PlayerStart(const std::optional<TPlacedNode>& marker, const TModelFile& level,
                         std::vector<std::string>& notes) {
  TPlayerStart start;
  if (marker) {
    start.position = PositionOf(marker->world);
    start.heading = HeadingOf(marker->world);
  } else {
    const TBounds ground = level.Bounds("ter");
    if (!ground.Empty()) {
      start.position = {(ground.low.x + ground.high.x) / 2, ground.high.y,
                        (ground.low.z + ground.high.z) / 2};
    }
    notes.push_back(
        "Level.ini: no \"Player\" marker: the player starts over the middle of the "
        "terrain, above its highest point");
  }
  start.position.y += kPlayerLift;
  return start;
}

}  // namespace

std::vector<std::string> ImportScene(const fs::path& scenePath, const fs::path& levelDir) {
  std::vector<std::string> notes;
  const std::unique_ptr<TLoadedScene> loaded = LoadScene(scenePath);
  std::error_code error;
  fs::create_directories(levelDir, error);
  if (!fs::is_directory(levelDir)) {
    throw std::runtime_error(levelDir.string() + ": cannot create the level folder");
  }
  TTextureExport textures(levelDir, notes);
  TModelFile level("Objects.3DS", *loaded, textures, notes);
  TModelFile sky("SkyBox.3DS", *loaded, textures, notes);
  const TMarkers markers = SortNodes(*loaded, level, sky, notes);
  if (level.Empty()) {
    throw std::runtime_error(scenePath.string() +
                             ": the scene has no mesh outside the sky to make the level of");
  }
  // Ghost models before Level.ini: their hover heights place the ghosts.
  const auto ghosts = ImportGhosts(markers.ghosts, scenePath, levelDir, textures, notes);
  level.Save(levelDir);
  if (sky.Empty()) {
    notes.push_back(
        "SkyBox.3DS: no sky object (a mesh node named \"Sky\"): the level uses the "
        "game's shared objects/SkyBox.3DS");
  } else {
    sky.Save(levelDir);
  }
  const TPlayerStart start = PlayerStart(markers.player, level, notes);
  WriteLevelIni(levelDir / "Level.ini", start.position, start.heading, ghosts);
  return notes;
}

}  // namespace qvtool
