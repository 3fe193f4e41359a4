// Sets Pavix up with an imported, textured model for a screenshot under Xvfb
// (take.sh): pavix_screens <start directory>. Not a test.
#include <clocale>
#include <cstdio>
#include <fstream>

#include <QApplication>
#include <QListWidget>
#include <QTimer>

#include "meshedit/core/render_pipeline.h"
#include "meshedit/ui/edit_panel_bar.h"
#include "meshedit/ui/mesh_list_box.h"
#include "meshedit/ui/pavix_app.h"
#include "meshedit/ui/pavix_doc.h"
#include "meshedit/ui/pavix_globals.h"
#include "meshedit/ui/pavix_view.h"
#include "platform/core/paths.h"
#include "platform/ui/drawing_scope.h"
#include "platform/ui/qt_ui.h"

namespace {

// A small house: a box with a gable roof, as an ASC model.
const char* kHouse =
    "Named object: \"house\"\nTri-mesh, Vertices: 10 Faces: 16\nVertex list:\n"
    "Vertex 0: X:-100 Y:-80 Z:0\nVertex 1: X:100 Y:-80 Z:0\nVertex 2: X:100 Y:80 Z:0\nVertex 3: X:-100 Y:80 Z:0\n"
    "Vertex 4: X:-100 Y:-80 Z:120\nVertex 5: X:100 Y:-80 Z:120\nVertex 6: X:100 Y:80 Z:120\nVertex 7: X:-100 Y:80 Z:120\n"
    "Vertex 8: X:-100 Y:0 Z:200\nVertex 9: X:100 Y:0 Z:200\n"
    "Face list:\n"
    "Face 0: A:0 B:1 C:5\nFace 1: A:0 B:5 C:4\nFace 2: A:1 B:2 C:6\nFace 3: A:1 B:6 C:5\n"
    "Face 4: A:2 B:3 C:7\nFace 5: A:2 B:7 C:6\nFace 6: A:3 B:0 C:4\nFace 7: A:3 B:4 C:7\n"
    "Face 8: A:4 B:5 C:9\nFace 9: A:4 B:9 C:8\nFace 10: A:6 B:7 C:8\nFace 11: A:6 B:8 C:9\n"
    "Face 12: A:4 B:8 C:7\nFace 13: A:5 B:6 C:9\nFace 14: A:0 B:3 C:2\nFace 15: A:0 B:2 C:1\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  platform::ui::QtApplication qt(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  if (!platform::ChangeDirectory(argv[1])) return 1;
  platform::SetStartDirectory(platform::CurrentDirectory());
  platform::ui::QtUi ui;
  pavix::CPavixApp app;
  if (!app.InitInstance()) return 1;
  {
    std::ofstream("house.asc") << kHouse;
  }
  QTimer::singleShot(300, [] {
    using namespace pavix;
    PavixGlobals& g = Globals();
    g.shape.ImportAsc("house.asc");
    g.doc->SetModifiedFlag(true);
    g.textureId = 7;
    g.camera.target = {0, 60, 0};
    g.camera.angles = {0, 0, 0};
    g.camera.zoom = 700;
    g.panel->OnControl(kIdcProjection);
    g.camera.angles = {0.45f, 0.6f, 0};
    g.camera.Rebuild();
    g.currentSide = 0;
    g.shape.GroupSides();
    g.currentGroup = g.shape.sides[0].group;
    g.panel->MeshList().setCurrentRow(0);
    g.panel->ReloadFields();
    g.panel->RedrawPictures();
    g.view->Render(1);
    g.view->Render(0);
  });
  QTimer::singleShot(1500, [] {
    std::printf("ready\n");
    std::fflush(stdout);
  });
  const int code = QApplication::exec();
  app.ExitInstance();
  pavix::DestroyGlobals();
  return code;
}
