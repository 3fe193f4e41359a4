#include "editor/monster_dlg.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "datafiles/file_utils.h"
#include "datafiles/item_object_table.h"
#include "datafiles/language_table.h"
#include "datafiles/monster_class_table.h"
#include "editor/dialog_strings.h"
#include "editor/element_pickers.h"
#include "editor/generation_text.h"
#include "editor/key_field.h"
#include "editor/line_text_dlg.h"
#include "editor/monster_instances_dlg.h"
#include "editor/object_properties_dlg.h"
#include "editor/preview_control.h"
#include "editor/param_dlgs.h"
#include "editor/text_dlg.h"
#include "platform/core/paths.h"
#include "quest/fixed_field.h"
#include "quest/monster.h"
#include "quest/quest_lists.h"
#include "quest/quest_object.h"
#include "quest/text_format.h"

namespace kelvar {
namespace {

QLineEdit* Edit(QWidget* parent, int id, bool readOnly) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString("edit%1").arg(id));
  edit->setReadOnly(readOnly);
  return edit;
}


// trunc(value x factor), held inside the int range.
int Scale(int value, double factor) {
  const double v = std::trunc(value * factor);
  return static_cast<int>(std::clamp(v, -2147483648.0, 2147483647.0));
}


}  // namespace

std::string MonsterOriginInformation(int classIndex) {
  if (classIndex < 0 || static_cast<std::size_t>(classIndex) >= g_monsterClassTable.Count()) return {};
  const CMonsterClass& c = g_monsterClassTable.Row(static_cast<std::size_t>(classIndex));
  const int lifeMin = Scale(std::max(1, Scale(c.lifeMin, 0.8)), 1.75);
  const int lifeMax = Scale(std::max(1, Scale(c.lifeMax, 0.8)), 1.75);
  const int damageMin = c.kind < 0 ? c.damageMin : Scale(c.damageMin, 0.8);
  const int damageMax = c.kind < 0 ? c.damageMax : Scale(c.damageMax, 0.8);
  return FormatText("%s\r\nLife :%d-%d\r\nDamage : %d-%d", g_languageTable.Translate(c.displayKey), lifeMin, lifeMax,
                    damageMin, damageMax);
}

CMonsterDlg::CMonsterDlg(CMonster* editedMonster, QWidget* parent)
    : Dialog(parent),
      edited(editedMonster),
      keyEdit_(Edit(this, 1060, false)),
      damageMinEdit_(Edit(this, 1047, false)),
      damageMaxEdit_(Edit(this, 1049, false)),
      lifeEdit_(Edit(this, 1048, false)),
      originEdit_(Edit(this, 1062, true)),
      giftEdit_(Edit(this, 1058, true)),
      nameEdit_(Edit(this, 1040, true)),
      textEdit_(Edit(this, 1051, true)),
      deathEdit_(Edit(this, 1052, true)),
      originInfo_(new QPlainTextEdit(this)),
      giftDescription_(Edit(this, 1063, true)),
      originButton_(new QPushButton("&Origin", this)),
      giveButton_(new QPushButton("&Give", this)),
      instancesButton_(new QPushButton("&Instances...", this)),
      preview_(new CPreviewControl(1012, QSize(160, 160), this)),
      giftPreview_(new CPreviewControl(1061, QSize(64, 64), this)) {
  setWindowTitle("Monster...");
  if (edited) {
    key = edited->key;
    damageMin = edited->damage1;
    damageMax = edited->damage2;
    life = edited->life;
    origin = edited->monsterClass;
    gift = edited->gift;
    name = edited->name;
    text = edited->text;
    deathText = edited->text2;
  }
  preview_->onPaint = [this](QSize size) { return preview.Paint(g_monsterClassTable.Find(origin), size); };
  giftPreview_->onPaint = [this](QSize size) {
    const ObjectPicture picture = ObjectPictureOf(gift);
    // A virtual object shows nothing.
    return PaintObjectLook(size, picture.object && picture.object->isVirtual ? ObjectPicture{} : picture);
  };
  originInfo_->setObjectName("edit1056");
  originInfo_->setReadOnly(true);
  originInfo_->setMaximumHeight(64);
  instancesButton_->setObjectName("button1082");
  auto* nameButton = new QPushButton("&Name", this);
  auto* text0Button = new QPushButton("Text0", this);
  auto* deathButton = new QPushButton("&Text", this);
  auto* skelButton = new QPushButton("SkelFile", this);
  connect(originButton_, &QPushButton::clicked, this, [this] { OnOrigin(); });
  connect(giveButton_, &QPushButton::clicked, this, [this] { OnGive(); });
  connect(nameButton, &QPushButton::clicked, this, [this] { OnName(); });
  connect(text0Button, &QPushButton::clicked, this, [this] { OnText0(); });
  connect(deathButton, &QPushButton::clicked, this, [this] { OnDeathText(); });
  connect(skelButton, &QPushButton::clicked, this, [this] { OnSkelFile(); });
  connect(instancesButton_, &QPushButton::clicked, this, [this] { OnInstances(); });

  auto* grid = new QGridLayout;
  int r = 0;
  auto row = [&](const char* label, QWidget* field, QPushButton* button) {
    grid->addWidget(new QLabel(label, this), r, 0);
    grid->addWidget(field, r, 1);
    if (button) grid->addWidget(button, r, 2);
    ++r;
  };
  row("Key", keyEdit_, nullptr);
  auto* damage = new QHBoxLayout;
  damage->addWidget(damageMinEdit_);
  damage->addWidget(damageMaxEdit_);
  grid->addWidget(new QLabel("dam min-max", this), r, 0);
  grid->addLayout(damage, r++, 1);
  row("Life", lifeEdit_, nullptr);
  row("Origin", originEdit_, originButton_);
  row("", originInfo_, nullptr);
  row("Gift", giftEdit_, giveButton_);
  row("", giftDescription_, nullptr);
  row("Name", nameEdit_, nameButton);
  row("Text", textEdit_, text0Button);
  row("Death text", deathEdit_, deathButton);
  auto* side = new QVBoxLayout;
  side->addWidget(preview_);
  side->addWidget(giftPreview_);
  side->addWidget(skelButton);
  side->addWidget(instancesButton_);
  side->addStretch();
  auto* top = new QHBoxLayout;
  top->addLayout(grid);
  top->addLayout(side);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, [this] { OnOK(); });
  connect(buttons, &QDialogButtonBox::rejected, this, [this] { OnCancel(); });
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(buttons);
}

bool CMonsterDlg::OnInitDialog() {
  preview.lastClass = -1;
  preview.angle = 0;
  preview.animationTime = 0;
  SetKeyField(keyEdit_, key);
  damageMinEdit_->setText(QString::number(damageMin));
  damageMaxEdit_->setText(QString::number(damageMax));
  lifeEdit_->setText(QString::number(life));
  ShowTexts();
  if (!edited) {
    instancesButton_->setVisible(false);
    instancesButton_->setEnabled(false);
  }
  ShowOrigin();
  ShowGift();
  originButton_->setEnabled(static_cast<bool>(Pickers().monsterClass));
  giveButton_->setEnabled(static_cast<bool>(Pickers().questObject));
  Timers().Set(kPreviewTimer, kPreviewMs);
  return true;
}

void CMonsterDlg::ShowTexts() {
  nameEdit_->setText(GameTextToEdit(name.GetLocalized(-1)));
  textEdit_->setText(GameTextToEdit(text.GetLocalized(-1)));
  deathEdit_->setText(GameTextToEdit(deathText.GetLocalized(-1)));
}

void CMonsterDlg::ShowOrigin() {
  originEdit_->setText(GameTextToEdit(origin));
  if (origin.empty()) return;
  if (const int c = g_monsterClassTable.Find(origin); c >= 0) originInfo_->setPlainText(GameTextToEdit(MonsterOriginInformation(c)));
}

void CMonsterDlg::ShowGift() {
  giftEdit_->setText(GameTextToEdit(gift));
  if (gift.empty()) return;
  std::string description;
  for (const CQuestObject* o = Quest().questObjects; o; o = o->next) {
    if (!platform::EqualsNoCase(o->key, gift)) continue;
    if (!o->isVirtual) description = o->name.GetLocalized(-1);
    break;
  }
  for (std::size_t i = 0; i < g_itemObjectTable.Count(); ++i) {
    const CItemObject& row = g_itemObjectTable.Row(i);
    if (platform::EqualsNoCase(row.name, gift)) description = g_languageTable.Translate(row.displayKey);
  }
  giftDescription_->setText(GameTextToEdit(description));
  giftPreview_->Invalidate();
}

void CMonsterDlg::OnOrigin() {
  if (!Pickers().monsterClass) return;
  const auto choice = Pickers().monsterClass(origin);
  if (!choice) return;
  origin = *choice;
  ShowOrigin();
}

void CMonsterDlg::OnGive() {
  if (!Pickers().questObject) return;
  const auto choice = Pickers().questObject(gift);
  if (!choice) return;
  gift = *choice;
  ShowGift();
}

void CMonsterDlg::OnName() {
  if (EditCurrentLanguage(name, "Name")) ShowTexts();
}

void CMonsterDlg::OnText0() {
  if (EditAllLanguages(text)) ShowTexts();
}

void CMonsterDlg::OnDeathText() {
  if (EditCurrentLanguage(deathText, "Death text")) ShowTexts();
}

void CMonsterDlg::OnSkelFile() {
  CParamTextDlg dialog(this);
  dialog.label = "Skeleton File";
  dialog.value = skeletonFile;
  skeletonFile = dialog.DoModal() == platform::ui::kDialogOk ? dialog.value : std::string();
}

void CMonsterDlg::OnInstances() {
  if (!edited) return;
  CMonsterInstancesDlg dialog(*edited, this);
  dialog.DoModal();
  if (dialog.Changed()) instancesChanged_ = true;
}

void CMonsterDlg::OnTimer(int id) {
  if (id != kPreviewTimer) return;
  ++ticks_;
  preview_->Invalidate();
}

void CMonsterDlg::OnDestroy() { Timers().Kill(kPreviewTimer); }

void CMonsterDlg::OnOK() {
  const auto typedKey = TakeKeyField(keyEdit_);
  if (!typedKey) return;
  const auto typedMin = TakeIntField(damageMinEdit_, 0, 10000);
  if (!typedMin) return;
  const auto typedLife = TakeIntField(lifeEdit_, 0, 4000);
  if (!typedLife) return;
  const auto typedMax = TakeIntField(damageMaxEdit_, 0, 10000);
  if (!typedMax) return;
  key = *typedKey;
  damageMin = *typedMin;
  damageMax = *typedMax;
  life = *typedLife;
  if (!key.empty()) {
    bool taken = g_monsterClassTable.Find(key) >= 0;
    for (const CMonster* m = Quest().monsters; m && !taken; m = m->next)
      taken = m != edited && platform::EqualsNoCase(m->key, key);
    if (taken) return ShowStringBox(kIdsMonsterKeyTaken);
    if (!IsAlphanumeric(key)) return ShowStringBox(kIdsInvalidKey);
  }
  if (damageMax < damageMin) return ShowStringBox(kIdsDamageOrder);
  if (key.empty()) return ShowStringBox(kIdsMonsterKeyEmpty);
  if (origin.empty()) return ShowStringBox(kIdsMonsterOriginEmpty);
  Dialog::OnOK();
}

bool CMonsterDlg::StoreTo(CMonster& monster) const {
  const bool changed = key != monster.key || origin != monster.monsterClass || gift != monster.gift ||
                       life != monster.life || damageMin != monster.damage1 || damageMax != monster.damage2 ||
                       !TextsEqual(name, monster.name) || !TextsEqual(text, monster.text) ||
                       !TextsEqual(deathText, monster.text2);
  SetField(monster.key, key);
  SetField(monster.monsterClass, origin);
  SetField(monster.gift, gift);
  monster.life = life;
  monster.damage1 = damageMin;
  monster.damage2 = damageMax;
  monster.name = name;
  monster.text = text;
  monster.text2 = deathText;
  return changed;
}

}  // namespace kelvar
