// Links of the world map, drawn over the nodes' rectangles.
#include "quest/graph_link.h"
#include "quest/graph_node.h"
#include "quest/machine_param.h"
#include "quest/map_link_path.h"
#include "quest/quest_lists.h"
#include "render/engine_3d.h"

namespace pv = platform::video;

namespace {

pv::Rect NodeRect(const GraphNode& n) { return {n.left, n.top, n.right, n.bottom}; }

}  // namespace

void GraphLink::Draw(float /*elapsed*/, const pv::Rect& view) {
  if (!from || !to) return;
  CColor colour = CColor::FromRGBA(255, 255, 255, 255);  // a monster's gift
  if (owner) {
    colour = (owner->Flags() & kParamFlagIn) != 0 ? CColor::FromRGBA(255, 180, 180, 255)
                                                  : CColor::FromRGBA(180, 255, 180, 255);
  }
  DrawMapLinkPath(NodeRect(*from), from->linkCounts, NodeRect(*to), to->linkCounts, colour, view);
}

void DrawGraphLinks(float elapsed, const pv::Rect& view) {
  if (!g_3DEngine) return;
  g_3DEngine->SetViewportRect(0, 0, view.Width(), view.Height());
  g_3DEngine->BeginFrame(0);
  for (GraphLink* l = Quest().graphLinks; l; l = l->next) l->Draw(elapsed, view);
  g_3DEngine->FlushBuckets();
  g_3DEngine->EndFrame();
}
