// The frames the display path draws, pinned bit for bit: the demo land and
// dungeon rooms at the room view's 736 x 480, the preview meshes and a walking
// monster, through the engine, the renderer, the display device and the
// emulated 3D device (and the rooms through the software renderer too). The
// digests were taken from the drawing code before its span loops were made
// faster; the faster code must give every pixel exactly as before. Set
// FRAME_IDENTITY_OUT to a folder to have a frame that differs written there.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "datafiles/mtf_archive.h"
#include "platform/core/services.h"
#include "render/skeleton_bank.h"
#include "support/temp_dir.h"
#include "tools/demodata/block_meshes.h"
#include "tools/demodata/demo_output.h"
#include "tools/demodata/demo_skeletons.h"
#include "tools/demodata/texture_banks.h"
#include "tools/render_png/demo_scene.h"
#include "tools/render_png/png_writer.h"

namespace {

using Kind = DisplayStack::Renderer;

std::uint64_t Digest(const std::vector<std::uint8_t>& rgb) {
  std::uint64_t h = 1469598103934665603ull;
  for (std::uint8_t b : rgb) h = (h ^ b) * 1099511628211ull;
  return h;
}

class FrameIdentity : public testsupport::TempDirTest {
 protected:
  void SetUp() override {
    MtfCloseAllArchives();
    DemoOutput out;
    AddBlockMeshes(out);
    AddTextureBanks(out);
    AddDemoSkeletons(out);
    out.Finish();
    ASSERT_EQ(MtfOpenArchive("data.mtf", 0), 1);
  }
  void TearDown() override {
    g_skeletonBank.ResetSlots();
    g_skeletonBank.FreeNames();
    MtfCloseAllArchives();
  }

  static void ExpectDigest(const std::string& name, int width, int height, const std::vector<std::uint8_t>& rgb,
                           std::uint64_t expected) {
    ASSERT_EQ(rgb.size(), static_cast<std::size_t>(width) * height * 3) << name;
    const std::uint64_t got = Digest(rgb);
    char text[40];
    std::snprintf(text, sizeof text, "0x%016llxull", static_cast<unsigned long long>(got));
    EXPECT_EQ(got, expected) << name << " now digests to " << text;
    if (got != expected) {
      if (const char* out = std::getenv("FRAME_IDENTITY_OUT")) WritePng(std::string(out) + "/" + name + ".png", width, height, rgb);
    }
  }

  platform::ScriptedServices ui;
};

TEST_F(FrameIdentity, DemoRoomsAtTheRoomViewSizeAreUnchanged) {
  constexpr int kW = 736, kH = 480;
  const std::uint64_t expected[2] = {0x6e22cbcfe5160058ull, 0x6a354774a38ea1c6ull};
  for (int dungeon = 0; dungeon < 2; ++dungeon) {
    DisplayStack display;
    ASSERT_TRUE(display.Open(kW, kH));
    DemoScene scene;
    ASSERT_TRUE(scene.LoadBlocks());
    scene.LayOutRoom(dungeon != 0);
    // Twice, as the room view redraws: the second frame must not depend on what the first left behind.
    scene.DrawRoom(display.Engine(), kW, kH);
    const std::vector<std::uint8_t> first = display.ReadRgb();
    scene.DrawRoom(display.Engine(), kW, kH);
    const std::vector<std::uint8_t> second = display.ReadRgb();
    EXPECT_EQ(first, second);
    ExpectDigest(dungeon ? "dungeon_736x480" : "land_736x480", kW, kH, second, expected[dungeon]);
  }
}

TEST_F(FrameIdentity, SoftwareRenderedRoomsAreUnchanged) {
  constexpr int kW = 184, kH = 120;
  const std::uint64_t expected[2] = {0xaec7e14a14a8b18dull, 0xce7bdb612c710073ull};
  for (int dungeon = 0; dungeon < 2; ++dungeon) {
    DisplayStack display;
    ASSERT_TRUE(display.Open(kW, kH, Kind::Software));
    DemoScene scene;
    ASSERT_TRUE(scene.LoadBlocks());
    scene.LayOutRoom(dungeon != 0);
    scene.DrawRoom(display.Engine(), kW, kH);
    ExpectDigest(dungeon ? "soft_dungeon_184x120" : "soft_land_184x120", kW, kH, display.ReadRgb(), expected[dungeon]);
  }
}

TEST_F(FrameIdentity, PreviewMeshesAndAWalkingMonsterAreUnchanged) {
  struct Case {
    const char* name;
    const char* mesh;
    std::uint64_t digest;
  };
  const Case meshes[] = {
      {"wall_240x180", "rozizuzi\\o4d\\dungeon\\wall.o3d", 0x69f820401a3bbcdaull},
      {"menhir_240x180", "rozizuzi\\o4d\\land\\menhir.o3d", 0xa93ca2efd889c461ull},
  };
  for (const Case& c : meshes) {
    DisplayStack display;
    ASSERT_TRUE(display.Open(240, 180));
    ASSERT_TRUE(DemoScene::DrawMesh(display.Engine(), 240, 180, c.mesh)) << c.name;
    ExpectDigest(c.name, 240, 180, display.ReadRgb(), c.digest);
  }
  DisplayStack display;
  ASSERT_TRUE(display.Open(320, 240));
  ASSERT_TRUE(DemoScene::DrawMonster(display.Engine(), 320, 240, "orc", "walk", 400.0f));
  ExpectDigest("orc_walk_400_320x240", 320, 240, display.ReadRgb(), 0xbb1bf6df0c17883cull);
}

}  // namespace
