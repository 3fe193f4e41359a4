#include "editor/quest_document.h"

#include <filesystem>

#include "editor/kelvar_commands.h"
#include "platform/core/profile.h"

namespace kelvar {
namespace {

std::string Absolute(const std::string& path) {
  std::error_code ec;
  std::filesystem::path p = std::filesystem::absolute(path, ec);
  return ec ? path : p.lexically_normal().string();
}

}  // namespace

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
  quest_.SetPathName(Absolute(path));
  SetModifiedFlag(false);
  return true;
}

bool CQuestDocument::OnSaveDocument(const std::string& path) {
  if (!quest_.OnSaveDocument(path)) return false;
  quest_.SetPathName(Absolute(path));
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
