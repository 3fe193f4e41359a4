#pragma once
// Where a preview drew its model: the box of the pixels that are not the
// previews' grey, and whether that box shows the model whole, in the middle
// and filling the preview.
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QRect>

namespace kelvartest {

// The box of the pixels that differ from the previews' grey (as the 16-bit
// surface holds it); empty when there are none.
inline QRect DrawnBounds(const QImage& image) {
  QImage one(1, 1, QImage::Format_RGB16);
  one.fill(QColor(0x80, 0x80, 0x80));
  const QRgb grey = one.pixel(0, 0);
  QRect box;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixel(x, y) != grey) box |= QRect(x, y, 1, 1);
  return box;
}

// A model shown whole in its preview, nothing cut at the edges, and in its
// middle: the middle of what is drawn within an eighth of the preview's size
// of the preview's middle. The box of what is drawn.
inline QRect ExpectWholeAndCentred(const QImage& image, const std::string& what) {
  SCOPED_TRACE(what);
  EXPECT_FALSE(image.isNull());
  const QRect box = DrawnBounds(image);
  EXPECT_FALSE(box.isEmpty()) << "nothing drawn";
  if (box.isEmpty()) return box;
  const int w = image.width(), h = image.height();
  EXPECT_GT(box.left(), 0) << "cut at the left";
  EXPECT_GT(box.top(), 0) << "cut at the top";
  EXPECT_LT(box.right(), w - 1) << "cut at the right";
  EXPECT_LT(box.bottom(), h - 1) << "cut at the bottom";
  EXPECT_LE(std::abs(2 * box.center().x() - w), w / 4) << "off the middle across: " << box.left() << ".." << box.right();
  EXPECT_LE(std::abs(2 * box.center().y() - h), h / 4) << "off the middle up and down: " << box.top() << ".." << box.bottom();
  return box;
}

// Whether a model turning in a preview fills it: at its widest, the longer
// side of what is drawn is at least half the preview's.
inline void ExpectFilled(QSize widest, QSize preview, const std::string& what) {
  EXPECT_GE(std::max(2 * widest.width() - preview.width(), 2 * widest.height() - preview.height()), 0)
      << what << " too small: at most " << widest.width() << " x " << widest.height() << " in " << preview.width()
      << " x " << preview.height();
}

// A turning preview painted at eight turns (`paintNextTurn` moves the clock
// on and paints): whole and centred at each, filling it at its widest.
inline void ExpectFramedAsItTurns(const std::function<QImage()>& paintNextTurn, const std::string& what) {
  QSize widest, preview;
  for (int turn = 0; turn < 8; ++turn) {
    const QImage image = paintNextTurn();
    preview = image.size();
    widest = widest.expandedTo(ExpectWholeAndCentred(image, what + " at turn " + std::to_string(turn)).size());
  }
  ExpectFilled(widest, preview, what);
}

}  // namespace kelvartest
