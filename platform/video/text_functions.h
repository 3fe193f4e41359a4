#pragma once
// The window system's text functions on a surface's draw context (GetDC):
// measuring and drawing one line of game text (Windows-1252) in the
// context's font, black on an opaque white box placed by its top-left corner.
//
// The programs install the window system's version. Without one, text is
// measured in fixed 8 x 16 cells and nothing is drawn. While a ScopedRecorder
// lives, every drawn line is recorded as "TextOut <x> <y> <text>".
#include <cstdint>
#include <string_view>

namespace platform::video {

struct DrawContext;

struct TextSize {
  int width = 0;
  int height = 0;
};

class ITextFunctions {
 public:
  virtual ~ITextFunctions() = default;
  virtual TextSize GetTextExtent(DrawContext& dc, std::string_view text) = 0;
  virtual void TextOut(DrawContext& dc, int x, int y, std::string_view text) = 0;
  // The colour of the texts drawn next.
  virtual void SetTextColor(std::uint8_t /*r*/, std::uint8_t /*g*/, std::uint8_t /*b*/) {}
};

// Installs a set (not owned); nullptr restores the headless one.
void SetTextFunctions(ITextFunctions* functions);
ITextFunctions* GetTextFunctions();

// Calls through the installed set.
TextSize GetTextExtent(DrawContext& dc, std::string_view text);
void TextOut(DrawContext& dc, int x, int y, std::string_view text);
void SetTextColor(std::uint8_t r, std::uint8_t g, std::uint8_t b);

}  // namespace platform::video
