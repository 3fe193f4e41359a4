#include "meshedit/core/file_find.h"

#include "meshedit/core/mtf_file.h"
#include "platform/core/paths.h"

namespace pavix {

namespace {

std::string Folder(const platform::PathParts& p) {
  std::string s = p.drive + p.dir;
  for (char& c : s)
    if (c == '/') c = '\\';
  return s;
}

std::string DropTrailingStar(std::string s) {
  if (!s.empty() && s.back() == '*') s.pop_back();
  return s;
}

}  // namespace

void FindCloser::operator()(FindObject* f) const { CloseFind(f); }

void CloseFind(FindObject* find) { delete find; }

bool MtfFindEntry(FindObject& find, FindData& data) {
  const platform::PathParts want = platform::SplitPath(find.pattern);
  const std::string folder = Folder(want);
  const std::string name = DropTrailingStar(want.fname);
  const std::string ext = DropTrailingStar(want.ext);
  const int count = static_cast<int>(MtfDirectoryCount());
  if (find.cursor < 0 || find.cursor >= count) find.cursor = count - 1;
  for (int i = find.cursor; i >= 0; --i) {
    const platform::PathParts have = platform::SplitPath(MtfEntryName(static_cast<std::size_t>(i)));
    if (!platform::EqualsNoCase(Folder(have), folder)) continue;
    if (!platform::StartsWithNoCase(have.fname, name) || !platform::StartsWithNoCase(have.ext, ext)) continue;
    find.cursor = i;
    data.name = have.fname + have.ext;
    data.size = MtfEntrySize(static_cast<std::size_t>(i));
    return true;
  }
  return false;
}

FindHandle OpenFind(std::string_view pattern, FindData& data) {
  FindHandle find(new FindObject);
  find->pattern = std::string(pattern.substr(0, 259));
  for (const platform::FindEntry& e : platform::FindFiles(pattern)) {
    if (e.isDirectory) continue;
    find->looseFind = true;
    data.name = e.name;
    data.size = e.size;
    return find;
  }
  if (MtfFindEntry(*find, data)) return find;
  return nullptr;
}

bool FindFile(std::string_view pattern, std::string& path) {
  FindData data;
  FindHandle find = OpenFind(pattern, data);
  if (!find) return false;
  const platform::PathParts parts = platform::SplitPath(pattern);
  path = parts.drive + parts.dir + data.name;
  return true;
}

}  // namespace pavix
