#include "editor/room_dlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "editor/dialog_files.h"
#include "editor/dialog_strings.h"
#include "editor/generation_text.h"
#include "editor/key_field.h"
#include "editor/line_text_dlg.h"
#include "editor/text_dlg.h"
#include "platform/core/paths.h"
#include "platform/ui/text_codec.h"
#include "quest/fixed_field.h"
#include "quest/quest_lists.h"
#include "quest/room.h"

namespace kelvar {
namespace {

constexpr const char* kLevelEntries[5] = {"Outside", "Inside Level 1", "Inside Level 2", "Inside Level 3",
                                          "Inside Level 4"};

// "1 - Harrowmere" from the room list's "1-Harrowmere".
std::string LandEntry(int land) {
  std::string entry = LandName(land);
  const std::size_t dash = entry.find('-');
  if (dash != std::string::npos && dash > 0) entry.replace(dash, 1, " - ");
  return entry;
}

}  // namespace

CRoomDlg::CRoomDlg(CRoom* editedRoom, QWidget* parent)
    : Dialog(parent),
      edited(editedRoom),
      keyEdit_(new QLineEdit(this)),
      landList_(new platform::ui::ListBox(this)),
      levelList_(new platform::ui::ListBox(this)),
      nameEdit_(new QLineEdit(this)),
      levelCheck_(new QCheckBox("Level", this)),
      entranceCheck_(new QCheckBox("Entrance", this)),
      cdfEdit_(new QLineEdit(this)) {
  setWindowTitle("Room");
  if (edited) {
    key = edited->name;
    land = edited->land;
    level = edited->level;
    name = edited->text;
    levelFlag = edited->levelFlag != 0;
    entrance = edited->entrance != 0;
  }
  keyEdit_->setObjectName("edit1074");
  landList_->setObjectName("list1076");
  levelList_->setObjectName("list1075");
  landList_->setMinimumHeight(130);
  levelList_->setMinimumHeight(130);
  nameEdit_->setObjectName("edit1078");
  nameEdit_->setReadOnly(true);
  levelCheck_->setObjectName("check1097");
  entranceCheck_->setObjectName("check1098");
  cdfEdit_->setObjectName("edit1079");
  cdfEdit_->setReadOnly(true);
  auto* nameButton = new QPushButton("&Name", this);
  auto* importButton = new QPushButton("&Import...", this);
  auto* bankButton = new QPushButton("&Load Bank", this);
  landList_->onSelChange = [this] { OnLandChange(landList_->GetCurSel()); };
  levelList_->onSelChange = [this] { OnLevelChange(levelList_->GetCurSel()); };
  connect(nameButton, &QPushButton::clicked, this, [this] { OnName(); });
  connect(importButton, &QPushButton::clicked, this, [this] { OnImport(); });
  connect(bankButton, &QPushButton::clicked, this, [this] { OnLoadBank(); });

  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel("Key", this), 0, 0);
  grid->addWidget(keyEdit_, 0, 1, 1, 2);
  grid->addWidget(new QLabel("Land", this), 1, 1);
  grid->addWidget(new QLabel("Level", this), 1, 2);
  grid->addWidget(landList_, 2, 1);
  grid->addWidget(levelList_, 2, 2);
  grid->addWidget(new QLabel("Name", this), 3, 0);
  grid->addWidget(nameEdit_, 3, 1);
  grid->addWidget(nameButton, 3, 2, Qt::AlignLeft);
  auto* checks = new QHBoxLayout;
  checks->addWidget(levelCheck_);
  checks->addWidget(entranceCheck_);
  checks->addStretch();
  grid->addLayout(checks, 4, 1, 1, 2);
  grid->addWidget(cdfEdit_, 5, 1);
  auto* files = new QHBoxLayout;
  files->addWidget(importButton);
  files->addWidget(bankButton);
  grid->addLayout(files, 5, 2);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, [this] { OnOK(); });
  connect(buttons, &QDialogButtonBox::rejected, this, [this] { OnCancel(); });
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(buttons);
}

void CRoomDlg::AddLevel(int value) {
  levelList_->AddString(kLevelEntries[value], value);
}

bool CRoomDlg::OnInitDialog() {
  for (int l = 0; l < 7; ++l) landList_->AddString(LandEntry(l));
  if (!edited) {
    for (int v = 0; v <= 4; ++v) AddLevel(v);
    levelList_->SetCurSel(level >= 0 && level <= 4 ? level : 0);
    levelFlag = entrance = false;
    levelCheck_->setChecked(false);
    entranceCheck_->setChecked(false);
    levelCheck_->setEnabled(false);
    entranceCheck_->setEnabled(false);
  } else if (level > 0) {
    for (int v = 1; v <= 4; ++v) AddLevel(v);
    levelList_->SetCurSel(level <= 4 ? level - 1 : -1);
    levelCheck_->setChecked(levelFlag);
    ApplyLevelRules();
  } else {
    AddLevel(0);
    levelList_->SetCurSel(0);
    entranceCheck_->setChecked(entrance);
    ApplyLevelRules();
  }
  SetKeyField(keyEdit_, key);
  nameEdit_->setText(GameTextToEdit(name.GetLocalized(-1)));
  landList_->SetCurSel(land >= 0 && land < 7 ? land : -1);
  return true;
}

void CRoomDlg::ApplyLevelRules() {
  if (level > 0) {
    levelCheck_->setEnabled(true);
    entranceCheck_->setChecked(false);
    entranceCheck_->setEnabled(false);
  } else {
    levelCheck_->setChecked(false);
    levelCheck_->setEnabled(false);
    entranceCheck_->setEnabled(true);
  }
}

void CRoomDlg::OnLandChange(int row) {
  if (row >= 0) land = row;
}

void CRoomDlg::OnLevelChange(int row) {
  if (row < 0) return;
  level = static_cast<int>(levelList_->GetItemData(row));
  ApplyLevelRules();
}

void CRoomDlg::OnName() {
  if (EditCurrentLanguage(name, "Name")) nameEdit_->setText(GameTextToEdit(name.GetLocalized(-1)));
}

void CRoomDlg::OnImport() {
  if (const auto chosen = ChooseFileToOpen(".CDF", kIdsCdfFilter)) {
    cdfPath = *chosen;
    cdfEdit_->setText(platform::ui::FromAnsi(cdfPath));
  }
}

void CRoomDlg::OnLoadBank() {
  if (const auto chosen = ChooseFileToOpen(".CBS", kIdsCbsFilter)) cbsPath = *chosen;
}

bool CRoomDlg::StoreTo(CRoom& room) const {
  const bool changed = key != room.name || land != room.land || level != room.level ||
                       levelFlag != (room.levelFlag != 0) || entrance != (room.entrance != 0) ||
                       !TextsEqual(name, room.text);
  SetField(room.name, key);
  room.land = land;
  room.level = level;
  room.levelFlag = levelFlag ? 1 : 0;
  room.entrance = entrance ? 1 : 0;
  room.text = name;
  return changed;
}

void CRoomDlg::OnOK() {
  const auto typed = TakeKeyField(keyEdit_);
  if (!typed) return;
  key = *typed;
  if (!key.empty()) {
    for (const CRoom* r = Quest().rooms; r; r = r->next)
      if (r != edited && platform::EqualsNoCase(r->name, key)) return ShowStringBox(kIdsRoomNameTaken);
  }
  if (key.empty()) return ShowStringBox(kIdsRoomNameEmpty);
  // What the boxes show is what is stored: a box the level rules cleared
  // holds no flag, whatever the room held before.
  levelFlag = levelCheck_->isChecked();
  entrance = entranceCheck_->isChecked();
  Dialog::OnOK();
}

}  // namespace kelvar
