#include "tools/demodata/texture_banks.h"

#include <gtest/gtest.h>

#include <set>

#include "datafiles/mtf_archive.h"
#include "render/engine_3d.h"
#include "render/tga_image.h"
#include "support/temp_dir.h"
#include "tools/demodata/demo_output.h"

namespace {

class DemoBanksTest : public testsupport::TempDirTest {
 protected:
  void SetUp() override {
    MtfCloseAllArchives();
    DemoOutput out;
    AddTextureBanks(out);
    out.Finish();
    ASSERT_EQ(MtfOpenArchive("data.mtf", 0), 1);
  }
  void TearDown() override { MtfCloseAllArchives(); }
};

}  // namespace

TEST_F(DemoBanksTest, EveryBankIsFoundAndLoads) {
  C3DEngine::ResetState();
  C3DEngine engine;
  std::set<int> numbers;
  for (const DemoBank& bank : DemoBanks()) {
    SCOPED_TRACE(bank.name);
    EXPECT_TRUE(numbers.insert(bank.number).second);
    const char* path = engine.FindBankFile(bank.number);
    ASSERT_NE(path, nullptr);
    CTgaImage image;
    ASSERT_EQ(image.Load(path), 1);
    EXPECT_EQ(image.GetWidth(), 256);
    EXPECT_EQ(image.GetHeight(), 256);
    EXPECT_EQ(image.GetBitsPerPixel(), 24);
    // No texel is the transparent black, and the picture is not one flat colour.
    std::set<std::uint32_t> colours;
    for (int y = 0; y < 256; y += 5) {
      for (int x = 0; x < 256; x += 5) {
        const TgaPixel p = image.GetPixel(x, y);
        EXPECT_NE(p.r | p.g | p.b, 0);
        colours.insert(static_cast<std::uint32_t>(p.r) << 16 | p.g << 8 | p.b);
      }
    }
    EXPECT_GT(colours.size(), 20u);
  }
  C3DEngine::ResetState();
}
