// World-map nodes drawn through the 3D engine, and their labels.
#include <algorithm>
#include <limits>

#include "datafiles/monster_class_table.h"
#include "platform/core/paths.h"
#include "quest/class_model.h"
#include "quest/element_instance.h"
#include "quest/fixed_field.h"
#include "quest/graph_node.h"
#include "quest/kelvar_doc.h"
#include "quest/machine.h"
#include "quest/map_text.h"
#include "quest/mesh_banks.h"
#include "quest/monster.h"
#include "quest/object_picture.h"
#include "quest/quest_lists.h"
#include "quest/thumbnail_cache.h"
#include "render/cdd.h"
#include "render/skeleton_bank.h"
#include "render/skinned_model.h"
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

int MonsterClassOf(std::string_view name) {
  const int index = g_monsterClassTable.Find(name);
  if (index >= 0) return index;
  const CMonster* monster = FindMonster(Quest().monsters, name);
  return monster ? g_monsterClassTable.Find(FieldText(monster->monsterClass)) : -1;
}

int ClassWithSkeleton(std::string_view skeleton) {
  for (std::size_t i = 0; i < g_monsterClassTable.Count(); ++i) {
    if (platform::EqualsNoCase(FieldText(g_monsterClassTable.Row(i).skeleton), skeleton)) return static_cast<int>(i);
  }
  return -1;
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
  if (kind == kNodeObject) {
    // The picture the pickers show for this object; a frame when there is none.
    const ObjectPicture p = ObjectPictureOf(FieldText(name));
    if (!p.Shows()) return fallback;
    return {x, y, Far(x, p.Width()), Far(y, p.Height())};
  }
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
  if (g_3DEngine) {
    switch (kind) {
      case kNodeMachine: DrawMeshNode(view); break;
      case kNodeObject: DrawObjectNode(view); break;
      case kNodeSkeleton: DrawSkeletonNode(view); break;
      case kNodeMonsterParam:
      case kNodeMonster: DrawMonsterNode(view); break;
      default: break;
    }
  }
  if (kind == kNodeMachine || kind == kNodeSkeleton) MoveTooltip(view);
}

void GraphNode::MoveTooltip(const pv::Rect& view) const {
  IWorldMapView* hook = Quest().view;
  CMachine* machine = OwnerMachine();
  if (!hook || !keys || !machine) return;
  if (const ElementInstance* instance = FindInstanceNamed(machine->instances, FieldText(keys->name))) {
    hook->MoveInstanceTooltip(instance, ::MapRect{left - view.left, top - view.top, right - view.left,
                                                bottom - view.top});
  }
}

void GraphNode::DrawMeshNode(const pv::Rect& view) {
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
}

void GraphNode::DrawObjectNode(const pv::Rect& view) {
  const pv::Rect rect{left, top, right, bottom};
  if (!Visible(rect, view)) return;
  const pv::Rect s = Shifted(rect, view);
  const ObjectPicture p = ObjectPictureOf(FieldText(name));
  g_3DEngine->SetViewportRect(0, 0, view.Width(), view.Height());
  g_3DEngine->BeginFrame(0);
  if (p.cell) {
    if (Cdd* cdd = g_thumbnailCache.FrameDevice(); cdd && !QuestSpritePath().empty())
      cdd->DrawBitmap(QuestSpritePath().c_str(), s, SheetCellRect(*p.cell), CColor(0, 0, 0));
  } else if (p.sprite) {
    // The sprite is drawn centred on its point: the middle of the node's rectangle.
    g_3DEngine->DrawSprite2D(p.sprite->name, (s.left + s.right) / 2, (s.top + s.bottom) / 2);
  } else {
    g_3DEngine->DrawRect2D(s.left, s.top, s.right, s.bottom, CColor::FromRGBA(255, 255, 255, 255));
  }
  g_3DEngine->FlushBuckets();
  g_3DEngine->EndFrame();
}

void GraphNode::DrawModelBox(const pv::Rect& view) {
  const pv::Rect rect{left, top, right, bottom};
  const pv::Rect s = Shifted(rect, view);
  if (model && model->BoneCount() > 0) g_thumbnailCache.Blit(FieldText(name), *model, s);
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
}

void GraphNode::DrawMonsterNode(const pv::Rect& view) {
  if (!Visible({left, top, right, bottom}, view)) return;
  if (MonsterClassOf(FieldText(name)) >= 0) SetupModel(false);
  DrawModelBox(view);
}

void GraphNode::DrawSkeletonNode(const pv::Rect& view) {
  if (!Visible({left, top, right, bottom}, view)) return;
  const std::string_view n = FieldText(name);
  if (g_monsterClassTable.Find(n) >= 0 || ClassWithSkeleton(n) >= 0) SetupModel(true);
  else SetupSkeletonModel();
  DrawModelBox(view);
}

void GraphNode::SetupSkeletonModel() {
  const std::string_view n = FieldText(name);
  if (model && drawSlot == -1 && FieldEqualsNoCase(skeletonName, n)) return;
  model.reset();
  drawSlot = -1;
  SetField(skeletonName, n);
  if (!SkeletonFileExists(n)) return;
  if (g_skeletonBank.FindName(n) < 0) g_skeletonBank.Add(n);
  PosedModel posed = BuildPosedModel(n, nullptr, 0.0f);
  model = std::move(posed.model);
  modelLift = posed.footLift;
}

void GraphNode::SetupModel(bool byClass) {
  const std::string_view n = FieldText(name);
  int classIndex = g_monsterClassTable.Find(n);
  if (classIndex < 0) classIndex = byClass ? ClassWithSkeleton(n) : MonsterClassOf(n);
  if (classIndex < 0) return;
  const CMonsterClass& monsterClass = g_monsterClassTable.Row(static_cast<std::size_t>(classIndex));
  const bool classChanged = classIndex != drawSlot;
  if (classChanged) SetField(skeletonName, ClassSkeletonName(monsterClass));
  if (classChanged || !model) {
    bool justLoaded = false;
    PosedModel posed = BuildPosedModel(FieldText(skeletonName), &monsterClass, 0.0f, &justLoaded);
    if (posed.model) {
      model = std::move(posed.model);
      modelLift = posed.footLift;
    }
  }
  drawSlot = classIndex;
}

void GraphNode::DrawLabel(pv::DrawContext* dc, const pv::Rect& view) const {
  if (!dc || name[0] == '\0') return;
  const bool byInstance = kind == kNodeMachine || kind == kNodeSkeleton || kind == kNodeMonster;
  const std::string_view text = byInstance && keys ? FieldText(keys->name) : FieldText(name);
  const pv::TextSize size = pv::GetTextExtent(*dc, text);
  DrawMapText(*dc, view, (left + right) / 2 - size.width / 2, bottom + 2, size, text);
}
