// The four skeleton file readers: every file and record version, the finds,
// and damaged files refused whole.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "platform/core/services.h"
#include "platform/core/trace.h"
#include "render/anim_bank.h"
#include "render/matrix.h"
#include "render/mbr_list.h"
#include "render/mdl_list.h"
#include "render/quaternion.h"
#include "render/ska_list.h"
#include "skeleton_fixture.h"

namespace {

using namespace rendertest;
using Bytes = std::vector<std::uint8_t>;

// Every proper prefix of a file must be refused as truncated, leaving the list empty.
void ExpectEveryPrefixRefused(const Bytes& file, const std::function<SkeletonFileError(const Bytes&)>& read,
                              const std::function<int()>& count) {
  for (std::size_t n = 0; n < file.size(); ++n) {
    const Bytes prefix(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(n));
    ASSERT_EQ(read(prefix), SkeletonFileError::kTruncated) << "length " << n;
    ASSERT_EQ(count(), 0) << "length " << n;
  }
  EXPECT_EQ(read(file), SkeletonFileError::kNone);
}

PartSpec Triangle(const std::string& name, std::uint16_t version = 2) {
  PartSpec p;
  p.version = version;
  p.name = name;
  p.pivot = {1, 2, 3};
  for (int i = 0; i < 8; ++i) p.points[static_cast<std::size_t>(i)] = {float(i), float(10 * i), float(100 * i)};
  p.vertices = {{0, 0, 0}, {10, 0, 0}, {0, 10, 0}};
  p.faces = {FaceSpec{{0, 1, 2, 0xFFFF}, 0x4, 0x40112233u, 7}};
  p.values = {5, 6, 7, 8, 9, 10};
  return p;
}

// --- Skins ----------------------------------------------------------------------------

TEST(SkaListTest, ReadsSkinsWithModelAndPartNamesAndFindsIgnoringCase) {
  CSkaList list;
  ASSERT_EQ(list.ReadBytes(SkaFile({{"Hero", "heromodel", {"head", "", "arm"}}, {"orc", "orcmodel", {}}})),
            SkeletonFileError::kNone);
  ASSERT_EQ(list.Count(), 2);
  const CSkinRecord* hero = list.Find("HERO");
  ASSERT_NE(hero, nullptr);
  EXPECT_STREQ(hero->modelName, "heromodel");
  EXPECT_STREQ(hero->PartName(0), "head");
  EXPECT_STREQ(hero->PartName(1), "");
  EXPECT_STREQ(hero->PartName(2), "arm");
  EXPECT_STREQ(hero->PartName(63), "");
  EXPECT_STREQ(hero->PartName(64), "") << "past the 64 bones";
  EXPECT_STREQ(hero->PartName(-1), "");
  EXPECT_EQ(list.Find("elf"), nullptr);
}

TEST(SkaListTest, RecordOfAnotherVersionIsBidonAndTheNextFollowsAtOnce) {
  CSkaList list;
  ASSERT_EQ(list.ReadBytes(SkaFile({{"a", "m", {}, 2}, {"b", "m", {"p"}}})), SkeletonFileError::kNone);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_STREQ(list.Record(0).name, "bidon");
  EXPECT_STREQ(list.Record(0).PartName(0), "");
  EXPECT_STREQ(list.Record(1).name, "b");
  EXPECT_STREQ(list.Record(1).PartName(0), "p");
}

TEST(SkaListTest, FileOfAnotherVersionReadsNothing) {
  CSkaList list;
  EXPECT_EQ(list.ReadBytes(SkaFile({{"a", "m", {}}}, 2)), SkeletonFileError::kBadVersion);
  EXPECT_EQ(list.Count(), 0);
}

TEST(SkaListTest, TruncatedAtEveryLengthIsRefused) {
  CSkaList list;
  ExpectEveryPrefixRefused(
      SkaFile({{"a", "m", {"x"}}, {"b", "m", {}, 3}}), [&](const Bytes& b) { return list.ReadBytes(b); },
      [&] { return list.Count(); });
}

TEST(SkaListTest, NamesFillingTheirArraysAreCutAndTerminated) {
  CSkaList list;
  ASSERT_EQ(list.ReadBytes(SkaFile({{std::string(64, 'n'), std::string(64, 'm'), {std::string(64, 'p')}}})),
            SkeletonFileError::kNone);
  EXPECT_EQ(std::string(list.Record(0).name), std::string(63, 'n'));
  EXPECT_EQ(std::string(list.Record(0).PartName(0)), std::string(63, 'p'));
}

// --- Models ---------------------------------------------------------------------------

TEST(MdlListTest, ReadsBonesWithParentsAndFindsBonesIgnoringCase) {
  CMdlList list;
  ASSERT_EQ(list.ReadBytes(MdlFile({{"body", {{"hips", ""}, {"Spine", "hips"}, {"head", "spine"}}}})),
            SkeletonFileError::kNone);
  const CMdlModel* m = list.Find("BODY");
  ASSERT_NE(m, nullptr);
  ASSERT_EQ(m->BoneCount(), 3);
  EXPECT_STREQ(m->bones[2].parentName, "spine");
  EXPECT_EQ(m->FindBone("SPINE"), 1);
  EXPECT_EQ(m->FindBone(m->bones[0].parentName), -1) << "an empty name";
  EXPECT_EQ(m->FindBone("tail"), -1);
}

TEST(MdlListTest, ModelOrBoneOfAnotherVersionStaysEmpty) {
  CMdlList list;
  ASSERT_EQ(list.ReadBytes(MdlFile({{"old", {{"a", ""}}, 2}, {"body", {{"a", ""}, {"b", "a", 2}, {"c", "a"}}}})),
            SkeletonFileError::kNone);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Model(0).BoneCount(), 0);
  EXPECT_STREQ(list.Model(0).name, "");
  ASSERT_EQ(list.Model(1).BoneCount(), 3);
  EXPECT_STREQ(list.Model(1).bones[1].name, "");
  EXPECT_STREQ(list.Model(1).bones[2].name, "c");
}

TEST(MdlListTest, MoreThan64BonesAreRefused) {
  ModelSpec many{"many", {}};
  for (int i = 0; i < 65; ++i) many.bones.push_back({"b" + std::to_string(i), ""});
  CMdlList list;
  EXPECT_EQ(list.ReadBytes(MdlFile({many})), SkeletonFileError::kTooMany);
  EXPECT_EQ(list.Count(), 0);
  many.bones.pop_back();
  EXPECT_EQ(list.ReadBytes(MdlFile({many})), SkeletonFileError::kNone);
  EXPECT_EQ(list.Model(0).BoneCount(), 64);
}

TEST(MdlListTest, TruncatedAtEveryLengthIsRefused) {
  CMdlList list;
  ExpectEveryPrefixRefused(
      MdlFile({{"a", {{"x", ""}, {"y", "x"}}}, {"b", {}, 4}}), [&](const Bytes& b) { return list.ReadBytes(b); },
      [&] { return list.Count(); });
}

// --- Body parts -----------------------------------------------------------------------

TEST(MbrListTest, Version2PartHoldsMeshSeamFacesRecordsAndValues) {
  PartSpec p = Triangle("Arm");
  p.extraFaces = {FaceSpec{{0, 0xFFFE, 1, 0xFFFF}}};
  p.extraRecords = {{{4, 11, 12, 13, 0}}};
  CMbrList list;
  ASSERT_EQ(list.ReadBytes(MbrFile({Triangle("head"), p})), SkeletonFileError::kNone);
  const CMbrPart* arm = list.Find("ARM");
  ASSERT_NE(arm, nullptr);
  EXPECT_FLOAT_EQ(arm->pivot[2], 3.0f);
  EXPECT_FLOAT_EQ(arm->points[7][1], 70.0f);
  ASSERT_EQ(arm->VertexCount(), 3);
  EXPECT_EQ(arm->vertices[1].x, 10.0f);
  EXPECT_EQ(arm->vertices[1].color, 0x407F7F7Fu) << "grey 127, alpha 64";
  ASSERT_EQ(arm->FaceCount(), 1);
  EXPECT_EQ(arm->faces[0].color, 0x40112233u);
  EXPECT_EQ(arm->faces[0].depth, 7);
  EXPECT_EQ(arm->faces[0].vertexCount, 3);
  ASSERT_EQ(arm->ExtraCount(), 1);
  EXPECT_EQ(arm->extraFaces[0].index[1], 0xFFFE) << "a corner of another part";
  const auto rec = arm->ExtraRecord(0);
  EXPECT_EQ(rec[0], 4);
  EXPECT_EQ(rec[3], 13);
  EXPECT_FLOAT_EQ(arm->values[5], 10.0f);
  EXPECT_EQ(list.Find("leg"), nullptr);
  EXPECT_EQ(list.Find(""), nullptr);
}

TEST(MbrListTest, Version1PartPointsWhereItsFirstPointIs) {
  CMbrList list;
  PartSpec p = Triangle("v1", 1);
  p.points[0] = {4, 5, 6};
  ASSERT_EQ(list.ReadBytes(MbrFile({p, Triangle("next")})), SkeletonFileError::kNone);
  ASSERT_EQ(list.Count(), 2);
  const CMbrPart& part = list.Part(0);
  EXPECT_EQ(part.ExtraCount(), 0);
  EXPECT_FLOAT_EQ(part.values[0], 4.0f);
  EXPECT_FLOAT_EQ(part.values[1], 5.0f);
  EXPECT_FLOAT_EQ(part.values[2], 6.0f);
  EXPECT_FLOAT_EQ(part.values[3], 0.0f);
  EXPECT_STREQ(list.Part(1).name, "next");
}

TEST(MbrListTest, CornerOutsideThePartIsRefused) {
  struct Case {
    const char* what;
    bool seam;
    std::array<std::uint16_t, 4> index;
    SkeletonFileError expected;
  };
  const Case cases[] = {
      {"own face past the vertices", false, {0, 1, 3, 0xFFFF}, SkeletonFileError::kBadIndex},
      {"own face with a foreign corner", false, {0, 0xFFFE, 1, 0xFFFF}, SkeletonFileError::kBadIndex},
      {"own face without a first corner", false, {0xFFFF, 1, 2, 0xFFFF}, SkeletonFileError::kBadIndex},
      {"seam face past the vertices", true, {0, 1, 3, 0xFFFF}, SkeletonFileError::kBadIndex},
      {"seam face with a foreign corner", true, {0, 0x8000, 1, 0xFFFF}, SkeletonFileError::kNone},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    PartSpec p = Triangle("p");
    if (c.seam) {
      p.extraFaces = {FaceSpec{c.index}};
      p.extraRecords = {{{1, 2, 3, 4, 0}}};
    } else {
      p.faces = {FaceSpec{c.index}};
    }
    CMbrList list;
    EXPECT_EQ(list.ReadBytes(MbrFile({p})), c.expected);
    EXPECT_EQ(list.Count(), c.expected == SkeletonFileError::kNone ? 1 : 0);
  }
}

TEST(MbrListTest, PartOfUnknownVersionOrFileOfAnotherVersionIsRefused) {
  CMbrList list;
  EXPECT_EQ(list.ReadBytes(MbrFile({Triangle("p", 3)})), SkeletonFileError::kBadRecord);
  EXPECT_EQ(list.ReadBytes(MbrFile({Triangle("p")}, 2)), SkeletonFileError::kBadVersion);
  EXPECT_EQ(list.Count(), 0);
}

TEST(MbrListTest, TruncatedAtEveryLengthIsRefused) {
  PartSpec seam = Triangle("s");
  seam.extraFaces = {FaceSpec{{0, 0xFFFE, 1, 0xFFFF}}};
  seam.extraRecords = {{{1, 2, 3, 4, 0}}};
  CMbrList list;
  ExpectEveryPrefixRefused(MbrFile({Triangle("a", 1), seam}), [&](const Bytes& b) { return list.ReadBytes(b); },
                           [&] { return list.Count(); });
}

TEST(MbrListTest, HugeCountsAreRefusedBeforeAnythingIsAllocated) {
  testsupport::Bytes b;
  b.u16(1).u32(1).u16(2).fixed("p", 48).fixed("q", 48).zeros(12 + 96).u32(0x40000000).u32(0x40000000);
  CMbrList list;
  EXPECT_EQ(list.ReadBytes(b.data()), SkeletonFileError::kTruncated);
  testsupport::Bytes many;
  many.u16(1).u32(0xFFFFFFFF);
  EXPECT_EQ(list.ReadBytes(many.data()), SkeletonFileError::kTruncated);
}

// --- Animations -----------------------------------------------------------------------

AnimSpec Walk() {
  AnimSpec a;
  a.name = "walk";
  a.second = "fast";
  a.third = "third";
  a.lastFrame = 7;
  a.rate = 25;
  a.boneMap = {0, 1};
  a.keys = {KeySpec{0, {10, 256, 20}, {0, 0, 0}, {{0, 0, 0}, {0.5f, 0, 0}}},
            KeySpec{4, {170, 300, 60}, {0, 1, 0}, {{0, 0, 0}, {1.0f, 0, 0}}}};
  return a;
}

TEST(AnimBankTest, AnimationKeepsNamesRateKeysAndMotion) {
  CAnimBank bank;
  ASSERT_EQ(bank.ReadBytes(AnbFile({Walk()})), SkeletonFileError::kNone);
  ASSERT_EQ(bank.Count(), 1);
  const CAnimation& a = bank.Animation(0);
  EXPECT_STREQ(a.name, "walk");
  EXPECT_STREQ(a.secondName, "fast");
  EXPECT_STREQ(a.thirdName, "third");
  EXPECT_EQ(a.LastFrame(), 7);
  EXPECT_EQ(a.FrameRate(), 25);
  EXPECT_EQ(a.msPerFrame, 40);
  EXPECT_TRUE(a.IsUsable());
  ASSERT_EQ(a.boneMap.size(), 2u);
  EXPECT_STREQ(a.boneNames[1].data(), "bone1");
  ASSERT_NE(a.KeyAt(0), nullptr);
  ASSERT_NE(a.KeyAt(4), nullptr);
  EXPECT_EQ(a.KeyAt(1), nullptr);
  EXPECT_EQ(a.KeyAt(8), nullptr);
  // y lowered by 256; x and z relative to the first key.
  EXPECT_EQ(a.KeyAt(0)->position, CVector3(0, 0, 0));
  EXPECT_EQ(a.KeyAt(4)->position, CVector3(160, 44, 40));
  EXPECT_EQ(a.displacement, CVector3(160, 44, 40));
  EXPECT_FLOAT_EQ(a.displacementLength, std::sqrt(160.0f * 160 + 44 * 44 + 40 * 40));
  EXPECT_EQ(a.KeyAt(4)->root, CVector3(0, 1, 0));
  for (const int v : a.extraValues) EXPECT_EQ(v, -1) << "version 1 has none";
}

TEST(AnimBankTest, RotationsAreTheQuaternionsOfTheirEulerAngles) {
  CAnimBank bank;
  AnimSpec a = Walk();
  const CVector3 euler(0.3f, -0.7f, 1.1f);
  a.keys[0].rotations[1] = euler;
  ASSERT_EQ(bank.ReadBytes(AnbFile({a})), SkeletonFileError::kNone);
  CMatrix expected;
  expected.FromEuler(euler);
  const CMatrix got = bank.Animation(0).KeyAt(0)->rotations[1].ToMatrix();
  for (int i = 0; i < 9; ++i) EXPECT_NEAR(got.m[i], expected.m[i], 1e-5f) << i;
}

TEST(AnimBankTest, EveryRecordVersionReadsItsExtraValues) {
  AnimSpec v2 = Walk(), v3 = Walk(), v4 = Walk(), v1 = Walk();
  v2.version = 2;
  v3.version = 3;
  v4.version = 4;
  v2.name = "two";
  v3.name = "three";
  CAnimBank bank;
  ASSERT_EQ(bank.ReadBytes(AnbFile({v2, v3, v4, v1})), SkeletonFileError::kNone);
  ASSERT_EQ(bank.Count(), 4);
  EXPECT_EQ(bank.Animation(0).extraValues[0], 21);
  EXPECT_EQ(bank.Animation(0).extraValues[1], -1);
  EXPECT_EQ(bank.Animation(1).extraValues[0], 31);
  EXPECT_EQ(bank.Animation(1).extraValues[3], 34);
  EXPECT_STREQ(bank.Animation(2).name, "") << "a newer record stays empty";
  EXPECT_FALSE(bank.Animation(2).IsUsable());
  EXPECT_STREQ(bank.Animation(3).name, "walk") << "and the next record follows its version";
  EXPECT_EQ(bank.ReadBytes(AnbFile({v1}, 2)), SkeletonFileError::kBadVersion);
}

TEST(AnimBankTest, KeysOfAnotherVersionOrPastTheLastFrameAreDropped) {
  AnimSpec a = Walk();
  a.keys.push_back(KeySpec{2, {}, {}, {{0, 0, 0}}, 2});
  a.keys.push_back(KeySpec{8, {}, {}, {{0, 0, 0}}});
  a.keys.push_back(KeySpec{0xFFFFFFFF, {}, {}, {}});
  CAnimBank bank;
  ASSERT_EQ(bank.ReadBytes(AnbFile({a, Walk()})), SkeletonFileError::kNone);
  ASSERT_EQ(bank.Count(), 2);
  EXPECT_EQ(bank.Animation(0).keys.size(), 2u);
  EXPECT_EQ(bank.Animation(0).KeyAt(2), nullptr);
  EXPECT_EQ(bank.Animation(0).KeyAt(8), nullptr);
}

TEST(AnimBankTest, FindMatchesNameAndOptionallySecondNameIgnoringCase) {
  AnimSpec slow = Walk(), fast = Walk(), idle = Walk(), unnamed = Walk();
  slow.second = "slow";
  idle.name = "idle";
  unnamed.name = "";
  CAnimBank bank;
  ASSERT_EQ(bank.ReadBytes(AnbFile({unnamed, slow, fast, idle})), SkeletonFileError::kNone);
  EXPECT_EQ(bank.Find("WALK", nullptr), 1) << "the first walk whatever its second name";
  EXPECT_EQ(bank.Find("walk", "FAST"), 2);
  EXPECT_EQ(bank.Find("walk", "run"), -1);
  EXPECT_EQ(bank.Find("idle", nullptr), 3);
  EXPECT_EQ(bank.Find("", nullptr), -1) << "an unnamed animation is never found";
  EXPECT_EQ(bank.Find(nullptr, nullptr), -1);
}

TEST(AnimBankTest, RateOrLastFrameOutOfRangeMakesTheAnimationUnusable) {
  struct Case {
    std::int32_t rate, last;
    bool usable;
  };
  const Case cases[] = {{0, 7, false}, {-5, 7, false}, {2000, 7, false}, {1001, 7, false},
                        {1000, 7, true}, {1, 0, true},   {25, -1, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "rate " << c.rate << " last " << c.last);
    AnimSpec a = Walk();
    a.rate = c.rate;
    a.lastFrame = c.last;
    if (c.last < 4) a.keys.resize(1);
    CAnimBank bank;
    ASSERT_EQ(bank.ReadBytes(AnbFile({a})), SkeletonFileError::kNone);
    EXPECT_EQ(bank.Animation(0).IsUsable(), c.usable);
  }
}

TEST(AnimBankTest, MoreThan64BonesAreRefused) {
  AnimSpec a = Walk();
  a.boneMap.assign(65, 0);
  CAnimBank bank;
  EXPECT_EQ(bank.ReadBytes(AnbFile({a})), SkeletonFileError::kTooMany);
  EXPECT_EQ(bank.Count(), 0);
}

TEST(AnimBankTest, TruncatedAtEveryLengthIsRefused) {
  AnimSpec v3 = Walk();
  v3.version = 3;
  AnimSpec v2 = Walk();
  v2.version = 2;
  v2.keys[0].version = 5;
  CAnimBank bank;
  ExpectEveryPrefixRefused(AnbFile({Walk(), v3, v2}), [&](const Bytes& b) { return bank.ReadBytes(b); },
                           [&] { return bank.Count(); });
}

TEST(AnimBankTest, HugeRotationCountIsRefused) {
  AnimSpec a = Walk();
  CAnimBank bank;
  Bytes file = AnbFile({a});
  // The first key's rotation count sits after the head, the bone map and names, the key count, frame and version.
  const std::size_t at = 2 + 4 + 2 + 64 * 3 + 16 + 4 + 2 * 2 + 64 * 2 + 4 + 4 + 2;
  ASSERT_EQ(file[at], 2u);
  file[at + 3] = 0x7F;
  EXPECT_EQ(bank.ReadBytes(file), SkeletonFileError::kTruncated);
}

// --- Loading through the archive layer --------------------------------------------------

TEST(SkeletonFileLoadTest, MissingFilesShowTheirBoxesOrNone) {
  platform::ScriptedServices ui;
  CSkaList ska;
  CMdlList mdl;
  CMbrList mbr;
  CAnimBank anb;
  EXPECT_EQ(ska.Read("data\\skeletons\\none\\none.ska"), 0);
  EXPECT_EQ(mdl.Read("data\\skeletons\\none\\none.mdl"), 0);
  EXPECT_EQ(mbr.Load("data\\skeletons\\none\\none.mbr"), 0);
  EXPECT_EQ(anb.Read("data\\skeletons\\none\\none.anb"), 0);
  ASSERT_EQ(ui.boxes.size(), 3u);
  EXPECT_EQ(ui.boxes[0].text, "Can't open file data\\skeletons\\none\\none.ska\n");
  EXPECT_EQ(ui.boxes[1].text, "Error while reading data\\skeletons\\none\\none.mbr");
  EXPECT_EQ(ui.boxes[2].text, "Error while reading data\\skeletons\\none\\none.anb");
}

}  // namespace
