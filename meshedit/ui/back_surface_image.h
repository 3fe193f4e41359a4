#pragma once
// What the display device drew in the top-left corner of its back surface,
// as a picture for a control (the panel's preview and the list's thumbnails
// are drawn there and copied out).
#include <QImage>

namespace pavix {

// Null when there is no back surface; cut to the surface when it is smaller.
QImage BackSurfaceImage(int width, int height);
// Whether the back surface holds at least this much.
bool BackSurfaceFits(int width, int height);

}  // namespace pavix
