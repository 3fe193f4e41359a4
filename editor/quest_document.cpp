#include "editor/quest_document.h"

#include "editor/kelvar_commands.h"
#include "platform/core/paths.h"
#include "platform/core/profile.h"

namespace kelvar {

CQuestDocument::CQuestDocument() {
  OnCommand(kCmdGenerateQuest, [this] { OnGenerateQuest(); });
  OnCommand(kCmdMerge, [this] { quest_.OnMerge(); });
}

CQuestDocument::~CQuestDocument() = default;

void CQuestDocument::SetTitle(std::string title) {
  quest_.SetTitle(title);
  Document::SetTitle(std::move(title));
}

bool CQuestDocument::OnNewDocument() {
  if (!quest_.OnNewDocument()) return false;
  SetModifiedFlag(false);
  return true;
}

bool CQuestDocument::OnOpenDocument(const std::string& path) {
  if (!quest_.OnOpenDocument(path)) return false;
  quest_.SetPathName(platform::AbsolutePath(path));
  SetModifiedFlag(false);
  return true;
}

bool CQuestDocument::OnSaveDocument(const std::string& path) {
  if (!quest_.OnSaveDocument(path)) return false;
  quest_.SetPathName(platform::AbsolutePath(path));
  return true;
}

void CQuestDocument::DeleteContents() { quest_.OnCloseDocument(); }

void CQuestDocument::OnFileClose() {
  if (!SaveModified()) return;
  OnCloseDocument();
  platform::Profile().WriteString(kRecentQuestSection, kRecentQuestValue, "");
}

void CQuestDocument::OnGenerateQuest() { quest_.OnGenerateQuest(); }

}  // namespace kelvar
