#include "editor/machine_properties_dlg.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "datafiles/language_table.h"
#include "datafiles/mtf_archive.h"
#include "editor/dialog_strings.h"
#include "editor/element_pickers.h"
#include "editor/generation_text.h"
#include "editor/key_field.h"
#include "editor/line_text_dlg.h"
#include "editor/machine_instances_dlg.h"
#include "editor/new_machine_dlg.h"
#include "editor/param_dlgs.h"
#include "editor/text_dlg.h"
#include "platform/core/paths.h"
#include "platform/ui/string_table.h"
#include "platform/ui/text_codec.h"
#include "quest/machine.h"
#include "quest/quest_lists.h"
#include "quest/text_format.h"

namespace kelvar {
namespace {

std::string Caption(const CMachineParam& value) {
  return value.def && value.def->comment ? *value.def->comment : std::to_string(value.number);
}

std::optional<std::string> EditText(const CMachineParam& value) {
  CParamTextDlg dialog;
  dialog.label = Caption(value);
  dialog.value = value.GetText();
  if (dialog.DoModal() != platform::ui::kDialogOk) return std::nullopt;
  return dialog.value;
}

std::optional<std::string> Pick(const NamePicker& picker, const CMachineParam& value) {
  if (!picker) return std::nullopt;
  return picker(value.GetText());
}

// The SKELFILE value that goes with a skeleton name: the name, unless the
// skeleton has no file of its own.
std::string SkeletonFileFor(const std::string& skeleton) {
  if (platform::EqualsNoCase(skeleton, "moine")) return "MULTIPNJ";
  const std::string path = FormatText("data\\skeletons\\%s\\%s.ska", skeleton.c_str(), skeleton.c_str());
  MtfFilePtr file(MtfOpen(path.c_str(), "rb"));
  return file ? skeleton : "MULTIPNJ";
}

}  // namespace

CMachinePropertiesDlg::CMachinePropertiesDlg(std::string name, QWidget* parent)
    : Dialog(parent),
      machineName(std::move(name)),
      list_(new QTreeWidget(this)),
      originEdit_(new QPlainTextEdit(this)),
      keyEdit_(new QLineEdit(this)),
      typeEdit_(new QLineEdit(this)),
      instancesButton_(new QPushButton("&Instances", this)) {
  setWindowTitle("Machine properties...");
  list_->setObjectName("list1001");
  list_->setColumnCount(2);
  list_->setRootIsDecorated(false);
  list_->setMinimumSize(420, 220);
  list_->setHeaderLabels({platform::ui::FromAnsi(platform::ui::Strings().Get(kIdsPropertiesColumn)),
                          platform::ui::FromAnsi(platform::ui::Strings().Get(kIdsValueColumn))});
  list_->setColumnWidth(0, 280);
  originEdit_->setObjectName("edit1004");
  originEdit_->setReadOnly(true);
  originEdit_->setMaximumHeight(50);
  keyEdit_->setObjectName("edit1011");
  typeEdit_->setObjectName("edit1010");
  typeEdit_->setReadOnly(true);
  instancesButton_->setObjectName("button1069");
  connect(list_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
    EditRow(list_->indexOfTopLevelItem(item), QGuiApplication::keyboardModifiers() & Qt::ShiftModifier);
  });
  connect(instancesButton_, &QPushButton::clicked, this, [this] { OnInstances(); });
  auto* fields = new QHBoxLayout;
  fields->addWidget(new QLabel("Key", this));
  fields->addWidget(keyEdit_);
  fields->addWidget(typeEdit_);
  fields->addWidget(instancesButton_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, [this] { OnOK(); });
  connect(buttons, &QDialogButtonBox::rejected, this, [this] { OnCancel(); });
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel("Origin", this));
  layout->addWidget(originEdit_);
  layout->addLayout(fields);
  layout->addWidget(list_);
  layout->addWidget(buttons);
}

bool CMachinePropertiesDlg::OnInitDialog() {
  machine = FindMachineNamed(Quest().machines, machineName);
  rows_.clear();
  saved_.clear();
  if (machine) {
    const MachineDef* definition = Quest().library.FindMachine(machine->typeKey);
    originEdit_->setPlainText(GameTextToEdit(definition && definition->comment ? *definition->comment : ""));
    key = machine->name;
    typeEdit_->setText(GameTextToEdit(machine->typeKey));
    for (CMachineParam* p = machine->params; p; p = p->next) {
      Saved s{p->GetText(), {}};
      if (p->type == kParamText) s.multi = static_cast<CMachineParamText*>(p)->value;
      saved_.push_back(std::move(s));
      if (p->def) rows_.push_back(p);
    }
  } else {
    instancesButton_->setEnabled(false);
  }
  SetKeyField(keyEdit_, key);
  RefreshRows();
  return true;
}

void CMachinePropertiesDlg::RefreshRows() {
  list_->clear();
  for (const CMachineParam* p : rows_)
    list_->addTopLevelItem(new QTreeWidgetItem({GameTextToEdit(Caption(*p)), GameTextToEdit(p->GetText())}));
}

void CMachinePropertiesDlg::EditRow(int row, bool shiftHeld) {
  if (row < 0 || row >= static_cast<int>(rows_.size())) return;
  CMachineParam& value = *rows_[static_cast<std::size_t>(row)];
  const ElementPickers& pickers = Pickers();
  std::optional<std::string> chosen;
  switch (value.type) {
    case kParamFrame: chosen = Pick(pickers.frame, value); break;
    case kParamObject: chosen = Pick(pickers.questObject, value); break;
    case kParamSound: chosen = Pick(pickers.sound, value); break;
    case kParamInt: {
      CParamValueDlg dialog;
      dialog.label = Caption(value);
      dialog.value = static_cast<CMachineParamInt&>(value).value;
      if (dialog.DoModal() == platform::ui::kDialogOk) chosen = std::to_string(dialog.value);
      break;
    }
    case kParamAlpha: chosen = EditText(value); break;
    case kParamSkelFile:
      if (shiftHeld) chosen = EditText(value);
      break;
    case kParamSkelName:
      if (shiftHeld) {
        chosen = EditText(value);
      } else if ((chosen = Pick(pickers.skeletonClass, value))) {
        // The machine's skeleton file follows its skeleton.
        for (CMachineParam* p = machine->params; p; p = p->next) {
          if (p->type != kParamSkelFile) continue;
          p->SetText(SkeletonFileFor(*chosen));
          break;
        }
      }
      break;
    case kParamMonster: chosen = Pick(pickers.questMonster, value); break;
    case kParamText: {
      auto& text = static_cast<CMachineParamText&>(value).value;
      EditCurrentLanguage(text, Caption(value));
      break;
    }
    case kParamList:
      if (pickers.choice && value.def) chosen = pickers.choice(*value.def, value.GetText());
      break;
    default: break;
  }
  if (chosen) value.SetText(*chosen);
  RefreshRows();
}

bool CMachinePropertiesDlg::ValuesChanged() const {
  if (!machine) return false;
  std::size_t i = 0;
  for (const CMachineParam* p = machine->params; p && i < saved_.size(); p = p->next, ++i) {
    const bool same = p->type == kParamText ? TextsEqual(static_cast<const CMachineParamText*>(p)->value, saved_[i].multi)
                                             : p->GetText() == saved_[i].text;
    if (!same) return true;
  }
  return false;
}

void CMachinePropertiesDlg::OnInstances() {
  if (!machine) return;
  CMachineInstancesDlg dialog(*machine, this);
  dialog.DoModal();
  if (dialog.Changed()) instancesChanged_ = true;
}

void CMachinePropertiesDlg::OnOK() {
  const auto typed = TakeKeyField(keyEdit_);
  if (!typed) return;
  key = *typed;
  if (!CheckMachineKey(key, machineName, machine)) return;
  Dialog::OnOK();
}

void CMachinePropertiesDlg::OnCancel() {
  if (ValuesChanged()) {
    std::size_t i = 0;
    for (CMachineParam* p = machine->params; p && i < saved_.size(); p = p->next, ++i) {
      if (p->type == kParamText) static_cast<CMachineParamText*>(p)->value = saved_[i].multi;
      else p->SetText(saved_[i].text);
    }
  }
  Dialog::OnCancel();
}

}  // namespace kelvar
