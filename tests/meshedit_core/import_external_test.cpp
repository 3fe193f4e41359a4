// The importers against assimp reading the same files: 3DS files that assimp
// wrote from small OBJ models, DXF files that ezdxf wrote.
#include <algorithm>
#include <array>
#include <filesystem>

#include <gtest/gtest.h>

#include "external_tools.h"
#include "meshedit/core/shape.h"
#include "support/external_tool.h"
#include "support/temp_dir.h"

using namespace pavix;
using namespace pavixtest;

namespace {

// Our polygons in assimp's frame: `axis` maps our (x, y, z) to assimp's.
std::vector<Polygon> OurPolygons(const CShape& shape, Point (*axis)(const CVector&)) {
  std::vector<Polygon> polygons;
  for (const CSide& s : shape.sides) {
    Polygon p;
    for (int j = 0; j < s.CornerCount(); ++j) p.push_back(axis(shape.vertices[s.index[j]].position));
    std::sort(p.begin(), p.end());
    polygons.push_back(p);
  }
  std::sort(polygons.begin(), polygons.end());
  return polygons;
}

long Triangles(const CShape& shape) {
  long n = 0;
  for (const CSide& s : shape.sides) n += s.CornerCount() - 2;
  return n;
}

class ExternalImportTest : public testsupport::TempDirTest {
 protected:
  void SetUp() override {
    REQUIRE_EXTERNAL_TOOL(testsupport::kAssimp);
  }
};

struct ObjCase {
  const char* name;
  const char* obj;
};

// 3DS keeps z up; we store (x, z, y) and assimp gives (x, z, -y).
Point From3ds(const CVector& p) { return GridPoint(p.x, p.y, -p.z); }

TEST_F(ExternalImportTest, ThreeDsWrittenByAssimpFromObjModels) {
  const ObjCase cases[] = {
      {"tetra", "v 0 0 0\nv 2 0 0\nv 0 3 0\nv 0.5 0.5 4\nf 1 3 2\nf 1 2 4\nf 2 3 4\nf 3 1 4\n"},
      {"two", "o first\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n"
              "o second\nv 5 0 0\nv 6 0 0\nv 5 1 2\nv 6 1 2\nf 4 5 6\nf 5 7 6\n"},
      {"strip", "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0.25\nv 0 2 0.5\nv 1 2 0.75\nv 0 3 1\nv 1 3 1.25\n"
                "f 1 2 4 3\nf 3 4 6 5\nf 5 6 8 7\n"},
  };
  for (const ObjCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string obj = dir.Native(std::string(c.name) + ".obj");
    const std::string model = dir.Native(std::string(c.name) + ".3ds");
    dir.Write(std::string(c.name) + ".obj", c.obj);
    ASSERT_EQ(RunCommand("assimp export " + Quote(obj) + " " + Quote(model) + " >/dev/null 2>&1"), 0);
    const AssimpCounts counts = AssimpInfo(model, dir.Native("info.txt"));
    const auto expected = AssimpPolygons(model, dir.Native("back.obj"));
    ASSERT_TRUE(expected);

    CShape shape;
    ASSERT_EQ(shape.Import3ds(model), 1);
    EXPECT_EQ(shape.VertexCount(), counts.vertices);
    EXPECT_EQ(Triangles(shape), counts.faces);
    EXPECT_EQ(OurPolygons(shape, From3ds), *expected);
  }
}

// DXF positions are kept as read; assimp gives (x, z, -y).
Point FromDxf(const CVector& p) { return GridPoint(p.x, p.z, -p.y); }

TEST_F(ExternalImportTest, DxfWrittenByEzdxf) {
  REQUIRE_EXTERNAL_TOOL(testsupport::kEzdxf);
  const auto python = EzdxfPython();
  ASSERT_TRUE(python);
  const std::string model = dir.Native("faces.dxf");
  dir.Write("make.py",
            "import sys, ezdxf\n"
            "doc = ezdxf.new('R2000')\n"
            "msp = doc.modelspace()\n"
            "msp.add_text('a text with spaces')\n"
            "layer = {'layer': 'a layer with spaces'}\n"
            "msp.add_3dface([(0, 0, 0), (1, 0, 0), (1, 2, 0), (1, 2, 0)], dxfattribs=layer)\n"
            "msp.add_3dface([(0, 0, 0), (1, 2, 0), (0, 2, 3), (0, 1, 5)], dxfattribs=layer)\n"
            "msp.add_3dface([(1, 0, 0), (2, 0, 1), (2, 2, 1), (1, 2, 0)], dxfattribs=layer)\n"
            "msp.add_3dface([(0.5, 0.25, -1.5), (2, 0, 1), (1, 0, 0), (1, 0, 0)], dxfattribs=layer)\n"
            "doc.saveas(sys.argv[1])\n");
  ASSERT_EQ(RunCommand(*python + " " + Quote(dir.Native("make.py")) + " " + Quote(model)), 0);
  const AssimpCounts counts = AssimpInfo(model, dir.Native("info.txt"));
  const auto expected = AssimpPolygons(model, dir.Native("back.obj"));
  ASSERT_TRUE(expected);

  CShape shape;
  ASSERT_EQ(shape.ImportDxf(model), 1);
  EXPECT_EQ(shape.SideCount(), 4);
  EXPECT_EQ(shape.VertexCount(), counts.vertices);
  EXPECT_EQ(Triangles(shape), counts.faces);
  EXPECT_EQ(OurPolygons(shape, FromDxf), *expected);
}

}  // namespace
