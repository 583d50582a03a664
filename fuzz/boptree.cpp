// libFuzzer target for the tree-file reader. Each input is written to a file and read as the tree
// of a level of eight objects; the reader must either raise or give a tree that holds every object
// exactly once and answers a query, never crash, hang or allocate beyond the input.
//
// QV_WRITE_SEEDS=DIR fuzz_boptree -runs=0 writes seed files into DIR first: the tree built over
// the same eight objects as its file, and a few broken ones.

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
  // Names apart, so the file written for a built tree names every object once.
  TFuzzObject(float x, int index) : name_("o" + std::to_string(index)) {
    BoundingBox = {x, x + 1, 0, 1, 0, 1};
  }
  void GetName(std::string& name) const override { name = name_; }
  void CalcBoundingBox() override {}
  void CalcBoundingSphere() override {}
  void CalcTransparent() override {}
  void Draw() override {}
  void Highlight() override {}
  void Unhighlight() override {}

 private:
  std::string name_;
};

bool Never(const T3dObject&) { return false; }

std::vector<std::unique_ptr<TFuzzObject>> objects;
T3dObjectList list(TOwnership::Refers);

void WriteSeeds(const std::filesystem::path& dir) {
  std::filesystem::create_directories(dir);
  TBOPTree::Build(list, {&Never, &Never})->SaveToFile(dir / "built.bop");
  std::ofstream(dir / "short.bop", std::ios::binary) << "X\r\n0\r\n";
  std::ofstream(dir / "twice.bop", std::ios::binary) << "X\r\n1\r\n1\r\n";
  std::ofstream(dir / "lower.bop", std::ios::binary) << "x\r\n0\r\n1\r\n";
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  GlobalLog().Restart(std::filesystem::temp_directory_path() / "fuzz_boptree.log");
  for (int i = 0; i < 8; ++i) {
    objects.push_back(std::make_unique<TFuzzObject>(2.0f * i, i));
    list.Add(objects.back().get());
  }
  if (const char* dir = std::getenv("QV_WRITE_SEEDS")) WriteSeeds(dir);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::filesystem::path file =
      std::filesystem::temp_directory_path() / ("fuzz_boptree_" + std::to_string(getpid()));
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
