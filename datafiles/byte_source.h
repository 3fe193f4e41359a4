#pragma once
// Little-endian field reads for the game's tables and the quest stream's
// records, over a memory span or a platform::File. A read that runs short
// fails, leaves the source failed and consumes what was there; lengths
// taken from a file are checked against Remaining() before anything is
// allocated for them.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace platform {
class File;
}

static_assert(std::endian::native == std::endian::little, "the stored formats are little-endian");

class ByteSource {
 public:
  virtual ~ByteSource() = default;

  // Bytes left before the end; a length beyond this cannot be in the file.
  virtual std::uint64_t Remaining() const = 0;

  bool Read(void* out, std::size_t n);
  bool Skip(std::uint64_t n);
  bool U16(std::uint16_t& v) { return Read(&v, sizeof v); }
  bool I16(std::int16_t& v) { return Read(&v, sizeof v); }
  bool U32(std::uint32_t& v) { return Read(&v, sizeof v); }
  bool I32(std::int32_t& v) { return Read(&v, sizeof v); }
  bool F32(float& v) { return Read(&v, sizeof v); }
  // n bytes into a fixed text array of n bytes; the last byte is always a zero.
  bool Fixed(char* out, std::size_t n);
  // n bytes (n checked against what remains) as a text cut at its first zero.
  bool Text(std::uint64_t n, std::string& out);

  bool failed() const { return failed_; }

 protected:
  // Copies up to n bytes; fewer only at the end.
  virtual std::size_t ReadSome(void* out, std::size_t n) = 0;
  virtual void SkipSome(std::uint64_t n) = 0;

 private:
  bool failed_ = false;
};

class SpanSource final : public ByteSource {
 public:
  explicit SpanSource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  std::uint64_t Remaining() const override { return bytes_.size() - pos_; }
  std::size_t position() const { return pos_; }

 protected:
  std::size_t ReadSome(void* out, std::size_t n) override;
  void SkipSome(std::uint64_t n) override;

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t pos_ = 0;
};

class FileSource final : public ByteSource {
 public:
  explicit FileSource(platform::File& file) : file_(file) {}
  std::uint64_t Remaining() const override;

 protected:
  std::size_t ReadSome(void* out, std::size_t n) override;
  void SkipSome(std::uint64_t n) override;

 private:
  platform::File& file_;
};

// The rest of a file from its current position, read through a window of
// fixed size: a large file is read in bounded steps rather than into one
// buffer of its own size. The file must not be read or moved elsewhere while
// the source is in use.
class BufferedFileSource final : public ByteSource {
 public:
  static constexpr std::size_t kWindow = 65536;
  explicit BufferedFileSource(platform::File& file);
  std::uint64_t Remaining() const override { return unread_ + (end_ - pos_); }

 protected:
  std::size_t ReadSome(void* out, std::size_t n) override;
  void SkipSome(std::uint64_t n) override;

 private:
  void Refill();

  platform::File& file_;
  std::uint64_t unread_;  // bytes of the file not yet in the window
  std::vector<std::uint8_t> window_;
  std::size_t pos_ = 0, end_ = 0;
};
