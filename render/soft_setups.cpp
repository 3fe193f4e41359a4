// The software renderer's triangle dispatch and set-ups. Each set-up walks
// its triangle's edges scanline by scanline and hands every span to the span
// emitter, which cuts it against the scanline's free runs and fills or
// queues the visible pieces with the set-up's own filler. The walk is one
// template, made for each set-up's interpolants and filler, so every set-up
// keeps only the work its face kind needs.
#include <algorithm>
#include <cmath>

#include "render/face.h"
#include "render/soft_fixed.h"
#include "render/soft_renderer.h"

namespace {

// Corners are held within this many pixels of the clip corner, so every
// fixed-point edge value and step fits.
constexpr std::int64_t kCoordLimit = std::int64_t{1} << 24;

}  // namespace

int CSoftRenderer::DrawTriangle(int flags, const CVertex* a, const CVertex* b, const CVertex* c, int slot,
                                CColor color) {
  if (!origin_ || !a || !b || !c) return 0;
  triCopy_[0] = *a;
  triCopy_[1] = *b;
  triCopy_[2] = *c;
  const std::uint32_t bits = static_cast<std::uint32_t>(flags);
  if (bits & kFaceNoFade) {
    for (CVertex& x : triCopy_) {
      x.color.b >>= 1;
      x.color.g >>= 1;
      x.color.r >>= 1;
    }
  }
  if (bits & kFaceOutline) {
    DrawLine(flags, triCopy_[0], triCopy_[1], color);
    DrawLine(flags, triCopy_[1], triCopy_[2], color);
    DrawLine(flags, triCopy_[2], triCopy_[0], color);
    return 1;
  }
  const bool textured = bits & kFaceTextured, smooth = bits & kFaceSmooth, keyed = bits & kFaceColorKey,
             blended = bits & kFaceBlended;
  triFlags_ = flags;
  for (int i = 0; i < 3; ++i) tri_[i] = &triCopy_[i];
  triFlat_ = smooth && !textured
                 ? static_cast<std::uint16_t>((color.r & 0xF0) << 8 | (color.g & 0xF0) << 4 | (color.b & 0xF0))
                 : 0;
  triTexels_ = textured ? GetTextureData(slot) : nullptr;
  // A slot without an image reads as white, so the vertex shading still shows.
  if (textured && !triTexels_) triTexels_ = blankTexels_.data();
  if (textured && smooth) {
    if (blended) SetupPerspShadedBlend();
    else if (keyed) SetupPerspShadedKeyed();
    else SetupAffineShaded();
  } else if (textured) {
    if (blended) SetupPerspBlend();
    else if (keyed) SetupPerspKeyed();
    else SetupPersp();
  } else if (smooth) {
    if (blended) SetupAlphaTest();
    else SetupShaded();
  } else {
    if (blended) SetupStipple();
    else SetupSolid();
  }
  return 1;
}

int CSoftRenderer::DrawQuad(int flags, const CVertex* a, const CVertex* b, const CVertex* c, const CVertex* d,
                            int slot, CColor color) {
  if (!a || !b || !c || !d) return 0;
  DrawTriangle(flags, a, b, c, slot, color);
  DrawTriangle(flags, a, c, d, slot, color);
  return 1;
}

// Fields: deferred, area test, shade, alpha, affine, perspective.
void CSoftRenderer::SetupSolid() {
  WalkTriangle<SetupKind{false, false, false, false, false, false}, &CSoftRenderer::FillSolid>();
}

void CSoftRenderer::SetupStipple() {
  WalkTriangle<SetupKind{true, false, false, false, false, false}, &CSoftRenderer::FillStipple>();
}

void CSoftRenderer::SetupShaded() {
  WalkTriangle<SetupKind{false, true, true, false, false, false}, &CSoftRenderer::FillShaded>();
}

void CSoftRenderer::SetupAlphaTest() {
  WalkTriangle<SetupKind{true, true, true, true, false, false}, &CSoftRenderer::FillAlphaTest>();
}

void CSoftRenderer::SetupAffineShaded() {
  WalkTriangle<SetupKind{false, true, true, false, true, false}, &CSoftRenderer::FillAffineShadedDither>();
}

void CSoftRenderer::SetupPerspShadedKeyed() {
  WalkTriangle<SetupKind{true, true, true, false, false, true}, &CSoftRenderer::FillPerspShadedKeyed>();
}

void CSoftRenderer::SetupPerspShadedBlend() {
  WalkTriangle<SetupKind{true, true, true, false, false, true}, &CSoftRenderer::FillPerspShadedBlend>();
}

void CSoftRenderer::SetupPersp() {
  WalkTriangle<SetupKind{false, true, false, false, false, true}, &CSoftRenderer::FillPersp>();
}

void CSoftRenderer::SetupPerspKeyed() {
  WalkTriangle<SetupKind{true, true, false, false, false, true}, &CSoftRenderer::FillPerspKeyed>();
}

void CSoftRenderer::SetupPerspBlend() {
  WalkTriangle<SetupKind{true, true, false, false, false, true}, &CSoftRenderer::FillPerspBlend>();
}

template <CSoftRenderer::SetupKind K, CSoftRenderer::Filler F>
void CSoftRenderer::WalkTriangle() {
  if constexpr (K.shade) dither_ = 0;
  DeferredSpan base{};
  base.flags = triFlags_;
  base.flatColor = triFlat_;
  base.texels = triTexels_;
  Corner c[3];
  for (int i = 0; i < 3; ++i) {
    const CVertex& in = *tri_[i];
    Corner& k = c[i];
    k.x = std::clamp<std::int64_t>(static_cast<std::int64_t>(in.sx) - clipLeft_, -kCoordLimit, kCoordLimit);
    k.y = std::clamp<std::int64_t>(static_cast<std::int64_t>(in.sy) - clipTop_, -kCoordLimit, kCoordLimit);
    k.rz = in.rz;
    // u and v are texels: 256 steps of the fixed-point coordinate each.
    const float scale = K.perspective ? 256.0f * in.rz : 256.0f;
    k.u = in.u * scale;
    k.v = in.v * scale;
    if constexpr (K.shade) {
      // Fog off leaves the fade uncomputed: not faded.
      const int fade = in.fade < 0 ? 255 : std::min(in.fade, 255);
      const int value = K.alpha ? in.color.a << 8
                                : ((19660 * in.color.r + 38666 * in.color.g + 7208 * in.color.b) >> 16) << 8;
      k.shade = value * fade >> 8;
    } else {
      k.shade = 0;
    }
  }
  // Top vertex first, keeping the winding.
  for (int turn = 0; turn < 2 && (c[0].y > c[1].y || c[0].y > c[2].y); ++turn) std::rotate(c, c + 1, c + 3);
  rowParity_ = static_cast<int>(c[0].y & 1);

  const double x0 = static_cast<double>(c[0].x), x1 = static_cast<double>(c[1].x), x2 = static_cast<double>(c[2].x);
  const double y0 = static_cast<double>(c[0].y), y1 = static_cast<double>(c[1].y), y2 = static_cast<double>(c[2].y);
  const double area = (x0 - x2) * (y1 - y2) - (x1 - x2) * (y0 - y2);
  if (K.areaTest && !(area >= 1.0)) return;
  auto gradient = [&](double q0, double q1, double q2) { return ((q0 - q2) * (y1 - y2) - (q1 - q2) * (y0 - y2)) / area; };
  shadeDx_ = 0;
  if constexpr (K.shade) shadeDx_ = soft::ToInt(gradient(c[0].shade, c[1].shade, c[2].shade));
  if constexpr (K.affine) {
    affineDu_ = soft::RoundInt(gradient(c[0].u, c[1].u, c[2].u));
    affineDv_ = soft::RoundInt(gradient(c[0].v, c[1].v, c[2].v));
  }
  if constexpr (K.perspective) {
    uzDx_ = static_cast<float>(gradient(c[0].u, c[1].u, c[2].u));
    vzDx_ = static_cast<float>(gradient(c[0].v, c[1].v, c[2].v));
    rzDx_ = static_cast<float>(gradient(c[0].rz, c[1].rz, c[2].rz));
    base.uzStep16 = uzDx_ * 16.0f;
    base.vzStep16 = vzDx_ * 16.0f;
    base.rzStep16 = rzDx_ * 16.0f;
  }
  base.shadeStep = shadeDx_;

  const std::int64_t yMid = std::min(c[1].y, c[2].y), yMax = std::max(c[1].y, c[2].y);
  if (yMax < 0 || (c[0].y == c[1].y && c[0].y == c[2].y) || c[0].y > clipBottom_) return;
  Edge left, right;
  if (c[0].y < yMid) {
    StartEdge<K>(left, c[0], c[2]);
    StartEdge<K>(right, c[0], c[1]);
    if (!WalkPart<K, F>(c[0].y, yMid, left, right, base)) return;
  }
  if (yMid < yMax) {
    // The edge that reached its end vertex goes on to the remaining one.
    if (c[1].y <= c[2].y) {
      StartEdge<K>(right, c[1], c[2]);
      if (c[0].y == yMid) StartEdge<K>(left, c[0], c[2]);
    } else {
      StartEdge<K>(left, c[2], c[1]);
      if (c[0].y == yMid) StartEdge<K>(right, c[0], c[1]);
    }
    WalkPart<K, F>(yMid, yMax, left, right, base);
  }
}

template <CSoftRenderer::SetupKind K>
void CSoftRenderer::StartEdge(Edge& e, const Corner& from, const Corner& to) const {
  const std::int64_t rows = to.y - from.y;  // the walker never starts an edge without rows
  e.x = from.x * 256;
  e.dx = (to.x - from.x) * 256 / rows;
  EdgeValues& q = e.values;
  const double n = static_cast<double>(rows);
  if constexpr (K.affine) {
    q.u = soft::RoundInt(from.u);
    q.v = soft::RoundInt(from.v);
    q.du = soft::RoundInt((static_cast<double>(to.u) - from.u) / n);
    q.dv = soft::RoundInt((static_cast<double>(to.v) - from.v) / n);
  }
  if constexpr (K.shade) {
    q.shade = from.shade;
    q.dshade = static_cast<std::int32_t>((to.shade - from.shade) / rows);
  }
  if constexpr (K.perspective) {
    q.uz = from.u;
    q.vz = from.v;
    q.rz = from.rz;
    q.duz = static_cast<float>((static_cast<double>(to.u) - from.u) / n);
    q.dvz = static_cast<float>((static_cast<double>(to.v) - from.v) / n);
    q.drz = static_cast<float>((static_cast<double>(to.rz) - from.rz) / n);
  }
}

void CSoftRenderer::StepEdge(Edge& e, std::int64_t rows) {
  e.x += e.dx * rows;
  EdgeValues& q = e.values;
  q.u = soft::WrapAdd(q.u, q.du, rows);
  q.v = soft::WrapAdd(q.v, q.dv, rows);
  q.shade = soft::WrapAdd(q.shade, q.dshade, rows);
  const float n = static_cast<float>(rows);
  q.uz += q.duz * n;
  q.vz += q.dvz * n;
  q.rz += q.drz * n;
}

template <CSoftRenderer::SetupKind K, CSoftRenderer::Filler F>
bool CSoftRenderer::WalkPart(std::int64_t yStart, std::int64_t yEnd, Edge& left, Edge& right,
                             const DeferredSpan& base) {
  const std::int64_t rows = yEnd - yStart;
  if (rows <= 0) return true;
  std::int64_t y = yStart;
  if (y < 0) {
    const std::int64_t skip = std::min(-y, rows);
    StepEdge(left, skip);
    StepEdge(right, skip);
    y += skip;
  }
  const std::int64_t last = std::min<std::int64_t>(yEnd, static_cast<std::int64_t>(heads_.size()));
  for (; y < last; ++y) {
    const int row = static_cast<int>(y);
    if (heads_[row]) {
      EmitSpan<K, F>(row, left, right, base);
      rowParity_ ^= 1;
    }
    StepEdge(left, 1);
    StepEdge(right, 1);
  }
  return yEnd <= static_cast<std::int64_t>(heads_.size());
}

template <CSoftRenderer::SetupKind K, CSoftRenderer::Filler F>
void CSoftRenderer::EmitSpan(int y, const Edge& left, const Edge& right, const DeferredSpan& base) {
  const std::int64_t a = left.x >> 8, b = right.x >> 8;
  if (a >= b) return;
  std::uint16_t* row = origin_ + rowOffset_[y];
  const EdgeValues& q = left.values;
  SpanNode** link = &heads_[y];
  while (SpanNode* node = *link) {
    const std::int64_t c = node->x0, d = node->x1;
    if (d <= a) {
      link = &node->next;
      continue;
    }
    if (c >= b) break;
    const int from = static_cast<int>(std::max(a, c)), to = static_cast<int>(std::min(b, d));
    // The piece starts from the left edge's values moved along the row.
    const std::int64_t along = from - a;
    DeferredSpan piece = base;
    piece.x0 = from;
    piece.x1 = to;
    piece.row = row;
    piece.rowParity = rowParity_;
    piece.shade = soft::WrapAdd(q.shade, shadeDx_, along);
    if constexpr (K.perspective) {
      const float n = static_cast<float>(along);
      piece.uz = q.uz + uzDx_ * n;
      piece.vz = q.vz + vzDx_ * n;
      piece.rz = q.rz + rzDx_ * n;
    }
    if constexpr (K.affine) {
      affineU_ = soft::WrapAdd(q.u, affineDu_, along);
      affineV_ = soft::WrapAdd(q.v, affineDv_, along);
      piece.affineU = static_cast<float>(affineU_);
      piece.affineV = static_cast<float>(affineV_);
    }
    if constexpr (K.deferred) {
      if (deferredCount_ < kMaxDeferredSpans) deferred_[deferredCount_++] = piece;
      link = &node->next;
    } else {
      (this->*F)(piece);
      // The node gives up the piece.
      if (c < a) {
        if (d > b) {
          if (nodesUsed_ < pool_.size()) {
            SpanNode& rest = pool_[nodesUsed_++];
            rest = SpanNode{static_cast<int>(b), static_cast<int>(d), node->next};
            node->next = &rest;
          } else {
            // No node left to split with: the run stays free as a whole.
            break;
          }
        }
        node->x1 = static_cast<int>(a);
        link = &node->next;
      } else if (d > b) {
        node->x0 = static_cast<int>(b);
        link = &node->next;
      } else {
        *link = node->next;
      }
    }
    if (d >= b) break;
  }
}
