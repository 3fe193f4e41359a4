#include "tools/render_png/demo_scene.h"

#include <cstdlib>

#include "platform/video/surface.h"
#include "render/cdd_renderer.h"
#include "render/mesh.h"
#include "render/skeleton_bank.h"
#include "render/skinned_model.h"
#include "render/soft_renderer.h"
#include "tools/demodata/block_meshes.h"

namespace {

constexpr float kBlock = 512.0f;
const CColor kBackground(0x67, 0x69, 0x81);
constexpr float kMonsterZoom = 2.2f;

std::uint32_t Mix(int x, int y) {
  std::uint32_t h = static_cast<std::uint32_t>(x) * 73856093u ^ static_cast<std::uint32_t>(y) * 19349663u;
  h ^= h >> 13;
  h *= 0x5bd1e995u;
  return h ^ (h >> 15);
}

std::uint8_t Expand(std::uint32_t v, int bits) {
  return static_cast<std::uint8_t>(bits >= 8 ? v : (v << (8 - bits)) | (v >> (2 * bits - 8)));
}

}  // namespace

DisplayStack::~DisplayStack() {
  if (g_3DEngine == engine_.get()) g_3DEngine = nullptr;
  engine_.reset();
  renderer_.reset();
  CCddRenderer::ResetState();
  cdd_.reset();
  if (platform::video::MainWindow() == &window_) platform::video::SetMainWindow(nullptr);
}

bool DisplayStack::Open(int width, int height, Renderer kind) {
  width_ = width;
  height_ = height;
  window_.SetClientRect({0, 0, width, height});
  platform::video::SetMainWindow(&window_);
  cdd_ = std::make_unique<Cdd>();
  cdd_->SetFormat(&window_, width, height, 16, 0, 0);
  if (kind == Renderer::Software) {
    if (!Cdd::BackSurface()) return false;
    renderer_ = std::make_unique<CSoftRenderer>();
  } else {
    if (!cdd_->HasDevice() || !cdd_->CanRenderInWindow()) return false;
    renderer_ = std::make_unique<CCddRenderer>();
  }
  width_ = cdd_->GetWidth();
  height_ = cdd_->GetHeight();
  renderer_->SetScreenSize(width_, height_, cdd_->GetPitch());
  renderer_->SetDevice(cdd_.get());
  renderer_->SetPixelFormat(static_cast<int>(cdd_->GetRedMask()), static_cast<int>(cdd_->GetGreenMask()),
                            static_cast<int>(cdd_->GetBlueMask()));
  engine_ = std::make_unique<C3DEngine>();
  g_3DEngine = engine_.get();
  engine_->SetRenderer(renderer_.get());
  engine_->SetFocal(500.0f, 500.0f);
  engine_->SetNearPlane(128.0f);
  engine_->SetFog(0);
  engine_->ResetTextureCache();
  return true;
}

std::vector<std::uint8_t> DisplayStack::ReadRgb() const { return BackSurfaceRgb(); }

std::vector<std::uint8_t> BackSurfaceRgb() {
  const platform::video::Surface* s = Cdd::BackSurface();
  std::vector<std::uint8_t> rgb;
  if (!s) return rgb;
  const auto& f = s->Format();
  const int rs = LowestSetBit(f.redMask), gs = LowestSetBit(f.greenMask), bs = LowestSetBit(f.blueMask);
  const int rb = MaskBitCount(f.redMask), gb = MaskBitCount(f.greenMask), bb = MaskBitCount(f.blueMask);
  rgb.reserve(static_cast<std::size_t>(s->Width()) * s->Height() * 3);
  for (int y = 0; y < s->Height(); ++y) {
    for (int x = 0; x < s->Width(); ++x) {
      const std::uint32_t p = s->PixelAt(x, y);
      rgb.push_back(Expand((p & f.redMask) >> rs, rb));
      rgb.push_back(Expand((p & f.greenMask) >> gs, gb));
      rgb.push_back(Expand((p & f.blueMask) >> bs, bb));
    }
  }
  return rgb;
}

bool DemoScene::LoadBlocks() {
  for (const DemoBlock& b : DemoBlocks()) {
    auto mesh = std::make_unique<CMesh>();
    if (!mesh->Load(EditorBlockPath(b).c_str())) return false;
    blocks_[b.name] = std::move(mesh);
  }
  return true;
}

void DemoScene::LayOutRoom(bool dungeon) {
  placed_.clear();
  for (int row = -8; row <= 8; ++row) {
    for (int col = -8; col <= 8; ++col) {
      const std::uint32_t h = Mix(col + 40, row + 40);
      const bool edge = std::abs(row) == 8 || std::abs(col) == 8;
      std::string name;
      if (!dungeon) {
        if (edge || (row == -3 && std::abs(col) > 2)) name = "hedge";
        else if (row == 1 || col == 0) name = "road";
        else if (h % 9 == 0) name = "menhir";
        else name = "grass";
      } else {
        if (edge || (col % 4 == 0 && row % 3 != 0) || (row % 5 == 0 && col % 3 == 1)) name = "wall";
        else if (h % 7 == 0) name = "pillar";
        else if (h % 11 == 0) name = "rubble";
        else name = "flagstone";
      }
      auto it = blocks_.find(name);
      if (it == blocks_.end()) continue;
      placed_.push_back({it->second.get(), CVector3(col * kBlock, 0.0f, row * kBlock),
                         static_cast<float>(h % 4) * 1.5707964f});
    }
  }
  // The room camera's distance: 3500 up and 5500 back from the target on the ground.
  camera_ = CCamera();
  camera_.position = CVector3(0.0f, 3500.0f, -5500.0f);
  camera_.LookAt(0.0f, -256.0f, 0.0f);
}

void DemoScene::DrawRoom(C3DEngine& engine, int width, int height) const {
  engine.SetViewportRect(0, 0, width - 1, height - 1);
  engine.FillRect(0, 0, width, height, kBackground);
  engine.BeginFrame(1);
  for (const Placed& p : placed_) p.mesh->Render(p.position, CVector3(0.0f, p.angle, 0.0f), camera_);
  engine.FlushBuckets();
  engine.EndFrame();
}

bool DemoScene::DrawMesh(C3DEngine& engine, int width, int height, const std::string& path) {
  CMesh mesh;
  if (!mesh.Load(path.c_str()) || mesh.Empty()) return false;
  CCamera camera;
  camera.position = CVector3(0.0f, 450.0f, -1000.0f);
  camera.LookAt(0.0f, 0.0f, 0.0f);
  engine.SetViewportRect(0, 0, width - 1, height - 1);
  engine.FillRect(0, 0, width, height, kBackground);
  engine.BeginFrame(1);
  mesh.RenderFitted(CVector3(0.0f, 0.0f, 0.0f), CVector3(0.0f, 0.6f, 0.0f), camera);
  engine.FlushBuckets();
  engine.EndFrame();
  return true;
}

CCamera DemoScene::MonsterCamera() {
  CCamera camera;
  camera.position = CVector3(-900.0f, 600.0f, -1400.0f);
  camera.LookAt(0.0f, 270.0f, 0.0f);
  return camera;
}

bool DemoScene::DrawMonster(C3DEngine& engine, int width, int height, const std::string& skeleton,
                            const std::string& animation, float timeMs) {
  const int index = g_skeletonBank.Add(skeleton);
  CSkeleton* s = g_skeletonBank.GetSkeleton(index);
  if (!s) return false;
  CSkinnedModel model;
  model.Build(skeleton, &s->parts, &s->skins, &s->models);
  const int anim = s->animations.Find(animation.c_str(), skeleton.c_str());
  if (model.BoneCount() == 0 || anim < 0) return false;
  s->animations.Animation(anim).Sample(model, timeMs, true);
  const CCamera camera = MonsterCamera();
  // A standing monster fills about four fifths of the picture's height.
  engine.SetFocal(kMonsterZoom * static_cast<float>(height), kMonsterZoom * static_cast<float>(height));
  engine.SetViewportRect(0, 0, width - 1, height - 1);
  engine.FillRect(0, 0, width, height, kBackground);
  engine.BeginFrame(1);
  model.Draw(camera);
  engine.FlushBuckets();
  engine.EndFrame();
  return true;
}
