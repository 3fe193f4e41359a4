// The pickers over the demo start directory: mesh items rendered end to end
// (engine, renderer, display device, emulated device) into their rectangles,
// long lists drawing only what is in view, the animated previews, and the
// main frame's commands and the block chooser opening their pickers.
#include <cstdlib>
#include <span>
#include <string>

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QPainter>
#include <QTest>

#include "audio/sound_system.h"
#include "audio/sound_table.h"
#include "datafiles/monster_class_table.h"
#include "editor/display_objects.h"
#include "editor/kelvar_commands.h"
#include "editor/main_frame.h"
#include "editor/picker_choice_list_dlg.h"
#include "editor/picker_frame_dlg.h"
#include "editor/picker_generic_traps_dlg.h"
#include "editor/picker_list_box.h"
#include "editor/picker_mesh_dlg.h"
#include "editor/picker_monster_list_dlg.h"
#include "editor/picker_object_meshes_dlg.h"
#include "editor/picker_objects_dlg.h"
#include "editor/picker_sound_dlg.h"
#include "editor/picker_style_dlg.h"
#include "editor/preview_clock.h"
#include "editor/preview_control.h"
#include "editor/preview_list_box.h"
#include "editor/preview_render.h"
#include "editor/quest_tree_ctrl.h"
#include "editor/room_edit_mode.h"
#include "kelvar_fixture.h"
#include "picker_test_support.h"
#include "preview_bounds.h"
#include "platform/core/clock.h"
#include "platform/core/paths.h"
#include "platform/video/surface.h"
#include "quest/fixed_field.h"
#include "quest/machine_def.h"
#include "quest/mesh_banks.h"
#include "quest/quest_lists.h"
#include "quest/room.h"
#include "quest/tile_palette.h"
#include "render/cdd.h"
#include "render/skinned_model.h"
#include "support/bytes.h"

namespace kelvartest {
namespace {

using namespace kelvar;
using platform::ui::kDialogCancel;
using platform::ui::kDialogOk;
using testsupport::Bytes;

constexpr QRgb kMagenta = 0xFFFF00FF;
// The previews' grey as the 16-bit surface holds it.
QRgb Grey565() {
  QImage one(1, 1, QImage::Format_RGB16);
  one.fill(QColor(0x80, 0x80, 0x80));
  return one.pixel(0, 0);
}
const QRgb kGrey = Grey565();

// Pixels of an image that differ from a colour.
int CountOther(const QImage& image, QRgb colour) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) != colour;
  return n;
}

class PickerPreviews : public KelvarTest {
 protected:
  void SetUp() override {
    KelvarTest::SetUp();
    ASSERT_TRUE(StartOnDemoQuest());
    ASSERT_NE(kelvar::Display().cdd, nullptr);
  }
  CRoom* EditRoom(const char* name) {
    SelectInTree(kTreeRooms, name);
    EXPECT_TRUE(Send(kCmdRoomEdit));
    return TheRoomEditMode().EditedRoom();
  }
};

TEST_F(PickerPreviews, MeshItemCoversItsRectangleAndNothingOutside) {
  CBankList& bank = ObjectMeshBank();
  const int index = bank.FindName("demo_chest");
  ASSERT_GE(index, 0);
  Cdd& cdd = *kelvar::Display().cdd;
  // Mark the whole back surface, then draw a 220 x 128 item at its corner.
  cdd.FillRectangle(0, 0, cdd.GetWidth(), cdd.GetHeight(), CColor(0, 255, 0));
  QImage canvas(400, 400, QImage::Format_ARGB32);
  canvas.fill(kMagenta);
  const QRect item(50, 140, 220, 128);
  {
    QPainter painter(&canvas);
    PaintMeshItem(painter, item, &bank, index, false, "demo_chest");
  }
  int inside = 0, meshOrText = 0, outside = 0;
  for (int y = 0; y < canvas.height(); ++y) {
    for (int x = 0; x < canvas.width(); ++x) {
      const QRgb p = canvas.pixel(x, y);
      if (item.contains(x, y)) {
        inside += p != kMagenta;
        meshOrText += p != kMagenta && p != 0xFFFFFFFF;
      } else {
        outside += p != kMagenta;
      }
    }
  }
  EXPECT_EQ(inside, item.width() * item.height()) << "the item is covered whole";
  EXPECT_GT(meshOrText, 500) << "the mesh and its name are drawn on the white";
  EXPECT_EQ(outside, 0);

  // On the back surface nothing changed beyond the item's size.
  platform::video::DrawContext* dc = cdd.GetDC();
  ASSERT_NE(dc, nullptr);
  const QImage surface = QImage(dc->bits, dc->width, dc->height, dc->pitch, QImage::Format_RGB16).copy();
  cdd.ReleaseDC(dc);
  const QRgb green = surface.pixel(surface.width() - 1, surface.height() - 1);
  int spilled = 0;
  for (int y = 0; y < surface.height(); ++y)
    for (int x = 0; x < surface.width(); ++x)
      if ((x >= item.width() || y >= item.height()) && surface.pixel(x, y) != green) ++spilled;
  EXPECT_EQ(spilled, 0);
  EXPECT_EQ(QColor(green).green(), 255);
}

// Differences the two builds' rounding may leave: a channel within 12, and
// at most 1 pixel in 200 beyond it.
constexpr int kChannelTolerance = 12;
constexpr double kOutlierShare = 0.005;

TEST_F(PickerPreviews, MeshItemMatchesItsReferencePicture) {
  CBankList& bank = ObjectMeshBank();
  const QImage item =
      RenderMeshItem(&bank, bank.FindName("demo_chest"), QSize(160, 128), false, "demo_chest").convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(item.size(), QSize(160, 128));
  const QString path = QString(FIXTURES_DIR) + "/mesh_item_chest.png";
  // Set to make the picture again after a deliberate change of the drawing (look at it before committing it).
  if (std::getenv("WRITE_REFERENCE_PICTURES")) {
    ASSERT_TRUE(item.save(path));
  }
  const QImage reference = QImage(path).convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(reference.size(), item.size());
  int outliers = 0;
  for (int y = 0; y < item.height(); ++y) {
    for (int x = 0; x < item.width(); ++x) {
      const QColor a = item.pixelColor(x, y), b = reference.pixelColor(x, y);
      if (std::abs(a.red() - b.red()) > kChannelTolerance || std::abs(a.green() - b.green()) > kChannelTolerance ||
          std::abs(a.blue() - b.blue()) > kChannelTolerance)
        ++outliers;
    }
  }
  EXPECT_LE(outliers, int(kOutlierShare * item.width() * item.height()));
}

TEST_F(PickerPreviews, SelectedItemIsGreyAndAMissingMeshDrawsTheTextOnly) {
  CBankList& bank = ObjectMeshBank();
  const QImage selected = RenderMeshItem(&bank, bank.FindName("demo_door"), QSize(160, 128), true, "demo_door");
  ASSERT_FALSE(selected.isNull());
  EXPECT_EQ(selected.pixel(2, 2), kGrey);
  const QImage missing = RenderMeshItem(&bank, -1, QSize(160, 128), false, "nothing");
  ASSERT_FALSE(missing.isNull());
  // White all over but for the caption near the bottom.
  EXPECT_EQ(CountOther(missing.copy(0, 0, 160, 100), 0xFFFFFFFF), 0);
  EXPECT_GT(CountOther(missing.copy(0, 100, 160, 24), 0xFFFFFFFF), 0);
}

TEST_F(PickerPreviews, LongListsDrawOnlyTheItemsInView) {
  CRoom* room = EditRoom("meadow");
  ASSERT_NE(room, nullptr);
  ASSERT_GE(room->blockSet.GetCount(), 8) << "the fixture needs a long list";
  CMeshDlg dialog(&room->blockSet, "");
  ASSERT_TRUE(dialog.Initialize());
  CMeshPickPreviewListBox& list = dialog.List();
  list.resize(260, 300);
  list.grab();
  EXPECT_GT(list.DrawnItems(), 0);
  EXPECT_LE(list.DrawnItems(), 4) << "300 pixels show at most four 128-pixel items";
  dialog.Finish();
}

TEST_F(PickerPreviews, MonsterListAnimatesTheSelectedClass) {
  platform::FakeClock clock(5000);
  PreviewClock::Reset();
  CMonsterListDlg dialog("wolf");
  ASSERT_TRUE(dialog.Initialize());
  ASSERT_EQ(dialog.List().GetText(dialog.List().GetCurSel()), "wolf");
  dialog.Preview().PaintNow();
  const QImage image = dialog.Preview().LastImage();
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(dialog.preview.skeletonName, "wolf");
  ASSERT_NE(dialog.preview.model, nullptr);
  EXPECT_GT(dialog.preview.model->BoneCount(), 0);
  EXPECT_GT(CountOther(image, kGrey), 200) << "the wolf is drawn on the grey";
  dialog.Finish();
  PreviewClock::Reset();
}

TEST_F(PickerPreviews, FramePreviewTurnsOnlyWhileRotateIsChecked) {
  platform::FakeClock clock(1000);
  PreviewClock::Reset();
  PreviewClock::Step(1000);
  CFrameDlg dialog("demo_do");
  ASSERT_TRUE(dialog.Initialize());
  EXPECT_TRUE(dialog.RotateBox().isChecked());
  EXPECT_TRUE(platform::EqualsNoCase(dialog.List().GetText(dialog.List().GetCurSel()), "demo_door"));
  EXPECT_EQ(dialog.Timers().Interval(CFrameDlg::kTimer), 50);
  clock.Advance(500);
  const QImage image = dialog.PaintPreview(QSize(200, 200));
  EXPECT_FLOAT_EQ(PreviewClock::FrameAngle(), 500 * 0.001f * 1.5707964f);
  EXPECT_GT(CountOther(image, kGrey), 200) << "the door is drawn";
  dialog.RotateBox().setChecked(false);
  dialog.OnRotate();
  clock.Advance(500);
  dialog.PaintPreview(QSize(200, 200));
  EXPECT_FLOAT_EQ(PreviewClock::FrameAngle(), 500 * 0.001f * 1.5707964f);
  dialog.Finish();
  PreviewClock::Reset();
}

// Shown, the frame picker turns each mesh of the custom-mesh bank about its
// middle in the middle of the preview, whole and filling it, small or large.
TEST_F(PickerPreviews, ShownFramePickerFitsEveryMeshToItsPreview) {
  platform::FakeClock clock(1000);
  PreviewClock::Reset();
  const CBankList& bank = CustomMeshBank();
  ASSERT_GE(bank.GetCount(), 3);
  for (int i = 0; i < bank.GetCount(); ++i) {
    const std::string name = bank.GetName(i);
    CFrameDlg dialog(name);
    script.ShowDialog([&](platform::ui::Dialog&) {
      ExpectFramedAsItTurns(
          [&] {
            clock.Advance(900);
            dialog.Preview().PaintNow();
            return dialog.Preview().LastImage();
          },
          name);
    });
    dialog.DoModal();
  }
  PreviewClock::Reset();
}

// Shown, the picker draws the mesh it preselected on its first paint, with
// no click, and keeps drawing it as the timer turns it.
TEST_F(PickerPreviews, ShownFramePickerPreviewsItsPreselectedMeshAtOnce) {
  CFrameDlg dialog("demo_do");
  int firstPaints = 0, paints = 0;
  QImage first, later;
  script.ShowDialog([&](platform::ui::Dialog&) {
    firstPaints = dialog.Preview().PaintCount();
    first = dialog.Preview().LastImage();
    QTest::qWait(5 * CFrameDlg::kTimerPeriod);
    paints = dialog.Preview().PaintCount();
    later = dialog.Preview().grab().toImage().convertToFormat(QImage::Format_RGB16);
  });
  dialog.DoModal();
  ASSERT_GE(firstPaints, 1) << "shown means painted";
  EXPECT_GT(CountOther(first.convertToFormat(QImage::Format_RGB16), kGrey), 200) << "the door, on the first paint";
  EXPECT_GT(paints, firstPaints) << "the timer repaints the preview";
  EXPECT_GT(CountOther(later, kGrey), 200) << "and the door stays";
}

TEST_F(PickerPreviews, StyleCommandTakesThePickedStyleEvenOnEscape) {
  CRoom* room = EditRoom("meadow");
  ASSERT_NE(room, nullptr);
  ASSERT_NE(TilePalette().DrawStyle(), nullptr);
  std::string picked;
  for (const TileCategory& c : TilePalette().Categories())
    if (c.label != TilePalette().DrawStyle()->label) picked = c.label;
  ASSERT_FALSE(picked.empty());
  ASSERT_TRUE(Enabled(kCmdStyle));
  script.AnswerDialog(kDialogCancel, [picked](platform::ui::Dialog& d) {
    auto& dialog = static_cast<CStyleDlg&>(d);
    EXPECT_FALSE(dialog.HasCancel());
    EXPECT_EQ(dialog.List().GetText(dialog.List().GetCurSel()), TilePalette().DrawStyle()->label);
    UserSelects(dialog.List(), picked);
  });
  ASSERT_TRUE(Send(kCmdStyle));
  ASSERT_EQ(script.dialogs.size(), 1u);
  EXPECT_EQ(script.dialogs[0].title, "Style...");
  EXPECT_EQ(TilePalette().DrawStyle()->label, picked);
  EXPECT_EQ(TheRoomEditMode().GetMode(), CRoom::kToolDraw);
  EXPECT_FALSE(Checked(kCmdStyle)) << "Draw alone shows the tool checked";
  EXPECT_TRUE(Checked(kCmdDraw));
}

TEST_F(PickerPreviews, AddMonsterAndTrapCommandsActOnlyOnOkWithAPick) {
  // An editable generic trap with a mesh beside the demo's.
  Quest().library.SetText("t.qsm", "GENERIC { KEY { pit } TYPE { 4 } EDIT { 1 } MESH { rozizuzi\\customMeshes\\demo_chest.o3d } }");
  Quest().library.ParseBlock("", false);
  CRoom* room = EditRoom("meadow");
  ASSERT_NE(room, nullptr);
  const int mode = TheRoomEditMode().GetMode();
  script.AnswerDialog(kDialogCancel, [](platform::ui::Dialog& d) { UserSelects(static_cast<CMonsterListDlg&>(d).List(), "orc"); });
  ASSERT_TRUE(Send(kCmdRoomMonsterAdd));
  EXPECT_EQ(TheRoomEditMode().GetMode(), mode);
  EXPECT_STREQ(room->monsterToAdd, "");

  script.AnswerDialog(kDialogOk, [](platform::ui::Dialog& d) {
    auto& dialog = static_cast<CMonsterListDlg&>(d);
    EXPECT_TRUE(dialog.monstersOnly);
    EXPECT_FALSE(dialog.withQuestMonsters);
    UserSelects(dialog.List(), "orc");
  });
  ASSERT_TRUE(Send(kCmdRoomMonsterAdd));
  EXPECT_EQ(TheRoomEditMode().GetMode(), CRoom::kToolAddMonster);
  EXPECT_STREQ(room->monsterToAdd, "orc");

  // OK without a pick leaves the trap tool alone.
  script.AnswerDialog(kDialogOk);
  ASSERT_TRUE(Send(kCmdTrapAddGeneric));
  EXPECT_EQ(TheRoomEditMode().GetMode(), CRoom::kToolAddMonster);
  script.AnswerDialog(kDialogOk, [](platform::ui::Dialog& d) { UserSelects(static_cast<CGenericTrapsDlg&>(d).List(), "pit"); });
  ASSERT_TRUE(Send(kCmdTrapAddGeneric));
  EXPECT_EQ(room->selectedTrapType, 4);
  EXPECT_EQ(TheRoomEditMode().GetMode(), CRoom::kToolAddTrap);
  ASSERT_EQ(script.dialogs.size(), 4u);
  EXPECT_EQ(script.dialogs[2].title, "Generic Traps...");
}

TEST_F(PickerPreviews, ChooseBlockPutsThePickedBlockInTheCopyBuffer) {
  CRoom* room = EditRoom("meadow");
  ASSERT_NE(room, nullptr);
  ASSERT_GE(room->blockSet.GetCount(), 2);
  const std::string name = room->blockSet.GetName(1);
  script.AnswerDialog(kDialogOk, [name](platform::ui::Dialog& d) { UserSelects(static_cast<CMeshDlg&>(d).List(), name); });
  ASSERT_TRUE(Send(kCmdBlockChoose));
  ASSERT_EQ(script.dialogs.size(), 1u);
  EXPECT_EQ(script.dialogs[0].title, "Mesh...");
  EXPECT_EQ(room->copyBlock.fileName, std::string(room->blockSet.GetPath(1)));

  // Escape keeps the copy buffer.
  script.AnswerDialog(kDialogCancel, [](platform::ui::Dialog& d) { UserSelects(static_cast<CMeshDlg&>(d).List(), std::string(static_cast<CMeshDlg&>(d).List().GetText(0))); });
  ASSERT_TRUE(Send(kCmdBlockChoose));
  EXPECT_EQ(room->copyBlock.fileName, std::string(room->blockSet.GetPath(1)));
}

// ---- Worked with the keyboard alone -----------------------------------------
// A picker opens with its list focused and nothing chosen that the caller did
// not give; the first arrow key moves the selection, and Return takes it.

void PressKey(Qt::Key key) {
  QWidget* focused = QApplication::focusWidget();
  ASSERT_NE(focused, nullptr) << "nothing has the keyboard";
  QTest::keyClick(focused, key);
}

// Works a shown picker with the keyboard alone: its list must have the focus
// and hold `preselected` (-1: no row); Down then moves one row on and Return
// closes the dialog with OK. `chosen` gets the row Down selected.
template <class Picker>
platform::ui::ScriptedUi::Fill PickWithKeys(int preselected, int& chosen) {
  return [preselected, &chosen](platform::ui::Dialog& d) {
    auto& dialog = dynamic_cast<Picker&>(d);
    CPickerListBox& list = dialog.List();
    EXPECT_EQ(QApplication::focusWidget(), &list) << "the list has the keyboard";
    EXPECT_EQ(list.GetCurSel(), preselected) << "nothing chosen but the caller's value";
    PressKey(Qt::Key_Down);
    chosen = list.GetCurSel();
    EXPECT_EQ(chosen, preselected + 1) << "the first arrow key moves the selection";
    PressKey(Qt::Key_Return);
    EXPECT_TRUE(dialog.HasEnded()) << "Return is OK";
  };
}

TEST_F(PickerPreviews, ShownBlockStyleAndTrapPickersTakeTheFirstArrowKey) {
  CRoom* room = EditRoom("meadow");
  ASSERT_NE(room, nullptr);
  ASSERT_GE(room->blockSet.GetCount(), 1);

  // The block chooser, with nothing in the copy buffer.
  room->copyBlock.fileName.clear();
  int row = -1;
  script.ShowDialog(PickWithKeys<CMeshDlg>(-1, row));
  ASSERT_TRUE(Send(kCmdBlockChoose));
  EXPECT_EQ(row, 0);
  EXPECT_EQ(room->copyBlock.fileName, std::string(room->blockSet.GetPath(0)));

  // The style picker, on the Draw style.
  const std::vector<TileCategory>& styles = TilePalette().Categories();
  int drawRow = -1;
  for (std::size_t i = 0; i < styles.size(); ++i)
    if (&styles[i] == TilePalette().DrawStyle()) drawRow = static_cast<int>(i);
  ASSERT_GE(drawRow, 0);
  ASSERT_LT(drawRow + 1, static_cast<int>(styles.size()));
  script.ShowDialog(PickWithKeys<CStyleDlg>(drawRow, row));
  ASSERT_TRUE(Send(kCmdStyle));
  EXPECT_EQ(TilePalette().DrawStyle(), &styles[static_cast<std::size_t>(drawRow) + 1]);

  // The generic traps, none picked before.
  std::vector<int> types;
  for (const GenericDef* def = Quest().generics; def; def = def->next)
    if (def->editable) types.push_back(def->type);
  ASSERT_FALSE(types.empty());
  script.ShowDialog(PickWithKeys<CGenericTrapsDlg>(-1, row));
  ASSERT_TRUE(Send(kCmdTrapAddGeneric));
  EXPECT_EQ(room->selectedTrapType, types.front());
  EXPECT_EQ(TheRoomEditMode().GetMode(), CRoom::kToolAddTrap);
}

template <class Picker>
void ExpectFirstRowPickedWithKeys(platform::ui::ScriptedUi& script, const char* name) {
  SCOPED_TRACE(name);
  Picker dialog;
  int row = -1;
  script.ShowDialog(PickWithKeys<Picker>(-1, row));
  EXPECT_EQ(dialog.DoModal(), kDialogOk);
  ASSERT_EQ(row, 0);
  EXPECT_EQ(dialog.value, dialog.List().GetText(0));
}

TEST_F(PickerPreviews, ShownElementPickersTakeTheFirstArrowKey) {
  ExpectFirstRowPickedWithKeys<CObjectsDlg>(script, "objects");
  ExpectFirstRowPickedWithKeys<CObjectMeshesDlg>(script, "object meshes");
  ExpectFirstRowPickedWithKeys<CMonsterListDlg>(script, "monsters");
  ExpectFirstRowPickedWithKeys<CFrameDlg>(script, "frame");
  CSoundSystem silent(nullptr);
  ASSERT_EQ(g_soundTable.Read(std::span<const std::uint8_t>(
                                  Bytes().u16(1).i32(2).u16(1).fixed("alarm", 32).u16(1).fixed("bell", 32).data()),
                              &silent),
            1);
  ExpectFirstRowPickedWithKeys<CSoundDlg>(script, "sounds");
  g_soundTable.Free();
  // The choice list opens on its first choice when the value names none.
  ParamChoice second, first;
  SetField(first.key, "north");
  SetField(second.key, "south");
  first.next = &second;
  CChoiceListDlg choices(&first, "up");
  int row = -1;
  script.ShowDialog(PickWithKeys<CChoiceListDlg>(0, row));
  EXPECT_EQ(choices.DoModal(), kDialogOk);
  EXPECT_EQ(choices.value, "south");
}

}  // namespace
}  // namespace kelvartest
