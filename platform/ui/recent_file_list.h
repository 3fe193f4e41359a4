#pragma once
// The most-recent-file list, kept in the profile as "File1".."FileN" of its section.
#include <string>
#include <vector>

namespace platform::ui {

class RecentFileList {
 public:
  RecentFileList(std::string section, int size);

  int Size() const { return size_; }
  int Count() const { return static_cast<int>(files_.size()); }
  const std::string& operator[](int index) const { return files_[static_cast<size_t>(index)]; }
  const std::vector<std::string>& Files() const { return files_; }

  // To the front, named as on disk; an entry naming the same file (also in
  // another case) moves there; the oldest falls off.
  void Add(const std::string& path);
  void Remove(int index);

  // Menu texts "&1 name": a file of the current directory by its name,
  // others by their full path; '&' doubled.
  std::vector<std::string> MenuTexts() const;

  // From and to the program's profile; every change is written at once.
  void ReadList();
  void WriteList() const;

 private:
  std::string section_;
  int size_;
  std::vector<std::string> files_;
};

}  // namespace platform::ui
