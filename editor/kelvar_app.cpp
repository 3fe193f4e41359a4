#include "editor/kelvar_app.h"

#include <QLayout>

#include "audio/music_stream.h"
#include "audio/sound_system.h"
#include "audio/sound_table.h"
#include "datafiles/game_data.h"
#include "datafiles/item_object_table.h"
#include "datafiles/language_table.h"
#include "datafiles/monster_class_table.h"
#include "datafiles/mtf_archive.h"
#include "datafiles/trisprite_table.h"
#include "editor/about_dlg.h"
#include "editor/child_frame.h"
#include "editor/display_objects.h"
#include "editor/edit_modes.h"
#include "editor/generation_ui.h"
#include "editor/kelvar_commands.h"
#include "editor/kelvar_menus.h"
#include "editor/kelvar_strings.h"
#include "editor/left_view.h"
#include "editor/main_frame.h"
#include "editor/picker_mesh_dlg.h"
#include "editor/merge_ui.h"
#include "editor/quest_document.h"
#include "editor/map_edit_mode.h"
#include "editor/room_edit_mode.h"
#include "editor/room_view.h"
#include "editor/world_map_hook.h"
#include "platform/core/paths.h"
#include "platform/core/profile.h"
#include "platform/core/trace.h"
#include "platform/ui/command_ids.h"
#include "platform/ui/doc_template.h"
#include "editor/surface_text_functions.h"
#include "platform/video/text_functions.h"
#include "platform/video/window.h"
#include "quest/kelvar_doc.h"
#include "quest/mesh_banks.h"
#include "quest/quest_lists.h"
#include "render/cdd.h"
#include "render/cdd_renderer.h"
#include "render/soft_renderer.h"
#include "render/engine_3d.h"
#include "render/skeleton_bank.h"

namespace kelvar {
namespace {

namespace ui = platform::ui;

// What closing a quest asks of the views and the display.
class DocHooks : public IKelvarDocHooks {
 public:
  // The world map keeps no thumbnails of its own yet.
  void ClearThumbnails() override {}
  void ForgetEditedRoom() override {
    if (IRoomEditMode* mode = RoomEditMode()) mode->SetEditedRoom(nullptr);
  }
  void ResetTextureCache() override {
    if (g_3DEngine) g_3DEngine->ResetTextureCache();
  }
};

DocHooks& Hooks() {
  static DocHooks hooks;
  return hooks;
}

}  // namespace

std::string& ProgramDirectory() {
  static std::string dir;
  return dir;
}

std::string& LastFileDialogDirectory() {
  static std::string dir;
  return dir;
}

bool OnlyTheQuestOf(const std::vector<platform::ui::Document*>& open, const std::string& path) {
  if (open.size() != 1 || open.front()->IsModified() || path.empty()) return false;
  // Named as the framework names an opened file: as on disk, absolute.
  return open.front()->PathName() == platform::AbsolutePath(platform::ResolvePath(path));
}

CKelvarApp::CKelvarApp() : Application("Kelvar"), generation_(std::make_unique<GenerationUi>()) {
  OnCommand(ui::kCmdAppAbout, [this] { OnAppAbout(); });
}

CKelvarApp::~CKelvarApp() = default;

CMainFrame* CKelvarApp::MainFrame() const { return dynamic_cast<CMainFrame*>(MainWindow()); }

bool CKelvarApp::InitInstance() {
  ProgramDirectory() = platform::StartDirectory().empty() ? platform::CurrentDirectory() : platform::StartDirectory();
  LastFileDialogDirectory() = ProgramDirectory();
  LoadKelvarStrings();

  LoadGameData();

  SetRegistryKey(kProfileKey);
  LoadStdProfileSettings(4);

  auto docTemplate = std::make_unique<ui::MultiDocTemplate>(
      kIdrQuestType, kTemplateStrings, [] { return std::make_unique<CQuestDocument>(); },
      [] { return new CChildFrame(); }, [](QWidget* parent) { return new CLeftView(parent); });
  docTemplate->SetMenu(DocumentMenu());
  AddDocTemplate(std::move(docTemplate));

  auto frame = std::make_unique<CMainFrame>();
  if (!frame->Create()) return false;
  frame->resize(1120, 780);
  SetMainWindow(std::move(frame));
  mainVideoWindow_ = std::make_unique<platform::video::Window>(platform::video::Rect{0, 0, 1120, 780});
  platform::video::SetMainWindow(mainVideoWindow_.get());
  Display().mainWindow = mainVideoWindow_.get();
  MainFrame()->RestorePlacement();
  // Lay the hidden frame out now, so a quest opened before it shows gets a workspace of the right size.
  if (QLayout* layout = MainWindow()->layout()) layout->setGeometry(MainWindow()->rect());

  SetKelvarDocHooks(&Hooks());
  // Texts on the display surface (room captions and labels) through the window system's fonts.
  static SurfaceTextFunctions surfaceText;
  platform::video::SetTextFunctions(&surfaceText);
  // The two edit modes, unless a mode was put in a slot already.
  InstallEditModes(MapEditMode() ? MapEditMode() : &TheMapEditMode(),
                   RoomEditMode() ? RoomEditMode() : &TheRoomEditMode());
  CRoomEditMode::SetBlockChooser(ChooseBlockWithPicker);
  SetGenerationUi(generation_.get());
  SetMergeUi(&TheMergeUi());
  ::Quest().view = &TheWorldMapHook();

  InitDisplay();

  const CommandLineInfo commandLine = ParseCommandLine(args_);
  if (!ProcessShellCommand(commandLine)) return false;

  MainWindow()->show();

  if (GetDocManager()) {
    // The quest named on the command line (its parsed name), else the one open at the last exit.
    if (commandLine.shell == CommandLineInfo::Shell::kFileOpen) {
      // The framework has just opened it: opening it again would give the
      // same quest and show each message of its reading a second time.
      if (!OnlyTheQuestOf(GetDocManager()->Documents(), commandLine.fileName)) OpenQuest(commandLine.fileName);
    } else {
      const std::string remembered = platform::Profile().GetString(kRecentQuestSection, kRecentQuestValue, "");
      if (!remembered.empty()) OpenQuest(remembered);
    }
  }
  return true;
}

void CKelvarApp::OpenQuest(const std::string& path) {
  if (!CloseQuest()) return;
  OpenDocumentFile(path);
}

bool CKelvarApp::CloseQuest() {
  if (!GetDocManager()) return false;
  if (!SaveAllModified()) return false;
  CloseAllDocuments();
  return true;
}

void CKelvarApp::LoadGameData() {
  MountGameArchives();
  g_trispriteTable.Load();
  g_monsterClassTable.Load();
  g_skeletonBank.Rebuild();
  g_languageTable.Load();
  g_itemObjectTable.Load();
  g_trispriteTable.Sort();
  g_languageTable.Sort();
  CustomMeshBank().Scan("data\\custom\\meshes", "o3d");
  CustomMeshBank().ScanMore("rozizuzi\\customMeshes", "o3d");
  ObjectMeshBank().Scan("rozizuzi\\customMeshes", "o3d");
  LoadMachineLibrary();
  g_languageTable.SetLanguage(ReadInstallLanguage());
}

void CKelvarApp::LoadMachineLibrary() { ::Quest().library.LoadFolder("rozizuzi\\stateMachine"); }

void CKelvarApp::InitDisplay() {
  DisplayObjects& display = Display();
  g_3DEngine = new C3DEngine();
  display.cdd = new Cdd();  // ends the program when the machine has no usable 3D driver
  Cdd& cdd = *display.cdd;

  VisibleViewRect() = ViewRect{0, 0, kMinViewWidth, kMinViewHeight};
  RenderSurfaceRect() = ViewRect{0, 0, kMinViewWidth + kThumbnailColumn, kMinViewHeight};
  // The surface holds the view and the thumbnail column beside it.
  cdd.SetFormat(display.mainWindow, kMinViewWidth + kThumbnailColumn, kMinViewHeight, 16, 0, 0);
  RenderSurfaceRect() = ViewRect{0, 0, cdd.GetWidth(), cdd.GetHeight()};

  g_3DEngine->SetFocal(500.0f, 500.0f);
  g_3DEngine->SetNearPlane(128.0f);

  if (cdd.HasDevice() && cdd.CanRenderInWindow()) display.renderer = new CCddRenderer();
  else display.renderer = new CSoftRenderer();
  CRenderer* renderer = display.renderer;
  renderer->SetScreenSize(cdd.GetWidth(), cdd.GetHeight(), cdd.GetPitch());
  renderer->SetDevice(&cdd);
  renderer->SetPixelFormat(static_cast<int>(cdd.GetRedMask()), static_cast<int>(cdd.GetGreenMask()),
                           static_cast<int>(cdd.GetBlueMask()));
  g_3DEngine->SetViewportSize(kMinViewWidth, kMinViewHeight);
  g_3DEngine->SetViewSize(kMinViewWidth, kMinViewHeight);
  g_3DEngine->SetRenderer(display.renderer);
  g_3DEngine->ResetTextureCache();

  // The sound system lives until the process ends; a machine without sound gets a silent one.
  if (!display.soundSystem) display.soundSystem = new CSoundSystem(display.mainWindow);
  if (!display.soundSystem->ok()) platform::TraceWrite("Kelvar: no sound output; sounds will not play\n");
  // The music player is prepared on the device even when it is silent; a failure leaves it shut down.
  MusicStream().Init(&display.soundSystem->device());
  g_soundTable.Load(display.soundSystem);
}

int CKelvarApp::ExitInstance() {
  platform::video::SetTextFunctions(nullptr);
  MtfCloseAllArchives();
  DisplayObjects& display = Display();
  if (g_3DEngine) {
    g_3DEngine->FreeVertexPool();
    delete g_3DEngine;
    g_3DEngine = nullptr;
  }
  delete display.renderer;
  display.renderer = nullptr;
  delete display.cdd;
  display.cdd = nullptr;
  const int code = Application::ExitInstance();
  SetKelvarDocHooks(nullptr);
  SetGenerationUi(nullptr);
  SetMergeUi(nullptr);
  if (::Quest().view == &TheWorldMapHook()) ::Quest().view = nullptr;
  if (platform::video::MainWindow() == mainVideoWindow_.get()) platform::video::SetMainWindow(nullptr);
  display.mainWindow = nullptr;
  return code;
}

void CKelvarApp::OnFileNew() {
  if (!CloseQuest()) return;
  Application::OnFileNew();
}

void CKelvarApp::OnFileOpen() {
  if (!CloseQuest()) return;
  Application::OnFileOpen();
}

void CKelvarApp::OnOpenRecentFile(int commandId) {
  const int index = commandId - ui::kCmdRecentFirst;
  if (!RecentFiles() || index < 0 || index >= RecentFiles()->Count()) return;
  if (!CloseQuest()) return;
  const std::string path = (*RecentFiles())[index];
  if (!OpenDocumentFile(path)) RecentFiles()->Remove(index);
}

void CKelvarApp::OnAppAbout() {
  CAboutDlg dialog;
  dialog.DoModal();
}

}  // namespace kelvar
