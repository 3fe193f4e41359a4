// Opening, saving and generating a quest of 10 to 160 rooms, each with every
// block set, a collision map, 20 traps and 10 placed monsters; per 40 rooms,
// 200 machines with 5 placed instances each and 500 monsters with 2 each, their
// nodes spread over the rooms. The baselines are the simplest paths to the
// same work: reading and writing the same bytes whole are the floor of opening
// and saving; generation's floor is independent of the project's file layer:
// the bytes generation writes, written to one file as dd writes them, with one
// fdatasync, timed by turns with generation in BM_GenerateQuestAgainstFloor. A
// user waits for the wall clock here, so the summaries give it beside CPU
// time. The times should grow with the room count, not its square.
#include <benchmark/benchmark.h>

#include "bench_clocks.h"
#include "growth_report.h"
#include "scratch_start_dir.h"
#include "tests/support/big_quest.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <filesystem>
#include <memory>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "datafiles/common/little_endian.h"
#include "datafiles/multi_lang_text.h"
#include "platform/core/file.h"
#include "platform/core/paths.h"
#include "platform/core/profile.h"
#include "platform/core/save_batch.h"
#include "platform/core/services.h"
#include "quest/fixed_field.h"
#include "quest/generation_log.h"
#include "quest/graph_node.h"
#include "quest/kelvar_doc.h"
#include "quest/machine.h"
#include "quest/monster.h"
#include "quest/quest_lists.h"
#include "quest/quest_object.h"
#include "quest/room.h"

namespace {

namespace fs = std::filesystem;

class BigQuest {
  ScratchStartDir dir_;  // first: current before the document and services exist

 public:
  explicit BigQuest(int rooms) : dir_("questbench") {
    bigquest::WriteFiles();
    bigquest::Build(rooms);
    doc.SetTitle("big.qst");
    doc.SetPathName("big.qst");
    doc.OnNewDocument();
  }
  ~BigQuest() { FreeQuestLists(); }

  CKelvarDoc doc;
  platform::ScriptedServices ui;

 private:
};

// The quest state is program-wide: one quest at a time, rebuilt when the size
// changes, and dropped before main returns, while the quest state still exists.
std::unique_ptr<BigQuest> quest;

BigQuest& QuestOf(int rooms) {
  static int size = 0;
  if (!quest || size != rooms) {
    quest.reset();
    quest = std::make_unique<BigQuest>(rooms);
    size = rooms;
  }
  return *quest;
}

std::vector<std::uint8_t> FileBytes(const char* path) {
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(fs::file_size(path)));
  std::ifstream(path, std::ios::binary).read(reinterpret_cast<char*>(bytes.data()),
                                             static_cast<std::streamsize>(bytes.size()));
  return bytes;
}

double WallMs() { return 1e3 * benchclock::WallSeconds(); }
double ThreadCpuMs() { return 1e3 * benchclock::ThreadSeconds(); }

// Page faults per iteration: first touches of pages the process did not hold,
// each of which costs far more than filling the page.
long PageFaults() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_minflt + usage.ru_majflt;
}

class FaultCounter {
 public:
  explicit FaultCounter(benchmark::State& state) : state_(state), start_(PageFaults()) {}
  ~FaultCounter() {
    if (state_.iterations() > 0) {
      state_.counters["faults"] = static_cast<double>(PageFaults() - start_) / static_cast<double>(state_.iterations());
    }
  }

 private:
  benchmark::State& state_;
  long start_;
};

void BM_SaveQuest(benchmark::State& state) {
  BigQuest& q = QuestOf(static_cast<int>(state.range(0)));
  FaultCounter faults(state);
  for (auto _ : state) {
    if (!q.doc.OnSaveDocument("big.qst")) state.SkipWithError("save failed");
  }
  state.counters["bytes"] = static_cast<double>(fs::file_size("big.qst"));
}

void BM_WriteSameBytesBaseline(benchmark::State& state) {
  BigQuest& q = QuestOf(static_cast<int>(state.range(0)));
  q.doc.OnSaveDocument("big.qst");
  const std::vector<std::uint8_t> bytes = FileBytes("big.qst");
  FaultCounter faults(state);
  for (auto _ : state) {
    platform::WriteWholeFile("raw.qst", bytes);
  }
}

// A file just written can have left the page cache (the machine's memory is
// shared), so its first read would time the disk: read it once untimed.
void WarmUp(const char* path) { benchmark::DoNotOptimize(platform::ReadWholeFile(path)); }

void BM_OpenQuest(benchmark::State& state) {
  BigQuest& q = QuestOf(static_cast<int>(state.range(0)));
  q.doc.OnSaveDocument("big.qst");
  WarmUp("big.qst");
  // Once untimed: the first open at a new size grows the program to the two
  // quests it holds at once, which later opens of that size reuse.
  q.doc.OnOpenDocument("big.qst");
  FaultCounter faults(state);
  for (auto _ : state) {
    if (!q.doc.OnOpenDocument("big.qst")) state.SkipWithError("open failed");
  }
  state.counters["nodes"] = static_cast<double>(ListLength(Quest().graphNodes));
}

// A quest of half the rooms and the whole quest opened in turn: the open
// quest is freed after the next is read beside it, and whether its memory
// comes back for the next one must not depend on the sizes gone before.
void BM_OpenHalfThenWhole(benchmark::State& state) {
  BigQuest& q = QuestOf(static_cast<int>(state.range(0)));
  q.doc.OnSaveDocument("big.qst");
  CRoom** cut = &Quest().rooms;
  for (std::int64_t i = 0; i < state.range(0) / 2; ++i) cut = &(*cut)->next;
  CRoom* rest = std::exchange(*cut, nullptr);
  q.doc.OnSaveDocument("half.qst");
  *cut = rest;
  WarmUp("half.qst");
  WarmUp("big.qst");
  q.doc.OnOpenDocument("big.qst");
  FaultCounter faults(state);
  for (auto _ : state) {
    if (!q.doc.OnOpenDocument("half.qst") || !q.doc.OnOpenDocument("big.qst")) state.SkipWithError("open failed");
  }
}

void BM_ReadSameBytesBaseline(benchmark::State& state) {
  BigQuest& q = QuestOf(static_cast<int>(state.range(0)));
  q.doc.OnSaveDocument("big.qst");
  WarmUp("big.qst");
  FaultCounter faults(state);
  for (auto _ : state) {
    benchmark::DoNotOptimize(platform::ReadWholeFile("big.qst"));
  }
}

using GeneratedFiles = std::vector<std::pair<std::string, std::string>>;

// Every file of the quest folder and the package, with its bytes.
GeneratedFiles ReadGeneratedFiles() {
  platform::SaveBatch::WaitForReleasedFiles();  // the files replaced are gone
  GeneratedFiles files;
  for (const char* folder : {"data/customQuest/big", "quest"}) {
    for (const fs::directory_entry& e : fs::directory_iterator(folder)) {
      files.emplace_back(e.path().string(), platform::ReadWholeFile(e.path().string()));
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

void BM_GenerateQuest(benchmark::State& state) {
  BigQuest& q = QuestOf(static_cast<int>(state.range(0)));
  q.doc.OnGenerateQuest();
  const GeneratedFiles first = ReadGeneratedFiles();
  for (auto _ : state) {
    q.ui.boxes.clear();
    q.doc.OnGenerateQuest();
    if (!GenerationLog().empty()) state.SkipWithError("generation logged faults");
  }
  // Generating again gives the same files, byte for byte.
  if (ReadGeneratedFiles() != first) state.SkipWithError("generation changed its files");
  state.counters["package"] = static_cast<double>(fs::file_size("quest/big.mtf"));
}

// The bytes of the files one generation writes: those it put a new file in
// place of (a new inode), in the order listed.
std::string BytesGenerationWrites(CKelvarDoc& doc) {
  auto inodes = [] {
    std::vector<std::pair<std::string, std::uint64_t>> all;
    for (const char* folder : {"data/customQuest/big", "quest"}) {
      for (const fs::directory_entry& e : fs::directory_iterator(folder)) {
        struct stat st {};
        if (::stat(e.path().c_str(), &st) == 0) all.emplace_back(e.path().string(), st.st_ino);
      }
    }
    std::sort(all.begin(), all.end());
    return all;
  };
  const auto before = inodes();
  doc.OnGenerateQuest();
  platform::SaveBatch::WaitForReleasedFiles();
  std::string bytes;
  for (const auto& [path, inode] : inodes()) {
    const auto was = std::lower_bound(before.begin(), before.end(), std::make_pair(path, std::uint64_t{0}));
    if (was == before.end() || was->first != path || was->second != inode) bytes += platform::ReadWholeFile(path);
  }
  return bytes;
}

// The independent floor: the same bytes written as `dd bs=1M conv=fdatasync`
// writes them, to one new file, in blocks of a megabyte from memory, with one
// fdatasync at the end. Fails the benchmark if a call fails.
bool WriteAsDdDoes(const char* path, const std::string& bytes) {
  const int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  constexpr std::size_t kBlock = std::size_t{1} << 20;
  bool ok = true;
  for (std::size_t at = 0; ok && at < bytes.size();) {
    const ssize_t n = ::write(fd, bytes.data() + at, std::min(kBlock, bytes.size() - at));
    ok = n > 0;
    at += ok ? static_cast<std::size_t>(n) : 0;
  }
  ok = ::fdatasync(fd) == 0 && ok;
  return ::close(fd) == 0 && ok;
}

// What the previous step left for the disk and the file system (a file
// replaced, the floor's file removed) is finished before the next is timed,
// so neither pays for the other's.
double Settle() {
  const double start = WallMs();
  platform::SaveBatch::WaitForReleasedFiles();
  const int fd = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    ::syncfs(fd);
    ::close(fd);
  }
  return WallMs() - start;
}

// Generation and the floor by turns (which goes first alternates), each timed
// on the wall clock and in CPU time of this thread; the time left for the
// releases of the files generation replaced is reported, not counted.
void BM_GenerateQuestAgainstFloor(benchmark::State& state) {
  BigQuest& q = QuestOf(static_cast<int>(state.range(0)));
  q.doc.OnGenerateQuest();
  const std::string bytes = BytesGenerationWrites(q.doc);
  const GeneratedFiles first = ReadGeneratedFiles();
  const char* const floorFile = "floor.bin";
  double oursWall = 0, oursCpu = 0, floorWall = 0, floorCpu = 0, released = 0;
  long faults = 0;
  bool ok = true;
  int turn = 0;
  for (auto _ : state) {
    for (int k = 0; k < 2; ++k) {
      const bool ours = (k + turn) % 2 == 0;
      state.PauseTiming();
      ::unlink(floorFile);
      const double settled = Settle();
      if (!ours) released += settled;
      state.ResumeTiming();
      const double wall = WallMs(), cpu = ThreadCpuMs();
      const long pageFaults = PageFaults();
      if (ours) {
        q.ui.boxes.clear();
        q.doc.OnGenerateQuest();
        ok = ok && GenerationLog().empty();
        oursWall += WallMs() - wall;
        oursCpu += ThreadCpuMs() - cpu;
        faults += PageFaults() - pageFaults;
      } else {
        ok = WriteAsDdDoes(floorFile, bytes) && ok;
        floorWall += WallMs() - wall;
        floorCpu += ThreadCpuMs() - cpu;
      }
    }
    ++turn;
  }
  released += Settle();
  if (!ok) state.SkipWithError("generation logged faults, or the floor's file could not be written");
  if (ReadGeneratedFiles() != first) state.SkipWithError("generation changed its files");
  if (fs::file_size(floorFile) != bytes.size()) state.SkipWithError("the floor wrote another length");
  ::unlink(floorFile);
  const double n = static_cast<double>(state.iterations());
  state.counters["MB"] = static_cast<double>(bytes.size()) / 1e6;
  state.counters["ours_wall_ms"] = oursWall / n;
  state.counters["floor_wall_ms"] = floorWall / n;
  state.counters["ours_per_floor_wall"] = oursWall / floorWall;
  state.counters["ours_cpu_ms"] = oursCpu / n;
  state.counters["floor_cpu_ms"] = floorCpu / n;
  state.counters["ours_faults"] = static_cast<double>(faults) / n;
  state.counters["release_wait_ms"] = released / n;
}

void Sizes(benchmark::internal::Benchmark* b) {
  for (int rooms : {10, 20, 40, 80, 160}) b->Arg(rooms);
  b->Unit(benchmark::kMillisecond);
}
BENCHMARK(BM_SaveQuest)->Apply(Sizes);
BENCHMARK(BM_WriteSameBytesBaseline)->Apply(Sizes);
BENCHMARK(BM_OpenQuest)->Apply(Sizes);
BENCHMARK(BM_ReadSameBytesBaseline)->Apply(Sizes);
BENCHMARK(BM_OpenHalfThenWhole)->Apply(Sizes);
BENCHMARK(BM_GenerateQuest)->Apply(Sizes)->Iterations(3);
BENCHMARK(BM_GenerateQuestAgainstFloor)->Apply(Sizes)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
  std::vector<benchgrowth::Pair> pairs;
  for (const char* rooms : {"10", "20", "40", "80", "160"}) {
    pairs.push_back({std::string("BM_SaveQuest/") + rooms, std::string("BM_WriteSameBytesBaseline/") + rooms});
    pairs.push_back({std::string("BM_OpenQuest/") + rooms, std::string("BM_ReadSameBytesBaseline/") + rooms});
  }
  const int result = benchgrowth::Main(argc, argv, pairs);
  quest.reset();
  return result;
}
