#pragma once
// Fault injection: any call of the display and 3D device that the program
// treats as able to fail can be made to fail from a test.
#include <cstdint>

#include "platform/video/result.h"

namespace platform::video {

enum class Call : int {
  CreateDisplay,
  Query3D,
  EnumDevices,
  EnumDisplayModes,
  SetCooperativeLevel,
  SetDisplayMode,
  RestoreDisplayMode,
  CreateSurface,
  GetSurfaceDesc,
  CreateClipper,
  ClipperSetWindow,
  SetClipper,
  GetAttachedSurface,
  AddAttachedSurface,
  CreateDevice,
  EnumTextureFormats,
  CreateViewport,
  AddViewport,
  SetCurrentViewport,
  SetViewport,
  ClearViewport,
  BeginScene,
  EndScene,
  SetRenderState,
  DrawPrimitive,
  Lock,
  Unlock,
  Blt,
  Flip,
  Restore,
  GetDC,
  ReleaseDC,
  SetColorKey,
  QueryTexture,
  TextureLoad,
  TextureGetHandle,
  SetTextureStageState,
  SetTexture,
  EnumerateDisplayDrivers,
  kCount
};

const char* CallName(Call call);

class Faults {
 public:
  // The call fails with `result` after `skip` calls that pass, `times` times
  // (a negative count: every time). With `capsAll`, only surface creations
  // whose caps hold all of those bits count (CreateSurface only).
  static void Fail(Call call, HResult result, int skip = 0, int times = 1, std::uint32_t capsAll = 0);
  static void Clear();
  // Consumes a matching rule: its result, or kOk.
  static HResult Check(Call call, std::uint32_t caps = 0);
  // How often a call was checked since the last Clear (for tests).
  static int Count(Call call);
};

// Clears the fault rules when created and when destroyed.
class ScopedFaults {
 public:
  ScopedFaults() { Faults::Clear(); }
  ~ScopedFaults() { Faults::Clear(); }
  ScopedFaults(const ScopedFaults&) = delete;
  ScopedFaults& operator=(const ScopedFaults&) = delete;
};

}  // namespace platform::video
