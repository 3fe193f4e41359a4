#pragma once
// The quest document: one quest open at a time, held in the quest's global
// lists and header globals, opened from and saved to one ".qst" file. The
// document also creates the quest's output folder "data\customQuest\<quest>"
// with its copy of the quest sprite, remembers the last quest in the
// profile, and runs Generate Quest.
//
// This is the document's core without any window system: the editor's
// framework document forwards New, Open, Save and Close here and installs
// the hooks below for what the views and dialogs do.
#include <string>
#include <string_view>

#include "datafiles/multi_lang_text.h"

namespace platform {
class File;
}
struct QstContents;
struct QstHeader;
struct Marker;

// Profile section and value holding the last quest opened or saved.
inline constexpr const char* kRecentQuestSection = "Recent Quest File";
inline constexpr const char* kRecentQuestValue = "File";
// The quest sprite copied into every quest folder.
inline constexpr const char* kQuestSpriteSource = "rozizuzi\\k0830_sprite.tga";
inline constexpr const char* kQuestSpriteName = "k0830_sprite.tga";

// What closing a quest asks of the views and the display; the editor
// installs it. Without one nothing is asked.
class IKelvarDocHooks {
 public:
  virtual ~IKelvarDocHooks() = default;
  // Empties the world map's thumbnail cache.
  virtual void ClearThumbnails() = 0;
  // Forgets the room being edited.
  virtual void ForgetEditedRoom() = 0;
  // Resets the 3D engine's texture cache when the engine exists.
  virtual void ResetTextureCache() = 0;
};

// The three windows of Generate Quest; the editor installs its dialogs.
// Without one, generation runs with the texts as they are and the debug
// flag set, and the error report goes to a message box.
class IGenerationUi {
 public:
  virtual ~IGenerationUi() = default;
  // The generation dialog over the information and author texts of the
  // current language; false when cancelled. The texts and flag are edited in place.
  virtual bool RunGenerationDialog(std::string& information, std::string& author, bool& debugMode) = 0;
  // The progress window over 0..range, stepped by one.
  virtual void ShowProgress(int range) = 0;
  virtual void StepProgress() = 0;
  virtual void HideProgress() = 0;
  // The generation error dialog.
  virtual void ShowErrorReport(std::string_view report) = 0;
};

// Installs the hooks (not owned); nullptr removes them.
void SetKelvarDocHooks(IKelvarDocHooks* hooks);
void SetGenerationUi(IGenerationUi* ui);

// The quest's author and information texts (header globals).
CMultiLangText& QuestAuthorText();
CMultiLangText& QuestInfoText();
// The path of the quest sprite's copy in the quest folder.
const std::string& QuestSpritePath();

class CKelvarDoc {
 public:
  CKelvarDoc();
  virtual ~CKelvarDoc();
  CKelvarDoc(const CKelvarDoc&) = delete;
  CKelvarDoc& operator=(const CKelvarDoc&) = delete;

  // A new, empty quest named after the title: its folder and sprite copy.
  virtual bool OnNewDocument();
  // Reads a quest. On failure the error is shown, nothing of the file is
  // kept, the open quest (if any) stays as it was and the profile is not
  // touched; false.
  virtual bool OnOpenDocument(const std::string& path);
  // Writes the quest through a temporary file renamed over the target. On
  // failure the error is shown, the previous file stays, the document stays
  // modified and the profile is not touched; false.
  virtual bool OnSaveDocument(const std::string& path);
  // Empties the quest and every header global.
  virtual void OnCloseDocument();
  // The Close command: closes, then forgets the quest in the profile.
  void OnFileClose();
  // The Generate Quest command.
  void OnGenerateQuest();
  // The Merge command: a second quest chosen in a file dialog is read into
  // this one (quest_merge.h), which is then modified.
  void OnMerge();
  // The quest package "<folder>\<quest>.mtf" of the quest folder's files. 1 on success.
  int PackQuest(const char* folder, const char* questName);

  // The ".qst" header record (throws platform::FileException). Reading only
  // fills `header`; opening a quest then takes it over.
  static void ReadHeader(platform::File& file, QstHeader& header);
  static void WriteHeader(platform::File& file, std::int32_t viewLeft, std::int32_t viewTop, std::int32_t language,
                          std::int32_t markerCounter, const Marker* markers, const CMultiLangText& author,
                          const CMultiLangText& information);

  // Rooms, objects, monsters and machines.
  int CountItems() const;
  // The text, then CR LF when asked. Throws platform::FileException.
  static void WriteScriptLine(platform::File& file, std::string_view text, bool newline);

  virtual bool IsModified() const { return modified_; }
  virtual void SetModifiedFlag(bool modified = true) { modified_ = modified; }

  // The framework document's title and path, kept in step by the editor.
  const std::string& Title() const { return title_; }
  void SetTitle(std::string title) { title_ = std::move(title); }
  const std::string& PathName() const { return pathName_; }
  void SetPathName(std::string path) { pathName_ = std::move(path); }
  // The base name of the path, or of the title while the quest has no path.
  std::string QuestName() const;

  int newQuest = 0;

 private:
  std::string title_;
  std::string pathName_;
  bool modified_ = false;
};

// The document that was created or opened last (null when none).
CKelvarDoc* CurrentDocument();

// Reads a quest file into `contents`: its four lists, and its header when
// asked. A file that cannot be opened or read shows "Can't open file ..." or
// "Error while loading ..." and gives false; `contents` then holds only what
// the caller drops. A part of a text that no quest script can hold is left
// out of it, and a box names each (script_names.h).
bool ReadQuestAside(const std::string& path, QstContents& contents, bool withHeader);

// Creates "data", "data\customQuest" and "data\customQuest\<quest>" (an
// existing folder is no error). False when one cannot be made.
bool CreateQuestFolder(std::string_view questName);
// True for a name that can be a single file or folder name: not empty, no
// path separator or drive colon, no "..".
bool IsPlainFileName(std::string_view name);
