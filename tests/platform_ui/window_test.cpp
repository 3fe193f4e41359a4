#include <gtest/gtest.h>

#include <QHelpEvent>
#include <QtTest/QTest>

#include "platform/core/profile.h"
#include "platform/ui/tool_tips.h"
#include "platform/ui/window_placement.h"
#include "platform/ui/window_timers.h"
#include "ui_test_support.h"

using namespace platform::ui;

namespace {

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override { uitest::EnsureQtApp(); }
};

TEST_F(WindowTest, TimersTickWithTheirIdsUntilKilled) {
  std::vector<int> ticks;
  WindowTimers timers([&](int id) { ticks.push_back(id); });
  timers.Set(3, 10);
  EXPECT_TRUE(timers.IsSet(3));
  EXPECT_EQ(timers.Interval(3), 10);
  QTest::qWait(60);
  ASSERT_FALSE(ticks.empty());
  for (int id : ticks) EXPECT_EQ(id, 3);
  timers.Kill(3);
  size_t n = ticks.size();
  QTest::qWait(40);
  EXPECT_EQ(ticks.size(), n);
  EXPECT_FALSE(timers.IsSet(3));
  EXPECT_EQ(timers.Interval(3), 0);
}

TEST_F(WindowTest, SettingATimerAgainRestartsItWithTheNewPeriod) {
  int ticks = 0;
  WindowTimers timers([&](int) { ++ticks; });
  timers.Set(1, 10000);
  timers.Set(1, 5);
  EXPECT_EQ(timers.Interval(1), 5);
  QTest::qWait(40);
  EXPECT_GT(ticks, 0);
}

TEST_F(WindowTest, TimerMayKillItselfFromItsTick) {
  int ticks = 0;
  WindowTimers* self = nullptr;
  WindowTimers timers([&](int id) {
    ++ticks;
    self->Kill(id);
  });
  self = &timers;
  timers.Set(7, 1);
  QTest::qWait(30);
  EXPECT_EQ(ticks, 1);
}

TEST_F(WindowTest, ToolTipsAnswerByRectangleOnlyWhileActive) {
  QWidget owner;
  owner.resize(200, 200);
  ToolTips tips(&owner);
  tips.AddTool(1, "first machine", QRect(0, 0, 50, 50));
  tips.AddTool(2, "second", QRect(100, 100, 20, 20));
  EXPECT_EQ(tips.TextAt(QPoint(10, 10)), "first machine");
  EXPECT_EQ(tips.TextAt(QPoint(110, 110)), "second");
  EXPECT_EQ(tips.TextAt(QPoint(70, 70)), std::nullopt);
  tips.SetToolRect(2, QRect(60, 60, 20, 20));  // the node moved
  EXPECT_EQ(tips.TextAt(QPoint(70, 70)), "second");
  EXPECT_EQ(tips.TextAt(QPoint(110, 110)), std::nullopt);
  tips.Activate(false);
  EXPECT_EQ(tips.TextAt(QPoint(10, 10)), std::nullopt);
  tips.Activate(true);
  tips.AddTool(1, "renamed", QRect(0, 0, 5, 5));  // same id replaces
  EXPECT_EQ(tips.Count(), 2);
  EXPECT_EQ(tips.TextAt(QPoint(1, 1)), "renamed");
  tips.RemoveTool(1);
  EXPECT_EQ(tips.Count(), 1);
}

TEST_F(WindowTest, ToolTipEventsAreTakenByTheControl) {
  QWidget owner;
  owner.resize(100, 100);
  ToolTips tips;
  tips.Attach(&owner);  // the control existed before its widget
  tips.AddTool(9, "x", QRect(0, 0, 10, 10));
  QHelpEvent inside(QEvent::ToolTip, QPoint(5, 5), owner.mapToGlobal(QPoint(5, 5)));
  EXPECT_TRUE(QCoreApplication::sendEvent(&owner, &inside));
  tips.Pop();
}

TEST(WindowPlacement, FortyFourBytesRoundTrip) {
  WindowPlacement p;
  p.flags = 0;
  p.showCmd = kShowMaximized;
  p.left = 10;
  p.top = -20;
  p.right = 810;
  p.bottom = 580;
  auto bytes = p.ToBytes();
  ASSERT_EQ(bytes.size(), 44u);
  EXPECT_EQ(bytes[0], 44);
  EXPECT_EQ(bytes[8], 3);
  auto back = WindowPlacement::FromBytes(bytes);
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(back->showCmd, kShowMaximized);
  EXPECT_EQ(back->top, -20);
  EXPECT_EQ(back->right, 810);
  bytes.push_back(0);
  EXPECT_FALSE(WindowPlacement::FromBytes(bytes).has_value());
  EXPECT_FALSE(WindowPlacement::FromBytes({}).has_value());
}

TEST_F(WindowTest, PlacementAppliesToAWindowAndReadsBack) {
  QWidget w;
  WindowPlacement p;
  p.left = 30;
  p.top = 40;
  p.right = 430;
  p.bottom = 340;
  SetWindowPlacement(w, p);
  WindowPlacement got = GetWindowPlacement(w);
  EXPECT_EQ(got.right - got.left, 400);
  EXPECT_EQ(got.bottom - got.top, 300);
  EXPECT_EQ(got.showCmd, kShowNormal);
  p.showCmd = kShowMaximized;
  SetWindowPlacement(w, p);
  EXPECT_TRUE(w.windowState() & Qt::WindowMaximized);
  EXPECT_EQ(GetWindowPlacement(w).showCmd, kShowMaximized);
}

}  // namespace
