// The demo as a new user meets it: its own objects, monsters and machines
// pass their dialogs, the Objects picker offers the item objects with their
// descriptions, names read in the user's language, and Add Generic Trap
// offers its traps.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>

#include "datafiles/item_object_table.h"
#include "datafiles/language_table.h"
#include "datafiles/monster_class_table.h"
#include "editor/kelvar_commands.h"
#include "editor/machine_properties_dlg.h"
#include "editor/monster_dlg.h"
#include "editor/object_properties_dlg.h"
#include "editor/picker_generic_traps_dlg.h"
#include "editor/picker_objects_dlg.h"
#include "editor/preview_list_box.h"
#include "editor/quest_tree_ctrl.h"
#include "editor/room_edit_mode.h"
#include "kelvar_fixture.h"
#include "quest/machine.h"
#include "quest/monster.h"
#include "quest/quest_lists.h"
#include "quest/quest_object.h"
#include "quest/room.h"
#include "user_input.h"

namespace kelvartest {
namespace {

using namespace kelvar;
namespace ui = platform::ui;

class DemoDialogs : public KelvarTest {
 protected:
  void SetUp() override {
    KelvarTest::SetUp();
    ASSERT_TRUE(StartOnDemoQuest());
    ASSERT_TRUE(BoxTexts().empty()) << BoxTexts().front();
  }
};

// Each element's properties shown and closed with OK, nothing changed: no box
// refuses it and the dialog ends.
TEST_F(DemoDialogs, TheDemosOwnElementsPassTheirDialogs) {
  struct Element {
    int tree;
    std::string key;
    int command;
  };
  std::vector<Element> elements;
  for (const CQuestObject* o = Quest().questObjects; o; o = o->next)
    elements.push_back({kTreeObjects, o->key, kCmdObjectProperties});
  for (const CMonster* m = Quest().monsters; m; m = m->next) elements.push_back({kTreeMonsters, m->key, kCmdMonsterProperties});
  for (const CMachine* m = Quest().machines; m; m = m->next) elements.push_back({kTreeMachines, m->name, kCmdMachineProperties});
  ASSERT_EQ(elements.size(), 3u + 2u + 2u);
  for (const Element& e : elements) {
    SCOPED_TRACE(e.key);
    SelectInTree(e.tree, e.key);
    const std::size_t before = BoxTexts().size();
    bool ended = false;
    script.ShowDialog([&](ui::Dialog& d) {
      ClickButton(d, "OK");
      ended = d.HasEnded();
      if (!ended) ClickButton(d, "&Cancel") || ClickButton(d, "Cancel");
    });
    ASSERT_TRUE(Send(e.command));
    const std::vector<std::string> boxes = BoxTexts();
    EXPECT_EQ(std::vector<std::string>(boxes.begin() + static_cast<std::ptrdiff_t>(before), boxes.end()),
              std::vector<std::string>{});
    EXPECT_TRUE(ended);
  }
}

TEST_F(DemoDialogs, TheObjectsPickerOffersTheItemObjectsWithTheirDescriptions) {
  ASSERT_GE(g_itemObjectTable.Count(), 6u);
  g_languageTable.SetLanguage(1);
  SelectInTree(kTreeObjects, "rustykey");
  int listed = 0;
  std::string description;
  script.ShowDialog([&](ui::Dialog& d) {
    script.ShowDialog([&](ui::Dialog& inner) {
      auto& picker = dynamic_cast<CObjectsDlg&>(inner);
      listed = picker.List().count();
      ClickRow(picker.List(), "ITSWORD");
      description = inner.findChild<QPlainTextEdit*>("edit1003")->toPlainText().toStdString();
      ClickButton(inner, "&Cancel") || ClickButton(inner, "Cancel");
    });
    ClickButton(d, "&Origin");
    ClickButton(d, "&Cancel") || ClickButton(d, "Cancel");
  });
  ASSERT_TRUE(Send(kCmdObjectProperties));
  EXPECT_GE(listed, 6) << "every item object of the demo";
  EXPECT_EQ(description.rfind("Sword", 0), 0u) << description;
  EXPECT_NE(description.find("Damage 4-9"), std::string::npos) << description;
}

TEST_F(DemoDialogs, NamesReadInTheUsersLanguage) {
  for (int language : {0, 1, 2}) {
    g_languageTable.SetLanguage(language);
    const char* orc = g_languageTable.Translate("MONSTER_ORC");
    EXPECT_STRNE(orc, "MONSTER_ORC") << language;
    const char* cup = g_languageTable.Translate("ITEM_CUP");
    EXPECT_STRNE(cup, "ITEM_CUP") << language;
  }
  g_languageTable.SetLanguage(2);
  EXPECT_STREQ(g_languageTable.Translate("MONSTER_ORC"), "Ork");
  g_languageTable.SetLanguage(1);
}

TEST_F(DemoDialogs, AddGenericTrapOffersTheDemosTraps) {
  // In the meadow, where no links are drawn: the trap dialog is what is tried.
  SelectInTree(kTreeRooms, "meadow");
  ASSERT_TRUE(Send(kCmdRoomEdit));
  CRoom* room = TheRoomEditMode().EditedRoom();
  ASSERT_NE(room, nullptr);
  std::vector<std::string> offered;
  script.ShowDialog([&](ui::Dialog& d) {
    auto& picker = dynamic_cast<CGenericTrapsDlg&>(d);
    for (int i = 0; i < picker.List().count(); ++i) offered.push_back(picker.List().item(i)->text().toStdString());
    ClickRow(picker.List(), "pit");
    ClickButton(d, "OK");
  });
  ASSERT_TRUE(Send(kCmdTrapAddGeneric));
  EXPECT_EQ(offered.size(), 2u);
  EXPECT_NE(std::find(offered.begin(), offered.end(), "spikes"), offered.end());
  EXPECT_EQ(room->selectedTrapType, 2) << "the pit";
  EXPECT_EQ(room->tool, CRoom::kToolAddTrap);
}

}  // namespace
}  // namespace kelvartest
