#include <gtest/gtest.h>

#include <functional>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>

#include "platform/ui/application.h"
#include "platform/ui/qt_ui.h"
#include "ui_test_support.h"

using namespace platform::ui;

namespace {

// Runs `act` on the window the service opens, once it is up.
void WhenShown(std::function<bool()> act) {
  auto* timer = new QTimer(qApp);
  QObject::connect(timer, &QTimer::timeout, timer, [timer, act] {
    if (act()) timer->deleteLater();
  });
  timer->start(10);
}

class QtUiTest : public ::testing::Test {
 protected:
  void SetUp() override { uitest::EnsureQtApp(); }
};

TEST_F(QtUiTest, MessageBoxShowsTextCaptionButtonsAndAnswers) {
  QtUi ui;
  QString caption, text;
  int buttons = 0;
  WhenShown([&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return false;
    caption = box->windowTitle();
    text = box->text();
    buttons = static_cast<int>(box->buttons().size());
    box->button(QMessageBox::No)->click();
    return true;
  });
  EXPECT_EQ(platform::MessageBox("Delete room Crypt. Do you really want to continue ?", "Kelvar",
                                 platform::kMbYesNoCancel | platform::kMbIconQuestion),
            platform::kIdNo);
  EXPECT_EQ(caption, QString("Kelvar"));
  EXPECT_EQ(text, QString("Delete room Crypt. Do you really want to continue ?"));
  EXPECT_EQ(buttons, 3);
}

class OkDialog : public Dialog {
 public:
  bool OnInitDialog() override {
    ++inits;
    return true;
  }
  int inits = 0;
};

TEST_F(QtUiTest, ModalDialogRunsItsLoopAndAnswersOneOrTwo) {
  QtUi ui;
  OkDialog ok;
  WhenShown([&] {
    if (QApplication::activeModalWidget() != &ok) return false;
    ok.accept();
    return true;
  });
  EXPECT_EQ(ok.DoModal(), kDialogOk);
  EXPECT_EQ(ok.inits, 1);
  OkDialog cancel;
  WhenShown([&] {
    if (QApplication::activeModalWidget() != &cancel) return false;
    QTest::keyClick(&cancel, Qt::Key_Escape);
    return true;
  });
  EXPECT_EQ(cancel.DoModal(), kDialogCancel);
}

class ButtonsDialog : public Dialog {
 public:
  ButtonsDialog() : ok(MakeOkButton()), cancel(MakeCancelButton()) {}
  QPushButton* ok;
  QPushButton* cancel;
};

TEST_F(QtUiTest, OkAndCancelButtonsEndTheDialogAndReturnPressesOk) {
  QtUi ui;
  const struct {
    const char* what;
    std::function<void(ButtonsDialog&)> press;
    int result;
  } cases[] = {
      {"OK clicked", [](ButtonsDialog& d) { QTest::mouseClick(d.ok, Qt::LeftButton); }, kDialogOk},
      {"Cancel clicked", [](ButtonsDialog& d) { QTest::mouseClick(d.cancel, Qt::LeftButton); }, kDialogCancel},
      {"Return", [](ButtonsDialog& d) { QTest::keyClick(&d, Qt::Key_Return); }, kDialogOk},
  };
  for (const auto& c : cases) {
    ButtonsDialog d;
    EXPECT_EQ(d.ok->text(), QString("&OK"));
    EXPECT_EQ(d.cancel->text(), QString("&Cancel"));
    WhenShown([&] {
      if (QApplication::activeModalWidget() != &d) return false;
      c.press(d);
      return true;
    });
    EXPECT_EQ(d.DoModal(), c.result) << c.what;
  }
}

TEST_F(QtUiTest, FileDialogOffersTheFiltersIgnoringCase) {
  QtUi ui;
  QStringList filters;
  bool caseSensitive = true;
  QString suffix;
  WhenShown([&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!dialog) return false;
    filters = dialog->nameFilters();
    caseSensitive = dialog->filter().testFlag(QDir::CaseSensitive);
    suffix = dialog->defaultSuffix();
    dialog->reject();
    return true;
  });
  FileDialogRequest req;
  req.defaultExt = ".CDF";
  req.filter = "CDF Files (*.CDF)|*.CDF|quest Files (*QST)|*.QST||";
  EXPECT_EQ(ShowFileDialog(req), std::nullopt);
  EXPECT_EQ(filters, (QStringList{"CDF Files (*.CDF)", "quest Files (*QST) (*.QST)"}));
  EXPECT_FALSE(caseSensitive);
  EXPECT_EQ(suffix, QString("CDF"));
}

TEST_F(QtUiTest, PopupMenuReturnsThePickedCommand) {
  QtUi ui;
  QStringList texts;
  bool disabledShown = true;
  WhenShown([&] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu) return false;
    for (QAction* a : menu->actions()) {
      texts << a->text();
      if (a->data().toInt() == 32779) disabledShown = a->isEnabled();
    }
    for (QAction* a : menu->actions())
      if (a->data().toInt() == 32778) {
        menu->setActiveAction(a);
        QTest::keyClick(menu, Qt::Key_Return);
      }
    return true;
  });
  std::vector<PopupItem> items = {{"&Properties", 32778}, {"", 0}, {"&Delete", 32779, false}};
  EXPECT_EQ(PopupMenus().Choose(items, QPoint(50, 50)), 32778);
  EXPECT_EQ(texts, (QStringList{"&Properties", "", "&Delete"}));
  EXPECT_FALSE(disabledShown);
}

class CountingApp : public Application {
 public:
  CountingApp() : Application("pavix") {}
  bool OnIdle(int count) override {
    Application::OnIdle(count);
    ++passes;
    return count == 0;
  }
  int passes = 0;
};

TEST_F(QtUiTest, ContinuousIdleKeepsPassingWhileTheQueueIsEmpty) {
  CountingApp app;
  app.SetContinuousIdle(true);
  QTest::qWait(50);
  int during = app.passes;
  EXPECT_GT(during, 10);
  app.SetContinuousIdle(false);
  QTest::qWait(20);
  int after = app.passes;
  QTest::qWait(50);
  EXPECT_EQ(app.passes, after);  // stopped once a pass asked for no more
}

// Records the passes; asks for idle again during its first pass, as a command
// arriving between two passes would.
class RequestingApp : public Application {
 public:
  RequestingApp() : Application("kelvar") {}
  bool OnIdle(int count) override {
    counts.push_back(count);
    if (counts.size() == 1) RequestIdle();
    return count == 0;
  }
  std::vector<int> counts;
};

TEST_F(QtUiTest, ARequestDuringIdlePassesStartsThemOver) {
  RequestingApp app;
  app.RequestIdle();
  QTest::qWait(30);
  // The second pass is a first pass again, so the bars see the change.
  EXPECT_EQ(app.counts, (std::vector<int>{0, 0, 1}));
}

}  // namespace
