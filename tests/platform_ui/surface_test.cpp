#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include <QImage>

#include "platform/ui/surface_text.h"
#include "platform/ui/surface_widget.h"
#include "ui_test_support.h"

using namespace platform::ui;

namespace {

constexpr std::uint16_t Rgb565(int r, int g, int b) {
  return static_cast<std::uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}

// A 5-6-5 surface with a pitch wider than its rows, as display memory has.
struct Surface {
  Surface(int w, int h, int pitchPixels) : width(w), height(h), pitch(pitchPixels * 2),
                                            pixels(static_cast<size_t>(pitchPixels * h), 0xFFFF) {}
  void Fill(std::uint16_t c) {
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) At(x, y) = c;
  }
  std::uint16_t& At(int x, int y) { return pixels[static_cast<size_t>(y * pitch / 2 + x)]; }
  int width, height, pitch;
  std::vector<std::uint16_t> pixels;
};

class DrawingWidget : public SurfaceWidget {
 public:
  Surface* surface = nullptr;
  int draws = 0;

 protected:
  void OnDraw() override {
    ++draws;
    if (surface) Present(surface->pixels.data(), surface->width, surface->height, surface->pitch);
  }
};

class SurfaceTest : public ::testing::Test {
 protected:
  void SetUp() override { uitest::EnsureQtApp(); }
};

TEST_F(SurfaceTest, PresentOutsidePaintKeepsACopyAndSchedulesAPaint) {
  Surface s(64, 32, 80);
  s.Fill(Rgb565(255, 0, 0));
  s.At(3, 2) = Rgb565(0, 0, 255);
  SurfaceWidget w;
  w.resize(64, 32);
  w.show();
  w.Present(s.pixels.data(), s.width, s.height, s.pitch);
  s.Fill(0);  // the copy does not follow the memory
  QImage shown = w.grab().toImage();
  EXPECT_EQ(QColor(shown.pixel(0, 0)), QColor(255, 0, 0));
  EXPECT_EQ(QColor(shown.pixel(3, 2)), QColor(0, 0, 255));
  EXPECT_EQ(w.LastImage().format(), QImage::Format_RGB16);
}

TEST_F(SurfaceTest, PresentDuringPaintDrawsAtOnce) {
  Surface s(40, 20, 40);
  s.Fill(Rgb565(0, 255, 0));
  DrawingWidget w;
  w.surface = &s;
  w.resize(40, 20);
  QImage shown = w.grab().toImage();
  EXPECT_GE(w.draws, 1);
  EXPECT_EQ(QColor(shown.pixel(10, 10)), QColor(0, 255, 0));
  s.Fill(Rgb565(0, 0, 255));
  shown = w.grab().toImage();
  EXPECT_EQ(QColor(shown.pixel(10, 10)), QColor(0, 0, 255));
}

TEST_F(SurfaceTest, OnlyTheClientSizedBlockFromTheTopLeftShows) {
  Surface s(736, 480, 736);
  s.Fill(Rgb565(255, 255, 255));
  for (int y = 0; y < 480; ++y)
    for (int x = 640; x < 736; ++x) s.At(x, y) = Rgb565(255, 0, 0);  // spare column
  SurfaceWidget w;
  w.resize(640, 480);
  w.Present(s.pixels.data(), s.width, s.height, s.pitch);
  EXPECT_EQ(w.LastImage().size(), QSize(736, 480));  // kept whole for a later size
  QImage shown = w.grab().toImage();
  EXPECT_EQ(QColor(shown.pixel(639, 100)), QColor(255, 255, 255));
  w.resize(700, 480);
  shown = w.grab().toImage();
  EXPECT_EQ(QColor(shown.pixel(639, 100)), QColor(255, 255, 255));
  EXPECT_EQ(QColor(shown.pixel(699, 100)), QColor(255, 0, 0));
}

TEST_F(SurfaceTest, SmallerSurfaceLeavesTheRestBlack) {
  Surface s(20, 10, 20);
  s.Fill(Rgb565(255, 255, 255));
  SurfaceWidget w;
  w.resize(40, 20);
  w.Present(s.pixels.data(), s.width, s.height, s.pitch);
  QImage shown = w.grab().toImage();
  EXPECT_EQ(QColor(shown.pixel(19, 9)), QColor(255, 255, 255));
  EXPECT_EQ(QColor(shown.pixel(30, 15)), QColor(0, 0, 0));
}

TEST_F(SurfaceTest, BadSurfacesAreNotPresented) {
  Surface s(10, 10, 10);
  SurfaceWidget w;
  w.Present(s.pixels.data(), 10, 10, 18);  // pitch shorter than a row
  w.Present(nullptr, 10, 10, 20);
  w.Present(s.pixels.data(), 0, 10, 20);
  EXPECT_EQ(w.PresentCount(), 0);
  EXPECT_TRUE(w.LastImage().isNull());
}

TEST_F(SurfaceTest, TextIsDrawnInItsColourWithinItsExtent) {
  Surface s(120, 40, 128);
  s.Fill(Rgb565(128, 128, 128));
  QSize extent;
  {
    SurfaceText text(s.pixels.data(), s.width, s.height, s.pitch);
    ASSERT_TRUE(text.IsValid());
    text.SetTransparent(true);
    text.SetTextColor(255, 255, 255);
    text.TextOut(5, 5, "Room : Hall");
    extent = text.TextExtent("Room : Hall");
    EXPECT_EQ(extent.height(), text.TextHeight());
  }
  EXPECT_GT(extent.width(), 30);
  int white = 0, outside = 0;
  for (int y = 0; y < s.height; ++y)
    for (int x = 0; x < s.width; ++x) {
      bool inBox = x >= 5 && x < 5 + extent.width() && y >= 5 && y < 5 + extent.height();
      if (s.At(x, y) == Rgb565(255, 255, 255)) ++white;
      if (!inBox && s.At(x, y) != Rgb565(128, 128, 128)) ++outside;
    }
  EXPECT_GT(white, 10);
  EXPECT_EQ(outside, 0);
  // Transparent: the grey between the letters stays.
  EXPECT_EQ(s.At(5, 5 + extent.height() - 1), Rgb565(128, 128, 128));
}

TEST_F(SurfaceTest, OpaqueTextFillsItsBoxAndRepeatsExactly) {
  auto draw = [](Surface& s) {
    s.Fill(0);
    SurfaceText text(s.pixels.data(), s.width, s.height, s.pitch);
    text.SetTextColor(0, 0, 0);
    text.SetBackColor(255, 255, 0);
    text.TextOut(2, 2, "Caf\xE9 42");
  };
  Surface a(80, 24, 80), b(80, 24, 80);
  draw(a);
  draw(b);
  EXPECT_EQ(a.pixels, b.pixels);
  EXPECT_EQ(a.At(2, 2), Rgb565(255, 255, 0));  // the box's corner is background
}

TEST_F(SurfaceTest, TextOnABadSurfaceDoesNothing) {
  SurfaceText text(nullptr, 10, 10, 20);
  EXPECT_FALSE(text.IsValid());
  text.TextOut(0, 0, "x");  // must not crash
}

}  // namespace
