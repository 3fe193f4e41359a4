#include "editor/main_frame.h"

#include "datafiles/language_table.h"
#include "editor/edit_modes.h"
#include "editor/kelvar_accelerators.h"
#include "editor/kelvar_commands.h"
#include "editor/kelvar_menus.h"
#include "editor/picker_generic_traps_dlg.h"
#include "editor/picker_monster_list_dlg.h"
#include "editor/picker_style_dlg.h"
#include "editor/room_view.h"
#include "editor/toolbar_icons.h"
#include "platform/core/profile.h"
#include "platform/ui/command_ids.h"
#include "platform/ui/window_placement.h"
#include "quest/fixed_field.h"
#include "quest/room.h"
#include "quest/tile_palette.h"

namespace kelvar {
namespace {

namespace ui = platform::ui;

constexpr const char* kPlacementSection = "Windows";
constexpr const char* kPlacementValue = "main";

CMainFrame*& Current() {
  static CMainFrame* frame = nullptr;
  return frame;
}

struct BandSpec {
  int id;
  const char* caption;
  std::vector<int> buttons;
};

// Buttons of each toolbar resource, 0 for a separator.
const std::vector<int>& ToolBarButtons(int resourceId) {
  static const std::vector<BandSpec> kBands = {
      {kIdrMainFrame, "", {ui::kCmdFileNew, ui::kCmdFileOpen, ui::kCmdFileSave, 0, ui::kCmdAppAbout}},
      {kBandView, "View", {kCmdHierarchyView, kCmdEditView}},
      {kBandCamera, "Camera", {kCmdCameraRotate, kCmdCameraTranslate, kCmdCameraZoom, 0, kCmdCameraElevate}},
      {kBandBlock,
       "Block",
       {kCmdBlockMove, kCmdBlockSet, kCmdBlockPick, 0, kCmdBlockDelete, kCmdBlockCopy, kCmdBlockRotate, 0,
        kCmdBlockChoose, 0, kCmdDraw, kCmdStyle}},
      {kBandEdit, "Edit", {kCmdEditMove, 0, kCmdEditRotate, kCmdEditDelete, 0, kCmdRoomMonsterAdd, kCmdTrapAddGeneric}},
      {kBandMapTools, "Edit", {kCmdMapMoveInstance, 0, kCmdMapSelect, 0, kCmdMapMoveView}},
      {kBandCollision, "Collision", {kCmdCollisionSet, kCmdCollisionSetLow, kCmdCollisionClear}},
      {kBandLink, "Link", {kCmdLinkAdd, kCmdLinkDelete}},
  };
  for (const BandSpec& b : kBands)
    if (b.id == resourceId) return b.buttons;
  static const std::vector<int> kNone;
  return kNone;
}

ui::ToolBarSpec MakeToolBar(int id, int resourceId, std::string_view caption) {
  ui::ToolBarSpec bar;
  bar.id = id;
  bar.caption = std::string(caption);
  bar.buttons = ToolBarButtons(resourceId);
  for (int button : bar.buttons)
    if (button != 0) bar.images.push_back(ToolbarIcon(button));
  return bar;
}

bool RoomViewShowsMode(const CEditMode* mode) {
  CRoomView* view = CRoomView::Instance();
  return view && mode && view->EditMode() == mode;
}

}  // namespace

CMainFrame* MainFrame() { return Current(); }

CMainFrame::CMainFrame() {
  Current() = this;
  setObjectName("KelvarMainFrame");
  setWindowIcon(AppIcon());
  RegisterCommands();
}

CMainFrame::~CMainFrame() {
  if (Current() == this) Current() = nullptr;
}

bool CMainFrame::OnCreate() {
  SetMenu(FrameMenu());
  AddToolBar(MakeToolBar(ui::kMainToolBarId, kIdrMainFrame, ""));
  AddToolBarBand(kBandView, "View");
  AddToolBarBand(kBandMapTools, "Edit");
  AddToolBarBand(kBandEdit, "Edit");
  AddToolBarBand(kBandLink, "Link");
  AddToolBarBand(kBandCamera, "Camera");
  AddToolBarBand(kBandBlock, "Block");
  AddToolBarBand(kBandCollision, "Collision");
  CreateStatusBar({"MAJ", "NUM", "DEF"});
  SetAccelerators(&MapAccelerators());
  return true;
}

void CMainFrame::AddToolBarBand(int resourceId, std::string_view caption) {
  // The room tools start on a row of their own, as a band that does not fit would.
  AddToolBar(MakeToolBar(resourceId, resourceId, caption), resourceId == kBandCamera);
}

bool CMainFrame::OnClose() {
  SavePlacement();
  return MdiFrame::OnClose();
}

void CMainFrame::SavePlacement() {
  ui::WindowPlacement placement = ui::GetWindowPlacement(*this);
  placement.flags = 0;
  if (placement.showCmd == ui::kShowMinimized) placement.showCmd = ui::kShowNormal;
  platform::Profile().WriteBinary(kPlacementSection, kPlacementValue, placement.ToBytes());
}

void CMainFrame::RestorePlacement() {
  auto bytes = platform::Profile().GetBinary(kPlacementSection, kPlacementValue);
  if (!bytes) return;
  if (auto placement = ui::WindowPlacement::FromBytes(*bytes)) ui::SetWindowPlacement(*this, *placement);
}

void CMainFrame::ShowEditBands(bool show) {
  ShowBand(kBandMapTools, !show);
  for (int band : {kBandBlock, kBandCamera, kBandEdit, kBandCollision, kBandLink}) ShowBand(band, show);
}

void CMainFrame::OnHierarchyView() {
  SetEditMode(MapEditMode());
  SetAccelerators(&MapAccelerators());
}

void CMainFrame::OnEditView() {
  SetEditMode(RoomEditMode());
  SetAccelerators(&RoomAccelerators());
}

void CMainFrame::OnUpdateRoomTool(ui::CommandState& state, int tool) const {
  IRoomEditMode* mode = RoomEditMode();
  state.Enable(RoomViewShowsMode(mode) && mode->EditedRoom() != nullptr);
  state.SetCheck(mode && mode->GetMode() == tool);
}

void CMainFrame::RegisterRoomTool(int id, int tool) {
  OnCommand(id, [tool] {
    if (IRoomEditMode* mode = RoomEditMode()) mode->SetMode(tool);
  });
  OnUpdate(id, [this, tool](ui::CommandState& s) { OnUpdateRoomTool(s, tool); });
}

void CMainFrame::RegisterCommands() {
  // Views.
  OnCommand(kCmdHierarchyView, [this] { OnHierarchyView(); });
  OnUpdate(kCmdHierarchyView, [](ui::CommandState& s) {
    s.Enable(MapEditMode() != nullptr);
    s.SetCheck(RoomViewShowsMode(MapEditMode()));
  });
  OnCommand(kCmdEditView, [this] { OnEditView(); });
  OnUpdate(kCmdEditView, [](ui::CommandState& s) {
    s.Enable(RoomEditMode() != nullptr);
    s.SetCheck(RoomViewShowsMode(RoomEditMode()));
  });

  // Map tools.
  const std::pair<int, int> mapTools[] = {{kCmdMapMoveInstance, 0}, {kCmdMapSelect, 1}, {kCmdMapMoveView, 2}};
  for (auto [id, tool] : mapTools) {
    OnCommand(id, [tool] {
      if (IMapEditMode* mode = MapEditMode()) mode->SetMapTool(tool);
    });
    OnUpdate(id, [tool](ui::CommandState& s) {
      IMapEditMode* mode = MapEditMode();
      s.Enable(RoomViewShowsMode(mode));
      s.SetCheck(mode && mode->GetMapTool() == tool);
    });
  }

  // Room tools.
  const std::pair<int, int> roomTools[] = {
      {kCmdCameraRotate, 1},  {kCmdCameraTranslate, 2}, {kCmdCameraZoom, 3},     {kCmdCameraElevate, 4},
      {kCmdBlockMove, 5},     {kCmdBlockCopy, 6},       {kCmdBlockDelete, 7},    {kCmdBlockPick, 8},
      {kCmdCollisionSet, 20}, {kCmdCollisionSetLow, 21}, {kCmdCollisionClear, 22}, {kCmdLinkAdd, 23},
      {kCmdLinkDelete, 24},   {kCmdEditMove, 25},       {kCmdEditRotate, 26},    {kCmdEditDelete, 27},
      {kCmdDraw, 28},
  };
  for (auto [id, tool] : roomTools) RegisterRoomTool(id, tool);
  // Rotating a block needs a dungeon room.
  RegisterRoomTool(kCmdBlockRotate, 9);
  OnUpdate(kCmdBlockRotate, [this](ui::CommandState& s) {
    OnUpdateRoomTool(s, 9);
    IRoomEditMode* mode = RoomEditMode();
    if (s.enabled && mode->EditedRoom()->level <= 0) s.Enable(false);
  });
  // Setting a block opens the chooser first when the copy buffer already holds one.
  OnCommand(kCmdBlockSet, [] {
    IRoomEditMode* mode = RoomEditMode();
    if (!mode || !mode->EditedRoom()) return;
    if (mode->EditedRoom()->copyBlock.HasBlock()) mode->ChooseBlock();
    mode->SetMode(10);
  });
  OnUpdate(kCmdBlockSet, [this](ui::CommandState& s) { OnUpdateRoomTool(s, 10); });
  OnCommand(kCmdBlockChoose, [] {
    IRoomEditMode* mode = RoomEditMode();
    if (!mode || !mode->EditedRoom()) return;
    mode->ChooseBlock();
    mode->SetMode(10);
  });
  OnUpdate(kCmdBlockChoose, [this](ui::CommandState& s) {
    OnUpdateRoomTool(s, 10);
    s.SetCheck(false);
  });

  // Tools that ask the user first: a generic trap, a monster class, a paint style.
  OnCommand(kCmdTrapAddGeneric, [] {
    IRoomEditMode* mode = RoomEditMode();
    CRoom* room = mode ? mode->EditedRoom() : nullptr;
    if (!room) return;
    CGenericTrapsDlg dialog(room->selectedTrapType);
    if (dialog.DoModal() != ui::kDialogOk || dialog.value < 0) return;
    room->selectedTrapType = dialog.value;
    mode->SetMode(CRoom::kToolAddTrap);
  });
  OnUpdate(kCmdTrapAddGeneric, [this](ui::CommandState& s) { OnUpdateRoomTool(s, CRoom::kToolAddTrap); });
  OnCommand(kCmdRoomMonsterAdd, [] {
    IRoomEditMode* mode = RoomEditMode();
    CRoom* room = mode ? mode->EditedRoom() : nullptr;
    if (!room) return;
    CMonsterListDlg dialog(std::string(FieldText(room->monsterToAdd)), false, true);
    if (dialog.DoModal() != ui::kDialogOk || dialog.value.empty()) return;
    mode->SetMode(CRoom::kToolAddMonster);
    room->SetMonsterToAdd(dialog.value.c_str());
  });
  OnUpdate(kCmdRoomMonsterAdd, [this](ui::CommandState& s) { OnUpdateRoomTool(s, CRoom::kToolAddMonster); });
  OnCommand(kCmdStyle, [] {
    IRoomEditMode* mode = RoomEditMode();
    CRoom* room = mode ? mode->EditedRoom() : nullptr;
    if (!room) return;
    CStyleDlg dialog(TilePalette().DrawStyle(), room);
    // OK only: closing it with Escape takes the style too.
    if (dialog.DoModal() == 0) return;
    if (dialog.value) TilePalette().SetDrawStyle(dialog.value->label);
    mode->SetMode(CRoom::kToolDraw);
  });
  // Its check follows a tool that nothing sets, so Draw alone shows checked.
  OnUpdate(kCmdStyle, [this](ui::CommandState& s) { OnUpdateRoomTool(s, CRoom::kToolNone); });

  // Languages.
  OnCommandRange(kCmdLanguageFirst, kCmdLanguageLast, [this](int id) { OnLanguage(id - kCmdLanguageFirst); });
  OnUpdateRange(kCmdLanguageFirst, kCmdLanguageLast, [](ui::CommandState& s) {
    s.SetRadio(g_languageTable.GetLanguage() == s.id - kCmdLanguageFirst);
  });

  RegisterElementCommands();
  RegisterDialogCommands();
}

}  // namespace kelvar
