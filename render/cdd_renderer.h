#pragma once
// The renderer over the display device: it cuts every primitive to its clip
// rectangle and hands it to Cdd. Its state is held once for the program.
#include <array>
#include <cstdint>

#include "render/renderer.h"
#include "render/texture.h"

class CCddRenderer : public CRenderer {
 public:
  CCddRenderer() = default;
  ~CCddRenderer() override;

  std::uint16_t* GetBuffer() override { return nullptr; }
  std::uint16_t* GetTextureData(int) override { return nullptr; }
  int GetPitch() override { return 0; }
  void Show() override;
  void SetFog(int on) override;
  int GetFog() override;
  void SetDither(int on) override;
  int GetDither() override;
  void SetBilinear(int on) override;
  int GetBilinear() override;
  void SetFogColor(CColor color) override;
  CColor GetFogColor() override;
  int IsSoftware() override { return 0; }
  void FillRectangle(int left, int top, int right, int bottom, CColor color) override;
  int BeginFrame(int clearZ) override;
  void SetSurface(void*) override {}
  void SetDevice(Cdd* device) override;
  void SetScreenSize(int width, int height, int pitch) override;
  void SetClipRect(int left, int top, int right, int bottom) override;
  void EndFrame() override;
  void PauseScene() override;
  void ResumeScene() override;
  int DrawTriangle(int flags, const CVertex* a, const CVertex* b, const CVertex* c, int textureSlot,
                   CColor color) override;
  int DrawQuad(int flags, const CVertex* a, const CVertex* b, const CVertex* c, const CVertex* d, int textureSlot,
               CColor color) override;
  int DrawLine(int flags, CVertex a, CVertex b, CColor color) override;
  void SetPixelFormat(int redMask, int greenMask, int blueMask) override;
  int LoadTexture(int slot, const char* file) override;
  int GetTextureCount() override;
  int IsHardware() override { return 1; }
  int IsReducedTextures() override;
  int DrawPoint(CVertex v, CColor color) override;
  int DrawMarker(int x, int y, CColor color) override;
  void ReleaseBitmap(int slot) override;
  void ReleaseBitmaps() override;

  struct ClipRect {
    int left = 0, top = 0, right = -1, bottom = -1;
    int width = 0, height = 0;  // of the last non-empty clip rectangle
  };
  static ClipRect GetClip();
  static Cdd* GetDevice();
  static int ScreenWidth();
  static int ScreenHeight();
  static std::uint32_t Mask(int channel);
  static int MaskShift(int channel);
  static int MaskBits(int channel);
  // Back to the state of a program without a renderer (tests).
  static void ResetState();

 private:
  int ClipPolygon(int flags, const CVertex* const* v, int n, int textureSlot, CColor color, bool quad);
};
