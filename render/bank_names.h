#pragma once
// A registry of up to 2048 file names of one kind, found in a folder and in
// the mounted archives, each kept with its base name. Mesh and skeleton
// banks build on it.
#include <string>
#include <string_view>
#include <vector>

inline constexpr int kBankMaxNames = 2048;

class CBankNames {
 public:
  // Adds the names found for "<folder>\*.<extension>": loose files first,
  // then archive entries that have no loose copy; a base name already known
  // is skipped, and nothing is added past 2048 names.
  void ScanFiles(const char* folder, const char* extension);

  int GetCount() const { return static_cast<int>(paths_.size()); }
  // Base name, or null when the index is not below the count.
  const char* GetName(int index) const;
  // Full path, or null when the index is not below the count.
  const char* GetPath(int index) const;
  // Index of the first full path or base name equal to the text ignoring case; -1.
  int FindPath(std::string_view path) const;
  int FindName(std::string_view baseName) const;
  // Forgets every name, the folder and the extension.
  void FreeNames();

  const std::string& folder() const { return folder_; }
  const std::string& extension() const { return extension_; }

  // File name without folder and extension.
  static std::string BaseName(std::string_view path);

 protected:
  // Appends a path and its base name; -1 when the registry is full.
  int AppendName(std::string_view path);

 private:
  std::string folder_;
  std::string extension_;
  std::vector<std::string> paths_;
  std::vector<std::string> baseNames_;
};
