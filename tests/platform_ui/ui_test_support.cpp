#include "ui_test_support.h"

#include <QApplication>

namespace uitest {

void MdiTest::SetUp() {
  EnsureQtApp();
  platform::SetProfilePath(dir.Native("profile.ini"));
  TestDoc::log.clear();
  TestDoc::failNew = TestDoc::failOpen = TestDoc::failSave = false;
  TestDoc::writtenAs.clear();
  app = std::make_unique<platform::ui::Application>("Kelvar");
  app->LoadStdProfileSettings(4);
  auto frame = std::make_unique<platform::ui::MdiFrame>();
  main = frame.get();
  ASSERT_TRUE(frame->Create());
  app->SetMainWindow(std::move(frame));
  auto t = std::make_unique<platform::ui::MultiDocTemplate>(
      129, kTemplateStrings, [] { return std::make_unique<TestDoc>(); },
      [] { return new platform::ui::ChildFrame(); },
      [](QWidget* parent) { return new TestView(parent); });
  docTemplate = t.get();
  app->AddDocTemplate(std::move(t));
  main->resize(800, 600);
}

void MdiTest::TearDown() {
  app->ExitInstance();
  app.reset();
  Settle();
}

}  // namespace uitest

// The font library keeps its caches until the process ends.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
