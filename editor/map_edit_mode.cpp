#include "editor/map_edit_mode.h"

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <QGuiApplication>

#include "datafiles/monster_class_table.h"
#include "editor/display_objects.h"
#include "editor/element_editing.h"
#include "editor/element_pickers.h"
#include "editor/quest_tree_ctrl.h"
#include "editor/room_view.h"
#include "platform/core/clock.h"
#include "platform/core/paths.h"
#include "quest/fixed_field.h"
#include "quest/graph_node.h"
#include "quest/machine.h"
#include "quest/machine_param.h"
#include "quest/monster.h"
#include "quest/quest_lists.h"
#include "quest/quest_object.h"
#include "quest/room.h"
#include "quest/room_map_box.h"
#include "quest/world_graph.h"
#include "quest/world_map_drawing.h"
#include "render/cdd.h"
#include "render/engine_3d.h"

namespace kelvar {
namespace {

namespace pv = platform::video;

// Submenus of the room view's menu for the map.
constexpr int kMenuMachine = 0;
constexpr int kMenuObject = 1;
constexpr int kMenuMonster = 2;
constexpr int kMenuRoom = 3;
constexpr int kMenuGeneral = 4;

constexpr int kEdgeStep = 32;

pv::Rect ToRect(const ViewRect& v) { return {v.left, v.top, v.right, v.bottom}; }

bool Overlaps(const pv::Rect& a, int left, int top, int right, int bottom) {
  return a.left <= right && a.right >= left && a.top <= bottom && a.bottom >= top;
}

// Selects exactly the nodes whose rectangles overlap the box.
void SelectNodesIn(int left, int top, int right, int bottom) {
  for (GraphNode* n = Quest().graphNodes; n; n = n->next) {
    if (Overlaps(n->MapRect(), left, top, right, bottom)) n->flags |= kNodeSelected;
    else n->flags &= ~kNodeSelected;
  }
}

bool AnySelected() {
  for (const GraphNode* n = Quest().graphNodes; n; n = n->next)
    if (n->flags & kNodeSelected) return true;
  for (const CRoom* r = Quest().rooms; r; r = r->next)
    if (r->IsSelected()) return true;
  return false;
}

// The boxes of the selected rooms, to tell whether a resize took.
std::vector<pv::Rect> SelectedBoxes() {
  std::vector<pv::Rect> boxes;
  for (const CRoom* r = Quest().rooms; r; r = r->next)
    if (r->IsSelected()) boxes.push_back({r->left, r->top, r->right, r->bottom});
  return boxes;
}

std::string FirstKeyName(const GraphNode& node) { return node.keys ? std::string(FieldText(node.keys->name)) : ""; }

// A double-click without Shift on an object or a monster named by machines:
// the picked name replaces the node's in what links to it.
void RetargetNode(const GraphNode& node, const NamePicker& pick, int valueType, bool withGifts) {
  if (!pick) return;
  const std::optional<std::string> chosen = pick(FieldText(node.name));
  if (!chosen || chosen->empty()) return;
  if (!RetargetNodeLinks(&node, *chosen, valueType, withGifts)) return;
  MarkQuestModified();
  if (CRoomView* view = CRoomView::Instance()) view->Redraw();
}

}  // namespace

CMapEditMode& TheMapEditMode() {
  static CMapEditMode mode;
  return mode;
}

GraphNode* CMapEditMode::HitTestNodes(int worldX, int worldY) {
  GraphNode* hit = nullptr;
  for (GraphNode* n = Quest().graphNodes; n; n = n->next) {
    n->flags &= ~kNodeSelected;
    if (hit) continue;
    const pv::Rect r = n->MapRect();
    if (r.left <= worldX && worldX <= r.right && r.top <= worldY && worldY <= r.bottom) {
      n->flags |= kNodeSelected;
      hit = n;
    }
  }
  return hit;
}

ViewRect CMapEditMode::GetViewRect() {
  const MapRect& v = Quest().mapView;
  return {v.left, v.top, v.right, v.bottom};
}

void CMapEditMode::SetViewRect(ViewRect rect) {
  MapRect& v = Quest().mapView;
  v.right = v.left + rect.Width();
  v.bottom = v.top + rect.Height();
}

void CMapEditMode::Reset() {
  EndDrags();
  bandShown_ = false;
}

void CMapEditMode::EndDrags() {
  draggingNodes_ = draggingRooms_ = resizingRooms_ = false;
  bandDrawing_ = false;
  panning_ = false;
}

bool CMapEditMode::Busy() const {
  return draggingNodes_ || draggingRooms_ || resizingRooms_ || panning_ || bandDrawing_;
}

int CMapEditMode::OnButtonDown(unsigned, int x, int y) {
  lastX_ = x;
  lastY_ = y;
  const ViewRect view = GetViewRect();
  const int wx = x + view.left, wy = y + view.top;
  switch (tool_) {
    case kToolMoveView: panning_ = true; break;
    case kToolSelect:
      band_ = {wx, wy, wx, wy};
      bandShown_ = bandDrawing_ = true;
      break;
    default:
      if (bandShown_) {
        if (band_.left <= wx && wx <= band_.right && band_.top <= wy && wy <= band_.bottom) draggingNodes_ = true;
        else bandShown_ = false;
        break;
      }
      if (HitTestNodes(wx, wy)) {
        draggingNodes_ = true;
        break;
      }
      bool corner = false;
      if (CRoom* room = HitTestRoom(Quest().rooms, wx, wy, &corner)) {
        if (corner) {
          resizingRooms_ = true;
        } else {
          SelectNodesIn(room->left, room->top, room->right, room->bottom);
          draggingRooms_ = true;
        }
      }
      break;
  }
  return 1;
}

int CMapEditMode::OnButtonUp(unsigned, int x, int y) {
  draggingNodes_ = draggingRooms_ = resizingRooms_ = false;
  if (bandDrawing_) {
    const ViewRect view = GetViewRect();
    band_.right = x + view.left;
    band_.bottom = y + view.top;
    if (band_.left > band_.right) std::swap(band_.left, band_.right);
    if (band_.top > band_.bottom) std::swap(band_.top, band_.bottom);
    bandDrawing_ = false;
    SelectNodesIn(band_.left, band_.top, band_.right, band_.bottom);
    SelectRoomsInRect(Quest().rooms, band_.left, band_.top, band_.right, band_.bottom);
    tool_ = kToolMoveInstance;
  }
  panning_ = false;
  return 0;
}

int CMapEditMode::OnMouseMove(unsigned flags, int x, int y) {
  // A release the view never saw (the button let go outside while the
  // capture was lost): end the drag where it stands.
  if (Busy() && !(flags & kMouseLeft)) {
    const ViewRect view = GetViewRect();
    if (bandDrawing_) OnButtonUp(flags, band_.right - view.left, band_.bottom - view.top);
    else OnButtonUp(flags, lastX_, lastY_);
    return 1;
  }
  return Drag(x, y);
}

int CMapEditMode::Drag(int x, int y) {
  const int dx = x - lastX_, dy = y - lastY_;
  MapRect& view = Quest().mapView;
  if (panning_) {
    const bool horizontal = std::abs(dx) > 2 * std::abs(dy);
    const bool vertical = !horizontal && std::abs(dy) > 2 * std::abs(dx);
    if (!vertical) view.left -= dx, view.right -= dx;
    if (!horizontal) view.top -= dy, view.bottom -= dy;
    lastX_ = x;
    lastY_ = y;
    return 1;
  }
  const bool moved = (dx != 0 || dy != 0) && AnySelected();
  if (draggingRooms_) {
    MoveSelectedRooms(Quest().rooms, dx, dy);
    MoveSelectedGraphNodes(dx, dy);
    lastX_ = x;
    lastY_ = y;
    if (moved) MarkQuestModified();
    return 1;
  }
  if (resizingRooms_) {
    const std::vector<pv::Rect> before = SelectedBoxes();
    ResizeSelectedRooms(Quest().rooms, dx, dy);
    if (SelectedBoxes() != before) MarkQuestModified();
    lastX_ = x;
    lastY_ = y;
    return 1;
  }
  if (draggingNodes_) {
    MoveSelectedGraphNodes(dx, dy);
    lastX_ = x;
    lastY_ = y;
    if (bandShown_) {
      MoveSelectedRooms(Quest().rooms, dx, dy);
      band_.left += dx, band_.right += dx;
      band_.top += dy, band_.bottom += dy;
    }
    if (moved) MarkQuestModified();
    return 1;
  }
  if (bandDrawing_ && bandShown_) {
    band_.right = x + view.left;
    band_.bottom = y + view.top;
    return 1;
  }
  return 0;
}

int CMapEditMode::CanEdgeScroll(int) { return draggingRooms_ || draggingNodes_ || (bandDrawing_ && bandShown_); }

int CMapEditMode::EdgeScroll(int edge) {
  if (!CanEdgeScroll(edge)) return 0;
  static constexpr int kSteps[4][2] = {{-kEdgeStep, 0}, {kEdgeStep, 0}, {0, -kEdgeStep}, {0, kEdgeStep}};
  if (edge < 0 || edge > 3) return 1;
  const int sx = kSteps[edge][0], sy = kSteps[edge][1];
  MapRect& view = Quest().mapView;
  view.left += sx, view.right += sx;
  view.top += sy, view.bottom += sy;
  // What is dragged follows the map and stays under the cursor.
  const int keptX = lastX_, keptY = lastY_;
  Drag(lastX_ + sx, lastY_ + sy);
  lastX_ = keptX;
  lastY_ = keptY;
  return 1;
}

int CMapEditMode::OnRightButtonDown(unsigned, int x, int y) {
  ContextInstanceName().clear();
  const ViewRect view = GetViewRect();
  const int wx = x + view.left, wy = y + view.top;
  int submenu = -1;
  if (GraphNode* node = HitTestNodes(wx, wy)) {
    switch (node->kind) {
      case kNodeMachine:
      case kNodeSkeleton:
        if (CMachine* machine = node->OwnerMachine()) {
          SelectTreeItem(kTreeMachines, FieldText(machine->name));
          ContextInstanceName() = FirstKeyName(*node);
          submenu = kMenuMachine;
        }
        break;
      case kNodeObject:
        if (FindQuestObject(Quest().questObjects, FieldText(node->name))) {
          SelectTreeItem(kTreeObjects, FieldText(node->name));
          submenu = kMenuObject;
        }
        break;
      case kNodeMonsterParam:
      case kNodeMonster:
        if (FindMonster(Quest().monsters, FieldText(node->name))) {
          SelectTreeItem(kTreeMonsters, FieldText(node->name));
          if (node->kind == kNodeMonster) ContextInstanceName() = FirstKeyName(*node);
          submenu = kMenuMonster;
        }
        break;
      default: break;
    }
    MapClick().stored = false;
  } else {
    bool corner = false;
    if (CRoom* room = HitTestRoom(Quest().rooms, wx, wy, &corner)) {
      SelectTreeItem(kTreeRooms, FieldText(room->name));
      MapClick().stored = false;
      submenu = kMenuRoom;
    } else {
      MapClick() = MapClickPoint{x, y, true};
      submenu = kMenuGeneral;
    }
  }
  if (submenu >= 0) TrackRoomViewMenu(submenu, x, y);
  return 0;
}

void CMapEditMode::OnRightButtonUp(unsigned, int, int) { panning_ = false; }

void CMapEditMode::OnDoubleClick(unsigned, int x, int y) {
  draggingNodes_ = draggingRooms_ = false;
  bandDrawing_ = bandShown_ = false;
  const ViewRect view = GetViewRect();
  const int wx = x + view.left, wy = y + view.top;
  const bool shift = QGuiApplication::keyboardModifiers() & Qt::ShiftModifier;
  if (GraphNode* node = HitTestNodes(wx, wy)) {
    switch (node->kind) {
      case kNodeMachine:
      case kNodeSkeleton:
        if (node->owner) EditMachineProperties(*static_cast<CMachine*>(node->owner));
        break;
      case kNodeObject: {
        // With Shift, the quest object of that key; without one (or without
        // Shift) the objects to point the node's links at.
        CQuestObject* object = nullptr;
        for (CQuestObject* o = shift ? Quest().questObjects : nullptr; o && !object; o = o->next) {
          if (platform::EqualsNoCase(o->key, node->name)) object = o;
        }
        if (object) EditObjectProperties(*object);
        else RetargetNode(*node, Pickers().questObject, kParamObject, true);
        break;
      }
      case kNodeMonsterParam:
        if (!shift || g_monsterClassTable.Find(node->name) >= 0) {
          RetargetNode(*node, Pickers().linkedMonster, kParamMonster, false);
          break;
        }
        if (CMonster* monster = FindMonster(Quest().monsters, node->name)) EditMonsterProperties(*monster);
        break;
      default:
        break;
    }
    return;
  }
  bool corner = false;
  if (CRoom* room = HitTestRoom(Quest().rooms, wx, wy, &corner); room && !corner) EditRoomProperties(*room, false);
}

int CMapEditMode::Render(pv::DrawContext*) {
  if (!g_3DEngine) return 0;
  previousFrameTime = frameTime;
  frameTime = platform::Milliseconds();
  const ViewRect visible = VisibleViewRect();
  WorldMapFrame frame;
  frame.visible = ToRect(visible);
  frame.view = ToRect(GetViewRect());
  frame.bandShown = bandShown_;
  frame.band = ToRect(band_);
  frame.elapsed = static_cast<float>(frameTime - previousFrameTime);
  Cdd* cdd = Display().cdd;
  DrawWorldMap(cdd, frame);
  if (cdd && window) cdd->PresentToWindow(0, 0, window);
  return 0;
}

}  // namespace kelvar
