// The picker dialogs' lists and values: the table filters, preselection,
// the quest entries, OK and Cancel through the scripted dialog runner, the
// sound picker's playing, the choice list, the sprite cell and the shared
// preview clock. Tables are hand-made fixtures whose flag bits cover each
// clause of the filters.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>

#include "audio/sound_system.h"
#include "audio/sound_table.h"
#include "datafiles/item_object_table.h"
#include "datafiles/monster_class_table.h"
#include "datafiles/trisprite_table.h"
#include "editor/picker_choice_list_dlg.h"
#include "editor/picker_generic_traps_dlg.h"
#include "editor/picker_list_box.h"
#include "editor/picker_mesh_dlg.h"
#include "editor/picker_monster_list_dlg.h"
#include "editor/picker_objects_dlg.h"
#include "editor/picker_sound_dlg.h"
#include "editor/picker_sprite_dlg.h"
#include "editor/picker_support.h"
#include "editor/preview_clock.h"
#include "editor/preview_list_box.h"
#include "platform/core/clock.h"
#include "editor/skeleton_preview.h"
#include "kelvar_fixture.h"
#include "picker_test_support.h"
#include "quest/fixed_field.h"
#include "quest/machine_def.h"
#include "quest/monster.h"
#include "quest/quest_lists.h"
#include "quest/quest_object.h"
#include "render/bank_list.h"
#include "support/bytes.h"

namespace kelvartest {
namespace {

using namespace kelvar;
using platform::ui::kDialogCancel;
using platform::ui::kDialogOk;
using testsupport::Bytes;

struct ClassRow {
  const char* name;
  const char* displayKey;
  std::int16_t type;
  std::int16_t kind;
  const char* skeleton;
  std::int32_t flags;
};

// Version-7 rows: the first version that holds the flag word.
std::vector<std::uint8_t> ClassTable(const std::vector<ClassRow>& rows) {
  Bytes b;
  b.u16(1).u32(static_cast<std::uint32_t>(rows.size()));
  for (const ClassRow& r : rows) {
    b.u16(7).fixed(r.name, 32).fixed(r.displayKey, 32);
    b.u16(static_cast<std::uint16_t>(r.type)).u16(static_cast<std::uint16_t>(r.kind));
    for (int i = 0; i < 6; ++i) b.i32(0);
    for (int i = 0; i < 3; ++i) b.u16(0);
    for (int i = 0; i < 12; ++i) b.i32(0);
    b.fixed(r.skeleton, 64).f32(0.0f).u16(0).u16(1).i32(0).i32(0);
    b.i32(0).f32(0.5f).i32(0).i32(0);  // versions 3 to 6
    b.i32(r.flags).i32(0).fixed("", 32);
  }
  return b.data();
}

struct ItemRow {
  const char* name;
  std::int16_t flags;
  std::int16_t value196;
  const char* sprite;
};

std::vector<std::uint8_t> ItemTable(const std::vector<ItemRow>& rows) {
  Bytes b;
  b.u16(1).u32(static_cast<std::uint32_t>(rows.size()));
  for (const ItemRow& r : rows) {
    b.u16(1).u16(0).fixed(r.name, 32).i32(0).i32(0).fixed(r.name, 32).fixed(r.sprite, 32);
    b.u16(0).u16(0).u16(0).u16(0).i32(0).i32(0).u16(0).u16(0).u16(0);
    // special, flags, value 186, three signed values, magic, value 196, then 17 more.
    b.u16(0).u16(static_cast<std::uint16_t>(r.flags));
    for (int i = 0; i < 5; ++i) b.u16(0);
    b.u16(static_cast<std::uint16_t>(r.value196));
    for (int i = 0; i < 17; ++i) b.u16(0);
    b.u16(0).u16(0).u16(0).u16(0);
    for (int i = 0; i < 4; ++i) b.i32(0);
    b.u16(0).u16(0).i32(0);
  }
  return b.data();
}

std::vector<std::uint8_t> SpriteTable(const std::vector<TrispriteRecord>& rows) {
  Bytes b;
  b.u16(1).u32(static_cast<std::uint32_t>(rows.size()));
  for (const TrispriteRecord& r : rows) {
    b.u16(1).fixed(r.name, 32).u16(static_cast<std::uint16_t>(r.column)).u16(static_cast<std::uint16_t>(r.row));
    b.u16(static_cast<std::uint16_t>(r.valueA)).u16(static_cast<std::uint16_t>(r.cellFormat));
    b.u16(static_cast<std::uint16_t>(r.cellSize)).i32(r.valueB);
  }
  return b.data();
}

TrispriteRecord Sprite(const char* name, int format, int size) {
  TrispriteRecord r;
  SetField(r.name, name);
  r.cellFormat = static_cast<std::int16_t>(format);
  r.cellSize = static_cast<std::int16_t>(size);
  return r;
}

std::vector<std::string> Texts(const CPickerListBox& list) {
  std::vector<std::string> out;
  for (int i = 0; i < list.GetCount(); ++i) out.push_back(list.GetText(i));
  return out;
}

std::string Selected(const CPickerListBox& list) {
  const int row = list.GetCurSel();
  return row < 0 ? std::string("<none>") : list.GetText(row);
}

class PickerDialogs : public KelvarTest {
 protected:
  void SetUp() override {
    KelvarTest::SetUp();
    ASSERT_TRUE(g_monsterClassTable.Read(std::span<const std::uint8_t>(ClassTable({
        {"bat", "BAT_NAME", 1, 0, "bat", 0},          // a monster
        {"ghost", "GHOST", 0, 0, "ghost", 0x01},      // hidden by bit 0
        {"golem", "GOLEM", 1, 0, "golem", 0x04},      // hidden by bit 2
        {"merchant", "MERCHANT", 2, 0, "moine", 0},   // an NPC
        {"statue", "STATUE", 2, -1, "statue", 0},     // of type 2 but no NPC
        {"dragon", "DRAGON", 3, 0, "dragon", 0},      // of no filter's type
        {"wolf", "WOLF_NAME", 0, 0, "wolf", 0x20},    // bit 5 hides nothing
    }))));
    ASSERT_TRUE(g_itemObjectTable.Read(std::span<const std::uint8_t>(ItemTable({
        {"axe", 0x80, 0, "axe_sprite"},
        {"bow", 0x20, 0, ""},
        {"cape", 0x28, 0, ""},
        {"dagger", 0x01, 0, ""},
        {"elixir", 0x04, 0, ""},
        {"flute", 0x02, 0, ""},
        {"gem", 0x02, 5, ""},
        {"hat", 0x08, 0, ""},
        {"ink", 0x100, 0, ""},
    }))));
    ASSERT_TRUE(g_trispriteTable.Read(std::span<const std::uint8_t>(SpriteTable({Sprite("axe_sprite", 1, 24)}))));
    // Quest monsters and objects; each goes to the head of its list, so they are listed bottom up.
    AddMonster("m_none", "nothing");
    AddMonster("m_chain", "m_merch");  // names another quest monster
    AddMonster("m_statue", "statue");
    AddMonster("m_merch", "merchant");
    AddMonster("m_bat", "bat");
    AddObject("o_ghost", "", true);
    AddObject("o_axe", "axe", false);
  }
  void TearDown() override {
    g_monsterClassTable.Free();
    g_itemObjectTable.Free();
    g_trispriteTable.Free();
    KelvarTest::TearDown();
  }
  void AddMonster(const char* key, const char* origin) {
    CMonster* m = NewMonster(Quest().monsters);
    SetField(m->key, key);
    SetField(m->monsterClass, origin);
    m->name.Set(1, (std::string("Name of ") + key).c_str());
  }
  void AddObject(const char* key, const char* parent, bool isVirtual) {
    CQuestObject* o = NewQuestObject(Quest().questObjects);
    SetField(o->key, key);
    SetField(o->parent, parent);
    o->isVirtual = isVirtual ? 1 : 0;
  }
};

TEST_F(PickerDialogs, MonsterFiltersListTheClassesAndQuestMonstersOfEachClause) {
  struct Case {
    int filter;
    bool monstersOnly;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {kMonsterFilterAll, false, {"bat", "merchant", "statue", "wolf", "m_bat", "m_merch", "m_chain"}},
      {kMonsterFilterAll, true, {"bat", "wolf", "m_bat", "m_merch", "m_chain"}},
      {kMonsterFilterMonsters, false, {"bat", "wolf", "m_bat"}},
      {kMonsterFilterNpc, false, {"merchant", "m_merch", "m_chain"}},
      {kMonsterFilterNpc, true, {"m_merch", "m_chain"}},
  };
  for (const Case& c : cases) {
    CMonsterListDlg dialog("", true, c.monstersOnly);
    ASSERT_TRUE(dialog.Initialize());
    dialog.SetFilter(c.filter);
    EXPECT_EQ(Texts(dialog.List()), c.expected) << "filter " << c.filter << " monsters only " << c.monstersOnly;
    dialog.Finish();
  }
  // Without the quest monsters only the classes are listed.
  CMonsterListDlg plain;
  ASSERT_TRUE(plain.Initialize());
  EXPECT_EQ(Texts(plain.List()), (std::vector<std::string>{"bat", "merchant", "statue", "wolf"}));
  plain.Finish();
}

TEST_F(PickerDialogs, MonstersOnlyChecksMonstersAndDisablesTheFilters) {
  CMonsterListDlg dialog("", false, true);
  ASSERT_TRUE(dialog.Initialize());
  EXPECT_TRUE(dialog.FilterButton(kMonsterFilterMonsters).isChecked());
  for (int f : {kMonsterFilterAll, kMonsterFilterMonsters, kMonsterFilterNpc})
    EXPECT_FALSE(dialog.FilterButton(f).isEnabled()) << f;
  EXPECT_EQ(Texts(dialog.List()), (std::vector<std::string>{"bat", "wolf"}));
  EXPECT_TRUE(dialog.Timers().IsSet(CMonsterListDlg::kTimer));
  EXPECT_EQ(dialog.Timers().Interval(CMonsterListDlg::kTimer), 50);
  dialog.Finish();
  EXPECT_FALSE(dialog.Timers().IsSet(CMonsterListDlg::kTimer));

  CMonsterListDlg free;
  ASSERT_TRUE(free.Initialize());
  EXPECT_TRUE(free.FilterButton(kMonsterFilterAll).isChecked());
  EXPECT_TRUE(free.FilterButton(kMonsterFilterNpc).isEnabled());
  free.Finish();
}

TEST_F(PickerDialogs, PreselectionTakesTheFirstEntryBeginningWithTheValue) {
  CMonsterListDlg monsters("WO");
  ASSERT_TRUE(monsters.Initialize());
  EXPECT_EQ(Selected(monsters.List()), "wolf");
  EXPECT_EQ(monsters.value, "WO") << "preselection does not change the value";
  monsters.Finish();

  // A class name shows its display name and skeleton; a quest monster its own name text.
  CMonsterListDlg byClass("bat", true);
  ASSERT_TRUE(byClass.Initialize());
  EXPECT_EQ(byClass.NameEdit().text().toStdString(), "BAT_NAME");
  EXPECT_EQ(byClass.KeyEdit().text().toStdString(), "bat");
  byClass.Finish();
  CMonsterListDlg byKey("m_chain", true);
  ASSERT_TRUE(byKey.Initialize());
  EXPECT_EQ(Selected(byKey.List()), "m_chain");
  EXPECT_EQ(byKey.NameEdit().text().toStdString(), "Name of m_chain");
  EXPECT_EQ(byKey.KeyEdit().text().toStdString(), "moine") << "the class of its origin's origin";
  byKey.Finish();

  CObjectsDlg objects("DAG");
  ASSERT_TRUE(objects.Initialize());
  EXPECT_EQ(Selected(objects.List()), "dagger");
  objects.Finish();

  // Nothing begins with the value, or there is none: nothing is selected.
  for (const char* value : {"zebra", ""}) {
    CObjectsDlg none(value);
    ASSERT_TRUE(none.Initialize());
    EXPECT_EQ(none.List().GetCurSel(), -1) << value;
    none.Finish();
  }
}

TEST_F(PickerDialogs, ObjectsFilterListsTheRowsOfEachClause) {
  CObjectsDlg dialog;
  ASSERT_TRUE(dialog.Initialize());
  EXPECT_EQ(Texts(dialog.List()), (std::vector<std::string>{"axe", "bow", "dagger", "elixir", "flute"}));
  dialog.Finish();
}

TEST_F(PickerDialogs, QuestEntriesCarryTheirListPositionAbove32000) {
  CObjectsDlg objects("", true);
  ASSERT_TRUE(objects.Initialize());
  CPickerListBox& list = objects.List();
  ASSERT_EQ(list.GetCount(), 7);
  EXPECT_EQ(list.GetText(5), "o_axe");
  EXPECT_EQ(list.GetItemData(5), kQuestEntryBase + 0);
  EXPECT_EQ(list.GetText(6), "o_ghost");
  EXPECT_EQ(list.GetItemData(6), kQuestEntryBase + 1);

  // An item object: its key, sprite and description.
  UserSelects(list, "axe");
  EXPECT_EQ(objects.value, "axe");
  EXPECT_EQ(objects.spriteName, "axe_sprite");
  EXPECT_FALSE(objects.description.empty());
  EXPECT_EQ(objects.DescriptionEdit().toPlainText().toStdString().substr(0, 3), "axe");
  // A quest object: its key and its origin's description, the sprite name kept.
  UserSelects(list, "o_axe");
  EXPECT_EQ(objects.value, "o_axe");
  EXPECT_EQ(objects.description.substr(0, 3), "axe");
  EXPECT_EQ(objects.spriteName, "axe_sprite");
  // A virtual one empties both.
  UserSelects(list, "o_ghost");
  EXPECT_EQ(objects.value, "o_ghost");
  EXPECT_TRUE(objects.spriteName.empty());
  EXPECT_TRUE(objects.description.empty());
  objects.Finish();

  CMonsterListDlg monsters("", true);
  ASSERT_TRUE(monsters.Initialize());
  UserSelects(monsters.List(), "m_merch");
  EXPECT_EQ(monsters.value, "m_merch");
  EXPECT_EQ(monsters.List().GetItemData(monsters.List().GetCurSel()), kQuestEntryBase + 1);
  EXPECT_EQ(monsters.NameEdit().text().toStdString(), "Name of m_merch");
  UserSelects(monsters.List(), "wolf");
  EXPECT_EQ(monsters.value, "wolf");
  EXPECT_EQ(monsters.NameEdit().text().toStdString(), "WOLF_NAME");
  monsters.Finish();
}

TEST_F(PickerDialogs, ObjectItemsAreAsHighAsTheirSpritePlus24) {
  CObjectsDlg dialog("", true);
  ASSERT_TRUE(dialog.Initialize());
  CObjectPreviewListBox& list = dialog.List();
  EXPECT_EQ(list.MeasureItem(0), 3 * 24 + 24) << "axe: a 1 x 3 sprite of 24-pixel cells";
  EXPECT_EQ(list.MeasureItem(1), 24) << "bow has no sprite";
  EXPECT_EQ(list.MeasureItem(5), 3 * 24 + 24) << "o_axe: its origin's sprite";
  EXPECT_EQ(list.MeasureItem(6), 24) << "o_ghost is virtual";
  // A quest object's own cell counts, with a cell size of 0 taken as 24.
  Quest().questObjects->sprite = Sprite("cell", 2, 0);
  EXPECT_EQ(list.MeasureItem(5), 2 * 24 + 24);
  dialog.Finish();
}

TEST_F(PickerDialogs, OkGivesThePickedValueAndCancelLeavesIt) {
  script.AnswerDialog(kDialogOk, [](platform::ui::Dialog& d) { UserSelects(static_cast<CObjectsDlg&>(d).List(), "elixir"); });
  CObjectsDlg picked("axe");
  EXPECT_EQ(picked.DoModal(), kDialogOk);
  EXPECT_EQ(picked.value, "elixir");

  script.AnswerDialog(kDialogCancel);
  CMonsterListDlg cancelled("bat");
  EXPECT_EQ(cancelled.DoModal(), kDialogCancel);
  EXPECT_EQ(cancelled.value, "bat");
  ASSERT_EQ(script.dialogs.size(), 2u);
  EXPECT_EQ(script.dialogs[0].title, "Objects...");
  EXPECT_EQ(script.dialogs[1].title, "Monsters");
}

TEST_F(PickerDialogs, SoundPickerPlaysEachSelectedRowByName) {
  CSoundSystem silent(nullptr);
  ASSERT_EQ(g_soundTable.Read(std::span<const std::uint8_t>(Bytes().u16(1).i32(2).u16(1).fixed("alarm", 32).u16(1).fixed("bell", 32).data()),
                              &silent),
            1);
  CSoundDlg dialog("BE");
  std::vector<std::string> played;
  dialog.play = [&played](const char* name) { played.emplace_back(name); };
  ASSERT_TRUE(dialog.Initialize());
  EXPECT_EQ(Selected(dialog.List()), "bell");
  EXPECT_TRUE(played.empty()) << "preselection plays nothing";
  UserSelects(dialog.List(), "alarm");
  UserSelects(dialog.List(), "bell");
  EXPECT_EQ(played, (std::vector<std::string>{"alarm", "bell"}));
  EXPECT_EQ(dialog.value, "bell");
  dialog.Finish();
  g_soundTable.Free();

  // Without rows: an empty list and OK gives nothing.
  script.AnswerDialog(kDialogOk);
  CSoundDlg empty("");
  EXPECT_EQ(empty.DoModal(), kDialogOk);
  EXPECT_EQ(empty.List().GetCount(), 0);
  EXPECT_EQ(empty.value, "");
}

TEST_F(PickerDialogs, GenericTrapsListsEditableDefinitionsAndGivesTheType) {
  Quest().library.SetText("t.qsm",
                          "GENERIC { KEY { pit } TYPE { 4 } EDIT { 1 } }"
                          "GENERIC { KEY { hidden } TYPE { 5 } }"
                          "GENERIC { KEY { spikes } TYPE { 7 } EDIT { 1 } }");
  Quest().library.ParseBlock("", false);
  std::vector<std::string> keys;
  for (const GenericDef* d = Quest().generics; d; d = d->next)
    if (d->editable) keys.emplace_back(d->key);
  ASSERT_EQ(keys.size(), 2u) << "the fixture holds two editable definitions";

  CGenericTrapsDlg dialog(7);
  ASSERT_TRUE(dialog.Initialize());
  EXPECT_EQ(Texts(dialog.List()), keys);
  EXPECT_EQ(Selected(dialog.List()), "spikes");
  UserSelects(dialog.List(), "pit");
  EXPECT_EQ(dialog.value, 4);
  dialog.Finish();

  CGenericTrapsDlg none;
  ASSERT_TRUE(none.Initialize());
  EXPECT_EQ(none.List().GetCurSel(), -1);
  EXPECT_EQ(none.value, -1);
  none.Finish();
}

TEST_F(PickerDialogs, ChoiceListSelectsTheValueOrTheFirstAndTakesTheKeyOnOk) {
  ParamChoice third, second, first;
  SetField(first.key, "north");
  SetField(second.key, "south");
  SetField(third.key, "west");
  first.next = &second;
  second.next = &third;

  CChoiceListDlg preset(&first, "south");
  ASSERT_TRUE(preset.Initialize());
  EXPECT_EQ(Texts(preset.List()), (std::vector<std::string>{"north", "south", "west"}));
  EXPECT_EQ(Selected(preset.List()), "south");
  preset.Finish();

  script.AnswerDialog(kDialogOk, [](platform::ui::Dialog& d) { UserSelects(static_cast<CChoiceListDlg&>(d).List(), "west"); });
  CChoiceListDlg unknown(&first, "up");
  EXPECT_EQ(unknown.DoModal(), kDialogOk);
  EXPECT_EQ(unknown.value, "west");

  // No choices: OK does nothing and the dialog stays open until given up.
  script.AnswerDialog(kDialogOk);
  CChoiceListDlg empty(nullptr, "up");
  EXPECT_EQ(empty.DoModal(), kDialogCancel);
  ASSERT_FALSE(script.dialogs.empty());
  EXPECT_TRUE(script.dialogs.back().refusedOk);
  EXPECT_EQ(empty.value, "up");
}

TEST_F(PickerDialogs, MeshPickerOnAnEmptyBlockSetGivesNothing) {
  CBankList emptySet;
  script.AnswerDialog(kDialogOk);
  CMeshDlg dialog(&emptySet, "");
  EXPECT_EQ(dialog.DoModal(), kDialogOk);
  EXPECT_EQ(dialog.List().GetCount(), 0);
  EXPECT_EQ(dialog.value, "");
  EXPECT_FALSE(dialog.HasCancel());
  // Without a room being edited the chooser shows nothing and gives nothing.
  std::string choice = "kept";
  EXPECT_FALSE(ChooseBlockWithPicker({}, choice));
  EXPECT_EQ(choice, "kept");
}

TEST_F(PickerDialogs, SpriteFormatCyclesThroughSixFormats) {
  CSpriteDlg dialog(Sprite("cell", 0, 24));
  ASSERT_TRUE(dialog.Initialize());
  std::vector<int> formats;
  for (int i = 0; i < 7; ++i) {
    dialog.OnSpriteFormat();
    formats.push_back(dialog.sprite.cellFormat);
  }
  EXPECT_EQ(formats, (std::vector<int>{1, 2, 3, 4, 5, 0, 1}));
  dialog.Finish();
}

TEST_F(PickerDialogs, SpriteCellStaysInsideTheSheet) {
  struct Case {
    int format, size, x, y;
    int column, row;
  };
  const Case cases[] = {
      {0, 24, 30, 50, 1, 2},     // a plain click
      {4, 24, 250, 10, 7, 0},    // 3 cells wide near the right edge: column (255 - 72) / 24
      {1, 24, 10, 250, 0, 7},    // 3 cells high near the bottom
      {0, 24, 256, 10, 0, 0},    // outside the sheet: unchanged
      {0, 0, 100, 100, 4, 4},    // a cell size of 0 counts as 24
      {4, -5, 255, 255, 7, 7},   // and so does a negative one
  };
  for (const Case& c : cases) {
    TrispriteRecord start = Sprite("cell", c.format, c.size);
    CSpriteDlg dialog(start);
    ASSERT_TRUE(dialog.Initialize());
    dialog.OnPreviewPress(QPoint(c.x, c.y));
    EXPECT_EQ(dialog.sprite.column, c.column) << c.format << " " << c.size << " at " << c.x;
    EXPECT_EQ(dialog.sprite.row, c.row) << c.format << " " << c.size << " at " << c.y;
    const TrispriteRecord& s = dialog.sprite;
    EXPECT_LT(s.cellSize * s.column + s.GetFootprintWidth(), 256);
    EXPECT_LT(s.cellSize * s.row + s.GetFootprintHeight(), 256);
    dialog.Finish();
  }
  // Cycling to a wide format pulls a cell at the right edge back in.
  CSpriteDlg edge(Sprite("cell", 0, 24));
  ASSERT_TRUE(edge.Initialize());
  edge.OnPreviewPress(QPoint(250, 0));
  EXPECT_EQ(edge.sprite.column, 9);
  for (int i = 0; i < 4; ++i) edge.OnSpriteFormat();
  EXPECT_EQ(edge.sprite.cellFormat, 4);
  EXPECT_EQ(edge.sprite.column, 7);
  edge.Finish();
}

TEST_F(PickerDialogs, AFreeSpriteStartsAsAUsedCellAtTheCorner) {
  TrispriteRecord free = Sprite("FREE", 3, 40);
  free.column = 2;
  free.valueA = 7;
  CSpriteDlg dialog(free);
  ASSERT_TRUE(dialog.Initialize());
  EXPECT_STREQ(dialog.sprite.name, "USED");
  EXPECT_EQ(dialog.sprite.column, 0);
  EXPECT_EQ(dialog.sprite.row, 0);
  EXPECT_EQ(dialog.sprite.valueA, 100);
  EXPECT_EQ(dialog.sprite.cellFormat, 0);
  EXPECT_EQ(dialog.sprite.cellSize, 24);
  EXPECT_EQ(dialog.sprite.valueB, 9);
  dialog.Finish();
}

TEST_F(PickerDialogs, PreviewClockCountsAPauseOverOneSecondAsOneMillisecond) {
  PreviewClock::Reset();
  EXPECT_EQ(PreviewClock::Step(400), 400u);
  EXPECT_EQ(PreviewClock::Step(450), 50u);
  EXPECT_EQ(PreviewClock::Step(1450), 1000u) << "one second exactly still counts";
  EXPECT_EQ(PreviewClock::Step(2451), 1u) << "a longer pause counts as 1 ms";
  EXPECT_EQ(PreviewClock::Step(2471), 20u);
  // The clock wraps like the system's.
  PreviewClock::Step(0xFFFFFFF0u);
  EXPECT_EQ(PreviewClock::Step(0x10u), 0x20u);
  PreviewClock::Reset();
}

TEST_F(PickerDialogs, SkeletonPreviewAdvancesBySharedClockAndTakesMultiPnjForMoine) {
  // Without a display the preview draws nothing but keeps no time either.
  CSkeletonPreview preview;
  EXPECT_TRUE(preview.Paint(g_monsterClassTable.Find("merchant"), QSize(64, 64)).isNull());
  EXPECT_EQ(preview.animationTime, 0.0f);
  ASSERT_TRUE(Start());
  platform::FakeClock clock(10000);
  PreviewClock::Reset();
  PreviewClock::Step(10000);
  clock.Advance(200);
  const QImage first = preview.Paint(g_monsterClassTable.Find("merchant"), QSize(64, 64));
  EXPECT_FALSE(first.isNull());
  EXPECT_EQ(preview.skeletonName, "MULTIPNJ") << "the skeleton \"moine\" is drawn with MULTIPNJ";
  EXPECT_FLOAT_EQ(preview.animationTime, 200.0f);
  EXPECT_FLOAT_EQ(preview.angle, 200.0f * 0.001f * 0.3926991f);
  // A pause of five seconds moves the preview by 1 ms.
  clock.Advance(5000);
  preview.Paint(g_monsterClassTable.Find("bat"), QSize(64, 64));
  EXPECT_FLOAT_EQ(preview.animationTime, 201.0f);
  EXPECT_EQ(preview.lastClass, g_monsterClassTable.Find("bat"));
  EXPECT_EQ(preview.skeletonName, "MULTIPNJ") << "no file for the skeleton \"bat\"";
  PreviewClock::Reset();
}

}  // namespace
}  // namespace kelvartest
