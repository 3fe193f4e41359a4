#include "tools/render_png/pavix_mesh_view.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "meshedit/core/render_pipeline.h"
#include "meshedit/core/shape.h"
#include "platform/video/surface.h"
#include "platform/video/window.h"

struct PavixMeshView::Impl {
  platform::video::Window window;
  std::unique_ptr<pavix::CRenderPipeline> pipeline;
};

bool PavixMeshView::Open(int width, int height) {
  delete impl_;
  impl_ = new Impl{platform::video::Window(platform::video::Rect{0, 0, width, height}), nullptr};
  impl_->pipeline = std::make_unique<pavix::CRenderPipeline>();
  pavix::CRenderPipeline::SetTexturePath("\\rozizuzi\\bank\\K%04d_*.TGA", 0);
  pavix::CRenderPipeline::SetTexturePath("DATA\\BANKDATABASE\\BRIMVAULT\\K%04d_*.TGA", 1);
  if (!pavix::CRenderPipeline::SetFormat(&impl_->window, 0)) return false;
  width_ = width;
  height_ = height;
  return true;
}

PavixMeshView::~PavixMeshView() {
  if (impl_) impl_->pipeline.reset();
  delete impl_;
}

bool PavixMeshView::DrawFile(const std::string& path) {
  pavix::CShape shape;
  if (!shape.LoadO3d(path) || shape.sides.empty()) return false;
  Draw(shape);
  return true;
}

void PavixMeshView::Draw(pavix::CShape& shape) {
  using pavix::CRenderPipeline;
  // Far enough back that the whole mesh fits the smaller side of the picture.
  const pavix::CVector centre = shape.vertices.empty() ? pavix::CVector{} : shape.GetCentre();
  float radius = 1.0f;
  for (const auto& v : shape.vertices) radius = std::max(radius, pavix::Length(v.position - centre));
  const float distance = radius * 512.0f / (0.45f * static_cast<float>(std::min(width_, height_))) + radius;
  CRenderPipeline::SetFar(std::max(8192.0f, 4.0f * distance));
  CRenderPipeline::SetCamera(pavix::TranslationMatrix({centre.x, centre.y, centre.z - distance}));
  CRenderPipeline::ClearLights();
  pavix::CLight light;
  light.direction = {0.5f, -0.5f, 0.7f};
  pavix::Normalize(light.direction);
  CRenderPipeline::AddLight(light);
  // Every side lit and smooth, so the picture shows the mesh's shape.
  CRenderPipeline::SetFlagOverride(pavix::kSideLit | pavix::kRenderGouraud, 0xFFFFFFFFu);
  CRenderPipeline::NewFrame();
  if (!CRenderPipeline::BeginFrame(3, 0xFF203040u, 1.0f, 0)) return;
  CRenderPipeline::DrawShape(shape, pavix::IdentityMatrix());
  CRenderPipeline::FlushOrderingTable();
  CRenderPipeline::EndFrame();
}

std::vector<std::uint8_t> PavixMeshView::ReadRgb() const {
  std::vector<std::uint8_t> rgb;
  const auto& back = pavix::Cdd::State().back;
  if (!back) return rgb;
  const platform::video::PixelFormat& f = back->Format();
  auto channel = [](std::uint32_t p, std::uint32_t mask) -> std::uint8_t {
    if (!mask) return 0;
    const int shift = platform::video::MaskShift(mask), bits = platform::video::MaskBits(mask);
    const std::uint32_t v = (p & mask) >> shift, max = (1u << bits) - 1;
    return static_cast<std::uint8_t>((v * 255 + max / 2) / max);
  };
  rgb.reserve(static_cast<std::size_t>(width_) * height_ * 3);
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) {
      const std::uint32_t p = back->PixelAt(x, y);
      rgb.push_back(channel(p, f.redMask));
      rgb.push_back(channel(p, f.greenMask));
      rgb.push_back(channel(p, f.blueMask));
    }
  return rgb;
}
