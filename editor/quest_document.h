#pragma once
// The framework's document for a quest: New, Open, Save, Close and Generate
// Quest go to the quest document (one quest at a time, held in the quest's
// global lists), and its modified flag is the quest's.
#include <string>

#include "platform/ui/document.h"
#include "quest/kelvar_doc.h"

namespace kelvar {

class CQuestDocument : public platform::ui::Document {
 public:
  CQuestDocument();
  ~CQuestDocument() override;

  bool OnNewDocument() override;
  bool OnOpenDocument(const std::string& path) override;
  bool OnSaveDocument(const std::string& path) override;
  void DeleteContents() override;
  // Asks to save, closes, and forgets the quest in the profile.
  void OnFileClose() override;

  bool IsModified() const override { return quest_.IsModified(); }
  void SetModifiedFlag(bool modified = true) override { quest_.SetModifiedFlag(modified); }
  void SetTitle(std::string title) override;

  // Generate Quest (the quest marks itself modified when generation changed it).
  void OnGenerateQuest();

  CKelvarDoc& Quest() { return quest_; }

 private:
  CKelvarDoc quest_;
};

}  // namespace kelvar
