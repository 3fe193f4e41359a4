#include "doc_fixture.h"

#include "platform/core/profile.h"
#include "quest/generation_log.h"
#include "quest/graph_node.h"
#include "quest/machine.h"
#include "quest/mesh_banks.h"
#include "quest/monster.h"
#include "quest/quest_object.h"
#include "quest/room.h"
#include "datafiles/mtf_archive.h"
#include "quest/fixed_field.h"
#include "support/bytes.h"
#include "tools/demodata/block_meshes.h"
#include "tools/demodata/demo_output.h"
#include "tools/demodata/sample_quest.h"

namespace questtest {

DocTest::DocTest() {
  platform::SetProfilePath(dir.Native("profile.ini"));
  dir.Write("rozizuzi/k0830_sprite.tga", "quest sprite");
  for (int bank = 800; bank <= 815; ++bank) {
    dir.Write("rozizuzi/bank/k0" + std::to_string(bank) + "_OBJ.tga", "texture " + std::to_string(bank));
  }
  SetKelvarDocHooks(&hooks);
  SetGenerationUi(&genUi);
  doc.SetTitle("Untitled");
}

bool DocTest::OpenDemoQuestAsTheEditorStarts() {
  {
    DemoOutput out;
    AddBlockMeshes(out);
    AddSampleQuest(out);
    out.Finish();
  }
  Quest().library.LoadFolder();
  CustomMeshBank().Scan("data\\custom\\meshes", "o3d");
  CustomMeshBank().ScanMore("rozizuzi\\customMeshes", "o3d");
  return doc.OnOpenDocument(kSampleQuestPath);
}

DocTest::~DocTest() {
  SetKelvarDocHooks(nullptr);
  SetGenerationUi(nullptr);
  QuestAuthorText() = CMultiLangText();
  QuestInfoText() = CMultiLangText();
  ClearGenerationLog();
  CustomMeshBank().Reset();
  ObjectMeshBank().Reset();
  GenericMeshBank().Reset();
  MtfCloseAllArchives();
  platform::SetProfilePath(dir.Native("unused.ini"));
}

std::string DocTest::Profiled() const {
  platform::IniStore store(dir.Native("profile.ini"));
  store.Load();
  return store.GetString(kRecentQuestSection, kRecentQuestValue, "<none>");
}

std::vector<std::uint8_t> DocTest::ReadBytes(std::string_view rel) const {
  const std::string text = dir.Read(rel);
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

std::vector<std::string> DocTest::BoxTexts() const {
  std::vector<std::string> texts;
  for (const auto& b : ui.boxes) texts.push_back(b.text);
  return texts;
}

CRoom* AddRoom(std::string_view name, int land, int level, int left, int top, int right, int bottom) {
  CRoom* room = NewRoom(Quest().rooms);
  SetField(room->name, name);
  room->land = land;
  room->level = level;
  room->left = left;
  room->top = top;
  room->right = right;
  room->bottom = bottom;
  return room;
}

CQuestObject* AddObject(std::string_view key, std::string_view parent) {
  CQuestObject* o = NewQuestObject(Quest().questObjects);
  SetField(o->key, key);
  SetField(o->parent, parent);
  return o;
}

CMonster* AddMonster(std::string_view key, std::string_view monsterClass) {
  CMonster* m = NewMonster(Quest().monsters);
  SetField(m->key, key);
  SetField(m->monsterClass, monsterClass);
  return m;
}

GraphNode* AddLampNode(int column, int row, std::string_view machineName) {
  CMachine* m = FindMachineNamed(Quest().machines, machineName);
  if (!m) m = CreateMachine(Quest().machines, kMachineStateMachine, "lamp", machineName);
  m->FindParam(1)->SetText("lamp_mesh");
  m->AddInstance("", 0, 0, nullptr);
  GraphNode* node = Quest().graphNodes;
  node->cellX = column;
  node->cellY = row;
  return node;
}

std::vector<std::uint8_t> FootprintMesh(const std::array<std::uint8_t, 9>& cells) {
  testsupport::Bytes b;
  b.str("04D").u8(0).u32(1);
  b.u32(0).u32(0).u32(0).u32(0);  // no vertices, no faces
  b.u32(1).u32(1);
  for (std::uint8_t c : cells) b.u8(c);
  return b.data();
}

std::string Crlf(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

}  // namespace questtest
