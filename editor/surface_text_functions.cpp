#include "editor/surface_text_functions.h"

#include "platform/ui/surface_text.h"
#include "platform/video/surface.h"

namespace kelvar {
namespace {

bool Usable(const platform::video::DrawContext& dc) {
  return dc.bits && dc.width > 0 && dc.height > 0 && (dc.format.bitsPerPixel == 16 || dc.format.bitsPerPixel == 32);
}

platform::ui::PixelFormat FormatOf(const platform::video::DrawContext& dc) {
  return dc.format.bitsPerPixel == 32 ? platform::ui::PixelFormat::kXrgb8888 : platform::ui::PixelFormat::kRgb565;
}

}  // namespace

platform::video::TextSize SurfaceTextFunctions::GetTextExtent(platform::video::DrawContext& dc, std::string_view text) {
  if (!Usable(dc)) return {};
  platform::ui::SurfaceText surface(dc.bits, dc.width, dc.height, dc.pitch, FormatOf(dc));
  const QSize size = surface.TextExtent(text);
  return {size.width(), size.height()};
}

void SurfaceTextFunctions::TextOut(platform::video::DrawContext& dc, int x, int y, std::string_view text) {
  if (!Usable(dc)) return;
  platform::ui::SurfaceText surface(dc.bits, dc.width, dc.height, dc.pitch, FormatOf(dc));
  surface.SetTextColor(r_, g_, b_);
  surface.SetTransparent(true);
  surface.TextOut(x, y, text);
}

void SurfaceTextFunctions::SetTextColor(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  r_ = r;
  g_ = g;
  b_ = b;
}

}  // namespace kelvar
