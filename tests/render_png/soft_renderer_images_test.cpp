// The software renderer end to end: the demo data's rooms and meshes drawn
// through the 3D engine into the display device's 16-bit back surface,
// against reference pictures and against the device renderer.
//
// Reference pictures are compared within a tolerance: the mean difference of
// every channel at most 1.5 levels of 255, and at most 1 % of the pixels off by
// more than 24 levels in a channel. Set SOFT_REFERENCE_OUT to a folder to have
// the pictures drawn now written there as PNG files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "datafiles/mtf_archive.h"
#include "support/digest.h"
#include "support/temp_dir.h"
#include "tools/demodata/block_meshes.h"
#include "tools/demodata/demo_output.h"
#include "tools/demodata/texture_banks.h"
#include "tools/render_png/demo_scene.h"
#include "tools/render_png/png_writer.h"

namespace {

using Kind = DisplayStack::Renderer;

struct Picture {
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgb;
  const std::uint8_t* At(int x, int y) const { return &rgb[(static_cast<std::size_t>(y) * width + x) * 3]; }
};

class SoftRendererImages : public testsupport::TempDirTest {
 protected:
  void SetUp() override {
    MtfCloseAllArchives();
    DemoOutput out;
    AddBlockMeshes(out);
    AddTextureBanks(out);
    out.Finish();
    ASSERT_TRUE(MtfOpenArchive("data.mtf", 0));
  }
  void TearDown() override { MtfCloseAllArchives(); }

  static Picture Room(Kind kind, bool dungeon, int width, int height) {
    Picture p;
    DisplayStack display;
    if (!display.Open(width, height, kind)) return p;
    DemoScene scene;
    if (!scene.LoadBlocks()) return p;
    scene.LayOutRoom(dungeon);
    scene.DrawRoom(display.Engine(), display.Width(), display.Height());
    p = {display.Width(), display.Height(), display.ReadRgb()};
    return p;
  }
  static Picture Mesh(Kind kind, const char* path, int width, int height) {
    Picture p;
    DisplayStack display;
    if (!display.Open(width, height, kind)) return p;
    if (!DemoScene::DrawMesh(display.Engine(), display.Width(), display.Height(), path)) return p;
    p = {display.Width(), display.Height(), display.ReadRgb()};
    return p;
  }

  static void Keep(const std::string& name, const Picture& p) {
    if (const char* out = std::getenv("SOFT_REFERENCE_OUT"))
      WritePng(std::string(out) + "/" + name, p.width, p.height, p.rgb);
  }

  static void ExpectLikeReference(const std::string& name, const Picture& p) {
    Keep(name, p);
    Picture reference;
    std::ifstream file(std::string(FIXTURES_DIR) + "/" + name, std::ios::binary);
    const std::vector<std::uint8_t> png((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    ASSERT_TRUE(DecodePng(png, reference.width, reference.height, reference.rgb)) << name;
    ASSERT_EQ(reference.width, p.width);
    ASSERT_EQ(reference.height, p.height);
    double sum[3] = {};
    int far = 0;
    for (std::size_t i = 0; i < p.rgb.size(); i += 3) {
      int worst = 0;
      for (int c = 0; c < 3; ++c) {
        const int d = std::abs(p.rgb[i + c] - reference.rgb[i + c]);
        sum[c] += d;
        worst = std::max(worst, d);
      }
      far += worst > 24;
    }
    const double pixels = static_cast<double>(p.width) * p.height;
    for (double s : sum) EXPECT_LE(s / pixels, 1.5) << name << ": mean channel difference";
    EXPECT_LE(far, pixels / 100) << name << ": pixels far from the reference";
  }
};

TEST_F(SoftRendererImages, DemoRoomsAndMeshesMatchTheirReferencePictures) {
  ExpectLikeReference("soft_land_184x120.png", Room(Kind::Software, false, 184, 120));
  ExpectLikeReference("soft_dungeon_184x120.png", Room(Kind::Software, true, 184, 120));
  ExpectLikeReference("soft_wall_96x72.png", Mesh(Kind::Software, "rozizuzi\\o4d\\dungeon\\wall.o3d", 96, 72));
  ExpectLikeReference("soft_menhir_96x72.png", Mesh(Kind::Software, "rozizuzi\\o4d\\land\\menhir.o3d", 96, 72));
}

// Both renderers on the same room, region by region: which pixels hold the
// room rather than the background may differ by 2 % of a region, and the
// average of each colour channel by 24 levels. They differ in detail: the
// software renderer samples 4-4-4 texels without halved copies and maps
// opaque lit faces affinely.
TEST_F(SoftRendererImages, BothRenderersAgreeOnCoverageAndColourOfTheDemoRooms) {
  constexpr int kW = 736, kH = 480, kColumns = 8, kRows = 6;
  for (bool dungeon : {false, true}) {
    SCOPED_TRACE(dungeon ? "dungeon" : "land");
    const Picture device = Room(Kind::Device, dungeon, kW, kH);
    const Picture soft = Room(Kind::Software, dungeon, kW, kH);
    ASSERT_EQ(device.width, kW);
    ASSERT_EQ(soft.width, kW);
    Keep(dungeon ? "device_dungeon.png" : "device_land.png", device);
    Keep(dungeon ? "soft_dungeon.png" : "soft_land.png", soft);
    const std::uint8_t* background = device.At(0, 0);
    const std::vector<std::uint8_t> bg(background, background + 3);
    int roomRegions = 0;
    for (int ry = 0; ry < kRows; ++ry)
      for (int rx = 0; rx < kColumns; ++rx) {
        double sumDevice[3] = {}, sumSoft[3] = {};
        int coveredDevice = 0, coveredSoft = 0, n = 0;
        for (int y = ry * kH / kRows; y < (ry + 1) * kH / kRows; ++y)
          for (int x = rx * kW / kColumns; x < (rx + 1) * kW / kColumns; ++x, ++n) {
            const std::uint8_t* a = device.At(x, y);
            const std::uint8_t* b = soft.At(x, y);
            coveredDevice += !std::equal(a, a + 3, bg.begin());
            coveredSoft += !std::equal(b, b + 3, bg.begin());
            for (int c = 0; c < 3; ++c) {
              sumDevice[c] += a[c];
              sumSoft[c] += b[c];
            }
          }
        roomRegions += coveredDevice > n / 2;
        EXPECT_LE(std::abs(coveredDevice - coveredSoft), n / 50) << "region " << rx << ", " << ry;
        for (int c = 0; c < 3; ++c)
          EXPECT_LE(std::abs(sumDevice[c] - sumSoft[c]) / n, 24.0) << "region " << rx << ", " << ry << " channel " << c;
      }
    EXPECT_GE(roomRegions, kColumns * kRows / 2) << "the room fills most of the picture";
  }
}

// The frames pinned bit for bit: the demo rooms at the room view's 736 x 480
// and the preview meshes through the display device, and the rooms through
// the software renderer. The digests were taken from the drawing code before
// its span loops were made faster; every pixel must stay as it was. Set
// SOFT_REFERENCE_OUT to see a frame that differs.
TEST_F(SoftRendererImages, FramesAreUnchangedToTheBit) {
  struct Case {
    const char* name;
    Picture picture;
    std::uint64_t digest;
  };
  const Case cases[] = {
      {"land_736x480.png", Room(Kind::Device, false, 736, 480), 0x6e22cbcfe5160058ull},
      {"dungeon_736x480.png", Room(Kind::Device, true, 736, 480), 0x6a354774a38ea1c6ull},
      {"soft_land.png", Room(Kind::Software, false, 184, 120), 0xaec7e14a14a8b18dull},
      {"soft_dungeon.png", Room(Kind::Software, true, 184, 120), 0xce7bdb612c710073ull},
      {"wall_240x180.png", Mesh(Kind::Device, "rozizuzi\\o4d\\dungeon\\wall.o3d", 240, 180), 0x69f820401a3bbcdaull},
      {"menhir_240x180.png", Mesh(Kind::Device, "rozizuzi\\o4d\\land\\menhir.o3d", 240, 180), 0xa93ca2efd889c461ull},
  };
  for (const Case& c : cases) {
    ASSERT_FALSE(c.picture.rgb.empty()) << c.name;
    const std::uint64_t digest = testsupport::Digest(c.picture.rgb);
    EXPECT_EQ(digest, c.digest) << c.name << " now digests to " << testsupport::DigestLiteral(digest);
    if (digest != c.digest) Keep(c.name, c.picture);
  }
}

// A room drawn twice on one display: the second frame must not depend on what the first left behind.
TEST_F(SoftRendererImages, RedrawingARoomGivesTheSameFrame) {
  DisplayStack display;
  ASSERT_TRUE(display.Open(736, 480));
  DemoScene scene;
  ASSERT_TRUE(scene.LoadBlocks());
  scene.LayOutRoom(true);
  scene.DrawRoom(display.Engine(), 736, 480);
  const std::vector<std::uint8_t> first = display.ReadRgb();
  scene.DrawRoom(display.Engine(), 736, 480);
  EXPECT_EQ(display.ReadRgb(), first);
}

}  // namespace
