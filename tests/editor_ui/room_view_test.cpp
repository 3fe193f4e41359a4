// The room view: mode switching, edge scrolling, the surface kept in step
// with the pane, mouse input handed to the mode, and tooltips.
#include <gtest/gtest.h>

#include <QTest>
#include <algorithm>

#include "editor/display_objects.h"
#include "editor/edit_modes.h"
#include "editor/kelvar_commands.h"
#include "editor/main_frame.h"
#include "editor/room_view.h"
#include "kelvar_fixture.h"
#include "platform/core/trace.h"
#include "quest/quest_lists.h"
#include "render/cdd.h"
#include "render/cdd_renderer.h"
#include "render/engine_3d.h"

namespace kelvartest {
namespace {

using namespace kelvar;

class RoomViewTest : public KelvarTest {
 protected:
  void SetUp() override {
    KelvarTest::SetUp();
    ASSERT_TRUE(StartWithModes());
    view = CRoomView::Instance();
    ASSERT_NE(view, nullptr);
  }
  // A mouse move inside the view, as the window system reports it.
  void MoveTo(QPoint p) {
    QMouseEvent move(QEvent::MouseMove, QPointF(p), view->mapToGlobal(QPointF(p)), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(view, &move);
  }
  CRoomView* view = nullptr;
};

TEST_F(RoomViewTest, EdgeScrollDirectionTestsLeftRightTopBottomInThatOrder) {
  view->resize(400, 300);
  struct Case {
    QPoint point;
    int edge;
  };
  const Case cases[] = {
      {{200, 150}, -1},         {{31, 150}, kEdgeLeft},  {{32, 150}, -1},           {{369, 150}, kEdgeRight},
      {{368, 150}, -1},         {{200, 31}, kEdgeTop},   {{200, 269}, kEdgeBottom}, {{10, 10}, kEdgeLeft},
      {{390, 290}, kEdgeRight}, {{-50, 150}, kEdgeLeft}, {{200, 500}, kEdgeBottom},
  };
  for (const Case& c : cases) {
    MoveTo(c.point);
    EXPECT_EQ(view->EdgeScrollDirection(), c.edge) << c.point.x() << "," << c.point.y();
  }
}

TEST_F(RoomViewTest, TimerScrollsOnlyWhenTheModeCanAtThatEdge) {
  view->resize(400, 300);
  MoveTo({10, 150});
  mapMode.canScroll = 0;
  view->OnTimer(kEdgeScrollTimer);
  EXPECT_TRUE(mapMode.scrolled.empty());
  mapMode.canScroll = 1;
  view->OnTimer(kEdgeScrollTimer);
  view->OnTimer(kEdgeScrollTimer);  // every tick while the drag lasts, without moving
  EXPECT_EQ(mapMode.scrolled, (std::vector<int>{kEdgeLeft, kEdgeLeft}));
  MoveTo({200, 299});
  view->OnTimer(kEdgeScrollTimer);
  EXPECT_EQ(mapMode.scrolled.back(), kEdgeBottom);
  MoveTo({200, 150});
  view->OnTimer(kEdgeScrollTimer);
  EXPECT_EQ(mapMode.scrolled.size(), 3u) << "nothing away from the edges";
  view->OnTimer(1);
  EXPECT_EQ(mapMode.scrolled.size(), 3u) << "only timer 3";
  EXPECT_TRUE(view->Timers().IsSet(kEdgeScrollTimer));
  EXPECT_EQ(view->Timers().Interval(kEdgeScrollTimer), 100);
}

TEST_F(RoomViewTest, BandsAndTooltipsFollowTheMode) {
  CMainFrame& frame = Main();
  EXPECT_EQ(view->EditMode(), &mapMode) << "a new quest window shows the world map";
  EXPECT_TRUE(frame.IsBandVisible(kBandMapTools));
  for (int band : {kBandBlock, kBandCamera, kBandEdit, kBandCollision, kBandLink}) EXPECT_FALSE(frame.IsBandVisible(band));
  EXPECT_TRUE(view->ToolTip().IsActive());

  ASSERT_TRUE(Send(kCmdEditView));
  EXPECT_EQ(view->EditMode(), &roomMode);
  EXPECT_EQ(roomMode.window, view->VideoWindow());
  EXPECT_FALSE(frame.IsBandVisible(kBandMapTools));
  for (int band : {kBandBlock, kBandCamera, kBandEdit, kBandCollision, kBandLink}) EXPECT_TRUE(frame.IsBandVisible(band));
  EXPECT_TRUE(frame.IsBandVisible(kBandView));
  EXPECT_FALSE(view->ToolTip().IsActive()) << "tooltips only over the world map";

  ASSERT_TRUE(Send(kCmdHierarchyView));
  EXPECT_EQ(view->EditMode(), &mapMode);
  EXPECT_TRUE(frame.IsBandVisible(kBandMapTools));
  for (int band : {kBandBlock, kBandCamera, kBandEdit, kBandCollision, kBandLink}) EXPECT_FALSE(frame.IsBandVisible(band));
  EXPECT_TRUE(view->ToolTip().IsActive());
}

TEST_F(RoomViewTest, SurfaceIsNeverSmallerThanTheMinimumAndTheModeFollowsTheRealSize) {
  Cdd& cdd = *kelvar::Display().cdd;
  struct Case {
    int cx, cy;
    int surfaceW, surfaceH;
  };
  const Case cases[] = {{300, 200, 736, 480}, {900, 600, 996, 600}, {639, 700, 736, 700}, {700, 100, 796, 480}};
  for (const Case& c : cases) {
    view->OnSize(c.cx, c.cy);
    EXPECT_EQ(cdd.GetWidth(), c.surfaceW) << c.cx << "x" << c.cy;
    EXPECT_EQ(cdd.GetHeight(), c.surfaceH);
    EXPECT_EQ(CCddRenderer::ScreenWidth(), cdd.GetWidth()) << "the renderer gets the real surface";
    EXPECT_EQ(CCddRenderer::ScreenHeight(), cdd.GetHeight());
    EXPECT_EQ(RenderSurfaceRect(), (ViewRect{0, 0, c.surfaceW, c.surfaceH}));
    EXPECT_EQ(VisibleViewRect(), (ViewRect{0, 0, c.surfaceW - 96, c.surfaceH}));
    EXPECT_EQ(mapMode.viewRect.Width(), c.cx);
    EXPECT_EQ(mapMode.viewRect.Height(), c.cy);
  }
}

TEST_F(RoomViewTest, ResizeToTheSameSurfaceLeavesTheDeviceAlone) {
  view->OnSize(300, 200);
  platform::TraceCapture trace;
  auto formats = [&trace] {
    int n = 0;
    for (const std::string& line : trace.lines()) n += line.find("BEGIN SETFORMAT") != std::string::npos;
    return n;
  };
  view->OnSize(320, 240);
  EXPECT_EQ(formats(), 0) << "still 736 x 480";
  EXPECT_EQ(mapMode.viewRect.Width(), 320) << "the mode still learns the new size";
  view->OnSize(800, 240);
  EXPECT_EQ(formats(), 1);
}

TEST_F(RoomViewTest, MouseGoesToTheModeWithCaptureAndRelease) {
  Main().resize(1000, 700);
  Settle();
  mapMode.calls.clear();
  QTest::mousePress(view, Qt::LeftButton, {}, QPoint(50, 60));
  EXPECT_EQ(mapMode.calls.back(), "down 50,60");
  EXPECT_TRUE(view->HasCapture()) << "the mode asked for the mouse";
  QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(50, 60));
  EXPECT_EQ(mapMode.calls.back(), "up");
  EXPECT_FALSE(view->HasCapture());

  mapMode.captureOnDown = 1;
  QTest::mousePress(view, Qt::LeftButton, {}, QPoint(5, 6));
  ASSERT_TRUE(view->HasCapture());
  QTest::mouseDClick(view, Qt::LeftButton, {}, QPoint(5, 6));
  EXPECT_FALSE(view->HasCapture()) << "a double-click always releases";
  EXPECT_NE(std::find(mapMode.calls.begin(), mapMode.calls.end(), "dblclick"), mapMode.calls.end());

  QTest::mousePress(view, Qt::RightButton, {}, QPoint(7, 8));
  QTest::mouseRelease(view, Qt::RightButton, {}, QPoint(7, 8));
  EXPECT_EQ(mapMode.calls[mapMode.calls.size() - 2], "rdown");
  EXPECT_EQ(mapMode.calls.back(), "rup");
}

TEST_F(RoomViewTest, InitialUpdateResetsTheModeAndPaintingGoesThroughIt) {
  EXPECT_GE(mapMode.resets, 1);
  Main().resize(1000, 700);
  Settle();
  const int before = mapMode.renders;
  view->repaint();
  EXPECT_GT(mapMode.renders, before);
}

TEST_F(RoomViewTest, MapInstancesGetTooltipsInTheView) {
  const auto* instance = reinterpret_cast<const ElementInstance*>(&mapMode);
  Quest().view->AddInstanceTooltip(instance, "A door that opens.");
  EXPECT_EQ(view->ToolTip().Count(), 1);
  view->ToolTip().SetToolRect(reinterpret_cast<std::uintptr_t>(instance), QRect(10, 10, 20, 20));
  EXPECT_EQ(view->ToolTip().TextAt(QPoint(15, 15)), "A door that opens.");
  Quest().view->RemoveInstanceTooltip(instance);
  EXPECT_EQ(view->ToolTip().Count(), 0);
  MapRect rect;
  mapMode.viewRect = ViewRect{100, 50, 740, 530};
  ASSERT_TRUE(Quest().view->GetViewRect(rect));
  EXPECT_EQ(rect.left, 100);
  EXPECT_EQ(rect.bottom, 530);
}

}  // namespace
}  // namespace kelvartest
