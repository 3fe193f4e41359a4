#include "meshedit/core/shape.h"

#include <cmath>
#include <numbers>
#include <set>

#include <gtest/gtest.h>

using namespace pavix;

namespace {

CSide Tri(std::uint32_t a, std::uint32_t b, std::uint32_t c) {
  CSide s;
  s.index[0] = a;
  s.index[1] = b;
  s.index[2] = s.index[3] = c;
  return s;
}

CSide Quad(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) {
  CSide s;
  s.index[0] = a;
  s.index[1] = b;
  s.index[2] = c;
  s.index[3] = d;
  return s;
}

CShape WithVertices(std::initializer_list<CVector> points) {
  CShape shape;
  for (const CVector& p : points) {
    CShapeVertex v;
    v.position = p;
    shape.AddVertex(v);
  }
  return shape;
}

TEST(Side, ValidateTurnsAQuadWithOneRepeatIntoATriangle) {
  CSide s = Quad(5, 5, 7, 9);
  for (int j = 0; j < 4; ++j) s.SetCorner(j, static_cast<float>(j), 10.0f + static_cast<float>(j));
  ASSERT_TRUE(s.Validate());
  EXPECT_EQ(s.index[0], 5u);
  EXPECT_EQ(s.index[1], 7u);
  EXPECT_EQ(s.index[2], 9u);
  EXPECT_EQ(s.index[3], 9u);
  EXPECT_EQ(s.CornerCount(), 3);
  // Each corner keeps its own texture coordinates.
  EXPECT_EQ(s.uv[0], (CUv{0, 10}));
  EXPECT_EQ(s.uv[1], (CUv{2, 12}));
  EXPECT_EQ(s.uv[2], (CUv{3, 13}));
  EXPECT_EQ(s.uv[3], (CUv{3, 13}));
}

TEST(Side, ValidateRefusesWhatStaysDegenerate) {
  struct Case {
    CSide side;
    bool valid;
  };
  const Case cases[] = {
      {Quad(5, 7, 5, 7), false}, {Quad(5, 5, 5, 9), false}, {Tri(1, 1, 2), false},
      {Tri(1, 2, 3), true},  // index 3 repeating index 2 is how a triangle is written
      {Quad(1, 2, 3, 1), true}, {Quad(1, 2, 3, 4), true}, {Tri(2, 3, 2), false},
  };
  for (const Case& c : cases) {
    CSide s = c.side;
    EXPECT_EQ(s.Validate(), c.valid) << s.index[0] << s.index[1] << s.index[2] << s.index[3];
  }
  CSide wrap = Quad(1, 2, 3, 1);
  wrap.Validate();
  EXPECT_EQ(wrap.index[2], 3u);
  EXPECT_EQ(wrap.index[3], 3u);
}

TEST(Side, SortKeyLayout) {
  struct Case {
    std::uint32_t texture, flags, key;
  };
  const Case cases[] = {
      {5, 0, 5u << 21},
      {0x1805, 0, (5u << 21) | 0x1800},          // both fields reach bit 21
      {0x7FF, 0, 0xFFE00000u},
      {0x3FF800, 0, 0x3FF800u},
      {0, 0x1, 0x1},
      {0, 0x2, 0x2},
      {0, 0x4, 0x4},
      {0, 0x20, 0x8},
      {0, 0x40, 0x10},
      {0, 0x8, 0x20},
      {0, 0x10, 0xC0},
      {0, 0x7F, 0xFF},
      {0, 0x100, 0},                              // other flags do not count
  };
  for (const Case& c : cases) {
    CSide s;
    s.texture = c.texture;
    s.flags = c.flags;
    EXPECT_EQ(s.SortKey(), c.key) << std::hex << c.texture << " " << c.flags;
  }
}

TEST(Side, RotateCornersMovesOneBack) {
  CSide q = Quad(1, 2, 3, 4);
  for (int j = 0; j < 4; ++j) q.SetCorner(j, static_cast<float>(j), 0);
  q.RotateCorners();
  EXPECT_EQ(q.index[0], 2u);
  EXPECT_EQ(q.index[3], 1u);
  EXPECT_EQ(q.uv[3].u, 0.0f);
  CSide t = Tri(1, 2, 3);
  for (int j = 0; j < 3; ++j) t.SetCorner(j, static_cast<float>(j), 0);
  t.RotateCorners();
  EXPECT_EQ(t.index[0], 2u);
  EXPECT_EQ(t.index[1], 3u);
  EXPECT_EQ(t.index[2], 1u);
  EXPECT_EQ(t.index[3], 1u);
  EXPECT_EQ(t.uv[3], t.uv[2]);
  t.SetTextureId(0x1234);
  EXPECT_EQ(t.texture, 0x234u);
  t.texture = 0x1805;
  t.SetTextureId(9);
  EXPECT_EQ(t.texture, 0x1809u);
}

TEST(Shape, StorageCountsAndLookups) {
  CShape shape = WithVertices({{0, 0, 0}, {1, 2, 3}, {1, 2, 3}});
  EXPECT_EQ(shape.FindVertex(1, 2, 3), 1);
  EXPECT_EQ(shape.FindVertex(9, 9, 9), -1);
  EXPECT_EQ(shape.AddEdge(4, 7), 0);
  EXPECT_EQ(shape.FindEdge(7, 4), 0);
  EXPECT_EQ(shape.FindEdge(4, 5), -1);
  EXPECT_EQ(shape.GetMin(), (CVector{0, 0, 0}));
  EXPECT_EQ(shape.GetMax(), (CVector{1, 2, 3}));
  shape.SetSideCount(2);
  EXPECT_EQ(shape.SideCount(), 2);
  EXPECT_EQ(shape.sides[1].index[3], 0u);
  shape.SetVertexCount(-3);
  EXPECT_EQ(shape.VertexCount(), 0);
  EXPECT_EQ(shape.GetCentre(), (CVector{0, 0, 0}));  // no division by zero
  EXPECT_GT(shape.GetMin().x, 1e38f);
  shape.SetNodeCount(3);
  shape.nodes[0].vertexCount = 2;
  shape.nodes[1].vertexCount = 0;
  shape.nodes[2].vertexCount = 5;
  EXPECT_EQ(shape.NodeOfVertex(1), 0);
  EXPECT_EQ(shape.NodeOfVertex(2), 2);
  EXPECT_EQ(shape.NodeOfVertex(99), 0);
  EXPECT_EQ(shape.FirstVertexOfNode(2), 2);
  EXPECT_EQ(shape.FirstVertexOfNode(3), -1);
}

TEST(Shape, RebuildDropsDegenerateAndOutOfRangeSides) {
  CShape shape = WithVertices({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}});
  shape.AddSide(Quad(0, 0, 1, 2));
  shape.AddSide(Quad(0, 1, 0, 1));
  shape.AddSide(Tri(0, 1, 9));
  shape.AddSide(Tri(1, 3, 2));
  shape.SetSingleNode({0, 0, 0}, {0, 0, 1});
  shape.Rebuild();
  ASSERT_EQ(shape.SideCount(), 2);
  EXPECT_EQ(shape.SideAfterRebuild(0), 0);
  EXPECT_EQ(shape.SideAfterRebuild(1), -1);
  EXPECT_EQ(shape.SideAfterRebuild(2), -1);
  EXPECT_EQ(shape.SideAfterRebuild(3), 1);
}

TEST(Shape, RebuildSortsByKeyAndTracksTheSidesItMoves) {
  CShape shape = WithVertices({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
  for (std::uint32_t tex : {30u, 10u, 20u}) {
    CSide s = Tri(0, 1, 2);
    s.texture = tex;
    shape.AddSide(s);
  }
  shape.Rebuild();
  EXPECT_EQ(shape.sides[0].texture, 10u);
  EXPECT_EQ(shape.sides[2].texture, 30u);
  EXPECT_EQ(shape.SideAfterRebuild(0), 2);
  EXPECT_EQ(shape.SideAfterRebuild(1), 0);
  EXPECT_EQ(shape.SideAfterRebuild(2), 1);
}

TEST(Shape, NormalsAndNodeClassFlags) {
  CShape shape = WithVertices({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {5, 5, 5}});
  shape.vertices[1].flags = 2;
  shape.vertices[3].flags = 3;
  shape.AddSide(Tri(0, 1, 2));
  shape.SetNodeCount(2);
  shape.nodes[0].vertexCount = 3;
  shape.nodes[0].flags = kNodeClass1;
  shape.nodes[1].vertexCount = 1;
  shape.Rebuild();
  // (p2 - p0) x (p1 - p0) = (0,1,0) x (1,0,0) = (0,0,-1)
  for (int v = 0; v < 3; ++v) EXPECT_EQ(shape.vertices[static_cast<std::size_t>(v)].normal, (CVector{0, 0, -1}));
  EXPECT_EQ(shape.vertices[3].normal, (CVector{0, 0, 0}));
  EXPECT_EQ(shape.nodes[0].flags & kNodeClassMask, kNodeClass2);
  EXPECT_EQ(shape.nodes[1].flags & kNodeClassMask, kNodeClass3);
}

TEST(Shape, EdgesAreSharedWithTheirDirectionBit) {
  CShape shape = WithVertices({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {2, 0, 0}});
  shape.AddSide(Quad(0, 1, 2, 3));
  shape.AddSide(Tri(2, 1, 4));
  shape.BuildEdges();
  ASSERT_EQ(shape.EdgeCount(), 6);
  EXPECT_EQ(shape.edges[0].a, 0u);
  EXPECT_EQ(shape.edges[0].b, 1u);
  ASSERT_EQ(shape.sideEdges.size(), 2u);
  const CSideEdge& quad = shape.sideEdges[0];
  for (std::uint32_t j = 0; j < 4; ++j) EXPECT_EQ(quad.edge[j], j);
  const CSideEdge& tri = shape.sideEdges[1];
  EXPECT_EQ(tri.edge[0], 1u | kEdgeReversed);  // 2-1 is stored as 1-2
  EXPECT_EQ(tri.edge[1], 4u);
  EXPECT_EQ(tri.edge[2], 5u);
  EXPECT_EQ(shape.edges[4].a, 1u);
  EXPECT_EQ(shape.edges[4].b, 4u);
  EXPECT_EQ(shape.FindEdge(2, 1), 1);
}

TEST(Shape, EdgesOfSidesNotYetCheckedAgainstTheVertices) {
  CShape shape;  // no vertices: indices far out, as a mesh being assembled may have
  shape.AddSide(Tri(4000000000u, 7, 3000000000u));
  shape.AddSide(Tri(3000000000u, 7, 5));
  shape.BuildEdges();
  EXPECT_EQ(shape.EdgeCount(), 5);
  EXPECT_EQ(shape.sideEdges[1].edge[0], 1u | kEdgeReversed);
}

TEST(Shape, GroupsAreTheConnectedParts) {
  CShape shape;
  shape.SetVertexCount(12);
  shape.AddSide(Tri(0, 1, 2));
  shape.AddSide(Tri(6, 7, 8));
  shape.AddSide(Tri(2, 3, 4));  // touches the first in one vertex
  shape.AddSide(Tri(9, 10, 11));
  shape.AddSide(Tri(8, 9, 5));  // joins the second and fourth
  shape.GroupSides();
  EXPECT_EQ(shape.sides[0].group, 1);
  EXPECT_EQ(shape.sides[1].group, 2);
  EXPECT_EQ(shape.sides[2].group, 1);
  EXPECT_EQ(shape.sides[3].group, 2);
  EXPECT_EQ(shape.sides[4].group, 2);
}

TEST(Shape, GroupsPastTheByteStayInTheLastGroup) {
  CShape shape;
  shape.SetVertexCount(300 * 3);
  for (std::uint32_t i = 0; i < 300; ++i) shape.AddSide(Tri(3 * i, 3 * i + 1, 3 * i + 2));
  shape.GroupSides();
  EXPECT_EQ(shape.sides[0].group, 1);
  EXPECT_EQ(shape.sides[254].group, 255);
  EXPECT_EQ(shape.sides[255].group, 255);
  EXPECT_EQ(shape.sides[299].group, 255);
}

TEST(Shape, GroupingALongChainNeedsNoDeepRecursion) {
  CShape shape;
  const std::uint32_t n = 200000;
  shape.SetVertexCount(static_cast<int>(n + 2));
  for (std::uint32_t i = 0; i < n; ++i) shape.AddSide(Tri(i, i + 1, i + 2));
  shape.GroupSides();
  for (const CSide& s : shape.sides) ASSERT_EQ(s.group, 1);
}

TEST(Shape, TransformMovesASharedVertexOnce) {
  CShape shape = WithVertices({{0, 0, 0}, {2, 0, 0}, {0, 2, 0}, {-2, 0, 0}, {0, -2, 0}, {9, 9, 9}});
  shape.AddSide(Tri(0, 1, 2));
  shape.AddSide(Tri(0, 2, 3));
  shape.AddSide(Tri(0, 3, 4));
  shape.AddSide(Tri(5, 5, 5));  // another group
  shape.sides[3].group = 2;
  for (int i = 0; i < 3; ++i) shape.sides[static_cast<std::size_t>(i)].group = 1;
  shape.TransformGroup(1, TranslationMatrix({1, 0, 0}));
  EXPECT_EQ(shape.vertices[0].position, (CVector{1, 0, 0}));  // used by three sides, moved once
  EXPECT_EQ(shape.vertices[3].position, (CVector{-1, 0, 0}));
  EXPECT_EQ(shape.vertices[5].position, (CVector{9, 9, 9}));
  for (const CShapeVertex& v : shape.vertices) EXPECT_EQ(v.flags, 0);

  // A rotation turns about the centre of the group's vertices.
  CShape square = WithVertices({{1, 1, 0}, {-1, 1, 0}, {-1, -1, 0}, {1, -1, 0}});
  square.AddSide(Quad(0, 1, 2, 3));
  CMatrix half;
  EulerToMatrixNoTranslation({0, 0, std::numbers::pi_v<float>}, half);
  square.TransformGroup(0, half);
  EXPECT_NEAR(square.vertices[0].position.x, -1, 1e-5f);
  EXPECT_NEAR(square.vertices[0].position.y, -1, 1e-5f);
  CShape empty = WithVertices({{1, 1, 1}});
  empty.TransformGroup(3, TranslationMatrix({5, 5, 5}));
  EXPECT_EQ(empty.vertices[0].position, (CVector{1, 1, 1}));
}

TEST(Shape, DeleteRemovesTheGroupAndItsVertices) {
  CShape shape = WithVertices({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {5, 0, 0}, {6, 0, 0}, {5, 1, 0}});
  shape.AddSide(Tri(0, 1, 2));
  shape.AddSide(Tri(3, 4, 5));
  shape.SetNodeCount(2);
  shape.nodes[0].vertexCount = 3;
  shape.nodes[1].vertexCount = 3;
  shape.GroupSides();
  shape.DeleteGroup(1);
  ASSERT_EQ(shape.SideCount(), 1);
  ASSERT_EQ(shape.VertexCount(), 3);
  EXPECT_EQ(shape.vertices[0].position, (CVector{5, 0, 0}));
  EXPECT_EQ(shape.sides[0].index[0], 0u);
  EXPECT_EQ(shape.sides[0].index[2], 2u);
  EXPECT_EQ(shape.nodes[0].vertexCount, 0);
  EXPECT_EQ(shape.nodes[1].vertexCount, 3);

  shape.GroupSides();
  shape.DeleteGroup(shape.sides[0].group);
  EXPECT_EQ(shape.SideCount(), 0);
  EXPECT_EQ(shape.VertexCount(), 0);
}

TEST(Shape, MergeAppendsTheOtherWithItsIndicesMoved) {
  CShape a = WithVertices({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
  a.AddSide(Tri(0, 1, 2));
  CShape b = WithVertices({{5, 0, 0}, {6, 0, 0}, {5, 1, 0}, {6, 1, 0}});
  b.AddSide(Quad(0, 1, 3, 2));
  a.Merge(b);
  ASSERT_EQ(a.VertexCount(), 7);
  ASSERT_EQ(a.SideCount(), 2);
  EXPECT_EQ(a.NodeCount(), 1);
  EXPECT_EQ(a.nodes[0].vertexCount, 7);
  EXPECT_EQ(a.nodes[0].end, (CVector{0, 0, 1}));
  EXPECT_EQ(b.VertexCount(), 4);  // the other is not changed
  std::set<std::uint32_t> quadIndices;
  for (const CSide& s : a.sides)
    if (s.CornerCount() == 4) quadIndices.insert(s.index, s.index + 4);
  EXPECT_EQ(quadIndices, (std::set<std::uint32_t>{3, 4, 5, 6}));

  CShape empty;
  empty.Merge(b);
  ASSERT_EQ(empty.VertexCount(), 4);
  EXPECT_EQ(empty.vertices[3].position, (CVector{6, 1, 0}));
  EXPECT_EQ(empty.sides[0].index[2], 3u);
  EXPECT_EQ(empty.NodeCount(), 1);

  CShape self = b;
  self.Merge(self);
  EXPECT_EQ(self.VertexCount(), 8);
  EXPECT_EQ(self.SideCount(), 2);
}

TEST(Shape, SplitQuadsLeavesOnlyTriangles) {
  CShape shape = WithVertices({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}});
  CSide q = Quad(0, 1, 2, 3);
  for (int j = 0; j < 4; ++j) q.SetCorner(j, static_cast<float>(j), 0);
  q.flags = 9;
  q.texture = 77;
  shape.AddSide(q);
  shape.SplitQuads();
  ASSERT_EQ(shape.SideCount(), 2);
  for (const CSide& s : shape.sides) {
    EXPECT_EQ(s.CornerCount(), 3);
    EXPECT_EQ(s.flags, 9u);
    EXPECT_EQ(s.texture, 77u);
  }
  const CSide& second = shape.sides[0].index[1] == 1 ? shape.sides[1] : shape.sides[0];
  EXPECT_EQ(second.index[0], 0u);
  EXPECT_EQ(second.index[1], 2u);
  EXPECT_EQ(second.index[2], 3u);
  EXPECT_EQ(second.uv[1].u, 2.0f);
  EXPECT_EQ(second.uv[2].u, 3.0f);
}

TEST(Shape, RotateToTopEdgePutsTheHighestEdgeFirst) {
  CShape shape = WithVertices({{0, 0, 0}, {1, 0, 0}, {1, 5, 0}, {0, 5, 0}});
  shape.AddSide(Quad(0, 1, 2, 3));
  shape.RotateToTopEdge(0);
  EXPECT_EQ(shape.sides[0].index[0], 2u);  // edge 2-3 lies highest
  EXPECT_EQ(shape.sides[0].index[1], 3u);
}

TEST(Shape, TextureCoordinatesOfAGroup) {
  CShape shape;
  shape.SetVertexCount(4);
  CSide s = Quad(0, 1, 2, 3);
  s.SetCorner(0, 0, 0);
  s.SetCorner(1, 1, 0);
  s.SetCorner(2, 1, 1);
  s.SetCorner(3, 0, 1);
  s.group = 1;
  shape.AddSide(s);
  EXPECT_EQ(shape.GetUvCentre(2), (CUv{0.5f, 0.5f}));  // no side in the group
  EXPECT_EQ(shape.GetUvCentre(1), (CUv{0.5f, 0.5f}));
  shape.ScaleUv(1, 2, 0.5f);
  EXPECT_EQ(shape.sides[0].uv[2], (CUv{1.5f, 0.75f}));
  shape.TranslateUv(0, 0.5f, -0.25f);
  EXPECT_EQ(shape.sides[0].uv[0], (CUv{0.0f, 0.0f}));
  shape.RotateUv(1, std::numbers::pi_v<float> / 2);
  const CUv c = shape.GetUvCentre(1);
  EXPECT_NEAR(c.u, 1.0f, 1e-5f);
  EXPECT_NEAR(c.v, 0.25f, 1e-5f);
  // (2, 0) is (1, -0.25) from the centre (1, 0.25); a quarter turn makes it (0.25, 1).
  EXPECT_NEAR(shape.sides[0].uv[1].u, 1.25f, 1e-5f);
  EXPECT_NEAR(shape.sides[0].uv[1].v, 1.25f, 1e-5f);
}

TEST(Shape, AddTriangleAndQuadReuseVerticesAtTheSamePlace) {
  CShape shape;
  shape.AddTriangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0});
  shape.AddQuad({1, 0, 0}, {0, 1, 0}, {1, 1, 0}, {2, 2, 0});
  EXPECT_EQ(shape.VertexCount(), 5);
  EXPECT_EQ(shape.sides[0].index[3], 2u);
  EXPECT_EQ(shape.sides[1].index[0], 1u);
  EXPECT_EQ(shape.sides[1].index[3], 4u);
  VertexWelder welder(shape);
  shape.AddTriangle({-0.0f, 0, 0}, {2, 2, 0}, {7, 7, 7}, &welder);
  EXPECT_EQ(shape.sides[2].index[0], 0u);  // -0 and 0 are the same place
  EXPECT_EQ(shape.sides[2].index[1], 4u);
  EXPECT_EQ(shape.VertexCount(), 6);
}

}  // namespace
