// The room edit mode: tools driven by scripted mouse input over the room
// view, camera drags, the context menus, and the quest marked modified by
// every edit that changes something.
#include "editor/room_edit_mode.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMouseEvent>
#include <cmath>

#include "editor/kelvar_commands.h"
#include "editor/main_frame.h"
#include "editor/quest_tree_ctrl.h"
#include "editor/room_view.h"
#include "kelvar_fixture.h"
#include "quest/kelvar_doc.h"
#include "quest/room.h"
#include "quest/tile_palette.h"

namespace kelvartest {
namespace {

using namespace kelvar;

class RoomEditModeTest : public KelvarTest {
 protected:
  void SetUp() override {
    KelvarTest::SetUp();
    WriteQuest("castle.qst", {{"gate"}, {"orc"}, {}, {"hall"}});
    ASSERT_TRUE(Start({"castle.qst"}));
    view = CRoomView::Instance();
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(RoomEditMode(), &TheRoomEditMode());
    SelectInTree(kTreeRooms, "hall");
    ASSERT_TRUE(Send(kCmdRoomEdit));
    room = TheRoomEditMode().EditedRoom();
    ASSERT_NE(room, nullptr);
    TilePalette().SetRandom([] { return 0; });
    for (const char* n : {"sand1", "sand2", "sand3", "grass1", "grass2", "grass3"})
      room->blockSet.FindOrAdd(std::string("rozizuzi\\blocks\\") + n + ".o3d");
    room->UpdateCamera();
    CurrentDocument()->SetModifiedFlag(false);
  }
  void TearDown() override {
    TilePalette().SetRandom(nullptr);
    KelvarTest::TearDown();
  }
  // Where a cell's middle is seen in the view.
  QPoint PixelOf(int column, int row) const {
    return GroundCellPixel(*room, column, row);
  }
  QPoint BlockPixel(int column, int row) const { return PixelOf(BlockToCell(column), BlockToCell(row)); }
  void Mouse(QEvent::Type type, QPoint p, Qt::MouseButton button) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent e(type, QPointF(p), view->mapToGlobal(QPointF(p)), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(view, &e);
  }
  void Press(QPoint p) { Mouse(QEvent::MouseButtonPress, p, Qt::LeftButton); }
  void Release(QPoint p) { Mouse(QEvent::MouseButtonRelease, p, Qt::LeftButton); }
  void Move(QPoint p) {
    QMouseEvent e(QEvent::MouseMove, QPointF(p), view->mapToGlobal(QPointF(p)), Qt::NoButton,
                  TheRoomEditMode().ButtonHeld() ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view, &e);
  }
  void DoubleClick(QPoint p) { Mouse(QEvent::MouseButtonDblClick, p, Qt::LeftButton); }
  void Click(QPoint p) {
    Press(p);
    Release(p);
  }
  std::string NameAt(int column, int row) const { return CBankNames::BaseName(room->Block(column, row).fileName); }

  CRoomView* view = nullptr;
  CRoom* room = nullptr;
};

TEST_F(RoomEditModeTest, OpeningARoomBuildsItsPaletteAndStartsWithTheCameraTool) {
  EXPECT_EQ(TilePalette().GetRowCount(), 137);  // an outdoor room
  EXPECT_EQ(TheRoomEditMode().GetMode(), 1);
  EXPECT_EQ(view->EditMode(), &TheRoomEditMode());
  EXPECT_TRUE(Enabled(kCmdDraw));
  EXPECT_TRUE(Send(kCmdCollisionSet));
  EXPECT_EQ(room->tool, 20);
  EXPECT_TRUE(Checked(kCmdCollisionSet));
  EXPECT_FALSE(Enabled(kCmdBlockRotate)) << "rotating blocks needs a dungeon room";
  EXPECT_FALSE(Modified());
}

TEST_F(RoomEditModeTest, DrawingByDraggingPaintsEveryBlockOnTheWay) {
  TheRoomEditMode().SetMode(CRoom::kToolDraw);
  Press(BlockPixel(32, 32));
  Move(BlockPixel(33, 32));
  Move(BlockPixel(34, 32));
  Release(BlockPixel(34, 32));
  for (int c = 32; c <= 34; ++c) EXPECT_EQ(NameAt(c, 32).rfind("sand", 0), 0u) << c;
  EXPECT_FALSE(room->Block(35, 32).HasBlock());
  EXPECT_TRUE(Modified());
  EXPECT_FALSE(room->buttonDown);
  // Erasing puts the erase style's ground back.
  TheRoomEditMode().SetMode(CRoom::kToolErase);
  Click(BlockPixel(33, 32));
  EXPECT_EQ(NameAt(33, 32).rfind("grass", 0), 0u);
}

TEST_F(RoomEditModeTest, OnlyEditsThatChangeSomethingMarkTheQuest) {
  TheRoomEditMode().SetMode(CRoom::kToolSetCollision);
  Click(PixelOf(96, 97));
  EXPECT_EQ(room->Collision(96, 97), kCollisionBlocked);
  EXPECT_TRUE(Modified());
  CurrentDocument()->SetModifiedFlag(false);
  Click(PixelOf(96, 97));
  EXPECT_FALSE(Modified()) << "the cell was set already";
  TheRoomEditMode().SetMode(CRoom::kToolSetLowCollision);
  Press(PixelOf(98, 97));
  Move(PixelOf(99, 97));
  Release(PixelOf(99, 97));
  EXPECT_EQ(room->Collision(98, 97), kCollisionLow);
  EXPECT_EQ(room->Collision(99, 97), kCollisionLow);
  EXPECT_TRUE(Modified());
  // The camera is the room's view, not its content.
  CurrentDocument()->SetModifiedFlag(false);
  TheRoomEditMode().SetMode(CRoom::kToolZoom);
  Press({300, 200});
  Move({300, 260});
  Release({300, 260});
  EXPECT_FLOAT_EQ(room->distance, 4000.0f + 240.0f);
  EXPECT_FALSE(Modified());
}

TEST_F(RoomEditModeTest, RotateBlockDoubleClickTurnsTwice) {
  room->Block(32, 32).fileName = "rozizuzi\\blocks\\sand1.o3d";
  TheRoomEditMode().SetMode(CRoom::kToolRotateBlock);
  Press(BlockPixel(32, 32));
  Release(BlockPixel(32, 32));
  DoubleClick(BlockPixel(32, 32));
  Release(BlockPixel(32, 32));
  EXPECT_EQ(room->Block(32, 32).rotation, 2);
  EXPECT_FALSE(view->HasCapture());
}

TEST_F(RoomEditModeTest, PickingABlockSwitchesToSettingIt) {
  room->Block(31, 31).fileName = "rozizuzi\\blocks\\grass2.o3d";
  room->Block(31, 31).rotation = 3;
  TheRoomEditMode().SetMode(CRoom::kToolPickBlock);
  Click(BlockPixel(31, 31));
  EXPECT_EQ(room->tool, CRoom::kToolSetBlock);
  EXPECT_EQ(room->copyBlock.fileName, "rozizuzi\\blocks\\grass2.o3d");
  Click(BlockPixel(33, 33));
  EXPECT_EQ(room->Block(33, 33).fileName, "rozizuzi\\blocks\\grass2.o3d");
  EXPECT_EQ(room->Block(33, 33).rotation, 3);
}

TEST_F(RoomEditModeTest, MovingABlockByDragging) {
  room->Block(32, 32).fileName = "rozizuzi\\blocks\\sand1.o3d";
  TheRoomEditMode().SetMode(CRoom::kToolMoveBlock);
  Press(BlockPixel(32, 32));
  EXPECT_TRUE(room->buttonDown);
  Move(BlockPixel(32, 33));
  EXPECT_EQ(room->blockX, 32);
  EXPECT_EQ(room->blockY, 33);
  Release(BlockPixel(32, 34));
  EXPECT_FALSE(room->Block(32, 32).HasBlock());
  EXPECT_EQ(room->Block(32, 34).fileName, "rozizuzi\\blocks\\sand1.o3d");
  TheRoomEditMode().SetMode(CRoom::kToolCopyBlock);
  Press(BlockPixel(32, 34));
  Release(BlockPixel(30, 34));
  EXPECT_TRUE(room->Block(32, 34).HasBlock());
  EXPECT_TRUE(room->Block(30, 34).HasBlock());
}

TEST_F(RoomEditModeTest, CameraDragsPickOneAxisOrBoth) {
  CRoomEditMode& mode = TheRoomEditMode();
  mode.SetMode(CRoom::kToolRotateCamera);
  struct Drag {
    int dx, dy;
    bool yaws, pitches;
  };
  for (const Drag d : {Drag{10, 3, true, false}, Drag{3, 10, false, true}}) {
    room->yaw = 0.0f;
    room->pitch = -0.5f;
    mode.OnButtonDown(0, 100, 100);
    EXPECT_EQ(mode.OnMouseMove(0, 100 + d.dx, 100 + d.dy), 1);
    mode.OnButtonUp(0, 100 + d.dx, 100 + d.dy);
    EXPECT_EQ(room->yaw != 0.0f, d.yaws) << d.dx;
    EXPECT_EQ(room->pitch != -0.5f, d.pitches) << d.dx;
  }
  mode.SetMode(CRoom::kToolTranslateCamera);
  struct Move2 {
    int dx, dy;
    bool alongX, alongZ;
  };
  for (const Move2 m : {Move2{10, 3, true, false}, Move2{10, 6, true, true}, Move2{2, 9, false, true}}) {
    room->yaw = 0.0f;
    const float x0 = room->targetX, z0 = room->targetZ;
    mode.OnButtonDown(0, 100, 100);
    mode.OnMouseMove(0, 100 + m.dx, 100 + m.dy);
    mode.OnButtonUp(0, 100 + m.dx, 100 + m.dy);
    EXPECT_EQ(room->targetX != x0, m.alongX) << m.dx << "," << m.dy;
    EXPECT_EQ(room->targetZ != z0, m.alongZ) << m.dx << "," << m.dy;
  }
  // Without a button the camera tools do nothing.
  const float yaw = room->yaw;
  mode.SetMode(CRoom::kToolRotateCamera);
  EXPECT_EQ(mode.OnMouseMove(0, 500, 300), 0);
  EXPECT_EQ(room->yaw, yaw);
}

TEST_F(RoomEditModeTest, HoveringRedrawsOnlyWhenTheCursorCellChanges) {
  CRoomEditMode& mode = TheRoomEditMode();
  mode.SetMode(CRoom::kToolSetCollision);
  const QPoint a = PixelOf(96, 96), b = PixelOf(97, 96);
  mode.OnMouseMove(0, a.x(), a.y());
  EXPECT_EQ(mode.OnMouseMove(0, a.x(), a.y()), 0);
  EXPECT_EQ(mode.OnMouseMove(0, b.x(), b.y()), 1);
  mode.SetMode(CRoom::kToolDeleteBlock);  // a block tool: the same block is no change
  const QPoint c = PixelOf(98, 96);
  EXPECT_EQ(mode.OnMouseMove(0, c.x(), c.y()), 0);
  EXPECT_EQ(mode.EdgeScroll(kEdgeLeft), 0);
  EXPECT_EQ(mode.CanEdgeScroll(kEdgeRight), 0);
}

TEST_F(RoomEditModeTest, RightClickOnEmptyGroundOpensTheRoomMenu) {
  script.AnswerPopup(0);
  const QPoint p = PixelOf(97, 97);
  Mouse(QEvent::MouseButtonPress, p, Qt::RightButton);
  Mouse(QEvent::MouseButtonRelease, p, Qt::RightButton);
  ASSERT_EQ(script.popups.size(), 1u);
  ASSERT_FALSE(script.popups[0].items.empty());
  EXPECT_EQ(script.popups[0].items[0].id, kCmdHierarchyView) << "the RoomEdit submenu";
  EXPECT_TRUE(MapClick().stored);
  EXPECT_EQ(MapClick().x, p.x());
}

TEST_F(RoomEditModeTest, WithoutARoomNothingChanges) {
  CRoomEditMode& mode = TheRoomEditMode();
  mode.SetEditedRoom(nullptr);
  EXPECT_EQ(mode.GetMode(), 0);
  mode.SetMode(5);
  EXPECT_EQ(mode.OnButtonDown(0, 10, 10), 1) << "the view always captures";
  EXPECT_EQ(mode.OnMouseMove(0, 20, 20), 0);
  mode.OnButtonUp(0, 20, 20);
  mode.OnDoubleClick(0, 20, 20);
  EXPECT_FALSE(Modified());
  script.AnswerPopup(0);
  mode.OnRightButtonDown(0, 30, 40);
  ASSERT_EQ(script.popups.size(), 1u);
  EXPECT_EQ(script.popups[0].items[0].id, kCmdHierarchyView);
  mode.SetEditedRoom(room);
}

TEST_F(RoomEditModeTest, ChoosingABlockGoesThroughTheChooser) {
  std::vector<std::string> offered;
  std::string preset;
  CRoomEditMode::SetBlockChooser([&](const std::vector<std::string>& names, std::string& choice) {
    offered = names;
    preset = choice;
    choice = "grass3";
    return true;
  });
  room->copyBlock.fileName = "ROZIZUZI\\BLOCKS\\SAND2.O3D";
  TheRoomEditMode().ChooseBlock();
  CRoomEditMode::SetBlockChooser(nullptr);
  EXPECT_EQ(offered.size(), 6u);
  EXPECT_EQ(preset, "sand2");
  EXPECT_EQ(room->copyBlock.fileName, "rozizuzi\\blocks\\grass3.o3d");
  EXPECT_EQ(room->copyBlock.extra, 1);
}

TEST_F(RoomEditModeTest, PaintingDrawsTheRoomIntoTheView) {
  TheRoomEditMode().SetMode(CRoom::kToolSetCollision);
  view->repaint();
  Settle();
  // The drawing told the room how it projects, which the picks invert.
  EXPECT_GT(room->focalX, 400.0f);
  const QPoint p = PixelOf(100, 95);
  Click(p);
  EXPECT_EQ(room->cellX, 100);
  EXPECT_EQ(room->cellY, 95);
}

}  // namespace
}  // namespace kelvartest
