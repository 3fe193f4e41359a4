#include <cstdint>

#include "meshedit/core/cdd.h"

namespace pavix {
namespace {

struct ErrorEntry {
  pv::HResult code;
  const char* text;
};

// Display results with their sentences, 3D results with their names.
constexpr ErrorEntry kErrors[] = {
    {pv::kOk, "The request completed successfully.\n"},
    {pv::kErrNotImplemented, "The operation is not supported.\n"},
    {pv::kErrNoInterface, "The requested interface is not supported.\n"},
    {pv::kErrGeneric, "Generic failure.\n"},
    {pv::kErrOutOfMemory, "DirectDraw does not have enough memory to perform the operation.\n"},
    {pv::kErrInvalidParams, "One or more of the parameters passed to the function are incorrect.\n"},
    {pv::kErrInvalidCaps, "One or more of the capability bits passed to the callback are incorrect.\n"},
    {pv::kErrInvalidMode, "The requested mode is not supported.\n"},
    {pv::kErrInvalidObject, "An invalid object was passed.\n"},
    {pv::kErrInvalidPixelFormat, "The pixel format was invalid as specified.\n"},
    {pv::kErrInvalidRect, "The rectangle provided was invalid.\n"},
    {pv::kErrNo3D, "There is no 3D present.\n"},
    {pv::kErrNoColorKey, "The surface does not currently have a color key.\n"},
    {pv::kErrNoCooperativeLevel, "The cooperative level has not been set.\n"},
    {pv::kErrNoExclusiveMode, "The operation requires the application to have exclusive mode.\n"},
    {pv::kErrNotFound, "The requested item was not found.\n"},
    {pv::kErrNoZBufferHw, "There is no hardware support for Z-buffers.\n"},
    {pv::kErrOutOfVideoMemory, "DirectDraw does not have enough video memory to perform the operation.\n"},
    {pv::kErrSurfaceAlreadyAttached, "The surface was already attached.\n"},
    {pv::kErrSurfaceBusy, "Access to the surface is refused because the surface is already locked.\n"},
    {pv::kErrSurfaceLost, "The surface memory has been lost and must be restored.\n"},
    {pv::kErrSurfaceNotAttached, "The surface is not attached.\n"},
    {pv::kErrUnsupportedFormat, "The pixel format is not supported.\n"},
    {pv::kErrWasStillDrawing, "The previous blit operation is still in progress.\n"},
    {pv::kErrNoClipperAttached, "No clipper is attached to the surface.\n"},
    {pv::kErrNoWindow, "No window was given for the cooperative level.\n"},
    {pv::kErrNoPaletteAttached, "No palette is attached to the surface.\n"},
    {pv::kErrPrimaryAlreadyExists, "A primary surface already exists.\n"},
    {pv::kErrNotFlippable, "The surface cannot be flipped.\n"},
    {pv::kErrNotLocked, "The surface is not locked.\n"},
    {pv::kErrNoDc, "No device context exists for this surface.\n"},
    {pv::kErrWrongMode, "The surface was created in another display mode.\n"},
    {pv::kErrDcAlreadyCreated, "A device context has already been returned for this surface.\n"},
    {pv::kErrBadDriver, "D3DERR_BADDRIVER "},
    {pv::kErrViewportNotAttached, "D3DERR_VIEWPORTHASNODEVICE "},
    {pv::kErrSceneInScene, "D3DERR_SCENE_IN_SCENE "},
    {pv::kErrSceneNotInScene, "D3DERR_SCENE_NOT_IN_SCENE "},
    {pv::kErrZBufferNotPresent, "D3DERR_ZBUFFER_NOTPRESENT "},
};

}  // namespace

const char* Cdd::ErrorText(pv::HResult code) {
  for (const ErrorEntry& e : kErrors)
    if (e.code == code) return e.text;
  return "Unknown error.\n";
}

}  // namespace pavix
