// The picture tool's PNG files, read back by ImageMagick.
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
