// The progressive-mesh build at 1,000, 5,000 and 20,000 vertices.
#include <benchmark/benchmark.h>

#include "pavix_mesh_gen.h"

namespace {

void BM_BuildProgressive(benchmark::State& state) {
  const int vertices = static_cast<int>(state.range(0));
  const int w = vertices / 50 < 40 ? 40 : vertices / 100;  // 40 x 25, 50 x 100, 200 x 100
  const int h = vertices / w;
  const pavix::CShape mesh = pavixbench::Grid(w, h);
  for (auto _ : state) {
    state.PauseTiming();
    pavix::CShape copy = mesh;
    state.ResumeTiming();
    copy.BuildProgressive();
    benchmark::DoNotOptimize(copy.mrm.order.data());
  }
  state.counters["vertices"] = mesh.VertexCount();
  state.counters["sides"] = mesh.SideCount();
  state.SetComplexityN(mesh.VertexCount());
}
BENCHMARK(BM_BuildProgressive)->Arg(1000)->Arg(5000)->Arg(20000)->Complexity()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
