#pragma once
// What a container needs from the model file that made its objects: the objects in file order,
// the folder of the file (where its "bop" tree file lives) and whether a file is strictly newer
// than the model. The .3ds adapter implements it; the scene layer never sees the model reader.

#include <filesystem>
#include <string>

namespace qv {

class T3dObject;

class TModelSource {
 public:
  virtual ~TModelSource() = default;
  virtual int ObjectCount() const = 0;
  virtual T3dObject* GetObject(int index) const = 0;
  // The model file's folder, ending in a separator.
  virtual std::filesystem::path Folder() const = 0;
  // True when `file` exists and its last-write time is later than the model file's.
  virtual bool IsNewerThanModel(const std::filesystem::path& file) const = 0;
  // The model file as named to the reader, for messages.
  virtual std::string ModelFileName() const { return Folder().string(); }
};

}  // namespace qv
