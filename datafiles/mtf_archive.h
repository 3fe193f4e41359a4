#pragma once
// The archive file layer. Up to 32 MTF archives are mounted into slots and
// their directories merged; a name opens as a loose file or as an entry of
// the last-mounted archive holding it, packed entries unpacked at open.
// fopen-like calls on an MtfFile handle.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <vector>

inline constexpr int kMtfMaxArchives = 32;
inline constexpr std::uint32_t kMtfPackedMagicA = 0x0BADBEAA;
inline constexpr std::uint32_t kMtfPackedMagicE = 0x0BADBEAE;
inline constexpr std::uint32_t kMtfPackedMagicF = 0x0BADBEAF;
// A packed block begins with its magic, its length with this head, and a word not used.
inline constexpr std::size_t kMtfBlockHeadSize = 12;

struct MtfFile {
  std::FILE* looseFile = nullptr;        // a loose file, or null for an archive entry
  std::uint32_t offset = 0;              // the entry's data in its archive
  std::uint32_t position = 0;            // read position within the entry
  std::uint32_t size = 0;                // the entry's size as read
  std::vector<std::uint8_t> unpacked;    // a packed entry's bytes
  bool isUnpacked = false;               // reads come from `unpacked`
  int slot = 0;                          // the archive holding the entry
};

// Mounts an archive into slot 0..31. 1 on success; 0 (traced, directory
// unchanged) when the file cannot be opened, the slot is taken, or its
// directory is damaged.
int MtfOpenArchive(const char* path, int slot);
// Closes every archive and forgets the directory and the loose-files-first flag.
void MtfCloseAllArchives();
bool MtfIsArchiveOpen(int slot);

// Opens a file by its game path; null (traced) when it exists nowhere.
MtfFile* MtfOpen(const char* path, const char* mode);
// Number of whole items read; never bytes from beyond the entry.
std::size_t MtfRead(void* buffer, std::size_t size, std::size_t count, MtfFile* file);
// Every byte of an open file, from its start: an entry is read by its size,
// so only a real over-read traces. False when fewer bytes came than the file
// holds (out then holds those that did); a stored entry is not taken past
// the end of its archive.
bool MtfReadWhole(MtfFile* file, std::vector<std::uint8_t>& out);
// origin 0 start, 1 current, 2 end (size + offset). 0 on success, -1 when the
// position would leave 0..size.
int MtfSeek(MtfFile* file, long offset, int origin);
long MtfTell(MtfFile* file);
int MtfClose(MtfFile* file);

// RAII for callers that do not need the C-style close.
struct MtfCloser {
  void operator()(MtfFile* f) const { if (f) MtfClose(f); }
};
using MtfFilePtr = std::unique_ptr<MtfFile, MtfCloser>;

// Directory searches over the merged entries, last-mounted first.
int MtfMatchEntry(const char* pattern, char* out /* 260 bytes */);
const char* MtfFindFirst(const char* pattern);
const char* MtfFindNext(const char* pattern);

// Number of merged directory entries (for tests and benchmarks).
std::size_t MtfDirectoryCount();

// A packed block (head and LZ data; not the CRC word after it). False, with
// out empty, when the block is damaged: shorter than its 12-byte head, or its
// length word below 12 or beyond the bytes given. Otherwise out holds the
// unpacked bytes, zero-filled to expectedSize when the stream ended early
// (a size that no stream of that length could reach is not filled).
bool UnpackBlock(std::span<const std::uint8_t> block, std::size_t expectedSize, std::vector<std::uint8_t>& out);
