#include "quest/thumbnail_cache.h"

#include <algorithm>
#include <cstring>

#include "platform/core/clock.h"
#include "platform/video/result.h"
#include "platform/video/surface.h"
#include "quest/fixed_field.h"
#include "render/camera.h"
#include "render/cdd.h"
#include "render/engine_3d.h"
#include "render/renderer.h"
#include "render/skinned_model.h"
#include "platform/core/paths.h"

namespace pv = platform::video;

CThumbnailCache g_thumbnailCache;

namespace {

// The surface the cells live on, with its width; null without a display.
pv::Surface* CellSurface(int* width, int* height) {
  pv::Surface* s = Cdd::BackSurface();
  if (!s) return nullptr;
  pv::SurfaceDesc desc;
  if (s->GetSurfaceDesc(&desc) != 0) return nullptr;
  *width = desc.width;
  *height = desc.height;
  return s;
}

}  // namespace

void CThumbnailCache::BeginFrame(Cdd* device, int viewWidth, int viewHeight) {
  device_ = device;
  viewWidth_ = viewWidth;
  viewHeight_ = viewHeight;
  Clear();
}

void CThumbnailCache::Clear() {
  for (Entry& e : entries) e = Entry{};
}

pv::Rect CThumbnailCache::Cell(int index, int surfaceWidth) {
  return {surfaceWidth - kThumbnailSize, kThumbnailSize * index, surfaceWidth, kThumbnailSize * index + kThumbnailSize};
}

int CThumbnailCache::Find(std::string_view name, CSkinnedModel& model) {
  for (int i = 0; i < kThumbnailEntries; ++i) {
    if (entries[i].name[0] != '\0' && platform::EqualsNoCase(entries[i].name, name)) {
      entries[i].lastUse = platform::Milliseconds();
      return i;
    }
  }
  int index = -1;
  for (int i = 0; i < kThumbnailEntries && index < 0; ++i) {
    if (entries[i].name[0] == '\0') index = i;
  }
  if (index < 0) {
    for (int i = 0; i < kThumbnailEntries; ++i) {
      if (index < 0 || entries[i].lastUse < entries[index].lastUse) index = i;
    }
    entries[index] = Entry{};
  }
  SetField(entries[index].name, name);
  Render(index, model);
  return index;
}

void CThumbnailCache::Render(int index, CSkinnedModel& model) {
  Entry& entry = entries[index];
  if (!g_3DEngine) {
    entry.lastUse = platform::Milliseconds();
    return;
  }
  int width = 0, height = 0;
  if (!CellSurface(&width, &height) && device_) {
    width = device_->GetWidth();
    height = device_->GetHeight();
  }
  CRenderer* renderer = g_3DEngine->GetRenderer();
  g_3DEngine->BeginFrame(0);
  g_3DEngine->SetViewportSize(width, height);
  if (renderer) renderer->SetScreenSize(width, height, 0);
  const pv::Rect cell = Cell(index, width);
  g_3DEngine->SetViewportRect(cell.left, cell.top, cell.right, cell.bottom);
  g_3DEngine->FillRect(cell.left, cell.top, cell.right, cell.bottom, CColor::FromRGBA(128, 128, 128, 64));
  CCamera camera;
  camera.position = CVector3{0.0f, 400.0f, 3300.0f};
  camera.LookAt(0.0f, 0.0f, 0.0f);
  const CVector3 kept = model.position;
  model.position = CVector3{0.0f, 0.0f, 0.0f};
  model.Draw(camera);
  model.position = kept;
  g_3DEngine->FlushBuckets();
  entry.lastUse = platform::Milliseconds();
  if (renderer) renderer->SetScreenSize(viewWidth_, viewHeight_, 0);
  g_3DEngine->EndFrame();
}

void CThumbnailCache::Blit(std::string_view name, CSkinnedModel& model, pv::Rect destination) {
  const int index = Find(name, model);
  if (index < 0) return;
  int width = 0, height = 0;
  pv::Surface* surface = CellSurface(&width, &height);
  if (!surface) return;
  pv::Rect source = Cell(index, width);
  if (!ClipBlit(destination, source, viewWidth_, viewHeight_)) return;
  for (;;) {
    const pv::HResult hr = surface->Blt(&destination, surface, &source, pv::kBltWait, nullptr);
    if (hr == pv::kErrWasStillDrawing) continue;
    if (hr == pv::kErrSurfaceLost && device_) device_->RestoreSurfaces();
    return;
  }
}
