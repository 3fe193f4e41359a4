#include "meshedit/core/model_import.h"

#include <cmath>
#include <fstream>
#include <limits>
#include <map>
#include <random>
#include <set>

#include <gtest/gtest.h>

#include "meshedit/core/shape.h"
#include "meshedit/core/text_token.h"
#include "platform/core/trace.h"
#include "support/bytes.h"
#include "support/temp_dir.h"

using namespace pavix;
using testsupport::Bytes;

namespace {

std::string Fixture(const std::string& name) {
  std::ifstream in(std::string(FIXTURES_DIR) + "/" + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::set<std::uint32_t> Corners(const CSide& s) { return {s.index, s.index + s.CornerCount()}; }

class ImportTest : public testsupport::TempDirTest {};

TEST(TextToken, SeparatorsAndLongTokens) {
  const std::string text = std::string("  X:1.5\t\"quoted\"\x80\xFFnext") + std::string(300, 'a') + " end";
  TextReader r(text);
  std::string t;
  for (const char* e : {"X", "1.5", "quoted"}) {
    ASSERT_TRUE(ReadTextToken(r, t));
    EXPECT_EQ(t, e);
  }
  ASSERT_TRUE(ReadTextToken(r, t));
  EXPECT_EQ(t.substr(0, 6), "nextaa");
  EXPECT_EQ(t.size(), 255u);  // cut to the buffer, the rest skipped
  ASSERT_TRUE(ReadTextToken(r, t));
  EXPECT_EQ(t, "end");
  EXPECT_FALSE(ReadTextToken(r, t));
  EXPECT_TRUE(t.empty());
  TextReader find("a B b c");
  EXPECT_TRUE(FindTextToken(find, "b"));  // case matters
  ReadTextToken(find, t);
  EXPECT_EQ(t, "c");
  EXPECT_FALSE(FindTextToken(find, "b"));
  EXPECT_EQ(ParseReal(" -2.5e1x"), -25.0);
  // As atof reads them: the importers refuse such coordinates themselves.
  EXPECT_EQ(ParseReal("inf"), HUGE_VAL);
  EXPECT_EQ(ParseReal("-1e999"), -HUGE_VAL);
  EXPECT_EQ(ParseReal("1e-999"), 0.0);
  EXPECT_EQ(ParseReal("0.5e999"), HUGE_VAL);
  EXPECT_TRUE(std::isnan(ParseReal("nan")));
  EXPECT_EQ(ParseReal("abc"), 0.0);
  EXPECT_EQ(ParseInteger("+12"), 12);
}

TEST_F(ImportTest, AscSwapsYAndZAndTurnsEachFaceToItsTopEdge) {
  dir.Write("pyramid.ASC", Fixture("pyramid.asc"));
  CShape shape;
  ASSERT_EQ(shape.ImportAsc("pyramid.txt"), 1);
  ASSERT_EQ(shape.VertexCount(), 4);
  EXPECT_EQ(shape.vertices[0].position, (CVector{1, 3, 2}));
  EXPECT_EQ(shape.vertices[3].position, (CVector{0, 10, -2}));
  // Face 2 names vertex 9 of 4 and is dropped.
  ASSERT_EQ(shape.SideCount(), 3);
  std::multiset<std::set<std::uint32_t>> faces;
  for (const CSide& s : shape.sides) {
    faces.insert(Corners(s));
    EXPECT_EQ(s.flags, 3u);
    EXPECT_EQ(s.texture, 0u);
    EXPECT_EQ(s.CornerCount(), 3);
  }
  EXPECT_EQ(faces, (std::multiset<std::set<std::uint32_t>>{{0, 1, 2}, {0, 2, 3}, {1, 2, 3}}));
  // Face 1 is read as C B A = 3 2 0; its highest edge is 0-3 (heights 3 and
  // 10), so corner 2 is turned to the front with its coordinates.
  for (const CSide& s : shape.sides) {
    if (Corners(s) == std::set<std::uint32_t>{0, 2, 3}) {
      EXPECT_EQ(s.index[0], 0u);
      EXPECT_EQ(s.index[1], 3u);
      EXPECT_EQ(s.index[2], 2u);
      EXPECT_EQ(s.uv[0], (CUv{0, 0.0005f}));
      EXPECT_EQ(s.uv[1], (CUv{0, 0}));
      EXPECT_EQ(s.uv[2], (CUv{0.0005f, 0}));
    }
  }
  EXPECT_EQ(shape.NodeCount(), 1);
  EXPECT_EQ(shape.nodes[0].vertexCount, 4);
}

TEST_F(ImportTest, ImportersThatCannotOpenTheirFileChangeNothing) {
  CShape shape;
  shape.SetVertexCount(3);
  shape.AddSide(PlaceholderSide(0, 1, 2));
  EXPECT_EQ(shape.ImportAsc("missing"), 0);
  EXPECT_EQ(shape.Import3ds("missing"), 0);
  EXPECT_EQ(shape.ImportDxf("missing"), 0);
  EXPECT_EQ(shape.VertexCount(), 3);
  EXPECT_EQ(shape.SideCount(), 1);
  EXPECT_EQ(shape.NodeCount(), 0);
  // Counts that the text cannot hold are refused as well.
  dir.Write("huge.ASC", "Vertices: 99999999 Faces: 1");
  EXPECT_EQ(shape.ImportAsc("huge"), 0);
  EXPECT_EQ(shape.VertexCount(), 3);
}

Bytes Chunk(std::uint16_t id, const Bytes& body) {
  Bytes b;
  b.u16(id).u32(static_cast<std::uint32_t>(6 + body.size())).raw(body.data());
  return b;
}

Bytes Object(const std::string& name, const std::vector<CVector>& points,
             const std::vector<std::array<std::uint16_t, 3>>& faces) {
  Bytes verts;
  verts.u16(static_cast<std::uint16_t>(points.size()));
  for (const CVector& p : points) verts.f32(p.x).f32(p.y).f32(p.z);
  Bytes faceList;
  faceList.u16(static_cast<std::uint16_t>(faces.size()));
  for (const auto& f : faces) faceList.u16(f[0]).u16(f[1]).u16(f[2]).u16(7);
  faceList.raw(Chunk(0x4130, Bytes().cstr("material").u16(0)).data());  // a sub-chunk inside
  Bytes mesh;
  mesh.raw(Chunk(0x4110, verts).data()).raw(Chunk(0x4111, Bytes().u16(1).u16(0)).data());
  mesh.raw(Chunk(0x4120, faceList).data()).raw(Chunk(0x4160, Bytes().zeros(48)).data());
  Bytes block;
  block.cstr(name).raw(Chunk(0x4100, mesh).data());
  return Chunk(0x4000, block);
}

Bytes TwoObjects3ds() {
  Bytes objects;
  objects.raw(Chunk(0xAFFF, Bytes().zeros(10)).data());  // a material, skipped
  objects.raw(Object("first", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}}).data());
  // A name well past 16 characters, and a face naming a vertex the object lacks.
  objects.raw(Object("a_name_longer_than_sixteen_characters", {{5, 0, 0}, {6, 0, 0}, {5, 1, 2}, {6, 1, 2}},
                     {{0, 1, 2}, {1, 3, 2}, {0, 1, 9}})
                  .data());
  Bytes main;
  main.raw(Chunk(0x0002, Bytes().u32(3)).data()).raw(Chunk(0x3D3D, objects).data());
  main.raw(Chunk(0xB000, Bytes()).data());
  return Chunk(0x4D4D, main);
}

TEST_F(ImportTest, ThreeDsObjectsMergeIntoOneMesh) {
  dir.Write("two.3DS", TwoObjects3ds().data());
  platform::TraceCapture trace;
  CShape shape;
  ASSERT_EQ(shape.Import3ds("two.any"), 1);
  ASSERT_EQ(shape.VertexCount(), 7);
  EXPECT_EQ(shape.vertices[5].position, (CVector{5, 2, 1}));  // stored as (x, z, y)
  ASSERT_EQ(shape.SideCount(), 3);
  std::multiset<std::set<std::uint32_t>> faces;
  for (const CSide& s : shape.sides) faces.insert(Corners(s));
  // The second object's faces start after the first object's three vertices.
  EXPECT_EQ(faces, (std::multiset<std::set<std::uint32_t>>{{0, 1, 2}, {3, 4, 5}, {4, 5, 6}}));
  for (const CSide& s : shape.sides) {
    if (Corners(s) == std::set<std::uint32_t>{0, 1, 2}) {
      EXPECT_EQ(s.index[0], 2u);  // (c, b, a)
      EXPECT_EQ(s.index[2], 0u);
    }
  }
  EXPECT_EQ(shape.NodeCount(), 1);
  EXPECT_EQ(shape.nodes[0].vertexCount, 7);
  EXPECT_TRUE(trace.Contains("MAIN:"));
  EXPECT_TRUE(trace.Contains("OBJBLOCK:"));
  EXPECT_TRUE(trace.Contains("FACELIST:"));
  EXPECT_TRUE(trace.Contains("Chunk afff:16\n"));
}

TEST(Import3ds, BadChunkLengthsStopTheWalkKeepingWhatWasRead) {
  const Bytes good = TwoObjects3ds();
  // Where the second object starts: find its name.
  const std::string raw = good.string();
  const std::size_t second = raw.find("a_name_longer") - 6;
  struct Case {
    const char* what;
    std::uint32_t length;
    int vertices, sides;
  };
  // An object claiming more than the file holds still gives the chunks it
  // holds whole; a length that cannot be a chunk's ends the walk.
  const Case cases[] = {{"below the header", 5, 3, 1}, {"past the end", 100000, 7, 3}, {"zero", 0, 3, 1}};
  const std::string damaged = "the file is damaged at byte " + std::to_string(second) + ": a block there gives its length as ";
  const std::map<std::uint32_t, std::string> problems = {
      {5, damaged + "5 bytes, too few to hold its own 6-byte heading"},
      {0, damaged + "0 bytes, too few to hold its own 6-byte heading"},
      {100000, "the file is cut short: it holds " + std::to_string(raw.size()) + " of the " +
                   std::to_string(second + 100000) + " bytes it claims"}};
  for (const Case& c : cases) {
    Bytes b = good;
    for (int i = 0; i < 4; ++i) b.data()[second + 2 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(c.length >> (8 * i));
    CShape shape;
    const ImportResult r = Read3dsBytes(b.data(), shape);
    EXPECT_EQ(shape.VertexCount(), c.vertices) << c.what;
    EXPECT_EQ(shape.SideCount(), c.sides) << c.what;
    // Imported as far as it reads, and the fault named with where it is.
    EXPECT_EQ(r.status, ImportResult::kImportedPart) << c.what;
    EXPECT_EQ(r.problem, problems.at(c.length));
  }
  CShape none;
  const ImportResult r = Read3dsBytes(Bytes().u16(0x4D4D).data(), none);
  EXPECT_EQ(r.status, ImportResult::kRefused);
  EXPECT_EQ(r.problem, "it holds no faces");
  EXPECT_EQ(none.NodeCount(), 0);
}

// A file cut short: every chunk around the cut claims bytes the file does not
// hold. The objects whose face lists are whole import; the file is damaged.
TEST(Import3ds, AFileCutShortImportsTheObjectsItHoldsWhole) {
  const std::string raw = TwoObjects3ds().string();
  const std::size_t second = raw.find("a_name_longer") - 6;
  const auto chunkOf = [&](std::uint16_t id, std::size_t from) {
    const char bytes[2] = {static_cast<char>(id & 0xFF), static_cast<char>(id >> 8)};
    return raw.find(std::string(bytes, 2), from);
  };
  const std::size_t firstFaces = chunkOf(0x4120, 0), secondVertices = chunkOf(0x4110, second);
  const std::size_t secondFaces = chunkOf(0x4120, second), secondMatrix = chunkOf(0x4160, second);
  ASSERT_LT(firstFaces, second);
  ASSERT_LT(secondVertices, secondFaces);
  ASSERT_LT(secondFaces, secondMatrix);
  struct Case {
    const char* where;
    std::size_t size;
    int vertices, sides;  // 0 sides: refused
  };
  const Case cases[] = {
      {"after the first object", second, 3, 1},
      {"inside the second object's name", second + 10, 3, 1},
      {"inside the second vertex list", secondVertices + 20, 3, 1},
      {"inside the second face list", secondFaces + 12, 3, 1},
      {"after the second face list", secondMatrix + 8, 7, 3},
      {"inside the first face list", firstFaces + 10, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.where);
    ASSERT_LT(c.size, raw.size());
    const std::string cut = raw.substr(0, c.size);
    CShape shape;
    const ImportResult r =
        Read3dsBytes(std::span(reinterpret_cast<const std::uint8_t*>(cut.data()), cut.size()), shape);
    EXPECT_EQ(r.status, c.sides ? ImportResult::kImportedPart : ImportResult::kRefused);
    // The outermost chunk the cut runs through is named.
    EXPECT_EQ(r.problem, "the file is cut short: it holds " + std::to_string(c.size) + " of the " +
                             std::to_string(raw.size()) + " bytes it claims");
    EXPECT_EQ(shape.VertexCount(), c.vertices);
    EXPECT_EQ(shape.SideCount(), c.sides);
    if (c.sides) {
      EXPECT_EQ(shape.NodeCount(), 1);
    }
  }
}

// A 3DS object of many faces: a strip of n quads as triangles.
Bytes Strip3ds(int quads) {
  std::vector<CVector> points;
  std::vector<std::array<std::uint16_t, 3>> faces;
  for (int i = 0; i <= quads; ++i) {
    points.push_back({static_cast<float>(i), 0, 0});
    points.push_back({static_cast<float>(i), 1, 0});
  }
  for (int i = 0; i < quads; ++i) {
    const auto k = static_cast<std::uint16_t>(2 * i);
    faces.push_back({k, static_cast<std::uint16_t>(k + 1), static_cast<std::uint16_t>(k + 2)});
    faces.push_back({static_cast<std::uint16_t>(k + 1), static_cast<std::uint16_t>(k + 3), static_cast<std::uint16_t>(k + 2)});
  }
  return Chunk(0x4D4D, Chunk(0x3D3D, Object("strip", points, faces)));
}

std::string RandomBytes(std::size_t n) {
  std::mt19937 random(30);
  std::string out(n, '\0');
  for (char& c : out) c = static_cast<char>(random() & 0xFF);
  return out;
}

// What the user had before a model that cannot be used: it must come through untouched.
CShape Before() {
  CShape shape;
  shape.SetVertexCount(3);
  shape.vertices[1].position = {4, 0, 0};
  shape.vertices[2].position = {0, 4, 0};
  shape.AddSide(PlaceholderSide(0, 1, 2));
  shape.SetSingleNode({0, 0, 0}, {0, 0, 1});
  shape.mrm.order = {0x80000000u, 0x80000001u, 0x80000002u};
  return shape;
}

TEST_F(ImportTest, ModelsThatGiveNoFaceAreRefusedAndTheMeshStaysAsItWas) {
  const std::string strip = Strip3ds(20).string();
  ASSERT_GT(strip.size(), 300u);
  dir.Write("cut.3DS", strip.substr(0, 300));
  dir.Write("noise.DXF", RandomBytes(4000));
  dir.Write("notes.ASC", "Shopping list: bread, milk, eggs.\nCall the plumber on Monday.\n");
  dir.Write("counts.ASC", "Tri-mesh, Vertices: 2 Faces: 1\nVertex list:\nVertex 0: X:0 Y:0 Z:0\n");
  dir.Write("noface.ASC", "Tri-mesh, Vertices: 1 Faces: 0\nVertex list:\nVertex 0: X:0 Y:0 Z:0\n");
  dir.Write("lines.DXF", "0\nSECTION\n2\nENTITIES\n0\nLINE\n10\n0\n20\n0\n0\nENDSEC\n0\nEOF\n");
  struct Case {
    const char* file;
    int (CShape::*import)(std::string_view, ImportResult*);
    const char* problem;
  };
  const Case cases[] = {
      {"cut.3ds", &CShape::Import3ds, "the file is cut short: it holds 300 of the "},
      {"noise.dxf", &CShape::ImportDxf, "it holds no 3DFACE entity"},
      {"lines.dxf", &CShape::ImportDxf, "it holds no 3DFACE entity"},
      {"notes.asc", &CShape::ImportAsc, "it holds no vertex count"},
      {"counts.asc", &CShape::ImportAsc, "the vertex list ends early"},
      {"noface.asc", &CShape::ImportAsc, "it holds no faces"},
      {"missing.3ds", &CShape::Import3ds, "the file cannot be read, error = 2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    CShape shape = Before();
    ImportResult result;
    EXPECT_EQ((shape.*c.import)(c.file, &result), 0);
    EXPECT_EQ(result.status, ImportResult::kRefused);
    EXPECT_EQ(result.problem.rfind(c.problem, 0), 0u) << result.problem;
    const CShape before = Before();
    ASSERT_EQ(shape.VertexCount(), 3);
    EXPECT_EQ(shape.vertices[1].position, before.vertices[1].position);
    ASSERT_EQ(shape.SideCount(), 1);
    EXPECT_EQ(shape.NodeCount(), 1);
    EXPECT_EQ(shape.mrm.order, before.mrm.order);
  }
}

TEST_F(ImportTest, ModelsDamagedAfterSomeFacesImportWhatWasReadAndSaySo) {
  // A face list cut short, a face naming a vertex that is not there, a
  // 3DFACE missing a value: what was read is a usable mesh.
  dir.Write("short.ASC",
            "Tri-mesh, Vertices: 3 Faces: 3\nVertex list:\nVertex 0: X:0 Y:0 Z:0\nVertex 1: X:1 Y:0 Z:0\n"
            "Vertex 2: X:0 Y:1 Z:0\nFace list:\nFace 0: A:0 B:1 C:2\nFace 1: A:0 B:9 C:2\n");
  dir.Write("faces.DXF", Fixture("faces.dxf"));
  struct Case {
    const char* file;
    int (CShape::*import)(std::string_view, ImportResult*);
    int sides;
    const char* problem;
  };
  const Case cases[] = {
      {"short.asc", &CShape::ImportAsc, 1, "the face list ends after 2 of its 3 faces"},
      // A triangle and a quad, split for the progressive order the mesh had.
      {"faces.dxf", &CShape::ImportDxf, 3, "1 of its 3 3DFACE entities lack a corner's coordinates and were left out"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    CShape shape = Before();
    ImportResult result;
    EXPECT_EQ((shape.*c.import)(c.file, &result), 1);
    EXPECT_EQ(result.status, ImportResult::kImportedPart);
    EXPECT_EQ(result.problem, c.problem);
    EXPECT_EQ(shape.SideCount(), c.sides);
  }
  // A whole file has nothing to say.
  dir.Write("whole.3DS", TwoObjects3ds().data());
  CShape shape = Before();
  ImportResult whole;
  ASSERT_EQ(shape.Import3ds("whole.3ds", &whole), 1);
  // Its second object has a face naming a ninth vertex of four.
  EXPECT_EQ(whole.status, ImportResult::kImportedPart);
  EXPECT_EQ(whole.problem, "faces name vertices their object does not have");
  dir.Write("clean.3DS", Strip3ds(3).data());
  ASSERT_EQ(shape.Import3ds("clean.3ds", &whole), 1);
  EXPECT_EQ(whole.status, ImportResult::kImported);
  EXPECT_TRUE(whole.problem.empty());
  EXPECT_EQ(shape.SideCount(), 6);
}

// Two triangles; the second has the x of its first corner from the text given.
std::string DxfTwoFaces(const std::string& x) {
  std::string out;
  for (const std::string& x0 : {std::string("0"), x})
    out += "0\n3DFACE\n10\n" + x0 + "\n20\n0\n30\n0\n11\n1\n21\n0\n31\n0\n12\n0\n22\n1\n32\n0\n13\n0\n23\n1\n33\n0\n";
  return out + "0\nEOF\n";
}

std::string AscTwoFaces(const std::string& x) {
  return "Tri-mesh, Vertices: 4 Faces: 2\nVertex list:\nVertex 0: X:0 Y:0 Z:0\nVertex 1: X:1 Y:0 Z:0\n"
         "Vertex 2: X:0 Y:1 Z:0\nVertex 3: X:" + x + " Y:0 Z:0\nFace list:\nFace 0: A:0 B:1 C:2\nFace 1: A:0 B:1 C:3\n";
}

// A 3DS object of four vertices, the last at x; the faces given.
std::string ThreeDsFourVertices(float x, const std::vector<std::array<std::uint16_t, 3>>& faces) {
  return Chunk(0x4D4D, Chunk(0x3D3D, Object("far", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {x, 0, 0}}, faces))).string();
}

const char* const kFacesLeftOut =
    "1 of its 2 faces have a corner whose coordinates are not all numbers between -10000000 and 10000000; "
    "those faces were left out";

// Vertices the view cannot draw (not numbers, infinite, or beyond the
// coordinate range) never reach the mesh: the faces using them are left out
// and the file is said to be damaged, or refused when no face is left.
TEST_F(ImportTest, VerticesOutOfTheCoordinateRangeAreLeftOutAndSaidSo) {
  const float inf = std::numeric_limits<float>::infinity();
  const std::pair<std::string, float> values[] = {
      {"nan", std::numeric_limits<float>::quiet_NaN()}, {"inf", inf}, {"-inf", -inf}, {"1e38", 1e38f},
      {"-3e38", -3e38f}, {"1e39", inf}, {"1e999", inf}, {"10000001", 10000001.0f}};
  for (const auto& [text, value] : values) {
    SCOPED_TRACE(text);
    dir.Write("far.3DS", ThreeDsFourVertices(value, {{0, 1, 2}, {0, 1, 3}}));
    dir.Write("far.DXF", DxfTwoFaces(text));
    dir.Write("far.ASC", AscTwoFaces(text));
    for (auto import : {&CShape::Import3ds, &CShape::ImportDxf, &CShape::ImportAsc}) {
      CShape shape = Before();
      ImportResult result;
      ASSERT_EQ((shape.*import)("far", &result), 1);
      EXPECT_EQ(result.status, ImportResult::kImportedPart);
      EXPECT_EQ(result.problem, kFacesLeftOut);
      EXPECT_EQ(shape.SideCount(), 1);
      ASSERT_EQ(shape.VertexCount(), 3);
      // The triangle's corners at 0 and 1 only (NaN fails the test too).
      for (const CShapeVertex& v : shape.vertices)
        for (float c : {v.position.x, v.position.y, v.position.z}) EXPECT_TRUE(c == 0 || c == 1) << c;
      EXPECT_EQ(shape.nodes[0].vertexCount, 3);
    }
  }
}

TEST_F(ImportTest, ModelsWhoseEveryFaceLiesOutOfRangeAreRefused) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  dir.Write("far.3DS", ThreeDsFourVertices(nan, {{0, 1, 3}}));
  dir.Write("far.DXF", "0\n3DFACE\n10\n3e38\n20\n0\n30\n0\n11\n1\n21\n0\n31\n0\n12\n0\n22\n1\n32\n0\n13\n0\n23\n1\n33\n0\n");
  dir.Write("far.ASC",
            "Tri-mesh, Vertices: 3 Faces: 1\nVertex list:\nVertex 0: X:1e38 Y:0 Z:0\nVertex 1: X:1 Y:0 Z:0\n"
            "Vertex 2: X:0 Y:1 Z:0\nFace list:\nFace 0: A:0 B:1 C:2\n");
  for (auto import : {&CShape::Import3ds, &CShape::ImportDxf, &CShape::ImportAsc}) {
    CShape shape = Before();
    ImportResult result;
    EXPECT_EQ((shape.*import)("far", &result), 0);
    EXPECT_EQ(result.status, ImportResult::kRefused);
    EXPECT_EQ(result.problem,
              "1 of its 1 faces have a corner whose coordinates are not all numbers between -10000000 and 10000000; "
              "those faces were left out");
    ASSERT_EQ(shape.VertexCount(), 3);
    EXPECT_EQ(shape.vertices[1].position, Before().vertices[1].position);
  }
}

TEST_F(ImportTest, CoordinatesAtTheEdgeOfTheRangeImportAndUnusedFarVerticesGo) {
  // The range's own ends are in it.
  for (const std::string x : {"10000000", "-10000000"}) {
    CShape shape;
    ImportResult result;
    ASSERT_EQ(ReadDxfText(DxfTwoFaces(x), shape).status, ImportResult::kImported) << x;
    EXPECT_EQ(shape.SideCount(), 2);
    ASSERT_EQ(ReadAscText(AscTwoFaces(x), shape).status, ImportResult::kImported) << x;
    EXPECT_EQ(shape.SideCount(), 2);
  }
  CShape shape;
  const std::string edge = ThreeDsFourVertices(-1e7f, {{0, 1, 2}, {0, 1, 3}});
  EXPECT_EQ(Read3dsBytes(std::span(reinterpret_cast<const std::uint8_t*>(edge.data()), edge.size()), shape).status,
            ImportResult::kImported);
  EXPECT_EQ(shape.SideCount(), 2);
  // A far vertex no face uses is left out all the same, and said so.
  const std::string unused = ThreeDsFourVertices(1e38f, {{0, 1, 2}});
  const ImportResult r =
      Read3dsBytes(std::span(reinterpret_cast<const std::uint8_t*>(unused.data()), unused.size()), shape);
  EXPECT_EQ(r.status, ImportResult::kImportedPart);
  EXPECT_EQ(r.problem,
            "1 of its 4 vertices have coordinates not all numbers between -10000000 and 10000000; "
            "those vertices were left out");
  EXPECT_EQ(shape.VertexCount(), 3);
  EXPECT_EQ(shape.SideCount(), 1);
}

TEST_F(ImportTest, DxfFacesWeldTheirCorners) {
  dir.Write("faces.DXF", Fixture("faces.dxf"));
  CShape shape;
  ASSERT_EQ(shape.ImportDxf("faces.dxf"), 1);
  // A triangle whose fourth corner repeats its third, a quad sharing an edge
  // with it; the face without code 33 adds nothing.
  ASSERT_EQ(shape.VertexCount(), 5);
  ASSERT_EQ(shape.SideCount(), 2);
  EXPECT_EQ(shape.vertices[0].position, (CVector{1, 1, 0}));  // corner 2 first
  EXPECT_EQ(shape.vertices[2].position, (CVector{0, 0, 0}));
  EXPECT_EQ(shape.vertices[3].position, (CVector{-1, 0.5f, 2.5f}));
  int quads = 0;
  for (const CSide& s : shape.sides) {
    EXPECT_EQ(s.flags, 0u);
    if (s.CornerCount() == 4) {
      ++quads;
      EXPECT_EQ(Corners(s), (std::set<std::uint32_t>{0, 2, 3, 4}));
    }
  }
  EXPECT_EQ(quads, 1);
  EXPECT_EQ(shape.nodes[0].end, (CVector{0, 0, 10}));
}

TEST(ImportDxf, OddFiles) {
  CShape shape;
  // Faces that end inside a pair or lack a value give nothing: refused.
  EXPECT_EQ(ReadDxfText("0\n3DFACE\n10\n1\n20\n", shape).status, ImportResult::kRefused);
  EXPECT_EQ(ReadDxfText(std::string("0\n3DFACE\n999\n") + std::string(100000, 'x') + "\n10\n1\n", shape).status,
            ImportResult::kRefused);
  EXPECT_EQ(shape.NodeCount(), 0);
  EXPECT_EQ(ReadDxfText("0\n3DFACE\nten\n1\n10\n0\n20\n0\n30\n0\n11\n1\n21\n0\n31\n0\n12\n0\n22\n1\n32\n0\n13\n0\n23\n1\n33\n0", shape).status,
            ImportResult::kImported);
  EXPECT_EQ(shape.SideCount(), 1);  // the last line needs no line end
}

TEST_F(ImportTest, ImportsKeepACollapseOrderAndBuildItAgain) {
  dir.Write("faces.DXF", Fixture("faces.dxf"));
  CShape shape;
  shape.mrm.order = {0x80000000u};
  ASSERT_EQ(shape.ImportDxf("faces"), 1);
  EXPECT_EQ(shape.mrm.count, shape.VertexCount());
  EXPECT_EQ(shape.mrm.order.size(), static_cast<std::size_t>(shape.VertexCount()));
  EXPECT_EQ(shape.SideCount(), 3);  // the quad was split for the progressive order
}

}  // namespace
