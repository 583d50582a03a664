#pragma once
// Writing uncompressed true-colour TGA files: the only image format the game reads. Used by the
// demo-content generator and by tests that need texture files made on the spot.
//
// Pixel bytes are taken exactly as they go into the file: blue, green, red (and alpha for 32 bits)
// per pixel, rows in the order they are stored. With the usual bottom-left origin the first row is
// the bottom of the picture, which is also OpenGL's row order. The origin flag only sets the
// descriptor bit (0x20) that tells a viewer the rows run top-down; the game itself ignores it.
// The header always carries no image identifier, no colour map and origin coordinates 0, since the
// game refuses anything else. Bad arguments (size 0 or above 65535, depth other than 24/32, a pixel
// buffer of the wrong length) throw std::invalid_argument; a file that cannot be written throws
// std::runtime_error naming the file.

#include <cstdint>
#include <filesystem>
#include <vector>

namespace qv {

enum class ETgaOrigin { BottomLeft, TopLeft };

struct TTgaImage {
  int Width = 0;                     // pixels, 1..65535
  int Height = 0;                    // pixels, 1..65535
  int BitsPerPixel = 24;             // 24 (B,G,R) or 32 (B,G,R,A)
  std::vector<std::uint8_t> Pixels;  // Width * Height * BitsPerPixel / 8 bytes, rows in file order
};

// An image of the given size and depth filled with one colour.
TTgaImage MakeTgaImage(int width, int height, int bitsPerPixel, std::uint8_t r = 0,
                       std::uint8_t g = 0, std::uint8_t b = 0, std::uint8_t a = 255);

// Sets the pixel at column x of stored row y; alpha is ignored for 24-bit images. Out-of-range
// coordinates throw std::out_of_range.
void SetTgaPixel(TTgaImage& image, int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b,
                 std::uint8_t a = 255);

// The complete file: 18-byte header followed by the pixel bytes.
std::vector<std::uint8_t> EncodeTga(const TTgaImage& image,
                                    ETgaOrigin origin = ETgaOrigin::BottomLeft);

void WriteTga(const std::filesystem::path& file, const TTgaImage& image,
              ETgaOrigin origin = ETgaOrigin::BottomLeft);

// Writes any byte buffer to a file (for tests that corrupt an encoded image on purpose).
void WriteBytes(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes);

}  // namespace qv
