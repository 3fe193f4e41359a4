#pragma once
// Shared set-up of Pavix's window tests: the offscreen Qt application, a
// scratch start directory with its own profile, an emulated display,
// scripted boxes and file dialogs, and small meshes written to disk.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <Qt>

#include "meshedit/core/shape.h"
#include "meshedit/ui/pavix_app.h"
#include "platform/core/services.h"
#include "platform/ui/scripted_ui.h"
#include "platform/video/machine.h"
#include "support/qt_app.h"
#include "support/temp_dir.h"

namespace pavix {
class CEditPanelBar;
class CMainFrame;
class CPavixDoc;
class CPavixView;
}  // namespace pavix

namespace pavixtest {

using testsupport::EnsureQtApp;
using testsupport::Settle;

// A flat square of side 2h in the plane z = 0 centred on (cx, cy), seen
// face-on from -z (corners clockwise on the screen), with a vertex at its
// centre: four triangles around it.
pavix::CShape SquareMesh(float cx = 0, float cy = 0, float h = 64);
// Two squares apart (two connected parts).
pavix::CShape TwoSquares();

class PavixTest : public testsupport::TempDirTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Runs start-up with the arguments; false when it failed.
  bool Start(std::vector<std::string> args = {});
  // Writes a mesh as an ".o3d" file (relative path, '/' separated).
  void WriteMesh(std::string_view rel, pavix::CShape mesh);

  pavix::CMainFrame& Main();
  pavix::CPavixView& View();
  pavix::CPavixDoc& Doc();
  pavix::CEditPanelBar& Panel();
  bool Send(int command);
  std::vector<std::string> BoxTexts() const;
  // Lays the view out at this size and puts the camera face-on to the z = 0 plane at the distance.
  void FaceOn(int width, int height, float distance = 512);

  // As the user does it: a key pressed over the view, a menu item chosen
  // (false when the menu has no such item or it is disabled), a click on a
  // panel control, a left click in the view.
  void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
  bool ChooseMenu(int command);
  void ClickControl(int id);
  void ClickView(int x, int y);

  platform::video::ScopedMachine machine{platform::video::DefaultMachine()};
  platform::ScriptedServices boxes;
  platform::ui::ScriptedUi script;
  std::unique_ptr<pavix::CPavixApp> app;
};

}  // namespace pavixtest
