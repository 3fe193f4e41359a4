// The voice encoder against twolame's library at the voice setting (MPEG-1 Layer II,
// 44.1 kHz mono, 80 kbit/s) on the same recording, file to file, on one core. Each
// iteration encodes with ours, twolame's default psychoacoustic model and twolame's
// model 1 (-P 1), back to back, timed in CPU time of this thread. Both stream: ours
// reads the WAV a frame at a time, twolame four frames at a time through buffers made
// once. The ratios are twolame's time / ours: above 1 ours is faster. twolame's streams
// must be byte for byte what it makes of the whole recording in one call; each stream
// is decoded by ffmpeg and its SNR against the input is reported; a peer stream that
// does not decode to the input's length with a usable SNR fails the benchmark. Clips:
// espeak-ng's speech, the synthetic speech, noise and transients of the tests.
#include <benchmark/benchmark.h>

#include <time.h>
#include <unistd.h>

#include <bit>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <vector>

#include "audio/mp2_encoder.h"
#include "bench_clocks.h"
#include "tests/support/audio_signals.h"
#include "tests/support/spoken_clip.h"
#ifdef HAVE_TWOLAME
#include <twolame.h>
#endif

namespace {

using benchclock::ThreadSeconds;

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::int16_t> DecodedSamples(const fs::path& stream, const fs::path& raw) {
  const std::string command = "ffmpeg -nostdin -v error -y -i '" + stream.string() + "' -f s16le '" + raw.string() + "'";
  if (std::system(command.c_str()) != 0) return {};
  const std::string bytes = ReadAll(raw);
  std::vector<std::int16_t> out(bytes.size() / 2);
  for (std::size_t i = 0; i < out.size(); ++i) {
    out[i] = static_cast<std::int16_t>(static_cast<std::uint8_t>(bytes[2 * i]) |
                                       static_cast<std::uint8_t>(bytes[2 * i + 1]) << 8);
  }
  return out;
}

// SNR at the best delay near the filterbanks' 481 samples.
double SnrDb(const std::vector<std::int16_t>& input, const std::vector<std::int16_t>& decoded) {
  constexpr std::size_t kFrom = 465;
  if (decoded.size() <= kFrom) return -1e9;
  return testsupport::AlignedSnrDb(input, std::span<const std::int16_t>(decoded).subspan(kFrom), 32);
}

#ifdef HAVE_TWOLAME
twolame_options* TwolameAtTheVoiceSetting(int psymodel) {
  twolame_options* options = twolame_init();
  if (!options) return nullptr;
  twolame_set_num_channels(options, 1);
  twolame_set_mode(options, TWOLAME_MONO);
  twolame_set_in_samplerate(options, 44100);
  twolame_set_out_samplerate(options, 44100);
  twolame_set_bitrate(options, 80);
  if (psymodel >= 0) twolame_set_psymodel(options, psymodel);
  if (twolame_init_params(options) != 0) twolame_close(&options);
  return options;
}

// twolame's library from the WAV file to the stream file as our encoder
// works: the samples read a few frames at a time and the stream written as it
// comes, through buffers made once, outside the timed encodes.
class TwolameStreamer {
 public:
  static constexpr std::size_t kChunk = 4 * 1152;

  bool Encode(const fs::path& wav, const fs::path& out, int psymodel) {
    static_assert(std::endian::native == std::endian::little, "the WAV's samples are read as they lie");
    std::FILE* in = std::fopen(wav.c_str(), "rb");
    if (!in) return false;
    std::FILE* stream = std::fopen(out.c_str(), "wb");
    twolame_options* options = TwolameAtTheVoiceSetting(psymodel);
    bool ok = stream && options && std::fseek(in, 44, SEEK_SET) == 0;
    while (ok) {
      const std::size_t n = std::fread(pcm_.data(), sizeof(short), kChunk, in);
      if (n == 0) break;
      const int bytes = twolame_encode_buffer(options, pcm_.data(), nullptr, static_cast<int>(n), mp2_.data(),
                                              static_cast<int>(mp2_.size()));
      ok = bytes >= 0 && std::fwrite(mp2_.data(), 1, static_cast<std::size_t>(bytes), stream) == static_cast<std::size_t>(bytes);
    }
    if (ok) {
      const int bytes = twolame_encode_flush(options, mp2_.data(), static_cast<int>(mp2_.size()));
      ok = bytes >= 0 && std::fwrite(mp2_.data(), 1, static_cast<std::size_t>(bytes), stream) == static_cast<std::size_t>(bytes);
    }
    if (options) twolame_close(&options);
    ok = !std::ferror(in) && ok;
    std::fclose(in);
    return stream && std::fclose(stream) == 0 && ok;
  }

 private:
  std::vector<short> pcm_ = std::vector<short>(kChunk);
  std::vector<unsigned char> mp2_ = std::vector<unsigned char>(16384);  // four frames are about 1 KB
};

// The bytes twolame makes of the whole recording in one call: what the
// streamed encodes must write too.
std::string TwolameWhole(const std::vector<std::int16_t>& input, int psymodel) {
  twolame_options* options = TwolameAtTheVoiceSetting(psymodel);
  if (!options) return {};
  std::vector<short> pcm(input.begin(), input.end());
  std::vector<unsigned char> stream(pcm.size() + 16384);
  const int n = twolame_encode_buffer(options, pcm.data(), nullptr, static_cast<int>(pcm.size()), stream.data(),
                                      static_cast<int>(stream.size()));
  const int tail = n >= 0 ? twolame_encode_flush(options, stream.data() + n, static_cast<int>(stream.size()) - n) : -1;
  twolame_close(&options);
  if (n < 0 || tail < 0) return {};
  return std::string(reinterpret_cast<const char*>(stream.data()), static_cast<std::size_t>(n + tail));
}
#endif

std::vector<std::int16_t> Clip(int which, double seconds, const fs::path& dir) {
  switch (which) {
    case 0: return testsupport::SpokenClip(dir, seconds);
    case 1: return testsupport::SpeechLike(seconds);
    case 2: return testsupport::NoiseLike(seconds);
    default: return testsupport::Transients(seconds);
  }
}

void BM_Mp2EncodeVsTwolame(benchmark::State& state) {
  static const char* const kClips[] = {"spoken", "speech_like", "noise", "transients"};
  const int which = static_cast<int>(state.range(0));
  const double seconds = static_cast<double>(state.range(1));
  state.SetLabel(kClips[which]);
#ifndef HAVE_TWOLAME
  state.SkipWithError("built without libtwolame");
  return;
#else
  const fs::path dir = fs::temp_directory_path() / ("mp2bench-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::vector<std::int16_t> input = Clip(which, seconds, dir);
  if (input.empty()) {
    state.SkipWithError("espeak-ng or ffmpeg could not make the clip");
    return;
  }
  std::ofstream(dir / "in.wav", std::ios::binary) << testsupport::WavBytes(input);
  double cpu[3] = {};
  bool failed = false;
  TwolameStreamer twolame;
  for (auto _ : state) {
    // The three take turns, so all of them meet the same load on the machine.
    double t = ThreadSeconds();
    const auto lap = [&](int k) {
      const double now = ThreadSeconds();
      cpu[k] += now - t;
      t = now;
    };
    failed |= EncodeWavToMp2((dir / "in.wav").string(), (dir / "ours.mp2").string()) != 0;
    lap(0);
    failed |= !twolame.Encode(dir / "in.wav", dir / "default.mp2", -1);
    lap(1);
    failed |= !twolame.Encode(dir / "in.wav", dir / "p1.mp2", 1);
    lap(2);
  }
  if (failed) {
    state.SkipWithError("an encoder failed");
    return;
  }
  // The streamed peer writes what twolame writes of the whole recording at once.
  const std::string streamed[2] = {ReadAll(dir / "default.mp2"), ReadAll(dir / "p1.mp2")};
  if (streamed[0].empty() || streamed[0] != TwolameWhole(input, -1) || streamed[1] != TwolameWhole(input, 1)) {
    std::error_code ec;
    fs::remove_all(dir, ec);
    state.SkipWithError("twolame streamed does not write what it writes of the whole recording");
    return;
  }
  // Our stream without its closing byte, which ffmpeg would report as a broken packet.
  const std::string ours = ReadAll(dir / "ours.mp2");
  std::ofstream(dir / "frames.mp2", std::ios::binary) << ours.substr(0, ours.size() - 1);
  const auto a = DecodedSamples(dir / "frames.mp2", dir / "a.raw");
  const auto b = DecodedSamples(dir / "default.mp2", dir / "b.raw");
  const auto c = DecodedSamples(dir / "p1.mp2", dir / "c.raw");
  std::error_code ec;
  fs::remove_all(dir, ec);
  const double snr[3] = {SnrDb(input, a), SnrDb(input, b), SnrDb(input, c)};
  for (const auto* decoded : {&b, &c}) {
    if (decoded->size() < input.size() || decoded->size() > input.size() + 3 * 1152) {
      state.SkipWithError("a twolame stream does not decode to the input's length");
      return;
    }
  }
  if (snr[1] < 0.5 || snr[2] < 0.5) {
    state.SkipWithError("a twolame stream does not match its input");
    return;
  }
  state.counters["ratio_twolame"] = cpu[1] / cpu[0];
  state.counters["ratio_twolame_P1"] = cpu[2] / cpu[0];
  state.counters["ours_ms"] = 1e3 * cpu[0] / static_cast<double>(state.iterations());
  state.counters["snr_ours_db"] = snr[0];
  state.counters["snr_twolame_db"] = snr[1];
  state.counters["snr_twolame_P1_db"] = snr[2];
#endif
}
BENCHMARK(BM_Mp2EncodeVsTwolame)
    ->Args({0, 5})
    ->Args({0, 20})
    ->Args({0, 60})
    ->Args({1, 60})
    ->Args({2, 60})
    ->Args({3, 60})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
