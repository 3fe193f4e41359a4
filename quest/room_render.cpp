// The edited room in 3D: blocks around the camera target, the machines,
// traps and monsters standing in it, previews of what the current tool
// would place, collision and placement overlays, links and texts.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "datafiles/monster_class_table.h"
#include "datafiles/mtf_archive.h"
#include "platform/core/paths.h"
#include "platform/video/text_functions.h"
#include "quest/class_model.h"
#include "quest/element_instance.h"
#include "quest/fixed_field.h"
#include "quest/graph_node.h"
#include "quest/machine_def.h"
#include "quest/mesh_banks.h"
#include "quest/quest_lists.h"
#include "quest/room.h"
#include "quest/room_placement.h"
#include "render/cdd.h"
#include "render/engine_3d.h"
#include "render/face.h"
#include "render/mesh.h"
#include "render/mesh_vertex.h"
#include "render/skeleton_bank.h"
#include "render/skinned_model.h"

namespace {

constexpr float kHalfTurn = 1.5707964f;
constexpr float kGround = -256.0f;
constexpr int kBlockWindow = 8;   // blocks drawn on each side of the target's block
constexpr int kCellWindow = 24;   // things drawn closer than this many cells to the target's cell
constexpr float kNodeHeight = 256.0f;

constexpr std::uint16_t kBlue = 0x001F;
constexpr std::uint16_t kMagenta = 0xF81F;
constexpr std::uint16_t kRed = 0xF800;
constexpr std::uint16_t kGreen = 0x07C0;
constexpr std::uint16_t kYellow = 0xFFC0;
constexpr std::uint16_t kWhite = 0xFFFF;
constexpr std::uint16_t kOrange = 0xFF00;

// A 5-6-5 value as a colour: each five-bit component (the upper five of
// green) times 8, alpha 64.
CColor Colour565(std::uint16_t c) {
  return CColor((c >> 11 & 31) * 8, (c >> 6 & 31) * 8, (c & 31) * 8);
}

std::uint16_t FootprintColour(std::uint8_t value) { return value == 1 ? kBlue : value == 2 ? kMagenta : kRed; }

CVector3 BlockCentre(int column, int row) { return CellToWorld(BlockToCell(column), BlockToCell(row)); }

CVector3 Turn(int rotation) { return {0.0f, static_cast<float>(rotation) * kHalfTurn, 0.0f}; }

bool IsRoomNode(const CRoom& room, const GraphNode* node) {
  return node->owner && (node->kind == kNodeMachine || node->kind == kNodeSkeleton || node->kind == kNodeMonster) &&
         room.IsNodeInRoom(node);
}

// Arrow head: a pyramid whose tip is the link's end and whose base, 48 units
// above it, has its corners 24 units across from the middle. Box: 16 units
// each way around the link's start. Both are drawn from either side, so their
// faces need no winding.
constexpr std::uint16_t kArrowFaces[][3] = {{0, 1, 2}, {0, 2, 3}, {0, 3, 4}, {0, 4, 1}, {1, 2, 3}, {1, 3, 4}};
constexpr std::uint16_t kBoxFaces[][4] = {{0, 1, 2, 3}, {4, 5, 6, 7}, {0, 1, 5, 4},
                                          {1, 2, 6, 5}, {2, 3, 7, 6}, {3, 0, 4, 7}};

constexpr std::uint32_t kArrowColour = CColor::FromRGBA(255, 100, 50, 128).Value();
constexpr std::uint32_t kStartColour = CColor::FromRGBA(255, 255, 50, 128).Value();

float CustomMeshHeight(const GraphNode& node) {
  CBankList& bank = CustomMeshBank();
  int index = bank.FindPath(node.name);
  if (index < 0) index = bank.FindName(CBankNames::BaseName(node.name));
  const float h = index < 0 ? 0.0f : bank.GetHeight(index);
  return h;
}

float NodeHeight(const GraphNode& node) { return node.kind == kNodeMachine ? CustomMeshHeight(node) : kNodeHeight; }

}  // namespace

bool CRoom::IsPlacementTool() const {
  return (tool >= kToolMoveTrap && tool <= kToolDeleteTrap) || (tool >= kToolAddMonster && tool <= kToolDelete);
}

// ---- Ground lines and squares ------------------------------------------

void CRoom::DrawGroundLine(const CVector3& from, const CVector3& to, std::uint16_t colour) {
  if (g_3DEngine) g_3DEngine->DrawLine3D(CameraMatrix(), from, to, Colour565(colour));
}

void CRoom::DrawCellSquareAt(const CVector3& centre, std::uint16_t colour, float size) {
  const float h = size / 2.0f;
  const CVector3 a(centre.x - h, kGround, centre.z - h), b(centre.x + h, kGround, centre.z - h);
  const CVector3 c(centre.x + h, kGround, centre.z + h), d(centre.x - h, kGround, centre.z + h);
  DrawGroundLine(a, b, colour);
  DrawGroundLine(b, c, colour);
  DrawGroundLine(c, d, colour);
  DrawGroundLine(d, a, colour);
}

void CRoom::DrawBlockSquare(int column, int row, std::uint16_t colour, float size) {
  DrawCellSquareAt(BlockCentre(column, row), colour, size);
}

void CRoom::DrawCellSquare(int column, int row, std::uint16_t colour, float size) {
  DrawCellSquareAt(CellToWorld(column, row), colour, size);
}

void CRoom::DrawGrid(bool placement) {
  const float c = static_cast<float>(blockColumns), r = static_cast<float>(blockRows);
  const float width = 512.0f * c, depth = 512.0f * r;
  DrawGroundLine({0.0f, kGround, -(std::floor(r / 2.0f)) * 512.0f}, {width, kGround, -(std::floor(r / 2.0f)) * 512.0f},
                 kYellow);
  DrawGroundLine({std::floor(c / 2.0f) * 512.0f, kGround, 0.0f}, {std::floor(c / 2.0f) * 512.0f, kGround, -depth},
                 kYellow);
  for (int i = 0; i <= blockRows; ++i) {
    const float z = 256.0f - 512.0f * static_cast<float>(i);
    DrawGroundLine({-256.0f, kGround, z}, {width - 256.0f, kGround, z}, 0xE71C);
    if (placement && i < blockRows) {
      DrawGroundLine({-256.0f, kGround, 86.0f - 512.0f * i}, {width - 256.0f, kGround, 86.0f - 512.0f * i}, 0xA514);
      DrawGroundLine({-256.0f, kGround, -84.0f - 512.0f * i}, {width - 256.0f, kGround, -84.0f - 512.0f * i}, 0xA514);
    }
  }
  for (int j = 0; j <= blockColumns; ++j) {
    const float x = -256.0f + 512.0f * static_cast<float>(j);
    DrawGroundLine({x, kGround, 256.0f}, {x, kGround, 256.0f - depth}, 0xE71C);
    if (placement && j < blockColumns) {
      DrawGroundLine({-86.0f + 512.0f * j, kGround, 256.0f}, {-86.0f + 512.0f * j, kGround, 256.0f - depth}, 0xA514);
      DrawGroundLine({84.0f + 512.0f * j, kGround, 256.0f}, {84.0f + 512.0f * j, kGround, 256.0f - depth}, 0xA514);
    }
  }
}

// ---- The passes ------------------------------------------------------------

namespace {

// The cells near enough to the camera target to be drawn.
struct NearTarget {
  int targetCellX = 0, targetCellY = 0;
  explicit NearTarget(const CRoom& room) { WorldToCell(room.targetX, room.targetZ, targetCellX, targetCellY); }
  bool operator()(int cellX, int cellY) const {
    return std::abs(cellX - targetCellX) < kCellWindow && std::abs(cellY - targetCellY) < kCellWindow;
  }
};

}  // namespace

void CRoom::DrawNodes3D() {
  const NearTarget near(*this);
  for (GraphNode* node = Quest().graphNodes; node; node = node->next) {
    if (!IsRoomNode(*this, node) || !near(node->cellX, node->cellY)) continue;
    if (node->kind == kNodeMachine) {
      CBankList& bank = CustomMeshBank();
      int index = bank.FindPath(node->name);
      if (index < 0) index = bank.FindName(CBankNames::BaseName(node->name));
      if (index >= 0) bank.Render(index, CellToWorld(node->cellX, node->cellY), Turn(node->rotation), camera);
      continue;
    }
    // Machines shown by a skeleton take their class from it; monsters from their name.
    node->SetupModel(node->kind == kNodeSkeleton);
    if (!node->model || node->model->BoneCount() == 0) continue;
    CVector3 at = CellToWorld(node->cellX, node->cellY);
    at.y = kGround + node->modelLift;
    const CVector3 kept = node->model->position, keptTurn = node->model->orientation;
    node->model->position = at;
    node->model->orientation = Turn(node->rotation);
    node->model->Draw(camera);
    node->model->position = kept;
    node->model->orientation = keptTurn;
  }
}

void CRoom::DrawPlacedMonster(RoomMonster& monster) {
  const int classIndex = g_monsterClassTable.Find(FieldText(monster.name));
  if (classIndex < 0) return;
  if (classIndex != monster.builtForClass || !monster.model) {
    const CMonsterClass& monsterClass = g_monsterClassTable.Row(static_cast<std::size_t>(classIndex));
    PosedModel posed = BuildPosedModel(ClassSkeletonName(monsterClass), &monsterClass, 0.0f);
    if (!posed.model) return;
    monster.footLift = posed.footLift;
    monster.model = std::move(posed.model);
    monster.builtForClass = classIndex;
  }
  if (!monster.model || monster.model->BoneCount() == 0) return;
  CVector3 at = CellToWorld(monster.cellX, monster.cellY);
  at.y = kGround + monster.footLift;
  monster.model->position = at;
  monster.model->orientation = Turn(monster.rotation);
  monster.model->Draw(camera);
}

void CRoom::DrawMonsters3D() {
  const NearTarget near(*this);
  for (RoomMonster* monster = monsters; monster; monster = monster->next) {
    if (near(monster->cellX, monster->cellY)) DrawPlacedMonster(*monster);
  }
}

void CRoom::DrawTraps3D() {
  const NearTarget near(*this);
  for (const RoomTrap* trap = traps; trap; trap = trap->next) {
    if (!near(trap->cellX, trap->cellY)) continue;
    const GenericDef* def = FindGenericDef(trap->type);
    if (!def || !def->mesh) continue;
    GenericMeshBank().RenderByName(def->mesh->c_str(), CellToWorld(trap->cellX, trap->cellY), Turn(trap->rotation),
                                   camera);
  }
}

void CRoom::DrawLinkArch(const CVector3& p, float fromHeight, const CVector3& q, float toHeight) {
  if (!g_3DEngine) return;
  CVector3 d = p - q;
  d.y = 0.0f;
  // Two ends on one cell have no direction: the arch stands straight up.
  if (d.Normalize()) d = d * 64.0f;
  else d = CVector3(0.0f, 0.0f, 0.0f);
  const CVector3 a(p.x - d.x, fromHeight + 128.0f, p.z - d.z);
  const CVector3 b(q.x + d.x, toHeight + 128.0f, q.z + d.z);
  const CVector3 aTop(a.x, a.y + 768.0f, a.z), bTop(b.x, b.y + 768.0f, b.z);
  const CColor yellow = CColor::FromRGBA(255, 255, 0, 128), red = CColor::FromRGBA(255, 0, 0, 128);
  const CColor mid1 = CColor::FromRGBA(255, 170, 0, 128), mid2 = CColor::FromRGBA(255, 85, 0, 128);
  const CMatrix m = CameraMatrix();
  g_3DEngine->DrawShadedLine3D(m, a, aTop, yellow, mid1);
  g_3DEngine->DrawShadedLine3D(m, aTop, bTop, mid1, mid2);
  g_3DEngine->DrawShadedLine3D(m, bTop, b, mid2, red);
  DrawArrowHead3D(m, b);
  DrawLinkStart3D(m, a);
}

namespace {

void SubmitShape(const CMatrix& m, CRoom::LinkShape& shape, int vertexCount, int faceCount) {
  CVertex* v = g_3DEngine->TransformVertices(&m, shape.vertices.data(), vertexCount, 0);
  if (v) g_3DEngine->AddFaces(v, shape.faces.data(), faceCount, vertexCount);
}

}  // namespace

void CRoom::DrawArrowHead3D(const CMatrix& m, const CVector3& tip) {
  if (!g_3DEngine) return;
  LinkShape& shape = linkShapes.emplace_back();
  CMeshVertex* v = shape.vertices.data();
  const float base = tip.y + 48.0f;
  const float corners[4][2] = {{-24, -24}, {24, -24}, {24, 24}, {-24, 24}};
  v[0].x = tip.x, v[0].y = tip.y, v[0].z = tip.z;
  for (int i = 0; i < 4; ++i) v[i + 1].x = tip.x + corners[i][0], v[i + 1].y = base, v[i + 1].z = tip.z + corners[i][1];
  for (int i = 0; i < 5; ++i) v[i].color = kArrowColour;
  int n = 0;
  for (const auto& f : kArrowFaces) {
    shape.faces[n++].InitTriangleColour(kFaceTranslucent | kFaceNoFade, kArrowColour, f[0], f[1], f[2]);
    shape.faces[n++].InitTriangleColour(kFaceTranslucent | kFaceNoFade, kArrowColour, f[2], f[1], f[0]);
  }
  SubmitShape(m, shape, 5, n);
}

void CRoom::DrawLinkStart3D(const CMatrix& m, const CVector3& at) {
  if (!g_3DEngine) return;
  LinkShape& shape = linkShapes.emplace_back();
  CMeshVertex* v = shape.vertices.data();
  const float s = 16.0f;
  const float xz[4][2] = {{-s, -s}, {s, -s}, {s, s}, {-s, s}};
  for (int i = 0; i < 8; ++i) {
    v[i].x = at.x + xz[i & 3][0];
    v[i].y = at.y + (i < 4 ? -s : s);
    v[i].z = at.z + xz[i & 3][1];
    v[i].color = kStartColour;
  }
  int n = 0;
  for (const auto& f : kBoxFaces) {
    shape.faces[n].InitQuad(kFaceTranslucent | kFaceNoFade, 0, f[0], f[1], f[2], f[3]);
    shape.faces[n++].color = kStartColour;
    shape.faces[n].InitQuad(kFaceTranslucent | kFaceNoFade, 0, f[3], f[2], f[1], f[0]);
    shape.faces[n++].color = kStartColour;
  }
  SubmitShape(m, shape, 8, n);
}

void CRoom::DrawLinks3D() {
  for (GraphNode* node = Quest().graphNodes; node; node = node->next) {
    if (!node->owner || (node->kind != kNodeMachine && node->kind != kNodeSkeleton) || !IsNodeInRoom(node)) continue;
    for (int slot = 0; slot < ElementInstance::kLinkSlots; ++slot) {
      const GraphNode* target = FindLinkTarget(node, slot);
      if (!target) continue;
      const float heightFrom = NodeHeight(*node);
      const float heightTo = NodeHeight(*target);
      DrawLinkArch(CellToWorld(node->cellX, node->cellY), heightFrom, CellToWorld(target->cellX, target->cellY),
                   heightTo);
    }
  }
  for (const RoomTrap* trap = traps; trap; trap = trap->next) {
    if (!trap->target) continue;
    DrawLinkArch(CellToWorld(trap->cellX, trap->cellY), kNodeHeight,
                 CellToWorld(trap->target->cellX, trap->target->cellY), kNodeHeight);
  }
}

void CRoom::DrawFootprints() {
  const NearTarget near(*this);
  for (const RoomTrap* trap = traps; trap; trap = trap->next) {
    if (!near(trap->cellX, trap->cellY)) continue;
    const GenericDef* def = FindGenericDef(trap->type);
    const CMesh* mesh = def ? GenericDefMesh(*def) : nullptr;
    if (!mesh || !mesh->HasFootprint()) continue;
    for (int y = 0; y < mesh->FootprintRows(); ++y) {
      for (int x = 0; x < mesh->FootprintColumns(); ++x) {
        const std::uint8_t value = mesh->FootprintCell(x, y);
        if (value == 0) continue;
        const CellPoint p = RotateCell(trap->rotation, x, y);
        DrawCellSquare(trap->cellX + p.x - 1, trap->cellY + p.y - 1, FootprintColour(value), kCellSize);
      }
    }
    DrawCellSquare(trap->cellX, trap->cellY, kYellow, kCellSize);
  }
  for (const GraphNode* node = Quest().graphNodes; node; node = node->next) {
    if (IsRoomNode(*this, node) && near(node->cellX, node->cellY))
      DrawCellSquare(node->cellX, node->cellY, kGreen, kCellSize);
  }
  for (const RoomMonster* monster = monsters; monster; monster = monster->next) {
    if (near(monster->cellX, monster->cellY)) DrawCellSquare(monster->cellX, monster->cellY, kYellow, kCellSize);
  }
}

void CRoom::DrawLabels3D(platform::video::DrawContext* dc) {
  if (!dc || !g_3DEngine) return;
  const NearTarget near(*this);
  const CMatrix m = CameraMatrix();
  for (const GraphNode* node = Quest().graphNodes; node; node = node->next) {
    if (!IsRoomNode(*this, node) || !near(node->cellX, node->cellY)) continue;
    const std::string text(node->keys ? node->keys->name : node->name);
    CVector3 p = CellToWorld(node->cellX, node->cellY);
    p.y = NodeHeight(*node);
    int screen[2];
    if (!g_3DEngine->ProjectPoint(&m, &p, screen)) continue;
    const platform::video::TextSize size = platform::video::GetTextExtent(*dc, text);
    platform::video::TextOut(*dc, screen[0] - size.width / 2, screen[1] - 2 - size.height, text);
  }
}

void CRoom::Render3D(Cdd* cdd) {
  if (!g_3DEngine) return;
  C3DEngine& engine = *g_3DEngine;
  // 1. Camera, and the projection the picks invert.
  UpdateCamera();
  SetProjection(engine.FocalX(), engine.FocalY(), static_cast<float>(engine.CentreX()),
                static_cast<float>(engine.CentreY()));
  const bool placement = IsPlacementTool();
  const bool collisionTool = tool >= kToolSetCollision && tool <= kToolClearCollision;

  // 2. The ground grid.
  engine.BeginFrame(1);
  DrawGrid(placement);
  engine.FlushBuckets();
  engine.EndFrame();

  // 3. Blocks around the target.
  engine.BeginFrame(1);
  const NearTarget near(*this);
  const int centreX = near.targetCellX / kCellsPerBlock, centreY = near.targetCellY / kCellsPerBlock;
  const int firstX = std::max(0, centreX - kBlockWindow), lastX = std::min(kRoomBlocks - 1, centreX + kBlockWindow);
  const int firstY = std::max(0, centreY - kBlockWindow), lastY = std::min(kRoomBlocks - 1, centreY + kBlockWindow);
  auto leftOut = [&](int column, int row) {
    const bool atCursor = column == blockX && row == blockY;
    const bool atStart = column == dragStartX && row == dragStartY;
    if (tool == kToolMoveBlock && buttonDown) return atCursor || atStart;
    if (tool == kToolCopyBlock && buttonDown) return atCursor;
    if (tool == kToolSetBlock) return atCursor;
    return false;
  };
  for (int row = firstY; row <= lastY; ++row) {
    for (int column = firstX; column <= lastX; ++column) {
      const RoomBlock& block = Block(column, row);
      if (!block.HasBlock() || leftOut(column, row)) continue;
      blockSet.RenderByName(block.GetName(), BlockCentre(column, row), Turn(block.rotation), camera);
    }
  }

  // 4. What stands in the room.
  DrawNodes3D();
  DrawTraps3D();
  DrawMonsters3D();

  // 5. Previews.
  if ((tool == kToolMoveBlock || tool == kToolCopyBlock) && buttonDown) {
    const RoomBlock& start = Block(dragStartX, dragStartY);
    if (start.HasBlock())
      blockSet.RenderByName(start.GetName(), BlockCentre(blockX, blockY), Turn(start.rotation), camera);
  }
  if (tool == kToolAddTrap) {
    const GenericDef* def = FindGenericDef(selectedTrapType);
    if (def && def->mesh) GenericMeshBank().RenderByName(def->mesh->c_str(), CellToWorld(cellX, cellY), Turn(0), camera);
  }
  if (tool == kToolSetBlock && copyBlock.HasBlock())
    blockSet.RenderByName(copyBlock.GetName(), BlockCentre(blockX, blockY), Turn(copyBlock.rotation), camera);
  if (tool == kToolAddMonster && monsterToAdd[0] != '\0') {
    previewMonster.cellX = cellX;
    previewMonster.cellY = cellY;
    DrawPlacedMonster(previewMonster);
  }

  // 6.
  engine.FlushBuckets();
  engine.EndFrame();
  engine.BeginFrame(1);

  // 7. Collision overlay.
  if (collisionTool || placement) {
    for (int row = firstY; row <= lastY; ++row) {
      for (int column = firstX; column <= lastX; ++column) {
        const RoomBlock& block = Block(column, row);
        const CMesh* mesh = block.HasBlock() ? blockSet.GetMesh(block.fileName) : nullptr;
        if (mesh && mesh->HasFootprint()) {
          for (int y = 0; y < mesh->FootprintRows(); ++y) {
            for (int x = 0; x < mesh->FootprintColumns(); ++x) {
              const std::uint8_t value = mesh->FootprintCell(x, y);
              if (value == 0) continue;
              const CellPoint p = RotateCell(block.rotation, x, y);
              DrawCellSquare(column * kCellsPerBlock + p.x, row * kCellsPerBlock + p.y, FootprintColour(value),
                             kCellSize);
            }
          }
        }
        for (int y = 0; y < kCellsPerBlock; ++y) {
          for (int x = 0; x < kCellsPerBlock; ++x) {
            const int cx = column * kCellsPerBlock + x, cy = row * kCellsPerBlock + y;
            const std::uint16_t value = Collision(cx, cy);
            if (value == kCollisionBlocked) DrawCellSquare(cx, cy, kGreen, kCellSize);
            else if (value == kCollisionLow) DrawCellSquare(cx, cy, kYellow, kCellSize);
          }
        }
      }
    }
  }

  // 8. and 9.
  DrawLinks3D();
  if ((tool >= kToolMoveTrap && tool <= kToolDeleteTrap) || tool == kToolAddLink || tool == kToolDeleteLink ||
      (tool >= kToolMove && tool <= kToolDelete))
    DrawFootprints();

  // 10. Cursor.
  engine.FlushBuckets();
  ReleaseLinkShapes();
  engine.EndFrame();
  engine.BeginFrame(1);
  if (tool >= kToolMoveBlock && tool <= kToolSetBlock) {
    DrawBlockSquare(blockX, blockY, kWhite, kBlockSize);
    if ((tool == kToolMoveBlock || tool == kToolCopyBlock) && buttonDown)
      DrawBlockSquare(dragStartX, dragStartY, kOrange, kBlockSize);
  } else if (tool >= kToolDraw && tool <= kToolErase) {
    DrawBlockSquare(blockX, blockY, kWhite, kBlockSize);
  } else if (placement) {
    DrawCellSquare(cellX, cellY, kWhite, kCellSize);
  }
  engine.FlushBuckets();
  engine.EndFrame();

  // 11. Texts.
  if (!cdd) return;
  platform::video::DrawContext* dc = cdd->GetDC();
  if (!dc) return;
  char caption[160];
  if (placement) std::snprintf(caption, sizeof caption, "Room : %.79s (%d,%d)", name, cellX, cellY);
  else std::snprintf(caption, sizeof caption, "Room : %.79s", name);
  platform::video::SetTextColor(255, 255, 255);
  platform::video::TextOut(*dc, 5, 5, caption);
  DrawLabels3D(dc);
  cdd->ReleaseDC(dc);
}
