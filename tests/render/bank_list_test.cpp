#include <gtest/gtest.h>

#include <string>

#include "archive_fixture.h"
#include "platform/core/clock.h"
#include "platform/core/services.h"
#include "render/bank_list.h"
#include "support/bytes.h"
#include "support/temp_dir.h"

namespace {

using testsupport::Bytes;

// A one-triangle raw mesh whose top vertex is at height y.
std::vector<std::uint8_t> Triangle(float y) {
  Bytes b;
  b.u32(3).u32(1).u32(3).u32(1);
  b.f32(0).f32(0).f32(0).f32(1).f32(y).f32(0).f32(0).f32(0).f32(1);
  b.u32(0);
  for (int i = 0; i < 8; ++i) b.f32(0);
  b.u16(0).u16(1).u16(2).u16(0xFFFF).u32(1).u16(0);
  return b.data();
}

class BankListTest : public testsupport::TempDirTest {
 protected:
  rendertest::ArchiveGuard archives;
  platform::ScriptedServices ui;
  std::unique_ptr<CBankList> bank = std::make_unique<CBankList>();
};

TEST_F(BankListTest, LooseFileWinsOverTheArchiveEntryOfTheSameName) {
  dir.Write("meshes/a.o3d", Triangle(10));
  dir.Write("data.mtf", rendertest::MakeArchive({{"meshes\\a.o3d", Triangle(99)},
                                                 {"meshes\\b.o3d", Triangle(20)},
                                                 {"meshes\\c.txt", Triangle(1)},
                                                 {"other\\d.o3d", Triangle(1)}}));
  ASSERT_EQ(MtfOpenArchive("data.mtf", 0), 1);
  bank->Scan("meshes", "o3d");
  ASSERT_EQ(bank->GetCount(), 2);
  EXPECT_STREQ(bank->GetPath(0), "MESHES\\A.O3D");  // loose names are taken upper-cased
  EXPECT_STREQ(bank->GetName(0), "A");
  EXPECT_STREQ(bank->GetPath(1), "meshes\\b.o3d");
  EXPECT_STREQ(bank->GetName(1), "b");
  EXPECT_EQ(bank->folder(), "meshes");
  EXPECT_EQ(bank->extension(), "o3d");
  EXPECT_EQ(bank->GetName(2), nullptr);
  // Loading follows the archive layer: the entry, unless a "data" folder puts loose files first.
  EXPECT_EQ(bank->GetHeight(0), 99.0f);
  EXPECT_EQ(bank->GetHeight(1), 20.0f);
}

TEST_F(BankListTest, WithADataFolderTheLooseCopyIsTheOneLoaded) {
  dir.MakeDir("data");
  dir.Write("meshes/a.o3d", Triangle(10));
  dir.Write("data.mtf", rendertest::MakeArchive({{"meshes\\a.o3d", Triangle(99)}}));
  ASSERT_EQ(MtfOpenArchive("data.mtf", 0), 1);
  bank->Scan("meshes", "o3d");
  ASSERT_EQ(bank->GetCount(), 1);
  EXPECT_EQ(bank->GetHeight(0), 10.0f);
}

TEST_F(BankListTest, ArchiveEntriesAreLookedAtOnlyWithArchiveZeroMounted) {
  dir.Write("patch.mtf", rendertest::MakeArchive({{"meshes\\b.o3d", Triangle(20)}}));
  ASSERT_EQ(MtfOpenArchive("patch.mtf", 1), 1);
  bank->Scan("meshes", "o3d");
  EXPECT_EQ(bank->GetCount(), 0);
}

TEST_F(BankListTest, TheFirstFolderScannedKeepsABaseName) {
  dir.Write("one/box.o3d", Triangle(1));
  dir.Write("one/pillar.o3d", Triangle(2));
  dir.Write("two/BOX.o3d", Triangle(3));
  dir.Write("two/wall.o3d", Triangle(4));
  bank->Scan("one", "o3d");
  ASSERT_EQ(bank->GetSlotOfName(0), -1);
  ASSERT_GE(bank->GetMeshSlot(0), 0);
  bank->ScanMore("two", "o3d");
  ASSERT_EQ(bank->GetCount(), 3);
  EXPECT_STREQ(bank->GetPath(0), "ONE\\BOX.O3D");
  EXPECT_STREQ(bank->GetPath(2), "TWO\\WALL.O3D");
  EXPECT_EQ(bank->GetSlotOfName(0), -1);  // the cache was emptied
  EXPECT_EQ(bank->FindName("pillar"), 1);
  EXPECT_EQ(bank->FindPath("two\\wall.o3d"), 2);
  EXPECT_EQ(bank->FindPath("two\\box.o3d"), -1);
  bank->Scan("two", "o3d");
  EXPECT_EQ(bank->GetCount(), 2);
}

TEST_F(BankListTest, FindOrAddByPathThenBaseNameKeepsTheLoadedMesh) {
  dir.Write("one/box.o3d", Triangle(5));
  bank->Scan("one", "o3d");
  const int slot = bank->GetMeshSlot(0);
  ASSERT_GE(slot, 0);
  EXPECT_EQ(bank->FindOrAdd("one\\BOX.o3d"), 0);
  EXPECT_EQ(bank->FindOrAdd("elsewhere\\box.o3d"), 0);
  EXPECT_EQ(bank->GetSlotOfName(0), slot);
  EXPECT_EQ(bank->GetCount(), 1);
  EXPECT_EQ(bank->FindOrAdd("elsewhere\\new.o3d"), 1);
  EXPECT_EQ(bank->GetSlotOfName(1), -1);
  EXPECT_STREQ(bank->GetName(1), "new");
  // A mesh reached by path joins the registry.
  dir.Write("x/tall.o3d", Triangle(77));
  CMesh* m = bank->GetMesh("x\\tall.o3d");
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->height, 77.0f);
  EXPECT_EQ(bank->FindName("tall"), 2);
}

TEST_F(BankListTest, IndicesOutsideTheRegistryGiveNothing) {
  bank->FindOrAdd("a\\empty.o3d");  // no such file: an empty mesh
  for (int index : {-1, 1, 5000}) {
    EXPECT_EQ(bank->GetMeshSlot(index), -1) << index;
    EXPECT_EQ(bank->GetMeshAt(index), nullptr) << index;
    EXPECT_EQ(bank->GetHeight(index), 0.0f) << index;
    EXPECT_EQ(bank->GetName(index), nullptr) << index;
    EXPECT_EQ(bank->GetSlotOfName(index), -1) << index;
  }
  EXPECT_EQ(bank->GetHeight(0), 0.0f);  // a mesh without vertices
  EXPECT_GE(bank->GetSlotOfName(0), 0);
  EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(BankListTest, TheOneHundredAndTwentyNinthMeshEvictsTheOldest) {
  platform::FakeClock clock(1000);
  for (int i = 0; i < kBankMeshSlots + 1; ++i) bank->FindOrAdd("m\\mesh" + std::to_string(i) + ".o3d");
  for (int i = 0; i < kBankMeshSlots; ++i) {
    clock.Set(1000 + static_cast<std::uint32_t>(i));
    ASSERT_EQ(bank->GetMeshSlot(i), i);
  }
  clock.Set(5000);
  ASSERT_EQ(bank->GetMeshSlot(0), 0);  // a hit refreshes the time
  EXPECT_EQ(bank->GetSlotTime(0), 5000u);
  clock.Set(6000);
  EXPECT_EQ(bank->GetMeshSlot(kBankMeshSlots), 1);  // slot 1 is now the oldest
  EXPECT_EQ(bank->GetSlotOfName(1), -1);
  EXPECT_EQ(bank->GetNameOfSlot(1), kBankMeshSlots);
  // Drawing the evicted name again reloads it into the next oldest slot.
  clock.Set(7000);
  EXPECT_EQ(bank->GetMeshSlot(1), 2);
  EXPECT_EQ(bank->GetSlotOfName(2), -1);
  for (int i = 0; i < kBankMeshSlots + 1; ++i) {
    const int slot = bank->GetSlotOfName(i);
    if (slot >= 0) {
      EXPECT_EQ(bank->GetNameOfSlot(slot), i);  // both sides agree
    }
  }
}

TEST_F(BankListTest, EqualTimesEvictTheLowestSlotAndTheClockIsUnsigned) {
  platform::FakeClock clock(0x80000000u);
  for (int i = 0; i < kBankMeshSlots + 2; ++i) bank->FindOrAdd("m\\mesh" + std::to_string(i) + ".o3d");
  for (int i = 0; i < kBankMeshSlots; ++i) ASSERT_EQ(bank->GetMeshSlot(i), i);
  clock.Set(0x7FFFFFFFu);  // below the others when compared unsigned
  ASSERT_EQ(bank->GetMeshSlot(5), 5);
  EXPECT_EQ(bank->EvictOldest(), 5);
  EXPECT_EQ(bank->EvictOldest(), 0);
  EXPECT_EQ(bank->FindFreeSlot(), 0);
  bank->FlushMeshes();
  EXPECT_EQ(bank->EvictOldest(), -1);
  EXPECT_EQ(bank->GetSlotTime(3), 0u);
}

TEST_F(BankListTest, AFullRegistryRefusesNewNames) {
  for (int i = 0; i < kBankMaxNames; ++i) ASSERT_EQ(bank->FindOrAdd("f\\n" + std::to_string(i) + ".o3d"), i);
  EXPECT_EQ(bank->FindOrAdd("f\\another.o3d"), -1);
  EXPECT_EQ(bank->GetCount(), kBankMaxNames);
  EXPECT_EQ(bank->FindOrAdd("g\\n7.o3d"), 7);
  EXPECT_EQ(bank->GetSlotOfName(kBankMaxNames), -1);
  bank->Reset();
  EXPECT_EQ(bank->GetCount(), 0);
  EXPECT_EQ(bank->GetSlotOfName(0), -1);
}

}  // namespace
