// Frames per second drawing a full demo room at 368 x 240, 736 x 480 (the
// room view's size) and 1472 x 960 through the 3D engine and the emulated 3D
// device on one core, and the same triangles through Mesa's llvmpipe (EGL,
// surfaceless, one rasterizer thread unless LP_NUM_THREADS says otherwise,
// a shader written for each state the frame uses) as a peer, reported as a
// ratio. Before it is timed, the peer's frame is read back and compared with
// the device's frame of the same triangles (coverage and colour within the
// tolerances below); a peer that draws something else is not timed.
//
// The CPU column is process CPU time (llvmpipe's own thread included), the
// steadier figure on a shared machine; the table ends with the ratios in CPU
// and wall time. BM_DemoRoomAlternating draws our frame and the peer's by
// turns, so that both see the same load.
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
// The sizes the frame is measured at: half, the room view's own, double.
constexpr int kWidths[] = {368, 736, 1472};
int HeightFor(int width) { return width * kHeight / kWidth; }

// The peer's frame against ours (black is the background of both): at most
// kCoverageTolerance of the pixels covered in one frame only, and at most
// kBlocksOffShare of the 8 x 8 blocks with a mean colour more than
// kBlockTolerance (of 255, about two 5-6-5 steps) off in a channel.
constexpr double kCoverageTolerance = 0.01;
constexpr double kBlockTolerance = 16;
constexpr double kBlocksOffShare = 0.02;

// The demo start directory, and the display stack and two rooms for one size
// (made again when another size is asked for).
struct World {
  DemoStartDir demo{"render_bench"};
  std::unique_ptr<DisplayStack> display;
  DemoScene rooms[2];
  int width = 0;
  bool ok = false;

  // The display's global state is made while the world is, so it outlives the world at exit.
  World() { At(kWidth); }

  bool At(int w) {
    if (w == width) return ok;
    width = w;
    ok = false;
    // The meshes go before the display they were drawn with.
    for (DemoScene& room : rooms) room = DemoScene();
    display.reset();
    display = std::make_unique<DisplayStack>();
    if (!demo.Ok() || !display->Open(w, HeightFor(w))) return false;
    for (int i = 0; i < 2; ++i) {
      if (!rooms[i].LoadBlocks()) return false;
      rooms[i].LayOutRoom(i == 1);
    }
    ok = true;
    return true;
  }
  void Draw(int room) { rooms[room].DrawRoom(display->Engine(), width, HeightFor(width)); }
};

World& TheWorld() {
  static World world;
  return world;
}

// The world at the benchmark's size (its second argument; the room view's when none).
World* WorldFor(benchmark::State& state) {
  World& w = TheWorld();
  const int width = state.range(1) > 0 ? static_cast<int>(state.range(1)) : kWidth;
  if (!w.At(width)) {
    state.SkipWithError("demo world could not be made");
    return nullptr;
  }
  return &w;
}

std::string Label(int dungeon, int width) {
  return std::string(dungeon ? "dungeon room " : "land room ") + std::to_string(width) + "x" +
         std::to_string(HeightFor(width));
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

// The captured primitives straight into the device on a black surface: the
// frame the peer draws from the same triangles.
void ReplayFrame(World& w, const Capture& c) {
  pv::Device3D* dev = Cdd::Device();
  w.display->Device().FillRectangle(0, 0, w.width, HeightFor(w.width), CColor());
  w.display->Device().beginRender(1);
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
  w.display->Device().endRender();
}

// CPU seconds of the whole process, llvmpipe's threads included.
double Seconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

void BM_DemoRoomThroughEngine(benchmark::State& state) {
  World* w = WorldFor(state);
  if (!w) return;
  const int dungeon = state.range(0) != 0;
  w->Draw(dungeon);  // loads the banks
  const Capture c = CaptureFrame(*w, dungeon);
  const double start = Seconds();
  for (auto _ : state) {
    w->Draw(dungeon);
    w->display->Device().Show();
  }
  state.counters["fps"] = static_cast<double>(state.iterations()) / (Seconds() - start);
  state.counters["triangles"] = static_cast<double>(c.triangles);
  state.counters["blocks"] = static_cast<double>(w->rooms[dungeon].BlockCount());
  state.SetLabel(Label(dungeon, w->width));
}

// The captured primitives straight into the device: its rasterizer alone.
void BM_DemoRoomDeviceOnly(benchmark::State& state) {
  World* w = WorldFor(state);
  if (!w) return;
  const int dungeon = state.range(0) != 0;
  w->Draw(dungeon);
  const Capture c = CaptureFrame(*w, dungeon);
  const double start = Seconds();
  for (auto _ : state) ReplayFrame(*w, c);
  state.counters["fps"] = static_cast<double>(state.iterations()) / (Seconds() - start);
  state.counters["triangles"] = static_cast<double>(c.triangles);
  state.SetLabel(Label(dungeon, w->width));
}

// Frames per second of the land room in the drawn window, for the paint-drag budget.
double g_deviceLandFps = 0;

// A full redraw of a room in the room view during a paint drag: each frame
// paints the next block along a row (re-tiling it and its neighbours) and
// draws the whole room as the room edit mode does, against the device's own
// budget (its rasterizer alone on the land room's triangles). The argument
// is how far around the target the room is filled (8: the drawn window; 31:
// the whole grid), which must not change the cost.
void BM_RoomRedrawDuringPaintDrag(benchmark::State& state) {
  World& w = TheWorld();
  if (!w.At(kWidth)) {
    state.SkipWithError("demo world could not be made");
    return;
  }
  if (g_deviceLandFps <= 0) {
    w.Draw(0);
    const Capture c = CaptureFrame(w, 0);
    const double t0 = Seconds();
    int frames = 0;
    for (; frames < 20 || Seconds() - t0 < 0.2; ++frames) ReplayFrame(w, c);
    g_deviceLandFps = frames / (Seconds() - t0);
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
  C3DEngine& engine = w.display->Engine();
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
    room->Render3D(&w.display->Device());
    w.display->Device().Show();
  }
  const double fps = static_cast<double>(state.iterations()) / (Seconds() - start);
  engine.SetFocal(focalX, focalY);
  state.counters["fps"] = fps;
  state.counters["x_device_budget"] = fps / g_deviceLandFps;
  state.SetLabel(reach >= 31 ? "whole grid filled" : "drawn window filled");
}

#ifdef HAVE_EGL

using benchpeer::GlPeer;

// The texture of a device handle, made from the same file and conversion
// (by file name, which stays when the display is made again for another size).
GLuint TextureFor(std::uint32_t handle) {
  static std::map<std::string, GLuint> textures;
  if (handle == 0) return 0;
  for (int slot = 0; slot < kCddTextureSlots; ++slot) {
    if (Cdd::TextureSlotHandle(slot) != handle) continue;
    const std::string name = Cdd::TextureSlotName(slot);
    if (auto it = textures.find(name); it != textures.end()) return it->second;
    GLuint tex = 0;
    CTgaImage img;
    if (img.Load(name.c_str())) {
      img.FlipRows();
      img.ConvertTo16(0xF800, 0x07E0, 0x001F, 0);
      tex = benchpeer::UploadTexture565(img.GetWidth(), img.GetHeight(), img.GetData());
    }
    textures[name] = tex;
    return tex;
  }
  return 0;
}

// One peer for each size (sharing their textures).
GlPeer* ThePeer(int width) {
  static std::map<int, std::unique_ptr<GlPeer>> peers;
  auto& peer = peers[width];
  if (!peer) {
    peer = std::make_unique<GlPeer>(width, HeightFor(width));
    if (!peer->Init()) {
      peer.reset();
      return nullptr;
    }
  }
  peer->MakeCurrent();
  return peer.get();
}

// The peer loaded with the frame of the benchmark's room and its frame
// checked against the device's; null (the run skipped) without the world,
// without an EGL display, or when the peer's frame is not ours.
GlPeer* PeerWithRoom(benchmark::State& state, Capture& c) {
  World* w = WorldFor(state);
  if (!w) return nullptr;
  GlPeer* peer = ThePeer(w->width);
  if (!peer) {
    state.SkipWithError("no EGL display with llvmpipe");
    return nullptr;
  }
  const int dungeon = state.range(0) != 0;
  w->Draw(dungeon);  // loads the banks
  c = CaptureFrame(*w, dungeon);
  if (!peer->Load(c.primitives, [](const pv::RecordedPrimitive& p) { return TextureFor(p.states[pv::kRsTextureHandle]); })) {
    state.SkipWithError("the peer could not load the frame");
    return nullptr;
  }
  ReplayFrame(*w, c);
  const std::vector<std::uint8_t> ours = w->display->ReadRgb();
  peer->DrawFrame();
  const std::vector<std::uint8_t> theirs = peer->ReadRgb();
  const benchpeer::FrameDifference d = benchpeer::CompareFrames(ours, theirs, w->width, kBlockTolerance);
  state.counters["coverage_mismatch"] = d.coverageMismatch;
  state.counters["blocks_off"] = d.blocksOff;
  state.counters["mean_channel_error"] = d.meanChannelError;
  state.counters["shaders"] = static_cast<double>(peer->ShaderCount());
  if (theirs.empty() || d.covered < 0.1 || d.coverageMismatch > kCoverageTolerance || d.blocksOff > kBlocksOffShare) {
    char why[200];
    std::snprintf(why, sizeof why, "the peer's frame is not ours: covered %.3f, coverage mismatch %.4f, blocks off %.4f",
                  d.covered, d.coverageMismatch, d.blocksOff);
    state.SkipWithError(why);
    return nullptr;
  }
  return peer;
}

void BM_DemoRoomLlvmpipe(benchmark::State& state) {
  Capture c;
  GlPeer* peer = PeerWithRoom(state, c);
  if (!peer) return;
  const int dungeon = state.range(0) != 0;
  const double start = Seconds();
  for (auto _ : state) peer->DrawFrame();
  state.counters["fps"] = static_cast<double>(state.iterations()) / (Seconds() - start);
  state.counters["triangles"] = static_cast<double>(c.triangles);
  state.counters["batches"] = static_cast<double>(peer->BatchCount());
  state.SetLabel(Label(dungeon, TheWorld().width) + ", " + peer->RendererName() + ", " + peer->ShaderNames());
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
    w.display->Device().Show();
    const double t1 = Seconds();
    peer->DrawFrame();
    ours += t1 - t0;
    theirs += Seconds() - t1;
  }
  const double frames = static_cast<double>(state.iterations());
  state.counters["fps"] = ours > 0 ? frames / ours : 0;
  state.counters["llvmpipe_fps"] = theirs > 0 ? frames / theirs : 0;
  state.counters["x_llvmpipe"] = ours > 0 ? theirs / ours : 0;
  state.SetLabel(Label(dungeon, w.width));
}

#endif

void Sizes(benchmark::internal::Benchmark* b) {
  for (int room : {0, 1})
    for (int width : kWidths) b->Args({room, width});
}

}  // namespace

// Arguments: the room (0 land, 1 dungeon) and the surface width (height in proportion).
BENCHMARK(BM_DemoRoomThroughEngine)->Apply(Sizes)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_DemoRoomDeviceOnly)->Apply(Sizes)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
#ifdef HAVE_EGL
BENCHMARK(BM_DemoRoomLlvmpipe)->Apply(Sizes)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_DemoRoomAlternating)->Args({0, kWidth})->Args({1, kWidth})->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
#endif
BENCHMARK(BM_RoomRedrawDuringPaintDrag)->Arg(8)->Arg(31)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

int main(int argc, char** argv) {
  std::vector<benchgrowth::Pair> pairs;
  for (int room : {0, 1})
    for (int width : kWidths)
      for (const char* ours : {"BM_DemoRoomThroughEngine/", "BM_DemoRoomDeviceOnly/"}) {
        const std::string args = std::to_string(room) + "/" + std::to_string(width);
        pairs.push_back({ours + args, "BM_DemoRoomLlvmpipe/" + args});
      }
  return benchgrowth::Main(argc, argv, pairs);
}
