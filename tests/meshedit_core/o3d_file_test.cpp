#include "meshedit/core/o3d_file.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

#include <gtest/gtest.h>

#include "meshedit/core/mtf_file.h"
#include "meshedit/core/shape.h"
#include "mtf_builder.h"
#include "platform/core/file.h"
#include "support/bytes.h"
#include "support/temp_dir.h"

using namespace pavix;

namespace {

std::vector<std::uint8_t> HexFixture(const std::string& name) {
  std::ifstream in(std::string(FIXTURES_DIR) + "/" + name);
  std::vector<std::uint8_t> out;
  std::string line;
  while (std::getline(in, line)) {
    line = line.substr(0, line.find('#'));
    std::string digits;
    for (char c : line)
      if (std::isxdigit(static_cast<unsigned char>(c))) digits += c;
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2)
      out.push_back(static_cast<std::uint8_t>(std::stoi(digits.substr(i, 2), nullptr, 16)));
  }
  return out;
}

CSide Side(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) {
  CSide s;
  s.index[0] = a;
  s.index[1] = b;
  s.index[2] = c;
  s.index[3] = d;
  return s;
}

CShape TwoSides() {
  CShape shape;
  for (CVector p : {CVector{0, 0, 0}, CVector{1, 0, 0}, CVector{0, 2, 0}, CVector{-1, 0, 0.5f}}) {
    CShapeVertex v;
    v.position = p;
    shape.AddVertex(v);
  }
  CSide tri = Side(0, 1, 2, 2);
  tri.SetCorner(0, 0.5f, 0);
  tri.SetCorner(1, 1, 0.25f);
  tri.SetCorner(2, 0, 1);
  tri.SetCorner(3, 0, 1);
  tri.flags = kSideFlag2;
  tri.texture = 0x1805;
  shape.AddSide(tri);
  CSide quad = Side(0, 2, 3, 1);
  quad.flags = kSideTransparent | kSideTranslucent;
  quad.texture = 0x7FF;
  shape.AddSide(quad);
  return shape;
}

class O3dFileTest : public testsupport::TempDirTest {};

TEST_F(O3dFileTest, SavedBytesMatchTheHandWrittenFile) {
  const std::vector<std::uint8_t> golden = HexFixture("two_sides.o3d.hex");
  ASSERT_EQ(golden.size(), 16u + 12 * 4 + 50 * 2);
  CShape shape = TwoSides();
  EXPECT_EQ(EncodeO3d(shape), golden);
  ASSERT_EQ(shape.SaveO3d("two.o3d"), 1);
  const std::string saved = dir.Read("two.O3D");
  EXPECT_EQ(std::vector<std::uint8_t>(saved.begin(), saved.end()), golden);
  EXPECT_EQ(shape.NodeCount(), 1);  // a mesh saved without nodes gets one
  EXPECT_EQ(shape.nodes[0].vertexCount, 4);
}

TEST_F(O3dFileTest, LoadReadsTheHandWrittenFileBack) {
  dir.Write("two.o3d", HexFixture("two_sides.o3d.hex"));
  CShape shape;
  ASSERT_EQ(shape.LoadO3d("two.o3d"), 1);
  ASSERT_EQ(shape.VertexCount(), 4);
  ASSERT_EQ(shape.SideCount(), 2);
  EXPECT_EQ(shape.vertices[3].position, (CVector{-1, 0, 0.5f}));
  const CSide& tri = shape.sides[0];
  EXPECT_EQ(tri.index[0], 0u);
  EXPECT_EQ(tri.index[2], 2u);
  EXPECT_EQ(tri.index[3], 2u);
  EXPECT_EQ(tri.uv[1], (CUv{1, 0.25f}));
  EXPECT_EQ(tri.flags, kSideListed | kSideFlag2);
  EXPECT_EQ(tri.texture, 5u);  // only the id is stored
  const CSide& quad = shape.sides[1];
  EXPECT_EQ(quad.index[3], 1u);
  EXPECT_EQ(quad.flags, kSideListed | kSideTransparent | kSideTranslucent);
  EXPECT_EQ(quad.texture, 0x7FFu);
  EXPECT_EQ(shape.NodeCount(), 1);
  EXPECT_EQ(shape.EdgeCount(), 5);
}

TEST(O3dFormat, SideFlagsAndCoordinatesInTheFile) {
  struct Case {
    std::uint32_t sideFlags, fileFlags, readBack;
  };
  const Case cases[] = {{0, 1, 1}, {2, 5, 3}, {4, 9, 5}, {8, 17, 9}, {0x10 | 0x20 | 1, 1, 1}, {14, 29, 15}};
  for (const Case& c : cases) {
    CShape shape;
    shape.SetVertexCount(7);
    CSide s = Side(4, 5, 6, 6);
    s.flags = c.sideFlags;
    s.SetCorner(0, 0.5f, -2);
    shape.AddSide(s);
    const std::vector<std::uint8_t> bytes = EncodeO3d(shape);
    const std::uint8_t* side = bytes.data() + 16 + 12 * 7;
    EXPECT_EQ(testsupport::ReadU32(side + 44), c.fileFlags) << c.sideFlags;
    EXPECT_EQ(testsupport::ReadU16(side + 42), 0xFFFFu);
    float u0;
    std::memcpy(&u0, side + 4, 4);
    EXPECT_EQ(u0, 128.0f);
    CShape back;
    ASSERT_TRUE(DecodeO3d(bytes, back));
    EXPECT_EQ(back.sides[0].flags, c.readBack) << c.sideFlags;
    EXPECT_EQ(back.sides[0].index[3], 6u);
    EXPECT_EQ(back.sides[0].uv[0], (CUv{0.5f, -2}));
  }
}

TEST_F(O3dFileTest, ExtensionIsForcedAndCaseIsFoundEitherWay) {
  CShape shape = TwoSides();
  O3dSaveReport report;
  ASSERT_EQ(shape.SaveO3d("box.txt", &report), 1);
  EXPECT_TRUE(dir.Exists("box.O3D"));
  EXPECT_FALSE(dir.Exists("box.txt"));
  EXPECT_EQ(report.path, "box.O3D");  // the name written, for the title and the recent list

  // A file of the same name in another case is replaced, not doubled.
  dir.MakeDir("rozizuzi/customMeshes");
  dir.Write("rozizuzi/customMeshes/mesh.o3d", "old");
  CShape other = TwoSides();
  ASSERT_EQ(other.SaveO3d("rozizuzi\\customMeshes\\mesh.o3d", &report), 1);
  EXPECT_EQ(report.path, "rozizuzi/customMeshes/mesh.o3d");
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir.Native("rozizuzi/customMeshes")))
    names.push_back(e.path().filename().string());
  ASSERT_EQ(names.size(), 1u);
  EXPECT_EQ(names[0], "mesh.o3d");
  EXPECT_EQ(dir.Read("rozizuzi/customMeshes/mesh.o3d").size(), 164u);

  // A file saved as "x.O3D" is found through the lower-case name.
  ASSERT_EQ(TwoSides().SaveO3d("fresh.o3d"), 1);
  EXPECT_TRUE(dir.Exists("fresh.O3D"));
  CShape loaded;
  EXPECT_EQ(loaded.LoadO3d("FRESH.o3d"), 1);
  EXPECT_EQ(loaded.SideCount(), 2);
}

TEST_F(O3dFileTest, MeshesAreAlsoFoundInTheArchive) {
  const std::vector<std::uint8_t> golden = HexFixture("two_sides.o3d.hex");
  dir.Write("DATA.MTF", pavixtest::Archive({{"data\\custom\\meshes\\arch.O3D", golden,
                                             static_cast<std::uint32_t>(golden.size())}}));
  ASSERT_EQ(MtfOpenArchive("DATA.MTF", 0), 1);
  CShape shape;
  EXPECT_EQ(shape.LoadO3d("data\\custom\\meshes\\arch.o3d"), 1);
  EXPECT_EQ(shape.SideCount(), 2);
  MtfCloseArchive(0);
}

TEST_F(O3dFileTest, BadFilesAreRefusedAndChangeNothing) {
  const std::vector<std::uint8_t> good = HexFixture("two_sides.o3d.hex");
  std::vector<std::uint8_t> shortFile(good.begin(), good.end() - 1);
  std::vector<std::uint8_t> longFile = good;
  longFile.push_back(0);
  std::vector<std::uint8_t> badIndex = good;
  badIndex[16 + 48 + 36] = 4;  // side 0, corner 0 names vertex 4 of 4
  std::vector<std::uint8_t> badLast = good;
  badLast[16 + 48 + 50 + 42] = 9;
  std::vector<std::uint8_t> hugeCounts = good;
  hugeCounts[3] = 0x40;
  const std::vector<std::uint8_t> cases[] = {shortFile, longFile, badIndex, badLast, hugeCounts, {1, 2, 3}};
  for (const auto& bytes : cases) {
    dir.Write("bad.o3d", bytes);
    CShape shape = TwoSides();
    shape.mrm.order = {1, 2, 3};
    EXPECT_EQ(shape.LoadO3d("bad.o3d"), 0);
    EXPECT_EQ(shape.VertexCount(), 4);
    EXPECT_EQ(shape.SideCount(), 2);
    EXPECT_EQ(shape.sides[0].texture, 0x1805u);
    EXPECT_EQ(shape.mrm.order.size(), 3u);
  }
  CShape shape = TwoSides();
  EXPECT_EQ(shape.LoadO3d("missing.o3d"), 0);
  EXPECT_EQ(shape.SideCount(), 2);
}

// A vertex that is not a number or lies beyond the coordinate range would
// leave the view with nothing it can draw: such a file is refused as damaged.
TEST_F(O3dFileTest, VerticesOutOfTheCoordinateRangeAreRefused) {
  const std::vector<std::uint8_t> good = EncodeO3d(TwoSides());
  constexpr std::size_t kVertex2Y = kO3dHeaderSize + 2 * kO3dVertexSize + 4;
  struct Case {
    float y;
    int loaded;
  };
  const Case cases[] = {{std::numeric_limits<float>::quiet_NaN(), 0},
                        {std::numeric_limits<float>::infinity(), 0},
                        {-std::numeric_limits<float>::infinity(), 0},
                        {1e38f, 0},
                        {-3e38f, 0},
                        {10000001.0f, 0},
                        {10000000.0f, 1},
                        {-10000000.0f, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.y);
    std::vector<std::uint8_t> bytes = good;
    std::memcpy(&bytes[kVertex2Y], &c.y, 4);
    dir.Write("far.o3d", bytes);
    CShape shape = TwoSides();
    EXPECT_EQ(shape.LoadO3d("far.o3d"), c.loaded);
    ASSERT_EQ(shape.VertexCount(), 4);
    EXPECT_EQ(shape.SideCount(), 2);
    const auto hasY = [&](float y) {
      return std::any_of(shape.vertices.begin(), shape.vertices.end(), [&](const auto& v) { return v.position.y == y; });
    };
    EXPECT_TRUE(hasY(c.loaded ? c.y : 2.0f));
  }
}

TEST_F(O3dFileTest, LoadDropsEarlierProgressiveData) {
  dir.Write("two.O3D", HexFixture("two_sides.o3d.hex"));
  CShape shape;
  shape.mrm.count = 3;
  shape.mrm.order = {0x80000000u, 0x80000000u, 0x80000001u};
  shape.mrm.uv.resize(3);
  ASSERT_EQ(shape.LoadO3d("two.o3d"), 1);
  EXPECT_EQ(shape.mrm.count, 0);
  EXPECT_TRUE(shape.mrm.order.empty());
  EXPECT_TRUE(shape.mrm.uv.empty());
}

TEST_F(O3dFileTest, FailedSaveIsReportedAndChangesNothing) {
  CShape shape = TwoSides();
  EXPECT_EQ(shape.SaveO3d("no\\such\\folder\\mesh.o3d"), 0);
  EXPECT_EQ(shape.NodeCount(), 0);
  EXPECT_EQ(shape.sides[0].texture, 0x1805u);  // not rebuilt either

  O3dSaveReport report;
  EXPECT_EQ(shape.SaveO3d("no\\such\\folder\\mesh.o3d", &report), 0);
  EXPECT_EQ(report.cause, platform::kCauseFileNotFound);
  EXPECT_FALSE(report.tooManyVertices);
  EXPECT_TRUE(report.path.empty());

  // Indices 0 to 0xFFFE fit beside the triangle marker: 65,535 vertices and no more.
  dir.Write("keep.O3D", "previous");
  CShape big;
  big.SetVertexCount(0x10000);
  EXPECT_EQ(big.SaveO3d("keep.o3d", &report), 0);
  EXPECT_TRUE(report.tooManyVertices);
  EXPECT_EQ(report.cause, 0);
  EXPECT_EQ(dir.Read("keep.O3D"), "previous");
  big.SetVertexCount(0xFFFF);
  big.vertices[1].position = {1, 0, 0};
  big.vertices[0xFFFE].position = {0, 1, 0};
  big.AddSide(Side(0, 1, 0xFFFE, 0xFFFD));  // the last vertex, beside the marker
  EXPECT_EQ(big.SaveO3d("keep.o3d", &report), 1);
  EXPECT_FALSE(report.tooManyVertices);
  CShape back;
  ASSERT_EQ(back.LoadO3d("keep.o3d"), 1);
  EXPECT_EQ(back.VertexCount(), 0xFFFF);
  ASSERT_EQ(back.SideCount(), 1);
  EXPECT_EQ(back.sides[0].CornerCount(), 4);
  EXPECT_EQ(back.sides[0].index[2], 0xFFFEu);
}

TEST_F(O3dFileTest, SaveKeepsTheCurrentSideFindable) {
  CShape shape = TwoSides();
  shape.sides[0].texture = 900;  // sorts after the quad once rebuilt
  shape.sides[1].texture = 100;
  const int current = 0;
  ASSERT_EQ(shape.SaveO3d("cur.o3d"), 1);
  const int now = shape.SideAfterRebuild(current);
  ASSERT_EQ(now, 1);
  EXPECT_EQ(shape.sides[static_cast<std::size_t>(now)].texture, 900u);
}

}  // namespace
