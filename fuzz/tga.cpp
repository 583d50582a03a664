// libFuzzer target for the TGA loader. Every input is read three times: from a seekable stream,
// from one that cannot tell its length (like a pipe), and as a file by a texture, the way a
// material loads its map short of the GL upload; all must agree on the result and the pixels.
// A crash, a sanitizer report, a disagreement or an allocation beyond what the input holds is a
// finding (run with -rss_limit_mb / -malloc_limit_mb to catch the last).
//
// QV_WRITE_SEEDS=DIR fuzz_tga -runs=0 writes writer-made seed files into DIR first.

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <istream>
#include <sstream>
#include <streambuf>
#include <string>

#include "scene/Texture.h"
#include "scene/TgaWriter.h"

namespace {

using namespace qv;

class TPipeBuffer : public std::streambuf {
 public:
  TPipeBuffer(const std::uint8_t* data, std::size_t size) {
    char* begin = const_cast<char*>(reinterpret_cast<const char*>(data));
    setg(begin, begin, begin + size);
  }
};

// A texture that reads its file but is never uploaded, so it needs no GL context.
class TFileTexture : public TTexture {
 public:
  explicit TFileTexture(const std::string& fileName) { FileName = fileName; }
};

void WriteSeeds(const std::filesystem::path& dir) {
  std::filesystem::create_directories(dir);
  TTgaImage rgb = MakeTgaImage(3, 2, 24, 10, 20, 30);
  SetTgaPixel(rgb, 2, 1, 200, 100, 0);
  WriteTga(dir / "rgb.tga", rgb);
  WriteTga(dir / "rgba.tga", MakeTgaImage(4, 4, 32, 1, 2, 3, 4));
  WriteTga(dir / "topdown.tga", MakeTgaImage(2, 3, 32), ETgaOrigin::TopLeft);
  std::vector<std::uint8_t> truncated = EncodeTga(MakeTgaImage(5, 5, 24));
  truncated.resize(40);
  WriteBytes(dir / "truncated.tga", truncated);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (const char* dir = std::getenv("QV_WRITE_SEEDS")) WriteSeeds(dir);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::istringstream seekable(std::string(reinterpret_cast<const char*>(data), size));
  TTgaData fromFile;
  const int result = LoadTGA(seekable, fromFile);

  TPipeBuffer buffer(data, size);
  std::istream pipe(&buffer);
  TTgaData fromPipe;
  const int pipeResult = LoadTGA(pipe, fromPipe);

  if (result != pipeResult || fromFile.Pixels != fromPipe.Pixels) std::abort();
  if (result < tgaOk || result > tgaShortPixels) std::abort();
  if (result == tgaOk && fromFile.Pixels.size() != std::size_t(fromFile.Width) * fromFile.Height *
                                                       fromFile.BitsPerPixel / 8)
    std::abort();
  if (result != tgaOk && !fromFile.Pixels.empty()) std::abort();

  static const std::string file =
      (std::filesystem::temp_directory_path() / ("fuzz_tga_" + std::to_string(getpid()) + ".tga"))
          .string();
  std::ofstream(file, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  TFileTexture texture(file);
  if (texture.LoadTGA() != result || texture.Pixels != fromFile.Pixels) std::abort();
  if (result == tgaOk && (texture.ImageSize != std::int64_t(texture.Pixels.size()) ||
                          texture.HasAlpha != (texture.BitsPerPixel == 32)))
    std::abort();
  return 0;
}
