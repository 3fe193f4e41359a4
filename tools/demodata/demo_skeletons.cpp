#include "tools/demodata/demo_skeletons.h"

#include <cmath>
#include <cstdint>
#include <numbers>

#include "datafiles/common/little_endian.h"
#include "tools/demodata/demo_output.h"
#include "tools/demodata/skeleton_builder.h"

namespace {

constexpr float kTwoPi = 2.0f * std::numbers::pi_v<float>;
// Banks of the demo (see texture_banks.cpp) the bodies are painted with.
constexpr std::uint16_t kRoad = 2, kHedge = 3, kStone = 4, kRubble = 6, kWall = 7;

// The walk: 32 frames at 20 a second, a key every fourth frame.
constexpr int kWalkLast = 31;
constexpr int kWalkRate = 20;
// Standing: 24 frames at 10 a second, breathing.
constexpr int kStandLast = 23;
constexpr int kStandRate = 10;

struct Monster {
  const char* className;
  const char* displayKey;
  const char* skeleton;
};
constexpr Monster kMonsters[] = {{"orc", "MONSTER_ORC", "orc"}, {"wolf", "MONSTER_WOLF", "wolf"}};

// Animations are named "walk" and "static" with the skeleton's name as
// their qualifier, as monsters look them up.
void AddHumanoid(SkeletonBuilder& b, const std::string& qualifier, std::uint16_t skin, std::uint16_t cloth, float bulk) {
  const float w = bulk;
  b.AddBone("hips", "", {-40 * w, -20, -22 * w}, {40 * w, 20, 22 * w}, {0, 0, 0},
            {{0, 20, 0}, {-24 * w, -14, 0}, {24 * w, -14, 0}}, cloth);
  b.AddBone("chest", "hips", {-46 * w, 0, -24 * w}, {46 * w, 150, 24 * w}, {0, 150, 0},
            {{0, 150, 0}, {-58 * w, 138, 0}, {58 * w, 138, 0}}, cloth);
  b.AddBone("lthigh", "hips", {-16 * w, -120, -16 * w}, {16 * w, 0, 16 * w}, {0, -120, 0}, {{0, -120, 0}}, cloth);
  b.AddBone("rthigh", "hips", {-16 * w, -120, -16 * w}, {16 * w, 0, 16 * w}, {0, -120, 0}, {{0, -120, 0}}, cloth);
  b.AddBone("head", "chest", {-26, 0, -28}, {26, 66, 28}, {0, 66, 0}, {}, skin);
  b.AddBone("larm", "chest", {-12 * w, -110, -12 * w}, {12 * w, 0, 12 * w}, {0, -110, 0}, {{0, -110, 0}}, skin);
  b.AddBone("rarm", "chest", {-12 * w, -110, -12 * w}, {12 * w, 0, 12 * w}, {0, -110, 0}, {{0, -110, 0}}, skin);
  b.AddBone("lshin", "lthigh", {-13 * w, -136, -13 * w}, {13 * w, 0, 20 * w}, {0, -136, 0}, {}, skin);
  b.AddBone("rshin", "rthigh", {-13 * w, -136, -13 * w}, {13 * w, 0, 20 * w}, {0, -136, 0}, {}, skin);
  b.AddBone("lfore", "larm", {-10 * w, -100, -10 * w}, {10 * w, 0, 10 * w}, {0, -100, 0}, {}, skin);
  b.AddBone("rfore", "rarm", {-10 * w, -100, -10 * w}, {10 * w, 0, 10 * w}, {0, -100, 0}, {}, skin);

  std::vector<SkeletonBuilder::Key> walk;
  for (int f = 0; f <= kWalkLast; f += 4) {
    const float p = kTwoPi * static_cast<float>(f) / (kWalkLast + 1);
    const float s = std::sin(p), c = std::cos(p);
    walk.push_back({f, 256.0f + 6.0f * std::fabs(c) - 6.0f,
                    {{"lthigh", {0.45f * s, 0, 0}},
                     {"rthigh", {-0.45f * s, 0, 0}},
                     {"lshin", {-0.25f * (1.0f + c), 0, 0}},
                     {"rshin", {-0.25f * (1.0f - c), 0, 0}},
                     {"larm", {-0.4f * s, 0, 0.08f}},
                     {"rarm", {0.4f * s, 0, -0.08f}},
                     {"lfore", {0.3f, 0, 0}},
                     {"rfore", {0.3f, 0, 0}},
                     {"chest", {0.06f, 0.08f * s, 0}}}});
  }
  std::vector<SkeletonBuilder::Key> stand;
  for (int f : {0, 12}) {
    const float breath = f == 0 ? 0.0f : 1.0f;
    stand.push_back({f, 256.0f,
                     {{"chest", {-0.03f * breath, 0, 0}},
                      {"head", {0.1f * breath, 0.15f * breath, 0}},
                      {"larm", {0, 0, 0.12f + 0.05f * breath}},
                      {"rarm", {0, 0, -0.12f - 0.05f * breath}},
                      {"lfore", {0.2f, 0, 0}},
                      {"rfore", {0.2f, 0, 0}}}});
  }
  b.AddAnimation("walk", qualifier, kWalkLast, kWalkRate, walk);
  b.AddAnimation("static", qualifier, kStandLast, kStandRate, stand);
}

void AddFourLegged(SkeletonBuilder& b, const std::string& qualifier) {
  b.AddBone("body", "", {-32, -30, -100}, {32, 30, 100}, {0, 0, 0},
            {{0, 20, 100}, {-22, -24, 72}, {22, -24, 72}, {-22, -24, -72}, {22, -24, -72}, {0, 18, -100}}, kRubble);
  b.AddBone("head", "body", {-26, -24, -10}, {26, 28, 80}, {0, 20, 80}, {}, kStone);
  b.AddBone("lfleg", "body", {-11, -84, -11}, {11, 0, 11}, {0, -84, 0}, {}, kRubble);
  b.AddBone("rfleg", "body", {-11, -84, -11}, {11, 0, 11}, {0, -84, 0}, {}, kRubble);
  b.AddBone("lbleg", "body", {-12, -84, -12}, {12, 0, 12}, {0, -84, 0}, {}, kRubble);
  b.AddBone("rbleg", "body", {-12, -84, -12}, {12, 0, 12}, {0, -84, 0}, {}, kRubble);
  b.AddBone("tail", "body", {-7, -7, -100}, {7, 7, 0}, {0, 10, -100}, {}, kStone);
  std::vector<SkeletonBuilder::Key> walk;
  for (int f = 0; f <= kWalkLast; f += 4) {
    const float p = kTwoPi * static_cast<float>(f) / (kWalkLast + 1);
    const float s = std::sin(p);
    walk.push_back({f, 108.0f + 4.0f * std::fabs(std::cos(p)),
                    {{"lfleg", {0.5f * s, 0, 0}},
                     {"rbleg", {0.5f * s, 0, 0}},
                     {"rfleg", {-0.5f * s, 0, 0}},
                     {"lbleg", {-0.5f * s, 0, 0}},
                     {"head", {0.08f * s, 0, 0}},
                     {"tail", {0, 0.4f * s, 0}}}});
  }
  std::vector<SkeletonBuilder::Key> stand;
  for (int f : {0, 12}) {
    const float t = f == 0 ? -1.0f : 1.0f;
    stand.push_back({f, 108.0f, {{"head", {0.1f * t, 0.2f * t, 0}}, {"tail", {0.2f, 0.3f * t, 0}}}});
  }
  b.AddAnimation("walk", qualifier, kWalkLast, kWalkRate, walk);
  b.AddAnimation("static", qualifier, kStandLast, kStandRate, stand);
}

}  // namespace

const std::vector<DemoSkeleton>& DemoSkeletons() {
  static const std::vector<DemoSkeleton> skeletons = {{"multipnj", false}, {"orc", false}, {"wolf", true}};
  return skeletons;
}

std::string DemoSkeletonPath(const std::string& name, const char* extension) {
  return "data\\skeletons\\" + name + "\\" + name + "." + extension;
}

SkeletonBuilder BuildDemoSkeleton(const DemoSkeleton& skeleton) {
  SkeletonBuilder b;
  if (skeleton.fourLegged) {
    AddFourLegged(b, skeleton.name);
  } else if (skeleton.name == "orc") {
    AddHumanoid(b, skeleton.name, kHedge, kRubble, 1.3f);
  } else {
    AddHumanoid(b, skeleton.name, kRoad, kWall, 1.0f);
  }
  // A skin under the skeleton's name, and one under each class that uses it.
  b.AddSkin(skeleton.name);
  for (const Monster& m : kMonsters) {
    if (skeleton.name == m.skeleton && skeleton.name != m.className) b.AddSkin(m.className);
  }
  return b;
}

std::vector<std::uint8_t> DemoMonsterClasses() {
  std::vector<std::uint8_t> out;
  AppendLe16(out, 1);
  AppendLe32(out, static_cast<std::uint32_t>(std::size(kMonsters)));
  const auto text = [&](const std::string& s, std::size_t n) {
    out.insert(out.end(), s.begin(), s.end());
    out.insert(out.end(), n - s.size(), 0);
  };
  for (const Monster& m : kMonsters) {
    AppendLe16(out, 1);  // row version 1: every field up to 31 but 29
    text(m.className, 32);
    text(m.displayKey, 32);
    AppendLe16(out, 1);  // type: a monster
    AppendLe16(out, 0);
    for (std::int32_t v : {20, 40, 0, 0, 2, 6}) AppendLe32(out, static_cast<std::uint32_t>(v));
    for (int i = 0; i < 3; ++i) AppendLe16(out, 0);
    for (int i = 0; i < 12; ++i) AppendLe32(out, 0);
    text(m.skeleton, 64);
    AppendLeF32(out, 0.0f);
    AppendLe16(out, 0);
    AppendLe32(out, 0);
    AppendLe32(out, 0);
  }
  return out;
}

void AddDemoSkeletons(DemoOutput& out) {
  for (const DemoSkeleton& s : DemoSkeletons()) {
    SkeletonBuilder b = BuildDemoSkeleton(s);
    out.DataArchive().Add(DemoSkeletonPath(s.name, "ska"), b.Ska(), MtfStorage::kAuto);
    out.DataArchive().Add(DemoSkeletonPath(s.name, "mdl"), b.Mdl(), MtfStorage::kAuto);
    out.DataArchive().Add(DemoSkeletonPath(s.name, "mbr"), b.Mbr(), MtfStorage::kAuto);
    out.DataArchive().Add(DemoSkeletonPath(s.name, "anb"), b.Anb(), MtfStorage::kAuto);
  }
  out.DataArchive().Add("data\\monsterclass.dat", DemoMonsterClasses(), MtfStorage::kAuto);
}
