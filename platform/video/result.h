#pragma once
// Result codes of the display and 3D device. The values are those the
// program's error reporter keys its texts on, so they are fixed here.
#include <cstdint>

namespace platform::video {

using HResult = std::int32_t;

inline constexpr HResult kOk = 0;
inline constexpr HResult MakeDisplayResult(int n) {
  return static_cast<HResult>(0x88760000u + static_cast<std::uint32_t>(n));
}

// Generic results.
inline constexpr HResult kErrNotImplemented = static_cast<HResult>(0x80004001u);
inline constexpr HResult kErrNoInterface = static_cast<HResult>(0x80004002u);
inline constexpr HResult kErrGeneric = static_cast<HResult>(0x80004005u);
inline constexpr HResult kErrOutOfMemory = static_cast<HResult>(0x8007000Eu);
inline constexpr HResult kErrInvalidParams = static_cast<HResult>(0x80070057u);

// Display results this layer produces itself.
inline constexpr HResult kErrInvalidCaps = MakeDisplayResult(100);
inline constexpr HResult kErrInvalidMode = MakeDisplayResult(120);
inline constexpr HResult kErrInvalidObject = MakeDisplayResult(130);
inline constexpr HResult kErrInvalidPixelFormat = MakeDisplayResult(145);
inline constexpr HResult kErrInvalidRect = MakeDisplayResult(150);
inline constexpr HResult kErrNo3D = MakeDisplayResult(170);
inline constexpr HResult kErrNoColorKey = MakeDisplayResult(215);
inline constexpr HResult kErrNoCooperativeLevel = MakeDisplayResult(212);
inline constexpr HResult kErrNoExclusiveMode = MakeDisplayResult(225);
inline constexpr HResult kErrNotFound = MakeDisplayResult(255);
inline constexpr HResult kErrNoZBufferHw = MakeDisplayResult(340);
inline constexpr HResult kErrOutOfVideoMemory = MakeDisplayResult(380);
inline constexpr HResult kErrSurfaceAlreadyAttached = MakeDisplayResult(410);
inline constexpr HResult kErrSurfaceBusy = MakeDisplayResult(430);
inline constexpr HResult kErrSurfaceLost = MakeDisplayResult(450);
inline constexpr HResult kErrSurfaceNotAttached = MakeDisplayResult(460);
inline constexpr HResult kErrUnsupportedFormat = MakeDisplayResult(510);
inline constexpr HResult kErrWasStillDrawing = MakeDisplayResult(540);
inline constexpr HResult kErrNoClipperAttached = MakeDisplayResult(568);
inline constexpr HResult kErrNoWindow = MakeDisplayResult(569);
inline constexpr HResult kErrNoPaletteAttached = MakeDisplayResult(572);
inline constexpr HResult kErrPrimaryAlreadyExists = MakeDisplayResult(564);
inline constexpr HResult kErrNotFlippable = MakeDisplayResult(582);
inline constexpr HResult kErrNotLocked = MakeDisplayResult(584);
inline constexpr HResult kErrNoDc = MakeDisplayResult(586);
inline constexpr HResult kErrWrongMode = MakeDisplayResult(587);
inline constexpr HResult kErrDcAlreadyCreated = MakeDisplayResult(620);

// 3D results.
inline constexpr HResult kErrBadDriver = MakeDisplayResult(700);
inline constexpr HResult kErrViewportNotAttached = MakeDisplayResult(760);
inline constexpr HResult kErrSceneInScene = MakeDisplayResult(776);
inline constexpr HResult kErrSceneNotInScene = MakeDisplayResult(777);
inline constexpr HResult kErrZBufferNotPresent = MakeDisplayResult(781);

inline constexpr bool Failed(HResult r) { return r < 0; }
inline constexpr bool Succeeded(HResult r) { return r >= 0; }

}  // namespace platform::video
