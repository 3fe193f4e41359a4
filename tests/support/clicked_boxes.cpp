#include "support/clicked_boxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QElapsedTimer>
#include <QtTest/QTest>

#include "platform/ui/dialog.h"
#include "platform/ui/drawing_scope.h"
#include "platform/ui/file_dialog.h"
#include "platform/ui/popup_menu.h"
#include "platform/ui/qt_ui.h"
#include "platform/ui/text_codec.h"

namespace testsupport {

ClickedBoxes::ClickedBoxes(std::function<bool()> drawing) : drawing_(std::move(drawing)) {
  if (!drawing_) drawing_ = [] { return platform::ui::Drawing(); };
  // What was installed before keeps the dialogs; only the boxes change hands.
  platform::ui::IFileDialogs* files = platform::ui::SetFileDialogs(nullptr);
  platform::ui::IPopupMenus* popups = platform::ui::SetPopupMenus(nullptr);
  platform::ui::IModalRunner* runner = platform::ui::SetModalRunner(nullptr);
  ui_ = std::make_unique<platform::ui::QtUi>();
  platform::ui::SetFileDialogs(files);
  platform::ui::SetPopupMenus(popups);
  platform::ui::SetModalRunner(runner);
  timer_ = new QTimer(qApp);
  QObject::connect(timer_, &QTimer::timeout, timer_, [this] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible()) return;
    if (!box->property("seen").toBool()) {
      box->setProperty("seen", true);
      std::vector<int> buttons;
      for (QAbstractButton* b : box->buttons()) buttons.push_back(static_cast<int>(box->standardButton(b)));
      boxes.push_back({platform::ui::ToAnsi(box->text()), drawing_(), std::move(buttons)});
      seen_.start();
      return;
    }
    // A user reads the box first; meanwhile the windows behind it lose the
    // activation and repaint, as they do under a window manager.
    if (seen_.elapsed() < kReadingMs) {
      for (QWidget* w : QApplication::topLevelWidgets())
        if (w != box && w->isVisible()) w->update();
      return;
    }
    const QList<QAbstractButton*> buttons = box->buttons();
    if (!buttons.isEmpty()) QTest::mouseClick(buttons.front(), Qt::LeftButton);
  });
  timer_->start(5);
}

ClickedBoxes::~ClickedBoxes() {
  delete timer_;
  ui_.reset();
}

void ClickedBoxes::WaitFor(std::size_t count) {
  QElapsedTimer waited;
  waited.start();
  while ((boxes.size() < count || QApplication::activeModalWidget()) && waited.elapsed() < 2000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

std::vector<std::string> ClickedBoxes::Texts() const {
  std::vector<std::string> out;
  for (const Box& b : boxes) out.push_back(b.text);
  return out;
}

}  // namespace testsupport
