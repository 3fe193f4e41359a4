#pragma once
// Finding files by pattern: loose files first, the mounted archive only when
// no loose file matches.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace pavix {

struct FindData {
  std::string name;  // file name with extension, no folder
  std::uint64_t size = 0;
};

struct FindObject {
  bool looseFind = false;  // the match is a loose file
  int cursor = -1;         // archive directory position of the match
  std::string pattern;
};

struct FindCloser {
  void operator()(FindObject* f) const;
};
using FindHandle = std::unique_ptr<FindObject, FindCloser>;

// A find positioned on the first match (filling data), or null.
FindHandle OpenFind(std::string_view pattern, FindData& data);
void CloseFind(FindObject* find);
// The archive step: from the cursor downwards, the first entry in the
// pattern's folder whose name and extension begin with the pattern's (a
// trailing '*' of either dropped). True when one was found.
bool MtfFindEntry(FindObject& find, FindData& data);
// The pattern's drive and folder with the first matching file's name.
bool FindFile(std::string_view pattern, std::string& path);

}  // namespace pavix
