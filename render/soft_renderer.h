#pragma once
// The software renderer: 16-bit pixels written straight into the device's
// back buffer. It has no depth buffer: the engine hands it opaque faces
// nearest first, and a per-scanline list of still-free pixel runs lets the
// first opaque face that reaches a pixel own it. See-through faces are cut
// against the same lists but drawn at the end of the frame, over everything
// opaque.
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "render/renderer.h"
#include "render/texture.h"

// A still-free pixel run [x0, x1) of one scanline; each scanline's list is
// sorted by x and its runs do not overlap.
struct SpanNode {
  int x0;
  int x1;
  SpanNode* next;
};

// One span piece as a filler starts it; a deferred span is this record kept
// until the end of the frame, its filler chosen again by its flags.
struct DeferredSpan {
  int flags;
  int x1;
  int x0;
  std::int32_t shade;      // accumulator: the shade (0..31) in bits 11..15
  std::int32_t shadeStep;
  const std::uint16_t* texels;
  std::uint16_t* row;      // the scanline's first pixel of the clip rectangle
  float uzStep16, vzStep16, rzStep16;
  float affineU, affineV;  // kept with the span; the replay does not read them
  int rowParity;
  std::uint16_t flatColor;
  float uz, vz, rz;        // at x0
};

class CSoftRenderer : public CRenderer {
 public:
  static constexpr int kTextureSlots = 32;
  static constexpr int kTextureSize = 256;
  static constexpr int kMaxDeferredSpans = 19200;
  // Free-run nodes per scanline beyond its head, as the pool is sized.
  static constexpr int kNodesPerRow = 60;
  static constexpr int kShadeLevels = 32;

  CSoftRenderer();
  ~CSoftRenderer() override;
  CSoftRenderer(const CSoftRenderer&) = delete;
  CSoftRenderer& operator=(const CSoftRenderer&) = delete;

  std::uint16_t* GetBuffer() override { return origin_; }
  std::uint16_t* GetTextureData(int slot) override;
  int GetPitch() override { return pitch_; }
  void Show() override;
  void SetFog(int on) override { fog_ = on; }
  int GetFog() override { return fog_; }
  void SetDither(int) override {}
  int GetDither() override { return 0; }
  void SetBilinear(int) override {}
  int GetBilinear() override { return 0; }
  void SetFogColor(CColor) override {}
  CColor GetFogColor() override { return CColor::FromRGBA(0, 0, 0, 64); }
  int IsSoftware() override { return 1; }
  void FillRectangle(int left, int top, int right, int bottom, CColor color) override;
  int BeginFrame(int clearZ) override;
  void SetSurface(void* pixels) override;
  void SetDevice(Cdd* device) override { device_ = device; }
  void SetScreenSize(int width, int height, int pitch) override;
  void SetClipRect(int left, int top, int right, int bottom) override;
  void EndFrame() override { EndFrameCount(); }
  void PauseScene() override {}
  void ResumeScene() override {}
  int DrawTriangle(int flags, const CVertex* a, const CVertex* b, const CVertex* c, int textureSlot,
                   CColor color) override;
  int DrawQuad(int flags, const CVertex* a, const CVertex* b, const CVertex* c, const CVertex* d, int textureSlot,
               CColor color) override;
  // Screen coordinates, like every other drawing call.
  int DrawLine(int flags, CVertex a, CVertex b, CColor color) override;
  void SetPixelFormat(int redMask, int greenMask, int blueMask) override;
  int LoadTexture(int slot, const char* file) override;
  int GetTextureCount() override { return kTextureSlots; }
  int IsHardware() override { return 0; }
  int IsReducedTextures() override { return 0; }
  int DrawPoint(CVertex v, CColor color) override;
  int DrawMarker(int x, int y, CColor color) override;
  // Column x, row y of the clip rectangle; the low 16 bits of the colour word.
  void SetPixel(int x, int y, CColor value) override;
  void ReleaseBitmap(int) override {}
  void ReleaseBitmaps() override {}

  // Coordinates relative to the clip rectangle's corner.
  virtual void DrawGouraudLine(const CVertex* a, const CVertex* b);
  virtual void DrawFlatLine(int flags, const int* p0, const int* p1, const CColor* color);

  // The number of deferred spans replayed (0 without a device).
  int EndFrameCount();

  // Inspection, for tests and diagnostics.
  std::uint16_t ColorToPixel(std::uint32_t rgb) const;
  std::uint16_t Shade(int color12, int shade) const;
  std::uint16_t HalfBlendMask() const { return halfMask_; }
  int DeferredCount() const { return deferredCount_; }
  int ClipWidth() const { return clipWidth_; }
  int ClipHeight() const { return clipHeight_; }
  // The free runs of one scanline of the clip rectangle, as [x0, x1) pairs.
  std::vector<std::pair<int, int>> FreeRuns(int row) const;
  // The widths of the first sub-spans of the last perspective piece, and how many it had.
  const std::array<int, 4>& FirstSubSpans() const { return firstSubSpans_; }
  int SubSpanCount() const { return subSpanCount_; }

 private:
  // A triangle corner as a set-up reads it, relative to the clip corner.
  struct Corner {
    std::int64_t x, y;
    float u, v;     // scaled to fixed point (affine) or by 1/z as well (perspective)
    float rz;
    int shade;      // 8.8 luminance (or alpha) scaled by the fade
  };
  // The left edge's interpolants (the right edge needs only x).
  struct EdgeValues {
    std::int32_t u = 0, v = 0, du = 0, dv = 0;
    std::int32_t shade = 0, dshade = 0;
    float uz = 0, vz = 0, rz = 0, duz = 0, dvz = 0, drz = 0;
  };
  struct Edge {
    std::int64_t x = 0, dx = 0;  // 24.8
    EdgeValues values;
  };
  // What a set-up interpolates, and whether its spans wait for the end of the frame.
  struct SetupKind {
    bool deferred;
    bool areaTest;
    bool shade;  // a shade (or alpha) is interpolated
    bool alpha;  // the vertex alpha instead of its luminance
    bool affine;
    bool perspective;
  };
  using Filler = void (CSoftRenderer::*)(const DeferredSpan&);

  void RebuildSpans();
  void UpdateOrigin();
  // The device's back surface memory and pitch, the screen held to its size.
  void TakeSurface();

  // The triangle set-ups, one per face kind: each walks the triangle that
  // DrawTriangle stored and fills or queues its spans with its own filler.
  void SetupSolid();
  void SetupStipple();
  void SetupShaded();
  void SetupAlphaTest();
  void SetupAffineShaded();
  void SetupPerspShadedKeyed();
  void SetupPerspShadedBlend();
  void SetupPersp();
  void SetupPerspKeyed();
  void SetupPerspBlend();
  // The edge walk they share, made for each set-up's interpolants and filler.
  template <SetupKind K, Filler F>
  void WalkTriangle();
  template <SetupKind K>
  void StartEdge(Edge& e, const Corner& from, const Corner& to) const;
  static void StepEdge(Edge& e, std::int64_t rows);
  template <SetupKind K, Filler F>
  bool WalkPart(std::int64_t yStart, std::int64_t yEnd, Edge& left, Edge& right, const DeferredSpan& base);
  template <SetupKind K, Filler F>
  void EmitSpan(int y, const Edge& left, const Edge& right, const DeferredSpan& base);

  // The span fillers, one per set-up.
  void FillSolid(const DeferredSpan& span);
  void FillStipple(const DeferredSpan& span);
  void FillShaded(const DeferredSpan& span);
  void FillAlphaTest(const DeferredSpan& span);
  void FillAffineShadedDither(const DeferredSpan& span);
  void FillPerspShadedKeyed(const DeferredSpan& span);
  void FillPerspShadedBlend(const DeferredSpan& span);
  void FillPersp(const DeferredSpan& span);
  void FillPerspKeyed(const DeferredSpan& span);
  void FillPerspBlend(const DeferredSpan& span);
  // The 16-pixel sub-span walk of the perspective fillers.
  template <typename Pixel>
  void StepPerspective(const DeferredSpan& span, Pixel pixel);
  // A queued span replayed with the filler its flags choose.
  void FillDeferred(const DeferredSpan& span);
  void Plot(int x, int y, std::uint16_t value);
  std::uint16_t Reduce(int channel, int value8) const;

  Cdd* device_ = nullptr;
  std::uint16_t* surface_ = nullptr;
  std::uint16_t* origin_ = nullptr;
  const std::uint16_t* queuedSurface_ = nullptr;
  int queuedPitch_ = 0;
  int clipLeft_ = 0, clipTop_ = 0, clipWidth_ = 0, clipHeight_ = 0;
  int screenWidth_ = 0, screenHeight_ = 0;
  int pitch_ = 0;
  int clipRight_ = -1, clipBottom_ = -1;
  int fog_ = 0;
  int frameNesting_ = 0;
  bool spansReady_ = false;

  std::vector<std::int32_t> rowOffset_;
  std::vector<SpanNode*> heads_;
  std::vector<SpanNode> pool_;
  std::size_t nodesUsed_ = 0;
  std::vector<DeferredSpan> deferred_;
  int deferredCount_ = 0;

  // The triangle being drawn: its flags, the renderer's own copies of its
  // corners, its texels and its flat colour.
  int triFlags_ = 0;
  CVertex triCopy_[3] = {};
  const CVertex* tri_[3] = {};
  const std::uint16_t* triTexels_ = nullptr;
  std::uint16_t triFlat_ = 0;

  // Rasteriser state of the triangle being drawn.
  std::int32_t affineU_ = 0, affineV_ = 0, affineDu_ = 0, affineDv_ = 0;
  std::int32_t shadeDx_ = 0;
  float uzDx_ = 0, vzDx_ = 0, rzDx_ = 0;
  std::uint32_t dither_ = 0;
  int rowParity_ = 0;
  std::array<int, 4> firstSubSpans_{};
  int subSpanCount_ = 0;

  std::array<CTexture, kTextureSlots> textures_;
  std::array<std::vector<std::uint16_t>, kTextureSlots> texels_;
  // Images replaced inside a frame: deferred spans may still read them.
  std::vector<std::vector<std::uint16_t>> retired_;
  std::vector<std::uint16_t> blankTexels_;

  std::vector<std::uint16_t> shadeTable_;  // 4096 colours x 32 shades
  std::uint16_t halfMask_ = 0;
  std::uint32_t masks_[3] = {};
  int shifts_[3] = {};
  int widths_[3] = {};
};
