// Any bytes as an archive: mount it, open every entry its directory names,
// read, seek and find. Nothing may be read or written outside a buffer.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "datafiles/mtf_archive.h"
#include "platform/core/paths.h"
#include "scratch_dir.h"

namespace {

std::uint32_t U32(const std::uint8_t* p) {
  return p[0] | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
}

// The names the directory holds, walked with our own bounds checks.
std::vector<std::string> Names(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> names;
  if (size < 4) return names;
  std::uint32_t count = U32(data);
  std::size_t pos = 4;
  for (std::uint32_t i = 0; i < count && names.size() < 64; ++i) {
    if (size - pos < 4) break;
    std::uint32_t length = U32(data + pos);
    pos += 4;
    if (length > size - pos) break;
    std::string name(reinterpret_cast<const char*>(data + pos), length);
    names.push_back(name.c_str());
    pos += length;
    if (size - pos < 8) break;
    pos += 8;
  }
  return names;
}

void Exercise(const char* name) {
  MtfFile* f = MtfOpen(name, "rb");
  if (!f) return;
  std::vector<std::uint8_t> buf(4096);
  MtfRead(buf.data(), 3, 5, f);
  MtfSeek(f, 0, SEEK_END);
  long end = MtfTell(f);
  MtfSeek(f, -1, SEEK_END);
  MtfRead(buf.data(), 1, 16, f);
  MtfSeek(f, end / 2, SEEK_SET);
  while (MtfRead(buf.data(), 7, buf.size() / 7, f) != 0) {
  }
  MtfSeek(f, 1 << 30, SEEK_CUR);
  MtfClose(f);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzscratch::InScratch scratch;
  if (!fuzzscratch::Write("fuzz.mtf", data, size)) std::abort();
  if (MtfOpenArchive("fuzz.mtf", 0) == 1) {
    // The same archive twice: later records and slots override earlier ones.
    MtfOpenArchive("FUZZ.MTF", 5);
    for (const std::string& name : Names(data, size)) {
      // Names that reach outside the scratch folder are not followed as loose files.
      if (name.find("..") != std::string::npos || (!name.empty() && (name[0] == '/' || name[0] == '\\'))) continue;
      Exercise(name.c_str());
      const platform::PathParts p = platform::SplitPath(name);
      const std::string folder = p.drive + p.dir;
      for (const std::string& pattern : {folder + "*.*", folder + p.fname + "*" + p.ext}) {
        int n = 0;
        for (const char* hit = MtfFindFirst(pattern.c_str()); hit && n < 100; hit = MtfFindNext(pattern.c_str())) ++n;
        char match[260];
        MtfMatchEntry(pattern.c_str(), match);
      }
    }
  }
  MtfCloseAllArchives();
  return 0;
}
