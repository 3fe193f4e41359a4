#include "editor/room_edit_mode.h"

#include <cstdlib>

#include "editor/display_objects.h"
#include "editor/quest_tree_ctrl.h"
#include "editor/room_view.h"
#include "platform/core/clock.h"
#include "platform/core/paths.h"
#include "quest/fixed_field.h"
#include "quest/graph_node.h"
#include "quest/kelvar_doc.h"
#include "quest/machine.h"
#include "quest/monster.h"
#include "quest/quest_lists.h"
#include "quest/room.h"
#include "render/cdd.h"
#include "render/engine_3d.h"

namespace kelvar {
namespace {

// Submenus of the room view's menu.
constexpr int kMenuRoomEdit = 5;
constexpr int kMenuMonster2 = 6;
constexpr int kMenuMachine2 = 7;

BlockChooser& Chooser() {
  static BlockChooser chooser;
  return chooser;
}

}  // namespace

CRoomEditMode& TheRoomEditMode() {
  static CRoomEditMode mode;
  return mode;
}

void CRoomEditMode::SetBlockChooser(BlockChooser chooser) { Chooser() = std::move(chooser); }

template <typename Op>
auto CRoomEditMode::Edit(Op op) {
  const std::uint32_t before = room_->editCount;
  struct Mark {
    CRoom* room;
    std::uint32_t before;
    ~Mark() {
      if (room->editCount != before) MarkQuestModified();
    }
  } mark{room_, before};
  return op(*room_);
}

int CRoomEditMode::Render(platform::video::DrawContext*) {
  if (!g_3DEngine) return 0;
  C3DEngine& engine = *g_3DEngine;
  previousFrameTime = frameTime;
  frameTime = platform::Milliseconds();
  const ViewRect visible = VisibleViewRect();
  engine.FillRect(visible.left, visible.top, visible.right, visible.bottom, CColor(128, 128, 128));
  if (room_) {
    const float focalX = engine.FocalX(), focalY = engine.FocalY();
    const float focal = static_cast<float>(visible.Width()) * 0.78125f;
    engine.SetFocal(focal, focal);
    room_->Render3D(Display().cdd);
    engine.SetFocal(focalX, focalY);
  }
  if (Display().cdd && window) Display().cdd->PresentToWindow(0, 0, window);
  return 1;
}

void CRoomEditMode::Reset() { buttonHeld_ = false; }

void CRoomEditMode::PressTool(int x, int y) {
  CRoom& r = *room_;
  switch (r.tool) {
    case CRoom::kToolMoveBlock:
    case CRoom::kToolCopyBlock: r.PickDragStart(x, y); break;
    case CRoom::kToolDeleteBlock: r.ClearBlock(x, y); break;
    case CRoom::kToolPickBlock: r.PickBlock(x, y); break;
    case CRoom::kToolRotateBlock: r.RotateBlock(x, y); break;
    case CRoom::kToolSetBlock: r.PasteBlock(x, y); break;
    case CRoom::kToolMoveTrap: r.PickNodeOrTrap(x, y); break;
    case CRoom::kToolRotateTrap: r.RotatePicked(x, y); break;
    case CRoom::kToolAddTrap: r.AddTrap(x, y); break;
    case CRoom::kToolDeleteTrap: r.DeleteTrap(x, y); break;
    case CRoom::kToolAddMonster: r.AddMonster(x, y); break;
    case CRoom::kToolRotateMonster: r.RotateMonster(x, y); break;
    case CRoom::kToolMoveMonster: r.PickMonster(x, y); break;
    case CRoom::kToolDeleteMonster: r.DeleteMonster(x, y); break;
    case CRoom::kToolSetCollision: r.SetCollision(x, y); break;
    case CRoom::kToolSetLowCollision: r.SetLowCollision(x, y); break;
    case CRoom::kToolClearCollision: r.ClearCollision(x, y); break;
    case CRoom::kToolAddLink: r.AddLink(x, y); break;
    case CRoom::kToolDeleteLink: r.DeleteLinks(x, y); break;
    case CRoom::kToolMove: r.PickForMove(x, y); break;
    case CRoom::kToolRotate:
      if (!r.RotateMonster(x, y)) r.RotatePicked(x, y);
      break;
    case CRoom::kToolDelete:
      if (!r.DeleteMonster(x, y)) r.DeleteTrap(x, y);
      break;
    case CRoom::kToolDraw: r.DrawBlock(x, y); break;
    case CRoom::kToolNone: r.NullTool(x, y); break;
    case CRoom::kToolErase: r.EraseBlock(x, y); break;
    default: break;  // the camera tools act on moves
  }
}

int CRoomEditMode::OnButtonDown(unsigned, int x, int y) {
  lastX_ = x;
  lastY_ = y;
  buttonHeld_ = true;
  if (!room_) return 1;
  room_->buttonDown = true;
  Edit([&](CRoom&) { PressTool(x, y); });
  return 1;
}

int CRoomEditMode::OnButtonUp(unsigned, int x, int y) {
  buttonHeld_ = false;
  if (!room_) return 0;
  room_->buttonDown = false;
  Edit([&](CRoom& r) {
    switch (r.tool) {
      case CRoom::kToolMoveBlock:
        r.PickDragEnd(x, y);
        r.MoveBlock();
        break;
      case CRoom::kToolCopyBlock:
        r.PickDragEnd(x, y);
        r.CopyBlock();
        break;
      case CRoom::kToolPickBlock: SetMode(CRoom::kToolSetBlock); break;
      case CRoom::kToolMoveTrap: r.ClearNodeOrTrapPick(); break;
      case CRoom::kToolMoveMonster: r.ClearMonsterPick(); break;
      case CRoom::kToolMove: r.ClearPicks(); break;
      default: break;
    }
  });
  return 0;
}

int CRoomEditMode::OnMouseMove(unsigned, int x, int y) {
  if (!room_) return 0;
  const int dx = x - lastX_, dy = y - lastY_;
  lastX_ = x;
  lastY_ = y;
  CRoom& r = *room_;
  if (!buttonHeld_) {
    if (r.tool >= CRoom::kToolRotateCamera && r.tool <= CRoom::kToolElevate) return 0;
    return r.PickCell(x, y) ? 1 : 0;
  }
  const bool horizontal = std::abs(dx) > std::abs(dy);
  const float fx = static_cast<float>(dx), fy = static_cast<float>(dy);
  return Edit([&](CRoom& e) -> int {
    switch (e.tool) {
      case CRoom::kToolRotateCamera:
        if (horizontal) e.YawCamera(fx);
        else e.PitchCamera(fy);
        return 1;
      case CRoom::kToolTranslateCamera:
        // A drag mostly along one axis (its square over four times the
        // other's) moves along that axis only.
        if (horizontal && dx * dx > 4 * dy * dy) e.TranslateCamera(fx, 0.0f);
        else if (!horizontal && dy * dy > 4 * dx * dx) e.TranslateCamera(0.0f, fy);
        else e.TranslateCamera(fx, fy);
        return 1;
      case CRoom::kToolZoom: e.ZoomCamera(fy); return 1;
      case CRoom::kToolElevate: e.ElevateCamera(fy); return 1;
      case CRoom::kToolMoveBlock:
      case CRoom::kToolCopyBlock: return e.PickCell(x, y) ? 1 : 0;
      case CRoom::kToolDeleteBlock:
      case CRoom::kToolSetBlock:
      case CRoom::kToolDraw:
      case CRoom::kToolNone:
      case CRoom::kToolErase: PressTool(x, y); return 1;
      case CRoom::kToolMoveTrap: return e.MovePickedNodeOrTrap(x, y) ? 1 : 0;
      case CRoom::kToolMoveMonster: e.MovePickedMonster(x, y); return 1;
      case CRoom::kToolSetCollision:
      case CRoom::kToolSetLowCollision:
      case CRoom::kToolClearCollision: PressTool(x, y); return 1;
      case CRoom::kToolMove:
        if (e.MovePickedMonster(x, y)) return 1;
        return e.MovePickedNodeOrTrap(x, y) ? 1 : 0;
      default: return 0;
    }
  });
}

int CRoomEditMode::OnRightButtonDown(unsigned, int x, int y) {
  if (room_) {
    ContextInstanceName().clear();
    room_->PickCell(x, y);
    if (const GraphNode* node = room_->FindNodeAt(room_->cellX, room_->cellY)) {
      if ((node->kind == kNodeMachine || node->kind == kNodeSkeleton) && node->OwnerMachine()) {
        MapClick().stored = false;
        SelectTreeItem(kTreeMachines, FieldText(node->OwnerMachine()->name));
        TrackRoomViewMenu(kMenuMachine2, x, y);
      } else if ((node->kind == kNodeMonsterParam || node->kind == kNodeMonster) &&
                 FindMonster(::Quest().monsters, FieldText(node->name))) {
        MapClick().stored = false;
        SelectTreeItem(kTreeMonsters, FieldText(node->name));
        TrackRoomViewMenu(kMenuMonster2, x, y);
      }
      return 0;
    }
  }
  MapClick() = MapClickPoint{x, y, true};
  TrackRoomViewMenu(kMenuRoomEdit, x, y);
  return 0;
}

void CRoomEditMode::OnRightButtonUp(unsigned, int, int) {}

void CRoomEditMode::OnDoubleClick(unsigned, int x, int y) {
  if (!room_) return;
  Edit([&](CRoom& r) {
    switch (r.tool) {
      case CRoom::kToolRotateBlock: r.RotateBlock(x, y); break;
      case CRoom::kToolRotateTrap: r.RotatePicked(x, y); break;
      case CRoom::kToolRotateMonster: r.RotateMonster(x, y); break;
      case CRoom::kToolRotate:
        if (!r.RotateMonster(x, y)) r.RotatePicked(x, y);
        break;
      default: break;
    }
  });
}

void CRoomEditMode::SetViewRect(ViewRect rect) {
  viewRect_ = rect;
  // Until the first paint, picks use the projection the drawing will use.
  if (room_) {
    const ViewRect visible = VisibleViewRect();
    const float focal = static_cast<float>(visible.Width()) * 0.78125f;
    room_->SetProjection(focal, focal, static_cast<float>(visible.left + (visible.Width() + 1) / 2),
                         static_cast<float>(visible.top + (visible.Height() + 1) / 2));
  }
}

int CRoomEditMode::EdgeScroll(int) { return 0; }

void CRoomEditMode::SetMode(int tool) {
  if (!room_) return;
  room_->tool = tool;
  room_->ClearLinkSource();
  CRoomView* view = CRoomView::Instance();
  if (view && view->EditMode() == this) view->Redraw();
}

int CRoomEditMode::GetMode() const { return room_ ? room_->tool : 0; }

void CRoomEditMode::ChooseBlock() {
  if (!room_ || !Chooser()) return;
  std::vector<std::string> names;
  std::string choice;
  const CBankList& set = room_->blockSet;
  for (int i = 0; i < set.GetCount(); ++i) {
    names.emplace_back(set.GetName(i));
    if (choice.empty() && room_->copyBlock.HasBlock() && platform::EqualsNoCase(set.GetPath(i), room_->copyBlock.fileName))
      choice = set.GetName(i);
  }
  if (!Chooser()(names, choice) || choice.empty()) return;
  // The cell gets the block set's full path, as painted blocks do.
  const int entry = set.FindName(choice);
  room_->SetChosenBlock(entry >= 0 ? set.GetPath(entry) : choice.c_str());
}

}  // namespace kelvar
