#include "render/cdd_renderer.h"

#include <algorithm>
#include <cstdint>

#include "render/cdd.h"

namespace {

constexpr int kOutline = 0x2;
constexpr int kSmooth = 0x4;
constexpr int kClipBuffer = 16;

struct RendererState {
  Cdd* device = nullptr;
  int width = 0;
  int height = 0;
  CCddRenderer::ClipRect clip;
  std::uint32_t masks[3] = {};
  int shifts[3] = {};
  int bits[3] = {};
  std::array<CTexture, 64> textures;
};

RendererState& R() {
  static RendererState state;
  return state;
}

int Shift(std::uint32_t mask) {
  if (!mask) return 32;
  int s = 0;
  while (!((mask >> s) & 1u)) ++s;
  return s;
}

int Bits(std::uint32_t mask) {
  if (!mask) return 0;
  int s = Shift(mask), n = 0;
  while (s + n < 32 && ((mask >> (s + n)) & 1u)) ++n;
  return n;
}

// A line end moved along the line to a new coordinate on one axis; colours
// follow in 8.8 fixed point.
void MoveEnd(CVertex& end, const CVertex& other, bool alongY, int to, bool shaded) {
  const std::int64_t e0 = alongY ? end.sy : end.sx;
  const std::int64_t e1 = alongY ? other.sy : other.sx;
  if (e0 == e1) return;
  const std::int64_t span = e1 - e0;
  const std::int64_t step = to - e0;
  auto along = [&](std::int64_t a, std::int64_t b) {
    const std::int64_t num = (b - a) * step;
    return a + (num >= 0 ? (num + span / 2) / span : -((-num + span / 2) / span));
  };
  if (alongY) {
    end.sx = static_cast<std::int32_t>(std::clamp<std::int64_t>(along(end.sx, other.sx), INT32_MIN, INT32_MAX));
    end.sy = to;
  } else {
    end.sy = static_cast<std::int32_t>(std::clamp<std::int64_t>(along(end.sy, other.sy), INT32_MIN, INT32_MAX));
    end.sx = to;
  }
  if (shaded) {
    const std::int64_t t88 = span != 0 ? (step * 256) / span : 0;  // 8.8 fixed
    auto mix = [t88](std::uint8_t a, std::uint8_t b) {
      const std::int64_t v = a + ((static_cast<std::int64_t>(b) - a) * t88) / 256;
      return static_cast<std::uint8_t>(std::clamp<std::int64_t>(v, 0, 255));
    };
    end.color.r = mix(end.color.r, other.color.r);
    end.color.g = mix(end.color.g, other.color.g);
    end.color.b = mix(end.color.b, other.color.b);
    end.color.a = mix(end.color.a, other.color.a);
  }
}

}  // namespace

CCddRenderer::~CCddRenderer() {
  const int n = std::min<int>(GetTextureCount(), static_cast<int>(R().textures.size()));
  for (int i = 0; i < n; ++i) R().textures[i].Release();
}

void CCddRenderer::ResetState() {
  RendererState& s = R();
  s.device = nullptr;
  s.width = s.height = 0;
  s.clip = ClipRect{};
  for (int c = 0; c < 3; ++c) {
    s.masks[c] = 0;
    s.shifts[c] = 0;
    s.bits[c] = 0;
  }
  for (auto& t : s.textures) t.Release();
}

void CCddRenderer::Show() {
  if (R().device) R().device->Show();
}
void CCddRenderer::SetFog(int on) {
  if (R().device) R().device->SetFog(on);
}
int CCddRenderer::GetFog() { return R().device ? R().device->GetFog() : 0; }
void CCddRenderer::SetDither(int on) {
  if (R().device) R().device->SetDither(on);
}
int CCddRenderer::GetDither() { return R().device ? R().device->GetDither() : 0; }
void CCddRenderer::SetBilinear(int on) {
  if (R().device) R().device->SetBilinear(on);
}
int CCddRenderer::GetBilinear() { return R().device ? R().device->GetBilinear() : 0; }
void CCddRenderer::SetFogColor(CColor color) {
  if (R().device) R().device->SetFogColor(color);
}
CColor CCddRenderer::GetFogColor() { return R().device ? R().device->GetFogColor() : CColor(); }

void CCddRenderer::FillRectangle(int left, int top, int right, int bottom, CColor color) {
  if (R().device) R().device->FillRectangle(left, top, right, bottom, color);
}

int CCddRenderer::BeginFrame(int clearZ) {
  if (!R().device) return 0;
  R().device->beginRender(clearZ);
  return 1;
}

void CCddRenderer::EndFrame() {
  if (R().device) R().device->endRender();
}
void CCddRenderer::PauseScene() {
  if (R().device) R().device->PauseRender();
}
void CCddRenderer::ResumeScene() {
  if (R().device) R().device->ResumeRender();
}

void CCddRenderer::SetDevice(Cdd* device) { R().device = device; }

void CCddRenderer::SetScreenSize(int width, int height, int /*pitch*/) {
  R().width = width;
  R().height = height;
  SetClipRect(0, 0, width - 1, height - 1);
}

void CCddRenderer::SetClipRect(int left, int top, int right, int bottom) {
  RendererState& s = R();
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, s.width - 1);
  bottom = std::min(bottom, s.height - 1);
  s.clip.left = left;
  s.clip.top = top;
  s.clip.right = right;
  s.clip.bottom = bottom;
  if (right >= left && bottom >= top) {
    s.clip.width = right - left;
    s.clip.height = bottom - top;
  }
}

void CCddRenderer::SetPixelFormat(int redMask, int greenMask, int blueMask) {
  const std::uint32_t m[3] = {static_cast<std::uint32_t>(redMask), static_cast<std::uint32_t>(greenMask),
                              static_cast<std::uint32_t>(blueMask)};
  for (int c = 0; c < 3; ++c) {
    R().masks[c] = m[c];
    R().shifts[c] = Shift(m[c]);
    R().bits[c] = Bits(m[c]);
  }
}

int CCddRenderer::LoadTexture(int slot, const char* file) {
  if (!R().device || slot < 0 || slot >= GetTextureCount()) return 0;
  return R().device->LoadTexture(slot, file);
}

int CCddRenderer::GetTextureCount() { return R().device ? R().device->GetLoadableTextureCount() : 0; }
int CCddRenderer::IsReducedTextures() { return R().device ? R().device->IsReducedTextures() : 0; }

void CCddRenderer::ReleaseBitmap(int slot) {
  if (R().device) R().device->ReleaseBitmapOfTexture(slot);
}
void CCddRenderer::ReleaseBitmaps() {
  if (R().device) R().device->ReleaseAllBitmaps();
}

int CCddRenderer::DrawPoint(CVertex v, CColor color) { return DrawMarker(v.sx, v.sy, color); }

int CCddRenderer::DrawMarker(int x, int y, CColor color) {
  DrawMarkerOutline(x, y, color);
  return 1;
}

int CCddRenderer::DrawTriangle(int flags, const CVertex* a, const CVertex* b, const CVertex* c, int slot,
                               CColor color) {
  if (!R().device || !a || !b || !c) return 0;
  const CVertex* v[3] = {a, b, c};
  return ClipPolygon(flags, v, 3, slot, color, false);
}

int CCddRenderer::DrawQuad(int flags, const CVertex* a, const CVertex* b, const CVertex* c, const CVertex* d,
                           int slot, CColor color) {
  if (!R().device || !a || !b || !c || !d) return 0;
  const CVertex* v[4] = {a, b, c, d};
  return ClipPolygon(flags, v, 4, slot, color, true);
}

int CCddRenderer::ClipPolygon(int flags, const CVertex* const* v, int n, int slot, CColor color, bool quad) {
  RendererState& s = R();
  const ClipRect& c = s.clip;
  bool needX = false, needY = false;
  for (int i = 0; i < n; ++i) {
    needX = needX || v[i]->sx < c.left || v[i]->sx > c.right;
    needY = needY || v[i]->sy < c.top || v[i]->sy > c.bottom;
  }
  if (!needX && !needY) {
    if (quad) s.device->DrawQuad(flags, v[0], v[1], v[2], v[3], slot, color);
    else s.device->DrawTriangle(flags, v[0], v[1], v[2], slot, color);
    return 1;
  }
  // An outline is its own edges: cut as lines, so the cut shows no false edges.
  if (flags & kOutline) {
    for (int i = 0; i < n; ++i) DrawLine(flags, *v[i], *v[(i + 1) % n], color);
    return 1;
  }
  CVertex bufA[kClipBuffer + 1], bufB[kClipBuffer + 1];
  CVertex* in = bufA;
  CVertex* out = bufB;
  int count = n;
  for (int i = 0; i < n; ++i) in[i] = *v[i];
  struct Edge {
    bool x;      // an x edge, else a y edge
    bool upper;  // keep coordinates at or below the edge, else at or above
    int at;
  };
  Edge edges[4];
  int edgeCount = 0;
  if (needX) {
    edges[edgeCount++] = {true, false, c.left};
    edges[edgeCount++] = {true, true, c.right + 1};
  }
  if (needY) {
    edges[edgeCount++] = {false, false, c.top};
    edges[edgeCount++] = {false, true, c.bottom + 1};
  }
  for (int e = 0; e < edgeCount && count > 0; ++e) {
    const Edge& edge = edges[e];
    auto coord = [&edge](const CVertex& p) { return edge.x ? p.sx : p.sy; };
    auto inside = [&](const CVertex& p) { return edge.upper ? coord(p) <= edge.at : coord(p) >= edge.at; };
    in[count] = in[0];
    int m = 0;
    for (int i = 0; i < count && m < kClipBuffer - 1; ++i) {
      const CVertex& cur = in[i];
      const CVertex& next = in[i + 1];
      const bool curIn = inside(cur), nextIn = inside(next);
      if (curIn) out[m++] = cur;
      if (curIn != nextIn) {
        const CVertex& inV = curIn ? cur : next;
        const CVertex& outV = curIn ? next : cur;
        const double ci = coord(inV), co = coord(outV);
        const float t = static_cast<float>((ci - edge.at) / (ci - co));
        CVertex p = CVertex::InterpolateProjected(inV, outV, t);
        if (edge.upper) {
          if (edge.x) p.sx = edge.at;
          else p.sy = edge.at;
        }
        out[m++] = p;
      }
    }
    std::swap(in, out);
    count = m;
  }
  for (int i = 1; i + 1 < count; ++i) s.device->DrawTriangle(flags, &in[0], &in[i], &in[i + 1], slot, color);
  return 1;
}

int CCddRenderer::DrawLine(int flags, CVertex a, CVertex b, CColor color) {
  RendererState& s = R();
  if (!s.device) return 0;
  const ClipRect& c = s.clip;
  const bool shaded = (flags & kSmooth) != 0;
  // Top to bottom, cut to the clip rectangle's rows.
  if (a.sy > b.sy) std::swap(a, b);
  if (b.sy < c.top || a.sy > c.bottom) return 0;
  if (a.sy < c.top) MoveEnd(a, b, true, c.top, shaded);
  if (b.sy > c.bottom) MoveEnd(b, a, true, c.bottom, shaded);
  // Left to right, cut to its columns.
  if (a.sx > b.sx) std::swap(a, b);
  if (b.sx < c.left || a.sx > c.right) return 0;
  if (a.sx < c.left) MoveEnd(a, b, false, c.left, shaded);
  if (b.sx > c.right) MoveEnd(b, a, false, c.right, shaded);
  return s.device->DrawLine(flags, a, b, color);
}

CCddRenderer::ClipRect CCddRenderer::GetClip() { return R().clip; }
Cdd* CCddRenderer::GetDevice() { return R().device; }
int CCddRenderer::ScreenWidth() { return R().width; }
int CCddRenderer::ScreenHeight() { return R().height; }
std::uint32_t CCddRenderer::Mask(int channel) { return R().masks[std::clamp(channel, 0, 2)]; }
int CCddRenderer::MaskShift(int channel) { return R().shifts[std::clamp(channel, 0, 2)]; }
int CCddRenderer::MaskBits(int channel) { return R().bits[std::clamp(channel, 0, 2)]; }
