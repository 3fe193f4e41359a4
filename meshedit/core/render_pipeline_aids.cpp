// The pipeline's drawing aids: box, grid, lines and markers.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "meshedit/core/render_pipeline.h"

namespace pavix {
namespace {

constexpr int kMaxGridLines = 4096;
constexpr float kAidDepth = 0.01f;
constexpr float kAidRhw = 100.0f;

CScreenVertex AidVertex(float x, float y, std::uint32_t color) {
  CScreenVertex v;
  v.x = x;
  v.y = y;
  v.z = kAidDepth;
  v.rhw = kAidRhw;
  v.diffuse = color;
  v.specular = 0;
  return v;
}

// The lines of a grid along one axis: every `every`-th of its cells, and
// always the range's far end, so thinning never cuts the grid short.
struct AxisLines {
  float lo = 0, step = 0;
  std::int64_t cells = 0;
  std::int64_t every = 1;
  std::int64_t Count() const { return cells == 0 ? 1 : (cells + every - 1) / every + 1; }
  float At(std::int64_t i) const {
    return lo + static_cast<float>(static_cast<double>(std::min(i * every, cells)) * static_cast<double>(step));
  }
};

// Cells along an axis; none for an empty extent or a step that is no step.
std::int64_t Cells(float extent, float step) {
  if (!(step > 0.0f) || !std::isfinite(extent) || !(extent > 0.0f)) return 0;
  const double n = std::floor(static_cast<double>(extent) / step + 1e-4);
  return n > 1e15 ? std::int64_t{1000000000000000} : static_cast<std::int64_t>(n);
}

// The least `every` (whole cells) that brings the axes' line counts within the budget.
void Thin(std::initializer_list<AxisLines*> axes, std::int64_t budget) {
  auto total = [&] {
    std::int64_t t = 0;
    for (const AxisLines* a : axes) t += a->Count();
    return t;
  };
  if (total() <= budget) return;
  std::int64_t cells = 0;
  for (const AxisLines* a : axes) cells += a->cells;
  const auto slots = static_cast<std::int64_t>(axes.size());
  std::int64_t every = std::max<std::int64_t>(1, cells / std::max<std::int64_t>(1, budget - 2 * slots));
  for (;; ++every) {
    for (AxisLines* a : axes) a->every = every;
    if (total() <= budget) return;
  }
}

}  // namespace

bool CRenderPipeline::ProjectPoint(const CVector& world, float* sx, float* sy) {
  const CVector c = TransformPoint(ViewMatrix(), world);
  CTransformedVertex v;
  v.x = c.x;
  v.y = c.y;
  v.z = c.z;
  Project(v);
  if (v.behind) return false;
  *sx = v.sx;
  *sy = v.sy;
  return true;
}

void CRenderPipeline::DrawLine3D(const CVector& a, const CVector& b, std::uint32_t color) {
  CTransformedVertex v[2];
  const CVector ends[2] = {a, b};
  for (int k = 0; k < 2; ++k) {
    const CVector c = TransformPoint(ViewMatrix(), ends[k]);
    v[k].x = c.x;
    v[k].y = c.y;
    v[k].z = c.z;
    Project(v[k]);
  }
  if (v[0].behind && v[1].behind) return;
  if (v[0].behind || v[1].behind) {
    CTransformedVertex& out = v[0].behind ? v[0] : v[1];
    const CTransformedVertex& in = v[0].behind ? v[1] : v[0];
    const float t = (ScaledNear() - in.z) / (out.z - in.z);
    out.x = in.x + (out.x - in.x) * t;
    out.y = in.y + (out.y - in.y) * t;
    out.z = ScaledNear();
    Project(out);
    out.behind = 0;
  }
  CScreenVertex s[2];
  for (int k = 0; k < 2; ++k) {
    s[k] = AidVertex(v[k].sx, v[k].sy, color);
    s[k].z = v[k].depth;
    s[k].rhw = v[k].rdepth;
  }
  Cdd::DrawLineClipped(s[0], s[1]);
}

void CRenderPipeline::DrawLine2D(float x0, float y0, float x1, float y1, std::uint32_t color) {
  Cdd::DrawLineClipped(AidVertex(x0, y0, color), AidVertex(x1, y1, color));
}

void CRenderPipeline::DrawMarker2D(float x, float y, std::uint32_t color) {
  // The device leaves out a line's last pixel: each side reaches one further.
  const float l = x - 2, t = y - 2, r = x + 2, b = y + 2;
  DrawLine2D(l, t, r + 1, t, color);
  DrawLine2D(r, t, r, b + 1, color);
  DrawLine2D(l, b, r + 1, b, color);
  DrawLine2D(l, t, l, b + 1, color);
}

void CRenderPipeline::DrawBox(const CMatrix& matrix, const CVector& a, const CVector& b, std::uint32_t color) {
  CVector c[8];
  for (int i = 0; i < 8; ++i)
    c[i] = TransformPoint(matrix, {(i & 1) ? b.x : a.x, (i & 2) ? b.y : a.y, (i & 4) ? b.z : a.z});
  // Corners differing in one coordinate bit are the ends of an edge.
  for (int i = 0; i < 8; ++i)
    for (int bit = 1; bit < 8; bit <<= 1)
      if (!(i & bit)) DrawLine3D(c[i], c[i | bit], color);
}

void CRenderPipeline::DrawGrid(const CMatrix& matrix, const CVector& a, const CVector& b, const CVector& step,
                               std::uint32_t color) {
  const CVector lo{std::min(a.x, b.x), std::min(a.y, b.y), std::min(a.z, b.z)};
  const CVector hi{std::max(a.x, b.x), std::max(a.y, b.y), std::max(a.z, b.z)};
  if (!std::isfinite(lo.x + lo.y + lo.z + hi.x + hi.y + hi.z)) return;
  AxisLines x{lo.x, step.x, Cells(hi.x - lo.x, step.x)};
  AxisLines y{lo.y, step.y, Cells(hi.y - lo.y, step.y)};
  AxisLines z{lo.z, step.z, Cells(hi.z - lo.z, step.z)};
  // The budget holds every line, the white axes too. Levels go first, by
  // whole cells, down to the two at the range's ends; only then do the lines
  // of each level thin out.
  const bool xAxis = lo.x <= 0.0f && hi.x >= 0.0f, zAxis = lo.z <= 0.0f && hi.z >= 0.0f;
  const std::int64_t budget = kMaxGridLines - (xAxis ? 1 : 0) - (zAxis ? 1 : 0);
  const std::int64_t minLevels = y.cells == 0 ? 1 : 2;
  if (y.Count() * (x.Count() + z.Count()) > budget) {
    Thin({&x, &z}, budget / minLevels);
    const std::int64_t levels = std::max(minLevels, budget / (x.Count() + z.Count()));
    if (y.cells > 0 && y.Count() > levels) y.every = (y.cells + levels - 2) / (levels - 1);
  }
  auto line = [&](const CVector& p, const CVector& q, std::uint32_t c) {
    DrawLine3D(TransformPoint(matrix, p), TransformPoint(matrix, q), c);
  };
  for (std::int64_t l = 0; l < y.Count(); ++l) {
    const float ly = y.At(l);
    for (std::int64_t i = 0; i < z.Count(); ++i) line({lo.x, ly, z.At(i)}, {hi.x, ly, z.At(i)}, color);
    for (std::int64_t i = 0; i < x.Count(); ++i) line({x.At(i), ly, lo.z}, {x.At(i), ly, hi.z}, color);
  }
  constexpr std::uint32_t kWhite = 0xFFFFFFFFu;
  if (xAxis) line({0, lo.y, lo.z}, {0, lo.y, hi.z}, kWhite);
  if (zAxis) line({lo.x, lo.y, 0}, {hi.x, lo.y, 0}, kWhite);
}

}  // namespace pavix
