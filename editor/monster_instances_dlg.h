#pragma once
// "Instances...": a monster's placed instances; Add and Del act on the quest at once.
#include "platform/ui/dialog.h"
#include "platform/ui/list_box.h"

class CMonster;

namespace kelvar {

class CMonsterInstancesDlg : public platform::ui::Dialog {
 public:
  explicit CMonsterInstancesDlg(CMonster& monster, QWidget* parent = nullptr);

  void OnAdd();
  void OnDel();

  bool Changed() const { return changed_; }
  platform::ui::ListBox* List() const { return list_; }

 protected:
  bool OnInitDialog() override;

 private:
  CMonster& monster_;
  platform::ui::ListBox* list_;
  bool changed_ = false;
};

}  // namespace kelvar
