#include "platform/ui/surface_text.h"

#include <QFontDatabase>
#include <QFontMetrics>

#include "platform/core/trace.h"
#include "platform/ui/text_codec.h"

namespace platform::ui {
namespace {

constexpr const char* kFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr int kPixelSize = 12;

}  // namespace

QFont SurfaceText::Font() {
  static QFont font = [] {
    QString family;
    int id = QFontDatabase::addApplicationFont(QString::fromUtf8(kFontFile));
    if (id >= 0 && !QFontDatabase::applicationFontFamilies(id).isEmpty())
      family = QFontDatabase::applicationFontFamilies(id).front();
    else
      platform::TraceWrite(std::string("surface text: font ") + kFontFile + " not found, using the default\n");
    QFont f = family.isEmpty() ? QFont() : QFont(family);
    f.setPixelSize(kPixelSize);
    // Whole pixels only: no smoothing, no hinting differences between runs.
    f.setStyleStrategy(QFont::StyleStrategy(QFont::NoSubpixelAntialias | QFont::NoFontMerging));
    f.setHintingPreference(QFont::PreferFullHinting);
    f.setKerning(false);
    return f;
  }();
  return font;
}

SurfaceText::SurfaceText(void* pixels, int width, int height, int pitch, PixelFormat format)
    : image_(WrapSurface(pixels, width, height, pitch, format)) {
  if (image_.isNull()) return;
  // WrapSurface gives a read-only image; draw into the caller's memory itself.
  image_ = QImage(static_cast<uchar*>(pixels), width, height, pitch, image_.format());
  painter_.begin(&image_);
  painter_.setFont(Font());

}

SurfaceText::~SurfaceText() {
  if (painter_.isActive()) painter_.end();
}

void SurfaceText::SetTextColor(std::uint8_t r, std::uint8_t g, std::uint8_t b) { text_ = QColor(r, g, b); }

void SurfaceText::SetBackColor(std::uint8_t r, std::uint8_t g, std::uint8_t b) { back_ = QColor(r, g, b); }

void SurfaceText::TextOut(int x, int y, std::string_view text) {
  if (!IsValid() || text.empty()) return;
  QString s = FromAnsi(text);
  QFontMetrics fm(Font());
  if (!transparent_) painter_.fillRect(QRect(x, y, fm.horizontalAdvance(s), fm.height()), back_);
  painter_.setPen(text_);
  painter_.drawText(x, y + fm.ascent(), s);
}

QSize SurfaceText::TextExtent(std::string_view text) const {
  QFontMetrics fm(Font());
  return QSize(fm.horizontalAdvance(FromAnsi(text)), fm.height());
}

int SurfaceText::TextHeight() const { return QFontMetrics(Font()).height(); }

}  // namespace platform::ui
