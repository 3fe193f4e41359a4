#include "render/bank_names.h"

#include <cctype>
#include <cstdio>

#include "datafiles/mtf_archive.h"
#include "platform/core/file.h"
#include "platform/core/paths.h"

namespace {

bool LooseFileOpens(const std::string& path) {
  std::FILE* f = platform::OpenCFile(path, "rb");
  if (!f) return false;
  std::fclose(f);
  return true;
}

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

std::string CBankNames::BaseName(std::string_view path) { return platform::SplitPath(path).fname; }

const char* CBankNames::GetName(int index) const {
  if (index < 0 || index >= GetCount()) return nullptr;
  return baseNames_[static_cast<std::size_t>(index)].c_str();
}

const char* CBankNames::GetPath(int index) const {
  if (index < 0 || index >= GetCount()) return nullptr;
  return paths_[static_cast<std::size_t>(index)].c_str();
}

int CBankNames::FindPath(std::string_view path) const {
  for (std::size_t i = 0; i < paths_.size(); ++i) {
    if (platform::EqualsNoCase(paths_[i], path)) return static_cast<int>(i);
  }
  return -1;
}

int CBankNames::FindName(std::string_view baseName) const {
  for (std::size_t i = 0; i < baseNames_.size(); ++i) {
    if (platform::EqualsNoCase(baseNames_[i], baseName)) return static_cast<int>(i);
  }
  return -1;
}

void CBankNames::FreeNames() {
  paths_.clear();
  baseNames_.clear();
  folder_.clear();
  extension_.clear();
}

int CBankNames::AppendName(std::string_view path) {
  if (GetCount() >= kBankMaxNames) return -1;
  paths_.emplace_back(path);
  baseNames_.push_back(BaseName(path));
  return GetCount() - 1;
}

void CBankNames::ScanFiles(const char* folder, const char* extension) {
  const std::string pattern = std::string(folder) + "\\*." + extension;
  const std::string dotted = std::string(".") + extension;
  std::vector<std::string> found;

  for (const platform::FindEntry& e : platform::FindFiles(pattern)) {
    if (found.size() >= static_cast<std::size_t>(kBankMaxNames)) break;
    std::string full = Upper(std::string(folder) + "\\" + e.name);
    if (platform::EqualsNoCase(platform::SplitPath(full).ext, dotted)) found.push_back(std::move(full));
  }

  if (MtfIsArchiveOpen(0)) {
    for (const char* name = MtfFindFirst(pattern.c_str());
         name && found.size() < static_cast<std::size_t>(kBankMaxNames); name = MtfFindNext(pattern.c_str())) {
      std::string entry(name);
      if (!platform::EqualsNoCase(platform::SplitPath(entry).ext, dotted)) continue;
      if (LooseFileOpens(entry)) continue;  // the loose copy was taken above
      found.push_back(std::move(entry));
    }
  }

  for (const std::string& path : found) {
    if (FindName(BaseName(path)) >= 0) continue;
    if (AppendName(path) < 0) break;
  }
  folder_ = folder;
  extension_ = extension;
}
