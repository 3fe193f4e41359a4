#pragma once
// The drawing interface between the 3D engine and a back end (the software
// rasterizer or the 3D device), in screen coordinates, already projected.
// Operations marked "software" mean nothing to the device back end.
#include <cstdint>

#include "render/color.h"
#include "render/render_vertex.h"

class Cdd;

class CRenderer {
 public:
  virtual ~CRenderer() = default;
  virtual std::uint16_t* GetBuffer() = 0;              // software: pixel of the clip origin
  virtual std::uint16_t* GetTextureData(int slot) = 0;  // software
  virtual int GetPitch() = 0;                          // software: pixels
  virtual void Show() = 0;
  virtual void SetFog(int on) = 0;
  virtual int GetFog() = 0;
  virtual void SetDither(int on) = 0;
  virtual int GetDither() = 0;
  virtual void SetBilinear(int on) = 0;
  virtual int GetBilinear() = 0;
  virtual void SetFogColor(CColor color) = 0;
  virtual CColor GetFogColor() = 0;
  virtual int IsSoftware() = 0;
  virtual void FillRectangle(int left, int top, int right, int bottom, CColor color) = 0;
  virtual int BeginFrame(int clearZ) = 0;
  virtual void SetSurface(void* pixels) = 0;  // software
  virtual void SetDevice(Cdd* device) = 0;
  virtual void SetScreenSize(int width, int height, int pitch) = 0;
  // Inclusive edges.
  virtual void SetClipRect(int left, int top, int right, int bottom) = 0;
  virtual void EndFrame() = 0;
  // Bracket a texture upload inside a frame.
  virtual void PauseScene() = 0;
  virtual void ResumeScene() = 0;
  virtual int DrawTriangle(int flags, const CVertex* a, const CVertex* b, const CVertex* c, int textureSlot,
                           CColor color) = 0;
  virtual int DrawQuad(int flags, const CVertex* a, const CVertex* b, const CVertex* c, const CVertex* d,
                       int textureSlot, CColor color) = 0;
  virtual int DrawLine(int flags, CVertex a, CVertex b, CColor color) = 0;
  virtual void SetPixelFormat(int redMask, int greenMask, int blueMask) = 0;
  virtual int LoadTexture(int slot, const char* file) = 0;
  virtual int GetTextureCount() = 0;
  virtual int IsHardware() = 0;
  virtual int IsReducedTextures() = 0;
  virtual int DrawPoint(CVertex v, CColor color) = 0;
  virtual int DrawMarker(int x, int y, CColor color) = 0;
  virtual void SetPixel(int /*x*/, int /*y*/, CColor /*color*/) {}
  virtual void ReleaseBitmap(int slot) = 0;
  virtual void ReleaseBitmaps() = 0;

 protected:
  // The 5 x 5 square outline centred on (x, y), as four flat lines through DrawLine.
  void DrawMarkerOutline(int x, int y, CColor color);
};
