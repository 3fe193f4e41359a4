#include "editor/monster_instances_dlg.h"

#include "editor/instance_list_dlg.h"
#include "quest/monster.h"

namespace kelvar {

CMonsterInstancesDlg::CMonsterInstancesDlg(CMonster& monster, QWidget* parent)
    : Dialog(parent), monster_(monster), list_(nullptr) {
  list_ = BuildInstanceListDialog(*this, "Instances...", {"&Add", 1083}, {"&Del", 1084}, [this] { OnAdd(); },
                                  [this] { OnDel(); });
}

bool CMonsterInstancesDlg::OnInitDialog() {
  FillInstanceList(list_, monster_.instances);
  return true;
}

void CMonsterInstancesDlg::OnAdd() {
  AddInstanceRow(list_, monster_.AddInstance());
  SyncMonsterGraph(&monster_);
  changed_ = true;
}

void CMonsterInstancesDlg::OnDel() {
  const std::string name = TakeSelectedInstance(list_);
  if (name.empty()) return;
  monster_.DeleteInstance(name);
  SyncMonsterGraph(&monster_);
  changed_ = true;
}

}  // namespace kelvar
