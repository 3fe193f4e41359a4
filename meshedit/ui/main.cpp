// pavix [--start-dir DIR] [MESH]: the mesh editor, started in its start
// directory (the current one unless given), opening the mesh named.
#include <clocale>
#include <cstdio>
#include <string>
#include <vector>

#include <QApplication>

#include "meshedit/ui/pavix_app.h"
#include "meshedit/ui/pavix_globals.h"
#include "platform/core/paths.h"
#include "platform/ui/qt_ui.h"

pavix::CPavixApp theApp;

int main(int argc, char** argv) {
  QApplication qt(argc, argv);
  std::setlocale(LC_NUMERIC, "C");

  std::string startDir = platform::CurrentDirectory();
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--start-dir" && i + 1 < argc) {
      startDir = argv[++i];
    } else {
      args.push_back(arg);
    }
  }
  if (!platform::ChangeDirectory(startDir)) {
    std::fprintf(stderr, "pavix: cannot use %s as the start directory\n", startDir.c_str());
    return 1;
  }
  platform::SetStartDirectory(platform::CurrentDirectory());

  platform::ui::QtUi ui;
  theApp.SetCommandLine(std::move(args));
  const int code = theApp.Run();
  pavix::DestroyGlobals();
  return code;
}
