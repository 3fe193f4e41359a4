#include "editor/object_properties_dlg.h"

#include <algorithm>
#include <cstring>

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "datafiles/file_utils.h"
#include "datafiles/item_object_table.h"
#include "editor/dialog_strings.h"
#include "editor/element_pickers.h"
#include "editor/generation_text.h"
#include "editor/key_field.h"
#include "editor/line_text_dlg.h"
#include "editor/picker_support.h"
#include "editor/preview_control.h"
#include "editor/preview_render.h"
#include "editor/sprite_drawing.h"
#include "editor/text_dlg.h"
#include "platform/core/paths.h"
#include "quest/fixed_field.h"
#include "quest/quest_lists.h"
#include "quest/quest_object.h"

namespace kelvar {
namespace {

QLineEdit* ReadOnlyEdit(QWidget* parent, int id) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString("edit%1").arg(id));
  edit->setReadOnly(true);
  return edit;
}

bool SameSprite(const TrispriteRecord& a, const TrispriteRecord& b) {
  return std::strcmp(a.name, b.name) == 0 && a.column == b.column && a.row == b.row && a.valueA == b.valueA &&
         a.cellFormat == b.cellFormat && a.cellSize == b.cellSize && a.valueB == b.valueB;
}


}  // namespace

QImage PaintObjectLook(QSize size, const ObjectPicture& picture) {
  PreviewFrame frame(size, kPreviewGrey);
  if (!frame.Usable()) return {};
  DrawObjectPicture(frame, picture, frame.Size().width() / 2, std::max(0, (frame.Size().height() - picture.Height()) / 2));
  return frame.Finish();
}

CObjectPropertiesDlg::CObjectPropertiesDlg(CQuestObject* editedObject, QWidget* parent)
    : Dialog(parent),
      edited(editedObject),
      keyEdit_(new QLineEdit(this)),
      originEdit_(ReadOnlyEdit(this, 1005)),
      descriptionEdit_(new QPlainTextEdit(this)),
      questCheck_(new QCheckBox("Quest", this)),
      commentEdit_(ReadOnlyEdit(this, 1065)),
      nameEdit_(ReadOnlyEdit(this, 1040)),
      originButton_(new QPushButton("&Origin", this)),
      spriteButton_(new QPushButton("&Sprite", this)),
      meshButton_(new QPushButton("&Mesh", this)),
      preview_(new CPreviewControl(1013, QSize(96, 96), this)) {
  setWindowTitle("Object properties...");
  if (edited) {
    key = edited->key;
    origin = edited->parent;
    quest = edited->questFlag == kQuestFlag;
    comment = edited->comment;
    name = edited->name;
    sprite = edited->sprite;
    mesh = edited->mesh;
  }
  keyEdit_->setObjectName("edit1022");
  descriptionEdit_->setObjectName("edit1023");
  descriptionEdit_->setReadOnly(true);
  descriptionEdit_->setMaximumHeight(80);
  questCheck_->setObjectName("check1033");
  auto* nameButton = new QPushButton("&Name", this);
  auto* textButton = new QPushButton("&Text", this);
  connect(originButton_, &QPushButton::clicked, this, [this] { OnOrigin(); });
  connect(nameButton, &QPushButton::clicked, this, [this] { OnName(); });
  connect(textButton, &QPushButton::clicked, this, [this] { OnText(); });
  connect(spriteButton_, &QPushButton::clicked, this, [this] { OnSprite(); });
  connect(meshButton_, &QPushButton::clicked, this, [this] { OnMesh(); });
  auto row = [this](QWidget* field, QPushButton* button) {
    auto* box = new QHBoxLayout;
    box->addWidget(field);
    box->addWidget(button);
    return box;
  };
  auto* form = new QFormLayout;
  form->addRow("Key", keyEdit_);
  form->addRow("Origin", row(originEdit_, originButton_));
  form->addRow("", descriptionEdit_);
  form->addRow("Name", row(nameEdit_, nameButton));
  form->addRow("Comment", row(commentEdit_, textButton));
  auto* extras = new QHBoxLayout;
  extras->addWidget(questCheck_);
  extras->addStretch();
  extras->addWidget(spriteButton_);
  extras->addWidget(meshButton_);
  extras->addWidget(preview_);
  preview_->onPaint = [this](QSize size) { return PaintObjectLook(size, QuestObjectPicture(sprite, origin)); };
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, [this] { OnOK(); });
  connect(buttons, &QDialogButtonBox::rejected, this, [this] { OnCancel(); });
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(extras);
  layout->addWidget(buttons);
}

bool CObjectPropertiesDlg::OnInitDialog() {
  SetKeyField(keyEdit_, key);
  originEdit_->setText(GameTextToEdit(origin));
  ShowDescription();
  ShowTexts();
  questCheck_->setChecked(quest);
  const bool customLook = std::strcmp(sprite.name, "FREE") != 0 || !mesh.empty();
  questCheck_->setEnabled(!customLook);
  originButton_->setEnabled(static_cast<bool>(Pickers().itemObject));
  spriteButton_->setEnabled(static_cast<bool>(Pickers().sprite));
  meshButton_->setEnabled(static_cast<bool>(Pickers().objectMesh));
  return true;
}

void CObjectPropertiesDlg::ShowTexts() {
  nameEdit_->setText(GameTextToEdit(name.GetLocalized(-1)));
  commentEdit_->setText(GameTextToEdit(comment.GetLocalized(-1)));
}

void CObjectPropertiesDlg::ShowDescription() {
  std::string description;
  if (const int row = origin.empty() ? -1 : FindItemObject(origin); row >= 0)
    g_itemObjectTable.Row(static_cast<std::size_t>(row)).Describe(description, false);
  descriptionEdit_->setPlainText(GameTextToEdit(description));
}

void CObjectPropertiesDlg::OnOrigin() {
  if (!Pickers().itemObject) return;
  const auto choice = Pickers().itemObject(origin);
  if (!choice || choice->empty()) return;
  origin = *choice;
  originEdit_->setText(GameTextToEdit(origin));
  ShowDescription();
  preview_->Invalidate();
}

void CObjectPropertiesDlg::OnName() {
  if (EditCurrentLanguage(name, "Name")) ShowTexts();
}

void CObjectPropertiesDlg::OnText() {
  if (EditCurrentLanguage(comment, "Comment")) ShowTexts();
}

void CObjectPropertiesDlg::OnSprite() {
  if (!Pickers().sprite) return;
  if (const auto chosen = Pickers().sprite(sprite)) {
    sprite = *chosen;
    SetField(sprite.name, "USED");
    questCheck_->setChecked(true);
    questCheck_->setEnabled(false);
  } else {
    SetField(sprite.name, "FREE");
    questCheck_->setEnabled(true);
  }
  preview_->Invalidate();
}

void CObjectPropertiesDlg::OnMesh() {
  if (!Pickers().objectMesh) return;
  if (const auto chosen = Pickers().objectMesh(mesh)) {
    mesh = *chosen;
    questCheck_->setChecked(true);
    questCheck_->setEnabled(false);
  } else {
    mesh.clear();
    questCheck_->setEnabled(true);
  }
}

void CObjectPropertiesDlg::OnOK() {
  const auto typed = TakeKeyField(keyEdit_);
  if (!typed) return;
  key = *typed;
  quest = questCheck_->isChecked();
  if (!IsAlphanumeric(key)) return ShowStringBox(kIdsInvalidKey);
  if (origin.empty()) return ShowStringBox(kIdsObjectOriginEmpty);
  bool taken = FindItemObject(key) >= 0;
  for (const CQuestObject* o = Quest().questObjects; o && !taken; o = o->next)
    taken = o != edited && platform::EqualsNoCase(o->key, key);
  if (taken) return ShowStringBox(kIdsObjectKeyTaken);
  Dialog::OnOK();
}

bool CObjectPropertiesDlg::StoreTo(CQuestObject& object) const {
  const int flags = quest ? kQuestFlag : 0;
  const bool changed = key != object.key || origin != object.parent || flags != object.questFlag ||
                       mesh != object.mesh || !SameSprite(sprite, object.sprite) || !TextsEqual(name, object.name) ||
                       !TextsEqual(comment, object.comment);
  SetField(object.key, key);
  SetField(object.parent, origin);
  object.name = name;
  object.comment = comment;
  object.sprite = sprite;
  SetField(object.mesh, mesh);
  object.questFlag = flags;
  return changed;
}

}  // namespace kelvar
