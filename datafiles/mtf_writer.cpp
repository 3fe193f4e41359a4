#include "datafiles/mtf_writer.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "datafiles/common/crc32.h"
#include "datafiles/common/little_endian.h"
#include "datafiles/common/lz_pack.h"
#include "platform/core/file.h"

namespace {

constexpr std::uint32_t kPackedMagics[] = {0x0BADBEAA, 0x0BADBEAE, 0x0BADBEAF};
constexpr std::uint64_t kMaxU32 = std::numeric_limits<std::uint32_t>::max();

std::string Quoted(std::string_view name) {
  constexpr std::size_t kShown = 60;
  std::string s = "\"";
  for (char c : name.substr(0, kShown)) {
    if (static_cast<unsigned char>(c) < 0x20) {
      char esc[8];
      std::snprintf(esc, sizeof esc, "\\x%02X", static_cast<unsigned>(c));
      s += esc;
    } else {
      s += c;
    }
  }
  if (name.size() > kShown) s += "...";
  return s + "\"";
}

}  // namespace

bool MtfLooksPacked(std::span<const std::uint8_t> bytes) {
  for (std::uint32_t magic : kPackedMagics) {
    std::uint8_t m[4];
    StoreLe32(m, magic);
    // A shorter entry's first word continues into whatever follows it in the file.
    const std::size_t n = std::min<std::size_t>(bytes.size(), 4);
    if (std::equal(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n), m)) return true;
  }
  return false;
}

void MtfWriter::Add(std::string name, std::string_view bytes, MtfStorage storage) {
  Add(std::move(name), std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), storage);
}

void MtfWriter::CheckEntry(const std::string& name, std::size_t size) {
  if (name.empty()) throw MtfWriteError("archive entry name is empty");
  if (name.size() > kMtfMaxNameLength)
    throw MtfWriteError("archive entry name " + Quoted(name) + " is " + std::to_string(name.size()) +
                        " characters long; at most " + std::to_string(kMtfMaxNameLength) + " fit");
  if (name.find('\0') != std::string::npos)
    throw MtfWriteError("archive entry name " + Quoted(name) + " holds a zero byte");
  if (size > kMaxU32)
    throw MtfWriteError("archive entry " + Quoted(name) + " is " + std::to_string(size) +
                        " bytes; an archive entry holds at most 4 GiB - 1");
}

void MtfWriter::Add(std::string name, std::vector<std::uint8_t>&& bytes, MtfStorage storage) {
  if (storage != MtfStorage::kStored || MtfLooksPacked(bytes)) return Add(std::move(name), std::span<const std::uint8_t>(bytes), storage);
  CheckEntry(name, bytes.size());
  Entry e;
  e.name = std::move(name);
  e.size = static_cast<std::uint32_t>(bytes.size());
  e.data = std::move(bytes);
  entries_.push_back(std::move(e));
}

void MtfWriter::Add(std::string name, std::span<const std::uint8_t> bytes, MtfStorage storage) {
  CheckEntry(name, bytes.size());

  Entry e;
  e.name = std::move(name);
  e.size = static_cast<std::uint32_t>(bytes.size());
  const bool mustPack = MtfLooksPacked(bytes);
  if (storage == MtfStorage::kStored && !mustPack) {
    e.data.assign(bytes.begin(), bytes.end());
  } else {
    std::vector<std::uint8_t> lz = LzPack(bytes);
    const std::uint64_t blockLength = kMtfBlockHeadSize + lz.size();
    if (storage == MtfStorage::kAuto && !mustPack && blockLength + 4 >= bytes.size()) {
      e.data.assign(bytes.begin(), bytes.end());
    } else {
      if (blockLength > kMaxU32)
        throw MtfWriteError("packed archive entry " + Quoted(e.name) + " does not fit 32-bit lengths");
      e.data.reserve(blockLength + 4);
      AppendLe32(e.data, kMtfPackedMagicA);
      AppendLe32(e.data, static_cast<std::uint32_t>(blockLength));
      AppendLe32(e.data, 0);
      e.data.insert(e.data.end(), lz.begin(), lz.end());
      AppendLe32(e.data, Crc32Update(bytes.data(), bytes.size(), 0));
      e.packed = true;
    }
  }
  entries_.push_back(std::move(e));
}

void MtfWriter::AddFile(std::string name, std::string_view winPath) {
  platform::File in(winPath, platform::File::modeRead);
  const std::uint64_t length = in.GetLength();
  std::uint8_t head[4] = {};
  const std::size_t got = in.Read(head, static_cast<std::size_t>(std::min<std::uint64_t>(length, sizeof head)));
  if (got != std::min<std::uint64_t>(length, sizeof head))
    throw platform::FileException(platform::kCauseEndOfFile, 0, std::string(winPath));
  if (MtfLooksPacked(std::span<const std::uint8_t>(head, got))) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(length));
    in.Seek(0, platform::File::begin);
    if (in.Read(bytes.data(), bytes.size()) != bytes.size())
      throw platform::FileException(platform::kCauseEndOfFile, 0, std::string(winPath));
    return Add(std::move(name), std::span<const std::uint8_t>(bytes), MtfStorage::kStored);
  }
  CheckEntry(name, static_cast<std::size_t>(length));
  Entry e;
  e.name = std::move(name);
  e.size = static_cast<std::uint32_t>(length);
  e.source = std::string(winPath);
  entries_.push_back(std::move(e));
}

std::vector<std::uint32_t> MtfWriter::LayOut(std::span<const Extent> extents) {
  if (extents.size() > kMaxU32) throw MtfWriteError("too many archive entries for a 32-bit count");
  std::uint64_t pos = 4;
  for (const Extent& x : extents) pos += 4 + x.nameLength + 1 + 8;
  std::vector<std::uint32_t> offsets;
  offsets.reserve(extents.size() + 1);
  for (const Extent& x : extents) {
    if (pos > kMaxU32) break;
    offsets.push_back(static_cast<std::uint32_t>(pos));
    pos += x.dataLength;
  }
  if (pos > kMaxU32)
    throw MtfWriteError("archive would be " + std::to_string(pos) +
                        " bytes long; its 32-bit offsets reach 4 GiB - 1 at most");
  offsets.push_back(static_cast<std::uint32_t>(pos));
  return offsets;
}

std::vector<std::uint32_t> MtfWriter::Offsets() const {
  std::vector<Extent> extents;
  extents.reserve(entries_.size());
  for (const Entry& e : entries_) extents.push_back({e.name.size(), e.source.empty() ? e.data.size() : e.size});
  return LayOut(extents);
}

std::vector<std::uint8_t> MtfWriter::Head(const std::vector<std::uint32_t>& offsets) const {
  std::vector<std::uint8_t> head;
  head.reserve(entries_.empty() ? 4 : offsets.front());
  AppendLe32(head, static_cast<std::uint32_t>(entries_.size()));
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const Entry& e = entries_[i];
    AppendLe32(head, static_cast<std::uint32_t>(e.name.size() + 1));
    head.insert(head.end(), e.name.begin(), e.name.end());
    head.push_back(0);
    AppendLe32(head, offsets[i]);
    AppendLe32(head, e.size);
  }
  return head;
}

std::vector<std::uint8_t> MtfWriter::Build() const {
  const std::vector<std::uint32_t> offsets = Offsets();
  std::vector<std::uint8_t> out = Head(offsets);
  out.reserve(offsets.back());
  for (const Entry& e : entries_) {
    if (e.source.empty()) {
      out.insert(out.end(), e.data.begin(), e.data.end());
    } else {
      platform::File in(e.source, platform::File::modeRead);
      const std::size_t at = out.size();
      out.resize(at + e.size);
      if (in.Read(out.data() + at, e.size) != e.size)
        throw platform::FileException(platform::kCauseEndOfFile, 0, e.source);
    }
  }
  return out;
}

void MtfWriter::Write(std::string_view winPath) const {
  const std::vector<std::uint32_t> offsets = Offsets();
  platform::File file(winPath, platform::File::modeCreate | platform::File::modeWrite | platform::File::modeSafeSave);
  file.Write(Head(offsets));
  for (const Entry& e : entries_) {
    if (e.source.empty()) {
      file.Write(e.data);
    } else {
      platform::File in(e.source, platform::File::modeRead);
      if (file.CopyFrom(in, e.size) != e.size) throw platform::FileException(platform::kCauseEndOfFile, 0, e.source);
    }
  }
  file.Close();
}
