// TGA images: what is accepted and refused, the conversions, and textures.
#include "render/tga_image.h"

#include <gtest/gtest.h>

#include <cstring>

#include "datafiles/mtf_archive.h"
#include "platform/core/trace.h"
#include "render/texture.h"
#include "support/external_tool.h"
#include "support/temp_dir.h"
#include "archive_fixture.h"
#include "tga_fixture.h"

using rendertest::MakeTga;
using rendertest::SolidTga;

namespace {

class TgaTest : public testsupport::TempDirTest {
 protected:
  void SetUp() override { MtfCloseAllArchives(); }
  void TearDown() override { MtfCloseAllArchives(); }
};

}  // namespace

TEST_F(TgaTest, AcceptsTrueColourAndKeepsFileRowOrder) {
  // Top row red, bottom row blue; the file stores the bottom row first.
  dir.Write("a.tga", MakeTga(2, 2, 24, {0, 0, 255, 0, 0, 255, 255, 0, 0, 255, 0, 0}));
  CTgaImage img;
  ASSERT_EQ(img.Load("a.tga"), 1);
  EXPECT_EQ(img.GetWidth(), 2);
  EXPECT_EQ(img.GetBitsPerPixel(), 24);
  EXPECT_EQ(img.GetPixel(0, 0).b, 255);  // the file's first row
  EXPECT_EQ(img.GetPixel(0, 0).a, 64);
  img.FlipRows();
  EXPECT_EQ(img.GetPixel(1, 0).r, 255);
  EXPECT_EQ(img.GetPixel(5, 5).r, 0);  // outside
}

TEST_F(TgaTest, RefusesOtherLayoutsAndBadSizes) {
  auto base = SolidTga(2, 2, 24, {1, 2, 3});
  struct Case {
    const char* what;
    std::size_t offset;
    std::uint8_t value;
  };
  const Case cases[] = {
      {"image id", 0, 5},      {"colour map", 1, 1},   {"run-length", 2, 10}, {"16-bit", 16, 16},
      {"map entry size", 7, 16}, {"zero width", 12, 0}, {"negative height", 15, 0x80},
  };
  for (const Case& k : cases) {
    auto bytes = base;
    bytes[k.offset] = k.value;
    if (k.offset == 12) bytes[13] = 0;
    dir.Write("bad.tga", bytes);
    CTgaImage img;
    EXPECT_EQ(img.Load("bad.tga"), 0) << k.what;
    EXPECT_EQ(img.GetWidth(), 0) << k.what;
  }
  // Short pixel data and a short header are refused without reading past the file.
  auto shortData = base;
  shortData.resize(shortData.size() - 1);
  dir.Write("short.tga", shortData);
  platform::TraceCapture trace;
  CTgaImage img;
  EXPECT_EQ(img.Load("short.tga"), 0);
  EXPECT_TRUE(trace.Contains("Error short pixel data short.tga"));
  dir.Write("tiny.tga", std::string("\0\0\2", 3));
  EXPECT_EQ(img.Load("tiny.tga"), 0);
  // A huge declared size is refused before anything is allocated for it.
  auto huge = base;
  huge[12] = huge[13] = huge[14] = 0xFF;
  huge[15] = 0x7F;
  dir.Write("huge.tga", huge);
  EXPECT_EQ(img.Load("huge.tga"), 0);
}

TEST_F(TgaTest, MissingFilesAndLongNamesAreTraced) {
  platform::TraceCapture trace;
  CTgaImage img;
  EXPECT_EQ(img.Load("nothere.tga"), 0);
  EXPECT_TRUE(trace.Contains("Error doesn't exist nothere.tga\n"));
  EXPECT_EQ(img.Load(std::string(600, 'a').c_str()), 0);
  EXPECT_TRUE(trace.Contains("Error name too long"));
}

TEST_F(TgaTest, LoadsFromAnArchiveEntry) {
  const auto tga = SolidTga(1, 1, 32, {9, 8, 7, 6});
  dir.Write("data.mtf", rendertest::MakeArchive({{"DATA\\pic.tga", tga}}));
  ASSERT_EQ(MtfOpenArchive("data.mtf", 0), 1);
  CTgaImage img;
  ASSERT_EQ(img.Load("data\\pic.tga"), 1);
  EXPECT_EQ(img.GetPixel(0, 0).a, 6);
}

TEST(TgaConvert, MasksForceBitZeroAndKeepBlackTransparent) {
  struct Case {
    std::vector<std::uint8_t> bgr;
    std::uint16_t expect;
  };
  const Case cases[] = {
      {{0, 0, 0}, 0},
      {{1, 0, 0}, 1},              // bit 0 forced
      {{255, 255, 255}, 0xFFFF},
      {{0, 0, 255}, 0xF801},
      {{0, 255, 0}, 0x07E1},
  };
  for (const Case& k : cases) {
    CTgaImage img;
    img.Assign(1, 1, 24, k.bgr);
    ASSERT_EQ(img.ConvertTo16(0xF800, 0x07E0, 0x001F, 0), 1);
    std::uint16_t w;
    std::memcpy(&w, img.GetData(), 2);
    EXPECT_EQ(w, k.expect);
    EXPECT_EQ(img.GetBitsPerPixel(), 16);
  }
  // 24 bits into a 4-4-4-4 format gets full alpha; 32 bits keeps its own.
  CTgaImage a;
  a.Assign(2, 1, 24, {0, 0, 255, 0, 0, 0});
  a.ConvertTo16(0x0F00, 0x00F0, 0x000F, 0xF000);
  std::uint16_t w[2];
  std::memcpy(w, a.GetData(), 4);
  EXPECT_EQ(w[0], 0xFF01);
  EXPECT_EQ(w[1], 0);
  CTgaImage b;
  b.Assign(1, 1, 32, {0, 0, 0, 0x80});
  b.ConvertTo16(0x0F00, 0x00F0, 0x000F, 0xF000);
  std::memcpy(w, b.GetData(), 2);
  EXPECT_EQ(w[0], 0x8001);
  CTgaImage c;
  c.Assign(1, 1, 16, {1, 2});
  EXPECT_EQ(c.ConvertTo16(0xF800, 0x07E0, 0x001F, 0), 0);
}

TEST(TgaConvert, FourFourFourWithTheDarkRuleAndScreenDoor) {
  CTgaImage img;
  img.Assign(3, 1, 24, {12, 9, 14, 3, 9, 14, 0x50, 0x60, 0x70});
  ASSERT_EQ(img.ConvertTo444(), 1);
  std::uint16_t w[3];
  std::memcpy(w, img.GetData(), 6);
  EXPECT_EQ(w[0], 0x0010);
  EXPECT_EQ(w[1], 0);
  EXPECT_EQ(w[2], 0x7650);
  // Alpha 128 is level 3: a checkerboard.
  std::vector<std::uint8_t> px;
  for (int i = 0; i < 16; ++i) px.insert(px.end(), {0xF0, 0xF0, 0xF0, 128});
  CTgaImage alpha;
  alpha.Assign(4, 4, 32, px);
  alpha.ConvertTo444();
  std::uint16_t cells[16];
  std::memcpy(cells, alpha.GetData(), 32);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(cells[y * 4 + x] != 0, ((x + y) & 1) == 0) << x << "," << y;
}

TEST(TgaConvert, AddAlphaAndFlipRows) {
  CTgaImage img;
  img.Assign(2, 1, 24, {0, 0, 0, 5, 6, 7});
  img.AddAlpha();
  EXPECT_EQ(img.GetBitsPerPixel(), 32);
  EXPECT_EQ(img.GetPixel(0, 0).a, 0);
  EXPECT_EQ(img.GetPixel(1, 0).a, 255);
  EXPECT_EQ(img.FlipRows(), 1);  // a height of 1 stays
  EXPECT_EQ(img.GetPixel(1, 0).b, 5);
  CTgaImage three;
  three.Assign(1, 3, 24, {1, 1, 1, 2, 2, 2, 3, 3, 3});
  three.FlipRows();
  EXPECT_EQ(three.GetPixel(0, 0).b, 3);
  EXPECT_EQ(three.GetPixel(0, 1).b, 2);
  EXPECT_EQ(three.GetPixel(0, 2).b, 1);
}

TEST_F(TgaTest, TextureLoadsFlipsAndConverts) {
  dir.Write("t.tga", MakeTga(1, 2, 24, {0, 0, 0xF0, 0xF0, 0, 0}));  // top red, bottom blue
  CTexture tex;
  ASSERT_EQ(tex.Load("t.tga"), 1);
  ASSERT_NE(tex.GetImage(), nullptr);
  std::uint16_t w[2];
  std::memcpy(w, tex.GetImage()->GetData(), 4);
  EXPECT_EQ(w[0], 0xF000);  // the top row comes first once flipped
  EXPECT_EQ(w[1], 0x00F0);
  EXPECT_EQ(tex.Load("none.tga"), 0);
  ASSERT_NE(tex.GetImage(), nullptr);
  EXPECT_EQ(tex.GetImage()->GetWidth(), 0);
  tex.Release();
  EXPECT_EQ(tex.GetImage(), nullptr);
}

// ImageMagick makes the files and also reads them as the reference.
TEST_F(TgaTest, AgreesWithImageMagick) {
  REQUIRE_EXTERNAL_TOOL(testsupport::kImageMagick);
  struct Case {
    const char* make;
    int bits;
  };
  const Case cases[] = {
      {"convert -size 5x3 gradient:red-blue -fill 'rgb(1,2,3)' -draw 'point 1,0' -type TrueColor tga:im24.tga", 24},
      {"convert -size 4x4 xc:'rgba(200,100,50,0.5)' -fill 'rgba(10,20,30,1)' -draw 'point 3,0' -type TrueColorAlpha "
       "tga:im32.tga",
       32},
  };
  for (const Case& k : cases) {
    ASSERT_EQ(rendertest::Run(std::string("cd '") + dir.path() + "' && " + k.make + " 2>/dev/null"), 0);
    const std::string name = k.bits == 24 ? "im24.tga" : "im32.tga";
    int w = 0, h = 0;
    const auto ref = rendertest::MagickPixels(dir.Native(name), &w, &h);
    ASSERT_EQ(ref.size(), static_cast<std::size_t>(w * h * 4));
    CTgaImage img;
    ASSERT_EQ(img.Load(name.c_str()), 1) << name;
    ASSERT_EQ(img.GetWidth(), w);
    ASSERT_EQ(img.GetHeight(), h);
    EXPECT_EQ(img.GetBitsPerPixel(), k.bits);
    // Rows are kept in file order (callers flip them); ImageMagick's own idea
    // of the origin has varied between versions, so either order may be its
    // top row, but one of them must match it pixel for pixel.
    auto matches = [&](bool flipped) {
      for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
          const TgaPixel p = img.GetPixel(x, flipped ? h - 1 - y : y);
          const std::uint8_t* r = &ref[static_cast<std::size_t>(y * w + x) * 4];
          if (p.r != r[0] || p.g != r[1] || p.b != r[2]) return false;
          if (k.bits == 32 && p.a != r[3]) return false;
        }
      }
      return true;
    };
    EXPECT_TRUE(matches(false) || matches(true)) << name;
    EXPECT_FALSE(matches(false) && matches(true)) << name << " is symmetric and proves nothing";
  }
  // What ImageMagick writes in other layouts is refused.
  const char* refused[] = {
      "convert -size 4x4 xc:red -compress RLE -type TrueColor tga:rle.tga",
      "convert -size 4x4 xc:red -type Palette tga:map.tga",
  };
  for (const char* make : refused) {
    ASSERT_EQ(rendertest::Run(std::string("cd '") + dir.path() + "' && " + make + " 2>/dev/null"), 0);
  }
  CTgaImage img;
  EXPECT_EQ(img.Load("rle.tga"), 0);
  EXPECT_EQ(img.Load("map.tga"), 0);
}
