#include "editor/picker_sprite_dlg.h"

#include <algorithm>
#include <cstring>

#include <QBoxLayout>
#include <QPainter>
#include <QPushButton>

#include "editor/display_objects.h"
#include "editor/preview_control.h"
#include "editor/preview_render.h"
#include "editor/sprite_drawing.h"
#include "platform/core/paths.h"
#include "quest/fixed_field.h"
#include "quest/kelvar_doc.h"
#include "render/cdd.h"

namespace kelvar {

CSpriteDlg::CSpriteDlg(const TrispriteRecord& initial, QWidget* parent)
    : CPickerDlg(kIdd, "Sprite", true, parent),
      sprite(initial),
      preview_(new CPreviewControl(kIdcPreview, QSize(kSpriteSheetSize, kSpriteSheetSize), this)) {
  auto* format = new QPushButton("Sprite Format", this);
  format->setObjectName("button1101");
  Body()->addWidget(preview_);
  Body()->addWidget(format);
  connect(format, &QPushButton::clicked, this, [this] { OnSpriteFormat(); });
  preview_->onPaint = [this](QSize size) { return PaintPreview(size); };
  preview_->onPress = [this](QPoint p) { OnPreviewPress(p); };
}

bool CSpriteDlg::OnInitDialog() {
  if (platform::EqualsNoCase(FieldText(sprite.name), "FREE")) {
    sprite = TrispriteRecord{};
    SetField(sprite.name, "USED");
  }
  // A cell size of 0 or below would divide by zero: it counts as the default.
  sprite = UsableCell(sprite);
  Clamp();
  return true;
}

void CSpriteDlg::Clamp() {
  const int size = sprite.cellSize;
  const int w = sprite.GetFootprintWidth(), h = sprite.GetFootprintHeight();
  if (size * sprite.column + w >= kSpriteSheetSize) sprite.column = static_cast<std::int16_t>((kSpriteSheetSize - 1 - w) / size);
  if (size * sprite.row + h >= kSpriteSheetSize) sprite.row = static_cast<std::int16_t>((kSpriteSheetSize - 1 - h) / size);
  sprite.column = std::max<std::int16_t>(sprite.column, 0);
  sprite.row = std::max<std::int16_t>(sprite.row, 0);
}

void CSpriteDlg::OnSpriteFormat() {
  sprite.cellFormat = static_cast<std::int16_t>((sprite.cellFormat + 1) % kFormats);
  if (sprite.cellFormat < 0) sprite.cellFormat = 0;
  Clamp();
  preview_->Invalidate();
}

void CSpriteDlg::OnPreviewPress(QPoint p) {
  if (p.x() < 0 || p.x() >= kSpriteSheetSize || p.y() < 0 || p.y() >= kSpriteSheetSize) return;
  sprite.column = static_cast<std::int16_t>(p.x() / sprite.cellSize);
  sprite.row = static_cast<std::int16_t>(p.y() / sprite.cellSize);
  Clamp();
  preview_->Invalidate();
}

QImage CSpriteDlg::PaintPreview(QSize size) {
  PreviewFrame frame(size, kPreviewGrey);
  if (!frame.Usable()) return {};
  frame.Flush();
  Display().cdd->DrawBitmapAt(kQuestSpriteSource, 0, 0);
  QImage image = frame.Finish();
  QPainter painter(&image);
  painter.setPen(Qt::white);
  const int size1 = sprite.cellSize;
  painter.drawRect(size1 * sprite.column, size1 * sprite.row, sprite.GetFootprintWidth() - 1,
                   sprite.GetFootprintHeight() - 1);
  return image;
}

}  // namespace kelvar
