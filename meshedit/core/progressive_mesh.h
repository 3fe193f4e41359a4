#pragma once
// The temporary graph of the progressive-mesh build: one node's vertices and
// triangles, collapsed edge by edge from the least important vertex.
#include <cstdint>
#include <unordered_map>
#include <utility>
#include <vector>

#include "meshedit/core/fan_list.h"
#include "meshedit/core/matrix.h"

namespace pavix {

inline constexpr float kLockedPenalty = 3.4e37f;        // bits 0x7DCCCCCC
inline constexpr float kSeamPenalty = 1.7014117e37f;    // bits 0x7D4CCCCC, also the starting cost
inline constexpr int kDetailLevels = 257;                // levels 0..256

// Vertices present in a node of n vertices with `locked` always present, at
// a detail level 0..256.
int PresentVertexCount(int n, int locked, int level);

class CProgressiveMesh {
 public:
  struct Vertex {
    // The build's per-vertex state sits with the vertex (96 bytes): a
    // collapse reads it all for each vertex it touches.
    CVector position;
    // How many of the triangles its list names have gone since it was pruned.
    std::uint32_t gone = 0;
    CFanList neighbours;
    CFanList triangles;  // may still name triangles that have gone (not alive)
    float cost = 0;
    float penalty = 0;
    int target = -1;
    bool alive = true;
    signed char border = -1;  // -1 not known, else OnBorder's last answer
    // Its cost waits until it heads the queue (see deferredBits_).
    bool deferred = false;
    unsigned char mark = 0;  // scratch, 0 between calls
  };
  // What the cost and border searches read, two to a cache line; the rest
  // of a triangle is kept apart (Surface) so a large mesh's fans stay cached.
  struct alignas(32) Triangle {
    int v[3] = {};
    CVector normal;
    bool alive = true;
    bool mark = false;  // scratch, false between calls
  };
  struct Surface {
    int side = 0;
    CUv uv[3];
    std::uint32_t texture = 0;
  };

  void Reserve(std::size_t vertices, std::size_t triangles);
  int AddVertex(const CVector& position, float penalty);
  // Local vertex indices; neighbours are registered both ways.
  int AddTriangle(int side, int a, int b, int c, const CUv uv[3], std::uint32_t texture);
  void ComputeNormal(Triangle& t);
  void ComputeAllCosts();
  void ComputeCost(int v);
  // The live vertex of least cost + penalty, the first in list order on ties;
  // -1 when none is left. Its cost and target are then current; those of a
  // vertex carrying the seam or locked penalty may lag until it is returned.
  int LeastCostVertex();
  // Collapses v into its target (or removes it with its triangles when it has
  // none); returns the texture coordinates its corners took.
  CUv Collapse(int v);
  int CountLocked() const;
  int Remaining() const { return remaining_; }

  const Vertex& vertex(int i) const { return vertices_[static_cast<std::size_t>(i)]; }
  const Triangle& triangle(int i) const { return triangles_[static_cast<std::size_t>(i)]; }
  const Surface& surface(int i) const { return surfaces_[static_cast<std::size_t>(i)]; }

 private:
  // Drops the triangles that have gone from v's list, keeping the order.
  void Prune(int v);
  bool OnBorder(int v);
  // OnBorder, remembered until a collapse changes the vertex's fan.
  bool Border(int v);
  bool OnSeam(int v);
  // Sorts the normals of v's triangles by the neighbour whose edge they lie
  // on, in one pass over the fan.
  void GatherEdgeTriangles(int v);
  // Cost of collapsing u into its k-th neighbour v, after GatherEdgeTriangles(u).
  // With a bound, the search may stop at any value not below it.
  float EdgeCost(int u, int v, std::size_t k, const float* atLeast) const;
  void RemoveTriangle(int t);
  // Before u collapses into v: which of u's neighbours, known to be off the
  // border, are sure to stay off it (keptInterior_), so that their border
  // tests need not be made again.
  void FindKeptInteriors(int u, int v);
  // Drops the neighbour links between the distinct vertices of `group` that
  // no longer share a triangle.
  void UnlinkUnshared(std::vector<int>& group);
  // Takes the seam penalty if v's fan now has a seam.
  void TestSeam(int v);
  // What a change to v's fan calls for: its cost now or, under a penalty,
  // a place in the queue to wait for it (Defer). Without `fanGained` (its fan
  // only lost triangles) the seam test is not made again.
  void Refresh(int v, bool fanGained = true);
  // The cost part of ComputeCost; with `deferredBorders` the neighbours'
  // border tests are those Defer kept instead of made now.
  void ComputeCostWith(int v, bool deferredBorders);
  // The border test of v's k-th neighbour as Defer kept it.
  bool DeferredBorder(int v, std::size_t k) const;
  void Defer(int v);
  // Puts v in the queue of live vertices at its present cost, or moves it.
  void Push(int v);
  void PushKey(int v, std::uint64_t key);
  void Unqueue(int v);
  void SiftUp(std::size_t at);
  void SiftDown(std::size_t at);
  void SizeScratch();

  std::vector<Vertex> vertices_;
  std::vector<Triangle> triangles_;
  std::vector<Surface> surfaces_;
  // A binary heap holding each live vertex once, ordered by (cost + penalty,
  // index) packed into one integer; queuePlace_ is each vertex's place, or -1.
  std::vector<std::uint64_t> queue_;
  std::vector<int> queuePlace_;
  // A vertex whose penalty is at least the seam penalty cannot be taken while
  // a vertex without one is left (its key is at least its penalty), so its
  // cost is worked out only when it reaches the head of the queue. Until then
  // it waits there under its penalty alone, with the border flags of its
  // neighbours as they stood when its cost was due: all else the cost reads
  // is its own fan, which does not change before it is worked out.
  // One bit per neighbour (bit k for the k-th); a fan of more than 64
  // neighbours keeps a flag each in the map instead.
  std::vector<std::uint64_t> deferredBits_;
  std::unordered_map<int, std::vector<unsigned char>> longDeferredBorders_;
  int remaining_ = 0;
  // Scratch space, kept between calls. Per-vertex arrays are all -1 or 0
  // between calls.
  std::vector<int> sharedCounts_;
  std::vector<int> slot_;
  std::vector<float> fanX_, fanY_, fanZ_;  // the fan's normals by component
  std::size_t fanCount_ = 0;
  std::vector<int> edgeStart_, edgeFill_;
  std::vector<std::pair<int, int>> edgeHits_;
  std::vector<CVector> edgeNormals_;
  std::vector<int> formerNeighbours_, collapsed_, touched_;
  std::vector<int> edgeGain_;
  std::vector<unsigned char> keptInterior_;
};

}  // namespace pavix
