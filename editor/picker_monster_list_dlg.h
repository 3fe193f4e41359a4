#pragma once
// "Monsters": picks a monster class (or, when asked, a quest monster) under
// the All / Monsters / NPC filters, with the picked class's animated model.
#include <string>

#include "editor/picker_dlg.h"
#include "editor/skeleton_preview.h"

class QLineEdit;
class QRadioButton;

namespace kelvar {

class CPickerListBox;
class CPreviewControl;

class CMonsterListDlg : public CPickerDlg {
 public:
  static constexpr int kIdd = 138;
  static constexpr int kIdcName = 1004;
  static constexpr int kIdcKey = 1006;
  static constexpr int kIdcPreview = 1012;
  static constexpr int kIdcAll = 1036;
  static constexpr int kIdcMonsters = 1037;
  static constexpr int kIdcNpc = 1038;
  static constexpr int kTimer = 1;
  static constexpr int kTimerPeriod = 50;  // ms

  explicit CMonsterListDlg(std::string value = {}, bool withQuestMonsters = false, bool monstersOnly = false,
                           QWidget* parent = nullptr);

  std::string value;  // a class name or a quest monster's key
  bool withQuestMonsters;
  bool monstersOnly;
  int filter = 0;  // kMonsterFilterAll, kMonsterFilterMonsters or kMonsterFilterNpc
  CSkeletonPreview preview;

  // Empties the list, lists what passes the filter and reselects the value.
  void SetFilter(int filter);

  CPickerListBox& List() const { return *list_; }
  QLineEdit& NameEdit() const { return *nameEdit_; }
  QLineEdit& KeyEdit() const { return *keyEdit_; }
  QRadioButton& FilterButton(int filter) const;
  CPreviewControl& Preview() const { return *preview_; }

 protected:
  bool OnInitDialog() override;
  void OnTimer(int id) override;
  void OnDestroy() override;

 private:
  void Fill();
  void OnSelChange();
  // Shows a class (by index) or a quest monster in the two displays.
  void ShowClass(int classIndex);
  void ShowQuestMonster(int position);
  // The class the selection shows, -1 when none.
  int SelectedClass() const;

  CPickerListBox* list_;
  QLineEdit* nameEdit_;
  QLineEdit* keyEdit_;
  QRadioButton* filterButtons_[3];
  CPreviewControl* preview_;
};

}  // namespace kelvar
