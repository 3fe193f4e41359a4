#include "editor/machine_instances_dlg.h"

#include "editor/instance_list_dlg.h"
#include "quest/machine.h"

namespace kelvar {

CMachineInstancesDlg::CMachineInstancesDlg(CMachine& machine, QWidget* parent)
    : Dialog(parent), machine_(machine), list_(nullptr) {
  list_ = BuildInstanceListDialog(*this, "Instances", {"&Add", 1067}, {"&Delete", 1068}, [this] { OnAdd(); },
                                  [this] { OnDelete(); });
}

bool CMachineInstancesDlg::OnInitDialog() {
  FillInstanceList(list_, machine_.instances);
  return true;
}

void CMachineInstancesDlg::OnAdd() {
  AddInstanceRow(list_, machine_.AddInstance("", 0, 0, nullptr));
  SyncMachineGraph(&machine_);
  changed_ = true;
}

void CMachineInstancesDlg::OnDelete() {
  const std::string name = TakeSelectedInstance(list_);
  if (name.empty()) return;
  machine_.DeleteInstance(name);
  SyncMachineGraph(&machine_);
  changed_ = true;
}

}  // namespace kelvar
