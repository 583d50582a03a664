#include "scene/Texture.h"

#include <GL/glext.h>
#include <GL/glu.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>

#include "platform/EGL.h"
#include "platform/Paths.h"
#include "platform/Window.h"

namespace qv {

namespace {

// No image identifier, no colour map, type 2 (uncompressed true colour), origin (0, 0).
constexpr std::array<std::uint8_t, 12> kHeader{0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};

// Reads up to n bytes; returns how many arrived.
std::size_t ReadSome(std::istream& in, std::uint8_t* to, std::size_t n) {
  in.read(reinterpret_cast<char*>(to), static_cast<std::streamsize>(n));
  return static_cast<std::size_t>(in.gcount());
}

// Bytes left in the stream, or -1 when the stream cannot tell.
std::int64_t Remaining(std::istream& in) {
  const std::istream::pos_type here = in.tellg();
  if (here == std::istream::pos_type(-1)) return -1;
  in.seekg(0, std::ios::end);
  const std::istream::pos_type end = in.tellg();
  in.seekg(here);
  if (end == std::istream::pos_type(-1) || !in) {
    in.clear();
    return -1;
  }
  return static_cast<std::int64_t>(end - here);
}

}  // namespace

int LoadTGA(std::istream& in, TTgaData& data) {
  data.Pixels.clear();
  std::array<std::uint8_t, 12> header{};
  if (ReadSome(in, header.data(), header.size()) < header.size()) return tgaShortHeader;
  if (header != kHeader) return tgaBadHeader;

  std::array<std::uint8_t, 6> spec{};
  if (ReadSome(in, spec.data(), spec.size()) < spec.size()) return tgaShortImageSpec;
  data.Width = spec[0] + 256 * spec[1];
  data.Height = spec[2] + 256 * spec[3];
  data.BitsPerPixel = spec[4];
  if (data.Width == 0 || data.Height == 0 || (data.BitsPerPixel != 24 && data.BitsPerPixel != 32))
    return tgaBadImageSpec;

  // Up to 65535 x 65535 x 4 bytes: beyond 32 bits, so the size is computed in 64.
  const std::int64_t imageSize = std::int64_t(data.Width) * data.Height * (data.BitsPerPixel / 8);
  const std::int64_t remaining = Remaining(in);
  if (remaining >= 0 && remaining < imageSize) return tgaShortPixels;
  if (remaining >= 0) {
    data.Pixels.resize(static_cast<std::size_t>(imageSize));
    if (ReadSome(in, data.Pixels.data(), data.Pixels.size()) < data.Pixels.size()) {
      data.Pixels = {};
      return tgaShortPixels;
    }
    return tgaOk;
  }
  // A stream that cannot say how much it holds: grow with what actually arrives.
  constexpr std::size_t kChunk = 1 << 16;
  while (std::int64_t(data.Pixels.size()) < imageSize) {
    const std::size_t want =
        static_cast<std::size_t>(std::min<std::int64_t>(kChunk, imageSize - data.Pixels.size()));
    const std::size_t at = data.Pixels.size();
    data.Pixels.resize(at + want);
    if (ReadSome(in, data.Pixels.data() + at, want) < want) {
      data.Pixels = {};
      return tgaShortPixels;
    }
  }
  return tgaOk;
}

int LoadTGA(const std::string& fileName, TTgaData& data) {
  data.Pixels.clear();
  const std::filesystem::path path = ResolvePath(fileName);
  // Only plain files: a folder "opens" on Linux and a pipe or device could block or never end.
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return tgaCannotOpen;
  std::ifstream in(path, std::ios::binary);
  if (!in) return tgaCannotOpen;
  return LoadTGA(in, data);
}

std::string TgaFileName(const std::string& name) {
  const std::size_t lastSeparator = name.find_last_of("/\\");
  const std::size_t dot = name.rfind('.');
  const bool hasExtension =
      dot != std::string::npos && (lastSeparator == std::string::npos || dot > lastSeparator);
  return (hasExtension ? name.substr(0, dot) : name) + ".tga";
}

TTexture::TTexture(const std::string& fileName) : FileName(TgaFileName(fileName)) {
  if (LoadTGA() != tgaOk) throw EGL("Error Loading Texture:" + FileName);
  MakeName();
  // Eight bits a channel, not the driver's compressed formats: Mesa's software renderer stores
  // those as S3TC blocks (DXT1, DXT5), and the showcase walk took about a quarter more processor
  // time with them.
  if (HasAlpha) {
    InternalFormat = GL_RGBA8;
    Format = GL_BGRA_EXT;
  } else {
    InternalFormat = GL_RGB8;
    Format = GL_BGR_EXT;
  }
}

TTexture::~TTexture() {
  if (TextureName != 0 && NameContext.IsCurrent()) glDeleteTextures(1, &TextureName);
}

void TTexture::MakeName() {
  // Without a context (a level read by a tool) there is nothing to name; the first upload does.
  if (!HaveGLContext()) return;
  glGenTextures(1, &TextureName);
  NameContext.MarkCurrent();
}

void TTexture::RenewNameForThisContext() {
  if (NameContext.IsCurrent()) return;
  MakeName();
}

int TTexture::LoadTGA() {
  TTgaData data;
  const int result = qv::LoadTGA(FileName, data);
  Pixels = std::move(data.Pixels);
  if (result != tgaOk) return result;
  Width = data.Width;
  Height = data.Height;
  BitsPerPixel = data.BitsPerPixel;
  HasAlpha = BitsPerPixel == 32;
  BytesPerPixel = BitsPerPixel / 8;
  ImageSize = std::int64_t(Width) * Height * BytesPerPixel;
  return result;
}

void TTexture::Bind() const { glBindTexture(GL_TEXTURE_2D, TextureName); }

void TTexture::Upload() {
  RequireGLContext();
  RenewNameForThisContext();
  Bind();
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, WrapS);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, WrapT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, MinFilter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, MagFilter);
  // TGA rows are tightly packed; with the default 4-byte row alignment a 24-bit image whose width
  // is not a multiple of 4 would be read skewed and past the end of Pixels.
  glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
  glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
  gluBuild2DMipmaps(GL_TEXTURE_2D, InternalFormat, Width, Height, Format, GL_UNSIGNED_BYTE,
                    Pixels.data());
  glPopClientAttrib();
}

}  // namespace qv
