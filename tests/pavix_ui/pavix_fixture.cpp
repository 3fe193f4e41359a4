#include "pavix_fixture.h"

#include <cstdlib>

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include "meshedit/core/o3d_file.h"
#include "meshedit/ui/edit_panel_bar.h"
#include "meshedit/ui/main_frame.h"
#include "meshedit/ui/pavix_doc.h"
#include "meshedit/ui/pavix_globals.h"
#include "meshedit/ui/pavix_view.h"
#include "platform/core/profile.h"

namespace pavixtest {

using pavix::CShape;
using pavix::CSide;
using pavix::CVector;

CShape SquareMesh(float cx, float cy, float h) {
  CShape s;
  const CVector p[5] = {{cx - h, cy + h, 0}, {cx + h, cy + h, 0}, {cx + h, cy - h, 0}, {cx - h, cy - h, 0}, {cx, cy, 0}};
  for (const CVector& v : p) s.vertices.push_back({v, {0, 0, -1}, 0});
  for (std::uint32_t k = 0; k < 4; ++k) {
    CSide side;
    side.index[0] = k;
    side.index[1] = (k + 1) % 4;
    side.index[2] = side.index[3] = 4;
    side.flags = pavix::kSideListed;
    s.sides.push_back(side);
  }
  s.SetSingleNode({0, 0, 0}, {0, 0, 1});
  s.Rebuild();
  return s;
}

CShape TwoSquares() {
  CShape s = SquareMesh(-100, 0, 32);
  s.Merge(SquareMesh(100, 0, 32));
  return s;
}

void PavixTest::SetUp() {
  EnsureQtApp();
  setenv("PROFILE_INI", dir.Native("profile.ini").c_str(), 1);
  platform::SetProfilePath(dir.Native("profile.ini"));
  pavix::DestroyGlobals();
}

void PavixTest::TearDown() {
  if (app) app->ExitInstance();
  app.reset();
  Settle();
  pavix::DestroyGlobals();
}

bool PavixTest::Start(std::vector<std::string> args) {
  app = std::make_unique<pavix::CPavixApp>();
  app->SetCommandLine(std::move(args));
  const bool ok = app->InitInstance();
  Settle();
  return ok;
}

void PavixTest::WriteMesh(std::string_view rel, CShape mesh) {
  const std::vector<std::uint8_t> bytes = pavix::EncodeO3d(mesh);
  dir.Write(rel, std::span<const std::uint8_t>(bytes));
}

pavix::CMainFrame& PavixTest::Main() { return *pavix::Globals().mainFrame; }
pavix::CPavixView& PavixTest::View() { return *pavix::Globals().view; }
pavix::CPavixDoc& PavixTest::Doc() { return *pavix::Globals().doc; }
pavix::CEditPanelBar& PavixTest::Panel() { return *pavix::Globals().panel; }

bool PavixTest::Send(int command) {
  const bool ran = Main().SendCommand(command);
  Settle();
  return ran;
}

std::vector<std::string> PavixTest::BoxTexts() const {
  std::vector<std::string> out;
  for (const auto& b : boxes.boxes) out.push_back(b.text);
  return out;
}

void PavixTest::FaceOn(int width, int height, float distance) {
  View().LayoutViewports(width, height);
  pavix::CViewCamera& cam = pavix::Globals().camera;
  cam.target = {0, 0, 0};
  cam.angles = {0, 0, 0};
  cam.zoom = distance;
  cam.Rebuild();
}

void PavixTest::Key(int key, Qt::KeyboardModifiers modifiers) {
  QTest::keyClick(&View(), static_cast<Qt::Key>(key), modifiers);
  Settle();
}

bool PavixTest::ChooseMenu(int command) {
  for (QAction* top : Main().menuBar()->actions()) {
    QMenu* menu = top->menu();
    if (!menu) continue;
    Q_EMIT menu->aboutToShow();  // brings the items up to date, the recent files among them
    for (QAction* item : menu->actions()) {
      bool ok = false;
      if (item->data().toInt(&ok) != command || !ok) continue;
      if (!item->isEnabled()) return false;
      item->trigger();
      Settle();
      return true;
    }
  }
  return false;
}

void PavixTest::ClickControl(int id) {
  QWidget* control = Panel().Control(id);
  if (!control) return;
  // A check box takes clicks on its box and its label only, not on the rest of its width.
  const QPoint at = qobject_cast<QCheckBox*>(control) ? QPoint(8, control->height() / 2) : control->rect().center();
  QTest::mouseClick(control, Qt::LeftButton, Qt::NoModifier, at);
  Settle();
}

void PavixTest::ClickView(int x, int y) {
  QTest::mouseClick(&View(), Qt::LeftButton, Qt::NoModifier, QPoint(x, y));
  Settle();
}

}  // namespace pavixtest

// The system's font library keeps a cache for the life of the process.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
