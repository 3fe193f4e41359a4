// The demo opened with each of its data files taken away in turn, from the
// archive and from the loose folders: the map and every room shown and
// painted, each box shown for real and clicked away. Nothing may crash; every
// box the missing file's reader shows comes exactly once, none from inside a
// drawing, and no other box comes. The files are shared out among a few
// CTest runs that go side by side (see CMakeLists.txt).
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "datafiles/language_table.h"
#include "editor/edit_modes.h"
#include "editor/kelvar_commands.h"
#include "editor/main_frame.h"
#include "editor/quest_tree_ctrl.h"
#include "editor/room_view.h"
#include "kelvar_fixture.h"
#include "quest/quest_lists.h"
#include "render/cdd_renderer.h"
#include "render/engine_3d.h"
#include "support/clicked_boxes.h"
#include "support/mtf_edit.h"
#include "tools/demodata/demo_content.h"
#include "tools/demodata/demo_output.h"
#include "tools/demodata/sample_quest.h"
#include "tools/demodata/sound_bank.h"

namespace kelvartest {
namespace {

namespace fs = std::filesystem;
using namespace kelvar;

inline constexpr int kShards = 8;

struct DataFile {
  std::string name;  // archive entry, or loose path relative to the start directory
  bool loose;
};

// What each kind of demo file shows when it is gone, as its reader reports
// a missing file ("%s": the file's name as the program asks for it). A file
// of a kind not listed fails the sweep.
struct FileKind {
  const char* ending;              // how the name ends, case ignored
  std::vector<std::string> boxes;  // none: {}
  bool onlyForDemoMonsters = false;  // read only for a skeleton a monster of the demo stands on
};

const std::vector<FileKind>& FileKinds() {
  static const std::vector<FileKind> kinds = {
      // A class whose skin file does not open stands on "MULTIPNJ" instead:
      // the map, the rooms and the monster dialog never read the missing one.
      {".ska", {}},
      {".mdl", {}},  // a missing model file fails quietly
      {".mbr", {"Error while reading %s"}, true},
      {".anb", {"Error while reading %s"}, true},
      {".o3d", {}},  // a missing mesh reads as an empty one
      {".tga", {}},  // a texture that does not load is traced
      {".cbs", {}},  // a block set that does not open reads as none
      {".dat", {}},  // a missing table is empty and start-up goes on
      {".wav", {}},  // a sound that does not load does not play
      // Each machine of a definition the library lacks.
      {"demo.qsm",
       {"Error! Machine demo_door not found. You should erase cryptdoor before continuing.",
        "Error! Machine demo_chest not found. You should erase treasure before continuing."}},
      {kSampleQuestPath, {std::string("Can't open file ") + kSampleQuestPath + ", error = 2\n"}},
  };
  return kinds;
}

// The skeletons the demo's monsters stand on: the crypt's wolf and the orc guard.
bool ADemoMonsterStandsOn(const std::string& name) {
  for (const char* skeleton : {"wolf", "orc"})
    if (name.find(std::string("data\\skeletons\\") + skeleton + "\\") == 0) return true;
  return false;
}

bool EndsWithNoCase(const std::string& text, std::string_view ending) {
  if (text.size() < ending.size()) return false;
  return std::equal(ending.rbegin(), ending.rend(), text.rbegin(),
                    [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) ==
                                                std::tolower(static_cast<unsigned char>(b)); });
}

std::vector<std::string> ExpectedBoxes(const std::string& file) {
  for (const FileKind& kind : FileKinds()) {
    if (!EndsWithNoCase(file, kind.ending)) continue;
    if (kind.onlyForDemoMonsters && !ADemoMonsterStandsOn(file)) return {};
    std::vector<std::string> boxes;
    for (const std::string& box : kind.boxes) {
      const std::size_t at = box.find("%s");
      boxes.push_back(at == std::string::npos ? box : box.substr(0, at) + file + box.substr(at + 2));
    }
    return boxes;
  }
  ADD_FAILURE() << "no boxes are known for the kind of " << file;
  return {};
}

class DemoSweep : public KelvarTest, public ::testing::WithParamInterface<int> {
 protected:
  // Every data file of the demo as the tool writes it, sound bank included.
  std::vector<DataFile> WriteDemo() {
    DemoOutput out;
    AddEditorDemo(out);
    AddSoundBank(out);
    out.Finish();
    std::vector<DataFile> files;
    for (const std::string& entry : testsupport::ArchiveEntryNames(dir.Native("data.mtf"))) files.push_back({entry, false});
    std::vector<std::string> loose;
    for (const auto& e : fs::recursive_directory_iterator(dir.path()))
      if (e.is_regular_file()) loose.push_back(fs::relative(e.path(), dir.path()).generic_string());
    std::sort(loose.begin(), loose.end());
    for (std::string& l : loose)
      if (l != "data.mtf" && l != "profile.ini" && l != "machine.ini") files.push_back({std::move(l), true});
    return files;
  }

  // Kelvar on the demo quest with the main window shown: the map painted,
  // then every room edited and painted, then the map again; then it ends.
  // Without the quest file the program does not start.
  void OpenEverything(const std::string& what, bool isTheQuest) {
    if (!Start({kSampleQuestPath})) {
      // Only the quest itself is needed to start on it.
      EXPECT_TRUE(isTheQuest) << what;
      if (app) app->ExitInstance();
      app.reset();
      Settle();
      return;
    }
    Main().resize(1000, 700);
    Settle();
    if (CRoomView* view = CRoomView::Instance()) {
      Paint(*view);
      for (const std::string& room : RoomNames()) {
        SelectInTree(kTreeRooms, room);
        Send(kCmdRoomEdit);
        Paint(*view);
      }
      Send(kCmdHierarchyView);
      Paint(*view);
    }
    app->ExitInstance();
    app.reset();
    Settle();
    // As a new run of the program finds them.
    ResetQuestState();
    ResetEditModeState();
    g_languageTable.Reset();
    C3DEngine::ResetState();
    CCddRenderer::ResetState();
  }
  static void Paint(CRoomView& view) {
    view.repaint();
    Settle();
  }
};

TEST_P(DemoSweep, DISABLED_EachDataFileTakenAwayInTurn) {
  const std::vector<DataFile> files = WriteDemo();
  ASSERT_GT(files.size(), 100u);
  const fs::path archive = dir.Native("data.mtf");
  const fs::path aside = fs::path(dir.path()).parent_path() / (fs::path(dir.path()).filename().string() + ".aside");
  // The whole archive stays there under a second name; each edit writes a new file.
  const fs::path original = aside.string() + ".mtf";
  fs::create_hard_link(archive, original);
  int taken = 0;
  for (std::size_t i = static_cast<std::size_t>(GetParam()); i < files.size(); i += kShards) {
    const DataFile& file = files[i];
    const std::string what = (file.loose ? "loose file " : "archive entry ") + file.name;
    if (file.loose) {
      fs::rename(dir.Native(file.name), aside);
    } else {
      ASSERT_TRUE(testsupport::RemoveArchiveEntry(archive.string(), file.name)) << what;
    }
    {
      testsupport::ClickedBoxes clicked;
      OpenEverything(what, file.loose && file.name == kSampleQuestPath);
      std::map<std::string, int> times;
      for (const auto& box : clicked.boxes) {
        EXPECT_FALSE(box.duringDrawing) << what << ": " << box.text;
        EXPECT_EQ(++times[box.text], 1) << what << ": a box came again: " << box.text;
      }
      // Every box its reader shows for the missing file, each once, and no other.
      std::vector<std::string> came = clicked.Texts();
      std::vector<std::string> expected = ExpectedBoxes(file.name);
      std::sort(came.begin(), came.end());
      std::sort(expected.begin(), expected.end());
      EXPECT_EQ(came, expected) << what;
    }
    if (file.loose) {
      fs::rename(aside, dir.Native(file.name));
    } else {
      fs::remove(archive);
      fs::create_hard_link(original, archive);
    }
    ++taken;
    if (HasFatalFailure()) return;
  }
  fs::remove(original);
  EXPECT_GT(taken, 0);
}

INSTANTIATE_TEST_SUITE_P(Shards, DemoSweep, ::testing::Range(0, kShards));

}  // namespace
}  // namespace kelvartest
