// Frames per second of a full demo room drawn by the software renderer into
// the display device's back surface, against the device renderer (the engine
// and the emulated 3D device) on the same room, one core, at growing sizes.
// The software run reports its speed as a ratio to the device run of the
// same room and size ("soft_x_device").
#include <benchmark/benchmark.h>

#include <chrono>
#include <map>
#include <string>
#include <utility>

#include "demo_start_dir.h"
#include "tools/render_png/demo_scene.h"

namespace {

using Kind = DisplayStack::Renderer;

DemoStartDir& Demo() {
  static DemoStartDir demo("soft_render_bench");
  return demo;
}

// Device frames per second by (room, width), for the ratios.
std::map<std::pair<int, int>, double> g_deviceFps;

double Seconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void DrawRooms(benchmark::State& state, Kind kind) {
  if (!Demo().Ok()) {
    state.SkipWithError("demo data could not be made");
    return;
  }
  const int dungeon = static_cast<int>(state.range(0));
  const int width = static_cast<int>(state.range(1)), height = width * 480 / 736;
  DisplayStack display;
  DemoScene scene;
  if (!display.Open(width, height, kind) || !scene.LoadBlocks()) {
    state.SkipWithError("the display stack could not be made");
    return;
  }
  scene.LayOutRoom(dungeon != 0);
  scene.DrawRoom(display.Engine(), display.Width(), display.Height());  // loads the banks
  const double start = Seconds();
  for (auto _ : state) {
    scene.DrawRoom(display.Engine(), display.Width(), display.Height());
    display.GetRenderer().Show();
  }
  const double fps = static_cast<double>(state.iterations()) / (Seconds() - start);
  if (kind == Kind::Device) g_deviceFps[{dungeon, width}] = fps;
  else if (g_deviceFps.count({dungeon, width})) state.counters["soft_x_device"] = fps / g_deviceFps[{dungeon, width}];
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.SetLabel(std::string(dungeon ? "dungeon " : "land ") + std::to_string(display.Width()) + "x" +
                 std::to_string(display.Height()));
}

void BM_RoomDeviceRenderer(benchmark::State& state) { DrawRooms(state, Kind::Device); }
void BM_RoomSoftwareRenderer(benchmark::State& state) { DrawRooms(state, Kind::Software); }

void Sizes(benchmark::internal::Benchmark* b) {
  for (int room : {0, 1})
    for (int width : {368, 736, 1472}) b->Args({room, width});
}

}  // namespace

// Arguments: the room (0 land, 1 dungeon) and the surface width (height in proportion).
BENCHMARK(BM_RoomDeviceRenderer)->Apply(Sizes)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RoomSoftwareRenderer)->Apply(Sizes)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
