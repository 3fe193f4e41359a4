// The 3D engine's faces: culling, fading, depth buckets, the flush through
// the renderer, near-plane clipping, 3D lines and the 2D helpers.
#include <algorithm>
#include <cmath>

#include "datafiles/trisprite_table.h"
#include "render/engine_3d.h"
#include "render/engine_state.h"
#include "render/face.h"
#include "render/mesh_vertex.h"
#include "render/renderer.h"

namespace {

constexpr float kFadeNear2 = 2560.0f * 2560.0f;   // 6,553,600
constexpr float kFadeFar2 = 5120.0f * 5120.0f;    // 26,214,400
constexpr float kRippleScale = 0.0062831854f;
constexpr float kRippleAmount = 0.046875f;

// Vertex count held by a submitted face: the vertex array's size, or -1 when unknown.
int g_submittedVertexCount = -1;

int FaceCorners(const CFace& f) {
  if (f.index[1] == kNoVertex) return 1;
  if (f.index[2] == kNoVertex) return 2;
  if (f.index[3] == kNoVertex) return 3;
  return 4;
}

int DepthBucket(float depth) {
  if (!(depth >= 0.0f)) return 0;
  if (depth >= 32768.0f) return kEngineBuckets - 1;
  return std::min(static_cast<int>(std::lrint(depth)) >> 4, kEngineBuckets - 1);
}

CVertex Flat2D(CVertex v) {
  v.fade = 255;
  v.z = 1.0f;
  v.rz = 1.0f;
  return v;
}

CVertex At2D(int x, int y) {
  CVertex v{};
  v.sx = x;
  v.sy = y;
  return Flat2D(v);
}

// A model-space point as the transform would make it, without the pool.
CVertex TransformOne(const CMatrix& m, const CVector3& p, CColor color) {
  const EngineState& s = Engine();
  const float* r = m.m;
  CVertex v{};
  v.x = (r[0] * p.x + r[3] * p.y + r[6] * p.z + r[9]) * s.focalX;
  v.y = (r[1] * p.x + r[4] * p.y + r[7] * p.z + r[10]) * s.focalY;
  v.z = r[2] * p.x + r[5] * p.y + r[8] * p.z + r[11];
  v.rz = v.z != 0.0f ? 1.0f / v.z : 0.0f;
  v.color = color;
  v.fade = -1;
  v.inFront = 1;
  v.source = nullptr;
  if (v.z >= s.nearPlane) {
    const float sx = s.centreXf + v.x * v.rz, sy = s.centreYf - v.y * v.rz;
    v.sx = std::isfinite(sx) ? static_cast<std::int32_t>(std::lrint(std::clamp(sx, -2.0e9f, 2.0e9f))) : 0;
    v.sy = std::isfinite(sy) ? static_cast<std::int32_t>(std::lrint(std::clamp(sy, -2.0e9f, 2.0e9f))) : 0;
    v.inFront = 0;
  }
  return v;
}

}  // namespace

void C3DEngine::ResetBuckets() {
  EngineState& s = Engine();
  s.heads.fill(nullptr);
  s.itemsUsed = 0;
  s.lowest = INT_MAX;
  s.highest = INT_MIN;
  s.poolUsed = 0;
  s.lineFacesUsed = 0;
}

void C3DEngine::AddFaces(CVertex* vertices, CFace* faces, int n, int vertexCount) {
  if (!vertices || !faces) return;
  g_submittedVertexCount = vertexCount;
  for (int i = 0; i < n; ++i) CullFace(vertices, &faces[i]);
  g_submittedVertexCount = -1;
}

void C3DEngine::CullFace(CVertex* vertices, CFace* face) {
  EngineState& s = Engine();
  if (!vertices || !face) return;
  const int corners = FaceCorners(*face);
  if (g_submittedVertexCount >= 0) {
    for (int i = 0; i < corners; ++i)
      if (face->index[i] >= g_submittedVertexCount) return;
  }
  CVertex* a = &vertices[face->index[0]];
  CVertex* b = corners >= 2 ? &vertices[face->index[1]] : a;
  CVertex* c = corners >= 3 ? &vertices[face->index[2]] : b;
  CVertex* d = corners == 4 ? &vertices[face->index[3]] : a;
  CVertex* all[4] = {a, b, c, d};
  CVertex* farthest = a;
  CVertex* nearest = a;
  for (CVertex* v : all) {
    if (v->z > farthest->z) farthest = v;
    if (v->z < nearest->z) nearest = v;
  }
  if (farthest->inFront) return;
  if (nearest->inFront) {
    if (corners < 3) return;  // points and lines are not cut at the near plane
    const double wx = b->x - a->x, wy = b->y - a->y, wz = b->z - a->z;
    const double ux = b->x - c->x, uy = b->y - c->y, uz = b->z - c->z;
    const double nx = wy * uz - wz * uy, ny = wz * ux - wx * uz, nz = wx * uy - wy * ux;
    if (!(nx * farthest->x + ny * farthest->y + nz * farthest->z > 1.0)) return;
  } else {
    int sumX = 0, sumY = 0;
    for (CVertex* v : all) {
      sumX += v->sx > s.viewportWidth ? 1 : v->sx < 0 ? -1 : 0;
      sumY += v->sy > s.viewportHeight ? 1 : v->sy < 0 ? -1 : 0;
    }
    if (sumX == 4 || sumX == -4 || sumY == 4 || sumY == -4) return;
    if (corners >= 3) {
      // 64-bit: screen positions far off the screen must not overflow the product.
      const std::int64_t ax = a->sx, ay = a->sy, bx = b->sx, by = b->sy, cx = c->sx, cy = c->sy;
      const std::int64_t winding = -((bx - ax) * (by - cy)) - (cx - bx) * (by - ay);
      if (winding <= 1) return;
    }
  }
  if (s.renderer && s.renderer->GetFog()) {
    bool anyVisible = false;
    for (CVertex* v : all) {
      if (v->fade == -1) {
        const float hx = v->x / s.focalX;
        const float d2 = hx * hx + v->z * v->z;
        if (d2 <= kFadeNear2) v->fade = 255;
        else if (d2 >= kFadeFar2) v->fade = 0;
        else v->fade = 255 - static_cast<int>(std::lrint((d2 - kFadeNear2) / (kFadeFar2 - kFadeNear2) * 255.0f));
      }
      anyVisible = anyVisible || v->fade != 0;
    }
    if (!anyVisible) return;
  }
  InsertFace(face, vertices, farthest->z);
}

int C3DEngine::InsertFace(CFace* face, CVertex* vertices, float depth) {
  EngineState& s = Engine();
  if (!face || s.itemsUsed >= kEngineSortItems) return 0;
  // Blended faces, and every face for the software renderer (which needs
  // them near to far), go by depth; opaque faces for the device by their key.
  const bool byDepth = (face->flags & kFaceBlended) || (s.renderer && s.renderer->IsSoftware());
  int bucket = byDepth ? DepthBucket(depth) : face->depth;
  bucket = std::clamp(bucket, 0, kEngineBuckets - 1);
  s.lowest = std::min(s.lowest, bucket);
  s.highest = std::max(s.highest, bucket);
  CSortItem& item = s.items[s.itemsUsed++];
  item.face = face;
  item.depth = depth;
  item.vertices = vertices;
  item.next = s.heads[bucket];
  s.heads[bucket] = &item;
  return 1;
}

int C3DEngine::IsTranslucent(const CSortItem* item) const {
  const CFace& f = *item->face;
  if (!(f.flags & kFaceTranslucent)) return 0;
  const int corners = std::min(FaceCorners(f), 4);
  for (int i = 0; i < corners; ++i)
    if (item->vertices[f.index[i]].color.a < 255) return 1;
  return 0;
}

int C3DEngine::FlushBuckets() {
  EngineState& s = Engine();
  if (!s.renderer || s.itemsUsed == 0 || s.lowest > s.highest) {
    s.lowest = INT_MAX;
    s.highest = INT_MIN;
    return 0;
  }
  int drawn = 0;
  if (s.renderer->IsSoftware()) {
    for (int b = s.lowest; b <= s.highest; ++b) {
      for (CSortItem* it = s.heads[b]; it; it = it->next) {
        DrawItem(it);
        ++drawn;
      }
      s.heads[b] = nullptr;
    }
  } else {
    // See-through faces move to the bucket of their depth.
    for (int b = s.lowest; b <= s.highest; ++b) {
      CSortItem** link = &s.heads[b];
      while (*link) {
        CSortItem* it = *link;
        if (IsTranslucent(it)) {
          const int target = DepthBucket(it->depth);
          if (target != b) {
            *link = it->next;
            it->next = s.heads[target];
            s.heads[target] = it;
            s.lowest = std::min(s.lowest, target);
            s.highest = std::max(s.highest, target);
            continue;
          }
        }
        link = &it->next;
      }
    }
    // Opaque faces first, then see-through ones far to near.
    for (int b = s.highest; b >= s.lowest; --b) {
      for (CSortItem* it = s.heads[b]; it; it = it->next) {
        if (!(it->face->flags & kFaceBlended) && !IsTranslucent(it)) {
          DrawItem(it);
          ++drawn;
        }
      }
    }
    for (int b = s.highest; b >= s.lowest; --b) {
      for (CSortItem* it = s.heads[b]; it; it = it->next) {
        if ((it->face->flags & kFaceBlended) || IsTranslucent(it)) {
          DrawItem(it);
          ++drawn;
        }
      }
      s.heads[b] = nullptr;
    }
  }
  s.lowest = INT_MAX;
  s.highest = INT_MIN;
  return drawn;
}

void C3DEngine::DrawItem(CSortItem* item) {
  EngineState& s = Engine();
  CFace& f = *item->face;
  CVertex* v = item->vertices;
  if (!s.renderer || (f.flags & kFaceHidden)) return;
  // Remapped faces map their indices through a table that nothing fills: the identity.
  const int corners = FaceCorners(f);
  const CColor faceColor = CColor::FromValue(f.color);
  if (corners == 1) {
    s.renderer->DrawPoint(v[f.index[0]], faceColor);
    return;
  }
  if (corners == 2) {
    CVertex a = v[f.index[0]], b = v[f.index[1]];
    a.u = f.uv[0].u;
    a.v = f.uv[0].v;
    b.u = f.uv[1].u;
    b.v = f.uv[1].v;
    s.renderer->DrawLine(static_cast<int>(f.flags), a, b, faceColor);
    return;
  }
  const int flags = static_cast<int>((f.flags & s.andMask) | s.orMask);
  const int slot = (flags & kFaceTextured) ? GetBankSlot(f.depth) : 0;
  const CColor color = (flags & kFaceOutline) ? s.outline : faceColor;
  CVertex* p[4] = {&v[f.index[0]], &v[f.index[1]], &v[f.index[2]], corners == 4 ? &v[f.index[3]] : nullptr};
  if (flags & kFaceOutline) {
    // Only the face's own edges, each cut at the near plane on its own.
    for (int i = 0; i < corners; ++i) {
      CVertex a = *p[i], b = *p[(i + 1) % corners];
      if (a.inFront && b.inFront) continue;
      if (a.inFront) a = CVertex::InterpolateNear(b, a, s.nearPlane, s.centreXf, s.centreYf);
      if (b.inFront) b = CVertex::InterpolateNear(a, b, s.nearPlane, s.centreXf, s.centreYf);
      s.renderer->DrawLine(flags, a, b, color);
    }
    return;
  }
  for (int i = 0; i < corners; ++i) {
    p[i]->u = f.uv[i].u;
    p[i]->v = f.uv[i].v;
    if ((flags & kFaceRipple) && p[i]->source) {
      const float phase = (p[i]->source->x + p[i]->source->z) * kRippleScale + s.frameTime;
      p[i]->u += std::sin(phase) * kRippleAmount;
      p[i]->v += std::cos(phase) * kRippleAmount;
    }
  }
  if (corners == 4) ClipQuadNear(flags, p[0], p[1], p[2], p[3], color, slot);
  else ClipTriangleNear(flags, p[0], p[1], p[2], color, slot);
}

namespace {

// Cuts a polygon at the near plane, keeping its winding and starting after
// the run of vertices that were cut away; returns the new count.
int CutAtNear(CVertex* const* in, int n, CVertex* out) {
  const EngineState& s = Engine();
  int start = 0;
  for (int i = 0; i < n; ++i) {
    if (in[i]->inFront && !in[(i + 1) % n]->inFront) {
      start = (i + 1) % n;
      break;
    }
  }
  int m = 0;
  for (int k = 0; k < n; ++k) {
    const CVertex& cur = *in[(start + k) % n];
    const CVertex& next = *in[(start + k + 1) % n];
    if (!cur.inFront) out[m++] = cur;
    if (cur.inFront != next.inFront) {
      const CVertex& projected = cur.inFront ? next : cur;
      const CVertex& cut = cur.inFront ? cur : next;
      out[m++] = CVertex::InterpolateNear(projected, cut, s.nearPlane, s.centreXf, s.centreYf);
    }
  }
  return m;
}

void DrawCut(int flags, CVertex* const* v, int n, CColor color, int slot) {
  CRenderer* r = Engine().renderer;
  int front = 0;
  for (int i = 0; i < n; ++i) front += v[i]->inFront ? 1 : 0;
  if (front == 0) {
    if (n == 4) r->DrawQuad(flags, v[0], v[1], v[2], v[3], slot, color);
    else r->DrawTriangle(flags, v[0], v[1], v[2], slot, color);
    return;
  }
  if (front == n) return;
  CVertex out[8];
  const int m = CutAtNear(v, n, out);
  if (m == 3) r->DrawTriangle(flags, &out[0], &out[1], &out[2], slot, color);
  else if (m == 4) r->DrawQuad(flags, &out[0], &out[1], &out[2], &out[3], slot, color);
  else if (m == 5) {
    r->DrawQuad(flags, &out[0], &out[1], &out[2], &out[3], slot, color);
    r->DrawTriangle(flags, &out[0], &out[3], &out[4], slot, color);
  }
}

}  // namespace

void C3DEngine::ClipTriangleNear(int flags, CVertex* a, CVertex* b, CVertex* c, CColor color, int slot) {
  if (!Engine().renderer || !a || !b || !c) return;
  CVertex* v[3] = {a, b, c};
  DrawCut(flags, v, 3, color, slot);
}

void C3DEngine::ClipQuadNear(int flags, CVertex* a, CVertex* b, CVertex* c, CVertex* d, CColor color, int slot) {
  if (!Engine().renderer || !a || !b || !c || !d) return;
  CVertex* v[4] = {a, b, c, d};
  DrawCut(flags, v, 4, color, slot);
}

void C3DEngine::DrawTriangle(int flags, CVertex a, CVertex b, CVertex c, int bank, CColor color) {
  CRenderer* r = Engine().renderer;
  if (!r) return;
  a = Flat2D(a);
  b = Flat2D(b);
  c = Flat2D(c);
  int slot = 0;
  if (flags & kFaceTextured) {
    slot = GetBankSlot(bank);
    if (slot < 0) return;
  }
  r->DrawTriangle(flags, &a, &b, &c, slot, color);
}

void C3DEngine::DrawQuad(int flags, CVertex a, CVertex b, CVertex c, CVertex d, int bank, CColor color) {
  CRenderer* r = Engine().renderer;
  if (!r) return;
  a = Flat2D(a);
  b = Flat2D(b);
  c = Flat2D(c);
  d = Flat2D(d);
  int slot = 0;
  if (flags & kFaceTextured) {
    slot = GetBankSlot(bank);
    if (slot < 0) return;
  }
  r->DrawQuad(flags, &a, &b, &c, &d, slot, color);
}

namespace {

// Both ends transformed, the farther first; a nearer end in front of the
// near plane is moved onto it. The line is sorted with the faces.
void SubmitLine(C3DEngine& engine, const CMatrix& m, const CVector3& a, const CVector3& b, CColor ca, CColor cb,
                int flags) {
  EngineState& s = Engine();
  const bool shaded = (flags & kFaceSmooth) != 0;
  const CColor grey = CColor::FromValue(0x80808080u);
  CVertex far = TransformOne(m, a, shaded ? ca : grey);
  CVertex near = TransformOne(m, b, shaded ? cb : grey);
  if (near.z > far.z) std::swap(far, near);
  if (far.inFront) return;
  if (near.inFront) near = CVertex::InterpolateNear(far, near, s.nearPlane, s.centreXf, s.centreYf);
  if (s.lineFacesUsed >= kEngineLineFaces) return;
  CVertex* v = engine.AllocVertices(2);
  if (!v) return;
  v[0] = far;
  v[1] = near;
  CFace& f = s.lineFaces[s.lineFacesUsed++];
  f = CFace{};
  f.InitLine(static_cast<std::uint32_t>(flags), ca.Value(), 0, 1);
  engine.InsertFace(&f, v, far.z);
}

}  // namespace

void C3DEngine::DrawLine3D(const CMatrix& m, const CVector3& a, const CVector3& b, CColor color) {
  SubmitLine(*this, m, a, b, color, color, 0);
}

void C3DEngine::DrawShadedLine3D(const CMatrix& m, const CVector3& a, const CVector3& b, CColor ca, CColor cb) {
  SubmitLine(*this, m, a, b, ca, cb, kFaceSmooth);
}

void C3DEngine::DrawRect2D(int left, int top, int right, int bottom, CColor color) {
  EngineState& s = Engine();
  SetViewportRect(0, 0, s.viewWidth, s.viewHeight);
  if (!s.renderer) return;
  const CVertex tl = At2D(left, top), tr = At2D(right, top), br = At2D(right, bottom), bl = At2D(left, bottom);
  s.renderer->DrawLine(0, tl, tr, color);
  s.renderer->DrawLine(0, tr, br, color);
  s.renderer->DrawLine(0, br, bl, color);
  s.renderer->DrawLine(0, bl, tl, color);
}

void C3DEngine::DrawLine2D(int x0, int y0, int x1, int y1, CColor color) {
  EngineState& s = Engine();
  SetViewportRect(0, 0, s.viewWidth, s.viewHeight);
  if (!s.renderer) return;
  s.renderer->DrawLine(0, At2D(x0, y0), At2D(x1, y1), color);
}

void C3DEngine::DrawSprite2D(const char* name, int x, int y) {
  // A name that no sprite row has draws nothing, rather than the first row.
  const TrispriteRecord* named = name ? g_trispriteTable.Named(name) : nullptr;
  if (!named) return;
  const TrispriteRecord& row = *named;
  const int w = row.GetFootprintWidth(), h = row.GetFootprintHeight();
  const int left = x - w / 2, top = y - h / 2;
  const float u = static_cast<float>(row.column) * row.cellSize;
  const float v = static_cast<float>(row.row) * row.cellSize;
  CVertex a = At2D(left, top), b = At2D(left + w, top), c = At2D(left + w, top + h), d = At2D(left, top + h);
  a.u = u;
  a.v = v;
  b.u = u + static_cast<float>(w);
  b.v = v;
  c.u = u + static_cast<float>(w);
  c.v = v + static_cast<float>(h);
  d.u = u;
  d.v = v + static_cast<float>(h);
  const CColor white(255, 255, 255);
  a.color = b.color = c.color = d.color = white;
  DrawQuad(kFaceTextured | kFaceColorKey, a, b, c, d, row.valueA, white);
}
