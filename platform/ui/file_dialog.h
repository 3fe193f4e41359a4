#pragma once
// File dialogs as a replaceable service: the window system's, or a script in tests.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::ui {

// One entry of a filter string "Description|*.a;*.b|Other|*.c||".
struct FileFilter {
  std::string description;
  std::vector<std::string> patterns;
  // Wildcards over the file name, ignoring case.
  bool Matches(std::string_view fileName) const;
};
std::vector<FileFilter> ParseFilter(std::string_view filter);

struct FileDialogRequest {
  bool open = true;           // false: a save dialog
  std::string title;          // empty: the system's
  std::string directory;      // native; empty: the current directory
  std::string fileName;       // proposed name
  std::string defaultExt;     // ".qst" or "qst"; added to a name that has none
  std::string filter;         // "Description|patterns|...||"
  // Save dialogs: the file a save to the chosen path writes (a forced
  // extension, an existing file's case); unset: the chosen path as the disk
  // names it.
  std::function<std::string(const std::string&)> savedAs;
};

class IFileDialogs {
 public:
  virtual ~IFileDialogs() = default;
  // The chosen native path, nothing on Cancel.
  virtual std::optional<std::string> Choose(const FileDialogRequest& request) = 0;
};

IFileDialogs& FileDialogs();
// Installs a service (not owned); nullptr restores the default.
// Returns the service installed before (nullptr: the default).
IFileDialogs* SetFileDialogs(IFileDialogs* service);

// Asks the current service; a chosen name without an extension gets the default one.
// A save whose file exists, in whatever case the name was typed, asks
// "%s already exists.\nDo you want to replace it?" naming that file; No
// shows the dialog again with the name.
std::optional<std::string> ShowFileDialog(const FileDialogRequest& request);

}  // namespace platform::ui
