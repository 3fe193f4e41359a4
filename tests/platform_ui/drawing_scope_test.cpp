// No event loop inside a drawing: a box asked for by a paint (or by a frame
// drawn outside one) comes once the drawing is over, shown for real and
// clicked as a user does; a paint inside another drawing does not draw.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QtTest/QTest>

#include "platform/core/services.h"
#include "platform/ui/dialog.h"
#include "platform/ui/drawing_scope.h"
#include "platform/ui/qt_ui.h"
#include "platform/ui/surface_widget.h"
#include "support/clicked_boxes.h"
#include "ui_test_support.h"

using namespace platform::ui;

namespace {

constexpr std::uint16_t kGreen565 = 0x07E0;

// Paints a green surface; its first paint asks for a box on the way.
class BoxPainter : public SurfaceWidget {
 public:
  bool inPaint = false;
  bool askBox = false;
  int answer = 0;
  int draws = 0;

 protected:
  void OnDraw() override {
    inPaint = true;
    ++draws;
    if (askBox) {
      askBox = false;
      answer = platform::MessageBox("Error while reading data\\meshes\\a.o3d", "", platform::kMbOk);
    }
    const std::vector<std::uint16_t> green(static_cast<std::size_t>(width() * height()), kGreen565);
    Present(green.data(), width(), height(), width() * 2);
    inPaint = false;
  }
};

class DrawingScopeTest : public ::testing::Test {
 protected:
  void SetUp() override { uitest::EnsureQtApp(); }
};

TEST_F(DrawingScopeTest, ABoxAskedForByAPaintComesOnceAfterItAndThePaintFinishes) {
  BoxPainter w;
  w.resize(64, 48);
  w.show();
  uitest::Settle();
  testsupport::ClickedBoxes clicked([&w] { return w.inPaint; });
  w.askBox = true;
  w.repaint();
  EXPECT_TRUE(clicked.boxes.empty()) << "nothing came up inside the paint";
  EXPECT_EQ(w.answer, platform::kIdOk) << "answered with its first button";
  const QImage shown = w.grab().toImage();
  EXPECT_EQ(QColor(shown.pixel(10, 10)), QColor(0, 255, 0)) << "the paint went on to its end";
  clicked.WaitFor(1);
  ASSERT_EQ(clicked.Texts(), std::vector<std::string>{"Error while reading data\\meshes\\a.o3d"});
  EXPECT_FALSE(clicked.boxes.front().duringDrawing);
  w.repaint();
  uitest::Settle();
  EXPECT_EQ(clicked.boxes.size(), 1u) << "shown once";
}

TEST_F(DrawingScopeTest, AFrameDrawnOutsideAPaintHoldsItsBoxesUntilItIsDrawn) {
  testsupport::ClickedBoxes clicked;
  int answer = 0;
  {
    const DrawingScope frame;
    answer = platform::MessageBox("Error while reading t.o3d", "", platform::kMbYesNo);
    QCoreApplication::processEvents();
    EXPECT_TRUE(clicked.boxes.empty());
  }
  EXPECT_EQ(answer, platform::kIdYes);
  clicked.WaitFor(1);
  EXPECT_EQ(clicked.boxes.size(), 1u);
  EXPECT_EQ(DrawingDepth(), 0);
}

class CountingWidget : public SurfaceWidget {
 public:
  int draws = 0;

 protected:
  void OnDraw() override {
    ++draws;
    const std::vector<std::uint16_t> green(static_cast<std::size_t>(width() * height()), kGreen565);
    Present(green.data(), width(), height(), width() * 2);
  }
};

TEST_F(DrawingScopeTest, APaintInsideAnotherDrawingShowsTheLastPictureAndDrawsAfterIt) {
  CountingWidget w;
  w.resize(32, 32);
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  w.repaint();
  const int before = w.draws;
  ASSERT_GE(before, 1);
  {
    const DrawingScope outer;
    w.repaint();
    EXPECT_EQ(w.draws, before) << "no drawing inside another";
  }
  QElapsedTimer waited;
  waited.start();
  while (w.draws == before && waited.elapsed() < 2000) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  EXPECT_EQ(w.draws, before + 1) << "drawn afresh once the outer drawing ended";
}

TEST_F(DrawingScopeTest, ADialogAskedForByADrawingIsCancelledWithoutWaiting) {
  QtUi ui;
  Dialog dialog;
  bool waitedForUser = false;
  QTimer::singleShot(1000, &dialog, [&] {
    waitedForUser = true;
    dialog.reject();
  });
  int result = -1;
  {
    const DrawingScope drawing;
    result = dialog.DoModal();
  }
  EXPECT_EQ(result, kDialogCancel);
  EXPECT_FALSE(waitedForUser);
}

}  // namespace
