#include "quest/map_link_path.h"

#include "render/engine_3d.h"
#include "render/render_vertex.h"
#include "render/renderer.h"

namespace pv = platform::video;

LinkSides ChooseLinkSides(const pv::Rect& f, const pv::Rect& t) {
  const auto vertical = [&](int otherwise) {
    if (t.bottom < f.top) return 2;
    if (f.bottom < t.top) return 0;
    return otherwise;
  };
  if (f.right < t.left) return {1, vertical(3)};
  if (t.right < f.left) return {3, vertical(1)};
  if (t.bottom < f.top) return {0, 2};
  if (f.bottom < t.top) return {2, 0};
  return {-1, -1};
}

int LinkSpreadOffset(int n) {
  const int sign = (n % 2) != 0 ? 1 : -1;
  return sign * ((n % 2) + n / 2) * 5;
}

MapPoint LinkEndPoint(const pv::Rect& r, int side, int offset) {
  const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
  switch (side) {
    case 0: return {cx + offset, r.top};
    case 1: return {r.right, cy + offset};
    case 2: return {cx + offset, r.bottom + 20};
    case 3: return {r.left, cy + offset};
    default: return {cx, cy};
  }
}

namespace {

int CountAndOffset(int* counts, int side) {
  if (side < 0 || !counts) return 0;
  return LinkSpreadOffset(counts[side]);
}

bool Horizontal(int side) { return side == 1 || side == 3 || side == -1; }

}  // namespace

void DrawMapLinkPath(const pv::Rect& from, int* fromCounts, const pv::Rect& to, int* toCounts, CColor colour,
                     const pv::Rect& view) {
  const LinkSides sides = ChooseLinkSides(from, to);
  MapPoint p = LinkEndPoint(from, sides.from, CountAndOffset(fromCounts, sides.from));
  MapPoint q = LinkEndPoint(to, sides.to, CountAndOffset(toCounts, sides.to));
  p = {p.x - view.left, p.y - view.top};
  q = {q.x - view.left, q.y - view.top};

  MapPoint path[4];
  int count = 0;
  path[count++] = p;
  if (p.x != q.x && p.y != q.y) {
    const int mx = (p.x + q.x) / 2, my = (p.y + q.y) / 2;
    const bool toHorizontal = sides.to == 1 || sides.to == 3 || sides.to == -1;
    if (Horizontal(sides.from)) {
      if (!toHorizontal) {
        path[count++] = {q.x, p.y};
      } else {
        path[count++] = {mx, p.y};
        path[count++] = {mx, q.y};
      }
    } else if (sides.to == 1 || sides.to == 3) {
      path[count++] = {p.x, q.y};
    } else {
      path[count++] = {p.x, my};
      path[count++] = {q.x, my};
    }
  }
  path[count++] = q;

  if (!g_3DEngine) return;
  if (CRenderer* r = g_3DEngine->GetRenderer()) {
    const CColor white = CColor::FromRGBA(255, 255, 255, 255);
    for (int i = 0; i + 1 < count; ++i) {
      r->DrawLine(4, CVertex::Screen(path[i].x, path[i].y, colour), CVertex::Screen(path[i + 1].x, path[i + 1].y, colour),
                  white);
    }
  }
  g_3DEngine->DrawQuad(0, CVertex::Screen(p.x - 2, p.y - 2, colour), CVertex::Screen(p.x + 2, p.y - 2, colour),
                       CVertex::Screen(p.x + 2, p.y + 2, colour), CVertex::Screen(p.x - 2, p.y + 2, colour), 0, colour);
  const auto arrow = [&](int ax, int ay, int bx, int by, int cx, int cy) {
    g_3DEngine->DrawTriangle(0, CVertex::Screen(ax, ay, colour), CVertex::Screen(bx, by, colour),
                             CVertex::Screen(cx, cy, colour), 0, colour);
  };
  switch (sides.to) {
    case 2: arrow(q.x - 1, q.y, q.x + 4, q.y + 8, q.x - 5, q.y + 8); break;
    case 0: arrow(q.x - 1, q.y, q.x - 5, q.y - 8, q.x + 4, q.y - 8); break;
    case 3: arrow(q.x, q.y - 1, q.x - 8, q.y + 4, q.x - 8, q.y - 5); break;
    case 1: arrow(q.x, q.y - 1, q.x + 8, q.y - 5, q.x + 8, q.y + 4); break;
    default: break;
  }
  if (toCounts && sides.to >= 0) ++toCounts[sides.to];
  if (fromCounts && sides.from >= 0) ++fromCounts[sides.from];
}
