#include "render/archive_bytes.h"

#include "datafiles/mtf_archive.h"

bool ReadArchiveFile(const char* path, std::vector<std::uint8_t>& out) {
  MtfFilePtr file(MtfOpen(path, "rb"));
  if (!file) return false;
  out.clear();
  std::uint8_t chunk[65536];
  for (;;) {
    const std::size_t n = MtfRead(chunk, 1, sizeof chunk, file.get());
    out.insert(out.end(), chunk, chunk + n);
    if (n < sizeof chunk) break;
  }
  return true;
}
