// Importing a 50,000-face ".3DS" file, against `assimp info` reading the
// same file (a separate process: its time includes start-up and assimp's
// validation and vertex joining). assimp writes the file from an OBJ grid.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <benchmark/benchmark.h>

#include "meshedit/core/shape.h"

namespace {

namespace fs = std::filesystem;

int Run(const std::string& command) {
  const int status = std::system(command.c_str());
  return status == -1 ? -1 : WEXITSTATUS(status);
}

// 101 x 251 vertices: 50,000 triangles, within the format's 65,535 vertices.
struct Model {
  std::string path;
  std::string error;
  Model() {
    if (Run("command -v assimp >/dev/null 2>&1") != 0) {
      error = "assimp is not installed";
      return;
    }
    const fs::path dir = fs::temp_directory_path() / ("pavix-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path obj = dir / "grid.obj";
    {
      std::ofstream out(obj);
      const int w = 101, h = 251;
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) out << "v " << x << ' ' << ((x * 7 + y * 13) % 11) * 0.1 << ' ' << y << '\n';
      for (int y = 0; y + 1 < h; ++y) {
        for (int x = 0; x + 1 < w; ++x) {
          const int a = y * w + x + 1, b = a + 1, c = a + w + 1, d = a + w;
          out << "f " << a << ' ' << b << ' ' << c << "\nf " << a << ' ' << c << ' ' << d << '\n';
        }
      }
    }
    path = (dir / "grid.3ds").string();
    if (Run("assimp export '" + obj.string() + "' '" + path + "' >/dev/null 2>&1") != 0) error = "assimp export failed";
  }
  ~Model() {
    if (!path.empty()) {
      std::error_code ec;
      fs::remove_all(fs::path(path).parent_path(), ec);
    }
  }
};

const Model& TheModel() {
  static const Model model;
  return model;
}

double AssimpInfoSeconds(const std::string& path) {
  double best = 1e30;
  for (int i = 0; i < 3; ++i) {
    const auto start = std::chrono::steady_clock::now();
    if (Run("assimp info '" + path + "' >/dev/null 2>&1") != 0) return -1;
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  return best;
}

void BM_Import3dsVsAssimpInfo(benchmark::State& state) {
  const Model& model = TheModel();
  if (!model.error.empty()) {
    state.SkipWithError(model.error.c_str());
    return;
  }
  pavix::CShape shape;
  double total = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    if (!shape.Import3ds(model.path)) {
      state.SkipWithError("import failed");
      return;
    }
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.SetIterationTime(s);
    total += s;
  }
  const double ours = total / static_cast<double>(state.iterations());
  const double assimp = AssimpInfoSeconds(model.path);
  state.counters["faces"] = shape.SideCount();
  state.counters["pavix_ms"] = ours * 1000;
  state.counters["assimp_info_ms"] = assimp * 1000;
  state.counters["assimp_over_pavix"] = ours > 0 ? assimp / ours : 0;
}
BENCHMARK(BM_Import3dsVsAssimpInfo)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
