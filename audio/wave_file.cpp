#include "audio/wave_file.h"

#include <cstring>
#include <new>
#include <string>

#include "datafiles/mtf_archive.h"

namespace {

constexpr std::uint8_t kScrambleBase = 0x20;  // so "RIFF" scrambles to "rIFF"-like bytes starting 'r'
constexpr std::uint8_t kScrambleStep = 0x3B;
constexpr std::size_t kHeaderBytes = 36;

std::uint32_t U32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
std::uint16_t U16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
bool Is(const std::uint8_t* p, const char* tag) { return std::memcmp(p, tag, 4) == 0; }

}  // namespace

std::size_t UnscrambleBytes(std::span<std::uint8_t> block) {
  for (std::size_t i = 0; i < block.size(); ++i) {
    block[i] = static_cast<std::uint8_t>(block[i] - (kScrambleBase + i * kScrambleStep));
  }
  return block.size();
}

std::size_t ScrambleBytes(std::span<std::uint8_t> block) {
  for (std::size_t i = 0; i < block.size(); ++i) {
    block[i] = static_cast<std::uint8_t>(block[i] + (kScrambleBase + i * kScrambleStep));
  }
  return block.size();
}

int ReadWaveFile(std::string_view path, WaveFormat& format, std::vector<std::uint8_t>& data) {
  data.clear();
  const std::string name(path);
  MtfFilePtr file(MtfOpen(name.c_str(), "rb"));
  if (!file) return kWaveCannotOpen;
  // A loose file's size is known only by seeking to its end.
  if (MtfSeek(file.get(), 0, 2) != 0) return kWaveUnreadable;
  const long end = MtfTell(file.get());
  if (end < 0 || MtfSeek(file.get(), 0, 0) != 0) return kWaveUnreadable;
  const auto fileSize = static_cast<std::uint64_t>(end);

  std::uint8_t header[kHeaderBytes];
  if (MtfRead(header, 1, sizeof header, file.get()) != sizeof header) return kWaveUnreadable;
  const bool scrambled = header[0] == 'r';
  if (scrambled) UnscrambleBytes(header);
  if (!Is(header, "RIFF") || !Is(header + 8, "WAVE") || !Is(header + 12, "fmt ")) return kWaveUnreadable;
  const std::uint32_t formatSize = U32(header + 16);
  const std::uint16_t channels = U16(header + 22);
  const std::uint32_t rate = U32(header + 24);
  const std::uint16_t bits = U16(header + 34);
  if (formatSize < 16 || formatSize > fileSize) return kWaveUnreadable;
  if ((channels != 1 && channels != 2) || (bits != 8 && bits != 16) || rate == 0) return kWaveUnreadable;
  if (MtfSeek(file.get(), static_cast<long>(formatSize - 16), 1) != 0) return kWaveUnreadable;

  std::uint8_t chunk[8];
  if (MtfRead(chunk, 1, sizeof chunk, file.get()) != sizeof chunk) return kWaveUnreadable;
  if (scrambled) UnscrambleBytes(chunk);
  if (!Is(chunk, "data")) return kWaveUnreadable;
  const std::uint32_t dataSize = U32(chunk + 4);
  const long position = MtfTell(file.get());
  if (position < 0 || dataSize > fileSize - static_cast<std::uint64_t>(position)) return kWaveUnreadable;
  try {
    data.resize(dataSize);
  } catch (const std::bad_alloc&) {
    return kWaveUnreadable;
  }
  if (MtfRead(data.data(), 1, dataSize, file.get()) != dataSize) {
    data.clear();
    return kWaveUnreadable;
  }
  if (scrambled) UnscrambleBytes(data);

  format = WaveFormat();
  format.formatTag = 1;
  format.channels = channels;
  format.samplesPerSecond = rate;
  format.bitsPerSample = bits;
  format.blockAlign = static_cast<std::uint16_t>(bits / 8 * channels);
  format.averageBytesPerSecond = rate * format.blockAlign;
  return kWaveOk;
}
