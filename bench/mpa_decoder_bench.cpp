// The MPEG audio decoder against mpg123's library on the same streams (made by
// ffmpeg: Layer II at 192 kbit/s and Layer III at 128 kbit/s, stereo, 44.1 kHz),
// at growing lengths, on one core. Each iteration decodes the whole stream with
// ours, mpg123's default decoder (its fastest for this processor) and mpg123's
// plain C decoder ("generic", as `mpg123 --cpu generic`), back to back, and ours
// again held to the SSE2 baseline (its synthesis window without AVX), and
// times each in CPU time of this thread (wall time beside it). The ratios are
// peer time / our time: above 1 ours is faster. Every peer's output is checked
// against ours: the same number of samples, each within one least significant bit.
#include <benchmark/benchmark.h>
#include "bench_clocks.h"

#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "audio/mpa_engine.h"
#ifdef HAVE_MPG123
#include <mpg123.h>
#endif

namespace {

using benchclock::ThreadSeconds;
using benchclock::WallSeconds;

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

// Decodes into `pcm` (large enough for the whole stream); returns the samples written.
std::size_t DecodeOurs(const std::string& bytes, std::vector<std::int16_t>& pcm) {
  mpa::MpaEngine engine;
  engine.SetInput(mpa::MpaEngine::MemoryReader(bytes.data(), bytes.size()));
  engine.Reset();
  std::size_t samples = 0;
  while (samples + mpa::kMaxFrameSamples <= pcm.size()) {
    const int n = engine.NextFrame(std::span<std::int16_t>(pcm.data() + samples, mpa::kMaxFrameSamples));
    if (n == mpa::kEndOfInput) break;
    if (n > 0) samples += static_cast<std::size_t>(n);
  }
  benchmark::DoNotOptimize(pcm.data());
  return samples;
}

#ifdef HAVE_MPG123
std::size_t DecodeMpg123(const char* decoder, const std::string& bytes, std::vector<std::int16_t>& pcm) {
  mpg123_handle* h = mpg123_new(decoder, nullptr);
  if (!h) return 0;
  mpg123_param(h, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
  mpg123_param(h, MPG123_REMOVE_FLAGS, MPG123_GAPLESS, 0);
  mpg123_open_feed(h);
  auto* out = reinterpret_cast<unsigned char*>(pcm.data());
  const std::size_t capacity = pcm.size() * 2;
  std::size_t total = 0, done = 0;
  int rc = mpg123_decode(h, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), out, capacity, &done);
  total += done;
  while (rc != MPG123_ERR && rc != MPG123_NEED_MORE && total < capacity) {
    rc = mpg123_decode(h, nullptr, 0, out + total, capacity - total, &done);
    total += done;
  }
  mpg123_delete(h);
  benchmark::DoNotOptimize(pcm.data());
  return total / 2;
}

bool HasDecoder(const char* name) {
  for (const char** d = mpg123_supported_decoders(); d && *d; ++d) {
    if (std::strcmp(*d, name) == 0) return true;
  }
  return false;
}

// The largest difference between two decodings, or -1 when their lengths differ.
int LargestDifference(const std::vector<std::int16_t>& a, std::size_t na, const std::vector<std::int16_t>& b,
                      std::size_t nb) {
  if (na != nb) return -1;
  int largest = 0;
  for (std::size_t i = 0; i < na; ++i) largest = std::max(largest, std::abs(a[i] - b[i]));
  return largest;
}
#endif

void Compare(benchmark::State& state, const char* codec, const char* format) {
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
  if (!HasDecoder("generic")) {
    state.SkipWithError("mpg123 has no generic decoder");
    return;
  }
  // Room for the whole stream: 1152 samples of two channels per frame of at least 96 bytes.
  const std::size_t room = (stream.size() / 96 + 2) * mpa::kMaxFrameSamples;
  std::vector<std::int16_t> ours(room), fast(room), generic(room), baseline(room);
  std::size_t n_ours = 0, n_fast = 0, n_generic = 0, n_baseline = 0;
  double cpu[4] = {}, wall[4] = {};
  for (auto _ : state) {
    // The three take turns, so all of them meet the same load on the machine.
    double c = ThreadSeconds(), w = WallSeconds();
    const auto lap = [&](int k) {
      const double c2 = ThreadSeconds(), w2 = WallSeconds();
      cpu[k] += c2 - c;
      wall[k] += w2 - w;
      c = c2;
      w = w2;
    };
    n_ours = DecodeOurs(stream, ours);
    lap(0);
    n_fast = DecodeMpg123(nullptr, stream, fast);
    lap(1);
    n_generic = DecodeMpg123("generic", stream, generic);
    lap(2);
    const bool wide = mpa::MpaSynthesis::SetWideWindow(false);
    n_baseline = DecodeOurs(stream, baseline);
    mpa::MpaSynthesis::SetWideWindow(wide);
    lap(3);
  }
  const int diff_fast = LargestDifference(ours, n_ours, fast, n_fast);
  const int diff_generic = LargestDifference(ours, n_ours, generic, n_generic);
  if (n_baseline != n_ours || !std::equal(ours.begin(), ours.begin() + static_cast<std::ptrdiff_t>(n_ours), baseline.begin())) {
    state.SkipWithError("the SSE2 baseline decodes differently");
    return;
  }
  if (n_ours == 0 || diff_fast < 0 || diff_fast > 1 || diff_generic < 0 || diff_generic > 1) {
    std::fprintf(stderr, "samples: ours %zu, mpg123 %zu, generic %zu; largest differences %d, %d\n", n_ours, n_fast,
                 n_generic, diff_fast, diff_generic);
    state.SkipWithError("mpg123's output does not match ours within one LSB");
    return;
  }
  const double iterations = static_cast<double>(state.iterations());
  state.counters["ratio_mpg123"] = cpu[1] / cpu[0];
  state.counters["ratio_generic"] = cpu[2] / cpu[0];
  state.counters["ratio_mpg123_sse2_only"] = cpu[1] / cpu[3];
  state.counters["ratio_generic_sse2_only"] = cpu[2] / cpu[3];
  state.counters["wall_ratio_mpg123"] = wall[1] / wall[0];
  state.counters["wall_ratio_generic"] = wall[2] / wall[0];
  state.counters["ours_ms"] = 1e3 * cpu[0] / iterations;
  state.counters["mpg123_ms"] = 1e3 * cpu[1] / iterations;
  state.counters["generic_ms"] = 1e3 * cpu[2] / iterations;
  state.SetLabel(std::string("mpg123 default decoder: ") + [] {
    mpg123_handle* h = mpg123_new(nullptr, nullptr);
    std::string name = h ? mpg123_current_decoder(h) : "?";
    if (h) mpg123_delete(h);
    return name;
  }());
#endif
}

void BM_Layer3VsMpg123(benchmark::State& state) { Compare(state, "-c:a libmp3lame -b:a 128k -write_xing 0", "mp3"); }
void BM_Layer2VsMpg123(benchmark::State& state) { Compare(state, "-c:a mp2 -b:a 192k", "mp2"); }

BENCHMARK(BM_Layer3VsMpg123)->Arg(5)->Arg(20)->Arg(60)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Layer2VsMpg123)->Arg(5)->Arg(20)->Arg(60)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
