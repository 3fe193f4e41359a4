// Frames per second of a textured, lit mesh at 1024 x 768 through the mesh
// editor's pipeline and display device on one core, at growing side counts
// (10,000 sides is the reference size), and the same triangles through
// Mesa's llvmpipe with one thread and a shader written for each state the
// frame uses as the peer, reported as ratios in CPU time (the process's,
// llvmpipe's thread included) and on the wall clock. Each size runs ours,
// the peer, then both by turns (BM_PavixMeshAlternating) before the next
// size. Before it is timed the peer's frame is read back and compared with
// the device's (coverage and colour within the tolerances below); a peer
// that draws something else is not timed. The texture lives in a scratch
// start directory removed at exit.
#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "meshedit/core/render_pipeline.h"
#include "platform/core/paths.h"
#include "platform/video/recorder.h"
#include "platform/video/window.h"
#include "growth_report.h"
#include "bench_clocks.h"
#include "scratch_start_dir.h"

#ifdef HAVE_EGL
#include "gl_peer.h"
#endif

namespace pv = platform::video;

namespace {

using benchclock::ProcessCpuSeconds;
using benchclock::WallSeconds;

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr int kSides[] = {2500, 10000, 40000};

// The peer's frame against ours (black is the background of both): at most
// kCoverageTolerance of the pixels covered in one frame only, and at most
// kBlocksOffShare of the 8 x 8 blocks with a mean colour more than
// kBlockTolerance (of 255, about two 5-6-5 steps) off in a channel.
constexpr double kCoverageTolerance = 0.01;
constexpr double kBlockTolerance = 16;
constexpr double kBlocksOffShare = 0.02;

// A wavy grid of triangles facing the camera, filling the screen.
pavix::CShape Grid(int sides) {
  pavix::CShape s;
  const int cols = static_cast<int>(std::lround(std::sqrt(sides / 2.0 * 4.0 / 3.0)));
  const int rows = std::max(1, sides / 2 / std::max(1, cols));
  for (int y = 0; y <= rows; ++y)
    for (int x = 0; x <= cols; ++x) {
      const float px = -600.0f + 1200.0f * static_cast<float>(x) / static_cast<float>(cols);
      const float py = 450.0f - 900.0f * static_cast<float>(y) / static_cast<float>(rows);
      const float pz = 600.0f + 20.0f * std::sin(px * 0.02f) * std::cos(py * 0.02f);
      s.vertices.push_back({{px, py, pz}, {0.3f * std::sin(px * 0.02f), 0.3f * std::cos(py * 0.02f), -1.0f}, 0});
    }
  auto at = [cols](int x, int y) { return static_cast<std::uint32_t>(y * (cols + 1) + x); };
  for (int y = 0; y < rows; ++y)
    for (int x = 0; x < cols; ++x) {
      pavix::CSide a, b;
      a.index[0] = at(x, y), a.index[1] = at(x + 1, y), a.index[2] = a.index[3] = at(x + 1, y + 1);
      b.index[0] = at(x, y), b.index[1] = at(x + 1, y + 1), b.index[2] = b.index[3] = at(x, y + 1);
      for (pavix::CSide* side : {&a, &b}) {
        for (int k = 0; k < 4; ++k) {
          const auto& p = s.vertices[side->index[k]].position;
          side->uv[k] = {p.x / 150.0f, p.y / 150.0f};
        }
        side->flags = pavix::kRenderTextured | pavix::kRenderGouraud | pavix::kSideLit;
        side->texture = 1;
        s.sides.push_back(*side);
      }
    }
  s.SetSingleNode({0, 0, 600}, {0, 0, 610});
  return s;
}

struct Scene {
  ScratchStartDir dir{"pavix_bench"};  // first: removed after everything that uses it
  pv::Window window{pv::Rect{0, 0, kWidth, kHeight}};
  std::unique_ptr<pavix::CRenderPipeline> pipeline;
  bool ok = false;

  Scene() {
    // A 256 x 256 texture of soft stripes.
    std::vector<std::uint8_t> tga(18, 0);
    tga[2] = 2;
    tga[13] = 1;
    tga[15] = 1;
    tga[16] = 24;
    for (int y = 0; y < 256; ++y)
      for (int x = 0; x < 256; ++x)
        tga.insert(tga.end(), {static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(128 + (y & 63)),
                               static_cast<std::uint8_t>((x ^ y) & 255)});
    std::FILE* f = std::fopen((dir.Path() + "/K0001_bench.TGA").c_str(), "wb");
    if (!f) return;
    std::fwrite(tga.data(), 1, tga.size(), f);
    std::fclose(f);
    pipeline = std::make_unique<pavix::CRenderPipeline>();
    pavix::CRenderPipeline::SetTexturePath("K%04d_*.TGA", 0);
    ok = pavix::CRenderPipeline::SetFormat(&window, 0) == 1;
    pavix::CLight light;
    light.direction = {0.3f, -0.3f, 0.9f};
    pavix::CRenderPipeline::AddLight(light);
  }

  void Frame(pavix::CShape& shape) {
    pavix::CRenderPipeline::NewFrame();
    pavix::CRenderPipeline::SetCamera(pavix::IdentityMatrix());
    pavix::CRenderPipeline::BeginFrame(3, 0xFF000000, 1.0f, 0);
    pavix::CRenderPipeline::DrawShape(shape, pavix::IdentityMatrix());
    pavix::CRenderPipeline::FlushOrderingTable();
    pavix::CRenderPipeline::EndFrame();
  }
};

Scene& TheScene() {
  static Scene scene;
  return scene;
}

void BM_PavixMeshThroughPipeline(benchmark::State& state) {
  Scene& scene = TheScene();
  if (!scene.ok) {
    state.SkipWithError("no display");
    return;
  }
  pavix::CShape shape = Grid(static_cast<int>(state.range(0)));
  scene.Frame(shape);  // loads the texture
  for (auto _ : state) scene.Frame(shape);
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["triangles"] = static_cast<double>(pavix::Cdd::Stats().triangles);
  state.counters["sides"] = static_cast<double>(shape.SideCount());
}

#ifdef HAVE_EGL

// The peer with the frame of this grid loaded, checked against our frame of
// the same triangles; null (the benchmark skipped with the reason) when there
// is no peer or it draws something else.
benchpeer::GlPeer* PeerWithGrid(benchmark::State& state, Scene& scene, pavix::CShape& shape) {
  static std::unique_ptr<benchpeer::GlPeer> peer = [] {
    auto p = std::make_unique<benchpeer::GlPeer>(kWidth, kHeight);
    if (!p->Init()) p.reset();
    return p;
  }();
  if (!scene.ok || !peer) {
    state.SkipWithError("no EGL display with llvmpipe");
    return nullptr;
  }
  scene.Frame(shape);
  std::vector<pv::RecordedPrimitive> primitives;
  {
    pv::ScopedRecorder recorder;
    scene.Frame(shape);
    primitives = pv::Recorder::Primitives();
  }
  // The texture as the device holds it.
  static GLuint texture = [] {
    const auto& surface = pavix::Cdd::State().slots[0].surface;
    if (!surface) return 0u;
    std::vector<std::uint16_t> texels(static_cast<std::size_t>(surface->Width()) * surface->Height());
    for (int y = 0; y < surface->Height(); ++y)
      std::memcpy(&texels[static_cast<std::size_t>(y) * surface->Width()], surface->Bits() + static_cast<std::size_t>(y) * surface->Pitch(),
                  static_cast<std::size_t>(surface->Width()) * 2);
    return benchpeer::UploadTexture565(surface->Width(), surface->Height(), texels.data());
  }();
  if (!peer->Load(primitives, [](const pv::RecordedPrimitive&) { return texture; })) {
    state.SkipWithError("the peer could not load the frame");
    return nullptr;
  }
  // The recorded frame is still in the back surface: the peer must draw the same.
  const auto& back = pavix::Cdd::State().back;
  if (!back) {
    state.SkipWithError("no back surface to check the peer against");
    return nullptr;
  }
  const std::vector<std::uint8_t> ours = benchpeer::SurfaceRgb(*back);
  peer->DrawFrame();
  const std::vector<std::uint8_t> theirs = peer->ReadRgb();
  const benchpeer::FrameDifference d = benchpeer::CompareFrames(ours, theirs, kWidth, kBlockTolerance);
  state.counters["coverage_mismatch"] = d.coverageMismatch;
  state.counters["blocks_off"] = d.blocksOff;
  state.counters["mean_channel_error"] = d.meanChannelError;
  if (theirs.empty() || d.covered < 0.1 || d.coverageMismatch > kCoverageTolerance || d.blocksOff > kBlocksOffShare) {
    char why[200];
    std::snprintf(why, sizeof why, "the peer's frame is not ours: covered %.3f, coverage mismatch %.4f, blocks off %.4f",
                  d.covered, d.coverageMismatch, d.blocksOff);
    state.SkipWithError(why);
    return nullptr;
  }
  return peer.get();
}

void BM_PavixMeshLlvmpipe(benchmark::State& state) {
  Scene& scene = TheScene();
  pavix::CShape shape = Grid(static_cast<int>(state.range(0)));
  benchpeer::GlPeer* peer = PeerWithGrid(state, scene, shape);
  if (!peer) return;
  for (auto _ : state) peer->DrawFrame();
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.SetLabel(peer->RendererName() + ", " + peer->ShaderNames());
}

// Our frame and the peer's frame of the same triangles by turns, each timed
// on its own, so that both meet the same load: the ratios of their times.
void BM_PavixMeshAlternating(benchmark::State& state) {
  Scene& scene = TheScene();
  pavix::CShape shape = Grid(static_cast<int>(state.range(0)));
  benchpeer::GlPeer* peer = PeerWithGrid(state, scene, shape);
  if (!peer) return;
  double oursCpu = 0, oursWall = 0, peerCpu = 0, peerWall = 0;
  for (auto _ : state) {
    const double c0 = ProcessCpuSeconds(), w0 = WallSeconds();
    scene.Frame(shape);
    const double c1 = ProcessCpuSeconds(), w1 = WallSeconds();
    peer->DrawFrame();
    oursCpu += c1 - c0;
    oursWall += w1 - w0;
    peerCpu += ProcessCpuSeconds() - c1;
    peerWall += WallSeconds() - w1;
  }
  const double frames = static_cast<double>(state.iterations());
  state.counters["ours_ms"] = 1e3 * oursCpu / frames;
  state.counters["llvmpipe_ms"] = 1e3 * peerCpu / frames;
  state.counters["x_llvmpipe_cpu"] = oursCpu > 0 ? peerCpu / oursCpu : 0;
  state.counters["x_llvmpipe_wall"] = oursWall > 0 ? peerWall / oursWall : 0;
}

#endif

}  // namespace

int main(int argc, char** argv) {
  // Size by size, ours and the peer one after the other, then by turns, so a
  // change of load between sizes moves both alike.
  std::vector<benchgrowth::Pair> pairs;
  for (int sides : kSides) {
    // Process CPU time, since the peer works in llvmpipe's own thread.
    benchmark::RegisterBenchmark("BM_PavixMeshThroughPipeline", BM_PavixMeshThroughPipeline)
        ->Arg(sides)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
#ifdef HAVE_EGL
    benchmark::RegisterBenchmark("BM_PavixMeshLlvmpipe", BM_PavixMeshLlvmpipe)
        ->Arg(sides)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
    benchmark::RegisterBenchmark("BM_PavixMeshAlternating", BM_PavixMeshAlternating)
        ->Arg(sides)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
#endif
    pairs.push_back({"BM_PavixMeshThroughPipeline/" + std::to_string(sides), "BM_PavixMeshLlvmpipe/" + std::to_string(sides)});
  }
  return benchgrowth::Main(argc, argv, pairs);
}
