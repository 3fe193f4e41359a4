#include "quest/kelvar_doc.h"

#include <utility>

#include "datafiles/file_utils.h"
#include "datafiles/language_table.h"
#include "platform/core/file.h"
#include "platform/core/paths.h"
#include "platform/core/profile.h"
#include "platform/core/services.h"
#include "quest/machine.h"
#include "quest/marker.h"
#include "quest/monster.h"
#include "quest/qst_format.h"
#include "quest/quest_lists.h"
#include "quest/quest_object.h"
#include "quest/quest_voices.h"
#include "quest/room.h"
#include "quest/script_names.h"
#include "quest/text_format.h"
#include "quest/world_graph.h"

namespace {

IKelvarDocHooks* g_hooks = nullptr;
CKelvarDoc* g_current = nullptr;
std::string g_spritePath;

void Box(const std::string& text) { platform::MessageBox(text, "", platform::kMbOk); }

void ToStartDirectory() { platform::ChangeDirectory(platform::StartDirectory()); }

// File name without folder and extension.
std::string BaseName(std::string_view path) { return platform::SplitPath(path).fname; }

std::string SpriteCopyPath(std::string_view questName) {
  return "data\\customQuest\\" + std::string(questName) + "\\" + kQuestSpriteName;
}

// The quest folder and its sprite copy (an existing copy is kept); the
// copy's path is remembered.
void PrepareQuestFolder(std::string_view questName) {
  if (!IsPlainFileName(questName) || !CreateQuestFolder(questName)) return;
  g_spritePath = SpriteCopyPath(questName);
  CopyWholeFile(kQuestSpriteSource, g_spritePath.c_str(), false);
}

// The lists and header read from a file become the open quest.
void TakeQuest(QstContents& contents) {
  QuestState& q = Quest();
  FreeGraph();
  FreeList(q.questObjects);
  FreeList(q.machines);
  FreeList(q.monsters);
  FreeList(q.rooms);
  q.machines = std::exchange(contents.machines, nullptr);
  q.questObjects = std::exchange(contents.objects, nullptr);
  q.monsters = std::exchange(contents.monsters, nullptr);
  q.rooms = std::exchange(contents.rooms, nullptr);
  BuildQuestGraph();

  QstHeader& header = contents.header;
  if (static_cast<std::int32_t>(header.version) <= 0) return;
  const int width = q.mapView.right - q.mapView.left;
  const int height = q.mapView.bottom - q.mapView.top;
  q.mapView = MapRect{header.viewLeft, header.viewTop, header.viewLeft + width, header.viewTop + height};
  if (header.hasLanguage) g_languageTable.SetLanguage(header.language);
  FreeList(q.markers);
  q.markers = std::exchange(header.markers, nullptr);
  q.markerCounter = header.markerCounter;
  if (header.hasTexts) {
    QuestAuthorText().Copy(header.author);
    QuestInfoText().Copy(header.information);
  }
}

}  // namespace

void SetKelvarDocHooks(IKelvarDocHooks* hooks) { g_hooks = hooks; }

CMultiLangText& QuestAuthorText() {
  static CMultiLangText text;
  return text;
}

CMultiLangText& QuestInfoText() {
  static CMultiLangText text;
  return text;
}

const std::string& QuestSpritePath() { return g_spritePath; }

CKelvarDoc* CurrentDocument() { return g_current; }

bool IsPlainFileName(std::string_view name) {
  if (name.empty()) return false;
  if (name.find_first_of("\\/:") != std::string_view::npos) return false;
  return name.find("..") == std::string_view::npos;
}

bool CreateQuestFolder(std::string_view questName) {
  const std::string folder = "data\\customQuest\\" + std::string(questName);
  return platform::CreateDirectory("data") && platform::CreateDirectory("data\\customQuest") &&
         platform::CreateDirectory(folder);
}

bool ReadQuestAside(const std::string& path, QstContents& contents, bool withHeader) {
  platform::File file;
  platform::FileException error(platform::kCauseNone, 0, path);
  if (!file.Open(path, platform::File::modeRead, &error)) {
    Box(FormatText("Can't open file %s, error = %u\n", path.c_str(), static_cast<unsigned>(error.cause())));
    return false;
  }
  try {
    if (withHeader) {
      ReadQuestFile(file, contents);
    } else {
      ReadQuestLists(file, contents);
    }
    file.Close();
  } catch (const platform::FileException& e) {
    file.Abort();
    ToStartDirectory();
    Box(FormatText("Error while loading %s, error = %u\n", path.c_str(), static_cast<unsigned>(e.cause())));
    return false;
  }
  // A name no quest script can hold is left out, the rest of the quest kept.
  const std::string refused = RefuseUnscriptableTexts(contents, withHeader);
  if (!refused.empty()) Box(path + ":\n" + refused);
  return true;
}

CKelvarDoc::CKelvarDoc() = default;

CKelvarDoc::~CKelvarDoc() {
  if (g_current == this) g_current = nullptr;
}

std::string CKelvarDoc::QuestName() const { return BaseName(pathName_.empty() ? title_ : pathName_); }

bool CKelvarDoc::OnNewDocument() {
  ToStartDirectory();
  newQuest = 1;
  g_current = this;
  PrepareQuestFolder(BaseName(title_));
  return true;
}

bool CKelvarDoc::OnOpenDocument(const std::string& path) {
  g_current = this;
  ToStartDirectory();
  PrepareQuestFolder(BaseName(path));

  // Read aside first: a file that fails leaves nothing of itself behind.
  QstContents contents;
  if (!ReadQuestAside(path, contents, true)) return false;
  TakeQuest(contents);
  ToStartDirectory();
  platform::Profile().WriteString(kRecentQuestSection, kRecentQuestValue, path);
  return true;
}

bool CKelvarDoc::OnSaveDocument(const std::string& path) {
  ToStartDirectory();
  const std::string oldName = QuestName();
  const std::string newName = BaseName(path);
  const bool renamed = !platform::EqualsNoCase(oldName, newName);
  if (IsPlainFileName(newName) && CreateQuestFolder(newName)) {
    const std::string oldSprite = SpriteCopyPath(oldName);
    const std::string newSprite = SpriteCopyPath(newName);
    if (!platform::EqualsNoCase(oldSprite, newSprite)) {
      CopyWholeFile(oldSprite.c_str(), newSprite.c_str(), false);
      g_spritePath = newSprite;
    }
  }

  platform::File file;
  platform::FileException error(platform::kCauseNone, 0, path);
  if (!file.Open(path, platform::File::modeCreate | platform::File::modeWrite | platform::File::modeSafeSave,
                 &error)) {
    Box(FormatText("Can't open file %s, error = %u\n", path.c_str(), static_cast<unsigned>(error.cause())));
    return false;
  }
  try {
    WriteQuestFile(file, QuestAuthorText(), QuestInfoText());
    file.Close();  // renames the finished file over the old one
  } catch (const platform::FileException& e) {
    file.Abort();
    Box(FormatText("Error while saving %s, error = %u\n", path.c_str(), static_cast<unsigned>(e.cause())));
    return false;
  }
  // The quest's folder holds what its package needs: a quest saved under
  // another name takes its voices along. A voice that does not make it is
  // reported; the save stands.
  const std::string voices = renamed ? CopyQuestVoices(oldName, newName) : std::string();
  platform::Profile().WriteString(kRecentQuestSection, kRecentQuestValue, path);
  SetModifiedFlag(false);
  if (!voices.empty()) Box(voices);
  return true;
}

void CKelvarDoc::OnCloseDocument() {
  newQuest = 0;
  if (g_hooks) g_hooks->ClearThumbnails();
  FreeQuestLists();
  if (g_hooks) g_hooks->ForgetEditedRoom();
  if (g_hooks) g_hooks->ResetTextureCache();
  // The next quest starts from nothing: no texts, the map at its origin.
  QuestAuthorText() = CMultiLangText();
  QuestInfoText() = CMultiLangText();
  MapRect& view = Quest().mapView;
  view = MapRect{0, 0, view.right - view.left, view.bottom - view.top};
  if (g_current == this) g_current = nullptr;
}

void CKelvarDoc::OnFileClose() {
  OnCloseDocument();
  platform::Profile().WriteString(kRecentQuestSection, kRecentQuestValue, "");
}

int CKelvarDoc::CountItems() const {
  const QuestState& q = Quest();
  return static_cast<int>(ListLength(q.rooms) + ListLength(q.questObjects) + ListLength(q.monsters) +
                          ListLength(q.machines));
}

void CKelvarDoc::WriteScriptLine(platform::File& file, std::string_view text, bool newline) {
  WriteTextLine(file, text, newline);
}
