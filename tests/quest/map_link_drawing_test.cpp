// World-map links: the sides chosen for each placement, the spreading of
// links sharing a side, the orthogonal paths and the arrow heads, as handed
// to the renderer.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "quest/graph_link.h"
#include "quest/machine.h"
#include "quest/machine_param.h"
#include "quest/map_link_path.h"
#include "quest/world_graph.h"
#include "quest_fixture.h"
#include "render/engine_3d.h"
#include "render/recording_renderer.h"

namespace {

namespace pv = platform::video;
using rendertest::DrawCall;

class MapLinks : public questtest::QuestTest {
 protected:
  std::vector<DrawCall> Of(DrawCall::Kind kind) const {
    std::vector<DrawCall> out;
    for (const DrawCall& c : renderer.calls) {
      if (c.kind == kind) out.push_back(c);
    }
    return out;
  }
  static std::vector<MapPoint> LinePath(const std::vector<DrawCall>& lines) {
    std::vector<MapPoint> path;
    for (const DrawCall& c : lines) {
      if (path.empty()) path.push_back({c.v[0].sx, c.v[0].sy});
      EXPECT_EQ(path.back(), (MapPoint{c.v[0].sx, c.v[0].sy})) << "segments must join";
      path.push_back({c.v[1].sx, c.v[1].sy});
    }
    return path;
  }
  static GraphNode* Node(int left, int top, int right, int bottom) {
    GraphNode* n = NewGraphNode(Quest().graphNodes);
    n->left = left;
    n->top = top;
    n->right = right;
    n->bottom = bottom;
    return n;
  }

  rendertest::RecordingRenderer renderer;
  rendertest::InstalledEngine engine{renderer};
};

}  // namespace

TEST(MapLinkSides, ChosenForEachRelativePlacement) {
  const pv::Rect f{100, 100, 148, 148};
  struct Case {
    pv::Rect to;
    int from, toSide;
  } cases[] = {
      {{200, 0, 248, 48}, 1, 2},      // right, above
      {{200, 200, 248, 248}, 1, 0},   // right, below
      {{200, 120, 248, 168}, 1, 3},   // right, level
      {{0, 0, 48, 48}, 3, 2},         // left, above
      {{0, 200, 48, 248}, 3, 0},      // left, below
      {{0, 110, 48, 158}, 3, 1},      // left, level
      {{110, 0, 158, 48}, 0, 2},      // straight above
      {{110, 200, 158, 248}, 2, 0},   // straight below
      {{120, 120, 168, 168}, -1, -1}, // overlapping
      {{148, 148, 200, 200}, -1, -1}, // touching corners overlap
  };
  for (const Case& c : cases) {
    const LinkSides s = ChooseLinkSides(f, c.to);
    EXPECT_EQ(s.from, c.from) << c.to.left << "," << c.to.top;
    EXPECT_EQ(s.to, c.toSide) << c.to.left << "," << c.to.top;
  }
}

TEST(MapLinkSides, SpreadingAlternatesAroundTheMiddle) {
  const int expected[] = {0, 5, -5, 10, -10, 15, -15};
  for (int n = 0; n < 7; ++n) EXPECT_EQ(LinkSpreadOffset(n), expected[n]) << n;
  const pv::Rect r{0, 0, 100, 60};
  EXPECT_EQ(LinkEndPoint(r, 0, 5), (MapPoint{55, 0}));
  EXPECT_EQ(LinkEndPoint(r, 1, -5), (MapPoint{100, 25}));
  EXPECT_EQ(LinkEndPoint(r, 2, 0), (MapPoint{50, 80}));  // below the label
  EXPECT_EQ(LinkEndPoint(r, 3, 10), (MapPoint{0, 40}));
  EXPECT_EQ(LinkEndPoint(r, -1, 10), (MapPoint{50, 30}));
}

TEST_F(MapLinks, ThreeLinksLeavingOneSideStartAtZeroFiveAndMinusFive) {
  GraphNode* from = Node(100, 100, 148, 148);
  GraphNode* to1 = Node(300, 110, 348, 158);
  GraphNode* to2 = Node(300, 110, 348, 158);
  GraphNode* to3 = Node(300, 110, 348, 158);
  for (GraphNode* to : {to1, to2, to3}) AddGraphLink(from, to, nullptr, "l");
  DrawGraphLinks(0.0f, pv::Rect{0, 0, 640, 480});
  EXPECT_EQ(from->linkCounts[1], 3);
  EXPECT_EQ(from->linkCounts[0] + from->linkCounts[2] + from->linkCounts[3], 0);
  for (GraphNode* to : {to1, to2, to3}) EXPECT_EQ(to->linkCounts[3], 1);
  const std::vector<DrawCall> squares = Of(DrawCall::Quad);
  ASSERT_EQ(squares.size(), 3u);
  const int expectedY[] = {124, 129, 119};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(squares[i].v[0].sx, 146);
    EXPECT_EQ(squares[i].v[0].sy, expectedY[i] - 2);
    EXPECT_EQ(squares[i].v[2].sy, expectedY[i] + 2);
  }
  EXPECT_EQ(renderer.events.front(), "begin 0");
  EXPECT_EQ(renderer.events.back(), "end");
}

TEST_F(MapLinks, OrthogonalPathsRelativeToTheView) {
  struct Case {
    pv::Rect to;
    std::vector<MapPoint> path;
  } cases[] = {
      // Right and above: across, then up to the bottom of the target (below its label).
      {{300, 0, 348, 48}, {{138, 114}, {314, 114}, {314, 58}}},
      // Right, level: across, down the middle, across.
      {{300, 140, 348, 188}, {{138, 114}, {214, 114}, {214, 154}, {290, 154}}},
      // Straight below: down, across the middle, down.
      {{130, 300, 178, 348}, {{114, 158}, {114, 224}, {144, 224}, {144, 290}}},
      // Level and aligned: one segment.
      {{300, 100, 348, 148}, {{138, 114}, {290, 114}}},
  };
  for (const Case& c : cases) {
    renderer.calls.clear();
    GraphNode f{};
    f.left = 100, f.top = 100, f.right = 148, f.bottom = 148;
    GraphNode t{};
    t.left = c.to.left, t.top = c.to.top, t.right = c.to.right, t.bottom = c.to.bottom;
    GraphLink link;
    link.from = &f;
    link.to = &t;
    link.Draw(0.0f, pv::Rect{10, 10, 650, 490});
    const std::vector<DrawCall> lines = Of(DrawCall::Line);
    EXPECT_EQ(LinePath(lines), c.path) << c.to.left << "," << c.to.top;
    for (const DrawCall& l : lines) {
      EXPECT_EQ(l.flags, 4);
      EXPECT_EQ(l.color, CColor::FromRGBA(255, 255, 255, 255));
    }
  }
}

TEST_F(MapLinks, ArrowHeadPointsIntoTheTargetSide) {
  struct Case {
    pv::Rect to;
    std::vector<MapPoint> triangle;
  } cases[] = {
      {{300, 0, 348, 48}, {{323, 68}, {328, 76}, {319, 76}}},       // to the bottom
      {{300, 300, 348, 348}, {{323, 300}, {319, 292}, {328, 292}}},  // to the top
      {{300, 110, 348, 158}, {{300, 133}, {292, 138}, {292, 129}}},  // to the left
      {{0, 110, 48, 158}, {{48, 133}, {56, 129}, {56, 138}}},        // to the right
  };
  for (const Case& c : cases) {
    renderer.calls.clear();
    GraphNode f{}, t{};
    f.left = 100, f.top = 100, f.right = 148, f.bottom = 148;
    t.left = c.to.left, t.top = c.to.top, t.right = c.to.right, t.bottom = c.to.bottom;
    GraphLink link;
    link.from = &f;
    link.to = &t;
    link.Draw(0.0f, pv::Rect{0, 0, 640, 480});
    const std::vector<DrawCall> tris = Of(DrawCall::Triangle);
    ASSERT_EQ(tris.size(), 1u) << c.to.left << "," << c.to.top;
    std::vector<MapPoint> got;
    for (const CVertex& v : tris[0].v) got.push_back({v.sx, v.sy});
    EXPECT_EQ(got, c.triangle) << c.to.left << "," << c.to.top;
  }
}

TEST_F(MapLinks, OverlappingNodesAreJoinedCentreToCentreWithoutArrow) {
  GraphNode f{}, t{};
  f.left = 100, f.top = 100, f.right = 148, f.bottom = 148;
  t.left = 120, t.top = 120, t.right = 200, t.bottom = 200;
  GraphLink link;
  link.from = &f;
  link.to = &t;
  link.Draw(0.0f, pv::Rect{0, 0, 640, 480});
  EXPECT_EQ(LinePath(Of(DrawCall::Line)), (std::vector<MapPoint>{{124, 124}, {142, 124}, {142, 160}, {160, 160}}));
  EXPECT_TRUE(Of(DrawCall::Triangle).empty());
  for (int i = 0; i < 4; ++i) EXPECT_EQ(f.linkCounts[i] + t.linkCounts[i], 0) << i;
}

TEST_F(MapLinks, ColourFollowsTheOwnersDirection) {
  Define(
      "STATE_MACHINE { KEY { box }"
      "  PARAM { KEY { 1 } TYPE { OBJECT } IN {} }"
      "  PARAM { KEY { 2 } TYPE { OBJECT } OUT {} } }");
  CMachine* m = CreateMachine(Quest().machines, kMachineStateMachine, "box", "box1");
  ASSERT_NE(m, nullptr);
  struct Case {
    CMachineParam* owner;
    CColor colour;
  } cases[] = {
      {nullptr, CColor::FromRGBA(255, 255, 255, 255)},
      {m->FindParam(1), CColor::FromRGBA(255, 180, 180, 255)},
      {m->FindParam(2), CColor::FromRGBA(180, 255, 180, 255)},
  };
  for (const Case& c : cases) {
    renderer.calls.clear();
    GraphNode f{}, t{};
    f.left = 100, f.top = 100, f.right = 148, f.bottom = 148;
    t.left = 300, t.top = 0, t.right = 348, t.bottom = 48;
    GraphLink link;
    link.from = &f;
    link.to = &t;
    link.owner = c.owner;
    link.Draw(0.0f, pv::Rect{0, 0, 640, 480});
    ASSERT_FALSE(renderer.calls.empty());
    for (const DrawCall& call : renderer.calls) {
      if (call.kind != DrawCall::Line) {
        EXPECT_EQ(call.color, c.colour);
      }
      EXPECT_EQ(call.v[0].color, c.colour);
    }
  }
}
