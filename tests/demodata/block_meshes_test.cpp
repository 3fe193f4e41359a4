#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "datafiles/mtf_archive.h"
#include "platform/core/services.h"
#include "quest/room.h"
#include "render/mesh.h"
#include "render/vector3.h"
#include "support/temp_dir.h"
#include "tools/demodata/block_meshes.h"
#include "tools/demodata/demo_output.h"
#include "tools/demodata/texture_banks.h"
#include "tools/render_png/demo_scene.h"
#include "tools/render_png/png_writer.h"
#include "support/reference_image.h"
#include "quest/tile_palette.h"

namespace {

class DemoBlocksTest : public testsupport::TempDirTest {
 protected:
  void SetUp() override {
    MtfCloseAllArchives();
    DemoOutput out;
    AddBlockMeshes(out);
    out.Finish();
  }
  void TearDown() override { MtfCloseAllArchives(); }

  platform::ScriptedServices ui;
};

CVector3 Position(const CMesh& m, int i) {
  const CMeshVertex& v = m.vertices[static_cast<std::size_t>(i)];
  return {v.x, v.y, v.z};
}

CVector3 Normal(const CMesh& m, const CFace& f) {
  const CVector3 a = Position(m, f.index[0]), b = Position(m, f.index[1]), c = Position(m, f.index[2]);
  CVector3 n = CrossProduct(b - a, c - b);
  n.Normalize();
  return n;
}

CVector3 Centre(const CMesh& m, const CFace& f) {
  CVector3 centre;
  for (int k = 0; k < 4; ++k) centre = centre + Position(m, f.index[k]) * 0.25f;
  return centre;
}

// Where a side's box stands: the centre of the top its upper edge belongs
// to (the blocks are boxes); without one, the block's own vertical axis.
CVector3 BoxCentreOf(const CMesh& m, const CFace& side) {
  int upper[2] = {side.index[0], side.index[0]};
  float top = -1e9f;
  for (int k = 0; k < 4; ++k) top = std::max(top, Position(m, side.index[k]).y);
  int found = 0;
  for (int k = 0; k < 4 && found < 2; ++k)
    if (Position(m, side.index[k]).y == top) upper[found++] = side.index[k];
  for (const CFace& f : m.faces) {
    if (&f == &side || Normal(m, f).y < 0.5f) continue;
    const auto has = [&f](int i) { return std::find(f.index, f.index + 4, i) != f.index + 4; };
    if (has(upper[0]) && has(upper[1])) return Centre(m, f);
  }
  return {0.0f, 0.0f, 0.0f};
}

TEST_F(DemoBlocksTest, EditorBlocksLoadWithFootprintsAndOutwardSides) {
  for (const DemoBlock& block : DemoBlocks()) {
    SCOPED_TRACE(block.name);
    CMesh mesh;
    ASSERT_EQ(mesh.Load(EditorBlockPath(block).c_str()), 1);
    ASSERT_GT(mesh.FaceCount(), 0);
    ASSERT_TRUE(mesh.HasFootprint());
    EXPECT_EQ(mesh.FootprintColumns(), 3);
    for (const CFace& f : mesh.faces) {
      ASSERT_EQ(f.vertexCount, 4);
      EXPECT_GE(f.depth, 1);  // a texture bank
      EXPECT_EQ(f.flags & 1u, 1u);
      const CVector3 a = Position(mesh, f.index[0]), b = Position(mesh, f.index[1]), c = Position(mesh, f.index[2]);
      CVector3 n = CrossProduct(b - a, c - b);
      ASSERT_EQ(n.Normalize(), 1);
      // Every block is built of boxes: sides face away from their box and
      // nothing faces down.
      EXPECT_GE(n.y, 0.0f);
      if (n.y < 0.5f) {
        const CVector3 away = Centre(mesh, f) - BoxCentreOf(mesh, f);
        EXPECT_GT(n.x * away.x + n.z * away.z, 0.0f);
      }
    }
    for (const CMeshVertex& v : mesh.vertices) {
      EXPECT_GE(v.y, -256.0f);
      EXPECT_LE(v.x, 256.0f);
      EXPECT_GE(v.z, -256.0f);
    }
  }
  EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(DemoBlocksTest, WallsBlockEveryCellAndPillarsTheirCentre) {
  CMesh wall, pillar, floor;
  ASSERT_EQ(wall.Load("rozizuzi\\o4d\\dungeon\\wall.o3d"), 1);
  ASSERT_EQ(pillar.Load("rozizuzi\\o4d\\dungeon\\pillar.o3d"), 1);
  ASSERT_EQ(floor.Load("rozizuzi\\o4d\\land\\grass.o3d"), 1);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 3; ++x) {
      EXPECT_EQ(wall.FootprintCell(x, y), 1);
      EXPECT_EQ(pillar.FootprintCell(x, y), x == 1 && y == 1 ? 1 : 0);
      EXPECT_EQ(floor.FootprintCell(x, y), 0);
    }
  }
  EXPECT_EQ(wall.height, 256.0f);
  EXPECT_EQ(floor.height, -256.0f);
}

TEST_F(DemoBlocksTest, TheGameCopiesAreInTheArchive) {
  ASSERT_EQ(MtfOpenArchive("data.mtf", 0), 1);
  for (const DemoBlock& block : DemoBlocks()) {
    SCOPED_TRACE(block.name);
    CMesh game, editor;
    ASSERT_EQ(game.Load(GameBlockPath(block).c_str()), 1);
    ASSERT_EQ(editor.Load(EditorBlockPath(block).c_str()), 1);
    EXPECT_FALSE(game.HasFootprint());
    EXPECT_EQ(game.FaceCount(), editor.FaceCount());
    EXPECT_EQ(game.VertexCount(), editor.VertexCount());
  }
}

TEST_F(DemoBlocksTest, RoomsOfEveryKindGetABlockSetOfLoadableMeshes) {
  auto room = std::make_unique<CRoom>();
  for (int level : {0, 1, 4}) {
    for (int land : {0, 3, 6}) {
      room->level = level;
      room->land = land;
      room->LoadBlockSet();
      const char* set = level == 0 ? "land" : "dungeon";
      const auto inSet = std::count_if(DemoBlocks().begin(), DemoBlocks().end(),
                                       [set](const DemoBlock& b) { return b.set == set; });
      ASSERT_EQ(room->blockSet.GetCount(), inSet) << level << "," << land;
      for (int i = 0; i < room->blockSet.GetCount(); ++i) {
        const CMesh* mesh = room->blockSet.GetMeshAt(i);
        ASSERT_NE(mesh, nullptr);
        EXPECT_GT(mesh->FaceCount(), 0) << room->blockSet.GetPath(i);
        EXPECT_TRUE(mesh->HasFootprint()) << room->blockSet.GetPath(i);
      }
    }
  }
  room->level = 0;
  room->LoadBlockSet();
  EXPECT_GE(room->blockSet.FindName("grass"), 0);
  room->level = 2;
  room->LoadBlockSet();
  EXPECT_GE(room->blockSet.FindName("pillar"), 0);
}

// ---- Houses painted with the outdoor styles, drawn ----------------------

// A house on each ground (none: an empty room), painted as a user paints it
// with the outdoor styles: the house, an inside wall from its north wall to
// its south wall painted over both walls, a short one from the west wall to
// it painted between them, and a counter of two blocks against the east wall.
// Each is drawn from above through the room's drawing, side by side in one
// picture.
constexpr int kHouseLeft = 14, kHouseTop = 14, kHouseRight = 20, kHouseBottom = 18;
constexpr int kShotWidth = 200, kShotHeight = 150;

// The ground blocks the houses stand on; null: none.
const char* const kGrounds[] = {"sand1", "grass1", "water1", "wood1", nullptr};
// Differences the two builds' rounding may leave: a channel within 12, and
// at most 1 pixel in 200 beyond it.
constexpr int kChannelTolerance = 12;

class HousePictureTest : public DemoBlocksTest {
 protected:
  void SetUp() override {
    DemoBlocksTest::SetUp();
    DemoOutput out;
    AddTextureBanks(out);
    out.Finish();
    ASSERT_EQ(MtfOpenArchive("data.mtf", 0), 1);
    ASSERT_TRUE(display.Open(kShotWidth, kShotHeight));
  }

  void Paint(CRoom& room, const char* style, int c0, int r0, int c1, int r1) {
    const TileCategory* category = TilePalette().FindCategory(style);
    ASSERT_NE(category, nullptr) << style;
    for (int r = r0; r <= r1; ++r)
      for (int c = c0; c <= c1; ++c) room.PaintBlock(c, r, category->base, category->key);
  }

  std::unique_ptr<CRoom> House(const char* ground) {
    auto room = std::make_unique<CRoom>();
    room->level = 0;
    room->LoadBlockSet();
    TilePalette().BuildOutdoor();
    TilePalette().SetRandom([] { return 0; });
    if (ground) {
      const std::string path = room->blockSet.GetPath(room->blockSet.FindName(ground));
      for (int r = kHouseTop - 4; r <= kHouseBottom + 4; ++r)
        for (int c = kHouseLeft - 4; c <= kHouseRight + 4; ++c) room->Block(c, r).fileName = path;
    }
    Paint(*room, "House", kHouseLeft, kHouseTop, kHouseRight, kHouseBottom);
    Paint(*room, "Inside Walls House", kHouseLeft + 2, kHouseTop, kHouseLeft + 2, kHouseBottom);
    Paint(*room, "Inside Walls House", kHouseLeft + 1, kHouseBottom - 1, kHouseLeft + 1, kHouseBottom - 1);
    Paint(*room, "Comptoir House", kHouseRight - 2, kHouseTop + 2, kHouseRight - 1, kHouseTop + 2);
    TilePalette().SetRandom(nullptr);
    // Seen from the south and well above, the whole house in view.
    room->targetX = 512.0f * (kHouseLeft + kHouseRight) / 2.0f;
    room->targetZ = -512.0f * (kHouseTop + kHouseBottom) / 2.0f;
    room->targetY = -256.0f;
    room->pitch = -1.1f;
    room->yaw = 3.1415927f;
    room->distance = 4800.0f;
    return room;
  }

  std::vector<std::uint8_t> Draw(CRoom& room) {
    C3DEngine& engine = display.Engine();
    engine.SetViewportRect(0, 0, kShotWidth, kShotHeight);
    engine.SetFocal(kShotWidth * 0.78125f, kShotWidth * 0.78125f);
    engine.FillRect(0, 0, kShotWidth, kShotHeight, CColor(128, 128, 128));
    room.Render3D();
    return display.ReadRgb();
  }

  DisplayStack display;
};

TEST_F(HousePictureTest, HousesOnEveryGroundMatchTheirReferencePicture) {
  constexpr int kWidth = kShotWidth * 5;
  std::vector<std::uint8_t> strip(std::size_t(kWidth) * kShotHeight * 3);
  int shot = 0;
  for (const char* g : kGrounds) {
    SCOPED_TRACE(g ? g : "empty room");
    std::unique_ptr<CRoom> room = House(g);
    const std::vector<std::uint8_t> rgb = Draw(*room);
    ASSERT_EQ(rgb.size(), std::size_t(kShotWidth) * kShotHeight * 3);
    for (int y = 0; y < kShotHeight; ++y)
      std::copy_n(rgb.begin() + std::ptrdiff_t(y) * kShotWidth * 3, kShotWidth * 3,
                  strip.begin() + (std::ptrdiff_t(y) * kWidth + std::ptrdiff_t(shot) * kShotWidth) * 3);
    ++shot;
  }
  const std::string fixture = std::string(FIXTURES_DIR) + "/houses_on_every_ground.png";
  // Set to make the picture again after a deliberate change (look at it before committing it).
  if (std::getenv("WRITE_REFERENCE_PICTURES")) {
    ASSERT_TRUE(WritePng(fixture, kWidth, kShotHeight, strip));
  }
  testsupport::RgbImage reference;
  ASSERT_TRUE(testsupport::ReadPng(fixture, reference));
  ASSERT_EQ(reference.width, kWidth);
  ASSERT_EQ(reference.height, kShotHeight);
  EXPECT_LE(testsupport::Outliers(strip, reference, kChannelTolerance), kWidth * kShotHeight / 200);
}

}  // namespace
