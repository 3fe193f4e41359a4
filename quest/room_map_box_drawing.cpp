// The rooms' boxes drawn on the world map through the 3D engine's 2D helpers,
// and their labels through the window system's text functions.
#include <string>

#include "platform/video/text_functions.h"
#include "platform/video/types.h"
#include "quest/map_text.h"
#include "quest/room.h"
#include "quest/room_map_box.h"
#include "render/color.h"
#include "render/engine_3d.h"

void DrawRoomBoxes(CRoom* rooms, int viewX, int viewY) {
  if (!g_3DEngine) return;
  for (CRoom* r = rooms; r; r = r->next) {
    const CColor colour = CColor::FromValue(r->level != 0 ? 0xFFB4FFFFu : 0xFFC8FFB4u);
    const int left = r->left - viewX, top = r->top - viewY, right = r->right - viewX, bottom = r->bottom - viewY;
    g_3DEngine->DrawRect2D(left, top, right, bottom, colour);
    g_3DEngine->DrawRect2D(right - kRoomResizeCorner, bottom - kRoomResizeCorner, right, bottom, colour);
    g_3DEngine->DrawRect2D(left - 2, top - 2, right + 2, bottom + 2, colour);
  }
}

void CRoom::DrawMapLabel(platform::video::DrawContext* dc, const platform::video::Rect& visible) const {
  namespace pv = platform::video;
  if (!dc) return;
  const std::string label = MapLabel();
  const pv::TextSize size = pv::GetTextExtent(*dc, label);
  const int x = left + (right - left) / 2 - size.width / 2;
  const int y = top - 2 - size.height;
  DrawMapText(*dc, visible, x, y, size, label);
}
