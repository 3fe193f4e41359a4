// Start-up, the menu and its keys, and the document's New, Open and Save
// with their questions and failures.
#include "meshedit/ui/pavix_app.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDockWidget>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QUrl>

#include "meshedit/core/render_pipeline.h"
#include "meshedit/ui/edit_panel_bar.h"
#include "meshedit/ui/mesh_list_box.h"
#include "platform/core/paths.h"
#include "meshedit/ui/main_frame.h"
#include "meshedit/ui/pavix_doc.h"
#include "meshedit/ui/pavix_globals.h"
#include "meshedit/ui/pavix_menus.h"
#include "meshedit/ui/pavix_view.h"
#include "pavix_fixture.h"
#include "platform/core/profile.h"
#include "platform/ui/command_ids.h"
#include "platform/ui/doc_manager.h"
#include "platform/ui/qt_ui.h"
#include "platform/ui/recent_file_list.h"
#include "support/live_dialogs.h"

#include <QMenu>
#include <QMenuBar>

#include <algorithm>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace ui = platform::ui;
using pavix::Globals;
using pavixtest::PavixTest;

class PavixAppTest : public PavixTest {};

TEST_F(PavixAppTest, StartsWithAnEmptyMeshTheCameraAndTheTexturePaths) {
  ASSERT_TRUE(Start());
  EXPECT_NE(Globals().mainFrame, nullptr);
  EXPECT_NE(Globals().view, nullptr);
  EXPECT_NE(Globals().doc, nullptr);
  EXPECT_EQ(Globals().startDirectory, platform::CurrentDirectory());
  EXPECT_EQ(Globals().camera.target, (pavix::CVector{0, -256, 0}));
  EXPECT_EQ(Globals().camera.zoom, 1024.0f);
  EXPECT_EQ(Globals().shape.SideCount(), 0);
  EXPECT_EQ(std::string(pavix::CRenderPipeline::GetTexturePath(0)),
            Globals().startDirectory + "\\rozizuzi\\bank\\K%04d_*.TGA");
  EXPECT_STREQ(pavix::CRenderPipeline::GetTexturePath(1), "DATA\\BANKDATABASE\\BRIMVAULT\\K%04d_*.TGA");
  EXPECT_EQ(app->RecentFiles()->Size(), 8);
  EXPECT_EQ(Doc().Title(), "untitled");
  EXPECT_TRUE(BoxTexts().empty());
  // The panel is docked at the left of the frame.
  ASSERT_NE(Main().PanelDock(), nullptr);
  EXPECT_EQ(Main().dockWidgetArea(Main().PanelDock()), Qt::LeftDockWidgetArea);
}

TEST_F(PavixAppTest, AnOldDisplayLibraryStopsStartUpWithItsBox) {
  machine.~ScopedMachine();
  platform::video::Machine old = platform::video::DefaultMachine();
  old.libraryVersion = 0x300;
  new (&machine) platform::video::ScopedMachine(old);
  EXPECT_FALSE(Start());
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text, "Please install DirectX 6 to run this program");
  EXPECT_EQ(boxes.boxes[0].caption, "Error");
  EXPECT_EQ(Globals().mainFrame, nullptr);
}

TEST_F(PavixAppTest, AMeshNamedOnTheCommandLineOpens) {
  WriteMesh("box.o3d", pavixtest::SquareMesh());
  ASSERT_TRUE(Start({dir.Native("box.o3d")}));
  EXPECT_EQ(Globals().shape.SideCount(), 4);
  EXPECT_EQ(Doc().Title(), "box.o3d");
  EXPECT_FALSE(Doc().IsModified());
}

TEST_F(PavixAppTest, MenuHoldsItsItemsInOrder) {
  ASSERT_TRUE(Start());
  const auto& menus = Main().Menu();
  ASSERT_EQ(menus.size(), 3u);
  std::vector<std::pair<int, std::string>> items;
  for (const auto& m : menus)
    for (const auto& i : m.items) items.emplace_back(i.id, i.text);
  const std::vector<std::pair<int, std::string>> expected = {
      {57600, "&New\tCtrl+N"},     {57601, "&Open...\tCtrl+O"}, {57603, "&Save\tCtrl+S"},
      {57604, "S&ave as"},         {57616, "Fichier récent"},   {57665, "&Quit"},
      {59392, "&Tools bar"},       {59393, "&State Bar"},       {57664, "&About this program..."}};
  EXPECT_EQ(items, expected);
  EXPECT_EQ(menus[0].text, "&File");
  EXPECT_EQ(menus[1].text, "&Display");
  EXPECT_EQ(menus[2].text, "&?");
}

TEST_F(PavixAppTest, AcceleratorsAreTheMenusKeys) {
  ASSERT_TRUE(Start());
  const ui::AcceleratorTable& keys = pavix::MainAccelerators();
  EXPECT_EQ(Main().Accelerators(), &keys);
  EXPECT_EQ(keys.Find(Qt::Key_N, ui::kModCtrl), ui::kCmdFileNew);
  EXPECT_EQ(keys.Find(Qt::Key_O, ui::kModCtrl), ui::kCmdFileOpen);
  EXPECT_EQ(keys.Find(Qt::Key_S, ui::kModCtrl), ui::kCmdFileSave);
  EXPECT_EQ(keys.Find(Qt::Key_S, 0), 0);
  EXPECT_EQ(keys.Find(Qt::Key_S, ui::kModCtrl | ui::kModShift), 0);
}

TEST_F(PavixAppTest, BarsToggleFromTheDisplayMenu) {
  ASSERT_TRUE(Start());
  EXPECT_TRUE(Main().QueryCommand(ui::kCmdViewToolBar).checked);
  Send(ui::kCmdViewToolBar);
  EXPECT_FALSE(Main().QueryCommand(ui::kCmdViewToolBar).checked);
  EXPECT_TRUE(Main().QueryCommand(ui::kCmdViewStatusBar).checked);
  Send(ui::kCmdViewStatusBar);
  EXPECT_FALSE(Main().QueryCommand(ui::kCmdViewStatusBar).checked);
  EXPECT_TRUE(Main().QueryCommand(ui::kCmdAppAbout).enabled);
}

// The questions before unsaved work is dropped: New, Open, a recent file and Quit.
TEST_F(PavixAppTest, ChangedMeshIsOfferedForSavingBeforeItIsReplaced) {
  WriteMesh("a.o3d", pavixtest::SquareMesh());
  WriteMesh("b.o3d", pavixtest::TwoSquares());
  ASSERT_TRUE(Start({dir.Native("a.o3d")}));
  struct Case {
    const char* name;
    std::function<void()> act;
  };
  const Case cases[] = {
      {"new", [&] { Send(ui::kCmdFileNew); }},
      {"open", [&] {
         script.AnswerFile(dir.Native("b.o3d"));
         Send(ui::kCmdFileOpen);
       }},
      {"recent", [&] {
         app->AddToRecentFileList(dir.Native("b.o3d"));
         Send(ui::kCmdRecentFirst);
       }},
      {"drop", [&] { app->OpenDocumentFile(dir.Native("b.o3d")); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Doc().SetModifiedFlag(true);
    const int sides = Globals().shape.SideCount();
    boxes.boxes.clear();
    boxes.Answer(platform::kIdCancel);
    c.act();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_NE(boxes.boxes[0].text.find("Save changes to"), std::string::npos);
    EXPECT_EQ(Globals().shape.SideCount(), sides);  // Cancel keeps the mesh
    EXPECT_TRUE(Doc().IsModified());
  }
  // Quit asks too; Cancel keeps the program running.
  boxes.boxes.clear();
  boxes.Answer(platform::kIdCancel);
  EXPECT_FALSE(Main().close());
  EXPECT_EQ(boxes.boxes.size(), 1u);
  EXPECT_TRUE(boxes.quits.empty());
  // No drops the changes.
  boxes.Answer(platform::kIdNo);
  Send(ui::kCmdFileNew);
  EXPECT_EQ(Globals().shape.SideCount(), 0);
  EXPECT_FALSE(Doc().IsModified());
}

TEST_F(PavixAppTest, FailedOpenIsReportedAndKeepsTheMeshAndItsFlag) {
  WriteMesh("a.o3d", pavixtest::SquareMesh());
  dir.Write("broken.o3d", std::string_view("not a mesh at all"));
  dir.Write("model.txt", std::string_view("text"));
  ASSERT_TRUE(Start({dir.Native("a.o3d")}));
  for (const char* name : {"broken.o3d", "model.txt", "missing.o3d"}) {
    SCOPED_TRACE(name);
    Doc().SetModifiedFlag(true);
    boxes.boxes.clear();
    boxes.Answer(platform::kIdNo);  // drop the changes, then the open fails
    EXPECT_EQ(app->OpenDocumentFile(dir.Native(name)), nullptr);
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_NE(boxes.boxes[1].text.find(name), std::string::npos) << boxes.boxes[1].text;
    EXPECT_EQ(Globals().shape.SideCount(), 4);
    EXPECT_EQ(Doc().Title(), "a.o3d");
    EXPECT_TRUE(Doc().IsModified());
  }
}

TEST_F(PavixAppTest, SaveWritesTheMeshAndClearsTheFlag) {
  ASSERT_TRUE(Start());
  Globals().shape = pavixtest::SquareMesh();
  Doc().SetModifiedFlag(true);
  script.AnswerFile(dir.Native("saved.o3d"));
  Send(ui::kCmdFileSave);
  EXPECT_FALSE(Doc().IsModified());
  pavix::CShape back;
  ASSERT_EQ(back.LoadO3d(dir.Native("saved.o3d")), 1);
  EXPECT_EQ(back.SideCount(), 4);
  EXPECT_EQ(Doc().Title(), "saved.O3D");  // the name the file was written under
}

TEST_F(PavixAppTest, FailedSaveIsReportedAndKeepsTheFlagAndName) {
  WriteMesh("a.o3d", pavixtest::SquareMesh());
  ASSERT_TRUE(Start({dir.Native("a.o3d")}));
  Doc().SetModifiedFlag(true);
  script.AnswerFile(dir.Native("no/such/folder/x.o3d"));
  Send(ui::kCmdFileSaveAs);
  ASSERT_EQ(boxes.boxes.size(), 1u);
  // Named as the file would have been written.
  EXPECT_EQ(boxes.boxes[0].text, "Can't save the mesh " + dir.Native("no/such/folder/x.O3D") + ", error = 2.");
  EXPECT_TRUE(Doc().IsModified());
  EXPECT_EQ(Doc().Title(), "a.o3d");
}

TEST_F(PavixAppTest, SavingAMeshOverTheFormatsVertexLimitSaysWhy) {
  ASSERT_TRUE(Start());
  pavix::CShape big = pavixtest::SquareMesh();
  big.vertices.resize(65536, big.vertices[0]);
  Globals().shape = big;
  Doc().SetModifiedFlag(true);
  script.AnswerFile(dir.Native("big.o3d"));
  ASSERT_TRUE(ChooseMenu(ui::kCmdFileSaveAs));
  ASSERT_EQ(BoxTexts().size(), 1u);
  EXPECT_EQ(BoxTexts()[0], "Can't save the mesh " + dir.Native("big.O3D") +
                               ": it has 65536 vertices, and a mesh file holds at most 65535.");
  EXPECT_FALSE(dir.Exists("big.O3D"));
  EXPECT_TRUE(Doc().IsModified());
  EXPECT_EQ(Doc().Title(), "untitled");
  // One vertex fewer fits.
  Globals().shape.vertices.pop_back();
  script.AnswerFile(dir.Native("big.o3d"));
  ASSERT_TRUE(ChooseMenu(ui::kCmdFileSaveAs));
  EXPECT_EQ(BoxTexts().size(), 1u);
  EXPECT_TRUE(dir.Exists("big.O3D"));
  EXPECT_FALSE(Doc().IsModified());
}

// New forgets the file: Save asks for a name instead of writing the empty
// mesh over the last one, and that file opens again afterwards.
TEST_F(PavixAppTest, NewThenSaveAsksForANameAndTheLastFileOpensAgain) {
  WriteMesh("a.o3d", pavixtest::SquareMesh());
  const std::string saved = dir.Read("a.o3d");
  ASSERT_TRUE(Start({dir.Native("a.o3d")}));
  ASSERT_EQ(Globals().shape.SideCount(), 4);
  Key(Qt::Key_N, Qt::ControlModifier);
  EXPECT_EQ(Globals().shape.SideCount(), 0);
  EXPECT_TRUE(Doc().PathName().empty());
  EXPECT_EQ(Doc().Title(), "untitled");
  EXPECT_EQ(Main().windowTitle(), QString("untitled - pavix"));
  // Save asks; cancelled, nothing is written.
  script.CancelFile();
  Key(Qt::Key_S, Qt::ControlModifier);
  ASSERT_EQ(script.fileDialogs.size(), 1u);
  EXPECT_FALSE(script.fileDialogs[0].open);
  EXPECT_EQ(script.fileDialogs[0].fileName, "untitled.o3d");
  EXPECT_EQ(dir.Read("a.o3d"), saved);
  // Named, the new mesh goes to its own file.
  Globals().shape = pavixtest::TwoSquares();
  script.AnswerFile(dir.Native("b.o3d"));
  Key(Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(script.fileDialogs.size(), 2u);
  EXPECT_EQ(dir.Read("a.o3d"), saved);
  EXPECT_EQ(Doc().Title(), "b.O3D");
  // After another New, a.o3d opens from the recent list and from Open.
  Key(Qt::Key_N, Qt::ControlModifier);
  const auto& recent = app->RecentFiles()->Files();
  const auto a = std::find(recent.begin(), recent.end(), dir.Native("a.o3d"));
  ASSERT_NE(a, recent.end());
  ASSERT_TRUE(ChooseMenu(ui::kCmdRecentFirst + static_cast<int>(a - recent.begin())));
  EXPECT_EQ(Globals().shape.SideCount(), 4);
  EXPECT_EQ(Doc().Title(), "a.o3d");
  Key(Qt::Key_N, Qt::ControlModifier);
  script.AnswerFile(dir.Native("a.o3d"));
  Key(Qt::Key_O, Qt::ControlModifier);
  EXPECT_EQ(Globals().shape.SideCount(), 4);
  EXPECT_EQ(Doc().Title(), "a.o3d");
  EXPECT_TRUE(BoxTexts().empty());
}

// Save As "lantern.o3d" writes "lantern.O3D": that is the name the program
// keeps, and the lower-case name finds the file wherever a mesh is opened.
TEST_F(PavixAppTest, SaveAsRecordsTheNameWrittenAndEitherCaseOpensIt) {
  // A list written by an earlier version names the file in lower case.
  platform::Profile().WriteString("Recent File List", "File1", dir.Native("lantern.o3d"));
  ASSERT_TRUE(Start());
  Globals().shape = pavixtest::SquareMesh();
  Doc().SetModifiedFlag(true);
  script.AnswerFile(dir.Native("lantern.o3d"));
  ASSERT_TRUE(ChooseMenu(ui::kCmdFileSaveAs));
  ASSERT_TRUE(dir.Exists("lantern.O3D"));
  EXPECT_EQ(Doc().PathName(), dir.Native("lantern.O3D"));
  EXPECT_EQ(Doc().Title(), "lantern.O3D");
  EXPECT_EQ(Main().windowTitle(), QString("lantern.O3D - pavix"));
  // One entry for the file, as written.
  EXPECT_EQ(app->RecentFiles()->Files(), std::vector<std::string>{dir.Native("lantern.O3D")});
  app->AddToRecentFileList(dir.Native("lantern.o3d"));
  EXPECT_EQ(app->RecentFiles()->Files(), std::vector<std::string>{dir.Native("lantern.O3D")});

  const std::string lower = dir.Native("lantern.o3d");
  struct Case {
    const char* way;
    std::function<void()> open;
  };
  const Case cases[] = {
      {"Open", [&] {
         script.AnswerFile(lower);
         Key(Qt::Key_O, Qt::ControlModifier);
       }},
      {"recent list", [&] {
         platform::Profile().WriteString("Recent File List", "File1", lower);
         app->RecentFiles()->ReadList();
         ASSERT_TRUE(ChooseMenu(ui::kCmdRecentFirst));
       }},
      {"drop", [&] {
         QMimeData data;
         data.setUrls({QUrl::fromLocalFile(QString::fromStdString(lower))});
         QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
         QCoreApplication::sendEvent(&Main(), &enter);
         ASSERT_TRUE(enter.isAccepted());
         QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
         QCoreApplication::sendEvent(&Main(), &drop);
         pavixtest::Settle();
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.way);
    Key(Qt::Key_N, Qt::ControlModifier);
    ASSERT_EQ(Globals().shape.SideCount(), 0);
    c.open();
    EXPECT_EQ(Globals().shape.SideCount(), 4);
    EXPECT_EQ(Doc().Title(), "lantern.O3D");
    EXPECT_EQ(app->RecentFiles()->Files(), std::vector<std::string>{dir.Native("lantern.O3D")});
  }
  EXPECT_TRUE(BoxTexts().empty());
}

// Save As in the window system's dialog, typed and clicked: the question
// names the file the save writes (".O3D", in the case the disk has it) and
// comes whatever case the name was typed in; No leaves the file as it was.
TEST_F(PavixAppTest, SaveAsAsksBeforeReplacingAMeshWhateverCaseTheNameIsTypedIn) {
  WriteMesh("Baz.O3D", pavixtest::TwoSquares());
  WriteMesh("Qux.O3D", pavixtest::TwoSquares());
  const std::string baz = dir.Read("Baz.O3D"), qux = dir.Read("Qux.O3D");
  ASSERT_TRUE(Start());
  Globals().shape = pavixtest::SquareMesh();
  Doc().SetModifiedFlag(true);
  const std::string question = "Save As: %s already exists.\nDo you want to replace it?";
  const auto asked = [&](const char* name) {
    std::string text = question;
    text.replace(text.find("%s"), 2, dir.Native(name));
    return text;
  };
  {
    ui::QtUi windowSystem;
    testsupport::LiveDialogs live;
    using testsupport::ClickBoxButton;
    using testsupport::TypeFileName;
    live.Then(TypeFileName("Baz")).Then(ClickBoxButton(QMessageBox::No));
    live.Then(TypeFileName("baz")).Then(ClickBoxButton(QMessageBox::No));
    live.Then(TypeFileName("BAZ.o3d")).Then(ClickBoxButton(QMessageBox::No));
    live.Then(testsupport::ClickFileRow("Qux.O3D")).Then(TypeFileName("qux")).Then(ClickBoxButton(QMessageBox::No));
    live.Then(TypeFileName("Fresh"));
    ASSERT_TRUE(ChooseMenu(ui::kCmdFileSaveAs));
    EXPECT_TRUE(live.Worked());
    const std::vector<std::string> expected = {"file dialog: Save As", asked("Baz.O3D"),
                                               "file dialog: Save As", asked("Baz.O3D"),
                                               "file dialog: Save As", asked("Baz.O3D"),
                                               "file dialog: Save As", asked("Qux.O3D"),
                                               "file dialog: Save As"};
    EXPECT_EQ(live.shown, expected);
  }
  EXPECT_EQ(dir.Read("Baz.O3D"), baz);
  EXPECT_EQ(dir.Read("Qux.O3D"), qux);
  EXPECT_EQ(Doc().Title(), "Fresh.O3D");
  EXPECT_EQ(pavix::CShape().LoadO3d(dir.Native("Fresh.O3D")), 1);

  // Yes replaces the file the question named, and the document takes its name.
  {
    ui::QtUi windowSystem;
    testsupport::LiveDialogs live;
    live.Then(testsupport::TypeFileName("baz")).Then(testsupport::ClickBoxButton(QMessageBox::Yes));
    ASSERT_TRUE(ChooseMenu(ui::kCmdFileSaveAs));
    EXPECT_TRUE(live.Worked());
  }
  EXPECT_EQ(dir.Read("Baz.O3D"), dir.Read("Fresh.O3D"));
  EXPECT_FALSE(dir.Exists("baz.O3D"));
  EXPECT_EQ(Doc().Title(), "Baz.O3D");
  EXPECT_FALSE(Doc().IsModified());
}

// File > Open in the window system's dialog finds a name typed in another
// case, as the command line, the recent list and a drop do.
TEST_F(PavixAppTest, OpenDialogFindsANameTypedInAnotherCase) {
  WriteMesh("case1.O3D", pavixtest::TwoSquares());
  ASSERT_TRUE(Start());
  {
    ui::QtUi windowSystem;
    testsupport::LiveDialogs live;
    live.Then(testsupport::TypeFileName("case1.o3d"));
    Key(Qt::Key_O, Qt::ControlModifier);
    EXPECT_TRUE(live.Worked());
    EXPECT_EQ(live.shown, std::vector<std::string>{"file dialog: Open"});
  }
  EXPECT_EQ(Globals().shape.SideCount(), 8);
  EXPECT_EQ(Doc().Title(), "case1.O3D");
}

// A mesh whose extension has a case of its own opens wherever it is named.
TEST_F(PavixAppTest, AMeshOfAnyExtensionCaseOpens) {
  WriteMesh("Mixed.O3d", pavixtest::TwoSquares());
  ASSERT_TRUE(Start({dir.Native("Mixed.O3d")}));
  EXPECT_EQ(Globals().shape.SideCount(), 8);
  EXPECT_EQ(Doc().Title(), "Mixed.O3d");
  EXPECT_TRUE(BoxTexts().empty());
  // Saved again, it stays the one file.
  Doc().SetModifiedFlag(true);
  Key(Qt::Key_S, Qt::ControlModifier);
  EXPECT_FALSE(Doc().IsModified());
  EXPECT_EQ(Doc().Title(), "Mixed.O3d");
  EXPECT_TRUE(dir.Exists("Mixed.O3d"));
  EXPECT_FALSE(dir.Exists("Mixed.O3D"));
}

// A recent list written by an earlier version names a file in the case it
// was asked in; the menu names it as the disk does from the start.
TEST_F(PavixAppTest, RecentFilesFromAnOlderProfileShowTheNameOnDisk) {
  WriteMesh("lantern.O3D", pavixtest::SquareMesh());
  platform::Profile().WriteString("Recent File List", "File1", dir.Native("lantern.o3d"));
  ASSERT_TRUE(Start());
  EXPECT_EQ(app->RecentFiles()->Files(), std::vector<std::string>{dir.Native("lantern.O3D")});
  QStringList shown;
  for (QAction* top : Main().menuBar()->actions())
    if (QMenu* menu = top->menu()) {
      Q_EMIT menu->aboutToShow();
      for (QAction* item : menu->actions())
        if (item->data().toInt() == ui::kCmdRecentFirst && item->isVisible()) shown << item->text();
    }
  EXPECT_EQ(shown, QStringList{"&1 lantern.O3D"});
}

TEST_F(PavixAppTest, AMeshNamedOnTheCommandLineInAnotherCaseOpens) {
  WriteMesh("lantern.O3D", pavixtest::SquareMesh());
  ASSERT_TRUE(Start({dir.Native("lantern.o3d")}));
  EXPECT_EQ(Globals().shape.SideCount(), 4);
  EXPECT_EQ(Doc().Title(), "lantern.O3D");
  EXPECT_EQ(app->RecentFiles()->Files(), std::vector<std::string>{dir.Native("lantern.O3D")});
}

TEST_F(PavixAppTest, SavingIntoTheCustomMeshFolderRefillsThePanelsList) {
  dir.MakeDir("rozizuzi/customMeshes");
  ASSERT_TRUE(Start());
  EXPECT_EQ(Panel().MeshList().Count(), 0);
  Globals().shape = pavixtest::SquareMesh();
  script.AnswerFile(dir.Native("rozizuzi/customMeshes/door.o3d"));
  Send(ui::kCmdFileSaveAs);
  ASSERT_EQ(Panel().MeshList().Count(), 1);
  EXPECT_EQ(Panel().MeshList().EntryText(0), "door.O3D");
}

TEST_F(PavixAppTest, NewEmptiesTheMeshAndForgetsTheCurrentSide) {
  WriteMesh("a.o3d", pavixtest::SquareMesh());
  ASSERT_TRUE(Start({dir.Native("a.o3d")}));
  Globals().currentSide = 1;
  Globals().currentGroup = 1;
  Send(ui::kCmdFileNew);
  EXPECT_EQ(Globals().shape.SideCount(), 0);
  EXPECT_EQ(Globals().currentSide, -1);
  EXPECT_EQ(Globals().currentGroup, 0);
}

// Save keeps what the user set on the mesh's file: a link still names the
// file it named, which now holds the mesh, and a private mesh stays private.
TEST_F(PavixAppTest, SaveKeepsALinkAndThePermissionsOfTheMeshFile) {
  WriteMesh("store/box.o3d", pavixtest::SquareMesh());
  ASSERT_EQ(::symlink("store/box.o3d", dir.Native("box.o3d").c_str()), 0);
  WriteMesh("private.o3d", pavixtest::SquareMesh());
  ASSERT_EQ(::chmod(dir.Native("private.o3d").c_str(), 0600), 0);
  ASSERT_TRUE(Start());
  struct Case {
    const char* opened;
    const char* written;
  };
  const Case cases[] = {{"box.o3d", "store/box.o3d"}, {"private.o3d", "private.o3d"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.opened);
    ASSERT_NE(app->OpenDocumentFile(dir.Native(c.opened)), nullptr);
    Globals().shape = pavixtest::TwoSquares();
    Doc().SetModifiedFlag(true);
    Send(ui::kCmdFileSave);
    EXPECT_TRUE(BoxTexts().empty());
    EXPECT_FALSE(Doc().IsModified());
    pavix::CShape back;
    ASSERT_EQ(back.LoadO3d(dir.Native(c.written)), 1);
    EXPECT_EQ(back.SideCount(), pavixtest::TwoSquares().SideCount());
  }
  struct stat st {};
  ASSERT_EQ(::lstat(dir.Native("box.o3d").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode)) << "the link was replaced";
  ASSERT_EQ(::stat(dir.Native("private.o3d").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);
  for (const char* folder : {"*.tmp*", "store\\*.tmp*"})
    for (const auto& e : platform::FindFiles(folder)) ADD_FAILURE() << e.name;
}

}  // namespace
