#include "quest/kelvar_doc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>
#include <sys/stat.h>
#include <unistd.h>

#include "datafiles/language_table.h"
#include "datafiles/monster_class_table.h"
#include "doc_fixture.h"
#include "quest/fixed_field.h"
#include "quest/graph_node.h"
#include "quest/machine.h"
#include "quest/marker.h"
#include "quest/monster.h"
#include "quest/qst_format.h"
#include "quest/quest_object.h"
#include "quest/room.h"
#include "platform/core/paths.h"
#include "platform/core/profile.h"
#include "support/bytes.h"

namespace {

using questtest::AddMonster;
using questtest::AddObject;
using questtest::AddRoom;
using questtest::DocTest;
using testsupport::Bytes;

constexpr const char* kLibrary =
    "STATE_MACHINE { KEY { door } PARAM { KEY { 1 } TYPE { FRAME } DISPLAY {} } }"
    "STATE_MACHINE { KEY { chest } PARAM { KEY { 1 } TYPE { FRAME } DISPLAY {} }"
    "  PARAM { KEY { 2 } TYPE { INT } } PARAM { KEY { 3 } TYPE { TEXT } }"
    "  PARAM { KEY { 4 } TYPE { OBJECT } OUT {} } }";

// The header of a quest saved with nothing in it: version 3, the view's
// origin, the language, marker list version 1, counter and count 0, then
// the author and information texts empty (version 3, seven absent texts, no voice).
Bytes EmptyHeader(int left, int top, int language) {
  Bytes b;
  b.u32(3).i32(left).i32(top).i32(language).u32(1).i32(0).u32(0);
  for (int text = 0; text < 2; ++text) {
    b.u32(3);
    for (int l = 0; l < 7; ++l) b.u32(0);
    b.u32(0);
  }
  return b;
}

class KelvarDoc : public DocTest {
 protected:
  // A quest whose every instance has one node, so that it saves back byte for byte.
  void BuildSampleQuest() {
    ASSERT_TRUE(doc.OnNewDocument());
    Define(kLibrary);
    questtest::SetMonsterClasses({"orc", "wolf"});
    CMachine* door = CreateMachine(Quest().machines, kMachineStateMachine, "door", "gate");
    door->FindParam(1)->SetText("gate_mesh");
    door->AddInstance("", 0, 0, nullptr);
    ElementInstance* second = door->AddInstance("second", 3, 4, "gate:gate_0");
    second->AddLink("gate:gate_1");

    CQuestObject* key = AddObject("key", "ITKEY1");
    key->name.Set(kLanguageEnglish, "Key");
    key->name.Set(kLanguageFrench, "Clef");
    key->name.SetVoiceName("key.mp2");
    SetField(key->mesh, "keymesh");
    key->questFlag = 32;
    CQuestObject* letter = AddObject("letter", "ITLETTER");
    letter->isVirtual = 1;
    letter->comment.Set(2, "Brief");
    SetField(letter->sprite.name, "SPRITE1");
    letter->sprite.column = 3;
    letter->sprite.row = -2;

    CMonster* orc = AddMonster("grunt", "orc");
    orc->life = 40;
    orc->damage1 = 2;
    orc->damage2 = 5;
    orc->text.Set(kLanguageEnglish, "Grr");
    orc->AddInstance();
    orc->AddInstance();

    CRoom* hall = AddRoom("hall", 2, 0, 10, 20, 300, 400);
    hall->text.Set(kLanguageEnglish, "Great hall");
    hall->entrance = 1;
    hall->Collision(5, 7) = 1;
    hall->Collision(9, 3) = 2;
    hall->Block(1, 2).fileName = "rozizuzi\\o4d\\floor.o3d";
    hall->Block(1, 2).id = 7;
    hall->Block(1, 2).rotation = 3;
    hall->Block(63, 0).fileName = "rozizuzi\\o4d\\wall.o3d";
    RoomTrap* t1 = NewRoomTrap(hall->traps);
    RoomTrap* t2 = NewRoomTrap(hall->traps);
    t1->type = 4;
    t1->cellX = 10;
    t2->type = 5;
    t2->cellY = 11;
    SetField(t2->label, "lever");
    t2->target = t1;
    t1->target = t1;
    RoomMonster* wolf = NewRoomMonster(hall->monsters);
    SetField(wolf->name, "wolf");
    wolf->classIndex = g_monsterClassTable.Find("wolf");
    wolf->cellX = 50;
    hall->blockSet.FindOrAdd("rozizuzi\\o4d\\floor.o3d");
    hall->blockSet.FindOrAdd("rozizuzi\\o4d\\wall.o3d");
    hall->targetX = 1.5f;
    hall->yaw = -0.25f;
    CRoom* cave = AddRoom("cave", 2, 1);
    cave->levelFlag = 1;

    Marker* m = NewMarker(Quest().markers);
    SetField(m->name, "camp");
    m->x = -5;
    m->y = 77;
    Quest().markerCounter = 4;
    Quest().mapView = MapRect{100, 200, 836, 680};
    QuestAuthorText().Set(kLanguageEnglish, "Me");
    QuestInfoText().Set(3, "Hola");
  }
};

TEST_F(KelvarDoc, EmptyQuestIsFourCountsAndTheHeader) {
  Quest().mapView = MapRect{-32, 64, 704, 544};
  g_languageTable.SetLanguage(3);
  ASSERT_TRUE(doc.OnNewDocument());
  ASSERT_TRUE(doc.OnSaveDocument("empty.qst"));

  Bytes expected;
  expected.u32(0).u32(0).u32(0).u32(0).raw(EmptyHeader(-32, 64, 3).data());
  EXPECT_EQ(expected.size(), 116u);
  EXPECT_EQ(ReadBytes("empty.qst"), expected.data());

  doc.OnCloseDocument();
  g_languageTable.SetLanguage(kLanguageEnglish);
  ASSERT_TRUE(doc.OnOpenDocument("empty.qst"));
  EXPECT_EQ(Quest().machines, nullptr);
  EXPECT_EQ(Quest().rooms, nullptr);
  EXPECT_EQ(Quest().mapView.left, -32);
  EXPECT_EQ(Quest().mapView.top, 64);
  EXPECT_EQ(Quest().mapView.right - Quest().mapView.left, 736);  // the size is the view's own
  EXPECT_EQ(g_languageTable.GetLanguage(), 3);
  EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(KelvarDoc, NewQuestMakesItsFolderWithTheSprite) {
  doc.SetTitle("My Quest.qst");
  ASSERT_TRUE(doc.OnNewDocument());
  EXPECT_EQ(doc.newQuest, 1);
  EXPECT_EQ(CurrentDocument(), &doc);
  EXPECT_EQ(dir.Read("data/customQuest/My Quest/k0830_sprite.tga"), "quest sprite");
  EXPECT_EQ(QuestSpritePath(), "data\\customQuest\\My Quest\\k0830_sprite.tga");

  // An existing copy is left alone.
  dir.Write("data/customQuest/My Quest/k0830_sprite.tga", "edited");
  ASSERT_TRUE(doc.OnNewDocument());
  EXPECT_EQ(dir.Read("data/customQuest/My Quest/k0830_sprite.tga"), "edited");
}

TEST_F(KelvarDoc, SavingUnderANewNameCopiesTheSpriteOnlyThen) {
  doc.SetTitle("first.qst");
  ASSERT_TRUE(doc.OnNewDocument());
  dir.Write("data/customQuest/first/k0830_sprite.tga", "first's sprite");
  ASSERT_TRUE(doc.OnSaveDocument("second.qst"));
  EXPECT_EQ(dir.Read("data/customQuest/second/k0830_sprite.tga"), "first's sprite");
  EXPECT_EQ(QuestSpritePath(), "data\\customQuest\\second\\k0830_sprite.tga");

  doc.SetTitle("second.qst");
  dir.Write("data/customQuest/first/k0830_sprite.tga", "changed");
  ASSERT_TRUE(doc.OnSaveDocument("SECOND.qst"));  // the same quest, compared ignoring case
  EXPECT_EQ(dir.Read("data/customQuest/second/k0830_sprite.tga"), "first's sprite");
}

// The voices a new quest's texts name were recorded into its untitled
// folder; its first save takes them along, a failed save takes nothing.
TEST_F(KelvarDoc, SavingANewQuestUnderItsNameTakesItsVoicesAlong) {
  doc.SetTitle("Untitled1");
  ASSERT_TRUE(doc.OnNewDocument());
  dir.Write("data/customQuest/Untitled1/hello.mp2", "hello voice");
  QuestAuthorText().SetVoiceName("hello");
  dir.Write("plain", "a file, not a folder");
  EXPECT_FALSE(doc.OnSaveDocument("plain\\Keep.qst"));
  EXPECT_FALSE(dir.Exists("data/customQuest/Keep/hello.mp2"));
  ui.boxes.clear();
  ASSERT_TRUE(doc.OnSaveDocument("Keep.qst"));
  EXPECT_EQ(dir.Read("data/customQuest/Keep/hello.mp2"), "hello voice");
  EXPECT_TRUE(ui.boxes.empty());
}

// A voice that the new quest's folder will not take is reported, as a write
// of that voice, in one box after the save, which stands. The faults stop
// root too: a folder where the voice should go, a file where the folder should.
TEST_F(KelvarDoc, VoicesThatCannotBeCopiedAtSaveAsAreReportedAndTheSaveStands) {
  struct Case {
    const char* quest;
    const char* blocker;
    bool folder;
    const char* box;
  };
  const Case cases[] = {
      {"Keep", "data/customQuest/Keep/hello.mp2", true,
       "Can't write file data\\customQuest\\Keep\\hello.mp2, error = 5\n"},
      {"Lost", "data/customQuest/Lost", false,
       "Can't write file data\\customQuest\\Lost\\hello.mp2, error = 3\n"
       "Can't write file data\\customQuest\\Lost\\bye.mp2, error = 3\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.quest);
    doc.SetTitle("Untitled1");
    ASSERT_TRUE(doc.OnNewDocument());
    dir.Write("data/customQuest/Untitled1/hello.mp2", "hello voice");
    dir.Write("data/customQuest/Untitled1/bye.mp2", "bye voice");
    QuestAuthorText().SetVoiceName("hello");
    QuestInfoText().SetVoiceName("bye");
    if (c.folder) dir.MakeDir(c.blocker);
    else dir.Write(c.blocker, "a file, not a folder");
    doc.SetModifiedFlag();
    ui.boxes.clear();
    const std::string path = std::string(c.quest) + ".qst";
    ASSERT_TRUE(doc.OnSaveDocument(path));
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{c.box});
    EXPECT_TRUE(dir.Exists(path));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(Profiled(), path);
    if (c.folder) {
      EXPECT_EQ(dir.Read("data/customQuest/Keep/bye.mp2"), "bye voice") << "the other voice came";
    }
    doc.OnCloseDocument();
  }
}

TEST_F(KelvarDoc, ProfileRemembersTheLastQuestUntilClosed) {
  ASSERT_TRUE(doc.OnNewDocument());
  doc.SetModifiedFlag();
  ASSERT_TRUE(doc.OnSaveDocument("a.qst"));
  EXPECT_FALSE(doc.IsModified());
  EXPECT_EQ(Profiled(), "a.qst");
  ASSERT_TRUE(doc.OnSaveDocument("b.qst"));
  ASSERT_TRUE(doc.OnOpenDocument("a.qst"));
  EXPECT_EQ(Profiled(), "a.qst");
  doc.OnFileClose();
  EXPECT_EQ(Profiled(), "");
}

TEST_F(KelvarDoc, SavedQuestReadsBackByteForByte) {
  BuildSampleQuest();
  ASSERT_TRUE(doc.OnSaveDocument("sample.qst"));
  const std::vector<std::uint8_t> first = ReadBytes("sample.qst");

  doc.OnCloseDocument();
  ASSERT_TRUE(doc.OnOpenDocument("sample.qst"));
  EXPECT_TRUE(ui.boxes.empty());
  ASSERT_TRUE(doc.OnSaveDocument("again.qst"));
  EXPECT_EQ(ReadBytes("again.qst"), first);

  // A few values as they came back.
  ASSERT_NE(Quest().rooms, nullptr);
  ASSERT_NE(Quest().rooms->next, nullptr);
  const CRoom& hall = *Quest().rooms->next;
  EXPECT_STREQ(hall.name, "hall");
  EXPECT_EQ(hall.Collision(5, 7), 1);
  EXPECT_EQ(hall.Collision(9, 3), 2);
  EXPECT_EQ(hall.Block(1, 2).fileName, "rozizuzi\\o4d\\floor.o3d");
  EXPECT_EQ(hall.Block(1, 2).rotation, 3);
  EXPECT_EQ(hall.blockSet.GetCount(), 2);
  EXPECT_FLOAT_EQ(hall.yaw, -0.25f);
  ASSERT_NE(hall.monsters, nullptr);
  EXPECT_EQ(hall.monsters->classIndex, g_monsterClassTable.Find("wolf"));
  EXPECT_STREQ(Quest().markers->name, "camp");
  EXPECT_EQ(Quest().markerCounter, 4);
  EXPECT_STREQ(QuestInfoText().Get(3), "Hola");
  EXPECT_STREQ(Quest().questObjects->next->name.GetVoiceName(), "key.mp2");
  EXPECT_STREQ(Quest().machines->instances->links[1], "gate:gate_1");
}

TEST_F(KelvarDoc, ParameterValuesAndPositionsComeBackReversed) {
  Define(kLibrary);
  CMachine* chest = CreateMachine(Quest().machines, kMachineStateMachine, "chest", "box");
  chest->FindParam(1)->SetText("box_mesh");
  chest->FindParam(4)->SetText("gold");
  ElementInstance* instance = chest->AddInstance("", 0, 0, nullptr);
  // Move the two nodes of the instance somewhere of their own.
  int x = 500;
  for (GraphNode* n = Quest().graphNodes; n; n = n->next, x += 100) {
    n->x = x;
    n->cellX = x / 10;
    n->rotation = 2;
  }
  std::vector<int> numbers;
  for (CMachineParam* v = chest->params; v; v = v->next) numbers.push_back(v->number);
  ASSERT_TRUE(doc.OnSaveDocument("chest.qst"));
  std::vector<std::pair<int, int>> positions;  // kind and x, in the saved order
  for (InstancePosition* p = instance->positions; p; p = p->next) positions.emplace_back(p->nodeType, p->x);
  ASSERT_EQ(positions.size(), 2u);

  doc.OnCloseDocument();
  ASSERT_TRUE(doc.OnOpenDocument("chest.qst"));
  std::vector<int> loaded;
  for (CMachineParam* v = Quest().machines->params; v; v = v->next) loaded.push_back(v->number);
  std::reverse(numbers.begin(), numbers.end());
  EXPECT_EQ(loaded, numbers);
  std::vector<std::pair<int, int>> loadedPositions;
  for (InstancePosition* p = Quest().machines->instances->positions; p; p = p->next) {
    loadedPositions.emplace_back(p->nodeType, p->x);
  }
  std::reverse(positions.begin(), positions.end());
  EXPECT_EQ(loadedPositions, positions);
  // Every node is back where it was.
  for (GraphNode* n = Quest().graphNodes; n; n = n->next) {
    EXPECT_GE(n->x, 500);
    EXPECT_EQ(n->cellX, n->x / 10);
    EXPECT_EQ(n->rotation, 2);
  }
}

TEST_F(KelvarDoc, ClosingEmptiesEverythingTheNextQuestCouldInherit) {
  BuildSampleQuest();
  doc.OnCloseDocument();
  EXPECT_EQ(doc.newQuest, 0);
  EXPECT_EQ(CurrentDocument(), nullptr);
  EXPECT_EQ(hooks.calls, (std::vector<std::string>{"thumbnails", "room", "textures"}));
  EXPECT_EQ(Quest().machines, nullptr);
  EXPECT_EQ(Quest().questObjects, nullptr);
  EXPECT_EQ(Quest().monsters, nullptr);
  EXPECT_EQ(Quest().rooms, nullptr);
  EXPECT_EQ(Quest().graphNodes, nullptr);
  EXPECT_EQ(Quest().markers, nullptr);
  EXPECT_EQ(Quest().markerCounter, 0);
  EXPECT_STREQ(QuestAuthorText().GetLocalized(), "");
  EXPECT_STREQ(QuestInfoText().GetLocalized(), "");
  EXPECT_EQ(Quest().mapView.left, 0);
  EXPECT_EQ(Quest().mapView.top, 0);
  EXPECT_EQ(Quest().mapView.right, 736);
  EXPECT_EQ(Quest().mapView.bottom, 480);
}

TEST_F(KelvarDoc, MissingFileIsReportedAndNothingRemembered) {
  EXPECT_FALSE(doc.OnOpenDocument("nowhere.qst"));
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text, "Can't open file nowhere.qst, error = 2\n");
  EXPECT_EQ(Profiled(), "<none>");
}

TEST_F(KelvarDoc, TruncatedQuestLeavesTheOpenQuestAsItWas) {
  BuildSampleQuest();
  ASSERT_TRUE(doc.OnSaveDocument("sample.qst"));
  platform::SetProfilePath(dir.Native("profile.ini"));
  platform::Profile().WriteString(kRecentQuestSection, kRecentQuestValue, "before.qst");
  const std::vector<std::uint8_t> whole = ReadBytes("sample.qst");
  CMachine* machines = Quest().machines;
  CRoom* rooms = Quest().rooms;
  GraphNode* nodes = Quest().graphNodes;

  // Every length short of the whole file.
  for (std::size_t length = 0; length < whole.size(); length += 7) {
    dir.Write("cut.qst", std::span<const std::uint8_t>(whole.data(), length));
    ui.boxes.clear();
    ASSERT_FALSE(doc.OnOpenDocument("cut.qst")) << length;
    ASSERT_EQ(BoxTexts(), std::vector<std::string>{"Error while loading cut.qst, error = 14\n"}) << length;
  }
  EXPECT_EQ(Quest().machines, machines);
  EXPECT_EQ(Quest().rooms, rooms);
  EXPECT_EQ(Quest().graphNodes, nodes);
  EXPECT_EQ(ListLength(Quest().markers), 1u);
  EXPECT_EQ(Profiled(), "before.qst");
}

TEST_F(KelvarDoc, FailedSaveKeepsTheDocumentModifiedAndTheOldFile) {
  BuildSampleQuest();
  ASSERT_TRUE(doc.OnSaveDocument("good.qst"));
  const std::vector<std::uint8_t> good = ReadBytes("good.qst");
  doc.SetModifiedFlag();

  // The folder does not exist: the file cannot be created.
  dir.Write("plain", "a file, not a folder");
  EXPECT_FALSE(doc.OnSaveDocument("plain\\good.qst"));
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text.rfind("Can't open file plain\\good.qst, error = ", 0), 0u) << ui.boxes[0].text;
  EXPECT_TRUE(doc.IsModified());

  // Writing succeeds but the finished file cannot take the place of the target.
  dir.MakeDir("taken.qst/inside");
  ui.boxes.clear();
  EXPECT_FALSE(doc.OnSaveDocument("taken.qst"));
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text.rfind("Error while saving taken.qst, error = ", 0), 0u) << ui.boxes[0].text;
  EXPECT_TRUE(doc.IsModified());
  EXPECT_TRUE(dir.Exists("taken.qst/inside"));
  EXPECT_EQ(Profiled(), "good.qst");
  EXPECT_EQ(ReadBytes("good.qst"), good);
  // No temporary file is left behind.
  for (const auto& e : platform::FindFiles("*.tmp*")) ADD_FAILURE() << e.name;
}

// A ".qst" may hold texts that no quest script can hold (braces, control
// characters): opening it leaves out just those parts, keeps the rest of the
// quest, and a box names each text.
TEST_F(KelvarDoc, OpeningLeavesOutTextsNoScriptCanHoldAndSaysWhich) {
  ASSERT_TRUE(doc.OnNewDocument());
  CRoom* gate = AddRoom("gate", 0, 0);
  gate->text.Set(kLanguageFrench, "Porte");
  gate->text.Set(kLanguageEnglish, "Gate {north}");
  gate->text.SetVoiceName("gate");
  CMonster* orc = AddMonster("orc", "orc");
  orc->name.Set(kLanguageEnglish, "Orc");
  orc->name.SetVoiceName("gr{r");
  orc->text.Set(kLanguageEnglish, "Grunts.\r\nThen\tattacks.");  // line breaks and tabs are a text's own
  AddObject("ruby", "ITRUBY")->comment.Set(2, "Rubin\x07");
  QuestAuthorText().Set(kLanguageEnglish, "Ann }");
  ASSERT_TRUE(doc.OnSaveDocument("odd.qst"));
  doc.OnCloseDocument();
  ui.boxes.clear();

  ASSERT_TRUE(doc.OnOpenDocument("odd.qst"));
  ASSERT_EQ(BoxTexts().size(), 1u);
  EXPECT_EQ(BoxTexts()[0],
            "odd.qst:\n"
            "M_orc:Name: the voice name holds \"{\", which a quest script cannot hold; it is left out.\n"
            "O_ruby:Comment: the German text holds a control character (code 7), which a quest script cannot hold; "
            "it is left out.\n"
            "R_gate: the English text holds \"{\", which a quest script cannot hold; it is left out.\n"
            "Author: the English text holds \"}\", which a quest script cannot hold; it is left out.\n");
  const QuestState& q = Quest();
  ASSERT_NE(q.rooms, nullptr);
  EXPECT_FALSE(q.rooms->text.Has(kLanguageEnglish));
  EXPECT_STREQ(q.rooms->text.Get(kLanguageFrench), "Porte");
  EXPECT_STREQ(q.rooms->text.GetVoiceName(), "gate");
  ASSERT_NE(q.monsters, nullptr);
  EXPECT_STREQ(q.monsters->name.Get(kLanguageEnglish), "Orc");
  EXPECT_STREQ(q.monsters->name.GetVoiceName(), "");
  EXPECT_STREQ(q.monsters->text.Get(kLanguageEnglish), "Grunts.\r\nThen\tattacks.");
  ASSERT_NE(q.questObjects, nullptr);
  EXPECT_FALSE(q.questObjects->comment.Has(2));
  EXPECT_FALSE(QuestAuthorText().Has(kLanguageEnglish));
}

// Saving keeps what the user set on the quest's file: a link still names the
// file it named, which now holds the quest, and a private quest stays private.
TEST_F(KelvarDoc, SavingKeepsALinkAndThePermissionsOfTheQuestFile) {
  BuildSampleQuest();
  ASSERT_TRUE(doc.OnSaveDocument("reference.qst"));
  const std::vector<std::uint8_t> saved = ReadBytes("reference.qst");
  dir.Write("shared/castle.qst", "an older castle");
  ASSERT_EQ(::symlink("shared/castle.qst", dir.Native("castle.qst").c_str()), 0);
  dir.Write("private.qst", "an older private quest");
  ASSERT_EQ(::chmod(dir.Native("private.qst").c_str(), 0600), 0);

  ASSERT_TRUE(doc.OnSaveDocument("castle.qst"));
  ASSERT_TRUE(doc.OnSaveDocument("private.qst"));
  struct stat st {};
  ASSERT_EQ(::lstat(dir.Native("castle.qst").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode)) << "the link was replaced";
  EXPECT_EQ(ReadBytes("shared/castle.qst"), saved);
  ASSERT_EQ(::stat(dir.Native("private.qst").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);
  EXPECT_EQ(ReadBytes("private.qst"), saved);
  // The quest saved through the link opens by its name.
  doc.OnCloseDocument();
  ASSERT_TRUE(doc.OnOpenDocument("castle.qst"));
  EXPECT_STREQ(Quest().markers->name, "camp");
  for (const char* folder : {"*.tmp*", "shared\\*.tmp*"})
    for (const auto& e : platform::FindFiles(folder)) ADD_FAILURE() << e.name;
}

}  // namespace
