#include "meshedit/core/shape.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <numeric>
#include <unordered_map>

namespace pavix {

void CShape::Clear() {
  vertices = {};
  nodes = {};
  sides = {};
  mrm.count = 0;
  mrm.order = {};
  mrm.uv = {};
  edges = {};
  sideEdges = {};
  sideOrigin_ = {};
}

void CShape::FreeGeometry() {
  vertices = {};
  sides = {};
  nodes = {};
}

void CShape::SetVertexCount(int n) {
  vertices = {};
  if (n > 0) vertices.assign(static_cast<std::size_t>(n), CShapeVertex{});
}

void CShape::SetNodeCount(int n) {
  nodes = {};
  if (n > 0) nodes.resize(static_cast<std::size_t>(n));
}

void CShape::SetSideCount(int n) {
  sides = {};
  if (n > 0) sides.assign(static_cast<std::size_t>(n), CSide{});
}

void CShape::SetEdgeCount(int n) {
  edges = {};
  if (n > 0) edges.resize(static_cast<std::size_t>(n));
}

int CShape::AddVertex(const CShapeVertex& v) {
  vertices.push_back(v);
  return VertexCount() - 1;
}

int CShape::AddSide(const CSide& side) {
  sides.push_back(side);
  return SideCount() - 1;
}

int CShape::AddEdge(std::uint32_t a, std::uint32_t b) {
  edges.push_back({a, b});
  return EdgeCount() - 1;
}

void CShape::SetSingleNode(const CVector& pivot, const CVector& end) {
  nodes = {};
  nodes.resize(1);
  nodes[0].Init(1, VertexCount(), pivot, end);
}

int CShape::FindVertex(float x, float y, float z) const {
  for (std::size_t i = 0; i < vertices.size(); ++i) {
    const CVector& p = vertices[i].position;
    if (p.x == x && p.y == y && p.z == z) return static_cast<int>(i);
  }
  return -1;
}

int CShape::FindEdge(std::uint32_t a, std::uint32_t b) const {
  for (std::size_t i = 0; i < edges.size(); ++i) {
    if ((edges[i].a == a && edges[i].b == b) || (edges[i].a == b && edges[i].b == a)) return static_cast<int>(i);
  }
  return -1;
}

CVector CShape::GetMin() const {
  constexpr float kBig = std::numeric_limits<float>::max();
  CVector r{kBig, kBig, kBig};
  for (const CShapeVertex& v : vertices) {
    r.x = std::min(r.x, v.position.x);
    r.y = std::min(r.y, v.position.y);
    r.z = std::min(r.z, v.position.z);
  }
  return r;
}

CVector CShape::GetMax() const {
  constexpr float kBig = std::numeric_limits<float>::max();
  CVector r{-kBig, -kBig, -kBig};
  for (const CShapeVertex& v : vertices) {
    r.x = std::max(r.x, v.position.x);
    r.y = std::max(r.y, v.position.y);
    r.z = std::max(r.z, v.position.z);
  }
  return r;
}

CVector CShape::GetCentre() const {
  if (vertices.empty()) return {0, 0, 0};
  CVector sum{};
  for (const CShapeVertex& v : vertices) sum = sum + v.position;
  return sum * (1.0f / static_cast<float>(vertices.size()));
}

int CShape::NodeOfVertex(int vertex) const {
  long long first = 0;
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    const long long next = first + nodes[i].vertexCount;
    if (vertex >= first && vertex < next) return static_cast<int>(i);
    first = next;
  }
  return 0;
}

int CShape::FirstVertexOfNode(int node) const {
  if (node < 0 || node >= NodeCount()) return -1;
  int first = 0;
  for (int i = 0; i < node; ++i) first += nodes[static_cast<std::size_t>(i)].vertexCount;
  return first;
}

void CShape::ReorderSides(const std::vector<int>& newToOld) {
  std::vector<int> origin;
  origin.reserve(newToOld.size());
  for (int old : newToOld)
    origin.push_back(static_cast<std::size_t>(old) < sideOrigin_.size() ? sideOrigin_[static_cast<std::size_t>(old)] : -1);
  sideOrigin_ = std::move(origin);

  const std::size_t n = sides.size();
  std::vector<unsigned char> placed(n, 0);
  bool permutation = newToOld.size() == n;
  for (std::size_t i = 0; i < newToOld.size() && permutation; ++i) {
    const auto old = static_cast<std::size_t>(newToOld[i]);
    permutation = old < n && !placed[old];
    if (permutation) placed[old] = 1;
  }
  if (!permutation) {
    std::vector<CSide> kept;
    kept.reserve(newToOld.size());
    for (int old : newToOld) kept.push_back(sides[static_cast<std::size_t>(old)]);
    sides = std::move(kept);
    return;
  }
  // A reordering of every side moves them in place, cycle by cycle: no second
  // copy of a large side list to fault in.
  std::fill(placed.begin(), placed.end(), 0);
  for (std::size_t i = 0; i < n; ++i) {
    if (placed[i]) continue;
    const CSide first = sides[i];
    std::size_t j = i;
    for (;;) {
      placed[j] = 1;
      const auto from = static_cast<std::size_t>(newToOld[j]);
      if (from == i) {
        sides[j] = first;
        break;
      }
      sides[j] = sides[from];
      j = from;
    }
  }
}

void CShape::RemoveDegenerateSides() {
  const std::uint32_t n = static_cast<std::uint32_t>(vertices.size());
  std::vector<int> keep;
  keep.reserve(sides.size());
  for (std::size_t i = 0; i < sides.size(); ++i) {
    CSide& s = sides[i];
    if (s.index[0] >= n || s.index[1] >= n || s.index[2] >= n || s.index[3] >= n) continue;
    if (s.Validate()) keep.push_back(static_cast<int>(i));
  }
  if (keep.size() != sides.size()) ReorderSides(keep);
}

void CShape::SortSides() {
  std::vector<std::uint32_t> keys(sides.size());
  for (std::size_t i = 0; i < sides.size(); ++i) keys[i] = sides[i].SortKey();
  std::vector<int> order(sides.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    return keys[static_cast<std::size_t>(a)] < keys[static_cast<std::size_t>(b)];
  });
  ReorderSides(order);
}

void CShape::Rebuild() {
  if (rebuildDepth_++ == 0) {
    sideOrigin_.resize(sides.size());
    std::iota(sideOrigin_.begin(), sideOrigin_.end(), 0);
  }
  RemoveDegenerateSides();
  LinkShapeNodes(nodes);
  if (!mrm.order.empty()) BuildProgressive();
  else SortSides();

  const std::size_t nv = vertices.size();
  std::size_t first = 0;
  for (CShapeNode& node : nodes) {
    node.flags &= ~kNodeClassMask;
    const std::size_t count = node.vertexCount > 0 ? static_cast<std::size_t>(node.vertexCount) : 0;
    for (std::size_t v = first; v < first + count && v < nv; ++v) {
      switch (vertices[v].flags & kVertexClassMask) {
        case 1: node.flags |= kNodeClass1; break;
        case 2: node.flags |= kNodeClass2; break;
        case 3: node.flags |= kNodeClass3; break;
        default: break;
      }
    }
    first += count;
  }
  ComputeNormals();
  BuildEdges();
  --rebuildDepth_;
}

int CShape::SideAfterRebuild(int before) const {
  if (before < 0) return -1;
  for (std::size_t i = 0; i < sideOrigin_.size(); ++i) {
    if (sideOrigin_[i] == before) return static_cast<int>(i);
  }
  return -1;
}

void CShape::ComputeNormals() {
  for (CShapeVertex& v : vertices) v.normal = {0, 0, 0};
  const std::size_t nv = vertices.size();
  for (const CSide& s : sides) {
    const int corners = s.CornerCount();
    bool inRange = true;
    for (int j = 0; j < corners; ++j) inRange = inRange && s.index[j] < nv;
    if (!inRange) continue;
    CVector n = TriangleNormal(vertices[s.index[0]].position, vertices[s.index[1]].position,
                               vertices[s.index[2]].position);
    Normalize(n);
    for (int j = 0; j < corners; ++j) {
      CVector& vn = vertices[s.index[j]].normal;
      vn = vn + n;
    }
  }
  for (CShapeVertex& v : vertices) Normalize(v.normal);
}

void CShape::BuildEdges() {
  edges = {};
  sideEdges.assign(sides.size(), CSideEdge{});
  std::uint32_t maxIndex = 0;
  for (const CSide& s : sides)
    for (std::uint32_t i : s.index) maxIndex = std::max(maxIndex, i);
  // Edges are found through lists keyed by their lower vertex, so the work
  // grows with the side count; indices far beyond the vertices (a mesh not
  // yet rebuilt) use a hash map instead of a huge table.
  const bool table = !sides.empty() && maxIndex < vertices.size() + 65536;
  std::vector<std::int32_t> head(table ? maxIndex + 1 : 0, -1);
  std::vector<std::int32_t> next;
  next.reserve(sides.size() * 2);
  std::unordered_map<std::uint64_t, std::uint32_t> known;
  auto find = [&](std::uint32_t lo, std::uint32_t hi) -> std::int32_t {
    if (!table) {
      auto it = known.find((static_cast<std::uint64_t>(lo) << 32) | hi);
      return it == known.end() ? -1 : static_cast<std::int32_t>(it->second);
    }
    for (std::int32_t e = head[lo]; e >= 0; e = next[static_cast<std::size_t>(e)]) {
      const CEdge& edge = edges[static_cast<std::size_t>(e)];
      if (std::max(edge.a, edge.b) == hi) return e;
    }
    return -1;
  };
  for (std::size_t i = 0; i < sides.size(); ++i) {
    const CSide& s = sides[i];
    const int corners = s.CornerCount();
    for (int j = 0; j < corners; ++j) {
      const std::uint32_t a = s.index[j];
      const std::uint32_t b = s.index[(j + 1) % corners];
      const std::uint32_t lo = std::min(a, b), hi = std::max(a, b);
      std::int32_t e = find(lo, hi);
      if (e < 0) {
        e = static_cast<std::int32_t>(edges.size());
        edges.push_back({a, b});
        if (table) {
          next.push_back(head[lo]);
          head[lo] = e;
        } else {
          known.emplace((static_cast<std::uint64_t>(lo) << 32) | hi, static_cast<std::uint32_t>(e));
        }
      }
      const CEdge& edge = edges[static_cast<std::size_t>(e)];
      sideEdges[i].edge[j] = static_cast<std::uint32_t>(e) | ((edge.a == a && edge.b == b) ? 0u : kEdgeReversed);
    }
  }
}

std::size_t VertexWelder::KeyHash::operator()(const CVector& v) const {
  auto bits = [](float f) { return f == 0.0f ? 0u : std::bit_cast<std::uint32_t>(f); };
  std::uint64_t h = bits(v.x);
  h = h * 0x9E3779B97F4A7C15ull ^ bits(v.y);
  h = h * 0x9E3779B97F4A7C15ull ^ bits(v.z);
  return static_cast<std::size_t>(h ^ (h >> 29));
}

void VertexWelder::CatchUp() {
  if (indexed_ > shape_.vertices.size()) {
    first_.clear();
    indexed_ = 0;
  }
  for (; indexed_ < shape_.vertices.size(); ++indexed_) {
    first_.try_emplace(shape_.vertices[indexed_].position, static_cast<int>(indexed_));
  }
}

int VertexWelder::Find(const CVector& p) {
  CatchUp();
  auto it = first_.find(p);
  return it == first_.end() ? -1 : it->second;
}

int VertexWelder::FindOrAdd(const CVector& p) {
  const int found = Find(p);
  if (found >= 0) return found;
  CShapeVertex v;
  v.position = p;
  return shape_.AddVertex(v);
}

void CShape::AddTriangle(const CVector& p0, const CVector& p1, const CVector& p2, VertexWelder* welder) {
  AddQuad(p0, p1, p2, p2, welder);
}

void CShape::AddQuad(const CVector& p0, const CVector& p1, const CVector& p2, const CVector& p3,
                     VertexWelder* welder) {
  const CVector* corners[4] = {&p0, &p1, &p2, &p3};
  CSide side;
  const int n = (&p3 == &p2) ? 3 : 4;
  for (int j = 0; j < n; ++j) {
    int index = welder ? welder->Find(*corners[j]) : FindVertex(corners[j]->x, corners[j]->y, corners[j]->z);
    if (index < 0) {
      CShapeVertex v;
      v.position = *corners[j];
      index = AddVertex(v);
    }
    side.index[j] = static_cast<std::uint32_t>(index);
  }
  if (n == 3) side.index[3] = side.index[2];
  AddSide(side);
}

}  // namespace pavix
