#include "platform/video/machine.h"

#include <charconv>
#include <cstdlib>
#include <optional>

namespace platform::video {

DriverDesc DefaultDriver() {
  DriverDesc d;
  d.guid = {0x6b, 0x76, 0x21, 0x1d, 0x33, 0x7a, 0x4e, 0x10, 0x9a, 0x01, 0x48, 0x57, 0x45, 0x4d, 0x55, 0x01};
  d.description = "Emulated 3D accelerator";
  d.name = "Emulated HAL";
  d.hardware.colorModel = kColorModelRgb;
  d.hardware.devCaps = kDevCapsTextureVideoMemory | kDevCapsTextureSystemMemory | kDevCapsHwRasterization;
  d.hardware.triTextureCaps = kTexCapsPerspective;
  d.hardware.renderBitDepth = kDepth16 | kDepth32;
  d.hardware.zBufferBitDepth = kDepth16;
  d.hardware.maxVertexCount = 65535;
  d.hardware.maxTextureBlendStages = 2;
  d.hardware.maxSimultaneousTextures = 2;
  d.hardware.stencilCaps = kStencilOpIncrSat | kStencilOpDecrSat | kStencilOpIncr | kStencilOpDecr;
  d.software = {};
  return d;
}

Machine DefaultMachine() {
  Machine m;
  m.screenWidth = 1920;
  m.screenHeight = 1080;
  m.screenFormat = Format565();
  m.has3D = true;
  m.drivers = {DefaultDriver()};
  const int sizes[][2] = {{640, 480}, {800, 600}, {1024, 768}, {1280, 1024}, {1920, 1080}};
  for (const auto& s : sizes) {
    m.modes.push_back({s[0], s[1], 16, 60, true});
    m.modes.push_back({s[0], s[1], 32, 60, true});
  }
  m.textureFormats = {Format565(), Format4444(), Format1555(), FormatX8888(), FormatA8888()};
  m.videoMemory = 64u << 20;
  m.nonLocalMemory = 0;
  return m;
}

namespace {

std::optional<int> ParseInt(std::string_view s) {
  int v = 0;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || p != s.data() + s.size()) return std::nullopt;
  return v;
}

Machine& Current() {
  static Machine machine = [] {
    Machine m = DefaultMachine();
    if (const char* env = std::getenv("VIDEO_MACHINE")) ApplyMachineSetting(m, env);
    return m;
  }();
  return machine;
}

}  // namespace

bool ApplyMachineSetting(Machine& machine, std::string_view setting) {
  bool ok = true;
  while (!setting.empty()) {
    auto comma = setting.find(',');
    std::string_view item = setting.substr(0, comma);
    setting = comma == std::string_view::npos ? std::string_view{} : setting.substr(comma + 1);
    while (!item.empty() && item.front() == ' ') item.remove_prefix(1);
    while (!item.empty() && item.back() == ' ') item.remove_suffix(1);
    if (item.empty() || item == "default") continue;
    if (item == "no-3d") {
      machine.has3D = false;
    } else if (item == "no-driver") {
      machine.drivers.clear();
    } else if (item == "no-16bit") {
      for (auto& d : machine.drivers) d.hardware.renderBitDepth &= ~kDepth16;
    } else if (item == "no-zbuffer") {
      for (auto& d : machine.drivers) d.hardware.zBufferBitDepth = 0;
    } else if (item.starts_with("screen=")) {
      auto v = item.substr(7);
      auto x = v.find('x');
      auto w = ParseInt(v.substr(0, x));
      auto h = x == std::string_view::npos ? std::nullopt : ParseInt(v.substr(x + 1));
      if (w && h && *w > 0 && *h > 0 && *w <= 16384 && *h <= 16384) {
        machine.screenWidth = *w;
        machine.screenHeight = *h;
      } else {
        ok = false;
      }
    } else if (item.starts_with("stages=")) {
      auto n = ParseInt(item.substr(7));
      if (n && *n >= 1 && *n <= 8) {
        for (auto& d : machine.drivers) d.hardware.maxTextureBlendStages = d.hardware.maxSimultaneousTextures = *n;
      } else {
        ok = false;
      }
    } else if (item.starts_with("version=")) {
      const auto v = item.substr(8);
      int value = 0;
      auto [p, ec] = std::from_chars(v.data(), v.data() + v.size(), value, 16);
      if (ec == std::errc() && p == v.data() + v.size() && value >= 0 && value <= 0xFFFF) machine.libraryVersion = value;
      else ok = false;
    } else if (item.starts_with("vram=")) {
      auto mb = ParseInt(item.substr(5));
      if (mb && *mb >= 0 && *mb <= 65536) machine.videoMemory = static_cast<std::size_t>(*mb) << 20;
      else ok = false;
    } else {
      ok = false;
    }
  }
  return ok;
}

const Machine& CurrentMachine() { return Current(); }
void SetCurrentMachine(const Machine& machine) { Current() = machine; }
void ResetCurrentMachine() {
  Machine m = DefaultMachine();
  if (const char* env = std::getenv("VIDEO_MACHINE")) ApplyMachineSetting(m, env);
  Current() = m;
}

ScopedMachine::ScopedMachine(const Machine& machine) : previous_(Current()) { Current() = machine; }
ScopedMachine::~ScopedMachine() { Current() = previous_; }

}  // namespace platform::video
