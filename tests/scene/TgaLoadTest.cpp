#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <streambuf>
#include <vector>

#include "scene/Texture.h"
#include "scene/TgaWriter.h"
#include "tests/support/TempDir.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

class TgaLoad : public ::testing::Test {
 protected:
  test::TempDir temp_;
  const fs::path& dir_ = temp_.Path();

  int Load(const std::vector<std::uint8_t>& bytes, TTgaData& data) {
    const fs::path file = dir_ / "image.tga";
    WriteBytes(file, bytes);
    return LoadTGA(file.string(), data);
  }
  int Load(const std::vector<std::uint8_t>& bytes) {
    TTgaData data;
    return Load(bytes, data);
  }
};

std::vector<std::uint8_t> Valid(int bits = 24, int width = 3, int height = 2) {
  TTgaImage image = MakeTgaImage(width, height, bits, 10, 20, 30, 40);
  SetTgaPixel(image, 2, 1, 200, 150, 100, 50);
  return EncodeTga(image);
}

TEST_F(TgaLoad, ReadsTrueColourImagesWithTheirBytesUnchanged) {
  TTgaData data;
  const std::vector<std::uint8_t> file = Valid(24);
  ASSERT_EQ(Load(file, data), tgaOk);
  EXPECT_EQ(data.Width, 3);
  EXPECT_EQ(data.Height, 2);
  EXPECT_EQ(data.BitsPerPixel, 24);
  EXPECT_EQ(data.Pixels, std::vector<std::uint8_t>(file.begin() + 18, file.end()));
  // Pixel (2, 1) is the last one stored: blue, green, red.
  EXPECT_EQ(data.Pixels[15], 100);
  EXPECT_EQ(data.Pixels[17], 200);

  ASSERT_EQ(Load(Valid(32), data), tgaOk);
  EXPECT_EQ(data.BitsPerPixel, 32);
  EXPECT_EQ(data.Pixels.size(), 3u * 2 * 4);
  EXPECT_EQ(data.Pixels[23], 50);  // alpha of the last pixel

  // The descriptor byte (origin corner, alpha depth) and bytes after the pixels do not matter.
  std::vector<std::uint8_t> topDown = EncodeTga(MakeTgaImage(2, 2, 32), ETgaOrigin::TopLeft);
  topDown[17] = 0xFF;
  topDown.insert(topDown.end(), 26, 0);
  EXPECT_EQ(Load(topDown), tgaOk);
}

TEST_F(TgaLoad, EveryHeaderFaultHasItsResultCode) {
  TTgaData data;
  EXPECT_EQ(LoadTGA((dir_ / "missing.tga").string(), data), tgaCannotOpen);
  EXPECT_EQ(LoadTGA(dir_.string(), data), tgaCannotOpen);  // a folder is no image

  EXPECT_EQ(Load({}), tgaShortHeader);
  EXPECT_EQ(Load({0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0}), tgaShortHeader);

  const std::vector<std::uint8_t> good = Valid();
  // Image identifier, colour map, run-length compression, grey scale, x origin, y origin.
  for (auto [offset, value] : {std::pair{0, 5}, {1, 1}, {2, 10}, {2, 3}, {8, 1}, {11, 1}}) {
    std::vector<std::uint8_t> bad = good;
    bad[offset] = static_cast<std::uint8_t>(value);
    EXPECT_EQ(Load(bad), tgaBadHeader) << "byte " << offset << " = " << value;
  }

  EXPECT_EQ(Load(std::vector<std::uint8_t>(good.begin(), good.begin() + 12)), tgaShortImageSpec);
  EXPECT_EQ(Load(std::vector<std::uint8_t>(good.begin(), good.begin() + 17)), tgaShortImageSpec);

  // Zero width, zero height, 16 and 8 bits.
  for (auto [offset, value] : {std::pair{12, 0}, {14, 0}, {16, 16}, {16, 8}}) {
    std::vector<std::uint8_t> bad = good;
    bad[offset] = static_cast<std::uint8_t>(value);
    if (offset == 12 || offset == 14) bad[offset + 1] = 0;
    EXPECT_EQ(Load(bad), tgaBadImageSpec) << "byte " << offset << " = " << value;
  }
}

TEST_F(TgaLoad, ShortPixelDataIsRefusedAndLeavesNoPixels) {
  TTgaData data;
  std::vector<std::uint8_t> file = Valid(32);
  file.pop_back();
  EXPECT_EQ(Load(file, data), tgaShortPixels);
  EXPECT_TRUE(data.Pixels.empty());
  EXPECT_EQ(Load(std::vector<std::uint8_t>(file.begin(), file.begin() + 18)), tgaShortPixels);

  // 65535 x 65535 x 32 bits promised (16 GiB), 10 bytes present: refused without trying.
  std::vector<std::uint8_t> huge = Valid(32);
  huge[12] = huge[13] = huge[14] = huge[15] = 0xFF;
  huge.resize(28);
  EXPECT_EQ(Load(huge, data), tgaShortPixels);
  EXPECT_EQ(data.Pixels.capacity(), 0u);
}

// A stream that cannot tell its length or seek, like a pipe.
class TPipeBuffer : public std::streambuf {
 public:
  explicit TPipeBuffer(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {
    char* begin = reinterpret_cast<char*>(bytes_.data());
    setg(begin, begin, begin + bytes_.size());
  }

 private:
  std::vector<std::uint8_t> bytes_;
};

TEST_F(TgaLoad, StreamsWithoutALengthAreReadAsFarAsTheyGo) {
  const std::vector<std::uint8_t> file = Valid(24, 200, 200);  // over one read chunk
  {
    TPipeBuffer buffer(file);
    std::istream in(&buffer);
    TTgaData data;
    ASSERT_EQ(LoadTGA(in, data), tgaOk);
    EXPECT_EQ(data.Pixels, std::vector<std::uint8_t>(file.begin() + 18, file.end()));
  }
  {
    TPipeBuffer buffer(std::vector<std::uint8_t>(file.begin(), file.end() - 1));
    std::istream in(&buffer);
    TTgaData data;
    EXPECT_EQ(LoadTGA(in, data), tgaShortPixels);
    EXPECT_TRUE(data.Pixels.empty());
  }
}

TEST_F(TgaLoad, TextureNamesGetTheTgaExtensionAndAnyLetterCaseOnDisk) {
  EXPECT_EQ(TgaFileName("wall.jpg"), "wall.tga");
  EXPECT_EQ(TgaFileName("wall"), "wall.tga");
  EXPECT_EQ(TgaFileName("maps.v2/wall"), "maps.v2/wall.tga");
  EXPECT_EQ(TgaFileName("maps.v2\\Wall.Bmp"), "maps.v2\\Wall.tga");
  EXPECT_EQ(TgaFileName("a.b.gif"), "a.b.tga");

  fs::create_directories(dir_ / "Maps");
  WriteBytes(dir_ / "Maps" / "brick.TGA", Valid());
  TTgaData data;
  EXPECT_EQ(LoadTGA(TgaFileName((dir_ / "MAPS").string() + "\\BRICK.JPG"), data), tgaOk);
}

}  // namespace
}  // namespace qv
