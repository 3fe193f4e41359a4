#include "support/mtf_edit.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

#include "platform/core/paths.h"

namespace testsupport {
namespace {

struct RawEntry {
  std::string name;
  std::uint32_t size = 0;         // as read
  std::vector<std::uint8_t> raw;  // as stored in the archive
};

std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
         static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// Each entry's stored bytes run from its offset to the next entry's (or the file's end).
std::optional<std::vector<RawEntry>> Read(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  const std::vector<std::uint8_t> b{std::istreambuf_iterator<char>(f), {}};
  if (b.size() < 4) return std::nullopt;
  const std::uint32_t count = U32(b, 0);
  std::size_t at = 4;
  std::vector<RawEntry> entries;
  std::vector<std::uint32_t> offsets;
  for (std::uint32_t i = 0; i < count; ++i) {
    if (at + 4 > b.size()) return std::nullopt;
    const std::uint32_t length = U32(b, at);
    at += 4;
    if (length == 0 || at + length + 8 > b.size()) return std::nullopt;
    RawEntry e;
    e.name.assign(reinterpret_cast<const char*>(&b[at]), length - 1);
    at += length;
    offsets.push_back(U32(b, at));
    e.size = U32(b, at + 4);
    at += 8;
    entries.push_back(std::move(e));
  }
  for (std::size_t i = 0; i < entries.size(); ++i) {
    std::size_t end = b.size();
    for (std::uint32_t o : offsets)
      if (o > offsets[i] && o < end) end = o;
    if (offsets[i] > end) return std::nullopt;
    entries[i].raw.assign(b.begin() + offsets[i], b.begin() + static_cast<std::ptrdiff_t>(end));
  }
  return entries;
}

void Write(const std::string& path, const std::vector<RawEntry>& entries) {
  std::size_t head = 4;
  for (const RawEntry& e : entries) head += 4 + e.name.size() + 1 + 8;
  std::vector<std::uint8_t> out;
  PutU32(out, static_cast<std::uint32_t>(entries.size()));
  std::size_t offset = head;
  for (const RawEntry& e : entries) {
    PutU32(out, static_cast<std::uint32_t>(e.name.size() + 1));
    out.insert(out.end(), e.name.begin(), e.name.end());
    out.push_back(0);
    PutU32(out, static_cast<std::uint32_t>(offset));
    PutU32(out, e.size);
    offset += e.raw.size();
  }
  for (const RawEntry& e : entries) out.insert(out.end(), e.raw.begin(), e.raw.end());
  // A new file renamed over the old one: a link to the old file keeps it.
  const std::string temporary = path + ".new";
  {
    std::ofstream f(temporary, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
  }
  std::filesystem::rename(temporary, path);
}

bool LooksPacked(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < 4) return true;
  const std::uint32_t magic = static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
                              static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
  return (magic & 0xFFFFFFF0u) == 0x0BADBEA0u;
}

}  // namespace

std::vector<std::string> ArchiveEntryNames(const std::string& nativePath) {
  std::vector<std::string> names;
  if (auto entries = Read(nativePath))
    for (const RawEntry& e : *entries) names.push_back(e.name);
  return names;
}

bool RemoveArchiveEntry(const std::string& nativePath, std::string_view name) {
  auto entries = Read(nativePath);
  if (!entries) return false;
  const std::size_t before = entries->size();
  std::erase_if(*entries, [&](const RawEntry& e) { return platform::EqualsNoCase(e.name, name); });
  if (entries->size() == before) return false;
  Write(nativePath, *entries);
  return true;
}

bool ReplaceArchiveEntry(const std::string& nativePath, std::string_view name, std::span<const std::uint8_t> bytes) {
  if (LooksPacked(bytes)) return false;
  auto entries = Read(nativePath);
  if (!entries) return false;
  bool found = false;
  for (RawEntry& e : *entries) {
    if (!platform::EqualsNoCase(e.name, name)) continue;
    e.raw.assign(bytes.begin(), bytes.end());
    e.size = static_cast<std::uint32_t>(bytes.size());
    found = true;
  }
  if (found) Write(nativePath, *entries);
  return found;
}

}  // namespace testsupport
