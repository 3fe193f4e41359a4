#pragma once
// What every game table file shares: u16 file version 1, u32 row count, then
// the rows, each beginning with its own u16 row version.
#include <cstdint>
#include <vector>

#include "datafiles/byte_source.h"

// Every row holds at least its version word; a count the rest of the file
// cannot hold at that size is refused before anything is allocated.
inline constexpr std::uint64_t kMinTableRowBytes = 2;

// Reads the whole of a game file opened through the archive layer; false
// when it exists nowhere.
bool ReadGameFile(const char* path, std::vector<std::uint8_t>& bytes);

// Reads the file version and the row count. False (traced under `table`)
// when the version is not 1 or the count cannot fit in what remains.
bool ReadTableHeader(ByteSource& source, const char* table, std::uint32_t& count);

// Traces that the file ended inside a row, so the table is refused.
void TraceTableTruncated(const char* table, std::uint32_t row);

// Loads a table from its game file: 0 when the file exists nowhere (the
// table unchanged), else 1, whatever the table made of the bytes.
template <class Table>
int LoadTableFile(Table& table, const char* path) {
  std::vector<std::uint8_t> bytes;
  if (!ReadGameFile(path, bytes)) return 0;
  table.Read(bytes);
  return 1;
}

// Reads a table file into a table's rows: the header, Allocate(count), each
// row, then Sort. False, with the table freed, when the header is refused or
// the file ends inside a row.
template <class Table, class Row>
bool ReadTableRows(ByteSource& source, const char* table, Table& into, std::vector<Row>& rows) {
  into.Free();
  std::uint32_t count = 0;
  if (!ReadTableHeader(source, table, count)) return false;
  into.Allocate(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    // A row of a version its reader does not take keeps its defaults, and the reading goes on.
    rows[i].Read(source);
    if (source.failed()) {
      TraceTableTruncated(table, i);
      into.Free();
      return false;
    }
  }
  into.Sort();
  return true;
}
