#include "platform/ui/doc_manager.h"

#include <filesystem>

#include "platform/core/paths.h"
#include "platform/ui/application.h"
#include "platform/ui/child_frame.h"
#include "platform/ui/doc_template.h"
#include "platform/ui/document.h"
#include "platform/ui/file_dialog.h"
#include "platform/ui/frame_window.h"
#include "platform/ui/mdi_frame.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace platform::ui {

DocManager::DocManager() = default;
DocManager::~DocManager() = default;

void DocManager::AddTemplate(std::unique_ptr<DocTemplate> docTemplate) {
  templates_.push_back(std::move(docTemplate));
}

Document* DocManager::OnFileNew() {
  if (templates_.empty()) return nullptr;
  return templates_.front()->OpenDocumentFile(nullptr);
}

std::string DocManager::OpenFilter() const {
  std::string filter;
  for (const auto& t : templates_) {
    std::string f = t->Filter();
    if (!f.empty()) filter += f + "|";
  }
  return filter + "All Files (*.*)|*.*||";
}

Document* DocManager::OnFileOpen() {
  FileDialogRequest req;
  req.open = true;
  req.title = "Open";
  req.filter = OpenFilter();
  auto path = ShowFileDialog(req);
  if (!path) return nullptr;
  return OpenDocumentFile(*path);
}

Document* DocManager::OpenDocumentFile(const std::string& asked) {
  if (templates_.empty() || asked.empty()) return nullptr;
  // The file as it is named on disk, whichever case it was asked in, so the
  // title, the recent list and the check below all name it one way.
  const std::string path = platform::ResolvePath(asked);
  const std::string full = platform::AbsolutePath(path);
  for (Document* d : Documents()) {
    if (!d->PathName().empty() && d->PathName() == full) {
      if (!d->Views().empty())
        if (ChildFrame* f = ChildFrame::Of(d->Views().front()); f && f->Window())
          if (QMdiArea* area = f->Window()->mdiArea()) area->setActiveSubWindow(f->Window());
      return d;
    }
  }
  DocTemplate* chosen = templates_.front().get();
  std::string name = std::filesystem::path(path).filename().string();
  for (const auto& t : templates_) {
    auto filters = ParseFilter(t->Filter() + "||");
    if (!filters.empty() && filters.front().Matches(name)) {
      chosen = t.get();
      break;
    }
  }
  return chosen->OpenDocumentFile(&path);
}

bool DocManager::SaveAllModified() {
  for (Document* d : Documents())
    if (!d->SaveModified()) return false;
  return true;
}

void DocManager::CloseAllDocuments() {
  for (const auto& t : templates_) t->CloseAllDocuments();
}

std::vector<Document*> DocManager::Documents() const {
  std::vector<Document*> out;
  for (const auto& t : templates_)
    for (Document* d : t->Documents()) out.push_back(d);
  return out;
}

}  // namespace platform::ui
