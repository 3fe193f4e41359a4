// Pavix's TGA images: what the loader refuses, the row order, each
// conversion into texture words, resampling and reduction.
#include "meshedit/core/tga_image.h"

#include <gtest/gtest.h>

#include "meshedit/core/mtf_file.h"
#include "pavix_device_fixture.h"

namespace {

using pavix::CTgaImage;
using pavixtest::TgaFile;

int ReadBytes(CTgaImage& image, const std::vector<std::uint8_t>& bytes) {
  auto file = pavix::MtfFromBytes(bytes);
  return image.Read(file.get());
}

TEST(PavixTgaLoad, RefusesWhatIsNotAnUncompressedTrueColourImageWithItsPixels) {
  const auto good = TgaFile(3, 2, 24, [](int x, int y) { return 0x010203u * static_cast<std::uint32_t>(x + y); });
  struct Case {
    const char* what;
    std::size_t offset;
    std::uint8_t value;
    int result;
  };
  const Case cases[] = {
      {"image id length", 0, 1, 0},  {"colour map type", 1, 1, 0}, {"run-length image", 2, 10, 0},
      {"colour map image", 2, 1, 0}, {"map entry size", 7, 8, 0},
      // Another depth reads nothing, and an image without pixels has none to
      // read: both load, empty, and are not taken for a missing file.
      {"16-bit pixels", 16, 16, 1},  {"8-bit pixels", 16, 8, 1},   {"no width", 12, 0, 1},
      {"no height", 14, 0, 1},
  };
  CTgaImage image;
  ASSERT_EQ(ReadBytes(image, good), 1);
  for (const Case& c : cases) {
    auto bytes = good;
    bytes[c.offset] = c.value;
    if (c.offset == 12 || c.offset == 14) bytes[c.offset + 1] = 0;
    ASSERT_EQ(ReadBytes(image, good), 1);  // an earlier image goes either way
    EXPECT_EQ(ReadBytes(image, bytes), c.result) << c.what;
    EXPECT_EQ(image.GetWidth(), 0) << c.what;
    EXPECT_EQ(image.GetHeight(), 0) << c.what;
    EXPECT_EQ(image.GetDataSize(), 0u) << c.what;
  }
  // Short pixel data, a huge size with no pixels behind it, a cut header.
  auto shortData = good;
  shortData.pop_back();
  EXPECT_EQ(ReadBytes(image, shortData), 0);
  auto huge = good;
  huge[12] = huge[13] = huge[14] = huge[15] = 0xFF;
  EXPECT_EQ(ReadBytes(image, huge), 0);
  EXPECT_EQ(ReadBytes(image, std::vector<std::uint8_t>(good.begin(), good.begin() + 10)), 0);
  EXPECT_EQ(image.Read(nullptr), 0);
}

class PavixTgaFile : public testsupport::TempDirTest {};

TEST_F(PavixTgaFile, OpensTheNameWithTheExtensionTga) {
  dir.Write("BANK.TGA", TgaFile(2, 2, 32, [](int x, int y) { return 0x11223344u + static_cast<std::uint32_t>(x + 2 * y); }));
  CTgaImage image;
  ASSERT_EQ(image.Load("BANK.bmp"), 1);
  EXPECT_EQ(image.GetWidth(), 2);
  EXPECT_EQ(image.GetHeight(), 2);
  EXPECT_EQ(image.GetBitsPerPixel(), 32);
  // Rows top first after the load: pixel (1, 0) is 0x11223345, stored B, G, R, A.
  EXPECT_EQ(image.GetData()[4], 0x45);
  EXPECT_EQ(image.GetData()[7], 0x11);
  EXPECT_EQ(image.Load("MISSING.tga"), 0);
}

TEST(PavixTgaConvert, TwentyFourBitsTo565And1555WithBlackTransparent) {
  CTgaImage image;
  const std::uint8_t px[] = {0xFF, 0x80, 0x10, /* B G R */ 0, 0, 0, /* black */ 0x08, 0xFC, 0xF8};
  ASSERT_TRUE(image.Assign(3, 1, 24, px));
  CTgaImage copy = image;
  image.ConvertTo16(0xF800, 0x07E0, 0x001F, 0);
  EXPECT_EQ(image.GetBitsPerPixel(), 16);
  EXPECT_EQ(image.Word16(0, 0), (0x10 >> 3) << 11 | (0x80 >> 2) << 5 | 0x1F);
  EXPECT_EQ(image.Word16(1, 0), 0);
  EXPECT_EQ(image.Word16(2, 0), 0xFFE1);
  EXPECT_EQ(image.RedMask(), 0xF800u);
  copy.ConvertTo16(0x7C00, 0x03E0, 0x001F, 0x8000);
  EXPECT_EQ(copy.Word16(0, 0), 0x8000 | (0x10 >> 3) << 10 | (0x80 >> 3) << 5 | 0x1F);
  EXPECT_EQ(copy.Word16(1, 0), 0) << "pure black has no alpha";
}

TEST(PavixTgaConvert, ThirtyTwoBitsTo4444AndTo8888KeepAlpha) {
  CTgaImage image;
  const std::uint8_t px[] = {0x10, 0x20, 0xF0, 0x7F, /* B G R A */ 0xFF, 0xFF, 0xFF, 0x00};
  ASSERT_TRUE(image.Assign(2, 1, 32, px));
  CTgaImage wide = image;
  image.ConvertTo16(0x0F00, 0x00F0, 0x000F, 0xF000);
  EXPECT_EQ(image.Word16(0, 0), 0x7F21);
  EXPECT_EQ(image.Word16(1, 0), 0x0FFF);
  wide.ConvertTo32(0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000);
  EXPECT_EQ(wide.GetBitsPerPixel(), 32);
  EXPECT_EQ(wide.Word32(0, 0), 0x7FF02010u);
  EXPECT_EQ(wide.Word32(1, 0), 0x00FFFFFFu);
}

TEST(PavixTgaConvert, PalettedIndexZeroIsTransparent) {
  std::vector<std::uint8_t> palette(256 * 4, 0);
  palette[0 * 4 + 2] = 0xFF;  // entry 0 red
  palette[1 * 4 + 1] = 0xFF;  // entry 1 green
  CTgaImage image;
  const std::uint8_t px[] = {0, 1};
  ASSERT_TRUE(image.Assign(2, 1, 8, px, palette));
  image.ConvertTo16(0x7C00, 0x03E0, 0x001F, 0x8000);
  EXPECT_EQ(image.Word16(0, 0), 0x7C00);
  EXPECT_EQ(image.Word16(1, 0), 0x83E0);
  // An 8-bit image cannot become 32-bit words.
  CTgaImage other;
  ASSERT_TRUE(other.Assign(2, 1, 8, px, palette));
  other.ConvertTo32(0xFF0000, 0xFF00, 0xFF, 0);
  EXPECT_EQ(other.GetBitsPerPixel(), 8);
}

TEST(PavixTgaConvert, BumpWordsFromBlueDifferencesAndGreen) {
  // Blue 10, 30 / 50, 70 (two rows), green 0x80 everywhere.
  const std::uint8_t px[] = {10, 0x80, 0, 30, 0x80, 0, 50, 0x80, 0, 70, 0x80, 0};
  CTgaImage image;
  ASSERT_TRUE(image.Assign(2, 2, 24, px));
  image.ConvertToBump(0x00FF, 0xFF00, 0);
  EXPECT_EQ(image.GetBitsPerPixel(), 16);
  // (0,0): dx = 10 - 30 = -20 (0xEC), dy = 10 - 50 = -40 (0xD8).
  EXPECT_EQ(image.Word16(0, 0), 0xD8EC);
  // (1,1): dx = 70 - 50 = 20 (wrapping to x = 0), dy = 70 - 30 = 40.
  EXPECT_EQ(image.Word16(1, 1), 0x2814);
  CTgaImage five;
  ASSERT_TRUE(five.Assign(2, 2, 24, px));
  five.ConvertToBump(0x001F, 0x03E0, 0xFC00);
  // 5-bit fields take the top bits of the difference, green its top 6.
  EXPECT_EQ(five.Word16(0, 0) & 0xFC00, (0x80 >> 2) << 10);
  EXPECT_EQ(five.Word16(0, 0) & 0x1F, static_cast<std::uint16_t>((-20 >> 3) & 0x1F));
  EXPECT_EQ(five.AlphaMask(), 0u);
}

TEST(PavixTgaResize, NearestPixelsKeepTheirAlpha) {
  std::vector<std::uint8_t> px;
  for (int i = 0; i < 4; ++i) px.insert(px.end(), {static_cast<std::uint8_t>(i), 0, 0, static_cast<std::uint8_t>(0x40 * i)});
  CTgaImage image;
  ASSERT_TRUE(image.Assign(2, 2, 32, px));
  image.Resize(4, 4);
  ASSERT_EQ(image.GetWidth(), 4);
  ASSERT_EQ(image.GetDataSize(), 64u);
  // (3, 3) comes from (1, 1): blue 3, alpha 0xC0; (1, 2) from (0, 1).
  EXPECT_EQ(image.GetData()[(3 * 4 + 3) * 4], 3);
  EXPECT_EQ(image.GetData()[(3 * 4 + 3) * 4 + 3], 0xC0);
  EXPECT_EQ(image.GetData()[(2 * 4 + 1) * 4 + 3], 0x80);
  // Sixteen-bit words are resampled too, so the data always fits the size.
  image.ConvertTo16(0x0F00, 0x00F0, 0x000F, 0xF000);
  image.Resize(2, 1);
  EXPECT_EQ(image.GetDataSize(), 4u);
}

TEST(PavixTgaShrink, ThreeByThreeByTwoAveragesTheTopLeftBlock) {
  std::vector<std::uint8_t> px;
  for (int i = 0; i < 9; ++i) px.insert(px.end(), {static_cast<std::uint8_t>(10 * i), 1, 2});
  CTgaImage image;
  ASSERT_TRUE(image.Assign(3, 3, 24, px));
  image.Shrink(2);
  ASSERT_EQ(image.GetWidth(), 1);
  ASSERT_EQ(image.GetHeight(), 1);
  ASSERT_EQ(image.GetDataSize(), 3u);
  EXPECT_EQ(image.GetData()[0], (0 + 10 + 30 + 40) / 4);
  EXPECT_EQ(image.GetData()[1], 1);
}

TEST(PavixTgaShrink, SixteenBitsAveragePerMask) {
  // Four 4-4-4-4 words: red 0xF, 0x0, 0x0, 0x0 -> 3; alpha 0xF in all -> 0xF.
  std::vector<std::uint8_t> px = {0x00, 0xFF, 0x00, 0xF0, 0x00, 0xF0, 0x00, 0xF0};
  CTgaImage image;
  ASSERT_TRUE(image.Assign(2, 2, 24, std::vector<std::uint8_t>(12, 0)));
  image.ConvertTo16(0x0F00, 0x00F0, 0x000F, 0xF000);
  std::copy(px.begin(), px.end(), image.GetData());
  image.Shrink16(2);
  ASSERT_EQ(image.GetWidth(), 1);
  EXPECT_EQ(image.Word16(0, 0), 0xF300);
}

TEST(PavixTgaFlip, SwapsRowsAndLeavesShortImages) {
  const std::uint8_t px[] = {1, 1, 1, 2, 2, 2, 3, 3, 3};
  CTgaImage image;
  ASSERT_TRUE(image.Assign(1, 3, 24, px));
  image.FlipRows();
  EXPECT_EQ(image.GetData()[0], 3);
  EXPECT_EQ(image.GetData()[3], 2);
  EXPECT_EQ(image.GetData()[6], 1);
  CTgaImage one;
  ASSERT_TRUE(one.Assign(1, 1, 24, std::vector<std::uint8_t>{7, 7, 7}));
  one.FlipRows();
  EXPECT_EQ(one.GetData()[0], 7);
}

}  // namespace
