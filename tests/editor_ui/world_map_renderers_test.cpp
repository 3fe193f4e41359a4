// The demo quest's map around the old guard drawn end to end by both
// renderers Kelvar picks from: the device renderer, and the software renderer
// of a display that cannot render at 16 bits in a window. Each picture against
// its reference, and the two against each other where they must agree: the
// skinned models' thumbnails and the links' colours.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <map>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "editor/display_objects.h"
#include "editor/map_edit_mode.h"
#include "editor/room_view.h"
#include "kelvar_fixture.h"
#include "map_reference_picture.h"
#include "platform/video/machine.h"
#include "quest/element_instance.h"
#include "quest/fixed_field.h"
#include "quest/graph_link.h"
#include "quest/graph_node.h"
#include "quest/machine_param.h"
#include "quest/map_link_path.h"
#include "quest/quest_lists.h"
#include "quest/room.h"
#include "quest/world_graph.h"
#include "render/cdd_renderer.h"
#include "render/engine_3d.h"
#include "render/renderer.h"
#include "tools/render_png/demo_scene.h"
#include "tools/render_png/png_writer.h"

namespace kelvartest {
namespace {

using namespace kelvar;

constexpr int kWidth = kMapPictureWidth;
constexpr int kHeight = kMapPictureHeight;

enum class Renderer { kDevice, kSoftware };

struct Rgb {
  int r = 0, g = 0, b = 0;
};

// A pixel that must show a link's colour: inside its start square or its
// arrow head, clear of the line itself.
struct LinkEnd {
  int x = 0, y = 0;
  Rgb colour;
  const char* what = "";
};

struct Picture {
  std::vector<std::uint8_t> rgb;
  std::vector<LinkEnd> linkEnds;
  std::vector<MapRect> modelBoxes;  // monster and skeleton nodes, in view
  Rgb At(int x, int y) const {
    const std::uint8_t* p = &rgb[(std::size_t(y) * kWidth + x) * 3];
    return {p[0], p[1], p[2]};
  }
};

bool Near(Rgb a, Rgb b, int tolerance) {
  return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

std::ostream& operator<<(std::ostream& out, Rgb c) { return out << "(" << c.r << ", " << c.g << ", " << c.b << ")"; }

bool InView(int x, int y) { return x >= 0 && y >= 0 && x < kWidth && y < kHeight; }

// The pixels of a link's start square and arrow head that must take its
// colour, replaying the spreading of links that share a side as the frame
// drew them: every node's counters start at 0, the quest's links in list
// order, then the rooms' links.
std::vector<LinkEnd> LinkEnds() {
  std::vector<LinkEnd> ends;
  std::map<const GraphNode*, std::array<int, 4>> counts;
  const auto add = [&](const GraphNode* from, const GraphNode* to, Rgb colour) {
    const platform::video::Rect f{from->left, from->top, from->right, from->bottom};
    const platform::video::Rect t{to->left, to->top, to->right, to->bottom};
    const LinkSides sides = ChooseLinkSides(f, t);
    std::array<int, 4>& fc = counts[from];
    std::array<int, 4>& tc = counts[to];
    const MapPoint p = LinkEndPoint(f, sides.from, sides.from >= 0 ? LinkSpreadOffset(fc[sides.from]) : 0);
    const MapPoint q = LinkEndPoint(t, sides.to, sides.to >= 0 ? LinkSpreadOffset(tc[sides.to]) : 0);
    if (sides.to >= 0) ++tc[sides.to];
    if (sides.from >= 0) ++fc[sides.from];
    // The square is [x - 2, x + 2) by [y - 2, y + 2); its line leaves along row y or column x.
    if (InView(p.x - 1, p.y - 1)) ends.push_back({p.x - 1, p.y - 1, colour, "start square"});
    // The line's first pixels past the square, away from the side it leaves.
    const MapPoint line[4] = {{p.x, p.y - 4}, {p.x + 4, p.y}, {p.x, p.y + 4}, {p.x - 5, p.y}};
    if (sides.from >= 0 && InView(line[sides.from].x, line[sides.from].y))
      ends.push_back({line[sides.from].x, line[sides.from].y, colour, "line"});
    // Inside the arrow head, beside the line that reaches its tip.
    const MapPoint head[4] = {{q.x - 2, q.y - 6}, {q.x + 6, q.y - 2}, {q.x - 2, q.y + 6}, {q.x - 6, q.y - 2}};
    if (sides.to >= 0 && InView(head[sides.to].x, head[sides.to].y))
      ends.push_back({head[sides.to].x, head[sides.to].y, colour, "arrow head"});
  };
  for (const GraphLink* l = Quest().graphLinks; l; l = l->next) {
    if (!l->from || !l->to) continue;
    add(l->from, l->to,
        !l->owner                               ? Rgb{255, 255, 255}
        : l->owner->Flags() & kParamFlagIn ? Rgb{255, 180, 180}
                                                : Rgb{180, 255, 180});
  }
  for (CRoom* room = Quest().rooms; room; room = room->next) {
    for (GraphNode* node = Quest().graphNodes; node; node = node->next) {
      if (!room->IsNodeInRoom(node)) continue;
      for (int slot = 0; slot < ElementInstance::kLinkSlots; ++slot)
        if (const GraphNode* target = room->ResolveLink(node, slot)) add(node, target, Rgb{255, 255, 180});
    }
  }
  return ends;
}

class WorldMapRenderers : public KelvarTest {
 protected:
  // Starts Kelvar on the demo with that renderer, draws one map frame around
  // the old guard and ends the program again.
  Picture DrawAroundTheOldGuard(Renderer renderer) {
    platform::video::Machine machine = platform::video::DefaultMachine();
    if (renderer == Renderer::kSoftware) {
      EXPECT_TRUE(platform::video::ApplyMachineSetting(machine, "no-16bit"));
    }
    platform::video::ScopedMachine scoped(machine);
    Picture picture;
    EXPECT_TRUE(StartOnDemoQuest());
    if (!Display().renderer || (Display().renderer->IsSoftware() != 0) != (renderer == Renderer::kSoftware)) {
      ADD_FAILURE() << "Kelvar did not pick the renderer asked for";
      Stop();
      return picture;
    }
    LayOut();
    Quest().mapView = MapRect{0, 0, kWidth, kHeight};
    TheMapEditMode().Render(nullptr);
    const std::vector<std::uint8_t> all = BackSurfaceRgb();
    const int width = RenderSurfaceRect().Width();
    if (width >= kWidth && all.size() >= std::size_t(width) * kHeight * 3) {
      for (int y = 0; y < kHeight; ++y) {
        const auto row = all.begin() + std::ptrdiff_t(y) * width * 3;
        picture.rgb.insert(picture.rgb.end(), row, row + kWidth * 3);
      }
    }
    picture.linkEnds = LinkEnds();
    for (const GraphNode* n = Quest().graphNodes; n; n = n->next) {
      const bool model = n->kind == kNodeMonster || n->kind == kNodeMonsterParam || n->kind == kNodeSkeleton;
      if (model && n->left >= 0 && n->top >= 0 && n->right < kWidth && n->bottom < kHeight)
        picture.modelBoxes.push_back({n->left, n->top, n->right, n->bottom});
    }
    if (const char* dump = std::getenv("MAP_PICTURE_DUMP")) {
      const std::string path = std::string(dump) + (renderer == Renderer::kSoftware ? "_soft.png" : "_device.png");
      WritePng(path, kWidth, kHeight, picture.rgb);
    }
    Stop();
    return picture;
  }

  // The guard's monster node where the demo keeps it, a machine node drawn
  // with the orc's skeleton beside it, and the guard's gift (the rusty key)
  // and the crypt door it opens brought near, so the links between them and
  // both ends of each are in view.
  void LayOut() {
    GraphNode* skeleton = NewGraphNode(Quest().graphNodes);
    skeleton->Set(kNodeSkeleton, "orc", 340, 100, nullptr);
    GraphNode* key = FirstNodeNamed("rustykey");
    GraphNode* door = nullptr;
    for (GraphNode* n = Quest().graphNodes; n; n = n->next)
      if (n->kind == kNodeMachine && n->keys && FieldText(n->keys->name) == "cryptdoor_0") door = n;
    ASSERT_NE(key, nullptr);
    ASSERT_NE(door, nullptr);
    key->x = 124;
    key->y = 330;
    door->x = 440;
    door->y = 250;
  }

  // As the fixture's own tear-down and set-up, between two runs in one test.
  void Stop() {
    if (app) app->ExitInstance();
    app.reset();
    Settle();
    ResetQuestState();
    kelvar::ResetEditModeState();
    C3DEngine::ResetState();
    CCddRenderer::ResetState();
  }
};

// The pixels of a node's box (inside its white frame) that show the model:
// those unlike the grey of the thumbnail cell's corner.
std::vector<bool> ModelPixels(const Picture& picture, const MapRect& box) {
  const Rgb background = picture.At(box.left + 2, box.top + 2);
  std::vector<bool> shown;
  for (int y = box.top + 2; y < box.bottom - 1; ++y)
    for (int x = box.left + 2; x < box.right - 1; ++x) shown.push_back(!Near(picture.At(x, y), background, 0));
  return shown;
}

TEST_F(WorldMapRenderers, EachRendererDrawsTheMapAroundTheOldGuardAsItsReference) {
  const struct {
    Renderer renderer;
    const char* reference;
  } cases[] = {
      {Renderer::kDevice, "demo_map_oldguard.png"},
      {Renderer::kSoftware, "demo_map_oldguard_soft.png"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reference);
    ExpectMapReferencePicture(DrawAroundTheOldGuard(c.renderer).rgb, c.reference);
  }
}

TEST_F(WorldMapRenderers, ThumbnailsAndLinkColoursAgreeBetweenTheRenderers) {
  const Picture device = DrawAroundTheOldGuard(Renderer::kDevice);
  const Picture soft = DrawAroundTheOldGuard(Renderer::kSoftware);
  ASSERT_EQ(device.rgb.size(), std::size_t(kWidth) * kHeight * 3);
  ASSERT_EQ(soft.rgb.size(), device.rgb.size());

  // The guard's node and the skeleton's: each shows its model in both, in the
  // same place (the two shade differently, so only the outline is compared).
  ASSERT_EQ(device.modelBoxes.size(), 2u);
  ASSERT_EQ(soft.modelBoxes.size(), device.modelBoxes.size());
  for (std::size_t i = 0; i < device.modelBoxes.size(); ++i) {
    const MapRect& box = device.modelBoxes[i];
    SCOPED_TRACE("the box at " + std::to_string(box.left) + ", " + std::to_string(box.top));
    const std::vector<bool> a = ModelPixels(device, box), b = ModelPixels(soft, box);
    int inA = 0, inB = 0, both = 0, either = 0;
    for (std::size_t k = 0; k < a.size(); ++k) {
      inA += a[k];
      inB += b[k];
      both += a[k] && b[k];
      either += a[k] || b[k];
    }
    EXPECT_GT(inA, 300) << "the device renderer shows the model";
    EXPECT_GT(inB, 300) << "the software renderer shows the model";
    EXPECT_GE(both * 10, either * 8) << "one outline: " << both << " pixels of " << either;
  }

  // The guard's white gift link, the light red one from the key to the door
  // and the light yellow room link into the door. Their lines take the link's
  // colour with both renderers. The start squares and arrow heads are flat
  // faces without a texture or shading, which the software renderer fills in
  // black by its own rule; the device fills them in the link's colour.
  ASSERT_EQ(soft.linkEnds.size(), device.linkEnds.size());
  int squares = 0, heads = 0, lines = 0;
  for (const LinkEnd& end : device.linkEnds) {
    SCOPED_TRACE(std::string(end.what) + " at " + std::to_string(end.x) + ", " + std::to_string(end.y));
    const bool line = std::string_view(end.what) == "line";
    // 5 bits of red and blue, 6 of green.
    EXPECT_PRED3(Near, device.At(end.x, end.y), end.colour, 8) << device.At(end.x, end.y);
    const Rgb softColour = line ? end.colour : Rgb{0, 0, 0};
    EXPECT_PRED3(Near, soft.At(end.x, end.y), softColour, 8) << soft.At(end.x, end.y);
    squares += std::string_view(end.what) == "start square";
    heads += std::string_view(end.what) == "arrow head";
    lines += line;
  }
  EXPECT_GE(lines, 2);
  EXPECT_GE(squares, 2);
  EXPECT_GE(heads, 3);
}

}  // namespace
}  // namespace kelvartest
