// The room drawn end to end: room, 3D engine, renderer, display device and
// the emulated 3D device, against a reference picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "datafiles/mtf_archive.h"
#include "doc_fixture.h"
#include "quest/graph_node.h"
#include "quest/quest_lists.h"
#include "quest/room.h"
#include "quest/tile_palette.h"
#include "quest/world_graph.h"
#include "datafiles/monster_class_table.h"
#include "render/skeleton_bank.h"
#include "render/skinned_model.h"
#include "support/digest.h"
#include "support/reference_image.h"
#include "tools/demodata/block_meshes.h"
#include "tools/demodata/demo_skeletons.h"
#include "tools/demodata/demo_output.h"
#include "tools/demodata/sample_quest.h"
#include "tools/demodata/texture_banks.h"
#include "tools/render_png/demo_scene.h"
#include "tools/render_png/png_writer.h"

namespace {

constexpr int kWidth = 240;
constexpr int kHeight = 160;
// Differences the two builds' rounding may leave: a channel within 12, and
// at most 1 pixel in 200 beyond it.
constexpr int kChannelTolerance = 12;
constexpr double kOutlierShare = 0.005;

class RoomRender : public questtest::DocTest {
 protected:
  void SetUp() override {
    DemoOutput out;
    AddBlockMeshes(out);
    AddTextureBanks(out);
    AddDemoSkeletons(out);
    AddSampleQuest(out);
    out.Finish();
    ASSERT_EQ(MtfOpenArchive("data.mtf", 0), 1);
    ASSERT_TRUE(doc.OnOpenDocument(kSampleQuestPath));
    for (CRoom* r = Quest().rooms; r; r = r->next) {
      if (std::string(r->name) == "meadow") room = r;
    }
    ASSERT_NE(room, nullptr);
    ASSERT_TRUE(display.Open(kWidth, kHeight));
  }
  void TearDown() override {
    g_skeletonBank.ResetSlots();
    g_skeletonBank.FreeNames();
    g_monsterClassTable.Free();
    MtfCloseAllArchives();
  }

  std::vector<std::uint8_t> Draw() {
    C3DEngine& engine = display.Engine();
    engine.SetViewportRect(0, 0, kWidth, kHeight);
    engine.SetFocal(kWidth * 0.78125f, kWidth * 0.78125f);
    engine.FillRect(0, 0, kWidth, kHeight, CColor(128, 128, 128));
    room->Render3D();
    return display.ReadRgb();
  }

  CRoom* room = nullptr;
  DisplayStack display;
};

std::string Fixture(const char* name) { return std::string(FIXTURES_DIR) + "/" + name; }

using testsupport::ReadPng;
using testsupport::RgbImage;

int Outliers(const std::vector<std::uint8_t>& rgb, const RgbImage& reference) {
  return testsupport::Outliers(rgb, reference, kChannelTolerance);
}

TEST_F(RoomRender, DemoRoomMatchesItsReferencePicture) {
  room->tool = CRoom::kToolSetCollision;  // with the collision overlay and the cursor
  room->Collision(97, 97) = kCollisionBlocked;
  room->Collision(98, 97) = kCollisionLow;
  room->cellX = room->cellY = 95;
  const std::vector<std::uint8_t> rgb = Draw();
  ASSERT_EQ(rgb.size(), std::size_t(kWidth) * kHeight * 3);
  // Set to make the picture again after a deliberate change of the drawing (look at it before committing it).
  if (std::getenv("WRITE_REFERENCE_PICTURES")) {
    ASSERT_TRUE(WritePng(Fixture("meadow_room.png"), kWidth, kHeight, rgb));
  }
  RgbImage reference;
  ASSERT_TRUE(ReadPng(Fixture("meadow_room.png"), reference));
  ASSERT_EQ(reference.width, kWidth);
  ASSERT_EQ(reference.height, kHeight);
  const int outliers = Outliers(rgb, reference);
  EXPECT_LE(outliers, int(kOutlierShare * kWidth * kHeight));
}

// The room view's frames pinned bit for bit: blocks, the collision overlay,
// the ground grid's lines (with the placement lines of a placement tool),
// the cursor and a placed monster. The digests were taken from the drawing
// code before it was made faster; both builds must still give them exactly.
TEST_F(RoomRender, RoomViewFramesAreUnchangedToTheBit) {
  ASSERT_EQ(g_monsterClassTable.Load(), 1);
  g_skeletonBank.Rebuild();
  struct Case {
    const char* name;
    int tool;
    float distance;
    std::uint64_t digest;
  };
  const Case cases[] = {
      {"collision overlay", CRoom::kToolSetCollision, 0.0f, 0xa16d08923177ff41ull},
      {"placement grid, near", CRoom::kToolAddMonster, 1200.0f, 0xe53a5683b5d8f177ull},
      {"block tool, far", CRoom::kToolSetBlock, 4000.0f, 0x360e7a131fb72721ull},
  };
  room->Collision(97, 97) = kCollisionBlocked;
  room->Collision(98, 97) = kCollisionLow;
  room->cellX = room->cellY = 95;
  for (const Case& c : cases) {
    room->tool = c.tool;
    if (c.distance > 0) room->distance = c.distance;
    const std::vector<std::uint8_t> rgb = Draw();
    ASSERT_EQ(rgb.size(), std::size_t(kWidth) * kHeight * 3);
    const std::uint64_t digest = testsupport::Digest(rgb);
    EXPECT_EQ(digest, c.digest) << c.name << " now digests to " << testsupport::DigestLiteral(digest);
  }
}

TEST_F(RoomRender, PaintingOneBlockChangesOnlyThePixelsNearIt) {
  TilePalette().BuildOutdoor();
  TilePalette().SetRandom([] { return 0; });
  const std::vector<std::uint8_t> before = Draw();
  const int column = 29, row = 28;  // a grass block among grass and the menhir
  ASSERT_EQ(CBankNames::BaseName(room->Block(column, row).fileName), "grass1");
  room->PaintBlock(column, row, TilePalette().DrawStyle()->base, TilePalette().DrawStyle()->key);
  TilePalette().SetRandom(nullptr);
  ASSERT_EQ(CBankNames::BaseName(room->Block(column, row).fileName).rfind("sand", 0), 0u);
  const std::vector<std::uint8_t> after = Draw();

  // Where the block's square is seen, grown by two pixels.
  float left = 1e9f, top = 1e9f, right = -1e9f, bottom = -1e9f;
  const CVector3 centre = CellToWorld(BlockToCell(column), BlockToCell(row));
  for (float dx : {-256.0f, 256.0f}) {
    for (float dz : {-256.0f, 256.0f}) {
      float x = 0, y = 0;
      ASSERT_TRUE(room->WorldToScreen({centre.x + dx, -256.0f, centre.z + dz}, x, y));
      left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = std::max(bottom, y);
    }
  }
  int changed = 0, outside = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const std::size_t i = (std::size_t(y) * kWidth + x) * 3;
      if (before[i] == after[i] && before[i + 1] == after[i + 1] && before[i + 2] == after[i + 2]) continue;
      ++changed;
      if (x < left - 2 || x > right + 2 || y < top - 2 || y > bottom + 2) ++outside;
    }
  }
  EXPECT_GT(changed, 50) << "the block looks different";
  EXPECT_EQ(outside, 0) << "pixels changed away from the block";
}

TEST_F(RoomRender, PlacedMonstersAreDrawnWithTheirSkeletons) {
  ASSERT_EQ(g_monsterClassTable.Load(), 1);
  g_skeletonBank.Rebuild();
  RoomMonster* wolf = room->monsters;
  ASSERT_NE(wolf, nullptr);
  ASSERT_STREQ(wolf->name, "wolf");
  // The camera on the wolf's cell.
  const CVector3 at = CellToWorld(wolf->cellX, wolf->cellY);
  room->targetX = at.x;
  room->targetZ = at.z;
  room->distance = 1200.0f;
  RoomMonster* placed = room->monsters;
  room->monsters = nullptr;
  const std::vector<std::uint8_t> without = Draw();
  room->monsters = placed;
  const std::vector<std::uint8_t> with = Draw();
  ASSERT_NE(wolf->model, nullptr);
  EXPECT_GT(wolf->model->BoneCount(), 0);
  EXPECT_EQ(wolf->builtForClass, g_monsterClassTable.Find("wolf"));
  // The wolf stands in the middle of the view: what it changed lies around it.
  int changed = 0, far = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const std::size_t i = (std::size_t(y) * kWidth + x) * 3;
      if (with[i] == without[i] && with[i + 1] == without[i + 1] && with[i + 2] == without[i + 2]) continue;
      ++changed;
      if (std::abs(x - kWidth / 2) > 70 || std::abs(y - kHeight / 2) > 70) ++far;
    }
  }
  EXPECT_GT(changed, 150);
  EXPECT_EQ(far, 0);
  if (std::getenv("WRITE_REFERENCE_PICTURES")) {
    ASSERT_TRUE(WritePng(Fixture("meadow_wolf.png"), kWidth, kHeight, with));
  }
  RgbImage reference;
  ASSERT_TRUE(ReadPng(Fixture("meadow_wolf.png"), reference));
  EXPECT_LE(Outliers(with, reference), int(kOutlierShare * kWidth * kHeight));
  // A model is built once for its class, not at every frame.
  const CSkinnedModel* model = wolf->model.get();
  Draw();
  EXPECT_EQ(wolf->model.get(), model);
}

}  // namespace

namespace {

TEST_F(RoomRender, MonsterNodesStandInTheRoomWithTheModelOfTheirClass) {
  ASSERT_EQ(g_monsterClassTable.Load(), 1);
  g_skeletonBank.Rebuild();
  GraphNode* guard = nullptr;
  for (GraphNode* n = Quest().graphNodes; n; n = n->next)
    if (n->kind == kNodeMonster && std::string(n->name) == "oldguard") guard = n;
  ASSERT_NE(guard, nullptr);
  ASSERT_TRUE(room->IsNodeInRoom(guard));
  const CVector3 at = CellToWorld(guard->cellX, guard->cellY);
  room->targetX = at.x;
  room->targetZ = at.z;
  room->distance = 1200.0f;
  RoomMonster* placed = room->monsters;
  room->monsters = nullptr;  // the wolf stands elsewhere; only the node counts here
  void* owner = guard->owner;
  guard->owner = nullptr;  // a node without an owner is not the room's
  const std::vector<std::uint8_t> without = Draw();
  guard->owner = owner;
  const std::vector<std::uint8_t> with = Draw();
  room->monsters = placed;
  ASSERT_NE(guard->model, nullptr);
  EXPECT_GT(guard->model->BoneCount(), 0);
  EXPECT_EQ(guard->drawSlot, g_monsterClassTable.Find("orc")) << "the class of the quest monster named so";
  int changed = 0, far = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const std::size_t i = (std::size_t(y) * kWidth + x) * 3;
      if (with[i] == without[i] && with[i + 1] == without[i + 1] && with[i + 2] == without[i + 2]) continue;
      ++changed;
      if (std::abs(x - kWidth / 2) > 70 || std::abs(y - kHeight / 2) > 70) ++far;
    }
  }
  EXPECT_GT(changed, 150);
  EXPECT_EQ(far, 0);
  // Built once for its class; a node naming another class gets that class's model.
  const CSkinnedModel* model = guard->model.get();
  Draw();
  EXPECT_EQ(guard->model.get(), model);
  guard->SetName("wolf");
  guard->SetupModel(false);
  EXPECT_EQ(guard->drawSlot, g_monsterClassTable.Find("wolf"));
  EXPECT_STREQ(guard->skeletonName, "wolf");
  EXPECT_NE(guard->model.get(), model);
  // A name of no class and no quest monster leaves the node as it was.
  guard->SetName("nobody");
  guard->SetupModel(false);
  EXPECT_EQ(guard->drawSlot, g_monsterClassTable.Find("wolf"));
}

}  // namespace

namespace {

TEST_F(RoomRender, SkeletonNodesOfNoClassShowTheirOwnSkeleton) {
  ASSERT_EQ(g_monsterClassTable.Load(), 1);
  g_skeletonBank.Rebuild();
  GraphNode* node = NewGraphNode(Quest().graphNodes);
  node->Set(kNodeSkeleton, "multipnj", 10, 10, nullptr);  // a skeleton file, no class's
  node->Draw(0.0f, platform::video::Rect{0, 0, kWidth, kHeight});
  ASSERT_NE(node->model, nullptr);
  EXPECT_GT(node->model->BoneCount(), 0);
  EXPECT_EQ(node->drawSlot, -1);
  EXPECT_STREQ(node->skeletonName, "multipnj");
  // A class's skeleton name gives that class's model.
  node->SetName("orc");
  node->Draw(0.0f, platform::video::Rect{0, 0, kWidth, kHeight});
  EXPECT_EQ(node->drawSlot, g_monsterClassTable.Find("orc"));
  // No class and no skeleton file: no model.
  GraphNode* none = NewGraphNode(Quest().graphNodes);
  none->Set(kNodeSkeleton, "ghost", 10, 10, nullptr);
  none->Draw(0.0f, platform::video::Rect{0, 0, kWidth, kHeight});
  EXPECT_EQ(none->model, nullptr);
}

}  // namespace
