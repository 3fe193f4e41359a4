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

BufferedFileSource::BufferedFileSource(platform::File& file) : file_(file), window_(kWindow) {
  const std::uint64_t length = file.GetLength();
  const std::uint64_t position = file.GetPosition();
  unread_ = length > position ? length - position : 0;
}

void BufferedFileSource::Refill() {
  pos_ = 0;
  end_ = file_.Read(window_.data(), static_cast<std::size_t>(std::min<std::uint64_t>(unread_, window_.size())));
  // A file that shrank since it was measured ends here.
  unread_ = end_ == 0 ? 0 : unread_ - end_;
}

std::size_t BufferedFileSource::ReadSome(void* out, std::size_t n) {
  if (n <= end_ - pos_) {  // nearly every field lies inside the window
    std::memcpy(out, window_.data() + pos_, n);
    pos_ += n;
    return n;
  }
  auto* to = static_cast<std::uint8_t*>(out);
  std::size_t done = 0;
  while (done < n) {
    if (pos_ == end_) {
      if (unread_ == 0) break;
      if (n - done >= window_.size()) {
        // A long run goes straight to its destination.
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(n - done, unread_));
        const std::size_t got = file_.Read(to + done, want);
        done += got;
        unread_ = got < want ? 0 : unread_ - got;
        continue;
      }
      Refill();
      continue;
    }
    const std::size_t k = std::min(n - done, end_ - pos_);
    std::memcpy(to + done, window_.data() + pos_, k);
    pos_ += k;
    done += k;
  }
  return done;
}

void BufferedFileSource::SkipSome(std::uint64_t n) {
  const std::size_t inWindow = static_cast<std::size_t>(std::min<std::uint64_t>(n, end_ - pos_));
  pos_ += inWindow;
  n -= inWindow;
  if (n == 0) return;
  n = std::min(n, unread_);
  file_.Seek(static_cast<std::int64_t>(n), platform::File::current);
  unread_ -= n;
}
