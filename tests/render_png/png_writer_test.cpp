// The picture tool's PNG files, read back by ImageMagick.
#include "tools/render_png/png_writer.h"
#include "tools/render_png/png_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/temp_dir.h"

namespace {

std::vector<std::uint8_t> ReadRgb(const std::string& path) {
  std::vector<std::uint8_t> out;
  FILE* p = popen(("convert '" + path + "' -depth 8 rgb:- 2>/dev/null").c_str(), "r");
  if (!p) return out;
  std::uint8_t buf[4096];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.insert(out.end(), buf, buf + n);
  pclose(p);
  return out;
}

}  // namespace

TEST(PngWriter, HeaderAndRefusals) {
  const auto png = EncodePng(2, 1, {1, 2, 3, 4, 5, 6});
  ASSERT_GT(png.size(), 33u);
  EXPECT_EQ(png[1], 'P');
  EXPECT_EQ(std::string(png.begin() + 12, png.begin() + 16), "IHDR");
  EXPECT_TRUE(EncodePng(0, 1, {}).empty());
  EXPECT_TRUE(EncodePng(2, 2, {1, 2, 3}).empty());  // too few pixels
}

TEST(PngWriter, ImageMagickReadsThePixelsBack) {
  if (std::system("convert -version >/dev/null 2>&1") != 0) GTEST_SKIP() << "ImageMagick is not installed";
  testsupport::TempDir dir;
  const int w = 7, h = 5;
  std::vector<std::uint8_t> rgb;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) rgb.insert(rgb.end(), {static_cast<std::uint8_t>(x * 30), static_cast<std::uint8_t>(y * 50), 77});
  const std::string path = dir.Native("p.png");
  ASSERT_TRUE(WritePng(path, w, h, rgb));
  EXPECT_EQ(ReadRgb(path), rgb);
}

TEST(PngReader, ReadsBackWhatTheWriterWrote) {
  const int w = 5, h = 3;
  std::vector<std::uint8_t> rgb;
  for (int i = 0; i < w * h * 3; ++i) rgb.push_back(static_cast<std::uint8_t>(i * 17));
  RgbImage image;
  ASSERT_TRUE(DecodePng(EncodePng(w, h, rgb), image));
  EXPECT_EQ(image.width, w);
  EXPECT_EQ(image.height, h);
  EXPECT_EQ(image.rgb, rgb);
  // Damaged files are refused.
  std::vector<std::uint8_t> png = EncodePng(w, h, rgb);
  png.resize(png.size() - 20);
  EXPECT_FALSE(DecodePng(png, image));
  EXPECT_TRUE(image.rgb.empty());
  EXPECT_FALSE(DecodePng({1, 2, 3}, image));
}

TEST(PngReader, UndoesEveryRowFilter) {
  if (std::system("convert -version >/dev/null 2>&1") != 0) {
    if (std::getenv("CI")) FAIL() << "ImageMagick is not installed";
    GTEST_SKIP() << "ImageMagick is not installed";
  }
  testsupport::TempDir dir;
  const int w = 9, h = 6;
  std::vector<std::uint8_t> rgb;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      rgb.insert(rgb.end(), {static_cast<std::uint8_t>(x * 25 + y), static_cast<std::uint8_t>(y * 40), static_cast<std::uint8_t>(x * y * 5)});
  const std::string plain = dir.Native("plain.png");
  ASSERT_TRUE(WritePng(plain, w, h, rgb));
  // ImageMagick picks adaptive filtering (quality 95) for its own copy.
  const std::string filtered = dir.Native("filtered.png");
  ASSERT_EQ(std::system(("convert '" + plain + "' -quality 95 PNG24:'" + filtered + "'").c_str()), 0);
  RgbImage image;
  ASSERT_TRUE(ReadPng(filtered, image));
  EXPECT_EQ(image.rgb, rgb);
}
