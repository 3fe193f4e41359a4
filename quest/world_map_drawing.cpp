#include "quest/world_map_drawing.h"

#include <cstdio>

#include "platform/video/text_functions.h"
#include "quest/element_instance.h"
#include "quest/graph_link.h"
#include "quest/graph_node.h"
#include "quest/map_link_path.h"
#include "quest/quest_lists.h"
#include "quest/room.h"
#include "quest/room_map_box.h"
#include "quest/thumbnail_cache.h"
#include "render/cdd.h"
#include "render/engine_3d.h"

namespace pv = platform::video;

namespace {

constexpr int kGridStep = 100;

// The first grid line at or after a coordinate's truncated hundred.
int FirstGridLine(int from) { return from / kGridStep * kGridStep; }

void DrawGrid(C3DEngine& engine, const pv::Rect& view) {
  const CColor grey = CColor::FromRGBA(150, 150, 150, 255);
  engine.BeginFrame(1);
  for (int x = FirstGridLine(view.left); x < view.right; x += kGridStep)
    engine.DrawLine2D(x - view.left, 0, x - view.left, view.bottom - view.top, grey);
  for (int y = FirstGridLine(view.top); y < view.bottom; y += kGridStep)
    engine.DrawLine2D(0, y - view.top, view.right - view.left, y - view.top, grey);
  engine.FlushBuckets();
  engine.EndFrame();
}

void DrawGridLabels(pv::DrawContext& dc, const pv::Rect& view) {
  char text[16];
  for (int x = FirstGridLine(view.left); x < view.right; x += kGridStep) {
    std::snprintf(text, sizeof text, "%d", x);
    pv::TextOut(dc, x - view.left + 2, 2, text);
  }
  for (int y = FirstGridLine(view.top); y < view.bottom; y += kGridStep) {
    std::snprintf(text, sizeof text, "%d", y);
    const pv::TextSize size = pv::GetTextExtent(dc, text);
    pv::TextOut(dc, 0, y - view.top - size.height - 2, text);
  }
}

// The links of the rooms' machines, from each node a room holds to the
// target of each of its link slots, in light yellow.
void DrawRoomLinks(const pv::Rect& view) {
  const CColor yellow = CColor::FromRGBA(255, 255, 180, 255);
  for (CRoom* room = Quest().rooms; room; room = room->next) {
    for (GraphNode* node = Quest().graphNodes; node; node = node->next) {
      if (!room->IsNodeInRoom(node)) continue;
      for (int slot = 0; slot < ElementInstance::kLinkSlots; ++slot) {
        GraphNode* target = room->ResolveLink(node, slot);
        if (!target) continue;
        DrawMapLinkPath({node->left, node->top, node->right, node->bottom}, node->linkCounts,
                        {target->left, target->top, target->right, target->bottom}, target->linkCounts, yellow,
                        view);
      }
    }
  }
}

}  // namespace

void DrawWorldMap(Cdd* cdd, const WorldMapFrame& frame) {
  if (!g_3DEngine) return;
  C3DEngine& engine = *g_3DEngine;
  const pv::Rect& visible = frame.visible;
  const pv::Rect& view = frame.view;

  engine.FillRect(visible.left, visible.top, visible.right, visible.bottom, CColor(128, 128, 128));
  DrawGrid(engine, view);

  g_thumbnailCache.BeginFrame(cdd, visible.Width(), visible.Height());
  for (GraphNode* n = Quest().graphNodes; n; n = n->next) {
    n->Draw(frame.elapsed, view);
    for (int& count : n->linkCounts) count = 0;
  }

  engine.SetViewportRect(visible.left, visible.top, visible.right, visible.bottom);
  engine.BeginFrame(0);
  if (frame.bandShown) {
    const pv::Rect& b = frame.band;
    engine.DrawRect2D(b.left - view.left, b.top - view.top, b.right - view.left, b.bottom - view.top,
                      CColor::FromRGBA(255, 180, 180, 255));
  }
  engine.FlushBuckets();
  engine.EndFrame();

  DrawGraphLinks(frame.elapsed, view);

  engine.SetViewportRect(visible.left, visible.top, visible.right, visible.bottom);
  engine.BeginFrame(0);
  DrawRoomLinks(view);
  engine.FlushBuckets();
  engine.EndFrame();

  engine.BeginFrame(0);
  DrawRoomBoxes(Quest().rooms, view.left, view.top);
  engine.FlushBuckets();
  engine.EndFrame();

  if (!cdd) return;
  pv::DrawContext* dc = cdd->GetDC();
  if (!dc) return;
  pv::SetTextColor(255, 255, 255);
  for (const GraphNode* n = Quest().graphNodes; n; n = n->next) n->DrawLabel(dc, view);
  for (const CRoom* r = Quest().rooms; r; r = r->next) r->DrawMapLabel(dc, view);
  pv::SetTextColor(160, 160, 160);
  DrawGridLabels(*dc, view);
  pv::SetTextColor(255, 255, 255);
  cdd->ReleaseDC(dc);
}
