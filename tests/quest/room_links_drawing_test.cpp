// What the room view draws over the room: links between machines and between
// traps (arch, arrow head, start box), the footprint squares, the node labels
// and the caption. Pictures go through the whole display path (room, engine,
// renderer, display device, emulated 3D device); the rest is checked by what
// the engine hands a recording renderer and what the text functions get.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "doc_fixture.h"
#include "platform/video/recorder.h"
#include "platform/video/surface.h"
#include "quest/element_instance.h"
#include "quest/fixed_field.h"
#include "quest/graph_node.h"
#include "quest/machine.h"
#include "quest/room.h"
#include "render/engine_3d.h"
#include "render/recording_renderer.h"
#include "support/reference_image.h"
#include "tools/render_png/demo_scene.h"
#include "tools/render_png/png_writer.h"

namespace {

namespace pv = platform::video;
using questtest::AddLampNode;
using questtest::AddRoom;
using questtest::FootprintMesh;
using rendertest::DrawCall;

constexpr int kWidth = 320;
constexpr int kHeight = 240;
// Differences the two builds' rounding may leave: a channel within 12, and
// at most 1 pixel in 200 beyond it.
constexpr int kChannelTolerance = 12;
constexpr double kOutlierShare = 0.005;

constexpr CColor kArrow = CColor::FromRGBA(255, 100, 50, 128);
constexpr CColor kStart = CColor::FromRGBA(255, 255, 50, 128);
// The overlay colours as the room makes them of their 5-6-5 values.
constexpr CColor kBlue(0, 0, 248), kMagenta(248, 0, 248), kRed(248, 0, 0), kGreen(0, 248, 0), kYellow(248, 248, 0);

std::string Fixture(const char* name) { return std::string(FIXTURES_DIR) + "/" + name; }

// A hall with two lamps, the first linked to the second, two spike traps, the
// first linked to the second, and a placed monster; the camera looks at them
// from 1800 units, at the middle of the arches' height.
class RoomLinks : public questtest::DocTest {
 protected:
  RoomLinks() {
    Define(questtest::kLampMachine);
    Define("GENERIC { KEY { spikes } TYPE { 4 } MESH { rozizuzi\\generic\\spikes.o3d } }");
    // The middle cell (1), the one right of it (2) and the one below it (3).
    dir.Write("rozizuzi/generic/spikes.o3d", std::span<const std::uint8_t>(FootprintMesh({0, 0, 0, 0, 1, 2, 0, 3, 0})));
    room = AddRoom("hall", 0, 1, 0, 0, 1000, 1000);
    room->distance = 1800.0f;
    room->pitch = -0.4f;
    room->targetY = 250.0f;
    from = AddLampNode(94, 96, "lampA");
    to = AddLampNode(100, 96, "lampB");
    from->x = from->y = 10;
    to->x = to->y = 20;
    from->keys->instance->AddLink("lampB:" + std::string(FieldText(to->keys->name)));
    trapFrom = Trap(95, 101);
    trapTo = Trap(99, 101);
    trapFrom->target = trapTo;
    RoomMonster* wolf = NewRoomMonster(room->monsters);
    SetField(wolf->name, "wolf");
    wolf->cellX = 97;
    wolf->cellY = 93;
  }
  RoomTrap* Trap(int column, int row) {
    RoomTrap* t = NewRoomTrap(room->traps);
    t->type = 4;
    t->cellX = column;
    t->cellY = row;
    return t;
  }
  // Where a world point lands, as the engine projects it for the room.
  std::pair<int, int> Screen(const CVector3& p) const {
    float x = 0, y = 0;
    EXPECT_TRUE(room->WorldToScreen(p, x, y));
    return {static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y))};
  }
  // The arch's ends as the room places them: 64 units in from each cell
  // toward the other, 128 above the thing's height (0 for a lamp without a
  // mesh, 256 for a trap).
  static CVector3 ArrowTip(const CVector3& p, const CVector3& q, float height) {
    CVector3 d = p - q;
    d.y = 0;
    d.Normalize();
    return {q.x + d.x * 64.0f, height + 128.0f, q.z + d.z * 64.0f};
  }
  static CVector3 BoxCentre(const CVector3& p, const CVector3& q, float height) {
    CVector3 d = p - q;
    d.y = 0;
    d.Normalize();
    return {p.x - d.x * 64.0f, height + 128.0f, p.z - d.z * 64.0f};
  }
  CVector3 LampTip() const { return ArrowTip(CellOf(from), CellOf(to), 0.0f); }
  CVector3 LampStart() const { return BoxCentre(CellOf(from), CellOf(to), 0.0f); }
  CVector3 TrapTip() const { return ArrowTip(CellOf(trapFrom), CellOf(trapTo), 256.0f); }
  CVector3 TrapStart() const { return BoxCentre(CellOf(trapFrom), CellOf(trapTo), 256.0f); }
  CVector3 CellOf(const GraphNode* n) const { return CellToWorld(n->cellX, n->cellY); }
  CVector3 CellOf(const RoomTrap* t) const { return CellToWorld(t->cellX, t->cellY); }

  CRoom* room = nullptr;
  GraphNode* from = nullptr;
  GraphNode* to = nullptr;
  RoomTrap* trapFrom = nullptr;
  RoomTrap* trapTo = nullptr;
};

// ---- Through the whole display path ---------------------------------------

class RoomLinksPicture : public RoomLinks {
 protected:
  void SetUp() override { ASSERT_TRUE(display.Open(kWidth, kHeight)); }
  std::vector<std::uint8_t> Draw() {
    C3DEngine& engine = display.Engine();
    engine.SetViewportRect(0, 0, kWidth, kHeight);
    engine.SetFocal(kWidth * 0.78125f, kWidth * 0.78125f);
    engine.FillRect(0, 0, kWidth, kHeight, CColor(40, 40, 60));
    room->Render3D(&display.Device());
    return display.ReadRgb();
  }
  static const std::uint8_t* Pixel(const std::vector<std::uint8_t>& rgb, int x, int y) {
    return &rgb[(static_cast<std::size_t>(y) * kWidth + static_cast<std::size_t>(x)) * 3];
  }
  // Pixels within `radius` of a point that are reddish-orange (arrow) or yellow (start box).
  static int Near(const std::vector<std::uint8_t>& rgb, std::pair<int, int> at, int radius, bool orange) {
    int n = 0;
    for (int y = std::max(0, at.second - radius); y <= std::min(kHeight - 1, at.second + radius); ++y) {
      for (int x = std::max(0, at.first - radius); x <= std::min(kWidth - 1, at.first + radius); ++x) {
        const std::uint8_t* p = Pixel(rgb, x, y);
        const bool warm = p[0] > 140 && p[2] < 100;
        if (warm && (orange ? p[1] < p[0] - 50 && p[1] > 40 : p[1] > p[0] - 40)) ++n;
      }
    }
    return n;
  }
  DisplayStack display;
};

TEST_F(RoomLinksPicture, LinksWithTheirArrowHeadsAndStartBoxesMatchTheReferencePicture) {
  room->tool = CRoom::kToolAddLink;  // with the footprints and the cursor
  room->cellX = room->cellY = 97;
  std::vector<std::uint8_t> rgb;
  {
    pv::ScopedRecorder recorder;
    rgb = Draw();
    // The texts went to the device's context: the caption and one label a lamp.
    const std::vector<std::string> texts = pv::Recorder::LinesStartingWith("TextOut");
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0], "TextOut 5 5 Room : hall (97,97)");
  }
  ASSERT_EQ(rgb.size(), std::size_t(kWidth) * kHeight * 3);
  // Set to make the picture again after a deliberate change of the drawing (look at it before committing it).
  if (std::getenv("WRITE_REFERENCE_PICTURES")) {
    ASSERT_TRUE(WritePng(Fixture("room_links.png"), kWidth, kHeight, rgb));
  }
  // Both arrow heads and both start boxes are where the links end and start.
  EXPECT_GE(Near(rgb, Screen(LampTip()), 4, true), 6);
  EXPECT_GE(Near(rgb, Screen(TrapTip()), 4, true), 6);
  EXPECT_GE(Near(rgb, Screen(LampStart()), 3, false), 6);
  EXPECT_GE(Near(rgb, Screen(TrapStart()), 3, false), 6);

  testsupport::RgbImage reference;
  ASSERT_TRUE(testsupport::ReadPng(Fixture("room_links.png"), reference));
  ASSERT_EQ(reference.width, kWidth);
  ASSERT_EQ(reference.height, kHeight);
  EXPECT_LE(testsupport::Outliers(rgb, reference, kChannelTolerance), int(kOutlierShare * kWidth * kHeight));
}

TEST_F(RoomLinksPicture, EveryFrameShowsItsOwnShapesAndFreesThem) {
  room->tool = CRoom::kToolAddLink;
  const std::vector<std::uint8_t> first = Draw();
  EXPECT_TRUE(room->linkShapes.empty()) << "freed once the buckets are flushed";
  // A frame with the links gone has no arrow heads: nothing of the last frame is drawn again.
  SetField(from->keys->instance->links[0], "");
  trapFrom->target = nullptr;
  const std::vector<std::uint8_t> without = Draw();
  EXPECT_EQ(Near(without, Screen(LampTip()), 4, true), 0);
  EXPECT_EQ(Near(without, Screen(TrapTip()), 4, true), 0);
  EXPECT_GE(Near(first, Screen(LampTip()), 4, true), 6);
}

TEST_F(RoomLinksPicture, TheCaptionNamesTheRoomAndWithPlacementToolsTheCell) {
  struct Case {
    int tool;
    const char* caption;
  };
  const Case cases[] = {
      {CRoom::kToolRotateCamera, "TextOut 5 5 Room : hall"},
      {CRoom::kToolSetBlock, "TextOut 5 5 Room : hall"},
      {CRoom::kToolAddTrap, "TextOut 5 5 Room : hall (12,34)"},
      {CRoom::kToolSetCollision, "TextOut 5 5 Room : hall (12,34)"},
      {CRoom::kToolDelete, "TextOut 5 5 Room : hall (12,34)"},
  };
  room->cellX = 12;
  room->cellY = 34;
  for (const Case& c : cases) {
    room->tool = c.tool;
    pv::ScopedRecorder recorder;
    room->Render3D(&display.Device());
    const std::vector<std::string> texts = pv::Recorder::LinesStartingWith("TextOut");
    ASSERT_FALSE(texts.empty()) << c.tool;
    EXPECT_EQ(texts.front(), c.caption) << c.tool;
  }
  // A long name is cut to its first 79 characters.
  SetField(room->name, std::string(79, 'n'));
  room->tool = CRoom::kToolRotateCamera;
  {
    pv::ScopedRecorder recorder;
    room->Render3D(&display.Device());
    ASSERT_FALSE(pv::Recorder::LinesStartingWith("TextOut").empty());
    EXPECT_EQ(pv::Recorder::LinesStartingWith("TextOut").front(), "TextOut 5 5 Room : " + std::string(79, 'n'));
  }
  // Without a display device nothing is written.
  pv::ScopedRecorder recorder;
  room->Render3D();
  EXPECT_TRUE(pv::Recorder::LinesStartingWith("TextOut").empty());
}

// ---- What the engine hands the renderer -----------------------------------

class RoomLinksCalls : public RoomLinks {
 protected:
  RoomLinksCalls() {
    engine->SetViewportRect(0, 0, kWidth, kHeight);
    engine->SetFocal(kWidth * 0.78125f, kWidth * 0.78125f);
    room->UpdateCamera();
    room->SetProjection(engine->FocalX(), engine->FocalY(), static_cast<float>(engine->CentreX()),
                        static_cast<float>(engine->CentreY()));
  }
  // One pass drawn in a frame of its own, flushed.
  template <typename Pass>
  void Frame(Pass pass) {
    renderer.calls.clear();
    engine->BeginFrame(1);
    pass();
    engine->FlushBuckets();
    room->ReleaseLinkShapes();
    engine->EndFrame();
  }
  std::vector<DrawCall> Of(DrawCall::Kind kind, CColor colour) const {
    std::vector<DrawCall> out;
    for (const DrawCall& c : renderer.calls)
      if (c.kind == kind && c.color == colour) out.push_back(c);
    return out;
  }
  // The cell squares among the calls: four lines of a colour make one.
  int Squares(CColor colour) const { return static_cast<int>(Of(DrawCall::Line, colour).size()) / 4; }

  rendertest::RecordingRenderer renderer;
  rendertest::InstalledEngine engine{renderer};
};

TEST_F(RoomLinksCalls, EachLinkIsAnArchOfThreeShadedLinesWithAnArrowHeadAndAStartBox) {
  Frame([&] { room->DrawLinks3D(); });
  // Two links: six shaded lines, each arrow head drawn from both sides
  // (some sides face away), each start box likewise.
  int shaded = 0;
  for (const DrawCall& c : renderer.calls)
    if (c.kind == DrawCall::Line && (c.flags & kFaceSmooth)) ++shaded;
  EXPECT_EQ(shaded, 6);
  const std::vector<DrawCall> arrows = Of(DrawCall::Triangle, kArrow);
  const std::vector<DrawCall> boxes = Of(DrawCall::Quad, kStart);
  EXPECT_GE(arrows.size(), 2u * 4u);
  EXPECT_LE(arrows.size(), 2u * 12u);
  EXPECT_GE(boxes.size(), 2u * 3u);
  EXPECT_LE(boxes.size(), 2u * 12u);
  EXPECT_EQ(renderer.calls.size(), 6u + arrows.size() + boxes.size()) << "nothing else";
  // Every corner is one of the shapes' own, projected where it stands: the
  // arrow heads within 24 units of their tips and 48 above, the boxes within
  // 16 of their centres.
  const CVector3 tips[2] = {LampTip(), TrapTip()};
  const CVector3 starts[2] = {LampStart(), TrapStart()};
  // The shape's bounding box projected bounds every corner drawn of it.
  auto within = [&](const CVertex& v, const CVector3& centre, float across, float below, float above) {
    int left = 1 << 30, top = 1 << 30, right = -(1 << 30), bottom = -(1 << 30);
    for (float dx : {-across, across})
      for (float dz : {-across, across})
        for (float dy : {below, above}) {
          const auto [x, y] = Screen({centre.x + dx, centre.y + dy, centre.z + dz});
          left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = std::max(bottom, y);
        }
    return v.sx >= left - 1 && v.sx <= right + 1 && v.sy >= top - 1 && v.sy <= bottom + 1;
  };
  for (const DrawCall& c : arrows) {
    for (const CVertex& v : c.v) {
      EXPECT_TRUE(within(v, tips[0], 24, 0, 48) || within(v, tips[1], 24, 0, 48)) << v.sx << "," << v.sy;
      EXPECT_EQ(v.color, kArrow);
    }
  }
  for (const DrawCall& c : boxes) {
    for (const CVertex& v : c.v) {
      EXPECT_TRUE(within(v, starts[0], 16, -16, 16) || within(v, starts[1], 16, -16, 16)) << v.sx << "," << v.sy;
      EXPECT_EQ(v.color, kStart);
    }
  }
}

TEST_F(RoomLinksCalls, LinksOfNodesOutsideTheRoomOrWithoutATargetAreNotDrawn) {
  struct Case {
    const char* name;
    std::function<void()> change;
    std::size_t shadedLines;
  };
  const Case cases[] = {
      {"both links", [] {}, 6},
      {"source without an owner", [&] { from->owner = nullptr; }, 3},
      {"source outside the room's box", [&] { from->x = from->y = 5000; }, 3},
      {"link naming no instance", [&] { SetField(from->keys->instance->links[0], "lampB:none"); }, 3},
      {"trap without a target", [&] { trapFrom->target = nullptr; }, 3},
  };
  for (const Case& c : cases) {
    void* owner = from->owner;
    const int x = from->x, y = from->y;
    char link[80];
    std::copy(std::begin(from->keys->instance->links[0]), std::end(from->keys->instance->links[0]), link);
    RoomTrap* target = trapFrom->target;
    c.change();
    Frame([&] { room->DrawLinks3D(); });
    std::size_t shaded = 0;
    for (const DrawCall& d : renderer.calls)
      if (d.kind == DrawCall::Line && (d.flags & kFaceSmooth)) ++shaded;
    EXPECT_EQ(shaded, c.shadedLines) << c.name;
    from->owner = owner;
    from->x = x, from->y = y;
    SetField(from->keys->instance->links[0], link);
    trapFrom->target = target;
  }
}

TEST_F(RoomLinksCalls, FootprintsMarkTrapCellsNodesAndMonsters) {
  Frame([&] { room->DrawFootprints(); });
  // Each spike trap: blue, magenta and red footprint cells and its own yellow square.
  EXPECT_EQ(Squares(kBlue), 2);
  EXPECT_EQ(Squares(kMagenta), 2);
  EXPECT_EQ(Squares(kRed), 2);
  EXPECT_EQ(Squares(kGreen), 2) << "one a lamp";
  EXPECT_EQ(Squares(kYellow), 3) << "two traps and the wolf";
  // The footprint turns with the trap: its middle cell (blue) stays on the
  // trap's cell, the cells beside and below it (magenta, red) move.
  auto lines = [&](CColor colour) {
    std::vector<std::pair<int, int>> ends;
    for (const DrawCall& c : Of(DrawCall::Line, colour))
      for (const CVertex& v : c.v) ends.emplace_back(v.sx, v.sy);
    std::sort(ends.begin(), ends.end());
    return ends;
  };
  const auto blue = lines(kBlue), magenta = lines(kMagenta), red = lines(kRed);
  trapTo->rotation = 1;
  Frame([&] { room->DrawFootprints(); });
  EXPECT_EQ(lines(kBlue), blue);
  EXPECT_NE(lines(kMagenta), magenta);
  EXPECT_NE(lines(kRed), red);
  EXPECT_EQ(Squares(kMagenta), 2);
  trapTo->rotation = 0;

  // Far from the camera target (24 cells or more) nothing is marked; 23 is near enough.
  for (int distance : {23, 24}) {
    const int column = 97 + distance;
    trapFrom->cellX = trapTo->cellX = from->cellX = to->cellX = column;
    trapTo->cellY = 104;
    to->cellY = 90;
    room->monsters->cellX = column;
    Frame([&] { room->DrawFootprints(); });
    const int expected = distance < 24 ? 1 : 0;
    EXPECT_EQ(Squares(kGreen), 2 * expected) << distance;
    EXPECT_EQ(Squares(kYellow), 3 * expected) << distance;
    EXPECT_EQ(Squares(kBlue), 2 * expected) << distance;
  }
}

TEST_F(RoomLinksCalls, FootprintsAreDrawnOnlyWithTrapLinkAndPlacementTools) {
  struct Case {
    int tool;
    bool footprints;
  };
  const Case cases[] = {
      {CRoom::kToolRotateCamera, false}, {CRoom::kToolSetBlock, false},     {CRoom::kToolMoveTrap, true},
      {CRoom::kToolDeleteTrap, true},    {CRoom::kToolAddMonster, false},   {CRoom::kToolSetCollision, false},
      {CRoom::kToolAddLink, true},       {CRoom::kToolDeleteLink, true},    {CRoom::kToolMove, true},
      {CRoom::kToolDelete, true},        {CRoom::kToolDraw, false},
  };
  for (const Case& c : cases) {
    room->tool = c.tool;
    renderer.calls.clear();
    room->Render3D();
    EXPECT_EQ(Squares(kBlue) > 0, c.footprints) << c.tool;
    EXPECT_TRUE(room->linkShapes.empty()) << c.tool;
  }
}

// ---- Texts ------------------------------------------------------------------

TEST_F(RoomLinksCalls, LabelsNameTheInstanceCentredAboveTheNode) {
  pv::DrawContext dc;
  pv::ScopedRecorder recorder;
  room->DrawLabels3D(&dc);
  const std::vector<std::string> texts = pv::Recorder::LinesStartingWith("TextOut");
  ASSERT_EQ(texts.size(), 2u);
  // Without window-system text functions a character is 8 x 16: the text's
  // middle on the point above the cell, its bottom 2 pixels above it.
  for (const GraphNode* n : {from, to}) {
    const std::string name(FieldText(n->keys->name));
    const CMatrix m = room->CameraMatrix();
    const CVector3 above = CellOf(n);  // at the lamp's height, 0
    int at[2] = {};
    ASSERT_TRUE(engine->ProjectPoint(&m, &above, at));
    const std::string expected = "TextOut " + std::to_string(at[0] - 4 * static_cast<int>(name.size())) + " " +
                                 std::to_string(at[1] - 2 - 16) + " " + name;
    EXPECT_NE(std::find(texts.begin(), texts.end(), expected), texts.end()) << expected;
  }
}

TEST_F(RoomLinksCalls, LabelsFollowTheDistanceRuleAndTheRoom) {
  pv::DrawContext dc;
  struct Case {
    int column;
    void* owner;
    std::size_t labels;
  };
  void* owner = from->owner;
  const Case cases[] = {{97 - 23, owner, 2}, {97 - 24, owner, 1}, {97 + 24, owner, 1}, {94, nullptr, 1}};
  for (const Case& c : cases) {
    from->cellX = c.column;
    from->owner = c.owner;
    pv::ScopedRecorder recorder;
    room->DrawLabels3D(&dc);
    EXPECT_EQ(pv::Recorder::LinesStartingWith("TextOut").size(), c.labels) << c.column;
  }
  from->owner = owner;
  // A point behind the camera gets no label.
  from->cellX = 94;
  room->targetZ -= 3000.0f;  // the camera moves past the nodes, still near enough
  room->UpdateCamera();
  ASSERT_LT(room->WorldToCamera(CellOf(from)).z, 0.0f);
  ASSERT_LT(room->WorldToCamera(CellOf(to)).z, 0.0f);
  pv::ScopedRecorder recorder;
  room->DrawLabels3D(&dc);
  EXPECT_TRUE(pv::Recorder::LinesStartingWith("TextOut").empty());
}

}  // namespace
