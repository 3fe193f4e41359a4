#pragma once
// "Generic Traps...": picks an editable generic trap definition, each shown
// as its rendered mesh; the value is the definition's type.
#include "editor/picker_dlg.h"

namespace kelvar {

class CTrapPreviewListBox;

class CGenericTrapsDlg : public CPickerDlg {
 public:
  static constexpr int kIdd = 163;
  static constexpr int kIdcList = 1081;

  explicit CGenericTrapsDlg(int value = -1, QWidget* parent = nullptr);

  int value;  // the picked definition's type; -1 none

  CTrapPreviewListBox& List() const { return *list_; }

 protected:
  bool OnInitDialog() override;

 private:
  CTrapPreviewListBox* list_;
};

}  // namespace kelvar
