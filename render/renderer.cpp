#include "render/renderer.h"

void CRenderer::DrawMarkerOutline(int x, int y, CColor color) {
  auto at = [](int px, int py) { return CVertex::Screen(px, py); };
  const CVertex p0 = at(x - 2, y - 2), p1 = at(x - 2, y + 2), p2 = at(x + 2, y + 2), p3 = at(x + 2, y - 2);
  DrawLine(0, p0, p1, color);
  DrawLine(0, p1, p2, color);
  DrawLine(0, p2, p3, color);
  DrawLine(0, p3, p0, color);
}
