// The MPEG audio decoder against mpg123's library on the same streams (made by
// ffmpeg), at growing lengths, on one core. Each iteration decodes the whole
// stream with both; speed_ratio > 1 means ours is faster. mpg123 runs with its
// default (fastest) synthesis for this machine.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

#include "audio/mpa_engine.h"
#ifdef HAVE_MPG123
#include <mpg123.h>
#endif

namespace {

namespace fs = std::filesystem;

std::string MakeStream(double seconds, const char* codec, const char* format) {
  const fs::path dir = fs::temp_directory_path() / ("mpabench-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const fs::path out = dir / "stream.bin";
  const std::string command =
      "ffmpeg -nostdin -v error -y -f lavfi -i "
      "'aevalsrc=0.35*sin(2*PI*(150+900*t)*t)+0.04*(random(0)-0.5)|0.3*sin(2*PI*440*t)*lt(mod(t\\,0.3)\\,0.1):s=44100:d=" +
      std::to_string(seconds) + "' " + codec + " -f " + format + " '" + out.string() + "'";
  std::string bytes;
  if (std::system(command.c_str()) == 0) {
    std::ifstream in(out, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), {});
  }
  std::error_code ec;
  fs::remove_all(dir, ec);
  return bytes;
}

std::size_t DecodeOurs(const std::string& bytes) {
  mpa::MpaEngine engine;
  engine.SetInput(mpa::MpaEngine::MemoryReader(bytes.data(), bytes.size()));
  engine.Reset();
  std::vector<std::int16_t> pcm(mpa::kMaxFrameSamples);
  std::size_t samples = 0;
  for (;;) {
    const int n = engine.NextFrame(pcm);
    if (n == mpa::kEndOfInput) break;
    if (n > 0) samples += static_cast<std::size_t>(n);
    benchmark::DoNotOptimize(pcm.data());
  }
  return samples;
}

#ifdef HAVE_MPG123
std::size_t DecodeMpg123(const std::string& bytes) {
  mpg123_handle* h = mpg123_new(nullptr, nullptr);
  if (!h) return 0;
  mpg123_param(h, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
  mpg123_param(h, MPG123_REMOVE_FLAGS, MPG123_GAPLESS, 0);
  mpg123_open_feed(h);
  std::vector<unsigned char> out(1 << 16);
  std::size_t total = 0, done = 0;
  int rc = mpg123_decode(h, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), out.data(), out.size(), &done);
  total += done;
  while (rc != MPG123_ERR && rc != MPG123_NEED_MORE) {
    rc = mpg123_decode(h, nullptr, 0, out.data(), out.size(), &done);
    total += done;
    benchmark::DoNotOptimize(out.data());
  }
  mpg123_delete(h);
  return total / 2;
}
#endif

void Compare(benchmark::State& state, const char* codec, const char* format) {
  using Clock = std::chrono::steady_clock;
  const double seconds = static_cast<double>(state.range(0));
  const std::string stream = MakeStream(seconds, codec, format);
  if (stream.empty()) {
    state.SkipWithError("ffmpeg could not make the stream");
    return;
  }
#ifndef HAVE_MPG123
  state.SkipWithError("built without libmpg123");
  return;
#else
  mpg123_init();
  Clock::duration ours{}, peer{};
  std::size_t ours_samples = 0, peer_samples = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    ours_samples = DecodeOurs(stream);
    const auto t1 = Clock::now();
    peer_samples = DecodeMpg123(stream);
    const auto t2 = Clock::now();
    ours += t1 - t0;
    peer += t2 - t1;
  }
  const double ours_s = std::chrono::duration<double>(ours).count();
  const double peer_s = std::chrono::duration<double>(peer).count();
  const double iterations = static_cast<double>(state.iterations());
  if (ours_s > 0 && peer_s > 0) {
    state.counters["speed_ratio"] = peer_s / ours_s;
    state.counters["ours_x_realtime"] = seconds * iterations / ours_s;
    state.counters["mpg123_x_realtime"] = seconds * iterations / peer_s;
  }
  state.counters["same_length"] = ours_samples == peer_samples ? 1 : 0;
#endif
}

void BM_Layer3VsMpg123(benchmark::State& state) { Compare(state, "-c:a libmp3lame -b:a 128k -write_xing 0", "mp3"); }
void BM_Layer2VsMpg123(benchmark::State& state) { Compare(state, "-c:a mp2 -b:a 192k", "mp2"); }

BENCHMARK(BM_Layer3VsMpg123)->Arg(5)->Arg(20)->Arg(60)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Layer2VsMpg123)->Arg(5)->Arg(20)->Arg(60)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
