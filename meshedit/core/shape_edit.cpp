// Grouping and the editing operations of CShape.
#include <algorithm>
#include <numeric>
#include <utility>

#include "meshedit/core/shape.h"
#include "meshedit/core/sin_cos_table.h"

namespace pavix {

namespace {

bool InGroup(const CSide& s, int group) { return group == 0 || s.group == group; }

// Calls fn once for each vertex that a side of the group uses: the mark, set
// beforehand on every vertex, is cleared on the first visit.
template <class Fn>
void EachGroupVertexOnce(CShape& shape, int group, std::uint8_t mark, Fn fn) {
  const std::size_t nv = shape.vertices.size();
  for (const CSide& s : shape.sides) {
    if (!InGroup(s, group)) continue;
    for (int j = 0; j < s.CornerCount(); ++j) {
      if (s.index[j] >= nv) continue;
      CShapeVertex& v = shape.vertices[s.index[j]];
      if (!(v.flags & mark)) continue;
      v.flags &= static_cast<std::uint8_t>(~mark);
      fn(v);
    }
  }
}

int FindRoot(std::vector<int>& parent, int x) {
  while (parent[static_cast<std::size_t>(x)] != x) {
    int& p = parent[static_cast<std::size_t>(x)];
    p = parent[static_cast<std::size_t>(p)];
    x = p;
  }
  return x;
}

}  // namespace

void CShape::GroupSides() {
  // Sides sharing an index are joined by a union-find over the sides sorted by
  // index: n log n, and no recursion however large a part is.
  const std::size_t n = sides.size();
  std::vector<std::pair<std::uint32_t, int>> uses;
  uses.reserve(n * 4);
  for (std::size_t i = 0; i < n; ++i)
    for (std::uint32_t v : sides[i].index) uses.emplace_back(v, static_cast<int>(i));
  std::sort(uses.begin(), uses.end());
  std::vector<int> parent(n);
  std::iota(parent.begin(), parent.end(), 0);
  for (std::size_t k = 1; k < uses.size(); ++k) {
    if (uses[k].first != uses[k - 1].first) continue;
    const int a = FindRoot(parent, uses[k - 1].second);
    const int b = FindRoot(parent, uses[k].second);
    if (a != b) parent[static_cast<std::size_t>(std::max(a, b))] = std::min(a, b);
  }
  std::vector<std::uint8_t> groupOfRoot(n, 0);
  int next = 1;
  for (std::size_t i = 0; i < n; ++i) {
    const auto root = static_cast<std::size_t>(FindRoot(parent, static_cast<int>(i)));
    if (groupOfRoot[root] == 0) {
      groupOfRoot[root] = static_cast<std::uint8_t>(std::min(next, 255));
      ++next;
    }
    sides[i].group = groupOfRoot[root];
  }
}

void CShape::TransformGroup(int group, const CMatrix& m) {
  for (CShapeVertex& v : vertices) v.flags |= kVertexMarkA | kVertexMarkB;
  CVector sum{};
  int count = 0;
  EachGroupVertexOnce(*this, group, kVertexMarkA, [&](const CShapeVertex& v) {
    sum = sum + v.position;
    ++count;
  });
  if (count > 0) {
    const CVector centre = sum * (1.0f / static_cast<float>(count));
    const CVector move{m.t[0], m.t[1], m.t[2]};
    EachGroupVertexOnce(*this, group, kVertexMarkB, [&](CShapeVertex& v) {
      v.position = centre + RotateVector(m, v.position - centre) + move;
    });
  }
  for (CShapeVertex& v : vertices) v.flags &= static_cast<std::uint8_t>(~(kVertexMarkA | kVertexMarkB));
}

void CShape::DeleteGroup(int group) {
  std::vector<CSide> kept;
  for (const CSide& s : sides)
    if (!InGroup(s, group)) kept.push_back(s);
  kept.shrink_to_fit();
  sides = std::move(kept);
  MarkUnusedVertices();
  RemoveMarkedVertices();
  Rebuild();
}

void CShape::MarkUnusedVertices() {
  for (CShapeVertex& v : vertices) v.flags |= kVertexRemove;
  const std::size_t nv = vertices.size();
  for (const CSide& s : sides)
    for (int j = 0; j < s.CornerCount(); ++j)
      if (s.index[j] < nv) vertices[s.index[j]].flags &= static_cast<std::uint8_t>(~kVertexRemove);
}

void CShape::RemoveMarkedVertices() {
  // One pass with a renumbering table instead of shifting the array once per
  // removed vertex.
  const std::size_t nv = vertices.size();
  std::vector<std::uint32_t> newIndex(nv);
  std::vector<CShapeVertex> kept;
  kept.reserve(nv);
  std::vector<int> owner(nv, -1);
  std::size_t first = 0;
  for (std::size_t k = 0; k < nodes.size(); ++k) {
    const std::size_t count = nodes[k].vertexCount > 0 ? static_cast<std::size_t>(nodes[k].vertexCount) : 0;
    for (std::size_t v = first; v < first + count && v < nv; ++v) owner[v] = static_cast<int>(k);
    first += count;
  }
  std::vector<int> removedPerNode(nodes.size(), 0);
  for (std::size_t i = 0; i < nv; ++i) {
    newIndex[i] = static_cast<std::uint32_t>(kept.size());
    if (vertices[i].flags & kVertexRemove) {
      if (owner[i] >= 0) ++removedPerNode[static_cast<std::size_t>(owner[i])];
    } else {
      kept.push_back(vertices[i]);
    }
  }
  for (std::size_t k = 0; k < nodes.size(); ++k) nodes[k].vertexCount -= removedPerNode[k];
  for (CSide& s : sides)
    for (std::uint32_t& idx : s.index)
      if (idx < nv) idx = newIndex[idx];
  if (kept.empty()) kept = {};
  vertices = std::move(kept);
}

void CShape::Merge(const CShape& other) {
  const CShape copy = &other == this ? other : CShape{};
  const CShape& src = &other == this ? copy : other;
  const auto offset = static_cast<std::uint32_t>(vertices.size());
  vertices.insert(vertices.end(), src.vertices.begin(), src.vertices.end());
  for (CSide s : src.sides) {
    for (std::uint32_t& idx : s.index) idx += offset;
    sides.push_back(s);
  }
  SetSingleNode({0, 0, 0}, {0, 0, 1});
  Rebuild();
}

void CShape::SplitQuads() {
  const std::size_t n = sides.size();
  for (std::size_t i = 0; i < n; ++i) {
    if (sides[i].CornerCount() != 4) continue;
    CSide& q = sides[i];
    CSide extra;
    extra.index[0] = q.index[0];
    extra.index[1] = q.index[2];
    extra.index[2] = extra.index[3] = q.index[3];
    extra.uv[0] = q.uv[0];
    extra.uv[1] = q.uv[2];
    extra.uv[2] = extra.uv[3] = q.uv[3];
    extra.flags = q.flags;
    extra.texture = q.texture;
    extra.group = q.group;
    q.index[3] = q.index[2];
    q.uv[3] = q.uv[2];
    sides.push_back(extra);  // q is not used after this
  }
  if (rebuildDepth_ > 0) sideOrigin_.resize(sides.size(), -1);
  Rebuild();
}

void CShape::RotateToTopEdge(int sideIndex) {
  if (sideIndex < 0 || sideIndex >= SideCount()) return;
  CSide& s = sides[static_cast<std::size_t>(sideIndex)];
  const int n = s.CornerCount();
  const std::size_t nv = vertices.size();
  for (int j = 0; j < n; ++j)
    if (s.index[j] >= nv) return;
  int best = 0;
  float bestWeight = 0;
  for (int i = 0; i < n; ++i) {
    const CVector& a = vertices[s.index[i]].position;
    const CVector& b = vertices[s.index[(i + 1) % n]].position;
    const float weight = Length(b - a) + 1000000.0f * (a.y + b.y);
    if (i == 0 || weight > bestWeight) {
      best = i;
      bestWeight = weight;
    }
  }
  for (int r = 0; r < best; ++r) s.RotateCorners();
}

CUv CShape::GetUvCentre(int group) const {
  double su = 0, sv = 0;
  long long count = 0;
  for (const CSide& s : sides) {
    if (!InGroup(s, group)) continue;
    for (int j = 0; j < s.CornerCount(); ++j) {
      su += s.uv[j].u;
      sv += s.uv[j].v;
      ++count;
    }
  }
  if (count == 0) return {0.5f, 0.5f};
  return {static_cast<float>(su / static_cast<double>(count)), static_cast<float>(sv / static_cast<double>(count))};
}

void CShape::ScaleUv(int group, float su, float sv) {
  const CUv c = GetUvCentre(group);
  for (CSide& s : sides) {
    if (!InGroup(s, group)) continue;
    for (CUv& uv : s.uv) uv = {c.u + su * (uv.u - c.u), c.v + sv * (uv.v - c.v)};
  }
}

void CShape::TranslateUv(int group, float du, float dv) {
  for (CSide& s : sides) {
    if (!InGroup(s, group)) continue;
    for (CUv& uv : s.uv) uv = {uv.u + du, uv.v + dv};
  }
}

void CShape::RotateUv(int group, float angle) {
  const CUv c = GetUvCentre(group);
  CMatrix r;
  EulerToMatrixNoTranslation({0, 0, angle}, r);
  for (CSide& s : sides) {
    if (!InGroup(s, group)) continue;
    for (CUv& uv : s.uv) {
      const CVector p = RotateVector(r, {uv.u - c.u, uv.v - c.v, 0});
      uv = {c.u + p.x, c.v + p.y};
    }
  }
}

}  // namespace pavix
