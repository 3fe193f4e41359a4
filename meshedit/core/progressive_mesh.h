#pragma once
// The temporary graph of the progressive-mesh build: one node's vertices and
// triangles, collapsed edge by edge from the least important vertex.
#include <cstdint>
#include <queue>
#include <vector>

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
    CVector position;
    int local = 0;
    std::vector<int> neighbours;
    std::vector<int> triangles;
    float cost = 0;
    float penalty = 0;
    int target = -1;
    bool alive = true;
    std::uint32_t stamp = 0;
  };
  struct Triangle {
    int side = 0;
    int v[3] = {};
    CUv uv[3];
    std::uint32_t texture = 0;
    CVector normal;
    bool alive = true;
  };

  int AddVertex(const CVector& position, int local, float penalty);
  // Local vertex indices; neighbours are registered both ways.
  int AddTriangle(int side, int a, int b, int c, const CUv uv[3], std::uint32_t texture);
  void ComputeNormal(Triangle& t);
  void ComputeAllCosts();
  void ComputeCost(int v);
  // The live vertex of least cost + penalty, the first in list order on ties;
  // -1 when none is left.
  int LeastCostVertex();
  // Collapses v into its target (or removes it with its triangles when it has
  // none); returns the texture coordinates its corners took.
  CUv Collapse(int v);
  int CountLocked() const;
  int Remaining() const { return remaining_; }

  const Vertex& vertex(int i) const { return vertices_[static_cast<std::size_t>(i)]; }
  const Triangle& triangle(int i) const { return triangles_[static_cast<std::size_t>(i)]; }

 private:
  bool OnBorder(int v) const;
  bool OnSeam(int v) const;
  float EdgeCost(int u, int v) const;
  void RemoveTriangle(int t);
  void RemoveIfNotNeighbour(int a, int b);
  void Push(int v);

  struct QueueEntry {
    float key;
    int vertex;
    std::uint32_t stamp;
    bool operator>(const QueueEntry& o) const { return key != o.key ? key > o.key : vertex > o.vertex; }
  };
  std::vector<Vertex> vertices_;
  std::vector<Triangle> triangles_;
  std::priority_queue<QueueEntry, std::vector<QueueEntry>, std::greater<QueueEntry>> queue_;
  int remaining_ = 0;
  // Scratch space of the cost functions, kept between calls.
  mutable std::vector<const Triangle*> edgeTriangles_;
  mutable std::vector<int> sharedCounts_;
};

}  // namespace pavix
