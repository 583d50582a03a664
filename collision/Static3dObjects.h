#pragma once
// TStatic3dObjects: the container of a level's static objects. Next to its members it owns the
// partition tree over them, which answers the world's per-frame questions: what is in view, which
// terrain lies under a ground point, which collidees overlap a box. It lives in collision/ because
// it owns the tree.
//
// Loading decides between the tree file beside the model ("bop" in the model's folder) and a
// fresh build: the file is read only when it is strictly newer than the model file, and a file
// that cannot be read is replaced by a rebuilt tree. A file that cannot be written (read-only
// folder, full disk) is logged and the built tree kept. An installed game keeps the file in the
// user's cache instead where it may not write beside the model (platform/GameFolders.h). A model
// with no objects is raised to the caller (level loading).

#include <memory>
#include <string>

#include "collision/BOPTree.h"
#include "scene/3dObjects.h"

namespace qv {

class TStatic3dObjects : public T3dObjects {
 public:
  explicit TStatic3dObjects(TBOPKinds kinds = GameBOPKinds()) : kinds_(kinds) {}

  // The inherited load, then the tree: reloaded from the source's "bop" file when that is newer
  // than the model, else built and saved there.
  void LoadFromAdapter(const TModelSource& source) override;
  // The tree decides visibility (and sets the sort keys); its results are appended to the
  // caller's lists.
  void CollectVisible(const TFrustum& frustum, T3dObjectList& opaque,
                      T3dObjectList& transparent) override;

  // The tree's own result lists, valid until the next query of the same kind; empty before the
  // first load.
  const T3dObjectList& QueryTerrainAt(float x, float z);
  const T3dObjectList& QueryCollidees(const TBox& box);

  const TBOPTree* Tree() const { return tree_.get(); }  // none before the first load
  // Why the last load could not write its tree file; empty when it wrote it or had no need to.
  const std::string& TreeFileError() const { return treeFileError_; }

 private:
  std::unique_ptr<TBOPTree> tree_;          // over Members; owned
  TBOPKinds kinds_;                         // what the tree's queries select
  T3dObjectList none_{TOwnership::Refers};  // the answer while there is no tree
  std::string treeFileError_;               // see TreeFileError
};

}  // namespace qv
