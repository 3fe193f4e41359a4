#include "meshedit/core/side_levels.h"

#include <algorithm>
#include <numeric>

#include "meshedit/core/progressive_mesh.h"

namespace pavix {

namespace {

constexpr int kTopLevel = kDetailLevels - 1;

// For each k below the run's count, the highest level at which at most k of
// its vertices are present, or -1: one sweep of the levels, as the count
// present never falls as the level rises.
std::vector<int> LastLevelsWithAtMost(const CLevelRun& run) {
  const int n = static_cast<int>(run.count);
  std::vector<int> last(run.count, -1);
  for (int level = 0; level < kDetailLevels; ++level) {
    const auto present = static_cast<std::size_t>(PresentVertexCount(n, run.locked, level));
    if (present < last.size()) last[present] = level;
  }
  for (std::size_t k = 1; k < last.size(); ++k) last[k] = std::max(last[k], last[k - 1]);
  return last;
}

// The collapse order as a forest: each node's first vertex is a root, every
// other vertex hangs below the vertex it collapses into, which comes before
// it. Jump pointers (each vertex's jump skips a power-of-two-like stretch of
// its ancestors) find ancestors in logarithmic steps with two words a vertex.
class CollapseForest {
 public:
  CollapseForest(std::span<const std::uint32_t> order, std::span<const CLevelRun> runs)
      : order_(order), node_(order.size(), -1), depth_(order.size(), 0), jump_(order.size()) {
    for (std::size_t k = 0; k < runs.size(); ++k) {
      const CLevelRun& run = runs[k];
      for (std::size_t i = 0; i < run.count; ++i) {
        const std::size_t v = run.first + i;
        node_[v] = static_cast<int>(k);
        if (i == 0) {
          jump_[v] = static_cast<std::uint32_t>(v);
          continue;
        }
        const std::uint32_t p = order[v];
        depth_[v] = depth_[p] + 1;
        const std::uint32_t jp = jump_[p];
        jump_[v] = depth_[p] - depth_[jp] == depth_[jp] - depth_[jump_[jp]] ? jump_[jp] : p;
      }
    }
  }

  // Whether every run is such a forest.
  static bool Holds(std::span<const std::uint32_t> order, std::span<const CLevelRun> runs) {
    for (const CLevelRun& run : runs)
      for (std::size_t i = 1; i < run.count; ++i) {
        const std::size_t v = run.first + i;
        if (order[v] >= v || order[v] < run.first) return false;
      }
    return true;
  }

  int Node(std::uint32_t v) const { return node_[v]; }

  // x and y are distinct vertices of one node. Of the two vertices just below
  // their lowest common ancestor, on the paths to x and to y, the smaller
  // (only one when one is the other's ancestor). The pair shares a
  // representative exactly while that vertex is absent: every vertex below it
  // on those paths has a higher index.
  std::uint32_t SplitVertex(std::uint32_t x, std::uint32_t y) const {
    if (depth_[x] < depth_[y]) std::swap(x, y);
    const std::uint32_t lifted = Ancestor(x, depth_[y]);
    if (lifted == y) return Ancestor(x, depth_[y] + 1);
    x = lifted;
    while (order_[x] != order_[y]) {
      if (jump_[x] != jump_[y]) {
        x = jump_[x];
        y = jump_[y];
      } else {
        x = order_[x];
        y = order_[y];
      }
    }
    return std::min(x, y);
  }

 private:
  std::uint32_t Ancestor(std::uint32_t v, std::uint32_t depth) const {
    while (depth_[v] > depth) v = depth_[jump_[v]] >= depth ? jump_[v] : order_[v];
    return v;
  }

  std::span<const std::uint32_t> order_;
  std::vector<int> node_;
  std::vector<std::uint32_t> depth_;
  std::vector<std::uint32_t> jump_;
};

}  // namespace

std::vector<int> SideLevels(std::span<const std::uint32_t> order, std::span<const CLevelRun> runs,
                            std::span<const CSide> sides) {
  if (!CollapseForest::Holds(order, runs)) return SideLevelsByPasses(order, runs, sides);
  const CollapseForest forest(order, runs);
  std::vector<std::vector<int>> lastLevels;
  lastLevels.reserve(runs.size());
  for (const CLevelRun& run : runs) lastLevels.push_back(LastLevelsWithAtMost(run));
  auto pairLevel = [&](std::uint32_t x, std::uint32_t y) {
    if (x == y) return kTopLevel;
    const int node = forest.Node(x);
    if (node < 0 || node != forest.Node(y)) return -1;
    const auto k = static_cast<std::size_t>(node);
    return lastLevels[k][forest.SplitVertex(x, y) - runs[k].first];
  };
  std::vector<int> level(sides.size(), -1);
  for (std::size_t si = 0; si < sides.size(); ++si) {
    const std::uint32_t* c = sides[si].index;
    level[si] = std::max({pairLevel(c[0], c[1]), pairLevel(c[1], c[2]), pairLevel(c[0], c[2])});
  }
  return level;
}

std::vector<int> SideLevelsByPasses(std::span<const std::uint32_t> order, std::span<const CLevelRun> runs,
                                    std::span<const CSide> sides) {
  std::vector<int> level(sides.size(), -1);
  std::vector<std::uint32_t> rep(order.size());
  for (int l = 0; l < kDetailLevels; ++l) {
    std::iota(rep.begin(), rep.end(), 0u);
    for (const CLevelRun& run : runs) {
      if (run.count == 0) continue;
      const auto c = static_cast<std::size_t>(PresentVertexCount(static_cast<int>(run.count), run.locked, l));
      for (std::size_t i = c; i < run.count; ++i) {
        const std::size_t v = run.first + i;
        rep[v] = rep[order[v]];
      }
    }
    for (std::size_t si = 0; si < sides.size(); ++si) {
      const CSide& s = sides[si];
      const std::uint32_t a = rep[s.index[0]], b = rep[s.index[1]], c = rep[s.index[2]];
      if (a == b || b == c || a == c) level[si] = l;
    }
  }
  return level;
}

}  // namespace pavix
