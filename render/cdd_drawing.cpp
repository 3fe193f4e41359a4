// The display device's drawing half: the scene bracket, render states that
// follow each primitive's flags, primitives, and the texture, staging and
// bitmap slots.
#include <algorithm>
#include <cstring>

#include "datafiles/common/debug_trace.h"
#include "datafiles/mtf_archive.h"
#include "platform/core/clock.h"
#include "platform/video/tl_vertex.h"
#include "render/cdd.h"
#include "render/cdd_state.h"
#include "render/tga_image.h"

namespace pv = platform::video;

namespace {

constexpr int kFlagTextured = 0x1;
constexpr int kFlagOutline = 0x2;
constexpr int kFlagSmooth = 0x4;
constexpr int kFlagColorKey = 0x8;
constexpr int kFlagBlended = 0x10;
constexpr int kFlagNoFade = 0x800;
constexpr int kFlagAlphaTranslucent = 0x8000;
constexpr int kFlagBright = 0x10000;

void State(int state, std::uint32_t value) {
  CddState& s = TheCdd();
  if (s.device) s.device->SetRenderState(state, value);
}

bool ValidSlot(int slot) { return slot >= 0 && slot < kCddTextureSlots; }

std::uint32_t Argb(int r, int g, int b, int a) {
  return static_cast<std::uint32_t>(a & 255) << 24 | static_cast<std::uint32_t>(r & 255) << 16 |
         static_cast<std::uint32_t>(g & 255) << 8 | static_cast<std::uint32_t>(b & 255);
}

// Surface memory for a texture on this driver: AGP, else video, else system
// memory; 0 when the driver manages none.
std::uint32_t TextureMemory(const CddDriver& d, bool allowAgp) {
  if (allowAgp && d.agpTextures) return pv::kCapsNonLocalVideoMemory;
  if (d.videoTextures) return pv::kCapsVideoMemory;
  if (d.systemTextures) return pv::kCapsSystemMemory;
  return 0;
}

HRESULT CreateDeviceTexture(const CddDriver& d, pv::SurfaceDesc desc, std::shared_ptr<pv::Surface>* out,
                            bool* fatal) {
  CddState& s = TheCdd();
  *fatal = false;
  const std::uint32_t memory = TextureMemory(d, true);
  desc.flags |= pv::kDescCaps;
  desc.caps = pv::kCapsTexture | pv::kCapsAllocOnLoad | memory;
  HRESULT r = s.display->CreateSurface(desc, out);
  if (pv::Succeeded(r)) return r;
  desc.caps = pv::kCapsTexture | pv::kCapsAllocOnLoad | TextureMemory(d, false);
  r = s.display->CreateSurface(desc, out);
  if (pv::Failed(r)) *fatal = true;
  return r;
}

std::shared_ptr<pv::Surface> MakeSystemTexture(int width, int height, const CddTextureFormat& f, HRESULT* result) {
  pv::SurfaceDesc d;
  d.flags = pv::kDescCaps | pv::kDescWidth | pv::kDescHeight | pv::kDescPixelFormat;
  d.caps = pv::kCapsTexture | pv::kCapsSystemMemory;
  d.width = width;
  d.height = height;
  d.format = f.desc.format;
  std::shared_ptr<pv::Surface> surface;
  *result = TheCdd().display->CreateSurface(d, &surface);
  return surface;
}

// Copies an image's converted rows into a locked surface.
bool CopyImage(pv::Surface& surface, const CTgaImage& image) {
  void* bits = nullptr;
  pv::SurfaceDesc d;
  if (pv::Failed(surface.Lock(nullptr, &d, &bits))) return false;
  const std::size_t row = static_cast<std::size_t>(image.GetWidth()) * image.GetBitsPerPixel() / 8;
  const std::size_t room = static_cast<std::size_t>(surface.Width()) * surface.Format().bitsPerPixel / 8;
  const int rows = std::min(image.GetHeight(), surface.Height());
  for (int y = 0; y < rows; ++y)
    std::memcpy(static_cast<std::uint8_t*>(bits) + static_cast<std::size_t>(y) * d.pitch,
                image.GetData() + row * y, std::min(row, room));
  surface.Unlock();
  return true;
}

}  // namespace

void Cdd::ClearZBuffer() {
  CddState& s = TheCdd();
  if (!s.zbuffer || !s.viewport) return;
  pv::Rect all{0, 0, s.width, s.height};
  const HRESULT r = s.viewport->Clear(1, &all, pv::kClearZBuffer);
  if (pv::Failed(r)) ReportError(r, "clearzbuffer ");
}

HRESULT Cdd::BeginSceneOrDie(bool clearZ) {
  CddState& s = TheCdd();
  if (clearZ) ClearZBuffer();
  HRESULT r = s.device->BeginScene();
  if (r == pv::kErrSurfaceLost) {
    RestoreSurfaces();
    r = s.device->BeginScene();
    if (pv::Failed(r)) ReportError(r, "Cdd:beginRender (m_lpD3DDevice->BeginScene())");
  } else if (pv::Failed(r)) {
    ReportError(r, "Cdd:beginRender (beginScene)");
  }
  SetDefaultRenderStates();
  return r;
}

void Cdd::beginRender(int clearZ) {
  if (!TheCdd().device) return;
  BeginSceneOrDie(clearZ != 0);
}

HRESULT Cdd::endRender() {
  CddState& s = TheCdd();
  if (!s.device) return 0;
  HRESULT r = s.device->EndScene();
  if (r == pv::kErrSurfaceLost) {
    RestoreSurfaces();
    r = s.device->EndScene();
  }
  return r;
}

void Cdd::PauseRender() {
  CddState& s = TheCdd();
  if (!s.device) return;
  const HRESULT r = s.device->EndScene();
  if (pv::Failed(r)) ReportError(r, nullptr);
}

void Cdd::ResumeRender() {
  if (!TheCdd().device) return;
  BeginSceneOrDie(false);
}

void Cdd::SetDefaultRenderStates() {
  CddState& s = TheCdd();
  const std::uint32_t filter = s.bilinear ? pv::kFilterLinear : pv::kFilterNearest;
  State(pv::kRsTextureHandle, 0);
  State(pv::kRsShadeMode, pv::kShadeFlat);
  State(pv::kRsFillMode, pv::kFillSolid);
  State(pv::kRsTexturePerspective, 1);
  State(pv::kRsTextureMapBlend, pv::kTexBlendModulate);
  State(pv::kRsZWriteEnable, 1);
  State(pv::kRsAlphaBlendEnable, 0);
  State(pv::kRsSpecularEnable, 0);
  State(pv::kRsTextureMag, filter);
  State(pv::kRsTextureMin, filter);
  State(pv::kRsDitherEnable, s.dither ? 1 : 0);
  State(pv::kRsAntialias, 0);
  State(pv::kRsFogEnable, s.fog ? 1 : 0);
  State(pv::kRsFogColor, s.fogColor.Value());
  State(pv::kRsColorKeyEnable, 0);
  State(pv::kRsAlphaTestEnable, 0);
  State(pv::kRsAlphaBlendEnable, 0);
  State(pv::kRsSrcBlend, pv::kBlendOne);
  State(pv::kRsDestBlend, pv::kBlendZero);
  State(pv::kRsTextureMapBlend, pv::kTexBlendModulate);
  State(pv::kRsStippledAlpha, 0);
  s.cachedFlags = 0;
  s.cachedTexture = -1;
  s.cachedSpecular = 0;
}

void Cdd::SetRenderFlags(int flags, int slot) {
  CddState& s = TheCdd();
  const int changed = flags ^ s.cachedFlags;
  if (changed & kFlagSmooth) State(pv::kRsShadeMode, (flags & kFlagSmooth) ? pv::kShadeGouraud : pv::kShadeFlat);
  if (changed & kFlagColorKey) State(pv::kRsColorKeyEnable, (flags & kFlagColorKey) ? 1 : 0);
  if (changed & kFlagBlended) {
    if (flags & kFlagBlended) {
      State(pv::kRsZWriteEnable, 0);
      State(pv::kRsAlphaBlendEnable, 1);
      State(pv::kRsSrcBlend, pv::kBlendSrcAlpha);
      State(pv::kRsDestBlend, pv::kBlendInvSrcAlpha);
      State(pv::kRsTextureMapBlend, pv::kTexBlendModulateAlpha);
    } else {
      State(pv::kRsZWriteEnable, 1);
      State(pv::kRsAlphaBlendEnable, 0);
      State(pv::kRsSrcBlend, pv::kBlendOne);
      State(pv::kRsDestBlend, pv::kBlendZero);
      State(pv::kRsTextureMapBlend, pv::kTexBlendModulate);
    }
  }
  // A textured primitive without a valid slot draws untextured.
  const bool textured = (flags & kFlagTextured) && ValidSlot(slot);
  if (textured) {
    if (slot != s.cachedTexture) {
      State(pv::kRsTextureHandle, s.textures[slot].handle);
      s.cachedTexture = slot;
    }
  } else if (s.cachedTexture != -1) {
    State(pv::kRsTextureHandle, 0);
    s.cachedTexture = -1;
  }
  if (s.bilinear && (changed & kFlagColorKey)) {
    const std::uint32_t filter = (flags & kFlagColorKey) ? pv::kFilterNearest : pv::kFilterLinear;
    State(pv::kRsTextureMag, filter);
    State(pv::kRsTextureMin, filter);
  }
  int specular = s.fade ? 1 : 0;
  if ((flags & kFlagBlended) && textured && s.textures[slot].alpha) specular = 0;
  if (flags & kFlagNoFade) specular = 0;
  if (specular != s.cachedSpecular) {
    State(pv::kRsSpecularEnable, static_cast<std::uint32_t>(specular));
    s.cachedSpecular = specular;
  }
  s.cachedFlags = flags;
}

int Cdd::DrawPrimitive(int flags, const CVertex* const* v, int count, int slot, CColor color, bool fan) {
  CddState& s = TheCdd();
  if (!s.device) return 0;
  if (flags & kFlagOutline) {
    for (int i = 0; i < count; ++i) DrawLine(flags, *v[i], *v[(i + 1) % count], color);
    return 0;
  }
  if (flags & kFlagAlphaTranslucent) {
    for (int i = 0; i < count; ++i)
      if (v[i]->color.a < 255) flags |= kFlagBlended;
  }
  SetRenderFlags(flags, slot);
  const bool textured = (flags & kFlagTextured) && ValidSlot(slot);
  const bool smooth = (flags & kFlagSmooth) != 0;
  const bool blended = (flags & kFlagBlended) != 0;
  const bool specularOn = s.cachedSpecular != 0;
  const bool slotAlpha = textured && s.textures[slot].alpha;
  pv::TLVertex out[4];
  for (int i = 0; i < count; ++i) {
    const CVertex& in = *v[i];
    pv::TLVertex& t = out[i];
    t.sx = static_cast<float>(in.sx);
    t.sy = static_cast<float>(in.sy);
    t.sz = in.z / 65536.0f;
    t.rhw = in.rz;
    t.specular = 0xFF000000u;
    t.specular = (t.specular & 0x00FFFFFFu) | static_cast<std::uint32_t>(in.fade & 255) << 24;
    t.tu = textured ? in.u / 256.0f : 0.0f;
    t.tv = textured ? in.v / 256.0f : 0.0f;
    const CColor c = in.color;
    if (smooth && !textured) {
      t.color = Argb(c.r * color.r >> 8, c.g * color.g >> 8, c.b * color.b >> 8, c.a);
    } else if (smooth && specularOn) {
      t.color = Argb(s.bright[c.r], s.bright[c.g], s.bright[c.b], c.a);
      t.specular = (t.specular & 0xFF000000u) | Argb(s.over[c.r], s.over[c.g], s.over[c.b], 0);
    } else if (smooth && (flags & kFlagBright)) {
      // Doubled, but held at full brightness rather than wrapping round to dark.
      t.color = Argb(std::min(2 * c.r, 255), std::min(2 * c.g, 255), std::min(2 * c.b, 255), c.a);
    } else if (smooth) {
      t.color = c.Value();
    } else if (!textured) {
      t.color = color.Value();
    } else if (!blended || slotAlpha) {
      t.color = 0xFFFFFFFFu;
    } else {
      t.color = Argb(255, 255, 255, c.a);
    }
  }
  return s.device->DrawPrimitive(fan ? pv::PrimitiveType::TriangleFan : pv::PrimitiveType::TriangleList, out, count,
                                 pv::kDrawDoNotClip | pv::kDrawDoNotUpdateExtents);
}

HRESULT Cdd::DrawTriangle(int flags, const CVertex* a, const CVertex* b, const CVertex* c, int slot, CColor color) {
  if (!a || !b || !c) return pv::kErrInvalidParams;
  const CVertex* v[3] = {a, b, c};
  return DrawPrimitive(flags, v, 3, slot, color, false);
}

HRESULT Cdd::DrawQuad(int flags, const CVertex* a, const CVertex* b, const CVertex* c, const CVertex* d, int slot,
                      CColor color) {
  if (!a || !b || !c || !d) return pv::kErrInvalidParams;
  const CVertex* v[4] = {a, b, c, d};
  return DrawPrimitive(flags, v, 4, slot, color, true);
}

HRESULT Cdd::DrawLine(int flags, CVertex a, CVertex b, CColor color) {
  CddState& s = TheCdd();
  if (!s.device) return 0;
  CColor ca = (flags & kFlagSmooth) ? a.color : color;
  CColor cb = (flags & kFlagSmooth) ? b.color : color;
  ca.a = 0;
  cb.a = 0;
  SetRenderFlags(0x804, -1);
  pv::TLVertex out[2];
  const CVertex* in[2] = {&a, &b};
  const CColor cols[2] = {ca, cb};
  for (int i = 0; i < 2; ++i) {
    out[i].sx = static_cast<float>(in[i]->sx);
    out[i].sy = static_cast<float>(in[i]->sy);
    out[i].sz = in[i]->z / 65536.0f;
    out[i].rhw = in[i]->rz;
    out[i].color = cols[i].Value();
    out[i].specular = 0xFF000000u;
  }
  return s.device->DrawPrimitive(pv::PrimitiveType::LineList, out, 2, pv::kDrawDoNotClip | pv::kDrawDoNotUpdateExtents);
}

void Cdd::SetFog(int on) { TheCdd().fog = on; }
int Cdd::GetFog() const { return TheCdd().fog; }
void Cdd::SetFogColor(CColor color) { TheCdd().fogColor = color; }
CColor Cdd::GetFogColor() const { return TheCdd().fogColor; }
void Cdd::SetBilinear(int on) { TheCdd().bilinear = on; }
int Cdd::GetBilinear() const { return TheCdd().bilinear; }
void Cdd::SetDither(int on) { TheCdd().dither = on; }
int Cdd::GetDither() const { return TheCdd().dither; }
int Cdd::GetLoadableTextureCount() const { return TheCdd().loadable; }

int Cdd::LoadTexture(int slot, const char* file) {
  CddState& s = TheCdd();
  if (s.selected < 0 || !s.device || !ValidSlot(slot) || !file) return 0;
  MtfFile* f = MtfOpen(file, "rb");
  CddTextureSlot& t = s.textures[slot];
  if (!f) {
    t.name.clear();
    return 0;
  }
  MtfClose(f);
  t.name.assign(file, std::min<std::size_t>(std::strlen(file), 259));
  t.texture.reset();
  t.surface.reset();
  t.handle = 0;
  CreateTexture(slot);
  return 1;
}

int Cdd::CreateTexture(int slot) {
  CddState& s = TheCdd();
  if (!ValidSlot(slot) || s.selected < 0 || !s.device) return 0;
  CddTextureSlot& t = s.textures[slot];
  if (t.name.empty()) return 0;
  t.texture.reset();
  t.surface.reset();
  t.handle = 0;

  CTgaImage image;
  if (!image.Load(t.name.c_str())) {
    DebugTrace("Can't load texture %s\n", t.name.c_str());
    return 0;
  }
  DebugTrace("loaded texture %s\n", t.name.c_str());
  image.FlipRows();
  const int formatIndex = image.GetBitsPerPixel() == 32 ? 1 : 0;
  t.alpha = formatIndex;
  const CddTextureFormat& f = s.formats[formatIndex];
  image.ConvertTo16(f.redMask, f.greenMask, f.blueMask, f.alphaMask);

  CddStagingRow& row = s.staging[0];
  row.surface.reset();
  HRESULT r = pv::kErrInvalidPixelFormat;
  if (f.present) row.surface = MakeSystemTexture(image.GetWidth(), image.GetHeight(), f, &r);
  if (pv::Failed(r) || !row.surface) {
    DebugTrace("Cdd:Can't create surface nDdVal!=DD_OK");
    row.surface.reset();
    return 0;
  }
  if (!CopyImage(*row.surface, image)) {
    DebugTrace("Cdd:Can't lock surface");
    return 0;
  }
  std::shared_ptr<pv::Texture> stagingTexture;
  if (pv::Failed(row.surface->QueryTexture(&stagingTexture))) {
    DebugTrace("Cdd:Can't query inteface IID_IDirect3DTexture2");
    return 0;
  }
  pv::SurfaceDesc desc;
  if (pv::Failed(row.surface->GetSurfaceDesc(&desc))) {
    DebugTrace("Cdd:Can't getsurfacedesc");
    return 0;
  }
  const CddDriver& driver = s.drivers[s.selected];
  if (!TextureMemory(driver, true)) {
    DebugTrace("Cdd:Can't load texture in systemmemory");
    return 0;
  }
  bool fatal = false;
  r = CreateDeviceTexture(driver, desc, &t.surface, &fatal);
  if (pv::Failed(r)) ReportError(r, nullptr);
  const pv::ColorKey black{0, 0};
  r = t.surface->SetColorKey(pv::kKeySrc, &black);
  if (pv::Failed(r)) ReportError(r, nullptr);
  r = t.surface->QueryTexture(&t.texture);
  if (pv::Failed(r)) ReportError(r, nullptr);
  r = t.texture->Load(*stagingTexture);
  if (pv::Failed(r)) ReportError(r, nullptr);
  if (pv::Failed(t.texture->GetHandle(*s.device, &t.handle))) {
    DebugTrace("Cdd:Can't get handle of texture");
    t.handle = 0;
    return 0;
  }
  return 1;
}

int Cdd::countLoadableTexture(int size) {
  CddState& s = TheCdd();
  if (s.selected < 0 || !s.device) return 0;
  const CddDriver& driver = s.drivers[s.selected];
  int count = 0;
  for (int i = 0; i < kCddTextureSlots; ++i) {
    CddTextureSlot& t = s.textures[i];
    t.texture.reset();
    t.surface.reset();
    t.handle = 0;
    if (!TextureMemory(driver, true) || !s.formats[0].present) break;
    HRESULT r;
    auto system = MakeSystemTexture(size, size, s.formats[0], &r);
    if (pv::Failed(r)) break;
    std::shared_ptr<pv::Texture> systemTexture;
    r = system->QueryTexture(&systemTexture);
    if (pv::Failed(r)) ReportError(r, nullptr);
    pv::SurfaceDesc desc;
    if (pv::Failed(system->GetSurfaceDesc(&desc))) break;
    bool fatal = false;
    if (pv::Failed(CreateDeviceTexture(driver, desc, &t.surface, &fatal))) break;
    if (pv::Failed(t.surface->QueryTexture(&t.texture))) break;
    if (pv::Failed(t.texture->Load(*systemTexture))) break;
    if (pv::Failed(t.texture->GetHandle(*s.device, &t.handle))) break;
    ++count;
  }
  ReleaseTextureSlots();
  return count;
}

void Cdd::ReleaseAllBitmaps() {
  CddState& s = TheCdd();
  for (auto& row : s.staging) row = CddStagingRow{};
  s.stagingCount = kCddStagingRows;
}

void Cdd::ReleaseBitmapOfTexture(int slot) {
  CddState& s = TheCdd();
  if (!ValidSlot(slot)) return;
  for (auto& row : s.staging) {
    if (row.name == s.textures[slot].name) {
      row = CddStagingRow{};
      break;
    }
  }
}

int Cdd::LoadBitmap(const char* file) {
  CddState& s = TheCdd();
  if (!file || !s.display) return -1;
  int slot = -1;
  for (int i = 0; i < kCddBitmapSlots && slot < 0; ++i)
    if (s.bitmaps[i].surface && s.bitmaps[i].name == file) slot = i;
  if (slot < 0) {
    for (int i = 0; i < kCddBitmapSlots && slot < 0; ++i)
      if (!s.bitmaps[i].surface) slot = i;
    if (slot < 0) {
      slot = 0;
      for (int i = 1; i < kCddBitmapSlots; ++i)
        if (s.bitmaps[i].lastUse < s.bitmaps[slot].lastUse) slot = i;
    }
    CddBitmapSlot& b = s.bitmaps[slot];
    b.surface.reset();
    b.name.clear();  // a slot without its picture must not answer to the old name
    DebugTrace("Cdd:loading bitmap %s\n", file);
    CTgaImage image;
    if (!image.Load(file)) return -1;
    image.FlipRows();
    const pv::PixelFormat format = s.back ? s.back->Format() : s.display->ScreenFormat();
    pv::SurfaceDesc d;
    d.flags = pv::kDescCaps | pv::kDescWidth | pv::kDescHeight | pv::kDescPixelFormat;
    d.caps = pv::kCapsOffscreen | pv::kCapsSystemMemory;
    d.width = image.GetWidth();
    d.height = image.GetHeight();
    d.format = format;
    const HRESULT r = s.display->CreateSurface(d, &b.surface);
    if (pv::Failed(r)) ReportError(r, nullptr);
    if (format.bitsPerPixel == 32) image.ConvertTo32(format.redMask, format.greenMask, format.blueMask, 0);
    else image.ConvertTo16(format.redMask, format.greenMask, format.blueMask, 0);
    CopyImage(*b.surface, image);
    b.name = file;
    DebugTrace("Cdd:loading bitmap %s OK\n", file);
  }
  s.bitmaps[slot].lastUse = platform::Milliseconds();
  return slot;
}

bool ClipBlit(pv::Rect& dst, pv::Rect& src, int width, int height) {
  if (dst.left < 0) {
    src.left -= dst.left;
    dst.left = 0;
  }
  if (dst.top < 0) {
    src.top -= dst.top;
    dst.top = 0;
  }
  if (dst.right > width) {
    src.right -= dst.right - width;
    dst.right = width;
  }
  if (dst.bottom > height) {
    src.bottom -= dst.bottom - height;
    dst.bottom = height;
  }
  return !dst.Empty() && !src.Empty();
}

void Cdd::BlitBitmap(int slot, pv::Rect dst, pv::Rect src, bool blackIsKey) {
  CddState& s = TheCdd();
  CddBitmapSlot& b = s.bitmaps[slot];
  if (!ClipBlit(dst, src, s.back->Width(), s.back->Height())) return;
  pv::BltFx fx;
  const unsigned flags = blackIsKey ? pv::kBltWait | pv::kBltKeySrcOverride : pv::kBltWait;
  for (int attempt = 0; attempt < 64; ++attempt) {
    const HRESULT r = s.back->Blt(&dst, b.surface.get(), &src, flags, blackIsKey ? &fx : nullptr);
    if (r == pv::kErrSurfaceLost) {
      if (pv::Failed(RestoreSurfaces())) return;
      continue;
    }
    if (r != pv::kErrWasStillDrawing) return;
  }
}

void Cdd::DrawBitmap(const char* file, pv::Rect dst, pv::Rect src, CColor /*key*/) {
  CddState& s = TheCdd();
  const int slot = LoadBitmap(file);
  if (slot < 0 || !s.back || !s.bitmaps[slot].surface) return;
  BlitBitmap(slot, dst, src, true);  // black is the key whatever the caller asked
}

void Cdd::DrawBitmapAt(const char* file, int x, int y) {
  CddState& s = TheCdd();
  const int slot = LoadBitmap(file);
  if (slot < 0 || !s.back) return;
  const CddBitmapSlot& b = s.bitmaps[slot];
  if (!b.surface) return;
  BlitBitmap(slot, {x, y, x + b.surface->Width(), y + b.surface->Height()},
             {0, 0, b.surface->Width(), b.surface->Height()}, false);
}

void Cdd::ReleaseBitmaps() {
  for (auto& b : TheCdd().bitmaps) {
    if (b.surface) DebugTrace("Cdd:releasing bitmaps %s\n", b.name.c_str());
    b.surface.reset();
    b.name.clear();
  }
}
