#include "quest/quest_merge.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "datafiles/language_table.h"
#include "doc_fixture.h"
#include "platform/core/file.h"
#include "quest/fixed_field.h"
#include "quest/graph_node.h"
#include "quest/machine.h"
#include "quest/marker.h"
#include "quest/monster.h"
#include "quest/quest_object.h"
#include "quest/room.h"
#include "quest/world_graph.h"

namespace {

using questtest::AddMonster;
using questtest::AddObject;
using questtest::AddRoom;
using questtest::DocTest;

// A door shows its mesh, hands out an object and takes a monster.
constexpr const char* kLibrary =
    "STATE_MACHINE { KEY { door } PARAM { KEY { 1 } TYPE { FRAME } DISPLAY {} }"
    "  PARAM { KEY { 2 } TYPE { OBJECT } OUT {} } PARAM { KEY { 3 } TYPE { MONSTER } IN {} } }";

class FakeMergeUi : public IMergeUi {
 public:
  std::optional<std::string> ChooseQuestFile(const std::string& directory) override {
    directories.push_back(directory);
    return choice;
  }
  void RefreshViews() override { ++refreshes; }

  std::optional<std::string> choice;
  std::vector<std::string> directories;
  int refreshes = 0;
};

template <class T, std::size_t N>
std::vector<std::string> Names(const T* head, char (T::*field)[N]) {
  std::vector<std::string> names;
  for (const T* r = head; r; r = r->next) names.emplace_back(FieldText(r->*field));
  return names;
}

std::vector<std::string> InstanceNames(const ElementInstance* head) {
  std::vector<std::string> names;
  for (const ElementInstance* i = head; i; i = i->next) names.emplace_back(i->name);
  return names;
}

std::vector<std::string> Links(const ElementInstance* instance) {
  std::vector<std::string> links;
  for (const auto& link : instance->links) {
    if (!FieldEmpty(link)) links.emplace_back(link);
  }
  return links;
}

bool StagingEmpty() {
  const QuestState& q = Quest();
  return !q.mergeMachines && !q.mergeObjects && !q.mergeMonsters && !q.mergeRooms;
}

// What a quest holds, as text: every record with its names and references,
// and the map's nodes (sorted, as their order follows when they were made).
std::string Describe() {
  const QuestState& q = Quest();
  std::string text;
  auto instances = [&](const ElementInstance* head) {
    for (const ElementInstance* i = head; i; i = i->next) {
      text += " " + std::string(i->name) + "[";
      for (const std::string& link : Links(i)) text += link;
      text += "]";
    }
  };
  for (const CRoom* r = q.rooms; r; r = r->next) {
    text += "room " + std::string(r->name) + " " + std::to_string(r->left) + "," + std::to_string(r->top) + "\n";
  }
  for (const CQuestObject* o = q.questObjects; o; o = o->next) text += "object " + std::string(o->key) + "\n";
  for (const CMonster* m = q.monsters; m; m = m->next) {
    text += "monster " + std::string(m->key) + " gives " + m->gift + " counter " + std::to_string(m->instanceCounter);
    instances(m->instances);
    text += "\n";
  }
  for (const CMachine* m = q.machines; m; m = m->next) {
    text += "machine " + std::string(m->name);
    std::vector<std::string> values;
    for (const CMachineParam* v = m->params; v; v = v->next) values.push_back(std::to_string(v->number) + "=" + v->GetText());
    std::sort(values.begin(), values.end());
    for (const std::string& v : values) text += " " + v;
    text += " counter " + std::to_string(m->instanceCounter);
    instances(m->instances);
    text += "\n";
  }
  std::vector<std::string> nodes;
  for (const GraphNode* n = q.graphNodes; n; n = n->next) {
    nodes.push_back(std::string(n->name) + "@" + std::to_string(n->x) + "," + std::to_string(n->y));
  }
  std::sort(nodes.begin(), nodes.end());
  for (const std::string& n : nodes) text += "node " + n + "\n";
  return text + "links " + std::to_string(questtest::LinkCount()) + "\n";
}

class QuestMerge : public DocTest {
 protected:
  QuestMerge() {
    SetMergeUi(&mergeUi);
    MergeDialogDirectory().clear();
    Define(kLibrary);
    questtest::SetMonsterClasses({"orc"});
    doc.OnNewDocument();
  }
  ~QuestMerge() override { SetMergeUi(nullptr); }

  // Two rooms, two objects, two monsters (one giving the key) and one door
  // machine whose values name the key and the grunt, with two instances
  // linked to each other and a grunt instance linked to the door.
  void BuildSample() {
    AddRoom("hall", 2, 0, 10, 20, 300, 400);
    AddRoom("cave", 2, 1, 500, 20, 800, 400);
    AddObject("letter", "ITLETTER");
    AddObject("key", "ITKEY1");
    AddMonster("boss", "orc")->AddInstance();
    CMonster* grunt = AddMonster("grunt", "orc");
    SetField(grunt->gift, "key");
    grunt->AddInstance();
    grunt->AddInstance()->AddLink("gate:gate_1");
    CMachine* gate = CreateMachine(Quest().machines, kMachineStateMachine, "door", "gate");
    gate->FindParam(1)->SetText("gate_mesh");
    gate->FindParam(2)->SetText("key");
    gate->FindParam(3)->SetText("grunt");
    gate->AddInstance("", 0, 0, nullptr);
    gate->AddInstance("", 0, 0, "gate:gate_0");
  }

  bool Merge(const std::string& path) {
    mergeUi.choice = path;
    const int before = mergeUi.refreshes;
    doc.OnMerge();
    return mergeUi.refreshes > before;
  }

  std::vector<std::uint8_t> SavedBytes() {
    EXPECT_TRUE(doc.OnSaveDocument("check.qst"));
    return ReadBytes("check.qst");
  }

  FakeMergeUi mergeUi;
};

TEST_F(QuestMerge, SelfMergeRenamesWithTwoThenThree) {
  BuildSample();
  ASSERT_TRUE(doc.OnSaveDocument("self.qst"));
  doc.SetModifiedFlag(false);

  ASSERT_TRUE(Merge("self.qst"));
  EXPECT_TRUE(ui.boxes.empty());
  EXPECT_TRUE(doc.IsModified());
  EXPECT_TRUE(StagingEmpty());
  const QuestState& q = Quest();
  // The merged records come first, in their file order.
  EXPECT_EQ(Names(q.rooms, &CRoom::name), (std::vector<std::string>{"cave2", "hall2", "cave", "hall"}));
  EXPECT_EQ(Names(q.questObjects, &CQuestObject::key),
            (std::vector<std::string>{"key2", "letter2", "key", "letter"}));
  EXPECT_EQ(Names(q.monsters, &CMonster::key), (std::vector<std::string>{"grunt2", "boss2", "grunt", "boss"}));
  EXPECT_EQ(Names(q.machines, &CMachine::name), (std::vector<std::string>{"gate2", "gate"}));

  // Instances are numbered again in list order, their counters with them.
  const CMonster* grunt2 = q.monsters;
  EXPECT_EQ(InstanceNames(grunt2->instances), (std::vector<std::string>{"grunt2_0", "grunt2_1"}));
  EXPECT_EQ(grunt2->instanceCounter, 2);
  const CMachine* gate2 = q.machines;
  EXPECT_EQ(InstanceNames(gate2->instances), (std::vector<std::string>{"gate2_0", "gate2_1"}));
  EXPECT_EQ(gate2->instanceCounter, 2);
  // The open quest's own records are untouched.
  EXPECT_EQ(InstanceNames(q.monsters->next->next->instances), (std::vector<std::string>{"grunt_1", "grunt_0"}));
  EXPECT_EQ(InstanceNames(q.machines->next->instances), (std::vector<std::string>{"gate_1", "gate_0"}));

  ASSERT_TRUE(Merge("self.qst"));
  EXPECT_EQ(Names(q.rooms, &CRoom::name),
            (std::vector<std::string>{"cave3", "hall3", "cave2", "hall2", "cave", "hall"}));
  EXPECT_EQ(Names(q.questObjects, &CQuestObject::key)[0], "key3");
  EXPECT_EQ(Names(q.monsters, &CMonster::key)[0], "grunt3");
  EXPECT_EQ(Names(q.machines, &CMachine::name), (std::vector<std::string>{"gate3", "gate2", "gate"}));
  EXPECT_EQ(InstanceNames(q.machines->instances), (std::vector<std::string>{"gate3_0", "gate3_1"}));
  EXPECT_EQ(mergeUi.refreshes, 2);
}

TEST_F(QuestMerge, StagedReferencesFollowTheirRenamedRecords) {
  BuildSample();
  ASSERT_TRUE(doc.OnSaveDocument("self.qst"));
  ASSERT_TRUE(Merge("self.qst"));
  const QuestState& q = Quest();

  // The merged door names the merged key and grunt; the open door keeps its own.
  const CMachine* gate2 = q.machines;
  EXPECT_EQ(gate2->FindParam(2)->GetText(), "key2");
  EXPECT_EQ(gate2->FindParam(3)->GetText(), "grunt2");
  EXPECT_EQ(q.machines->next->FindParam(2)->GetText(), "key");
  EXPECT_EQ(q.machines->next->FindParam(3)->GetText(), "grunt");
  // The merged grunt gives the merged key.
  EXPECT_STREQ(q.monsters->gift, "key2");
  EXPECT_STREQ(q.monsters->next->next->gift, "key");

  // gate_1 became gate2_0 and gate_0 gate2_1: the links follow each instance.
  EXPECT_EQ(Links(gate2->instances), (std::vector<std::string>{"gate2:gate2_1"}));
  EXPECT_EQ(Links(q.machines->next->instances), (std::vector<std::string>{"gate:gate_0"}));
  // A merged monster's link follows the machine too, not staying on the open quest's gate.
  EXPECT_EQ(Links(q.monsters->instances), (std::vector<std::string>{"gate2:gate2_0"}));
  EXPECT_EQ(Links(q.monsters->next->next->instances), (std::vector<std::string>{"gate:gate_1"}));

  // The map shows the merged references: a node per key, the gift hanging below the merged grunt.
  EXPECT_EQ(questtest::NodesNamed("key2").size(), 1u);
  EXPECT_EQ(questtest::NodesNamed("grunt2").size(), 4u) << "a node per merged grunt and per merged door instance";
}

TEST_F(QuestMerge, ClashesIgnoreCaseAndOnlyClashingRecordsAreRenamed) {
  // The second quest: "KEY" clashes with the open "key", "ring" does not;
  // its door names both, and an object only the open quest has.
  AddObject("ring", "ITRING");
  AddObject("KEY", "ITKEY1");
  AddRoom("Hall", 0, 0);
  CMachine* other = CreateMachine(Quest().machines, kMachineStateMachine, "door", "side");
  other->FindParam(1)->SetText("mesh");
  other->FindParam(2)->SetText("letter");
  CMachine* door = CreateMachine(Quest().machines, kMachineStateMachine, "door", "Gate");
  door->FindParam(1)->SetText("mesh");
  door->FindParam(2)->SetText("Key");
  ASSERT_TRUE(doc.OnSaveDocument("second.qst"));
  doc.OnCloseDocument();

  doc.OnNewDocument();
  BuildSample();
  // "KEY2" is taken by the open quest already: the first free number is 3.
  AddObject("key2", "ITKEY2");
  ASSERT_TRUE(Merge("second.qst"));
  const QuestState& q = Quest();
  EXPECT_EQ(Names(q.questObjects, &CQuestObject::key)[0], "KEY3");
  EXPECT_EQ(Names(q.questObjects, &CQuestObject::key)[1], "ring");
  EXPECT_EQ(Names(q.rooms, &CRoom::name)[0], "Hall2");
  EXPECT_EQ(Names(q.machines, &CMachine::name), (std::vector<std::string>{"Gate2", "side", "gate"}));
  EXPECT_EQ(q.machines->FindParam(2)->GetText(), "KEY3");
  EXPECT_EQ(q.machines->next->FindParam(2)->GetText(), "letter") << "names an open-quest object: unchanged";
}

TEST_F(QuestMerge, NamesAtTheFieldLimit) {
  struct Case {
    const char* what;
    void (*build)();
    bool merges;
    const char* refused;  // the name in the message when refused
  };
  static const std::string k78(78, 'r');
  static const std::string k79(79, 'r');
  static const std::string k76(76, 'm');
  static const std::string k77(77, 'm');
  static const std::string k38(38, 'g');
  const Case cases[] = {
      {"a room renamed to 79 characters", [] { AddRoom(k78, 0, 0); }, true, nullptr},
      {"a room of 79 characters", [] { AddRoom(k79, 0, 0); }, false, "Room"},
      {"an object whose free numbers all lie past the field",
       [] {
         AddObject(k78, "IT");
         for (int n = 2; n <= 9; ++n) AddObject(k78 + std::to_string(n), "IT");
       },
       false, "Quest object"},
      {"a monster whose instance names fit", [] { AddMonster(k76, "orc")->AddInstance(); }, true, nullptr},
      {"a monster whose instance names would not fit", [] { AddMonster(k77, "orc")->AddInstance(); }, false,
       "Monster"},
      {"a machine whose instances fit but whose links are unused",
       [] {
         CMachine* m = CreateMachine(Quest().machines, kMachineStateMachine, "door", k38);
         m->FindParam(1)->SetText("mesh");
         m->AddInstance("", 0, 0, nullptr);
       },
       true, nullptr},
      {"a machine whose link would not fit",
       [] {
         CMachine* m = CreateMachine(Quest().machines, kMachineStateMachine, "door", k38);
         m->FindParam(1)->SetText("mesh");
         m->AddInstance("", 0, 0, nullptr);
         m->AddInstance("", 0, 0, (k38 + ":" + k38 + "_0").c_str());
       },
       false, "Machine"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    doc.OnCloseDocument();
    doc.OnNewDocument();
    c.build();
    ASSERT_TRUE(doc.OnSaveDocument("limit.qst"));
    const std::vector<std::uint8_t> before = ReadBytes("limit.qst");
    doc.SetModifiedFlag(false);
    ui.boxes.clear();

    EXPECT_EQ(Merge("limit.qst"), c.merges);
    EXPECT_TRUE(StagingEmpty());
    if (c.merges) {
      EXPECT_TRUE(ui.boxes.empty());
      EXPECT_TRUE(doc.IsModified());
      const QuestState& q = Quest();
      for (const CRoom* r = q.rooms; r; r = r->next) EXPECT_LE(std::strlen(r->name), kMergeNameChars);
      for (const CMonster* m = q.monsters; m; m = m->next) {
        for (const ElementInstance* i = m->instances; i; i = i->next) EXPECT_LE(std::strlen(i->name), 79u);
      }
      if (q.rooms) {
        EXPECT_EQ(std::string(q.rooms->name), k78 + "2");
      }
      if (q.monsters) {
        EXPECT_EQ(InstanceNames(q.monsters->instances), (std::vector<std::string>{k76 + "2_0"}));
      }
      continue;
    }
    ASSERT_EQ(BoxTexts().size(), 1u);
    EXPECT_EQ(BoxTexts()[0].rfind("Can't merge limit.qst: " + std::string(c.refused) + " ", 0), 0u) << BoxTexts()[0];
    EXPECT_NE(BoxTexts()[0].find("cannot be renamed within 79 characters"), std::string::npos);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(SavedBytes(), before);
  }
}

TEST_F(QuestMerge, TruncatedSecondQuestLeavesTheFirstAsItWas) {
  BuildSample();
  ASSERT_TRUE(doc.OnSaveDocument("second.qst"));
  const std::vector<std::uint8_t> second = ReadBytes("second.qst");
  // The header the second quest ends with, written alone: a merge never reads it.
  {
    platform::File header;
    ASSERT_TRUE(header.Open(dir.Native("header.qst"), platform::File::modeCreate | platform::File::modeWrite));
    CKelvarDoc::WriteHeader(header, Quest().mapView.left, Quest().mapView.top, g_languageTable.GetLanguage(),
                            Quest().markerCounter, Quest().markers, QuestAuthorText(), QuestInfoText());
    header.Close();
  }
  const std::size_t listsEnd = second.size() - ReadBytes("header.qst").size();

  doc.OnCloseDocument();
  doc.OnNewDocument();
  AddRoom("yard", 1, 0);
  AddMonster("grunt", "orc")->AddInstance();
  CMachine* gate = CreateMachine(Quest().machines, kMachineStateMachine, "door", "gate");
  gate->FindParam(1)->SetText("mesh");
  gate->AddInstance("", 0, 0, nullptr);
  ASSERT_TRUE(doc.OnSaveDocument("first.qst"));
  const std::vector<std::uint8_t> first = ReadBytes("first.qst");
  doc.SetModifiedFlag(false);

  int headerCuts = 0;
  for (std::size_t length = 0; length < second.size(); length += 13) {
    SCOPED_TRACE(length);
    dir.Write("cut.qst", std::span<const std::uint8_t>(second.data(), length));
    ui.boxes.clear();
    GraphNode* nodes = Quest().graphNodes;
    if (length >= listsEnd) {
      // Cut inside the header: every list is whole, so it merges.
      EXPECT_TRUE(Merge("cut.qst"));
      ++headerCuts;
      ASSERT_TRUE(doc.OnOpenDocument("first.qst"));
      doc.SetModifiedFlag(false);
      continue;
    }
    EXPECT_FALSE(Merge("cut.qst"));
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Error while loading cut.qst, error = 14\n"});
    EXPECT_TRUE(StagingEmpty());
    EXPECT_EQ(Quest().graphNodes, nodes) << "no node was made again";
    EXPECT_FALSE(doc.IsModified());
    ASSERT_EQ(SavedBytes(), first);
  }
  EXPECT_GT(headerCuts, 0);
  EXPECT_EQ(mergeUi.refreshes, headerCuts);
}

TEST_F(QuestMerge, MergedNodesAndRoomsMoveByTheViewOrigin) {
  BuildSample();
  // Put every node somewhere of its own.
  int n = 0;
  for (GraphNode* node = Quest().graphNodes; node; node = node->next, ++n) {
    node->x = 1000 + 37 * n;
    node->y = -500 + 11 * n;
  }
  Quest().mapView = MapRect{0, 0, 736, 480};
  ASSERT_TRUE(doc.OnSaveDocument("self.qst"));
  Quest().mapView = MapRect{300, -200, 1036, 280};
  auto positions = [](const ElementInstance* instances) {
    std::vector<std::pair<int, int>> at;
    for (const ElementInstance* i = instances; i; i = i->next) {
      for (const GraphNode* node : NodesOfInstanceWhere(i, [](const GraphKey&) { return true; })) {
        at.emplace_back(node->x, node->y);
      }
    }
    std::sort(at.begin(), at.end());
    return at;
  };
  const QuestState& q = Quest();
  const auto gruntBefore = positions(q.monsters->instances);
  const auto gateBefore = positions(q.machines->instances);
  ASSERT_FALSE(gruntBefore.empty());
  ASSERT_FALSE(gateBefore.empty());

  ASSERT_TRUE(Merge("self.qst"));
  auto moved = [](std::vector<std::pair<int, int>> at) {
    for (auto& [x, y] : at) {
      x += 300;
      y -= 200;
    }
    std::sort(at.begin(), at.end());
    return at;
  };
  EXPECT_EQ(positions(q.monsters->next->next->instances), gruntBefore) << "the open quest's nodes stay";
  EXPECT_EQ(positions(q.machines->next->instances), gateBefore);
  EXPECT_EQ(positions(q.monsters->instances), moved(gruntBefore));
  EXPECT_EQ(positions(q.machines->instances), moved(gateBefore));
  // Room boxes move alike.
  EXPECT_EQ(q.rooms->left, 500 + 300);
  EXPECT_EQ(q.rooms->top, 20 - 200);
  EXPECT_EQ(q.rooms->bottom, 400 - 200);
  EXPECT_EQ(q.rooms->next->next->left, 500);
}

TEST_F(QuestMerge, OpenQuestHeaderIsKept) {
  BuildSample();
  ASSERT_TRUE(doc.OnSaveDocument("self.qst"));
  // What the file holds differs from what is open now.
  Marker* marker = NewMarker(Quest().markers);
  SetField(marker->name, "camp");
  Quest().markerCounter = 7;
  Quest().mapView = MapRect{64, 32, 800, 512};
  g_languageTable.SetLanguage(kLanguageFrench);
  QuestAuthorText().Set(kLanguageFrench, "Moi");

  ASSERT_TRUE(Merge("self.qst"));
  EXPECT_EQ(ListLength(Quest().markers), 1u);
  EXPECT_EQ(Quest().markers, marker);
  EXPECT_EQ(Quest().markerCounter, 7);
  EXPECT_EQ(Quest().mapView.left, 64);
  EXPECT_EQ(Quest().mapView.top, 32);
  EXPECT_EQ(g_languageTable.GetLanguage(), kLanguageFrench);
  EXPECT_STREQ(QuestAuthorText().Get(kLanguageFrench), "Moi");
}

TEST_F(QuestMerge, MergedQuestSavesAndLoadsBack) {
  BuildSample();
  ASSERT_TRUE(doc.OnSaveDocument("self.qst"));
  ASSERT_TRUE(Merge("self.qst"));
  const std::string merged = Describe();
  ASSERT_TRUE(doc.OnSaveDocument("merged.qst"));

  doc.OnCloseDocument();
  ASSERT_TRUE(doc.OnOpenDocument("merged.qst"));
  EXPECT_TRUE(ui.boxes.empty());
  EXPECT_EQ(Describe(), merged);
  EXPECT_NE(merged.find("machine gate2 1=gate_mesh 2=key2 3=grunt2 counter 2 gate2_0[gate2:gate2_1] gate2_1[]"),
            std::string::npos)
      << merged;
}

TEST_F(QuestMerge, FileThatCannotBeOpenedChangesNothing) {
  BuildSample();
  const std::vector<std::uint8_t> before = SavedBytes();
  doc.SetModifiedFlag(false);
  ui.boxes.clear();
  EXPECT_FALSE(Merge("nowhere.qst"));
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Can't open file nowhere.qst, error = 2\n"});
  EXPECT_FALSE(doc.IsModified());
  EXPECT_EQ(SavedBytes(), before);
}

TEST_F(QuestMerge, DialogStartsWhereTheLastMergeWasChosen) {
  BuildSample();
  ASSERT_TRUE(doc.OnSaveDocument("self.qst"));
  dir.Write("quests/other.qst", std::span<const std::uint8_t>(ReadBytes("self.qst")));
  doc.SetModifiedFlag(false);

  // Cancel: nothing happens, nothing is remembered.
  mergeUi.choice.reset();
  doc.OnMerge();
  EXPECT_FALSE(doc.IsModified());
  EXPECT_EQ(mergeUi.refreshes, 0);
  ASSERT_TRUE(Merge(dir.Native("quests/other.qst")));
  ASSERT_TRUE(Merge("self.qst"));
  EXPECT_EQ(mergeUi.directories, (std::vector<std::string>{"", "", dir.Native("quests/")}));

  // Without the editor's side there is no dialog and no merge.
  SetMergeUi(nullptr);
  doc.SetModifiedFlag(false);
  doc.OnMerge();
  EXPECT_FALSE(doc.IsModified());
}

// The merged texts' voices come from the merged quest's folder into the open
// quest's. A voice the open quest has under that name with the same bytes is
// shared; another recording of that name stays the open quest's and the
// merged one comes as "<voice>2", which the merged text names; one never
// recorded is named in a box. Merging a quest into itself brings nothing.
TEST_F(QuestMerge, MergedVoicesComeIntoTheOpenQuestsFolder) {
  AddRoom("market", 0, 0)->text.SetVoiceName("crowd");
  CMonster* guard = AddMonster("guard", "orc");
  guard->text.SetVoiceName("GuardTalk01");
  guard->name.SetVoiceName("hello");
  AddObject("coin", "ITCOIN")->name.SetVoiceName("gone");
  ASSERT_TRUE(doc.OnSaveDocument("town.qst"));
  dir.Write("data/customQuest/town/crowd.mp2", "crowd");
  dir.Write("data/customQuest/town/guardtalk01.mp2", "town guard");
  dir.Write("data/customQuest/town/hello.mp2", "town hello");
  doc.OnCloseDocument();

  doc.SetTitle("castle");
  ASSERT_TRUE(doc.OnNewDocument());
  AddRoom("keep", 0, 0)->text.SetVoiceName("Hello");
  dir.Write("data/customQuest/castle/hello.mp2", "castle hello");
  dir.Write("data/customQuest/castle/crowd.mp2", "crowd");
  ui.boxes.clear();
  ASSERT_TRUE(Merge("town.qst"));
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Voice file data\\customQuest\\town\\gone.mp2 not found\n"});

  const QuestState& q = Quest();
  EXPECT_EQ(dir.Read("data/customQuest/castle/GuardTalk01.mp2"), "town guard");
  EXPECT_STREQ(q.monsters->text.GetVoiceName(), "GuardTalk01");
  EXPECT_EQ(dir.Read("data/customQuest/castle/hello.mp2"), "castle hello") << "the open quest keeps its own";
  EXPECT_EQ(dir.Read("data/customQuest/castle/hello2.mp2"), "town hello");
  EXPECT_STREQ(q.monsters->name.GetVoiceName(), "hello2");
  EXPECT_STREQ(q.rooms->next->text.GetVoiceName(), "Hello");
  EXPECT_STREQ(q.rooms->text.GetVoiceName(), "crowd") << "the same recording is shared";
  EXPECT_FALSE(dir.Exists("data/customQuest/castle/crowd2.mp2"));
  EXPECT_STREQ(q.questObjects->name.GetVoiceName(), "gone") << "a missing voice keeps its name";

  ASSERT_TRUE(doc.OnSaveDocument("castle.qst"));
  ui.boxes.clear();
  ASSERT_TRUE(Merge("castle.qst"));
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Voice file data\\customQuest\\castle\\gone.mp2 not found\n"});
  EXPECT_FALSE(dir.Exists("data/customQuest/castle/hello3.mp2"));
  EXPECT_STREQ(q.monsters->name.GetVoiceName(), "hello2");
}

TEST_F(QuestMerge, RoomPicksOfTheOldGraphAreForgotten) {
  BuildSample();
  ASSERT_TRUE(doc.OnSaveDocument("self.qst"));
  CRoom* hall = Quest().rooms->next;
  hall->pickedNode = Quest().graphNodes;
  hall->linkSourceNode = Quest().graphNodes->next;
  ASSERT_TRUE(Merge("self.qst"));
  EXPECT_EQ(hall->pickedNode, nullptr);
  EXPECT_EQ(hall->linkSourceNode, nullptr);
}

// The merged quest's texts are read as opening reads them: a part no quest
// script can hold is left out, named in a box, and the rest is merged.
TEST_F(QuestMerge, MergedTextsNoScriptCanHoldAreLeftOut) {
  AddRoom("market", 0, 0)->text.Set(kLanguageEnglish, "Market}\x01");
  AddMonster("guard", "orc")->text.SetVoiceName("talk\x1f");
  ASSERT_TRUE(doc.OnSaveDocument("town.qst"));
  doc.OnCloseDocument();
  doc.SetTitle("castle");
  ASSERT_TRUE(doc.OnNewDocument());
  ui.boxes.clear();
  ASSERT_TRUE(Merge("town.qst"));
  ASSERT_FALSE(BoxTexts().empty());
  EXPECT_EQ(BoxTexts()[0],
            "town.qst:\n"
            "M_guard:Text: the voice name holds a control character (code 31), which a quest script cannot hold; it is "
            "left out.\n"
            "R_market: the English text holds \"}\", which a quest script cannot hold; it is left out.\n");
  const QuestState& q = Quest();
  ASSERT_NE(q.rooms, nullptr);
  EXPECT_STREQ(q.rooms->name, "market");
  EXPECT_FALSE(q.rooms->text.Has(kLanguageEnglish));
  ASSERT_NE(q.monsters, nullptr);
  EXPECT_STREQ(q.monsters->text.GetVoiceName(), "");
}

}  // namespace
