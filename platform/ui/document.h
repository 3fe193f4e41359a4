#pragma once
// A document: its title and path, the modified flag, its views, and the
// New/Open/Save/Close steps a program overrides.
#include <string>
#include <vector>

#include "platform/ui/command_target.h"

namespace platform::ui {

class ChildFrame;
class DocTemplate;
class View;

class Document : public CommandTarget {
 public:
  // Registers the Close, Save and Save As commands.
  Document();
  ~Document() override;

  virtual bool OnNewDocument();                          // empties the contents and forgets the path
  virtual bool OnOpenDocument(const std::string& path);  // empties the contents
  virtual bool OnSaveDocument(const std::string& path);  // clears the modified flag
  // Destroys the frames that show the document, empties it and lets it go.
  virtual void OnCloseDocument();
  virtual void DeleteContents() {}
  // A document whose failed open leaves its contents untouched keeps them
  // (and its modified flag); others start again as a new document.
  virtual bool KeepsContentsWhenOpenFails() const { return false; }

  virtual bool IsModified() const { return modified_; }
  virtual void SetModifiedFlag(bool modified = true) { modified_ = modified; }

  // Asks "Save changes to %s?" when modified: Yes saves (false when the save
  // fails), No drops the changes, Cancel gives false.
  virtual bool SaveModified();
  // Called before one of its frames closes: the last frame asks SaveModified.
  virtual bool CanCloseFrame(ChildFrame* frame);
  // Saves under the path, or asks for one when it is empty. False on Cancel
  // or failure; a failed save keeps the document modified.
  bool DoSave(const std::string& path, bool replace = true);
  // The file a save to the path writes; the base: the path as the disk names
  // it (a created file takes the case of one that differs only so). Save As
  // asks before that file is replaced.
  virtual std::string SavePathFor(const std::string& path) const;
  bool DoFileSave();

  virtual void OnFileClose();   // asks, then closes
  virtual void OnFileSave();
  virtual void OnFileSaveAs();

  const std::string& Title() const { return title_; }
  virtual void SetTitle(std::string title);
  const std::string& PathName() const { return pathName_; }
  // Stores the absolute path, takes its file name as the title, and adds it
  // to the recent files when asked.
  void SetPathName(const std::string& path, bool addToRecent = true);
  // A new document has no file: Save asks for a name.
  void ClearPathName() { pathName_.clear(); }

  DocTemplate* Template() const { return template_; }
  const std::vector<View*>& Views() const { return views_; }
  void AddView(View* view);
  void RemoveView(View* view);
  void UpdateAllViews(View* sender, long hint = 0);
  // True once OnCloseDocument ran; the object goes with the next event-loop turn.
  bool IsClosed() const { return closed_; }

 protected:
  // For a save that wrote another name than it was given (a forced
  // extension, an existing file's case): the document takes that name.
  void SetWrittenPathName(std::string path) { writtenPath_ = std::move(path); }

 private:
  friend class DocTemplate;
  DocTemplate* template_ = nullptr;
  std::vector<View*> views_;
  std::string title_;
  std::string pathName_;
  std::string writtenPath_;
  bool modified_ = false;
  bool closed_ = false;
};

}  // namespace platform::ui
