#include "meshedit/ui/pavix_menus.h"

#include <Qt>

#include "platform/ui/command_ids.h"

namespace pavix {

namespace ui = platform::ui;

std::vector<ui::MenuItem> MainMenu() {
  return {
      ui::Popup("&File", {ui::Item("&New\tCtrl+N", ui::kCmdFileNew), ui::Item("&Open...\tCtrl+O", ui::kCmdFileOpen),
                          ui::Item("&Save\tCtrl+S", ui::kCmdFileSave), ui::Item("S&ave as", ui::kCmdFileSaveAs),
                          ui::Item("Fichier récent", ui::kCmdRecentFirst), ui::Item("&Quit", ui::kCmdAppExit)}),
      ui::Popup("&Display", {ui::Item("&Tools bar", ui::kCmdViewToolBar), ui::Item("&State Bar", ui::kCmdViewStatusBar)}),
      ui::Popup("&?", {ui::Item("&About this program...", ui::kCmdAppAbout)}),
  };
}

const ui::AcceleratorTable& MainAccelerators() {
  static const ui::AcceleratorTable table(kIdrMainFrame, {{Qt::Key_N, ui::kModCtrl, ui::kCmdFileNew},
                                                          {Qt::Key_O, ui::kModCtrl, ui::kCmdFileOpen},
                                                          {Qt::Key_S, ui::kModCtrl, ui::kCmdFileSave}});
  return table;
}

}  // namespace pavix
