#pragma once
// The decoder library's memory input module: a caller's static buffer named
// "size@address" (hexadecimal), or, for a null or empty name, a streaming ring
// that the application fills with MemoryInputStreamWrite.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "audio/mpeg_decoder.h"

class CMemoryInputModule {
 public:
  static constexpr std::size_t kRingBytes = 65536;  // one byte always stays free

  enum class Kind { kStatic, kStreaming };

  static void GetMethods(MpegInputModuleMethods& methods);
  // The instance behind a decoder's input when it is one of ours, else null.
  static CMemoryInputModule* FromMethods(const MpegInputModuleMethods& methods, void* instance);

  Kind kind() const { return kind_; }
  std::size_t Held() const;
  // Copies what fits; returns the count.
  int Write(const std::uint8_t* bytes, std::size_t length);
  void Flush() { read_ = write_ = 0; }

 private:
  static int Probe(const char* name);
  static int Info(void* instance, MpegModuleInfo* info);
  static int Create(void** instance, const char* name);
  static int Destroy(void* instance);
  static int Open(void* instance);
  static int Close(void* instance);
  static int Read(void* instance, void* buffer, int length);
  static int Seek(void* instance, long position);
  static int IsSeekable(void* instance);
  static long GetSize(void* instance);

  Kind kind_ = Kind::kStreaming;
  const std::uint8_t* address_ = nullptr;
  std::size_t size_ = 0;
  std::size_t position_ = 0;
  std::vector<std::uint8_t> ring_;
  std::size_t read_ = 0;
  std::size_t write_ = 0;
};
