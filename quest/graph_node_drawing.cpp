// World-map nodes drawn through the 3D engine, and their labels.
#include <algorithm>
#include <limits>

#include "quest/fixed_field.h"
#include "quest/graph_node.h"
#include "quest/map_text.h"
#include "quest/mesh_banks.h"
#include "render/camera.h"
#include "render/engine_3d.h"
#include "render/mesh.h"
#include "render/render_vertex.h"
#include "render/renderer.h"
#include "render/vector3.h"

namespace pv = platform::video;

namespace {

constexpr int kMeshBox = 64;
constexpr int kMeshFallback = 48;
constexpr int kModelBox = 96;
constexpr float kMeshTurn = 3.926991f;  // five eighths of a turn

const CCamera& MeshCamera() {
  static const CCamera camera = [] {
    CCamera c;
    c.position = CVector3{0.0f, 4000.0f, -8000.0f};
    c.LookAt(0.0f, 0.0f, 0.0f);
    return c;
  }();
  return camera;
}

bool Visible(const pv::Rect& box, const pv::Rect& view) {
  return box.left <= view.right && box.right >= view.left && box.top <= view.bottom && box.bottom >= view.top;
}

pv::Rect Shifted(const pv::Rect& r, const pv::Rect& view) {
  return {r.left - view.left, r.top - view.top, r.right - view.left, r.bottom - view.top};
}

int CustomMeshIndex(std::string_view name) { return CustomMeshBank().FindName(name); }

// A far edge of a box, held at the largest position for a node at the map's end.
int Far(int from, int size) {
  return static_cast<int>(std::min<long long>(static_cast<long long>(from) + size, std::numeric_limits<int>::max()));
}

}  // namespace

pv::Rect GraphNode::MapRect() const {
  switch (kind) {
    case kNodeSkeleton:
    case kNodeMonsterParam:
    case kNodeMonster:
      return {x, y, Far(x, kModelBox), Far(y, kModelBox)};
    default:
      break;
  }
  const pv::Rect fallback{x, y, Far(x, kMeshFallback), Far(y, kMeshFallback)};
  if (kind != kNodeMachine || !g_3DEngine) return fallback;
  const int index = CustomMeshIndex(FieldText(name));
  CMesh* mesh = index >= 0 ? CustomMeshBank().GetMeshAt(index) : nullptr;
  Point lo{}, hi{};
  if (!mesh || !mesh->FittedBounds(CVector3{0.0f, 0.0f, 0.0f}, CVector3{0.0f, kMeshTurn, 0.0f}, MeshCamera(),
                                   g_3DEngine->FocalX(), g_3DEngine->FocalY(), g_3DEngine->NearPlane(), &lo, &hi)) {
    return fallback;
  }
  // The picture box's viewport centre, as the engine places it.
  const long long cx = x + (kMeshBox + 1) / 2LL, cy = y + (kMeshBox + 1) / 2LL;
  return {static_cast<int>(std::max<long long>(x, cx + lo.x)), static_cast<int>(std::max<long long>(y, cy + lo.y)),
          static_cast<int>(std::min<long long>(Far(x, kMeshBox), cx + hi.x)),
          static_cast<int>(std::min<long long>(Far(y, kMeshBox), cy + hi.y))};
}

void GraphNode::Draw(float /*elapsed*/, const pv::Rect& view) {
  if (name[0] == '\0') return;
  const pv::Rect rect = MapRect();
  left = rect.left;
  top = rect.top;
  right = rect.right;
  bottom = rect.bottom;
  if (!g_3DEngine) return;
  switch (kind) {
    case kNodeMachine: {
      const pv::Rect box{x, y, Far(x, kMeshBox), Far(y, kMeshBox)};
      if (!Visible(box, view)) return;
      const pv::Rect screen = Shifted(box, view);
      g_3DEngine->SetViewportRect(screen.left, screen.top, screen.right, screen.bottom);
      g_3DEngine->BeginFrame(0);
      const int index = CustomMeshIndex(FieldText(name));
      Point lo{}, hi{};
      const bool drawn = index >= 0 && CustomMeshBank().RenderFitted(index, CVector3{0.0f, 0.0f, 0.0f},
                                                                     CVector3{0.0f, kMeshTurn, 0.0f}, MeshCamera(),
                                                                     &lo, &hi) != 0;
      if (!drawn) {
        const pv::Rect outline = Shifted({x, y, Far(x, kMeshFallback), Far(y, kMeshFallback)}, view);
        g_3DEngine->DrawRect2D(outline.left, outline.top, outline.right, outline.bottom,
                               CColor::FromRGBA(255, 255, 180, 255));
      }
      g_3DEngine->FlushBuckets();
      g_3DEngine->EndFrame();
      return;
    }
    case kNodeSkeleton:
    case kNodeMonsterParam:
    case kNodeMonster: {
      if (!Visible(rect, view)) return;
      const pv::Rect s = Shifted(rect, view);
      g_3DEngine->SetViewportRect(0, 0, view.Width(), view.Height());
      g_3DEngine->BeginFrame(0);
      if (CRenderer* r = g_3DEngine->GetRenderer()) {
        const CColor white = CColor::FromRGBA(255, 255, 255, 255);
        r->DrawLine(0, CVertex::Screen(s.left, s.top), CVertex::Screen(s.right, s.top), white);
        r->DrawLine(0, CVertex::Screen(s.right, s.top), CVertex::Screen(s.right, s.bottom), white);
        r->DrawLine(0, CVertex::Screen(s.right, s.bottom), CVertex::Screen(s.left, s.bottom), white);
        r->DrawLine(0, CVertex::Screen(s.left, s.bottom), CVertex::Screen(s.left, s.top), white);
      }
      g_3DEngine->FlushBuckets();
      g_3DEngine->EndFrame();
      return;
    }
    default:
      return;
  }
}

void GraphNode::DrawLabel(pv::DrawContext* dc, const pv::Rect& view) const {
  if (!dc || name[0] == '\0') return;
  const bool byInstance = kind == kNodeMachine || kind == kNodeSkeleton || kind == kNodeMonster;
  const std::string_view text = byInstance && keys ? FieldText(keys->name) : FieldText(name);
  const pv::TextSize size = pv::GetTextExtent(*dc, text);
  DrawMapText(*dc, view, (left + right) / 2 - size.width / 2, bottom + 2, size, text);
}
