#pragma once
// "Mesh...": picks a block of the edited room's block set, each shown as
// its rendered mesh. It has OK only. Also the room edit mode's block chooser.
#include <string>
#include <vector>

#include "editor/picker_dlg.h"

class CBankList;

namespace kelvar {

class CMeshPickPreviewListBox;

class CMeshDlg : public CPickerDlg {
 public:
  static constexpr int kIdd = 154;

  explicit CMeshDlg(CBankList* blockSet, std::string value = {}, QWidget* parent = nullptr);

  std::string value;  // the block's name

  CMeshPickPreviewListBox& List() const { return *list_; }

 protected:
  bool OnInitDialog() override;

 private:
  CBankList* blockSet_;
  CMeshPickPreviewListBox* list_;
};

// The block chooser of the room edit mode: this dialog over the edited
// room's block set, preselecting the choice; true with a block picked.
bool ChooseBlockWithPicker(const std::vector<std::string>& names, std::string& choice);

}  // namespace kelvar
