#pragma once
// "Instances": a machine's placed instances; Add and Delete act on the quest at once.
#include "platform/ui/dialog.h"

class CMachine;
class QListWidget;

namespace kelvar {

class CMachineInstancesDlg : public platform::ui::Dialog {
 public:
  explicit CMachineInstancesDlg(CMachine& machine, QWidget* parent = nullptr);

  void OnAdd();
  void OnDelete();

  bool Changed() const { return changed_; }
  QListWidget* List() const { return list_; }

 protected:
  bool OnInitDialog() override;

 private:
  CMachine& machine_;
  QListWidget* list_;
  bool changed_ = false;
};

}  // namespace kelvar
