// No event loop inside a drawing: a box asked for by a paint (or by a frame
// drawn outside one) comes once the drawing is over, shown for real and
// clicked as a user does; a paint inside another drawing does not draw.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTimer>
#include <QtTest/QTest>

#include "platform/core/services.h"
#include "platform/ui/dialog.h"
#include "platform/ui/drawing_scope.h"
#include "platform/ui/qt_ui.h"
#include "platform/ui/surface_widget.h"
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

// Message boxes of the window system, each clicked a while after it is up,
// the windows behind it asked to repaint meanwhile (as losing the
// activation does). Records whether the painter was painting at the time.
class BoxWatch {
 public:
  explicit BoxWatch(const BoxPainter* painter) : painter_(painter) {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box || !box->isVisible()) return;
      if (!box->property("seen").toBool()) {
        box->setProperty("seen", true);
        ++shown;
        if (painter_ && painter_->inPaint) ++shownInPaint;
        up_.start();
        return;
      }
      if (up_.elapsed() < 100) {
        for (QWidget* w : QApplication::topLevelWidgets())
          if (w != box) w->update();
        return;
      }
      QTest::mouseClick(box->buttons().front(), Qt::LeftButton);
    });
    timer_.start(5);
  }
  // Runs the event loop until `count` boxes came and went, two seconds at most.
  void WaitFor(int count) {
    QElapsedTimer waited;
    waited.start();
    while ((shown < count || QApplication::activeModalWidget()) && waited.elapsed() < 2000)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  int shown = 0;
  int shownInPaint = 0;

 private:
  const BoxPainter* painter_;
  QTimer timer_;
  QElapsedTimer up_;
};

class DrawingScopeTest : public ::testing::Test {
 protected:
  void SetUp() override { uitest::EnsureQtApp(); }
  QtUi ui;
};

TEST_F(DrawingScopeTest, ABoxAskedForByAPaintComesOnceAfterItAndThePaintFinishes) {
  BoxPainter w;
  w.resize(64, 48);
  w.show();
  uitest::Settle();
  BoxWatch watch(&w);
  w.askBox = true;
  w.repaint();
  EXPECT_EQ(watch.shown, 0) << "nothing came up inside the paint";
  EXPECT_EQ(w.answer, platform::kIdOk) << "answered with its first button";
  const QImage shown = w.grab().toImage();
  EXPECT_EQ(QColor(shown.pixel(10, 10)), QColor(0, 255, 0)) << "the paint went on to its end";
  watch.WaitFor(1);
  EXPECT_EQ(watch.shown, 1);
  EXPECT_EQ(watch.shownInPaint, 0);
  w.repaint();
  uitest::Settle();
  EXPECT_EQ(watch.shown, 1) << "shown once";
}

TEST_F(DrawingScopeTest, AFrameDrawnOutsideAPaintHoldsItsBoxesUntilItIsDrawn) {
  BoxWatch watch(nullptr);
  int answer = 0;
  {
    const DrawingScope frame;
    answer = platform::MessageBox("Error while reading t.o3d", "", platform::kMbYesNo);
    QCoreApplication::processEvents();
    EXPECT_EQ(watch.shown, 0);
  }
  EXPECT_EQ(answer, platform::kIdYes);
  watch.WaitFor(1);
  EXPECT_EQ(watch.shown, 1);
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
