#pragma once
// The window system's text functions on a display surface's draw context,
// through SurfaceText: transparent background, one text colour (white unless
// changed), the bundled font.
#include <cstdint>
#include <string_view>

#include "platform/video/text_functions.h"

namespace kelvar {

class SurfaceTextFunctions : public platform::video::ITextFunctions {
 public:
  platform::video::TextSize GetTextExtent(platform::video::DrawContext& dc, std::string_view text) override;
  void TextOut(platform::video::DrawContext& dc, int x, int y, std::string_view text) override;
  void SetTextColor(std::uint8_t r, std::uint8_t g, std::uint8_t b) override;

 private:
  std::uint8_t r_ = 255, g_ = 255, b_ = 255;
};

}  // namespace kelvar
