#include "models/3DSFileAdapter.h"

#include <algorithm>
#include <stdexcept>
#include <system_error>

#include "collision/CollideeObject.h"
#include "models/3DSError.h"
#include "models/File3DS.h"
#include "platform/EGL.h"
#include "platform/Paths.h"
#include "scene/Material.h"
#include "scene/TerrainObject.h"

namespace qv {

namespace {

// A Windows-1252 letter in lower case; everything else unchanged. Besides A-Z the upper-case
// letters are S, OE and Z with caron or ligature (0x8A 0x8C 0x8E, lower 0x9A 0x9C 0x9E), Y with
// diaeresis (0x9F, lower 0xFF) and 0xC0-0xDE (lower 0xE0-0xFE) except the multiplication sign
// 0xD7. Sharp s (0xDF) has no upper case.
unsigned char FoldCase1252(unsigned char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 0x20;
  if (c == 0x8A || c == 0x8C || c == 0x8E) return c + 0x10;
  if (c == 0x9F) return 0xFF;
  return c;
}

// The part of the file's record a material is filled from.
TMaterialRecord RecordOf(const TMaterial3DS& m) {
  TMaterialRecord r;
  r.name = m.name;
  r.ambient = {m.ambient.r, m.ambient.g, m.ambient.b};
  r.diffuse = {m.diffuse.r, m.diffuse.g, m.diffuse.b};
  r.specular = {m.specular.r, m.specular.g, m.specular.b};
  r.shininess = m.shininess;
  r.transparency = m.transparency;
  r.selfIllum = m.selfIllum;
  r.selfIllumPercent = m.selfIllumPercent;
  r.shading = m.shading;
  r.twoSided = m.twoSided;
  r.textureMap = m.texture.map.name;
  return r;
}

std::filesystem::path FolderOf(const std::filesystem::path& file) {
  // A bare file name lies in the current directory (not in the root, which a lone separator
  // would name here).
  const std::filesystem::path parent = file.parent_path();
  if (parent.empty()) return std::filesystem::path(".") / "";
  return parent / "";
}

}  // namespace

// Material names compare without regard to letter case, as the platform's text comparison the
// files were written for does.
int T3DSFileAdapter::CompareMaterialNames(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned char la = FoldCase1252(static_cast<unsigned char>(a[i]));
    const unsigned char lb = FoldCase1252(static_cast<unsigned char>(b[i]));
    if (la != lb) return la < lb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

const TMeshClass& T3DSFileAdapter::MeshClassFor(const std::string& meshName) {
  if (meshName.starts_with("ter")) return TTerrainObject::Class();
  if (meshName.starts_with("col")) return TCollideeObject::Class();
  return TSimple3dObject::Class();
}

int T3DSFileAdapter::ReleaseLevelFor(int meshRelease, int fileRelease) {
  // "None" (3) counts as later than every release.
  int release = meshRelease;
  if (release == kRelease3DSNone || fileRelease > release) release = fileRelease;
  if (release == kRelease3DSNone) release = rlRelease3;
  return release;
}

T3DSFileAdapter::T3DSFileAdapter(std::string_view fileName, TTextureFailure textureFailure,
                                 TWarning warning)
    : FileName(fileName) {
  try {
    const std::filesystem::path path = ResolvePath(FileName);
    TFile3DS file(path);
    std::error_code ec;
    ModelWriteTime = std::filesystem::last_write_time(path, ec);
    FolderPath = FolderOf(path);
    Load(file, textureFailure, warning);
  } catch (const E3DSError& e) {
    // The reader's messages say what is wrong but not in which file.
    throw E3DSError(FileName + ": " + e.what());
  }
}

T3DSFileAdapter::T3DSFileAdapter(std::vector<uint8_t> bytes, std::string_view fileName,
                                 TTextureFailure textureFailure, TWarning warning)
    : FileName(fileName), FolderPath(FolderOf(std::filesystem::path(fileName))) {
  try {
    TFile3DS file(std::move(bytes), FileName);
    Load(file, textureFailure, warning);
  } catch (const E3DSError& e) {
    throw E3DSError(FileName + ": " + e.what());
  }
}

void T3DSFileAdapter::Load(TFile3DS& file, TTextureFailure textureFailure,
                           const TWarning& warning) {
  TObjectList& meshes = file.ObjectList();
  const int meshCount = meshes.MeshCount();
  if (meshCount == 0) return;  // no objects and no materials, whatever the file lists

  Release = ReleaseLevelFor(file.MeshRelease(), file.FileRelease());

  TMaterialList& materials = file.MaterialList();
  const int materialCount = materials.Count();
  if (materialCount == 0) {
    AddMaterial("Default", std::make_unique<TMaterial>());
  } else {
    const std::string folder = FolderPath.string();
    for (int i = 0; i < materialCount; ++i) {
      TMaterialRecord record = RecordOf(*materials.Item(i));
      auto material = std::make_unique<TMaterial>();
      try {
        material->LoadFromRecord(folder, record);
      } catch (const EGL& e) {
        if (textureFailure == TTextureFailure::Raise || record.textureMap.empty()) throw;
        if (warning)
          warning(FileName + ": material \"" + record.name + "\" drawn untextured: " + e.what());
        record.textureMap.clear();
        material = std::make_unique<TMaterial>();
        material->LoadFromRecord(folder, record);
      }
      AddMaterial(record.name, std::move(material));
    }
  }

  const TMaterialLookup lookup = [this](const std::string& name) { return FindMaterial(name); };
  Objects.reserve(meshCount);
  for (int i = 0; i < meshCount; ++i) {
    const TMesh3DS* mesh = meshes.MeshItem(i);
    try {
      Objects.push_back(MeshClassFor(mesh->name).Create(lookup, Release, *mesh));
    } catch (const std::invalid_argument& e) {
      throw EGL(FileName + ": " + e.what());
    }
    // The object copied what it keeps; a big level need not hold every record at once.
    meshes.ReleaseMesh(i);
  }
}

T3DSFileAdapter::~T3DSFileAdapter() = default;

void T3DSFileAdapter::AddMaterial(const std::string& name, std::unique_ptr<TMaterial> material) {
  const auto at = std::lower_bound(MaterialTable.begin(), MaterialTable.end(), name,
                                   [](const TNamedMaterial& entry, const std::string& key) {
                                     return CompareMaterialNames(entry.Name, key) < 0;
                                   });
  if (at != MaterialTable.end() && CompareMaterialNames(at->Name, name) == 0)
    throw EGL(FileName + ": two materials named \"" + at->Name + "\" and \"" + name +
              "\" (names must differ in more than letter case)");
  MaterialTable.insert(at, TNamedMaterial{name, std::move(material)});
}

TMaterial* T3DSFileAdapter::FindMaterial(const std::string& name) const {
  const auto at = std::lower_bound(MaterialTable.begin(), MaterialTable.end(), name,
                                   [](const TNamedMaterial& entry, const std::string& key) {
                                     return CompareMaterialNames(entry.Name, key) < 0;
                                   });
  if (at == MaterialTable.end() || CompareMaterialNames(at->Name, name) != 0) return nullptr;
  return at->Material.get();
}

TSimple3dObject* T3DSFileAdapter::GetObject(int index) const {
  if (index < 0 || index >= ObjectCount())
    throw std::out_of_range("object " + std::to_string(index) + " of " +
                            std::to_string(ObjectCount()));
  return Objects[index].get();
}

bool T3DSFileAdapter::IsNewerThanModel(const std::filesystem::path& file) const {
  std::error_code ec;
  const auto time = std::filesystem::last_write_time(file, ec);
  return !ec && time > ModelWriteTime;
}

void T3DSFileAdapter::UploadTextures() {
  for (auto& entry : MaterialTable) entry.Material->UploadTexture();
}

void T3DSFileAdapter::SetMaterialsWhite() {
  for (auto& entry : MaterialTable) entry.Material->SetWhite();
}

void T3DSFileAdapter::SetMaterialsDull() {
  for (auto& entry : MaterialTable) entry.Material->SetDullSpecular();
}

}  // namespace qv
