// libFuzzer target for the settings file. The bytes are written as the settings file and read by
// TParams; it may refuse them with an EGL that names the file (an empty key setting, a size or
// depth out of range), or give a record whose numbers lie in their ranges and whose every level
// folder ends in a delimiter and can be resolved.
//
// QV_WRITE_SEEDS=DIR fuzz_params -runs=0 writes seed files into DIR first: the demo settings file
// and a few refused ones.

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/EGL.h"
#include "platform/LogFile.h"
#include "shell/Params.h"

namespace {

using namespace qv;
namespace fs = std::filesystem;

void WriteSeeds(const fs::path& dir) {
  fs::create_directories(dir);
  std::error_code ec;
  fs::copy_file(QV_BUILD_DIR "/quorvantille.ini", dir / "demo.ini",
                fs::copy_options::overwrite_existing, ec);
  std::ofstream(dir / "empty-key.ini", std::ios::binary) << "[Keys]\r\nFogKey=\r\n";
  std::ofstream(dir / "bits.ini", std::ios::binary) << "[Window]\nBits=256\nWidth=-1\n";
  std::ofstream(dir / "levels.ini", std::ios::binary)
      << "[Levels]\na=lv0\nA=other\nb=lv1\\\nc=\nd=\"q/\"\n";
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  SetGlobalLogFile("");  // EGL logs its message; the runs need no log
  if (const char* dir = std::getenv("QV_WRITE_SEEDS")) WriteSeeds(dir);
  return 0;
}

// Where the time of an input went, and what keeps it lean: the settings file is rewritten through
// a descriptor kept open (an ofstream per input made ASan allocate and fill its buffer), and level
// folders are resolved against an empty folder (the fuzzer's own directory is the source tree, so
// the path layer listed it for every level line). Only the first few level folders are resolved:
// each line runs the same path code, and a grown corpus named hundreds, so that three quarters
// of an input's time went to the allocator behind the path layer.
constexpr int kLevelsResolved = 8;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const fs::path folder = [] {
    const fs::path made = fs::temp_directory_path() / ("fuzz_params_" + std::to_string(getpid()));
    fs::create_directories(made);
    return made;
  }();
  static const fs::path file = folder / "settings.ini";
  static const int descriptor = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (descriptor < 0 || ftruncate(descriptor, 0) != 0 ||
      pwrite(descriptor, data, size, 0) != static_cast<ssize_t>(size))
    std::abort();
  const fs::path started = fs::current_path();
  fs::current_path(folder);
  try {
    const TParams params(file);
    if (params.Width < 0 || params.Height < 0 || params.Bits < 0 || params.Bits > 255) std::abort();
    for (int i = 0; i < params.LevelCount(); ++i) {
      const std::string dir = params.LevelDir(i);
      if (dir.empty() || (dir.back() != '\\' && dir.back() != '/')) std::abort();
      if (i < kLevelsResolved) params.LevelFile(i, "Level.ini");
    }
  } catch (const EGL& e) {
    if (std::string(e.what()).find(file.string()) == std::string::npos) std::abort();
  }
  fs::current_path(started);
  return 0;
}
