#include "meshedit/core/cdd.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "datafiles/common/debug_trace.h"
#include "platform/video/clipper.h"
#include "platform/video/device3d.h"
#include "platform/video/display.h"
#include "platform/video/graphics3d.h"
#include "platform/video/texture.h"
#include "platform/video/viewport.h"
#include "platform/video/window.h"

namespace pavix {
namespace {

// Cooperative levels of the device: normal with floating-point set-up, and
// exclusive full screen that allows a reboot.
constexpr std::uint32_t kCoopFpuSetup = 0x800;
constexpr std::uint32_t kCoopAllowReboot = 0x2;

template <std::size_t N>
void CopyName(std::array<char, N>& to, const std::string& from) {
  to.fill(0);
  std::memcpy(to.data(), from.data(), std::min(from.size(), N - 1));
}

bool RendersAt(const pv::HardwareDesc& hw, int bits) {
  const std::uint32_t need = bits == 16 ? pv::kDepth16 : bits == 24 ? pv::kDepth24 : bits == 32 ? pv::kDepth32 : 0;
  return (hw.renderBitDepth & need) != 0;
}

int AlphaBits(const pv::PixelFormat& f) { return MaskBitCount(f.alphaMask); }

}  // namespace

CddState& Cdd::State() {
  static CddState state;
  return state;
}

void Cdd::Reset() {
  ReleaseAll();
  State() = CddState{};
}

Cdd::Cdd() {
  Reset();
  if (pv::HResult r = pv::Display::EnumerateDrivers(DriverEnumCallback); pv::Failed(r)) LogError(r);
  State().driver = 0;
}

Cdd::~Cdd() { ReleaseAll(); }

bool Cdd::DriverEnumCallback(const pv::Guid* guid, const std::string& description, const std::string& name) {
  CddState& s = State();
  DebugTrace("Cdd::DriverEnumCallback: %s %s\n", description.c_str(), name.c_str());
  if (s.driverCount >= kCddMaxDrivers) return true;  // the table is full; later drivers are not recorded
  std::shared_ptr<pv::Display> display;
  if (pv::HResult r = pv::Display::Create(guid, &display); pv::Failed(r)) {
    DebugTrace("Cdd::Can't create DDraw during enumeration!");
    LogError(r);
    return true;
  }
  std::shared_ptr<pv::Graphics3D> d3d;
  if (pv::HResult r = display->Query3D(&d3d); pv::Failed(r)) {
    DebugTrace("Cdd::Can't query IDirect3D during enumeration!");
    LogError(r);
    return true;
  }
  CddDriver& d = s.drivers[static_cast<std::size_t>(s.driverCount)];
  d = CddDriver{};
  CopyName(d.description, description);
  CopyName(d.name, name);
  if (guid) d.guid = *guid;
  // The record being filled is the next one; the device callback writes into it.
  pv::HResult r = d3d->EnumDevices([](const pv::Guid& g, const std::string& desc, const std::string& nm,
                                      const pv::HardwareDesc& hw, const pv::HardwareDesc&) {
    return DeviceEnumCallback(g, desc, nm, hw);
  });
  if (pv::Failed(r)) DebugTrace("Cdd::Enum device error\n");
  d.modeCount = 0;
  d.selectedMode = 0;
  DebugTrace("Cdd::Enumerating display modes\n");
  r = display->EnumDisplayModes(0, modecallback);
  if (pv::Failed(r)) {
    LogError(r);
    return true;
  }
  // By width, then height.
  for (int i = 0; i < d.modeCount; ++i)
    for (int j = i + 1; j < d.modeCount; ++j) {
      auto key = [](const CddMode& m) { return static_cast<std::int64_t>(m.width) * 65536 + m.height; };
      if (key(d.modes[static_cast<std::size_t>(j)]) < key(d.modes[static_cast<std::size_t>(i)]))
        std::swap(d.modes[static_cast<std::size_t>(i)], d.modes[static_cast<std::size_t>(j)]);
    }
  DebugTrace("Cdd::DriverEnumCallback: EnumDevice OK\n");
  ++s.driverCount;
  return true;
}

bool Cdd::DeviceEnumCallback(const pv::Guid& guid, const std::string& description, const std::string& name,
                             const pv::HardwareDesc& hardware) {
  CddState& s = State();
  DebugTrace("Cdd::DeviceEnumCallback: %s %s\n", description.c_str(), name.c_str());
  if (s.driverCount >= kCddMaxDrivers) return false;
  if (!(hardware.triTextureCaps & pv::kTexCapsPerspective)) return true;
  if (!(hardware.renderBitDepth & (pv::kDepth16 | pv::kDepth24 | pv::kDepth32))) return true;
  CddDriver& d = s.drivers[static_cast<std::size_t>(s.driverCount)];
  CopyName(d.deviceName, name);
  CopyName(d.deviceDescription, description);
  d.deviceDesc = hardware;
  d.deviceGuid = guid;
  d.hasDevice = true;
  return true;
}

bool Cdd::modecallback(const pv::SurfaceDesc& desc) {
  CddState& s = State();
  if (s.driverCount >= kCddMaxDrivers) return false;
  CddDriver& d = s.drivers[static_cast<std::size_t>(s.driverCount)];
  const int bits = desc.format.bitsPerPixel;
  if (bits != 16 && bits != 24 && bits != 32) return true;
  if (!d.hasDevice || !RendersAt(d.deviceDesc, bits)) return true;
  static constexpr int kSizes[][2] = {{640, 480}, {1024, 768}, {1152, 864}, {1280, 1024}, {512, 384}};
  const bool sizeOk = std::any_of(std::begin(kSizes), std::end(kSizes),
                                  [&](const int* wh) { return wh[0] == desc.width && wh[1] == desc.height; });
  if (!sizeOk) return true;
  for (int i = 0; i < d.modeCount; ++i) {
    const CddMode& m = d.modes[static_cast<std::size_t>(i)];
    if (m.width == desc.width && m.height == desc.height && m.bitsPerPixel == bits) return true;
  }
  if (d.modeCount >= kCddMaxModes) return true;
  d.modes[static_cast<std::size_t>(d.modeCount++)] = {desc.width, desc.height, bits};
  DebugTrace("Cdd::modecallback: %dx%d bpp:%d\n", desc.width, desc.height, bits);
  return true;
}

bool Cdd::EnumTextureFormatsCallback(const pv::SurfaceDesc& desc) {
  CddState& s = State();
  const pv::PixelFormat& f = desc.format;
  if (f.bitsPerPixel != 16 && f.bitsPerPixel != 32) return true;
  if (f.bumpDuDv) {
    pv::PixelFormat& slot = s.textureFormats[kFormatBump];
    if (MaskBitCount(f.redMask) + MaskBitCount(f.greenMask) > MaskBitCount(slot.redMask) + MaskBitCount(slot.greenMask))
      slot = f;
    return true;
  }
  if (!f.rgb) return true;
  const bool is16 = f.bitsPerPixel == 16;
  if (f.alphaMask) {
    pv::PixelFormat& most = s.textureFormats[is16 ? kFormatRgb16Alpha : kFormatRgb32Alpha];
    const int full = is16 ? 4 : 8;
    if (AlphaBits(most) < full && AlphaBits(f) > AlphaBits(most)) most = f;
    pv::PixelFormat& fewest = s.textureFormats[is16 ? kFormatRgb16Alpha1 : kFormatRgb32Alpha1];
    if (fewest.bitsPerPixel == 0 || AlphaBits(fewest) > AlphaBits(f)) fewest = f;
  } else {
    pv::PixelFormat& rgb = s.textureFormats[is16 ? kFormatRgb16 : kFormatRgb32];
    auto colourBits = [](const pv::PixelFormat& p) {
      return MaskBitCount(p.redMask) + MaskBitCount(p.greenMask) + MaskBitCount(p.blueMask);
    };
    if (colourBits(f) > colourBits(rgb)) rgb = f;
  }
  return true;
}

bool Cdd::EnumZBufferFormatsCallback(int depthBits, int stencilBits) {
  CddState& s = State();
  DebugTrace("Cdd::EnumZBufferFormatsCallback Depth:%d Stencil:%d\n", depthBits, stencilBits);
  if ((depthBits != 16 && depthBits != 32) || (stencilBits != 0 && stencilBits != 8)) return true;
  const int index = (depthBits == 32 ? 2 : 0) + (stencilBits ? 1 : 0);
  s.depthFormats[static_cast<std::size_t>(index)] = pv::PixelFormat{depthBits, false, 0, 0, 0, 0};
  return true;
}

void Cdd::ReleaseAll() {
  releasealltexture();
  ReleaseSurfaces();
  ReleaseDirectDraw();
}

void Cdd::ReleaseSurfaces() {
  CddState& s = State();
  auto release = [](auto& p, const char* text) {
    if (!p) return;
    const long left = p.use_count() - 1;
    p.reset();
    DebugTrace(text, static_cast<int>(left));
  };
  if (s.device && s.viewport) s.device->DeleteViewport(s.viewport);
  release(s.viewport, "Cdd::Viewport released %d\n");
  release(s.device, "Cdd::Device released %d\n");
  if (s.back && s.zbuffer) s.back->DeleteAttachedSurface(s.zbuffer);
  release(s.back, "Cdd::backbuffer released %d\n");
  release(s.zbuffer, "Cdd::zbuffer released %d\n");
  if (s.primary && s.clipper) s.primary->SetClipper(nullptr);
  release(s.clipper, "Cdd::clipper released %d\n");
  release(s.primary, "Cdd::primary released %d\n");
  release(s.d3d, "Cdd::D3d released %d\n");
  s.depthBuffer = false;
  s.inScene = false;
  s.batchCount = 0;
}

void Cdd::ReleaseDirectDraw() {
  CddState& s = State();
  if (!s.display) return;
  s.display->SetCooperativeLevel(s.window, pv::kCoopNormal);
  if (s.display->IsFullScreen()) s.display->RestoreDisplayMode();
  const long left = s.display.use_count() - 1;
  s.display.reset();
  DebugTrace("Cdd::dd released %d\n", static_cast<int>(left));
  DebugTrace("Cdd::d released %d\n", 0);
}

void Cdd::LogError(pv::HResult code) { DebugTrace("Cdd::ERR:0x%x %s\n", static_cast<unsigned>(code), ErrorText(code)); }

int Cdd::Setformat(pv::Window* window, int fullScreen) {
  CddState& s = State();
  if (s.inSetformat) {
    DebugTrace("Cdd::Setformat (ever in set format -> return)\n");
    return 1;
  }
  DebugTrace("--------------------------------------------------------------------------------\n");
  DebugTrace("Cdd::Setformat (entering in...) CURR FS=%d NEW FS:%d\n", s.fullScreen, fullScreen);
  const int previousFullScreen = s.fullScreen;
  s.inSetformat = 1;
  s.window = window;
  int tries = s.backBufferCount;
  auto fail = [&]() {
    DebugTrace("Cdd::Setformat ERROR %dx%d bpp%d fs%d\n", s.width, s.height, s.bitsPerPixel, fullScreen);
    releasealltexture();
    ReleaseSurfaces();
    s.fullScreen = previousFullScreen;
    s.inSetformat = 0;
    return 0;
  };
  for (;;) {
    const CddDriver& d = s.drivers[static_cast<std::size_t>(std::clamp(s.driver, 0, kCddMaxDrivers - 1))];
    DebugTrace("Cdd::%s Trying Setformat fs%d\n", d.description.data(), fullScreen);
    releasealltexture();
    ReleaseSurfaces();
    if (s.createPending || !s.display) {
      ReleaseDirectDraw();
      DebugTrace("Cdd::Creating directdraw object\n");
      const bool primaryDriver = d.guid == pv::Guid{};
      if (pv::HResult r = pv::Display::Create(primaryDriver ? nullptr : &d.guid, &s.display); pv::Failed(r)) {
        LogError(r);
        return fail();
      }
      s.createPending = 0;
    }
    s.fullScreen = fullScreen;
    if (fullScreen) {
      if (pv::HResult r = SetFullScreen(window); pv::Failed(r)) {
        if (tries >= 2) {
          --tries;
          continue;
        }
        return fail();
      }
    } else if (pv::HResult r = SetWindowed(window); pv::Failed(r)) {
      return fail();
    }
    if (pv::HResult r = createdevice(); pv::Failed(r)) return fail();
    if (pv::HResult r = CreateZBuffer(); pv::Failed(r)) {
      if (tries >= 2) {
        --tries;
        continue;
      }
      return fail();
    }
    break;
  }
  const pv::HardwareDesc& hw = s.drivers[static_cast<std::size_t>(s.driver)].deviceDesc;
  int stages = std::min(hw.maxTextureBlendStages, hw.maxSimultaneousTextures);
  if (stages > 1 && s.textureFormats[kFormatRgb32].bitsPerPixel == 0) stages = 2;
  s.stages = std::clamp(stages, 1, s.maxStages);

  pv::SurfaceDesc bd;
  s.back->GetSurfaceDesc(&bd);
  s.redMask = bd.format.redMask;
  s.greenMask = bd.format.greenMask;
  s.blueMask = bd.format.blueMask;
  s.redShift = LowestSetBit(s.redMask);
  s.greenShift = LowestSetBit(s.greenMask);
  s.blueShift = LowestSetBit(s.blueMask);
  s.redBits = MaskBitCount(s.redMask);
  s.greenBits = MaskBitCount(s.greenMask);
  s.blueBits = MaskBitCount(s.blueMask);
  s.bitsPerPixel = bd.format.bitsPerPixel;
  SetDrawRect(0, 0, s.width - 1, s.height - 1);
  DebugTrace("Cdd::Setformat Done %dx%d bpp%d fs%d\n", s.width, s.height, s.bitsPerPixel, fullScreen);
  s.inSetformat = 0;
  return 1;
}

pv::HResult Cdd::SetFullScreen(pv::Window* window) {
  CddState& s = State();
  if (window && !s.display->IsFullScreen()) {
    s.savedWindowRect = window->ClientRect();
    DebugTrace("Cdd::Saving window rect %dx%d\n", s.savedWindowRect.Width(), s.savedWindowRect.Height());
  }
  CddDriver& d = s.drivers[static_cast<std::size_t>(s.driver)];
  if (d.modeCount <= 0) {
    // No mode this device can render in: nothing to switch to.
    LogError(pv::kErrInvalidMode);
    return pv::kErrInvalidMode;
  }
  const CddMode m = d.modes[static_cast<std::size_t>(d.selectedMode % d.modeCount)];
  DebugTrace("Cdd::Set exclusive coop level\n");
  pv::HResult r = s.display->SetCooperativeLevel(window, pv::kCoopExclusive | pv::kCoopFullScreen | kCoopAllowReboot);
  if (pv::Failed(r)) {
    LogError(r);
    return r;
  }
  DebugTrace("Cdd::set display mode %dx%d bpp:%d\n", m.width, m.height, m.bitsPerPixel);
  r = s.display->SetDisplayMode(m.width, m.height, m.bitsPerPixel, 0, 0);
  if (pv::Failed(r)) {
    LogError(r);
    return r;
  }
  pv::SurfaceDesc pd;
  pd.flags = pv::kDescCaps | pv::kDescBackBufferCount;
  pd.caps = pv::kCapsPrimary | pv::kCapsFlip | pv::kCapsComplex | pv::kCaps3DDevice | pv::kCapsVideoMemory;
  pd.backBufferCount = s.backBufferCount;
  r = s.display->CreateSurface(pd, &s.primary);
  if (pv::Failed(r)) {
    LogError(r);
    s.backBufferCount = 1;
    pd.backBufferCount = s.backBufferCount;
    r = s.display->CreateSurface(pd, &s.primary);
    if (pv::Failed(r)) {
      LogError(r);
      return r;
    }
  }
  r = s.primary->GetAttachedSurface(pv::kCapsBackBuffer, &s.back);
  if (pv::Failed(r)) {
    LogError(r);
    return r;
  }
  s.width = m.width;
  s.height = m.height;
  return pv::kOk;
}

pv::HResult Cdd::SetWindowed(pv::Window* window) {
  CddState& s = State();
  DebugTrace("Cdd::Set normal cooperative level\n");
  pv::HResult r = s.display->SetCooperativeLevel(window, pv::kCoopNormal | kCoopFpuSetup);
  if (pv::Failed(r)) {
    LogError(r);
    return r;
  }
  if (s.display->IsFullScreen()) s.display->RestoreDisplayMode();
  if (window && s.fullScreen == 0 && !s.savedWindowRect.Empty() && window->ClientRect().Empty()) {
    window->SetClientRect(s.savedWindowRect);
    DebugTrace("Restoring window rect %dx%d\n", s.savedWindowRect.Width(), s.savedWindowRect.Height());
  }
  const pv::Rect client = window ? window->ClientRect() : pv::Rect{};
  if (client.Empty()) {
    LogError(pv::kErrInvalidRect);
    return pv::kErrInvalidRect;
  }
  s.width = client.Width();
  s.height = client.Height();
  pv::SurfaceDesc pd;
  pd.flags = pv::kDescCaps;
  pd.caps = pv::kCapsPrimary;
  if (r = s.display->CreateSurface(pd, &s.primary); pv::Failed(r)) {
    LogError(r);
    return r;
  }
  if (r = s.display->CreateClipper(0, &s.clipper); pv::Failed(r)) {
    LogError(r);
    return r;
  }
  if (r = s.clipper->SetWindow(window); pv::Failed(r)) {
    LogError(r);
    return r;
  }
  if (r = s.primary->SetClipper(s.clipper); pv::Failed(r)) {
    LogError(r);
    return r;
  }
  pv::SurfaceDesc bd;
  bd.flags = pv::kDescCaps | pv::kDescWidth | pv::kDescHeight;
  bd.caps = pv::kCapsOffscreen | pv::kCaps3DDevice | pv::kCapsVideoMemory;
  bd.width = s.width;
  bd.height = s.height;
  if (r = s.display->CreateSurface(bd, &s.back); pv::Failed(r)) {
    LogError(r);
    return r;
  }
  return pv::kOk;
}

pv::HResult Cdd::createdevice() {
  CddState& s = State();
  DebugTrace("Cdd::createdevice:QueryInterface IID_IDirect3D3\n");
  pv::HResult r = s.display->Query3D(&s.d3d);
  if (pv::Failed(r)) {
    LogError(r);
    return r;
  }
  const CddDriver& d = s.drivers[static_cast<std::size_t>(s.driver)];
  DebugTrace("Cdd::createdevice:Createdevice\n");
  if (!d.hasDevice) {
    LogError(pv::kErrBadDriver);
    return pv::kErrBadDriver;
  }
  if (r = s.d3d->CreateDevice(d.deviceGuid, s.back, &s.device); pv::Failed(r)) {
    LogError(r);
    return r;
  }
  DebugTrace("Cdd::createdevice:CreateViewport\n");
  if (r = s.d3d->CreateViewport(&s.viewport); pv::Failed(r)) {
    LogError(r);
    return r;
  }
  DebugTrace("Cdd::createdevice:AddViewport\n");
  if (r = s.device->AddViewport(s.viewport); pv::Failed(r)) {
    LogError(r);
    return r;
  }
  DebugTrace("Cdd::createdevice:SetViewport\n");
  pv::ViewportDesc vd;
  vd.width = s.width;
  vd.height = s.height;
  vd.scaleX = static_cast<float>(s.width) / 2.0f;
  vd.scaleY = static_cast<float>(s.height) / 2.0f;
  vd.maxX = 1.0f;
  vd.maxY = 1.0f;
  vd.minZ = 1.0f;
  vd.maxZ = 65535.0f;
  if (r = s.viewport->SetViewport(vd); pv::Failed(r)) {
    LogError(r);
    return r;
  }
  DebugTrace("Cdd::createdevice:SetCurrentViewport\n");
  if (r = s.device->SetCurrentViewport(s.viewport); pv::Failed(r)) {
    LogError(r);
    return r;
  }
  SetDrawRect(0, 0, s.width - 1, s.height - 1);
  DebugTrace("Cdd::Enumtextureformat\n");
  s.textureFormats.fill(pv::PixelFormat{});
  if (r = s.device->EnumTextureFormats(EnumTextureFormatsCallback); pv::Failed(r)) {
    LogError(r);
    return r;
  }
  auto log = [](const char* text, const pv::PixelFormat& f) {
    DebugTrace(text, f.bitsPerPixel, f.redMask, f.greenMask, f.blueMask, f.alphaMask);
  };
  log("RGB16:%x-%x-%x-%x\n", s.textureFormats[kFormatRgb16]);
  log("RGB16ALPHA:%x-%x-%x-%x\n", s.textureFormats[kFormatRgb16Alpha]);
  log("RGB16ALPHA1:%x-%x-%x-%x\n", s.textureFormats[kFormatRgb16Alpha1]);
  log("RGB32:%x-%x-%x-%x\n", s.textureFormats[kFormatRgb32]);
  log("RGB32ALPHA:%x-%x-%x-%x\n", s.textureFormats[kFormatRgb32Alpha]);
  log("RGB32ALPHA1:%x-%x-%x-%x\n", s.textureFormats[kFormatRgb32Alpha1]);
  DebugTrace("BUMPDUDV16:%x-%x\n", s.textureFormats[kFormatBump].redMask, s.textureFormats[kFormatBump].greenMask);
  return pv::kOk;
}

pv::HResult Cdd::CreateZBuffer() {
  CddState& s = State();
  s.depthBuffer = false;
  if (!s.wantDepth) return pv::kOk;
  pv::SurfaceDesc bd;
  if (pv::HResult r = s.back->GetSurfaceDesc(&bd); pv::Failed(r)) {
    LogError(r);
    return r;
  }
  s.depthFormats.fill(pv::PixelFormat{});
  const pv::HardwareDesc& hw = s.drivers[static_cast<std::size_t>(s.driver)].deviceDesc;
  // The device's depth formats; it offers none with stencil bits.
  if (hw.zBufferBitDepth & pv::kDepth16) EnumZBufferFormatsCallback(16, 0);
  if (hw.zBufferBitDepth & pv::kDepth24) EnumZBufferFormatsCallback(24, 0);
  if (hw.zBufferBitDepth & pv::kDepth32) EnumZBufferFormatsCallback(32, 0);
  const bool incr = hw.stencilCaps & (pv::kStencilOpIncrSat | pv::kStencilOpIncr);
  const bool decr = hw.stencilCaps & (pv::kStencilOpDecrSat | pv::kStencilOpDecr);
  if (incr && decr) {
    s.stencilIncrement = (hw.stencilCaps & pv::kStencilOpIncrSat) ? 1 : 2;
    s.stencilDecrement = (hw.stencilCaps & pv::kStencilOpDecrSat) ? 1 : 2;
  }
  auto present = [&](int i) { return s.depthFormats[static_cast<std::size_t>(i)].bitsPerPixel != 0; };
  s.depthFormat = -1;
  s.stencilInUse = false;
  if (s.wantStencil && incr && decr) {
    if (present(kDepth32Stencil)) s.depthFormat = kDepth32Stencil;
    else if (bd.format.bitsPerPixel == 16 && present(kDepth16Stencil)) s.depthFormat = kDepth16Stencil;
    s.stencilInUse = s.depthFormat >= 0;
  }
  if (s.depthFormat < 0) {
    if (bd.format.bitsPerPixel == 32 && present(kDepth32)) s.depthFormat = kDepth32;
    else if (present(kDepth16)) s.depthFormat = kDepth16;
    else if (present(kDepth32)) s.depthFormat = kDepth32;
  }
  if (s.depthFormat < 0) {
    LogError(pv::kErrNoZBufferHw);
    return pv::kErrNoZBufferHw;
  }
  pv::SurfaceDesc zd;
  zd.flags = pv::kDescCaps | pv::kDescWidth | pv::kDescHeight | pv::kDescZBufferBits;
  zd.caps = pv::kCapsZBuffer | pv::kCapsVideoMemory;
  zd.width = s.width;
  zd.height = s.height;
  zd.zBufferBits = s.depthFormats[static_cast<std::size_t>(s.depthFormat)].bitsPerPixel;
  pv::HResult r = s.display->CreateSurface(zd, &s.zbuffer);
  if (pv::Failed(r)) {
    LogError(r);
    return r;
  }
  if (r = s.back->AddAttachedSurface(s.zbuffer); pv::Failed(r)) {
    LogError(r);
    s.zbuffer.reset();
    return r;
  }
  s.depthBuffer = true;
  return pv::kOk;
}

void ProbeDirectXVersion(std::uint32_t* version, std::uint32_t* platform) {
  std::uint32_t v = 0, p = 2;
  std::shared_ptr<pv::Display> display;
  if (pv::Failed(pv::Display::Create(nullptr, &display))) {
    DebugTrace("Cdd::Couldn't create DDraw\r\n");
    p = 0;
  } else {
    // The installed library's version, on the steps the probe can tell apart.
    const int installed = display->GetMachine().libraryVersion;
    for (const int step : {0x100, 0x200, 0x300, 0x500, 0x600})
      if (installed >= step) v = static_cast<std::uint32_t>(step);
    if (v < 0x200) DebugTrace("Cdd::Couldn't QI DDraw2\r\n");
    else if (v < 0x300) DebugTrace("Cdd::Couldn't LoadLibrary DInput\r\n");
  }
  if (version) *version = v;
  if (platform) *platform = p;
}

int MaskBitCount(std::uint32_t mask) { return std::popcount(mask); }
int LowestSetBit(std::uint32_t mask) { return mask ? std::countr_zero(mask) : 32; }
int HighestSetBit(std::uint32_t mask) { return mask ? 31 - std::countl_zero(mask) : -1; }

}  // namespace pavix
