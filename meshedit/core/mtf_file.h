#pragma once
// The mesh editor's file layer: every file opened for reading is read whole
// into memory at open, from a loose file when one exists, else from the
// mounted archive. Reads are memory copies that never pass the data's end.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

namespace pavix {

inline constexpr int kMtfSlots = 1;  // only the data archive is ever mounted

struct MtfFile {
  std::FILE* stream = nullptr;          // write handles only
  std::vector<std::uint8_t> data;       // the whole file, for read handles
  std::size_t position = 0;
  std::size_t size = 0;

  std::size_t Remaining() const { return position < size ? size - position : 0; }
};

// Mounts an archive into a slot and appends its directory. 1, or 0 when it
// cannot be opened or its directory does not fit the file (nothing mounted).
int MtfOpenArchive(std::string_view path, int slot);
// Closes the slot and forgets its entries.
void MtfCloseArchive(int slot);

// Opens a file: the loose file first, then the archive entry of that name
// (ignoring case). Mode "wb" gives a write handle. Null when neither exists.
MtfFile* MtfOpen(std::string_view path, const char* mode);
// The archive entry of that name, read whole (packed entries unpacked), or null.
MtfFile* MtfFind(std::string_view name);
// Copies whole items from the position; returns the number copied.
std::size_t MtfRead(void* buffer, std::size_t size, std::size_t count, MtfFile* file);
void MtfClose(MtfFile* file);

struct MtfCloser {
  void operator()(MtfFile* f) const { MtfClose(f); }
};
using MtfFilePtr = std::unique_ptr<MtfFile, MtfCloser>;

// The merged directory, for searches: entry count, names and sizes.
std::size_t MtfDirectoryCount();
std::string_view MtfEntryName(std::size_t index);
std::uint32_t MtfEntrySize(std::size_t index);

// A read handle over bytes already in memory (tests and fuzzing).
MtfFilePtr MtfFromBytes(std::span<const std::uint8_t> bytes);

// A packed block's data (head and LZ data, not the CRC after it). Empty for a
// block whose length word is 8 or less or runs past the bytes given.
std::vector<std::uint8_t> UnpackBlock(std::span<const std::uint8_t> block);

}  // namespace pavix
