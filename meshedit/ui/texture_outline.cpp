#include "meshedit/ui/texture_outline.h"

#include "meshedit/core/render_pipeline.h"

namespace pavix {
namespace {

float Px(const CViewportRect& r, float u) { return static_cast<float>(r.left) + u * static_cast<float>(r.Width()); }
float Py(const CViewportRect& r, float v) { return static_cast<float>(r.top) + v * static_cast<float>(r.Height()); }

void Outline(const CViewportRect& r, const CSide& s, std::uint32_t color) {
  const int n = s.CornerCount();
  for (int k = 0; k < n; ++k) {
    const CUv& a = s.uv[k];
    const CUv& b = s.uv[(k + 1) % n];
    CRenderPipeline::DrawLine2D(Px(r, a.u), Py(r, a.v), Px(r, b.u), Py(r, b.v), color);
  }
}

}  // namespace

void DrawTextureWithOutlines(const CViewportRect& r, bool onlyMatchingCurrent) {
  PavixGlobals& g = Globals();
  const int rect[4] = {r.left, r.top, r.right, r.bottom};
  const float uv0[2] = {0, 0}, uv1[2] = {1, 1};
  CRenderPipeline::DrawRect2D(rect, uv0, uv1, g.textureId, kWhite, 0);
  const CSide* current = CurrentSide();
  for (const CSide& s : g.shape.sides) {
    if (g.currentGroup != 0 && s.group != g.currentGroup) continue;
    if (static_cast<int>(s.TextureId()) != g.textureId || !(s.flags & kSideListed)) continue;
    Outline(r, s, current && s.SharesVertex(*current) ? kBlue : kGrey);
  }
  if (!current || (onlyMatchingCurrent && static_cast<int>(current->TextureId()) != g.textureId)) return;
  Outline(r, *current, kWhite);
  for (int k = 0; k < current->CornerCount(); ++k)
    CRenderPipeline::DrawMarker2D(Px(r, current->uv[k].u), Py(r, current->uv[k].v),
                                  k == 1 ? kGreen : k == 2 ? kBlue : kWhite);
}

int NearestCorner(const CViewportRect& r, int x, int y) {
  const CSide* current = CurrentSide();
  if (!current) return -1;
  int best = -1;
  float bestD = 0;
  for (int k = 0; k < current->CornerCount(); ++k) {
    const float dx = Px(r, current->uv[k].u) - static_cast<float>(x);
    const float dy = Py(r, current->uv[k].v) - static_cast<float>(y);
    const float d = dx * dx + dy * dy;
    if (best < 0 || d < bestD) {
      best = k;
      bestD = d;
    }
  }
  return best;
}

}  // namespace pavix
