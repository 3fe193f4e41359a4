#include <gtest/gtest.h>

#include "platform/ui/command_ids.h"
#include "platform/ui/frame_window.h"
#include "ui_test_support.h"

using namespace platform::ui;
using uitest::TestDoc;
using uitest::TestView;

namespace {

class SingleDocumentTest : public testsupport::TempDirTest {
 protected:
  void SetUp() override {
    uitest::EnsureQtApp();
    platform::SetProfilePath(dir.Native("profile.ini"));
    TestDoc::log.clear();
    TestDoc::failNew = TestDoc::failOpen = TestDoc::failSave = false;
    app = std::make_unique<Application>("pavix");
    app->LoadStdProfileSettings(8);
    app->AddDocTemplate(std::make_unique<SingleDocTemplate>(
        128, "pavix\nuntitled\nPavix\nFiles Pavix (*.o3d)\n.o3d\nPavix.Document\nPavix Document",
        [] { return std::make_unique<TestDoc>(); }, [] { return std::make_unique<FrameWindow>(); },
        [](QWidget* p) { return new TestView(p); }));
  }
  void TearDown() override {
    app->ExitInstance();
    app.reset();
    uitest::Settle();
  }
  platform::ScriptedServices boxes;
  ScriptedUi script;
  std::unique_ptr<Application> app;
};

TEST_F(SingleDocumentTest, FirstNewMakesTheMainFrameAndItsView) {
  ASSERT_TRUE(app->ProcessShellCommand(Application::ParseCommandLine({})));
  FrameWindow* frame = app->MainWindow();
  ASSERT_NE(frame, nullptr);
  Document* d = frame->ActiveDocument();
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->Title(), "untitled");
  EXPECT_EQ(frame->windowTitle(), QString("untitled - pavix"));
  EXPECT_EQ(dynamic_cast<TestView*>(frame->ActiveView())->initialUpdates, 1);
}

TEST_F(SingleDocumentTest, OpenReusesTheDocumentAfterAskingToSave) {
  app->ProcessShellCommand({});
  Document* d = app->MainWindow()->ActiveDocument();
  d->SetModifiedFlag();
  boxes.Answer(platform::kIdCancel);
  EXPECT_EQ(app->OpenDocumentFile(dir.Native("box.o3d")), nullptr);
  EXPECT_EQ(d->Title(), "untitled");
  boxes.Answer(platform::kIdNo);
  EXPECT_EQ(app->OpenDocumentFile(dir.Native("box.o3d")), d);
  EXPECT_EQ(d->Title(), "box.o3d");
  EXPECT_EQ(dynamic_cast<TestView*>(app->MainWindow()->ActiveView())->initialUpdates, 2);
  EXPECT_EQ(app->GetDocManager()->Documents().size(), 1u);
}

TEST_F(SingleDocumentTest, CommandLineFileIsOpenedAndAFailureIsReported) {
  auto info = Application::ParseCommandLine({"-x", dir.Native("mesh.o3d")});
  EXPECT_EQ(info.shell, Application::CommandLineInfo::Shell::kFileOpen);
  EXPECT_EQ(info.fileName, dir.Native("mesh.o3d"));
  TestDoc::failOpen = true;
  EXPECT_FALSE(app->ProcessShellCommand(info));
  TestDoc::failOpen = false;
  EXPECT_TRUE(app->ProcessShellCommand(info));
  EXPECT_EQ(app->MainWindow()->ActiveDocument()->PathName(), dir.Native("mesh.o3d"));
}

TEST_F(SingleDocumentTest, ClosingTheMainWindowAsksThenQuits) {
  app->ProcessShellCommand({});
  app->MainWindow()->ActiveDocument()->SetModifiedFlag();
  boxes.Answer(platform::kIdCancel);
  EXPECT_FALSE(app->MainWindow()->close());
  EXPECT_TRUE(boxes.quits.empty());
  boxes.Answer(platform::kIdNo);
  EXPECT_TRUE(app->MainWindow()->close());
  EXPECT_EQ(boxes.quits, std::vector<int>{0});
}

}  // namespace
