#pragma once
// Shared pieces of the framework tests: the Qt application, a document that
// records what happens to it, a view, and a multiple-document set-up with
// scripted services.
#include <memory>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QEvent>

#include "platform/core/profile.h"
#include "platform/core/services.h"
#include "platform/ui/application.h"
#include "platform/ui/child_frame.h"
#include "platform/ui/doc_template.h"
#include "platform/ui/document.h"
#include "platform/ui/mdi_frame.h"
#include "platform/ui/scripted_ui.h"
#include "platform/ui/view.h"
#include "support/qt_app.h"
#include "support/temp_dir.h"

namespace uitest {

using testsupport::EnsureQtApp;
using testsupport::Settle;

class TestDoc : public platform::ui::Document {
 public:
  bool OnNewDocument() override {
    log.push_back("new " + Title());
    return failNew ? false : Document::OnNewDocument();
  }
  bool OnOpenDocument(const std::string& path) override {
    log.push_back("open " + path);
    if (failOpen) return false;
    return Document::OnOpenDocument(path);
  }
  bool OnSaveDocument(const std::string& path) override {
    log.push_back("save " + path);
    if (failSave) return false;
    if (!writtenAs.empty()) SetWrittenPathName(writtenAs);
    return Document::OnSaveDocument(path);
  }
  void DeleteContents() override { log.push_back("delete contents"); }

  static inline std::vector<std::string> log;
  static inline bool failNew = false;
  static inline bool failOpen = false;
  static inline bool failSave = false;
  static inline std::string writtenAs;  // the name a save says it wrote, when not the one asked
};

class TestView : public platform::ui::View {
 public:
  using View::View;
  void OnInitialUpdate() override { ++initialUpdates; }
  void OnUpdate(View*, long hint) override { lastHint = hint; }
  void OnTimer(int id) override { ticks.push_back(id); }
  void OnDestroy() override { ++destroyed; }
  int initialUpdates = 0;
  long lastHint = -1;
  int destroyed = 0;
  std::vector<int> ticks;
};

inline constexpr const char* kTemplateStrings =
    "\nQuest\nQuest\nQuest document (*.qst)\n.qst\nQuest.Document\nQuest Document";

// An application "Kelvar" with an MDI main frame and one template of TestDoc
// and TestView, scripted services and a profile in the scratch directory.
class MdiTest : public testsupport::TempDirTest {
 protected:
  void SetUp() override;
  void TearDown() override;
  platform::ui::MdiFrame& Main() { return *main; }
  std::vector<platform::ui::Document*> Docs() { return app->GetDocManager()->Documents(); }

  platform::ScriptedServices boxes;
  platform::ui::ScriptedUi script;
  std::unique_ptr<platform::ui::Application> app;
  platform::ui::MdiFrame* main = nullptr;
  platform::ui::MultiDocTemplate* docTemplate = nullptr;
};

}  // namespace uitest
