// The world map's edit mode driven by scripted mouse input over the room
// view: panning, hits, the rubber band, node and room drags, resizing, edge
// scrolling, the context menus with their commands, and tooltips.
#include "editor/map_edit_mode.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QMouseEvent>
#include <algorithm>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "editor/element_pickers.h"
#include "editor/kelvar_commands.h"
#include "editor/machine_properties_dlg.h"
#include "editor/main_frame.h"
#include "editor/quest_tree_ctrl.h"
#include "editor/room_view.h"
#include "kelvar_fixture.h"
#include "user_input.h"
#include "quest/element_instance.h"
#include "quest/graph_node.h"
#include "quest/kelvar_doc.h"
#include "quest/machine.h"
#include "quest/monster.h"
#include "quest/quest_lists.h"
#include "quest/room.h"
#include "quest/world_graph.h"

namespace kelvartest {
namespace {

using namespace kelvar;

class MapEditModeTest : public KelvarTest {
 protected:
  void SetUp() override {
    KelvarTest::SetUp();
    WriteQuest("castle.qst", {{"gate"}, {"orc"}, {"ruby"}, {"hall"}});
    ASSERT_TRUE(Start({"castle.qst"}));
    view = CRoomView::Instance();
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(MapEditMode(), &TheMapEditMode());
    ASSERT_EQ(view->EditMode(), &TheMapEditMode()) << "a quest opens on its map";
    view->resize(640, 480);
    Settle();
    mode().SetMapTool(CMapEditMode::kToolMoveInstance);
    mode().Reset();
    // The map at the origin, nodes where the tests expect them.
    MapRect& v = Quest().mapView;
    v = MapRect{0, 0, v.right - v.left, v.bottom - v.top};
    machineNode = NodeOfKind(kNodeMachine);
    monsterNode = NodeOfKind(kNodeMonster);
    ASSERT_NE(machineNode, nullptr);
    ASSERT_NE(monsterNode, nullptr);
    Place(machineNode, 300, 60);
    Place(monsterNode, 420, 60);
    CurrentDocument()->SetModifiedFlag(false);
  }

  static CMapEditMode& mode() { return TheMapEditMode(); }
  static GraphNode* NodeOfKind(int kind) {
    for (GraphNode* n = Quest().graphNodes; n; n = n->next)
      if (n->kind == kind) return n;
    return nullptr;
  }
  // Every node but these out of the way.
  static void Place(GraphNode* node, int x, int y) {
    node->x = x;
    node->y = y;
  }
  static void ClearTheMap() {
    for (GraphNode* n = Quest().graphNodes; n; n = n->next) Place(n, 5000, 5000);
  }
  // An object node (48 x 48 without a game item) at the head of the list.
  static GraphNode* AddObjectNode(std::string_view name, int x, int y) {
    GraphNode* n = NewGraphNode(Quest().graphNodes);
    n->Set(kNodeObject, name, x, y, nullptr);
    return n;
  }
  static std::set<GraphNode*> Selected() {
    std::set<GraphNode*> out;
    for (GraphNode* n = Quest().graphNodes; n; n = n->next)
      if (n->flags & kNodeSelected) out.insert(n);
    return out;
  }
  static CRoom& Hall() { return *Quest().rooms; }

  void Mouse(QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent e(type, QPointF(p), view->mapToGlobal(QPointF(p)), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(view, &e);
  }
  void Press(QPoint p) { Mouse(QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton); }
  void Release(QPoint p) { Mouse(QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton); }
  void Drag(QPoint p) { Mouse(QEvent::MouseMove, p, Qt::NoButton, Qt::LeftButton); }
  void Hover(QPoint p) { Mouse(QEvent::MouseMove, p, Qt::NoButton, Qt::NoButton); }
  void RightClick(QPoint p) {
    Mouse(QEvent::MouseButtonPress, p, Qt::RightButton, Qt::RightButton);
    Mouse(QEvent::MouseButtonRelease, p, Qt::RightButton, Qt::NoButton);
    Settle();
  }
  void DragFromTo(QPoint from, QPoint to) {
    Press(from);
    Drag(to);
    Release(to);
  }

  CRoomView* view = nullptr;
  GraphNode* machineNode = nullptr;
  GraphNode* monsterNode = nullptr;
};

TEST_F(MapEditModeTest, PanMovesAlongOneAxisUnlessTheOtherIsMoreThanHalf) {
  mode().SetMapTool(CMapEditMode::kToolMoveView);
  struct Case {
    int dx, dy;
    int left, top;
  };
  for (const Case c : {Case{10, 4, -10, 0}, Case{10, 6, -10, -6}, Case{4, 10, 0, -10}, Case{-6, 10, 6, -10}}) {
    Quest().mapView = MapRect{0, 0, 640, 480};
    Press({200, 200});
    Drag({200 + c.dx, 200 + c.dy});
    Release({200 + c.dx, 200 + c.dy});
    EXPECT_EQ(Quest().mapView.left, c.left) << c.dx << "," << c.dy;
    EXPECT_EQ(Quest().mapView.top, c.top) << c.dx << "," << c.dy;
    EXPECT_EQ(Quest().mapView.right - Quest().mapView.left, 640);
    EXPECT_FALSE(mode().Panning());
  }
  EXPECT_FALSE(Modified()) << "panning changes no element";
}

TEST_F(MapEditModeTest, TheFirstNodeInListOrderWinsAHitAndAloneIsDragged) {
  GraphNode* below = AddObjectNode("ruby", 100, 300);
  GraphNode* above = AddObjectNode("ruby2", 120, 320);  // the list's head
  Press({130, 330});
  EXPECT_TRUE(mode().DraggingNodes());
  EXPECT_EQ(Selected(), std::set<GraphNode*>{above});
  Drag({150, 340});
  Release({150, 340});
  EXPECT_EQ(above->x, 140);
  EXPECT_EQ(above->y, 330);
  EXPECT_EQ(below->x, 100);
  EXPECT_EQ(below->y, 300);
  EXPECT_TRUE(Modified());
  // The edges belong to the node.
  EXPECT_EQ(CMapEditMode::HitTestNodes(below->x, below->y), below);
  EXPECT_EQ(CMapEditMode::HitTestNodes(below->x + 48, below->y + 48), above);
  EXPECT_EQ(CMapEditMode::HitTestNodes(below->x - 1, below->y), nullptr);
  EXPECT_TRUE(Selected().empty());
}

TEST_F(MapEditModeTest, AReversedRubberBandSelectsTheSameNodes) {
  ClearTheMap();
  GraphNode* a = AddObjectNode("a", 100, 100);
  GraphNode* b = AddObjectNode("b", 200, 150);
  AddObjectNode("c", 400, 400);
  std::set<GraphNode*> selections[2];
  const QPoint corners[2][2] = {{{90, 90}, {260, 210}}, {{260, 210}, {90, 90}}};
  for (int i = 0; i < 2; ++i) {
    mode().SetMapTool(CMapEditMode::kToolSelect);
    mode().Reset();
    DragFromTo(corners[i][0], corners[i][1]);
    selections[i] = Selected();
    EXPECT_EQ(mode().GetMapTool(), CMapEditMode::kToolMoveInstance);
    EXPECT_TRUE(mode().RubberBandShown());
    EXPECT_EQ(mode().RubberBand(), (ViewRect{90, 90, 260, 210}));
  }
  EXPECT_EQ(selections[0], (std::set<GraphNode*>{a, b}));
  EXPECT_EQ(selections[1], selections[0]);
  EXPECT_FALSE(Modified()) << "selecting changes nothing";

  // A press inside the band drags the selection and the band with it.
  DragFromTo({150, 150}, {160, 170});
  EXPECT_EQ(a->x, 110);
  EXPECT_EQ(a->y, 120);
  EXPECT_EQ(b->x, 210);
  EXPECT_EQ(mode().RubberBand(), (ViewRect{100, 110, 270, 230}));
  EXPECT_TRUE(Modified());
  // A press outside hides it and starts nothing.
  Press({600, 20});
  EXPECT_FALSE(mode().RubberBandShown());
  EXPECT_FALSE(mode().DraggingNodes());
  Release({600, 20});
}

TEST_F(MapEditModeTest, TheBandSelectsTheRoomsItMeetsAndDragsThemAlong) {
  ClearTheMap();
  mode().SetMapTool(CMapEditMode::kToolSelect);
  DragFromTo({50, 150}, {150, 250});  // over the hall's top-left corner (100, 200)
  EXPECT_TRUE(Hall().IsSelected());
  DragFromTo({60, 160}, {70, 160});
  EXPECT_EQ(Hall().left, 110);
  EXPECT_EQ(Hall().right, 238);
}

TEST_F(MapEditModeTest, ARoomBoxDragCarriesTheNodesInsideIt) {
  ClearTheMap();
  GraphNode* inside = AddObjectNode("in", 120, 220);
  GraphNode* outside = AddObjectNode("out", 300, 220);
  Press({180, 300});  // on the hall's body, not on a node
  EXPECT_TRUE(mode().DraggingRooms());
  EXPECT_EQ(Selected(), std::set<GraphNode*>{inside});
  Drag({200, 330});
  Release({200, 330});
  EXPECT_EQ(Hall().left, 120);
  EXPECT_EQ(Hall().top, 230);
  EXPECT_EQ(inside->x, 140);
  EXPECT_EQ(inside->y, 250);
  EXPECT_EQ(outside->x, 300);
  EXPECT_TRUE(Modified());
}

TEST_F(MapEditModeTest, TheResizeCornerResizesAndRefusesTooSmallBoxes) {
  ClearTheMap();
  Press({220, 320});  // in the 16 x 16 corner at the bottom right of (100, 200, 228, 328)
  EXPECT_TRUE(mode().ResizingRooms());
  EXPECT_EQ(mode().CanEdgeScroll(kEdgeLeft), 0) << "resizing never scrolls";
  Drag({250, 350});
  Release({250, 350});
  EXPECT_EQ(Hall().right, 258);
  EXPECT_EQ(Hall().bottom, 358);
  EXPECT_EQ(Hall().left, 100);
  EXPECT_TRUE(Modified());

  CurrentDocument()->SetModifiedFlag(false);
  Press({250, 350});
  Drag({100, 350});  // would leave a box 8 wide
  Release({100, 350});
  EXPECT_EQ(Hall().right, 258);
  EXPECT_FALSE(Modified()) << "a refused resize changes nothing";
}

TEST_F(MapEditModeTest, EdgeScrollingMovesTheDraggedNodeWithTheMap) {
  GraphNode* node = AddObjectNode("ruby", 100, 200);
  Press({110, 210});
  Drag({10, 210});  // into the left margin
  EXPECT_EQ(node->x, 0);
  EXPECT_EQ(view->EdgeScrollDirection(), kEdgeLeft);
  view->OnTimer(kEdgeScrollTimer);
  view->OnTimer(kEdgeScrollTimer);
  EXPECT_EQ(Quest().mapView.left, -64);
  EXPECT_EQ(node->x, -64) << "the node stays under the cursor";
  EXPECT_EQ(node->y, 200);
  Release({10, 210});
  view->OnTimer(kEdgeScrollTimer);
  EXPECT_EQ(Quest().mapView.left, -64) << "no drag, no scrolling";

  // Panning at the edge does not scroll either.
  mode().SetMapTool(CMapEditMode::kToolMoveView);
  Press({10, 210});
  EXPECT_EQ(mode().CanEdgeScroll(kEdgeLeft), 0);
  EXPECT_EQ(mode().EdgeScroll(kEdgeLeft), 0);
  Release({10, 210});
  EXPECT_EQ(Quest().mapView.left, -64);
}

TEST_F(MapEditModeTest, ADragReleasedOutsideTheWindowEndsCleanly) {
  GraphNode* node = AddObjectNode("ruby", 100, 200);
  Press({110, 210});
  Drag({-40, 600});
  Release({-40, 600});
  EXPECT_FALSE(view->HasCapture());
  EXPECT_FALSE(mode().DraggingNodes());
  EXPECT_EQ(node->x, -50);
  EXPECT_EQ(node->y, 590);

  // A release the view never saw: the next move without a button ends the drag.
  Press({-40 + 5, 600 - 5});
  ASSERT_TRUE(mode().DraggingNodes());
  Hover({300, 300});
  EXPECT_FALSE(mode().DraggingNodes());
  EXPECT_EQ(node->x, -50) << "nothing moved by the stray move";
  view->OnTimer(kEdgeScrollTimer);
  EXPECT_EQ(Quest().mapView.left, 0);

  // The same for a rubber band: it ends where it was last drawn.
  mode().SetMapTool(CMapEditMode::kToolSelect);
  Press({400, 300});
  Drag({450, 350});
  Hover({500, 400});
  EXPECT_FALSE(mode().RubberBandDrawing());
  EXPECT_EQ(mode().RubberBand(), (ViewRect{400, 300, 450, 350}));
  EXPECT_EQ(mode().GetMapTool(), CMapEditMode::kToolMoveInstance);
}

TEST_F(MapEditModeTest, MachineMenuSelectsTheMachineAndDeletesTheClickedInstance) {
  CMachine* gate = Quest().machines;
  gate->AddInstance("", 0, 0, nullptr);
  SyncMachineGraph(gate);
  ASSERT_EQ(ListLength(gate->instances), 2u);
  ClearTheMap();
  GraphNode* node = NodeOfKind(kNodeMachine);
  ASSERT_NE(node, nullptr);
  Place(node, 300, 60);
  const std::string clicked(node->keys->name);
  script.AnswerPopup(kCmdMachineInstanceDelete);
  RightClick({310, 70});
  ASSERT_EQ(script.popups.size(), 1u);
  EXPECT_EQ(script.popups[0].items[0].id, kCmdMachineProperties) << "the Machine submenu";
  EXPECT_EQ(ContextInstanceName(), clicked);
  CQuestTreeCtrl& tree = QuestTree(kTreeMachines);
  EXPECT_EQ(tree.GetItemText(tree.GetSelectedItem()), "gate");
  EXPECT_FALSE(MapClick().stored);
  ASSERT_EQ(ListLength(gate->instances), 1u);
  EXPECT_NE(std::string(gate->instances->name), clicked);
  EXPECT_TRUE(Modified());
}

TEST_F(MapEditModeTest, ObjectMenuOnlyForObjectsOfTheQuest) {
  ClearTheMap();
  AddObjectNode("ruby", 100, 100);
  AddObjectNode("pebble", 300, 100);
  RightClick({310, 110});
  EXPECT_TRUE(script.popups.empty()) << "no quest object of that key";

  script.AnswerPopup(kCmdObjectDelete);
  RightClick({110, 110});
  ASSERT_EQ(script.popups.size(), 1u);
  EXPECT_EQ(script.popups[0].items[0].id, kCmdObjectProperties);
  EXPECT_TRUE(ObjectKeys().empty()) << "Delete removed the clicked object";
  EXPECT_TRUE(Modified());
}

TEST_F(MapEditModeTest, MonsterMenuAddsAnInstanceOfTheClickedMonster) {
  ClearTheMap();
  Place(monsterNode, 420, 60);
  const std::string instance(monsterNode->keys->name);
  script.AnswerPopup(kCmdMonsterInstanceAdd);
  RightClick({430, 70});
  ASSERT_EQ(script.popups.size(), 1u);
  EXPECT_EQ(script.popups[0].items[0].id, kCmdMonsterProperties);
  EXPECT_EQ(ContextInstanceName(), instance);
  EXPECT_EQ(ListLength(Quest().monsters->instances), 2u);
  EXPECT_TRUE(Modified());
}

TEST_F(MapEditModeTest, RoomMenuEditsTheClickedRoom) {
  ClearTheMap();
  script.AnswerPopup(kCmdRoomEdit);
  RightClick({150, 250});
  ASSERT_EQ(script.popups.size(), 1u);
  EXPECT_EQ(script.popups[0].items[0].id, kCmdRoomProperties);
  EXPECT_TRUE(Hall().IsSelected());
  EXPECT_EQ(view->EditMode(), RoomEditMode());
  EXPECT_EQ(RoomEditMode()->EditedRoom(), &Hall());
}

TEST_F(MapEditModeTest, GeneralMenuKeepsTheClickPointAndSwitchesTools) {
  ClearTheMap();
  script.AnswerPopup(kCmdMapSelect);
  RightClick({500, 400});
  ASSERT_EQ(script.popups.size(), 1u);
  EXPECT_EQ(script.popups[0].items[0].id, kCmdMachineAdd) << "the General submenu";
  EXPECT_TRUE(MapClick().stored);
  EXPECT_EQ(MapClick().x, 500);
  EXPECT_EQ(MapClick().y, 400);
  EXPECT_TRUE(ContextInstanceName().empty());
  EXPECT_EQ(mode().GetMapTool(), CMapEditMode::kToolSelect);
  // A right click on a node takes the stored point back.
  Place(monsterNode, 100, 100);
  RightClick({110, 110});
  EXPECT_FALSE(MapClick().stored);
}

TEST_F(MapEditModeTest, DoubleClickDropsTheBandAndSelects) {
  ClearTheMap();
  GraphNode* node = AddObjectNode("ruby", 100, 100);
  auto asked = std::make_shared<std::vector<std::string>>();
  Pickers().questObject = [asked](std::string_view current) -> std::optional<std::string> {
    asked->emplace_back(current);
    return std::nullopt;
  };
  mode().SetMapTool(CMapEditMode::kToolSelect);
  DragFromTo({50, 50}, {200, 200});
  ASSERT_TRUE(mode().RubberBandShown());
  Mouse(QEvent::MouseButtonDblClick, {110, 110}, Qt::LeftButton, Qt::LeftButton);
  Release({110, 110});
  EXPECT_FALSE(mode().RubberBandShown());
  EXPECT_EQ(Selected(), std::set<GraphNode*>{node});
  EXPECT_TRUE(script.dialogs.empty()) << "an object node opens its dialog only with Shift";
  // Without Shift it offers the objects to point its links at; a cancelled pick changes nothing.
  ASSERT_EQ(asked->size(), 1u);
  EXPECT_EQ((*asked)[0], "ruby");
  EXPECT_FALSE(Modified());
}

// Shift + double-click on an object node edits the quest object of its
// name; a node naming none (or no Shift) offers the objects to point its
// links at. The double click is the window system's, Shift held with it.
TEST_F(MapEditModeTest, ShiftDoubleClickOnAnObjectNodeOfNoQuestObjectOffersTheObjects) {
  struct Case {
    const char* node;
    Qt::KeyboardModifiers modifiers;
    const char* dialog;
  };
  const Case cases[] = {
      {"gem", Qt::ShiftModifier, "Objects..."},
      {"gem", Qt::NoModifier, "Objects..."},
      {"ruby", Qt::ShiftModifier, "Object properties..."},
      {"RUBY", Qt::ShiftModifier, "Object properties..."},
      {"ruby", Qt::NoModifier, "Objects..."},
  };
  for (const Case& c : cases) {
    ClearTheMap();
    AddObjectNode(c.node, 100, 100);
    std::vector<std::string> rows;
    script.ShowDialog([&](platform::ui::Dialog& d) {
      if (auto* list = d.findChild<QListWidget*>()) {
        for (int i = 0; i < list->count(); ++i) rows.push_back(list->item(i)->text().toStdString());
      }
      ClickButton(d, "Cancel");
    });
    const std::size_t before = script.dialogs.size();
    QTest::mouseDClick(view, Qt::LeftButton, c.modifiers, QPoint(110, 110));
    QTest::mouseMove(view, QPoint(300, 300));  // Shift let go
    Settle();
    ASSERT_EQ(script.dialogs.size(), before + 1) << c.node << " " << int(c.modifiers);
    EXPECT_EQ(script.dialogs.back().title, c.dialog) << c.node << " " << int(c.modifiers);
    EXPECT_TRUE(script.dialogs.back().shown);
    if (std::string(c.dialog) == "Objects...") {
      EXPECT_NE(std::find(rows.begin(), rows.end(), "ruby"), rows.end()) << "the quest's objects are offered";
    }
    EXPECT_FALSE(Modified()) << "cancelled";
  }
}

TEST_F(MapEditModeTest, DoubleClickOnAMachineOrARoomOpensItsProperties) {
  script.AnswerDialog(platform::ui::kDialogOk, [](platform::ui::Dialog& d) {
    dynamic_cast<CMachinePropertiesDlg&>(d).KeyEdit()->setText("portal");
  });
  Mouse(QEvent::MouseButtonDblClick, {310, 70}, Qt::LeftButton, Qt::LeftButton);
  Release({310, 70});
  ASSERT_EQ(script.dialogs.size(), 1u);
  EXPECT_EQ(script.dialogs[0].title, "Machine properties...");
  EXPECT_STREQ(Quest().machines->name, "portal");
  EXPECT_EQ(TreeTexts(kTreeMachines), std::vector<std::string>{"portal"});
  EXPECT_TRUE(Modified());

  // The room's body, away from every node.
  ClearTheMap();
  script.AnswerDialog(platform::ui::kDialogCancel);
  const QPoint inHall(Hall().left + 10 - Quest().mapView.left, Hall().top + 10 - Quest().mapView.top);
  Mouse(QEvent::MouseButtonDblClick, inHall, Qt::LeftButton, Qt::LeftButton);
  Release(inHall);
  ASSERT_EQ(script.dialogs.size(), 2u);
  EXPECT_EQ(script.dialogs[1].title, "Room");
}

TEST_F(MapEditModeTest, TooltipsFollowTheirNodesAndShowOnlyOnTheMap) {
  ElementInstance* instance = Quest().machines->instances;
  ASSERT_NE(instance, nullptr);
  EXPECT_EQ(view->ToolTip().Count(), 1);
  Place(machineNode, 200, 100);
  view->repaint();
  Settle();
  EXPECT_EQ(view->ToolTip().TextAt(QPoint(210, 110)), "A door that opens.");
  EXPECT_FALSE(view->ToolTip().TextAt(QPoint(20, 20)).has_value());
  // Moving the map moves the tooltip with the drawing.
  Quest().mapView.left += 100;
  Quest().mapView.right += 100;
  view->repaint();
  Settle();
  EXPECT_EQ(view->ToolTip().TextAt(QPoint(110, 110)), "A door that opens.");
  EXPECT_FALSE(view->ToolTip().TextAt(QPoint(210, 110)).has_value());

  SelectInTree(kTreeRooms, "hall");
  ASSERT_TRUE(Send(kCmdRoomEdit));
  EXPECT_FALSE(view->ToolTip().TextAt(QPoint(110, 110)).has_value()) << "not over the room";
  ASSERT_TRUE(Send(kCmdHierarchyView));
  EXPECT_EQ(view->ToolTip().TextAt(QPoint(110, 110)), "A door that opens.");

  // Registering the instance again replaces its tooltip rather than adding one.
  Quest().view->AddInstanceTooltip(instance, "A door that opens.");
  EXPECT_EQ(view->ToolTip().Count(), 1);
  // Deleting the instance takes its tooltip away.
  const std::string name(instance->name);
  Quest().machines->DeleteInstance(name);
  EXPECT_EQ(view->ToolTip().Count(), 0);
}

TEST_F(MapEditModeTest, ViewRectangleKeepsItsCornerAndTakesTheClientSize) {
  Quest().mapView = MapRect{-150, 40, 0, 0};
  mode().SetViewRect({0, 0, 500, 300});
  EXPECT_EQ(mode().GetViewRect(), (ViewRect{-150, 40, 350, 340}));
  EXPECT_EQ(mode().EdgeScroll(7), 0) << "nothing is dragged";
}

}  // namespace
}  // namespace kelvartest
