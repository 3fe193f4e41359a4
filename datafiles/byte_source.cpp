#include "datafiles/byte_source.h"

#include <algorithm>
#include <cstring>

#include "platform/core/file.h"

bool ByteSource::Read(void* out, std::size_t n) {
  if (failed_) return false;
  if (ReadSome(out, n) == n) return true;
  failed_ = true;
  return false;
}

bool ByteSource::Skip(std::uint64_t n) {
  if (failed_) return false;
  if (n > Remaining()) {
    SkipSome(Remaining());
    failed_ = true;
    return false;
  }
  SkipSome(n);
  return true;
}

bool ByteSource::Fixed(char* out, std::size_t n) {
  if (n == 0) return true;
  if (!Read(out, n)) {
    out[0] = '\0';
    return false;
  }
  out[n - 1] = '\0';
  return true;
}

bool ByteSource::Text(std::uint64_t n, std::string& out) {
  out.clear();
  if (failed_) return false;
  if (n > Remaining()) {
    Skip(n);
    return false;
  }
  out.resize(static_cast<std::size_t>(n));
  if (!Read(out.data(), out.size())) {
    out.clear();
    return false;
  }
  out.resize(std::strlen(out.c_str()));
  return true;
}

std::size_t SpanSource::ReadSome(void* out, std::size_t n) {
  std::size_t k = std::min<std::size_t>(n, bytes_.size() - pos_);
  if (k != 0) std::memcpy(out, bytes_.data() + pos_, k);
  pos_ += k;
  return k;
}

void SpanSource::SkipSome(std::uint64_t n) {
  pos_ += static_cast<std::size_t>(std::min<std::uint64_t>(n, bytes_.size() - pos_));
}

std::uint64_t FileSource::Remaining() const {
  std::uint64_t length = file_.GetLength();
  std::uint64_t pos = file_.GetPosition();
  return length > pos ? length - pos : 0;
}

std::size_t FileSource::ReadSome(void* out, std::size_t n) { return file_.Read(out, n); }

void FileSource::SkipSome(std::uint64_t n) {
  file_.Seek(static_cast<std::int64_t>(n), platform::File::current);
}
