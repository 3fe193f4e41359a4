#include <algorithm>

#include <gtest/gtest.h>

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QDropEvent>
#include <QUrl>
#include <QVBoxLayout>

#include "platform/ui/command_ids.h"
#include "platform/ui/recent_file_list.h"
#include "platform/ui/static_splitter.h"
#include "ui_test_support.h"

using namespace platform::ui;
using uitest::TestDoc;
using uitest::TestView;

namespace {

class DocumentTest : public uitest::MdiTest {};

TEST_F(DocumentTest, NewMakesANumberedDocumentInItsOwnChildFrame) {
  Document* a = app->GetDocManager()->OnFileNew();
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->Title(), "Quest1");
  Document* b = app->GetDocManager()->OnFileNew();
  EXPECT_EQ(b->Title(), "Quest2");
  EXPECT_EQ(Main().Children().size(), 2u);
  EXPECT_EQ(TestDoc::log, (std::vector<std::string>{"new Quest1", "delete contents", "new Quest2",
                                                    "delete contents"}));
  auto* view = dynamic_cast<TestView*>(b->Views().at(0));
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->initialUpdates, 1);
  EXPECT_EQ(Main().ActiveDocument(), b);
  EXPECT_EQ(Main().windowTitle(), QString("Kelvar - Quest2"));
}

TEST_F(DocumentTest, OpenAsksForAFileWithTheTemplatesFilter) {
  dir.Write("demo.qst", "x");
  script.AnswerFile(dir.Native("demo.qst"));
  Document* d = app->GetDocManager()->OnFileOpen();
  ASSERT_NE(d, nullptr);
  ASSERT_EQ(script.fileDialogs.size(), 1u);
  EXPECT_TRUE(script.fileDialogs[0].open);
  EXPECT_EQ(script.fileDialogs[0].filter, "Quest document (*.qst)|*.qst|All Files (*.*)|*.*||");
  EXPECT_EQ(d->PathName(), dir.Native("demo.qst"));
  EXPECT_EQ(d->Title(), "demo.qst");
  EXPECT_FALSE(d->IsModified());
  EXPECT_EQ((*app->RecentFiles())[0], dir.Native("demo.qst"));
}

TEST_F(DocumentTest, CancelledOpenOpensNothing) {
  script.CancelFile();
  EXPECT_EQ(app->GetDocManager()->OnFileOpen(), nullptr);
  EXPECT_TRUE(Docs().empty());
  EXPECT_TRUE(Main().Children().empty());
}

TEST_F(DocumentTest, FailedOpenLeavesNoDocumentOrFrame) {
  TestDoc::failOpen = true;
  EXPECT_EQ(app->OpenDocumentFile(dir.Native("broken.qst")), nullptr);
  uitest::Settle();
  EXPECT_TRUE(Docs().empty());
  EXPECT_TRUE(Main().Children().empty());
  EXPECT_EQ(app->RecentFiles()->Count(), 0);
}

TEST_F(DocumentTest, OpeningAnOpenFileOnlyActivatesIt) {
  Document* a = app->OpenDocumentFile(dir.Native("a.qst"));
  app->GetDocManager()->OnFileNew();
  EXPECT_EQ(app->OpenDocumentFile(dir.Native("a.qst")), a);
  EXPECT_EQ(Docs().size(), 2u);
}

TEST_F(DocumentTest, DroppedFileOpensAsADocument) {
  Main().AcceptDroppedFiles(true);
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromStdString(dir.Native("dropped.qst")))});
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&Main(), &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&Main(), &drop);
  ASSERT_EQ(Docs().size(), 1u);
  EXPECT_EQ(Docs()[0]->PathName(), dir.Native("dropped.qst"));
}

TEST_F(DocumentTest, RecentFileThatFailsToOpenLeavesTheList) {
  app->AddToRecentFileList(dir.Native("gone.qst"));
  app->AddToRecentFileList(dir.Native("kept.qst"));
  TestDoc::failOpen = true;
  EXPECT_TRUE(Main().SendCommand(kCmdRecentFirst + 1));  // gone.qst
  EXPECT_EQ(app->RecentFiles()->Files(), std::vector<std::string>{dir.Native("kept.qst")});
  EXPECT_FALSE(Main().QueryCommand(kCmdRecentFirst + 1).enabled);
  // The list lives in the profile.
  EXPECT_EQ(platform::Profile().GetString("Recent File List", "File1", ""), dir.Native("kept.qst"));
  EXPECT_FALSE(platform::Profile().GetString("Recent File List", "File2").has_value());
}

TEST_F(DocumentTest, RecentListKeepsFourNewestFirstWithoutDuplicates) {
  for (const char* n : {"1", "2", "3", "4", "5", "3"}) app->AddToRecentFileList(dir.Native(n));
  EXPECT_EQ(app->RecentFiles()->Files(),
            (std::vector<std::string>{dir.Native("3"), dir.Native("5"), dir.Native("4"), dir.Native("2")}));
  RecentFileList reread("Recent File List", 4);
  reread.ReadList();
  EXPECT_EQ(reread.Files(), app->RecentFiles()->Files());
}

// Names on disk and names asked for can differ in case only: the document,
// its title and the recent list take the name the disk has, and a file is
// listed once.
TEST_F(DocumentTest, OpenTakesTheFileAsTheDiskNamesIt) {
  dir.Write("Castle.QST", "x");
  Document* d = app->OpenDocumentFile(dir.Native("castle.qst"));
  ASSERT_NE(d, nullptr);
  EXPECT_NE(std::find(TestDoc::log.begin(), TestDoc::log.end(), "open " + dir.Native("Castle.QST")), TestDoc::log.end());
  EXPECT_EQ(d->PathName(), dir.Native("Castle.QST"));
  EXPECT_EQ(d->Title(), "Castle.QST");
  EXPECT_EQ(app->RecentFiles()->Files(), std::vector<std::string>{dir.Native("Castle.QST")});
  // Asked in yet another case, the open document is the one.
  EXPECT_EQ(app->OpenDocumentFile(dir.Native("CASTLE.qst")), d);
  EXPECT_EQ(Docs().size(), 1u);
  // A name that exists exactly is taken as it is, even beside another case.
  dir.Write("castle.qst", "y");
  Document* e = app->OpenDocumentFile(dir.Native("castle.qst"));
  ASSERT_NE(e, d);
  EXPECT_EQ(e->PathName(), dir.Native("castle.qst"));
}

TEST_F(DocumentTest, RecentListHoldsAFileOnceWhateverTheCaseItWasNamedIn) {
  dir.Write("Lantern.o3d", "x");
  app->AddToRecentFileList(dir.Native("other.qst"));
  app->AddToRecentFileList(dir.Native("lantern.O3D"));
  app->AddToRecentFileList(dir.Native("Lantern.o3d"));
  EXPECT_EQ(app->RecentFiles()->Files(),
            (std::vector<std::string>{dir.Native("Lantern.o3d"), dir.Native("other.qst")}));
  // Two files whose names differ in case are two files.
  dir.Write("lantern.O3D", "y");
  app->AddToRecentFileList(dir.Native("lantern.O3D"));
  EXPECT_EQ(app->RecentFiles()->Count(), 3);
  // A profile written before holds one file under two names: read back, it is listed once.
  platform::Profile().WriteString("Recent File List", "File1", dir.Native("gone.qst"));
  platform::Profile().WriteString("Recent File List", "File2", dir.Native("LANTERN.o3d"));
  platform::Profile().WriteString("Recent File List", "File3", dir.Native("Lantern.o3d"));
  platform::Profile().WriteString("Recent File List", "File4", dir.Native("GONE.qst"));
  RecentFileList reread("Recent File List", 4);
  reread.ReadList();
  // Each entry is named as the disk has it.
  EXPECT_EQ(reread.Files(), (std::vector<std::string>{dir.Native("gone.qst"), dir.Native("Lantern.o3d"),
                                                      dir.Native("GONE.qst")}));
}

// A save may write another name than it was given (a forced extension, an
// existing file's case): the document takes the name written.
TEST_F(DocumentTest, SaveAsTakesTheNameTheDocumentWrote) {
  Document* d = app->GetDocManager()->OnFileNew();
  TestDoc::writtenAs = dir.Native("LANTERN.QST");
  script.AnswerFile(dir.Native("lantern.qst"));
  Main().SendCommand(kCmdFileSaveAs);
  EXPECT_EQ(TestDoc::log.back(), "save " + dir.Native("lantern.qst"));
  EXPECT_EQ(d->PathName(), dir.Native("LANTERN.QST"));
  EXPECT_EQ(d->Title(), "LANTERN.QST");
  EXPECT_EQ(app->RecentFiles()->Files(), std::vector<std::string>{dir.Native("LANTERN.QST")});
  // A save that names nothing else keeps the name it was given.
  TestDoc::writtenAs.clear();
  script.AnswerFile(dir.Native("other.qst"));
  Main().SendCommand(kCmdFileSaveAs);
  EXPECT_EQ(d->PathName(), dir.Native("other.qst"));
}

// Save As asks before a file is replaced, naming the file the save writes:
// the chosen name as the disk has it, whatever case it was typed in. No
// shows the dialog again with the name; Yes saves to that file.
TEST_F(DocumentTest, SaveAsAsksBeforeReplacingTheFileOfTheNameInAnyCase) {
  dir.Write("Lantern.QST", "old");
  Document* d = app->GetDocManager()->OnFileNew();
  const std::string question = dir.Native("Lantern.QST") + " already exists.\nDo you want to replace it?";
  script.AnswerFile(dir.Native("lantern.qst"));
  boxes.Answer(platform::kIdNo);
  script.AnswerFile(dir.Native("LANTERN"));  // the default extension makes it the same file
  boxes.Answer(platform::kIdYes);
  Main().SendCommand(kCmdFileSaveAs);
  ASSERT_EQ(boxes.boxes.size(), 2u);
  for (const auto& box : boxes.boxes) {
    EXPECT_EQ(box.text, question);
    EXPECT_EQ(box.caption, "Save As");
    EXPECT_EQ(box.flags, platform::kMbYesNo | platform::kMbIconWarning);
  }
  ASSERT_EQ(script.fileDialogs.size(), 2u);
  EXPECT_EQ(script.fileDialogs[1].fileName, dir.Native("lantern.qst"));
  EXPECT_EQ(TestDoc::log.back(), "save " + dir.Native("Lantern.QST"));
  EXPECT_EQ(d->PathName(), dir.Native("Lantern.QST"));
  // No, then a cancelled dialog: nothing is saved.
  boxes.boxes.clear();
  TestDoc::log.clear();
  script.AnswerFile(dir.Native("lantern.QST"));
  boxes.Answer(platform::kIdNo);
  script.CancelFile();
  Main().SendCommand(kCmdFileSaveAs);
  EXPECT_EQ(boxes.boxes.size(), 1u);
  EXPECT_TRUE(TestDoc::log.empty());
  // A name no file has is not asked about.
  boxes.boxes.clear();
  script.AnswerFile(dir.Native("fresh.qst"));
  Main().SendCommand(kCmdFileSaveAs);
  EXPECT_TRUE(boxes.boxes.empty());
  EXPECT_EQ(TestDoc::log.back(), "save " + dir.Native("fresh.qst"));
}

// In a multiple-document program New makes a document of its own: it has no file either.
TEST_F(DocumentTest, NewDocumentAfterAnOpenOneHasNoFile) {
  app->OpenDocumentFile(dir.Native("a.qst"));
  Document* fresh = app->GetDocManager()->OnFileNew();
  ASSERT_NE(fresh, nullptr);
  EXPECT_TRUE(fresh->PathName().empty());
  fresh->SetModifiedFlag();
  script.CancelFile();
  Main().SendCommand(kCmdFileSave);
  EXPECT_EQ(script.fileDialogs.size(), 1u);
}

struct SaveQuestionCase {
  int answer;
  bool saveFails;
  bool closes;
  bool saved;
};

class SaveQuestionTest : public uitest::MdiTest, public ::testing::WithParamInterface<SaveQuestionCase> {};

TEST_P(SaveQuestionTest, ClosingAModifiedDocumentAsksFirst) {
  const SaveQuestionCase& c = GetParam();
  Document* d = app->OpenDocumentFile(dir.Native("q.qst"));
  ASSERT_NE(d, nullptr);
  d->SetModifiedFlag();
  TestDoc::failSave = c.saveFails;
  TestDoc::log.clear();
  boxes.Answer(c.answer);
  Main().SendCommand(kCmdFileClose);
  uitest::Settle();
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text, "Save changes to q.qst?");
  EXPECT_EQ(boxes.boxes[0].caption, "Kelvar");
  EXPECT_EQ(boxes.boxes[0].flags & 0xF, platform::kMbYesNoCancel);
  EXPECT_EQ(Docs().empty(), c.closes);
  bool saved = std::find(TestDoc::log.begin(), TestDoc::log.end(), "save " + dir.Native("q.qst")) !=
               TestDoc::log.end();
  EXPECT_EQ(saved, c.saved);
  if (!c.closes) {
    EXPECT_TRUE(Docs().at(0)->IsModified());
  }
}

INSTANTIATE_TEST_SUITE_P(Answers, SaveQuestionTest,
                         ::testing::Values(SaveQuestionCase{platform::kIdYes, false, true, true},
                                           SaveQuestionCase{platform::kIdYes, true, false, true},
                                           SaveQuestionCase{platform::kIdNo, false, true, false},
                                           SaveQuestionCase{platform::kIdCancel, false, false, false}));

TEST_F(DocumentTest, UnmodifiedDocumentClosesWithoutAQuestion) {
  app->GetDocManager()->OnFileNew();
  Main().ActiveChild()->Window()->close();
  uitest::Settle();
  EXPECT_TRUE(boxes.boxes.empty());
  EXPECT_TRUE(Docs().empty());
}

TEST_F(DocumentTest, ChildFrameCloseBoxAsksAndCancelKeepsEverything) {
  Document* d = app->GetDocManager()->OnFileNew();
  d->SetModifiedFlag();
  boxes.Answer(platform::kIdCancel);
  Main().ActiveChild()->Window()->close();
  uitest::Settle();
  EXPECT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(Docs().size(), 1u);
  EXPECT_EQ(Main().Children().size(), 1u);
}

TEST_F(DocumentTest, SaveOfANewDocumentAsksForANameWithTheExtension) {
  Document* d = app->GetDocManager()->OnFileNew();
  d->SetModifiedFlag();
  script.AnswerFile(dir.Native("chosen"));
  Main().SendCommand(kCmdFileSave);
  ASSERT_EQ(script.fileDialogs.size(), 1u);
  EXPECT_FALSE(script.fileDialogs[0].open);
  EXPECT_EQ(script.fileDialogs[0].fileName, "Quest1.qst");
  EXPECT_EQ(d->PathName(), dir.Native("chosen.qst"));  // default extension added
  EXPECT_FALSE(d->IsModified());
  EXPECT_EQ(Main().windowTitle(), QString("Kelvar - chosen.qst"));
  // A document with a path saves without a dialog.
  d->SetModifiedFlag();
  Main().SendCommand(kCmdFileSave);
  EXPECT_EQ(script.fileDialogs.size(), 1u);
  EXPECT_EQ(TestDoc::log.back(), "save " + dir.Native("chosen.qst"));
}

TEST_F(DocumentTest, FailedSaveAsKeepsTheOldNameAndTheModifiedFlag) {
  Document* d = app->OpenDocumentFile(dir.Native("old.qst"));
  d->SetModifiedFlag();
  TestDoc::failSave = true;
  script.AnswerFile(dir.Native("new.qst"));
  Main().SendCommand(kCmdFileSaveAs);
  EXPECT_EQ(d->PathName(), dir.Native("old.qst"));
  EXPECT_TRUE(d->IsModified());
}

TEST_F(DocumentTest, ExitAsksForEveryModifiedDocumentAndCancelStops) {
  Document* a = app->GetDocManager()->OnFileNew();
  Document* b = app->GetDocManager()->OnFileNew();
  a->SetModifiedFlag();
  b->SetModifiedFlag();
  boxes.Answer(platform::kIdNo);
  boxes.Answer(platform::kIdCancel);
  Main().SendCommand(kCmdAppExit);
  uitest::Settle();
  EXPECT_EQ(boxes.boxes.size(), 2u);
  EXPECT_EQ(Docs().size(), 2u);
  EXPECT_TRUE(boxes.quits.empty());

  boxes.Answer(platform::kIdNo);
  boxes.Answer(platform::kIdNo);
  Main().SendCommand(kCmdAppExit);
  uitest::Settle();
  EXPECT_TRUE(Docs().empty());
  EXPECT_EQ(boxes.quits, std::vector<int>{0});
}

TEST_F(DocumentTest, DocumentMenuShowsWhileOneOfItsDocumentsIsActive) {
  Main().SetMenu({Popup("&File", {Item("&New", kCmdFileNew)})});
  docTemplate->SetMenu({Popup("&File", {Item("&New", kCmdFileNew)}), Popup("E&dit", {Item("&Move", 32812)})});
  EXPECT_EQ(Main().menuBar()->actions().size(), 1);
  Document* d = app->GetDocManager()->OnFileNew();
  EXPECT_EQ(Main().menuBar()->actions().size(), 2);
  d->OnCloseDocument();
  uitest::Settle();
  EXPECT_EQ(Main().menuBar()->actions().size(), 1);
}

TEST_F(DocumentTest, CommandsRouteViewThenDocumentThenChildThenFrameThenApp) {
  Document* d = app->GetDocManager()->OnFileNew();
  View* view = d->Views().at(0);
  ChildFrame* child = Main().ActiveChild();
  std::vector<std::string> ran;
  app->OnCommand(500, [&] { ran.push_back("app"); });
  Main().OnCommand(500, [&] { ran.push_back("frame"); });
  child->OnCommand(500, [&] { ran.push_back("child"); });
  d->OnCommand(500, [&] { ran.push_back("doc"); });
  view->OnCommand(500, [&] { ran.push_back("view"); });
  std::vector<CommandTarget*> route = Main().CommandRoute();
  ASSERT_EQ(route.size(), 5u);
  EXPECT_EQ(route[0], view);
  EXPECT_EQ(route[1], d);
  EXPECT_EQ(route[2], child);
  EXPECT_EQ(route[3], &Main());
  EXPECT_EQ(route[4], app.get());
  Main().SendCommand(500);
  EXPECT_EQ(ran, std::vector<std::string>{"view"});
}

TEST_F(DocumentTest, ClosingDocumentDestroysViewsBeforeTheyGo) {
  Document* d = app->GetDocManager()->OnFileNew();
  auto* view = dynamic_cast<TestView*>(d->Views().at(0));
  view->Timers().Set(3, 100);
  QPointer<View> watch(view);
  d->OnCloseDocument();
  EXPECT_EQ(view->destroyed, 1);
  EXPECT_FALSE(view->Timers().IsSet(3));
  uitest::Settle();
  EXPECT_TRUE(watch.isNull());
}

// A child frame with a left pane of 300 pixels and a right pane, as a splitter.
class SplitFrame : public ChildFrame {
 public:
  bool OnCreateClient(const CreateContext& context) override {
    splitter = new StaticSplitter(2, Qt::Horizontal, this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);
    left = splitter->CreateView(0, [](QWidget* p) { return new TestView(p); }, QSize(300, 100), context);
    right = splitter->CreateView(1, [](QWidget* p) { return new TestView(p); }, QSize(100, 100), context);
    return left && right;
  }
  StaticSplitter* splitter = nullptr;
  View* left = nullptr;
  View* right = nullptr;
};

TEST_F(DocumentTest, StaticSplitterMakesBothPanesForTheDocument) {
  SplitFrame* frame = nullptr;
  app->AddDocTemplate(std::make_unique<MultiDocTemplate>(
      130, "\nSplit\nSplit\n\n\n\n", [] { return std::make_unique<TestDoc>(); },
      [&frame] { return frame = new SplitFrame(); }, ViewFactory()));
  main->show();
  Document* d = app->GetDocManager()->Templates()[1]->OpenDocumentFile(nullptr);
  ASSERT_NE(d, nullptr);
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(d->Views().size(), 2u);
  EXPECT_EQ(frame->Views().size(), 2u);
  EXPECT_EQ(frame->splitter->PaneId(1), kFirstPaneId + 1);
  frame->Window()->resize(700, 400);
  uitest::Settle();
  EXPECT_EQ(frame->splitter->sizes().at(0), 300);
  EXPECT_GT(frame->splitter->sizes().at(1), 300);
  // The pane with the focus is the active view; next pane moves it.
  frame->SetActiveView(frame->left);
  Main().SendCommand(kCmdNextPane);
  EXPECT_EQ(frame->ActiveView(), frame->right);
  EXPECT_EQ(Main().ActiveView(), frame->right);
}

}  // namespace
