// The picture tool's PNG files, read back by ImageMagick and by our reader.
#include "tools/render_png/png_writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/external_tool.h"
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
  REQUIRE_EXTERNAL_TOOL(testsupport::kImageMagick);
  testsupport::TempDir dir;
  const int w = 7, h = 5;
  std::vector<std::uint8_t> rgb;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) rgb.insert(rgb.end(), {static_cast<std::uint8_t>(x * 30), static_cast<std::uint8_t>(y * 50), 77});
  const std::string path = dir.Native("p.png");
  ASSERT_TRUE(WritePng(path, w, h, rgb));
  EXPECT_EQ(ReadRgb(path), rgb);
}

TEST(PngReader, ReadsWhatTheWriterWritesAndRefusesWhatIsNotWhole) {
  const std::vector<std::uint8_t> rgb = {1, 2, 3, 250, 251, 252, 9, 8, 7, 0, 128, 255, 40, 50, 60, 70, 80, 90};
  auto png = EncodePng(3, 2, rgb);
  int w = 0, h = 0;
  std::vector<std::uint8_t> out;
  ASSERT_TRUE(DecodePng(png, w, h, out));
  EXPECT_EQ(w, 3);
  EXPECT_EQ(h, 2);
  EXPECT_EQ(out, rgb);
  png.resize(40);  // the header and no pixel data
  EXPECT_FALSE(DecodePng(png, w, h, out));
  EXPECT_FALSE(DecodePng({1, 2, 3}, w, h, out));
}

TEST(PngReader, ReadsImageMagicksFilteredRows) {
  if (std::system("convert -version >/dev/null 2>&1") != 0) {
    if (std::getenv("CI")) FAIL() << "ImageMagick is not installed";
    GTEST_SKIP() << "ImageMagick is not installed";
  }
  testsupport::TempDir dir;
  const std::string path = dir.Native("g.png");
  // A gradient, which ImageMagick stores with adaptive row filters.
  ASSERT_EQ(std::system(("convert -size 40x30 gradient:red-blue -depth 8 -define png:color-type=2 '" + path +
                         "' 2>/dev/null").c_str()),
            0);
  const std::string bytes = dir.Read("g.png");
  int w = 0, h = 0;
  std::vector<std::uint8_t> out;
  ASSERT_TRUE(DecodePng(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), w, h, out));
  ASSERT_EQ(w, 40);
  ASSERT_EQ(h, 30);
  EXPECT_EQ(out, ReadRgb(path));
}
