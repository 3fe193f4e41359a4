#include "editor/preview_render.h"

#include <algorithm>
#include <cmath>

#include "editor/display_objects.h"
#include "editor/room_view.h"
#include "editor/surface_text_functions.h"
#include "platform/ui/surface_widget.h"
#include "platform/video/surface.h"
#include "platform/video/text_functions.h"
#include "render/bank_list.h"
#include "render/camera.h"
#include "render/cdd.h"
#include "render/engine_3d.h"

namespace kelvar {

PreviewFrame::PreviewFrame(QSize size, CColor background) {
  Cdd* cdd = Display().cdd;
  if (!g_3DEngine || !cdd || cdd->GetWidth() <= 0 || cdd->GetHeight() <= 0) return;
  size_ = QSize(std::clamp(size.width(), 0, cdd->GetWidth()), std::clamp(size.height(), 0, cdd->GetHeight()));
  if (size_.isEmpty()) return;
  usable_ = true;
  C3DEngine& engine = *g_3DEngine;
  engine.FillRect(0, 0, size_.width(), size_.height(), background);
  // The clip keeps a mesh that overflows the fitting inside the item.
  engine.SetViewportRect(0, 0, size_.width() - 1, size_.height() - 1);
  engine.BeginFrame(1);
}

PreviewFrame::~PreviewFrame() {
  if (!usable_) return;
  if (!flushed_) Flush();
  const ViewRect visible = VisibleViewRect();
  if (visible.Width() > 0 && visible.Height() > 0) g_3DEngine->SetViewportRect(0, 0, visible.Width(), visible.Height());
}

void PreviewFrame::Flush() {
  if (!usable_ || flushed_) return;
  flushed_ = true;
  g_3DEngine->FlushBuckets();
  g_3DEngine->EndFrame();
}

QImage PreviewFrame::Finish(std::string_view text, bool whiteText) {
  if (!usable_) return {};
  Flush();
  Cdd& cdd = *Display().cdd;
  platform::video::DrawContext* dc = cdd.GetDC();
  if (!dc || !dc->bits) {
    cdd.ReleaseDC(dc);
    return {};
  }
  if (!text.empty()) {
    auto* surfaceText = dynamic_cast<SurfaceTextFunctions*>(platform::video::GetTextFunctions());
    const std::uint8_t level = whiteText ? 255 : 0;
    if (surfaceText) surfaceText->SetTextColor(level, level, level);
    const platform::video::TextSize extent = platform::video::GetTextExtent(*dc, text);
    platform::video::TextOut(*dc, (size_.width() - extent.width) / 2, size_.height() - 4 - extent.height, text);
    if (surfaceText) surfaceText->SetTextColor(255, 255, 255);
  }
  const auto format =
      dc->format.bitsPerPixel == 32 ? platform::ui::PixelFormat::kXrgb8888 : platform::ui::PixelFormat::kRgb565;
  const int w = std::min(size_.width(), dc->width), h = std::min(size_.height(), dc->height);
  QImage image = platform::ui::WrapSurface(dc->bits, w, h, dc->pitch, format).copy();
  cdd.ReleaseDC(dc);
  return image;
}

float FittingDistance(float radius, QSize size) {
  // The sphere's outline takes this share of the preview's width and height.
  constexpr float kFill = 0.9f;
  if (!g_3DEngine) return radius;
  // A sphere of radius r seen from d spans focal x r / sqrt(d^2 - r^2) pixels from its middle.
  auto along = [radius](float focal, int pixels) {
    const float half = kFill * 0.5f * static_cast<float>(pixels);
    return half > 0.0f ? radius * std::sqrt(1.0f + (focal / half) * (focal / half)) : radius;
  };
  const float distance = std::max(along(g_3DEngine->FocalX(), size.width()), along(g_3DEngine->FocalY(), size.height()));
  return std::max(distance, radius + g_3DEngine->NearPlane() + 1.0f);
}

QImage RenderMeshItem(CBankList* bank, int index, QSize size, bool selected, std::string_view text) {
  PreviewFrame frame(size, selected ? kPreviewGrey : kPreviewWhite);
  if (!frame.Usable()) return {};
  if (bank && index >= 0) {
    CCamera camera;
    camera.position = CVector3{0.0f, 4000.0f, -8000.0f};
    camera.LookAt(0.0f, 0.0f, 0.0f);
    bank->RenderFitted(index, CVector3{0.0f, 0.0f, 0.0f}, CVector3{0.0f, kMeshItemTurn, 0.0f}, camera, nullptr, nullptr);
  }
  return frame.Finish(text, false);
}

}  // namespace kelvar
