#pragma once
// Text drawn on a memory surface, in the manner of a device context: a text
// colour, a transparent or opaque background, text placed by its top-left
// corner. Uses one bundled font so the pixels are the same on every machine.
#include <cstdint>
#include <string_view>

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QSize>

#include "platform/ui/surface_widget.h"

namespace platform::ui {

class SurfaceText {
 public:
  // The painter lives until the object goes: keep it for one drawing pass.
  SurfaceText(void* pixels, int width, int height, int pitch, PixelFormat format = PixelFormat::kRgb565);
  ~SurfaceText();
  SurfaceText(const SurfaceText&) = delete;
  SurfaceText& operator=(const SurfaceText&) = delete;

  bool IsValid() const { return painter_.isActive(); }
  void SetTextColor(std::uint8_t r, std::uint8_t g, std::uint8_t b);
  void SetBackColor(std::uint8_t r, std::uint8_t g, std::uint8_t b);
  void SetTransparent(bool transparent) { transparent_ = transparent; }
  bool IsTransparent() const { return transparent_; }

  // Game text (Windows-1252); the box's top-left corner at (x, y).
  void TextOut(int x, int y, std::string_view text);
  QSize TextExtent(std::string_view text) const;
  int TextHeight() const;

  // The bundled font, loaded on first use.
  static QFont Font();

 private:
  QImage image_;
  QPainter painter_;
  QColor text_{0, 0, 0};
  QColor back_{255, 255, 255};
  bool transparent_ = false;
};

}  // namespace platform::ui
