#include "kelvar_fixture.h"

#include <cmath>
#include <cstdlib>

#include <gtest/gtest.h>

#include <QApplication>
#include <QEvent>

#include "datafiles/language_table.h"
#include "editor/main_frame.h"
#include "editor/quest_tree_ctrl.h"
#include "platform/core/profile.h"
#include "platform/ui/doc_manager.h"
#include "platform/ui/doc_template.h"
#include "quest/fixed_field.h"
#include "quest/kelvar_doc.h"
#include "quest/machine.h"
#include "quest/monster.h"
#include "quest/quest_lists.h"
#include "quest/quest_object.h"
#include "quest/room.h"
#include "render/cdd_renderer.h"
#include "render/engine_3d.h"
#include "tools/demodata/demo_content.h"
#include "tools/demodata/demo_output.h"
#include "tools/demodata/sample_quest.h"

namespace kelvartest {
namespace {

constexpr const char* kDoorMachine =
    "STATE_MACHINE { KEY { door } COMMENT [A door that opens.] PARAM { KEY { 1 } TYPE { FRAME } DISPLAY {} DEFAULT { portal } } }";

template <std::size_t N>
void Put(char (&field)[N], std::string_view text) {
  SetField(field, text);
}

}  // namespace

void KelvarTest::SetUp() {
  EnsureQtApp();
  // The program names its profile itself; the environment keeps it here.
  setenv("PROFILE_INI", dir.Native("profile.ini").c_str(), 1);
  setenv("MACHINE_INI", dir.Native("machine.ini").c_str(), 1);
  platform::SetProfilePath(dir.Native("profile.ini"));
  platform::SetMachineStorePath(dir.Native("machine.ini"));
  ResetQuestState();
  g_languageTable.Reset();
  kelvar::ResetEditModeState();
  C3DEngine::ResetState();
  CCddRenderer::ResetState();
  dir.Write("rozizuzi/k0830_sprite.tga", std::string_view("sprite"));
}

void KelvarTest::TearDown() {
  if (app) app->ExitInstance();
  app.reset();
  Settle();
  ResetQuestState();
  kelvar::ResetEditModeState();
  g_languageTable.Reset();
}

void KelvarTest::WriteQuest(std::string_view path, const QuestSpec& desc) {
  dir.Write("rozizuzi/stateMachine/door.qsm", std::string_view(kDoorMachine));
  ResetQuestState();
  Quest().library.LoadFolder("rozizuzi\\stateMachine");
  QuestState& q = Quest();
  // Lists grow at the head: build from the end to keep the listed order.
  for (auto it = desc.machines.rbegin(); it != desc.machines.rend(); ++it) {
    CMachine* m = CreateMachine(q.machines, kMachineStateMachine, "door", *it);
    m->AddInstance("", 0, 0, nullptr);
  }
  for (auto it = desc.monsters.rbegin(); it != desc.monsters.rend(); ++it) {
    CMonster* m = NewMonster(q.monsters);
    Put(m->key, *it);
    Put(m->monsterClass, "GOBLIN");
    m->AddInstance();
  }
  for (auto it = desc.objects.rbegin(); it != desc.objects.rend(); ++it) {
    CQuestObject* o = NewQuestObject(q.questObjects);
    Put(o->key, *it);
    Put(o->parent, "KEY");
  }
  for (auto it = desc.rooms.rbegin(); it != desc.rooms.rend(); ++it) {
    CRoom* r = NewRoom(q.rooms);
    Put(r->name, *it);
    r->left = 100;
    r->top = 200;
    r->right = 228;
    r->bottom = 328;
  }
  {
    CKelvarDoc doc;
    doc.SetTitle(std::string(path));
    ASSERT_TRUE(doc.OnSaveDocument(std::string(path)));
  }
  ResetQuestState();
  platform::Profile().RemoveValue(kRecentQuestSection, kRecentQuestValue);
  boxes.boxes.clear();
}

bool KelvarTest::Start(std::vector<std::string> args) {
  app = std::make_unique<kelvar::CKelvarApp>();
  app->SetCommandLine(std::move(args));
  const bool ok = app->InitInstance();
  Settle();
  return ok;
}

bool KelvarTest::StartOnDemoQuest() {
  DemoOutput out;
  AddEditorDemo(out);
  out.Finish();
  return Start({kSampleQuestPath});
}

bool KelvarTest::StartWithModes(std::vector<std::string> args) {
  kelvar::InstallEditModes(&mapMode, &roomMode);
  return Start(std::move(args));
}

kelvar::CMainFrame& KelvarTest::Main() { return *app->MainFrame(); }

std::vector<platform::ui::Document*> KelvarTest::Docs() {
  return app->GetDocManager() ? app->GetDocManager()->Documents() : std::vector<platform::ui::Document*>{};
}

bool KelvarTest::Send(int command) {
  const bool ran = Main().SendCommand(command);
  Settle();
  return ran;
}

bool KelvarTest::Enabled(int command) { return Main().QueryCommand(command).enabled; }

bool KelvarTest::Checked(int command) {
  const platform::ui::CommandState s = Main().QueryCommand(command);
  return s.checked || s.radio;
}

std::string KelvarTest::Remembered() const {
  return platform::Profile().GetString(kRecentQuestSection, kRecentQuestValue, "<none>");
}

std::vector<std::string> KelvarTest::BoxTexts() const {
  std::vector<std::string> out;
  for (const auto& b : boxes.boxes) out.push_back(b.text);
  return out;
}

bool KelvarTest::Modified() {
  CKelvarDoc* doc = CurrentDocument();
  return doc && doc->IsModified();
}

std::vector<std::string> MachineNames() {
  std::vector<std::string> out;
  for (CMachine* m = Quest().machines; m; m = m->next) out.emplace_back(m->name);
  return out;
}

std::vector<std::string> MonsterNames() {
  std::vector<std::string> out;
  for (CMonster* m = Quest().monsters; m; m = m->next) out.emplace_back(m->key);
  return out;
}

std::vector<std::string> ObjectKeys() {
  std::vector<std::string> out;
  for (CQuestObject* o = Quest().questObjects; o; o = o->next) out.emplace_back(o->key);
  return out;
}

std::vector<std::string> RoomNames() {
  std::vector<std::string> out;
  for (CRoom* r = Quest().rooms; r; r = r->next) out.emplace_back(r->name);
  return out;
}

std::vector<std::string> TreeTexts(int category) {
  std::vector<std::string> out;
  kelvar::CQuestTreeCtrl& tree = kelvar::QuestTree(category);
  for (auto item : tree.Items()) out.push_back(tree.GetItemText(item));
  return out;
}

void SelectInTree(int category, std::string_view text) { kelvar::SelectTreeItem(category, text); }

QPoint GroundCellPixel(const CRoom& room, int column, int row) {
  CVector3 p = CellToWorld(column, row);
  p.y = -256.0f;
  float x = 0, y = 0;
  EXPECT_TRUE(room.WorldToScreen(p, x, y));
  return QPoint(static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y)));
}

}  // namespace kelvartest

// The font library keeps its caches until the process ends.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
