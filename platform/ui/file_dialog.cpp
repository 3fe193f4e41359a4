#include "platform/ui/file_dialog.h"

#include <filesystem>

#include "platform/core/paths.h"
#include "platform/core/services.h"
#include "platform/ui/application.h"

namespace platform::ui {
namespace {

IFileDialogs*& Current() {
  static IFileDialogs* current = nullptr;
  return current;
}

std::string Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && s[b] == ' ') ++b;
  while (e > b && s[e - 1] == ' ') --e;
  return std::string(s.substr(b, e - b));
}

void AddDefaultExtension(std::string& path, const std::string& defaultExt) {
  std::string ext = defaultExt;
  if (!ext.empty() && ext.front() != '.') ext.insert(ext.begin(), '.');
  if (ext.size() <= 1) return;
  const size_t slash = path.find_last_of("/\\");
  const std::string_view name = std::string_view(path).substr(slash == std::string::npos ? 0 : slash + 1);
  if (name.find('.') == std::string_view::npos) path += ext;
}

// The window system's dialog asks only about the exact name it was given,
// while a save may write a file of another case or extension.
bool MayReplace(const FileDialogRequest& request, const std::string& chosen) {
  const std::string target = request.savedAs ? request.savedAs(chosen) : platform::ResolvePath(chosen);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(target, ec)) return true;
  const std::string caption = request.title.empty() ? Application::AppTitle() : request.title;
  return platform::MessageBox(target + " already exists.\nDo you want to replace it?", caption,
                              platform::kMbYesNo | platform::kMbIconWarning) == platform::kIdYes;
}

}  // namespace

IFileDialogs& DefaultFileDialogs();  // qt_ui.cpp

bool FileFilter::Matches(std::string_view fileName) const {
  for (const std::string& p : patterns)
    if (platform::WildcardMatch(p, fileName)) return true;
  return false;
}

std::vector<FileFilter> ParseFilter(std::string_view filter) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= filter.size()) {
    size_t bar = filter.find('|', start);
    if (bar == std::string_view::npos) bar = filter.size();
    parts.emplace_back(filter.substr(start, bar - start));
    start = bar + 1;
  }
  std::vector<FileFilter> out;
  for (size_t i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].empty() && parts[i + 1].empty()) break;  // the closing "||"
    FileFilter f{parts[i], {}};
    std::string_view pats = parts[i + 1];
    size_t s = 0;
    while (s <= pats.size()) {
      size_t semi = pats.find(';', s);
      if (semi == std::string_view::npos) semi = pats.size();
      std::string p = Trim(pats.substr(s, semi - s));
      if (!p.empty()) f.patterns.push_back(p);
      s = semi + 1;
    }
    out.push_back(std::move(f));
  }
  return out;
}

IFileDialogs& FileDialogs() { return Current() ? *Current() : DefaultFileDialogs(); }

IFileDialogs* SetFileDialogs(IFileDialogs* service) {
  IFileDialogs* previous = Current();
  Current() = service;
  return previous;
}

std::optional<std::string> ShowFileDialog(const FileDialogRequest& request) {
  FileDialogRequest asked = request;
  for (;;) {
    std::optional<std::string> path = FileDialogs().Choose(asked);
    if (!path || path->empty()) return std::nullopt;
    AddDefaultExtension(*path, request.defaultExt);
    if (request.open || MayReplace(request, *path)) return path;
    asked.fileName = *path;
  }
}

}  // namespace platform::ui
