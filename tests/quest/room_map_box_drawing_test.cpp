// Room boxes on the world map, as lines handed to the renderer.
#include <gtest/gtest.h>

#include <memory>

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
