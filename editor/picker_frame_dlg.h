#pragma once
// "Frame": picks a mesh of the custom-mesh bank by base name, shown turning
// in a preview while Rotate is checked.
#include <string>

#include "editor/picker_dlg.h"

class QCheckBox;

namespace kelvar {

class CPickerListBox;
class CPreviewControl;

class CFrameDlg : public CPickerDlg {
 public:
  static constexpr int kIdd = 136;
  static constexpr int kIdcPreview = 1007;
  static constexpr int kIdcRotate = 1066;
  static constexpr int kTimer = 0;
  static constexpr int kTimerPeriod = 50;  // ms

  explicit CFrameDlg(std::string value = {}, QWidget* parent = nullptr);

  std::string value;  // the mesh's base name
  bool rotate = true;

  // Re-reads the Rotate box.
  void OnRotate();
  // Draws the selected mesh into an image of the preview's size.
  QImage PaintPreview(QSize size);

  CPickerListBox& List() const { return *list_; }
  QCheckBox& RotateBox() const { return *rotateBox_; }
  CPreviewControl& Preview() const { return *preview_; }

 protected:
  bool OnInitDialog() override;
  void OnTimer(int id) override;
  void OnDestroy() override;

 private:
  CPickerListBox* list_;
  QCheckBox* rotateBox_;
  CPreviewControl* preview_;
};

}  // namespace kelvar
