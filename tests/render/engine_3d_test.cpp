// The 3D engine against a recording renderer: pool, transform, projection,
// culling, buckets and flush order, near-plane clipping, lines and helpers.
#include "render/engine_3d.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "datafiles/trisprite_table.h"
#include "platform/core/clock.h"
#include "platform/core/trace.h"
#include "recording_renderer.h"
#include "render/face.h"
#include "render/mesh_vertex.h"

using rendertest::DrawCall;

namespace {

CMeshVertex MV(float x, float y, float z, std::uint32_t color = 0xFF808080u) {
  CMeshVertex v;
  v.x = x;
  v.y = y;
  v.z = z;
  v.color = color;
  return v;
}

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    C3DEngine::ResetState();
    engine = std::make_unique<C3DEngine>();
    engine->SetRenderer(&renderer);
    engine->SetFocal(500.0f, 500.0f);
    engine->SetNearPlane(128.0f);
    engine->SetViewportRect(0, 0, 639, 479);
    engine->BeginFrame(1);
  }
  void TearDown() override {
    engine.reset();
    C3DEngine::ResetState();
  }
  // Transforms camera-space points (identity matrix).
  CVertex* Points(std::vector<CMeshVertex>& pts) {
    CMatrix identity;
    return engine->TransformVertices(&identity, pts.data(), static_cast<int>(pts.size()), 7);
  }
  static CFace Tri(int i0, int i1, int i2, std::uint32_t flags = 0, std::uint16_t depth = 0) {
    CFace f;
    f.InitTriangle(flags, 0xFF00FF00u, static_cast<std::uint16_t>(i0), static_cast<std::uint16_t>(i1),
                   static_cast<std::uint16_t>(i2));
    f.depth = depth;
    return f;
  }
  static CFace Quad(int i0, int i1, int i2, int i3, std::uint32_t flags = 0) {
    CFace f;
    f.InitQuad(flags, 0xFF0000FFu, static_cast<std::uint16_t>(i0), static_cast<std::uint16_t>(i1),
               static_cast<std::uint16_t>(i2), static_cast<std::uint16_t>(i3));
    return f;
  }
  int Count(DrawCall::Kind kind) const {
    int n = 0;
    for (const auto& c : renderer.calls) n += c.kind == kind;
    return n;
  }
  rendertest::RecordingRenderer renderer;
  std::unique_ptr<C3DEngine> engine;
};

// A clockwise (on screen) triangle at depth z around screen point (x, y).
std::vector<CMeshVertex> ClockwiseAt(float x, float y, float z, std::uint32_t color = 0xFF808080u) {
  // Camera y grows upwards, so screen y = centre - y.
  const float k = z / 500.0f;
  return {MV(x * k, y * k, z, color), MV((x + 40) * k, y * k, z, color),
          MV(x * k, (y - 40) * k, z, color)};
}

}  // namespace

TEST_F(EngineTest, VertexPoolHoldsOneLessThanItsSize) {
  engine->BeginFrame(0);
  ASSERT_NE(engine->AllocVertices(59999), nullptr);
  EXPECT_EQ(engine->AllocVertices(1), nullptr);
  EXPECT_EQ(engine->VerticesHighWater(), 59999);
  engine->BeginFrame(0);
  EXPECT_EQ(engine->VerticesUsed(), 0);
  EXPECT_NE(engine->AllocVertices(1), nullptr);
  std::vector<CMeshVertex> many(60000, MV(0, 0, 500));
  EXPECT_EQ(Points(many), nullptr);
  EXPECT_EQ(engine->VerticesUsed(), 1);  // nothing written
}

TEST_F(EngineTest, ViewportRectGivesCentreAndExtents) {
  EXPECT_EQ(engine->CentreX(), 320);
  EXPECT_EQ(engine->CentreY(), 240);
  EXPECT_EQ(engine->ViewportWidth(), 640);
  EXPECT_EQ(engine->ViewportHeight(), 480);
  EXPECT_EQ(renderer.clip[2], 639);
  engine->SetViewportSize(100, 51);
  EXPECT_EQ(engine->CentreX(), 50);
  EXPECT_EQ(engine->CentreY(), 25);
}

TEST_F(EngineTest, TransformProjectsAtAndBeyondTheNearPlane) {
  std::vector<CMeshVertex> pts = {MV(100, 50, 500, 0x11223344u), MV(0, 0, 128), MV(0, 0, 127.9f)};
  CVertex* v = Points(pts);
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(v[0].sx, 420);
  EXPECT_EQ(v[0].sy, 190);
  EXPECT_FLOAT_EQ(v[0].x, 50000.0f);
  EXPECT_FLOAT_EQ(v[0].rz, 1.0f / 500.0f);
  EXPECT_EQ(v[0].fade, -1);
  EXPECT_EQ(v[0].inFront, 0);
  EXPECT_EQ(v[0].caller, 7);
  EXPECT_EQ(v[0].source, &pts[0]);
  EXPECT_EQ(v[0].color.Value(), 0x11223344u);
  EXPECT_EQ(v[1].inFront, 0);  // exactly at the near plane
  EXPECT_EQ(v[2].inFront, 1);
  CMatrix m;
  CVector3 p(100, 50, 500);
  int out[2] = {};
  EXPECT_EQ(engine->ProjectPoint(&m, &p, out), 1);
  EXPECT_EQ(out[0], 420);
  EXPECT_EQ(out[1], 190);
  CVector3 q(0, 0, 100);
  EXPECT_EQ(engine->ProjectPoint(&m, &q, out), 0);
}

TEST_F(EngineTest, FacesInFrontAreDroppedAndFacesBeyondDrawnWhole) {
  auto pts = ClockwiseAt(0, 0, 500);
  auto front = ClockwiseAt(0, 0, 100);
  pts.insert(pts.end(), front.begin(), front.end());
  CVertex* v = Points(pts);
  CFace faces[2] = {Tri(0, 1, 2), Tri(3, 4, 5)};
  engine->AddFaces(v, faces, 2, 6);
  EXPECT_EQ(engine->ItemsUsed(), 1);
  EXPECT_EQ(engine->FlushBuckets(), 1);
  ASSERT_EQ(renderer.calls.size(), 1u);
  EXPECT_EQ(renderer.calls[0].kind, DrawCall::Triangle);
  EXPECT_EQ(renderer.calls[0].v[0].sx, v[0].sx);
  EXPECT_EQ(renderer.calls[0].color.Value(), 0xFF00FF00u);
}

TEST_F(EngineTest, OutcodesAndWinding) {
  auto right = ClockwiseAt(700, 0, 500);     // wholly right of the viewport
  auto straddle = ClockwiseAt(300, 0, 500);  // across the right edge
  auto ok = ClockwiseAt(0, 0, 500);
  std::vector<CMeshVertex> pts;
  for (auto* set : {&right, &straddle, &ok}) pts.insert(pts.end(), set->begin(), set->end());
  CVertex* v = Points(pts);
  CFace faces[4] = {Tri(0, 1, 2), Tri(3, 4, 5), Tri(6, 7, 8), Tri(6, 8, 7)};  // the last winds the other way
  engine->AddFaces(v, faces, 4, 9);
  EXPECT_EQ(engine->ItemsUsed(), 2);
  engine->FlushBuckets();
  ASSERT_EQ(renderer.calls.size(), 2u);
}

TEST_F(EngineTest, WindingOfFacesFarOffTheScreenDoesNotOverflow) {
  CVertex v[3] = {};
  for (auto& x : v) {
    x.z = 1000;
    x.rz = 0.001f;
    x.fade = -1;
  }
  v[0].sx = -30000;
  v[0].sy = -30000;
  v[1].sx = 40000;
  v[1].sy = -30000;
  v[2].sx = 0;
  v[2].sy = 40000;
  CFace f = Tri(0, 1, 2);
  engine->CullFace(v, &f);
  EXPECT_EQ(engine->ItemsUsed(), 1);  // a 32-bit product would have turned it away
}

TEST_F(EngineTest, BadIndicesAreDroppedWhenTheCountIsKnown) {
  auto pts = ClockwiseAt(0, 0, 500);
  CVertex* v = Points(pts);
  CFace f = Tri(0, 1, 9);
  engine->AddFaces(v, &f, 1, 3);
  EXPECT_EQ(engine->ItemsUsed(), 0);
}

TEST_F(EngineTest, TranslucentFacesComeAfterOpaqueOnesFarthestFirst) {
  auto nearT = ClockwiseAt(0, 0, 600, 0x80FFFFFFu);
  auto farT = ClockwiseAt(-100, 0, 3000, 0x80FFFFFFu);
  auto opaque = ClockwiseAt(100, 0, 400);
  std::vector<CMeshVertex> pts;
  for (auto* set : {&nearT, &farT, &opaque}) pts.insert(pts.end(), set->begin(), set->end());
  CVertex* v = Points(pts);
  CFace faces[3] = {Tri(0, 1, 2, kFaceTranslucent, 3), Tri(3, 4, 5, kFaceTranslucent, 3), Tri(6, 7, 8, 0, 3)};
  engine->AddFaces(v, faces, 3, 9);
  engine->FlushBuckets();
  ASSERT_EQ(renderer.calls.size(), 3u);
  EXPECT_EQ(renderer.calls[0].flags & kFaceTranslucent, 0);
  EXPECT_EQ(renderer.calls[1].v[0].z, 3000.0f);
  EXPECT_EQ(renderer.calls[2].v[0].z, 600.0f);
  EXPECT_EQ(engine->LowestBucket(), INT_MAX);
  for (int b = 0; b < kEngineBuckets; ++b) ASSERT_EQ(engine->BucketHead(b), nullptr);
}

TEST_F(EngineTest, BucketKeysAndLimits) {
  CFace opaque = Tri(0, 1, 2, 0, 77);
  CFace blended = Tri(0, 1, 2, kFaceBlended, 77);
  CFace huge = Tri(0, 1, 2, 0, 60000);
  CVertex v[3] = {};
  EXPECT_EQ(engine->InsertFace(&opaque, v, 5000.0f), 1);
  EXPECT_NE(engine->BucketHead(77), nullptr);
  EXPECT_EQ(engine->InsertFace(&blended, v, 5000.0f), 1);
  EXPECT_NE(engine->BucketHead(5000 >> 4), nullptr);
  EXPECT_EQ(engine->InsertFace(&huge, v, 1.0f), 1);
  EXPECT_NE(engine->BucketHead(2047), nullptr);
  EXPECT_EQ(engine->LowestBucket(), 77);
  EXPECT_EQ(engine->HighestBucket(), 2047);
  // A bucket lists its items newest first.
  CFace second = Tri(0, 1, 2, 0, 77);
  engine->InsertFace(&second, v, 1.0f);
  EXPECT_EQ(engine->BucketHead(77)->face, &second);
  for (int i = engine->ItemsUsed(); i < kEngineSortItems; ++i) ASSERT_EQ(engine->InsertFace(&opaque, v, 1.0f), 1);
  EXPECT_EQ(engine->InsertFace(&opaque, v, 1.0f), 0);  // the 16,001st
}

TEST_F(EngineTest, SoftwareRendererGetsFacesNearestFirst) {
  renderer.software = 1;
  auto a = ClockwiseAt(0, 0, 2000);
  auto b = ClockwiseAt(0, 0, 500);
  std::vector<CMeshVertex> pts;
  pts.insert(pts.end(), a.begin(), a.end());
  pts.insert(pts.end(), b.begin(), b.end());
  CVertex* v = Points(pts);
  CFace faces[2] = {Tri(0, 1, 2, 0, 900), Tri(3, 4, 5, 0, 5)};
  engine->AddFaces(v, faces, 2, 6);
  engine->FlushBuckets();
  ASSERT_EQ(renderer.calls.size(), 2u);
  EXPECT_EQ(renderer.calls[0].v[0].z, 500.0f);
  EXPECT_EQ(renderer.calls[1].v[0].z, 2000.0f);
}

TEST_F(EngineTest, NearPlaneCuts) {
  struct Case {
    std::vector<CMeshVertex> pts;
    bool quad;
    std::vector<DrawCall::Kind> expect;
  };
  const std::vector<Case> cases = {
      // triangle, one vertex in front: a quadrilateral
      {{MV(-100, 100, 300), MV(100, 100, 300), MV(0, -100, 50)}, false, {DrawCall::Quad}},
      // triangle, two in front: a triangle
      {{MV(-100, 100, 300), MV(100, 100, 50), MV(0, -100, 50)}, false, {DrawCall::Triangle}},
      // quad, one in front: a quadrilateral and a triangle
      {{MV(-100, 100, 300), MV(100, 100, 300), MV(100, -100, 300), MV(-100, -100, 50)}, true,
       {DrawCall::Quad, DrawCall::Triangle}},
      // quad, two in front: a quadrilateral
      {{MV(-100, 100, 300), MV(100, 100, 300), MV(100, -100, 50), MV(-100, -100, 50)}, true, {DrawCall::Quad}},
      // quad, three in front: a triangle
      {{MV(-100, 100, 300), MV(100, 100, 50), MV(100, -100, 50), MV(-100, -100, 50)}, true, {DrawCall::Triangle}},
  };
  for (const Case& k : cases) {
    renderer.calls.clear();
    engine->BeginFrame(1);
    auto pts = k.pts;
    CVertex* v = Points(pts);
    if (k.quad) engine->ClipQuadNear(0, &v[0], &v[1], &v[2], &v[3], CColor(), 0);
    else engine->ClipTriangleNear(0, &v[0], &v[1], &v[2], CColor(), 0);
    ASSERT_EQ(renderer.calls.size(), k.expect.size());
    for (std::size_t i = 0; i < k.expect.size(); ++i) {
      EXPECT_EQ(renderer.calls[i].kind, k.expect[i]);
      for (const CVertex& p : renderer.calls[i].v) {
        EXPECT_EQ(p.inFront, 0);
        EXPECT_GE(p.z, 127.99f);
      }
    }
  }
}

TEST_F(EngineTest, QuadCrossingTheNearPlaneReachesTheRenderer) {
  std::vector<CMeshVertex> pts = {MV(-300, 100, 800), MV(300, 100, 800), MV(300, -100, 800), MV(-300, -100, 60)};
  CVertex* v = Points(pts);
  CFace f = Quad(0, 1, 2, 3);
  engine->AddFaces(v, &f, 1, 4);
  EXPECT_EQ(engine->ItemsUsed(), 1);
  engine->FlushBuckets();
  EXPECT_EQ(Count(DrawCall::Quad), 1);
  EXPECT_EQ(Count(DrawCall::Triangle), 1);
}

TEST_F(EngineTest, CutOutlinesShowOnlyTheirOwnEdges) {
  std::vector<CMeshVertex> pts = {MV(-100, 100, 300), MV(100, 100, 300), MV(0, -100, 50)};
  CVertex* v = Points(pts);
  CFace f = Tri(0, 1, 2, kFaceOutline);
  CSortItem item{&f, 300.0f, nullptr, v};
  engine->DrawItem(&item);
  ASSERT_EQ(renderer.calls.size(), 3u);
  for (const auto& c : renderer.calls) {
    EXPECT_EQ(c.kind, DrawCall::Line);
    EXPECT_EQ(c.color.Value(), 0x40000000u);
  }
  // The whole edge between the two projected corners, and two cut ones.
  EXPECT_EQ(renderer.calls[0].v[0].sx, v[0].sx);
  EXPECT_EQ(renderer.calls[0].v[1].sx, v[1].sx);
  EXPECT_EQ(renderer.calls[1].v[0].sx, v[1].sx);
  EXPECT_EQ(renderer.calls[1].v[1].inFront, 0);
  // A projected outlined quadrilateral is four lines.
  renderer.calls.clear();
  auto q = ClockwiseAt(0, 0, 500);
  q.push_back(MV(-10, -10, 500));
  CVertex* w = Points(q);
  CFace fq = Quad(0, 1, 2, 3, kFaceOutline);
  CSortItem qi{&fq, 500.0f, nullptr, w};
  engine->DrawItem(&qi);
  EXPECT_EQ(Count(DrawCall::Line), 4);
}

TEST_F(EngineTest, FadeWithFogOn) {
  renderer.fog = 1;
  auto nearT = ClockwiseAt(0, 0, 1000);
  auto midT = ClockwiseAt(0, 0, 3840);
  auto farT = ClockwiseAt(0, 0, 6000);
  std::vector<CMeshVertex> pts;
  for (auto* set : {&nearT, &midT, &farT}) pts.insert(pts.end(), set->begin(), set->end());
  CVertex* v = Points(pts);
  CFace faces[3] = {Tri(0, 1, 2), Tri(3, 4, 5), Tri(6, 7, 8)};
  engine->AddFaces(v, faces, 3, 9);
  EXPECT_EQ(engine->ItemsUsed(), 2);  // the farthest faded away
  EXPECT_EQ(v[0].fade, 255);
  EXPECT_NEAR(v[3].fade, 255 - (3840.0 * 3840 - 6553600) / (26214400.0 - 6553600) * 255, 2.0);
  EXPECT_EQ(v[6].fade, 0);
  renderer.fog = 0;
  engine->BeginFrame(0);
  CVertex* w = Points(pts);
  engine->AddFaces(w, faces, 3, 9);
  EXPECT_EQ(w[6].fade, -1);
  EXPECT_EQ(engine->ItemsUsed(), 3);
}

TEST_F(EngineTest, ItemsCarryUVsRippleAndHiddenFlags) {
  platform::FakeClock clock(2000);
  engine->BeginFrame(0);
  auto pts = ClockwiseAt(0, 0, 500);
  CVertex* v = Points(pts);
  CFace f = Tri(0, 1, 2, kFaceRipple);
  f.uv[0] = {10, 20};
  f.uv[1] = {30, 40};
  CSortItem item{&f, 500.0f, nullptr, v};
  engine->DrawItem(&item);
  ASSERT_EQ(renderer.calls.size(), 1u);
  const float phase = (pts[0].x + pts[0].z) * 0.0062831854f + 2.0f;
  EXPECT_NEAR(renderer.calls[0].v[0].u, 10 + std::sin(phase) * 0.046875f, 1e-4);
  EXPECT_NEAR(renderer.calls[0].v[0].v, 20 + std::cos(phase) * 0.046875f, 1e-4);
  f.flags = kFaceHidden;
  engine->DrawItem(&item);
  EXPECT_EQ(renderer.calls.size(), 1u);
  // The engine's masks apply to the drawing flags.
  f.flags = kFaceSmooth;
  engine->SetFlagMasks(~static_cast<std::uint32_t>(kFaceSmooth), kFaceBlended);
  engine->DrawItem(&item);
  EXPECT_EQ(renderer.calls.back().flags, kFaceBlended);
}

TEST_F(EngineTest, LinesAreSortedWithTheFaces) {
  CMatrix m;
  engine->DrawLine3D(m, CVector3(0, 0, 500), CVector3(10, 0, 1000), CColor(255, 0, 0));
  EXPECT_EQ(engine->LineFacesUsed(), 1);
  EXPECT_EQ(engine->ItemsUsed(), 1);
  engine->DrawShadedLine3D(m, CVector3(0, 0, 500), CVector3(0, 0, 50), CColor(1, 2, 3), CColor(4, 5, 6));
  engine->DrawLine3D(m, CVector3(0, 0, 50), CVector3(0, 0, 60), CColor());  // wholly in front
  EXPECT_EQ(engine->ItemsUsed(), 2);
  engine->FlushBuckets();
  ASSERT_EQ(renderer.calls.size(), 2u);
  for (const auto& c : renderer.calls) EXPECT_EQ(c.kind, DrawCall::Line);
  const auto& shaded = renderer.calls[0].flags & kFaceSmooth ? renderer.calls[0] : renderer.calls[1];
  const auto& plain = renderer.calls[0].flags & kFaceSmooth ? renderer.calls[1] : renderer.calls[0];
  EXPECT_EQ(plain.v[0].z, 1000.0f);  // the farther end first
  EXPECT_EQ(plain.color.r, 255);
  EXPECT_FLOAT_EQ(shaded.v[1].z, 128.0f);  // moved onto the near plane
  EXPECT_EQ(shaded.v[0].color.r, 1);
}

TEST_F(EngineTest, ScreenSpaceHelpers) {
  engine->SetViewSize(736, 480);
  engine->DrawRect2D(10, 20, 30, 40, CColor(1, 1, 1));
  EXPECT_EQ(renderer.clip[2], 736);
  ASSERT_EQ(Count(DrawCall::Line), 4);
  EXPECT_EQ(renderer.calls[1].v[0].sx, 30);
  EXPECT_EQ(renderer.calls[1].v[1].sy, 40);
  EXPECT_EQ(renderer.calls[0].v[0].rz, 1.0f);
  renderer.calls.clear();
  CVertex a{}, b{}, c{};
  b.sx = 10;
  c.sy = 10;
  engine->DrawTriangle(0, a, b, c, 0, CColor());
  ASSERT_EQ(renderer.calls.size(), 1u);
  EXPECT_EQ(renderer.calls[0].v[0].fade, 255);
  // A textured primitive without a loadable bank draws nothing.
  renderer.textureCount = 0;
  engine->DrawTriangle(kFaceTextured, a, b, c, 3, CColor());
  EXPECT_EQ(renderer.calls.size(), 1u);
  // No sprite rows: no sprite.
  g_trispriteTable.Free();
  engine->DrawSprite2D("anything", 50, 50);
  EXPECT_EQ(renderer.calls.size(), 1u);
}

TEST_F(EngineTest, SpritesAreKeyedQuadsCentredOnThePoint) {
  g_trispriteTable.Allocate(1);  // one default row: a 24 x 24 cell in bank 100
  engine->DrawSprite2D("FREE", 100, 60);
  // A name no row has draws nothing, not the first row.
  engine->DrawSprite2D("GOLD_CUP", 100, 60);
  engine->DrawSprite2D("", 100, 60);
  engine->DrawSprite2D(nullptr, 100, 60);
  ASSERT_EQ(renderer.calls.size(), 1u);
  const auto& q = renderer.calls[0];
  EXPECT_EQ(q.kind, DrawCall::Quad);
  EXPECT_EQ(q.flags, 0x9);
  EXPECT_EQ(q.v[0].sx, 100 - 12);
  EXPECT_EQ(q.v[2].sy, 60 + 12);
  EXPECT_EQ(q.v[2].u, 24.0f);
  EXPECT_EQ(q.color, CColor(255, 255, 255));
  g_trispriteTable.Free();
}
