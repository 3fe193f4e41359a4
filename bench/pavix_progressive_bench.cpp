// The progressive-mesh build at 1,000 to 160,000 vertices. It should grow as
// n log n: each doubling of the vertices at most a little over twice the time.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdint>

#include "growth_report.h"
#include "pavix_mesh_gen.h"

namespace {

// What the build gives at each size, pinned since before it was made faster
// (the tests hold the first four): a faster build must give the same output.
std::uint32_t ExpectedDigest(int vertices) {
  switch (vertices) {
    case 1000: return 0x99767061u;
    case 5000: return 0x2176434du;
    case 20000: return 0xd22ab1ecu;
    case 40000: return 0x9d8cd115u;
    case 80000: return 0x4b889495u;
    case 160000: return 0x262c8b72u;
    default: return 0;
  }
}

void BM_BuildProgressive(benchmark::State& state) {
  const int vertices = static_cast<int>(state.range(0));
  const int w = vertices / 50 < 40 ? 40 : vertices / 100;  // 40 x 25, then w x 100
  const int h = vertices / w;
  const pavix::CShape mesh = pavixbench::Grid(w, h);
  std::uint32_t digest = 0;
  for (auto _ : state) {
    state.PauseTiming();
    pavix::CShape copy = mesh;
    state.ResumeTiming();
    copy.BuildProgressive();
    benchmark::DoNotOptimize(copy.mrm.order.data());
    state.PauseTiming();
    digest = pavixbench::ProgressiveDigest(copy);
    state.ResumeTiming();
  }
  // The same digest before and after a change to the build: the same output.
  char label[16];
  std::snprintf(label, sizeof label, "digest %08x", digest);
  state.SetLabel(label);
  if (const std::uint32_t expected = ExpectedDigest(vertices); expected != 0 && digest != expected)
    state.SkipWithError("the output differs from the pinned digest");
  state.counters["vertices"] = mesh.VertexCount();
  state.counters["sides"] = mesh.SideCount();
  state.SetComplexityN(mesh.VertexCount());
}
BENCHMARK(BM_BuildProgressive)
    ->Arg(1000)
    ->Arg(5000)
    ->Arg(20000)
    ->Arg(40000)
    ->Arg(80000)
    ->Arg(160000)
    ->Complexity(benchmark::oNLogN)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return benchgrowth::Main(argc, argv); }
