#pragma once
// "Objects...": picks an item object of the game (or, when asked, a quest
// object) by key, shown with its sprite and described below the list.
#include <string>

#include "editor/picker_dlg.h"

class QPlainTextEdit;

namespace kelvar {

class CObjectPreviewListBox;

class CObjectsDlg : public CPickerDlg {
 public:
  static constexpr int kIdd = 133;
  static constexpr int kIdcDescription = 1003;

  explicit CObjectsDlg(std::string value = {}, bool withQuestObjects = false, QWidget* parent = nullptr);

  std::string value;        // the key picked
  std::string spriteName;   // the sprite of the picked item object
  std::string description;  // its description
  bool withQuestObjects;

  CObjectPreviewListBox& List() const { return *list_; }
  QPlainTextEdit& DescriptionEdit() const { return *descriptionEdit_; }

 protected:
  bool OnInitDialog() override;

 private:
  void OnSelChange();

  CObjectPreviewListBox* list_;
  QPlainTextEdit* descriptionEdit_;
};

}  // namespace kelvar
