// One world-map frame as the renderer receives it: the grid from the
// truncated hundreds, the thumbnail column emptied, the links counted afresh
// every frame, and the rubber band.
#include "quest/world_map_drawing.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <vector>

#include "doc_fixture.h"
#include "quest/graph_node.h"
#include "quest/thumbnail_cache.h"
#include "quest/world_graph.h"
#include "render/engine_3d.h"
#include "render/recording_renderer.h"

namespace {

namespace pv = platform::video;
using rendertest::DrawCall;

class WorldMapDrawing : public questtest::DocTest {
 protected:
  WorldMapDrawing() {
    engine->SetViewportSize(640, 480);
  }
  ~WorldMapDrawing() override {
    g_thumbnailCache.Clear();
  }
  std::vector<DrawCall> LinesOf(CColor colour) const {
    std::vector<DrawCall> out;
    for (const DrawCall& c : renderer.calls)
      if (c.kind == DrawCall::Line && c.color == colour) out.push_back(c);
    return out;
  }
  static WorldMapFrame Frame(pv::Rect view) {
    WorldMapFrame f;
    f.visible = {0, 0, view.Width(), view.Height()};
    f.view = view;
    return f;
  }

  rendertest::RecordingRenderer renderer;
  rendertest::InstalledEngine engine{renderer};
};

}  // namespace

TEST_F(WorldMapDrawing, GridLinesStartAtTheTruncatedHundredEvenBelowZero) {
  DrawWorldMap(nullptr, Frame({-150, -30, 490, 450}));
  std::set<int> vertical, horizontal;
  for (const DrawCall& l : LinesOf(CColor::FromRGBA(150, 150, 150, 255))) {
    if (l.v[0].sx == l.v[1].sx) {
      vertical.insert(l.v[0].sx);
      EXPECT_EQ(l.v[0].sy, 0);
      EXPECT_EQ(l.v[1].sy, 480);
    } else {
      horizontal.insert(l.v[0].sy);
      EXPECT_EQ(l.v[1].sx, 640);
    }
  }
  // -100 to 400 (not -200: -150 / 100 truncates to -1); 0 to 400 down.
  EXPECT_EQ(vertical, (std::set<int>{50, 150, 250, 350, 450, 550}));
  EXPECT_EQ(horizontal, (std::set<int>{30, 130, 230, 330, 430}));
}

TEST_F(WorldMapDrawing, EveryFrameEmptiesTheThumbnailsAndCountsLinksAfresh) {
  SetField(g_thumbnailCache.entries[2].name, "stale");
  GraphNode* a = NewGraphNode(Quest().graphNodes);
  a->Set(kNodeObject, "a", 0, 0, nullptr);
  GraphNode* b = NewGraphNode(Quest().graphNodes);
  b->Set(kNodeObject, "b", 300, 0, nullptr);
  AddGraphLink(a, b, nullptr, "gift");
  a->linkCounts[1] = 7;  // left over from an earlier frame
  for (int frame = 0; frame < 2; ++frame) {
    renderer.calls.clear();
    DrawWorldMap(nullptr, Frame({0, 0, 640, 480}));
    for (const auto& e : g_thumbnailCache.entries) EXPECT_EQ(e.name[0], '\0');
    // One link, leaving a's right side in its middle and counted once there.
    EXPECT_EQ(a->linkCounts[1], 1) << frame;
    EXPECT_EQ(b->linkCounts[3], 1) << frame;
    bool fromMiddle = false;
    for (const DrawCall& l : LinesOf(CColor::FromRGBA(255, 255, 255, 255)))
      fromMiddle = fromMiddle || (l.flags == 4 && l.v[0].sx == 48 && l.v[0].sy == 24);
    EXPECT_TRUE(fromMiddle) << frame;
  }
}

TEST_F(WorldMapDrawing, TheRubberBandIsOutlinedInLightRedOnlyWhileShown) {
  WorldMapFrame f = Frame({100, 100, 740, 580});
  f.band = {150, 170, 250, 300};
  DrawWorldMap(nullptr, f);
  EXPECT_TRUE(LinesOf(CColor::FromRGBA(255, 180, 180, 255)).empty());
  f.bandShown = true;
  DrawWorldMap(nullptr, f);
  const std::vector<DrawCall> band = LinesOf(CColor::FromRGBA(255, 180, 180, 255));
  ASSERT_EQ(band.size(), 4u);
  EXPECT_EQ(band[0].v[0].sx, 50);
  EXPECT_EQ(band[0].v[0].sy, 70);
  EXPECT_EQ(band[1].v[1].sx, 150);
  EXPECT_EQ(band[1].v[1].sy, 200);
}
