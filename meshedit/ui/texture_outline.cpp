#include "meshedit/ui/texture_outline.h"

#include "meshedit/core/render_pipeline.h"

namespace pavix {
namespace {

float Px(const CViewportRect& r, float u) { return static_cast<float>(r.left) + u * static_cast<float>(r.Width()); }
float Py(const CViewportRect& r, float v) { return static_cast<float>(r.top) + v * static_cast<float>(r.Height()); }

constexpr std::uint32_t kBlack = 0xFF000000u;

// (dx, dy) moves the outline by that many pixels.
void Outline(const CViewportRect& r, const CSide& s, std::uint32_t color, float dx = 0, float dy = 0) {
  const int n = s.CornerCount();
  for (int k = 0; k < n; ++k) {
    const CUv& a = s.uv[k];
    const CUv& b = s.uv[(k + 1) % n];
    CRenderPipeline::DrawLine2D(Px(r, a.u) + dx, Py(r, a.v) + dy, Px(r, b.u) + dx, Py(r, b.v) + dy, color);
  }
}

// The corner marks; `edge` draws them all in black, moved by (dx, dy).
void Markers(const CViewportRect& r, const CSide& s, bool edge, float dx = 0, float dy = 0) {
  for (int k = 0; k < s.CornerCount(); ++k)
    CRenderPipeline::DrawMarker2D(Px(r, s.uv[k].u) + dx, Py(r, s.uv[k].v) + dy,
                                  edge ? kBlack : k == 1 ? kGreen : k == 2 ? kBlue : kWhite);
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
  // White does not show on white, the fill without a texture among them: the
  // current side's outline and marks are edged in black on both sides, so
  // they show on any picture (of the four moves by a pixel, two lie either
  // side of a line of any slope).
  constexpr float kMoves[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
  for (const auto& m : kMoves) {
    Outline(r, *current, kBlack, m[0], m[1]);
    Markers(r, *current, true, m[0], m[1]);
  }
  Outline(r, *current, kWhite);
  Markers(r, *current, false);
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
