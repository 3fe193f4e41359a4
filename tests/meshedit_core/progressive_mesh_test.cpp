#include "meshedit/core/progressive_mesh.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <map>
#include <set>

#include <gtest/gtest.h>

#include "bench/pavix_mesh_gen.h"
#include "meshedit/core/o3d_file.h"
#include "meshedit/core/shape.h"

using namespace pavix;

namespace {

constexpr std::uint32_t kPresent = 0x80000000u;

// A bumpy grid of w x h vertices in quads, all with the same mapping.
CShape Grid(int w, int h, int firstVertex = 0, CShape shape = {}) {
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      CShapeVertex v;
      v.position = {static_cast<float>(x), static_cast<float>((x * 7 + y * 3) % 5) * 0.3f, static_cast<float>(y)};
      shape.AddVertex(v);
    }
  }
  for (int y = 0; y + 1 < h; ++y) {
    for (int x = 0; x + 1 < w; ++x) {
      CSide s;
      const auto at = [&](int xx, int yy) { return static_cast<std::uint32_t>(firstVertex + yy * w + xx); };
      s.index[0] = at(x, y);
      s.index[1] = at(x + 1, y);
      s.index[2] = at(x + 1, y + 1);
      s.index[3] = at(x, y + 1);
      for (CUv& uv : s.uv) uv = {0.25f, 0.75f};
      s.flags = 1;
      shape.AddSide(s);
    }
  }
  return shape;
}

// Where each corner of a side lands at a level: follow the collapse order
// until a present vertex.
std::uint32_t Resolve(const CShape& shape, std::uint32_t v, const std::vector<bool>& present) {
  int guard = 0;
  while (!present[v] && guard++ < 1000000) v = shape.mrm.order[v] & ~kPresent;
  return v;
}

std::vector<bool> PresentAt(const CShape& shape, int level) {
  std::vector<bool> present(shape.vertices.size(), true);
  std::size_t first = 0;
  for (const CShapeNode& node : shape.nodes) {
    const auto n = static_cast<std::size_t>(node.vertexCount);
    const auto c = static_cast<std::size_t>(PresentVertexCount(node.vertexCount, node.lockedCount, level));
    for (std::size_t i = c; i < n; ++i) present[first + i] = false;
    first += n;
  }
  return present;
}

bool Live(const CShape& shape, const CSide& s, const std::vector<bool>& present) {
  const std::uint32_t a = Resolve(shape, s.index[0], present), b = Resolve(shape, s.index[1], present),
                      c = Resolve(shape, s.index[2], present);
  return a != b && b != c && a != c;
}

std::multiset<std::multiset<std::array<float, 3>>> Triangles(const CShape& shape) {
  std::multiset<std::multiset<std::array<float, 3>>> out;
  for (const CSide& s : shape.sides) {
    std::multiset<std::array<float, 3>> t;
    for (int j = 0; j < 3; ++j) {
      const CVector& p = shape.vertices[s.index[j]].position;
      t.insert({p.x, p.y, p.z});
    }
    out.insert(t);
  }
  return out;
}

TEST(PresentVertexCount, FollowsTheLevelWithAFloorOfOne) {
  struct Case {
    int n, locked, level, present;
  };
  const Case cases[] = {{10, 2, 128, 6}, {3, 0, 255, 2}, {3, 0, 256, 3}, {3, 0, 0, 1},   {3, 0, 86, 1},
                        {10, 0, 0, 1},   {10, 10, 0, 10}, {10, 20, 5, 10}, {0, 0, 100, 0}, {10, -5, 0, 1}};
  for (const Case& c : cases) EXPECT_EQ(PresentVertexCount(c.n, c.locked, c.level), c.present) << c.n << " " << c.level;
}

TEST(BuildProgressive, ALoneTriangleCollapsesAtLevel255) {
  CShape shape;
  for (CVector p : {CVector{0, 0, 0}, CVector{1, 0, 0}, CVector{0, 1, 0}}) {
    CShapeVertex v;
    v.position = p;
    shape.AddVertex(v);
  }
  CSide s;
  s.index[0] = 0;
  s.index[1] = 1;
  s.index[2] = s.index[3] = 2;
  shape.AddSide(s);
  shape.SetSingleNode({0, 0, 0}, {0, 0, 1});
  shape.BuildProgressive();
  ASSERT_EQ(shape.mrm.count, 3);
  for (std::uint32_t o : shape.mrm.order) EXPECT_TRUE(o & kPresent);
  for (int l = 0; l < 256; ++l) EXPECT_FALSE(Live(shape, shape.sides[0], PresentAt(shape, l))) << l;
  EXPECT_TRUE(Live(shape, shape.sides[0], PresentAt(shape, 256)));
  EXPECT_EQ(shape.nodes[0].lockedCount, 0);
}

TEST(BuildProgressive, LockedVerticesCollapseLast) {
  CShape shape = Grid(6, 6);
  const CVector lockedA = shape.vertices[14].position;
  const CVector lockedB = shape.vertices[30].position;
  shape.vertices[14].flags |= kVertexLocked;
  shape.vertices[30].flags |= kVertexLocked;
  shape.SetSingleNode({0, 0, 0}, {0, 0, 1});
  shape.BuildProgressive();
  std::set<int> lockedAt;
  for (int i = 0; i < shape.VertexCount(); ++i) {
    const CVector& p = shape.vertices[static_cast<std::size_t>(i)].position;
    if (p == lockedA || p == lockedB) lockedAt.insert(i);
  }
  EXPECT_EQ(lockedAt, (std::set<int>{0, 1}));
  EXPECT_EQ(shape.nodes[0].lockedCount, 2);
  // Both stay present at every level.
  for (int l = 0; l <= 256; l += 32) {
    const std::vector<bool> present = PresentAt(shape, l);
    EXPECT_TRUE(present[0] && present[1]) << l;
  }
}

TEST(BuildProgressive, LiveSidesFormAPrefixAtEveryLevel) {
  CShape shape = Grid(9, 7);
  shape.SetSingleNode({0, 0, 0}, {0, 0, 1});
  CShape split = shape;
  split.SplitQuads();
  const auto before = Triangles(split);
  shape.BuildProgressive();
  ASSERT_EQ(shape.SideCount(), 2 * 8 * 6);
  EXPECT_EQ(Triangles(shape), before);  // same geometry, renumbered
  std::size_t previous = 0;
  for (int l = 0; l <= 256; ++l) {
    const std::vector<bool> present = PresentAt(shape, l);
    std::size_t live = 0;
    while (live < shape.sides.size() && Live(shape, shape.sides[live], present)) ++live;
    for (std::size_t i = live; i < shape.sides.size(); ++i)
      ASSERT_FALSE(Live(shape, shape.sides[i], present)) << "level " << l << " side " << i;
    EXPECT_GE(live, previous) << l;
    previous = live;
  }
  EXPECT_EQ(previous, shape.sides.size());
  // Every vertex collapses into one before it, the first into itself.
  for (std::size_t v = 0; v < shape.mrm.order.size(); ++v) {
    const std::uint32_t target = shape.mrm.order[v] & ~kPresent;
    EXPECT_TRUE(target < v || (v == 0 && target == 0)) << v;
  }
  ASSERT_EQ(shape.mrm.uv.size(), shape.vertices.size());
  EXPECT_EQ(shape.mrm.uv.back(), (CUv{0.25f, 0.75f}));
}

TEST(BuildProgressive, NodesCollapseApartAndUnownedVerticesStay) {
  CShape shape = Grid(4, 4);
  shape = Grid(5, 3, 16, shape);
  CShapeVertex extra;
  extra.position = {99, 99, 99};
  shape.AddVertex(extra);
  // A side across the two nodes takes part only in the level pass.
  CSide across;
  across.index[0] = 3;
  across.index[1] = 16;
  across.index[2] = across.index[3] = 17;
  shape.AddSide(across);
  shape.SetNodeCount(2);
  shape.nodes[0].level = 1;
  shape.nodes[0].vertexCount = 16;
  shape.nodes[1].level = 2;
  shape.nodes[1].vertexCount = 15;
  shape.BuildProgressive();
  ASSERT_EQ(shape.VertexCount(), 32);
  EXPECT_EQ(shape.vertices[31].position, (CVector{99, 99, 99}));  // outside every node: not moved
  for (std::size_t v = 0; v < 16; ++v) EXPECT_LT(shape.mrm.order[v] & ~kPresent, 16u) << v;
  for (std::size_t v = 16; v < 31; ++v) {
    EXPECT_GE(shape.mrm.order[v] & ~kPresent, 16u) << v;
    EXPECT_LT(shape.mrm.order[v] & ~kPresent, 31u) << v;
  }
  for (int l = 0; l <= 256; l += 16) {
    const std::vector<bool> present = PresentAt(shape, l);
    EXPECT_TRUE(present[31]);
    std::size_t live = 0;
    while (live < shape.sides.size() && Live(shape, shape.sides[live], present)) ++live;
    for (std::size_t i = live; i < shape.sides.size(); ++i) ASSERT_FALSE(Live(shape, shape.sides[i], present)) << l;
  }
}

// A lopsided pyramid without a floor, worked through by hand. Base corners
// 0 (0,0,0), 1 (4,0,0), 2 (4,2,0), 3 (0,2,0), all on the border; apex 4
// (1,0.5,2) inside. Corners 0 and 3 are locked. Each vertex has one mapping
// in all its sides, so there is no seam. The sides are listed as
// (3,0,4), (2,3,4), (0,1,4), (1,2,4).
//
// Costs at the start (edge length x curvature): vertex 2 may go only to the
// border vertices 1 (0.50) or 3 (1.00); the edge to the apex would cost 0,
// since both its sides hold it, but the apex is not on the border. Vertex 1:
// to 2 (0.80) or 0 (1.60). The apex: to 0 (0.91), 3 (1.20), 2 (1.56), 1 (1.62).
// So 2 goes first, into 1 (r = 5: new place 4), taking 1's mapping (1, 0).
// Then the apex costs 1.20 into 3 against 1.35 into 0, and vertex 1 costs
// 3.39: the apex goes into 3 (new place 3), taking 3's mapping (0, 1). One
// flat side (0,1,3) is left, every edge of it costing exactly 0: vertex 1, the
// only unlocked one, goes into 0, the first of its neighbours (new place 2),
// taking 0's mapping. The locked corners tie and go in list order without a
// target: 0 (new place 1), then 3 (new place 0); both point at the node's
// first vertex.
//
// New numbering: 0 = old 3, 1 = old 0, 2 = old 1, 3 = apex, 4 = old 2; the
// sides become (0,1,3), (4,0,3), (1,2,3), (2,4,3). With 5 vertices and 2
// locked, 2 + (3 l >> 8) are present: 2 up to level 85, 3 up to 170, 4 up
// to 255. Levels: (0,1,3) 170, (4,0,3) 170, (1,2,3) 85, (2,4,3) 255.
// The exchange sort swaps the third side into first place, which puts the
// first behind the second: (1,2,3), (4,0,3), (0,1,3), (2,4,3). A stable sort
// would keep (0,1,3) before (4,0,3).
TEST(BuildProgressive, WorkedPyramidGivesTheExpectedOrderTargetsAndSideOrder) {
  const CVector positions[] = {{0, 0, 0}, {4, 0, 0}, {4, 2, 0}, {0, 2, 0}, {1, 0.5f, 2}};
  const CUv mapping[] = {{0.125f, 0.25f}, {1, 0}, {1, 1}, {0, 1}, {0.25f, 0.5f}};
  CShape shape;
  for (int i = 0; i < 5; ++i) {
    CShapeVertex v;
    v.position = positions[i];
    if (i == 0 || i == 3) v.flags |= kVertexLocked;
    shape.AddVertex(v);
  }
  for (const std::array<std::uint32_t, 3>& t : {std::array<std::uint32_t, 3>{3, 0, 4}, {2, 3, 4}, {0, 1, 4}, {1, 2, 4}}) {
    CSide s;
    for (int j = 0; j < 3; ++j) {
      s.index[j] = t[static_cast<std::size_t>(j)];
      s.uv[j] = mapping[t[static_cast<std::size_t>(j)]];
    }
    s.index[3] = s.index[2];
    s.uv[3] = s.uv[2];
    s.flags = 1;
    shape.AddSide(s);
  }
  shape.SetSingleNode({0, 0, 0}, {0, 0, 1});
  shape.BuildProgressive();

  const CVector newPositions[] = {positions[3], positions[0], positions[1], positions[4], positions[2]};
  ASSERT_EQ(shape.VertexCount(), 5);
  for (std::size_t v = 0; v < 5; ++v) EXPECT_EQ(shape.vertices[v].position, newPositions[v]) << v;
  EXPECT_TRUE(shape.vertices[0].flags & kVertexLocked);
  EXPECT_TRUE(shape.vertices[1].flags & kVertexLocked);
  EXPECT_EQ(shape.nodes[0].lockedCount, 2);

  EXPECT_EQ(shape.mrm.count, 5);
  const std::vector<std::uint32_t> order = {kPresent | 0, kPresent | 0, kPresent | 1, kPresent | 0, kPresent | 2};
  EXPECT_EQ(shape.mrm.order, order);
  const std::vector<CUv> pairs = {{0, 0}, {0, 0}, mapping[0], mapping[3], mapping[1]};
  EXPECT_EQ(shape.mrm.uv, pairs);

  const std::uint32_t sides[4][3] = {{1, 2, 3}, {4, 0, 3}, {0, 1, 3}, {2, 4, 3}};
  // Each side keeps its own mapping: old vertex per new index.
  const int oldOf[] = {3, 0, 1, 4, 2};
  ASSERT_EQ(shape.SideCount(), 4);
  for (std::size_t i = 0; i < 4; ++i) {
    const CSide& s = shape.sides[i];
    for (std::size_t j = 0; j < 3; ++j) {
      EXPECT_EQ(s.index[j], sides[i][j]) << "side " << i << " corner " << j;
      EXPECT_EQ(s.uv[j], mapping[oldOf[sides[i][j]]]) << "side " << i << " corner " << j;
    }
    EXPECT_EQ(s.index[3], s.index[2]);
  }
}

// Positions that are not finite make costs that are not numbers, which the
// queue must still order: every vertex gets its place and a target below it.
TEST(BuildProgressive, NonFinitePositionsStillGiveAFullCollapseOrder) {
  CShape shape = Grid(5, 5);
  shape.vertices[7].position.y = std::numeric_limits<float>::quiet_NaN();
  shape.vertices[18].position.x = std::numeric_limits<float>::infinity();
  shape.SetSingleNode({0, 0, 0}, {0, 0, 1});
  shape.BuildProgressive();
  ASSERT_EQ(shape.mrm.order.size(), 25u);
  for (std::size_t v = 0; v < 25; ++v) {
    const std::uint32_t target = shape.mrm.order[v] & ~kPresent;
    EXPECT_TRUE(target < v || (v == 0 && target == 0)) << v;
  }
  int nan = 0, inf = 0;
  for (const CShapeVertex& v : shape.vertices) {
    nan += std::isnan(v.position.y) ? 1 : 0;
    inf += std::isinf(v.position.x) ? 1 : 0;
  }
  EXPECT_EQ(nan, 1);
  EXPECT_EQ(inf, 1);
}

TEST(BuildProgressive, MeshesWithoutNodesOrSidesAreLeftAlone) {
  CShape noNodes = Grid(3, 3);
  noNodes.BuildProgressive();
  EXPECT_EQ(noNodes.mrm.count, 9);
  for (std::size_t v = 0; v < 9; ++v) EXPECT_EQ(noNodes.mrm.order[v], kPresent | static_cast<std::uint32_t>(v));
  EXPECT_EQ(noNodes.vertices[4].position, Grid(3, 3).vertices[4].position);

  CShape noSides;
  noSides.SetVertexCount(3);
  noSides.mrm.order = {1, 2, 3};
  noSides.BuildProgressive();
  EXPECT_EQ(noSides.mrm.count, 0);
  EXPECT_TRUE(noSides.mrm.order.empty());
}

TEST(BuildProgressive, RebuildRunsItWhenACollapseOrderIsPresent) {
  CShape shape = Grid(4, 4);
  shape.sides[4].texture = 5;  // the middle quad
  shape.SetSingleNode({0, 0, 0}, {0, 0, 1});
  shape.mrm.order = {kPresent};
  shape.Rebuild();
  EXPECT_EQ(shape.mrm.count, 16);
  EXPECT_EQ(shape.SideCount(), 18);
  EXPECT_EQ(shape.EdgeCount(), 9 + 24);
  // The side that was current before is found again (its first half).
  const int now = shape.SideAfterRebuild(4);
  ASSERT_GE(now, 0);
  EXPECT_EQ(shape.sides[static_cast<std::size_t>(now)].texture, 5u);
}

}  // namespace

// Meshes that reach what the grids above do not: ties in cost everywhere
// (flat and ridged sheets, coincident vertices), surfaces without a border
// (a torus), only a border at the ends (a tube), long fans (a cone whose apex
// sits on a seam, another whose apex is locked) and parts of one triangle.
// Vertex positions are small integers or halves, so every build computes the
// same floats.
CSide Triangle3(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t texture, const CUv uv[3]) {
  CSide s;
  s.index[0] = a;
  s.index[1] = b;
  s.index[2] = s.index[3] = c;
  for (int j = 0; j < 3; ++j) s.uv[j] = uv[j];
  s.uv[3] = uv[2];
  s.texture = texture;
  s.flags = 1;
  return s;
}

// A w x h sheet in triangles; `height` gives each vertex's y, `same` maps two
// grid places to one vertex (coincident corners share it), wrapX / wrapY
// close the sheet into a tube or torus with positions from `place`.
struct Sheet {
  int w = 0, h = 0;
  bool wrapX = false, wrapY = false;
  CVector (*place)(int x, int y, int w, int h) = nullptr;
  std::uint32_t (*texture)(int x, int y) = nullptr;
};

// A point on the perimeter of a square walked in n steps (n a multiple of 4),
// sides of n / 4, centred on 0.
std::array<float, 2> SquareRing(int i, int n) {
  const int q = n / 4, side = i / q, at = i % q;
  const float half = static_cast<float>(q) / 2;
  const float t = static_cast<float>(at) - half;
  switch (side) {
    case 0: return {t, -half};
    case 1: return {half, t};
    case 2: return {-t, half};
    default: return {-half, -t};
  }
}

CShape BuildSheet(const Sheet& m) {
  CShape shape;
  for (int y = 0; y < m.h; ++y) {
    for (int x = 0; x < m.w; ++x) {
      CShapeVertex v;
      v.position = m.place(x, y, m.w, m.h);
      shape.AddVertex(v);
    }
  }
  const int cw = m.wrapX ? m.w : m.w - 1, ch = m.wrapY ? m.h : m.h - 1;
  auto at = [&m](int x, int y) { return static_cast<std::uint32_t>((y % m.h) * m.w + (x % m.w)); };
  for (int y = 0; y < ch; ++y) {
    for (int x = 0; x < cw; ++x) {
      const std::uint32_t texture = m.texture ? m.texture(x, y) : 0;
      const float u0 = static_cast<float>(x) / 8, v0 = static_cast<float>(y) / 8, d = 0.125f;
      // A wrapped sheet's mapping would tear at the wrap; one mapping per
      // vertex keeps it seamless there.
      const bool plain = m.wrapX || m.wrapY;
      const CUv a = plain ? CUv{0.5f, 0.5f} : CUv{u0, v0}, b = plain ? a : CUv{u0 + d, v0},
                c = plain ? a : CUv{u0 + d, v0 + d}, e = plain ? a : CUv{u0, v0 + d};
      const CUv first[3] = {a, b, c}, second[3] = {a, c, e};
      shape.AddSide(Triangle3(at(x, y), at(x + 1, y), at(x + 1, y + 1), texture, first));
      shape.AddSide(Triangle3(at(x, y), at(x + 1, y + 1), at(x, y + 1), texture, second));
    }
  }
  shape.SetSingleNode({0, 0, 0}, {0, 0, 1});
  return shape;
}

// A cone of `rings` square rings of `spokes` vertices around an apex (vertex
// 0) at height 2; the two halves carry different textures, so the apex lies on
// a seam, unless `lockedApex`, which gives one texture and locks the apex.
CShape Cone(int spokes, int rings, bool lockedApex) {
  CShape shape;
  CShapeVertex apex;
  apex.position = {0, 2, 0};
  if (lockedApex) apex.flags |= kVertexLocked;
  shape.AddVertex(apex);
  for (int r = 1; r <= rings; ++r) {
    for (int i = 0; i < spokes; ++i) {
      const std::array<float, 2> p = SquareRing(i, spokes);
      CShapeVertex v;
      v.position = {p[0] * static_cast<float>(r), 2 - static_cast<float>(r) / 2, p[1] * static_cast<float>(r)};
      shape.AddVertex(v);
    }
  }
  auto at = [spokes](int r, int i) {
    return r == 0 ? 0u : static_cast<std::uint32_t>(1 + (r - 1) * spokes + i % spokes);
  };
  const CUv uv[3] = {{0.5f, 0.5f}, {0.5f, 0.5f}, {0.5f, 0.5f}};
  for (int i = 0; i < spokes; ++i) {
    const std::uint32_t texture = lockedApex ? 0u : (i < spokes / 2 ? 1u : 2u);
    shape.AddSide(Triangle3(at(0, 0), at(1, i), at(1, i + 1), texture, uv));
    for (int r = 1; r < rings; ++r) {
      shape.AddSide(Triangle3(at(r, i), at(r + 1, i), at(r + 1, i + 1), texture, uv));
      shape.AddSide(Triangle3(at(r, i), at(r + 1, i + 1), at(r, i + 1), texture, uv));
    }
  }
  shape.SetSingleNode({0, 0, 0}, {0, 0, 1});
  return shape;
}

CShape OneNode(CShape shape) {
  shape.SetSingleNode({0, 0, 0}, {0, 0, 1});
  return shape;
}

// FNV-1a over everything the build writes: the vertices in their new order
// (position, normal, flags), the sides in their new order, every node's
// locked count, the progressive data and the file bytes a save writes.
std::uint32_t FullDigest(const CShape& shape) {
  std::uint32_t h = 2166136261u;
  auto add = [&h](const void* data, std::size_t size) {
    const auto* p = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) h = (h ^ p[i]) * 16777619u;
  };
  auto addValue = [&add](const auto& value) { add(&value, sizeof value); };
  for (const CShapeVertex& v : shape.vertices) {
    for (float f : {v.position.x, v.position.y, v.position.z, v.normal.x, v.normal.y, v.normal.z}) addValue(f);
    addValue(v.flags);
  }
  for (const CSide& s : shape.sides) {
    add(s.index, sizeof s.index);
    for (const CUv& uv : s.uv) addValue(uv);
    addValue(s.flags);
    addValue(s.texture);
    addValue(s.group);
  }
  for (const CShapeNode& node : shape.nodes) addValue(node.lockedCount);
  addValue(shape.mrm.count);
  add(shape.mrm.order.data(), shape.mrm.order.size() * sizeof shape.mrm.order[0]);
  for (const CUv& uv : shape.mrm.uv) addValue(uv);
  const std::vector<std::uint8_t> saved = EncodeO3d(shape);
  add(saved.data(), saved.size());
  return h;
}

// Every output of the build (vertex and side order, targets, texture pairs,
// locked counts, saved bytes) is what the build gave on these meshes before
// its cost search kept per-edge terms; the digests were taken from that build.
TEST(BuildProgressive, TiesClosedSurfacesAndLongFansKeepTheirOutput) {
  const auto flat = [](int x, int y, int, int) { return CVector{static_cast<float>(x), 0, static_cast<float>(y)}; };
  const auto ridged = [](int x, int y, int, int) {
    return CVector{static_cast<float>(x), static_cast<float>(x % 2) / 2, static_cast<float>(y)};
  };
  // Every second column lies on the one before it: zero-length edges.
  const auto doubled = [](int x, int y, int, int) {
    return CVector{static_cast<float>(x / 2), static_cast<float>((x / 2 + y) % 3) / 2, static_cast<float>(y)};
  };
  const auto tube = [](int x, int y, int w, int) {
    const std::array<float, 2> p = SquareRing(x, w);
    return CVector{p[0], static_cast<float>(y), p[1]};
  };
  const auto torus = [](int x, int y, int w, int h) {
    const std::array<float, 2> path = SquareRing(x, w), section = SquareRing(y, h);
    const float r = 6 + section[0];
    return CVector{path[0] * r / 2, section[1], path[1] * r / 2};
  };
  const auto patches = [](int x, int y) { return static_cast<std::uint32_t>((x / 4 + y / 3) % 3); };
  struct Case {
    const char* name;
    CShape shape;
    std::uint32_t digest;
  };
  const Case cases[] = {
      {"flat", BuildSheet({12, 9, false, false, flat, nullptr}), 0x7e7e9c23u},
      {"flat patches", BuildSheet({16, 12, false, false, flat, patches}), 0xdb3982a4u},
      {"ridged", BuildSheet({14, 10, false, false, ridged, nullptr}), 0xfc7e4964u},
      {"coincident", BuildSheet({16, 8, false, false, doubled, patches}), 0xdbefe513u},
      {"tube", BuildSheet({16, 10, true, false, tube, nullptr}), 0xb8fa112au},
      {"torus", BuildSheet({24, 8, true, true, torus, nullptr}), 0xa5dedc40u},
      {"cone on a seam", Cone(40, 4, false), 0xb66b75a1u},
      {"cone locked", Cone(48, 3, true), 0xbae8d56au},
      {"grid in quads", pavixbench::Grid(30, 20, true), 0x51928650u},
      {"scattered", OneNode(pavixbench::Scattered(12)), 0xa3753997u},
      {"rough", pavixbench::RoughGrid(7, 25, 30, true), 0x4da38708u},
  };
  for (const Case& c : cases) {
    CShape shape = c.shape;
    shape.BuildProgressive();
    ASSERT_EQ(shape.mrm.order.size(), shape.vertices.size()) << c.name;
    EXPECT_EQ(FullDigest(shape), c.digest) << c.name << std::hex << " 0x" << FullDigest(shape);
  }
}

// Large bumpy grids (flat runs that gather long fans, texture seams, borders)
// collapse exactly as the build always has: the collapse order, the texture
// pairs and the stored side order hash to what the build gave on these meshes
// before its cost search was made faster.
TEST(BuildProgressive, LargeGridsKeepTheirCollapseAndSideOrder) {
  struct Case {
    int w, h;
    std::uint32_t digest;
  };
  for (const Case& c : {Case{40, 25, 0x99767061u}, Case{50, 100, 0x2176434du}, Case{200, 100, 0xd22ab1ecu},
                        Case{400, 100, 0x9d8cd115u}}) {
    pavix::CShape shape = pavixbench::Grid(c.w, c.h);
    shape.BuildProgressive();
    ASSERT_EQ(shape.mrm.order.size(), std::size_t(c.w) * std::size_t(c.h));
    EXPECT_EQ(pavixbench::ProgressiveDigest(shape), c.digest) << c.w << " x " << c.h;
  }
}

// Rough meshes reach what the grids above do not: broken sides with a
// repeated corner, repeated sides, quads, locked vertices, seams between
// texture patches, two nodes with sides between them and a vertex outside
// both. Their digests are what the build gave before its cost search was made
// incremental.
TEST(BuildProgressive, RoughMeshesKeepTheirCollapseAndSideOrder) {
  struct Case {
    std::uint32_t seed;
    int w, h;
    bool twoNodes;
    std::uint32_t digest;
  };
  const Case cases[] = {
      {1, 12, 9, false, 0xf642820bu}, {2, 30, 20, false, 0x338714b6u}, {3, 30, 20, true, 0x5ee7cb2eu},
      {4, 45, 40, false, 0x1f629731u}, {5, 45, 40, true, 0xba5a01d9u},  {6, 80, 25, true, 0xa953c543u},
  };
  for (const Case& c : cases) {
    pavix::CShape shape = pavixbench::RoughGrid(c.seed, c.w, c.h, c.twoNodes);
    shape.BuildProgressive();
    ASSERT_EQ(shape.mrm.order.size(), shape.vertices.size());
    EXPECT_EQ(pavixbench::ProgressiveDigest(shape), c.digest) << "seed " << c.seed;
  }
}
