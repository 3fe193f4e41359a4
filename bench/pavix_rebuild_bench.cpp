// The mesh editor's derived data: Rebuild, BuildEdges and GroupSides over
// growing meshes. The complexity fits show that none grows quadratically
// with the side count.
#include <benchmark/benchmark.h>

#include "pavix_mesh_gen.h"

namespace {

int SideOf(std::int64_t sides) {
  // A square grid of triangles with about that many sides.
  int w = 2;
  while (2 * (w - 1) * (w - 1) < sides) ++w;
  return w;
}

void BM_Rebuild(benchmark::State& state) {
  const int w = SideOf(state.range(0));
  const pavix::CShape mesh = pavixbench::Grid(w, w, true);
  for (auto _ : state) {
    state.PauseTiming();
    pavix::CShape copy = mesh;
    state.ResumeTiming();
    copy.Rebuild();
    benchmark::DoNotOptimize(copy.edges.data());
  }
  state.SetComplexityN(mesh.SideCount());
  state.counters["sides"] = mesh.SideCount();
}
BENCHMARK(BM_Rebuild)->RangeMultiplier(4)->Range(1 << 10, 1 << 18)->Complexity()->Unit(benchmark::kMillisecond);

void BM_BuildEdges(benchmark::State& state) {
  const int w = SideOf(state.range(0));
  pavix::CShape mesh = pavixbench::Grid(w, w);
  for (auto _ : state) {
    mesh.BuildEdges();
    benchmark::DoNotOptimize(mesh.edges.data());
  }
  state.SetComplexityN(mesh.SideCount());
  state.counters["sides"] = mesh.SideCount();
}
BENCHMARK(BM_BuildEdges)->RangeMultiplier(4)->Range(1 << 10, 1 << 18)->Complexity()->Unit(benchmark::kMillisecond);

// One connected part.
void BM_GroupSidesOnePart(benchmark::State& state) {
  const int w = SideOf(state.range(0));
  pavix::CShape mesh = pavixbench::Grid(w, w);
  for (auto _ : state) {
    mesh.GroupSides();
    benchmark::DoNotOptimize(mesh.sides.data());
  }
  state.SetComplexityN(mesh.SideCount());
}
BENCHMARK(BM_GroupSidesOnePart)->RangeMultiplier(4)->Range(1 << 10, 1 << 18)->Complexity()->Unit(benchmark::kMillisecond);

// As many parts as sides.
void BM_GroupSidesManyParts(benchmark::State& state) {
  pavix::CShape mesh = pavixbench::Scattered(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    mesh.GroupSides();
    benchmark::DoNotOptimize(mesh.sides.data());
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_GroupSidesManyParts)->RangeMultiplier(4)->Range(1 << 10, 1 << 18)->Complexity()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
