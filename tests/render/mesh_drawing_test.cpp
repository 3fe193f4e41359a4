// Meshes drawn through the engine: at a world position, fitted, local, and
// through a bank list.
#include <gtest/gtest.h>

#include "platform/core/services.h"
#include "engine_fixture.h"
#include "recording_renderer.h"
#include "render/bank_list.h"
#include "render/camera.h"
#include "render/engine_3d.h"
#include "render/mesh.h"
#include "support/bytes.h"
#include "support/temp_dir.h"

namespace {

// A square facing the camera at the origin, x from x0 to x1.
void Square(CMesh& m, float x0, float x1) {
  m.vertices.clear();
  m.faces.clear();
  const float y0 = -(x1 - x0) / 2, y1 = (x1 - x0) / 2;
  for (auto [x, y] : {std::pair{x0, y1}, {x1, y1}, {x1, y0}, {x0, y0}}) {
    CMeshVertex v;
    v.x = x;
    v.y = y;
    v.z = 0;
    v.color = 0xFFFFFFFFu;
    m.vertices.push_back(v);
  }
  CFace f;
  f.InitQuad(kFaceSmooth, 0xFF102030u, 0, 1, 2, 3);
  m.faces.push_back(f);
}

class MeshDrawingTest : public testsupport::TempDirTest {
 protected:
  rendertest::EngineFixture world;
  rendertest::RecordingRenderer& renderer = world.renderer;
  std::unique_ptr<C3DEngine>& engine = world.engine;
  CCamera& camera = world.camera;
};

}  // namespace

TEST_F(MeshDrawingTest, AtAWorldPositionGreyed) {
  CMesh mesh;
  Square(mesh, -100, 100);
  CVertex* v = mesh.Render(CVector3(0, 0, 0), CVector3(), camera);
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(mesh.vertices[0].color, 0x80808080u);
  EXPECT_FLOAT_EQ(v[0].z, 1000.0f);
  EXPECT_EQ(v[1].sx, 320 + 50);
  EXPECT_EQ(engine->ItemsUsed(), 1);
  CMesh empty;
  EXPECT_EQ(empty.Render(CVector3(), CVector3(), camera), nullptr);
}

TEST_F(MeshDrawingTest, FittedMeshesAreScaledTo420Units) {
  CMesh mesh;
  Square(mesh, 0, 840);
  CVertex* v = mesh.RenderFitted(CVector3(0, 0, 0), CVector3(), camera);
  ASSERT_NE(v, nullptr);
  // Half size, centred: x from -210 to 210 at depth 1000.
  EXPECT_EQ(v[0].sx, 320 - 105);
  EXPECT_EQ(v[1].sx, 320 + 105);
  EXPECT_EQ(v[0].source, nullptr);
  EXPECT_EQ(mesh.vertices[1].x, 840.0f);  // the mesh itself is untouched
}

TEST_F(MeshDrawingTest, LocalMeshesAreRaised) {
  CMesh mesh;
  Square(mesh, -100, 100);
  CVertex* v = mesh.RenderLocal(CVector3(0, 0, 1000), CVector3());
  ASSERT_NE(v, nullptr);
  EXPECT_FLOAT_EQ(v[0].y, (100 + 256) * 500.0f);
  EXPECT_EQ(v[0].color.Value(), 0x80808080u);
}

TEST_F(MeshDrawingTest, BankListMeshes) {
  platform::ScriptedServices ui;
  CBankList bank;
  // A path that loads nothing gives an empty mesh: nothing is drawn, but it counts as done.
  EXPECT_EQ(bank.RenderByName("nothing.o3d", CVector3(), CVector3(), camera), 1);
  EXPECT_EQ(engine->ItemsUsed(), 0);
  Point tl, br;
  EXPECT_EQ(bank.RenderFitted(0, CVector3(), CVector3(), camera, &tl, &br), 0);
  EXPECT_EQ(bank.RenderLocal(5, CVector3(), CVector3()), nullptr);
}

TEST_F(MeshDrawingTest, FittedBankMeshGivesItsScreenBox) {
  platform::ScriptedServices ui;
  // A raw mesh file: the square from x 0 to 840.
  testsupport::Bytes b;
  b.u32(4).u32(1).u32(4).u32(1);
  for (auto [x, y] : {std::pair{0.0f, 420.0f}, {840.0f, 420.0f}, {840.0f, -420.0f}, {0.0f, -420.0f}})
    b.f32(x).f32(y).f32(0);
  b.u32(0xFF808080u);
  for (int i = 0; i < 8; ++i) b.f32(0);
  b.u16(0).u16(1).u16(2).u16(3).u32(0).u16(0);
  dir.Write("square.o3d", b.data());
  CBankList bank;
  const int index = bank.FindOrAdd("square.o3d");
  ASSERT_GE(index, 0);
  Point tl, br;
  ASSERT_EQ(bank.RenderFitted(index, CVector3(), CVector3(), camera, &tl, &br), 1);
  EXPECT_EQ(tl.x, 320 - 105);
  EXPECT_EQ(br.x, 320 + 105);
  EXPECT_EQ(tl.y, 240 - 105);
  EXPECT_EQ(br.y, 240 + 105);
  EXPECT_EQ(engine->ItemsUsed(), 1);
  EXPECT_EQ(bank.Render(index, CVector3(), CVector3(), camera), 1);
  EXPECT_EQ(engine->ItemsUsed(), 2);
}
