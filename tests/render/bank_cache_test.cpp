// The texture-bank cache: slots in order, eviction of the least recently
// used with a wrapping clock, the file search and its order, resets.
#include "render/bank_cache.h"

#include <gtest/gtest.h>

#include "archive_fixture.h"
#include "datafiles/mtf_archive.h"
#include "platform/core/clock.h"
#include "platform/core/trace.h"
#include "recording_renderer.h"
#include "render/engine_3d.h"
#include "support/temp_dir.h"

namespace {

class BankCacheTest : public testsupport::TempDirTest {
 protected:
  void SetUp() override {
    MtfCloseAllArchives();
    C3DEngine::ResetState();
    engine = std::make_unique<C3DEngine>();
    renderer.textureCount = 32;
    engine->SetRenderer(&renderer);
  }
  void TearDown() override {
    engine.reset();
    C3DEngine::ResetState();
    MtfCloseAllArchives();
  }
  platform::FakeClock clock{0xFFFFFF00u};  // wraps during the tests
  platform::TraceCapture trace;
  rendertest::RecordingRenderer renderer;
  std::unique_ptr<C3DEngine> engine;
};

}  // namespace

TEST_F(BankCacheTest, SlotsFillInOrderThenTheOldestIsEvicted) {
  engine->ResetTextureCache();
  for (int bank = 0; bank < 32; ++bank) {
    clock.Advance(100);  // crosses the clock's wrap on the way
    EXPECT_EQ(engine->GetBankSlot(bank + 10), bank);
  }
  clock.Advance(100);
  EXPECT_EQ(engine->GetBankSlot(10), 0);  // a hit: bank 10 is now the newest
  EXPECT_EQ(engine->BankCache().Hits(0), 1);
  clock.Advance(100);
  renderer.events.clear();
  EXPECT_EQ(engine->GetBankSlot(500), 1);  // slot 1 (bank 11) was used longest ago
  EXPECT_EQ(engine->BankCache().SlotOfBank(11), -1);
  EXPECT_EQ(engine->BankCache().Evictions(), 1);
  // Taking a slot from another bank pauses the scene around the load.
  ASSERT_FALSE(renderer.events.empty());
  EXPECT_EQ(renderer.events.front(), "pause");
  EXPECT_EQ(renderer.events.back(), "resume");
}

TEST_F(BankCacheTest, TiesGoToTheLowestSlot) {
  CTextureBankCache cache;
  cache.Reset(5);
  for (int i = 0; i < 4; ++i) cache.Assign(i, i, 5);
  bool evicted = false;
  EXPECT_EQ(cache.AllocSlot(9, 0, 3, 10, &evicted), 0);
  EXPECT_TRUE(evicted);
  EXPECT_EQ(cache.AllocSlot(9, 2, 1, 10, &evicted), -1);
}

TEST_F(BankCacheTest, FilesAreSearchedInOrder) {
  dir.Write("rozizuzi/bank/k0007_zeta.tga", "x");
  dir.Write("rozizuzi/bank/k0007_alpha.tga", "x");
  dir.Write("DATA/bankdatabase/brimvault/k0007_other.tga", "x");
  dir.Write("DATA/bankdatabase/brimvault/k0008_b.tga", "x");
  dir.Write("data.mtf", rendertest::MakeArchive({{"DATA\\bankdatabase\\brimvault\\k0009_one.tga", {1}},
                                                 {"DATA\\bankdatabase\\brimvault\\k0009_two.tga", {2}},
                                                 {"DATA\\bankdatabase\\brimvault\\k0008_arc.tga", {3}}}));
  ASSERT_EQ(MtfOpenArchive("data.mtf", 0), 1);
  struct Case {
    int bank;
    const char* path;
  };
  const Case cases[] = {
      {7, "rozizuzi\\bank\\k0007_alpha.tga"},
      {8, "DATA\\bankdatabase\\brimvault\\k0008_b.tga"},
      {9, "DATA\\bankdatabase\\brimvault\\k0009_two.tga"},
  };
  for (const Case& k : cases) {
    const char* found = engine->FindBankFile(k.bank);
    ASSERT_NE(found, nullptr) << k.bank;
    EXPECT_STREQ(found, k.path);
  }
  EXPECT_EQ(engine->FindBankFile(10), nullptr);
  EXPECT_TRUE(trace.Contains("bank 10 not found\n"));
}

TEST_F(BankCacheTest, MissingAndOutOfRangeBanks) {
  engine->ResetTextureCache();
  renderer.events.clear();
  // A missing file keeps the slot assigned; nothing is loaded.
  EXPECT_EQ(engine->GetBankSlot(3), 0);
  EXPECT_TRUE(trace.Contains("trying loading in cache bank \n"));
  EXPECT_TRUE(trace.Contains("bank 3 not found\n"));
  EXPECT_TRUE(renderer.events.empty());
  EXPECT_EQ(engine->GetBankSlot(3), 0);
  // Numbers outside 0..1023 are never an index.
  for (int bank : {-1, 1024, 65535}) {
    trace.Clear();
    EXPECT_EQ(engine->GetBankSlot(bank), -1);
    EXPECT_TRUE(trace.Contains("bank " + std::to_string(bank) + " not found\n"));
  }
  // Without a renderer or slots, no slot.
  renderer.textureCount = 0;
  EXPECT_EQ(engine->GetBankSlot(4), -1);
  engine->SetRenderer(nullptr);
  EXPECT_EQ(engine->GetBankSlot(5), -1);
}

TEST_F(BankCacheTest, LoadsFoundFilesAndResetsStartAgain) {
  dir.Write("rozizuzi/bank/k0042_wall.tga", "x");
  engine->ResetTextureCache();
  renderer.events.clear();
  EXPECT_EQ(engine->GetBankSlot(1), 0);
  EXPECT_EQ(engine->GetBankSlot(42), 1);
  ASSERT_EQ(renderer.events.size(), 1u);
  EXPECT_EQ(renderer.events[0], "load 1 rozizuzi\\bank\\k0042_wall.tga");
  renderer.events.clear();
  engine->ResetTextureCache();
  EXPECT_EQ(renderer.events[0], "release bitmaps");
  EXPECT_EQ(engine->GetBankSlot(42), 0);
  EXPECT_EQ(renderer.events.back(), "load 0 rozizuzi\\bank\\k0042_wall.tga");
}
