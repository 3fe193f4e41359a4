// Start-up: which quest is open afterwards, and the state the program starts in.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <QMdiSubWindow>

#include "editor/display_objects.h"
#include "editor/main_frame.h"
#include "editor/quest_tree_ctrl.h"
#include "editor/room_view.h"
#include "kelvar_fixture.h"
#include "platform/core/profile.h"
#include "platform/core/trace.h"
#include "platform/video/machine.h"
#include "platform/video/surface.h"
#include "platform/video/window.h"
#include "quest/kelvar_doc.h"
#include "quest/quest_lists.h"
#include "platform/ui/child_frame.h"
#include "platform/ui/document.h"
#include "platform/ui/window_placement.h"
#include "render/cdd.h"
#include "render/cdd_renderer.h"
#include "render/engine_3d.h"

namespace kelvartest {
namespace {

using kelvar::kTreeMachines;
using kelvar::kTreeRooms;

class StartupTest : public KelvarTest {};

TEST_F(StartupTest, QuestOnTheCommandLineIsOpened) {
  WriteQuest("castle.qst", {{"gate"}, {}, {}, {"hall"}});
  platform::Profile().WriteString(kRecentQuestSection, kRecentQuestValue, dir.Native("other.qst"));
  ASSERT_TRUE(Start({"castle.qst"}));
  ASSERT_EQ(Docs().size(), 1u);
  EXPECT_EQ(Docs()[0]->PathName(), dir.Native("castle.qst"));
  EXPECT_EQ(MachineNames(), std::vector<std::string>{"gate"});
  EXPECT_EQ(TreeTexts(kTreeMachines), std::vector<std::string>{"gate"});
  EXPECT_EQ(TreeTexts(kTreeRooms), std::vector<std::string>{"hall"});
  EXPECT_EQ(Remembered(), "castle.qst") << "the opened quest is the one to reopen";
  EXPECT_FALSE(Modified());
  EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(StartupTest, AQuestOnTheCommandLineIsReadOnceSoItsMessagesComeOnce) {
  WriteQuest("castle.qst", {{"gate"}, {}, {}, {"hall"}});
  std::remove(dir.Native("rozizuzi/stateMachine/door.qsm").c_str());
  ASSERT_TRUE(Start({"castle.qst"}));
  ASSERT_EQ(Docs().size(), 1u);
  EXPECT_EQ(Docs()[0]->PathName(), dir.Native("castle.qst"));
  EXPECT_EQ(MachineNames(), std::vector<std::string>{"gate"});
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Error! Machine door not found. You should erase gate before continuing."});
}

TEST_F(StartupTest, AQuestWindowMaximisedAtTheLastExitNamesTheQuestInTheTitle) {
  WriteQuest("castle.qst", {{"gate"}, {}, {}, {"hall"}});
  ASSERT_TRUE(Start({"castle.qst"}));
  ASSERT_TRUE(Main().isVisible());
  ASSERT_NE(Main().ActiveChild(), nullptr);
  Main().ActiveChild()->Window()->showMaximized();
  Settle();
  ASSERT_EQ(Main().windowTitle(), "Kelvar - [castle.qst]");
  app->ExitInstance();
  app.reset();
  Settle();
  ResetQuestState();

  ASSERT_TRUE(Start({"castle.qst"}));
  ASSERT_TRUE(Main().isVisible());
  ASSERT_NE(Main().ActiveChild(), nullptr);
  EXPECT_TRUE(Main().ActiveChild()->Window()->isMaximized());
  EXPECT_EQ(Main().windowTitle(), "Kelvar - [castle.qst]");
  EXPECT_EQ(Main().ActiveChild()->Window()->windowTitle(), "castle.qst");
  // Restored and maximised again, it keeps naming the quest as it should.
  Main().ActiveChild()->Window()->showNormal();
  Settle();
  EXPECT_EQ(Main().windowTitle(), "Kelvar - castle.qst");
  Main().ActiveChild()->Window()->showMaximized();
  Settle();
  EXPECT_EQ(Main().windowTitle(), "Kelvar - [castle.qst]");
}

// The command line's quest is not read a second time only when the
// framework's open left that very quest, and it alone, unchanged.
struct SkipCase {
  const char* name;
  std::vector<std::string> open;  // files of the open documents
  bool modified;
  const char* commandLine;
  bool skip;
};

class CommandLineQuestSkip : public StartupTest, public ::testing::WithParamInterface<SkipCase> {};

TEST_P(CommandLineQuestSkip, OnlyWhenTheOneOpenQuestIsTheNamedFile) {
  const SkipCase& c = GetParam();
  WriteQuest("castle.qst", {{"gate"}, {}, {}, {}});
  WriteQuest("other.qst", {{"bell"}, {}, {}, {}});
  std::vector<std::unique_ptr<platform::ui::Document>> docs;
  std::vector<platform::ui::Document*> open;
  for (const std::string& file : c.open) {
    docs.push_back(std::make_unique<platform::ui::Document>());
    docs.back()->SetPathName(dir.Native(file), false);
    docs.back()->SetModifiedFlag(c.modified);
    open.push_back(docs.back().get());
  }
  EXPECT_EQ(kelvar::OnlyTheQuestOf(open, c.commandLine), c.skip);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLineQuestSkip,
    ::testing::Values(SkipCase{"TheNamedQuest", {"castle.qst"}, false, "castle.qst", true},
                      SkipCase{"NamedInAnotherCase", {"castle.qst"}, false, "CASTLE.QST", true},
                      SkipCase{"AnotherQuest", {"other.qst"}, false, "castle.qst", false},
                      SkipCase{"Modified", {"castle.qst"}, true, "castle.qst", false},
                      SkipCase{"TwoQuests", {"castle.qst", "other.qst"}, false, "castle.qst", false},
                      SkipCase{"NoQuest", {}, false, "castle.qst", false}),
    [](const ::testing::TestParamInfo<SkipCase>& p) { return std::string(p.param.name); });

TEST_F(StartupTest, RememberedQuestIsOpenedWithoutACommandLine) {
  WriteQuest("castle.qst", {{"gate", "bell"}, {}, {}, {}});
  platform::Profile().WriteString(kRecentQuestSection, kRecentQuestValue, "castle.qst");
  ASSERT_TRUE(Start());
  ASSERT_EQ(Docs().size(), 1u) << "the empty new quest was closed first";
  EXPECT_EQ(Docs()[0]->Title(), "castle.qst");
  EXPECT_EQ(TreeTexts(kTreeMachines), (std::vector<std::string>{"gate", "bell"}));
}

TEST_F(StartupTest, NeitherGivesOneEmptyNewQuest) {
  ASSERT_TRUE(Start());
  ASSERT_EQ(Docs().size(), 1u);
  EXPECT_EQ(Docs()[0]->Title(), "Quest1");
  EXPECT_TRUE(Docs()[0]->PathName().empty());
  EXPECT_TRUE(MachineNames().empty());
  EXPECT_TRUE(TreeTexts(kTreeMachines).empty());
  EXPECT_TRUE(dir.Exists("data/customQuest/Quest1/k0830_sprite.tga")) << "the new quest's folder";
}

TEST_F(StartupTest, CommandLineSwitchesAreNotAQuest) {
  // Only the parsed file name opens a quest; a switch alone leaves the remembered one.
  WriteQuest("castle.qst", {{"gate"}, {}, {}, {}});
  platform::Profile().WriteString(kRecentQuestSection, kRecentQuestValue, "castle.qst");
  ASSERT_TRUE(Start({"-nologo"}));
  ASSERT_EQ(Docs().size(), 1u);
  EXPECT_EQ(Docs()[0]->Title(), "castle.qst");
}

TEST_F(StartupTest, CommandLineQuestThatCannotBeOpenedEndsStartUp) {
  EXPECT_FALSE(Start({"missing.qst"}));
  EXPECT_TRUE(Docs().empty());
  ASSERT_EQ(BoxTexts().size(), 1u);
  EXPECT_EQ(BoxTexts()[0], "Can't open file missing.qst, error = 2\n");
}

TEST_F(StartupTest, RememberedQuestThatIsGoneLeavesNoQuest) {
  platform::Profile().WriteString(kRecentQuestSection, kRecentQuestValue, "gone.qst");
  ASSERT_TRUE(Start());
  EXPECT_TRUE(Docs().empty()) << "a failed open leaves no document";
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Can't open file gone.qst, error = 2\n"});
}

TEST_F(StartupTest, DisplayIsSetUpForTheViewAndItsThumbnailColumn) {
  ASSERT_TRUE(Start());
  kelvar::DisplayObjects& display = kelvar::Display();
  ASSERT_NE(display.cdd, nullptr);
  ASSERT_NE(g_3DEngine, nullptr);
  ASSERT_NE(display.renderer, nullptr) << "the default machine renders at 16 bits in a window";
  EXPECT_GE(display.cdd->GetWidth(), 736);
  EXPECT_GE(display.cdd->GetHeight(), 480);
  // The renderer knows the surface the device really has.
  EXPECT_EQ(CCddRenderer::ScreenWidth(), display.cdd->GetWidth());
  EXPECT_EQ(CCddRenderer::ScreenHeight(), display.cdd->GetHeight());
  EXPECT_EQ(g_3DEngine->FocalX(), 500.0f);
  EXPECT_EQ(g_3DEngine->NearPlane(), 128.0f);
  EXPECT_EQ(g_3DEngine->GetRenderer(), display.renderer);
}

TEST_F(StartupTest, WithoutAUsable3DDriverTheProgramEndsQuietly) {
  platform::video::Machine machine = platform::video::DefaultMachine();
  ASSERT_TRUE(platform::video::ApplyMachineSetting(machine, "no-driver"));
  platform::video::ScopedMachine scoped(machine);
  try {
    Start();
    FAIL() << "start-up went on";
  } catch (const platform::ProgramExit& e) {
    EXPECT_EQ(e.code, 0);
  }
  EXPECT_TRUE(BoxTexts().empty()) << "no message";
  ASSERT_NE(platform::video::MainWindow(), nullptr);
  EXPECT_FALSE(platform::video::MainWindow()->IsVisible()) << "the main window is hidden first";
}

TEST_F(StartupTest, WithoutSixteenBitRenderingTheSoftwareRendererDrawsIntoTheBackSurface) {
  platform::video::Machine machine = platform::video::DefaultMachine();
  ASSERT_TRUE(platform::video::ApplyMachineSetting(machine, "no-16bit"));
  platform::video::ScopedMachine scoped(machine);
  ASSERT_TRUE(Start());
  CRenderer* renderer = kelvar::Display().renderer;
  ASSERT_NE(renderer, nullptr);
  EXPECT_EQ(renderer->IsSoftware(), 1);
  EXPECT_EQ(g_3DEngine->GetRenderer(), renderer);
  EXPECT_EQ(renderer->GetTextureCount(), 32);
  // A frame draws straight into the device's back surface, at its own pitch.
  const platform::video::Surface* back = Cdd::BackSurface();
  ASSERT_NE(back, nullptr);
  // What the quest's map left there, away from the triangle.
  const std::uint32_t before[3] = {back->PixelAt(5, 5), back->PixelAt(700, 400), back->PixelAt(70, 70)};
  ASSERT_EQ(renderer->BeginFrame(1), 1);
  EXPECT_EQ(renderer->GetPitch(), kelvar::Display().cdd->GetPitch() / 2);
  CVertex v[3] = {};
  const int corners[3][2] = {{10, 10}, {60, 10}, {10, 60}};
  for (int i = 0; i < 3; ++i) {
    v[i].sx = corners[i][0];
    v[i].sy = corners[i][1];
    v[i].rz = 1.0f;
    v[i].fade = 255;
    v[i].color = CColor(128, 128, 128);
  }
  renderer->DrawTriangle(0x4, &v[0], &v[1], &v[2], 0, CColor(255, 0, 0));
  renderer->EndFrame();
  // Mid-grey vertices give shade 15: red 15 x 15 = 225, in five bits 28.
  EXPECT_EQ(back->PixelAt(20, 20), 28u << 11);
  EXPECT_EQ(back->PixelAt(5, 5), before[0]) << "nothing outside the triangle";
  EXPECT_EQ(back->PixelAt(700, 400), before[1]);
  EXPECT_EQ(back->PixelAt(70, 70), before[2]);
  EXPECT_EQ(Docs().size(), 1u) << "the editor runs";
}

TEST_F(StartupTest, ShutDownReleasesTheDisplay) {
  ASSERT_TRUE(Start());
  app->ExitInstance();
  EXPECT_EQ(g_3DEngine, nullptr);
  EXPECT_EQ(kelvar::Display().cdd, nullptr);
  EXPECT_EQ(kelvar::Display().renderer, nullptr);
  EXPECT_EQ(app->MainWindow(), nullptr);
  app.reset();
}

TEST_F(StartupTest, MainWindowPlacementComesBackWhenWholeAndIsIgnoredOtherwise) {
  platform::ui::WindowPlacement saved;
  saved.left = 40;
  saved.top = 30;
  saved.right = 940;
  saved.bottom = 730;
  platform::Profile().WriteBinary("Windows", "main", saved.ToBytes());
  ASSERT_TRUE(Start());
  EXPECT_EQ(Main().size(), QSize(900, 700));
  Main().resize(1000, 720);
  Main().SavePlacement();
  auto bytes = platform::Profile().GetBinary("Windows", "main");
  ASSERT_TRUE(bytes);
  ASSERT_EQ(bytes->size(), 44u);
  auto back = platform::ui::WindowPlacement::FromBytes(*bytes);
  EXPECT_EQ(back->right - back->left, 1000);

  std::vector<std::uint8_t> shortRecord(40, 0);
  platform::Profile().WriteBinary("Windows", "main", shortRecord);
  Main().resize(500, 400);
  Main().RestorePlacement();
  EXPECT_EQ(Main().size(), QSize(500, 400)) << "a record of another size is ignored";
}

}  // namespace
}  // namespace kelvartest
