#include "meshedit/core/render_pipeline.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <deque>

#include "meshedit/core/file_find.h"
#include "meshedit/core/path_names.h"
#include "meshedit/core/point_in_triangle.h"

namespace pavix {
namespace {

constexpr int kMaxAttachedDepth = 8;

struct PipelineState {
  std::unique_ptr<Cdd> device;
  std::array<std::string, kTexturePaths> paths;
  float far = 8192.0f, depthScale = 1.0f / 8192.0f;
  float focalX = 512.0f, focalY = 512.0f;
  float focalXs = 512.0f / 8192.0f, focalYs = 512.0f / 8192.0f;
  float near = 1.0f, nearS = 1.0f / 8192.0f;
  float fogStart = 0, fogEnd = 0, fogStartS = 0, fogEndS = 0;
  float halfWidth = 160.0f, halfHeight = 120.0f;
  bool ortho = false;
  CMatrix camera = IdentityMatrix();
  CMatrix inverse = IdentityMatrix();
  CMatrix view = IdentityMatrix();  // world points to scaled camera space
  std::vector<CTransformedVertex> pool;
  int poolIndex = 0;
  std::array<COrderingNode*, kOrderingBuckets + 2> buckets{};
  std::deque<COrderingNode> nodes;  // grows without moving: buckets point into it
  int nodeCount = 0;
  int lowBucket = kOrderingBuckets, highBucket = -1;
  std::uint32_t clearColor = 0xFF808080, ambient = 0xFF808080, ambientSpecular = 0;
  std::vector<CLight> lights;
  std::uint32_t flagOverride = 0, flagMask = 0xFFFFFFFFu;
  bool showEverything = false;
  int detailMode = 0;
  float lowerDetail = 0.0f;
  CTextureCache cache;
  CPipelineStats stats;
};

PipelineState& P() {
  static PipelineState state;
  return state;
}

void GrowPool(int size) {
  std::vector<CTransformedVertex>& pool = P().pool;
  if (pool.size() < static_cast<std::size_t>(size))
    pool.resize(std::min<std::size_t>(kPipelinePoolSize, std::max<std::size_t>(pool.size() * 2, static_cast<std::size_t>(size))));
}

std::uint32_t ChannelsMax(std::uint32_t a, std::uint32_t b) {
  std::uint32_t out = 0;
  for (int sh = 0; sh < 32; sh += 8) out |= std::max((a >> sh) & 255u, (b >> sh) & 255u) << sh;
  return out;
}

// A pattern with one %d-style field (flags 0 and a width allowed) and the number.
std::string FormatPattern(const std::string& pattern, int number) {
  std::string out;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] != '%') {
      out += pattern[i];
      continue;
    }
    std::size_t j = i + 1;
    const bool zero = j < pattern.size() && pattern[j] == '0';
    int width = 0;
    while (j < pattern.size() && pattern[j] >= '0' && pattern[j] <= '9' && width < 100) width = width * 10 + (pattern[j++] - '0');
    if (j < pattern.size() && pattern[j] == 'd') {
      std::string digits = std::to_string(number);
      if (static_cast<int>(digits.size()) < width) digits.insert(0, static_cast<std::size_t>(width) - digits.size(), zero ? '0' : ' ');
      out += digits;
      i = j;
    } else if (j < pattern.size() && pattern[j] == '%') {
      out += '%';
      i = j;
    } else {
      out += '%';
    }
  }
  return out;
}

// A focal factor to divide by; one of 0 (no focal length set yet) counts as 1.
float OrthoFactor(float scaledFocal) { return scaledFocal != 0.0f ? scaledFocal : 1.0f; }

CScreenVertex ToScreen(const CTransformedVertex& t) {
  CScreenVertex s;
  s.x = t.sx;
  s.y = t.sy;
  s.z = t.depth;
  s.rhw = t.rdepth;
  s.diffuse = t.diffuse;
  s.specular = (t.specular & 0x00FFFFFFu) | static_cast<std::uint32_t>(t.fog) << 24;
  s.u = t.u;
  s.v = t.v;
  s.u2 = t.u2;
  s.v2 = t.v2;
  s.xOut = t.xOut;
  s.yOut = t.yOut;
  return s;
}

// The four corners of a side (a triangle repeats its third), or false when an index names no vertex.
bool Corners(const CSide& side, CTransformedVertex* base, int vertexCount, CTransformedVertex* v[4]) {
  for (int k = 0; k < 4; ++k) {
    if (side.index[k] >= static_cast<std::uint32_t>(vertexCount)) return false;
    v[k] = base + side.index[k];
  }
  return true;
}

// Step a of drawing: whether a side (3 or 4 corners) can be seen.
bool SideVisible(CTransformedVertex* const* v, int n) {
  int behind = 0;
  for (int k = 0; k < n; ++k) behind += v[k]->behind ? 1 : 0;
  if (behind == n) return false;
  if (behind > 0) {
    // The camera's side of the plane, with the winding the screen test keeps:
    // a side clockwise on the screen has a negative determinant (y grows up in camera space).
    const CVector a{v[0]->x, v[0]->y, v[0]->z}, b{v[1]->x, v[1]->y, v[1]->z}, c{v[2]->x, v[2]->y, v[2]->z};
    return Dot(a, Cross(b, c)) < 0.0f;
  }
  bool allX = true, allY = true;
  for (int k = 1; k < n; ++k) {
    allX = allX && v[k]->xOut == v[0]->xOut;
    allY = allY && v[k]->yOut == v[0]->yOut;
  }
  if ((allX && v[0]->xOut) || (allY && v[0]->yOut)) return false;
  return (v[1]->sx - v[0]->sx) * (v[2]->sy - v[1]->sy) - (v[1]->sy - v[0]->sy) * (v[2]->sx - v[1]->sx) > 0.0f;
}

}  // namespace

CRenderPipeline::CRenderPipeline() {
  PipelineState& p = P();
  p = PipelineState{};
  p.device = std::make_unique<Cdd>();
  SetViewport(0, 0, 319, 239);
  ClearOrderingTable();
  p.ambientSpecular = OverBright(p.ambient);
  p.cache.Init(kCddTextureSlots, kTextureIds);
}

CRenderPipeline::~CRenderPipeline() {
  PipelineState& p = P();
  Cdd::ReleaseAll();
  p.device.reset();
  p.pool.clear();
  p.pool.shrink_to_fit();
  p.nodes.clear();
}

Cdd& CRenderPipeline::Device() { return *P().device; }
CTextureCache& CRenderPipeline::TextureCache() { return P().cache; }
const CPipelineStats& CRenderPipeline::Stats() { return P().stats; }
int CRenderPipeline::PoolIndex() { return P().poolIndex; }
const CTransformedVertex* CRenderPipeline::Pool() { return P().pool.data(); }
int CRenderPipeline::LowestBucket() { return P().lowBucket; }
int CRenderPipeline::HighestBucket() { return P().highBucket; }
int CRenderPipeline::OrderingCount() { return P().nodeCount; }
float CRenderPipeline::ScaledNear() { return P().nearS; }
float CRenderPipeline::DepthScale() { return P().depthScale; }
float CRenderPipeline::HalfWidth() { return P().halfWidth; }
float CRenderPipeline::HalfHeight() { return P().halfHeight; }
float CRenderPipeline::FocalX() { return P().focalX; }
float CRenderPipeline::FocalY() { return P().focalY; }
float CRenderPipeline::ProjectionFactorX() { return P().focalXs; }
float CRenderPipeline::ProjectionFactorY() { return P().focalYs; }
const CMatrix& CRenderPipeline::ViewMatrix() { return P().view; }

void CRenderPipeline::SetTexturePath(const char* pattern, int index) {
  if (index < 0 || index >= kTexturePaths) return;
  P().paths[static_cast<std::size_t>(index)] = pattern ? std::string(pattern).substr(0, 259) : std::string();
}

const char* CRenderPipeline::GetTexturePath(int index) {
  if (index < 0 || index >= kTexturePaths || P().paths[static_cast<std::size_t>(index)].empty()) return nullptr;
  return P().paths[static_cast<std::size_t>(index)].c_str();
}

int CRenderPipeline::SetFormat(pv::Window* window, int fullScreen) {
  ClearOrderingTable();
  if (!Cdd::Setformat(window, fullScreen)) return 0;
  const CddState& s = Cdd::State();
  SetViewport(0, 0, s.width - 1, s.height - 1);
  // Every texture went with the old format.
  P().cache.Init(kCddTextureSlots, kTextureIds);
  return 1;
}

void CRenderPipeline::SetViewport(int left, int top, int right, int bottom) {
  PipelineState& p = P();
  p.halfWidth = static_cast<float>(right - left) * 0.5f;
  p.halfHeight = static_cast<float>(bottom - top) * 0.5f;
  Cdd::SetDrawRect(left, top, right, bottom);
}

void CRenderPipeline::SetFar(float distance) {
  PipelineState& p = P();
  if (!(distance > 0.0f) || !std::isfinite(distance)) return;
  p.far = distance;
  p.depthScale = 1.0f / distance;
  p.focalXs = p.focalX * p.depthScale;
  p.focalYs = p.focalY * p.depthScale;
  p.nearS = p.near * p.depthScale;
  p.fogStartS = p.fogStart * p.depthScale;
  p.fogEndS = p.fogEnd * p.depthScale;
  SetCamera(p.camera);
}

void CRenderPipeline::SetFocal(float x, float y) {
  PipelineState& p = P();
  p.focalX = x;
  p.focalY = y;
  p.focalXs = x * p.depthScale;
  p.focalYs = y * p.depthScale;
  SetCamera(p.camera);
}

void CRenderPipeline::SetNear(float distance) {
  P().near = distance;
  P().nearS = distance * P().depthScale;
}
void CRenderPipeline::SetFogStart(float distance) {
  P().fogStart = distance;
  P().fogStartS = distance * P().depthScale;
}
void CRenderPipeline::SetFogEnd(float distance) {
  P().fogEnd = distance;
  P().fogEndS = distance * P().depthScale;
}
float CRenderPipeline::GetFogStart() { return P().fogStart; }
float CRenderPipeline::GetFogEnd() { return P().fogEnd; }
void CRenderPipeline::SetOrthographic(bool on) { P().ortho = on; }

void CRenderPipeline::SetCamera(const CMatrix& camera) {
  PipelineState& p = P();
  p.camera = camera;
  p.inverse = InverseRigid(camera);
  p.view = p.inverse;
  ScaleOutputAxes(p.view, p.focalXs, p.focalYs, p.depthScale, true);
}

void CRenderPipeline::NewFrame() {
  PipelineState& p = P();
  p.poolIndex = 0;
  p.nodeCount = 0;
  p.stats = {};
  Cdd::ResetStats();
  p.cache.NewFrame();
}

int CRenderPipeline::BeginFrame(int clearFlags, std::uint32_t color, float depth, std::uint32_t stencil) {
  PipelineState& p = P();
  p.lowBucket = kOrderingBuckets;
  p.highBucket = -1;
  return Cdd::BeginFrame(clearFlags & 1, clearFlags & 2, clearFlags & 4, color, depth, stencil);
}

void CRenderPipeline::EndFrame() { Cdd::EndFrame(); }
void CRenderPipeline::Clear() { Cdd::ClearViewport(P().clearColor); }

void CRenderPipeline::ClearLights() { P().lights.clear(); }
void CRenderPipeline::AddLight(const CLight& light) { P().lights.push_back(light); }
void CRenderPipeline::SetDetailMode(int mode) { P().detailMode = std::clamp(mode, 0, 2); }
void CRenderPipeline::SetLowerDetailSize(float pixels) { P().lowerDetail = pixels; }
void CRenderPipeline::SetShowEverything(bool on) { P().showEverything = on; }
void CRenderPipeline::SetFlagOverride(std::uint32_t override, std::uint32_t mask) {
  P().flagOverride = override;
  P().flagMask = mask;
}

std::uint32_t CRenderPipeline::OverBright(std::uint32_t color) {
  std::uint32_t out = 0;
  for (int sh = 0; sh < 24; sh += 8) {
    const std::uint32_t c = (color >> sh) & 255u;
    if (c > 128) out |= ((c << 1) & 255u) << sh;
  }
  return out;
}

void CRenderPipeline::Project(CTransformedVertex& v) {
  const PipelineState& p = P();
  v.depth = v.z;
  v.rdepth = 1.0f / v.z;
  v.fog = 255;
  v.behind = 1;
  if (!(v.z >= p.nearS)) return;
  v.behind = 0;
  if (p.ortho) {
    // Camera space is already scaled by the focal factors: dividing by them
    // gives world units, drawn one pixel each (the zoom is 1).
    v.sx = v.x / OrthoFactor(p.focalXs) + p.halfWidth;
    v.sy = p.halfHeight - v.y / OrthoFactor(p.focalYs);
  } else {
    v.sx = v.x * v.rdepth + p.halfWidth;
    v.sy = p.halfHeight - v.y * v.rdepth;
  }
  const CddState& d = Cdd::State();
  v.xOut = v.sx > d.rightF ? 1 : v.sx < d.leftF ? 255 : 0;
  v.yOut = v.sy > d.bottomF ? 1 : v.sy < d.topF ? 255 : 0;
  if (d.fog && v.z > p.fogStartS) {
    if (v.z > p.fogEndS || p.fogEndS <= p.fogStartS) v.fog = 0;
    else v.fog = static_cast<std::uint8_t>(std::lround(255.0f * (p.fogEndS - v.z) / (p.fogEndS - p.fogStartS)));
  }
}

// Position, projection and the default colours of one vertex; each sum in the matrix's order.
void CRenderPipeline::TransformOne(const CMatrix& m, const CShapeVertex& source, CTransformedVertex& v) {
  const CVector& q = source.position;
  v.x = q.x * m.m[0] + q.y * m.m[3] + q.z * m.m[6] + m.t[0];
  v.y = q.x * m.m[1] + q.y * m.m[4] + q.z * m.m[7] + m.t[1];
  v.z = q.x * m.m[2] + q.y * m.m[5] + q.z * m.m[8] + m.t[2];
  v.xOut = v.yOut = 0;
  Project(v);
  v.diffuse = 0x80808080;
  v.specular = 0;
  v.source = &source;
}

void CRenderPipeline::TransformVertices(const CMatrix& m, const CShapeVertex* source, int count,
                                        CTransformedVertex* destination) {
  for (int i = 0; i < count; ++i) {
    TransformOne(m, source[i], destination[i]);
    destination[i].normalMatrix = nullptr;
  }
}

void CRenderPipeline::TransformNodeVertices(const CShapeNode& node, const CShapeVertex* source, int count,
                                            CTransformedVertex* destination) {
  for (int i = 0; i < count; ++i) {
    int k = source[i].flags & kVertexClassMask;
    if (k > 3) k = 0;  // a node holds matrices for classes 0 to 3 only
    TransformOne(node.projection[k], source[i], destination[i]);
    destination[i].normalMatrix = k == 0 ? &node.finalMatrix : &node.classMatrix[k - 1];
  }
}

void CRenderPipeline::PrepareNode(CShape& shape, int nodeIndex, const CMatrix& matrix) {
  const PipelineState& p = P();
  CShapeNode& node = shape.nodes[static_cast<std::size_t>(nodeIndex)];
  CMatrix given = matrix;
  for (int i = 0; i < 3; ++i) given.t[i] -= p.camera.t[i];
  CMatrix final = MultiplyNoTranslation(Multiply(node.nodeMatrix, given), p.inverse);
  // MultiplyNoTranslation drops only the second's translation: the first's is rotated along.
  if (node.flags & kNodeFacesCamera) {
    const CMatrix id = IdentityMatrix();
    std::copy(std::begin(id.m), std::end(id.m), std::begin(final.m));
  }
  node.finalMatrix = final;
  node.projection[0] = final;
  ScaleOutputAxes(node.projection[0], p.focalXs, p.focalYs, p.depthScale, true);
  // A class the node does not blend this frame moves with the node itself.
  for (int k = 0; k < 3; ++k) {
    node.classMatrix[k] = final;
    node.projection[k + 1] = node.projection[0];
  }
  const int parent = node.parent;
  if (node.vertexCount > 0 && parent >= 0 && parent < nodeIndex)
    node.BlendMatrices(&shape.nodes[static_cast<std::size_t>(parent)], p.focalXs, p.focalYs, p.depthScale);
}

bool CRenderPipeline::PrepareShape(CShape& shape, const CMatrix& matrix, float* projectedRadius) {
  const PipelineState& p = P();
  if (shape.nodes.empty() || shape.vertices.empty() || shape.sides.empty()) return false;
  PrepareNode(shape, 0, matrix);
  const CShapeNode& root = shape.nodes[0];
  // The centre is the first node's pivot; the radius reaches the farthest vertex.
  const CVector c = TransformPoint(root.projection[0], root.pivot);
  float r2 = 0.0f;
  for (const CShapeVertex& v : shape.vertices) {
    const CVector d = v.position - root.pivot;
    r2 = std::max(r2, Dot(d, d));
  }
  const float r = std::sqrt(r2) * p.depthScale;
  if (c.z < p.nearS - r) return false;
  const float z = std::max(c.z, p.nearS);
  float px = r * p.focalX / z, py = r * p.focalY / z;
  float cx = c.x / z + p.halfWidth, cy = p.halfHeight - c.y / z;
  if (p.ortho) {  // as Project places the vertices
    px = py = r / p.depthScale;
    cx = c.x / OrthoFactor(p.focalXs) + p.halfWidth;
    cy = p.halfHeight - c.y / OrthoFactor(p.focalYs);
  }
  const CddState& d = Cdd::State();
  if (cx < d.leftF - px || cx > d.rightF + px || cy < d.topF - py || cy > d.bottomF + py) return false;
  if (projectedRadius) *projectedRadius = px;
  return true;
}

void CRenderPipeline::Light(CTransformedVertex& v) {
  const PipelineState& p = P();
  if (v.normalMatrix && v.source) {
    const CVector n = RotateVector(*v.normalMatrix, v.source->normal);
    v.nx = n.x;
    v.ny = n.y;
    v.nz = n.z;
    v.normalMatrix = nullptr;
  } else {
    return;  // lit already this frame
  }
  const CVector n{v.nx, v.ny, v.nz};
  std::uint32_t lit = v.diffuse;
  for (const CLight& l : p.lights) {
    float intensity;
    if (!l.point) {
      intensity = 127.0f - std::round(127.0f * Dot(l.direction, n));
    } else {
      const CVector pos{v.x / p.focalXs, v.y / p.focalYs, v.z / p.depthScale};
      const CVector off = pos - l.position;
      const float dist = Length(off);
      if (!(dist > 0.0f) || dist >= l.range) continue;
      intensity = (127.0f - 127.0f * Dot(n, off) / dist) * (1.0f - dist * dist / (l.range * l.range));
    }
    const int k = intensity > 0.0f ? static_cast<int>(std::min(intensity, 255.0f)) : 0;  // also for NaN
    std::uint32_t c = 0;
    for (int sh = 0; sh < 24; sh += 8) c |= ((((l.color >> sh) & 255u) * static_cast<std::uint32_t>(k)) >> 8) << sh;
    lit = ChannelsMax(lit, c | (lit & 0xFF000000u));
  }
  v.diffuse = lit;
  v.specular = OverBright(lit);
}

int CRenderPipeline::ClipToNearPlane(const CTransformedVertex* const* in, int count, std::uint32_t flags,
                                     CTransformedVertex* out) {
  const float nearS = P().nearS;
  int n = 0;
  for (int i = 0; i < count; ++i) {
    const CTransformedVertex& a = *in[i];
    const CTransformedVertex& b = *in[(i + 1) % count];
    const bool ia = !a.behind, ib = !b.behind;
    if (ia) out[n++] = a;
    if (ia != ib) {
      const float t = (nearS - a.z) / (b.z - a.z);
      CTransformedVertex& v = out[n++];
      v = a;
      v.x = a.x + (b.x - a.x) * t;
      v.y = a.y + (b.y - a.y) * t;
      v.z = nearS;
      if (flags & (kRenderTextured | kRenderLightMap)) {
        v.u = a.u + (b.u - a.u) * t;
        v.v = a.v + (b.v - a.v) * t;
      }
      if (flags & kRenderLightMap) {
        v.u2 = a.u2 + (b.u2 - a.u2) * t;
        v.v2 = a.v2 + (b.v2 - a.v2) * t;
      }
      auto mix = [t](std::uint32_t ca, std::uint32_t cb) {
        std::uint32_t r = 0;
        for (int sh = 0; sh < 32; sh += 8) {
          const float fa = static_cast<float>((ca >> sh) & 255u), fb = static_cast<float>((cb >> sh) & 255u);
          r |= static_cast<std::uint32_t>(std::clamp(std::lround(fa + (fb - fa) * t), 0L, 255L)) << sh;
        }
        return r;
      };
      v.diffuse = mix(a.diffuse, b.diffuse);
      v.specular = mix(a.specular, b.specular);
      v.xOut = v.yOut = 0;
      Project(v);
      v.behind = 0;  // exactly on the plane
    }
  }
  return n >= 3 ? n : 0;
}

void CRenderPipeline::DrawSide(const CSide& side, std::uint32_t flags, CTransformedVertex* const* v, int count) {
  PipelineState& p = P();
  for (int k = 0; k < count; ++k) {
    v[k]->u = side.uv[k].u;
    v[k]->v = side.uv[k].v;
    v[k]->u2 = side.uv[k].u;
    v[k]->v2 = side.uv[k].v;
  }
  const auto renderFlags = static_cast<std::uint8_t>(flags & 0xFF);
  const std::uint32_t key =
      (flags & (kRenderTextured | kRenderLightMap | kRenderBump)) ? FindTexture(flags, side.texture) : kCddNoTexture;
  CTransformedVertex clipped[8];
  const CTransformedVertex* use[8];
  int n = count;
  bool anyBehind = false;
  for (int k = 0; k < count; ++k) anyBehind = anyBehind || v[k]->behind;
  if (anyBehind) {
    const CTransformedVertex* in[4] = {v[0], v[1], v[2], count > 3 ? v[3] : v[2]};
    n = ClipToNearPlane(in, count, flags, clipped);
    for (int k = 0; k < n; ++k) use[k] = &clipped[k];
  } else {
    for (int k = 0; k < n; ++k) use[k] = v[k];
  }
  if (n < 3) return;
  CScreenVertex s[5];
  for (int k = 0; k < n && k < 5; ++k) s[k] = ToScreen(*use[k]);
  ++p.stats.sides;
  if (n == 3) Cdd::DrawTriangle(renderFlags, s[0], s[1], s[2], key);
  else if (n == 4) Cdd::DrawQuad(renderFlags, s[0], s[1], s[2], s[3], key);
  else Cdd::DrawPentagon(renderFlags, s[0], s[1], s[2], s[3], s[4], key);
}

int CRenderPipeline::BucketOf(const CTransformedVertex* const v[4]) {
  const float z = (v[0]->depth + v[1]->depth + v[2]->depth + v[3]->depth) * 0.25f;
  if (!(z > 0.0f)) return 0;  // also for NaN
  if (!(z < 1.0f)) return kOrderingBuckets - 1;
  return std::min(static_cast<int>(std::lround(static_cast<double>(z) * kOrderingBuckets)), kOrderingBuckets - 1);
}

void CRenderPipeline::DrawShape(CShape& shape, const CMatrix& matrix) { DrawShapeAt(shape, matrix, 0); }

void CRenderPipeline::DrawShapeAt(CShape& shape, const CMatrix& matrix, int depth) {
  PipelineState& p = P();
  if (depth > kMaxAttachedDepth) return;
  float radius = 0.0f;
  if (!PrepareShape(shape, matrix, &radius)) {
    ++p.stats.culled;
    return;
  }
  ++p.stats.shapes;
  const int vertexCount = shape.VertexCount();
  const int base = p.poolIndex;
  if (base + vertexCount > kPipelinePoolSize) return;  // the frame's pool is full
  GrowPool(base + vertexCount);
  const int nodesBefore = p.nodeCount;

  // Level of detail.
  const bool hasMrm = shape.mrm.order.size() == static_cast<std::size_t>(vertexCount) && vertexCount > 0;
  const float upper = shape.mrm.threshold;
  const bool lod = hasMrm && !p.showEverything &&
                   (p.detailMode == 2 || (p.detailMode == 1 && radius < upper));
  // Vertices no node covers are never transformed: a side reaching them is not drawn.
  int transformed = 0;
  {
    int f = 256;
    if (lod) {
      if (p.detailMode == 2 || radius <= p.lowerDetail) f = 0;
      else if (radius < upper) f = static_cast<int>(std::lround((radius - p.lowerDetail) * 256.0f / (upper - p.lowerDetail)));
      f = std::clamp(f, 0, 256);
    }
    int first = 0;
    for (std::size_t i = 0; i < shape.nodes.size(); ++i) {
      CShapeNode& node = shape.nodes[i];
      const int n = std::clamp(node.vertexCount, 0, vertexCount - first);
      int count = n;
      if (lod && n > 0) {
        const int m = std::clamp(node.lockedCount, 0, n);
        count = std::clamp(m + (((n - m) * f) >> 8), 1, n);
        for (int j = 0; j < n; ++j) {
          std::uint32_t& o = shape.mrm.order[static_cast<std::size_t>(first + j)];
          o = j < count ? (o | 0x80000000u) : (o & 0x7FFFFFFFu);
        }
      }
      if (i > 0) PrepareNode(shape, static_cast<int>(i), matrix);
      if (count > 0)
        TransformNodeVertices(node, &shape.vertices[static_cast<std::size_t>(first)], count,
                              &p.pool[static_cast<std::size_t>(base + first)]);
      first += n;
    }
    transformed = first;
  }
  // Attached shapes take pool entries after this shape's own.
  p.poolIndex = base + vertexCount;
  for (CShapeNode& node : shape.nodes) {
    if (!node.child || node.child->nodes.empty()) continue;
    CMatrix m = Multiply(node.nodeMatrix, matrix);
    const CVector shift = RotateVector(m, node.pivot - node.child->nodes[0].pivot);
    for (int i = 0; i < 3; ++i) m.t[i] += (i == 0 ? shift.x : i == 1 ? shift.y : shift.z);
    DrawShapeAt(*node.child, m, depth + 1);
  }

  CTransformedVertex* pool = &p.pool[static_cast<std::size_t>(base)];
  auto combined = [&](const CSide& side) { return p.flagOverride | (side.flags & p.flagMask); };
  auto lightSide = [&](CTransformedVertex* const* v, int n, std::uint32_t flags) {
    if (!(flags & (kSideLit | kRenderLightMap))) return;
    for (int k = 0; k < n; ++k) {
      if (flags & kSideLit) Light(*v[k]);
      else if (v[k]->normalMatrix && v[k]->source) {
        const CVector nr = RotateVector(*v[k]->normalMatrix, v[k]->source->normal);
        v[k]->nx = nr.x;
        v[k]->ny = nr.y;
        v[k]->nz = nr.z;
        v[k]->normalMatrix = nullptr;
      }
    }
  };
  if (lod) {
    const std::uint32_t* order = shape.mrm.order.data();
    auto resolve = [&](std::uint32_t vertex, int* lastCollapsed) -> int {
      *lastCollapsed = -1;
      for (int steps = 0; steps <= vertexCount; ++steps) {
        if (vertex >= static_cast<std::uint32_t>(transformed)) return -1;
        if (order[vertex] & 0x80000000u) return static_cast<int>(vertex);
        *lastCollapsed = static_cast<int>(vertex);
        vertex = order[vertex];
      }
      return -1;
    };
    for (const CSide& side : shape.sides) {
      int idx[3], last[3];
      bool broken = false;
      for (int k = 0; k < 3 && !broken; ++k) {
        idx[k] = resolve(side.index[k], &last[k]);
        broken = idx[k] < 0;
      }
      if (broken) continue;
      if (idx[0] == idx[1] || idx[1] == idx[2] || idx[0] == idx[2]) break;  // every later side has collapsed too
      CTransformedVertex* v[4] = {pool + idx[0], pool + idx[1], pool + idx[2], pool + idx[2]};
      if (!SideVisible(v, 3)) continue;
      const std::uint32_t flags = combined(side);
      lightSide(v, 3, flags);
      CSide drawn = side;
      for (int k = 0; k < 3; ++k)
        if (last[k] >= 0 && static_cast<std::size_t>(last[k]) < shape.mrm.uv.size())
          drawn.uv[k] = shape.mrm.uv[static_cast<std::size_t>(last[k])];
      DrawSide(drawn, flags, v, 3);
    }
    // The marks only matter while drawing: the mesh keeps every vertex present.
    for (auto& o : shape.mrm.order) o |= 0x80000000u;
  } else {
    const bool depthOn = Cdd::State().depth != 0;
    for (const CSide& side : shape.sides) {
      CTransformedVertex* v[4];
      if (!Corners(side, pool, transformed, v)) continue;
      const int n = side.CornerCount();
      if (!SideVisible(v, 4)) continue;
      const std::uint32_t flags = combined(side);
      lightSide(v, n, flags);
      if ((flags & kRenderBlended) && depthOn) {
        if (p.nodeCount >= static_cast<int>(p.nodes.size())) p.nodes.resize(std::max<std::size_t>(1024, p.nodes.size() * 2));
        COrderingNode& node = p.nodes[static_cast<std::size_t>(p.nodeCount++)];
        node.side = &side;
        for (int k = 0; k < 4; ++k) node.v[k] = static_cast<std::uint32_t>(v[k] - p.pool.data());
        const int b = BucketOf(v);
        node.next = p.buckets[static_cast<std::size_t>(b)];
        p.buckets[static_cast<std::size_t>(b)] = &node;
        p.lowBucket = std::min(p.lowBucket, b);
        p.highBucket = std::max(p.highBucket, b);
        continue;
      }
      DrawSide(side, flags, v, n);
    }
  }
  // Sides waiting in the ordering table keep their vertices until the flush.
  p.poolIndex = p.nodeCount > nodesBefore ? std::max(p.poolIndex, base + vertexCount) : base;
}

void CRenderPipeline::FlushOrderingTable() {
  PipelineState& p = P();
  for (int b = p.highBucket; b >= p.lowBucket && b >= 0; --b) {
    for (COrderingNode* node = p.buckets[static_cast<std::size_t>(b)]; node; node = node->next) {
      const std::uint32_t flags = p.flagOverride | (node->side->flags & p.flagMask);
      if (!(flags & kRenderBlended)) continue;
      CTransformedVertex* v[4];
      for (int k = 0; k < 4; ++k) v[k] = &p.pool[node->v[k]];
      DrawSide(*node->side, flags, v, node->side->CornerCount());
    }
    p.buckets[static_cast<std::size_t>(b)] = nullptr;
  }
  p.buckets[kOrderingBuckets] = p.buckets[kOrderingBuckets + 1] = nullptr;
  p.lowBucket = kOrderingBuckets;
  p.highBucket = -1;
}

void CRenderPipeline::ClearOrderingTable() {
  PipelineState& p = P();
  p.buckets.fill(nullptr);
  p.nodeCount = 0;
  p.lowBucket = kOrderingBuckets;
  p.highBucket = -1;
}

std::uint32_t CRenderPipeline::FindTexture(std::uint32_t flags, std::uint32_t textureId) {
  PipelineState& p = P();
  const CddState& d = Cdd::State();
  struct Wanted {
    int id;
    bool bump;
    int slot = -1;
    int isNew = 0;
  };
  Wanted wanted[3] = {{static_cast<int>(textureId & 0x7FF), false},
                      {(flags & kRenderLightMap) ? static_cast<int>((textureId >> 11) & 0x7FF) : -1, false},
                      {(flags & kRenderBump) && d.stages >= 3 ? static_cast<int>(textureId & 0x7FF) + kBumpIdOffset : -1,
                       true}};
  bool load = false;
  for (Wanted& w : wanted) {
    if (w.id < 0) continue;
    int evicted = -1;
    w.slot = p.cache.GetSlot(w.id, &w.isNew, &evicted);
    load = load || (w.isNew && w.slot >= 0);
  }
  if (load) {
    const bool inScene = d.inScene;
    if (inScene) Cdd::EndFrame();
    for (const Wanted& w : wanted) {
      if (w.slot < 0 || !w.isNew) continue;
      const int number = w.bump ? w.id - kBumpIdOffset : w.id;
      std::string found;
      for (const std::string& pattern : p.paths) {
        if (pattern.empty()) continue;
        if (FindFile(FormatPattern(pattern, number), found)) break;
        found.clear();
      }
      if (found.empty()) {
        Cdd::loadtexture(w.slot, FormatPattern(p.paths[0], number), 0);  // leaves the slot empty
        continue;
      }
      if (w.bump) {
        const std::size_t dot = found.find_last_of('.');
        const std::size_t slash = found.find_last_of("\\/");
        const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
        found = hasExtension ? found.substr(0, dot) + "B" + found.substr(dot) : found + "B";
      }
      Cdd::loadtexture(w.slot, found, w.bump ? 1 : 0);
    }
    if (inScene) Cdd::BeginFrame(0, 0, 0, 0, 1.0f, 0);
  }
  auto field = [](const Wanted& w) { return w.slot >= 0 ? static_cast<std::uint32_t>(w.slot) : kCddNoSlot; };
  return field(wanted[0]) | field(wanted[1]) << 10 | field(wanted[2]) << 20;
}

void CRenderPipeline::DrawRect2D(const int rect[4], const float uv0[2], const float uv1[2], int textureId,
                                 std::uint32_t color, std::uint32_t specular) {
  const std::uint32_t key = textureId < 0 ? kCddNoTexture : FindTexture(kRenderTextured, static_cast<std::uint32_t>(textureId));
  Cdd::DrawRect2D(rect[0], rect[1], rect[2], rect[3], uv0, uv1, key, color, specular);
}

int CRenderPipeline::PickInShape(const float point[2], CShape& shape, const CMatrix& matrix) {
  PipelineState& p = P();
  if (!PrepareShape(shape, matrix, nullptr)) return -1;
  const int vertexCount = shape.VertexCount();
  const int base = p.poolIndex;
  if (base + vertexCount > kPipelinePoolSize) return -1;
  GrowPool(base + vertexCount);
  int first = 0;
  for (std::size_t i = 0; i < shape.nodes.size(); ++i) {
    const int n = std::clamp(shape.nodes[i].vertexCount, 0, vertexCount - first);
    if (i > 0) PrepareNode(shape, static_cast<int>(i), matrix);
    if (n > 0)
      TransformNodeVertices(shape.nodes[i], &shape.vertices[static_cast<std::size_t>(first)], n,
                            &p.pool[static_cast<std::size_t>(base + first)]);
    first += n;
  }
  CTransformedVertex* pool = &p.pool[static_cast<std::size_t>(base)];
  int best = -1;
  float bestDistance = 0.0f;
  for (std::size_t s = 0; s < shape.sides.size(); ++s) {
    const CSide& side = shape.sides[s];
    CTransformedVertex* v[4];
    if (!Corners(side, pool, first, v)) continue;
    const int n = side.CornerCount();
    // A side reaching behind the camera has no screen shape to pick.
    bool behind = false;
    for (int k = 0; k < n; ++k) behind = behind || v[k]->behind;
    if (behind || !SideVisible(v, n)) continue;
    const float a[2] = {v[0]->sx, v[0]->sy}, b[2] = {v[1]->sx, v[1]->sy}, c[2] = {v[2]->sx, v[2]->sy};
    bool inside = PointInTriangle2D(point, a, b, c) != 0;
    if (!inside && n == 4) {
      const float d[2] = {v[3]->sx, v[3]->sy};
      inside = PointInTriangle2D(point, a, c, d) != 0;
    }
    if (!inside) continue;
    float cx = 0, cy = 0;
    for (int k = 0; k < n; ++k) {
      cx += v[k]->sx;
      cy += v[k]->sy;
    }
    cx /= static_cast<float>(n);
    cy /= static_cast<float>(n);
    const float dist = (cx - point[0]) * (cx - point[0]) + (cy - point[1]) * (cy - point[1]);
    if (best < 0 || dist < bestDistance) {
      best = static_cast<int>(s);
      bestDistance = dist;
    }
  }
  return best;
}

void CRenderPipeline::ReleaseTextures() {
  P().cache.Reset();
  Cdd::releasealltexture();
}

}  // namespace pavix
