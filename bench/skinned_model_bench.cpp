// Skinned monsters: Sample + Update + Draw of N demo orcs in one frame
// through the 3D engine and the emulated 3D device, in microseconds a
// model, at growing N. The peer draws the same vertices and faces as rigid
// meshes (one CMesh a bone, placed where the bone lies) in the same frame, so
// the ratio is what skinning costs over plain mesh drawing.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "demo_start_dir.h"
#include "render/camera.h"
#include "render/mesh.h"
#include "render/skeleton_bank.h"
#include "render/skinned_model.h"
#include "tools/render_png/demo_scene.h"

namespace {

constexpr int kWidth = 736;
constexpr int kHeight = 480;

struct World {
  DemoStartDir demo{"skinned_model_bench"};
  DisplayStack display;
  CSkeleton* skeleton = nullptr;
  std::vector<std::unique_ptr<CMesh>> boneMeshes;  // the peer's rigid copy of one orc
  bool ok = false;

  World() {
    if (!demo.Ok() || !display.Open(kWidth, kHeight)) return;
    skeleton = g_skeletonBank.GetSkeleton(g_skeletonBank.Add("orc"));
    if (!skeleton) return;
    CSkinnedModel model;
    model.Build("orc", &skeleton->parts, &skeleton->skins, &skeleton->models);
    for (const CBone& bone : model.bones) {
      auto mesh = std::make_unique<CMesh>();
      const CMatrix toModel = bone.matrix.Inverse();
      for (const CMeshVertex& v : bone.vertices) {
        CMeshVertex m = v;
        const CVector3 p = toModel.TransformPoint({v.x, v.y, v.z});
        m.x = p.x;
        m.y = p.y;
        m.z = p.z;
        mesh->vertices.push_back(m);
      }
      mesh->faces = bone.faces;
      boneMeshes.push_back(std::move(mesh));
    }
    ok = true;
  }
};

World& TheWorld() {
  static World world;
  return world;
}

// Where monster i of n stands: rows of 20 across the view.
CVector3 Spot(int i) { return {static_cast<float>((i % 20) - 10) * 150.0f, 0.0f, 1500.0f + (i / 20) * 300.0f}; }

CCamera Camera() {
  CCamera camera;
  camera.position = CVector3(0.0f, 900.0f, -1200.0f);
  camera.LookAt(0.0f, 0.0f, 2000.0f);
  return camera;
}

double Seconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double g_skinnedSeconds[1024];

void BM_SkinnedMonsters(benchmark::State& state) {
  World& w = TheWorld();
  if (!w.ok) {
    state.SkipWithError("no demo skeleton or display");
    return;
  }
  const int n = static_cast<int>(state.range(0));
  std::vector<CSkinnedModel> models(static_cast<std::size_t>(n));
  for (CSkinnedModel& m : models) m.Build("orc", &w.skeleton->parts, &w.skeleton->skins, &w.skeleton->models);
  const CAnimation& walk = w.skeleton->animations.Animation(w.skeleton->animations.Find("walk", "orc"));
  const CCamera camera = Camera();
  C3DEngine& engine = w.display.Engine();
  float t = 0.0f;
  const double start = Seconds();
  for (auto _ : state) {
    engine.SetViewportRect(0, 0, kWidth - 1, kHeight - 1);
    engine.BeginFrame(1);
    for (int i = 0; i < n; ++i) {
      CSkinnedModel& m = models[static_cast<std::size_t>(i)];
      walk.Sample(m, t + 37.0f * static_cast<float>(i), true);
      m.position = m.position + Spot(i);
      m.Draw(camera);
    }
    engine.FlushBuckets();
    engine.EndFrame();
    t += 16.0f;
  }
  const double perFrame = (Seconds() - start) / static_cast<double>(state.iterations());
  g_skinnedSeconds[n] = perFrame;
  state.counters["us_per_model"] = perFrame * 1e6 / n;
}

void BM_RigidMeshesPeer(benchmark::State& state) {
  World& w = TheWorld();
  if (!w.ok) {
    state.SkipWithError("no demo skeleton or display");
    return;
  }
  const int n = static_cast<int>(state.range(0));
  const CCamera camera = Camera();
  C3DEngine& engine = w.display.Engine();
  const double start = Seconds();
  for (auto _ : state) {
    engine.SetViewportRect(0, 0, kWidth - 1, kHeight - 1);
    engine.BeginFrame(1);
    for (int i = 0; i < n; ++i) {
      for (const auto& mesh : w.boneMeshes) mesh->Render(Spot(i) + CVector3(0, 256, 0), CVector3(), camera);
    }
    engine.FlushBuckets();
    engine.EndFrame();
  }
  const double perFrame = (Seconds() - start) / static_cast<double>(state.iterations());
  state.counters["us_per_model"] = perFrame * 1e6 / n;
  if (g_skinnedSeconds[n] > 0) state.counters["skinned_x_rigid"] = g_skinnedSeconds[n] / perFrame;
}

}  // namespace

BENCHMARK(BM_SkinnedMonsters)->Arg(10)->Arg(100)->Arg(400)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RigidMeshesPeer)->Arg(10)->Arg(100)->Arg(400)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
