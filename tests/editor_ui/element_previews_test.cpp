// The monster and object dialogs' previews over the demo start directory,
// drawn end to end through the engine and the display device.
#include <gtest/gtest.h>

#include <QImage>

#include "editor/display_objects.h"
#include "editor/monster_dlg.h"
#include "editor/object_properties_dlg.h"
#include "editor/preview_clock.h"
#include "editor/preview_control.h"
#include "editor/quest_tree_ctrl.h"
#include "editor/kelvar_commands.h"
#include "kelvar_fixture.h"
#include "preview_bounds.h"
#include "platform/core/clock.h"
#include "quest/fixed_field.h"
#include "quest/monster.h"
#include "quest/quest_lists.h"
#include "quest/quest_object.h"

namespace kelvartest {
namespace {

using namespace kelvar;

// Pixels that are not the previews' grey as the 16-bit surface holds it.
int NotGrey(const QImage& image) {
  QImage one(1, 1, QImage::Format_RGB16);
  one.fill(QColor(0x80, 0x80, 0x80));
  const QRgb grey = one.pixel(0, 0);
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) != grey;
  return n;
}

class ElementPreviews : public KelvarTest {
 protected:
  void SetUp() override {
    KelvarTest::SetUp();
    ASSERT_TRUE(StartOnDemoQuest());
    ASSERT_NE(Display().cdd, nullptr);
  }
};

TEST_F(ElementPreviews, MonsterDialogShowsItsClassAndTicksEvery50Ms) {
  platform::FakeClock clock(5000);
  PreviewClock::Reset();
  CMonster* guardian = Quest().monsters;
  while (guardian && std::string_view(guardian->monsterClass) != "wolf") guardian = guardian->next;
  ASSERT_NE(guardian, nullptr);
  CMonsterDlg dialog(guardian);
  ASSERT_TRUE(dialog.Initialize());
  EXPECT_EQ(dialog.Timers().Interval(CMonsterDlg::kPreviewTimer), 50);
  dialog.Preview()->PaintNow();
  const QImage image = dialog.Preview()->LastImage();
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(dialog.preview.skeletonName, "wolf");
  EXPECT_GT(NotGrey(image), 200) << "the wolf is drawn on the grey";
  dialog.Finish();
  EXPECT_FALSE(dialog.Timers().IsSet(CMonsterDlg::kPreviewTimer)) << "the timer goes with the dialog";
  PreviewClock::Reset();
}

// Shown, the monster dialog's preview holds its class's model whole (head and
// feet), in its middle and filling it, at every turn of the camera.
TEST_F(ElementPreviews, ShownMonsterDialogFramesItsModelWholeAsItTurns) {
  platform::FakeClock clock(5000);
  PreviewClock::Reset();
  for (const CMonster* monster = Quest().monsters; monster; monster = monster->next) {
    SelectInTree(kTreeMonsters, monster->key);
    script.ShowDialog([&](platform::ui::Dialog& d) {
      auto& dialog = dynamic_cast<CMonsterDlg&>(d);
      // Under a second between paints: the preview turns by that much.
      ExpectFramedAsItTurns(
          [&] {
            clock.Advance(900);
            dialog.Preview()->PaintNow();
            return dialog.Preview()->LastImage();
          },
          monster->key);
    });
    ASSERT_TRUE(Send(kCmdMonsterProperties));
  }
  ASSERT_GE(script.dialogs.size(), 2u) << "the orc and the wolf";
  PreviewClock::Reset();
}

TEST_F(ElementPreviews, ObjectWithItsOwnSpriteCellShowsIt) {
  CQuestObject object;
  SetField(object.key, "coin");
  object.sprite.cellSize = 24;
  SetField(object.sprite.name, "USED");
  CObjectPropertiesDlg dialog(&object);
  ASSERT_TRUE(dialog.Initialize());
  dialog.Preview()->PaintNow();
  const QImage withCell = dialog.Preview()->LastImage();
  ASSERT_FALSE(withCell.isNull());
  EXPECT_GT(NotGrey(withCell), 100) << "the sheet's cell is copied in";
  dialog.Finish();

  SetField(object.sprite.name, "FREE");  // and no origin: nothing to show
  CObjectPropertiesDlg plain(&object);
  ASSERT_TRUE(plain.Initialize());
  plain.Preview()->PaintNow();
  EXPECT_EQ(NotGrey(plain.Preview()->LastImage()), 0);
  plain.Finish();
}

// The gift preview shows the picture the world map shows for that object:
// the key for the guard's rusty key, the sword for the game's sword, nothing
// for a virtual object.
TEST_F(ElementPreviews, GiftPreviewShowsTheGiftsOwnSprite) {
  CMonster* guard = FindMonster(Quest().monsters, "oldguard");
  ASSERT_NE(guard, nullptr);
  const auto look = [guard](const char* gift) {
    SetField(guard->gift, gift);
    CMonsterDlg dialog(guard);
    EXPECT_TRUE(dialog.Initialize());
    dialog.GiftPreview()->PaintNow();
    QImage image = dialog.GiftPreview()->LastImage();
    dialog.Finish();
    return image;
  };
  const QImage key = look("rustykey"), sword = look("ITSWORD"), cup = look("goldcup");
  ASSERT_FALSE(key.isNull());
  EXPECT_GT(NotGrey(key), 100);
  EXPECT_GT(NotGrey(sword), 100);
  EXPECT_NE(key, sword);
  EXPECT_NE(key, cup) << "not the sprite table's first row";
  EXPECT_EQ(NotGrey(look("oldletter")), 0) << "a virtual object shows nothing";
  EXPECT_EQ(NotGrey(look("nothing")), 0);
}

}  // namespace
}  // namespace kelvartest
