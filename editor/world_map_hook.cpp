#include "editor/world_map_hook.h"

#include <cstdint>
#include <string>

#include "editor/edit_modes.h"
#include "editor/room_view.h"

namespace kelvar {

bool WorldMapHook::GetViewRect(MapRect& rect) {
  CRoomView* view = CRoomView::Instance();
  if (!view || !view->EditMode()) return false;
  const ViewRect r = view->EditMode()->GetViewRect();
  rect = MapRect{r.left, r.top, r.right, r.bottom};
  return true;
}

bool WorldMapHook::TakeClickPoint(int& x, int& y) {
  MapClickPoint& click = MapClick();
  if (!click.stored) return false;
  click.stored = false;
  x = click.x;
  y = click.y;
  return true;
}

void WorldMapHook::AddInstanceTooltip(const ElementInstance* instance, std::string_view text) {
  if (CRoomView* view = CRoomView::Instance())
    view->ToolTip().AddTool(reinterpret_cast<std::uintptr_t>(instance), std::string(text));
}

void WorldMapHook::RemoveInstanceTooltip(const ElementInstance* instance) {
  if (CRoomView* view = CRoomView::Instance()) view->ToolTip().RemoveTool(reinterpret_cast<std::uintptr_t>(instance));
}

void WorldMapHook::MoveInstanceTooltip(const ElementInstance* instance, const MapRect& client) {
  if (CRoomView* view = CRoomView::Instance()) {
    view->ToolTip().SetToolRect(reinterpret_cast<std::uintptr_t>(instance),
                                QRect(QPoint(client.left, client.top), QPoint(client.right, client.bottom)));
  }
}

WorldMapHook& TheWorldMapHook() {
  static WorldMapHook hook;
  return hook;
}

}  // namespace kelvar
