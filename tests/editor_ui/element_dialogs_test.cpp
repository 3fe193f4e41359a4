// The quest object, monster, machine and room dialogs: their checks in
// order, what they show, what the commands store on OK, and that Cancel
// changes nothing.
#include <algorithm>
#include <functional>

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "datafiles/item_object_bytes.h"
#include "datafiles/item_object_table.h"
#include "datafiles/language_table.h"
#include "datafiles/monster_class_table.h"
#include "editor/element_editing.h"
#include "editor/element_pickers.h"
#include "editor/kelvar_commands.h"
#include "editor/line_text_dlg.h"
#include "editor/machine_instances_dlg.h"
#include "editor/machine_properties_dlg.h"
#include "editor/monster_dlg.h"
#include "editor/monster_instances_dlg.h"
#include "editor/new_machine_dlg.h"
#include "editor/object_properties_dlg.h"
#include "editor/param_dlgs.h"
#include "editor/quest_tree_ctrl.h"
#include "editor/room_dlg.h"
#include "editor/virtual_object_dlg.h"
#include "kelvar_fixture.h"
#include "quest/fixed_field.h"
#include "quest/kelvar_doc.h"
#include "quest/machine.h"
#include "quest/monster.h"
#include "quest/quest_lists.h"
#include "quest/quest_object.h"
#include "quest/room.h"
#include "support/bytes.h"
#include "user_input.h"

namespace kelvartest {
namespace {

using namespace kelvar;
namespace ui = platform::ui;

constexpr const char* kGadgetMachine =
    "STATE_MACHINE { KEY { gadget } COMMENT [Every kind of value.] "
    "PARAM { KEY { 1 } TYPE { FRAME } COMMENT [Frame] DISPLAY {} DEFAULT { portal } } "
    "PARAM { KEY { 2 } TYPE { OBJECT } COMMENT [Object] } "
    "PARAM { KEY { 3 } TYPE { SOUND } COMMENT [Sound] } "
    "PARAM { KEY { 4 } TYPE { INT } COMMENT [Count] DEFAULT { 3 } } "
    "PARAM { KEY { 5 } TYPE { ALPHA } COMMENT [Word] } "
    "PARAM { KEY { 6 } TYPE { SKELFILE } COMMENT [Skeleton file] } "
    "PARAM { KEY { 7 } TYPE { SKELNAME } COMMENT [Skeleton] } "
    "PARAM { KEY { 8 } TYPE { SKELANIM } COMMENT [Animation] DEFAULT { walk } } "
    "PARAM { KEY { 10 } TYPE { MONSTER } COMMENT [Guard] } "
    "PARAM { KEY { 11 } TYPE { TEXT } COMMENT [Words] } "
    "PARAM { KEY { 12 } TYPE { LIST } COMMENT [Mood] LIST [calm=Calm] LIST [angry=Angry] } }";

struct ClassSpec {
  const char* name;
  const char* display;
  int kind, lifeMin, lifeMax, damageMin, damageMax;
};

void SetClasses(const std::vector<ClassSpec>& classes) {
  testsupport::Bytes b;
  b.u16(1).u32(static_cast<std::uint32_t>(classes.size()));
  for (const ClassSpec& c : classes) {
    b.u16(1).fixed(c.name, 32).fixed(c.display, 32).u16(0).u16(static_cast<std::uint16_t>(c.kind));
    b.i32(c.lifeMin).i32(c.lifeMax).i32(0).i32(0).i32(c.damageMin).i32(c.damageMax);
    for (int i = 0; i < 3; ++i) b.u16(0);
    for (int i = 0; i < 12; ++i) b.i32(0);
    b.fixed("", 64).f32(0).u16(0).i32(0).i32(0);
  }
  ASSERT_TRUE(g_monsterClassTable.Read(std::span<const std::uint8_t>(b.data())));
}

class ElementDialogsTest : public KelvarTest {
 protected:
  void SetUp() override {
    KelvarTest::SetUp();
    ResetPickers();
    WriteQuest("castle.qst", {{"gate", "bell"}, {"orc"}, {"ruby", "lamp"}, {"hall", "cellar"}});
    dir.Write("rozizuzi/stateMachine/gadget.qsm", std::string_view(kGadgetMachine));
    ASSERT_TRUE(StartWithModes({"castle.qst"}));
    g_languageTable.SetLanguage(1);
    SetClasses({{"GOBLIN", "Goblin", 0, 10, 20, 5, 9}, {"GHOST", "Ghost", -1, 0, 3, 7, 11}});
    ASSERT_TRUE(g_itemObjectTable.Read(itembytes::File(
        {itembytes::Row(itembytes::Distinct("SWORD"), 9), itembytes::Row(itembytes::Distinct("KEY"), 9)})));
  }
  void TearDown() override {
    ResetPickers();
    g_monsterClassTable.Free();
    g_itemObjectTable.Free();
    KelvarTest::TearDown();
  }
  std::vector<std::string> BoxesSince(std::size_t from) const {
    std::vector<std::string> texts = BoxTexts();
    return {texts.begin() + static_cast<std::ptrdiff_t>(std::min(from, texts.size())), texts.end()};
  }
};

// ---- Quest objects ---------------------------------------------------------

TEST_F(ElementDialogsTest, ObjectChecksRunInOrder) {
  Pickers().itemObject = [](std::string_view) { return std::optional<std::string>("KEY"); };
  const struct {
    const char* key;
    bool origin;
    const char* message;
  } cases[] = {
      {"", true, "Invalid key : only  characters 'A-'Z' and '0-'9'  are allowed in keys."},
      {"my key", true, "Invalid key : only  characters 'A-'Z' and '0-'9'  are allowed in keys."},
      {"coin", false, "The origin field must not be empty. Click on the button labelled \"Origin\" and select an "
                      "object in the list."},
      {"sword", true, "Invalid key: the key is empty or another object already has this key."},
      {"LAMP", true, "Invalid key: the key is empty or another object already has this key."},
  };
  for (const auto& c : cases) {
    const std::size_t before = BoxTexts().size();
    script.AnswerDialog(ui::kDialogOk, [&](ui::Dialog& d) {
      auto& dialog = dynamic_cast<CObjectPropertiesDlg&>(d);
      dialog.KeyEdit()->setText(c.key);
      if (c.origin) dialog.OnOrigin();
    });
    ASSERT_TRUE(Send(kCmdObjectCreate));
    EXPECT_EQ(BoxesSince(before), std::vector<std::string>{c.message}) << c.key;
    EXPECT_TRUE(script.dialogs.back().refusedOk);
  }
  EXPECT_EQ(ObjectKeys(), (std::vector<std::string>{"ruby", "lamp"}));
  EXPECT_FALSE(Modified());
}

TEST_F(ElementDialogsTest, CreatedObjectTakesTheFieldsAndItsTreeItem) {
  Pickers().itemObject = [](std::string_view current) {
    EXPECT_EQ(current, "");
    return std::optional<std::string>("KEY");
  };
  std::string description;
  bool questChecked = false;
  script.AnswerDialog(ui::kDialogOk, [&](ui::Dialog& d) {
    auto& dialog = dynamic_cast<CObjectPropertiesDlg&>(d);
    questChecked = dialog.QuestCheck()->isChecked();
    dialog.KeyEdit()->setText("coin");
    dialog.OnOrigin();
    description = dialog.DescriptionEdit()->toPlainText().toStdString();
    dialog.name.Set(1, "Gold coin");
  });
  ASSERT_TRUE(Send(kCmdObjectCreate));
  EXPECT_TRUE(questChecked) << "a new object starts as a quest object";
  EXPECT_FALSE(description.empty()) << "the origin's description is shown";
  CQuestObject* coin = Quest().questObjects;
  EXPECT_STREQ(coin->key, "coin");
  EXPECT_STREQ(coin->parent, "KEY");
  EXPECT_EQ(coin->questFlag, 32);
  EXPECT_EQ(coin->isVirtual, 0);
  EXPECT_STREQ(coin->name.Get(1), "Gold coin");
  EXPECT_EQ(TreeTexts(kTreeObjects).back(), "coin");
  EXPECT_TRUE(Modified());
}

TEST_F(ElementDialogsTest, CancellingTheSpriteClearsItAndFreesTheQuestBox) {
  CQuestObject* ruby = Quest().questObjects;
  SetField(ruby->sprite.name, "USED");
  ruby->questFlag = 32;
  Pickers().sprite = [](const TrispriteRecord&) { return std::optional<TrispriteRecord>(); };
  bool enabledBefore = true, enabledAfter = false;
  SelectInTree(kTreeObjects, "ruby");
  script.AnswerDialog(ui::kDialogOk, [&](ui::Dialog& d) {
    auto& dialog = dynamic_cast<CObjectPropertiesDlg&>(d);
    enabledBefore = dialog.QuestCheck()->isEnabled();
    dialog.OnSprite();
    enabledAfter = dialog.QuestCheck()->isEnabled();
    dialog.QuestCheck()->setChecked(false);
  });
  ASSERT_TRUE(Send(kCmdObjectProperties));
  EXPECT_FALSE(enabledBefore) << "a custom sprite fixes the Quest box";
  EXPECT_TRUE(enabledAfter);
  EXPECT_STREQ(ruby->sprite.name, "FREE");
  EXPECT_EQ(ruby->questFlag, 0);
  EXPECT_TRUE(Modified());
}

TEST_F(ElementDialogsTest, ChosenSpriteIsMarkedUsedAndCancelOfTheDialogKeepsTheObject) {
  CQuestObject* ruby = Quest().questObjects;
  TrispriteRecord cell;
  cell.column = 3;
  cell.row = 4;
  Pickers().sprite = [&](const TrispriteRecord&) { return std::optional<TrispriteRecord>(cell); };
  SelectInTree(kTreeObjects, "ruby");
  script.AnswerDialog(ui::kDialogCancel, [](ui::Dialog& d) {
    dynamic_cast<CObjectPropertiesDlg&>(d).OnSprite();
    dynamic_cast<CObjectPropertiesDlg&>(d).KeyEdit()->setText("gem");
  });
  ASSERT_TRUE(Send(kCmdObjectProperties));
  EXPECT_STREQ(ruby->sprite.name, "FREE");
  EXPECT_STREQ(ruby->key, "ruby");
  EXPECT_FALSE(Modified());
  script.AnswerDialog(ui::kDialogOk, [](ui::Dialog& d) { dynamic_cast<CObjectPropertiesDlg&>(d).OnSprite(); });
  ASSERT_TRUE(Send(kCmdObjectProperties));
  EXPECT_STREQ(ruby->sprite.name, "USED");
  EXPECT_EQ(ruby->sprite.column, 3);
  EXPECT_EQ(ruby->questFlag, 32);
}

TEST_F(ElementDialogsTest, VirtualObjectsNeedOnlyAnUnusedKey) {
  const struct {
    const char* key;
    bool accepted;
  } cases[] = {{"", false}, {"Ruby", false}, {"key", false}, {"a ghost", true}};
  for (const auto& c : cases) {
    const std::size_t before = BoxTexts().size();
    script.AnswerDialog(ui::kDialogOk,
                        [&](ui::Dialog& d) { dynamic_cast<CVirtualObjectDlg&>(d).KeyEdit()->setText(c.key); });
    ASSERT_TRUE(Send(kCmdObjectCreateVirtual));
    EXPECT_EQ(BoxesSince(before).size(), c.accepted ? 0u : 1u) << c.key;
  }
  CQuestObject* ghost = Quest().questObjects;
  EXPECT_STREQ(ghost->key, "a ghost");
  EXPECT_EQ(ghost->isVirtual, 1);
  EXPECT_STREQ(ghost->sprite.name, "FREE");
  EXPECT_EQ(ghost->questFlag, 0);
}

// ---- Monsters --------------------------------------------------------------

TEST_F(ElementDialogsTest, OriginInformationScalesLifeAndDamage) {
  EXPECT_EQ(MonsterOriginInformation(g_monsterClassTable.Find("GOBLIN")), "Goblin\r\nLife :14-28\r\nDamage : 4-7");
  // Kind below 0 keeps its damage; a life below 1 is raised to 1 first.
  EXPECT_EQ(MonsterOriginInformation(g_monsterClassTable.Find("GHOST")), "Ghost\r\nLife :1-3\r\nDamage : 7-11");
  EXPECT_EQ(MonsterOriginInformation(-1), "");
}

TEST_F(ElementDialogsTest, MonsterChecksRunInOrder) {
  Pickers().monsterClass = [](std::string_view) { return std::optional<std::string>("GOBLIN"); };
  const std::string taken = "A monster already has this name. Please choose another name.";
  const struct {
    const char* key;
    const char* min;
    const char* max;
    const char* life;
    bool origin;
    std::string message;
  } cases[] = {
      {"ORC", "50", "40", "10", true, taken},
      {"goblin", "0", "0", "10", true, taken},
      {"big orc", "50", "40", "10", true, "Invalid key : only  characters 'A-'Z' and '0-'9'  are allowed in keys."},
      {"troll", "50", "40", "10", true, "Minimum damages cannot be greather than maximum damages."},
      {"", "1", "2", "10", true, "The key must not be empty."},
      {"troll", "1", "2", "10", false,
       "The  origin field must not be empty. Click on the button labelled \"Origin\" and select a monster in the "
       "list."},
      {"troll", "1", "2", "5000", true, "Enter an integer between 0 and 4000."},
      {"troll", "x", "2", "10", true, "Enter an integer between 0 and 10000."},
  };
  for (const auto& c : cases) {
    const std::size_t before = BoxTexts().size();
    script.AnswerDialog(ui::kDialogOk, [&](ui::Dialog& d) {
      auto& dialog = dynamic_cast<CMonsterDlg&>(d);
      dialog.KeyEdit()->setText(c.key);
      dialog.DamageMinEdit()->setText(c.min);
      dialog.DamageMaxEdit()->setText(c.max);
      dialog.LifeEdit()->setText(c.life);
      if (c.origin) dialog.OnOrigin();
    });
    ASSERT_TRUE(Send(kCmdMonsterAdd));
    EXPECT_EQ(BoxesSince(before), std::vector<std::string>{c.message}) << c.key << " " << c.life;
  }
  EXPECT_EQ(MonsterNames(), std::vector<std::string>{"orc"});
}

TEST_F(ElementDialogsTest, NewMonsterGetsItsFieldsAnInstanceAndATicker) {
  Pickers().monsterClass = [](std::string_view) { return std::optional<std::string>("GOBLIN"); };
  Pickers().questObject = [](std::string_view) { return std::optional<std::string>("ruby"); };
  Quest().questObjects->name.Set(1, "Red ruby");
  bool instancesShown = true;
  int interval = 0;
  std::string info, gift;
  script.AnswerDialog(ui::kDialogOk, [&](ui::Dialog& d) {
    auto& dialog = dynamic_cast<CMonsterDlg&>(d);
    instancesShown = dialog.InstancesButton()->isEnabled();
    interval = dialog.Timers().Interval(CMonsterDlg::kPreviewTimer);
    dialog.KeyEdit()->setText("troll");
    dialog.DamageMinEdit()->setText("3");
    dialog.DamageMaxEdit()->setText("8");
    dialog.LifeEdit()->setText("120");
    dialog.OnOrigin();
    dialog.OnGive();
    info = dialog.OriginInformation()->toPlainText().toStdString();
    gift = dialog.GiftDescription()->text().toStdString();
  });
  ASSERT_TRUE(Send(kCmdMonsterAdd));
  EXPECT_FALSE(instancesShown) << "a new monster has no instances to list";
  EXPECT_EQ(interval, 50);
  EXPECT_EQ(info, "Goblin\nLife :14-28\nDamage : 4-7");
  EXPECT_EQ(gift, "Red ruby");
  CMonster* troll = Quest().monsters;
  EXPECT_STREQ(troll->key, "troll");
  EXPECT_STREQ(troll->monsterClass, "GOBLIN");
  EXPECT_STREQ(troll->gift, "ruby");
  EXPECT_EQ(troll->life, 120);
  EXPECT_EQ(troll->damage1, 3);
  EXPECT_EQ(troll->damage2, 8);
  ASSERT_NE(troll->instances, nullptr);
  EXPECT_STREQ(troll->instances->name, "troll_0");
  EXPECT_EQ(TreeTexts(kTreeMonsters).back(), "troll");
  EXPECT_TRUE(Modified());
}

TEST_F(ElementDialogsTest, MonsterInstancesAreAddedAndDeletedAtOnce) {
  SelectInTree(kTreeMonsters, "orc");
  CMonster* orc = Quest().monsters;
  std::vector<std::string> listed;
  script.AnswerDialog(ui::kDialogCancel, [&](ui::Dialog& d) {
    auto& dialog = dynamic_cast<CMonsterDlg&>(d);
    EXPECT_TRUE(dialog.InstancesButton()->isEnabled());
    script.AnswerDialog(ui::kDialogOk, [&](ui::Dialog& inner) {
      auto& instances = dynamic_cast<CMonsterInstancesDlg&>(inner);
      instances.OnAdd();
      instances.List()->setCurrentRow(0);
      instances.OnDel();
      for (int i = 0; i < instances.List()->count(); ++i)
        listed.push_back(instances.List()->item(i)->text().toStdString());
    });
    dialog.OnInstances();
  });
  ASSERT_TRUE(Send(kCmdMonsterProperties));
  EXPECT_EQ(listed, std::vector<std::string>{"orc_1"});
  ASSERT_NE(orc->instances, nullptr);
  EXPECT_STREQ(orc->instances->name, "orc_1");
  EXPECT_EQ(orc->instances->next, nullptr);
  EXPECT_TRUE(Modified()) << "instances change the quest even when the monster dialog is cancelled";
}

// ---- Machines --------------------------------------------------------------

class MachineDialogsTest : public ElementDialogsTest {
 protected:
  // Chooses the definition in the new machine dialog.
  static void Choose(CNewMachineDlg& dialog, std::string_view type) {
    for (int i = 0; i < dialog.List()->count(); ++i)
      if (dialog.List()->item(i)->text().toStdString() == type) dialog.List()->setCurrentRow(i);
  }
};

TEST_F(MachineDialogsTest, NewMachineChecksRunInOrder) {
  const struct {
    const char* key;
    const char* type;
    const char* message;
  } cases[] = {
      {"GATE", "door", "Name duplication. Please choose another name..."},
      {"a gate", "door", "Invalid key : only  characters 'A-'Z' and '0-'9'  are allowed in keys."},
      {"tower", nullptr, "Please select a machine and give it a name."},
      {"", "door", "Please select a machine and give it a name."},
  };
  for (const auto& c : cases) {
    const std::size_t before = BoxTexts().size();
    script.AnswerDialog(ui::kDialogOk, [&](ui::Dialog& d) {
      auto& dialog = dynamic_cast<CNewMachineDlg&>(d);
      if (c.type) Choose(dialog, c.type);
      dialog.KeyEdit()->setText(c.key);
    });
    ASSERT_TRUE(Send(kCmdMachineAdd));
    EXPECT_EQ(BoxesSince(before), std::vector<std::string>{c.message}) << c.key;
  }
  EXPECT_EQ(MachineNames(), (std::vector<std::string>{"gate", "bell"}));
}

TEST_F(MachineDialogsTest, NewMachineShowsTheDefinitionThenItsProperties) {
  std::string comment;
  std::vector<std::string> properties;
  script.AnswerDialog(ui::kDialogOk, [&](ui::Dialog& d) {
    auto& dialog = dynamic_cast<CNewMachineDlg&>(d);
    Choose(dialog, "gadget");
    comment = dialog.CommentEdit()->toPlainText().toStdString();
    for (int i = 0; i < dialog.Properties()->topLevelItemCount(); ++i)
      properties.push_back(dialog.Properties()->topLevelItem(i)->text(0).toStdString());
    dialog.KeyEdit()->setText("thing");
  });
  script.AnswerDialog(ui::kDialogOk);
  ASSERT_TRUE(Send(kCmdMachineAdd));
  EXPECT_EQ(comment, "Every kind of value.");
  ASSERT_EQ(properties.size(), 11u);
  EXPECT_NE(std::find(properties.begin(), properties.end(), "Frame"), properties.end());
  EXPECT_NE(std::find(properties.begin(), properties.end(), "Mood"), properties.end());
  ASSERT_EQ(script.dialogs.size(), 2u);
  EXPECT_EQ(script.dialogs[1].title, "Machine properties...");
  CMachine* thing = FindMachineNamed(Quest().machines, "thing");
  ASSERT_NE(thing, nullptr);
  EXPECT_STREQ(thing->typeKey, "gadget");
  ASSERT_NE(thing->instances, nullptr);
  EXPECT_EQ(TreeTexts(kTreeMachines).back(), "thing");
  EXPECT_TRUE(Modified());
}

TEST_F(MachineDialogsTest, CancellingThePropertiesKeepsTheNewMachineWithoutInstance) {
  script.AnswerDialog(ui::kDialogOk, [&](ui::Dialog& d) {
    Choose(dynamic_cast<CNewMachineDlg&>(d), "door");
    dynamic_cast<CNewMachineDlg&>(d).KeyEdit()->setText("tower");
  });
  script.AnswerDialog(ui::kDialogCancel);
  ASSERT_TRUE(Send(kCmdMachineAdd));
  CMachine* tower = FindMachineNamed(Quest().machines, "tower");
  ASSERT_NE(tower, nullptr);
  EXPECT_EQ(tower->instances, nullptr);
  EXPECT_EQ(TreeTexts(kTreeMachines).back(), "tower");
}

TEST_F(MachineDialogsTest, RenamingAcceptsItsOwnNameAndRefusesAnother) {
  SelectInTree(kTreeMachines, "bell");
  script.AnswerDialog(ui::kDialogOk, [](ui::Dialog& d) {
    EXPECT_EQ(dynamic_cast<CMachinePropertiesDlg&>(d).KeyEdit()->text(), "bell");
  });
  ASSERT_TRUE(Send(kCmdMachineProperties));
  EXPECT_TRUE(BoxTexts().empty());
  EXPECT_FALSE(Modified()) << "OK without a change changes nothing";
  script.AnswerDialog(ui::kDialogOk,
                      [](ui::Dialog& d) { dynamic_cast<CMachinePropertiesDlg&>(d).KeyEdit()->setText("Gate"); });
  ASSERT_TRUE(Send(kCmdMachineProperties));
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Name duplication. Please choose another name..."});
  script.AnswerDialog(ui::kDialogOk,
                      [](ui::Dialog& d) { dynamic_cast<CMachinePropertiesDlg&>(d).KeyEdit()->setText("chime"); });
  ASSERT_TRUE(Send(kCmdMachineProperties));
  EXPECT_EQ(MachineNames(), (std::vector<std::string>{"gate", "chime"}));
  EXPECT_EQ(TreeTexts(kTreeMachines), (std::vector<std::string>{"gate", "chime"}));
  EXPECT_TRUE(Modified());
}

class ParameterEditorsTest : public MachineDialogsTest {
 protected:
  void SetUp() override {
    MachineDialogsTest::SetUp();
    thing = CreateMachine(Quest().machines, kMachineStateMachine, "gadget", "thing");
    QuestTree(kTreeMachines).InsertItem("thing");
    Pickers().frame = [](std::string_view) { return std::optional<std::string>("arch"); };
    Pickers().questObject = [](std::string_view) { return std::optional<std::string>("ruby"); };
    Pickers().sound = [](std::string_view) { return std::optional<std::string>("BELL"); };
    Pickers().skeletonClass = [](std::string_view) { return std::optional<std::string>("wolf"); };
    Pickers().questMonster = [](std::string_view) { return std::optional<std::string>("orc"); };
    Pickers().choice = [](const MachineParamDef& def, std::string_view) {
      for (const ParamChoice* c = def.choices; c; c = c->next)
        if (std::string_view(c->key) == "angry") return std::optional<std::string>(c->key);
      return std::optional<std::string>();
    };
  }
  // Runs the properties dialog; `inside` edits the rows.
  void Edit(int button, const std::function<void(CMachinePropertiesDlg&)>& inside) {
    SelectInTree(kTreeMachines, "thing");
    script.AnswerDialog(button, [&](ui::Dialog& d) { inside(dynamic_cast<CMachinePropertiesDlg&>(d)); });
    ASSERT_TRUE(Send(kCmdMachineProperties));
  }
  static int RowOf(const CMachinePropertiesDlg& dialog, int number) {
    for (std::size_t i = 0; i < dialog.Rows().size(); ++i)
      if (dialog.Rows()[i]->number == number) return static_cast<int>(i);
    return -1;
  }
  std::string Value(int number) const { return thing->FindParam(number)->GetText(); }
  CMachine* thing = nullptr;
};

TEST_F(ParameterEditorsTest, EachTypeStoresWhatItsEditorGives) {
  std::string shownCount;
  Edit(ui::kDialogOk, [&](CMachinePropertiesDlg& dialog) {
    EXPECT_EQ(dialog.OriginEdit()->toPlainText(), "Every kind of value.");
    EXPECT_EQ(dialog.TypeEdit()->text(), "gadget");
    for (int number : {1, 2, 3, 10, 12}) dialog.EditRow(RowOf(dialog, number), false);
    script.AnswerDialog(ui::kDialogOk, [](ui::Dialog& d) { dynamic_cast<CParamValueDlg&>(d).ValueEdit()->setText("42"); });
    dialog.EditRow(RowOf(dialog, 4), false);
    script.AnswerDialog(ui::kDialogOk,
                        [](ui::Dialog& d) { dynamic_cast<CParamTextDlg&>(d).ValueEdit()->setText("hello"); });
    dialog.EditRow(RowOf(dialog, 5), false);
    script.AnswerDialog(ui::kDialogOk,
                        [](ui::Dialog& d) { dynamic_cast<CLineTextDlg&>(d).TextEdit()->setPlainText("Keep out"); });
    dialog.EditRow(RowOf(dialog, 11), false);
    dialog.EditRow(RowOf(dialog, 8), false);  // no editor
    dialog.EditRow(RowOf(dialog, 6), false);  // only with Shift
    const QTreeWidgetItem* countRow = dialog.List()->topLevelItem(RowOf(dialog, 4));
    shownCount = countRow->text(1).toStdString();
  });
  EXPECT_EQ(shownCount, "42") << "the row shows the new value";
  const std::pair<int, const char*> expected[] = {{1, "arch"}, {2, "ruby"},  {3, "BELL"},     {4, "42"},
                                                  {5, "hello"}, {8, "walk"}, {10, "orc"},     {11, "Keep out"},
                                                  {12, "angry"}, {6, ""}};
  for (auto [number, value] : expected) EXPECT_EQ(Value(number), value) << number;
  EXPECT_STREQ(static_cast<CMachineParamText*>(thing->FindParam(11))->value.Get(1), "Keep out");
  EXPECT_TRUE(Modified());
}

TEST_F(ParameterEditorsTest, SkeletonNameBringsItsSkeletonFile) {
  Edit(ui::kDialogOk, [&](CMachinePropertiesDlg& dialog) { dialog.EditRow(RowOf(dialog, 7), false); });
  EXPECT_EQ(Value(7), "wolf");
  EXPECT_EQ(Value(6), "MULTIPNJ") << "no skeleton file for wolf";
  dir.Write("data/skeletons/wolf/wolf.ska", "ska");
  Edit(ui::kDialogOk, [&](CMachinePropertiesDlg& dialog) { dialog.EditRow(RowOf(dialog, 7), false); });
  EXPECT_EQ(Value(6), "wolf");
  Edit(ui::kDialogOk, [&](CMachinePropertiesDlg& dialog) {
    script.AnswerDialog(ui::kDialogOk,
                        [](ui::Dialog& d) { dynamic_cast<CParamTextDlg&>(d).ValueEdit()->setText("custom"); });
    dialog.EditRow(RowOf(dialog, 6), true);  // Shift held
  });
  EXPECT_EQ(Value(6), "custom");
}

TEST_F(ParameterEditorsTest, CancelPutsBackTheValues) {
  thing->FindParam(11)->SetText("Old words");
  Edit(ui::kDialogCancel, [&](CMachinePropertiesDlg& dialog) {
    dialog.EditRow(RowOf(dialog, 1), false);
    script.AnswerDialog(ui::kDialogOk,
                        [](ui::Dialog& d) { dynamic_cast<CLineTextDlg&>(d).TextEdit()->setPlainText("New"); });
    dialog.EditRow(RowOf(dialog, 11), false);
  });
  EXPECT_EQ(Value(1), "portal");
  EXPECT_STREQ(static_cast<CMachineParamText*>(thing->FindParam(11))->value.Get(0), "Old words");
  EXPECT_STREQ(static_cast<CMachineParamText*>(thing->FindParam(11))->value.Get(1), "Old words");
  EXPECT_FALSE(Modified());
}

TEST_F(ParameterEditorsTest, MachineInstancesAreAddedAndDeleted) {
  Edit(ui::kDialogCancel, [&](CMachinePropertiesDlg& dialog) {
    script.AnswerDialog(ui::kDialogOk, [](ui::Dialog& d) {
      auto& instances = dynamic_cast<CMachineInstancesDlg&>(d);
      instances.OnAdd();
      instances.OnAdd();
      instances.List()->setCurrentRow(0);
      instances.OnDelete();
    });
    dialog.OnInstances();
  });
  ASSERT_NE(thing->instances, nullptr);
  EXPECT_STREQ(thing->instances->name, "thing_1");
  EXPECT_EQ(thing->instances->next, nullptr);
  EXPECT_TRUE(Modified());
}

// ---- Rooms -----------------------------------------------------------------

std::vector<std::string> Entries(const QListWidget* list) {
  std::vector<std::string> out;
  for (int i = 0; i < list->count(); ++i) out.push_back(list->item(i)->text().toStdString());
  return out;
}

TEST_F(ElementDialogsTest, RoomChecksRunInOrder) {
  const struct {
    const char* key;
    const char* message;
  } cases[] = {{"HALL", "A room already has this name. Please choose a new name."},
               {"", "The name field must not be empty."}};
  for (const auto& c : cases) {
    const std::size_t before = BoxTexts().size();
    script.AnswerDialog(ui::kDialogOk, [&](ui::Dialog& d) { dynamic_cast<CRoomDlg&>(d).KeyEdit()->setText(c.key); });
    ASSERT_TRUE(Send(kCmdRoomCreate));
    EXPECT_EQ(BoxesSince(before), std::vector<std::string>{c.message}) << c.key;
  }
  // A name from a file longer than 15 characters is shown whole and refused.
  SetField(Quest().rooms->name, "averyveryverylongname");
  SelectInTree(kTreeRooms, "hall");
  std::string shown;
  script.AnswerDialog(ui::kDialogOk,
                      [&](ui::Dialog& d) { shown = dynamic_cast<CRoomDlg&>(d).KeyEdit()->text().toStdString(); });
  ASSERT_TRUE(Send(kCmdRoomProperties));
  EXPECT_EQ(shown, "averyveryverylongname");
  EXPECT_EQ(BoxTexts().back(), "Enter no more than 15 characters.");
  EXPECT_EQ(RoomNames(), (std::vector<std::string>{"averyveryverylongname", "cellar"}));
}

TEST_F(ElementDialogsTest, RoomLevelsFollowTheKindOfRoom) {
  CRoom* hall = Quest().rooms;
  CRoom* cellar = hall->next;
  cellar->level = 2;
  cellar->land = 3;
  cellar->levelFlag = 1;
  SelectInTree(kTreeRooms, "hall");
  script.AnswerDialog(ui::kDialogCancel, [](ui::Dialog& d) {
    auto& dialog = dynamic_cast<CRoomDlg&>(d);
    EXPECT_EQ(Entries(dialog.LevelList()), std::vector<std::string>{"Outside"});
    EXPECT_FALSE(dialog.LevelCheck()->isEnabled());
    EXPECT_TRUE(dialog.EntranceCheck()->isEnabled());
    EXPECT_EQ(dialog.LandList()->count(), 7);
    EXPECT_EQ(dialog.LandList()->currentRow(), 0);
  });
  ASSERT_TRUE(Send(kCmdRoomProperties));
  SelectInTree(kTreeRooms, "cellar");
  script.AnswerDialog(ui::kDialogCancel, [](ui::Dialog& d) {
    auto& dialog = dynamic_cast<CRoomDlg&>(d);
    EXPECT_EQ(Entries(dialog.LevelList()),
              (std::vector<std::string>{"Inside Level 1", "Inside Level 2", "Inside Level 3", "Inside Level 4"}));
    EXPECT_EQ(dialog.LevelList()->currentRow(), 1);
    EXPECT_TRUE(dialog.LevelCheck()->isEnabled());
    EXPECT_TRUE(dialog.LevelCheck()->isChecked());
    EXPECT_FALSE(dialog.EntranceCheck()->isEnabled());
    EXPECT_EQ(dialog.LandList()->currentRow(), 3);
  });
  ASSERT_TRUE(Send(kCmdRoomProperties));
  EXPECT_FALSE(Modified());
}

TEST_F(ElementDialogsTest, NewRoomTakesTheDialogsFieldsAndItsPlaceOnTheMap) {
  mapMode.viewRect = {1000, 2000, 1640, 2480};
  bool checksEnabled = true;
  std::vector<std::string> levels;
  script.AnswerDialog(ui::kDialogOk, [&](ui::Dialog& d) {
    auto& dialog = dynamic_cast<CRoomDlg&>(d);
    levels = Entries(dialog.LevelList());
    checksEnabled = dialog.LevelCheck()->isEnabled() || dialog.EntranceCheck()->isEnabled();
    dialog.KeyEdit()->setText("crypt");
    dialog.LandList()->setCurrentRow(5);
    dialog.LevelList()->setCurrentRow(3);
    EXPECT_TRUE(dialog.LevelCheck()->isEnabled());
    EXPECT_FALSE(dialog.EntranceCheck()->isEnabled());
    dialog.LevelCheck()->setChecked(true);
  });
  ASSERT_TRUE(Send(kCmdRoomCreate));
  EXPECT_EQ(levels.size(), 5u);
  EXPECT_FALSE(checksEnabled) << "both boxes wait for a level";
  CRoom* crypt = Quest().rooms;
  EXPECT_STREQ(crypt->name, "crypt");
  EXPECT_EQ(crypt->land, 5);
  EXPECT_EQ(crypt->level, 3);
  EXPECT_EQ(crypt->levelFlag, 1);
  EXPECT_EQ(crypt->entrance, 0);
  EXPECT_EQ(crypt->left, 1004);
  EXPECT_EQ(crypt->top, 2004);
  EXPECT_EQ(crypt->right, 1004 + 128);
  EXPECT_EQ(TreeTexts(kTreeRooms).back(), "crypt");
  EXPECT_TRUE(Modified());
}

TEST_F(ElementDialogsTest, RoomFilesAreChosenWithTheirFilters) {
  SelectInTree(kTreeRooms, "hall");
  script.AnswerFile(dir.Native("nowhere.CDF"));
  script.CancelFile();
  std::string shown;
  script.AnswerDialog(ui::kDialogCancel, [&](ui::Dialog& d) {
    auto& dialog = dynamic_cast<CRoomDlg&>(d);
    dialog.OnImport();
    dialog.OnLoadBank();
    shown = dialog.CdfEdit()->text().toStdString();
    EXPECT_EQ(dialog.cbsPath, "");
  });
  ASSERT_TRUE(Send(kCmdRoomProperties));
  EXPECT_EQ(shown, dir.Native("nowhere.CDF"));
  ASSERT_EQ(script.fileDialogs.size(), 2u);
  EXPECT_EQ(script.fileDialogs[0].filter, "CDF Files (*.CDF)|*.CDF||");
  EXPECT_EQ(script.fileDialogs[0].defaultExt, ".CDF");
  EXPECT_EQ(script.fileDialogs[1].filter, "CBS Files (*.CBS)|*.CBS||");
  EXPECT_EQ(script.fileDialogs[1].defaultExt, ".CBS");
}

}  // namespace
}  // namespace kelvartest

namespace kelvartest {
namespace {

class MapDoubleClickEditsTest : public ElementDialogsTest {};

TEST_F(MapDoubleClickEditsTest, RoomEditedFromTheMapKeepsItsBlocks) {
  CRoom* hall = Quest().rooms;
  script.AnswerFile(dir.Native("nowhere.CDF"));
  script.AnswerDialog(ui::kDialogOk, [](ui::Dialog& d) {
    auto& dialog = dynamic_cast<kelvar::CRoomDlg&>(d);
    dialog.OnImport();
    dialog.KeyEdit()->setText("great hall");
  });
  EXPECT_TRUE(kelvar::EditRoomProperties(*hall, false));
  EXPECT_TRUE(BoxTexts().empty()) << "no room file is read";
  EXPECT_STREQ(hall->name, "great hall");
  EXPECT_EQ(TreeTexts(kelvar::kTreeRooms).front(), "great hall");
  EXPECT_TRUE(Modified());
}

TEST_F(MapDoubleClickEditsTest, MachineEditedFromTheMapRenamesItsTreeItem) {
  CMachine* bell = FindMachineNamed(Quest().machines, "bell");
  ASSERT_NE(bell, nullptr);
  script.AnswerDialog(ui::kDialogOk, [](ui::Dialog& d) {
    dynamic_cast<kelvar::CMachinePropertiesDlg&>(d).KeyEdit()->setText("chime");
  });
  EXPECT_TRUE(kelvar::EditMachineProperties(*bell));
  EXPECT_EQ(TreeTexts(kelvar::kTreeMachines), (std::vector<std::string>{"gate", "chime"}));
  script.AnswerDialog(ui::kDialogCancel);
  EXPECT_FALSE(kelvar::EditMachineProperties(*bell));
}

}  // namespace
}  // namespace kelvartest

namespace kelvartest {
namespace {

using namespace kelvar;
namespace ui = platform::ui;

// ---- Shown and worked by the user ------------------------------------------
// Each list below takes the focus when its dialog is shown, with nothing
// chosen in it; nothing may act as if the user had chosen its first row.

std::vector<std::string> Rows(const QListWidget& list) {
  std::vector<std::string> out;
  for (int i = 0; i < list.count(); ++i) out.push_back(list.item(i)->text().toStdString());
  return out;
}

TEST_F(MachineDialogsTest, ShownNewMachineDialogWaitsForAChosenType) {
  std::size_t boxesBefore = 0;
  script.ShowDialog([&](ui::Dialog& d) {
    auto& dialog = dynamic_cast<CNewMachineDlg&>(d);
    EXPECT_EQ(QApplication::focusWidget(), dialog.List());
    EXPECT_TRUE(dialog.CommentEdit()->toPlainText().isEmpty()) << "no type is shown before one is chosen";
    TypeInto(*dialog.KeyEdit(), "tower");
    boxesBefore = BoxTexts().size();
    ClickButton(dialog, "&Next");
    EXPECT_FALSE(dialog.HasEnded());
    EXPECT_EQ(BoxesSince(boxesBefore), std::vector<std::string>{"Please select a machine and give it a name."});
    ClickRow(*dialog.List(), "gadget");
    EXPECT_EQ(dialog.CommentEdit()->toPlainText(), "Every kind of value.");
    ClickButton(dialog, "&Next");
    EXPECT_TRUE(dialog.HasEnded());
  });
  script.AnswerDialog(ui::kDialogOk);  // the new machine's properties
  ASSERT_TRUE(Send(kCmdMachineAdd));
  const CMachine* tower = FindMachineNamed(Quest().machines, "tower");
  ASSERT_NE(tower, nullptr);
  EXPECT_STREQ(tower->typeKey, "gadget");
}

TEST_F(ElementDialogsTest, ShownMonsterInstancesDeleteOnlyTheClickedInstance) {
  CMonster* orc = Quest().monsters;
  SelectInTree(kTreeMonsters, "orc");
  script.ShowDialog([&](ui::Dialog& d) {
    script.ShowDialog([&](ui::Dialog& inner) {
      auto& instances = dynamic_cast<CMonsterInstancesDlg&>(inner);
      EXPECT_TRUE(instances.List()->hasFocus());
      ClickButton(instances, "&Del");
      EXPECT_EQ(Rows(*instances.List()), std::vector<std::string>{"orc_0"}) << "nothing selected: nothing deleted";
      ClickButton(instances, "&Add");
      ClickRow(*instances.List(), "orc_0");
      ClickButton(instances, "&Del");
      ClickButton(instances, "&Del");  // the selection went with the instance
      EXPECT_EQ(Rows(*instances.List()), std::vector<std::string>{"orc_1"});
      ClickButton(instances, "OK");
    });
    ClickButton(d, "&Instances...");
    ClickButton(d, "&Cancel");
  });
  ASSERT_TRUE(Send(kCmdMonsterProperties));
  ASSERT_NE(orc->instances, nullptr);
  EXPECT_STREQ(orc->instances->name, "orc_1");
  EXPECT_EQ(orc->instances->next, nullptr);
  EXPECT_TRUE(Modified());
}

TEST_F(MachineDialogsTest, ShownMachineInstancesDeleteOnlyTheClickedInstance) {
  CMachine* gate = FindMachineNamed(Quest().machines, "gate");
  ASSERT_NE(gate, nullptr);
  SelectInTree(kTreeMachines, "gate");
  script.ShowDialog([&](ui::Dialog& d) {
    script.ShowDialog([&](ui::Dialog& inner) {
      auto& instances = dynamic_cast<CMachineInstancesDlg&>(inner);
      ClickButton(instances, "&Delete");
      EXPECT_EQ(Rows(*instances.List()), std::vector<std::string>{"gate_0"});
      ClickRow(*instances.List(), "gate_0");
      ClickButton(instances, "&Delete");
      EXPECT_TRUE(Rows(*instances.List()).empty());
      ClickButton(instances, "OK");
    });
    ClickButton(d, "&Instances");
    ClickButton(d, "&Cancel");
  });
  ASSERT_TRUE(Send(kCmdMachineProperties));
  EXPECT_EQ(gate->instances, nullptr);
  EXPECT_TRUE(Modified());
}

// A box that the level rules clear and disable is stored as shown, whatever
// the file held: outdoors the Level box, in a dungeon the Entrance box.
TEST_F(ElementDialogsTest, ShownRoomDialogStoresTheBoxesAsShown) {
  struct Case {
    CRoom* room;
    int level;
  };
  for (const Case c : {Case{Quest().rooms, 0}, Case{Quest().rooms->next, 2}}) {
    CRoom& room = *c.room;
    room.level = c.level;
    room.levelFlag = room.entrance = 1;
    CurrentDocument()->SetModifiedFlag(false);
    SelectInTree(kTreeRooms, room.name);
    const bool dungeon = c.level > 0;
    script.ShowDialog([dungeon](ui::Dialog& d) {
      auto& dialog = dynamic_cast<CRoomDlg&>(d);
      QCheckBox* cleared = dungeon ? dialog.EntranceCheck() : dialog.LevelCheck();
      QCheckBox* kept = dungeon ? dialog.LevelCheck() : dialog.EntranceCheck();
      EXPECT_FALSE(cleared->isChecked());
      EXPECT_FALSE(cleared->isEnabled());
      EXPECT_TRUE(kept->isChecked());
      ClickButton(dialog, "&OK");
    });
    ASSERT_TRUE(Send(kCmdRoomProperties));
    EXPECT_EQ(dungeon ? room.entrance : room.levelFlag, 0) << room.name;
    EXPECT_EQ(dungeon ? room.levelFlag : room.entrance, 1) << room.name;
    EXPECT_EQ(room.level, c.level);
    EXPECT_TRUE(Modified()) << room.name;
  }
}

// Picking the skeleton the machine already has still brings its skeleton
// file: that change marks the quest on OK, and Cancel puts it back.
TEST_F(ParameterEditorsTest, ShownPropertiesAccountForEveryValueTheyChange) {
  thing->FindParam(7)->SetText("wolf");
  thing->FindParam(6)->SetText("wolfskin");
  auto pickSkeletonThen = [this](const char* button) {
    SelectInTree(kTreeMachines, "thing");
    script.ShowDialog([this, button](ui::Dialog& d) {
      auto& dialog = dynamic_cast<CMachinePropertiesDlg&>(d);
      ClickTreeRow(*dialog.List(), RowOf(dialog, 7));
      EXPECT_EQ(dialog.List()->topLevelItem(RowOf(dialog, 6))->text(1), "MULTIPNJ");
      ClickButton(dialog, button);
    });
    ASSERT_TRUE(Send(kCmdMachineProperties));
  };
  pickSkeletonThen("&Cancel");
  EXPECT_EQ(Value(7), "wolf");
  EXPECT_EQ(Value(6), "wolfskin") << "Cancel puts the skeleton file back";
  EXPECT_FALSE(Modified());
  pickSkeletonThen("&OK");
  EXPECT_EQ(Value(6), "MULTIPNJ");
  EXPECT_TRUE(Modified()) << "the skeleton file changed";
}

}  // namespace
}  // namespace kelvartest
