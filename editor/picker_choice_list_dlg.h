#pragma once
// "Choice List...": picks one of a parameter's choices by key, taken on OK.
#include <string>

#include "editor/picker_dlg.h"

struct ParamChoice;

namespace kelvar {

class CPickerListBox;

class CChoiceListDlg : public CPickerDlg {
 public:
  static constexpr int kIdd = 180;

  CChoiceListDlg(const ParamChoice* choices, std::string value = {}, QWidget* parent = nullptr);

  std::string value;  // the choice's key

  CPickerListBox& List() const { return *list_; }

 protected:
  bool OnInitDialog() override;
  // Takes the selected choice's key and closes; without a selection it stays open.
  void OnOK() override;

 private:
  const ParamChoice* choices_;
  CPickerListBox* list_;
};

}  // namespace kelvar
