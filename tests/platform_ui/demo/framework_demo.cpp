// Shows the framework's pieces in one window: an MDI frame with menus, a
// toolbar and captioned bands, the status bar, and a child frame split into a
// tree pane and a surface view with text. Options: --menu opens the Edit menu,
// --quit-after MS ends the program.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QTabBar>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "platform/ui/accelerator_table.h"
#include "platform/ui/application.h"
#include "platform/ui/child_frame.h"
#include "platform/ui/command_ids.h"
#include "platform/ui/doc_template.h"
#include "platform/ui/document.h"
#include "platform/ui/drawing_scope.h"
#include "platform/ui/mdi_frame.h"
#include "platform/ui/qt_ui.h"
#include "platform/ui/static_splitter.h"
#include "platform/ui/string_table.h"
#include "platform/ui/surface_text.h"

using namespace platform::ui;

namespace {

QIcon DrawIcon(QColor colour, int shape) {
  QPixmap pm(16, 15);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setPen(Qt::black);
  p.setBrush(colour);
  if (shape == 0) p.drawRect(2, 2, 11, 10);
  else if (shape == 1) p.drawEllipse(2, 2, 11, 10);
  else p.drawPolygon(QPolygon({QPoint(8, 1), QPoint(14, 13), QPoint(2, 13)}));
  return QIcon(pm);
}

class TreePane : public View {
 public:
  explicit TreePane(QWidget* parent) : View(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 0);
    auto* tree = new QTreeWidget(this);
    tree->setHeaderHidden(true);
    for (const char* name : {"gate_keeper", "bell_tower", "well_of_echoes"}) tree->addTopLevelItem(new QTreeWidgetItem({name}));
    layout->addWidget(tree);
    auto* tabs = new QTabBar(this);
    for (const char* t : {"Machines", "Objects", "Monsters", "Room"}) tabs->addTab(t);
    layout->addWidget(tabs);
  }
};

class SurfacePane : public View {
 public:
  explicit SurfacePane(QWidget* parent) : View(parent) {}

 protected:
  void OnDraw() override {
    int w = std::max(width(), 640) + 96, h = std::max(height(), 480);
    pixels_.assign(static_cast<size_t>(w * h), 0);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        int r = (x * 31) / w, g = (y * 63) / h, b = ((x / 32 + y / 32) & 1) ? 12 : 6;
        pixels_[static_cast<size_t>(y * w + x)] = static_cast<std::uint16_t>((r << 11) | (g << 5) | b);
      }
    {
      SurfaceText text(pixels_.data(), w, h, w * 2);
      text.SetTransparent(true);
      text.SetTextColor(255, 255, 255);
      text.TextOut(5, 5, "Room : Hall of Echoes (12,40)");
      text.SetTextColor(160, 160, 160);
      for (int x = 0; x < w - 96; x += 128) text.TextOut(x + 2, 24, std::to_string(x * 4));
    }
    Present(pixels_.data(), w, h, w * 2);
  }

 private:
  std::vector<std::uint16_t> pixels_;
};

class DemoChild : public ChildFrame {
 public:
  bool OnCreateClient(const CreateContext& context) override {
    auto* splitter = new StaticSplitter(2, Qt::Horizontal, this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);
    return splitter->CreateView(0, [](QWidget* p) { return new TreePane(p); }, QSize(220, 100), context) &&
           splitter->CreateView(1, [](QWidget* p) { return new SurfacePane(p); }, QSize(100, 100), context);
  }
};

class DemoApp : public Application {
 public:
  DemoApp() : Application("Kelvar") {}
  bool InitInstance() override {
    Strings().Set(32812, "Move Instance\nMove Instance (M)");
    Strings().Set(32813, "Select\nSelect  (S)");
    Strings().Set(32790, "Hierarchy View\nHierarchy View (Tab)");
    Strings().Set(32791, "Edit View\nEdit View (Tab)");
    LoadStdProfileSettings(4);
    auto t = std::make_unique<MultiDocTemplate>(
        129, "\nQuest\nQuest\nQuest document (*.qst)\n.qst\nQuest.Document\nQuest Document",
        [] { return std::make_unique<Document>(); }, [] { return new DemoChild(); }, ViewFactory());
    std::vector<MenuItem> menu = {
        Popup("&File", {Item("&New\tCtrl+N", kCmdFileNew), Item("&Open...\tCtrl+O", kCmdFileOpen),
                        Item("&Close", kCmdFileClose), Item("&Save\tCtrl+S", kCmdFileSave),
                        Item("Save &As...", kCmdFileSaveAs), Separator(), Item("Recent File", kCmdRecentFirst),
                        Separator(), Item("&Quit", kCmdAppExit)}),
        Popup("E&dit", {Item("&Move objects", 32812), Item("&Select", 32813), Item("Move &View", 32814)}),
        Popup("&View", {Item("&Tools", kCmdViewToolBar), Item("&Status", kCmdViewStatusBar), Separator(),
                        Item("&Hierarchy View", 32790), Item("&Edit view", 32791)}),
        Popup("&?", {Item("&About  Kelvar", kCmdAppAbout)})};
    t->SetMenu(menu);
    AddDocTemplate(std::move(t));

    auto frame = std::make_unique<MdiFrame>();
    frame->SetMenu({menu.front(), menu[2], menu.back()});
    frame->AddToolBar({kMainToolBarId, "", {kCmdFileNew, kCmdFileOpen, kCmdFileSave, 0, kCmdAppAbout},
                       {DrawIcon(Qt::white, 0), DrawIcon(Qt::yellow, 0), DrawIcon(Qt::blue, 0), DrawIcon(Qt::green, 1)}});
    frame->AddToolBar({152, "View", {32790, 32791}, {DrawIcon(Qt::cyan, 2), DrawIcon(Qt::magenta, 2)}});
    frame->AddToolBar({167, "Edit", {32812, 0, 32813, 0, 32814},
                       {DrawIcon(Qt::red, 1), DrawIcon(Qt::darkGreen, 1), DrawIcon(Qt::gray, 1)}});
    frame->CreateStatusBar({"MAJ", "NUM", "DEF"});
    frame->OnCommand(32812, [this] { tool_ = 0; });
    frame->OnCommand(32813, [this] { tool_ = 1; });
    frame->OnUpdate(32812, [this](CommandState& s) { s.SetCheck(tool_ == 0); });
    frame->OnUpdate(32813, [this](CommandState& s) { s.SetCheck(tool_ == 1); });
    frame->OnCommand(32790, [this] { room_ = false; });
    frame->OnCommand(32791, [this] { room_ = true; });
    frame->OnUpdate(32790, [this](CommandState& s) { s.SetCheck(!room_); });
    frame->OnUpdate(32791, [this](CommandState& s) { s.SetCheck(room_); });
    frame->SetAccelerators(&keys_);
    frame->resize(1000, 700);
    SetMainWindow(std::move(frame));
    MainWindow()->show();
    return ProcessShellCommand({});
  }

 private:
  AcceleratorTable keys_{128, {{Qt::Key_M, 0, 32812}, {Qt::Key_S, 0, 32813}}};
  int tool_ = 0;
  bool room_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  platform::ui::QtApplication qt(argc, argv);
  QtUi services;
  DemoApp app;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--menu") == 0) {
      QTimer::singleShot(800, [&app] {
        QMenuBar* bar = app.MainWindow()->menuBar();
        QAction* edit = bar->actions().at(1);
        bar->setActiveAction(edit);
      });
    } else if (std::strcmp(argv[i], "--quit-after") == 0 && i + 1 < argc) {
      QTimer::singleShot(std::atoi(argv[++i]), [] { QCoreApplication::exit(0); });
    }
  }
  return app.Run();
}

// The window system's libraries keep some buffers until the process ends.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libdbus-1.so\nleak:libfontconfig.so\n";
}
