#include "datafiles/table_file.h"

#include "datafiles/byte_source.h"
#include "datafiles/common/debug_trace.h"
#include "datafiles/mtf_archive.h"

bool ReadGameFile(const char* path, std::vector<std::uint8_t>& bytes) {
  bytes.clear();
  MtfFilePtr file(MtfOpen(path, "rb"));
  if (!file) return false;
  // A short read leaves what came; the table reader judges the bytes.
  MtfReadWhole(file.get(), bytes);
  return true;
}

bool ReadTableHeader(ByteSource& source, const char* table, std::uint32_t& count) {
  count = 0;
  std::uint16_t version = 0;
  if (!source.U16(version) || version != 1) {
    DebugTrace("%s: UNKNOWN FILE VERSION %u\n", table, static_cast<unsigned>(version));
    return false;
  }
  std::uint32_t stored = 0;
  if (!source.U32(stored)) {
    DebugTrace("%s: NO ROW COUNT\n", table);
    return false;
  }
  if (static_cast<std::uint64_t>(stored) * kMinTableRowBytes > source.Remaining()) {
    DebugTrace("%s: %u ROWS CANNOT FIT IN %llu BYTES\n", table, static_cast<unsigned>(stored),
               static_cast<unsigned long long>(source.Remaining()));
    return false;
  }
  count = stored;
  return true;
}

void TraceTableTruncated(const char* table, std::uint32_t row) {
  DebugTrace("%s: FILE ENDS INSIDE ROW %u\n", table, static_cast<unsigned>(row));
}
