#pragma once
// The one document manager: its templates, File New, File Open, and closing.
#include <memory>
#include <string>
#include <vector>

namespace platform::ui {

class DocTemplate;
class Document;

class DocManager {
 public:
  DocManager();
  ~DocManager();

  void AddTemplate(std::unique_ptr<DocTemplate> docTemplate);
  const std::vector<std::unique_ptr<DocTemplate>>& Templates() const { return templates_; }

  // A new document of the first template.
  Document* OnFileNew();
  // Asks for a file (the templates' filters and "All Files"), then opens it.
  // Nothing on Cancel.
  Document* OnFileOpen();
  // The path is taken as the file on disk names it (case ignored, an exact
  // match first). An open document with the same path is only activated;
  // otherwise the template whose filter matches the name (the first one when
  // none does).
  Document* OpenDocumentFile(const std::string& path);

  // Asks each modified document; false as soon as one answer is Cancel or a save fails.
  bool SaveAllModified();
  // Closes every document without asking.
  void CloseAllDocuments();
  std::vector<Document*> Documents() const;
  // "Name|*.ext|...|All Files (*.*)|*.*||"
  std::string OpenFilter() const;

 private:
  std::vector<std::unique_ptr<DocTemplate>> templates_;
};

}  // namespace platform::ui
