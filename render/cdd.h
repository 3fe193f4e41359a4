#pragma once
// The quest editor's display device: the display, the 3D device on the
// chosen hardware driver, the window format with its primary, back surface,
// Z-buffer, clipper and viewport, presentation, locking, colour conversion,
// error reporting, the scene bracket, render states, primitives, and the
// texture, staging and bitmap slots. All state is held once for the program;
// every Cdd object sees the same device.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/video/machine.h"
#include "platform/video/result.h"
#include "platform/video/types.h"
#include "render/color.h"
#include "render/pixel_mask.h"
#include "render/render_vertex.h"

namespace platform::video {
class Device3D;
class Display;
class Surface;
class Window;
struct DrawContext;
}  // namespace platform::video

using HRESULT = platform::video::HResult;
using HWND = platform::video::Window*;
using HDC = platform::video::DrawContext*;

inline constexpr int kCddMaxDrivers = 16;
inline constexpr int kCddMaxDisplayModes = 256;
inline constexpr int kCddTextureSlots = 64;
inline constexpr int kCddStagingRows = 32;
inline constexpr int kCddBitmapSlots = 128;
inline constexpr int kCddFormatNo3D = 0x1;  // SetFormat flag: do not use a 3D driver

struct CddDriver {
  char name[30] = {};
  char description[50] = {};
  platform::video::HardwareDesc hardware;
  platform::video::Guid guid{};
  int valid = 0;
  int agpTextures = 0;
  int systemTextures = 0;
  int videoTextures = 0;
  int zBuffer = 0;
  int renders16 = 0;
  int renders32 = 0;
  int maxVertexCount = 0;
};

struct CddDisplayMode {
  std::int32_t width = 0, height = 0, bitsPerPixel = 0, refreshRate = 0;
};

struct CddTextureFormat {
  platform::video::SurfaceDesc desc;
  std::uint32_t redMask = 0, greenMask = 0, blueMask = 0, alphaMask = 0;
  bool present = false;
};


// Cuts a blit to a width x height target at the origin, moving the source
// edges with the destination's; false when nothing is left to copy.
bool ClipBlit(platform::video::Rect& dst, platform::video::Rect& src, int width, int height);

class Cdd {
 public:
  // Creates the display and enumerates drivers and modes. Ends the program
  // (exit code 0, main window hidden, no message) when no usable hardware 3D
  // driver exists.
  Cdd();
  // Releases everything; a still-locked surface is a fatal error.
  ~Cdd() noexcept(false);
  Cdd(const Cdd&) = delete;
  Cdd& operator=(const Cdd&) = delete;

  // (Re)builds every surface for a format. flags: kCddFormatNo3D.
  int SetFormat(HWND window, int width, int height, int bitsPerPixel, int fullScreen, int flags);
  int GetWidth() const;
  int GetHeight() const;
  int HasDevice() const;
  int CanRenderInWindow() const;

  HRESULT Show();
  HRESULT PresentToWindow(int x, int y, HWND window);
  HRESULT PresentRect(int x, int y, HWND window, platform::video::Rect clientRect);
  HRESULT RestoreSurfaces();

  void* Lock();
  void Unlock();
  int IsLocked() const;
  int GetPitch() const;  // bytes
  HDC GetDC();
  void ReleaseDC(HDC dc);

  HRESULT FillRectangle(int left, int top, int right, int bottom, CColor color);
  int ColorToPixel(CColor color) const;
  std::uint32_t GetRedMask() const;
  std::uint32_t GetGreenMask() const;
  std::uint32_t GetBlueMask() const;

  // Code 0 or any code but a lost surface ends the program with a message.
  int ReportError(HRESULT code, const char* context);
  // The reporter's text for a code ("Unknown error.\n" when not in the table).
  static const char* ErrorDescription(HRESULT code);

  // Scene bracket.
  void beginRender(int clearZ);
  HRESULT endRender();
  void PauseRender();
  void ResumeRender();
  void SetDefaultRenderStates();
  void SetRenderFlags(int flags, int textureSlot);

  // One primitive each; the caller has clipped it to the screen.
  HRESULT DrawTriangle(int flags, const CVertex* a, const CVertex* b, const CVertex* c, int textureSlot, CColor color);
  HRESULT DrawQuad(int flags, const CVertex* a, const CVertex* b, const CVertex* c, const CVertex* d, int textureSlot,
                   CColor color);
  HRESULT DrawLine(int flags, CVertex a, CVertex b, CColor color);

  void SetFog(int on);
  int GetFog() const;
  void SetFogColor(CColor color);
  CColor GetFogColor() const;
  void SetBilinear(int on);
  int GetBilinear() const;
  void SetDither(int on);
  int GetDither() const;

  // Texture slots.
  int LoadTexture(int slot, const char* file);
  int CreateTexture(int slot);
  void ReleaseTextures();
  int countLoadableTexture(int size);
  int GetLoadableTextureCount() const;
  int IsReducedTextures() const { return 0; }

  // Staging rows and bitmap slots.
  void ReleaseAllBitmaps();
  void ReleaseBitmapOfTexture(int slot);
  int LoadBitmap(const char* file);
  void DrawBitmap(const char* file, platform::video::Rect destination, platform::video::Rect source, CColor key);
  void DrawBitmapAt(const char* file, int x, int y);
  void ReleaseBitmaps();

  // Inspection, for tests and diagnostics.
  static int DriverCount();
  static const CddDriver& Driver(int index);
  static int SelectedDriver();
  static int DisplayModeCount();
  static const CddDisplayMode& DisplayMode(int index);
  static const CddTextureFormat& TextureFormat(int index);
  static const std::string& TextureSlotName(int slot);
  static std::uint32_t TextureSlotHandle(int slot);
  static int TextureSlotHasAlpha(int slot);
  static const std::string& BitmapSlotName(int slot);
  static std::uint32_t BitmapSlotTime(int slot);
  static int StagingCount();
  static int HasZBuffer();
  static int IsFullScreen();
  static HWND FormatWindow();
  static platform::video::Surface* BackSurface();
  static platform::video::Surface* PrimarySurface();
  static platform::video::Display* GetDisplay();
  static platform::video::Device3D* Device();
  // The cached render state: flags of the last primitive, texture slot, specular.
  static int CachedFlags();
  static int CachedTexture();
  static int CachedSpecular();
  static std::uint8_t BrightRamp(int i);
  static std::uint8_t OverRamp(int i);

 private:
  // Blits a loaded bitmap slot onto the back surface, clipped, retrying lost surfaces.
  void BlitBitmap(int slot, platform::video::Rect destination, platform::video::Rect source, bool blackIsKey);
  int CreateZBuffer();
  void ReleaseTextureSlots();
  void ReleaseSurfaces();
  void RecreateTextureSlots();
  HRESULT BeginSceneOrDie(bool clearZ);
  int DrawPrimitive(int flags, const CVertex* const* v, int count, int textureSlot, CColor color, bool fan);
  HRESULT BlitWithRetry(platform::video::Rect* dst, platform::video::Surface* src, platform::video::Rect* srcRect,
                        std::uint32_t flags, const void* fx);
  void ClearZBuffer();
  bool FormatAndStageTexture(int slot);
};
