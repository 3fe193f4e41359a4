#include <algorithm>
#include <bit>
#include <cmath>

#include "datafiles/common/debug_trace.h"
#include "meshedit/core/cdd.h"
#include "platform/video/clipper.h"
#include "platform/video/device3d.h"
#include "platform/video/display.h"
#include "platform/video/render_state.h"
#include "platform/video/texture.h"
#include "platform/video/tl_vertex.h"
#include "platform/video/viewport.h"
#include "platform/video/window.h"

namespace pavix {
namespace {

// Clipping a pentagon against four edges makes at most nine vertices.
constexpr int kClipVertices = 16;

pv::TLVertex ToDevice(const CScreenVertex& v) {
  pv::TLVertex t;
  t.sx = v.x;
  t.sy = v.y;
  t.sz = v.z;
  t.rhw = v.rhw;
  t.color = v.diffuse;
  t.specular = v.specular;
  t.tu = v.u;
  t.tv = v.v;
  t.tu2 = v.u2;
  t.tv2 = v.v2;
  return t;
}

std::uint32_t SlotOf(std::uint32_t key, int field) { return (key >> (10 * field)) & kCddNoSlot; }

bool HasOutcode(const CScreenVertex* const* v, int n, bool xAxis) {
  for (int i = 0; i < n; ++i)
    if (xAxis ? v[i]->xOut : v[i]->yOut) return true;
  return false;
}

}  // namespace

void Cdd::RenderState(int state, std::uint32_t value) {
  CddState& s = State();
  if (!s.device) return;
  ++s.stats.renderStates;
  if (pv::HResult r = s.device->SetRenderState(state, value); pv::Failed(r)) LogError(r);
}

void Cdd::StageState(int stage, int state, std::uint32_t value) {
  CddState& s = State();
  if (!s.device || stage >= s.stages) return;
  ++s.stats.stageStates;
  if (pv::HResult r = s.device->SetTextureStageState(stage, state, value); pv::Failed(r)) LogError(r);
}

void Cdd::SetDefaultStates() {
  CddState& s = State();
  SetDepth(s.depth, true);
  SetDither(s.dither, true);
  SetFog(s.fog, true);
  SetFogColor(s.fogColor, true);
  SetFilter(s.filter, true);
  SetMipFilter(s.mipFilter, true);
  RenderState(pv::kRsCullMode, pv::kCullNone);
  RenderState(pv::kRsFillMode, pv::kFillSolid);
  RenderState(pv::kRsSpecularEnable, 1);
  RenderState(pv::kRsAlphaBlendEnable, 0);
  RenderState(pv::kRsAntialias, static_cast<std::uint32_t>(s.antialias));
  RenderState(pv::kRsColorKeyEnable, 0);
  RenderState(pv::kRsShadeMode, pv::kShadeFlat);
  RenderState(pv::kRsSrcBlend, pv::kBlendOne);
  RenderState(pv::kRsDestBlend, pv::kBlendZero);
  s.flags = 0;
  s.key = kCddNoTexture;

  StageState(0, pv::kTssAlphaOp, pv::kTopDisable);
  if (s.stages >= 2) {
    StageState(1, pv::kTssColorArg1, pv::kTaTexture);
    StageState(1, pv::kTssColorArg2, pv::kTaCurrent);
    StageState(1, pv::kTssAlphaArg1, pv::kTaTexture);
    StageState(1, pv::kTssAlphaArg2, pv::kTaCurrent);
    StageState(1, pv::kTssAddress, pv::kTaddressWrap);
  }
  if (s.stages >= 3) {
    StageState(2, pv::kTssBumpEnvMat00, std::bit_cast<std::uint32_t>(1.0f));
    StageState(2, pv::kTssBumpEnvMat01, std::bit_cast<std::uint32_t>(0.0f));
    StageState(2, pv::kTssBumpEnvMat10, std::bit_cast<std::uint32_t>(0.0f));
    StageState(2, pv::kTssBumpEnvMat11, std::bit_cast<std::uint32_t>(1.0f));
    StageState(2, pv::kTssBumpEnvLScale, std::bit_cast<std::uint32_t>(1.0f));
    StageState(2, pv::kTssBumpEnvLOffset, std::bit_cast<std::uint32_t>(0.0f));
    StageState(2, pv::kTssColorArg1, pv::kTaTexture);
    StageState(2, pv::kTssColorArg2, pv::kTaCurrent);
    StageState(2, pv::kTssAddress, pv::kTaddressWrap);
  }
  StageState(0, pv::kTssTexCoordIndex, 0);
  StageState(0, pv::kTssColorArg1, pv::kTaTexture);
  StageState(0, pv::kTssColorArg2, pv::kTaDiffuse);
  StageState(0, pv::kTssColorOp, pv::kTopSelectArg2);
  StageState(0, pv::kTssAlphaArg1, pv::kTaTexture);
  StageState(0, pv::kTssAlphaArg2, pv::kTaDiffuse);
  StageState(0, pv::kTssAlphaOp, pv::kTopSelectArg2);
  StageState(0, pv::kTssAddress, pv::kTaddressWrap);
  StageState(1, pv::kTssColorOp, pv::kTopDisable);
  StageState(1, pv::kTssAlphaOp, pv::kTopDisable);
}

int Cdd::BeginFrame(int clearTarget, int clearDepth, int clearStencil, std::uint32_t color, float depth,
                    std::uint32_t /*stencil*/) {
  CddState& s = State();
  if (!s.device) return 0;
  std::uint32_t clear = 0;
  if (clearTarget) clear |= pv::kClearTarget;
  if ((clearDepth || (clearStencil && s.stencilInUse)) && s.depthBuffer) clear |= pv::kClearZBuffer;
  if (clear) {
    const pv::Rect area{s.left, s.top, s.right + 1, s.bottom + 1};
    // Depth is kept as 1/z, far being 0: a depth of 1 clears to the far plane.
    if (pv::HResult r = s.viewport->Clear(1, &area, clear, color, 1.0f - std::clamp(depth, 0.0f, 1.0f)); pv::Failed(r))
      LogError(r);
  }
  pv::HResult r = s.device->BeginScene();
  if (r == pv::kErrSurfaceLost) {
    RestoreSurfaces();
    r = s.device->BeginScene();
  }
  if (pv::Failed(r)) {
    LogError(r);
    return 0;
  }
  s.inScene = true;
  s.batchCount = 0;
  SetDefaultStates();
  return 1;
}

void Cdd::EndFrame() {
  CddState& s = State();
  Flush();
  if (s.device && s.inScene)
    if (pv::HResult r = s.device->EndScene(); pv::Failed(r)) LogError(r);
  s.inScene = false;
}

int Cdd::Show() {
  CddState& s = State();
  if (!s.primary || !s.back) return 0;
  if (!s.fullScreen) {
    const pv::Rect client = s.window ? s.window->ClientRect() : pv::Rect{0, 0, s.width, s.height};
    pv::HResult r = s.primary->Blt(&client, s.back.get(), nullptr, pv::kBltWait, nullptr);
    if (r == pv::kErrSurfaceLost) {
      RestoreSurfaces();
      return 0;
    }
    if (pv::Failed(r)) {
      LogError(r);
      return 0;
    }
    return 1;
  }
  for (;;) {
    const pv::HResult r = s.primary->Flip(nullptr, s.noVSync ? 0 : pv::kFlipWait);
    if (pv::Succeeded(r)) return 1;
    if (r == pv::kErrSurfaceLost) {
      RestoreSurfaces();
      return 0;
    }
    if (r != pv::kErrWasStillDrawing) {
      LogError(r);
      return 0;
    }
  }
}

int Cdd::PresentRect(pv::Window* window, const pv::Rect& source, const pv::Rect& destination) {
  CddState& s = State();
  if (!s.primary || !s.back || !s.clipper || !window) return 0;
  pv::Window* own = s.clipper->GetWindow();
  s.clipper->SetWindow(window);
  const pv::Rect client = window->ClientRect();
  const pv::Rect onScreen{client.left + destination.left, client.top + destination.top, client.left + destination.right,
                          client.top + destination.bottom};
  pv::HResult r;
  for (int attempt = 0;; ++attempt) {
    r = s.primary->Blt(&onScreen, s.back.get(), &source, pv::kBltWait, nullptr);
    if (r == pv::kErrSurfaceLost && attempt == 0) {
      RestoreSurfaces();
      continue;
    }
    if (r != pv::kErrWasStillDrawing) break;
  }
  s.clipper->SetWindow(own);
  if (pv::Failed(r)) LogError(r);
  return pv::Succeeded(r) ? 1 : 0;
}

pv::HResult Cdd::RestoreSurfaces() {
  CddState& s = State();
  pv::HResult first = pv::kOk;
  for (auto* surface : {s.primary.get(), s.back.get(), s.zbuffer.get()}) {
    if (!surface || !surface->IsLost()) continue;
    const pv::HResult r = surface->Restore();
    if (pv::Failed(r) && first == pv::kOk) first = r;
  }
  return first;
}

pv::DrawContext* Cdd::GetDC() {
  CddState& s = State();
  if (!s.back) return nullptr;
  if (s.back->IsLost()) RestoreSurfaces();
  pv::DrawContext* dc = nullptr;
  if (pv::HResult r = s.back->GetDC(&dc); pv::Failed(r)) {
    LogError(r);
    return nullptr;
  }
  return dc;
}

void Cdd::ReleaseDC(pv::DrawContext* dc) {
  CddState& s = State();
  if (s.back && dc) s.back->ReleaseDC(dc);
}

void Cdd::ClearViewport(std::uint32_t color) {
  CddState& s = State();
  if (!s.viewport) return;
  const pv::Rect area{s.left, s.top, s.right + 1, s.bottom + 1};
  std::uint32_t flags = pv::kClearTarget | (s.depthBuffer ? pv::kClearZBuffer : 0);
  if (pv::HResult r = s.viewport->Clear(1, &area, flags, color, 0.0f); pv::Failed(r)) LogError(r);
}

void Cdd::SetDrawRect(int left, int top, int right, int bottom) {
  CddState& s = State();
  s.left = left;
  s.top = top;
  s.right = right;
  s.bottom = bottom;
  s.leftF = static_cast<float>(left);
  s.topF = static_cast<float>(top);
  s.rightF = static_cast<float>(right);
  s.bottomF = static_cast<float>(bottom);
}

void Cdd::ApplyFlags(std::uint8_t flags, std::uint8_t changed) {
  CddState& s = State();
  if (changed & kRenderWireframe)
    RenderState(pv::kRsFillMode, (flags & kRenderWireframe) ? pv::kFillWireframe : pv::kFillSolid);
  if (changed & kRenderColorKey) RenderState(pv::kRsColorKeyEnable, (flags & kRenderColorKey) ? 1 : 0);
  if (changed & kRenderGouraud) RenderState(pv::kRsShadeMode, (flags & kRenderGouraud) ? pv::kShadeGouraud : pv::kShadeFlat);
  if (changed & kRenderBlended) {
    if (flags & kRenderBlended) {
      if (s.depthBuffer) RenderState(pv::kRsZWriteEnable, 0);
      RenderState(pv::kRsAlphaBlendEnable, 1);
      RenderState(pv::kRsSrcBlend, pv::kBlendSrcAlpha);
      RenderState(pv::kRsDestBlend, (flags & kRenderAlpha) ? pv::kBlendInvSrcAlpha : pv::kBlendOne);
    } else {
      if (s.depthBuffer) RenderState(pv::kRsZWriteEnable, s.depth ? 1 : 0);
      RenderState(pv::kRsAlphaBlendEnable, 0);
      RenderState(pv::kRsSrcBlend, pv::kBlendOne);
      RenderState(pv::kRsDestBlend, pv::kBlendZero);
      StageState(0, pv::kTssAlphaOp, pv::kTopDisable);
    }
  }
  if (changed & kRenderTextured) {
    if (flags & kRenderTextured) {
      StageState(0, pv::kTssColorArg1, pv::kTaTexture);
      StageState(0, pv::kTssColorArg2, pv::kTaDiffuse);
      StageState(0, pv::kTssColorOp, pv::kTopModulate);
      StageState(0, pv::kTssAlphaOp, (flags & kRenderAdditive) ? pv::kTopModulate : pv::kTopDisable);
      StageState(0, pv::kTssTexCoordIndex, 0);
    } else {
      StageState(0, pv::kTssColorOp, pv::kTopSelectArg2);
      StageState(0, pv::kTssAlphaOp, pv::kTopSelectArg2);
    }
  }
  if (changed & (kRenderLightMap | kRenderBump)) {
    int firstFree = 1;
    if ((flags & kRenderBump) && s.stages >= 3) {
      StageState(1, pv::kTssTexCoordIndex, 0);
      StageState(1, pv::kTssColorOp, pv::kTopBumpEnvMap);
      StageState(2, pv::kTssAddress, pv::kTaddressWrap);
      StageState(2, pv::kTssTexCoordIndex, 1);
      StageState(2, pv::kTssColorOp, pv::kTopAdd);
      firstFree = 3;
    } else if ((flags & kRenderLightMap) && s.stages >= 2) {
      StageState(1, pv::kTssTexCoordIndex, 1);
      StageState(1, pv::kTssColorOp, pv::kTopAdd);
      firstFree = 2;
    }
    if (firstFree < s.stages) {
      StageState(firstFree, pv::kTssColorOp, pv::kTopDisable);
      StageState(firstFree, pv::kTssAlphaOp, pv::kTopDisable);
    }
  }
}

void Cdd::SetRenderFlags(std::uint8_t flags, bool force) {
  CddState& s = State();
  if (!force && flags == s.flags) return;
  ++s.stats.flagChanges;
  const std::uint8_t changed = force ? 0xFF : static_cast<std::uint8_t>(flags ^ s.flags);
  s.flags = flags;
  if (s.inScene) ApplyFlags(flags, changed);
}

void Cdd::BindTextures(std::uint8_t flags, std::uint32_t key) {
  CddState& s = State();
  if (!s.device || !s.inScene) return;
  auto texture = [&](int field) -> std::shared_ptr<pv::Texture> {
    const std::uint32_t slot = SlotOf(key, field);
    if (slot >= static_cast<std::uint32_t>(kCddTextureSlots)) return nullptr;
    return s.slots[slot].texture;
  };
  auto bind = [&](int stage, const std::shared_ptr<pv::Texture>& t) {
    if (stage >= s.stages) return;
    if (pv::HResult r = s.device->SetTexture(stage, t); pv::Failed(r)) LogError(r);
  };
  bind(0, texture(0));
  if ((flags & kRenderBump) && s.stages >= 3) {
    bind(1, texture(2));
    bind(2, texture(1));
  } else if ((flags & kRenderLightMap) && s.stages >= 2) {
    bind(1, texture(1));
  }
}

void Cdd::SetTexture(std::uint8_t flags, std::uint32_t key, bool force) {
  CddState& s = State();
  if (key == kCddNoTexture || (!force && key == s.key)) return;
  s.key = key;
  BindTextures(flags, key);
}

void Cdd::SetDepth(int on, bool force) {
  CddState& s = State();
  if (!force && on == s.depth) return;
  if (s.inScene) Flush();
  s.depth = on;
  if (!s.inScene) return;
  RenderState(pv::kRsZEnable, s.depthBuffer && on ? 1 : 0);
  RenderState(pv::kRsZWriteEnable, s.depthBuffer && on ? 1 : 0);
}

void Cdd::SetDither(int on, bool force) {
  CddState& s = State();
  if (!force && on == s.dither) return;
  s.dither = on;
  if (s.inScene) RenderState(pv::kRsDitherEnable, on ? 1 : 0);
}

void Cdd::SetFog(int on, bool force) {
  CddState& s = State();
  if (!force && on == s.fog) return;
  if (s.inScene) Flush();
  s.fog = on;
  if (s.inScene) RenderState(pv::kRsFogEnable, on ? 1 : 0);
}

void Cdd::SetFogColor(std::uint32_t color, bool force) {
  CddState& s = State();
  if (!force && color == s.fogColor) return;
  if (s.inScene) Flush();
  s.fogColor = color;
  if (s.inScene) RenderState(pv::kRsFogColor, color);
}

void Cdd::SetFilter(int mode, bool force) {
  CddState& s = State();
  if (!force && mode == s.filter) return;
  if (s.inScene) Flush();
  s.filter = mode;
  if (!s.inScene) return;
  RenderState(pv::kRsTextureMag, static_cast<std::uint32_t>(mode));
  RenderState(pv::kRsTextureMin, static_cast<std::uint32_t>(mode));
}

void Cdd::SetMipFilter(int mode, bool force) {
  CddState& s = State();
  if (!force && mode == s.mipFilter) return;
  if (s.inScene) Flush();
  s.mipFilter = mode;
  if (s.inScene) StageState(0, pv::kTssMipFilter, static_cast<std::uint32_t>(mode));
}

void Cdd::DrawList(const CScreenVertex* vertices, int count, bool fan) {
  CddState& s = State();
  if (!s.device || count < 3) return;
  std::array<pv::TLVertex, kCddBatchVertices> out;
  const int n = std::min(count, kCddBatchVertices);
  for (int i = 0; i < n; ++i) out[static_cast<std::size_t>(i)] = ToDevice(vertices[i]);
  const auto type = fan ? pv::PrimitiveType::TriangleFan : pv::PrimitiveType::TriangleList;
  const std::uint32_t drawFlags = pv::kDrawDoNotClip | pv::kDrawDoNotUpdateExtents;
  ++s.stats.primitives;
  s.stats.triangles += fan ? n - 2 : n / 3;
  if (pv::HResult r = s.device->DrawPrimitive(type, out.data(), n, drawFlags); pv::Failed(r)) LogError(r);
  if ((s.flags & kRenderLightMap) && s.stages == 1) {
    // One stage: the light map goes on in a second, additive pass.
    for (int i = 0; i < n; ++i) {
      out[static_cast<std::size_t>(i)].tu = vertices[i].u2;
      out[static_cast<std::size_t>(i)].tv = vertices[i].v2;
    }
    const std::uint8_t flags = s.flags;
    const std::uint32_t key = s.key;
    SetRenderFlags(kRenderTextured | kRenderGouraud | kRenderAdditive);
    BindTextures(s.flags, (key & ~kCddNoSlot) | SlotOf(key, 1));
    ++s.stats.primitives;
    if (pv::HResult r = s.device->DrawPrimitive(type, out.data(), n, drawFlags); pv::Failed(r)) LogError(r);
    SetRenderFlags(flags);
    BindTextures(flags, key);
  }
}

void Cdd::Flush() {
  CddState& s = State();
  if (s.batchCount == 0) return;
  const int n = s.batchCount;
  s.batchCount = 0;
  DrawList(s.batch.data(), n, false);
}

void Cdd::AddTriangle(std::uint8_t flags, const CScreenVertex& a, const CScreenVertex& b, const CScreenVertex& c,
                      std::uint32_t key) {
  CddState& s = State();
  if (s.batchCount > kCddBatchLimit || flags != s.flags || (key != s.key && key != kCddNoTexture)) {
    Flush();
    SetRenderFlags(flags);
    SetTexture(flags, key);
  }
  s.batch[static_cast<std::size_t>(s.batchCount++)] = a;
  s.batch[static_cast<std::size_t>(s.batchCount++)] = b;
  s.batch[static_cast<std::size_t>(s.batchCount++)] = c;
}

void Cdd::DrawFan(std::uint8_t flags, const CScreenVertex* const* vertices, int count, std::uint32_t key) {
  if (count < 3) return;
  Flush();
  SetRenderFlags(flags);
  SetTexture(flags, key);
  std::array<CScreenVertex, kClipVertices> fan;
  const int n = std::min(count, kClipVertices);
  for (int i = 0; i < n; ++i) fan[static_cast<std::size_t>(i)] = *vertices[i];
  DrawList(fan.data(), n, true);
}

void Cdd::InterpolateVertex(CScreenVertex& out, std::uint8_t flags, const CScreenVertex& a, const CScreenVertex& b,
                            float t) {
  out.x = a.x + (b.x - a.x) * t;
  out.y = a.y + (b.y - a.y) * t;
  out.rhw = a.rhw + (b.rhw - a.rhw) * t;
  out.z = out.rhw != 0.0f ? 1.0f / out.rhw : a.z;
  const float inv = out.rhw != 0.0f ? 1.0f / out.rhw : 0.0f;
  // Perspective-correct: each value times rhw is linear on the screen.
  auto persp = [&](float va, float vb) {
    return out.rhw != 0.0f ? (va * a.rhw + (vb * b.rhw - va * a.rhw) * t) * inv : va;
  };
  if (flags & (kRenderTextured | kRenderLightMap)) {
    out.u = persp(a.u, b.u);
    out.v = persp(a.v, b.v);
  }
  if (flags & kRenderLightMap) {
    out.u2 = persp(a.u2, b.u2);
    out.v2 = persp(a.v2, b.v2);
  }
  auto colour = [&](std::uint32_t ca, std::uint32_t cb) {
    std::uint32_t r = 0;
    for (int sh = 0; sh < 32; sh += 8) {
      const float c = persp(static_cast<float>((ca >> sh) & 255), static_cast<float>((cb >> sh) & 255));
      r |= static_cast<std::uint32_t>(std::clamp(std::lround(c), 0L, 255L)) << sh;
    }
    return r;
  };
  out.diffuse = colour(a.diffuse, b.diffuse);
  out.specular = colour(a.specular, b.specular);
  out.value = static_cast<std::uint32_t>(
      std::lround(static_cast<double>(a.value) + (static_cast<double>(b.value) - static_cast<double>(a.value)) * t));
  out.xOut = out.yOut = 0;
}

void Cdd::DrawClipped(std::uint8_t flags, const CScreenVertex* const* vertices, int count, std::uint32_t key) {
  CddState& s = State();
  const bool clipX = HasOutcode(vertices, count, true);
  const bool clipY = HasOutcode(vertices, count, false);
  if (!clipX && !clipY) {
    if (flags & kRenderWireframe) {
      DrawFan(flags, vertices, count, key);
      return;
    }
    for (int i = 1; i + 1 < count; ++i) AddTriangle(flags, *vertices[0], *vertices[i], *vertices[i + 1], key);
    return;
  }
  std::array<CScreenVertex, kClipVertices> bufA, bufB;
  int n = count;
  for (int i = 0; i < n; ++i) bufA[static_cast<std::size_t>(i)] = *vertices[i];
  CScreenVertex* in = bufA.data();
  CScreenVertex* out = bufB.data();
  auto clip = [&](auto inside, auto cut) {
    int m = 0;
    for (int i = 0; i < n && m + 2 <= kClipVertices; ++i) {
      const CScreenVertex& a = in[i];
      const CScreenVertex& b = in[(i + 1) % n];
      const bool ia = inside(a), ib = inside(b);
      if (ia) out[m++] = a;
      if (ia != ib) {
        InterpolateVertex(out[m], flags, a, b, cut(a, b));
        ++m;
      }
    }
    std::swap(in, out);
    n = m;
  };
  auto edge = [&](float limit, bool xAxis, bool keepGreater) {
    clip([=](const CScreenVertex& v) { return keepGreater ? (xAxis ? v.x : v.y) >= limit : (xAxis ? v.x : v.y) <= limit; },
         [=](const CScreenVertex& a, const CScreenVertex& b) {
           const float pa = xAxis ? a.x : a.y, pb = xAxis ? b.x : b.y;
           return pb != pa ? (limit - pa) / (pb - pa) : 0.0f;
         });
  };
  if (clipX) {
    edge(s.leftF, true, true);
    edge(s.rightF, true, false);
  }
  if (clipY) {
    edge(s.topF, false, true);
    edge(s.bottomF, false, false);
  }
  if (n < 3) return;
  if (flags & kRenderWireframe) {
    std::array<const CScreenVertex*, kClipVertices> p;
    for (int i = 0; i < n; ++i) p[static_cast<std::size_t>(i)] = &in[i];
    DrawFan(flags, p.data(), n, key);
    return;
  }
  for (int i = 1; i + 1 < n; ++i) AddTriangle(flags, in[0], in[i], in[i + 1], key);
}

void Cdd::DrawTriangle(std::uint8_t flags, const CScreenVertex& a, const CScreenVertex& b, const CScreenVertex& c,
                       std::uint32_t key) {
  const CScreenVertex* v[3] = {&a, &b, &c};
  DrawClipped(flags, v, 3, key);
}

void Cdd::DrawQuad(std::uint8_t flags, const CScreenVertex& a, const CScreenVertex& b, const CScreenVertex& c,
                   const CScreenVertex& d, std::uint32_t key) {
  const CScreenVertex* v[4] = {&a, &b, &c, &d};
  DrawClipped(flags, v, 4, key);
}

void Cdd::DrawPentagon(std::uint8_t flags, const CScreenVertex& a, const CScreenVertex& b, const CScreenVertex& c,
                       const CScreenVertex& d, const CScreenVertex& e, std::uint32_t key) {
  const CScreenVertex* v[5] = {&a, &b, &c, &d, &e};
  DrawClipped(flags, v, 5, key);
}

int ClipSegmentToRect(float& x0, float& y0, float& x1, float& y1, float left, float top, float right, float bottom) {
  if (y0 > y1) {
    std::swap(x0, x1);
    std::swap(y0, y1);
  }
  if (y1 < top || y0 > bottom) return 0;
  if (y0 < top) {
    if (y1 == y0) return 0;
    x0 += (x1 - x0) * (top - y0) / (y1 - y0);
    y0 = top;
  }
  if (y1 > bottom) {
    if (y1 == y0) return 0;
    x1 = x0 + (x1 - x0) * (bottom - y0) / (y1 - y0);
    y1 = bottom;
  }
  if (x0 > x1) {
    std::swap(x0, x1);
    std::swap(y0, y1);
  }
  if (x1 < left || x0 > right) return 0;
  if (x0 < left) {
    y0 += (y1 - y0) * (left - x0) / (x1 - x0);
    x0 = left;
  }
  if (x1 > right) {
    y1 = y0 + (y1 - y0) * (right - x0) / (x1 - x0);
    x1 = right;
  }
  return 1;
}

void Cdd::DrawLine2D(const CScreenVertex& a, const CScreenVertex& b) {
  CddState& s = State();
  Flush();
  SetRenderFlags(kRenderGouraud);
  if (!s.device) return;
  pv::TLVertex line[2] = {ToDevice(a), ToDevice(b)};
  for (auto& v : line) {
    v.sz *= kCddDepthFactor;
    v.specular = 0;
    v.tu = v.tv = 0;
  }
  ++s.stats.primitives;
  if (pv::HResult r = s.device->DrawPrimitive(pv::PrimitiveType::LineList, line, 2, pv::kDrawDoNotClip); pv::Failed(r))
    LogError(r);
}

void Cdd::DrawLineClipped(const CScreenVertex& a, const CScreenVertex& b) {
  const CddState& s = State();
  CScreenVertex p = a, q = b;
  if (!ClipSegmentToRect(p.x, p.y, q.x, q.y, s.leftF, s.topF, s.rightF, s.bottomF)) return;
  // The clip may have swapped the ends; each keeps the colour of the end it came from.
  auto d2 = [](const CScreenVertex& v, float x, float y) { return (v.x - x) * (v.x - x) + (v.y - y) * (v.y - y); };
  if (d2(b, p.x, p.y) < d2(a, p.x, p.y)) std::swap(p.diffuse, q.diffuse);
  DrawLine2D(p, q);
}

void Cdd::DrawRect2D(int left, int top, int right, int bottom, const float uv0[2], const float uv1[2],
                     std::uint32_t key, std::uint32_t color, std::uint32_t specular) {
  CScreenVertex v[4];
  const float xs[4] = {static_cast<float>(left), static_cast<float>(right), static_cast<float>(right),
                       static_cast<float>(left)};
  const float ys[4] = {static_cast<float>(top), static_cast<float>(top), static_cast<float>(bottom),
                       static_cast<float>(bottom)};
  const float us[4] = {uv0[0], uv1[0], uv1[0], uv0[0]};
  const float vs[4] = {uv0[1], uv0[1], uv1[1], uv1[1]};
  for (int i = 0; i < 4; ++i) {
    v[i].x = xs[i];
    v[i].y = ys[i];
    v[i].z = 1.0f / kCddDepthFactor;
    v[i].rhw = 1.0f;
    v[i].diffuse = color;
    v[i].specular = specular;
    v[i].u = us[i];
    v[i].v = vs[i];
  }
  const std::uint8_t flags = key == kCddNoTexture ? 0 : kRenderTextured;
  AddTriangle(flags, v[0], v[1], v[2], key);
  AddTriangle(flags, v[0], v[2], v[3], key);
}

}  // namespace pavix
