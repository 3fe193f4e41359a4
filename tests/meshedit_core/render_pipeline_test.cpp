// The pipeline: projection at the near plane, culling, the ordering table,
// near clipping, level of detail, lighting, textures and picking.
#include "meshedit/core/render_pipeline.h"

#include <gtest/gtest.h>

#include <cmath>

#include "pavix_device_fixture.h"
#include "platform/core/trace.h"
#include "platform/video/recorder.h"

namespace {

namespace pv = platform::video;
using pavix::CRenderPipeline;
using pavix::CShape;
using pavix::CSide;
using pavix::CTransformedVertex;
using pavix::CVector;
using pavixtest::PavixScreen;

// A mesh of one node from points and sides (a triangle repeats its third index).
CShape MakeShape(const std::vector<CVector>& points, const std::vector<std::array<std::uint32_t, 4>>& sides,
                 std::uint32_t flags = pavix::kRenderGouraud) {
  CShape s;
  for (const CVector& p : points) s.vertices.push_back({p, {0, 0, -1}, 0});
  for (const auto& idx : sides) {
    CSide side;
    for (int k = 0; k < 4; ++k) side.index[k] = idx[k];
    side.flags = flags;
    s.sides.push_back(side);
  }
  // The node's pivot at the mesh's centre, as the importers place it.
  const CVector c = s.GetCentre();
  s.SetSingleNode(c, {c.x, c.y, c.z + 10});
  return s;
}

// A square facing the camera at depth z, corners (+-h, +-h) around (cx, cy), clockwise on the screen.
CShape Square(float cx, float cy, float z, float h, std::uint32_t flags = pavix::kRenderGouraud) {
  return MakeShape({{cx - h, cy + h, z}, {cx + h, cy + h, z}, {cx + h, cy - h, z}, {cx - h, cy - h, z}},
                   {{0, 1, 2, 3}}, flags);
}

class PipelineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(screen_.ok());
    CRenderPipeline::SetCamera(pavix::IdentityMatrix());
  }
  void Begin() {
    CRenderPipeline::NewFrame();
    ASSERT_EQ(CRenderPipeline::BeginFrame(3, 0xFF000000, 1.0f, 0), 1);
  }
  void End() {
    CRenderPipeline::FlushOrderingTable();
    CRenderPipeline::EndFrame();
  }
  std::vector<int> DrawnCounts() {
    std::vector<int> out;
    for (const auto& p : pv::Recorder::Primitives()) out.push_back(static_cast<int>(p.vertices.size()));
    return out;
  }
  PavixScreen screen_{64, 48};
};

TEST_F(PipelineTest, AVertexAtTheNearDistanceIsProjectedOneNearerIsNot) {
  const pavix::CShapeVertex src[3] = {{{10, 5, 100}, {}, 0}, {{0, 0, 1.0f}, {}, 0}, {{0, 0, 0.999f}, {}, 0}};
  CTransformedVertex out[3];
  CRenderPipeline::TransformVertices(CRenderPipeline::ViewMatrix(), src, 3, out);
  EXPECT_EQ(out[0].behind, 0);
  EXPECT_NEAR(out[0].sx, 10 * 512 / 100.0f + 31.5f, 1e-3);
  EXPECT_NEAR(out[0].sy, 23.5f - 5 * 512 / 100.0f, 1e-3);
  EXPECT_NEAR(out[0].depth, 100.0f / 8192.0f, 1e-7);
  EXPECT_EQ(out[1].behind, 0);
  EXPECT_NEAR(out[1].sx, 31.5f, 1e-4);
  EXPECT_EQ(out[2].behind, 1);
  EXPECT_EQ(out[2].fog, 255);
  EXPECT_EQ(out[2].sx, 0.0f);
  EXPECT_NE(out[2].rdepth, 0.0f);
  EXPECT_EQ(out[0].diffuse, 0x80808080u);
  EXPECT_EQ(out[0].specular, 0u);
  EXPECT_EQ(out[0].normalMatrix, nullptr);
}

TEST_F(PipelineTest, FogFallsFromTheStartToTheEndDistance) {
  pavix::Cdd::SetFog(1);
  CRenderPipeline::SetFogStart(1000);
  CRenderPipeline::SetFogEnd(3000);
  const pavix::CShapeVertex src[4] = {{{0, 0, 500}, {}, 0}, {{0, 0, 2200}, {}, 0}, {{0, 0, 2600}, {}, 0}, {{0, 0, 4000}, {}, 0}};
  CTransformedVertex out[4];
  CRenderPipeline::TransformVertices(CRenderPipeline::ViewMatrix(), src, 4, out);
  EXPECT_EQ(out[0].fog, 255);
  EXPECT_EQ(out[1].fog, 102);  // 255 x 800 / 2000
  EXPECT_EQ(out[2].fog, 51);
  EXPECT_EQ(out[3].fog, 0);
  pavix::Cdd::SetFog(0);
  CRenderPipeline::TransformVertices(CRenderPipeline::ViewMatrix(), src, 4, out);
  EXPECT_EQ(out[3].fog, 255);
}

TEST_F(PipelineTest, OutcodesAgainstTheDrawingRectangle) {
  const pavix::CShapeVertex src[3] = {{{-100, 0, 10}, {}, 0}, {{100, 100, 10}, {}, 0}, {{0, 0, 10}, {}, 0}};
  CTransformedVertex out[3];
  CRenderPipeline::TransformVertices(CRenderPipeline::ViewMatrix(), src, 3, out);
  EXPECT_EQ(out[0].xOut, 255);
  EXPECT_EQ(out[0].yOut, 0);
  EXPECT_EQ(out[1].xOut, 1);
  EXPECT_EQ(out[1].yOut, 255);
  EXPECT_EQ(out[2].xOut, 0);
}

TEST_F(PipelineTest, BucketsFollowTheMeanScaledDepth) {
  struct Case {
    float z;
    int bucket;
  };
  for (const Case c : {Case{0.0f, 0}, Case{0.5f, 511}, Case{1.0f, 1021}, Case{1.5f, 1021}}) {
    CTransformedVertex v;
    v.depth = c.z;
    const CTransformedVertex* four[4] = {&v, &v, &v, &v};
    EXPECT_EQ(CRenderPipeline::BucketOf(four), c.bucket) << c.z;
  }
  // Through drawing: a blended square at half the far distance.
  CShape s = Square(0, 0, 4096, 600, pavix::kRenderAlpha | pavix::kRenderGouraud);
  Begin();
  pv::ScopedRecorder recorder;
  CRenderPipeline::DrawShape(s, pavix::IdentityMatrix());
  EXPECT_EQ(CRenderPipeline::OrderingCount(), 1);
  EXPECT_EQ(CRenderPipeline::LowestBucket(), 511);
  EXPECT_EQ(CRenderPipeline::HighestBucket(), 511);
  EXPECT_TRUE(pv::Recorder::Primitives().empty()) << "blended sides wait for the flush";
  EXPECT_EQ(CRenderPipeline::PoolIndex(), 4) << "their vertices stay reserved";
  End();
  EXPECT_EQ(DrawnCounts(), std::vector<int>{6});
}

TEST_F(PipelineTest, TheFlushDrawsFarBucketsFirst) {
  CShape near = Square(0, 0, 1000, 100, pavix::kRenderAlpha);
  CShape far = Square(0, 0, 6000, 600, pavix::kRenderAlpha);
  Begin();
  pv::ScopedRecorder recorder;
  CRenderPipeline::DrawShape(near, pavix::IdentityMatrix());
  CRenderPipeline::DrawShape(far, pavix::IdentityMatrix());
  End();
  const auto& prims = pv::Recorder::Primitives();
  ASSERT_EQ(prims.size(), 1u);  // both in one batch, far first
  ASSERT_EQ(prims[0].vertices.size(), 12u);
  EXPECT_GT(prims[0].vertices[0].sz, prims[0].vertices[6].sz);
}

TEST_F(PipelineTest, BackFacesAreCulled) {
  CShape s = MakeShape({{-2, 2, 100}, {2, 2, 100}, {2, -2, 100}}, {{0, 1, 2, 2}, {0, 2, 1, 1}});
  Begin();
  pv::ScopedRecorder recorder;
  CRenderPipeline::DrawShape(s, pavix::IdentityMatrix());
  End();
  EXPECT_EQ(CRenderPipeline::Stats().sides, 1);
  EXPECT_EQ(DrawnCounts(), std::vector<int>{3});
}

TEST_F(PipelineTest, SidesCrossingTheNearPlaneAreClipped) {
  // Near at 15 units: one corner at 10 lies behind it; what stays in front is on the screen.
  CRenderPipeline::SetNear(15.0f);
  CShape tri = MakeShape({{-0.5f, 0, 20}, {0.5f, 0, 20}, {0, -0.5f, 10}}, {{0, 1, 2, 2}});
  CShape quad = MakeShape({{-0.5f, 0, 20}, {0.5f, 0, 20}, {0.5f, -0.5f, 20}, {-0.5f, -0.5f, 10}}, {{0, 1, 2, 3}});
  for (auto [shape, triangles] : {std::pair{&tri, 2}, std::pair{&quad, 3}}) {
    Begin();
    pv::ScopedRecorder recorder;
    CRenderPipeline::DrawShape(*shape, pavix::IdentityMatrix());
    End();
    ASSERT_EQ(pv::Recorder::Primitives().size(), 1u);
    const auto& p = pv::Recorder::Primitives()[0];
    EXPECT_EQ(static_cast<int>(p.vertices.size()), 3 * triangles);
    // The new corners lie on the near plane: 1 / w there is far / near.
    int onPlane = 0;
    for (const auto& v : p.vertices) onPlane += std::fabs(v.rhw - 8192.0f / 15.0f) < 0.01f ? 1 : 0;
    EXPECT_GE(onPlane, 2);
  }
  // The same triangle turned away from the camera stays culled.
  CShape back = MakeShape({{-0.5f, 0, 20}, {0.5f, 0, 20}, {0, -0.5f, 10}}, {{1, 0, 2, 2}});
  Begin();
  pv::ScopedRecorder recorder;
  CRenderPipeline::DrawShape(back, pavix::IdentityMatrix());
  End();
  EXPECT_TRUE(pv::Recorder::Primitives().empty());
  CRenderPipeline::SetNear(1.0f);
}

TEST_F(PipelineTest, NearClippingKeepsWhatLiesInFront) {
  const float n = CRenderPipeline::ScaledNear();
  auto at = [&](float z) {
    CTransformedVertex v;
    v.z = z * n;
    v.behind = z < 1.0f ? 1 : 0;
    return v;
  };
  struct Case {
    std::vector<float> zs;
    int out;
  };
  const Case cases[] = {{{2, 2, -1}, 4}, {{2, -1, -1}, 3}, {{-1, -1, -1}, 0},
                        {{2, 2, 2, -1}, 5}, {{2, 2, -1, -1}, 4}, {{2, -1, -1, -1}, 3}};
  for (const Case& c : cases) {
    std::vector<CTransformedVertex> in;
    for (float z : c.zs) in.push_back(at(z));
    const CTransformedVertex* p[4] = {};
    for (std::size_t i = 0; i < in.size(); ++i) p[i] = &in[i];
    CTransformedVertex out[8];
    const int got = CRenderPipeline::ClipToNearPlane(p, static_cast<int>(in.size()), 0, out);
    EXPECT_EQ(got, c.out);
    for (int i = 0; i < got; ++i) EXPECT_GE(out[i].z, n * 0.999f);
  }
}

TEST_F(PipelineTest, ShapesOffTheScreenOrBehindAreNotDrawn) {
  CShape behind = Square(0, 0, -500, 10);
  CShape left = Square(-5000, 0, 100, 10);
  CShape empty;
  Begin();
  pv::ScopedRecorder recorder;
  CRenderPipeline::DrawShape(behind, pavix::IdentityMatrix());
  CRenderPipeline::DrawShape(left, pavix::IdentityMatrix());
  CRenderPipeline::DrawShape(empty, pavix::IdentityMatrix());
  End();
  EXPECT_TRUE(pv::Recorder::Primitives().empty());
  EXPECT_EQ(CRenderPipeline::Stats().culled, 3);
}

// Four corners; vertex 3 collapses into 2, 2 into 1, 1 into 0. Sides in collapse order.
CShape Progressive(int locked) {
  CShape s = MakeShape({{-10, 10, 100}, {10, 10, 100}, {10, -10, 100}, {-10, -10, 100}}, {{0, 1, 2, 2}, {0, 2, 3, 3}});
  s.mrm.order = {0x80000000u, 0x80000000u | 0, 0x80000000u | 1, 0x80000000u | 2};
  s.mrm.uv = {{0, 0}, {1, 0}, {1, 1}, {0.25f, 0.75f}};
  s.nodes[0].lockedCount = locked;
  return s;
}

TEST_F(PipelineTest, DetailCountsComeFromTheProgressiveData) {
  // Projected radius of the shape: its 14.14 units at depth 100.
  const float p = std::sqrt(200.0f) * 512.0f / 100.0f;
  struct Case {
    int mode;
    float upper;
    int locked;
    int triangles;
  };
  const Case cases[] = {
      {0, 10000, 1, 2},      // detail off: every side
      {2, 10000, 1, 0},      // always the least: one vertex, nothing left
      {2, 10000, 4, 2},      // all vertices locked
      {2, 10000, 3, 1},      // three locked: the second side has collapsed
      {1, p * 1.28f, 1, 1},  // by distance: f = 200, 1 + (3 x 200 >> 8) = 3 vertices
      {1, p * 0.5f, 1, 2},   // nearer than the upper size: full detail
  };
  for (const Case& c : cases) {
    CShape s = Progressive(c.locked);
    s.mrm.threshold = c.upper;
    CRenderPipeline::SetDetailMode(c.mode);
    Begin();
    pv::ScopedRecorder recorder;
    CRenderPipeline::DrawShape(s, pavix::IdentityMatrix());
    End();
    EXPECT_EQ(CRenderPipeline::Stats().sides, c.triangles) << c.mode << " " << c.locked;
    for (std::uint32_t o : s.mrm.order) EXPECT_TRUE(o & 0x80000000u) << "the mesh keeps every vertex present";
  }
  CRenderPipeline::SetDetailMode(0);
}

TEST_F(PipelineTest, ASideReachingAVertexNoNodeCoversIsNotDrawnAtAnyDetail) {
  // A mesh drawn before leaves its transformed vertices (and their normals'
  // matrices) in the pool; the damaged mesh must never reach them.
  {
    CShape before = Square(0, 0, 100, 10);
    Begin();
    CRenderPipeline::DrawShape(before, pavix::IdentityMatrix());
    End();
  }
  CShape damaged = Progressive(4);
  for (CSide& side : damaged.sides) side.flags |= pavix::kSideLit;
  damaged.nodes[0].vertexCount = 3;  // vertex 3 belongs to no node, yet its detail entry says present
  for (int mode : {0, 2}) {
    CRenderPipeline::SetDetailMode(mode);
    Begin();
    CRenderPipeline::DrawShape(damaged, pavix::IdentityMatrix());
    End();
    EXPECT_EQ(CRenderPipeline::Stats().sides, 1) << "detail mode " << mode;
  }
  CRenderPipeline::SetDetailMode(0);
}

TEST_F(PipelineTest, LightingNeverLowersAChannelAndSplitsOverBrightIntoSpecular) {
  CRenderPipeline::ClearLights();
  pavix::CLight light;
  light.direction = {0, 0, 1};  // towards the side, whose normal faces the camera
  light.color = 0xFFFF4010;
  CRenderPipeline::AddLight(light);
  CShape lit = Square(0, 0, 100, 10, pavix::kSideLit | pavix::kRenderGouraud);
  CShape plain = Square(0, 0, 100, 10, pavix::kRenderGouraud);
  for (auto [shape, colour, specular] :
       {std::tuple{&lit, 0x80FD8080u, 0x00FA0000u}, std::tuple{&plain, 0x80808080u, 0x00000000u}}) {
    Begin();
    pv::ScopedRecorder recorder;
    CRenderPipeline::DrawShape(*shape, pavix::IdentityMatrix());
    End();
    ASSERT_EQ(pv::Recorder::Primitives().size(), 1u);
    for (const auto& v : pv::Recorder::Primitives()[0].vertices) {
      EXPECT_EQ(v.color, colour);
      EXPECT_EQ(v.specular & 0xFFFFFF, specular);
    }
  }
  EXPECT_EQ(CRenderPipeline::OverBright(0xFFFF8081), 0x00FE0002u);
  CRenderPipeline::ClearLights();
}

TEST_F(PipelineTest, PickingTakesTheNearestCentroidAndSkipsSidesBehindTheCamera) {
  // Two overlapping squares 400 units away (1.28 pixels a unit); the point is nearer the second one's centre.
  CShape s = MakeShape({{-10, 10, 400}, {10, 10, 400}, {10, -10, 400}, {-10, -10, 400},
                        {-4, 12, 400}, {16, 12, 400}, {16, -8, 400}, {-4, -8, 400}},
                       {{0, 1, 2, 3}, {4, 5, 6, 7}});
  const float overlap[2] = {40, 21};
  EXPECT_EQ(CRenderPipeline::PickInShape(overlap, s, pavix::IdentityMatrix()), 1);
  const float nearerFirst[2] = {30, 25};
  EXPECT_EQ(CRenderPipeline::PickInShape(nearerFirst, s, pavix::IdentityMatrix()), 0);
  const float onlyFirst[2] = {20, 30};
  EXPECT_EQ(CRenderPipeline::PickInShape(onlyFirst, s, pavix::IdentityMatrix()), 0);
  const float nowhere[2] = {1, 1};
  EXPECT_EQ(CRenderPipeline::PickInShape(nowhere, s, pavix::IdentityMatrix()), -1);
  // A side with a corner behind the camera is never picked.
  CShape crossing = MakeShape({{-10, 10, 100}, {10, 10, 100}, {0, -10, -5}}, {{0, 1, 2, 2}});
  const float centre[2] = {31.5f, 20.0f};
  EXPECT_EQ(CRenderPipeline::PickInShape(centre, crossing, pavix::IdentityMatrix()), -1);
}

TEST_F(PipelineTest, BlendedClassesMoveWithTheBlendOfTheirNodeAndParent) {
  CShape s = MakeShape({{0, 0, 100}, {0, 0, 100}, {0, 0, 100}, {0, 0, 100}}, {{0, 1, 2, 2}});
  s.nodes.resize(2);
  s.nodes[0].vertexCount = 1;
  s.nodes[1].vertexCount = 3;
  s.nodes[1].parent = 0;
  s.nodes[1].flags = pavix::kNodeClass2;
  s.nodes[1].nodeMatrix = pavix::TranslationMatrix({10, 0, 0});
  s.vertices[2].flags = 2;
  s.vertices[3].flags = 5;  // a class the node has no matrices for
  Begin();
  CRenderPipeline::DrawShape(s, pavix::IdentityMatrix());
  End();
  const CTransformedVertex* pool = CRenderPipeline::Pool();
  const float fx = 512.0f / 8192.0f;
  EXPECT_NEAR(pool[0].x, 0.0f, 1e-5);
  EXPECT_NEAR(pool[1].x, 10 * fx, 1e-5) << "class 0: the node's final matrix";
  EXPECT_NEAR(pool[2].x, 5 * fx, 1e-5) << "class 2: half the node's, half its parent's";
  EXPECT_NEAR(pool[3].x, 10 * fx, 1e-5) << "class 5 moves with the node";
  EXPECT_EQ(pool[1].normalMatrix, &s.nodes[1].finalMatrix);
  EXPECT_EQ(pool[2].normalMatrix, &s.nodes[1].classMatrix[1]);
  EXPECT_NEAR(s.nodes[1].classMatrix[1].t[0], 5.0f, 1e-5);
}

TEST_F(PipelineTest, AnAttachedMeshTakesPoolEntriesOfItsOwn) {
  CShape parent = Square(0, 0, 100, 2, pavix::kRenderAlpha);
  auto child = std::make_unique<CShape>(Square(0, 0, 0, 1, pavix::kRenderGouraud));
  parent.nodes[0].child = std::move(child);
  Begin();
  pv::ScopedRecorder recorder;
  CRenderPipeline::DrawShape(parent, pavix::IdentityMatrix());
  // The parent's blended side waits; the child's four vertices came after the parent's four.
  EXPECT_EQ(CRenderPipeline::OrderingCount(), 1);
  EXPECT_EQ(CRenderPipeline::PoolIndex(), 4);
  EXPECT_NEAR(CRenderPipeline::Pool()[4].z, 100.0f / 8192.0f, 1e-6) << "the child sits at the node's centre";
  End();
  // Both drawn: the child at once, the parent's side from its own intact entries at the flush.
  ASSERT_EQ(pv::Recorder::Primitives().size(), 2u);
  EXPECT_NEAR(pv::Recorder::Primitives()[1].vertices[0].sx, 31.5f - 2 * 5.12f, 1e-3);
}

class PipelineTextureTest : public testsupport::TempDirTest {};

TEST_F(PipelineTextureTest, FindTextureLoadsThroughThePatternsAndPacksTheKey) {
  PavixScreen screen(32, 32);
  ASSERT_TRUE(screen.ok());
  dir.Write("TEX/K0005_wood.TGA", pavixtest::TgaFile(8, 8, 24, [](int, int) { return 0x808080u; }));
  dir.Write("TEX/K0006_lamp.TGA", pavixtest::TgaFile(8, 8, 24, [](int, int) { return 0x404040u; }));
  CRenderPipeline::SetTexturePath("NOWHERE\\K%04d_*.TGA", 0);
  CRenderPipeline::SetTexturePath("TEX\\K%04d_*.TGA", 1);
  ASSERT_STREQ(CRenderPipeline::GetTexturePath(1), "TEX\\K%04d_*.TGA");
  EXPECT_EQ(CRenderPipeline::GetTexturePath(2), nullptr);
  CRenderPipeline::NewFrame();
  const std::uint32_t key = CRenderPipeline::FindTexture(pavix::kRenderTextured | pavix::kRenderLightMap, 5 | 6u << 11);
  EXPECT_EQ(key, 0u | 1u << 10 | pavix::kCddNoSlot << 20);
  EXPECT_TRUE(pavix::Cdd::State().slots[0].texture);
  EXPECT_TRUE(pavix::Cdd::State().slots[1].texture);
  EXPECT_NE(pavix::Cdd::State().slots[0].file.find("K0005_wood"), std::string::npos);
  // The second time the cache has them.
  platform::TraceCapture trace;
  EXPECT_EQ(CRenderPipeline::FindTexture(pavix::kRenderTextured, 5), 0u | pavix::kCddNoSlot << 10 | pavix::kCddNoSlot << 20);
  EXPECT_FALSE(trace.Contains("loadtexture"));
  // Without a file the slot stays empty and the side draws untextured.
  EXPECT_EQ(CRenderPipeline::FindTexture(pavix::kRenderTextured, 77) & pavix::kCddNoSlot, 2u);
  EXPECT_FALSE(pavix::Cdd::State().slots[2].texture);
}

TEST_F(PipelineTextureTest, BumpMapsUseTheBFileOnThreeStages) {
  pv::Machine machine = pavixtest::DesktopMachine32(3);
  const pv::PixelFormat bump{16, false, 0x00FF, 0xFF00, 0, 0, true};
  machine.textureFormats.push_back(bump);
  PavixScreen three(32, 32, machine);
  ASSERT_TRUE(three.ok());
  dir.Write("K0005_wood.TGA", pavixtest::TgaFile(8, 8, 24, [](int, int) { return 0x808080u; }));
  dir.Write("K0005_woodB.TGA", pavixtest::TgaFile(8, 8, 24, [](int x, int) { return 0x000010u * x; }));
  CRenderPipeline::SetTexturePath("K%04d_*.TGA", 0);
  CRenderPipeline::NewFrame();
  platform::TraceCapture trace;
  const std::uint32_t key = CRenderPipeline::FindTexture(pavix::kRenderTextured | pavix::kRenderBump, 5);
  EXPECT_EQ(key & pavix::kCddNoSlot, 0u);
  EXPECT_EQ((key >> 20) & pavix::kCddNoSlot, 1u);
  EXPECT_TRUE(trace.Contains("K0005_woodB.TGA 1\n"));
  EXPECT_EQ(pavix::Cdd::State().slots[1].desc.format, bump);
  EXPECT_TRUE(pavix::Cdd::State().slots[1].texture);
  EXPECT_EQ(CRenderPipeline::TextureCache().SlotOf(5 + pavix::kBumpIdOffset), 1);
}

}  // namespace
