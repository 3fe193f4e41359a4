// The voice encoder against twolame (MPEG-1 Layer II, 80 kbit/s, mono,
// psychoacoustic model 1) on the same recording, at growing lengths. Each
// iteration runs both; speed_ratio > 1 means ours is faster. twolame runs as
// a process, so its time includes starting it (a few milliseconds). The SNR
// of each stream, decoded by ffmpeg, is reported beside the speed.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

#include "audio/mp2_encoder.h"
#include "tests/support/audio_signals.h"

namespace {

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

void BM_Mp2EncodeVsTwolame(benchmark::State& state) {
  using Clock = std::chrono::steady_clock;
  const double seconds = static_cast<double>(state.range(0));
  const fs::path dir = fs::temp_directory_path() / ("mp2bench-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::vector<std::int16_t> input = testsupport::SpeechLike(seconds);
  {
    std::ofstream(dir / "in.wav", std::ios::binary) << testsupport::WavBytes(input);
  }
  const std::string twolame = "twolame --quiet -b 80 -m m -P 1 '" + (dir / "in.wav").string() + "' '" +
                              (dir / "peer.mp2").string() + "'";
  Clock::duration ours{}, peer{};
  for (auto _ : state) {
    const auto t0 = Clock::now();
    const int result = EncodeWavToMp2((dir / "in.wav").string(), (dir / "ours.mp2").string());
    const auto t1 = Clock::now();
    const int peerResult = std::system(twolame.c_str());
    const auto t2 = Clock::now();
    if (result != 0 || peerResult != 0) {
      state.SkipWithError("an encoder failed (is twolame installed?)");
      break;
    }
    ours += t1 - t0;
    peer += t2 - t1;
  }
  const double oursSec = std::chrono::duration<double>(ours).count();
  const double peerSec = std::chrono::duration<double>(peer).count();
  if (oursSec > 0 && peerSec > 0) {
    const double iterations = static_cast<double>(state.iterations());
    state.counters["speed_ratio"] = peerSec / oursSec;
    state.counters["ours_x_realtime"] = seconds * iterations / oursSec;
    state.counters["twolame_x_realtime"] = seconds * iterations / peerSec;
    // The stream without its closing byte, which ffmpeg would report as a broken packet.
    const std::string stream = ReadAll(dir / "ours.mp2");
    std::ofstream(dir / "frames.mp2", std::ios::binary) << stream.substr(0, stream.size() - 1);
    const auto a = DecodedSamples(dir / "frames.mp2", dir / "a.raw");
    const auto b = DecodedSamples(dir / "peer.mp2", dir / "b.raw");
    if (!a.empty()) state.counters["snr_ours_db"] = testsupport::AlignedSnrDb(input, a, 1152);
    if (!b.empty()) state.counters["snr_twolame_db"] = testsupport::AlignedSnrDb(input, b, 1152);
  }
  std::error_code ec;
  fs::remove_all(dir, ec);
}
BENCHMARK(BM_Mp2EncodeVsTwolame)->Arg(5)->Arg(20)->Arg(60)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
