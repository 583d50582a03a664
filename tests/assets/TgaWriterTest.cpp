// The TGA writer against the game's own TGA reader: what one writes the other must read unchanged.

#include <gtest/gtest.h>

#include <sstream>

#include "scene/Texture.h"
#include "scene/TgaWriter.h"
#include "tests/support/TempDir.h"

namespace qv {
namespace {

TTgaData ReadBack(const std::vector<std::uint8_t>& bytes) {
  std::istringstream in(std::string(bytes.begin(), bytes.end()));
  TTgaData data;
  EXPECT_EQ(LoadTGA(in, data), tgaOk);
  return data;
}

TEST(TgaWriterTest, GameReaderGetsBackSizeDepthAndEveryPixel) {
  for (int bits : {24, 32}) {
    TTgaImage image = MakeTgaImage(5, 3, bits, 10, 20, 30, 40);
    SetTgaPixel(image, 4, 2, 200, 150, 100, 50);  // top right corner of a bottom-up image
    const std::vector<std::uint8_t> bytes = EncodeTga(image);
    ASSERT_EQ(bytes.size(), 18u + 5 * 3 * bits / 8);
    const TTgaData data = ReadBack(bytes);
    EXPECT_EQ(data.Width, 5);
    EXPECT_EQ(data.Height, 3);
    EXPECT_EQ(data.BitsPerPixel, bits);
    EXPECT_EQ(data.Pixels, image.Pixels);
    // Blue, green, red (alpha) order; the last pixel of the last stored row.
    const std::size_t step = bits / 8, last = data.Pixels.size() - step;
    EXPECT_EQ(data.Pixels[last], 100);
    EXPECT_EQ(data.Pixels[last + 1], 150);
    EXPECT_EQ(data.Pixels[last + 2], 200);
    if (bits == 32) {
      EXPECT_EQ(data.Pixels[last + 3], 50);
      EXPECT_EQ(data.Pixels[3], 40);
    }
  }
}

TEST(TgaWriterTest, DescriptorCarriesAlphaDepthAndOriginButHeaderStaysPlain) {
  const std::vector<std::uint8_t> bottomUp = EncodeTga(MakeTgaImage(300, 2, 24));
  const std::vector<std::uint8_t> topDown = EncodeTga(MakeTgaImage(2, 2, 32), ETgaOrigin::TopLeft);
  const std::vector<std::uint8_t> plain = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_TRUE(std::equal(plain.begin(), plain.end(), bottomUp.begin()));
  EXPECT_TRUE(std::equal(plain.begin(), plain.end(), topDown.begin()));
  EXPECT_EQ(bottomUp[12], 300 & 0xFF);  // little-endian width
  EXPECT_EQ(bottomUp[13], 300 >> 8);
  EXPECT_EQ(bottomUp[17], 0);
  EXPECT_EQ(topDown[17], 0x20 | 8);
}

TEST(TgaWriterTest, RefusesShapesTheGameCannotReadAndPixelsOutsideTheImage) {
  EXPECT_THROW(MakeTgaImage(0, 4, 24), std::invalid_argument);
  EXPECT_THROW(MakeTgaImage(4, 65536, 24), std::invalid_argument);
  EXPECT_THROW(MakeTgaImage(4, 4, 16), std::invalid_argument);
  TTgaImage image = MakeTgaImage(4, 4, 24);
  EXPECT_THROW(SetTgaPixel(image, 4, 0, 1, 2, 3), std::out_of_range);
  EXPECT_THROW(SetTgaPixel(image, 0, -1, 1, 2, 3), std::out_of_range);
  image.Pixels.pop_back();
  EXPECT_THROW(EncodeTga(image), std::invalid_argument);
  image.BitsPerPixel = 32;  // the buffer no longer matches the declared depth
  EXPECT_THROW(EncodeTga(image), std::invalid_argument);
}

TEST(TgaWriterTest, WritesFilesAndNamesTheFileItCannotWrite) {
  test::TempDir dir;
  const auto file = dir.Path() / "red.tga";
  WriteTga(file, MakeTgaImage(2, 2, 24, 255, 0, 0));
  TTgaData data;
  ASSERT_EQ(LoadTGA(file.string(), data), tgaOk);
  EXPECT_EQ(data.Pixels[2], 255);
  const auto missing = dir.Path() / "no such folder" / "x.tga";
  try {
    WriteTga(missing, MakeTgaImage(2, 2, 24));
    FAIL() << "writing into a missing folder succeeded";
  } catch (const std::runtime_error& error) {
    EXPECT_NE(std::string(error.what()).find("no such folder"), std::string::npos);
  }
}

}  // namespace
}  // namespace qv
