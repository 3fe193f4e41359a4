#pragma once
// "Text": every text of the quest by label; choosing one edits it in all
// languages; Export writes them to "export.txt" for translators and Import
// reads a translated file back into the current language.
#include <vector>

#include "editor/quest_text_exchange.h"
#include "platform/ui/dialog.h"
#include "platform/ui/list_box.h"


namespace kelvar {

class CTextListDlg : public platform::ui::Dialog {
 public:
  static constexpr const char* kExportFile = "export.txt";

  explicit CTextListDlg(QWidget* parent = nullptr);

  // Runs the text dialog on the row's text.
  void OnSelChange(int row);
  void OnExport();
  void OnImport();

  // True when a text was changed (edited or imported).
  bool Changed() const { return changed_; }
  platform::ui::ListBox* List() const { return list_; }
  const std::vector<QuestTextEntry>& Entries() const { return entries_; }

 protected:
  bool OnInitDialog() override;

 private:
  platform::ui::ListBox* list_;
  std::vector<QuestTextEntry> entries_;  // in list order
  bool changed_ = false;
};

}  // namespace kelvar
