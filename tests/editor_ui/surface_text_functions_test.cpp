// Texts drawn on a display surface's draw context: white on a transparent
// background, measured with the same font.
#include "editor/surface_text_functions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/video/surface.h"
#include "platform/video/types.h"
#include "support/qt_app.h"

namespace {

TEST(SurfaceTextFunctions, WhiteTextOverWhatIsThere) {
  testsupport::EnsureQtApp();
  const int w = 120, h = 30;
  std::vector<std::uint16_t> pixels(static_cast<std::size_t>(w) * h, 0x0010);  // dark blue
  platform::video::DrawContext dc;
  dc.bits = reinterpret_cast<std::uint8_t*>(pixels.data());
  dc.width = w;
  dc.height = h;
  dc.pitch = w * 2;
  dc.format = platform::video::Format565();
  kelvar::SurfaceTextFunctions text;
  const platform::video::TextSize size = text.GetTextExtent(dc, "Room : hall");
  EXPECT_GT(size.width, 20);
  EXPECT_GT(size.height, 5);
  text.TextOut(dc, 5, 5, "Room : hall");
  // Letters are smoothed: count the light pixels, red and green both high.
  const auto light = std::count_if(pixels.begin(), pixels.end(),
                                   [](std::uint16_t p) { return (p >> 11) >= 20 && ((p >> 5) & 63) >= 40; });
  EXPECT_GT(light, 30);
  // The background stays where no letter is.
  EXPECT_EQ(pixels[0], 0x0010);
  EXPECT_EQ(pixels.back(), 0x0010);
  // Nothing outside what was measured.
  for (int y = 0; y < h; ++y) {
    for (int x = 5 + size.width + 2; x < w; ++x) EXPECT_EQ(pixels[std::size_t(y) * w + x], 0x0010) << x << "," << y;
  }
  // A context without pixels is left alone.
  platform::video::DrawContext empty;
  text.TextOut(empty, 0, 0, "x");
  EXPECT_EQ(text.GetTextExtent(empty, "x").width, 0);
}

}  // namespace
