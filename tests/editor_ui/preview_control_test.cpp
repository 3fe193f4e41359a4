// A dialog's preview control painted while another drawing is under way
// does not draw through the shared display objects: it shows its last
// picture and draws afresh once the other drawing is over.
#include <gtest/gtest.h>

#include <QColor>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QtTest/QTest>

#include "editor/preview_control.h"
#include "platform/ui/drawing_scope.h"
#include "support/qt_app.h"

namespace kelvartest {
namespace {

TEST(PreviewControlPaint, InsideAnotherDrawingShowsTheLastPictureAndDrawsAfterIt) {
  testsupport::EnsureQtApp();
  kelvar::CPreviewControl preview(1, QSize(32, 32));
  int draws = 0;
  preview.onPaint = [&draws](QSize size) {
    ++draws;
    QImage image(size, QImage::Format_RGB32);
    image.fill(draws == 1 ? Qt::green : Qt::blue);
    return image;
  };
  preview.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&preview));
  preview.repaint();
  const int before = draws;
  ASSERT_GE(before, 1);
  const QRgb last = preview.LastImage().pixel(5, 5);
  {
    const platform::ui::DrawingScope outer;
    preview.repaint();
    EXPECT_EQ(draws, before) << "no drawing inside another";
    EXPECT_EQ(preview.grab().toImage().pixel(5, 5), last) << "the last picture shows";
  }
  QElapsedTimer waited;
  waited.start();
  while (draws == before && waited.elapsed() < 2000) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  EXPECT_EQ(draws, before + 1) << "drawn afresh once the outer drawing ended";
}

}  // namespace
}  // namespace kelvartest
