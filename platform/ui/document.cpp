#include "platform/ui/document.h"

#include <algorithm>
#include <filesystem>

#include "platform/core/paths.h"
#include "platform/core/services.h"
#include "platform/ui/application.h"
#include "platform/ui/child_frame.h"
#include "platform/ui/command_ids.h"
#include "platform/ui/doc_template.h"
#include "platform/ui/file_dialog.h"
#include "platform/ui/frame_window.h"
#include "platform/ui/view.h"

namespace platform::ui {

Document::Document() {
  OnCommand(kCmdFileClose, [this] { OnFileClose(); });
  OnCommand(kCmdFileSave, [this] { OnFileSave(); });
  OnCommand(kCmdFileSaveAs, [this] { OnFileSaveAs(); });
}

Document::~Document() {
  for (View* v : views_) v->document_ = nullptr;
}

bool Document::OnNewDocument() {
  ClearPathName();
  DeleteContents();
  SetModifiedFlag(false);
  return true;
}

bool Document::OnOpenDocument(const std::string&) {
  DeleteContents();
  SetModifiedFlag(false);
  return true;
}

bool Document::OnSaveDocument(const std::string&) {
  SetModifiedFlag(false);
  return true;
}

void Document::OnCloseDocument() {
  if (closed_) return;
  closed_ = true;
  // Frames first (their views go with them), then the contents.
  std::vector<ChildFrame*> frames;
  for (View* v : views_)
    if (ChildFrame* f = ChildFrame::Of(v); f && std::find(frames.begin(), frames.end(), f) == frames.end())
      frames.push_back(f);
  for (ChildFrame* f : frames) f->Destroy();
  for (View* v : std::vector<View*>(views_)) RemoveView(v);
  DeleteContents();
  if (template_) template_->RemoveDocument(this);
}

bool Document::SaveModified() {
  if (!IsModified()) return true;
  std::string name = title_.empty() ? std::string("untitled") : title_;
  int answer = AppMessageBox("Save changes to " + name + "?", platform::kMbYesNoCancel | platform::kMbIconWarning);
  if (answer == platform::kIdCancel) return false;
  if (answer == platform::kIdYes) return DoFileSave();
  return true;
}

bool Document::CanCloseFrame(ChildFrame* frame) {
  for (View* v : views_)
    if (ChildFrame::Of(v) != frame) return true;  // another frame still shows it
  return SaveModified();
}

bool Document::DoSave(const std::string& path, bool replace) {
  std::string target = path;
  if (target.empty()) {
    FileDialogRequest req;
    req.open = false;
    req.title = "Save As";
    req.fileName = pathName_.empty() ? title_ : pathName_;
    if (template_) {
      req.defaultExt = template_->GetString(DocTemplate::kFilterExt);
      req.filter = template_->Filter() + "||";
      if (pathName_.empty() && !req.defaultExt.empty() && req.fileName.find('.') == std::string::npos)
        req.fileName += req.defaultExt;
    }
    req.savedAs = [this](const std::string& chosen) { return SavePathFor(chosen); };
    auto chosen = ShowFileDialog(req);
    if (!chosen) return false;
    target = *chosen;
  }
  // The document saves to, and names, the file it writes.
  target = SavePathFor(target);
  writtenPath_.clear();
  if (!OnSaveDocument(target)) return false;
  if (replace) SetPathName(writtenPath_.empty() ? target : writtenPath_);
  return true;
}

std::string Document::SavePathFor(const std::string& path) const { return platform::ResolvePath(path); }

bool Document::DoFileSave() { return DoSave(pathName_); }

void Document::OnFileClose() {
  if (!SaveModified()) return;
  OnCloseDocument();
}

void Document::OnFileSave() { DoFileSave(); }

void Document::OnFileSaveAs() { DoSave(std::string()); }

void Document::SetTitle(std::string title) {
  title_ = std::move(title);
  if (Application* app = Application::Instance())
    if (FrameWindow* main = app->MainWindow()) main->UpdateFrameTitle();
}

void Document::SetPathName(const std::string& path, bool addToRecent) {
  pathName_ = platform::AbsolutePath(path);
  SetTitle(std::filesystem::path(pathName_).filename().string());
  if (addToRecent)
    if (Application* app = Application::Instance()) app->AddToRecentFileList(pathName_);
}

void Document::AddView(View* view) {
  if (!view || view->document_ == this) return;
  if (view->document_) view->document_->RemoveView(view);
  views_.push_back(view);
  view->document_ = this;
}

void Document::RemoveView(View* view) {
  auto it = std::find(views_.begin(), views_.end(), view);
  if (it == views_.end()) return;
  views_.erase(it);
  view->document_ = nullptr;
}

void Document::UpdateAllViews(View* sender, long hint) {
  for (View* v : std::vector<View*>(views_))
    if (v != sender) v->OnUpdate(sender, hint);
}

}  // namespace platform::ui
