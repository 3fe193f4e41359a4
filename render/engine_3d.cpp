// The 3D engine's core: state, projection, viewport, vertex pool and frames.
#include "render/engine_3d.h"

#include <cmath>
#include <memory>

#include "platform/core/clock.h"
#include "render/engine_state.h"
#include "render/mesh_vertex.h"
#include "render/renderer.h"

C3DEngine* g_3DEngine = nullptr;

namespace {

std::unique_ptr<EngineState>& StatePtr() {
  static std::unique_ptr<EngineState> state = std::make_unique<EngineState>();
  return state;
}

// Round to nearest, held inside the int range for any finite or infinite value.
std::int32_t RoundPixel(float v) {
  if (!(v > -2.0e9f)) return -2000000000;  // NaN too
  if (v > 2.0e9f) return 2000000000;
  return static_cast<std::int32_t>(std::lrint(v));
}

}  // namespace

EngineState& Engine() { return *StatePtr(); }

void C3DEngine::ResetState() { StatePtr() = std::make_unique<EngineState>(); }

C3DEngine::C3DEngine() {
  EngineState& s = Engine();
  s.pool.assign(kEnginePoolVertices, CVertex{});
  s.poolUsed = 0;
  s.poolHighWater = 0;
  s.renderer = nullptr;
  s.focalX = s.focalY = 512.0f;
  s.nearPlane = 256.0f;
  SetViewportSize(320, 240);
  s.andMask = 0xFFFFFFFFu;
  s.orMask = 0;
  s.outline = CColor::FromValue(0x40000000u);
  s.banks.Reset(platform::Milliseconds());
  ResetBuckets();
}

C3DEngine::~C3DEngine() = default;

void C3DEngine::FreeVertexPool() {
  EngineState& s = Engine();
  s.pool.clear();
  s.pool.shrink_to_fit();
  s.poolUsed = 0;
  s.poolHighWater = 0;
}

void C3DEngine::SetRenderer(CRenderer* renderer) { Engine().renderer = renderer; }
CRenderer* C3DEngine::GetRenderer() const { return Engine().renderer; }

void C3DEngine::SetFocal(float x, float y) {
  Engine().focalX = x;
  Engine().focalY = y;
}

void C3DEngine::SetNearPlane(float nearZ) { Engine().nearPlane = nearZ; }

void C3DEngine::SetFog(int on) {
  if (Engine().renderer) Engine().renderer->SetFog(on);
}

int C3DEngine::GetFog() const { return Engine().renderer ? Engine().renderer->GetFog() : 0; }

void C3DEngine::FillRect(int left, int top, int right, int bottom, CColor color) {
  if (Engine().renderer) Engine().renderer->FillRectangle(left, top, right, bottom, color);
}

void C3DEngine::SetViewportSize(int width, int height) {
  EngineState& s = Engine();
  s.viewportWidth = width;
  s.viewportHeight = height;
  s.centreX = width / 2;
  s.centreY = height / 2;
  s.centreXf = static_cast<float>(s.centreX);
  s.centreYf = static_cast<float>(s.centreY);
}

void C3DEngine::SetViewportRect(int left, int top, int right, int bottom) {
  EngineState& s = Engine();
  s.viewLeft = left;
  s.viewTop = top;
  s.viewRight = right;
  s.viewBottom = bottom;
  s.centreX = left + (right - left + 1) / 2;
  s.centreY = top + (bottom - top + 1) / 2;
  s.centreXf = static_cast<float>(s.centreX);
  s.centreYf = static_cast<float>(s.centreY);
  s.viewportWidth = right + 1;
  s.viewportHeight = bottom + 1;
  if (s.renderer) s.renderer->SetClipRect(left, top, right, bottom);
}

void C3DEngine::SetViewSize(int width, int height) {
  Engine().viewWidth = width;
  Engine().viewHeight = height;
}

int C3DEngine::BeginFrame(int clearZ) {
  EngineState& s = Engine();
  s.frameTime = static_cast<float>(platform::Milliseconds()) * 0.001f;
  ResetBuckets();
  return s.renderer ? s.renderer->BeginFrame(clearZ) : 0;
}

void C3DEngine::EndFrame() {
  if (Engine().renderer) Engine().renderer->EndFrame();
}

CVertex* C3DEngine::AllocVertices(int n) {
  EngineState& s = Engine();
  if (n < 0 || s.pool.empty()) return nullptr;
  if (static_cast<long long>(s.poolUsed) + n > kEnginePoolVertices - 1) return nullptr;
  CVertex* v = s.pool.data() + s.poolUsed;
  s.poolUsed += n;
  if (s.poolUsed > s.poolHighWater) s.poolHighWater = s.poolUsed;
  return v;
}

CVertex* C3DEngine::TransformVertices(const CMatrix* m, const CMeshVertex* src, int n, int callerValue) {
  EngineState& s = Engine();
  if (!m || (!src && n > 0)) return nullptr;
  CVertex* out = AllocVertices(n);
  if (!out) return nullptr;
  const float* r = m->m;
  const float fx = s.focalX, fy = s.focalY;
  const float x0 = r[0] * fx, x3 = r[3] * fx, x6 = r[6] * fx, x9 = r[9] * fx;
  const float y1 = r[1] * fy, y4 = r[4] * fy, y7 = r[7] * fy, y10 = r[10] * fy;
  const float nearZ = s.nearPlane, cx = s.centreXf, cy = s.centreYf;
  for (int i = 0; i < n; ++i) {
    const CMeshVertex& in = src[i];
    CVertex& v = out[i];
    v.x = x0 * in.x + x3 * in.y + x6 * in.z + x9;
    v.y = y1 * in.x + y4 * in.y + y7 * in.z + y10;
    v.z = r[2] * in.x + r[5] * in.y + r[8] * in.z + r[11];
    v.rz = v.z != 0.0f ? 1.0f / v.z : 0.0f;
    v.color = CColor::FromValue(in.color);
    v.fade = -1;
    v.inFront = 1;
    v.sx = 0;
    v.sy = 0;
    if (v.z >= nearZ) {
      v.sx = RoundPixel(cx + v.x * v.rz);
      v.sy = RoundPixel(cy - v.y * v.rz);
      v.inFront = 0;
    }
    v.source = &in;
    v.caller = callerValue;
  }
  return out;
}

int C3DEngine::ProjectPoint(const CMatrix* m, const CVector3* p, int* out) {
  EngineState& s = Engine();
  if (!m || !p || !out) return 0;
  const float* r = m->m;
  const float x = r[0] * p->x + r[3] * p->y + r[6] * p->z + r[9];
  const float y = r[1] * p->x + r[4] * p->y + r[7] * p->z + r[10];
  const float z = r[2] * p->x + r[5] * p->y + r[8] * p->z + r[11];
  if (!(z >= s.nearPlane) || z == 0.0f) return 0;
  out[0] = RoundPixel(x * s.focalX / z + s.centreXf);
  out[1] = RoundPixel(s.centreYf - y * s.focalY / z);
  return 1;
}

void C3DEngine::SetFlagMasks(std::uint32_t andMask, std::uint32_t orMask) {
  Engine().andMask = andMask;
  Engine().orMask = orMask;
}

void C3DEngine::SetOutlineColor(CColor color) { Engine().outline = color; }

float C3DEngine::FocalX() const { return Engine().focalX; }
float C3DEngine::FocalY() const { return Engine().focalY; }
float C3DEngine::NearPlane() const { return Engine().nearPlane; }
int C3DEngine::ViewportWidth() const { return Engine().viewportWidth; }
int C3DEngine::ViewportHeight() const { return Engine().viewportHeight; }
int C3DEngine::CentreX() const { return Engine().centreX; }
int C3DEngine::CentreY() const { return Engine().centreY; }
int C3DEngine::VerticesUsed() const { return Engine().poolUsed; }
int C3DEngine::VerticesHighWater() const { return Engine().poolHighWater; }
int C3DEngine::ItemsUsed() const { return Engine().itemsUsed; }
int C3DEngine::LineFacesUsed() const { return Engine().lineFacesUsed; }
int C3DEngine::LowestBucket() const { return Engine().lowest; }
int C3DEngine::HighestBucket() const { return Engine().highest; }
const CSortItem* C3DEngine::BucketHead(int bucket) const {
  if (bucket < 0 || bucket >= kEngineBuckets) return nullptr;
  return Engine().heads[bucket];
}
float C3DEngine::FrameTime() const { return Engine().frameTime; }
CTextureBankCache& C3DEngine::BankCache() { return Engine().banks; }
