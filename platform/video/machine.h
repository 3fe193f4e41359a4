#pragma once
// The machine the display runs on: screen, 3D drivers and their caps,
// display modes, texture formats and memory. Tests build their own; the
// programs take DefaultMachine() adjusted by the VIDEO_MACHINE setting.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/video/types.h"

namespace platform::video {

using Guid = std::array<std::uint8_t, 16>;

// Colour models of a driver.
inline constexpr int kColorModelMono = 1;
inline constexpr int kColorModelRgb = 2;

// Device caps bits.
inline constexpr std::uint32_t kDevCapsTextureSystemMemory = 0x100;
inline constexpr std::uint32_t kDevCapsTextureVideoMemory = 0x200;
inline constexpr std::uint32_t kDevCapsTextureNonLocalVidMem = 0x1000;
inline constexpr std::uint32_t kDevCapsHwRasterization = 0x80000;
// Triangle texture caps bits.
inline constexpr std::uint32_t kTexCapsPerspective = 0x1;
// Bit-depth masks (render targets and Z-buffers).
inline constexpr std::uint32_t kDepth8 = 0x800;
inline constexpr std::uint32_t kDepth16 = 0x400;
inline constexpr std::uint32_t kDepth24 = 0x200;
inline constexpr std::uint32_t kDepth32 = 0x100;

// What a driver says of its hardware (the part the program reads).
struct HardwareDesc {
  int colorModel = kColorModelRgb;
  std::uint32_t devCaps = 0;
  std::uint32_t triTextureCaps = 0;
  std::uint32_t renderBitDepth = 0;   // kDepth* bits the driver renders into
  std::uint32_t zBufferBitDepth = 0;  // kDepth* bits of Z-buffers it supports
  int maxVertexCount = 0;
  // Texture stages a triangle can blend, and how many textures they can hold at once.
  int maxTextureBlendStages = 1;
  int maxSimultaneousTextures = 1;
  int minTextureWidth = 1, minTextureHeight = 1;
  int maxTextureWidth = 2048, maxTextureHeight = 2048;
  std::uint32_t stencilCaps = 0;  // kStencilOp* bits
};

// Stencil operation caps bits.
inline constexpr std::uint32_t kStencilOpIncrSat = 0x8;
inline constexpr std::uint32_t kStencilOpDecrSat = 0x10;
inline constexpr std::uint32_t kStencilOpIncr = 0x40;
inline constexpr std::uint32_t kStencilOpDecr = 0x80;

struct DriverDesc {
  Guid guid{};
  std::string description;
  std::string name;
  HardwareDesc hardware;
  HardwareDesc software;
};

struct DisplayModeDesc {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;
  int refreshRate = 0;
  bool rgb = true;
};

struct Machine {
  int screenWidth = 1920;
  int screenHeight = 1080;
  PixelFormat screenFormat;  // the desktop's (and so the primary surface's) format
  bool has3D = true;         // a 3D interface can be obtained at all
  std::vector<DriverDesc> drivers;
  std::vector<DisplayModeDesc> modes;
  std::vector<PixelFormat> textureFormats;
  std::size_t videoMemory = 64u << 20;    // surfaces and textures in video memory
  std::size_t nonLocalMemory = 0;         // AGP texture memory
  int libraryVersion = 0x600;             // the display library's version, as 0x600 for 6.0
};

// One hardware-like driver with the RGB colour model, perspective-correct
// texturing, 16-bit rendering in a window and a Z-buffer; a 16-bit desktop.
Machine DefaultMachine();
DriverDesc DefaultDriver();

// Adjusts a machine by a setting, a comma-separated list of:
//   "no-3d"          no 3D interface at all
//   "no-driver"      a 3D interface without any driver
//   "no-16bit"       the drivers do not render at 16 bits (32 only)
//   "no-zbuffer"     the drivers support no Z-buffer
//   "screen=WxH"     the screen size
//   "vram=MB"        video memory in megabytes
//   "stages=N"       texture stages the drivers blend (1 to 8)
//   "version=N"      the installed display library's version (hex, as 600)
// Unknown items are ignored. Returns false when an item could not be read.
bool ApplyMachineSetting(Machine& machine, std::string_view setting);

// The machine that Display objects are created on. Starts as DefaultMachine()
// adjusted by the environment variable VIDEO_MACHINE.
const Machine& CurrentMachine();
void SetCurrentMachine(const Machine& machine);
// Back to the default (and the environment setting).
void ResetCurrentMachine();

// Installs a machine for the life of the object (tests).
class ScopedMachine {
 public:
  explicit ScopedMachine(const Machine& machine);
  ~ScopedMachine();
  ScopedMachine(const ScopedMachine&) = delete;
  ScopedMachine& operator=(const ScopedMachine&) = delete;

 private:
  Machine previous_;
};

}  // namespace platform::video
