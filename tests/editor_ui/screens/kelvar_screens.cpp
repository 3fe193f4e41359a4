// kelvar_screens <start directory> <scene>: Kelvar on the sample quest of the
// start directory, put into one scene (a tab, a menu, a dialog) for a
// screenshot. Prints "ready" once the scene shows and runs until ended.
#include <clocale>
#include <cstdio>
#include <string>

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QTreeWidget>

#include "editor/kelvar_app.h"
#include "editor/kelvar_commands.h"
#include "editor/kelvar_globals.h"
#include "editor/left_view.h"
#include "editor/main_frame.h"
#include "editor/quest_tree_ctrl.h"
#include "platform/core/paths.h"
#include "platform/ui/command_ids.h"
#include "platform/ui/qt_ui.h"

namespace {

using namespace kelvar;

void ShowTab(int tab, int item) {
  if (CLeftView* view = CLeftView::Instance()) view->OnTabClicked(tab);
  QuestTree(tab).SelectItem(QuestTree(tab).ItemAt(item));
}

void Scene(const std::string& scene, CMainFrame& frame) {
  if (scene == "machines") {
    ShowTab(kTreeMachines, 0);
  } else if (scene == "objects") {
    ShowTab(kTreeObjects, 0);
  } else if (scene == "monsters") {
    ShowTab(kTreeMonsters, 0);
  } else if (scene == "rooms") {
    ShowTab(kTreeRooms, 0);
    // The room tree's context menu over its first room.
    QTreeWidget* tree = QuestTree(kTreeRooms).Widget();
    const QPoint at = tree->visualItemRect(tree->topLevelItem(0)).center();
    QTimer::singleShot(0, [at] { QuestTree(kTreeRooms).OnRButtonDown(at); });
  } else if (scene == "filemenu") {
    for (QAction* a : frame.menuBar()->actions())
      if (a->menu() && a->text() == "&File") frame.menuBar()->setActiveAction(a);
  } else if (scene == "textmenu") {
    for (QAction* a : frame.menuBar()->actions()) {
      if (!a->menu() || a->text() != "Text") continue;
      frame.menuBar()->setActiveAction(a);
      for (QAction* sub : a->menu()->actions())
        if (sub->menu()) a->menu()->setActiveAction(sub);
    }
  } else if (scene == "generate") {
    QTimer::singleShot(0, &frame, [&frame] { frame.SendCommand(kCmdGenerateQuest); });
  } else if (scene == "about") {
    QTimer::singleShot(0, &frame, [&frame] { frame.SendCommand(platform::ui::kCmdAppAbout); });
  }
}

}  // namespace

int main(int argc, char** argv) {
  QApplication qt(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  if (argc != 3 || !platform::ChangeDirectory(argv[1])) {
    std::fprintf(stderr, "usage: kelvar_screens <start directory> <scene>\n");
    return 2;
  }
  platform::SetStartDirectory(platform::CurrentDirectory());
  const std::string scene = argv[2];

  ConstructGlobals();
  platform::ui::QtUi ui;
  CKelvarApp app;
  app.SetCommandLine({"demoquest.qst"});
  QTimer::singleShot(1500, [&app, scene] {
    if (CMainFrame* frame = app.MainFrame()) Scene(scene, *frame);
    QTimer::singleShot(1200, [] {
      std::printf("ready\n");
      std::fflush(stdout);
    });
  });
  return app.Run();
}
