#pragma once
// "Virtual Object...": the key of a virtual quest object (one that exists
// only in the quest's scripts).
#include <string>

#include "platform/ui/dialog.h"

class CQuestObject;
class QLineEdit;

namespace kelvar {

class CVirtualObjectDlg : public platform::ui::Dialog {
 public:
  explicit CVirtualObjectDlg(CQuestObject* edited, QWidget* parent = nullptr);

  CQuestObject* edited = nullptr;
  std::string key;

  QLineEdit* KeyEdit() const { return keyEdit_; }

 protected:
  bool OnInitDialog() override;
  void OnOK() override;

 private:
  QLineEdit* keyEdit_;
};

}  // namespace kelvar
