#include <gtest/gtest.h>

#include <cstring>

#include "archive_fixture.h"
#include "datafiles/mtf_archive.h"
#include "platform/core/services.h"
#include "render/face.h"
#include "render/mesh.h"
#include "support/bytes.h"
#include "support/temp_dir.h"

namespace {

using testsupport::Bytes;

struct Side {
  std::uint32_t colour = 0x11223344;
  float uv[8] = {0, 0, 256, 0, 256, 256, 0, 256};
  std::uint16_t idx[4] = {0, 1, 2, 0xFFFF};
  std::uint32_t flags = 1;
  std::uint16_t texture = 7;
};

void AddSide(Bytes& b, const Side& s) {
  b.u32(s.colour);
  for (float f : s.uv) b.f32(f);
  for (std::uint16_t i : s.idx) b.u16(i);
  b.u32(s.flags).u16(s.texture);
}

// Raw body: counts, the counts again, vertices at (i, i * 10, -i), then the sides.
Bytes RawBody(int vertexCount, const std::vector<Side>& sides) {
  Bytes b;
  b.u32(vertexCount).u32(static_cast<std::uint32_t>(sides.size()));
  b.u32(vertexCount).u32(static_cast<std::uint32_t>(sides.size()));
  for (int i = 0; i < vertexCount; ++i) b.f32(float(i)).f32(float(i * 10)).f32(float(-i));
  for (const Side& s : sides) AddSide(b, s);
  return b;
}

Bytes Form04D(int vertexCount, const std::vector<Side>& sides, std::uint32_t w, std::uint32_t h,
              std::uint32_t version = 1) {
  Bytes b;
  b.str("04D").u8('x').u32(version);
  b.raw(RawBody(vertexCount, sides).data());
  b.u32(w).u32(h);
  for (std::uint32_t i = 0; i < w * h * 9; ++i) b.u8(static_cast<std::uint8_t>(i));
  return b;
}

TEST(Face, SideRecordFields) {
  Side s;
  s.uv[2] = 128.5f;
  s.idx[3] = 3;
  s.flags = 0x19;
  s.texture = 0x1234;
  Bytes b;
  AddSide(b, s);
  ASSERT_EQ(b.size(), kFaceRecordSize);
  CFace f;
  f.Parse(b.data().data());
  EXPECT_EQ(f.color, 0x11223344u);
  EXPECT_EQ(f.uv[1].u, 128.5f);  // coordinates are kept unscaled, in texels
  EXPECT_EQ(f.uv[2].v, 256.0f);
  EXPECT_EQ(f.index[3], 3);
  EXPECT_EQ(f.flags, 0x19u);
  EXPECT_EQ(f.depth, 0x1234);
  EXPECT_EQ(f.vertexCount, 4);
}

TEST(Face, VertexCountFromTheFreeIndices) {
  struct Case {
    std::uint16_t idx[4];
    int count;
  } cases[] = {{{4, 5, 6, 0xFFFF}, 3}, {{4, 0xFFFF, 6, 7}, 1}, {{4, 5, 0xFFFF, 7}, 2}, {{4, 5, 6, 7}, 4}};
  for (const Case& c : cases) {
    CFace f;
    std::memcpy(f.index, c.idx, sizeof c.idx);
    f.UpdateVertexCount();
    EXPECT_EQ(f.vertexCount, c.count);
  }
}

TEST(Face, Initialisers) {
  CFace f;
  f.spare = 99;
  f.InitLine(2, 0xFF00FF00, 3, 4);
  EXPECT_EQ(f.vertexCount, 2);
  EXPECT_EQ(f.index[2], kNoVertex);
  EXPECT_EQ(f.uv[1].u, 1.0f);
  EXPECT_EQ(f.uv[3].v, 1.0f);
  EXPECT_EQ(f.spare, 0u);
  f.InitLine(2, 0, 3, kNoVertex);
  EXPECT_EQ(f.vertexCount, 1);
  f.InitTriangle(1, 42, 0, 1, 2);
  EXPECT_EQ(f.vertexCount, 3);
  EXPECT_EQ(f.color, 42u);
  f.InitQuad(1, 42, 0, 1, 2, 3);
  EXPECT_EQ(f.vertexCount, 4);
  f.InitTriangleUV(1, 5, 0, 1, 2, 10, 11, 20, 21, 30, 31, 77);
  EXPECT_EQ(f.depth, 77);
  EXPECT_EQ(f.uv[3].u, 10.0f);
  EXPECT_EQ(f.uv[3].v, 11.0f);
}

TEST(Face, RotateMovesCornersWithTheirCoordinates) {
  CFace f;
  f.InitTriangleUV(1, 0, 10, 11, 12, 1, 2, 3, 4, 5, 6, 0);
  f.Rotate();
  EXPECT_EQ(f.index[0], 11);
  EXPECT_EQ(f.index[1], 12);
  EXPECT_EQ(f.index[2], 10);
  EXPECT_EQ(f.index[3], kNoVertex);
  EXPECT_EQ(f.uv[0].u, 3.0f);
  EXPECT_EQ(f.uv[2].u, 1.0f);
  EXPECT_EQ(f.uv[2].v, 2.0f);
}

TEST(Face, ReverseOfAQuadAndATriangle) {
  CFace q;
  q.InitQuad(1, 0, 0, 1, 2, 3);
  q.uv[0] = {9, 9};
  q.Reverse();
  EXPECT_EQ(q.index[0], 3);
  EXPECT_EQ(q.index[1], 2);
  EXPECT_EQ(q.index[2], 1);
  EXPECT_EQ(q.index[3], 0);
  EXPECT_EQ(q.uv[3].u, 9.0f);
  CFace t;
  t.InitTriangle(1, 0, 5, 6, 7);
  t.Reverse();
  EXPECT_EQ(t.index[0], 7);
  EXPECT_EQ(t.index[2], 5);
  EXPECT_EQ(t.index[3], kNoVertex);
}

TEST(Mesh, RawFormAndHeight) {
  CMesh m;
  Side quad;
  quad.idx[3] = 3;
  ASSERT_EQ(m.ReadBytes(RawBody(4, {Side{}, quad}).data()), MeshError::kNone);
  ASSERT_EQ(m.VertexCount(), 4);
  ASSERT_EQ(m.FaceCount(), 2);
  EXPECT_EQ(m.vertices[2].x, 2.0f);
  EXPECT_EQ(m.vertices[2].z, -2.0f);
  EXPECT_EQ(m.vertices[2].color, 0x40000000u);
  EXPECT_EQ(m.faces[0].vertexCount, 3);
  EXPECT_EQ(m.faces[1].vertexCount, 4);
  EXPECT_EQ(m.faces[0].depth, 7);
  EXPECT_FALSE(m.HasFootprint());
  m.ComputeHeight();
  EXPECT_EQ(m.height, 30.0f);
  EXPECT_EQ(m.loadedFaceCount, 2u);
}

TEST(Mesh, FlagFixUps) {
  struct Case {
    std::uint32_t fileFlags;
    std::uint32_t raw;
    std::uint32_t with04D;
  } cases[] = {
      {0x18, 0x10818, 0x1081C},
      {0x1000, 0x1000, 0x1004},
      {0x1, 0x5, 0x5},
      {0x8, 0xC, 0xC},
      {0x1019, 0x11819, 0x1181D},
  };
  for (const Case& c : cases) {
    Side s;
    s.flags = c.fileFlags;
    CMesh raw, framed;
    ASSERT_EQ(raw.ReadBytes(RawBody(3, {s}).data()), MeshError::kNone);
    ASSERT_EQ(framed.ReadBytes(Form04D(3, {s}, 0, 0).data()), MeshError::kNone);
    EXPECT_EQ(raw.faces[0].flags, c.raw) << std::hex << c.fileFlags;
    EXPECT_EQ(framed.faces[0].flags, c.with04D) << std::hex << c.fileFlags;
  }
}

TEST(Mesh, Form04DWithAFootprintTwoBlocksWide) {
  CMesh m;
  ASSERT_EQ(m.ReadBytes(Form04D(3, {Side{}}, 2, 1).data()), MeshError::kNone);
  EXPECT_EQ(m.gridWidth, 2);
  EXPECT_EQ(m.gridHeight, 1);
  ASSERT_EQ(m.grid.size(), 18u);
  EXPECT_EQ(m.FootprintColumns(), 6);
  EXPECT_EQ(m.FootprintRows(), 3);
  // Rows of six cells: cell (x, y) is byte y * 6 + x.
  EXPECT_EQ(m.FootprintCell(0, 0), 0);
  EXPECT_EQ(m.FootprintCell(5, 0), 5);
  EXPECT_EQ(m.FootprintCell(0, 1), 6);
  EXPECT_EQ(m.FootprintCell(4, 2), 16);
  EXPECT_EQ(m.FootprintCell(6, 0), 0);
  EXPECT_EQ(m.FootprintCell(-1, 0), 0);
  EXPECT_EQ(m.FootprintCell(0, 3), 0);
  // A grid without cells is no grid.
  ASSERT_EQ(m.ReadBytes(Form04D(3, {Side{}}, 5000, 0).data()), MeshError::kNone);
  EXPECT_FALSE(m.HasFootprint());
  EXPECT_EQ(m.FootprintColumns(), 0);
}

TEST(Mesh, DamagedBytesAreRefusedAndLeaveNoMesh) {
  Side bad;
  bad.idx[2] = 3;  // only vertices 0..2 exist
  Side line;
  line.idx[1] = 2;
  line.idx[2] = 0xFFFF;
  line.idx[3] = 999;  // past the corner count: not looked at
  const std::vector<std::uint8_t> good = RawBody(3, {Side{}}).data();
  std::vector<std::uint8_t> hugeCount = good;
  hugeCount[0] = hugeCount[1] = hugeCount[2] = hugeCount[3] = 0xFF;
  struct Case {
    const char* what;
    std::vector<std::uint8_t> bytes;
    MeshError expected;
  } cases[] = {
      {"empty", {}, MeshError::kTruncated},
      {"short head", {1, 0, 0}, MeshError::kTruncated},
      {"one byte short", std::vector<std::uint8_t>(good.begin(), good.end() - 1), MeshError::kTruncated},
      {"vertex count past the end", hugeCount, MeshError::kTruncated},
      {"index past the vertices", RawBody(3, {bad}).data(), MeshError::kBadIndex},
      {"04D version 2", Form04D(3, {Side{}}, 0, 0, 2).data(), MeshError::kBadVersion},
      {"04D without its grid size", Bytes().str("04D").u8(0).u32(1).raw(good).data(), MeshError::kTruncated},
      {"04D grid past the end", Bytes().str("04D").u8(0).u32(1).raw(good).u32(100000).u32(100000).data(),
       MeshError::kTruncated},
      {"04D head only", Bytes().str("04D").u8(0).u16(1).data(), MeshError::kTruncated},
  };
  for (const Case& c : cases) {
    CMesh m;
    EXPECT_EQ(m.ReadBytes(c.bytes), c.expected) << c.what;
    EXPECT_EQ(m.VertexCount(), 0) << c.what;
    EXPECT_EQ(m.FaceCount(), 0) << c.what;
  }
  CMesh ok;
  EXPECT_EQ(ok.ReadBytes(RawBody(3, {line}).data()), MeshError::kNone);
  // Bytes after the mesh are ignored.
  EXPECT_EQ(ok.ReadBytes(Bytes().raw(good).u32(0xDEADBEEF).data()), MeshError::kNone);
}

class MeshFileTest : public testsupport::TempDirTest {
 protected:
  rendertest::ArchiveGuard archives;
  platform::ScriptedServices ui;
};

TEST_F(MeshFileTest, LoadsALooseFileOfEitherForm) {
  dir.Write("raw.o3d", RawBody(3, {Side{}}).data());
  dir.Write("framed.o3d", Form04D(3, {Side{}}, 1, 1).data());
  CMesh m;
  EXPECT_EQ(m.Load("raw.o3d"), 1);
  EXPECT_EQ(m.FaceCount(), 1);
  EXPECT_EQ(m.height, 20.0f);
  EXPECT_EQ(m.Load("FRAMED.O3D"), 1);
  EXPECT_EQ(m.gridWidth, 1);
  EXPECT_EQ(m.faces[0].flags & kFaceSmooth, kFaceSmooth);
  // The raw reader takes a "04D" file as a raw body and refuses it.
  EXPECT_EQ(m.LoadRaw("framed.o3d"), 0);
  EXPECT_EQ(m.VertexCount(), 0);
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_NE(ui.boxes[0].text.find("framed.o3d"), std::string::npos);
}

TEST_F(MeshFileTest, Finds04DInsideAnArchive) {
  dir.Write("data.mtf", rendertest::MakeArchive({{"meshes\\pillar.o3d", Form04D(3, {Side{}}, 1, 1).data()}}));
  ASSERT_EQ(MtfOpenArchive("data.mtf", 0), 1);
  CMesh m;
  EXPECT_EQ(m.Load("meshes\\pillar.o3d"), 1);
  EXPECT_EQ(m.gridWidth, 1);
  EXPECT_EQ(m.grid.size(), 9u);
  EXPECT_EQ(m.faces[0].flags, 0x5u);
}

TEST_F(MeshFileTest, MissingAndDamagedFiles) {
  CMesh m;
  EXPECT_EQ(m.Load("nothing.o3d"), 0);
  EXPECT_TRUE(ui.boxes.empty());  // a missing file is not an error box
  EXPECT_EQ(m.height, kNoMeshHeight);
  std::vector<std::uint8_t> cut = RawBody(3, {Side{}}).data();
  cut.resize(cut.size() - 10);
  dir.Write("cut.o3d", cut);
  EXPECT_EQ(m.Load("cut.o3d"), 0);
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text, "Error while reading cut.o3d, error = 14\n");
  EXPECT_EQ(m.FaceCount(), 0);
}

}  // namespace
