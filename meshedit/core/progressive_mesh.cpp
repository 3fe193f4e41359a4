#include "meshedit/core/progressive_mesh.h"

#include <algorithm>
#include <numeric>

#include "datafiles/common/exchange_sort.h"
#include "meshedit/core/shape.h"

namespace pavix {

namespace {

void AddUnique(std::vector<int>& list, int value) {
  if (std::find(list.begin(), list.end(), value) == list.end()) list.push_back(value);
}

void RemoveValue(std::vector<int>& list, int value) {
  auto it = std::find(list.begin(), list.end(), value);
  if (it != list.end()) list.erase(it);
}

int CornerOf(const CProgressiveMesh::Triangle& t, int v) {
  for (int k = 0; k < 3; ++k)
    if (t.v[k] == v) return k;
  return -1;
}

}  // namespace

int PresentVertexCount(int n, int locked, int level) {
  long long c = locked + ((static_cast<long long>(n) - locked) * level >> 8);
  if (c <= 1) c = 1;
  if (c >= n) c = n;
  return static_cast<int>(c);
}

int CProgressiveMesh::AddVertex(const CVector& position, int local, float penalty) {
  Vertex v;
  v.position = position;
  v.local = local;
  v.penalty = penalty;
  vertices_.push_back(std::move(v));
  ++remaining_;
  return static_cast<int>(vertices_.size()) - 1;
}

int CProgressiveMesh::AddTriangle(int side, int a, int b, int c, const CUv uv[3], std::uint32_t texture) {
  Triangle t;
  t.side = side;
  t.v[0] = a;
  t.v[1] = b;
  t.v[2] = c;
  for (int k = 0; k < 3; ++k) t.uv[k] = uv[k];
  t.texture = texture;
  ComputeNormal(t);
  const int index = static_cast<int>(triangles_.size());
  triangles_.push_back(t);
  for (int k = 0; k < 3; ++k) {
    Vertex& v = vertices_[static_cast<std::size_t>(t.v[k])];
    v.triangles.push_back(index);
    for (int j = 0; j < 3; ++j)
      if (j != k) AddUnique(v.neighbours, t.v[j]);
  }
  return index;
}

void CProgressiveMesh::ComputeNormal(Triangle& t) {
  const CVector& p0 = vertices_[static_cast<std::size_t>(t.v[0])].position;
  const CVector& p1 = vertices_[static_cast<std::size_t>(t.v[1])].position;
  const CVector& p2 = vertices_[static_cast<std::size_t>(t.v[2])].position;
  t.normal = Cross(p1 - p0, p2 - p1);
  Normalize(t.normal);
}

bool CProgressiveMesh::OnBorder(int vi) const {
  // A neighbour sharing at most one of the vertex's triangles makes a border
  // edge. The triangles holding each corner are counted in one pass, not
  // searched for every neighbour.
  const Vertex& v = vertices_[static_cast<std::size_t>(vi)];
  if (sharedCounts_.size() < vertices_.size()) sharedCounts_.resize(vertices_.size(), 0);
  auto count = [this, &v](int delta) {
    for (int ti : v.triangles) {
      const Triangle& t = triangles_[static_cast<std::size_t>(ti)];
      sharedCounts_[static_cast<std::size_t>(t.v[0])] += delta;
      if (t.v[1] != t.v[0]) sharedCounts_[static_cast<std::size_t>(t.v[1])] += delta;
      if (t.v[2] != t.v[0] && t.v[2] != t.v[1]) sharedCounts_[static_cast<std::size_t>(t.v[2])] += delta;
    }
  };
  count(1);
  bool border = false;
  for (int n : v.neighbours) border = border || sharedCounts_[static_cast<std::size_t>(n)] <= 1;
  count(-1);
  return border;
}

bool CProgressiveMesh::OnSeam(int vi) const {
  const Vertex& v = vertices_[static_cast<std::size_t>(vi)];
  if (v.triangles.size() < 2) return false;
  const Triangle& first = triangles_[static_cast<std::size_t>(v.triangles[0])];
  const CUv uv0 = first.uv[CornerOf(first, vi)];
  for (std::size_t k = 1; k < v.triangles.size(); ++k) {
    const Triangle& t = triangles_[static_cast<std::size_t>(v.triangles[k])];
    if (t.texture != first.texture || !(t.uv[CornerOf(t, vi)] == uv0)) return true;
  }
  return false;
}

float CProgressiveMesh::EdgeCost(int u, int v) const {
  const Vertex& vu = vertices_[static_cast<std::size_t>(u)];
  const float length = Length(vertices_[static_cast<std::size_t>(v)].position - vu.position);
  // The triangles on the edge itself (one or two on a clean mesh), found once
  // rather than again for every triangle around u.
  edgeTriangles_.clear();
  for (int si : vu.triangles) {
    const Triangle& s = triangles_[static_cast<std::size_t>(si)];
    if (CornerOf(s, v) >= 0) edgeTriangles_.push_back(&s);
  }
  float curvature = 0;
  for (int ti : vu.triangles) {
    const Triangle& t = triangles_[static_cast<std::size_t>(ti)];
    float smallest = 1;
    for (const Triangle* s : edgeTriangles_) smallest = std::min(smallest, (1 - Dot(t.normal, s->normal)) / 2);
    curvature = std::max(curvature, smallest);
  }
  return length * curvature;
}

void CProgressiveMesh::ComputeCost(int vi) {
  Vertex& v = vertices_[static_cast<std::size_t>(vi)];
  v.target = -1;
  if (v.neighbours.empty()) {
    v.cost = 0;
  } else {
    v.cost = kSeamPenalty;
    const bool border = OnBorder(vi);
    for (int n : v.neighbours) {
      if (border && !OnBorder(n)) continue;
      const float c = EdgeCost(vi, n);
      if (v.target < 0 || c < v.cost) {
        v.cost = c;
        v.target = n;
      }
    }
  }
  if (OnSeam(vi)) v.penalty = std::max(v.penalty, kSeamPenalty);
  Push(vi);
}

void CProgressiveMesh::Push(int vi) {
  Vertex& v = vertices_[static_cast<std::size_t>(vi)];
  ++v.stamp;
  queue_.push({v.cost + v.penalty, vi, v.stamp});
}

void CProgressiveMesh::ComputeAllCosts() {
  for (std::size_t i = 0; i < vertices_.size(); ++i)
    if (vertices_[i].alive) ComputeCost(static_cast<int>(i));
}

int CProgressiveMesh::CountLocked() const {
  int n = 0;
  for (const Vertex& v : vertices_)
    if (v.alive && v.penalty >= kSeamPenalty) ++n;
  return n;
}

int CProgressiveMesh::LeastCostVertex() {
  while (!queue_.empty()) {
    const QueueEntry e = queue_.top();
    const Vertex& v = vertices_[static_cast<std::size_t>(e.vertex)];
    if (v.alive && v.stamp == e.stamp) return e.vertex;
    queue_.pop();
  }
  return -1;
}

void CProgressiveMesh::RemoveTriangle(int ti) {
  Triangle& t = triangles_[static_cast<std::size_t>(ti)];
  if (!t.alive) return;
  t.alive = false;
  for (int k = 0; k < 3; ++k) RemoveValue(vertices_[static_cast<std::size_t>(t.v[k])].triangles, ti);
}

void CProgressiveMesh::RemoveIfNotNeighbour(int a, int b) {
  Vertex& va = vertices_[static_cast<std::size_t>(a)];
  for (int ti : va.triangles)
    if (CornerOf(triangles_[static_cast<std::size_t>(ti)], b) >= 0) return;
  RemoveValue(va.neighbours, b);
  RemoveValue(vertices_[static_cast<std::size_t>(b)].neighbours, a);
}

CUv CProgressiveMesh::Collapse(int u) {
  Vertex& vu = vertices_[static_cast<std::size_t>(u)];
  const int v = vu.target;
  CUv pair{0, 0};
  const std::vector<int> formerNeighbours = vu.neighbours;
  const std::vector<int> tris = vu.triangles;
  if (v >= 0) {
    for (int ti : tris) {
      const Triangle& t = triangles_[static_cast<std::size_t>(ti)];
      const int corner = CornerOf(t, v);
      if (corner >= 0) {
        pair = t.uv[corner];
        break;
      }
    }
    for (int ti : tris) {
      Triangle& t = triangles_[static_cast<std::size_t>(ti)];
      t.uv[CornerOf(t, u)] = pair;
    }
  }
  // Triangles that vanish: all of them without a target, else those on the edge.
  std::vector<int> touched;
  for (int ti : tris) {
    const Triangle& t = triangles_[static_cast<std::size_t>(ti)];
    if (v < 0 || CornerOf(t, v) >= 0) {
      for (int k = 0; k < 3; ++k) touched.push_back(t.v[k]);
      RemoveTriangle(ti);
    }
  }
  if (v >= 0) {
    Vertex& vv = vertices_[static_cast<std::size_t>(v)];
    for (int ti : tris) {
      Triangle& t = triangles_[static_cast<std::size_t>(ti)];
      if (!t.alive) continue;
      t.v[CornerOf(t, u)] = v;
      vv.triangles.push_back(ti);
      for (int k = 0; k < 3; ++k) {
        if (t.v[k] == v) continue;
        AddUnique(vv.neighbours, t.v[k]);
        AddUnique(vertices_[static_cast<std::size_t>(t.v[k])].neighbours, v);
      }
      ComputeNormal(t);
    }
  }
  Vertex& gone = vertices_[static_cast<std::size_t>(u)];
  gone.triangles.clear();
  for (int n : formerNeighbours) RemoveValue(vertices_[static_cast<std::size_t>(n)].neighbours, u);
  gone.neighbours.clear();
  gone.alive = false;
  --remaining_;
  for (std::size_t a = 0; a < touched.size(); ++a)
    for (std::size_t b = 0; b < touched.size(); ++b)
      if (touched[a] != touched[b] && touched[a] != u && touched[b] != u) RemoveIfNotNeighbour(touched[a], touched[b]);
  for (int n : formerNeighbours) ComputeCost(n);
  return pair;
}

void CShape::BuildProgressive() {
  mrm.count = 0;
  mrm.order = {};
  mrm.uv = {};
  if (sides.empty() || vertices.empty()) return;
  SplitQuads();

  const std::size_t nv = vertices.size();
  std::vector<std::uint32_t> newPos(nv);
  std::iota(newPos.begin(), newPos.end(), 0u);
  std::vector<std::uint32_t> target(nv);
  std::iota(target.begin(), target.end(), 0u);
  std::vector<CUv> pairs(nv);

  // Node runs, bounded by the vertices that exist.
  struct Run {
    std::size_t first, count;
  };
  std::vector<Run> runs;
  std::size_t first = 0;
  for (const CShapeNode& node : nodes) {
    std::size_t count = node.vertexCount > 0 ? static_cast<std::size_t>(node.vertexCount) : 0;
    count = std::min(count, nv - std::min(first, nv));
    runs.push_back({first, count});
    first += count;
  }

  for (std::size_t k = 0; k < nodes.size(); ++k) {
    const std::size_t g = runs[k].first, n = runs[k].count;
    if (n == 0) continue;
    CProgressiveMesh pm;
    for (std::size_t i = 0; i < n; ++i) {
      const CShapeVertex& v = vertices[g + i];
      pm.AddVertex(v.position, static_cast<int>(i), (v.flags & kVertexLocked) ? kLockedPenalty : 0.0f);
    }
    for (std::size_t si = 0; si < sides.size(); ++si) {
      const CSide& s = sides[si];
      bool inside = true;
      for (int j = 0; j < 3; ++j) inside = inside && s.index[j] >= g && s.index[j] < g + n;
      if (!inside) continue;
      pm.AddTriangle(static_cast<int>(si), static_cast<int>(s.index[0] - g), static_cast<int>(s.index[1] - g),
                     static_cast<int>(s.index[2] - g), s.uv, s.texture);
    }
    pm.ComputeAllCosts();
    nodes[k].lockedCount = std::max(nodes[k].lockedCount, pm.CountLocked());
    std::vector<int> targetOld(n, -1);
    while (pm.Remaining() > 0) {
      const int u = pm.LeastCostVertex();
      if (u < 0) break;
      const int r = pm.Remaining();
      newPos[g + static_cast<std::size_t>(u)] = static_cast<std::uint32_t>(g + static_cast<std::size_t>(r) - 1);
      const int t = pm.vertex(u).target;
      targetOld[static_cast<std::size_t>(u)] = t;
      pairs[g + static_cast<std::size_t>(u)] = pm.Collapse(u);
    }
    for (std::size_t i = 0; i < n; ++i) {
      const int t = targetOld[i];
      target[g + i] = t < 0 ? static_cast<std::uint32_t>(g) : newPos[g + static_cast<std::size_t>(t)];
    }
  }

  std::vector<CShapeVertex> moved(nv);
  std::vector<CUv> movedPairs(nv);
  std::vector<std::uint32_t> movedTarget(nv);
  for (std::size_t i = 0; i < nv; ++i) {
    moved[newPos[i]] = vertices[i];
    movedPairs[newPos[i]] = pairs[i];
    movedTarget[newPos[i]] = target[i];
  }
  vertices = std::move(moved);
  for (CSide& s : sides)
    for (std::uint32_t& idx : s.index) idx = newPos[idx];

  mrm.count = static_cast<int>(nv);
  mrm.order = std::move(movedTarget);
  mrm.uv = std::move(movedPairs);

  // Level pass: a side's level is the highest detail level at which it has
  // collapsed to nothing. Collapse targets always lie below their vertex, so
  // one ascending sweep finds every vertex's present representative.
  std::vector<int> level(sides.size(), -1);
  std::vector<std::uint32_t> rep(nv);
  for (int l = 0; l < kDetailLevels; ++l) {
    std::iota(rep.begin(), rep.end(), 0u);
    for (std::size_t k = 0; k < nodes.size(); ++k) {
      const std::size_t g = runs[k].first, n = runs[k].count;
      if (n == 0) continue;
      const auto c = static_cast<std::size_t>(PresentVertexCount(static_cast<int>(n), nodes[k].lockedCount, l));
      for (std::size_t i = 0; i < n; ++i) {
        const std::size_t v = g + i;
        if (i >= c) rep[v] = rep[mrm.order[v]];
      }
    }
    for (std::size_t si = 0; si < sides.size(); ++si) {
      const CSide& s = sides[si];
      const std::uint32_t a = rep[s.index[0]], b = rep[s.index[1]], c = rep[s.index[2]];
      if (a == b || b == c || a == c) level[si] = l;
    }
  }
  for (std::uint32_t& o : mrm.order) o |= 0x80000000u;

  // Sides of one level keep the exchange sort's order, not the file's: the
  // side order is stored, so it must come out as it always has.
  const std::vector<std::uint32_t> sorted = ExchangeSortOrder(
      sides.size(), [&](std::uint32_t a, std::uint32_t b) { return level[a] < level[b]; });
  ReorderSides(std::vector<int>(sorted.begin(), sorted.end()));
}

}  // namespace pavix
