#pragma once
// The display device's program-wide state, shared by its source files.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/video/clipper.h"
#include "platform/video/device3d.h"
#include "platform/video/display.h"
#include "platform/video/graphics3d.h"
#include "platform/video/surface.h"
#include "platform/video/texture.h"
#include "platform/video/viewport.h"
#include "render/cdd.h"

struct CddTextureSlot {
  std::string name;  // empty: free
  std::shared_ptr<platform::video::Surface> surface;
  std::shared_ptr<platform::video::Texture> texture;
  std::uint32_t handle = 0;
  int alpha = 0;
};

struct CddStagingRow {
  std::string name;
  std::shared_ptr<platform::video::Surface> surface;
  std::uint32_t lastUse = 0;
};

struct CddBitmapSlot {
  std::shared_ptr<platform::video::Surface> surface;  // null: free
  std::string name;
  std::uint32_t lastUse = 0;
};

struct CddState {
  CddState();

  std::shared_ptr<platform::video::Display> display;
  std::shared_ptr<platform::video::Graphics3D> d3d;
  std::shared_ptr<platform::video::Surface> primary;
  std::shared_ptr<platform::video::Surface> back;
  std::shared_ptr<platform::video::Surface> zbuffer;
  std::shared_ptr<platform::video::Clipper> clipper;
  std::shared_ptr<platform::video::Device3D> device;
  std::shared_ptr<platform::video::Viewport> viewport;

  HWND window = nullptr;
  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;
  int fullScreen = 0;
  int separateBack = 1;

  std::array<CddDriver, kCddMaxDrivers> drivers{};
  int driverCount = 0;
  int selected = -1;
  std::array<CddDisplayMode, kCddMaxDisplayModes> modes{};
  int modeCount = 0;
  std::array<CddTextureFormat, 3> formats{};

  std::uint32_t redMask = 0, greenMask = 0, blueMask = 0;
  int redShift = 0, greenShift = 0, blueShift = 0;
  int redBits = 0, greenBits = 0, blueBits = 0;
  int pitch = 0;

  int locked = 0;
  HDC dc = nullptr;
  int loadable = 0;

  int fog = 0;
  CColor fogColor = CColor::FromValue(0x40000000u);
  int bilinear = 1;
  int dither = 1;
  int fade = 1;

  std::array<CddTextureSlot, kCddTextureSlots> textures;
  std::array<CddStagingRow, kCddStagingRows> staging;
  int stagingCount = kCddStagingRows;
  std::array<CddBitmapSlot, kCddBitmapSlots> bitmaps;

  int cachedFlags = 0;
  int cachedTexture = -1;
  int cachedSpecular = 0;

  std::array<std::uint8_t, 256> bright{};
  std::array<std::uint8_t, 256> over{};
};

CddState& TheCdd();
// Back to the state of a program that has not made its device yet (tests).
void ResetCddState();
