#include "tools/mtf/mtf_listing.h"

#include <array>

#include "datafiles/common/little_endian.h"
#include "datafiles/mtf_writer.h"
#include "platform/core/file.h"

namespace {

class Reader {
 public:
  explicit Reader(std::string_view path) : file_(path, platform::File::modeRead), length_(file_.GetLength()) {}

  std::uint64_t length() const { return length_; }

  std::uint32_t ReadU32(const char* what) {
    std::array<std::uint8_t, 4> b{};
    if (file_.Read(b.data(), 4) != 4) Fail(std::string("archive ends inside ") + what);
    return LoadLe32(b.data());
  }
  std::string ReadBytes(std::size_t n, const char* what) {
    std::string s(n, '\0');
    if (file_.Read(s.data(), n) != n) Fail(std::string("archive ends inside ") + what);
    return s;
  }
  std::uint64_t Tell() const { return file_.GetPosition(); }
  void Seek(std::uint64_t pos) { file_.Seek(static_cast<std::int64_t>(pos), platform::File::begin); }

  [[noreturn]] void Fail(const std::string& why) const { throw MtfListError(file_.path() + ": " + why); }

 private:
  platform::File file_;
  std::uint64_t length_;
};

}  // namespace

std::vector<MtfListedEntry> ListMtfArchive(std::string_view winPath) {
  Reader in(winPath);
  const std::uint32_t count = in.ReadU32("the entry count");
  // The smallest record: length word, a one-character name with its zero, offset, size.
  constexpr std::uint64_t kMinRecord = 4 + 2 + 8;
  if (std::uint64_t(count) * kMinRecord > in.length() - 4)
    in.Fail("entry count " + std::to_string(count) + " does not fit in the file");

  std::vector<MtfListedEntry> entries(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    MtfListedEntry& e = entries[i];
    const std::uint32_t nameLength = in.ReadU32("the directory");
    if (nameLength < 2 || nameLength > kMtfMaxNameLength + 1)
      in.Fail("entry " + std::to_string(i) + " has a name length of " + std::to_string(nameLength));
    std::string name = in.ReadBytes(nameLength, "the directory");
    if (name.back() != '\0') in.Fail("entry " + std::to_string(i) + "'s name lacks its terminator");
    e.name = name.c_str();
    e.offset = in.ReadU32("the directory");
    e.size = in.ReadU32("the directory");
  }
  const std::uint64_t dataStart = in.Tell();
  for (MtfListedEntry& e : entries) {
    if (e.offset < dataStart || e.offset > in.length())
      in.Fail("entry \"" + e.name + "\" starts outside the file");
    const std::uint64_t room = in.length() - e.offset;
    std::uint32_t magic = 0, blockLength = 0;
    if (room >= 8) {
      in.Seek(e.offset);
      magic = in.ReadU32("an entry");
      blockLength = in.ReadU32("an entry");
    }
    e.packed = magic == 0x0BADBEAA || magic == 0x0BADBEAE || magic == 0x0BADBEAF;
    e.storedLength = e.packed ? std::uint64_t(blockLength) + 4 : e.size;
    if (e.packed && blockLength < kMtfBlockHeadSize)
      in.Fail("entry \"" + e.name + "\" has a packed block of " + std::to_string(blockLength) + " bytes");
    if (e.storedLength > room) in.Fail("entry \"" + e.name + "\" reaches past the end of the file");
  }
  return entries;
}
