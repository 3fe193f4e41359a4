// The display device's table of error texts.
#include <cstdint>

#include "render/cdd.h"

namespace {

struct ErrorText {
  std::uint32_t code;
  const char* text;
};

constexpr std::uint32_t D(int n) { return 0x88760000u + static_cast<std::uint32_t>(n); }

constexpr const char kChangeTo16Bits[] = "Change your display settings to 16 bits(65536 or 32768 colors)\n";

constexpr ErrorText kErrors[] = {
    {0x80004001u, "The operation is not implemented.\n"},
    {0x80004005u, "There is an undefined error condition.\n"},
    {0x8007000Eu, "DirectDraw does not have enough memory to perform the operation.\n"},
    {0x80070057u, "One or more of the parameters passed to the method are incorrect.\n"},
    {D(5), "The object has already been initialized.\n"},
    {D(10), "This surface cannot be attached to the requested surface.\n"},
    {D(20), "This surface cannot be detached from the requested surface.\n"},
    {D(40), "Support is currently not available.\n"},
    {D(55), "An exception was encountered while performing the requested operation.\n"},
    {D(90), "The height of the rectangle is not a multiple of the required alignment.\n"},
    {D(95), "The primary surface has a format that does not match the requested one.\n"},
    {D(100), "One or more of the capability bits passed are incorrect.\n"},
    {D(110), "The clip list given is not valid.\n"},
    {D(120), "The display mode is not supported.\n"},
    {D(130), "The object was passed an invalid object or is in an invalid state.\n"},
    {D(145), kChangeTo16Bits},
    {D(150), "The rectangle given is not valid.\n"},
    {D(160), "One or more surfaces are locked, preventing the operation.\n"},
    {D(170), "No 3D hardware is present.\n"},
    {D(180), "No alpha acceleration hardware is present or available.\n"},
    {D(205), "No clip list is available.\n"},
    {D(210), "No hardware is present for colour conversion.\n"},
    {D(212), "The cooperative level was not set before this call.\n"},
    {D(215), "The surface has no colour key.\n"},
    {D(220), "No hardware support for colour keys is present.\n"},
    {D(222), "The display driver does not support this kind of drawing.\n"},
    {D(225), "The operation needs exclusive mode.\n"},
    {D(230), "Flipping visible surfaces is not supported.\n"},
    {D(240), "The operation needs the window system's drawing, which is not available.\n"},
    {D(250), "Mirroring is not supported by the hardware.\n"},
    {D(255), "The requested item was not found.\n"},
    {D(260), "Overlays are not supported by the hardware.\n"},
    {D(280), "Raster operations are not supported by the hardware.\n"},
    {D(290), "Rotation is not supported by the hardware.\n"},
    {D(310), "Stretching is not supported by the hardware.\n"},
    {D(316), "The surface is not a 4-bit palette surface.\n"},
    {D(317), "The surface is not a 4-bit colour index surface.\n"},
    {D(320), "The surface is not an 8-bit colour surface.\n"},
    {D(330), "Texture mapping is not supported by the hardware.\n"},
    {D(335), "Waiting for the vertical blank is not supported by the hardware.\n"},
    {D(340), "No Z-buffer hardware is present.\n"},
    {D(350), "Overlay surfaces cannot be ordered in depth by the hardware.\n"},
    {D(360), "The hardware needed for this operation is already in use.\n"},
    {D(380), "There is not enough display memory for the operation.\n"},
    {D(382), "Overlays cannot be clipped by the hardware.\n"},
    {D(384), "Only one colour key can be active on an overlay at a time.\n"},
    {D(387), "Access to the palette is refused because it is in use.\n"},
    {D(400), "No source colour key was set for the surface.\n"},
    {D(410), "The surface is already attached.\n"},
    {D(420), "The surface already depends on another.\n"},
    {D(430), "Access to the surface is refused because it is busy.\n"},
    {D(435), "The surface cannot be locked.\n"},
    {D(440), "Access to the surface is refused because it is obscured.\n"},
    {D(450),
     "Access to this surface is refused because the surface memory is gone. The DirectDrawSurface object "
     "representing this surface should have the IDirectDrawSurface::Restore method called on it.\n"},
    {D(460), "The surface is not attached.\n"},
    {D(470), "The height requested is too large.\n"},
    {D(480), "The size requested is too large.\n"},
    {D(490), "The width requested is too large.\n"},
    {D(510), "The pixel format is not supported.\n"},
    {D(520), "The colour masks are not supported.\n"},
    {D(537), "A vertical blank is in progress.\n"},
    {D(540), "The previous drawing operation has not finished.\n"},
    {D(560), "The rectangle is not aligned as required.\n"},
    {D(561), "The driver identifier given is not valid.\n"},
    {D(562), "A display object already exists for this driver.\n"},
    {D(563), "No display hardware is present.\n"},
    {D(564), "A primary surface already exists.\n"},
    {D(565), "Software emulation is not available.\n"},
    {D(566), "The region is too small.\n"},
    {D(567), "The clipper is attached to a window and cannot take a clip list.\n"},
    {D(568), "No clipper is attached to the surface.\n"},
    {D(569), "No window was given.\n"},
    {D(570), "The window is already being handled by another display object.\n"},
    {D(571), "The window is already set and cannot be changed.\n"},
    {D(572), kChangeTo16Bits},
    {D(573), "No palette hardware is present.\n"},
    {D(574), "The fast blit cannot clip.\n"},
    {D(575), "No blitting hardware is present.\n"},
    {D(576), "No raster operation hardware is present.\n"},
    {D(577), "The overlay is not visible.\n"},
    {D(578), "No overlay destination was set.\n"},
    {D(579), "The overlay position is not valid.\n"},
    {D(580), "The surface is not an overlay.\n"},
    {D(581), "Exclusive mode is already held by another program.\n"},
    {D(582), "The surface cannot be flipped.\n"},
    {D(583), "The surface cannot be duplicated.\n"},
    {D(584), "The surface is not locked.\n"},
    {D(585), "A device context cannot be created for the surface.\n"},
    {D(586), "No device context exists for the surface.\n"},
    {D(587), "The surface was created in another display mode.\n"},
    {D(588), "The surface was created implicitly and cannot be released alone.\n"},
    {D(589), "The surface is not a palette surface.\n"},
    {D(590), "The display mode is not supported by the hardware.\n"},
    {D(591), "Mipmaps are not supported by the hardware.\n"},
    {D(592), "The surface type is not valid for this operation.\n"},
    {D(620), "A device context has already been taken from the surface.\n"},
    {D(640), "The surface memory cannot be locked in place.\n"},
    {D(660), "The surface memory cannot be released from its place.\n"},
    {D(680), "The surface memory is not locked in place.\n"},
};
static_assert(sizeof(kErrors) / sizeof(kErrors[0]) == 99);

}  // namespace

const char* Cdd::ErrorDescription(HRESULT code) {
  for (const ErrorText& e : kErrors)
    if (e.code == static_cast<std::uint32_t>(code)) return e.text;
  return "Unknown error.\n";
}
