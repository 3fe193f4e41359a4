#pragma once
// "Machine properties...": a machine's key and its typed parameter values,
// each edited by the editor of its type. Values change in the machine while
// the dialog runs; Cancel puts back the values it started with.
#include <string>
#include <vector>

#include "datafiles/multi_lang_text.h"
#include "platform/ui/dialog.h"

class CMachine;
class CMachineParam;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;

namespace kelvar {

class CMachineParamEditor;

class CMachinePropertiesDlg : public platform::ui::Dialog {
 public:
  // The machine is found by its name, ignoring case.
  explicit CMachinePropertiesDlg(std::string machineName, QWidget* parent = nullptr);

  // Edits the row's value (Shift held opens the text editor where the type
  // has one); refreshes the rows.
  void EditRow(int row, bool shiftHeld);
  void OnInstances();

  std::string machineName;
  CMachine* machine = nullptr;
  std::string key;

  // The value of each row.
  const std::vector<CMachineParam*>& Rows() const { return rows_; }
  QTreeWidget* List() const { return list_; }
  QLineEdit* KeyEdit() const { return keyEdit_; }
  QPlainTextEdit* OriginEdit() const { return originEdit_; }
  QLineEdit* TypeEdit() const { return typeEdit_; }
  // True when a value of the machine differs from what it held when the
  // dialog opened, whichever editor changed it.
  bool ValuesChanged() const;
  // True when instances were added or deleted.
  bool InstancesChanged() const { return instancesChanged_; }

 protected:
  bool OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;

 private:
  struct Saved {
    std::string text;
    CMultiLangText multi;
  };
  void RefreshRows();

  QTreeWidget* list_;
  QPlainTextEdit* originEdit_;
  QLineEdit* keyEdit_;
  QLineEdit* typeEdit_;
  QPushButton* instancesButton_;
  std::vector<CMachineParam*> rows_;
  std::vector<Saved> saved_;  // every value of the machine, in list order
  bool instancesChanged_ = false;
};

}  // namespace kelvar
