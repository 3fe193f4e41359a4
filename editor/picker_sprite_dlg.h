#pragma once
// "Sprite": picks a cell of the quest's 256 x 256 sprite sheet by clicking
// it, in one of six footprint formats.
#include "datafiles/trisprite_table.h"
#include "editor/picker_dlg.h"

namespace kelvar {

class CPreviewControl;

class CSpriteDlg : public CPickerDlg {
 public:
  static constexpr int kIdd = 181;
  static constexpr int kIdcPreview = 1100;
  static constexpr int kFormats = 6;

  explicit CSpriteDlg(const TrispriteRecord& sprite, QWidget* parent = nullptr);

  TrispriteRecord sprite;

  // "Sprite Format": the next format, the cell kept inside the sheet.
  void OnSpriteFormat();
  // A press in the preview at a point relative to it.
  void OnPreviewPress(QPoint point);
  // Keeps the cell inside the sheet.
  void Clamp();
  QImage PaintPreview(QSize size);

  CPreviewControl& Preview() const { return *preview_; }

 protected:
  bool OnInitDialog() override;

 private:
  CPreviewControl* preview_;
};

}  // namespace kelvar
