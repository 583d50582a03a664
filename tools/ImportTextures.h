#pragma once
// The importer's textures: every image a scene's materials use, decoded (PNG, JPEG and the other
// formats stb_image reads, from a file or embedded in the scene) and written into the level folder
// as the uncompressed TGA the game reads. Each image is written once, however many materials use
// it; the map name handed back is what the material records ("crate.tga").

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tools/ImportNames.h"

struct aiScene;

namespace qvtool {

class TTextureExport {
 public:
  TTextureExport(std::filesystem::path levelDir, std::vector<std::string>& notes)
      : levelDir_(std::move(levelDir)), notes_(notes) {}

  // `reference` is the material's texture path as the scene holds it: a file relative to
  // `sceneDir`, or "*N" for the scene's embedded image N. Returns the map name. Raises
  // std::runtime_error naming the image when it cannot be read or decoded.
  std::string Export(const aiScene& scene, const std::filesystem::path& sceneDir,
                     const std::string& reference);

 private:
  std::filesystem::path levelDir_;
  std::vector<std::string>& notes_;
  TNameTable stems_{kTextureStemLimit, TNameCase::Insensitive};
  std::map<std::string, std::string> written_;  // source key -> map name
};

}  // namespace qvtool
