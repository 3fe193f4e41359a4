// Random triangles, quads, lines, markers and pixels of every face kind, with
// any coordinates, texture coordinates, depths, colours and fades, drawn by
// the software renderer over a small device surface in one frame: nothing may
// be written outside the clip rectangle, and nothing may read or write
// outside a buffer.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/core/services.h"
#include "platform/video/surface.h"
#include "platform/video/window.h"
#include "render/cdd.h"
#include "render/soft_renderer.h"

namespace {

constexpr int kW = 37, kH = 23;

struct Reader {
  const std::uint8_t* data;
  std::size_t size;
  std::size_t at = 0;
  bool More() const { return at < size; }
  std::uint8_t Byte() { return at < size ? data[at++] : 0; }
  std::int16_t Short() { return static_cast<std::int16_t>(Byte() | Byte() << 8); }
  // Mostly small numbers; now and then any bit pattern (infinities, NaN).
  float Float(float scale) {
    const std::uint8_t kind = Byte();
    if (kind < 0xF0) return static_cast<float>(Short()) * scale;
    std::uint32_t bits = static_cast<std::uint32_t>(Short()) << 16 | static_cast<std::uint16_t>(Short());
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
  }
  CVertex Vertex() {
    CVertex v{};
    const int spread = Byte() & 3;
    const int scale = spread == 3 ? 100000 : spread == 2 ? 64 : 1;
    v.sx = Short() % 64 * scale;
    v.sy = Short() % 64 * scale;
    v.u = Float(0.5f);
    v.v = Float(0.5f);
    v.rz = Float(1.0f / 65536.0f);
    v.z = v.rz != 0.0f ? 1.0f / v.rz : 0.0f;
    v.color = CColor::FromRGBA(Byte(), Byte(), Byte(), Byte());
    v.fade = static_cast<std::int8_t>(Byte()) * 3;
    return v;
  }
};

struct Device {
  platform::ScriptedServices ui;
  platform::video::Window window{{0, 0, kW, kH}};
  std::unique_ptr<Cdd> cdd;
  // One renderer for every input: each frame starts its span lists and queue afresh.
  CSoftRenderer renderer;
  Device() {
    platform::video::SetMainWindow(&window);
    cdd = std::make_unique<Cdd>();
    cdd->SetFormat(&window, kW, kH, 16, 0, 0);
    renderer.SetDevice(cdd.get());
    renderer.SetPixelFormat(0xF800, 0x07E0, 0x001F);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Device device;
  platform::video::Surface* back = Cdd::BackSurface();
  if (!back || size < 6) return 0;
  Reader in{data, size};
  CSoftRenderer& r = device.renderer;
  // The screen may be given larger than the surface; the surface holds.
  r.SetScreenSize(kW + (in.Byte() & 7), kH + (in.Byte() & 7), 0);
  const int left = static_cast<std::int8_t>(in.Byte()) % 20, top = static_cast<std::int8_t>(in.Byte()) % 12;
  const int right = left + (in.Byte() % 48), bottom = top + (in.Byte() % 32);
  for (int y = 0; y < back->Height(); ++y)
    std::memset(back->Bits() + static_cast<std::size_t>(y) * back->Pitch(), 0xA5, static_cast<std::size_t>(back->Width()) * 2);
  r.BeginFrame(1);
  r.SetClipRect(left, top, right, bottom);
  while (in.More()) {
    const std::uint8_t op = in.Byte();
    const int flags = in.Byte() | (in.Byte() & 0x88) << 8;
    const CColor colour = CColor::FromRGBA(in.Byte(), in.Byte(), in.Byte(), in.Byte());
    switch (op % 6) {
      case 0:
      case 1: {
        const CVertex a = in.Vertex(), b = in.Vertex(), c = in.Vertex();
        r.DrawTriangle(flags, &a, &b, &c, static_cast<std::int8_t>(in.Byte()) % 40, colour);
        break;
      }
      case 2: {
        const CVertex a = in.Vertex(), b = in.Vertex(), c = in.Vertex(), d = in.Vertex();
        r.DrawQuad(flags, &a, &b, &c, &d, in.Byte() % 32, colour);
        break;
      }
      case 3:
        r.DrawLine(flags, in.Vertex(), in.Vertex(), colour);
        break;
      case 4:
        r.DrawMarker(in.Short() % 80, in.Short() % 80, colour);
        break;
      default:
        r.SetPixel(in.Short() % 80, in.Short() % 80, colour);
        break;
    }
  }
  r.EndFrame();
  // Only the clip rectangle (as held to the surface) may have changed.
  const int x0 = left < 0 ? 0 : left, y0 = top < 0 ? 0 : top;
  for (int y = 0; y < back->Height(); ++y)
    for (int x = 0; x < back->Width(); ++x) {
      const bool inside = x >= x0 && x <= right && y >= y0 && y <= bottom;
      if (!inside && back->PixelAt(x, y) != 0xA5A5u) std::abort();
    }
  return 0;
}
