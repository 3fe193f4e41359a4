// The display device: set-up, enumeration, format, presentation, locking,
// colour conversion, error reporting and release.
#include "render/cdd.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "datafiles/common/debug_trace.h"
#include "platform/core/services.h"
#include "platform/video/types.h"
#include "platform/video/window.h"
#include "render/cdd_state.h"

namespace pv = platform::video;

namespace {

// Presents and blits give up after this many lost-surface rounds in a row.
constexpr int kMaxRetries = 64;

std::unique_ptr<CddState>& StatePtr() {
  static std::unique_ptr<CddState> state = std::make_unique<CddState>();
  return state;
}

void CopyName(char* out, std::size_t capacity, const std::string& text) {
  std::size_t n = std::min(capacity - 1, text.size());
  std::memcpy(out, text.data(), n);
  out[n] = '\0';
}

bool EnumDriver(const pv::Guid& guid, const std::string& description, const std::string& name,
                const pv::HardwareDesc& hw) {
  CddState& s = TheCdd();
  if (hw.colorModel < pv::kColorModelRgb) return true;
  if (s.driverCount >= kCddMaxDrivers) return false;
  CddDriver& row = s.drivers[s.driverCount];
  row = CddDriver{};
  row.guid = guid;
  CopyName(row.description, sizeof row.description, description);
  CopyName(row.name, sizeof row.name, name);
  row.hardware = hw;
  row.valid = 1;
  if (!(hw.triTextureCaps & pv::kTexCapsPerspective)) return true;
  DebugTrace("Enum Driver %d %s %s\n", s.driverCount, row.description, row.name);
  row.agpTextures = (hw.devCaps & pv::kDevCapsTextureNonLocalVidMem) ? 1 : 0;
  row.systemTextures = (hw.devCaps & pv::kDevCapsTextureSystemMemory) ? 1 : 0;
  row.videoTextures = (hw.devCaps & pv::kDevCapsTextureVideoMemory) ? 1 : 0;
  row.zBuffer = hw.zBufferBitDepth != 0 ? 1 : 0;
  row.renders16 = (hw.renderBitDepth & pv::kDepth16) ? 1 : 0;
  row.renders32 = (hw.renderBitDepth & pv::kDepth32) ? 1 : 0;
  row.maxVertexCount = hw.maxVertexCount;
  DebugTrace("can manage AGP %d\n", row.agpTextures);
  DebugTrace("can manage system memory %d\n", row.systemTextures);
  DebugTrace("can manage video memory %d\n", row.videoTextures);
  DebugTrace("can manage Zbuffer %d\n", row.zBuffer);
  DebugTrace("can do window %d\n", row.renders16);
  DebugTrace("Max vertex count %d\n", row.maxVertexCount);
  ++s.driverCount;
  if (s.driverCount == kCddMaxDrivers) {
    DebugTrace("Stopping enumaration : DDDRIVERMAX reached \n");
    return false;
  }
  return true;
}

bool EnumMode(const pv::SurfaceDesc& d) {
  CddState& s = TheCdd();
  const bool complete = (d.flags & pv::kDescPixelFormat) && (d.flags & pv::kDescWidth) && (d.flags & pv::kDescHeight);
  const int bits = d.format.bitsPerPixel;
  if (s.modeCount < kCddMaxDisplayModes && complete && d.format.rgb && (bits == 16 || bits == 15)) {
    CddDisplayMode& m = s.modes[s.modeCount++];
    m.width = d.width;
    m.height = d.height;
    m.bitsPerPixel = bits;
    m.refreshRate = d.refreshRate;
    DebugTrace("Enum Video Mode : %d bbp %dx%d rate:%d\n", bits, d.width, d.height, d.refreshRate);
  }
  return true;
}

std::int64_t ModeKey(const CddDisplayMode& m) {
  return static_cast<std::int64_t>(m.width) * 10000000 + static_cast<std::int64_t>(m.height) * 10000 + m.refreshRate;
}

void SortModes() {
  CddState& s = TheCdd();
  for (int i = 0; i < s.modeCount; ++i)
    for (int j = i + 1; j < s.modeCount; ++j)
      if (ModeKey(s.modes[j]) < ModeKey(s.modes[i])) std::swap(s.modes[i], s.modes[j]);
}

pv::Rect WindowRect(HWND w) { return w ? w->ClientRect() : pv::Rect{}; }

}  // namespace

CddState::CddState() {
  for (int i = 0; i < 256; ++i) {
    bright[i] = static_cast<std::uint8_t>(std::min(2 * i, 255));
    over[i] = static_cast<std::uint8_t>(std::max(i - 128, 0));
  }
}

CddState& TheCdd() { return *StatePtr(); }
void ResetCddState() { StatePtr() = std::make_unique<CddState>(); }


Cdd::Cdd() {
  CddState& s = TheCdd();
  DebugTrace("Cdd::Cdd\n");
  s.display.reset();
  s.d3d.reset();
  s.primary.reset();
  s.back.reset();
  s.zbuffer.reset();
  s.clipper.reset();
  s.device.reset();
  s.viewport.reset();
  s.loadable = 0;
  HRESULT r = pv::Display::Create(nullptr, &s.display);
  DebugTrace("Cdd:Directdrawcreate %x\n", static_cast<unsigned>(r));
  if (pv::Failed(r)) {
    ReportError(r, nullptr);
    return;
  }
  bool usable = false;
  if (pv::Succeeded(s.display->Query3D(&s.d3d))) {
    s.driverCount = 0;
    r = s.d3d->EnumDevices([](const pv::Guid& g, const std::string& desc, const std::string& name,
                              const pv::HardwareDesc& hw, const pv::HardwareDesc&) { return EnumDriver(g, desc, name, hw); });
    usable = pv::Succeeded(r) && s.driverCount > 0;
  }
  if (!usable) {
    if (pv::Window* main = pv::MainWindow()) main->Show(false);
    platform::Exit(0);
  }
  s.modeCount = 0;
  r = s.display->EnumDisplayModes(0, EnumMode);
  if (pv::Failed(r)) ReportError(r, nullptr);
  SortModes();
  for (auto& t : s.textures) t = CddTextureSlot{};
  for (auto& row : s.staging) row = CddStagingRow{};
  s.stagingCount = kCddStagingRows;
}

Cdd::~Cdd() noexcept(false) {
  CddState& s = TheCdd();
  ReleaseBitmaps();
  DebugTrace("Cdd::~Cdd\n");
  if (s.locked) ReportError(0, "Cdd::~Cdd Surface locked");
  ReleaseTextureSlots();
  ReleaseSurfaces();
  for (auto& row : s.staging) row.surface.reset();
  s.d3d.reset();
  s.display.reset();
}

void Cdd::ReleaseTextureSlots() {
  for (auto& t : TheCdd().textures) {
    t.texture.reset();
    t.surface.reset();
    t.handle = 0;
  }
}

void Cdd::ReleaseTextures() { ReleaseTextureSlots(); }

void Cdd::ReleaseSurfaces() {
  CddState& s = TheCdd();
  if (s.zbuffer && s.back) s.back->DeleteAttachedSurface(s.zbuffer);
  s.zbuffer.reset();
  s.viewport.reset();
  s.device.reset();
  if (s.separateBack) s.back.reset();
  else s.back.reset();  // the flipping chain's buffer goes with its primary
  s.primary.reset();
  s.clipper.reset();
  s.dc = nullptr;
}

int Cdd::SetFormat(HWND window, int width, int height, int bitsPerPixel, int fullScreen, int flags) {
  CddState& s = TheCdd();
  for (;;) {
    DebugTrace("BEGIN SETFORMAT\n");
    if (s.locked) ReportError(0, "Cdd::SetFormat : Surface locked");
    s.window = window;
    s.width = std::max(1, width);
    s.height = std::max(1, height);
    s.bitsPerPixel = bitsPerPixel;
    s.fullScreen = fullScreen;
    ReleaseTextureSlots();
    ReleaseSurfaces();
    if (!s.display) return 0;

    s.selected = -1;
    if (!(flags & kCddFormatNo3D)) {
      for (int i = s.driverCount - 1; i >= 0; --i) {
        if (s.drivers[i].valid && (fullScreen || s.drivers[i].renders16)) {
          s.selected = i;
          break;
        }
      }
    }

    HRESULT r;
    pv::SurfaceDesc desc;
    if (!fullScreen) {
      s.separateBack = 1;
      s.display->RestoreDisplayMode();
      r = s.display->SetCooperativeLevel(window, pv::kCoopNormal);
      if (pv::Failed(r)) ReportError(r, "SetFormat : SetCooperativeLevel");
      desc = pv::SurfaceDesc{};
      desc.flags = pv::kDescCaps;
      desc.caps = pv::kCapsPrimary;
      r = s.display->CreateSurface(desc, &s.primary);
      if (pv::Failed(r)) ReportError(r, "SetFormat : CreateSurface1");
      pv::SurfaceDesc screen;
      r = s.primary->GetSurfaceDesc(&screen);
      if (pv::Failed(r)) ReportError(r, "SetFormat ");
      s.width = std::min(s.width, screen.width);
      s.height = std::min(s.height, screen.height);
      desc = pv::SurfaceDesc{};
      desc.flags = pv::kDescCaps | pv::kDescWidth | pv::kDescHeight;
      desc.width = s.width;
      desc.height = s.height;
      desc.caps = pv::kCapsOffscreen | pv::kCapsVideoMemory | (s.selected >= 0 ? pv::kCaps3DDevice : 0u);
      r = s.display->CreateSurface(desc, &s.back);
      if (pv::Failed(r)) {
        if (s.selected >= 0) {
          flags |= kCddFormatNo3D;
          DebugTrace("RETRY ALL SETFORMAT\n");
          continue;
        }
        desc.caps = pv::kCapsOffscreen | pv::kCapsSystemMemory;
        r = s.display->CreateSurface(desc, &s.back);
        if (pv::Failed(r)) ReportError(r, "SetFormat : CreateSurface2");
      }
      r = s.display->CreateClipper(0, &s.clipper);
      if (pv::Failed(r)) ReportError(r, "SetFormat : CreateClipper");
      r = s.clipper->SetWindow(window);
      if (pv::Failed(r)) ReportError(r, "SetFormat : SetHWnd");
      r = s.primary->SetClipper(s.clipper);
      if (pv::Failed(r)) ReportError(r, "SetFormat : SetClipper");
    } else {
      s.separateBack = 0;
      int refresh = s.modeCount > 0 ? s.modes[0].refreshRate : 0;
      for (int i = s.modeCount - 1; i >= 0; --i) {
        if (s.modes[i].width == 640 && s.modes[i].height == 480 && s.modes[i].bitsPerPixel == 16) {
          refresh = s.modes[i].refreshRate;
          break;
        }
      }
      r = s.display->SetCooperativeLevel(window, pv::kCoopExclusive | pv::kCoopFullScreen);
      if (pv::Failed(r)) ReportError(r, "SetFormat : SetCooperativeLevel");
      DebugTrace("SETDISPLAYMODE %d %d %d %d\n", s.width, s.height, bitsPerPixel, refresh);
      r = s.display->SetDisplayMode(s.width, s.height, bitsPerPixel, refresh, 0);
      if (pv::Failed(r)) ReportError(r, "SetFormat : SetDisplayMode");
      desc = pv::SurfaceDesc{};
      desc.flags = pv::kDescCaps | pv::kDescBackBufferCount;
      desc.caps = pv::kCapsPrimary | pv::kCapsFlip | pv::kCapsComplex | pv::kCapsVideoMemory |
                  (s.selected >= 0 ? pv::kCaps3DDevice : 0u);
      desc.backBufferCount = 1;
      r = s.display->CreateSurface(desc, &s.primary);
      if (pv::Failed(r)) r = s.display->CreateSurface(desc, &s.primary);
      if (pv::Failed(r)) ReportError(r, "SetFormat : CreateSurface1");
      r = s.primary->GetAttachedSurface(pv::kCapsBackBuffer, &s.back);
      if (pv::Failed(r)) ReportError(r, "SetFormat : GetAttachedSurface");
    }

    if (s.selected >= 0) {
      CreateZBuffer();
      r = s.d3d->CreateDevice(s.drivers[s.selected].guid, s.back, &s.device);
      if (pv::Failed(r)) ReportError(r, "");
      for (auto& f : s.formats) f = CddTextureFormat{};
      r = s.device->EnumTextureFormats([&s](const pv::SurfaceDesc& d) {
        // Opaque, several alpha bits, one alpha bit: the first 16-bit format of each kind.
        const pv::PixelFormat& f = d.format;
        if (!f.rgb || f.bitsPerPixel != 16) return true;
        const int alphaBits = MaskBitCount(f.alphaMask);
        const int kind = alphaBits == 0 ? 0 : alphaBits == 1 ? 2 : 1;
        CddTextureFormat& slot = s.formats[kind];
        if (!slot.present) {
          slot.desc = d;
          slot.redMask = f.redMask;
          slot.greenMask = f.greenMask;
          slot.blueMask = f.blueMask;
          slot.alphaMask = f.alphaMask;
          slot.present = true;
        }
        return true;
      });
      if (pv::Failed(r)) ReportError(r, "EnumTextureFormats");
      r = s.d3d->CreateViewport(&s.viewport);
      if (pv::Failed(r)) ReportError(r, "createviewport");
      r = s.device->AddViewport(s.viewport);
      if (pv::Failed(r)) ReportError(r, "addviewport");
      r = s.device->SetCurrentViewport(s.viewport);
      if (pv::Failed(r)) ReportError(r, nullptr);
      pv::ViewportDesc vd;
      vd.x = 0;
      vd.y = 0;
      vd.width = s.width;
      vd.height = s.height;
      vd.scaleX = static_cast<float>(s.width) / 2.0f;
      vd.scaleY = static_cast<float>(s.height) / 2.0f;
      vd.maxX = 1.0f;
      vd.maxY = 1.0f;
      vd.minZ = 1.0f;
      vd.maxZ = 65535.0f;
      r = s.viewport->SetViewport(vd);
      if (pv::Failed(r)) ReportError(r, "Setviewport");
      s.loadable = countLoadableTexture(256);
      DebugTrace("countLoadableTexture(256):%d\n", s.loadable);
      RecreateTextureSlots();
    } else {
      s.loadable = 0;
    }

    pv::SurfaceDesc backDesc;
    r = s.back->GetSurfaceDesc(&backDesc);
    if (pv::Failed(r)) ReportError(r, "SetFormat ");
    s.pitch = backDesc.pitch;
    s.redMask = backDesc.format.redMask;
    s.greenMask = backDesc.format.greenMask;
    s.blueMask = backDesc.format.blueMask;
    s.redShift = LowestSetBit(s.redMask);
    s.greenShift = LowestSetBit(s.greenMask);
    s.blueShift = LowestSetBit(s.blueMask);
    s.redBits = MaskBitCount(s.redMask);
    s.greenBits = MaskBitCount(s.greenMask);
    s.blueBits = MaskBitCount(s.blueMask);
    DebugTrace("ddsd.lPitch=%d m_pitch=%d\n", backDesc.pitch, s.pitch);
    return 1;
  }
}

int Cdd::CreateZBuffer() {
  CddState& s = TheCdd();
  DebugTrace("\nCdd:creating Zbuffer:%d,%d\n", s.width, s.height);
  if (s.selected < 0) return 0;
  const std::uint32_t mask = s.drivers[s.selected].hardware.zBufferBitDepth;
  int depth = 0;
  if (mask & pv::kDepth32) depth = 32;
  else if (mask & pv::kDepth24) depth = 24;
  else if (mask & pv::kDepth16) depth = 16;
  else if (mask & pv::kDepth8) depth = 8;
  if (!depth) return 0;
  DebugTrace("ddsd.dwZBufferBitDepth=%d\n", depth);
  pv::SurfaceDesc d;
  d.flags = pv::kDescCaps | pv::kDescWidth | pv::kDescHeight | pv::kDescZBufferBits;
  d.caps = pv::kCapsZBuffer | pv::kCapsVideoMemory;
  d.width = s.width;
  d.height = s.height;
  d.zBufferBits = depth;
  HRESULT r = s.display->CreateSurface(d, &s.zbuffer);
  if (pv::Succeeded(r)) r = s.back->AddAttachedSurface(s.zbuffer);
  if (pv::Failed(r)) {
    DebugTrace("ERROR\n");
    s.zbuffer.reset();
    return 0;
  }
  DebugTrace("OK\n");
  return 1;
}

int Cdd::GetWidth() const { return TheCdd().width; }
int Cdd::GetHeight() const { return TheCdd().height; }
int Cdd::HasDevice() const { return TheCdd().selected >= 0 ? 1 : 0; }
int Cdd::CanRenderInWindow() const {
  const CddState& s = TheCdd();
  return s.selected >= 0 && s.drivers[s.selected].renders16 ? 1 : 0;
}

HRESULT Cdd::BlitWithRetry(pv::Rect* dst, pv::Surface* src, pv::Rect* srcRect, std::uint32_t flags, const void* fx) {
  CddState& s = TheCdd();
  HRESULT r = pv::kOk;
  for (int attempt = 0; attempt < kMaxRetries; ++attempt) {
    if (!s.primary || !s.back) return pv::kErrInvalidObject;
    if (s.fullScreen && !src) {
      r = s.primary->Flip(nullptr, pv::kFlipWait);
    } else {
      r = s.primary->Blt(dst, src ? src : s.back.get(), srcRect, flags | pv::kBltWait,
                         static_cast<const pv::BltFx*>(fx));
    }
    if (r == pv::kErrSurfaceLost) {
      const HRESULT rr = RestoreSurfaces();
      if (pv::Failed(rr)) return rr;
      continue;
    }
    if (r != pv::kErrWasStillDrawing) break;
  }
  return r;
}

HRESULT Cdd::Show() {
  CddState& s = TheCdd();
  if (s.locked) {
    Unlock();
    ReportError(0, "Cdd::Show : Surface locked");
  }
  if (s.fullScreen) return BlitWithRetry(nullptr, nullptr, nullptr, 0, nullptr);
  pv::Rect client = WindowRect(s.window);
  return BlitWithRetry(&client, s.back.get(), nullptr, 0, nullptr);
}

HRESULT Cdd::PresentRect(int x, int y, HWND window, pv::Rect rect) {
  CddState& s = TheCdd();
  if (!s.clipper || !s.back) return pv::kErrInvalidObject;
  s.clipper->SetWindow(window);
  HRESULT r = pv::kOk;
  for (int attempt = 0; attempt < kMaxRetries; ++attempt) {
    const int L = rect.left, T = rect.top, R = rect.right, B = rect.bottom;
    pv::Rect dst{L + 1, T + 1, R - 1, B - 1};
    pv::Rect src{x, y, x + R - L - 2, y + B - T - 2};
    const int W = s.back->Width(), H = s.back->Height();
    if (src.right >= W) {
      src.right = W - 1;
      dst.right = L + W;
    }
    if (src.bottom >= H) {
      src.bottom = H - 1;
      dst.bottom = T + H;
    }
    r = s.primary->Blt(&dst, s.back.get(), &src, pv::kBltWait, nullptr);
    if (pv::Succeeded(r)) break;
    if (r == pv::kErrSurfaceLost) {
      const HRESULT rr = RestoreSurfaces();
      if (pv::Failed(rr)) {
        r = rr;
        break;
      }
      continue;
    }
    if (r != pv::kErrWasStillDrawing) break;
  }
  s.clipper->SetWindow(s.window);
  return r;
}

HRESULT Cdd::PresentToWindow(int x, int y, HWND window) { return PresentRect(x, y, window, WindowRect(window)); }

HRESULT Cdd::RestoreSurfaces() {
  CddState& s = TheCdd();
  if (!s.primary || !s.back) return pv::kErrInvalidObject;
  HRESULT r = s.primary->Restore();
  if (pv::Failed(r)) return r;
  r = s.back->Restore();
  if (pv::Failed(r)) return r;
  RecreateTextureSlots();
  if (s.zbuffer) {
    r = s.zbuffer->Restore();
    if (pv::Failed(r)) ReportError(r, "Cdd:beginRender (m_lpZBuffer->restore())");
  }
  return pv::kOk;
}

void Cdd::RecreateTextureSlots() {
  for (int i = 0; i < kCddTextureSlots; ++i)
    if (!TheCdd().textures[i].name.empty()) CreateTexture(i);
}

void* Cdd::Lock() {
  CddState& s = TheCdd();
  if (s.locked) ReportError(0, "Cdd::Lock : Surface locked");
  if (!s.back) return nullptr;
  void* bits = nullptr;
  if (pv::Failed(s.back->Lock(nullptr, nullptr, &bits))) return nullptr;
  s.locked = 1;
  return bits;
}

void Cdd::Unlock() {
  CddState& s = TheCdd();
  if (!s.back) return;
  const HRESULT r = s.back->Unlock();
  s.locked = 0;
  if (pv::Failed(r)) ReportError(r, nullptr);
}

int Cdd::IsLocked() const { return TheCdd().locked; }
int Cdd::GetPitch() const { return TheCdd().pitch; }

HDC Cdd::GetDC() {
  CddState& s = TheCdd();
  if (!s.back) return nullptr;
  if (s.back->IsLost()) RestoreSurfaces();
  pv::DrawContext* dc = nullptr;
  if (pv::Failed(s.back->GetDC(&dc))) return nullptr;
  s.dc = dc;
  return dc;
}

void Cdd::ReleaseDC(HDC dc) {
  CddState& s = TheCdd();
  if (s.back && dc) s.back->ReleaseDC(dc);
  s.dc = nullptr;
}

HRESULT Cdd::FillRectangle(int left, int top, int right, int bottom, CColor color) {
  CddState& s = TheCdd();
  if (s.locked) ReportError(0, "Cdd::FillRectangle Surface locked");
  if (!s.back) return pv::kErrInvalidObject;
  pv::Rect r{left, top, right, bottom};
  pv::BltFx fx;
  fx.fillColor = static_cast<std::uint32_t>(ColorToPixel(color));
  return s.back->Blt(&r, nullptr, nullptr, pv::kBltColorFill | pv::kBltWait, &fx);
}

int Cdd::ColorToPixel(CColor c) const {
  const CddState& s = TheCdd();
  auto put = [](std::uint8_t v, int bits, int shift, std::uint32_t mask) -> std::uint32_t {
    if (!mask || bits <= 0) return 0;
    const std::uint32_t x = bits <= 8 ? static_cast<std::uint32_t>(v) >> (8 - bits) : static_cast<std::uint32_t>(v)
                                                                                          << (bits - 8);
    return (x << shift) & mask;
  };
  return static_cast<int>(put(c.r, s.redBits, s.redShift, s.redMask) | put(c.g, s.greenBits, s.greenShift, s.greenMask) |
                          put(c.b, s.blueBits, s.blueShift, s.blueMask));
}

std::uint32_t Cdd::GetRedMask() const { return TheCdd().redMask; }
std::uint32_t Cdd::GetGreenMask() const { return TheCdd().greenMask; }
std::uint32_t Cdd::GetBlueMask() const { return TheCdd().blueMask; }

int Cdd::ReportError(HRESULT code, const char* context) {
  CddState& s = TheCdd();
  if (code == pv::kErrSurfaceLost) {
    DebugTrace("DDERR_SURFACELOST");
    RestoreSurfaces();
    if (s.display) {
      s.display->RestoreDisplayMode();
      s.display->SetCooperativeLevel(s.window, pv::kCoopNormal | pv::kCoopNoWindowChanges);
    }
    return 0;
  }
  if (s.display) {
    s.display->RestoreDisplayMode();
    s.display->SetCooperativeLevel(s.window, pv::kCoopNormal | pv::kCoopNoWindowChanges);
  }
  if (pv::Window* main = pv::MainWindow()) main->Show(false);
  std::string text;
  if (code != 0) {
    char head[32];
    std::snprintf(head, sizeof head, "(Err 0x%08x) ", static_cast<unsigned>(code));
    text = std::string(head) + ErrorDescription(code);
  }
  const std::string message = (context ? std::string(context) : std::string("DirectDraw error\n")) + text;
  s.locked = 0;
  ReleaseTextureSlots();
  ReleaseSurfaces();
  if (s.display) {
    s.display->RestoreDisplayMode();
    s.display->SetCooperativeLevel(s.window, pv::kCoopNormal | pv::kCoopNoWindowChanges);
  }
  s.d3d.reset();
  s.display.reset();
  platform::MessageBox(message, "Direct Draw Error", platform::kMbOk);
  DebugTrace("Cdd:Directdrawerror:%s\n", message.c_str());
  platform::Exit(0);
}

// Inspection.
int Cdd::DriverCount() { return TheCdd().driverCount; }
const CddDriver& Cdd::Driver(int index) { return TheCdd().drivers[std::clamp(index, 0, kCddMaxDrivers - 1)]; }
int Cdd::SelectedDriver() { return TheCdd().selected; }
int Cdd::DisplayModeCount() { return TheCdd().modeCount; }
const CddDisplayMode& Cdd::DisplayMode(int index) {
  return TheCdd().modes[std::clamp(index, 0, kCddMaxDisplayModes - 1)];
}
const CddTextureFormat& Cdd::TextureFormat(int index) { return TheCdd().formats[std::clamp(index, 0, 2)]; }
const std::string& Cdd::TextureSlotName(int slot) {
  return TheCdd().textures[std::clamp(slot, 0, kCddTextureSlots - 1)].name;
}
std::uint32_t Cdd::TextureSlotHandle(int slot) {
  return TheCdd().textures[std::clamp(slot, 0, kCddTextureSlots - 1)].handle;
}
int Cdd::TextureSlotHasAlpha(int slot) { return TheCdd().textures[std::clamp(slot, 0, kCddTextureSlots - 1)].alpha; }
const std::string& Cdd::BitmapSlotName(int slot) {
  return TheCdd().bitmaps[std::clamp(slot, 0, kCddBitmapSlots - 1)].name;
}
std::uint32_t Cdd::BitmapSlotTime(int slot) {
  return TheCdd().bitmaps[std::clamp(slot, 0, kCddBitmapSlots - 1)].lastUse;
}
int Cdd::StagingCount() { return TheCdd().stagingCount; }
int Cdd::HasZBuffer() { return TheCdd().zbuffer ? 1 : 0; }
int Cdd::IsFullScreen() { return TheCdd().fullScreen; }
HWND Cdd::FormatWindow() { return TheCdd().window; }
pv::Surface* Cdd::BackSurface() { return TheCdd().back.get(); }
pv::Surface* Cdd::PrimarySurface() { return TheCdd().primary.get(); }
pv::Display* Cdd::GetDisplay() { return TheCdd().display.get(); }
pv::Device3D* Cdd::Device() { return TheCdd().device.get(); }
int Cdd::CachedFlags() { return TheCdd().cachedFlags; }
int Cdd::CachedTexture() { return TheCdd().cachedTexture; }
int Cdd::CachedSpecular() { return TheCdd().cachedSpecular; }
std::uint8_t Cdd::BrightRamp(int i) { return TheCdd().bright[std::clamp(i, 0, 255)]; }
std::uint8_t Cdd::OverRamp(int i) { return TheCdd().over[std::clamp(i, 0, 255)]; }
