#include "meshedit/core/mtf_file.h"

#include <cstring>
#include <string>

#include "datafiles/common/crc32.h"
#include "datafiles/common/little_endian.h"
#include "datafiles/common/lz_unpack.h"
#include "platform/core/file.h"
#include "platform/core/paths.h"

namespace pavix {

namespace {

constexpr std::uint32_t kPackedMagic = 0x0BADBEA0;
constexpr std::uint32_t kMaxNameLength = 260;  // with its terminating zero

struct DirEntry {
  int slot;
  std::string name;
  std::uint32_t offset;
  std::uint32_t size;
};

struct Slot {
  std::FILE* stream = nullptr;
  std::string path;
  std::uint64_t length = 0;
};

struct Layer {
  Slot slots[kMtfSlots];
  std::vector<DirEntry> directory;
};

Layer& State() {
  static Layer layer;
  return layer;
}

bool ReadAt(std::FILE* f, std::uint64_t offset, void* buffer, std::size_t n) {
  if (std::fseek(f, static_cast<long>(offset), SEEK_SET) != 0) return false;
  return std::fread(buffer, 1, n, f) == n;
}

// Separators are equal whichever way they lean; letters ignore case.
bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i] == '/' ? '\\' : a[i];
    char y = b[i] == '/' ? '\\' : b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

// The directory of an archive, or false when it does not fit the file.
bool ReadDirectory(std::FILE* f, std::uint64_t length, int slot, std::vector<DirEntry>& out) {
  std::uint8_t word[4];
  if (!ReadAt(f, 0, word, 4)) return false;
  const std::uint32_t n = LoadLe32(word);
  // Each record takes at least 13 bytes: a count no file can hold is refused
  // before anything is allocated for it.
  if (n > (length - 4) / 13) return false;
  out.reserve(n);
  char name[kMaxNameLength];
  for (std::uint32_t i = 0; i < n; ++i) {
    if (std::fread(word, 1, 4, f) != 4) return false;
    const std::uint32_t len = LoadLe32(word);
    if (len == 0 || len > kMaxNameLength) return false;
    if (std::fread(name, 1, len, f) != len) return false;
    const void* zero = std::memchr(name, 0, len);
    if (!zero) return false;
    std::uint8_t rest[8];
    if (std::fread(rest, 1, 8, f) != 8) return false;
    out.push_back({slot, std::string(name, static_cast<const char*>(zero) - name), LoadLe32(rest), LoadLe32(rest + 4)});
  }
  return true;
}

MtfFile* HandleOver(std::vector<std::uint8_t> bytes) {
  auto* file = new MtfFile;
  file->size = bytes.size();
  file->data = std::move(bytes);
  return file;
}

}  // namespace

std::vector<std::uint8_t> UnpackBlock(std::span<const std::uint8_t> block) {
  std::vector<std::uint8_t> out;
  if (block.size() < 8) return out;
  const std::uint32_t length = LoadLe32(block.data() + 4);
  if (length <= 8 || length > block.size()) return out;
  if (length > 12) LzUnpack(block.subspan(12, length - 12), out);
  return out;
}

int MtfOpenArchive(std::string_view path, int slot) {
  if (slot < 0 || slot >= kMtfSlots) return 0;
  Layer& layer = State();
  MtfCloseArchive(slot);
  std::FILE* f = platform::OpenCFile(path, "rb");
  if (!f) return 0;
  std::uint64_t length = 0;
  if (std::fseek(f, 0, SEEK_END) == 0) {
    const long end = std::ftell(f);
    length = end > 0 ? static_cast<std::uint64_t>(end) : 0;
  }
  std::vector<DirEntry> entries;
  if (length < 4 || !ReadDirectory(f, length, slot, entries)) {
    std::fclose(f);
    return 0;
  }
  Slot& s = layer.slots[slot];
  s.stream = f;
  s.path = std::string(path.substr(0, 259));
  s.length = length;
  layer.directory.insert(layer.directory.end(), std::make_move_iterator(entries.begin()),
                         std::make_move_iterator(entries.end()));
  return 1;
}

void MtfCloseArchive(int slot) {
  if (slot < 0 || slot >= kMtfSlots) return;
  Layer& layer = State();
  Slot& s = layer.slots[slot];
  if (s.stream) std::fclose(s.stream);
  s = Slot{};
  std::erase_if(layer.directory, [slot](const DirEntry& e) { return e.slot == slot; });
  if (layer.directory.empty()) layer.directory = {};
}

MtfFile* MtfFind(std::string_view name) {
  Layer& layer = State();
  for (std::size_t i = layer.directory.size(); i-- > 0;) {
    const DirEntry& e = layer.directory[i];
    if (!SameName(e.name, name)) continue;
    const Slot& s = layer.slots[e.slot];
    if (!s.stream || e.offset >= s.length) return nullptr;
    const std::uint64_t available = s.length - e.offset;
    std::uint8_t head[8] = {};
    const std::size_t headBytes = available < 8 ? static_cast<std::size_t>(available) : 8;
    if (!ReadAt(s.stream, e.offset, head, headBytes)) return nullptr;
    if (headBytes == 8 && (LoadLe32(head) & ~0xFu) == kPackedMagic) {
      const std::uint32_t blockLength = LoadLe32(head + 4);
      if (blockLength <= 8) return HandleOver({});
      if (blockLength > available) return nullptr;
      std::vector<std::uint8_t> block(blockLength);
      if (!ReadAt(s.stream, e.offset, block.data(), block.size())) return nullptr;
      std::vector<std::uint8_t> data = UnpackBlock(block);
      // The stored CRC is not compared: a damaged entry reads as it unpacked.
      (void)Crc32Update(data.data(), std::min<std::size_t>(data.size(), e.size), 0);
      if (data.size() > e.size) data.resize(e.size);
      return HandleOver(std::move(data));
    }
    if (e.size > available) return nullptr;
    std::vector<std::uint8_t> data(e.size);
    if (e.size > 0 && !ReadAt(s.stream, e.offset, data.data(), data.size())) return nullptr;
    return HandleOver(std::move(data));
  }
  return nullptr;
}

MtfFile* MtfOpen(std::string_view path, const char* mode) {
  if (std::FILE* f = platform::OpenCFile(path, mode)) {
    if (std::strcmp(mode, "wb") == 0) {
      auto* file = new MtfFile;
      file->stream = f;
      return file;
    }
    std::vector<std::uint8_t> bytes;
    bool ok = std::fseek(f, 0, SEEK_END) == 0;
    const long end = ok ? std::ftell(f) : -1;
    ok = ok && end >= 0 && std::fseek(f, 0, SEEK_SET) == 0;
    if (ok) {
      bytes.resize(static_cast<std::size_t>(end));
      ok = std::fread(bytes.data(), 1, bytes.size(), f) == bytes.size();
    }
    std::fclose(f);
    if (!ok) return nullptr;
    return HandleOver(std::move(bytes));
  }
  return MtfFind(path);
}

std::size_t MtfRead(void* buffer, std::size_t size, std::size_t count, MtfFile* file) {
  if (!file || file->stream || size == 0 || count == 0) return 0;
  const std::size_t available = std::min(file->Remaining(), file->data.size() - std::min(file->position, file->data.size()));
  const std::size_t items = std::min(count, available / size);
  if (items > 0) std::memcpy(buffer, file->data.data() + file->position, items * size);
  file->position += items * size;
  return items;
}

void MtfClose(MtfFile* file) {
  if (!file) return;
  if (file->stream) std::fclose(file->stream);
  delete file;
}

std::size_t MtfDirectoryCount() { return State().directory.size(); }
std::string_view MtfEntryName(std::size_t index) { return State().directory.at(index).name; }
std::uint32_t MtfEntrySize(std::size_t index) { return State().directory.at(index).size; }

MtfFilePtr MtfFromBytes(std::span<const std::uint8_t> bytes) {
  return MtfFilePtr(HandleOver(std::vector<std::uint8_t>(bytes.begin(), bytes.end())));
}

}  // namespace pavix
