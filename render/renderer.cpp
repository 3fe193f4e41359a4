#include "render/renderer.h"

void CRenderer::DrawMarkerOutline(int x, int y, CColor color) {
  auto at = [](int px, int py) {
    CVertex v{};
    v.sx = px;
    v.sy = py;
    v.z = 1.0f;
    v.rz = 1.0f;
    v.fade = 255;
    return v;
  };
  const CVertex p0 = at(x - 2, y - 2), p1 = at(x - 2, y + 2), p2 = at(x + 2, y + 2), p3 = at(x + 2, y - 2);
  DrawLine(0, p0, p1, color);
  DrawLine(0, p1, p2, color);
  DrawLine(0, p2, p3, color);
  DrawLine(0, p3, p0, color);
}
