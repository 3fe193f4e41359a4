#include "meshedit/core/progressive_mesh.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "datafiles/common/exchange_sort.h"
#include "meshedit/core/shape.h"
#include "meshedit/core/side_levels.h"

namespace pavix {

namespace {

template <class List>
void AddUnique(List& list, int value) {
  if (std::find(list.begin(), list.end(), value) == list.end()) list.push_back(value);
}

template <class List>
void RemoveValue(List& list, int value) {
  auto it = std::find(list.begin(), list.end(), value);
  if (it != list.end()) list.erase(it);
}

// (key, vertex) as one integer in the queue's order: keys as floats compare,
// equal keys by vertex. A key that is not a number goes last.
std::uint64_t QueueKey(float key, int vertex) {
  std::uint32_t bits = 0xFFFFFFFFu;
  if (!std::isnan(key)) {
    if (key == 0) key = 0;  // -0 ties with +0
    std::memcpy(&bits, &key, sizeof bits);
    bits = (bits & 0x80000000u) ? ~bits : bits | 0x80000000u;
  }
  return std::uint64_t{bits} << 32 | static_cast<std::uint32_t>(vertex);
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

void CProgressiveMesh::Reserve(std::size_t vertices, std::size_t triangles) {
  vertices_.reserve(vertices);
  triangles_.reserve(triangles);
  surfaces_.reserve(triangles);
}

int CProgressiveMesh::AddVertex(const CVector& position, float penalty) {
  Vertex v;
  v.position = position;
  v.penalty = penalty;
  vertices_.push_back(std::move(v));
  ++remaining_;
  return static_cast<int>(vertices_.size()) - 1;
}

int CProgressiveMesh::AddTriangle(int side, int a, int b, int c, const CUv uv[3], std::uint32_t texture) {
  Triangle t;
  t.v[0] = a;
  t.v[1] = b;
  t.v[2] = c;
  Surface f;
  f.side = side;
  for (int k = 0; k < 3; ++k) f.uv[k] = uv[k];
  f.texture = texture;
  ComputeNormal(t);
  const int index = static_cast<int>(triangles_.size());
  triangles_.push_back(t);
  surfaces_.push_back(f);
  for (int k = 0; k < 3; ++k) {
    const auto vk = static_cast<std::size_t>(t.v[k]);
    Vertex& v = vertices_[vk];
    v.border = -1;
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

void CProgressiveMesh::Prune(int vi) {
  std::uint32_t& gone = vertices_[static_cast<std::size_t>(vi)].gone;
  if (gone == 0) return;
  gone = 0;
  vertices_[static_cast<std::size_t>(vi)].triangles.EraseIf(
                [this](int ti) { return !triangles_[static_cast<std::size_t>(ti)].alive; });
}

bool CProgressiveMesh::OnBorder(int vi) {
  Prune(vi);
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
  for (std::size_t k = 0; k < v.neighbours.size() && !border; ++k)
    border = sharedCounts_[static_cast<std::size_t>(v.neighbours[k])] <= 1;
  count(-1);
  return border;
}

bool CProgressiveMesh::Border(int vi) {
  signed char& known = vertices_[static_cast<std::size_t>(vi)].border;
  if (known < 0) known = OnBorder(vi) ? 1 : 0;
  return known != 0;
}

bool CProgressiveMesh::OnSeam(int vi) {
  Prune(vi);
  const Vertex& v = vertices_[static_cast<std::size_t>(vi)];
  if (v.triangles.size() < 2) return false;
  const auto t0 = static_cast<std::size_t>(v.triangles[0]);
  const Surface& first = surfaces_[t0];
  const CUv uv0 = first.uv[CornerOf(triangles_[t0], vi)];
  for (std::size_t k = 1; k < v.triangles.size(); ++k) {
    const auto tk = static_cast<std::size_t>(v.triangles[k]);
    const Surface& f = surfaces_[tk];
    if (f.texture != first.texture || !(f.uv[CornerOf(triangles_[tk], vi)] == uv0)) return true;
  }
  return false;
}

void CProgressiveMesh::GatherEdgeTriangles(int vi) {
  Prune(vi);
  const Vertex& v = vertices_[static_cast<std::size_t>(vi)];
  const std::size_t degree = v.neighbours.size(), fan = v.triangles.size();
  // The scratch is sized and written by index; the fan's normals go by
  // component, padded to whole groups of four for EdgeCost.
  const std::size_t padded = (fan + 3) & ~std::size_t{3};
  fanX_.resize(padded);
  fanY_.resize(padded);
  fanZ_.resize(padded);
  fanCount_ = fan;
  edgeStart_.resize(degree + 1);
  edgeFill_.resize(degree);
  edgeHits_.resize(3 * fan);
  const int* neighbours = v.neighbours.data();
  int* slot = slot_.data();
  int* start = edgeStart_.data();
  for (std::size_t k = 0; k < degree; ++k) slot[neighbours[k]] = static_cast<int>(k);
  std::fill(start, start + degree + 1, 0);
  std::pair<int, int>* hits = edgeHits_.data();
  std::size_t hitCount = 0;
  const int* fanTriangles = v.triangles.data();
  for (std::size_t p = 0; p < fan; ++p) {
    const Triangle& t = triangles_[static_cast<std::size_t>(fanTriangles[p])];
    fanX_[p] = t.normal.x;
    fanY_[p] = t.normal.y;
    fanZ_[p] = t.normal.z;
    auto hit = [&](int corner) {
      const int k = slot[corner];
      if (k < 0) return;
      hits[hitCount++] = {k, static_cast<int>(p)};
      ++start[k + 1];
    };
    const int a = t.v[0], b = t.v[1], c = t.v[2];
    hit(a);
    if (b != a) hit(b);
    if (c != a && c != b) hit(c);
  }
  for (std::size_t k = 0; k < degree; ++k) {
    start[k + 1] += start[k];
    slot[neighbours[k]] = -1;
  }
  // Each edge keeps its triangles in fan order: the cost's min and max see
  // them as they always have.
  edgeNormals_.resize(hitCount);
  int* fill = edgeFill_.data();
  std::copy(start, start + degree, fill);
  CVector* edgeNormals = edgeNormals_.data();
  for (std::size_t h = 0; h < hitCount; ++h) {
    const auto p = static_cast<std::size_t>(hits[h].second);
    edgeNormals[fill[hits[h].first]++] = CVector{fanX_[p], fanY_[p], fanZ_[p]};
  }
}

float CProgressiveMesh::EdgeCost(int u, int v, std::size_t k, const float* atLeast) const {
  const float length =
      Length(vertices_[static_cast<std::size_t>(v)].position - vertices_[static_cast<std::size_t>(u)].position);
  const CVector* first = edgeNormals_.data() + edgeStart_[k];
  const CVector* last = edgeNormals_.data() + edgeStart_[k + 1];
  // The curvature is a maximum of minima: neither depends on the order the
  // terms are taken in, so four of the fan's triangles are taken at once, each
  // term rounded as alone. A term is never -0 and the minimum never NaN (it
  // starts at 1 and only takes a smaller term), so max and min are exact.
  float curvature = 0;
  std::size_t t = 0;
#ifdef __SSE2__
  const __m128 one = _mm_set1_ps(1), half = _mm_set1_ps(0.5f);
  __m128 most = _mm_setzero_ps();
  for (; t < fanCount_; t += 4) {
    const __m128 tx = _mm_loadu_ps(fanX_.data() + t), ty = _mm_loadu_ps(fanY_.data() + t),
                 tz = _mm_loadu_ps(fanZ_.data() + t);
    __m128 smallest = one;
    for (const CVector* s = first; s != last; ++s) {
      const __m128 dot = _mm_add_ps(_mm_add_ps(_mm_mul_ps(tx, _mm_set1_ps(s->x)), _mm_mul_ps(ty, _mm_set1_ps(s->y))),
                                    _mm_mul_ps(tz, _mm_set1_ps(s->z)));
      smallest = _mm_min_ps(_mm_mul_ps(_mm_sub_ps(one, dot), half), smallest);
    }
    if (t + 4 > fanCount_) {
      // Lanes past the fan count as 0, which the maximum (at least 0) ignores.
      alignas(16) const std::uint32_t keep[4] = {0xFFFFFFFFu, t + 1 < fanCount_ ? 0xFFFFFFFFu : 0u,
                                                 t + 2 < fanCount_ ? 0xFFFFFFFFu : 0u, 0u};
      smallest = _mm_and_ps(smallest, _mm_load_ps(reinterpret_cast<const float*>(keep)));
    }
    most = _mm_max_ps(smallest, most);
    if (atLeast) {
      // The bound as before: once the product reaches it, the cost cannot win.
      __m128 high = _mm_max_ps(most, _mm_shuffle_ps(most, most, _MM_SHUFFLE(1, 0, 3, 2)));
      high = _mm_max_ps(high, _mm_shuffle_ps(high, high, _MM_SHUFFLE(2, 3, 0, 1)));
      if (length * _mm_cvtss_f32(high) >= *atLeast) return length * _mm_cvtss_f32(high);
    }
  }
  __m128 high = _mm_max_ps(most, _mm_shuffle_ps(most, most, _MM_SHUFFLE(1, 0, 3, 2)));
  high = _mm_max_ps(high, _mm_shuffle_ps(high, high, _MM_SHUFFLE(2, 3, 0, 1)));
  curvature = _mm_cvtss_f32(high);
#endif
  for (; t < fanCount_; ++t) {
    const CVector n{fanX_[t], fanY_[t], fanZ_[t]};
    float smallest = 1;
    for (const CVector* s = first; s != last; ++s) smallest = std::min(smallest, (1 - Dot(n, *s)) / 2);
    if (smallest > curvature) {
      curvature = smallest;
      // The curvature only grows and rounding keeps the product's order, so
      // once the product reaches the bound the final cost cannot fall below it.
      if (atLeast && length * curvature >= *atLeast) break;
    }
  }
  return length * curvature;
}

void CProgressiveMesh::SizeScratch() {
  const std::size_t n = vertices_.size();
  if (slot_.size() == n) return;
  slot_.resize(n, -1);
  queuePlace_.resize(n, -1);
  deferredBits_.resize(n, 0);
}

void CProgressiveMesh::ComputeCost(int vi) {
  SizeScratch();
  TestSeam(vi);
  ComputeCostWith(vi, false);
}

void CProgressiveMesh::TestSeam(int vi) {
  // The seam penalty never goes once taken, so the fan need not be searched again.
  Vertex& v = vertices_[static_cast<std::size_t>(vi)];
  if (v.penalty < kSeamPenalty && OnSeam(vi)) v.penalty = kSeamPenalty;
}

void CProgressiveMesh::Refresh(int vi, bool fanGained) {
  SizeScratch();
  if (fanGained) TestSeam(vi);
  const Vertex& v = vertices_[static_cast<std::size_t>(vi)];
  if (v.alive && v.penalty >= kSeamPenalty) Defer(vi);
  else ComputeCostWith(vi, false);
}

void CProgressiveMesh::Defer(int vi) {
  const Vertex& v = vertices_[static_cast<std::size_t>(vi)];
  // Only a vertex on the border reads its neighbours' border tests. A small
  // fan tells at once whether it is, sparing the tests of long fans nearby.
  constexpr std::size_t kSmallFan = 32;
  if (v.triangles.size() <= kSmallFan && !Border(vi)) {
    vertices_[static_cast<std::size_t>(vi)].deferred = true;
    PushKey(vi, QueueKey(v.penalty, vi));
    return;
  }
  const std::size_t degree = v.neighbours.size();
  if (degree <= 64) {
    std::uint64_t bits = 0;
    for (std::size_t k = 0; k < degree; ++k)
      if (Border(v.neighbours[k])) bits |= std::uint64_t{1} << k;
    deferredBits_[static_cast<std::size_t>(vi)] = bits;
  } else {
    std::vector<unsigned char>& flags = longDeferredBorders_[vi];
    flags.resize(degree);
    for (std::size_t k = 0; k < degree; ++k) flags[k] = Border(v.neighbours[k]) ? 1 : 0;
  }
  vertices_[static_cast<std::size_t>(vi)].deferred = true;
  PushKey(vi, QueueKey(v.penalty, vi));
}

bool CProgressiveMesh::DeferredBorder(int vi, std::size_t k) const {
  if (vertices_[static_cast<std::size_t>(vi)].neighbours.size() <= 64)
    return (deferredBits_[static_cast<std::size_t>(vi)] >> k & 1) != 0;
  return longDeferredBorders_.at(vi)[k] != 0;
}

void CProgressiveMesh::ComputeCostWith(int vi, bool deferredBorders) {
  SizeScratch();
  vertices_[static_cast<std::size_t>(vi)].deferred = false;
  Vertex& v = vertices_[static_cast<std::size_t>(vi)];
  v.target = -1;
  if (v.neighbours.empty()) {
    v.cost = 0;
  } else {
    v.cost = kSeamPenalty;
    GatherEdgeTriangles(vi);
    // The triangles found on each edge are the counts the border test makes.
    bool border = false;
    for (std::size_t k = 0; k < v.neighbours.size() && !border; ++k) border = edgeStart_[k + 1] - edgeStart_[k] <= 1;
    vertices_[static_cast<std::size_t>(vi)].border = border ? 1 : 0;
    for (std::size_t k = 0; k < v.neighbours.size(); ++k) {
      const int n = v.neighbours[k];
      if (border && !(deferredBorders ? DeferredBorder(vi, k) : Border(n))) continue;
      const float c = EdgeCost(vi, n, k, v.target < 0 ? nullptr : &v.cost);
      if (v.target < 0 || c < v.cost) {
        v.cost = c;
        v.target = n;
      }
    }
  }
  Push(vi);
}

void CProgressiveMesh::Push(int vi) {
  const Vertex& v = vertices_[static_cast<std::size_t>(vi)];
  PushKey(vi, QueueKey(v.cost + v.penalty, vi));
}

void CProgressiveMesh::PushKey(int vi, std::uint64_t key) {
  if (!vertices_[static_cast<std::size_t>(vi)].alive) return;
  int& place = queuePlace_[static_cast<std::size_t>(vi)];
  if (place < 0) {
    place = static_cast<int>(queue_.size());
    queue_.push_back(key);
    SiftUp(queue_.size() - 1);
    return;
  }
  const auto at = static_cast<std::size_t>(place);
  const std::uint64_t old = queue_[at];
  if (key == old) return;  // a waiting vertex queued again under its penalty
  queue_[at] = key;
  if (key < old) SiftUp(at);
  else SiftDown(at);
}

void CProgressiveMesh::Unqueue(int vi) {
  int& place = queuePlace_[static_cast<std::size_t>(vi)];
  if (place < 0) return;
  const auto at = static_cast<std::size_t>(place);
  place = -1;
  const std::uint64_t last = queue_.back();
  queue_.pop_back();
  if (at == queue_.size()) return;
  const std::uint64_t old = queue_[at];
  queue_[at] = last;
  queuePlace_[static_cast<std::size_t>(last & 0xFFFFFFFFu)] = static_cast<int>(at);
  if (last < old) SiftUp(at);
  else SiftDown(at);
}

void CProgressiveMesh::SiftUp(std::size_t at) {
  const std::uint64_t key = queue_[at];
  while (at > 0) {
    const std::size_t parent = (at - 1) / 2;
    if (queue_[parent] <= key) break;
    queue_[at] = queue_[parent];
    queuePlace_[static_cast<std::size_t>(queue_[at] & 0xFFFFFFFFu)] = static_cast<int>(at);
    at = parent;
  }
  queue_[at] = key;
  queuePlace_[static_cast<std::size_t>(key & 0xFFFFFFFFu)] = static_cast<int>(at);
}

void CProgressiveMesh::SiftDown(std::size_t at) {
  const std::uint64_t key = queue_[at];
  const std::size_t n = queue_.size();
  for (;;) {
    std::size_t child = 2 * at + 1;
    if (child >= n) break;
    if (child + 1 < n && queue_[child + 1] < queue_[child]) ++child;
    if (key <= queue_[child]) break;
    queue_[at] = queue_[child];
    queuePlace_[static_cast<std::size_t>(queue_[at] & 0xFFFFFFFFu)] = static_cast<int>(at);
    at = child;
  }
  queue_[at] = key;
  queuePlace_[static_cast<std::size_t>(key & 0xFFFFFFFFu)] = static_cast<int>(at);
}

void CProgressiveMesh::ComputeAllCosts() {
  for (std::size_t i = 0; i < vertices_.size(); ++i)
    if (vertices_[i].alive) Refresh(static_cast<int>(i));
}

int CProgressiveMesh::CountLocked() const {
  int n = 0;
  for (const Vertex& v : vertices_)
    if (v.alive && v.penalty >= kSeamPenalty) ++n;
  return n;
}

int CProgressiveMesh::LeastCostVertex() {
  while (!queue_.empty()) {
    const auto head = static_cast<std::size_t>(queue_.front() & 0xFFFFFFFFu);
    if (!vertices_[head].deferred) return static_cast<int>(head);
    ComputeCostWith(static_cast<int>(head), true);
  }
  return -1;
}

void CProgressiveMesh::RemoveTriangle(int ti) {
  Triangle& t = triangles_[static_cast<std::size_t>(ti)];
  if (!t.alive) return;
  t.alive = false;
  // The corners' lists drop it when next read (Prune), not by a search now.
  for (int c : t.v) ++vertices_[static_cast<std::size_t>(c)].gone;
}

void CProgressiveMesh::UnlinkUnshared(std::vector<int>& group) {
  // Unlinking commutes and reads only the triangles, which stay put here: each
  // pair is judged once, from both ends, whatever the order.
  std::sort(group.begin(), group.end());
  group.erase(std::unique(group.begin(), group.end()), group.end());
  auto holds = [this](int a, int b) {
    for (int ti : vertices_[static_cast<std::size_t>(a)].triangles) {
      const Triangle& t = triangles_[static_cast<std::size_t>(ti)];
      if (t.alive && CornerOf(t, b) >= 0) return true;
    }
    return false;
  };
  for (std::size_t i = 0; i < group.size(); ++i) {
    for (std::size_t j = i + 1; j < group.size(); ++j) {
      const int a = group[i], b = group[j];
      const Vertex& va = vertices_[static_cast<std::size_t>(a)];
      const Vertex& vb = vertices_[static_cast<std::size_t>(b)];
      bool shared;
      if (va.alive && vb.alive) {
        // A live vertex lists exactly the live triangles it is a corner of,
        // so the shorter list answers for both ends.
        shared = va.triangles.size() <= vb.triangles.size() ? holds(a, b) : holds(b, a);
      } else {
        shared = holds(a, b) && holds(b, a);
      }
      if (shared) continue;
      RemoveValue(vertices_[static_cast<std::size_t>(a)].neighbours, b);
      RemoveValue(vertices_[static_cast<std::size_t>(b)].neighbours, a);
    }
  }
}

void CProgressiveMesh::FindKeptInteriors(int u, int v) {
  const std::size_t count = formerNeighbours_.size();
  keptInterior_.assign(count, 0);
  if (v < 0) return;  // all of u's triangles go: any neighbour may lose an edge's last two
  // What each former neighbour's count of triangles on its edge to v gains:
  // one for each of u's triangles that moves to v, less one for each that
  // goes. Its other edges keep their triangles: a triangle that goes has no
  // corner besides u, v and itself. Broken triangles (a corner repeated) and
  // corners that are not u's neighbours make no promise.
  edgeGain_.assign(count, 0);
  for (std::size_t k = 0; k < count; ++k) slot_[static_cast<std::size_t>(formerNeighbours_[k])] = static_cast<int>(k);
  bool plain = true;
  for (int ti : collapsed_) {
    Triangle& t = triangles_[static_cast<std::size_t>(ti)];
    if (t.mark || t.v[0] == t.v[1] || t.v[1] == t.v[2] || t.v[0] == t.v[2]) {
      plain = false;
      break;
    }
    t.mark = true;
    const bool goes = CornerOf(t, v) >= 0;
    for (int c : t.v) {
      if (c == u || c == v) continue;
      const int k = slot_[static_cast<std::size_t>(c)];
      if (k < 0) {
        plain = false;
        break;
      }
      edgeGain_[static_cast<std::size_t>(k)] += goes ? -1 : 1;
    }
    if (!plain) break;
  }
  for (int ti : collapsed_) triangles_[static_cast<std::size_t>(ti)].mark = false;
  for (int n : formerNeighbours_) slot_[static_cast<std::size_t>(n)] = -1;
  if (!plain) return;
  // A neighbour known to be off the border had at least two triangles on each
  // edge, its edge to v included if it had one; with at least two on the edge
  // to v afterwards it stays off the border.
  for (std::size_t k = 0; k < count; ++k) {
    const int n = formerNeighbours_[k];
    const Vertex& vn = vertices_[static_cast<std::size_t>(n)];
    if (n == u || n == v || vn.border != 0) continue;
    bool linkedToV = false, linkedToItself = false;
    for (int x : vn.neighbours) {
      linkedToV |= x == v;
      linkedToItself |= x == n;
    }
    keptInterior_[k] = !linkedToItself && (linkedToV ? 2 : 0) + edgeGain_[k] >= 2;
  }
}

CUv CProgressiveMesh::Collapse(int u) {
  SizeScratch();
  Prune(u);
  const Vertex& vu0 = vertices_[static_cast<std::size_t>(u)];
  formerNeighbours_.assign(vu0.neighbours.begin(), vu0.neighbours.end());
  collapsed_.assign(vu0.triangles.begin(), vu0.triangles.end());
  // A waiting vertex whose fan changes here without its cost falling due
  // (only broken sides allow it) is worked out first, as it stands.
  for (int n : formerNeighbours_) vertices_[static_cast<std::size_t>(n)].mark = 1;
  for (int ti : collapsed_)
    for (int c : triangles_[static_cast<std::size_t>(ti)].v)
      if (vertices_[static_cast<std::size_t>(c)].deferred && !vertices_[static_cast<std::size_t>(c)].mark)
        ComputeCostWith(c, true);
  for (int n : formerNeighbours_) vertices_[static_cast<std::size_t>(n)].mark = 0;
  Vertex& vu = vertices_[static_cast<std::size_t>(u)];
  const int v = vu.target;
  FindKeptInteriors(u, v);
  CUv pair{0, 0};
  const std::vector<int>& tris = collapsed_;
  if (v >= 0) {
    for (int ti : tris) {
      const Triangle& t = triangles_[static_cast<std::size_t>(ti)];
      const int corner = CornerOf(t, v);
      if (corner >= 0) {
        pair = surfaces_[static_cast<std::size_t>(ti)].uv[corner];
        break;
      }
    }
    for (int ti : tris) {
      const Triangle& t = triangles_[static_cast<std::size_t>(ti)];
      surfaces_[static_cast<std::size_t>(ti)].uv[CornerOf(t, u)] = pair;
    }
  }
  // Triangles that vanish: all of them without a target, else those on the edge.
  touched_.clear();
  for (int ti : tris) {
    const Triangle& t = triangles_[static_cast<std::size_t>(ti)];
    if (v < 0 || CornerOf(t, v) >= 0) {
      for (int k = 0; k < 3; ++k) touched_.push_back(t.v[k]);
      RemoveTriangle(ti);
    }
  }
  if (v >= 0) {
    // Neighbour links always go both ways, so v's list alone (marked here,
    // not searched) tells whether a link is new.
    Vertex& vv = vertices_[static_cast<std::size_t>(v)];
    for (int n : vv.neighbours) vertices_[static_cast<std::size_t>(n)].mark = 1;
    for (int ti : tris) {
      Triangle& t = triangles_[static_cast<std::size_t>(ti)];
      if (!t.alive) continue;
      t.v[CornerOf(t, u)] = v;
      vv.triangles.push_back(ti);
      for (int k = 0; k < 3; ++k) {
        const int x = t.v[k];
        if (x == v || vertices_[static_cast<std::size_t>(x)].mark) continue;
        vertices_[static_cast<std::size_t>(x)].mark = 1;
        vv.neighbours.push_back(x);
        vertices_[static_cast<std::size_t>(x)].neighbours.push_back(v);
      }
      ComputeNormal(t);
    }
    for (int n : vv.neighbours) vertices_[static_cast<std::size_t>(n)].mark = 0;
  }
  Vertex& gone = vertices_[static_cast<std::size_t>(u)];
  gone.triangles.clear();
  for (int n : formerNeighbours_) RemoveValue(vertices_[static_cast<std::size_t>(n)].neighbours, u);
  gone.neighbours.clear();
  gone.alive = false;
  Unqueue(u);
  --remaining_;
  // Every fan that changed holds one of these vertices: forget their borders.
  auto forget = [this](int x) { vertices_[static_cast<std::size_t>(x)].border = -1; };
  forget(u);
  if (v >= 0) forget(v);
  for (int n : formerNeighbours_) forget(n);
  for (int x : touched_) forget(x);
  for (int ti : tris)
    for (int c : triangles_[static_cast<std::size_t>(ti)].v) forget(c);
  std::erase(touched_, u);
  UnlinkUnshared(touched_);
  for (std::size_t k = 0; k < formerNeighbours_.size(); ++k)
    if (keptInterior_[k]) vertices_[static_cast<std::size_t>(formerNeighbours_[k])].border = 0;
  // Only v gained triangles. The others lost some and kept their corners'
  // mappings, and a fan without a seam keeps none when it loses triangles.
  for (int n : formerNeighbours_) Refresh(n, n == v);
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
  std::vector<CLevelRun> runs;
  std::size_t first = 0;
  for (const CShapeNode& node : nodes) {
    std::size_t count = node.vertexCount > 0 ? static_cast<std::size_t>(node.vertexCount) : 0;
    count = std::min(count, nv - std::min(first, nv));
    runs.push_back({first, count, 0});
    first += count;
  }

  // The sides whose corners all lie in one node, by node, in side order.
  std::vector<int> runOf(nv, -1);
  for (std::size_t k = 0; k < runs.size(); ++k)
    for (std::size_t i = 0; i < runs[k].count; ++i) runOf[runs[k].first + i] = static_cast<int>(k);
  auto sideRun = [&](const CSide& s) {
    for (int j = 0; j < 3; ++j)
      if (s.index[j] >= nv) return -1;
    const int k = runOf[s.index[0]];
    return k == runOf[s.index[1]] && k == runOf[s.index[2]] ? k : -1;
  };
  std::vector<std::size_t> sideStart(runs.size() + 1, 0);
  for (const CSide& s : sides)
    if (const int k = sideRun(s); k >= 0) ++sideStart[static_cast<std::size_t>(k) + 1];
  for (std::size_t k = 0; k < runs.size(); ++k) sideStart[k + 1] += sideStart[k];
  std::vector<std::size_t> sideFill(sideStart.begin(), sideStart.end() - 1);
  std::vector<std::size_t> sidesByRun(sideStart.back());
  for (std::size_t si = 0; si < sides.size(); ++si)
    if (const int k = sideRun(sides[si]); k >= 0) sidesByRun[sideFill[static_cast<std::size_t>(k)]++] = si;

  for (std::size_t k = 0; k < nodes.size(); ++k) {
    const std::size_t g = runs[k].first, n = runs[k].count;
    if (n == 0) continue;
    CProgressiveMesh pm;
    pm.Reserve(n, sideStart[k + 1] - sideStart[k]);
    for (std::size_t i = 0; i < n; ++i) {
      const CShapeVertex& v = vertices[g + i];
      pm.AddVertex(v.position, (v.flags & kVertexLocked) ? kLockedPenalty : 0.0f);
    }
    for (std::size_t at = sideStart[k]; at < sideStart[k + 1]; ++at) {
      const std::size_t si = sidesByRun[at];
      const CSide& s = sides[si];
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

  for (std::size_t k = 0; k < nodes.size(); ++k) runs[k].locked = nodes[k].lockedCount;
  const std::vector<int> level = SideLevels(mrm.order, runs, sides);
  for (std::uint32_t& o : mrm.order) o |= 0x80000000u;

  // Sides of one level keep the exchange sort's order, not the file's: the
  // side order is stored, so it must come out as it always has.
  // Levels run from -1 to 256: shifted, they serve as ranks without a sort.
  std::vector<std::uint32_t> ranks(level.size());
  for (std::size_t si = 0; si < level.size(); ++si) ranks[si] = static_cast<std::uint32_t>(level[si] + 1);
  const std::vector<std::uint32_t> sorted = ExchangeSortOrderOfRanks(ranks);
  ReorderSides(std::vector<int>(sorted.begin(), sorted.end()));
}

}  // namespace pavix
