#include "tools/ImportTextures.h"

#include <assimp/scene.h>

#include <cctype>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "scene/TgaWriter.h"

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

namespace qvtool {

namespace fs = std::filesystem;

namespace {

struct TSourceImage {
  std::string key;                     // what identifies it in the scene
  std::string label;                   // how the notes name it
  std::string stem;                    // the name it would like on disk
  std::vector<unsigned char> encoded;  // file bytes (PNG, JPEG, ...)
  const aiTexture* raw = nullptr;      // an embedded image already decoded by the loader
};

std::vector<unsigned char> ReadFileBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw std::runtime_error(file.string() + ": cannot open the texture image");
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Letters, digits, "_" and "-" only: the name goes into a file name on every system.
std::string SafeStem(const std::string& text) {
  std::string stem;
  for (char c : text) {
    if (std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-') stem += c;
  }
  return stem.empty() ? "texture" : stem;
}

TSourceImage FindImage(const aiScene& scene, const fs::path& sceneDir, const std::string& ref) {
  TSourceImage image;
  if (const aiTexture* embedded = scene.GetEmbeddedTexture(ref.c_str())) {
    const std::string name = embedded->mFilename.C_Str();
    image.key = "embedded:" + ref;
    image.label = "embedded image " + (name.empty() ? ref : "\"" + name + "\"");
    image.stem = SafeStem(name.empty() ? "image" + ref.substr(ref.find_first_not_of('*'))
                                       : fs::path(name).stem().string());
    if (embedded->mHeight == 0) {
      const auto* bytes = reinterpret_cast<const unsigned char*>(embedded->pcData);
      image.encoded.assign(bytes, bytes + embedded->mWidth);
    } else {
      image.raw = embedded;
    }
    return image;
  }
  // Exporters write paths as they found them on the author's machine: try the path as written,
  // then the bare file name beside the scene.
  fs::path file = sceneDir / fs::path(ref);
  if (!fs::exists(file)) file = sceneDir / fs::path(ref).filename();
  image.key = "file:" + fs::weakly_canonical(file).string();
  image.label = file.string();
  image.stem = SafeStem(file.stem().string());
  image.encoded = ReadFileBytes(file);
  return image;
}

// Rows bottom-up, as the game's TGA reader and OpenGL take them; alpha kept when the image has it.
qv::TTgaImage Decode(const TSourceImage& source) {
  qv::TTgaImage tga;
  if (source.raw) {
    const aiTexture& t = *source.raw;
    tga.Width = static_cast<int>(t.mWidth);
    tga.Height = static_cast<int>(t.mHeight);
    tga.BitsPerPixel = 32;
    tga.Pixels.resize(static_cast<size_t>(tga.Width) * tga.Height * 4);
    for (int y = 0; y < tga.Height; ++y) {
      for (int x = 0; x < tga.Width; ++x) {
        const aiTexel& p = t.pcData[static_cast<size_t>(tga.Height - 1 - y) * tga.Width + x];
        qv::SetTgaPixel(tga, x, y, p.r, p.g, p.b, p.a);
      }
    }
    return tga;
  }
  int width = 0, height = 0, channels = 0;
  if (source.encoded.size() > static_cast<size_t>(INT32_MAX)) {
    throw std::runtime_error(source.label + ": the image file is too large");
  }
  unsigned char* pixels =
      stbi_load_from_memory(source.encoded.data(), static_cast<int>(source.encoded.size()), &width,
                            &height, &channels, 4);
  if (!pixels) {
    throw std::runtime_error(source.label + ": cannot decode the image (" + stbi_failure_reason() +
                             ")");
  }
  if (width > 65535 || height > 65535) {
    stbi_image_free(pixels);
    throw std::runtime_error(source.label + ": " + std::to_string(width) + " x " +
                             std::to_string(height) + " pixels; a TGA holds at most 65535 a side");
  }
  const bool alpha = channels == 2 || channels == 4;
  tga = qv::MakeTgaImage(width, height, alpha ? 32 : 24);
  for (int y = 0; y < height; ++y) {
    const unsigned char* row = pixels + static_cast<size_t>(height - 1 - y) * width * 4;
    for (int x = 0; x < width; ++x) {
      const unsigned char* p = row + x * 4;
      qv::SetTgaPixel(tga, x, y, p[0], p[1], p[2], p[3]);
    }
  }
  stbi_image_free(pixels);
  return tga;
}

}  // namespace

std::string TTextureExport::Export(const aiScene& scene, const fs::path& sceneDir,
                                   const std::string& reference) {
  TSourceImage source = FindImage(scene, sceneDir, reference);
  if (auto done = written_.find(source.key); done != written_.end()) return done->second;
  const qv::TTgaImage tga = Decode(source);
  const std::string mapName = stems_.Claim(source.stem) + ".tga";
  qv::WriteTga(levelDir_ / mapName, tga);
  notes_.push_back("texture " + source.label + ": written as " + mapName + " (" +
                   std::to_string(tga.Width) + " x " + std::to_string(tga.Height) +
                   ", uncompressed " + std::to_string(tga.BitsPerPixel) + "-bit TGA)");
  written_[source.key] = mapName;
  return mapName;
}

}  // namespace qvtool
