#pragma once
// "Create new machine...": the state machine to make an instance of, with its
// comment and parameters shown, and the new machine's key.
#include <string>

#include "platform/ui/dialog.h"
#include "platform/ui/list_box.h"

class QLineEdit;
class QPlainTextEdit;
class QTreeWidget;

namespace kelvar {

class CNewMachineDlg : public platform::ui::Dialog {
 public:
  explicit CNewMachineDlg(QWidget* parent = nullptr);

  void OnSelChange(int row);

  std::string machineType;  // the chosen definition's key
  std::string key;

  platform::ui::ListBox* List() const { return list_; }
  QTreeWidget* Properties() const { return properties_; }
  QPlainTextEdit* CommentEdit() const { return comment_; }
  QLineEdit* KeyEdit() const { return keyEdit_; }

 protected:
  bool OnInitDialog() override;
  void OnOK() override;

 private:
  platform::ui::ListBox* list_;
  QTreeWidget* properties_;
  QPlainTextEdit* comment_;
  QLineEdit* keyEdit_;
};

// Refuses a machine key in use by another machine (ignoring case) or not
// made of letters and digits, then an empty key or type; false after the box.
bool CheckMachineKey(const std::string& key, const std::string& machineName, const void* edited);

}  // namespace kelvar
