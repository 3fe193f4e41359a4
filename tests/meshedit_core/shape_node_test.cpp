#include "meshedit/core/shape_node.h"

#include <cmath>

#include <gtest/gtest.h>

#include "meshedit/core/shape.h"

using namespace pavix;

namespace {

void ExpectPoint(const CVector& p, float x, float y, float z, float tol = 1e-4f) {
  EXPECT_NEAR(p.x, x, tol);
  EXPECT_NEAR(p.y, y, tol);
  EXPECT_NEAR(p.z, z, tol);
}

void ExpectIdentity(const CMatrix& m) {
  const CMatrix id = IdentityMatrix();
  for (int i = 0; i < 9; ++i) EXPECT_FLOAT_EQ(m.m[i], id.m[i]);
  for (float t : m.t) EXPECT_FLOAT_EQ(t, 0);
}

TEST(ShapeNode, StartsWithItsDefaults) {
  const CShapeNode n;
  EXPECT_EQ(n.Name(), "NODE");
  EXPECT_EQ(n.AltName(), "ALTNODE");
  EXPECT_FLOAT_EQ(n.rotation.w, 0.5f);
  EXPECT_EQ(n.scale, (CVector{1, 1, 1}));
  EXPECT_EQ(n.end, (CVector{0, 0, 10}));
  EXPECT_FLOAT_EQ(n.length, 10.0f);
  EXPECT_FLOAT_EQ(n.value15, 15.0f);
  EXPECT_FLOAT_EQ(n.value981, 9.81f);
  EXPECT_EQ(n.valueMinus1, -1);
  EXPECT_EQ(n.level, 0);
  EXPECT_EQ(n.vertexCount, 0);
  EXPECT_EQ(n.parent, -1);
  EXPECT_EQ(n.lockedCount, 0);
  EXPECT_EQ(n.flags, 0u);
  ExpectIdentity(n.nodeMatrix);
  ExpectIdentity(n.finalMatrix);
  for (const CMatrix& m : n.projection) ExpectIdentity(m);
}

TEST(ShapeNode, InitKeepsMatricesParentAndLockedCount) {
  CShapeNode n;
  n.lockedCount = 4;
  n.parent = 2;
  n.flags = 0x1200;
  n.SetName("ARM");
  n.nodeMatrix = TranslationMatrix({1, 2, 3});
  n.Init(1, 12, {0, 0, 0}, {0, 0, 1});
  EXPECT_EQ(n.level, 1);
  EXPECT_EQ(n.vertexCount, 12);
  EXPECT_FLOAT_EQ(n.length, 1.0f);
  EXPECT_EQ(n.Name(), "NODE");
  EXPECT_EQ(n.flags, 0u);
  EXPECT_EQ(n.lockedCount, 4);
  EXPECT_EQ(n.parent, 2);
  EXPECT_FLOAT_EQ(n.nodeMatrix.t[2], 3);
}

TEST(ShapeNode, ScaleKeepsItsFlagInStep) {
  CShapeNode n;
  n.SetScale({2, 1, 1});
  EXPECT_EQ(n.flags & kNodeScaled, kNodeScaled);
  n.SetScale({1, 1, 1});
  EXPECT_EQ(n.flags & kNodeScaled, 0u);
}

TEST(ShapeNode, CopiesOwnTheirChildMesh) {
  CShapeNode n;
  n.child = std::make_unique<CShape>();
  n.child->AddVertex({});
  CShapeNode copy = n;
  ASSERT_TRUE(copy.child);
  EXPECT_NE(copy.child.get(), n.child.get());
  EXPECT_EQ(copy.child->VertexCount(), 1);
}

std::vector<CShapeNode> NodesWithLevels(std::initializer_list<int> levels) {
  std::vector<CShapeNode> nodes(levels.size());
  std::size_t i = 0;
  for (int l : levels) nodes[i++].level = l;
  return nodes;
}

TEST(LinkShapeNodes, ParentIsTheNearestEarlierLowerLevel) {
  struct Case {
    std::initializer_list<int> levels;
    std::vector<int> parents;
    std::vector<int> linkedLevels;
  };
  const Case cases[] = {
      {{1, 2, 2, 1, 2}, {-1, 0, 0, -1, 3}, {1, 2, 2, 1, 2}},
      {{3, 1}, {-1, -1}, {1, 1}},       // a first node is always a root of level 1
      // Earlier nodes are compared with their linked levels: a skipped level
      // closes up, so two stored 3s become a chain.
      {{1, 3, 3}, {-1, 0, 1}, {1, 2, 3}},
      {{2, 2, 5}, {-1, 0, 1}, {1, 2, 3}},
  };
  for (const Case& c : cases) {
    std::vector<CShapeNode> nodes = NodesWithLevels(c.levels);
    LinkShapeNodes(nodes);
    for (std::size_t i = 0; i < nodes.size(); ++i) {
      EXPECT_EQ(nodes[i].parent, c.parents[i]) << i;
      EXPECT_EQ(nodes[i].level, c.linkedLevels[i]) << i;
    }
  }
}

TEST(UpdateShapeNodes, RotatesAboutThePivotAndMovesByTheOffset) {
  CShape shape;
  shape.SetNodeCount(2);
  shape.nodes[0].level = 1;
  shape.nodes[0].offset = {10, 0, 0};
  shape.nodes[1].level = 2;
  shape.nodes[1].pivot = {1, 0, 0};
  shape.nodes[1].offset = {0, 5, 0};
  const float h = std::sqrt(0.5f);
  shape.nodes[1].rotation = {0, 0, h, h};
  LinkShapeNodes(shape.nodes);
  UpdateShapeNodes(shape);
  ExpectPoint(TransformPoint(shape.nodes[0].nodeMatrix, {0, 0, 0}), 10, 0, 0);
  // The pivot itself only moves by the offsets of the node and its parent.
  ExpectPoint(TransformPoint(shape.nodes[1].nodeMatrix, {1, 0, 0}), 11, 5, 0);
  // A point one unit from the pivot turns about it (m3 = 2(xy + zw) = 1).
  ExpectPoint(TransformPoint(shape.nodes[1].nodeMatrix, {1, 1, 0}), 12, 5, 0);
}

TEST(UpdateShapeNodes, ScaledNodesScaleAboutThePivotFirst) {
  CShape shape;
  shape.SetNodeCount(1);
  shape.nodes[0].pivot = {1, 1, 1};
  shape.nodes[0].offset = {0, 0, 3};
  shape.nodes[0].SetScale({2, 2, 2});
  UpdateShapeNodes(shape);
  ExpectPoint(TransformPoint(shape.nodes[0].nodeMatrix, {2, 1, 1}), 3, 1, 4);
}

TEST(UpdateShapeNodes, ChildMeshesAreUpdatedToo) {
  CShape shape;
  shape.SetNodeCount(1);
  shape.nodes[0].child = std::make_unique<CShape>();
  shape.nodes[0].child->SetNodeCount(1);
  shape.nodes[0].child->nodes[0].offset = {0, 7, 0};
  UpdateShapeNodes(shape);
  ExpectPoint(TransformPoint(shape.nodes[0].child->nodes[0].nodeMatrix, {0, 0, 0}), 0, 7, 0);
}

TEST(BlendMatrices, ClassMatricesMixNodeAndParent) {
  CShapeNode parent, node;
  parent.finalMatrix = TranslationMatrix({0, 0, 0});
  node.finalMatrix = TranslationMatrix({4, 8, 12});
  node.flags = kNodeClass1 | kNodeClass3;
  node.classMatrix[1] = TranslationMatrix({-1, -1, -1});
  node.BlendMatrices(&parent, 2, 3, 4);
  EXPECT_FLOAT_EQ(node.classMatrix[0].t[0], 3);    // 0.75 of the node
  EXPECT_FLOAT_EQ(node.classMatrix[2].t[0], 1);    // 0.25 of the node
  EXPECT_FLOAT_EQ(node.classMatrix[1].t[0], -1);   // class 2 not present: untouched
  EXPECT_FLOAT_EQ(node.projection[1].t[0], 6);     // copy scaled on x by 2
  EXPECT_FLOAT_EQ(node.projection[1].t[1], 18);    // y: 6 x 3
  EXPECT_FLOAT_EQ(node.projection[3].t[2], 12);    // z: 3 x 4
  EXPECT_FLOAT_EQ(node.projection[1].m[4], 3);     // the rotation is scaled as well
  EXPECT_FLOAT_EQ(node.projection[1].m[8], 4);

  CShapeNode root;
  root.flags = kNodeClass2;
  root.classMatrix[1] = TranslationMatrix({5, 5, 5});
  root.BlendMatrices(nullptr, 2, 2, 2);
  EXPECT_FLOAT_EQ(root.classMatrix[1].t[0], 5);
}

}  // namespace
