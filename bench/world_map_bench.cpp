// One world-map frame through the 3D engine and the emulated 3D device:
// 30 monster nodes and 200 links, in milliseconds a frame, with a growing
// number of distinct monsters among the 30 nodes. The thumbnail column holds
// five pictures, so up to five distinct monsters are rendered once a frame
// and each further one again whenever it comes up. The peer draws the same
// distinct models straight into the view, once each, with no map around
// them: the ratio is what the map frame costs over rendering its models.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "datafiles/monster_class_table.h"
#include "demo_start_dir.h"
#include "quest/graph_node.h"
#include "quest/quest_lists.h"
#include "quest/world_graph.h"
#include "quest/world_map_drawing.h"
#include "render/camera.h"
#include "render/skeleton_bank.h"
#include "render/skinned_model.h"
#include "tools/render_png/demo_scene.h"

namespace {

constexpr int kViewWidth = 1024;
constexpr int kViewHeight = 768;
constexpr int kNodes = 30;
constexpr int kLinks = 200;

void Le16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Le32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void Text(std::vector<std::uint8_t>& out, const std::string& s, std::size_t n) {
  out.insert(out.end(), s.begin(), s.end());
  out.insert(out.end(), n - s.size(), 0);
}

// Thirty classes "m00" to "m29" drawn with the demo's orc and wolf skeletons in turn.
std::vector<std::uint8_t> Classes() {
  std::vector<std::uint8_t> out;
  Le16(out, 1);
  Le32(out, kNodes);
  for (int i = 0; i < kNodes; ++i) {
    char name[8];
    std::snprintf(name, sizeof name, "m%02d", i);
    Le16(out, 1);
    Text(out, name, 32);
    Text(out, "", 32);
    Le16(out, 1);
    Le16(out, 0);
    for (int k = 0; k < 6; ++k) Le32(out, 0);
    for (int k = 0; k < 3; ++k) Le16(out, 0);
    for (int k = 0; k < 12; ++k) Le32(out, 0);
    Text(out, i % 2 ? "wolf" : "orc", 64);
    for (int k = 0; k < 4; ++k) out.push_back(0);  // f32 0
    Le16(out, 0);
    Le32(out, 0);
    Le32(out, 0);
  }
  return out;
}

struct World {
  DemoStartDir demo{"world_map_bench"};
  DisplayStack display;
  bool ok = false;

  World() {
    if (!demo.Ok() || !display.Open(kViewWidth + 96, kViewHeight)) return;
    display.GetRenderer().SetScreenSize(kViewWidth, kViewHeight, 0);
    display.Engine().SetViewportSize(kViewWidth, kViewHeight);
    const std::vector<std::uint8_t> classes = Classes();
    if (!g_monsterClassTable.Read(std::span<const std::uint8_t>(classes))) return;
    g_skeletonBank.Rebuild();
    ok = true;
  }
};

World& TheWorld() {
  static World world;
  return world;
}

// 30 nodes on a 6 x 5 grid naming `distinct` classes in turn, and 200
// links between them.
void BuildMap(int distinct) {
  ResetQuestState();
  std::vector<GraphNode*> nodes;
  for (int i = 0; i < kNodes; ++i) {
    char name[8];
    std::snprintf(name, sizeof name, "m%02d", i % distinct);
    GraphNode* n = NewGraphNode(Quest().graphNodes);
    n->Set(kNodeMonsterParam, name, 40 + (i % 6) * 160, 40 + (i / 6) * 140, nullptr);
    nodes.push_back(n);
  }
  for (int i = 0; i < kLinks; ++i)
    AddGraphLink(nodes[i % kNodes], nodes[(i * 7 + 3) % kNodes], nullptr, "link");
}

WorldMapFrame Frame() {
  WorldMapFrame f;
  f.visible = {0, 0, kViewWidth, kViewHeight};
  f.view = {0, 0, kViewWidth, kViewHeight};
  return f;
}

// The distinct models of the map, each once, built as the map builds them.
std::vector<GraphNode*> DistinctModels() {
  std::vector<GraphNode*> models;
  for (GraphNode* n = Quest().graphNodes; n; n = n->next) {
    n->SetupModel(false);
    bool seen = false;
    for (GraphNode* m : models) seen = seen || std::string(m->name) == n->name;
    if (!seen && n->model) models.push_back(n);
  }
  return models;
}

// The peer: each distinct model drawn once into the view, nothing else.
void DrawModelsOnly(C3DEngine& engine, const std::vector<GraphNode*>& models) {
  CCamera camera;
  camera.position = CVector3{0.0f, 400.0f, 3300.0f};
  camera.LookAt(0.0f, 0.0f, 0.0f);
  engine.BeginFrame(0);
  engine.SetViewportRect(0, 0, kViewWidth, kViewHeight);
  for (GraphNode* n : models) n->model->Draw(camera);
  engine.FlushBuckets();
  engine.EndFrame();
}

void BM_MapFrame(benchmark::State& state) {
  World& w = TheWorld();
  if (!w.ok) {
    state.SkipWithError("no display or demo data");
    return;
  }
  BuildMap(static_cast<int>(state.range(0)));
  const WorldMapFrame frame = Frame();
  const std::vector<GraphNode*> models = DistinctModels();
  double mapSeconds = 0.0, peerSeconds = 0.0;
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    DrawWorldMap(&w.display.Device(), frame);
    const auto t1 = std::chrono::steady_clock::now();
    DrawModelsOnly(w.display.Engine(), models);
    const auto t2 = std::chrono::steady_clock::now();
    const double map = std::chrono::duration<double>(t1 - t0).count();
    mapSeconds += map;
    peerSeconds += std::chrono::duration<double>(t2 - t1).count();
    state.SetIterationTime(map);
  }
  state.counters["peer_ms"] = peerSeconds * 1000.0 / static_cast<double>(state.iterations());
  state.counters["map_over_peer"] = peerSeconds > 0.0 ? mapSeconds / peerSeconds : 0.0;
  ResetQuestState();
}

BENCHMARK(BM_MapFrame)->Arg(1)->Arg(5)->Arg(15)->Arg(30)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
