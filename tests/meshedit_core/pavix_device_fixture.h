#pragma once
// Pavix's display device set up on an emulated machine with a 32-bit
// desktop, in a window of a given size, through the pipeline that owns it;
// and small TGA files for its textures.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "meshedit/core/cdd.h"
#include "meshedit/core/render_pipeline.h"
#include "platform/video/machine.h"
#include "platform/video/surface.h"
#include "platform/video/window.h"
#include "support/temp_dir.h"

namespace pavixtest {

namespace pv = platform::video;

inline pv::Machine DesktopMachine32(int stages = 2) {
  pv::Machine m = pv::DefaultMachine();
  m.screenFormat = pv::FormatX8888();
  for (auto& d : m.drivers) d.hardware.maxTextureBlendStages = d.hardware.maxSimultaneousTextures = stages;
  return m;
}

// A TGA file: uncompressed true colour, rows stored bottom first as the
// format wants; pixel(x, y) gives 0xAARRGGBB with y = 0 the top row.
inline std::vector<std::uint8_t> TgaFile(int width, int height, int bits,
                                         const std::function<std::uint32_t(int, int)>& pixel) {
  std::vector<std::uint8_t> f(18, 0);
  f[2] = 2;
  f[12] = static_cast<std::uint8_t>(width);
  f[13] = static_cast<std::uint8_t>(width >> 8);
  f[14] = static_cast<std::uint8_t>(height);
  f[15] = static_cast<std::uint8_t>(height >> 8);
  f[16] = static_cast<std::uint8_t>(bits);
  for (int y = height - 1; y >= 0; --y)
    for (int x = 0; x < width; ++x) {
      const std::uint32_t c = pixel(x, y);
      f.push_back(static_cast<std::uint8_t>(c));
      f.push_back(static_cast<std::uint8_t>(c >> 8));
      f.push_back(static_cast<std::uint8_t>(c >> 16));
      if (bits == 32) f.push_back(static_cast<std::uint8_t>(c >> 24));
    }
  return f;
}

// The device in a window, made through the pipeline as the program makes it.
class PavixScreen {
 public:
  explicit PavixScreen(int width = 64, int height = 48, const pv::Machine& machine = DesktopMachine32())
      : machine_(machine), window_(pv::Rect{0, 0, width, height}) {
    pipeline_ = std::make_unique<pavix::CRenderPipeline>();
    ok_ = pavix::CRenderPipeline::SetFormat(&window_, 0) == 1;
  }
  ~PavixScreen() { pipeline_.reset(); }
  bool ok() const { return ok_; }
  pv::Window& window() { return window_; }
  pv::Surface& back() { return *pavix::Cdd::State().back; }
  // 0xRRGGBB of a back-buffer pixel.
  std::uint32_t Pixel(int x, int y) { return back().PixelAt(x, y) & 0xFFFFFF; }

 private:
  pv::ScopedMachine machine_;
  pv::Window window_;
  std::unique_ptr<pavix::CRenderPipeline> pipeline_;
  bool ok_ = false;
};

}  // namespace pavixtest
