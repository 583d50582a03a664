// libFuzzer target for the tree-file reader. Each input is written to a file and read as the tree
// of a level of eight objects; the reader must either raise or give a tree that holds every object
// exactly once and answers a query, never crash, hang or allocate beyond the input.

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "collision/BOPTree.h"
#include "platform/LogFile.h"
#include "scene/3dObject.h"
#include "scene/3dObjectList.h"

namespace {

using namespace qv;

class TFuzzObject : public T3dObject {
 public:
  explicit TFuzzObject(float x) { BoundingBox = {x, x + 1, 0, 1, 0, 1}; }
  void GetName(std::string& name) const override { name = "o"; }
  void CalcBoundingBox() override {}
  void CalcBoundingSphere() override {}
  void CalcTransparent() override {}
  void Draw() override {}
  void Highlight() override {}
  void Unhighlight() override {}
};

bool Never(const T3dObject&) { return false; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static std::vector<std::unique_ptr<TFuzzObject>> objects;
  static T3dObjectList list(TOwnership::Refers);
  static const std::filesystem::path file =
      std::filesystem::temp_directory_path() / ("fuzz_boptree_" + std::to_string(getpid()));
  if (objects.empty()) {
    GlobalLog().Restart(std::filesystem::temp_directory_path() / "fuzz_boptree.log");
    for (int i = 0; i < 8; ++i) {
      objects.push_back(std::make_unique<TFuzzObject>(2.0f * i));
      list.Add(objects.back().get());
    }
  }
  std::ofstream(file, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  try {
    auto tree = TBOPTree::Load(list, file, {&Never, &Never});
    if (tree->AverageDepth() < 0) std::abort();
    tree->QueryCollidees({0, 16, 0, 1, 0, 1});
  } catch (const std::exception&) {
  }
  return 0;
}
