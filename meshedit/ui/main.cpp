// pavix [--start-dir DIR] [MESH]: the mesh editor, started in its start
// directory (the current one unless given), opening the mesh named.
#include <clocale>
#include <optional>
#include <string>
#include <vector>

#include <QApplication>

#include "meshedit/ui/pavix_app.h"
#include "meshedit/ui/pavix_globals.h"
#include "platform/core/paths.h"
#include "platform/ui/drawing_scope.h"
#include "platform/ui/qt_ui.h"

pavix::CPavixApp theApp;

int main(int argc, char** argv) {
  platform::ui::QtApplication qt(argc, argv);
  std::setlocale(LC_NUMERIC, "C");

  std::optional<std::vector<std::string>> args = platform::EnterStartDirectory(argc, argv, "pavix");
  if (!args) return 1;

  platform::ui::QtUi ui;
  theApp.SetCommandLine(std::move(*args));
  const int code = theApp.Run();
  pavix::DestroyGlobals();
  return code;
}
