#include "platform/ui/qt_ui.h"

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <string>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>

#include "platform/core/paths.h"
#include "platform/core/trace.h"
#include "platform/ui/application.h"
#include "platform/ui/drawing_scope.h"
#include "platform/ui/frame_window.h"
#include "platform/ui/text_codec.h"

namespace platform::ui {
namespace {

QWidget* MainWindowOrNull() {
  Application* app = Application::Instance();
  return app ? app->MainWindow() : nullptr;
}

// Where nobody can answer (the offscreen platform), services cancel instead of waiting forever.
class UnattendedServices : public IFileDialogs, public IPopupMenus, public IModalRunner {
 public:
  std::optional<std::string> Choose(const FileDialogRequest& r) override {
    platform::TraceWrite("ui: file dialog \"" + r.title + "\" cancelled, nobody to answer\n");
    return std::nullopt;
  }
  int Choose(const std::vector<PopupItem>&, QPoint) override {
    platform::TraceWrite("ui: pop-up menu dismissed, nobody to answer\n");
    return 0;
  }
  int Run(Dialog& d) override {
    platform::TraceWrite("ui: dialog \"" + ToNative(d.windowTitle()) + "\" cancelled, nobody to answer\n");
    d.Initialize();
    d.Press(kDialogCancel);
    if (!d.HasEnded()) d.EndDialog(kDialogCancel);
    d.Finish();
    return d.Result();
  }
};

bool NobodyToAnswer() {
  return QGuiApplication::platformName() == QLatin1String("offscreen") ||
         QGuiApplication::platformName() == QLatin1String("minimal");
}

void AddButtons(QMessageBox& box, unsigned flags) {
  switch (flags & 0xF) {
    case kMbOkCancel:
      box.addButton(QMessageBox::Ok);
      box.addButton(QMessageBox::Cancel);
      break;
    case kMbAbortRetryIgnore:
      box.addButton(QMessageBox::Abort);
      box.addButton(QMessageBox::Retry);
      box.addButton(QMessageBox::Ignore);
      break;
    case kMbYesNoCancel:
      box.addButton(QMessageBox::Yes);
      box.addButton(QMessageBox::No);
      box.addButton(QMessageBox::Cancel);
      break;
    case kMbYesNo:
      box.addButton(QMessageBox::Yes);
      box.addButton(QMessageBox::No);
      break;
    case kMbRetryCancel:
      box.addButton(QMessageBox::Retry);
      box.addButton(QMessageBox::Cancel);
      break;
    default:
      box.addButton(QMessageBox::Ok);
  }
}

int Answer(QMessageBox::StandardButton b) {
  switch (b) {
    case QMessageBox::Ok: return kIdOk;
    case QMessageBox::Cancel: return kIdCancel;
    case QMessageBox::Abort: return kIdAbort;
    case QMessageBox::Retry: return kIdRetry;
    case QMessageBox::Ignore: return kIdIgnore;
    case QMessageBox::Yes: return kIdYes;
    case QMessageBox::No: return kIdNo;
    default: return kIdCancel;
  }
}

// "Quest document (*.qst)" with the patterns "*.qst": the dialog reads the
// patterns from the last parentheses, so they are added when the text lacks them.
QString NameFilter(const FileFilter& f) {
  QStringList pats;
  for (const std::string& p : f.patterns) pats << FromNative(p);
  QString joined = pats.join(' ');
  QString desc = FromDisplayText(f.description);
  if (desc.endsWith(")") && desc.mid(desc.lastIndexOf('(') + 1).chopped(1).replace(';', ' ').trimmed() == joined)
    return desc;
  return desc + " (" + joined + ")";
}

// The window system's file dialog, which finds a typed name in whatever case
// the disk has it, as every other way of opening a file does. Whether a save
// replaces a file is asked after it (ShowFileDialog), of the file the save
// writes rather than of the name typed.
class FileDialog : public QFileDialog {
 public:
  explicit FileDialog(QWidget* parent) : QFileDialog(parent) {
    setOption(QFileDialog::DontUseNativeDialog, true);
    setOption(QFileDialog::DontConfirmOverwrite, true);
  }

  void accept() override {
    if (fileMode() == QFileDialog::ExistingFile) {
      const QStringList files = selectedFiles();
      if (files.size() == 1 && !QFileInfo::exists(files.front())) {
        std::string found = platform::ResolvePath(ToNative(files.front()));
        std::error_code ec;
        if (std::filesystem::is_regular_file(found, ec)) {
          found_ = std::move(found);
          done(QDialog::Accepted);
          return;
        }
      }
    }
    QFileDialog::accept();
  }

  // The chosen file, as the disk names it.
  std::string Chosen() const { return found_.empty() ? ToNative(selectedFiles().value(0)) : found_; }

 private:
  std::string found_;
};

void AddMenuItems(QMenu& menu, const std::vector<PopupItem>& items) {
  for (const PopupItem& p : items) {
    if (!p.items.empty()) {
      AddMenuItems(*menu.addMenu(FromDisplayText(p.text)), p.items);
    } else if (p.id == 0 && p.text.empty()) {
      menu.addSeparator();
    } else {
      QAction* a = menu.addAction(FromDisplayText(p.text));
      a->setData(p.id);
      a->setEnabled(p.enabled);
      a->setCheckable(p.checked || p.radio);
      a->setChecked(p.checked || p.radio);
    }
  }
}

int ShowMessageBox(const std::string& text, const std::string& caption, unsigned flags) {
  QMessageBox box(MainWindowOrNull());
  box.setWindowTitle(FromDisplayText(caption.empty() ? Application::AppTitle() : caption));
  box.setText(FromDisplayText(text));
  switch (flags & 0xF0) {
    case kMbIconError: box.setIcon(QMessageBox::Critical); break;
    case kMbIconQuestion: box.setIcon(QMessageBox::Question); break;
    case kMbIconWarning: box.setIcon(QMessageBox::Warning); break;
    case kMbIconInformation: box.setIcon(QMessageBox::Information); break;
    default: break;
  }
  AddButtons(box, flags);
  box.exec();
  auto* clicked = box.clickedButton();
  if (!clicked) return (flags & 0xF) == kMbOk ? kIdOk : kIdCancel;
  return Answer(box.standardButton(clicked));
}

// The answer that changes nothing, for a box nobody can answer yet: No or
// Cancel for a question, Abort where a Retry would only ask again.
int AnswerThatChangesNothing(unsigned flags) {
  switch (flags & 0xF) {
    case kMbOkCancel:
    case kMbYesNoCancel:
    case kMbRetryCancel: return kIdCancel;
    case kMbYesNo: return kIdNo;
    case kMbAbortRetryIgnore: return kIdAbort;
    default: return kIdOk;
  }
}

// A box answered before it could be shown comes afterwards with OK alone:
// its choice was made already, so it offers none.
unsigned AsInformation(unsigned flags) {
  const unsigned icon = flags & 0xF0;
  return kMbOk | (icon == kMbIconQuestion ? kMbIconInformation : icon);
}

struct WaitingBox {
  std::string text, caption;
  unsigned flags;
};

// Boxes a drawing asked for, oldest first; each has its turn in the work
// that waits for the drawing to end.
std::deque<WaitingBox>& WaitingBoxes() {
  static std::deque<WaitingBox> boxes;
  return boxes;
}

void ShowNextWaitingBox() {
  if (WaitingBoxes().empty()) return;
  const WaitingBox box = std::move(WaitingBoxes().front());
  WaitingBoxes().pop_front();
  ShowMessageBox(box.text, box.caption, AsInformation(box.flags));
}

// For a program that ends inside a drawing: a box's loop there would let the
// window system paint the windows again under the drawing, so the boxes go
// to the trace and the error stream instead.
void ReportWaitingBoxes() {
  for (const WaitingBox& box : WaitingBoxes()) {
    const std::string caption = box.caption.empty() ? Application::AppTitle() : box.caption;
    platform::TraceWrite("ui: box \"" + box.text + "\" not shown, the program ends inside a drawing\n");
    std::fprintf(stderr, "[%s] %s\n", caption.c_str(), box.text.c_str());
  }
  WaitingBoxes().clear();
}

}  // namespace

IFileDialogs& DefaultFileDialogs();
IPopupMenus& DefaultPopupMenus();
IModalRunner& DefaultModalRunner();

namespace {
struct Defaults {
  UnattendedServices unattended;
  // The window system's services without installing them.
  struct Live : IFileDialogs, IPopupMenus, IModalRunner {
    std::optional<std::string> Choose(const FileDialogRequest& r) override;
    int Choose(const std::vector<PopupItem>& items, QPoint pos) override;
    int Run(Dialog& d) override;
  } live;
};
Defaults& TheDefaults() {
  static Defaults d;
  return d;
}
}  // namespace

IFileDialogs& DefaultFileDialogs() {
  if (NobodyToAnswer()) return TheDefaults().unattended;
  return TheDefaults().live;
}
IPopupMenus& DefaultPopupMenus() {
  if (NobodyToAnswer()) return TheDefaults().unattended;
  return TheDefaults().live;
}
IModalRunner& DefaultModalRunner() {
  if (NobodyToAnswer()) return TheDefaults().unattended;
  return TheDefaults().live;
}

std::optional<std::string> Defaults::Live::Choose(const FileDialogRequest& r) {
  FileDialog dialog(MainWindowOrNull());
  dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);  // filters match ignoring case
  dialog.setAcceptMode(r.open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
  dialog.setFileMode(r.open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  if (!r.title.empty()) dialog.setWindowTitle(FromDisplayText(r.title));
  dialog.setDirectory(r.directory.empty() ? QDir::currentPath() : FromNative(r.directory));
  QStringList filters;
  for (const FileFilter& f : ParseFilter(r.filter)) filters << NameFilter(f);
  if (!filters.isEmpty()) dialog.setNameFilters(filters);
  std::string ext = r.defaultExt;
  if (!ext.empty() && ext.front() == '.') ext.erase(ext.begin());
  if (!ext.empty()) dialog.setDefaultSuffix(FromNative(ext));
  if (!r.fileName.empty()) dialog.selectFile(FromNative(r.fileName));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  std::string chosen = dialog.Chosen();
  if (chosen.empty()) return std::nullopt;
  return chosen;
}

int Defaults::Live::Choose(const std::vector<PopupItem>& items, QPoint pos) {
  QMenu menu(MainWindowOrNull());
  AddMenuItems(menu, items);
  QAction* chosen = menu.exec(pos);
  return chosen ? chosen->data().toInt() : 0;
}

int Defaults::Live::Run(Dialog& d) {
  if (!d.Initialize()) {
    // A dialog that refuses to start ends as cancelled.
    if (!d.HasEnded()) d.EndDialog(kDialogCancel);
  } else if (!d.HasEnded()) {
    d.exec();
  }
  if (!d.HasEnded()) d.EndDialog(kDialogCancel);
  d.Finish();
  return d.Result();
}

QtUi::QtUi()
    : previousUi_(&platform::Ui()),
      previousFiles_(SetFileDialogs(this)),
      previousPopups_(SetPopupMenus(this)),
      previousRunner_(SetModalRunner(this)) {
  platform::SetUi(this);
}

QtUi::~QtUi() {
  platform::SetUi(previousUi_);
  SetFileDialogs(previousFiles_);
  SetPopupMenus(previousPopups_);
  SetModalRunner(previousRunner_);
}

int QtUi::MessageBox(std::string_view text, std::string_view caption, unsigned flags) {
  if (Drawing()) {
    // Asked for by a drawing: nobody can answer it before the drawing is
    // over, so it is answered now with the choice that changes nothing and
    // shown afterwards for the user to read.
    const int answer = AnswerThatChangesNothing(flags);
    platform::TraceWrite("ui: box \"" + std::string(text) + "\" answered " + std::to_string(answer) +
                         ", shown once the drawing is over\n");
    WaitingBoxes().push_back({std::string(text), std::string(caption), flags});
    WhenNotDrawing(ShowNextWaitingBox);
    return answer;
  }
  return ShowMessageBox(std::string(text), std::string(caption), flags);
}

void QtUi::PostQuit(int code) {
  QMetaObject::invokeMethod(qApp, [code] { QCoreApplication::exit(code); }, Qt::QueuedConnection);
}

void QtUi::Exit(int code) {
  // The boxes a drawing asked for are shown before the program ends, unless
  // it ends inside a drawing.
  if (Drawing()) ReportWaitingBoxes();
  else RunWaitingWork();
  std::fflush(nullptr);
  std::exit(code);
}

// No event loop runs inside a drawing: a dialog or menu asked for by one
// cannot wait for its answer, so it is cancelled, as one nobody answers.
std::optional<std::string> QtUi::Choose(const FileDialogRequest& request) {
  if (Drawing()) return TheDefaults().unattended.Choose(request);
  return TheDefaults().live.Choose(request);
}

int QtUi::Choose(const std::vector<PopupItem>& items, QPoint globalPos) {
  if (Drawing()) return TheDefaults().unattended.Choose(items, globalPos);
  return TheDefaults().live.Choose(items, globalPos);
}

int QtUi::Run(Dialog& dialog) {
  if (Drawing()) return TheDefaults().unattended.Run(dialog);
  return TheDefaults().live.Run(dialog);
}

}  // namespace platform::ui
