#pragma once
// "Instances": a machine's placed instances; Add and Delete act on the quest at once.
#include "platform/ui/dialog.h"
#include "platform/ui/list_box.h"

class CMachine;

namespace kelvar {

class CMachineInstancesDlg : public platform::ui::Dialog {
 public:
  explicit CMachineInstancesDlg(CMachine& machine, QWidget* parent = nullptr);

  void OnAdd();
  void OnDelete();

  bool Changed() const { return changed_; }
  platform::ui::ListBox* List() const { return list_; }

 protected:
  bool OnInitDialog() override;

 private:
  CMachine& machine_;
  platform::ui::ListBox* list_;
  bool changed_ = false;
};

}  // namespace kelvar
