#include "scene/TgaWriter.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>
#include <string>

namespace qv {

namespace {

void CheckShape(int width, int height, int bitsPerPixel) {
  if (width < 1 || width > 65535 || height < 1 || height > 65535)
    throw std::invalid_argument("TGA size " + std::to_string(width) + "x" + std::to_string(height) +
                                " outside 1..65535");
  if (bitsPerPixel != 24 && bitsPerPixel != 32)
    throw std::invalid_argument("TGA depth " + std::to_string(bitsPerPixel) +
                                " bits: only 24 and 32 are written");
}

std::size_t PixelBytes(int width, int height, int bitsPerPixel) {
  return static_cast<std::size_t>(width) * static_cast<std::size_t>(height) *
         static_cast<std::size_t>(bitsPerPixel / 8);
}

}  // namespace

TTgaImage MakeTgaImage(int width, int height, int bitsPerPixel, std::uint8_t r, std::uint8_t g,
                       std::uint8_t b, std::uint8_t a) {
  CheckShape(width, height, bitsPerPixel);
  TTgaImage image;
  image.Width = width;
  image.Height = height;
  image.BitsPerPixel = bitsPerPixel;
  image.Pixels.resize(PixelBytes(width, height, bitsPerPixel));
  const std::size_t step = static_cast<std::size_t>(bitsPerPixel / 8);
  for (std::size_t i = 0; i < image.Pixels.size(); i += step) {
    image.Pixels[i] = b;
    image.Pixels[i + 1] = g;
    image.Pixels[i + 2] = r;
    if (step == 4) image.Pixels[i + 3] = a;
  }
  return image;
}

void SetTgaPixel(TTgaImage& image, int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b,
                 std::uint8_t a) {
  if (x < 0 || y < 0 || x >= image.Width || y >= image.Height)
    throw std::out_of_range("TGA pixel (" + std::to_string(x) + ", " + std::to_string(y) +
                            ") outside the image");
  const std::size_t step = static_cast<std::size_t>(image.BitsPerPixel / 8);
  const std::size_t at = (static_cast<std::size_t>(y) * static_cast<std::size_t>(image.Width) +
                          static_cast<std::size_t>(x)) *
                         step;
  if (at + step > image.Pixels.size())
    throw std::out_of_range("TGA pixel buffer shorter than the image size");
  image.Pixels[at] = b;
  image.Pixels[at + 1] = g;
  image.Pixels[at + 2] = r;
  if (step == 4) image.Pixels[at + 3] = a;
}

std::vector<std::uint8_t> EncodeTga(const TTgaImage& image, ETgaOrigin origin) {
  CheckShape(image.Width, image.Height, image.BitsPerPixel);
  const std::size_t size = PixelBytes(image.Width, image.Height, image.BitsPerPixel);
  if (image.Pixels.size() != size)
    throw std::invalid_argument("TGA pixel buffer holds " + std::to_string(image.Pixels.size()) +
                                " bytes, the image needs " + std::to_string(size));
  std::vector<std::uint8_t> out(18 + size, 0);
  out[2] = 2;  // uncompressed true colour
  out[12] = static_cast<std::uint8_t>(image.Width & 0xFF);
  out[13] = static_cast<std::uint8_t>(image.Width >> 8);
  out[14] = static_cast<std::uint8_t>(image.Height & 0xFF);
  out[15] = static_cast<std::uint8_t>(image.Height >> 8);
  out[16] = static_cast<std::uint8_t>(image.BitsPerPixel);
  std::uint8_t descriptor = image.BitsPerPixel == 32 ? 8 : 0;  // alpha bits per pixel
  if (origin == ETgaOrigin::TopLeft) descriptor |= 0x20;
  out[17] = descriptor;
  std::copy(image.Pixels.begin(), image.Pixels.end(), out.begin() + 18);
  return out;
}

void WriteBytes(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes) {
  std::ofstream stream(file, std::ios::binary | std::ios::trunc);
  if (!stream) throw std::runtime_error(file.string() + ": cannot open for writing");
  stream.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
  stream.close();
  if (!stream) throw std::runtime_error(file.string() + ": write failed");
}

void WriteTga(const std::filesystem::path& file, const TTgaImage& image, ETgaOrigin origin) {
  WriteBytes(file, EncodeTga(image, origin));
}

}  // namespace qv
