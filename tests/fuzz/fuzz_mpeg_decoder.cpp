// Any bytes as an MPEG audio stream, fed to the decoder through the memory
// input in both kinds, under every routing and down-sampling: no read or
// write outside a buffer, every frame either decoded or refused with a code.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "audio/mpeg_decoder.h"

namespace {

CMpegDecoder* NewDecoder(unsigned routing, unsigned downsampling) {
  CMpegDecoder* decoder = nullptr;
  MpegInputModuleMethods memory{};
  if (MpegDecoderNew(&decoder) != 0 || MemoryInputModuleGetMethods(&memory) != 0) std::abort();
  if (MpegDecoderAddInputModule(decoder, &memory) != 0) std::abort();
  if (MpegDecoderSetOptions(decoder, routing, downsampling) != 0) std::abort();
  return decoder;
}

void CheckFrame(int n) {
  if (n > 2304) std::abort();
  if (n < 0 && n != kMpegEndOfInput && n != kMpegDecodeFault && n != kMpegNotEnoughData) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const unsigned routing = data[0] & 3;
  const unsigned downsampling = (data[0] >> 2) % 3;
  const bool eight = (data[0] & 0x10) != 0;
  // An exact-size copy, so that a read past the end is caught.
  const std::vector<std::uint8_t> stream(data + 1, data + size);
  std::vector<std::uint8_t> pcm(4608);

  // The static kind, seekable: decode, seek to a fraction, decode again.
  CMpegDecoder* decoder = NewDecoder(routing, downsampling);
  char name[64];
  std::snprintf(name, sizeof(name), "%lx@%lx", static_cast<unsigned long>(stream.size()),
                static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(stream.data())));
  if (MpegDecoderInputNew(decoder, name, -1) != 0 || MpegDecoderInputOpen(decoder) != 0) std::abort();
  if (eight) {
    MpegAudioFormat format;
    format.bits = 8;
    format.eight_bit_table = data[0] >> 5 & 1;
    MpegDecoderOutputSetFormat(decoder, &format);
  }
  for (int pass = 0; pass < 2; ++pass) {
    for (int i = 0; i < 4000; ++i) {
      const int n = MpegDecoderDecodeFrame(decoder, pcm.data(), static_cast<int>(pcm.size()));
      CheckFrame(n);
      if (n == kMpegEndOfInput) break;
    }
    MpegDecoderInputSeekFraction(decoder, (data[0] >> 6) / 4.0);
  }
  MpegDecoderDelete(decoder);

  // The streaming kind, fed in pieces whose sizes come from the bytes themselves.
  decoder = NewDecoder(routing, downsampling);
  if (MpegDecoderInputNew(decoder, nullptr, -1) != 0 || MpegDecoderInputOpen(decoder) != 0) std::abort();
  std::size_t fed = 0;
  for (int i = 0; i < 8000; ++i) {
    const int n = MpegDecoderDecodeFrame(decoder, pcm.data(), static_cast<int>(pcm.size()));
    CheckFrame(n);
    if (n == kMpegNotEnoughData) {
      if (fed == stream.size()) break;
      const std::size_t piece = std::min<std::size_t>(1 + stream[fed] * 4u, stream.size() - fed);
      const int took = MemoryInputStreamWrite(decoder, stream.data() + fed, static_cast<int>(piece));
      if (took < 0 || static_cast<std::size_t>(took) > piece) std::abort();
      fed += static_cast<std::size_t>(took);
    }
  }
  MpegDecoderDelete(decoder);
  return 0;
}
