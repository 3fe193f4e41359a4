#include "meshedit/ui/pavix_app.h"

#include <cstdio>
#include <memory>

#include "meshedit/core/cdd.h"
#include "meshedit/core/effect_meshes.h"
#include "meshedit/core/mtf_file.h"
#include "meshedit/core/render_pipeline.h"
#include "meshedit/ui/main_frame.h"
#include "meshedit/ui/pavix_about_dlg.h"
#include "meshedit/ui/pavix_doc.h"
#include "meshedit/ui/pavix_globals.h"
#include "meshedit/ui/pavix_menus.h"
#include "meshedit/ui/pavix_view.h"
#include "platform/core/paths.h"
#include "platform/core/services.h"
#include "platform/ui/command_ids.h"
#include "platform/ui/doc_template.h"

namespace pavix {

namespace ui = platform::ui;

CPavixApp::CPavixApp() : Application("pavix") {
  OnCommand(ui::kCmdAppAbout, [this] { OnAppAbout(); });
}

CPavixApp::~CPavixApp() = default;

bool CPavixApp::InitInstance() {
  std::uint32_t version = 0, platformId = 0;
  ProbeDirectXVersion(&version, &platformId);
  if (version < kNeededDisplayVersion) {
    char text[64];
    std::snprintf(text, sizeof text, "Please install DirectX %d to run this program", 6);
    platform::MessageBox(text, "Error", platform::kMbOk);
    return false;
  }
  ConstructGlobals();
  PavixGlobals& g = Globals();
  g.startDirectory = platform::CurrentDirectory().substr(0, 260);
  CRenderPipeline::SetTexturePath((g.startDirectory + "\\rozizuzi\\bank\\K%04d_*.TGA").c_str(), 0);
  CRenderPipeline::SetTexturePath("DATA\\BANKDATABASE\\BRIMVAULT\\K%04d_*.TGA", 1);
  // The effect meshes are loose files, read before the archive is there.
  LoadEffectMeshes();
  MtfOpenArchive("DATA.MTF", 0);
  g.camera.target = {0, -256, 0};
  g.camera.zoom = 1024;

  SetRegistryKey(kProfileKey);
  LoadStdProfileSettings(kRecentFiles);
  AddDocTemplate(std::make_unique<ui::SingleDocTemplate>(
      kIdrMainFrame, kDocumentStrings, [] { return std::make_unique<CPavixDoc>(); },
      [] { return std::make_unique<CMainFrame>(); }, [](QWidget* parent) { return new CPavixView(parent); }));

  if (!ProcessShellCommand(ParseCommandLine(args_))) return false;
  ui::FrameWindow* main = MainWindow();
  if (!main) return false;
  main->resize(1100, 760);
  main->show();
  main->AcceptDroppedFiles(true);
  g.mainFrame = dynamic_cast<CMainFrame*>(main);
  g.view = dynamic_cast<CPavixView*>(main->ActiveView());
  g.doc = dynamic_cast<CPavixDoc*>(main->ActiveDocument());
  return true;
}

int CPavixApp::ExitInstance() {
  MtfCloseArchive(0);
  const int code = Application::ExitInstance();
  FreeEffectMeshes();
  return code;
}

bool CPavixApp::OnIdle(int count) {
  const bool more = Application::OnIdle(count);
  if (more)
    if (CPavixView* view = Globals().view) view->Render(0);
  return more;
}

void CPavixApp::OnAppAbout() {
  CPavixAboutDlg about;
  about.DoModal();
}

}  // namespace pavix
