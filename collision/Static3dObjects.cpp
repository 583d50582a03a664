#include "collision/Static3dObjects.h"

#include <exception>
#include <system_error>
#include <vector>

#include "platform/EGL.h"
#include "platform/GameFolders.h"
#include "platform/LogFile.h"
#include "scene/ModelSource.h"

namespace qv {

void TStatic3dObjects::LoadFromAdapter(const TModelSource& source) {
  T3dObjects::LoadFromAdapter(source);
  // A file of no meshes (one that is no model file at all opens as such) has nothing to split.
  if (MemberCount() == 0)
    throw EGL(source.ModelFileName() + ": holds no meshes; a level's geometry needs at least one");
  tree_.reset();
  treeFileError_.clear();
  // Beside the model, or in the user's cache for an installed game (platform/GameFolders.h).
  const std::vector<std::filesystem::path> files = GameFolders().TreeFiles(source.Folder());
  for (const std::filesystem::path& file : files) {
    if (!source.IsNewerThanModel(file)) continue;
    try {
      tree_ = TBOPTree::Load(Members, file, kinds_);
      return;
    } catch (const EGL&) {
      // An unreadable file is no reason to stop: it is rebuilt and rewritten below. EGL has
      // already logged why.
    } catch (const std::exception& error) {
      GlobalLog().Log(error.what());
    }
  }
  tree_ = TBOPTree::Build(Members, kinds_);
  // The file only spares the next start a rebuild; a read-only level folder or a full disk is no
  // reason to refuse a level whose tree is already built.
  for (const std::filesystem::path& file : files) {
    treeFileError_.clear();
    try {
      std::error_code ignored;  // a folder that cannot be made fails the save, which says so
      std::filesystem::create_directories(file.parent_path(), ignored);
      tree_->SaveToFile(file);
      break;
    } catch (const EGL& error) {
      treeFileError_ = error.what();  // EGL has logged it
    } catch (const std::exception& error) {
      treeFileError_ = error.what();
      GlobalLog().Log(treeFileError_);
    }
  }
  if (!treeFileError_.empty()) GlobalLog().Log("tree file not saved, the built tree is used");
}

void TStatic3dObjects::CollectVisible(const TFrustum& frustum, T3dObjectList& opaque,
                                      T3dObjectList& transparent) {
  if (!tree_) return;
  tree_->QueryVisible(frustum);
  opaque.AddList(tree_->OpaqueResult());
  transparent.AddList(tree_->TransparentResult());
}

const T3dObjectList& TStatic3dObjects::QueryTerrainAt(float x, float z) {
  return tree_ ? tree_->QueryTerrainAt(x, z) : none_;
}

const T3dObjectList& TStatic3dObjects::QueryCollidees(const TBox& box) {
  return tree_ ? tree_->QueryCollidees(box) : none_;
}

}  // namespace qv
