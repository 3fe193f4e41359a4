#pragma once
// The voice encoder's output bit stream: bits are packed most significant
// first into a byte buffer that is written out whenever it fills. The file is
// written under a temporary name and only put in place by Close, so a failed
// encoding never leaves a partial ".mp2" where the game looks.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/core/file.h"

class Mp2BitStream {
 public:
  static constexpr int kMaxBitsPerPut = 32;
  // When the buffer fills, all but this many bytes go to the file; they start the next fill.
  static constexpr std::size_t kKeptBytes = 4;

  // False, with its diagnostic printed, when the file cannot be created or
  // the buffer cannot be allocated.
  bool Open(std::string_view path, std::size_t bufferSize);
  bool IsOpen() const { return file_.IsOpen(); }

  void PutBit(unsigned bit);
  // The n low bits of value, most significant first; more than 32 is refused with a diagnostic.
  void PutBits(std::uint32_t value, int n);
  std::uint64_t TotalBits() const { return totalBits_; }

  // Writes every buffered byte, including the one begun last, and puts the
  // file in place. False when writing failed (the file is then removed).
  bool Close();
  // Drops the file without putting it in place.
  void Abandon();
  // A write to the file failed since Open; Close will report it.
  bool failed() const { return failed_; }

 private:
  void NextByte();

  platform::File file_;
  std::vector<std::uint8_t> buffer_;
  std::size_t byteIndex_ = 0;
  int bitsLeft_ = 8;
  std::uint64_t totalBits_ = 0;
  bool failed_ = false;
};
