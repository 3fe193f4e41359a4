#include "datafiles/mtf_archive.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <mutex>
#include <new>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unordered_map>

#include "datafiles/common/crc32.h"
#include "datafiles/common/debug_trace.h"
#include "datafiles/common/little_endian.h"
#include "datafiles/common/lz_unpack.h"
#include "datafiles/file_utils.h"
#include "platform/core/file.h"
#include "platform/core/paths.h"
#include "platform/core/services.h"

namespace {

constexpr std::uint32_t kMaxNameLength = 260;  // with the terminating zero
constexpr std::size_t kResultSize = 260;
// u32 length, a name of one byte (its zero), u32 offset, u32 size.
constexpr std::uint64_t kMinRecordSize = 13;
// One flag byte and eight references of two bytes give 8 x 66 bytes: no LZ
// input of n bytes decodes to more than 33 n.
constexpr std::uint64_t kMaxExpansion = 33;

struct DirEntry {
  std::string name;
  std::uint32_t offset = 0;
  std::uint32_t size = 0;
  int slot = 0;
};

struct Slot {
  std::FILE* stream = nullptr;
  std::uint64_t fileSize = 0;
  const MtfFile* lastReader = nullptr;  // spares the seek while one handle reads on
};

struct Layer {
  std::mutex mutex;  // the slots' streams, their marks and the directory
  std::array<Slot, kMtfMaxArchives> slots{};
  std::vector<DirEntry> directory;
  // Lookup key -> index of the last entry of that name, so a later archive
  // (or a later record) overrides an earlier one.
  std::unordered_map<std::string, std::size_t> index;
  bool looseFilesFirst = false;
  std::size_t findCursor = 0;  // the next find looks below this index

  ~Layer() {
    for (Slot& s : slots)
      if (s.stream) std::fclose(s.stream);
  }
};

Layer& State() {
  static Layer layer;
  return layer;
}

char Fold(char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<char>(c - 'A' + 'a');
  return c == '/' ? '\\' : c;
}

std::string LookupKey(std::string_view name) {
  std::string key(name);
  for (char& c : key) c = Fold(c);
  return key;
}

bool SamePathNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Fold(a[i]) != Fold(b[i])) return false;
  return true;
}

bool StartsWithPathNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && SamePathNoCase(text.substr(0, prefix.size()), prefix);
}

bool ReadU32(std::FILE* f, std::uint32_t& value) {
  std::uint8_t b[4];
  if (std::fread(b, 1, 4, f) != 4) return false;
  value = LoadLe32(b);
  return true;
}

bool SeekTo(std::FILE* f, std::uint64_t pos) {
  if (pos > static_cast<std::uint64_t>(std::numeric_limits<long>::max())) return false;
  return std::fseek(f, static_cast<long>(pos), SEEK_SET) == 0;
}

// Reads and checks a whole directory; nothing is kept unless all of it is sound.
bool ReadDirectory(std::FILE* f, std::uint64_t fileSize, int slot, std::vector<DirEntry>& out) {
  std::uint32_t count = 0;
  if (!SeekTo(f, 0) || !ReadU32(f, count)) return false;
  // Checked before anything is allocated from it.
  if (std::uint64_t(count) * kMinRecordSize > fileSize - 4) return false;
  out.reserve(count);
  std::uint64_t pos = 4;
  char name[kMaxNameLength];
  for (std::uint32_t i = 0; i < count; ++i) {
    std::uint32_t length = 0, offset = 0, size = 0;
    if (!ReadU32(f, length)) return false;
    if (length == 0 || length > kMaxNameLength) return false;
    if (pos + 4 + length + 8 > fileSize) return false;
    if (std::fread(name, 1, length, f) != length) return false;
    const void* zero = std::memchr(name, 0, length);
    if (!zero) return false;
    if (!ReadU32(f, offset) || !ReadU32(f, size)) return false;
    pos += 4 + length + 8;
    out.push_back({std::string(name, static_cast<const char*>(zero) - name), offset, size, slot});
  }
  return true;
}

// A find pattern or entry name cut like _splitpath.
struct NameParts {
  std::string_view drive, dir, fname, ext;
};

NameParts Split(std::string_view path) {
  NameParts p;
  if (path.size() >= 2 && path[1] == ':') {
    p.drive = path.substr(0, 2);
    path.remove_prefix(2);
  }
  std::size_t cut = path.find_last_of("\\/");
  if (cut != std::string_view::npos) {
    p.dir = path.substr(0, cut + 1);
    path.remove_prefix(cut + 1);
  }
  std::size_t dot = path.find_last_of('.');
  if (dot != std::string_view::npos) {
    p.ext = path.substr(dot);
    path = path.substr(0, dot);
  }
  p.fname = path;
  return p;
}

bool SameFolder(const NameParts& entry, const NameParts& pattern) {
  return SamePathNoCase(entry.drive, pattern.drive) && SamePathNoCase(entry.dir, pattern.dir);
}

bool FindMatches(std::string_view entryName, const NameParts& pattern) {
  NameParts e = Split(entryName);
  if (!SameFolder(e, pattern)) return false;
  if (pattern.fname != "*" && !StartsWithPathNoCase(e.fname, pattern.fname)) return false;
  if (pattern.ext != ".*" && !StartsWithPathNoCase(e.ext, pattern.ext)) return false;
  return true;
}

// Searches down from below `start`; the index of the hit, or npos.
std::size_t FindBelow(const Layer& layer, std::size_t start, const char* pattern) {
  if (!pattern) return std::string_view::npos;
  const NameParts p = Split(pattern);
  for (std::size_t i = std::min(start, layer.directory.size()); i-- > 0;)
    if (FindMatches(layer.directory[i].name, p)) return i;
  return std::string_view::npos;
}

const char* CopyResult(std::array<char, kResultSize>& buffer, const std::string& name) {
  std::size_t n = std::min(name.size(), buffer.size() - 1);
  std::memcpy(buffer.data(), name.data(), n);
  buffer[n] = '\0';
  return buffer.data();
}

// LZ data into out, zero-filled to the expected size when the stream ends
// early, unless no stream of this length could reach that size: such a size
// is not trusted with an allocation.
void UnpackData(std::span<const std::uint8_t> lz, std::size_t expectedSize, std::vector<std::uint8_t>& out) {
  const std::uint64_t most = std::uint64_t(lz.size()) * kMaxExpansion;
  const std::size_t target = expectedSize <= most ? expectedSize : 0;
  out.clear();
  try {
    out.reserve(target);
    LzUnpack(lz, out);
    if (out.size() < target) out.resize(target, 0);
  } catch (const std::bad_alloc&) {
    // As the unpacker does when its output cannot grow.
    std::fputs("Can't allocate memory for Output...\n", stderr);
    platform::Exit(1);
  }
}

// Fills a packed entry's handle. Called with the layer locked.
void LoadPackedEntry(Slot& slot, MtfFile& file, std::uint32_t blockLength, const char* callerPath) {
  const std::uint64_t end = std::uint64_t(file.offset) + blockLength + 4;
  const bool complete = end <= slot.fileSize;
  // A truncated archive: only what lies inside it is unpacked.
  const std::uint64_t available = complete ? blockLength : std::min<std::uint64_t>(blockLength, slot.fileSize - file.offset);
  if (blockLength < kMtfBlockHeadSize || available < kMtfBlockHeadSize) {
    // No LZ data to speak of: the entry reads as it is stored.
    DebugTrace("MTF ERROR DAMAGED %s\n", callerPath);
    return;
  }
  std::vector<std::uint8_t> block(static_cast<std::size_t>(available));
  std::uint8_t crcBytes[4] = {};
  slot.lastReader = nullptr;
  bool readOk = SeekTo(slot.stream, file.offset) && std::fread(block.data(), 1, block.size(), slot.stream) == block.size();
  if (readOk && complete) readOk = std::fread(crcBytes, 1, 4, slot.stream) == 4;
  if (!complete || !readOk) DebugTrace("MTF ERROR DAMAGED %s\n", callerPath);
  if (!readOk) return;

  UnpackData(std::span(block).subspan(kMtfBlockHeadSize), file.size, file.unpacked);
  file.isUnpacked = true;
  if (file.unpacked.size() < file.size) {
    // The entry claims more than its data could ever hold.
    DebugTrace("MTF ERROR DAMAGED %s\n", callerPath);
    file.size = static_cast<std::uint32_t>(file.unpacked.size());
  }
  if (complete && Crc32Update(file.unpacked.data(), file.size, 0) != LoadLe32(crcBytes))
    DebugTrace("MTF ERROR CRC %s\n", callerPath);
}

}  // namespace

bool UnpackBlock(std::span<const std::uint8_t> block, std::size_t expectedSize, std::vector<std::uint8_t>& out) {
  out.clear();
  if (block.size() < kMtfBlockHeadSize) return false;
  const std::uint32_t length = LoadLe32(block.data() + 4);
  if (length < kMtfBlockHeadSize || length > block.size()) return false;
  UnpackData(block.subspan(kMtfBlockHeadSize, length - kMtfBlockHeadSize), expectedSize, out);
  return true;
}

int MtfOpenArchive(const char* path, int slot) {
  Layer& layer = State();
  if (!path) path = "";
  if (slot < 0 || slot >= kMtfMaxArchives) {
    DebugTrace("ERROR OPENING %s in %d\n", path, slot);
    return 0;
  }

  // A folder named like the archive beside it ("data" for "data.mtf") is a
  // developer's tree: loose files then come first, for every archive.
  const platform::PathParts parts = platform::SplitPath(path);
  if (!parts.fname.empty()) {
    for (const platform::FindEntry& e : platform::FindFiles(parts.fname))
      if (e.isDirectory && platform::EqualsNoCase(e.name, parts.fname)) {
        std::lock_guard lock(layer.mutex);
        layer.looseFilesFirst = true;
      }
  }

  std::FILE* f = platform::OpenCFile(path, "rb");
  std::lock_guard lock(layer.mutex);
  if (!f || layer.slots[slot].stream) {
    if (f) std::fclose(f);
    DebugTrace("ERROR OPENING %s in %d\n", path, slot);
    return 0;
  }
  struct stat st {};
  std::vector<DirEntry> entries;
  if (::fstat(fileno(f), &st) != 0 || st.st_size < 4 ||
      !ReadDirectory(f, static_cast<std::uint64_t>(st.st_size), slot, entries)) {
    std::fclose(f);
    DebugTrace("MTF ERROR DAMAGED ARCHIVE %s in %d\n", path, slot);
    return 0;
  }

  Slot& s = layer.slots[slot];
  s.stream = f;
  s.fileSize = static_cast<std::uint64_t>(st.st_size);
  s.lastReader = nullptr;
  layer.directory.reserve(layer.directory.size() + entries.size());
  for (DirEntry& e : entries) {
    layer.index[LookupKey(e.name)] = layer.directory.size();
    layer.directory.push_back(std::move(e));
  }
  return 1;
}

void MtfCloseAllArchives() {
  Layer& layer = State();
  std::lock_guard lock(layer.mutex);
  for (Slot& s : layer.slots) {
    if (s.stream) std::fclose(s.stream);
    s = Slot{};
  }
  layer.directory.clear();
  layer.directory.shrink_to_fit();
  layer.index.clear();
  layer.looseFilesFirst = false;
  layer.findCursor = 0;
}

bool MtfIsArchiveOpen(int slot) {
  if (slot < 0 || slot >= kMtfMaxArchives) return false;
  Layer& layer = State();
  std::lock_guard lock(layer.mutex);
  return layer.slots[slot].stream != nullptr;
}

std::size_t MtfDirectoryCount() {
  Layer& layer = State();
  std::lock_guard lock(layer.mutex);
  return layer.directory.size();
}

MtfFile* MtfOpen(const char* path, const char* mode) {
  if (!path) return nullptr;
  if (!mode) mode = "rb";
  Layer& layer = State();
  const char* name = StripDevPath(path);
  auto file = std::make_unique<MtfFile>();

  bool looseFirst;
  {
    std::lock_guard lock(layer.mutex);
    looseFirst = layer.looseFilesFirst;
  }
  if (looseFirst) {
    if ((file->looseFile = platform::OpenCFile(name, mode))) return file.release();
  }

  {
    std::lock_guard lock(layer.mutex);
    auto hit = layer.index.find(LookupKey(name));
    if (hit != layer.index.end()) {
      const DirEntry& e = layer.directory[hit->second];
      Slot& slot = layer.slots[e.slot];
      file->offset = e.offset;
      file->size = e.size;
      file->slot = e.slot;
      file->position = 0;
      slot.lastReader = nullptr;
      std::uint8_t head[8];
      if (slot.stream && SeekTo(slot.stream, e.offset) && std::fread(head, 1, 8, slot.stream) == 8) {
        const std::uint32_t magic = LoadLe32(head);
        if (magic == kMtfPackedMagicA || magic == kMtfPackedMagicE || magic == kMtfPackedMagicF)
          LoadPackedEntry(slot, *file, LoadLe32(head + 4), path);
      }
      return file.release();
    }
  }

  if ((file->looseFile = platform::OpenCFile(name, mode))) return file.release();
  DebugTrace("MTF ERROR OPENNING FILE %s\n", path);
  return nullptr;
}

std::size_t MtfRead(void* buffer, std::size_t size, std::size_t count, MtfFile* file) {
  if (!file || !buffer || size == 0 || count == 0) return 0;
  if (file->looseFile) return std::fread(buffer, size, count, file->looseFile);

  // Only whole items that lie inside the entry.
  const std::size_t left = file->position < file->size ? file->size - file->position : 0;
  const std::size_t fit = left / size;
  if (count > fit) {
    DebugTrace(file->isUnpacked ? "DEPASSEMENT MTF1\n" : "DEPASSEMENT MTF2\n");
    count = fit;
  }
  if (count == 0) return 0;

  if (file->isUnpacked) {
    std::memcpy(buffer, file->unpacked.data() + file->position, size * count);
    file->position += static_cast<std::uint32_t>(size * count);
    return count;
  }

  Layer& layer = State();
  std::lock_guard lock(layer.mutex);
  Slot& slot = layer.slots[file->slot];
  if (!slot.stream) return 0;
  if (slot.lastReader != file) {
    slot.lastReader = nullptr;
    if (!SeekTo(slot.stream, std::uint64_t(file->offset) + file->position)) return 0;
    slot.lastReader = file;
  }
  const std::size_t got = std::fread(buffer, size, count, slot.stream);
  file->position += static_cast<std::uint32_t>(size * got);
  // A short read may have moved the stream by part of an item.
  if (got < count) slot.lastReader = nullptr;
  return got;
}

bool MtfReadWhole(MtfFile* file, std::vector<std::uint8_t>& out) {
  out.clear();
  if (!file) return false;
  if (file->looseFile) {
    // A loose file has no entry to overrun: read on to its end.
    std::rewind(file->looseFile);
    std::array<std::uint8_t, 65536> chunk;
    std::size_t n;
    while ((n = std::fread(chunk.data(), 1, chunk.size(), file->looseFile)) > 0)
      out.insert(out.end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(n));
    return !std::ferror(file->looseFile);
  }
  std::size_t size = file->size;
  if (!file->isUnpacked) {
    // A stored size is as the directory says: allocate no more than the archive holds.
    Layer& layer = State();
    std::lock_guard lock(layer.mutex);
    const std::uint64_t archive = layer.slots[file->slot].fileSize;
    size = static_cast<std::size_t>(std::min<std::uint64_t>(size, archive > file->offset ? archive - file->offset : 0));
  }
  if (MtfSeek(file, 0, SEEK_SET) != 0) return false;
  out.resize(size);
  const std::size_t got = size ? MtfRead(out.data(), 1, size, file) : 0;
  out.resize(got);
  return got == file->size;
}

int MtfSeek(MtfFile* file, long offset, int origin) {
  if (!file) return -1;
  if (file->looseFile) return std::fseek(file->looseFile, offset, origin);
  std::int64_t base;
  switch (origin) {
    case SEEK_SET: base = 0; break;
    case SEEK_CUR: base = file->position; break;
    case SEEK_END: base = file->size; break;
    default: return -1;
  }
  const std::int64_t target = base + static_cast<std::int64_t>(offset);
  if (target < 0 || target > static_cast<std::int64_t>(file->size)) return -1;
  if (file->isUnpacked) {
    file->position = static_cast<std::uint32_t>(target);
    return 0;
  }
  Layer& layer = State();
  std::lock_guard lock(layer.mutex);
  file->position = static_cast<std::uint32_t>(target);
  layer.slots[file->slot].lastReader = nullptr;
  return 0;
}

long MtfTell(MtfFile* file) {
  if (!file) return -1;
  if (file->looseFile) return std::ftell(file->looseFile);
  return static_cast<long>(file->position);
}

int MtfClose(MtfFile* file) {
  if (!file) return EOF;
  std::unique_ptr<MtfFile> owned(file);
  if (file->looseFile) return std::fclose(file->looseFile);
  if (!file->isUnpacked) {
    Layer& layer = State();
    std::lock_guard lock(layer.mutex);
    layer.slots[file->slot].lastReader = nullptr;
  }
  return 0;
}

int MtfMatchEntry(const char* pattern, char* out) {
  if (!pattern) return 0;
  Layer& layer = State();
  std::lock_guard lock(layer.mutex);
  NameParts p = Split(pattern);
  if (!p.fname.empty() && p.fname.back() == '*') p.fname.remove_suffix(1);
  for (std::size_t i = layer.directory.size(); i-- > 0;) {
    const std::string& name = layer.directory[i].name;
    const NameParts e = Split(name);
    if (SameFolder(e, p) && StartsWithPathNoCase(e.fname, p.fname) && SamePathNoCase(e.ext, p.ext)) {
      if (out) {
        std::memcpy(out, name.c_str(), name.size() + 1);  // names hold at most 259 characters
      }
      return 1;
    }
  }
  return 0;
}

const char* MtfFindFirst(const char* pattern) {
  static std::array<char, kResultSize> result;
  Layer& layer = State();
  std::lock_guard lock(layer.mutex);
  const std::size_t hit = FindBelow(layer, layer.directory.size(), pattern);
  if (hit == std::string_view::npos) {
    layer.findCursor = 0;
    return nullptr;
  }
  layer.findCursor = hit;
  return CopyResult(result, layer.directory[hit].name);
}

const char* MtfFindNext(const char* pattern) {
  static std::array<char, kResultSize> result;
  Layer& layer = State();
  std::lock_guard lock(layer.mutex);
  const std::size_t hit = FindBelow(layer, layer.findCursor, pattern);
  if (hit == std::string_view::npos) {
    layer.findCursor = 0;
    return nullptr;
  }
  layer.findCursor = hit;
  return CopyResult(result, layer.directory[hit].name);
}
