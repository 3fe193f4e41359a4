// Skinned models: the bone tree built from a skin, the rest pose that puts
// every part where its file has it, posing, lighting, seam faces, drawing
// through the engine, and sampling an animation onto a model.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "platform/core/trace.h"
#include "recording_renderer.h"
#include "render/anim_bank.h"
#include "render/camera.h"
#include "render/engine_3d.h"
#include "render/mbr_list.h"
#include "render/mdl_list.h"
#include "render/render_vertex.h"
#include "render/ska_list.h"
#include "render/skinned_model.h"
#include "skeleton_fixture.h"

namespace {

using namespace rendertest;

constexpr float kPi = 3.14159265f;

// A triangle facing a camera that looks along +z, offset by `at`.
PartSpec TrianglePart(const std::string& name, CVector3 at, float size = 10.0f) {
  PartSpec p;
  p.name = name;
  p.vertices = {at, at + CVector3(0, size, 0), at + CVector3(size, 0, 0)};
  p.faces = {FaceSpec{{0, 1, 2, 0xFFFF}}};
  return p;
}

struct Lists {
  CSkaList skins;
  CMdlList models;
  CMbrList parts;
};

// hips (root) carries the torso; head and arm hang on the torso's points 0
// and 1; tail has no part; hand hangs on the arm's point 0.
void BuildBody(Lists& l, std::vector<PartSpec>* partsOut = nullptr) {
  PartSpec torso = TrianglePart("torso", {0, 0, 0}, 40);
  torso.points[0] = {0, 100, 0};
  torso.points[1] = {50, 80, 0};
  PartSpec head = TrianglePart("head", {-5, 0, 0});
  head.values = {0, 30, 0, 0, 0, 0};
  PartSpec arm = TrianglePart("arm", {0, -30, 0});
  arm.values = {0, -60, 0, 0, 0, 0};
  arm.points[0] = {0, -60, 0};
  PartSpec hand = TrianglePart("hand", {0, -5, 2}, 5);
  const std::vector<PartSpec> parts = {torso, head, arm, hand};
  if (partsOut) *partsOut = parts;
  ASSERT_EQ(l.parts.ReadBytes(MbrFile(parts)), SkeletonFileError::kNone);
  ASSERT_EQ(l.skins.ReadBytes(SkaFile({{"hero", "body", {"torso", "head", "arm", "", "hand"}}})),
            SkeletonFileError::kNone);
  ASSERT_EQ(l.models.ReadBytes(MdlFile({{"body",
                                         {{"hips", ""}, {"head", "hips"}, {"arm", "HIPS"}, {"tail", "hips"},
                                          {"hand", "arm"}}}})),
            SkeletonFileError::kNone);
}

CVector3 World(const CBone& bone, int vertex) {
  const CMeshVertex& v = bone.vertices[static_cast<std::size_t>(vertex)];
  return bone.matrix.Inverse().TransformPoint({v.x, v.y, v.z});
}

void ExpectNear(const CVector3& got, const CVector3& want, float tolerance = 1e-3f) {
  EXPECT_NEAR(got.x, want.x, tolerance);
  EXPECT_NEAR(got.y, want.y, tolerance);
  EXPECT_NEAR(got.z, want.z, tolerance);
}

TEST(SkinnedModelBuildTest, BonesFormTheTreeOfTheModelWithTheirAttachPoints) {
  Lists l;
  BuildBody(l);
  CSkinnedModel model;
  model.Build("HERO", &l.parts, &l.skins, &l.models);
  EXPECT_EQ(model.built, 1);
  ASSERT_EQ(model.BoneCount(), 5);
  const CBone& hips = model.bones[0];
  EXPECT_STREQ(hips.name, "hips");
  EXPECT_EQ(hips.parent, -1);
  EXPECT_EQ(hips.firstChild, 2) << "the last attached child heads the list";
  EXPECT_EQ(model.bones[2].nextSibling, 1);
  EXPECT_EQ(model.bones[1].nextSibling, -1);
  EXPECT_EQ(hips.childCount, 3) << "the tail counts though it carries nothing";
  EXPECT_EQ(model.bones[1].attachPoint, 0);
  EXPECT_EQ(model.bones[2].attachPoint, 1);
  EXPECT_EQ(model.bones[4].attachPoint, 0);
  EXPECT_EQ(model.bones[4].parent, 2);
  EXPECT_FALSE(model.bones[3].hasPart);
  EXPECT_EQ(model.bones[3].vertexCount, 0);
  EXPECT_EQ(model.bones[4].depth, 2);
  EXPECT_EQ(model.totalVertexCount, 12);
  EXPECT_EQ(model.bones[4].firstVertex, 9);
  EXPECT_EQ(model.bones[1].reversedFaces[0].index[0], 2);
  EXPECT_EQ(model.FindBone("ARM"), 2);
}

TEST(SkinnedModelBuildTest, RestPosePutsEveryPartWhereItsFileHasItOnItsJoint) {
  Lists l;
  std::vector<PartSpec> parts;
  BuildBody(l, &parts);
  CSkinnedModel model;
  model.Build("hero", &l.parts, &l.skins, &l.models);
  ASSERT_EQ(model.BoneCount(), 5);
  const CVector3 offsets[] = {{0, 0, 0}, {0, 100, 0}, {50, 80, 0}, {0, 0, 0}, {50, 20, 0}};
  const int partOf[] = {0, 1, 2, -1, 3};
  for (int b : {0, 1, 2, 4}) {
    SCOPED_TRACE(model.bones[static_cast<std::size_t>(b)].name);
    const PartSpec& p = parts[static_cast<std::size_t>(partOf[b])];
    for (int v = 0; v < 3; ++v) {
      ExpectNear(World(model.bones[static_cast<std::size_t>(b)], v), p.vertices[static_cast<std::size_t>(v)] + offsets[b]);
    }
  }
  // The arm points down: in its own frame it lies along +z.
  const CMeshVertex& armVertex = model.bones[2].vertices[0];
  EXPECT_NEAR(armVertex.z, 30.0f, 1e-3f);
}

TEST(SkinnedModelBuildTest, OrientationTurnsAndAnglesPoseTheBoneAndWhatHangsOnIt) {
  Lists l;
  BuildBody(l);
  CSkinnedModel model;
  model.Build("hero", &l.parts, &l.skins, &l.models);
  const CVector3 headRest = World(model.bones[1], 0);
  const CVector3 handRest = World(model.bones[4], 0);
  model.orientation = {0, kPi / 2, 0};
  model.Update();
  CMatrix turn;
  turn.FromEuler(model.orientation);
  ExpectNear(World(model.bones[1], 0), turn.TransformPoint(headRest));
  ExpectNear(World(model.bones[4], 0), turn.TransformPoint(handRest));

  model.orientation = {};
  model.bones[2].angles.x += 0.8f;
  model.Update();
  ExpectNear(World(model.bones[1], 0), headRest);
  const CVector3 handMoved = World(model.bones[4], 0);
  EXPECT_GT((handMoved - handRest).Length(), 10.0f);
  // The arm turns about its joint, so the hand keeps its distance from it.
  const CVector3 shoulder(50, 80, 0);
  EXPECT_NEAR((handMoved - shoulder).Length(), (handRest - shoulder).Length(), 1e-2f);
}

TEST(SkinnedModelBuildTest, PartPointingNowhereIsOrientedAlongZ) {
  Lists l;
  PartSpec p = TrianglePart("lump", {1, 2, 3});
  p.pivot = {4, 4, 4};
  p.values = {4, 4, 4.000001f, 0, 0, 0};
  ASSERT_EQ(l.parts.ReadBytes(MbrFile({p})), SkeletonFileError::kNone);
  ASSERT_EQ(l.skins.ReadBytes(SkaFile({{"s", "m", {"lump"}}})), SkeletonFileError::kNone);
  ASSERT_EQ(l.models.ReadBytes(MdlFile({{"m", {{"root", ""}}}})), SkeletonFileError::kNone);
  CSkinnedModel model;
  model.Build("s", &l.parts, &l.skins, &l.models);
  ASSERT_EQ(model.BoneCount(), 1);
  const CMeshVertex& v = model.bones[0].vertices[1];
  EXPECT_NEAR(v.x, 1.0f, 1e-5f);
  EXPECT_NEAR(v.y, 12.0f, 1e-5f);
  EXPECT_NEAR(v.z, 3.0f, 1e-5f);
}

TEST(SkinnedModelBuildTest, MissingPiecesOrPartsLeaveTheModelEmpty) {
  Lists l;
  BuildBody(l);
  CSkinnedModel model;
  model.Build("nobody", &l.parts, &l.skins, &l.models);
  EXPECT_EQ(model.BoneCount(), 0);
  EXPECT_EQ(model.built, 0);
  model.Build("hero", nullptr, &l.skins, &l.models);
  EXPECT_EQ(model.BoneCount(), 0);
  ASSERT_EQ(l.skins.ReadBytes(SkaFile({{"ghost", "body", {"none", "nothing"}}, {"lost", "nomodel", {"torso"}}})),
            SkeletonFileError::kNone);
  model.Build("lost", &l.parts, &l.skins, &l.models);
  EXPECT_EQ(model.BoneCount(), 0);
  model.Build("ghost", &l.parts, &l.skins, &l.models);
  EXPECT_EQ(model.BoneCount(), 0) << "a skin that names no existing parts is freed";
  EXPECT_EQ(model.built, 1);
  C3DEngine::ResetState();
  C3DEngine engine;
  g_3DEngine = &engine;
  engine.BeginFrame(1);
  model.Draw(CCamera());
  EXPECT_EQ(engine.VerticesUsed(), 0);
  g_3DEngine = nullptr;
}

TEST(SkinnedModelBuildTest, BrokenBoneTreesAreRefused) {
  struct Case {
    const char* what;
    std::vector<BoneSpec> bones;
    const char* trace;
  };
  std::vector<BoneSpec> crowded = {{"hub", ""}};
  for (int i = 0; i < 9; ++i) crowded.push_back({"spoke" + std::to_string(i), "hub"});
  const Case cases[] = {
      {"own parent", {{"a", ""}, {"b", "b"}}, "its own parent"},
      {"loop", {{"a", "c"}, {"b", "a"}, {"c", "b"}}, "close a loop"},
      {"ninth child", crowded, "more than eight"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Lists l;
    std::vector<std::string> partNames(c.bones.size(), "p");
    ASSERT_EQ(l.parts.ReadBytes(MbrFile({TrianglePart("p", {})})), SkeletonFileError::kNone);
    ASSERT_EQ(l.skins.ReadBytes(SkaFile({{"s", "m", partNames}})), SkeletonFileError::kNone);
    ASSERT_EQ(l.models.ReadBytes(MdlFile({{"m", c.bones}})), SkeletonFileError::kNone);
    platform::TraceCapture trace;
    CSkinnedModel model;
    model.Build("s", &l.parts, &l.skins, &l.models);
    EXPECT_EQ(model.BoneCount(), 0);
    EXPECT_TRUE(trace.Contains(c.trace)) << trace.text();
    model.Update();
  }
}

// --- Preparing the faces ------------------------------------------------------------

TEST(BonePrepareTest, FaceSetsAndNormals) {
  CBone bone;
  bone.vertices = {{0, 0, 0}, {0, 10, 0}, {10, 0, 0}, {10, 10, 0}, {0, 0, 10}};
  CFace a, b, c;
  a.InitTriangle(0x4 | kFaceEnvMapped, 0, 0, 1, 2);
  b.InitTriangle(0x4, 0, 2, 1, 3);  // the same plane as a
  c.InitTriangle(0x4, 0, 0, 4, 1);  // a side at right angles
  bone.faces = {a, b, c};
  bone.Prepare();
  ASSERT_EQ(bone.shadowFaces.size(), 3u);
  EXPECT_EQ(bone.shadowFaces[1].color, 0x96000000u);
  EXPECT_EQ(bone.shadowFaces[1].flags, 0u);
  EXPECT_EQ(bone.shadowFaces[1].index[2], 3);
  ASSERT_EQ(bone.litFaces.size(), 3u);
  EXPECT_EQ(bone.litFaces[0].flags, 0x815u);
  EXPECT_EQ(bone.litFaces[0].depth, 52);
  EXPECT_FLOAT_EQ(bone.litFaces[0].uv[2].v, 0.99609375f);
  ASSERT_EQ(bone.envFaceCount, 1);
  EXPECT_EQ(bone.envFaces[0].flags, 0x811u);
  EXPECT_EQ(bone.envFaces[0].depth, 53);
  EXPECT_FLOAT_EQ(bone.envFaces[0].uv[1].u, 64.0f);
  EXPECT_EQ(bone.working.size(), 5u);
  // Face a: (0,10,0) x (10,0,0) points along -z.
  EXPECT_FLOAT_EQ(bone.faceNormals[2], -1.0f);
  // Vertex 1 is used by a and b (one plane, counted once) and by c (+x side... -x).
  const CVector3 n1(bone.vertexNormals[3], bone.vertexNormals[4], bone.vertexNormals[5]);
  const float h = 1.0f / std::sqrt(2.0f);
  EXPECT_NEAR(n1.x, -h, 1e-5f);
  EXPECT_NEAR(n1.z, -h, 1e-5f);
  const CVector3 n3(bone.vertexNormals[9], bone.vertexNormals[10], bone.vertexNormals[11]);
  EXPECT_NEAR(n3.z, -1.0f, 1e-5f);
}

TEST(BoneLightTest, GreyFollowsTheAngleToTheLightDownToItsFloor) {
  struct Case {
    float cosine;
    int grey;
  };
  const float cos70 = std::cos(70.0f * kPi / 180.0f);
  const Case cases[] = {{1.0f, 210}, {0.5f, 105}, {cos70, 73}, {0.0f, 73}, {-1.0f, 73}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cosine);
    CBone bone;
    bone.vertices.resize(1);
    bone.vertexNormals = {std::sqrt(1.0f - c.cosine * c.cosine), 0, c.cosine};
    CVertex v{};
    v.color = CColor::FromRGBA(1, 2, 3, 99);
    bone.Light(&v, 0, 0, 1, kSkinLightIntensity);
    EXPECT_EQ(v.color.r, c.grey);
    EXPECT_EQ(v.color.g, c.grey);
    EXPECT_EQ(v.color.b, c.grey);
    EXPECT_EQ(v.color.a, 99) << "alpha is kept";
  }
}

// --- Seam faces ---------------------------------------------------------------------

// Two bones whose parts share seam faces: "up" hangs on "base"'s point 0.
void BuildSeams(Lists& l) {
  PartSpec base = TrianglePart("base", {});
  base.points[0] = {0, 50, 0};
  PartSpec up = TrianglePart("up", {});
  constexpr std::uint16_t kOther = 0xFFFE;
  // Joined: base's corners 0 and 1 with up's corner 2; both parts hold the face.
  base.extraFaces = {FaceSpec{{0, 1, kOther, 0xFFFF}, 0x4 | kFaceEnvMapped},
                     FaceSpec{{0, kOther, 2, 0xFFFF}},  // no part holds its other corner
                     FaceSpec{{0, 1, 2, 0xFFFF}}};      // the same key as the first: merged once
  base.extraRecords = {{{7, 100, 101, 200, 0}}, {{8, 1, 2, 3, 0}}, {{7, 200, 101, 100, 0}}};
  up.extraFaces = {FaceSpec{{kOther, kOther, 2, 0xFFFF}, 0x4 | kFaceEnvMapped}};
  up.extraRecords = {{{7, 100, 101, 200, 0}}};
  ASSERT_EQ(l.parts.ReadBytes(MbrFile({base, up})), SkeletonFileError::kNone);
  ASSERT_EQ(l.skins.ReadBytes(SkaFile({{"s", "m", {"base", "up"}}})), SkeletonFileError::kNone);
  ASSERT_EQ(l.models.ReadBytes(MdlFile({{"m", {{"root", ""}, {"top", "root"}}}})), SkeletonFileError::kNone);
}

TEST(SkinnedModelMergeTest, SeamCornersResolveInTheOtherBoneAndKeysMergeOnce) {
  Lists l;
  BuildSeams(l);
  CSkinnedModel model;
  model.Build("s", &l.parts, &l.skins, &l.models);
  ASSERT_EQ(model.BoneCount(), 2);
  ASSERT_EQ(model.MergedFaceCount(), 1) << "unresolved and repeated seam faces are left out";
  const CFace& f = model.mergedFaces[0];
  EXPECT_EQ(f.index[0], 0);
  EXPECT_EQ(f.index[1], 1);
  EXPECT_EQ(f.index[2], 3 + 2) << "up's corner 2 after base's three vertices";
  ASSERT_EQ(model.envSeamFaces.size(), 1u);
  EXPECT_EQ(model.envSeamFaces[0].flags, 0x811u);
  EXPECT_EQ(model.envSeamFaces[0].depth, 53);
  ASSERT_EQ(model.mergedShadowFaces.size(), 1u);
  EXPECT_EQ(model.mergedShadowFaces[0].color, 0x96000000u);
  EXPECT_EQ(model.mergedShadowFaces[0].flags, 0u);
  ASSERT_EQ(model.mergedLitFaces.size(), 1u);
  EXPECT_EQ(model.mergedLitFaces[0].color, 0xFFFFFFFFu);
  EXPECT_EQ(model.mergedLitFaces[0].flags, 0x811u);
  EXPECT_EQ(model.mergedNormals.size(), 18u);
}

// --- Drawing through the engine ---------------------------------------------------------

class SkinnedModelDrawTest : public ::testing::Test {
 protected:
  void SetUp() override {
    C3DEngine::ResetState();
    engine = std::make_unique<C3DEngine>();
    g_3DEngine = engine.get();
    engine->SetRenderer(&renderer);
    engine->SetFocal(500, 500);
    engine->SetNearPlane(128);
    engine->SetViewportRect(0, 0, 639, 479);
    engine->BeginFrame(1);
    camera.position = CVector3(0, 0, -1000);
  }
  void TearDown() override {
    g_3DEngine = nullptr;
    engine.reset();
    C3DEngine::ResetState();
  }
  // How many sorted items stand for faces of the array.
  int ItemsOf(const std::vector<CFace>& faces) const {
    int n = 0;
    for (int b = 0; b < kEngineBuckets; ++b) {
      for (const CSortItem* it = engine->BucketHead(b); it; it = it->next) {
        if (!faces.empty() && it->face >= faces.data() && it->face < faces.data() + faces.size()) ++n;
      }
    }
    return n;
  }
  RecordingRenderer renderer;
  std::unique_ptr<C3DEngine> engine;
  CCamera camera;
};

TEST_F(SkinnedModelDrawTest, BonesAndSeamsAreSubmittedLitOverOnePool) {
  Lists l;
  BuildSeams(l);
  CSkinnedModel model;
  model.Build("s", &l.parts, &l.skins, &l.models);
  ASSERT_EQ(model.MergedFaceCount(), 1);
  model.Draw(camera);
  EXPECT_EQ(engine->VerticesUsed(), 6);
  EXPECT_EQ(ItemsOf(model.bones[0].faces), 1);
  EXPECT_EQ(ItemsOf(model.bones[1].faces), 1);
  EXPECT_EQ(ItemsOf(model.mergedFaces), 1);
  // Every drawn vertex is lit: a grey between the floor and the full intensity.
  for (int b = 0; b < kEngineBuckets; ++b) {
    for (const CSortItem* it = engine->BucketHead(b); it; it = it->next) {
      for (int k = 0; k < 3; ++k) {
        const CColor c = it->vertices[it->face->index[k]].color;
        EXPECT_GE(c.r, 73);
        EXPECT_LE(c.r, 210);
        EXPECT_EQ(c.r, c.g);
      }
    }
  }
}

TEST_F(SkinnedModelDrawTest, SeamFacesWaitForEveryBoneTheyTouch) {
  Lists l;
  BuildSeams(l);
  CSkinnedModel model;
  model.Build("s", &l.parts, &l.skins, &l.models);
  model.bones[1].visible = 0;
  model.Draw(camera);
  EXPECT_EQ(engine->VerticesUsed(), 3);
  EXPECT_EQ(ItemsOf(model.bones[0].faces), 1);
  EXPECT_EQ(ItemsOf(model.mergedFaces), 0) << "its third corner was not transformed";

  engine->BeginFrame(1);
  model.bones[1].visible = 1;
  model.bones[0].visible = 0;
  model.Draw(camera);
  EXPECT_EQ(ItemsOf(model.bones[1].faces), 1);
  EXPECT_EQ(ItemsOf(model.mergedFaces), 0);
}

// --- Sampling an animation ------------------------------------------------------------

class AnimationSampleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    model.bones.resize(3);
    for (int i = 0; i < 3; ++i) {
      model.bones[static_cast<std::size_t>(i)].index = i;
      model.bones[static_cast<std::size_t>(i)].vertexCount = 3;
    }
  }
  const CAnimation& Read(const AnimSpec& spec) {
    EXPECT_EQ(bank.ReadBytes(AnbFile({spec})), SkeletonFileError::kNone);
    return bank.Animation(0);
  }
  // Keys at frames 0 and 4 of 0..7 at 25 frames a second (40 ms a frame):
  // x moves from 0 to 160 and bone 0 turns about x from 0 to 1.
  static AnimSpec Walk() {
    AnimSpec a;
    a.name = "walk";
    a.lastFrame = 7;
    a.rate = 25;
    a.boneMap = {1, 0, 5};
    a.keys = {KeySpec{0, {0, 256, 0}, {0, 0, 0}, {{0.3f, 0, 0}, {0, 0, 0}}},
              KeySpec{4, {160, 256, 0}, {0, 0.8f, 0}, {{0.3f, 0, 0}, {1.0f, 0, 0}}}};
    return a;
  }
  CAnimBank bank;
  CSkinnedModel model;
};

TEST_F(AnimationSampleTest, BetweenTwoKeysTheFractionIsTimeOverTheirSpan) {
  const CAnimation& a = Read(Walk());
  a.Sample(model, 100.0f, true);  // frame 2, 20 ms in: s = (20 + 2 x 40) / (4 x 40) = 0.625
  EXPECT_NEAR(model.position.x, 100.0f, 1e-3f);
  EXPECT_NEAR(model.position.y, 0.0f, 1e-3f);
  EXPECT_NEAR(model.orientation.y, 0.5f, 1e-4f);
  EXPECT_NEAR(model.bones[0].angles.x, 0.625f, 1e-4f);
  EXPECT_NEAR(model.bones[1].angles.x, 0.3f, 1e-4f);
  EXPECT_EQ(model.bones[2].angles, CVector3()) << "its map entry names no rotation";
}

TEST_F(AnimationSampleTest, OnAKeyThePoseIsTheKeys) {
  const CAnimation& a = Read(Walk());
  a.Sample(model, 160.0f, true);
  EXPECT_NEAR(model.position.x, 160.0f, 1e-3f);
  EXPECT_NEAR(model.orientation.y, 0.8f, 1e-4f);
  EXPECT_NEAR(model.bones[0].angles.x, 1.0f, 1e-4f);
}

TEST_F(AnimationSampleTest, PastTheLastKeyLoopingBlendsBackToTheFirst) {
  const CAnimation& a = Read(Walk());
  a.Sample(model, 240.0f, true);  // frame 6: from key 4 (2 steps back) to key 0 (2 steps on)
  EXPECT_NEAR(model.position.x, 80.0f, 1e-3f);
  EXPECT_NEAR(model.bones[0].angles.x, 0.5f, 1e-4f);
  a.Sample(model, 240.0f, false);
  EXPECT_NEAR(model.position.x, 160.0f, 1e-3f) << "without looping the last key holds";
  a.Sample(model, 320.0f + 240.0f, true);  // times wrap over the 8 frames
  EXPECT_NEAR(model.position.x, 80.0f, 1e-3f);
}

TEST_F(AnimationSampleTest, UnusableAnimationsLeaveTheModelAlone) {
  for (const std::int32_t rate : {0, 2000}) {
    AnimSpec spec = Walk();
    spec.rate = rate;
    const CAnimation& a = Read(spec);
    model.position = {1, 2, 3};
    a.Sample(model, 100.0f, true);
    EXPECT_EQ(model.position, CVector3(1, 2, 3)) << rate;
  }
  AnimSpec unnamed = Walk();
  unnamed.name = "";
  Read(unnamed).Sample(model, 100.0f, true);
  EXPECT_EQ(model.position, CVector3(1, 2, 3));
  AnimSpec keyless = Walk();
  keyless.keys.clear();
  Read(keyless).Sample(model, 100.0f, true);
  EXPECT_EQ(model.position, CVector3(1, 2, 3));
}

}  // namespace
