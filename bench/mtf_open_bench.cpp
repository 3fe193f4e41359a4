// MtfOpen and MtfClose of random names over a merged directory of 20,000
// entries from two archives.
#include <benchmark/benchmark.h>

#ifdef HAVE_MTF_READER

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "datafiles/mtf_archive.h"
#include "datafiles/mtf_writer.h"
#include "platform/core/paths.h"

namespace {

namespace fs = std::filesystem;

constexpr int kEntriesPerArchive = 10000;

class MergedDirectory {
 public:
  MergedDirectory() {
    std::string tmpl = (fs::temp_directory_path() / "mtfbench-XXXXXX").string();
    if (!::mkdtemp(tmpl.data())) return;
    dir_ = tmpl;
    previous_ = platform::CurrentDirectory();
    platform::ChangeDirectory(dir_);
    platform::SetStartDirectory(dir_);
    for (int a = 0; a < 2; ++a) {
      MtfWriter w;
      for (int i = 0; i < kEntriesPerArchive; ++i) {
        char name[80];
        std::snprintf(name, sizeof name, "data\\%s%02d\\Entry%05d.dat", a ? "patch" : "bank", i % 50, i);
        names_.push_back(name);
        // Stored, so the lookup itself is what is measured, not unpacking.
        w.Add(name, "entry " + std::to_string(i) + std::string(64, 'x'), MtfStorage::kStored);
      }
      const std::string file = a ? "qsp1.mtf" : "data.mtf";
      w.Write(file);
      MtfOpenArchive(file.c_str(), a);
    }
  }
  ~MergedDirectory() {
    MtfCloseAllArchives();
    if (!previous_.empty()) platform::ChangeDirectory(previous_);
    std::error_code ec;
    if (!dir_.empty()) fs::remove_all(dir_, ec);
  }
  const std::vector<std::string>& names() const { return names_; }

 private:
  std::string dir_, previous_;
  std::vector<std::string> names_;
};

void BM_MtfOpenClose(benchmark::State& state) {
  MergedDirectory merged;
  if (MtfDirectoryCount() != 2u * kEntriesPerArchive) {
    state.SkipWithError("the archives did not mount");
    return;
  }
  std::mt19937 rng(99);
  std::vector<const char*> probes;
  for (int i = 0; i < 4096; ++i) probes.push_back(merged.names()[rng() % merged.names().size()].c_str());
  std::size_t k = 0;
  for (auto _ : state) {
    MtfFile* f = MtfOpen(probes[k++ & 4095], "rb");
    if (!f) {
      state.SkipWithError("an entry did not open");
      break;
    }
    MtfClose(f);
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["entries"] = static_cast<double>(MtfDirectoryCount());
}
BENCHMARK(BM_MtfOpenClose);

}  // namespace

#endif  // HAVE_MTF_READER

BENCHMARK_MAIN();
