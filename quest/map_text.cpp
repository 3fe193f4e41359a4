#include "quest/map_text.h"

namespace pv = platform::video;

void DrawMapText(pv::DrawContext& dc, const pv::Rect& visible, int x, int y, pv::TextSize size,
                 std::string_view text) {
  const bool overlaps = x < visible.right && visible.left < x + size.width && y < visible.bottom &&
                        visible.top < y + size.height;
  if (overlaps) pv::TextOut(dc, x - visible.left, y - visible.top, text);
}
