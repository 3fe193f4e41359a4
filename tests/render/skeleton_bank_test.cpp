// The skeleton bank: its names from the monster classes, loading on demand
// through the archive layer, and the 16 slots given up least recently used first.
#include <gtest/gtest.h>

#include <cstdio>
#include <span>
#include <string>

#include "datafiles/monster_class_table.h"
#include "platform/core/clock.h"
#include "platform/core/services.h"
#include "render/skeleton_bank.h"
#include "render/skinned_model.h"
#include "skeleton_fixture.h"
#include "support/temp_dir.h"

namespace {

using namespace rendertest;

void SetMonsterSkeletons(const std::vector<std::string>& skeletons) {
  testsupport::Bytes b;
  b.u16(1).u32(static_cast<std::uint32_t>(skeletons.size()));
  int i = 0;
  for (const std::string& skeleton : skeletons) {
    char name[32];
    std::snprintf(name, sizeof name, "class%03d", i++);  // the table sorts by name
    b.u16(1).fixed(name, 32).fixed("", 32).u16(0).u16(0);
    for (int k = 0; k < 6; ++k) b.i32(0);
    for (int k = 0; k < 3; ++k) b.u16(0);
    for (int k = 0; k < 12; ++k) b.i32(0);
    b.fixed(skeleton, 64).f32(0).u16(0).i32(0).i32(0);
  }
  ASSERT_TRUE(g_monsterClassTable.Read(std::span<const std::uint8_t>(b.data())));
}

class SkeletonBankTest : public testsupport::TempDirTest {
 protected:
  SkeletonBankTest() { g_monsterClassTable.Free(); }
  ~SkeletonBankTest() override { g_monsterClassTable.Free(); }

  // The four files of a small skeleton whose skin is named after it.
  void WriteSkeleton(const std::string& name) {
    const std::string folder = "data/skeletons/" + name + "/" + name;
    PartSpec part;
    part.name = "body";
    part.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    part.faces = {FaceSpec{{0, 1, 2, 0xFFFF}}};
    dir.Write(folder + ".ska", std::span<const std::uint8_t>(SkaFile({{name, "m", {"body"}}})));
    dir.Write(folder + ".mdl", std::span<const std::uint8_t>(MdlFile({{"m", {{"root", ""}}}})));
    dir.Write(folder + ".mbr", std::span<const std::uint8_t>(MbrFile({part})));
    AnimSpec stand;
    stand.name = "stand";
    stand.boneMap = {0};
    stand.keys = {KeySpec{0, {}, {}, {{0, 0, 0}}}};
    dir.Write(folder + ".anb", std::span<const std::uint8_t>(AnbFile({stand})));
  }

  CSkeletonBank bank;
  platform::ScriptedServices ui;
  platform::FakeClock clock{1000};
};

TEST_F(SkeletonBankTest, RebuildPutsMultipnjFirstThenEachMonsterSkeletonOnce) {
  SetMonsterSkeletons({"wolf", "MULTIPNJ", "Orc", "WOLF", "", "orc"});
  bank.Rebuild();
  ASSERT_EQ(bank.GetCount(), 3);
  EXPECT_STREQ(bank.GetName(0), "multipnj");
  EXPECT_STREQ(bank.GetName(1), "wolf");
  EXPECT_STREQ(bank.GetName(2), "Orc");
  for (int i = 0; i < 3; ++i) EXPECT_EQ(bank.GetSlotOfName(i), -1);
}

TEST_F(SkeletonBankTest, GetSkeletonLoadsOnDemandAndTellsWhetherItJustLoaded) {
  WriteSkeleton("multipnj");
  bank.Rebuild();
  bool loaded = false;
  CSkeleton* s = bank.GetSkeleton(0, &loaded);
  ASSERT_NE(s, nullptr);
  EXPECT_TRUE(loaded);
  EXPECT_EQ(s->loaded, 1);
  EXPECT_STREQ(s->name, "multipnj");
  EXPECT_EQ(s->skins.Count(), 1);
  EXPECT_EQ(s->parts.Count(), 1);
  EXPECT_EQ(s->models.Count(), 1);
  EXPECT_EQ(s->animations.Count(), 1);
  EXPECT_EQ(bank.GetSkeleton(0, &loaded), s);
  EXPECT_FALSE(loaded) << "the second call finds it in its slot";
  EXPECT_EQ(bank.GetSkeleton(1), nullptr) << "outside the registry";
  EXPECT_EQ(bank.GetSkeleton(-1), nullptr);
  EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(SkeletonBankTest, SeventeenthSkeletonEvictsTheOneUsedLongestAgo) {
  std::vector<std::string> names;
  for (int i = 0; i < 17; ++i) {
    names.push_back("sk" + std::to_string(i));
    WriteSkeleton(names.back());
  }
  SetMonsterSkeletons(names);
  bank.Rebuild();  // multipnj is name 0 and is never used here
  for (int i = 1; i <= 16; ++i) {
    clock.Advance(10);
    ASSERT_EQ(bank.AcquireSlot(i), i - 1);
  }
  clock.Advance(10);
  bank.AcquireSlot(1);  // the oldest is now sk1 (slot 1)
  EXPECT_EQ(bank.FindFreeSlot(), -1);
  clock.Advance(10);
  bool loaded = false;
  EXPECT_EQ(bank.AcquireSlot(17, &loaded), 1);
  EXPECT_TRUE(loaded);
  EXPECT_EQ(bank.GetSlotOfName(2), -1) << "sk1 was given up";
  EXPECT_EQ(bank.GetSlotOfName(1), 0);
  EXPECT_EQ(bank.GetNameOfSlot(1), 17);
  EXPECT_STREQ(bank.Slot(1).name, "sk16");
  EXPECT_EQ(bank.GetSlotTime(1), clock.now());
}

TEST_F(SkeletonBankTest, EvictionTieGoesToTheLowestSlot) {
  std::vector<std::string> names;
  for (int i = 0; i < 17; ++i) {
    names.push_back("sk" + std::to_string(i));
    WriteSkeleton(names.back());
  }
  SetMonsterSkeletons(names);
  bank.Rebuild();
  for (int i = 1; i <= 16; ++i) ASSERT_GE(bank.AcquireSlot(i), 0);  // all at the same time
  EXPECT_EQ(bank.EvictOldest(), 0);
  EXPECT_EQ(bank.Slot(0).loaded, 0) << "an evicted slot is emptied";
  EXPECT_EQ(bank.Slot(0).skins.Count(), 0);
  EXPECT_EQ(bank.EvictOldest(), 1);
}

// Each of the four files missing or damaged: its box, its list empty, the
// others read, and the slot bound and loaded so that nothing shows twice.
struct BrokenFileCase {
  const char* extension;
  bool missing;  // else damaged: a count far beyond its bytes
  const char* box;  // null: no box
};

const BrokenFileCase kBrokenFiles[] = {
    {"ska", true, "Can't open file data\\skeletons\\multipnj\\multipnj.ska\n"},
    {"ska", false, "Error while reading data\\skeletons\\multipnj\\multipnj.ska"},
    {"mbr", true, "Error while reading data\\skeletons\\multipnj\\multipnj.mbr"},
    {"mbr", false, "Error while reading data\\skeletons\\multipnj\\multipnj.mbr"},
    {"mdl", true, nullptr},
    {"mdl", false, "Error while reading data\\skeletons\\multipnj\\multipnj.mdl"},
    {"anb", true, "Error while reading data\\skeletons\\multipnj\\multipnj.anb"},
    {"anb", false, "Error while reading data\\skeletons\\multipnj\\multipnj.anb"},
};

int ListCount(const CSkeleton& s, const std::string& extension) {
  if (extension == "ska") return s.skins.Count();
  if (extension == "mbr") return s.parts.Count();
  if (extension == "mdl") return s.models.Count();
  return s.animations.Count();
}

TEST_F(SkeletonBankTest, BrokenFileShowsItsBoxLeavesItsListEmptyAndTheSlotLoaded) {
  for (const BrokenFileCase& c : kBrokenFiles) {
    SCOPED_TRACE(std::string(c.extension) + (c.missing ? " missing" : " damaged"));
    WriteSkeleton("multipnj");
    const std::string file = "data/skeletons/multipnj/multipnj." + std::string(c.extension);
    if (c.missing) {
      std::remove((dir.path() + "/" + file).c_str());
    } else {
      dir.Write(file, std::string("\x01\x00\xFF\xFF\xFF\xFF", 6));
    }
    bank.Rebuild();
    bank.ResetSlots();
    ui.boxes.clear();
    bool loaded = false;
    CSkeleton* s = bank.GetSkeleton(0, &loaded);
    ASSERT_NE(s, nullptr);
    EXPECT_TRUE(loaded);
    EXPECT_EQ(s->loaded, 1);
    EXPECT_EQ(bank.GetSlotOfName(0), 0);
    EXPECT_STREQ(s->name, "multipnj");
    for (const char* other : {"ska", "mbr", "mdl", "anb"}) {
      EXPECT_EQ(ListCount(*s, other), std::string(other) == c.extension ? 0 : 1) << other;
    }
    if (c.box) {
      ASSERT_EQ(ui.boxes.size(), 1u);
      EXPECT_EQ(ui.boxes[0].text, c.box);
    } else {
      EXPECT_TRUE(ui.boxes.empty());
    }
    EXPECT_EQ(bank.GetSkeleton(0, &loaded), s);
    EXPECT_FALSE(loaded);
    EXPECT_EQ(ui.boxes.size(), c.box ? 1u : 0u) << "the boxes show once, not on every paint";
  }
}

TEST_F(SkeletonBankTest, SkeletonWithoutAnimationsBuildsAModelInItsRestPose) {
  WriteSkeleton("multipnj");
  std::remove((dir.path() + "/data/skeletons/multipnj/multipnj.anb").c_str());
  bank.Rebuild();
  CSkeleton* s = bank.GetSkeleton(0);
  ASSERT_NE(s, nullptr);
  CSkinnedModel model;
  model.Build("multipnj", &s->parts, &s->skins, &s->models);
  ASSERT_EQ(model.BoneCount(), 1);
  EXPECT_EQ(model.bones[0].vertices.size(), 3u) << "the part is there to draw";
}

TEST_F(SkeletonBankTest, AddAppendsANewNameOnceAndEmptiesEverySlot) {
  WriteSkeleton("multipnj");
  bank.Rebuild();
  ASSERT_NE(bank.GetSkeleton(0), nullptr);
  EXPECT_EQ(bank.Add("Troll"), 1);
  EXPECT_EQ(bank.GetSlotOfName(0), -1);
  EXPECT_EQ(bank.Slot(0).loaded, 0);
  EXPECT_EQ(bank.GetSlotTime(0), 0u);
  EXPECT_EQ(bank.Add("TROLL"), 1) << "known ignoring case";
  EXPECT_EQ(bank.Add("MultiPnj"), 0);
  EXPECT_EQ(bank.GetCount(), 2);
}

}  // namespace
