#pragma once
// The texture picture of the current texture id over a rectangle, with the
// texture coordinates of the current group's sides drawn over it: sides that
// touch the current side in blue, the others grey, the current side in white
// with marks at its corners, edged in black so it shows on a white picture.
// Used by the texture view and the panel's preview.
#include "meshedit/ui/pavix_globals.h"

namespace pavix {

inline constexpr std::uint32_t kBlue = 0xFF0000FFu;
inline constexpr std::uint32_t kGrey = 0xFF808080u;
inline constexpr std::uint32_t kWhite = 0xFFFFFFFFu;
inline constexpr std::uint32_t kGreen = 0xFF00FF00u;

// Inside a frame, with the pipeline's viewport already on the rectangle.
// `onlyMatchingCurrent`: the current side is drawn only when it uses the texture.
void DrawTextureWithOutlines(const CViewportRect& r, bool onlyMatchingCurrent);

// The current side's corner nearest to the point (squared distance in the
// rectangle's pixels, the first on ties), or -1 without a current side.
int NearestCorner(const CViewportRect& r, int x, int y);

}  // namespace pavix
