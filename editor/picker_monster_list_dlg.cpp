#include "editor/picker_monster_list_dlg.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QFormLayout>
#include <QLineEdit>
#include <QRadioButton>

#include "datafiles/language_table.h"
#include "datafiles/monster_class_table.h"
#include "editor/generation_text.h"
#include "editor/picker_list_box.h"
#include "editor/picker_support.h"
#include "editor/preview_control.h"
#include "platform/core/paths.h"
#include "quest/fixed_field.h"
#include "quest/monster.h"
#include "quest/quest_lists.h"

namespace kelvar {

CMonsterListDlg::CMonsterListDlg(std::string initial, bool questMonsters, bool onlyMonsters, QWidget* parent)
    : CPickerDlg(kIdd, "Monsters", true, parent),
      value(std::move(initial)),
      withQuestMonsters(questMonsters),
      monstersOnly(onlyMonsters),
      list_(new CPickerListBox(this)),
      nameEdit_(new QLineEdit(this)),
      keyEdit_(new QLineEdit(this)),
      filterButtons_{new QRadioButton("All", this), new QRadioButton("Monsters", this), new QRadioButton("NPC", this)},
      preview_(new CPreviewControl(kIdcPreview, QSize(240, 240), this)) {
  list_->setObjectName("list1000");
  SetList(list_);
  list_->setMinimumSize(200, 240);
  nameEdit_->setObjectName("edit1004");
  keyEdit_->setObjectName("edit1006");
  nameEdit_->setReadOnly(true);
  keyEdit_->setReadOnly(true);
  const int ids[3] = {kIdcAll, kIdcMonsters, kIdcNpc};
  auto* group = new QButtonGroup(this);
  auto* filters = new QHBoxLayout;
  for (int i = 0; i < 3; ++i) {
    filterButtons_[i]->setObjectName(QString("radio%1").arg(ids[i]));
    group->addButton(filterButtons_[i], i);
    filters->addWidget(filterButtons_[i]);
    connect(filterButtons_[i], &QRadioButton::clicked, this, [this, i] { SetFilter(i); });
  }
  auto* fields = new QFormLayout;
  fields->addRow("Name", nameEdit_);
  fields->addRow("Key", keyEdit_);
  auto* right = new QVBoxLayout;
  right->addWidget(preview_);
  right->addLayout(fields);
  right->addLayout(filters);
  auto* row = new QHBoxLayout;
  row->addWidget(list_, 1);
  row->addLayout(right);
  Body()->addLayout(row, 1);

  list_->onSelChange = [this] { OnSelChange(); };
  preview_->onPaint = [this](QSize size) { return preview.Paint(SelectedClass(), size); };
}

QRadioButton& CMonsterListDlg::FilterButton(int which) const { return *filterButtons_[which < 0 || which > 2 ? 0 : which]; }

bool CMonsterListDlg::OnInitDialog() {
  if (monstersOnly) {
    filterButtons_[kMonsterFilterMonsters]->setChecked(true);
    for (QRadioButton* b : filterButtons_) b->setEnabled(false);
  } else {
    filterButtons_[kMonsterFilterAll]->setChecked(true);
  }
  Timers().Set(kTimer, kTimerPeriod);
  filter = kMonsterFilterAll;
  Fill();
  // The displays show the preset value.
  int position = 0;
  for (const CMonster* m = Quest().monsters; m; m = m->next, ++position) {
    if (platform::EqualsNoCase(FieldText(m->key), value)) {
      ShowQuestMonster(position);
      return true;
    }
  }
  const int classIndex = value.empty() ? -1 : g_monsterClassTable.Find(value);
  if (classIndex >= 0) ShowClass(classIndex);
  return true;
}

void CMonsterListDlg::SetFilter(int which) {
  filter = which;
  Fill();
}

void CMonsterListDlg::Fill() {
  list_->ResetContent();
  for (std::size_t i = 0; i < g_monsterClassTable.Count(); ++i) {
    const CMonsterClass& c = g_monsterClassTable.Row(i);
    if (ClassPassesFilter(c, filter, monstersOnly)) list_->AddString(FieldText(c.name), static_cast<std::intptr_t>(i));
  }
  if (withQuestMonsters) {
    int position = 0;
    for (const CMonster* m = Quest().monsters; m; m = m->next, ++position)
      if (QuestMonsterPassesFilter(*m, filter, monstersOnly)) list_->AddString(FieldText(m->key), kQuestEntryBase + position);
  }
  list_->SelectString(value);
}

void CMonsterListDlg::ShowClass(int classIndex) {
  const CMonsterClass& c = g_monsterClassTable.Row(static_cast<std::size_t>(classIndex));
  nameEdit_->setText(GameTextToEdit(g_languageTable.Translate(c.displayKey)));
  keyEdit_->setText(GameTextToEdit(FieldText(c.skeleton)));
}

void CMonsterListDlg::ShowQuestMonster(int position) {
  const CMonster* m = QuestMonsterAt(position);
  if (!m) return;
  nameEdit_->setText(GameTextToEdit(m->name.GetLocalized()));
  const int classIndex = QuestMonsterClass(*m);
  keyEdit_->setText(classIndex < 0 ? QString()
                                   : GameTextToEdit(FieldText(g_monsterClassTable.Row(static_cast<std::size_t>(classIndex)).skeleton)));
}

int CMonsterListDlg::SelectedClass() const {
  const int row = list_->GetCurSel();
  if (row < 0) return -1;
  const int data = static_cast<int>(list_->GetItemData(row));
  if (data < kQuestEntryBase) return data;
  const CMonster* m = QuestMonsterAt(data - kQuestEntryBase);
  return m ? QuestMonsterClass(*m) : -1;
}

void CMonsterListDlg::OnSelChange() {
  preview_->Invalidate();
  const int row = list_->GetCurSel();
  if (row < 0) return;
  const int data = static_cast<int>(list_->GetItemData(row));
  if (data < kQuestEntryBase) {
    if (static_cast<std::size_t>(data) >= g_monsterClassTable.Count()) return;
    value = FieldText(g_monsterClassTable.Row(static_cast<std::size_t>(data)).name);
    ShowClass(data);
  } else if (const CMonster* m = QuestMonsterAt(data - kQuestEntryBase)) {
    value = FieldText(m->key);
    ShowQuestMonster(data - kQuestEntryBase);
  }
}

void CMonsterListDlg::OnTimer(int id) {
  if (id == kTimer && list_->GetCurSel() >= 0) preview_->Invalidate();
}

void CMonsterListDlg::OnDestroy() { Timers().Kill(kTimer); }

}  // namespace kelvar
