#include "meshedit/core/shape_stream.h"

#include <gtest/gtest.h>

#include "meshedit/core/effect_meshes.h"
#include "meshedit/core/mtf_file.h"
#include "meshedit/core/shape.h"
#include "mtf_builder.h"
#include "platform/core/services.h"
#include "shape_records.h"
#include "support/temp_dir.h"

using namespace pavix;
using namespace pavixtest;

namespace {

MtfFilePtr Stream(const Bytes& b) { return MtfFromBytes(b.data()); }

TEST(ShapeRecords, SmallRecordsHaveTheirSizes) {
  Bytes v3d, uv, quat, rgb;
  V3d(v3d, {1, 2, 3});
  Uv(uv, 0.5f, 0.25f);
  Quat(quat, 1, 2, 3, 4);
  Rgb(rgb);
  EXPECT_EQ(v3d.size(), 14u);
  EXPECT_EQ(uv.size(), 10u);
  EXPECT_EQ(quat.size(), 18u);
  EXPECT_EQ(rgb.size(), 6u);
  CVector v;
  CUv t;
  CQuaternion q;
  std::uint8_t c[4];
  ASSERT_TRUE(ReadV3d(v, Stream(v3d).get()));
  EXPECT_EQ(v, (CVector{1, 2, 3}));
  ASSERT_TRUE(ReadUv(t, Stream(uv).get()));
  EXPECT_EQ(t, (CUv{0.5f, 0.25f}));  // not scaled
  ASSERT_TRUE(ReadQuat(q, Stream(quat).get()));
  EXPECT_EQ(q.w, 4.0f);
  ASSERT_TRUE(ReadRgb(c, Stream(rgb).get()));
  EXPECT_EQ(c[0], 10);
}

TEST(ShapeRecords, EveryVertexVersion) {
  struct Case {
    int version;
    std::size_t size;
    std::uint8_t flags;
  };
  const Case cases[] = {{1, 36, 0}, {2, 30, 0}, {3, 34, 0}, {4, 35, 0x23}, {5, 31, 0x21}};
  for (const Case& c : cases) {
    Bytes b;
    Vtx(b, c.version, {1, 2, 3}, 0x23 - static_cast<std::uint8_t>(c.version == 5 ? 2 : 0));
    EXPECT_EQ(b.size(), c.size) << c.version;
    MtfFilePtr f = Stream(b);
    CShapeVertex v;
    v.flags = 0x55;
    ASSERT_TRUE(ReadVtx(v, f.get())) << c.version;
    EXPECT_EQ(f->Remaining(), 0u) << c.version;
    EXPECT_EQ(v.position, (CVector{1, 2, 3}));
    EXPECT_EQ(v.normal, (CVector{0, 0, 1}));
    EXPECT_EQ(v.flags, c.flags) << c.version;
  }
}

TEST(ShapeRecords, EverySideVersion) {
  const std::size_t sizes[] = {72, 73, 73, 74, 68, 67};
  for (int version = 1; version <= 6; ++version) {
    Bytes b;
    SideSpec desc;
    desc.index[3] = 5;
    Side(b, version, desc);
    EXPECT_EQ(b.size(), sizes[version - 1]) << version;
    MtfFilePtr f = Stream(b);
    CSide s;
    s.group = 99;
    ASSERT_TRUE(ReadSide(s, f.get())) << version;
    EXPECT_EQ(f->Remaining(), 0u);
    EXPECT_EQ(s.flags, 1u);
    EXPECT_EQ(s.index[3], 5u);
    EXPECT_EQ(s.uv[2], (CUv{0.5f, 0.5f}));
    EXPECT_EQ(s.texture, 3u);
    EXPECT_EQ(s.group, version == 1 ? 0 : 7) << version;
  }
}

TEST(ShapeRecords, EveryNodeVersion) {
  const std::size_t sizes[] = {82, 86, 94, 108, 112, 118, 122, 118, 122, 154};
  for (int version = 1; version <= 10; ++version) {
    Bytes b;
    NodeSpec desc;
    desc.count = 12;
    Snode(b, version, desc);
    EXPECT_EQ(b.size(), sizes[version - 1]) << version;
    MtfFilePtr f = Stream(b);
    CShapeNode n;
    ASSERT_TRUE(ReadShapeNode(n, f.get())) << version;
    EXPECT_EQ(f->Remaining(), 0u) << version;
    EXPECT_EQ(n.vertexCount, 12);
    EXPECT_EQ(n.pivot, (CVector{1, 2, 3}));
    EXPECT_FLOAT_EQ(n.length, 10.0f);
    EXPECT_EQ(n.Name(), "ROOT");
    EXPECT_EQ(n.AltName(), version == 10 ? "OTHER" : "") << version;
    const CVector offset = version >= 4 ? CVector{4, 5, 6} : CVector{0, 0, 0};
    EXPECT_EQ(n.offset, offset) << version;
    EXPECT_FLOAT_EQ(n.rotation.w, version >= 6 ? 0.9f : 0.5f) << version;
    EXPECT_FLOAT_EQ(n.rotation.x, version >= 6 ? 0.1f : 0.0f) << version;
    EXPECT_EQ(n.flags, version >= 2 ? 0x400u : 0u) << version;
    EXPECT_FLOAT_EQ(n.value15, version >= 3 ? 1.5f : 15.0f) << version;
    EXPECT_FLOAT_EQ(n.value981, version >= 3 ? 2.5f : 9.81f) << version;
    EXPECT_EQ(n.valueMinus1, version >= 7 ? 77 : -1) << version;
    EXPECT_EQ(n.lockedCount, version >= 9 ? 3 : 0) << version;
  }
}

TEST(ShapeRecords, NodeListsKeepTheirDrawingValues) {
  struct Case {
    int version;
    std::uint32_t kept[3];
  };
  const Case cases[] = {{1, {0, 0, 0}}, {2, {11, 22, 0}}, {3, {11, 22, 0}},
                        {4, {11, 22, 0}}, {5, {11, 22, 33}}, {6, {11, 22, 33}}};
  for (const Case& c : cases) {
    Bytes b;
    b.u16(static_cast<std::uint16_t>(c.version)).u32(2);
    if (c.version >= 2) b.u32(11).u32(22);
    if (c.version == 3) b.u32(99);
    if (c.version >= 5) b.u32(33);
    NodeSpec root, child;
    child.level = 2;
    Snode(b, 9, root);
    Snode(b, 9, child);
    CShape shape;
    shape.nodeState.words[3] = 5;
    MtfFilePtr f = Stream(b);
    ASSERT_TRUE(ReadShapeNodeList(shape, f.get())) << c.version;
    EXPECT_EQ(f->Remaining(), 0u);
    ASSERT_EQ(shape.NodeCount(), 2);
    EXPECT_EQ(shape.nodes[1].parent, 0);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(shape.nodeState.values[i], c.kept[i]) << c.version;
    EXPECT_EQ(shape.nodeState.words[3], 0u);
  }
}

// A SHAPE record: three triangles over five vertices, one node.
Bytes ShapeRecord(std::uint32_t version, bool withOrder = false) {
  Bytes b;
  b.u32(version).f32(2.0f);
  b.u16(1).u32(4);  // LSIDE
  const std::uint32_t textures[] = {30, 10, 20};
  for (int i = 0; i < 3; ++i) {
    SideSpec s;
    s.index[0] = static_cast<std::uint32_t>(i);
    s.index[1] = static_cast<std::uint32_t>(i + 1);
    s.index[2] = s.index[3] = static_cast<std::uint32_t>(i + 2);
    s.texture = textures[i];
    Side(b, 6, s);
  }
  SideSpec degenerate;
  degenerate.index[0] = degenerate.index[1] = 1;
  Side(b, 6, degenerate);
  b.u16(2).u32(5);  // LVTX version 2 has an extra V3D
  V3d(b, {0, 0, 0});
  for (int i = 0; i < 5; ++i) Vtx(b, 5, {static_cast<float>(i), static_cast<float>(i * i), 0});
  b.u16(1).u32(1);  // LSNODE
  NodeSpec node;
  node.count = 5;
  node.locked = 0;
  Snode(b, 9, node);
  if (version >= 2) {
    if (withOrder) {
      b.u32(2).u32(5);
      for (std::uint32_t i = 0; i < 5; ++i) b.u32(0x80000000u | (i == 0 ? 0 : i - 1));
      b.u32(5);
      for (int i = 0; i < 5; ++i) Uv(b, 0, 0);
      b.u32(0x1234).f32(500.0f);
    } else {
      b.u32(1);
    }
  }
  if (version == 4) {
    b.u16(1).u32(3);
    for (std::uint32_t i = 0; i < 3; ++i) b.u16(1).u32(i).u32(i + 1).u32((i + 2) | 0x80000000u).u32(0);
    b.u32(5);
    for (std::uint32_t i = 0; i < 5; ++i) b.u16(1).u32(i).u32((i + 1) % 5);
  }
  return b;
}

TEST(ReadShape, VersionsOneToThreeAreRebuiltAndSorted) {
  for (std::uint32_t version : {1u, 2u, 3u}) {
    Bytes b = ShapeRecord(version);
    CShape shape;
    MtfFilePtr f = Stream(b);
    ASSERT_EQ(shape.ReadShape(f.get()), 1) << version;
    EXPECT_EQ(f->Remaining(), 0u);
    ASSERT_EQ(shape.SideCount(), 3);
    EXPECT_EQ(shape.sides[0].texture, 10u) << version;
    EXPECT_EQ(shape.sides[2].texture, 30u) << version;
    EXPECT_EQ(shape.VertexCount(), 5);
    EXPECT_EQ(shape.NodeCount(), 1);
    EXPECT_FLOAT_EQ(shape.recordValue, 2.0f);
    EXPECT_EQ(shape.EdgeCount(), 7);  // rebuilt
    EXPECT_TRUE(shape.mrm.order.empty());
  }
}

TEST(ReadShape, VersionFourKeepsItsStoredOrderAndEdges) {
  Bytes b = ShapeRecord(4);
  CShape shape;
  MtfFilePtr f = Stream(b);
  ASSERT_EQ(shape.ReadShape(f.get()), 1);
  ASSERT_EQ(shape.SideCount(), 3);
  EXPECT_EQ(shape.sides[0].texture, 30u);
  EXPECT_EQ(shape.sides[1].texture, 10u);
  EXPECT_EQ(shape.EdgeCount(), 5);
  ASSERT_EQ(shape.sideEdges.size(), 3u);
  EXPECT_EQ(shape.sideEdges[1].edge[2], 3u | kEdgeReversed);
}

TEST(ReadShape, ACollapseOrderPutsTheSidesInProgressiveOrder) {
  Bytes b = ShapeRecord(3, true);
  CShape shape;
  MtfFilePtr f = Stream(b);
  ASSERT_EQ(shape.ReadShape(f.get()), 1);
  EXPECT_EQ(shape.mrm.count, 5);  // built again from the mesh
  ASSERT_EQ(shape.mrm.order.size(), 5u);
  EXPECT_EQ(shape.mrm.word, 0x1234u);
  EXPECT_FLOAT_EQ(shape.mrm.threshold, 500.0f);
  for (std::uint32_t o : shape.mrm.order) EXPECT_TRUE(o & 0x80000000u);
}

TEST(ReadShape, StreamsThatEndEarlyOrDoNotAddUpChangeNothing) {
  const Bytes full = ShapeRecord(4);
  std::vector<Bytes> cases;
  for (std::size_t cut : {std::size_t{3}, std::size_t{7}, std::size_t{50}, full.size() / 2, full.size() - 1}) {
    Bytes b;
    b.raw(std::vector<std::uint8_t>(full.data().begin(), full.data().begin() + static_cast<long>(cut)));
    cases.push_back(b);
  }
  Bytes hugeCount;
  hugeCount.u32(1).u32(0).u16(1).u32(0x7FFFFFFF);
  cases.push_back(hugeCount);
  Bytes badIndex = ShapeRecord(1);
  badIndex.data()[8 + 6 + 6] = 9;  // first side, corner 0 names vertex 9 of 5
  cases.push_back(badIndex);
  Bytes tooManyInNode = ShapeRecord(1);
  tooManyInNode.data()[tooManyInNode.size() - 122 + 6] = 6;  // the node claims 6 of 5 vertices
  cases.push_back(tooManyInNode);
  for (const Bytes& b : cases) {
    CShape shape;
    shape.SetVertexCount(2);
    MtfFilePtr f = Stream(b);
    EXPECT_EQ(shape.ReadShape(f.get()), 0) << b.size();
    EXPECT_EQ(shape.VertexCount(), 2);
    EXPECT_EQ(shape.SideCount(), 0);
  }
}

TEST(ReadShape, AnUnknownVersionShowsTheBoxAndEndsTheProgram) {
  struct Case {
    Bytes bytes;
    const char* text;
    bool (*read)(MtfFile*);
  };
  auto shape = [](MtfFile* f) { CShape s; return s.ReadShape(f) == 1; };
  auto mrm = [](MtfFile* f) { CShape s; return s.ReadMrm(f) == 1; };
  auto side = [](MtfFile* f) { CSide s; return ReadSide(s, f); };
  auto vtx = [](MtfFile* f) { CShapeVertex v; return ReadVtx(v, f); };
  auto node = [](MtfFile* f) { CShapeNode n; return ReadShapeNode(n, f); };
  auto sides = [](MtfFile* f) { CShape s; return ReadSideList(s, f); };
  auto verts = [](MtfFile* f) { CShape s; return ReadVertexList(s, f); };
  auto nodes = [](MtfFile* f) { CShape s; return ReadShapeNodeList(s, f); };
  auto edges = [](MtfFile* f) { CShape s; return ReadEdgeBlock(s, f); };
  auto v3d = [](MtfFile* f) { CVector v; return ReadV3d(v, f); };
  auto uv = [](MtfFile* f) { CUv v; return ReadUv(v, f); };
  auto quat = [](MtfFile* f) { CQuaternion q; return ReadQuat(q, f); };
  auto rgb = [](MtfFile* f) { std::uint8_t c[4]; return ReadRgb(c, f); };
  std::vector<Case> cases = {
      {Bytes().u32(5), "SHAPE : UNKNOWN VERSION", shape},
      {Bytes().u32(0), "SHAPE : UNKNOWN VERSION", shape},
      {Bytes().u32(3), "SHAPE : MRM UNKNOWN VERSION", mrm},
      {Bytes().u16(2), "SHAPE : CEDG UNKNOWN VERSION", edges},
      {Bytes().u16(1).u32(1).u16(2), "SHAPE : CSIDEEDGE UNKNOWN VERSION", edges},
      {Bytes().u16(1).u32(0).u32(1).u16(0), "SHAPE : CEDGE UNKNOWN VERSION", edges},
      {Bytes().u16(2), "LSIDE : UNKNOWN VERSION", sides},
      {Bytes().u16(7), "SIDE : UNKNOWN VERSION", side},
      {Bytes().u16(4), "LVTX : UNKNOWN VERSION", verts},
      {Bytes().u16(6), "VTX : UNKNOWN VERSION", vtx},
      {Bytes().u16(7), "LSNODE : UNKNOWN VERSION", nodes},
      {Bytes().u16(11), "SNODE : UNKNOWN VERSION", node},
      {Bytes().u16(0), "SNODE : UNKNOWN VERSION", node},
      {Bytes().u16(2), "V3D : UNKNOWN VERSION", v3d},
      {Bytes().u16(2), "UV : UNKNOWN VERSION", uv},
      {Bytes().u16(2), "QUAT : UNKNOWN VERSION", quat},
      {Bytes().u16(2), "RGB : UNKNOWN VERSION", rgb},
  };
  // Inside a record: a side whose colour record has an unknown version.
  Bytes nested;
  nested.u16(1).u32(0).u32(0).u32(1).u32(2).u32(2).u16(9);
  cases.push_back({nested, "RGB : UNKNOWN VERSION", side});
  for (Case& c : cases) {
    platform::ScriptedServices ui;
    c.bytes.zeros(64);
    MtfFilePtr f = Stream(c.bytes);
    try {
      c.read(f.get());
      ADD_FAILURE() << c.text << ": the program went on";
    } catch (const platform::ProgramExit& e) {
      EXPECT_EQ(e.code, 0);
    }
    ASSERT_EQ(ui.boxes.size(), 1u) << c.text;
    EXPECT_EQ(ui.boxes[0].text, c.text);
    EXPECT_EQ(ui.boxes[0].caption, "ERROR");
    EXPECT_EQ(ui.boxes[0].flags, platform::kMbOk | platform::kMbIconWarning);
  }
}

class ShpFileTest : public testsupport::TempDirTest {
 protected:
  ~ShpFileTest() override { MtfCloseArchive(0); }
};

TEST_F(ShpFileTest, LoadShpForcesTheExtensionAndReportsTheRead) {
  dir.Write("dat/sfx/sfx3.shp", ShapeRecord(1).data());
  CShape shape;
  EXPECT_EQ(shape.LoadShp("dat\\sfx\\sfx3"), 1);
  EXPECT_EQ(shape.SideCount(), 3);
  CShape none;
  EXPECT_EQ(none.LoadShp("dat\\sfx\\sfx4"), 0);
  Bytes truncated = ShapeRecord(1);
  truncated.data().resize(40);
  dir.Write("dat/sfx/sfx5.SHP", truncated.data());
  EXPECT_EQ(none.LoadShp("dat\\sfx\\sfx5.txt"), 0);  // a failed read is not a success
  EXPECT_EQ(none.SideCount(), 0);

  std::vector<std::uint8_t> archive = Archive({{"dat\\sfx\\sfx6.SHP", ShapeRecord(1).data(),
                                                static_cast<std::uint32_t>(ShapeRecord(1).size())}});
  dir.Write("DATA.MTF", archive);
  ASSERT_EQ(MtfOpenArchive("DATA.MTF", 0), 1);
  EXPECT_EQ(none.LoadShp("DAT\\SFX\\SFX6"), 1);
}

TEST_F(ShpFileTest, EffectMeshesLoadFromLooseFiles) {
  dir.Write("dat/sfx/sfx0.SHP", ShapeRecord(1).data());
  dir.Write("dat/sfx/sfx255.SHP", ShapeRecord(2).data());
  EXPECT_EQ(LoadEffectMeshes(), 2);
  EXPECT_EQ(EffectMeshes()[0].SideCount(), 3);
  EXPECT_EQ(EffectMeshes()[255].SideCount(), 3);
  EXPECT_EQ(EffectMeshes()[1].SideCount(), 0);
  FreeEffectMeshes();
  EXPECT_EQ(EffectMeshes()[0].VertexCount(), 0);
}

}  // namespace
