#include "meshedit/ui/back_surface_image.h"

#include <algorithm>

#include "meshedit/core/cdd.h"
#include "platform/ui/surface_widget.h"
#include "platform/video/surface.h"

namespace pavix {

bool BackSurfaceFits(int width, int height) {
  const auto& back = Cdd::State().back;
  return back && back->Width() >= width && back->Height() >= height;
}

QImage BackSurfaceImage(int width, int height) {
  const auto& back = Cdd::State().back;
  if (!back) return QImage();
  width = std::min(width, back->Width());
  height = std::min(height, back->Height());
  pv::SurfaceDesc desc;
  void* bits = nullptr;
  if (pv::Failed(back->Lock(nullptr, &desc, &bits))) return QImage();
  const auto format = desc.format.bitsPerPixel == 32 ? platform::ui::PixelFormat::kXrgb8888
                                                     : platform::ui::PixelFormat::kRgb565;
  QImage image = platform::ui::WrapSurface(bits, width, height, desc.pitch, format).copy();
  back->Unlock();
  return image;
}

}  // namespace pavix
