#pragma once
// "Sound": picks a row of the sound table by name; each selection plays it.
#include <functional>
#include <string>

#include "editor/picker_dlg.h"

namespace kelvar {

class CPickerListBox;

class CSoundDlg : public CPickerDlg {
 public:
  static constexpr int kIdd = 137;

  explicit CSoundDlg(std::string value = {}, QWidget* parent = nullptr);

  std::string value;  // the row's name
  // Plays a sound of the table by name (PlayBankSound).
  std::function<void(const char*)> play;

  CPickerListBox& List() const { return *list_; }

 protected:
  bool OnInitDialog() override;

 private:
  CPickerListBox* list_;
};

}  // namespace kelvar
