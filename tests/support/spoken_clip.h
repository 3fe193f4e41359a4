#pragma once
// A spoken sentence for the voice encoder's judges: espeak-ng's voice, which has
// real consonants, pauses and pitch movement (no sum of sines), resampled by ffmpeg
// to the recordings' format, 44.1 kHz 16-bit mono. Empty when either tool fails.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace testsupport {

inline constexpr const char* kSpokenText =
    "The old lighthouse keeper climbed the stairs every evening. Beyond the rocks, the sea was restless, "
    "and a cold wind carried the smell of salt and rain. Nobody in the village remembered when the lamp "
    "had last gone dark.";

// `scratch` is a folder the clip's files may be written to. The clip is repeated up to `seconds`.
inline std::vector<std::int16_t> SpokenClip(const std::filesystem::path& scratch, double seconds) {
  const std::filesystem::path voice = scratch / "spoken.wav";
  const std::filesystem::path raw = scratch / "spoken.raw";
  const std::string speak = "espeak-ng -w '" + voice.string() + "' \"" + kSpokenText + "\" >/dev/null 2>&1";
  const std::string resample = "ffmpeg -nostdin -v error -y -i '" + voice.string() +
                               "' -ar 44100 -ac 1 -f s16le -acodec pcm_s16le '" + raw.string() + "'";
  if (std::system(speak.c_str()) != 0 || std::system(resample.c_str()) != 0) return {};
  std::ifstream in(raw, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), {});
  std::vector<std::int16_t> once(bytes.size() / 2);
  for (std::size_t i = 0; i < once.size(); ++i) {
    once[i] = static_cast<std::int16_t>(static_cast<std::uint8_t>(bytes[2 * i]) |
                                        static_cast<std::uint8_t>(bytes[2 * i + 1]) << 8);
  }
  if (once.empty()) return {};
  const auto wanted = static_cast<std::size_t>(seconds * 44100.0);
  std::vector<std::int16_t> out;
  out.reserve(wanted);
  while (out.size() < wanted) {
    out.insert(out.end(), once.begin(), once.begin() + static_cast<std::ptrdiff_t>(std::min(once.size(), wanted - out.size())));
  }
  return out;
}

}  // namespace testsupport
