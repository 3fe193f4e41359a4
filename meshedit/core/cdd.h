#pragma once
// The mesh editor's display device: the display library's version, the
// drivers with their 3D device and display modes, the set-up of a display
// format in a window or full screen (surfaces, clipper, device, viewport,
// texture formats, depth buffer), frames, render flags, texture slots and
// the batching of screen triangles. One device for the program: every
// member is static.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "meshedit/core/screen_vertex.h"
#include "platform/video/machine.h"
#include "platform/video/result.h"
#include "platform/video/surface.h"
#include "platform/video/types.h"

namespace platform::video {
class Clipper;
class Device3D;
class Display;
class Graphics3D;
class Texture;
class Viewport;
class Window;
}  // namespace platform::video

namespace pavix {

namespace pv = platform::video;

inline constexpr int kCddMaxDrivers = 16;
inline constexpr int kCddMaxModes = 128;
inline constexpr int kCddTextureSlots = 128;
inline constexpr int kCddBatchVertices = 384;
inline constexpr int kCddBatchLimit = 380;  // a triangle more than this flushes first
inline constexpr int kCddMaxStages = 3;
// A texture key field that names no slot.
inline constexpr std::uint32_t kCddNoSlot = 0x3FF;
inline constexpr std::uint32_t kCddNoTexture = 0xFFFFFFFF;
// The depth factor of 2D drawing: lines take z x 0.000125, rectangles depth 8000.
inline constexpr float kCddDepthFactor = 0.000125f;

// Render flags.
inline constexpr std::uint8_t kRenderTextured = 0x01;
inline constexpr std::uint8_t kRenderGouraud = 0x02;
inline constexpr std::uint8_t kRenderColorKey = 0x04;
inline constexpr std::uint8_t kRenderAdditive = 0x08;
inline constexpr std::uint8_t kRenderAlpha = 0x10;
inline constexpr std::uint8_t kRenderLightMap = 0x20;
inline constexpr std::uint8_t kRenderBump = 0x40;
inline constexpr std::uint8_t kRenderWireframe = 0x80;
inline constexpr std::uint8_t kRenderBlended = kRenderAdditive | kRenderAlpha;

// The texture pixel formats kept from the device's list.
enum CddTextureFormat : int {
  kFormatRgb16,
  kFormatRgb16Alpha,   // the most alpha bits
  kFormatRgb16Alpha1,  // the fewest alpha bits
  kFormatRgb32,
  kFormatRgb32Alpha,
  kFormatRgb32Alpha1,
  kFormatBump,
  kFormatCount
};

// Depth formats: 16 or 32 bits, without or with 8 stencil bits.
enum CddDepthFormat : int { kDepth16, kDepth16Stencil, kDepth32, kDepth32Stencil, kDepthFormatCount };

struct CddMode {
  int width = 0, height = 0, bitsPerPixel = 0;
};

struct CddDriver {
  std::array<char, 40> description{};
  std::array<char, 40> name{};
  pv::Guid guid{};  // zero for the primary display
  std::array<char, 40> deviceName{};
  std::array<char, 40> deviceDescription{};
  pv::HardwareDesc deviceDesc;  // of the kept 3D device
  pv::Guid deviceGuid{};
  bool hasDevice = false;
  int modeCount = 0;
  int selectedMode = 0;
  std::array<CddMode, kCddMaxModes> modes{};
};

struct CddTextureSlot {
  std::string file;
  std::shared_ptr<pv::Surface> surface;
  std::shared_ptr<pv::Texture> texture;
  pv::SurfaceDesc desc;
};

struct CddStats {
  int triangles = 0;
  int primitives = 0;
  int renderStates = 0;
  int stageStates = 0;
  int flagChanges = 0;
};

struct CddState {
  std::shared_ptr<pv::Display> display;
  std::shared_ptr<pv::Graphics3D> d3d;
  std::shared_ptr<pv::Surface> primary, back, zbuffer;
  std::shared_ptr<pv::Clipper> clipper;
  std::shared_ptr<pv::Device3D> device;
  std::shared_ptr<pv::Viewport> viewport;
  pv::Window* window = nullptr;

  std::array<CddDriver, kCddMaxDrivers> drivers{};
  int driverCount = 0;
  int driver = 0;

  std::array<pv::PixelFormat, kFormatCount> textureFormats{};
  std::array<pv::PixelFormat, kDepthFormatCount> depthFormats{};
  int depthFormat = -1;
  bool stencilInUse = false;
  int stencilIncrement = 0, stencilDecrement = 0;  // 1 saturating, 2 wrapping

  int wantDepth = 1;
  int wantStencil = 1;
  int fullScreen = 0;
  int inSetformat = 0;
  int createPending = 1;
  int backBufferCount = 1;
  int maxStages = kCddMaxStages;
  int stages = 1;
  float far = 8000.0f, farReciprocal = 0.000125f;
  int value3 = 3, value2 = 2;
  bool depthBuffer = false;
  bool noVSync = false;
  bool alphaTextures = false;

  int width = 0, height = 0, bitsPerPixel = 0;
  std::uint32_t redMask = 0, greenMask = 0, blueMask = 0;
  int redShift = 0, greenShift = 0, blueShift = 0;
  int redBits = 0, greenBits = 0, blueBits = 0;
  pv::Rect savedWindowRect;

  // Drawing rectangle, inclusive.
  int left = 0, top = 0, right = 0, bottom = 0;
  float leftF = 0, topF = 0, rightF = 0, bottomF = 0;

  // Triangle batch.
  std::array<CScreenVertex, kCddBatchVertices> batch{};
  int batchCount = 0;
  std::uint8_t flags = 0;
  std::uint32_t key = kCddNoTexture;
  CddStats stats;

  std::array<CddTextureSlot, kCddTextureSlots> slots;

  // Render state kept by the device.
  int depth = 1, dither = 1, filter = 2, mipFilter = 3, fog = 0, antialias = 0;
  std::uint32_t fogColor = 0;
  bool inScene = false;
};

class Cdd {
 public:
  // Resets the state and enumerates the drivers; driver 0 is selected.
  Cdd();
  ~Cdd();
  Cdd(const Cdd&) = delete;
  Cdd& operator=(const Cdd&) = delete;

  static CddState& State();
  // Everything released, every value back to its start.
  static void Reset();

  static int Setformat(pv::Window* window, int fullScreen);
  static void ReleaseAll();
  static void ReleaseSurfaces();
  static void ReleaseDirectDraw();
  static const char* ErrorText(pv::HResult code);
  static void LogError(pv::HResult code);
  static int Identity(int value) { return value; }

  // Enumeration callbacks (true: go on).
  static bool DriverEnumCallback(const pv::Guid* guid, const std::string& description, const std::string& name);
  static bool DeviceEnumCallback(const pv::Guid& guid, const std::string& description, const std::string& name,
                                 const pv::HardwareDesc& hardware);
  static bool modecallback(const pv::SurfaceDesc& desc);
  static bool EnumTextureFormatsCallback(const pv::SurfaceDesc& desc);
  static bool EnumZBufferFormatsCallback(int depthBits, int stencilBits);

  static pv::HResult SetFullScreen(pv::Window* window);
  static pv::HResult SetWindowed(pv::Window* window);
  static pv::HResult createdevice();
  static pv::HResult CreateZBuffer();

  // Frames and presentation.
  static int BeginFrame(int clearTarget, int clearDepth, int clearStencil, std::uint32_t color, float depth,
                        std::uint32_t stencil);
  static void EndFrame();
  static int Show();
  static int PresentRect(pv::Window* window, const pv::Rect& source, const pv::Rect& destination);
  static pv::HResult RestoreSurfaces();
  static pv::DrawContext* GetDC();
  static void ReleaseDC(pv::DrawContext* dc);
  static void ClearViewport(std::uint32_t color);

  // State.
  static void SetDrawRect(int left, int top, int right, int bottom);
  static void SetRenderFlags(std::uint8_t flags, bool force = false);
  static void SetTexture(std::uint8_t flags, std::uint32_t key, bool force = false);
  static void SetDepth(int on, bool force = false);
  static void SetDither(int on, bool force = false);
  static void SetFog(int on, bool force = false);
  static void SetFogColor(std::uint32_t color, bool force = false);
  static void SetFilter(int mode, bool force = false);
  static void SetMipFilter(int mode, bool force = false);

  // Drawing.
  static void AddTriangle(std::uint8_t flags, const CScreenVertex& a, const CScreenVertex& b, const CScreenVertex& c,
                          std::uint32_t key);
  static void DrawFan(std::uint8_t flags, const CScreenVertex* const* vertices, int count, std::uint32_t key);
  static void DrawTriangle(std::uint8_t flags, const CScreenVertex& a, const CScreenVertex& b, const CScreenVertex& c,
                           std::uint32_t key);
  static void DrawQuad(std::uint8_t flags, const CScreenVertex& a, const CScreenVertex& b, const CScreenVertex& c,
                       const CScreenVertex& d, std::uint32_t key);
  static void DrawPentagon(std::uint8_t flags, const CScreenVertex& a, const CScreenVertex& b, const CScreenVertex& c,
                           const CScreenVertex& d, const CScreenVertex& e, std::uint32_t key);
  static void DrawLine2D(const CScreenVertex& a, const CScreenVertex& b);
  static void DrawLineClipped(const CScreenVertex& a, const CScreenVertex& b);
  static void DrawRect2D(int left, int top, int right, int bottom, const float uv0[2], const float uv1[2],
                         std::uint32_t key, std::uint32_t color, std::uint32_t specular);
  static void Flush();
  static void InterpolateVertex(CScreenVertex& out, std::uint8_t flags, const CScreenVertex& a, const CScreenVertex& b,
                                float t);

  // Textures.
  static int loadtexture(int slot, const std::string& file, int bump);
  static void releasealltexture();
  static void SetAlphaTextures(bool on) { State().alphaTextures = on; }
  static int MinTextureWidth();
  static int MaxTextureWidth();
  static int MinTextureHeight();
  static int MaxTextureHeight();
  static void TextureMemory(std::size_t* total, std::size_t* free);

  static void ResetStats() { State().stats = {}; }
  static const CddStats& Stats() { return State().stats; }

 private:
  static void SetDefaultStates();
  static void ApplyFlags(std::uint8_t flags, std::uint8_t changed);
  static void BindTextures(std::uint8_t flags, std::uint32_t key);
  static void RenderState(int state, std::uint32_t value);
  static void StageState(int stage, int state, std::uint32_t value);
  static void DrawClipped(std::uint8_t flags, const CScreenVertex* const* vertices, int count, std::uint32_t key);
  static void DrawList(const CScreenVertex* vertices, int count, bool fan);
};

// The DirectX-style version of the installed display library (0, 0x100,
// 0x200, 0x300, 0x500 or 0x600) and the platform (1 one family, 2 the
// other, 0 unknown).
void ProbeDirectXVersion(std::uint32_t* version, std::uint32_t* platform);

// Bit helpers.
int MaskBitCount(std::uint32_t mask);
int LowestSetBit(std::uint32_t mask);   // 32 for 0
int HighestSetBit(std::uint32_t mask);  // -1 for 0
// Cuts a segment to a rectangle; 1 when something remains.
int ClipSegmentToRect(float& x0, float& y0, float& x1, float& y1, float left, float top, float right, float bottom);

}  // namespace pavix
