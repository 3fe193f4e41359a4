// Room boxes on the world map, as lines handed to the renderer, and their
// labels, as text handed to the window system's text functions.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/video/recorder.h"
#include "platform/video/surface.h"
#include "platform/video/text_functions.h"
#include "quest/room.h"
#include "quest/room_map_box.h"
#include "render/engine_3d.h"
#include "render/recording_renderer.h"

TEST(RoomBoxDrawing, ThreeOutlinesPerRoomInItsColour) {
  C3DEngine::ResetState();
  auto engine = std::make_unique<C3DEngine>();
  g_3DEngine = engine.get();
  rendertest::RecordingRenderer renderer;
  engine->SetRenderer(&renderer);
  auto land = std::make_unique<CRoom>();
  auto dungeon = std::make_unique<CRoom>();
  land->left = 100;
  land->top = 50;
  land->right = 300;
  land->bottom = 150;
  dungeon->level = 2;
  dungeon->left = 400;
  dungeon->top = 400;
  dungeon->right = 500;
  dungeon->bottom = 480;
  land->next = dungeon.get();
  DrawRoomBoxes(land.get(), 10, 20);
  ASSERT_EQ(renderer.calls.size(), 24u);  // 2 rooms x 3 outlines x 4 lines
  // The box itself, moved by the view origin.
  EXPECT_EQ(renderer.calls[0].v[0].sx, 90);
  EXPECT_EQ(renderer.calls[0].v[0].sy, 30);
  EXPECT_EQ(renderer.calls[0].v[1].sx, 290);
  // The resize corner, then the box grown by 2.
  EXPECT_EQ(renderer.calls[4].v[0].sx, 274);
  EXPECT_EQ(renderer.calls[4].v[0].sy, 114);
  EXPECT_EQ(renderer.calls[8].v[0].sx, 88);
  EXPECT_EQ(renderer.calls[8].v[0].sy, 28);
  EXPECT_EQ(renderer.calls[0].color, CColor::FromRGBA(200, 255, 180, 255));
  EXPECT_EQ(renderer.calls[12].color, CColor::FromRGBA(180, 255, 255, 255));
  land->next = nullptr;
  g_3DEngine = nullptr;
  engine.reset();
  C3DEngine::ResetState();
}

// ---- Labels ---------------------------------------------------------------

namespace {

namespace pv = platform::video;

// A crypt box at (100, 50)-(300, 150). Without window-system text functions a
// character measures 8 x 16, so the label's box starts at x 200 - 4 x length
// and spans y 32 to 48.
class RoomLabelTest : public ::testing::Test {
 protected:
  RoomLabelTest() {
    std::snprintf(room.name, sizeof room.name, "crypt");
    room.land = 2;
    room.level = 3;
    room.left = 100;
    room.top = 50;
    room.right = 300;
    room.bottom = 150;
  }
  std::vector<std::string> Drawn(const pv::Rect& visible) {
    pv::ScopedRecorder recorder;
    room.DrawMapLabel(&dc, visible);
    return pv::Recorder::LinesStartingWith("TextOut");
  }
  int LabelLeft() const { return 200 - 4 * static_cast<int>(room.MapLabel().size()); }

  CRoom room;
  pv::DrawContext dc;
};

}  // namespace

TEST_F(RoomLabelTest, CentredAboveTheBoxRelativeToTheVisibleCorner) {
  const std::string label = room.MapLabel();
  EXPECT_EQ(label, std::string("crypt [") + LandName(2) + ",Level3]");
  struct Case {
    pv::Rect visible;
    int x, y;
  } cases[] = {
      {{0, 0, 640, 480}, LabelLeft(), 32},
      {{150, 20, 800, 600}, LabelLeft() - 150, 12},
      {{-40, -10, 200, 100}, LabelLeft() + 40, 42},
      {{0, 47, 640, 480}, LabelLeft(), -15},  // only the label's last row shows
  };
  for (const Case& c : cases) {
    const std::vector<std::string> drawn = Drawn(c.visible);
    ASSERT_EQ(drawn.size(), 1u) << c.visible.left << "," << c.visible.top;
    EXPECT_EQ(drawn[0], "TextOut " + std::to_string(c.x) + " " + std::to_string(c.y) + " " + label);
  }
}

TEST_F(RoomLabelTest, NotDrawnOutsideTheVisibleRectangle) {
  const int width = 8 * static_cast<int>(room.MapLabel().size());
  const pv::Rect outside[] = {
      {0, 48, 640, 480},                                        // below: touches its bottom edge only
      {0, 0, 640, 32},                                          // above
      {LabelLeft() + width, 0, LabelLeft() + width + 300, 480},  // to the right
      {0, 0, LabelLeft(), 480},                                 // to the left
  };
  for (const pv::Rect& r : outside) EXPECT_TRUE(Drawn(r).empty()) << r.left << "," << r.top;
  pv::ScopedRecorder recorder;
  room.DrawMapLabel(nullptr, pv::Rect{0, 0, 640, 480});
  EXPECT_TRUE(pv::Recorder::LinesStartingWith("TextOut").empty());
}

TEST_F(RoomLabelTest, MeasuredAndDrawnByTheInstalledTextFunctions) {
  struct Fixed : pv::ITextFunctions {
    pv::TextSize GetTextExtent(pv::DrawContext&, std::string_view) override { return {50, 10}; }
    void TextOut(pv::DrawContext& on, int x, int y, std::string_view text) override {
      target = &on;
      at = {x, y};
      drawn = text;
    }
    pv::DrawContext* target = nullptr;
    std::pair<int, int> at;
    std::string drawn;
  } fixed;
  pv::SetTextFunctions(&fixed);
  room.DrawMapLabel(&dc, pv::Rect{10, 5, 640, 480});
  pv::SetTextFunctions(nullptr);
  EXPECT_EQ(fixed.target, &dc);
  EXPECT_EQ(fixed.at, std::make_pair(200 - 25 - 10, 38 - 5));
  EXPECT_EQ(fixed.drawn, room.MapLabel());
}
