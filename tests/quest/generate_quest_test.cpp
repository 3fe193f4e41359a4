// Generate Quest: room checks, scripts, machine code, meshes and the package.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "datafiles/language_table.h"
#include "datafiles/mtf_archive.h"
#include "doc_fixture.h"
#include "quest/fixed_field.h"
#include "quest/generation_log.h"
#include "quest/machine.h"
#include "quest/mesh_banks.h"
#include "quest/monster.h"
#include "quest/quest_object.h"
#include "quest/quest_script.h"
#include "quest/room.h"
#include "platform/core/paths.h"
#include "platform/core/save_batch.h"
#include "support/bytes.h"
#include "support/open_file_limit.h"

namespace {

using questtest::AddLampNode;
using FakeGenerationUiRef = questtest::FakeGenerationUi&;
using questtest::AddMonster;
using questtest::AddObject;
using questtest::AddRoom;

constexpr const char* kDoor =
    "STATE_MACHINE { KEY { door }"
    "  PARAM { KEY { 1 } TYPE { FRAME } DISPLAY {} }"
    "  PARAM { KEY { 2 } TYPE { OBJECT } } PARAM { KEY { 3 } TYPE { INT } }"
    "  PARAM { KEY { 4 } TYPE { TEXT } } PARAM { KEY { 5 } TYPE { MONSTER } }"
    "  PARAM { KEY { 6 } TYPE { LIST } LIST { 1=First } LIST { 2=Second } LIST { 3 } }"
    "  PARAM { KEY { 7 } TYPE { OBJECT } } PARAM { KEY { 8 } TYPE { MONSTER } }"
    "  PARAM { KEY { 9 } TYPE { SKELANIM } } PARAM { KEY { 10 } TYPE { EFFECT } }"
    "  CODE [\r\n\tSTATE %0 {\r\n\t\tMESH {%1}\r\n\t\tGIVE {%2} OR {%7}\r\n\t\tCOUNT {%3}\r\n"
    "\t\tSAY %4 \r\n\t\tTO {%5} OR {%8}\r\n\t\tMODE {%6}\r\n\t\tRATE 100% sure\r\n\t}\r\n] }";

// The entry names of a package's directory, in order.
std::vector<std::string> EntryNames(const std::vector<std::uint8_t>& package) {
  std::vector<std::string> names;
  if (package.size() < 4) return names;
  const std::uint32_t count = testsupport::ReadU32(package.data());
  std::size_t p = 4;
  for (std::uint32_t i = 0; i < count && p + 4 <= package.size(); ++i) {
    const std::uint32_t length = testsupport::ReadU32(&package[p]);
    if (length == 0 || p + 12 + length > package.size()) break;
    names.emplace_back(reinterpret_cast<const char*>(&package[p + 4]), length - 1);
    p += 12 + length;
  }
  return names;
}

std::string Fixture(const std::string& name) {
  std::ifstream in(std::string(FIXTURES_DIR) + "/" + name, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class GenerateQuest : public questtest::DocTest {
 protected:
  GenerateQuest() {
    doc.SetTitle("small.qst");
    doc.SetPathName("small.qst");
    doc.OnNewDocument();
    ui.boxes.clear();
  }

  void BuildSmallQuest() {
    Define(kDoor);
    QuestAuthorText().Set(kLanguageEnglish, "Ann");
    QuestInfoText().Set(kLanguageFrench, "Bonjour");
    QuestInfoText().Set(kLanguageEnglish, "Hello");

    AddRoom("camp", 3, 0, 3000, 0, 3400, 400);
    CRoom* crypt = AddRoom("crypt", 0, 1, 2000, 0, 2400, 400);
    crypt->levelFlag = 1;
    crypt->text.Set(kLanguageFrench, "Crypte");
    crypt->text.Set(kLanguageEnglish, "Crypt");
    crypt->text.SetVoiceName("crypt");
    CRoom* hall = AddRoom("hall", 0, 0, 1000, 0, 1400, 400);
    hall->entrance = 1;
    hall->text.Set(kLanguageEnglish, "Great Hall");

    CQuestObject* gem = AddObject("gem", "ITGEM");
    SetField(gem->sprite.name, "GEMS");
    gem->sprite.cellFormat = 1;
    gem->sprite.column = 2;
    gem->sprite.row = 3;
    CQuestObject* letter = AddObject("letter", "ITLETTER");
    letter->isVirtual = 1;
    letter->name.Set(kLanguageEnglish, "Letter");
    letter->comment.Set(kLanguageEnglish, "Read me");
    CQuestObject* key = AddObject("key", "ITKEY1");
    SetField(key->mesh, "keymesh");
    key->name.Set(kLanguageEnglish, "Key");
    key->name.SetVoiceName("key");
    dir.Write("rozizuzi/customMeshes/keymesh.o3d", "key mesh");

    CMonster* trader = AddMonster("trader", "merchant");
    SetField(trader->gift, "ITSWORD");
    CMonster* grunt = AddMonster("grunt", "orc");
    SetField(grunt->gift, "KEY");
    grunt->life = 40;
    grunt->damage1 = 2;
    grunt->damage2 = 5;
    grunt->name.Set(kLanguageEnglish, "Grunt");
    grunt->text.Set(kLanguageEnglish, "Grr");
    grunt->text.SetVoiceName("grr");

    CreateMachine(Quest().machines, kMachineStateMachine, "ghosttype", "ghost1");
    CMachine* door = CreateMachine(Quest().machines, kMachineStateMachine, "door", "door1");
    door->FindParam(1)->SetText("doormesh");
    door->FindParam(2)->SetText("key");
    door->FindParam(3)->SetText("12");
    CMultiLangText& say = static_cast<CMachineParamText*>(door->FindParam(4))->value;
    say.Set(kLanguageFrench, "Ouvre!");
    say.Set(kLanguageEnglish, "Open!");
    say.SetVoiceName("door");
    door->FindParam(5)->SetText("grunt");
    door->FindParam(6)->SetText("2");
    door->FindParam(7)->SetText("pearl");
    door->FindParam(8)->SetText("wolf");
    door->AddInstance("", 0, 0, nullptr);

    // The voices the texts name, recorded into the quest's folder.
    for (const char* voice : {"crypt", "key", "grr", "door"})
      dir.Write(std::string("data/customQuest/small/") + voice + ".mp2", voice == std::string("door") ? "voice" : voice);
  }
};

TEST_F(GenerateQuest, SmallQuestWritesItsScriptsAndPackage) {
  BuildSmallQuest();
  doc.OnGenerateQuest();
  EXPECT_EQ(GenerationLog(), "");
  EXPECT_TRUE(genUi.reports.empty());
  for (int i = 0; i < 7; ++i) {
    const std::string name = "small_quest" + std::to_string(i) + ".spt";
    EXPECT_EQ(dir.Read("data/customQuest/small/quest" + std::to_string(i) + ".spt"), Fixture(name)) << name;
  }
  EXPECT_EQ(dir.Read("data/customQuest/small/keymesh.o3d"), "key mesh");
  ASSERT_EQ(BoxTexts(), std::vector<std::string>{"Congratulation ! Quest Generation competed successfully."});
  EXPECT_EQ(Quest().questObjects->questFlag, 1);        // key: its mesh
  EXPECT_EQ(Quest().questObjects->next->questFlag, 0);  // letter: virtual
  EXPECT_EQ(Quest().questObjects->next->next->questFlag, 1);

  // Every room, object, monster, machine and script moved the bar once.
  EXPECT_EQ(genUi.range, 3 + 3 + 2 + 2 + 7);
  EXPECT_EQ(genUi.steps, genUi.range);
  EXPECT_FALSE(genUi.shown);

  // The package: the quest folder's files in reverse order of a listing
  // sorted ignoring case, each under its name in the game.
  const std::vector<std::string> expected = {
      "data\\customQuest\\quest6.spt", "data\\customQuest\\quest5.spt", "data\\customQuest\\quest4.spt",
      "data\\customQuest\\quest3.spt", "data\\customQuest\\quest2.spt", "data\\customQuest\\quest1.spt",
      "data\\customQuest\\quest0.spt", "data\\customQuest\\keymesh.o3d", "voices\\key.mp2",
      "data\\bankdatabase\\brimvault\\k0830_sprite.tga", "data\\bankdatabase\\brimvault\\k0815_OBJ.tga",
      "data\\bankdatabase\\brimvault\\k0814_OBJ.tga", "data\\bankdatabase\\brimvault\\k0813_OBJ.tga",
      "data\\bankdatabase\\brimvault\\k0812_OBJ.tga", "data\\bankdatabase\\brimvault\\k0811_OBJ.tga",
      "data\\bankdatabase\\brimvault\\k0810_OBJ.tga", "data\\bankdatabase\\brimvault\\k0809_OBJ.tga",
      "data\\bankdatabase\\brimvault\\k0808_OBJ.tga", "data\\bankdatabase\\brimvault\\k0807_OBJ.tga",
      "data\\bankdatabase\\brimvault\\k0806_OBJ.tga", "data\\bankdatabase\\brimvault\\k0805_OBJ.tga",
      "data\\bankdatabase\\brimvault\\k0804_OBJ.tga", "data\\bankdatabase\\brimvault\\k0803_OBJ.tga",
      "data\\bankdatabase\\brimvault\\k0802_OBJ.tga", "data\\bankdatabase\\brimvault\\k0801_OBJ.tga",
      "data\\bankdatabase\\brimvault\\k0800_OBJ.tga", "voices\\grr.mp2", "voices\\door.mp2", "voices\\crypt.mp2",
      "data\\customQuest\\_CUST_hall.cdf",
      "data\\customQuest\\_CUST_crypt.cdf", "data\\customQuest\\_CUST_camp.cdf"};
  const std::vector<std::uint8_t> package = ReadBytes("quest/small.mtf");
  ASSERT_GE(package.size(), 4u);
  ASSERT_EQ(testsupport::ReadU32(package.data()), expected.size());
  std::size_t p = 4;
  std::uint32_t offset = 4;
  for (const std::string& name : expected) offset += 12 + static_cast<std::uint32_t>(name.size()) + 1;
  for (const std::string& name : expected) {
    const std::uint32_t length = testsupport::ReadU32(&package.at(p));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&package.at(p + 4)), length - 1), name);
    const std::uint32_t at = testsupport::ReadU32(&package.at(p + 4 + length));
    const std::uint32_t size = testsupport::ReadU32(&package.at(p + 8 + length));
    EXPECT_EQ(at, offset) << name;
    offset += size;
    p += 12 + length;
  }
  EXPECT_EQ(offset, package.size());

  // Read back entry by entry through the archive layer.
  ASSERT_EQ(MtfOpenArchive("quest\\small.mtf", 0), 1);
  auto entry = [](const std::string& name) {
    MtfFilePtr f(MtfOpen(name.c_str(), "rb"));
    if (!f) return std::string("<missing>");
    std::string bytes(f->size, '\0');
    bytes.resize(MtfRead(bytes.data(), 1, bytes.size(), f.get()));
    return bytes;
  };
  EXPECT_EQ(entry("data\\customQuest\\quest0.spt"), Fixture("small_quest0.spt"));
  EXPECT_EQ(entry("data\\customQuest\\quest3.spt"), Fixture("small_quest3.spt"));
  EXPECT_EQ(entry("data\\bankdatabase\\brimvault\\k0807_OBJ.tga"), "texture 807");
  EXPECT_EQ(entry("data\\bankdatabase\\brimvault\\k0830_sprite.tga"), "quest sprite");
  EXPECT_EQ(entry("voices\\door.mp2"), "voice");
  EXPECT_EQ(entry("data\\customQuest\\keymesh.o3d"), "key mesh");
  EXPECT_EQ(entry("data\\customQuest\\_CUST_crypt.cdf"), dir.Read("data/customQuest/small/_CUST_crypt.cdf"));
}

TEST_F(GenerateQuest, EmptyQuestWritesOnlyTheFrames) {
  genUi.debug = false;
  doc.OnGenerateQuest();
  EXPECT_EQ(GenerationLog(), "");
  const std::string seven = questtest::Crlf("\t\t0 {}\n\t\t1 {}\n\t\t2 {}\n\t\t3 {}\n\t\t4 {}\n\t\t5 {}\n\t\t6 {}\n");
  EXPECT_EQ(dir.Read("data/customQuest/small/quest0.spt"),
            questtest::Crlf("QUEST\n{\n\tAUTHOR\n\t{\n") + seven + questtest::Crlf("\t}\n\tINFO\n\t{\n") + seven +
                questtest::Crlf("\t}\n\tLAND {0}\n\tKEY {_CUST_Quest0}\n\tQUESTNAME  { 0 { _CUST_ } }\n}\n"));
  EXPECT_EQ(dir.Read("data/customQuest/small/quest5.spt"),
            questtest::Crlf("QUEST\n{\n\tLAND {5}\n\tKEY {_CUST_Quest5}\n\tQUESTNAME  { 0 { _CUST_ } }\n}\n"));
  const std::vector<std::uint8_t> package = ReadBytes("quest/small.mtf");
  ASSERT_GE(package.size(), 4u);
  EXPECT_EQ(testsupport::ReadU32(package.data()), 1u + 7u + 16u);  // sprite, scripts, textures
  EXPECT_EQ(genUi.range, 7);
  EXPECT_EQ(genUi.steps, 7);
}

TEST_F(GenerateQuest, DialogTextsGoIntoTheCurrentLanguage) {
  g_languageTable.SetLanguage(kLanguageFrench);
  QuestAuthorText().Set(kLanguageFrench, "Moi");
  QuestInfoText().Set(kLanguageEnglish, "English only");
  genUi.newAuthor = "Nous";
  genUi.newInformation = "Une quete";
  doc.OnGenerateQuest();
  EXPECT_EQ(genUi.shownAuthor, "Moi");
  EXPECT_EQ(genUi.shownInformation, "");  // the current language's own text
  EXPECT_STREQ(QuestAuthorText().Get(kLanguageFrench), "Nous");
  EXPECT_STREQ(QuestInfoText().Get(kLanguageFrench), "Une quete");
  EXPECT_STREQ(QuestInfoText().Get(kLanguageEnglish), "English only");

  genUi.cancel = true;
  dir.Write("data/customQuest/small/quest0.spt", "old");
  doc.OnGenerateQuest();
  EXPECT_EQ(dir.Read("data/customQuest/small/quest0.spt"), "old");
  EXPECT_EQ(genUi.dialogs, 2);
}

TEST_F(GenerateQuest, GenerationThatChangesTheQuestMarksItModified) {
  Define(questtest::kLampMachine);
  Define("GENERIC { KEY { plate } TYPE { 5 } }");
  struct Case {
    const char* what;
    std::function<void()> build;
    std::function<bool()> changed;  // the change generation made
  };
  const Case cases[] = {
      {"an object's quest flag",
       [] { SetField(AddObject("gem", "ITGEM")->sprite.name, "GEMS"); },
       [] { return Quest().questObjects->questFlag == 1; }},
      {"a trap's target cells",
       [] {
         CRoom* room = AddRoom("hall", 0, 0, 0, 0, 1000, 1000);
         RoomTrap* target = NewRoomTrap(room->traps);
         target->type = 5;
         target->cellX = target->cellY = 20;
         RoomTrap* trigger = NewRoomTrap(room->traps);
         trigger->type = 5;
         trigger->cellX = trigger->cellY = 10;
         trigger->target = target;
       },
       [] { return Quest().rooms->traps->targetCellX == 20; }},
      {"two machine nodes on one cell",
       [] {
         AddRoom("hall", 0, 0, 0, 0, 1000, 1000);
         AddLampNode(5, 5);
         AddLampNode(5, 5);
       },
       [] {
         const GraphNode* a = Quest().graphNodes;
         const GraphNode* b = a->next;
         return a->cellX != b->cellX || a->cellY != b->cellY;
       }},
      {"a link to a machine that is gone",
       [] {
         AddRoom("hall", 0, 0, 0, 0, 1000, 1000);
         AddLampNode(5, 5);
         Quest().machines->instances->AddLink("gone:gone_0");
       },
       [] { return FieldEmpty(Quest().machines->instances->links[0]); }},
      {"the dialog's author text",
       [this] { genUi.newAuthor = "Nous"; },
       [] { return std::string_view(QuestAuthorText().Get(g_languageTable.GetLanguage())) == "Nous"; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    doc.OnCloseDocument();
    doc.OnNewDocument();
    genUi.newAuthor = nullptr;
    c.build();
    doc.SetModifiedFlag(false);
    doc.OnGenerateQuest();
    EXPECT_TRUE(c.changed());
    EXPECT_TRUE(doc.IsModified());

    // Generating again changes nothing more, so a saved quest stays saved.
    doc.SetModifiedFlag(false);
    doc.OnGenerateQuest();
    EXPECT_FALSE(doc.IsModified());
  }
}

TEST_F(GenerateQuest, GenerationThatChangesNothingLeavesTheQuestUnmodified) {
  AddObject("letter", "ITLETTER")->isVirtual = 1;
  AddRoom("hall", 0, 0, 0, 0, 1000, 1000);
  doc.OnGenerateQuest();
  EXPECT_EQ(GenerationLog(), "");
  EXPECT_FALSE(doc.IsModified());

  genUi.cancel = true;
  genUi.newAuthor = "Nobody";
  doc.OnGenerateQuest();
  EXPECT_FALSE(doc.IsModified());
}

TEST_F(GenerateQuest, RoomChecks) {
  AddRoom("east", 3, 0, 5000, 5000, 5100, 5100)->entrance = 1;
  AddRoom("west", 3, 0, 5000, 5000, 5100, 5100)->entrance = 1;
  AddRoom("deep", 1, 2, 5000, 5000, 5100, 5100)->levelFlag = 1;
  AddRoom("deeper", 1, 2, 5000, 5000, 5100, 5100);
  AddRoom("alone", 1, 3, 5000, 5000, 5100, 5100)->levelFlag = 1;
  AddRoom("nowhere", 9, 0, 5000, 5000, 5100, 5100)->entrance = 1;
  AddRoom("abyss", 0, 5, 5000, 5000, 5100, 5100);
  doc.OnGenerateQuest();
  EXPECT_EQ(GenerationLog(),
            "room abyss has land 0 and level 5, outside the lands and levels of the game\r\n"
            "room nowhere has land 9 and level 0, outside the lands and levels of the game\r\n"
            "room deep is declared as a Level but there are more than one room in level 2\r\n"
            "Multiple entrance for dungeon 3 are not allowed : error in room west\r\n"
            "Multiple entrance for dungeon 3 are not allowed : error in room east\r\n");
  ASSERT_EQ(genUi.reports.size(), 1u);
  EXPECT_EQ(genUi.reports[0], GenerationLog() + "\r\n\r\nQUEST GENERATION ABORTED.\r\n");
  // Every room and script was still written; nothing was packed.
  EXPECT_TRUE(dir.Exists("data/customQuest/small/_CUST_abyss.cdf"));
  EXPECT_TRUE(dir.Exists("data/customQuest/small/quest6.spt"));
  EXPECT_FALSE(dir.Exists("quest/small.mtf"));
  EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(GenerateQuest, MachineCodeReferences) {
  Define(kDoor);
  CMachine* door = CreateMachine(Quest().machines, kMachineStateMachine, "door", "d");
  door->FindParam(3)->SetText("-4");
  door->FindParam(6)->SetText("3");
  CMachine* odd = CreateMachine(Quest().machines, kMachineStateMachine, "door", "odd");
  odd->FindParam(6)->SetText("nine");
  MachineDef def;
  struct Case {
    const char* code;
    const CMachine* machine;
    const char* out;
    const char* log;
  };
  const Case cases[] = {
      {"a %0 b", door, "a _CUST_d b", ""},
      {"[%3]", door, "[-4]", ""},
      {"x%%3y", door, "x-4y", ""},                   // a second sign starts a new reference
      {"50% off", door, "50% off", ""},              // no number: the sign stays
      {"end %3", door, "end ", ""},                  // a reference at the very end is dropped
      {"<%99>", door, "<>", "Error: Param #99 Not Found in door\r\n"},
      {"(%9)(%10)", door, "()()", ""},               // SKELANIM and EFFECT write nothing
      {"{%6}", door, "{3}", ""},                     // a choice without a label: its key
      {"{%6}", odd, "{}", "Choice not found in Param List #6 of door\r\n"},
      {"{%2}{%5}", door, "{}{}", ""},                // empty texts
      {"%4\n", door, "\r\n0 {}\r\n1 {}\r\n2 {}\r\n3 {}\r\n4 {}\r\n5 {}\r\n6 {}\r\n\n", ""},
  };
  for (const Case& c : cases) {
    GenerationLog().clear();
    def.code = c.code;
    def.codeLength = static_cast<int>(def.code.size());
    EXPECT_EQ(MachineCodeText(*c.machine, def, "_CUST_"), c.out) << c.code;
    EXPECT_EQ(GenerationLog(), c.log) << c.code;
  }
  // A value whose parameter definition is gone writes nothing for a LIST.
  static_cast<CMachineParam*>(door->FindParam(6))->def = nullptr;
  def.code = "{%6}";
  def.codeLength = 4;
  EXPECT_EQ(MachineCodeText(*door, def, "_CUST_"), "{}");
  // The code is taken to its stored length only.
  def.code = "ab%0cd";
  def.codeLength = 2;
  EXPECT_EQ(MachineCodeText(*door, def, "_CUST_"), "ab");
}

TEST_F(GenerateQuest, MissingFilesNeverEndInCongratulation) {
  BuildSmallQuest();
  dir.Write("rozizuzi/bank/k0809_OBJ.tga", "");  // an empty file cannot be copied
  doc.OnGenerateQuest();
  EXPECT_NE(GenerationLog().find(
                "Copy of rozizuzi\\bank\\k0809_OBJ.tga to data\\customQuest\\small\\k0809_OBJ.tga failed\r\n"),
            std::string::npos)
      << GenerationLog();
  ASSERT_EQ(genUi.reports.size(), 1u);
  EXPECT_NE(genUi.reports[0].find("QUEST GENERATION ABORTED."), std::string::npos);
  for (const std::string& text : BoxTexts()) EXPECT_EQ(text.find("Congratulation"), std::string::npos) << text;
  EXPECT_FALSE(dir.Exists("quest/small.mtf"));
}

// A text whose voice the quest's folder lacks is a fault: the package would
// go without it. So is a voice name that is not a plain file name.
TEST_F(GenerateQuest, AVoiceMissingFromTheQuestsFolderAbortsThePackage) {
  BuildSmallQuest();
  ASSERT_TRUE(platform::RemoveFile("data\\customQuest\\small\\grr.mp2"));
  ASSERT_TRUE(platform::RemoveFile("data\\customQuest\\small\\key.mp2"));
  dir.MakeDir("data/customQuest/small/key.mp2");  // a folder is no recording
  QuestInfoText().SetVoiceName("..\\intro");
  doc.OnGenerateQuest();
  EXPECT_EQ(GenerationLog(),
            "Voice file data\\customQuest\\small\\grr.mp2 not found\r\n"
            "Voice file data\\customQuest\\small\\key.mp2 not found\r\n"
            "Name ..\\intro is not a valid file name\r\n");
  ASSERT_EQ(genUi.reports.size(), 1u);
  EXPECT_EQ(genUi.reports[0], GenerationLog() + "\r\n\r\nQUEST GENERATION ABORTED.\r\n");
  EXPECT_FALSE(dir.Exists("quest/small.mtf"));
  EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(GenerateQuest, NamesThatWouldLeaveTheQuestFolderAreRefused) {
  CQuestObject* object = AddObject("sneaky", "ITX");
  SetField(object->mesh, "..\\..\\data");
  Define(kDoor);
  CMachine* door = CreateMachine(Quest().machines, kMachineStateMachine, "door", "door1");
  door->FindParam(1)->SetText("up..there");
  door->FindParam(6)->SetText("1");
  dir.Write("rozizuzi/customMeshes/up..there.o3d", "mesh");
  CustomMeshBank().Scan("rozizuzi\\customMeshes", "o3d");
  ASSERT_GE(CustomMeshBank().FindName("up..there"), 0);
  doc.OnGenerateQuest();
  EXPECT_EQ(GenerationLog(),
            "Name ..\\..\\data is not a valid file name\r\n"
            "Name up..there is not a valid file name\r\n");
  EXPECT_FALSE(dir.Exists("data/customQuest/small/up..there.o3d"));
  EXPECT_FALSE(dir.Exists("quest/small.mtf"));

  // A quest named so generates nothing at all.
  GenerationLog().clear();
  genUi.reports.clear();
  doc.SetPathName("my..quest.qst");
  doc.OnGenerateQuest();
  EXPECT_EQ(GenerationLog(), "Name my..quest is not a valid file name\r\n");
  ASSERT_EQ(genUi.reports.size(), 1u);
}

TEST_F(GenerateQuest, FrameMeshesOfTheEditorsFolderAreCopied) {
  Define(kDoor);
  dir.Write("rozizuzi/customMeshes/lantern.o3d", "lantern");
  dir.Write("data/custom/meshes/barrel.o3d", "barrel");
  CustomMeshBank().Scan("data\\custom\\meshes", "o3d");
  CustomMeshBank().ScanMore("rozizuzi\\customMeshes", "o3d");
  CreateMachine(Quest().machines, kMachineStateMachine, "door", "a")->FindParam(1)->SetText("LANTERN");
  CreateMachine(Quest().machines, kMachineStateMachine, "door", "b")->FindParam(1)->SetText("barrel");
  doc.OnGenerateQuest();
  EXPECT_EQ(dir.Read("data/customQuest/small/LANTERN.o3d"), "lantern");
  EXPECT_FALSE(dir.Exists("data/customQuest/small/barrel.o3d"));  // a game mesh stays in the game
}

TEST_F(GenerateQuest, RunningOutOfMemoryIsALoggedFault) {
  BuildSmallQuest();
  genUi.failAtStep = 2;  // while the rooms are exported
  EXPECT_NO_THROW(doc.OnGenerateQuest());
  EXPECT_NE(GenerationLog().find("Not enough memory to generate quest small\r\n"), std::string::npos)
      << GenerationLog();
  ASSERT_EQ(genUi.reports.size(), 1u);
  EXPECT_NE(genUi.reports[0].find("QUEST GENERATION ABORTED."), std::string::npos);
  EXPECT_FALSE(genUi.shown);
  EXPECT_FALSE(dir.Exists("quest/small.mtf"));
  for (const auto& e : platform::FindFiles("data\\customQuest\\small\\*.tmp*")) ADD_FAILURE() << e.name;

  // The next generation runs as usual.
  genUi.failAtStep = 0;
  genUi.reports.clear();
  doc.OnGenerateQuest();
  EXPECT_TRUE(dir.Exists("quest/small.mtf")) << GenerationLog();
}

TEST_F(GenerateQuest, AScriptThatCannotBeWrittenStopsBeforePacking) {
  // A folder stands where the script goes: the finished script cannot take its place.
  dir.MakeDir("data/customQuest/small/quest4.spt/inside");
  doc.OnGenerateQuest();
  EXPECT_EQ(GenerationLog().rfind("Error while saving data\\customQuest\\small\\quest4.spt, error = ", 0), 0u)
      << GenerationLog();
  ASSERT_EQ(genUi.reports.size(), 1u);
  EXPECT_FALSE(genUi.shown);
  EXPECT_TRUE(dir.Exists("data/customQuest/small/quest3.spt"));
  EXPECT_FALSE(dir.Exists("quest/small.mtf"));
  for (const auto& e : platform::FindFiles("data\\customQuest\\small\\*.tmp*")) ADD_FAILURE() << e.name;
}

// Generation writes a file for each of its many rooms, twice (the second time
// replacing each): within a low limit of open files, since no file it saves
// holds a descriptor until the end.
TEST_F(GenerateQuest, AQuestOfManyFilesGeneratesWithinAFewDescriptors) {
  constexpr int kRooms = 150;
  for (int r = 0; r < kRooms; ++r) AddRoom("room" + std::to_string(r), r % 7, 0);
  ASSERT_LT(testsupport::OpenDescriptorCount(), 40) << "the limit below would not be low";
  {
    testsupport::ScopedOpenFileLimit limit(64);
    ASSERT_TRUE(limit.set());
    for (int run = 0; run < 2; ++run) {
      ui.boxes.clear();
      doc.OnGenerateQuest();
      EXPECT_EQ(GenerationLog(), "") << "run " << run;
      EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Congratulation ! Quest Generation competed successfully."})
          << "run " << run;
    }
    platform::SaveBatch::WaitForReleasedFiles();
  }
  EXPECT_TRUE(dir.Exists("data/customQuest/small/_CUST_room149.cdf"));
  EXPECT_EQ(EntryNames(ReadBytes("quest/small.mtf")).size(), std::size_t{kRooms + 7 + 16 + 1});
}

// A crash before the end leaves temporaries ("<name>.tmp<n>") beside the
// files. None goes into the package; those of the quest's own files go when
// those files are generated again; any other stays where it is.
TEST_F(GenerateQuest, TemporariesLeftByACrashAreNeverPacked) {
  BuildSmallQuest();
  doc.OnGenerateQuest();
  ASSERT_EQ(GenerationLog(), "");
  const std::vector<std::string> clean = EntryNames(ReadBytes("quest/small.mtf"));
  const char* const ours[] = {"data/customQuest/small/_CUST_crypt.cdf.tmp4242",
                              "data/customQuest/small/quest0.spt.tmp17",
                              "data/customQuest/small/keymesh.o3d.tmp0",
                              "quest/small.mtf.tmp123456"};
  // Temporaries of files this generation does not write (a voice, a texture
  // already copied, a room gone), and a name that only looks like one.
  const char* const others[] = {"data/customQuest/small/door.mp2.tmp99", "data/customQuest/small/k0803_OBJ.tga.tmp999999",
                                "data/customQuest/small/gone.cdf.tmp5"};
  for (const char* name : ours) dir.Write(name, "half a file");
  for (const char* name : others) dir.Write(name, "half a file");
  dir.Write("data/customQuest/small/notes.tmp5.txt", "the author's notes");

  ui.boxes.clear();
  doc.OnGenerateQuest();
  ASSERT_EQ(GenerationLog(), "");
  ASSERT_EQ(BoxTexts(), std::vector<std::string>{"Congratulation ! Quest Generation competed successfully."});
  std::vector<std::string> expected = clean;
  expected.insert(expected.begin() + 7, "data\\customQuest\\notes.tmp5.txt");  // after the scripts
  EXPECT_EQ(EntryNames(ReadBytes("quest/small.mtf")), expected);
  for (const char* name : ours) EXPECT_FALSE(dir.Exists(name)) << name;
  for (const char* name : others) EXPECT_EQ(dir.Read(name), "half a file") << name;
}

// A script gives every name and text between braces and cannot escape one:
// a quest holding a brace or a control character where a script would write
// it is not generated at all, and the log names the record and the field.
struct UnscriptableCase {
  const char* what;
  std::function<void(FakeGenerationUiRef)> spoil;
  const char* logged;
};

CRoom* RoomNamed(std::string_view name) {
  for (CRoom* room = Quest().rooms; room; room = room->next)
    if (FieldText(room->name) == name) return room;
  return nullptr;
}

CMachineParam* DoorParam(int number) {
  for (CMachine* m = Quest().machines; m; m = m->next)
    if (FieldText(m->name) == "door1") return m->FindParam(number);
  return nullptr;
}

class GenerateRefusesUnscriptable : public GenerateQuest, public ::testing::WithParamInterface<UnscriptableCase> {};

TEST_P(GenerateRefusesUnscriptable, NothingIsWrittenAndTheLogNamesIt) {
  BuildSmallQuest();
  GetParam().spoil(genUi);
  doc.OnGenerateQuest();
  EXPECT_EQ(GenerationLog(), GetParam().logged);
  ASSERT_EQ(genUi.reports.size(), 1u);
  EXPECT_EQ(genUi.reports[0], GenerationLog() + "\r\n\r\nQUEST GENERATION ABORTED.\r\n");
  for (const char* file : {"data/customQuest/small/quest0.spt", "data/customQuest/small/quest3.spt",
                           "data/customQuest/small/_CUST_camp.cdf", "quest/small.mtf"})
    EXPECT_FALSE(dir.Exists(file)) << file;
  EXPECT_TRUE(BoxTexts().empty());
}

const UnscriptableCase kUnscriptable[] = {
    {"room name", [](FakeGenerationUiRef) { SetField(RoomNamed("hall")->name, "ha}ll"); },
     "Room ha}ll: the name holds \"}\", which a quest script cannot hold\r\n"},
    {"room text", [](FakeGenerationUiRef) { RoomNamed("crypt")->text.Set(kLanguageFrench, "Crypte {vieille}"); },
     "R_crypt: the French text holds \"{\", which a quest script cannot hold\r\n"},
    {"voice name",
     [](FakeGenerationUiRef) { FindQuestObject(Quest().questObjects, "key")->name.SetVoiceName("ke\x01y"); },
     "O_key:Name: the voice name holds a control character (code 1), which a quest script cannot hold\r\n"},
    {"object parent",
     [](FakeGenerationUiRef) { SetField(FindQuestObject(Quest().questObjects, "gem")->parent, "IT{GEM"); },
     "Object gem: the parent holds \"{\", which a quest script cannot hold\r\n"},
    {"monster class",
     [](FakeGenerationUiRef) { SetField(FindMonster(Quest().monsters, "grunt")->monsterClass, "orc\t"); },
     "Monster grunt: the class holds a control character (code 9), which a quest script cannot hold\r\n"},
    {"monster gift", [](FakeGenerationUiRef) { SetField(FindMonster(Quest().monsters, "trader")->gift, "SWORD}"); },
     "Monster trader: the gift holds \"}\", which a quest script cannot hold\r\n"},
    {"machine value", [](FakeGenerationUiRef) { DoorParam(1)->SetText("door}mesh"); },
     "Machine door1: the parameter 1 holds \"}\", which a quest script cannot hold\r\n"},
    {"machine text", [](FakeGenerationUiRef) {
       static_cast<CMachineParamText*>(DoorParam(4))->value.Set(kLanguageEnglish, "Open\x1b!");
     },
     "T_door1:4: the English text holds a control character (code 27), which a quest script cannot hold\r\n"},
    {"author typed in the generation dialog", [](FakeGenerationUiRef ui) { ui.newAuthor = "Ann {the bold}"; },
     "Author: the English text holds \"{\", which a quest script cannot hold\r\n"},
};

INSTANTIATE_TEST_SUITE_P(EveryField, GenerateRefusesUnscriptable, ::testing::ValuesIn(kUnscriptable),
                         [](const ::testing::TestParamInfo<UnscriptableCase>& param) {
                           std::string name;
                           for (const char c : std::string_view(param.param.what))
                             name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                           return name;
                         });

// Line breaks and tabs inside a text are the text's own: they are written.
TEST_F(GenerateQuest, TextsKeepTheirLineBreaksAndTabs) {
  BuildSmallQuest();
  RoomNamed("crypt")->text.Set(kLanguageEnglish, "Old\r\ncrypt\tbelow");
  doc.OnGenerateQuest();
  EXPECT_EQ(GenerationLog(), "");
  EXPECT_NE(dir.Read("data/customQuest/small/quest0.spt").find("\t\t\t1 {Old\r\ncrypt\tbelow}\r\n"), std::string::npos);
}

// Generation keeps what the user set on the files it replaces: a script that
// is a link is written through it, into the file it names, and a room file
// and a package kept private stay private. The package holds what was made.
TEST_F(GenerateQuest, GeneratedFilesKeepTheirLinksAndPermissions) {
  BuildSmallQuest();
  dir.Write("shared/quest0.spt", "an older script");
  ASSERT_EQ(::symlink("../../../shared/quest0.spt", dir.Native("data/customQuest/small/quest0.spt").c_str()), 0);
  const char* const privateFiles[] = {"data/customQuest/small/_CUST_hall.cdf", "quest/small.mtf"};
  for (const char* name : privateFiles) {
    dir.Write(name, "an older one");
    ASSERT_EQ(::chmod(dir.Native(name).c_str(), 0600), 0) << name;
  }

  doc.OnGenerateQuest();
  EXPECT_EQ(GenerationLog(), "");
  ASSERT_EQ(BoxTexts(), std::vector<std::string>{"Congratulation ! Quest Generation competed successfully."});
  platform::SaveBatch::WaitForReleasedFiles();
  struct stat st {};
  ASSERT_EQ(::lstat(dir.Native("data/customQuest/small/quest0.spt").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode)) << "the link was replaced";
  EXPECT_EQ(dir.Read("shared/quest0.spt"), Fixture("small_quest0.spt"));
  for (const char* name : privateFiles) {
    ASSERT_EQ(::stat(dir.Native(name).c_str(), &st), 0) << name;
    EXPECT_EQ(st.st_mode & 07777, 0600u) << name;
  }
  EXPECT_NE(dir.Read("data/customQuest/small/_CUST_hall.cdf"), "an older one");
  ASSERT_EQ(MtfOpenArchive("quest\\small.mtf", 0), 1);
  MtfFilePtr script(MtfOpen("data\\customQuest\\quest0.spt", "rb"));
  ASSERT_NE(script, nullptr);
  std::string bytes(script->size, '\0');
  bytes.resize(MtfRead(bytes.data(), 1, bytes.size(), script.get()));
  EXPECT_EQ(bytes, Fixture("small_quest0.spt"));
  for (const char* folder : {"shared\\*.tmp*", "data\\customQuest\\small\\*.tmp*", "quest\\*.tmp*"})
    for (const auto& e : platform::FindFiles(folder)) ADD_FAILURE() << e.name;
}

}  // namespace
