#include "platform/ui/recent_file_list.h"

#include <algorithm>
#include <filesystem>

#include "platform/core/paths.h"
#include "platform/core/profile.h"

namespace platform::ui {

RecentFileList::RecentFileList(std::string section, int size)
    : section_(std::move(section)), size_(std::clamp(size, 0, 16)) {}

namespace {

// Two entries name one file when they are equal, or when both lead to the
// same file on disk with names that differ only in case.
bool SameFile(const std::string& a, const std::string& b) {
  return a == b || (platform::EqualsNoCase(a, b) && platform::ResolvePath(a) == platform::ResolvePath(b));
}

}  // namespace

void RecentFileList::Add(const std::string& given) {
  if (given.empty() || size_ == 0) return;
  // As the disk names it, so the menu shows the name that was written.
  const std::string path = platform::ResolvePath(given);
  std::erase_if(files_, [&](const std::string& f) { return SameFile(f, path); });
  files_.insert(files_.begin(), path);
  if (static_cast<int>(files_.size()) > size_) files_.resize(static_cast<size_t>(size_));
  WriteList();
}

void RecentFileList::Remove(int index) {
  if (index < 0 || index >= Count()) return;
  files_.erase(files_.begin() + index);
  WriteList();
}

std::vector<std::string> RecentFileList::MenuTexts() const {
  std::vector<std::string> out;
  std::filesystem::path here = platform::CurrentDirectory();
  for (size_t i = 0; i < files_.size(); ++i) {
    std::filesystem::path p(files_[i]);
    std::string shown = p.parent_path() == here ? p.filename().string() : files_[i];
    std::string escaped;
    for (char c : shown) {
      if (c == '&') escaped += '&';
      escaped += c;
    }
    out.push_back("&" + std::to_string(i + 1) + " " + escaped);
  }
  return out;
}

void RecentFileList::ReadList() {
  files_.clear();
  for (int i = 1; i <= size_; ++i) {
    std::string v = platform::Profile().GetString(section_, "File" + std::to_string(i), "");
    // A list written before names were kept as on disk names a file as it
    // was asked for, and may hold it twice: each entry is named as on disk.
    if (!v.empty()) v = platform::ResolvePath(v);
    if (!v.empty() && std::none_of(files_.begin(), files_.end(), [&](const std::string& f) { return SameFile(f, v); }))
      files_.push_back(v);
  }
}

void RecentFileList::WriteList() const {
  for (int i = 1; i <= size_; ++i) {
    std::string key = "File" + std::to_string(i);
    if (i <= Count()) platform::Profile().WriteString(section_, key, files_[static_cast<size_t>(i - 1)]);
    else if (platform::Profile().GetString(section_, key)) platform::Profile().RemoveValue(section_, key);
  }
}

}  // namespace platform::ui
