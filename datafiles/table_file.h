#pragma once
// What every game table file shares: u16 file version 1, u32 row count, then
// the rows, each beginning with its own u16 row version.
#include <cstdint>
#include <vector>

class ByteSource;

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
