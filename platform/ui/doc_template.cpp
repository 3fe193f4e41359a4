#include "platform/ui/doc_template.h"

#include <memory>

#include <QCoreApplication>
#include <QTimer>

#include "platform/ui/application.h"
#include "platform/ui/child_frame.h"
#include "platform/ui/document.h"
#include "platform/ui/frame_window.h"
#include "platform/ui/mdi_frame.h"

namespace platform::ui {
namespace {

std::vector<std::unique_ptr<Document>>& Graveyard() {
  static std::vector<std::unique_ptr<Document>> closed;
  return closed;
}

void InitialUpdate(const std::vector<View*>& views) {
  for (View* v : views) v->OnInitialUpdate();
}

}  // namespace

DocTemplate::DocTemplate(int resourceId, std::string_view strings, DocumentFactory newDocument,
                         ViewFactory newView)
    : newView_(std::move(newView)), newDocument_(std::move(newDocument)), resourceId_(resourceId) {
  size_t start = 0;
  while (start <= strings.size()) {
    size_t nl = strings.find('\n', start);
    if (nl == std::string_view::npos) nl = strings.size();
    fields_.emplace_back(strings.substr(start, nl - start));
    start = nl + 1;
  }
}

DocTemplate::~DocTemplate() = default;

std::string DocTemplate::GetString(Field field) const {
  size_t i = static_cast<size_t>(field);
  return i < fields_.size() ? fields_[i] : std::string();
}

std::string DocTemplate::Filter() const {
  std::string ext = GetString(kFilterExt);
  if (ext.empty()) return std::string();
  std::string name = GetString(kFilterName);
  return (name.empty() ? ext : name) + "|*" + ext;
}

std::vector<Document*> DocTemplate::Documents() const {
  std::vector<Document*> out;
  for (const auto& d : documents_) out.push_back(d.get());
  return out;
}

void DocTemplate::CloseAllDocuments() {
  for (Document* d : Documents()) d->OnCloseDocument();
}

void DocTemplate::RemoveDocument(Document* document) {
  for (auto it = documents_.begin(); it != documents_.end(); ++it) {
    if (it->get() != document) continue;
    Graveyard().push_back(std::move(*it));
    documents_.erase(it);
    if (QCoreApplication::instance())
      QTimer::singleShot(0, QCoreApplication::instance(), [] { FlushClosedDocuments(); });
    break;
  }
}

void DocTemplate::FlushClosedDocuments() {
  auto closed = std::move(Graveyard());
  Graveyard().clear();
  closed.clear();
}

Document* DocTemplate::AddDocument(std::unique_ptr<Document> document) {
  document->template_ = this;
  documents_.push_back(std::move(document));
  return documents_.back().get();
}

void DocTemplate::SetDefaultTitle(Document& document) {
  std::string name = GetString(kDocName);
  if (name.empty()) name = "Untitled";
  if (numberTitles_) name += std::to_string(++untitledCount_);
  document.SetTitle(name);
}

bool DocTemplate::StartNew(Document& document) {
  // The reused document of a single-document program still names the last
  // file: without this, Save would write the new document over it.
  document.ClearPathName();
  SetDefaultTitle(document);
  return document.OnNewDocument();
}

CreateContext DocTemplate::Context(Document* document) {
  CreateContext c;
  c.document = document;
  c.docTemplate = this;
  c.newView = newView_;
  return c;
}

MultiDocTemplate::MultiDocTemplate(int resourceId, std::string_view strings, DocumentFactory newDocument,
                                   FrameFactory newFrame, ViewFactory newView)
    : DocTemplate(resourceId, strings, std::move(newDocument), std::move(newView)),
      newFrame_(std::move(newFrame)) {}

Document* MultiDocTemplate::OpenDocumentFile(const std::string* path, bool makeVisible) {
  Application* app = Application::Instance();
  auto* main = app ? dynamic_cast<MdiFrame*>(app->MainWindow()) : nullptr;
  if (!main || !newDocument_ || !newFrame_) return nullptr;
  std::unique_ptr<Document> made = newDocument_();
  if (!made) return nullptr;
  Document* doc = AddDocument(std::move(made));
  ChildFrame* frame = newFrame_();
  if (!frame || !main->AddChild(frame, Context(doc))) {
    doc->OnCloseDocument();
    return nullptr;
  }
  bool ok;
  if (!path) {
    ok = StartNew(*doc);
  } else {
    ok = doc->OnOpenDocument(*path);
    if (ok) doc->SetPathName(*path);
  }
  if (!ok) {
    doc->OnCloseDocument();
    return nullptr;
  }
  main->ShowChild(frame, makeVisible);
  InitialUpdate(frame->Views());
  main->UpdateFrameTitle();
  return doc;
}

SingleDocTemplate::SingleDocTemplate(int resourceId, std::string_view strings, DocumentFactory newDocument,
                                     FrameFactory newFrame, ViewFactory newView)
    : DocTemplate(resourceId, strings, std::move(newDocument), std::move(newView)),
      newFrame_(std::move(newFrame)) {
  numberTitles_ = false;
}

Document* SingleDocTemplate::OpenDocumentFile(const std::string* path, bool makeVisible) {
  Application* app = Application::Instance();
  if (!app) return nullptr;
  Document* doc = documents_.empty() ? nullptr : documents_.front().get();
  bool created = false;
  if (doc) {
    if (!doc->SaveModified()) return nullptr;
  } else {
    if (!newDocument_ || !newFrame_) return nullptr;
    std::unique_ptr<Document> made = newDocument_();
    if (!made) return nullptr;
    doc = AddDocument(std::move(made));
    created = true;
    std::unique_ptr<FrameWindow> frame = newFrame_();
    CreateContext ctx = Context(doc);
    if (!frame || !frame->Create(&ctx)) {
      doc->OnCloseDocument();
      return nullptr;
    }
    app->SetMainWindow(std::move(frame));
  }
  bool ok;
  if (!path) {
    ok = StartNew(*doc);
  } else {
    ok = doc->OnOpenDocument(*path);
    if (ok) {
      doc->SetPathName(*path);
    } else if (!created && doc->IsModified() && !doc->KeepsContentsWhenOpenFails()) {
      // Half replaced: start again from an empty document rather than keep a mix.
      StartNew(*doc);
    }
  }
  if (!ok) {
    if (created) doc->OnCloseDocument();
    return nullptr;
  }
  FrameWindow* main = app->MainWindow();
  if (main && makeVisible && created) main->show();
  InitialUpdate(doc->Views());
  if (main) main->UpdateFrameTitle();
  return doc;
}

}  // namespace platform::ui
