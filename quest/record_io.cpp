#include "quest/record_io.h"

#include "datafiles/common/little_endian.h"

namespace {

void ReadExactly(platform::File& file, void* out, std::size_t n) {
  if (file.Read(out, n) != n) throw platform::FileException(platform::kCauseEndOfFile, 0, file.path());
}

}  // namespace

void WriteU32(platform::File& file, std::uint32_t value) {
  std::uint8_t bytes[4];
  StoreLe32(bytes, value);
  file.Write(bytes, sizeof bytes);
}

void WriteI32(platform::File& file, std::int32_t value) { WriteU32(file, static_cast<std::uint32_t>(value)); }

std::uint32_t ReadU32(platform::File& file) {
  std::uint8_t b[4];
  ReadExactly(file, b, sizeof b);
  return LoadLe32(b);
}

std::int32_t ReadI32(platform::File& file) { return static_cast<std::int32_t>(ReadU32(file)); }

void WriteRawField(platform::File& file, const char* field, std::size_t n) { file.Write(field, n); }

void ReadRawField(platform::File& file, char* field, std::size_t n) {
  if (n == 0) return;
  ReadExactly(file, field, n);
  field[n - 1] = 0;
}
