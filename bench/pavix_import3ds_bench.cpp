// Importing a 50,000-face ".3DS" file, against assimp reading the same file
// in this process (`Assimp::Importer::ReadFile`): first as it stands, the
// importer against the importer; then with its real-time preset of
// post-processing (`aiProcessPreset_TargetRealtime_Fast`: normals, vertex
// joining, triangulation, sorting by primitive type and its other steps), the
// work a program that draws the model asks of it. As read, assimp gives each
// triangle three vertices of its own, 150,000 from the file's 25,351 shared
// ones, and the preset spends most of its time joining them again; the
// counters give the vertex counts beside the times. Each import is checked:
// 50,000 triangles for both, and vertices within the file's count. The file
// is written by assimp from an OBJ grid.
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <sstream>
#include <string>

#include <benchmark/benchmark.h>
#include "bench_clocks.h"

#include "meshedit/core/shape.h"

#ifdef HAVE_ASSIMP
#include <assimp/Exporter.hpp>
#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#endif

namespace {

using benchclock::ThreadSeconds;
using benchclock::WallSeconds;

namespace fs = std::filesystem;

constexpr int kGridW = 101, kGridH = 251;  // 50,000 triangles, within the format's 65,535 vertices
constexpr unsigned kFaces = 2 * (kGridW - 1) * (kGridH - 1);

#ifdef HAVE_ASSIMP
constexpr unsigned kRealtimePreset = aiProcessPreset_TargetRealtime_Fast;

struct Model {
  std::string path;
  std::string error;
  Model() {
    std::ostringstream obj;
    for (int y = 0; y < kGridH; ++y)
      for (int x = 0; x < kGridW; ++x) obj << "v " << x << ' ' << ((x * 7 + y * 13) % 11) * 0.1 << ' ' << y << '\n';
    for (int y = 0; y + 1 < kGridH; ++y) {
      for (int x = 0; x + 1 < kGridW; ++x) {
        const int a = y * kGridW + x + 1, b = a + 1, c = a + kGridW + 1, d = a + kGridW;
        obj << "f " << a << ' ' << b << ' ' << c << "\nf " << a << ' ' << c << ' ' << d << '\n';
      }
    }
    const std::string text = obj.str();
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFileFromMemory(text.data(), text.size(), 0, "obj");
    if (!scene) {
      error = "assimp could not read the grid";
      return;
    }
    const fs::path dir = fs::temp_directory_path() / ("pavix-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    path = (dir / "grid.3ds").string();
    Assimp::Exporter exporter;
    if (exporter.Export(scene, "3ds", path) != AI_SUCCESS) error = "assimp could not write the 3DS file";
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

unsigned VertexCount(const aiScene* scene) {
  unsigned vertices = 0;
  for (unsigned m = 0; scene && m < scene->mNumMeshes; ++m) vertices += scene->mMeshes[m]->mNumVertices;
  return vertices;
}

// Empty when the import holds the grid's triangles, else what is wrong.
std::string CheckAssimp(const aiScene* scene) {
  if (!scene) return "assimp did not read the file";
  unsigned faces = 0, vertices = 0;
  for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
    const aiMesh* mesh = scene->mMeshes[m];
    vertices += mesh->mNumVertices;
    for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
      if (mesh->mFaces[f].mNumIndices != 3) return "assimp gave a face that is not a triangle";
      ++faces;
    }
  }
  if (faces != kFaces) return "assimp read " + std::to_string(faces) + " triangles";
  if (vertices == 0 || vertices > 3 * kFaces) return "assimp read " + std::to_string(vertices) + " vertices";
  return {};
}

std::string CheckOurs(const pavix::CShape& shape) {
  if (shape.SideCount() != static_cast<int>(kFaces)) return "our import read " + std::to_string(shape.SideCount()) + " sides";
  if (shape.VertexCount() == 0 || shape.VertexCount() > static_cast<int>(3 * kFaces)) return "our import read no vertices";
  return {};
}

// Each alone, so Google Benchmark's own table has both clocks.
void BM_Import3ds(benchmark::State& state) {
  const Model& model = TheModel();
  if (!model.error.empty()) return state.SkipWithError(model.error.c_str());
  pavix::CShape shape;
  for (auto _ : state) {
    if (!shape.Import3ds(model.path)) return state.SkipWithError("import failed");
  }
  if (const std::string e = CheckOurs(shape); !e.empty()) state.SkipWithError(e.c_str());
  state.counters["sides"] = shape.SideCount();
}
BENCHMARK(BM_Import3ds)->Unit(benchmark::kMillisecond);

// Argument: 0 as read, 1 with the real-time preset.
void BM_AssimpReadFile(benchmark::State& state) {
  const Model& model = TheModel();
  if (!model.error.empty()) return state.SkipWithError(model.error.c_str());
  const unsigned flags = state.range(0) ? kRealtimePreset : 0;
  std::string error;
  for (auto _ : state) {
    Assimp::Importer importer;
    error = CheckAssimp(importer.ReadFile(model.path, flags));
    if (!error.empty()) break;
  }
  if (!error.empty()) state.SkipWithError(error.c_str());
}
BENCHMARK(BM_AssimpReadFile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Ours and both assimp reads by turns in every iteration, each timed on the
// thread's CPU clock and the wall clock; the counters are assimp's time over
// ours (above 1: ours is faster).
void BM_Import3dsAlternating(benchmark::State& state) {
  const Model& model = TheModel();
  if (!model.error.empty()) return state.SkipWithError(model.error.c_str());
  double cpu[3] = {}, wall[3] = {};
  unsigned vertices[3] = {};
  std::string error;
  pavix::CShape shape;
  for (auto _ : state) {
    for (int which = 0; which < 3 && error.empty(); ++which) {
      const double c0 = ThreadSeconds(), w0 = WallSeconds();
      if (which == 0) {
        if (!shape.Import3ds(model.path)) error = "import failed";
        else error = CheckOurs(shape);
      } else {
        Assimp::Importer importer;
        const aiScene* scene = importer.ReadFile(model.path, which == 2 ? kRealtimePreset : 0);
        cpu[which] += ThreadSeconds() - c0;
        wall[which] += WallSeconds() - w0;
        error = CheckAssimp(scene);
        vertices[which] = VertexCount(scene);
        continue;  // the importer's teardown is not timed
      }
      cpu[which] += ThreadSeconds() - c0;
      wall[which] += WallSeconds() - w0;
    }
    if (!error.empty()) break;
  }
  if (!error.empty()) return state.SkipWithError(error.c_str());
  const double n = static_cast<double>(state.iterations());
  // As read, assimp splits the file's shared vertices, three to a triangle;
  // the preset welds them back together.
  state.counters["ours_vertices"] = shape.VertexCount();
  state.counters["assimp_vertices"] = vertices[1];
  state.counters["assimp_rt_vertices"] = vertices[2];
  state.counters["ours_ms"] = cpu[0] / n * 1e3;
  state.counters["assimp_ms"] = cpu[1] / n * 1e3;
  state.counters["assimp_rt_ms"] = cpu[2] / n * 1e3;
  state.counters["assimp_over_ours_cpu"] = cpu[1] / cpu[0];
  state.counters["assimp_rt_over_ours_cpu"] = cpu[2] / cpu[0];
  state.counters["assimp_over_ours_wall"] = wall[1] / wall[0];
  state.counters["assimp_rt_over_ours_wall"] = wall[2] / wall[0];
}
BENCHMARK(BM_Import3dsAlternating)->Unit(benchmark::kMillisecond);
#endif

}  // namespace

BENCHMARK_MAIN();
