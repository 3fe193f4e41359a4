// kelvar_screens <start directory> <scene>: Kelvar on the sample quest of the
// start directory, put into one scene (a tab, a menu, a dialog) for a
// screenshot. Prints "ready" once the scene shows and runs until ended.
#include <clocale>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include <QApplication>
#include <QMenu>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QTimer>
#include <QTreeWidget>
#include <QAbstractButton>
#include <QListWidget>

#include "editor/kelvar_app.h"
#include "editor/kelvar_commands.h"
#include "editor/element_pickers.h"
#include "editor/kelvar_globals.h"
#include "editor/left_view.h"
#include "editor/main_frame.h"
#include "editor/map_edit_mode.h"
#include "editor/quest_tree_ctrl.h"
#include "editor/room_edit_mode.h"
#include "editor/room_view.h"
#include "editor/text_dlg.h"
#include "platform/core/paths.h"
#include "platform/ui/command_ids.h"
#include "platform/ui/drawing_scope.h"
#include "platform/ui/qt_ui.h"
#include "quest/quest_lists.h"
#include "quest/room.h"

namespace {

using namespace kelvar;

void ShowTab(int tab, int item) {
  if (CLeftView* view = CLeftView::Instance()) view->OnTabClicked(tab);
  QuestTree(tab).SelectItem(QuestTree(tab).ItemAt(item));
}

// Opens a room in the room edit mode with a tool.
CRoom* EditRoom(CMainFrame& frame, const char* room, int toolCommand) {
  ShowTab(kTreeRooms, 0);
  SelectTreeItem(kTreeRooms, room);
  frame.SendCommand(kCmdRoomEdit);
  frame.SendCommand(toolCommand);
  return TheRoomEditMode().EditedRoom();
}

// A press, a drag through the cells and a release, as the mouse would give them.
void Drag(CRoom& room, const std::vector<std::pair<int, int>>& cells) {
  CRoomEditMode& mode = TheRoomEditMode();
  room.UpdateCamera();
  for (std::size_t i = 0; i < cells.size(); ++i) {
    CVector3 p = CellToWorld(cells[i].first, cells[i].second);
    p.y = -256.0f;
    float x = 0, y = 0;
    if (!room.WorldToScreen(p, x, y)) continue;
    if (i == 0) mode.OnButtonDown(0, int(x), int(y));
    else mode.OnMouseMove(0, int(x), int(y));
    if (i + 1 == cells.size()) mode.OnButtonUp(0, int(x), int(y));
  }
}

std::vector<std::pair<int, int>> BlockRun(int c0, int r0, int c1, int r1) {
  std::vector<std::pair<int, int>> cells;
  for (int r = r0; r <= r1; ++r)
    for (int c = c0; c <= c1; ++c) cells.push_back({BlockToCell(c), BlockToCell(r)});
  return cells;
}

// Clicks a button of the dialog the user is working in, later: a dialog
// opened by a command waits in its own loop, where timers still run.
void ClickInDialogLater(int ms, const char* text) {
  QTimer::singleShot(ms, [text] {
    QWidget* dialog = QApplication::activeModalWidget();
    if (!dialog) return;
    for (QAbstractButton* b : dialog->findChildren<QAbstractButton*>())
      if (b->text() == text) b->click();
  });
}

// Chooses a row of the list of the dialog the user is working in, later.
void ChooseRowLater(int ms, const char* text) {
  QTimer::singleShot(ms, [text] {
    QWidget* dialog = QApplication::activeModalWidget();
    if (!dialog) return;
    for (QListWidget* list : dialog->findChildren<QListWidget*>()) {
      const auto found = list->findItems(text, Qt::MatchExactly);
      if (found.isEmpty()) continue;
      list->setCurrentItem(found.front());
      list->scrollToItem(found.front());
    }
  });
}

// Looks at a room from above its middle, far enough to see it whole.
void Overlook(CRoom& room, int column, int row, float distance, float pitch, float yaw) {
  const CVector3 at = CellToWorld(BlockToCell(column), BlockToCell(row));
  room.targetX = at.x;
  room.targetZ = at.z;
  room.distance = distance;
  room.pitch = pitch;
  room.yaw = yaw;
  room.UpdateCamera();
  if (CRoomView* view = CRoomView::Instance()) view->Redraw();
}

void Scene(const std::string& scene, CMainFrame& frame) {
  if (scene == "machines") {
    ShowTab(kTreeMachines, 0);
  } else if (scene == "objects") {
    ShowTab(kTreeObjects, 0);
  } else if (scene == "monsters") {
    ShowTab(kTreeMonsters, 0);
  } else if (scene == "rooms") {
    ShowTab(kTreeRooms, 0);
    // The room tree's context menu over its first room.
    QTreeWidget* tree = QuestTree(kTreeRooms).Widget();
    const QPoint at = tree->visualItemRect(tree->topLevelItem(0)).center();
    QTimer::singleShot(0, [at] { QuestTree(kTreeRooms).OnRButtonDown(at); });
  } else if (scene == "filemenu") {
    for (QAction* a : frame.menuBar()->actions())
      if (a->menu() && a->text() == "&File") frame.menuBar()->setActiveAction(a);
  } else if (scene == "textmenu") {
    for (QAction* a : frame.menuBar()->actions()) {
      if (!a->menu() || a->text() != "Text") continue;
      frame.menuBar()->setActiveAction(a);
      for (QAction* sub : a->menu()->actions())
        if (sub->menu()) a->menu()->setActiveAction(sub);
    }
  } else if (scene == "generate") {
    QTimer::singleShot(0, &frame, [&frame] { frame.SendCommand(kCmdGenerateQuest); });
  } else if (scene == "room-paint") {
    // Sand paths painted across the meadow's grass, the cursor on the last block.
    CRoom* room = EditRoom(frame, "meadow", kCmdDraw);
    if (!room) return;
    Drag(*room, BlockRun(29, 33, 35, 33));
    Drag(*room, BlockRun(32, 32, 32, 35));
  } else if (scene == "room-collision") {
    // The crypt's wall footprints with cells set and set low by dragging.
    CRoom* room = EditRoom(frame, "crypt", kCmdCollisionSet);
    if (!room) return;
    room->pitch = -0.8f;
    Drag(*room, {{92, 94}, {93, 94}, {94, 94}, {95, 94}});
    frame.SendCommand(kCmdCollisionSetLow);
    Drag(*room, {{92, 97}, {93, 97}, {94, 97}});
  } else if (scene == "room-links") {
    // A second trap in the crypt, linked from the spikes by two clicks.
    CRoom* room = EditRoom(frame, "crypt", kCmdLinkAdd);
    if (!room) return;
    room->distance = 3200.0f;  // near enough to see the arrow heads and the models
    room->pitch = -0.42f;
    RoomTrap* plate = NewRoomTrap(room->traps);
    plate->type = room->traps->next ? room->traps->next->type : 1;
    plate->cellX = 100;
    plate->cellY = 92;
    Drag(*room, {{91, 100}});
    Drag(*room, {{100, 92}});
    Drag(*room, {{97, 97}});  // the cursor away from the trap
  } else if (scene == "text-dialog") {
    // The first room's name in several languages, in the text dialog.
    CRoom* room = Quest().rooms;
    if (!room) return;
    room->text.Set(0, "La porte du nord");
    room->text.Set(1, "The north gate\r\nwhere the road ends");
    room->text.Set(2, "Das Nordtor");
    room->text.SetVoiceName("NorthGate");
    QTimer::singleShot(0, &frame, [room] { EditAllLanguages(room->text); });
  } else if (scene == "machine-properties") {
    ShowTab(kTreeMachines, 0);
    QTimer::singleShot(0, &frame, [&frame] { frame.SendCommand(kCmdMachineProperties); });
  } else if (scene == "room-dialog") {
    ShowTab(kTreeRooms, 0);
    QTimer::singleShot(0, &frame, [&frame] { frame.SendCommand(kCmdRoomProperties); });
  } else if (scene == "pick-monsters") {
    // Add Monster's picker over the meadow, the wolf chosen before.
    CRoom* room = EditRoom(frame, "meadow", kCmdDraw);
    if (!room) return;
    room->SetMonsterToAdd("wolf");
    QTimer::singleShot(0, &frame, [&frame] { frame.SendCommand(kCmdRoomMonsterAdd); });
  } else if (scene == "pick-meshes") {
    // The block chooser over the crypt's block set, on the block in the copy buffer.
    CRoom* room = EditRoom(frame, "crypt", kCmdDraw);
    if (!room || room->blockSet.GetCount() < 3) return;
    room->copyBlock.fileName = room->blockSet.GetPath(2);
    QTimer::singleShot(0, &frame, [&frame] { frame.SendCommand(kCmdBlockChoose); });
  } else if (scene == "pick-styles") {
    // The paint styles of the meadow with their blocks.
    if (!EditRoom(frame, "meadow", kCmdDraw)) return;
    QTimer::singleShot(0, &frame, [&frame] { frame.SendCommand(kCmdStyle); });
  } else if (scene == "map" || scene == "map-menu") {
    // The quest window maximised on the world map from the meadow's edge
    // over the crypt; for the menu, a right click on the crypt door's node.
    CRoomView* roomView = CRoomView::Instance();
    if (!roomView) return;
    for (QWidget* w = roomView; w; w = w->parentWidget()) {
      if (auto* sub = qobject_cast<QMdiSubWindow*>(w)) {
        sub->showMaximized();
        break;
      }
    }
    MapRect& view = ::Quest().mapView;
    view = MapRect{460, 20, 460 + (view.right - view.left), 20 + (view.bottom - view.top)};
    roomView->Redraw();
    if (scene == "map-menu")
      QTimer::singleShot(300, [] { TheMapEditMode().OnRightButtonDown(0, 932 - 460, 132 - 20); });
  } else if (scene == "object-dialog") {
    // A quest object's properties: its origin's description and sprite.
    ShowTab(kTreeObjects, 0);
    SelectTreeItem(kTreeObjects, "rustykey");
    QTimer::singleShot(0, &frame, [&frame] { frame.SendCommand(kCmdObjectProperties); });
  } else if (scene == "pick-objects") {
    // The Objects picker from the object's Origin button, a sword chosen.
    ShowTab(kTreeObjects, 0);
    SelectTreeItem(kTreeObjects, "goldcup");
    QTimer::singleShot(0, &frame, [&frame] { frame.SendCommand(kCmdObjectProperties); });
    ClickInDialogLater(600, "&Origin");
    ChooseRowLater(1200, "ITSWORD");
  } else if (scene == "monster-dialog") {
    // A quest monster's properties: its class named in the user's language.
    ShowTab(kTreeMonsters, 0);
    SelectTreeItem(kTreeMonsters, "oldguard");
    QTimer::singleShot(0, &frame, [&frame] { frame.SendCommand(kCmdMonsterProperties); });
  } else if (scene == "pick-frame") {
    // The frame picker a FRAME value opens, on the demo's smallest mesh.
    QTimer::singleShot(0, &frame, [] { Pickers().frame("demo_cup"); });
  } else if (scene == "pick-traps") {
    // Add Generic Trap over the crypt: the demo's traps with their meshes.
    if (!EditRoom(frame, "crypt", kCmdDraw)) return;
    QTimer::singleShot(0, &frame, [&frame] { frame.SendCommand(kCmdTrapAddGeneric); });
    ChooseRowLater(800, "spikes");
  } else if (scene == "room-tiles") {
    // The meadow seen whole: its sand path, pond, wood and house, all
    // painted with the palette's styles and auto-tiled.
    CRoom* room = EditRoom(frame, "meadow", kCmdDraw);
    if (!room) return;
    Overlook(*room, 31, 31, 7000.0f, -0.9f, 3.14159265f);
  } else if (scene == "room-traps") {
    // The crypt's spikes and its door and chest standing on the floor.
    CRoom* room = EditRoom(frame, "crypt", kCmdDraw);
    if (!room) return;
    Overlook(*room, 31, 32, 2000.0f, -0.7f, 0.0f);
  } else if (scene == "about") {
    QTimer::singleShot(0, &frame, [&frame] { frame.SendCommand(platform::ui::kCmdAppAbout); });
  }
}

}  // namespace

int main(int argc, char** argv) {
  platform::ui::QtApplication qt(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  if (argc != 3 || !platform::ChangeDirectory(argv[1])) {
    std::fprintf(stderr, "usage: kelvar_screens <start directory> <scene>\n");
    return 2;
  }
  platform::SetStartDirectory(platform::CurrentDirectory());
  const std::string scene = argv[2];

  ConstructGlobals();
  platform::ui::QtUi ui;
  CKelvarApp app;
  app.SetCommandLine({"demoquest.qst"});
  QTimer::singleShot(1500, [&app, scene] {
    if (CMainFrame* frame = app.MainFrame()) Scene(scene, *frame);
    QTimer::singleShot(1200, [] {
      std::printf("ready\n");
      std::fflush(stdout);
    });
  });
  return app.Run();
}
