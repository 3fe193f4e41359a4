// No event loop inside a drawing: a box asked for by a paint (or by a frame
// drawn outside one) comes once the drawing is over, shown for real and
// clicked as a user does; a paint inside another drawing does not draw.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include <QApplication>
#include <QMessageBox>
#include <QElapsedTimer>
#include <QTimer>
#include <QtTest/QTest>

#include "platform/core/services.h"
#include "platform/ui/application.h"
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
  unsigned askFlags = platform::kMbOk;
  int answer = 0;
  int asked = 0;
  int draws = 0;

 protected:
  void OnDraw() override {
    inPaint = true;
    ++draws;
    if (askBox) {
      askBox = false;
      // A retry loop, as a reader that asks again would run it.
      do {
        ++asked;
        answer = platform::MessageBox("Error while reading data\\meshes\\a.o3d", "", askFlags);
      } while (answer == platform::kIdRetry && asked < 50);
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
    answer = platform::MessageBox("Error while reading t.o3d", "", platform::kMbOk);
    QCoreApplication::processEvents();
    EXPECT_TRUE(clicked.boxes.empty());
  }
  EXPECT_EQ(answer, platform::kIdOk);
  clicked.WaitFor(1);
  EXPECT_EQ(clicked.boxes.size(), 1u);
  EXPECT_EQ(DrawingDepth(), 0);
}

// A question asked by a paint: nobody can answer it before the paint is
// over, so it gets the answer that changes nothing, and the box comes
// afterwards with OK alone, for the user to read.
struct QuestionCase {
  const char* name;
  unsigned flags;
  int answer;
};

class QuestionsInAPaint : public DrawingScopeTest, public ::testing::WithParamInterface<QuestionCase> {};

TEST_P(QuestionsInAPaint, AreAnsweredWithTheChoiceThatChangesNothingAndShownWithOkAlone) {
  const QuestionCase& c = GetParam();
  BoxPainter w;
  w.askFlags = c.flags;
  w.resize(64, 48);
  w.show();
  uitest::Settle();
  testsupport::ClickedBoxes clicked([&w] { return w.inPaint; });
  w.askBox = true;
  w.repaint();
  EXPECT_TRUE(clicked.boxes.empty()) << "nothing came up inside the paint";
  EXPECT_EQ(w.answer, c.answer);
  EXPECT_EQ(w.asked, 1) << "asked once";
  clicked.WaitFor(1);
  ASSERT_EQ(clicked.boxes.size(), 1u);
  EXPECT_EQ(clicked.boxes[0].text, "Error while reading data\\meshes\\a.o3d");
  EXPECT_FALSE(clicked.boxes[0].duringDrawing);
  EXPECT_EQ(clicked.boxes[0].buttons, std::vector<int>{QMessageBox::Ok}) << "it offers no choice it cannot keep";
  uitest::Settle();
  EXPECT_EQ(clicked.boxes.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, QuestionsInAPaint,
    ::testing::Values(QuestionCase{"Ok", platform::kMbOk, platform::kIdOk},
                      QuestionCase{"OkCancel", platform::kMbOkCancel, platform::kIdCancel},
                      QuestionCase{"YesNo", platform::kMbYesNo | platform::kMbIconQuestion, platform::kIdNo},
                      QuestionCase{"YesNoCancel", platform::kMbYesNoCancel, platform::kIdCancel},
                      QuestionCase{"RetryCancel", platform::kMbRetryCancel, platform::kIdCancel},
                      QuestionCase{"AbortRetryIgnore", platform::kMbAbortRetryIgnore, platform::kIdAbort}),
    [](const ::testing::TestParamInfo<QuestionCase>& p) { return std::string(p.param.name); });

// Boxes a last drawing asked for, when the program quits before its event
// loop came round to them: shown before the program ends.
class QuittingApp : public Application {
 public:
  QuittingApp() : Application("Quitter") {}
  bool InitInstance() override {
    QTimer::singleShot(0, [] {
      {
        const DrawingScope drawing;
        platform::MessageBox("Error while reading last.o3d", "", platform::kMbOk);
      }
      QCoreApplication::exit(0);
    });
    return true;
  }
};

TEST_F(DrawingScopeTest, BoxesStillWaitingWhenTheProgramQuitsAreShownBeforeItEnds) {
  testsupport::ClickedBoxes clicked;
  QuittingApp app;
  EXPECT_EQ(app.Run(), 0);
  EXPECT_EQ(clicked.Texts(), std::vector<std::string>{"Error while reading last.o3d"});
  for (const auto& box : clicked.boxes) EXPECT_FALSE(box.duringDrawing);
}

// A program that ends inside a drawing runs no box's loop there: the boxes
// go to the error stream and it ends with its code.
TEST_F(DrawingScopeTest, AProgramEndingInsideADrawingRunsNoBoxLoop) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        QtUi ui;
        // Any event loop started from here would run this at once.
        QTimer::singleShot(0, [] { std::_Exit(9); });
        const DrawingScope drawing;
        platform::MessageBox("Error while reading late.o3d", "Device", platform::kMbOk);
        ui.Exit(3);
      },
      ::testing::ExitedWithCode(3), "\\[Device\\] Error while reading late\\.o3d");
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
