// LzUnpack against zlib's inflate on the same bytes, each packed by its own
// packer, on three data sets: game-like tables and text, the system's licence
// texts followed by a program binary, and C headers (sets whose files are
// missing are skipped). zlib is measured twice: `uncompress` (a stream set up
// and torn down per call, zlib header and Adler-32 checked) and raw inflate
// of a headerless stream through one inflate state kept and reset between
// calls (`inflateReset`), its fastest way to unpack many entries. Every
// decoder's output is sized to the data beforehand, as the archive reader
// sizes an entry's, and compared with the data.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "growth_report.h"

#include "datafiles/common/little_endian.h"
#include "datafiles/common/lz_pack.h"
#include "datafiles/common/lz_unpack.h"

#ifdef HAVE_ZLIB
#include <zlib.h>
#endif

namespace {

using Bytes = std::vector<std::uint8_t>;

// About 1 MB like the game's data: fixed-size binary table records (ids,
// small counters, floats, padded names) followed by dialogue text.
const Bytes& GameLikeData() {
  static const Bytes data = [] {
    Bytes out;
    std::mt19937 rng(1234);
    const char* words[] = {"sword", "shield", "potion", "goblin", "dungeon", "gate", "key", "merchant",
                           "the", "of", "a", "to", "and", "knight", "dragon", "scroll", "gold"};
    for (std::uint32_t id = 0; out.size() < 600 * 1024; ++id) {
      AppendLe32(out, id);
      AppendLe32(out, rng() % 16);                                    // a type
      AppendLe32(out, static_cast<std::uint32_t>(rng() % 500) * 10);  // a price
      AppendLeF32(out, static_cast<float>(rng() % 1000) / 8.0f);
      char name[32] = {};
      std::snprintf(name, sizeof name, "%s_%s_%u", words[rng() % 17], words[rng() % 17], id % 100);
      out.insert(out.end(), name, name + sizeof name);
    }
    while (out.size() < 1024 * 1024) {
      std::string line;
      const int n = 4 + static_cast<int>(rng() % 12);
      for (int i = 0; i < n; ++i) line += std::string(words[rng() % 17]) + (i + 1 < n ? " " : ".\r\n");
      out.insert(out.end(), line.begin(), line.end());
    }
    out.resize(1024 * 1024);
    return out;
  }();
  return data;
}

// Up to `limit` bytes of the files, in order; missing files are skipped.
Bytes ReadFiles(const std::vector<std::filesystem::path>& files, std::size_t limit) {
  Bytes out;
  for (const auto& f : files) {
    std::ifstream in(f, std::ios::binary);
    out.insert(out.end(), std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (out.size() >= limit) break;
  }
  if (out.size() > limit) out.resize(limit);
  return out;
}

std::vector<std::filesystem::path> FilesIn(const char* dir, const char* extension) {
  std::vector<std::filesystem::path> files;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(dir, ec)) {
    if (e.is_regular_file() && (!*extension || e.path().extension() == extension)) files.push_back(e.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

const Bytes& DataSet(std::int64_t which) {
  static const Bytes licences = [] {
    std::vector<std::filesystem::path> files = FilesIn("/usr/share/common-licenses", "");
    files.push_back("/usr/bin/cmake");
    return ReadFiles(files, 2 * 1024 * 1024);
  }();
  static const Bytes headers = ReadFiles(FilesIn("/usr/include", ".h"), 2 * 1024 * 1024);
  return which == 0 ? GameLikeData() : which == 1 ? licences : headers;
}

void BM_LzPack(benchmark::State& state) {
  const Bytes& data = GameLikeData();
  std::size_t packed = 0;
  for (auto _ : state) {
    Bytes p = LzPack(data);
    packed = p.size();
    benchmark::DoNotOptimize(p.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * data.size()));
  state.counters["packed_percent"] = 100.0 * static_cast<double>(packed) / static_cast<double>(data.size());
}
BENCHMARK(BM_LzPack)->Unit(benchmark::kMillisecond);

void BM_LzUnpack(benchmark::State& state) {
  const Bytes& data = DataSet(state.range(0));
  if (data.empty()) return state.SkipWithError("no data set");
  const Bytes packed = LzPack(data);
  Bytes out;
  out.reserve(data.size());  // sized beforehand, as zlib's output is
  for (auto _ : state) {
    LzUnpack(packed, out);
    benchmark::DoNotOptimize(out.data());
  }
  if (out != data) state.SkipWithError("LzUnpack did not restore the data");
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * data.size()));
  state.counters["packed_percent"] = 100.0 * static_cast<double>(packed.size()) / static_cast<double>(data.size());
}
BENCHMARK(BM_LzUnpack)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

#ifdef HAVE_ZLIB
Bytes Deflate(const Bytes& data) {
  uLongf len = compressBound(data.size());
  Bytes z(len);
  compress2(z.data(), &len, data.data(), data.size(), Z_DEFAULT_COMPRESSION);
  z.resize(len);
  return z;
}

bool Inflate(const Bytes& z, Bytes& out) {
  uLongf len = out.size();
  return uncompress(out.data(), &len, z.data(), z.size()) == Z_OK && len == out.size();
}

// Raw deflate (no zlib header or checksum) and one inflate state reused.
Bytes DeflateRaw(const Bytes& data) {
  z_stream s{};
  deflateInit2(&s, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
  Bytes z(deflateBound(&s, data.size()));
  s.next_in = const_cast<Bytef*>(data.data());
  s.avail_in = static_cast<uInt>(data.size());
  s.next_out = z.data();
  s.avail_out = static_cast<uInt>(z.size());
  deflate(&s, Z_FINISH);
  z.resize(s.total_out);
  deflateEnd(&s);
  return z;
}

class RawInflater {
 public:
  RawInflater() { inflateInit2(&s_, -15); }
  ~RawInflater() { inflateEnd(&s_); }
  RawInflater(const RawInflater&) = delete;
  RawInflater& operator=(const RawInflater&) = delete;
  bool Inflate(const Bytes& z, Bytes& out) {
    inflateReset(&s_);
    s_.next_in = const_cast<Bytef*>(z.data());
    s_.avail_in = static_cast<uInt>(z.size());
    s_.next_out = out.data();
    s_.avail_out = static_cast<uInt>(out.size());
    return inflate(&s_, Z_FINISH) == Z_STREAM_END && s_.total_out == out.size();
  }

 private:
  z_stream s_{};
};

void BM_ZlibRawInflateReused(benchmark::State& state) {
  const Bytes& data = DataSet(state.range(0));
  if (data.empty()) return state.SkipWithError("no data set");
  const Bytes z = DeflateRaw(data);
  Bytes out(data.size());
  RawInflater inflater;
  bool ok = true;
  for (auto _ : state) {
    ok = inflater.Inflate(z, out) && ok;
    benchmark::DoNotOptimize(out.data());
  }
  if (!ok || out != data) state.SkipWithError("raw inflate did not restore the data");
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * data.size()));
  state.counters["packed_percent"] = 100.0 * static_cast<double>(z.size()) / static_cast<double>(data.size());
}
BENCHMARK(BM_ZlibRawInflateReused)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void BM_ZlibInflate(benchmark::State& state) {
  const Bytes& data = DataSet(state.range(0));
  if (data.empty()) return state.SkipWithError("no data set");
  const Bytes z = Deflate(data);
  Bytes out(data.size());
  bool ok = true;
  for (auto _ : state) {
    ok = Inflate(z, out) && ok;
    benchmark::DoNotOptimize(out.data());
  }
  if (!ok || out != data) state.SkipWithError("inflate did not restore the data");
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * data.size()));
  state.counters["packed_percent"] = 100.0 * static_cast<double>(z.size()) / static_cast<double>(data.size());
}
BENCHMARK(BM_ZlibInflate)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// The three decoders by turns in every iteration; a ratio above 1 means
// LzUnpack is faster.
void BM_LzUnpackVsInflate(benchmark::State& state) {
  using Clock = std::chrono::steady_clock;
  const Bytes& data = DataSet(state.range(0));
  if (data.empty()) return state.SkipWithError("no data set");
  const Bytes packed = LzPack(data);
  const Bytes z = Deflate(data);
  const Bytes raw = DeflateRaw(data);
  // Every output sized beforehand, as the archive reader sizes an entry's.
  Bytes lzOut, zOut(data.size()), rawOut(data.size());
  lzOut.reserve(data.size());
  RawInflater inflater;
  Clock::duration lzTime{}, zTime{}, rawTime{};
  bool ok = true;
  for (auto _ : state) {
    auto t0 = Clock::now();
    LzUnpack(packed, lzOut);
    auto t1 = Clock::now();
    ok = Inflate(z, zOut) && ok;
    auto t2 = Clock::now();
    ok = inflater.Inflate(raw, rawOut) && ok;
    auto t3 = Clock::now();
    benchmark::DoNotOptimize(lzOut.data());
    benchmark::DoNotOptimize(zOut.data());
    benchmark::DoNotOptimize(rawOut.data());
    lzTime += t1 - t0;
    zTime += t2 - t1;
    rawTime += t3 - t2;
  }
  if (!ok || lzOut != data || zOut != data || rawOut != data) return state.SkipWithError("a decoder did not restore the data");
  const double lzSec = std::chrono::duration<double>(lzTime).count();
  const double zSec = std::chrono::duration<double>(zTime).count();
  const double rawSec = std::chrono::duration<double>(rawTime).count();
  const double bytes = static_cast<double>(state.iterations()) * static_cast<double>(data.size());
  state.counters["lz_MBps"] = bytes / lzSec / 1e6;
  state.counters["uncompress_MBps"] = bytes / zSec / 1e6;
  state.counters["raw_inflate_MBps"] = bytes / rawSec / 1e6;
  state.counters["uncompress_ratio"] = zSec / lzSec;
  state.counters["raw_inflate_ratio"] = rawSec / lzSec;
  state.counters["size_ratio"] = static_cast<double>(packed.size()) / static_cast<double>(z.size());
}
BENCHMARK(BM_LzUnpackVsInflate)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
#endif

}  // namespace

int main(int argc, char** argv) {
  return benchgrowth::Main(argc, argv, {{"BM_LzUnpack/0", "BM_ZlibInflate/0"},
                                        {"BM_LzUnpack/1", "BM_ZlibInflate/1"},
                                        {"BM_LzUnpack/2", "BM_ZlibInflate/2"},
                                        {"BM_LzUnpack/0", "BM_ZlibRawInflateReused/0"},
                                        {"BM_LzUnpack/1", "BM_ZlibRawInflateReused/1"},
                                        {"BM_LzUnpack/2", "BM_ZlibRawInflateReused/2"}});
}
