// Frames per second drawing a full demo room at 736 x 480 through the 3D
// engine and the emulated 3D device on one core, and the same triangles
// through Mesa's llvmpipe (EGL, surfaceless, one rasterizer thread unless
// LP_NUM_THREADS says otherwise) as a peer, reported as a ratio.
//
// Every figure is process CPU time (llvmpipe's own thread included), since
// the machine may be shared; BM_DemoRoomAlternating draws our frame and the
// peer's by turns, so that both see the same load, and the table ends with
// the ratios of the benchmarks run apart.
//
// The room is the demo data's own: its block meshes (tools/demodata) laid
// out over the 17 x 17 blocks the room view draws around its target, painted
// with the demo texture banks, seen from the room camera's distance.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "datafiles/mtf_archive.h"
#include "platform/core/paths.h"
#include "platform/video/device3d.h"
#include "platform/video/recorder.h"
#include "platform/video/render_state.h"
#include "platform/video/window.h"
#include "quest/room.h"
#include "quest/tile_palette.h"
#include "render/cdd.h"
#include "render/tga_image.h"
#include "demo_start_dir.h"
#include "growth_report.h"
#include "tools/render_png/demo_scene.h"

#ifdef HAVE_EGL
#include "gl_peer.h"
#endif

namespace pv = platform::video;

namespace {

constexpr int kWidth = 736;
constexpr int kHeight = 480;

// The demo start directory and the display stack, made once; the two rooms.
struct World {
  DemoStartDir demo{"render_bench"};
  DisplayStack display;
  DemoScene rooms[2];
  bool ok = false;

  World() {
    if (!demo.Ok() || !display.Open(kWidth, kHeight)) return;
    for (int i = 0; i < 2; ++i) {
      if (!rooms[i].LoadBlocks()) return;
      rooms[i].LayOutRoom(i == 1);
    }
    ok = true;
  }
  void Draw(int room) { rooms[room].DrawRoom(display.Engine(), kWidth, kHeight); }
};

World& TheWorld() {
  static World world;
  return world;
}

// One frame's primitives as the device saw them.
struct Capture {
  std::vector<pv::RecordedPrimitive> primitives;
  long long triangles = 0;
};

Capture CaptureFrame(World& w, int room) {
  pv::ScopedRecorder rec;
  w.Draw(room);
  Capture c;
  c.primitives = pv::Recorder::Primitives();
  for (const auto& p : c.primitives)
    if (p.type == pv::PrimitiveType::TriangleList || p.type == pv::PrimitiveType::TriangleFan)
      c.triangles += p.type == pv::PrimitiveType::TriangleList ? static_cast<long long>(p.vertices.size()) / 3
                                                               : static_cast<long long>(p.vertices.size()) - 2;
  return c;
}

// Frames per second measured so far, by room, for the ratios.
double g_engineFps[2] = {0, 0};
double g_deviceFps[2] = {0, 0};

// CPU seconds of the whole process, llvmpipe's threads included.
double Seconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

void BM_DemoRoomThroughEngine(benchmark::State& state) {
  World& w = TheWorld();
  if (!w.ok) {
    state.SkipWithError("demo world could not be made");
    return;
  }
  const int dungeon = state.range(0) != 0;
  w.Draw(dungeon);  // loads the banks
  const Capture c = CaptureFrame(w, dungeon);
  const double start = Seconds();
  for (auto _ : state) {
    w.Draw(dungeon);
    w.display.Device().Show();
  }
  g_engineFps[dungeon] = static_cast<double>(state.iterations()) / (Seconds() - start);
  state.counters["fps"] = g_engineFps[dungeon];
  state.counters["triangles"] = static_cast<double>(c.triangles);
  state.counters["blocks"] = static_cast<double>(w.rooms[dungeon].BlockCount());
  state.SetLabel(dungeon ? "dungeon room" : "land room");
}

// The captured primitives straight into the device: its rasterizer alone.
void BM_DemoRoomDeviceOnly(benchmark::State& state) {
  World& w = TheWorld();
  if (!w.ok) {
    state.SkipWithError("demo world could not be made");
    return;
  }
  const int dungeon = state.range(0) != 0;
  const Capture c = CaptureFrame(w, dungeon);
  pv::Device3D* dev = Cdd::Device();
  const double start = Seconds();
  for (auto _ : state) {
    w.display.Device().FillRectangle(0, 0, kWidth, kHeight, CColor());
    w.display.Device().beginRender(1);
    pv::RenderStates current = dev->States();
    for (const auto& p : c.primitives) {
      for (int s = 0; s < pv::kRenderStateCount; ++s) {
        if (current[s] != p.states[s]) {
          dev->SetRenderState(s, p.states[s]);
          current[s] = p.states[s];
        }
      }
      dev->DrawPrimitive(p.type, p.vertices.data(), static_cast<int>(p.vertices.size()), p.flags);
    }
    w.display.Device().endRender();
  }
  g_deviceFps[dungeon] = static_cast<double>(state.iterations()) / (Seconds() - start);
  state.counters["fps"] = g_deviceFps[dungeon];
  state.counters["triangles"] = static_cast<double>(c.triangles);
  state.SetLabel(dungeon ? "dungeon room" : "land room");
}

// A full redraw of a room in the room view during a paint drag: each frame
// paints the next block along a row (re-tiling it and its neighbours) and
// draws the whole room as the room edit mode does, against the device's own
// budget (its rasterizer alone on the land room's triangles). The argument
// is how far around the target the room is filled (8: the drawn window; 31:
// the whole grid), which must not change the cost.
void BM_RoomRedrawDuringPaintDrag(benchmark::State& state) {
  World& w = TheWorld();
  if (!w.ok) {
    state.SkipWithError("demo world could not be made");
    return;
  }
  auto room = std::make_unique<CRoom>();
  room->LoadBlockSet();
  const int grass = room->blockSet.FindName("grass"), hedge = room->blockSet.FindName("hedge");
  if (grass < 0 || hedge < 0) {
    state.SkipWithError("the demo block set lacks its blocks");
    return;
  }
  const int reach = static_cast<int>(state.range(0));
  for (int row = 32 - reach; row <= 32 + reach; ++row) {
    for (int column = 32 - reach; column <= 32 + reach; ++column) {
      if (!CRoom::IsBlockInGrid(column, row)) continue;
      const bool edge = std::abs(row - 32) == reach || std::abs(column - 32) == reach;
      room->Block(column, row).fileName = room->blockSet.GetPath(edge ? hedge : grass);
    }
  }
  TilePalette().BuildOutdoor();
  room->tool = CRoom::kToolDraw;
  C3DEngine& engine = w.display.Engine();
  // The room view's focal length, for this benchmark only: the demo rooms are drawn with the engine's own.
  const float focalX = engine.FocalX(), focalY = engine.FocalY();
  engine.SetViewportRect(0, 0, kWidth, kHeight);
  const TileCategory* style = TilePalette().DrawStyle();
  int step = 0;
  const double start = Seconds();
  for (auto _ : state) {
    const int column = 26 + step % 12, row = 30 + (step / 12) % 4;
    ++step;
    room->PaintBlock(column, row, style->base, style->key);
    engine.FillRect(0, 0, kWidth, kHeight, CColor(128, 128, 128));
    engine.SetFocal(kWidth * 0.78125f, kWidth * 0.78125f);
    room->Render3D(&w.display.Device());
    w.display.Device().Show();
  }
  const double fps = static_cast<double>(state.iterations()) / (Seconds() - start);
  engine.SetFocal(focalX, focalY);
  state.counters["fps"] = fps;
  if (g_deviceFps[0] > 0) state.counters["x_device_budget"] = fps / g_deviceFps[0];
  state.SetLabel(reach >= 31 ? "whole grid filled" : "drawn window filled");
}

#ifdef HAVE_EGL

using benchpeer::GlPeer;

// The texture of a device handle, made from the same file and conversion.
GLuint TextureFor(std::uint32_t handle) {
  static std::map<std::uint32_t, GLuint> textures_;
  if (handle == 0) return 0;
  if (auto it = textures_.find(handle); it != textures_.end()) return it->second;
  GLuint tex = 0;
  for (int slot = 0; slot < kCddTextureSlots; ++slot) {
    if (Cdd::TextureSlotHandle(slot) != handle) continue;
    CTgaImage img;
    if (!img.Load(Cdd::TextureSlotName(slot).c_str())) break;
    img.FlipRows();
    img.ConvertTo16(0xF800, 0x07E0, 0x001F, 0);
    tex = benchpeer::UploadTexture565(img.GetWidth(), img.GetHeight(), img.GetData());
    break;
  }
  textures_[handle] = tex;
  return tex;
}

GlPeer* ThePeer() {
  static std::unique_ptr<GlPeer> peer = [] {
    auto p = std::make_unique<GlPeer>(kWidth, kHeight);
    if (!p->Init()) p.reset();
    return p;
  }();
  return peer.get();
}

// The peer loaded with the frame of the benchmark's room; null (the run
// skipped) without the world or an EGL display.
GlPeer* PeerWithRoom(benchmark::State& state, Capture& c) {
  World& w = TheWorld();
  GlPeer* peer = ThePeer();
  if (!w.ok || !peer) {
    state.SkipWithError("no EGL display with llvmpipe");
    return nullptr;
  }
  const int dungeon = state.range(0) != 0;
  w.Draw(dungeon);  // loads the banks
  c = CaptureFrame(w, dungeon);
  peer->Load(c.primitives, [](const pv::RecordedPrimitive& p) { return TextureFor(p.states[pv::kRsTextureHandle]); });
  return peer;
}

void BM_DemoRoomLlvmpipe(benchmark::State& state) {
  Capture c;
  GlPeer* peer = PeerWithRoom(state, c);
  if (!peer) return;
  const int dungeon = state.range(0) != 0;
  const double start = Seconds();
  for (auto _ : state) peer->DrawFrame();
  const double fps = static_cast<double>(state.iterations()) / (Seconds() - start);
  // How many times faster than the peer: the device alone on the same
  // triangles, and the whole frame through the engine.
  if (g_deviceFps[dungeon] > 0) state.counters["device_x_llvmpipe"] = g_deviceFps[dungeon] / fps;
  if (g_engineFps[dungeon] > 0) state.counters["engine_x_llvmpipe"] = g_engineFps[dungeon] / fps;
  state.counters["fps"] = fps;
  state.counters["triangles"] = static_cast<double>(c.triangles);
  state.counters["batches"] = static_cast<double>(peer->BatchCount());
  state.SetLabel(std::string(dungeon ? "dungeon room, " : "land room, ") + peer->RendererName());
}

// Our whole frame through the engine and the peer's frame of the same
// triangles, by turns, each timed on its own: the ratio of their frame rates.
void BM_DemoRoomAlternating(benchmark::State& state) {
  Capture c;
  GlPeer* peer = PeerWithRoom(state, c);
  if (!peer) return;
  World& w = TheWorld();
  const int dungeon = state.range(0) != 0;
  double ours = 0, theirs = 0;
  for (auto _ : state) {
    const double t0 = Seconds();
    w.Draw(dungeon);
    w.display.Device().Show();
    const double t1 = Seconds();
    peer->DrawFrame();
    ours += t1 - t0;
    theirs += Seconds() - t1;
  }
  const double frames = static_cast<double>(state.iterations());
  state.counters["fps"] = ours > 0 ? frames / ours : 0;
  state.counters["llvmpipe_fps"] = theirs > 0 ? frames / theirs : 0;
  state.counters["x_llvmpipe"] = ours > 0 ? theirs / ours : 0;
  state.SetLabel(dungeon ? "dungeon room" : "land room");
}

#endif

}  // namespace

// Arguments: 0 the land room, 1 the dungeon room.
BENCHMARK(BM_DemoRoomThroughEngine)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_DemoRoomDeviceOnly)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_RoomRedrawDuringPaintDrag)->Arg(8)->Arg(31)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
#ifdef HAVE_EGL
BENCHMARK(BM_DemoRoomLlvmpipe)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_DemoRoomAlternating)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
#endif

int main(int argc, char** argv) {
  return benchgrowth::Main(argc, argv,
                           {{"BM_DemoRoomThroughEngine/0", "BM_DemoRoomLlvmpipe/0"},
                            {"BM_DemoRoomThroughEngine/1", "BM_DemoRoomLlvmpipe/1"},
                            {"BM_DemoRoomDeviceOnly/0", "BM_DemoRoomLlvmpipe/0"},
                            {"BM_DemoRoomDeviceOnly/1", "BM_DemoRoomLlvmpipe/1"}});
}
