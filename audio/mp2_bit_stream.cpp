#include "audio/mp2_bit_stream.h"

#include <algorithm>
#include <cstdio>
#include <exception>

bool Mp2BitStream::Open(std::string_view path, std::size_t bufferSize) {
  Abandon();
  byteIndex_ = 0;
  bitsLeft_ = 8;
  totalBits_ = 0;
  failed_ = false;
  if (!file_.Open(path, platform::File::modeCreate | platform::File::modeWrite | platform::File::modeSafeSave)) {
    std::printf("Could not create \"%.*s\".\n", static_cast<int>(path.size()), path.data());
    return false;
  }
  try {
    buffer_.assign(bufferSize, 0);
  } catch (const std::exception&) {  // bad_alloc, or length_error for a size no vector can hold
    std::printf("Unable to allocate %s\n", "bit stream buffer");
    file_.Abort();
    return false;
  }
  return true;
}

void Mp2BitStream::NextByte() {
  bitsLeft_ = 8;
  if (++byteIndex_ < buffer_.size()) return;
  const std::size_t written = buffer_.size() - kKeptBytes;
  if (!failed_) {
    try {
      file_.Write(buffer_.data(), written);
    } catch (const platform::FileException&) {
      failed_ = true;
    }
  }
  std::copy(buffer_.begin() + static_cast<std::ptrdiff_t>(written), buffer_.end(), buffer_.begin());
  std::fill(buffer_.begin() + static_cast<std::ptrdiff_t>(kKeptBytes), buffer_.end(), 0);
  byteIndex_ = kKeptBytes;
}

void Mp2BitStream::PutBit(unsigned bit) {
  if (buffer_.empty()) return;
  --bitsLeft_;
  if (bit & 1u) buffer_[byteIndex_] |= static_cast<std::uint8_t>(1u << bitsLeft_);
  ++totalBits_;
  if (bitsLeft_ == 0) NextByte();
}

void Mp2BitStream::PutBits(std::uint32_t value, int n) {
  if (n > kMaxBitsPerPut) {
    std::printf("Cannot read or write more than %d bits at a time.\n", kMaxBitsPerPut);
    return;
  }
  if (buffer_.empty()) return;
  while (n > 0) {
    // Fill the current byte in one step where the bits allow.
    const int take = n < bitsLeft_ ? n : bitsLeft_;
    const unsigned chunk = static_cast<unsigned>((value >> (n - take)) & ((1u << take) - 1u));
    bitsLeft_ -= take;
    buffer_[byteIndex_] |= static_cast<std::uint8_t>(chunk << bitsLeft_);
    totalBits_ += static_cast<std::uint64_t>(take);
    n -= take;
    if (bitsLeft_ == 0) NextByte();
  }
}

bool Mp2BitStream::Close() {
  if (!file_.IsOpen()) return false;
  bool ok = !failed_;
  try {
    if (ok) {
      file_.Write(buffer_.data(), byteIndex_ + 1);
      file_.Close();
    }
  } catch (const platform::FileException&) {
    ok = false;
  }
  if (!ok) file_.Abort();
  buffer_.clear();
  buffer_.shrink_to_fit();
  return ok;
}

void Mp2BitStream::Abandon() {
  if (file_.IsOpen()) file_.Abort();
  buffer_.clear();
}
