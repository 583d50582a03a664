#pragma once
// The .3ds adapter: turns one model file into materials and mesh objects and owns them for the
// life of the level. The constructor opens the file through the model reader, makes one material
// per material entry (or a single "Default" material for a file that has meshes but none), one
// mesh object per mesh - a terrain for a name beginning "ter", a collidee for "col" (both prefixes
// case-sensitive), a plain mesh otherwise - and closes the file again.
//
// Contract: loading needs no GL context and makes no GL call (the scene layer's rule,
// scene/3dObject.h): textures and cube textures get their GL names at their first upload, which
// UploadTextures and the world's PrepareGL do in the drawing context. Containers and the partition
// tree only refer to the objects, so they must be emptied before the adapter dies. Every failure
// propagates out of the constructor with nothing left behind: an unreadable or corrupt file
// (E3DSError naming the file), two materials whose names differ at most in letter case or a corrupt
// mesh record (EGL naming the file), a texture that cannot be loaded (the texture's own EGL) unless
// the caller asked to draw such materials untextured.
//
// GL names: the textures, cube textures and display lists of its materials and objects die with
// the adapter, freed only while the context they were made in is current (scene/GLNames.h), so an
// adapter may outlive its context. UploadTextures after a context rebuild makes new names there.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "scene/ModelSource.h"
#include "scene/Simple3dObject.h"

namespace qv {

class TFile3DS;
class TMaterial;

// What a texture that cannot be loaded does to the load.
enum class TTextureFailure {
  Raise,           // the game: the level fails with the texture's error
  WarnUntextured,  // tools: the warning callback hears of it; the material is drawn untextured
};

class T3DSFileAdapter : public TModelSource {
 public:
  using TWarning = std::function<void(const std::string& message)>;

  // `fileName` may use "\" separators and another letter case than the disk (see Paths.h).
  explicit T3DSFileAdapter(std::string_view fileName,
                           TTextureFailure textureFailure = TTextureFailure::Raise,
                           TWarning warning = {});
  // The same over a model file's bytes already in memory: `fileName` names it in messages and its
  // folder is where textures are looked for; the model's time is unknown (the clock's epoch).
  T3DSFileAdapter(std::vector<uint8_t> bytes, std::string_view fileName,
                  TTextureFailure textureFailure = TTextureFailure::Raise, TWarning warning = {});
  ~T3DSFileAdapter() override;
  T3DSFileAdapter(const T3DSFileAdapter&) = delete;
  T3DSFileAdapter& operator=(const T3DSFileAdapter&) = delete;

  // The class a mesh of this name becomes.
  static const TMeshClass& MeshClassFor(const std::string& meshName);
  // The winding rule's input: the mesh section's release unless the file's is later; 3DS release
  // 3 (level 2) when neither is known. Codes as TRelease3DS (3 = none).
  static int ReleaseLevelFor(int meshRelease, int fileRelease);
  // The order of the material table: names as Windows-1252 text, compared without regard to the
  // case of any of its letters (accented ones too, "\xC9" equals "\xE9"); <0, 0 or >0.
  static int CompareMaterialNames(std::string_view a, std::string_view b);

  // TModelSource.
  int ObjectCount() const override { return static_cast<int>(Objects.size()); }
  // std::out_of_range outside 0..ObjectCount()-1.
  TSimple3dObject* GetObject(int index) const override;
  std::filesystem::path Folder() const override { return FolderPath; }
  bool IsNewerThanModel(const std::filesystem::path& file) const override;
  std::string ModelFileName() const override { return FileName; }

  std::filesystem::file_time_type ModelTime() const { return ModelWriteTime; }
  int ReleaseLevel() const { return Release; }

  // The material table, in its sorted order.
  int MaterialCount() const { return static_cast<int>(MaterialTable.size()); }
  const std::string& MaterialName(int index) const { return MaterialTable.at(index).Name; }
  TMaterial* GetMaterial(int index) const { return MaterialTable.at(index).Material.get(); }
  // The material of that name regardless of letter case; null when the table has none.
  TMaterial* FindMaterial(const std::string& name) const;

  // Every material, in table order: upload its texture (after each new GL context); make ambient
  // and diffuse white; make the specular dull.
  void UploadTextures();
  void SetMaterialsWhite();
  void SetMaterialsDull();

 private:
  struct TNamedMaterial {
    std::string Name;                     // as the file spells it
    std::unique_ptr<TMaterial> Material;  // owned
  };

  void Load(TFile3DS& file, TTextureFailure textureFailure, const TWarning& warning);
  void AddMaterial(const std::string& name, std::unique_ptr<TMaterial> material);

  std::string FileName;                       // as given, for messages
  std::vector<TNamedMaterial> MaterialTable;  // sorted by name, letter case ignored
  // After the materials, so the meshes that refer to them go first.
  std::vector<std::unique_ptr<TSimple3dObject>> Objects;  // in the file's mesh order
  std::filesystem::path FolderPath;                  // the file's folder, ending in a separator
  std::filesystem::file_time_type ModelWriteTime{};  // the file's last-write time at loading
  int Release = 2;                                   // release level handed to the meshes, 0..2
};

}  // namespace qv
