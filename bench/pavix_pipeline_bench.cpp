// Frames per second of a textured, lit mesh at 1024 x 768 through the mesh
// editor's pipeline and display device on one core, at growing side counts
// (10,000 sides is the reference size), and the same triangles through
// Mesa's llvmpipe with one thread as the peer, reported as a ratio.
#include <benchmark/benchmark.h>

#include <chrono>
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

#ifdef HAVE_EGL
#include "gl_peer.h"
#endif

namespace pv = platform::video;

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

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
  std::string dir;
  pv::Window window{pv::Rect{0, 0, kWidth, kHeight}};
  std::unique_ptr<pavix::CRenderPipeline> pipeline;
  bool ok = false;

  Scene() {
    char tmpl[] = "/tmp/pavix_bench_XXXXXX";
    if (!mkdtemp(tmpl)) return;
    dir = tmpl;
    platform::ChangeDirectory(dir);
    platform::SetStartDirectory(dir);
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
    std::FILE* f = std::fopen((dir + "/K0001_bench.TGA").c_str(), "wb");
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

double Seconds() { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); }

std::map<int, double> g_pipelineFps;

void BM_PavixMeshThroughPipeline(benchmark::State& state) {
  Scene& scene = TheScene();
  if (!scene.ok) {
    state.SkipWithError("no display");
    return;
  }
  pavix::CShape shape = Grid(static_cast<int>(state.range(0)));
  scene.Frame(shape);  // loads the texture
  const double start = Seconds();
  for (auto _ : state) scene.Frame(shape);
  g_pipelineFps[static_cast<int>(state.range(0))] = static_cast<double>(state.iterations()) / (Seconds() - start);
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["triangles"] = static_cast<double>(pavix::Cdd::Stats().triangles);
  state.counters["sides"] = static_cast<double>(shape.SideCount());
}

#ifdef HAVE_EGL

void BM_PavixMeshLlvmpipe(benchmark::State& state) {
  Scene& scene = TheScene();
  static std::unique_ptr<benchpeer::GlPeer> peer = [] {
    auto p = std::make_unique<benchpeer::GlPeer>(kWidth, kHeight);
    if (!p->Init()) p.reset();
    return p;
  }();
  if (!scene.ok || !peer) {
    state.SkipWithError("no EGL display with llvmpipe");
    return;
  }
  pavix::CShape shape = Grid(static_cast<int>(state.range(0)));
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
  peer->Load(primitives, [](const pv::RecordedPrimitive&) { return texture; });
  const double start = Seconds();
  for (auto _ : state) peer->DrawFrame();
  const double fps = static_cast<double>(state.iterations()) / (Seconds() - start);
  const int sides = static_cast<int>(state.range(0));
  if (g_pipelineFps[sides] > 0) state.counters["pipeline_x_llvmpipe"] = g_pipelineFps[sides] / fps;
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.SetLabel(peer->RendererName());
}

#endif

}  // namespace

// Argument: the side count. Wall-clock time, since the peer works in llvmpipe's own thread.
BENCHMARK(BM_PavixMeshThroughPipeline)->Arg(2500)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond)->UseRealTime();
#ifdef HAVE_EGL
BENCHMARK(BM_PavixMeshLlvmpipe)->Arg(2500)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond)->UseRealTime();
#endif

BENCHMARK_MAIN();
