#include "support/qt_app.h"

#include <QApplication>
#include <QEvent>

#include "platform/ui/doc_template.h"
#include "platform/ui/drawing_scope.h"

namespace testsupport {

void EnsureQtApp() {
  if (QCoreApplication::instance()) return;
  static int argc = 1;
  static char name[] = "widget_test";
  static char* argv[] = {name, nullptr};
  new platform::ui::QtApplication(argc, argv);
}

void Settle() {
  for (int i = 0; i < 3; ++i) {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  platform::ui::DocTemplate::FlushClosedDocuments();
}

}  // namespace testsupport
