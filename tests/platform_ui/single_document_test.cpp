#include <algorithm>

#include <gtest/gtest.h>

#include "platform/ui/command_ids.h"
#include "platform/ui/doc_manager.h"
#include "platform/ui/frame_window.h"
#include "platform/ui/recent_file_list.h"
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
  TestDoc::writtenAs.clear();
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

// The one document is reused by New: it must forget the file it showed, or
// Save would write the new document over that file without asking, and
// opening that file again would only "activate" the new document.
TEST_F(SingleDocumentTest, NewForgetsTheFileSoSaveAsksAndTheFileOpensAgain) {
  Document* d = app->OpenDocumentFile(dir.Native("box.o3d"));
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->PathName(), dir.Native("box.o3d"));
  ASSERT_TRUE(app->MainWindow()->SendCommand(kCmdFileNew));
  EXPECT_TRUE(d->PathName().empty());
  EXPECT_EQ(d->Title(), "untitled");
  d->SetModifiedFlag();
  TestDoc::log.clear();
  script.CancelFile();
  app->MainWindow()->SendCommand(kCmdFileSave);
  ASSERT_EQ(script.fileDialogs.size(), 1u);
  EXPECT_EQ(script.fileDialogs[0].fileName, "untitled.o3d");
  EXPECT_TRUE(TestDoc::log.empty()) << TestDoc::log.front();
  EXPECT_TRUE(d->IsModified());
  // The file opens again (after the question about the new document's changes).
  boxes.Answer(platform::kIdNo);
  EXPECT_EQ(app->OpenDocumentFile(dir.Native("box.o3d")), d);
  EXPECT_NE(std::find(TestDoc::log.begin(), TestDoc::log.end(), "open " + dir.Native("box.o3d")), TestDoc::log.end());
  EXPECT_EQ(d->PathName(), dir.Native("box.o3d"));
}

// A document that overrides New without calling the framework's still starts without a file.
TEST_F(SingleDocumentTest, NewClearsThePathWhateverTheDocumentsOwnNewDoes) {
  struct OwnNew : TestDoc {
    bool OnNewDocument() override { return true; }
  };
  auto t = std::make_unique<SingleDocTemplate>(
      130, "pavix\nuntitled\nPavix\nFiles Pavix (*.o3d)\n.o3d\nPavix.Document\nPavix Document",
      [] { return std::make_unique<OwnNew>(); }, [] { return std::make_unique<FrameWindow>(); },
      [](QWidget* p) { return new TestView(p); });
  SingleDocTemplate* own = t.get();
  app->AddDocTemplate(std::move(t));  // the fixture's own template stays unused
  Document* d = own->OpenDocumentFile(nullptr);
  ASSERT_NE(d, nullptr);
  std::string path = dir.Native("a.o3d");
  ASSERT_EQ(own->OpenDocumentFile(&path), d);
  ASSERT_EQ(d->PathName(), path);
  ASSERT_EQ(own->OpenDocumentFile(nullptr), d);
  EXPECT_TRUE(d->PathName().empty());
}

}  // namespace
