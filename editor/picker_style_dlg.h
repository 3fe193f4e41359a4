#pragma once
// "Style...": picks a paint category of the tile palette, each shown with
// its block from the edited room's block set. It has OK only.
#include "editor/picker_dlg.h"

class CRoom;
struct TileCategory;

namespace kelvar {

class CStylePreviewListBox;

class CStyleDlg : public CPickerDlg {
 public:
  static constexpr int kIdd = 177;
  static constexpr int kIdcList = 1089;

  // The room whose block set the previews draw from (none: labels only).
  CStyleDlg(const TileCategory* value, CRoom* room, QWidget* parent = nullptr);

  const TileCategory* value;  // a category of the global palette

  CStylePreviewListBox& List() const { return *list_; }

 protected:
  bool OnInitDialog() override;

 private:
  CStylePreviewListBox* list_;
};

}  // namespace kelvar
