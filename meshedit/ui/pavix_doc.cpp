#include "meshedit/ui/pavix_doc.h"

#include <filesystem>

#include "meshedit/core/o3d_file.h"
#include "meshedit/core/path_names.h"
#include "meshedit/ui/edit_panel_bar.h"
#include "meshedit/ui/pavix_globals.h"
#include "meshedit/ui/pavix_view.h"
#include "platform/core/paths.h"
#include "platform/core/services.h"
#include "platform/ui/application.h"

namespace pavix {
namespace {

void Refresh() {
  PavixGlobals& g = Globals();
  if (g.panel) {
    g.panel->ReloadFields();
    g.panel->RedrawPreview();
  }
  if (g.view) g.view->Render(1);
}

}  // namespace

CPavixDoc::CPavixDoc() { Globals().doc = this; }

CPavixDoc::~CPavixDoc() {
  if (Globals().doc == this) Globals().doc = nullptr;
}

bool CPavixDoc::OnNewDocument() {
  if (!Document::OnNewDocument()) return false;
  CurrentShape().Clear();
  ClearCurrentSide();
  Refresh();
  return true;
}

bool CPavixDoc::OnOpenDocument(const std::string& path) {
  const std::string name = std::filesystem::path(path).filename().string();
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    platform::ui::AppMessageBox("Can't open the mesh " + path + ".", platform::kMbOk | platform::kMbIconWarning);
    return false;
  }
  // Only meshes open as documents; models come in through the panel's imports.
  // Saving keeps the case of a file it replaces, so "Mixed.O3d" is a mesh too.
  const std::string extension = std::filesystem::path(path).extension().string();
  if (!platform::EqualsNoCase(extension, ".o3d")) {
    platform::ui::AppMessageBox(name + " is not a mesh file (.o3d).", platform::kMbOk | platform::kMbIconWarning);
    return false;
  }
  CShape loaded;
  if (!loaded.LoadO3d(path)) {
    platform::ui::AppMessageBox("Can't read the mesh " + path + ": the file is damaged.",
                                platform::kMbOk | platform::kMbIconWarning);
    return false;
  }
  CurrentShape() = std::move(loaded);
  const std::string& start = Globals().startDirectory;
  if (!start.empty()) platform::ChangeDirectory(start);
  ClearCurrentSide();
  SetModifiedFlag(false);
  Refresh();
  return true;
}

std::string CPavixDoc::SavePathFor(const std::string& path) const {
  return platform::ResolvePath(ReplaceExtension(path, ".O3D"));
}

bool CPavixDoc::OnSaveDocument(const std::string& path) {
  PavixGlobals& g = Globals();
  O3dSaveReport report;
  if (!g.shape.SaveO3d(path, &report)) {
    std::string why;
    if (report.tooManyVertices)
      why = ": it has " + std::to_string(g.shape.VertexCount()) + " vertices, and a mesh file holds at most " +
            std::to_string(kO3dMaxVertices);
    else if (report.cause)
      why = ", error = " + std::to_string(report.cause);
    platform::ui::AppMessageBox("Can't save the mesh " + path + why + ".", platform::kMbOk | platform::kMbIconWarning);
    return false;
  }
  // The file ends in ".O3D", or takes the case of the file it replaced: the
  // title and the recent list name what is on disk.
  SetWrittenPathName(report.path);
  // Saving rebuilds the mesh, which may put the sides in another order.
  if (g.currentSide >= 0) g.currentSide = g.shape.SideAfterRebuild(g.currentSide);
  if (g.previousSide >= 0) g.previousSide = g.shape.SideAfterRebuild(g.previousSide);
  SetModifiedFlag(false);
  if (g.panel) g.panel->FillMeshList();
  Refresh();
  return true;
}

}  // namespace pavix
