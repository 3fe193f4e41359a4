#pragma once
// Set-up shared by the quest document, export and generation tests: a clean
// quest in a scratch start directory with its own profile, the files the
// document copies, fake views and generation windows, and small builders.
#include <array>
#include <cstdint>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/trace.h"
#include "quest/kelvar_doc.h"
#include "quest_fixture.h"
#include "support/temp_dir.h"

class CRoom;
class CMachine;
class GraphNode;
class CMonster;
class CQuestObject;

namespace questtest {

class FakeDocHooks : public IKelvarDocHooks {
 public:
  void ClearThumbnails() override { calls.push_back("thumbnails"); }
  void ForgetEditedRoom() override { calls.push_back("room"); }
  void ResetTextureCache() override { calls.push_back("textures"); }
  std::vector<std::string> calls;
};

class FakeGenerationUi : public IGenerationUi {
 public:
  bool RunGenerationDialog(std::string& information, std::string& author, bool& debugMode) override {
    ++dialogs;
    shownInformation = information;
    shownAuthor = author;
    if (cancel) return false;
    if (newInformation) information = newInformation;
    if (newAuthor) author = newAuthor;
    debugMode = debug;
    return true;
  }
  void ShowProgress(int r) override {
    range = r;
    shown = true;
  }
  void StepProgress() override {
    if (++steps == failAtStep) throw std::bad_alloc();  // as if that step ran out of memory
  }
  void HideProgress() override { shown = false; }
  void ShowErrorReport(std::string_view report) override { reports.emplace_back(report); }

  bool cancel = false;
  bool debug = true;
  const char* newInformation = nullptr;
  const char* newAuthor = nullptr;
  int dialogs = 0;
  std::string shownInformation, shownAuthor;
  int range = -1;
  int steps = 0;
  int failAtStep = 0;  // 0: no step fails
  bool shown = false;
  std::vector<std::string> reports;
};

// A quest test in a scratch start directory holding the quest sprite and the
// sixteen object textures, with the profile in a temporary file.
class DocTest : public QuestTest {
 protected:
  DocTest();
  ~DocTest() override;

  std::string Profiled() const;  // the profile's "Recent Quest File" / "File", "<none>" when absent
  std::vector<std::uint8_t> ReadBytes(std::string_view rel) const;
  std::vector<std::string> BoxTexts() const;
  // Writes the demo's block meshes and sample quest, then opens the quest as the
  // editor starts: machine definitions and custom meshes first.
  bool OpenDemoQuestAsTheEditorStarts();

  testsupport::TempDir dir;
  FakeDocHooks hooks;
  FakeGenerationUi genUi;
  CKelvarDoc doc;
};

// A room pushed on the quest's room list.
CRoom* AddRoom(std::string_view name, int land, int level, int left = 0, int top = 0, int right = 400,
               int bottom = 400);
CQuestObject* AddObject(std::string_view key, std::string_view parent);
CMonster* AddMonster(std::string_view key, std::string_view monsterClass);

// A machine whose one value, a FRAME shown on the map, gives each instance one node.
inline constexpr const char* kLampMachine =
    "STATE_MACHINE { KEY { lamp } PARAM { KEY { 1 } TYPE { FRAME } DISPLAY {} } }";
// A new instance of the lamp machine of that name (made on first use; the
// lamp must be defined), its node put at the cell.
GraphNode* AddLampNode(int column, int row, std::string_view machineName = "lamp");

// An "04D" mesh without faces whose one-block footprint is the nine cells,
// rows of three, top first.
std::vector<std::uint8_t> FootprintMesh(const std::array<std::uint8_t, 9>& cells);

// The text with every "\n" made "\r\n".
std::string Crlf(std::string_view text);

}  // namespace questtest
