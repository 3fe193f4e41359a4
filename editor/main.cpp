// kelvar [--start-dir DIR] [QUEST]: the quest editor, started in its start
// directory (the current one unless given), opening the quest named, or the
// one open at the last exit.
#include <clocale>
#include <optional>
#include <string>
#include <vector>

#include <QApplication>

#include "editor/kelvar_app.h"
#include "editor/kelvar_globals.h"
#include "platform/core/paths.h"
#include "platform/ui/drawing_scope.h"
#include "platform/ui/qt_ui.h"

// The program-wide state, then the application object after it (and so torn down before it).
const bool kGlobalsReady = kelvar::ConstructGlobals();
kelvar::CKelvarApp theApp;

int main(int argc, char** argv) {
  platform::ui::QtApplication qt(argc, argv);
  std::setlocale(LC_NUMERIC, "C");

  std::optional<std::vector<std::string>> args = platform::EnterStartDirectory(argc, argv, "kelvar");
  if (!args) return 1;

  platform::ui::QtUi ui;
  theApp.SetCommandLine(std::move(*args));
  return theApp.Run();
}
