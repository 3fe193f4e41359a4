#pragma once
// Document templates: what a kind of document is called, which filter its
// files have, and how its document, frame and views are made. A multiple-
// document template gives each document its own child frame in the main
// frame's workspace; a single-document template reuses one document and makes
// the main frame itself.
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/menu_table.h"
#include "platform/ui/view.h"

namespace platform::ui {

class ChildFrame;
class Document;
class FrameWindow;

class DocTemplate {
 public:
  // Fields of the template string "title\ndocName\nnewName\nfilterName\next\ntypeId\ntypeName".
  enum Field { kWindowTitle, kDocName, kFileNewName, kFilterName, kFilterExt, kRegFileTypeId, kRegFileTypeName };
  using DocumentFactory = std::function<std::unique_ptr<Document>()>;

  DocTemplate(int resourceId, std::string_view strings, DocumentFactory newDocument, ViewFactory newView);
  virtual ~DocTemplate();
  DocTemplate(const DocTemplate&) = delete;
  DocTemplate& operator=(const DocTemplate&) = delete;

  int ResourceId() const { return resourceId_; }
  std::string GetString(Field field) const;
  // "Filter name|*.ext" (empty without an extension).
  std::string Filter() const;
  // The menu shown while one of its documents is active (multiple-document frames).
  void SetMenu(std::vector<MenuItem> menu) { menu_ = std::move(menu); }
  const std::vector<MenuItem>& Menu() const { return menu_; }

  // A new document (no path) or the file at the path. Nothing when any step
  // fails; a document that failed to open or start is gone again.
  virtual Document* OpenDocumentFile(const std::string* path, bool makeVisible = true) = 0;
  std::vector<Document*> Documents() const;
  // Closes every document without asking.
  void CloseAllDocuments();
  // Drops a closed document; it is deleted from the event loop, since its own
  // command handler may still be running.
  void RemoveDocument(Document* document);
  // Deletes documents dropped earlier (the event loop does this by itself).
  static void FlushClosedDocuments();

 protected:
  Document* AddDocument(std::unique_ptr<Document> document);
  void SetDefaultTitle(Document& document);
  // A new document: no path, the default title, then its own new step.
  bool StartNew(Document& document);
  CreateContext Context(Document* document);
  ViewFactory newView_;
  DocumentFactory newDocument_;

 private:
  int resourceId_;
  std::vector<std::string> fields_;
  std::vector<MenuItem> menu_;
  std::vector<std::unique_ptr<Document>> documents_;
  int untitledCount_ = 0;
  bool numberTitles_ = true;
  friend class SingleDocTemplate;
};

class MultiDocTemplate : public DocTemplate {
 public:
  using FrameFactory = std::function<ChildFrame*()>;
  MultiDocTemplate(int resourceId, std::string_view strings, DocumentFactory newDocument,
                   FrameFactory newFrame, ViewFactory newView);
  Document* OpenDocumentFile(const std::string* path, bool makeVisible = true) override;

 private:
  FrameFactory newFrame_;
};

class SingleDocTemplate : public DocTemplate {
 public:
  using FrameFactory = std::function<std::unique_ptr<FrameWindow>()>;
  SingleDocTemplate(int resourceId, std::string_view strings, DocumentFactory newDocument,
                    FrameFactory newFrame, ViewFactory newView);
  // The first call makes the document and the main frame; later calls ask to
  // save the document and then reuse it.
  Document* OpenDocumentFile(const std::string* path, bool makeVisible = true) override;

 private:
  FrameFactory newFrame_;
};

}  // namespace platform::ui
