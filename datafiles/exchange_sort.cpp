#include "datafiles/exchange_sort.h"

#include <bit>
#include <limits>

namespace {

constexpr std::uint32_t kNone = std::numeric_limits<std::uint32_t>::max();

// Minimum of the ranks over position ranges, to find the next smaller rank
// to the right of a position in logarithmic time.
class MinTree {
 public:
  explicit MinTree(std::span<const std::uint32_t> values)
      : size_(std::bit_ceil(std::max<std::size_t>(values.size(), 1))), tree_(2 * size_, kNone) {
    std::copy(values.begin(), values.end(), tree_.begin() + static_cast<std::ptrdiff_t>(size_));
    for (std::size_t node = size_ - 1; node >= 1; --node) tree_[node] = std::min(tree_[2 * node], tree_[2 * node + 1]);
  }

  void Set(std::size_t pos, std::uint32_t value) {
    std::size_t node = pos + size_;
    tree_[node] = value;
    for (node >>= 1; node >= 1; node >>= 1) tree_[node] = std::min(tree_[2 * node], tree_[2 * node + 1]);
  }

  // First position >= from whose value is below `limit`, or kNone.
  std::uint32_t FirstBelow(std::size_t from, std::uint32_t limit) const {
    if (from >= size_) return kNone;
    std::size_t node = from + size_;
    while (tree_[node] >= limit) {
      while (node & 1) {
        node >>= 1;
        if (node == 0) return kNone;
      }
      ++node;
    }
    while (node < size_) {
      node *= 2;
      if (tree_[node] >= limit) ++node;
    }
    return static_cast<std::uint32_t>(node - size_);
  }

 private:
  std::size_t size_;
  std::vector<std::uint32_t> tree_;
};

// The literal double loop, on ranks; also the fallback when chains grow long
// (input far from sorted), where it is the cheaper of the two.
void QuadraticPasses(std::vector<std::uint32_t>& rank, std::vector<std::uint32_t>& id, std::size_t fromPass) {
  std::size_t n = rank.size();
  for (std::size_t i = fromPass; i + 1 < n; ++i) {
    for (std::size_t j = i + 1; j < n; ++j) {
      if (rank[i] > rank[j]) {
        std::swap(rank[i], rank[j]);
        std::swap(id[i], id[j]);
      }
    }
  }
}

}  // namespace

std::vector<std::uint32_t> ExchangeSortOrderOfRanks(std::span<const std::uint32_t> ranks) {
  std::size_t n = ranks.size();
  std::vector<std::uint32_t> rank(ranks.begin(), ranks.end());
  std::vector<std::uint32_t> id(n);
  std::iota(id.begin(), id.end(), 0u);
  if (n < 2) return id;

  // Pass i leaves at position i the last of the chain of strictly smaller
  // ranks met scanning right from it; each chain member takes the element
  // that stood before it in the chain.
  MinTree tree(rank);
  std::uint64_t budget = 64 * static_cast<std::uint64_t>(n) + 4096;
  std::vector<std::uint32_t> chain;
  for (std::size_t i = 0; i + 1 < n; ++i) {
    chain.clear();
    std::uint32_t current = rank[i];
    std::size_t from = i + 1;
    for (;;) {
      std::uint32_t q = tree.FirstBelow(from, current);
      if (q == kNone || q >= n) break;
      chain.push_back(q);
      current = rank[q];
      from = q + 1;
    }
    if (chain.empty()) continue;
    if (chain.size() > budget) {
      QuadraticPasses(rank, id, i);
      return id;
    }
    budget -= chain.size();
    std::uint32_t carryRank = rank[i];
    std::uint32_t carryId = id[i];
    for (std::uint32_t q : chain) {
      std::swap(rank[q], carryRank);
      std::swap(id[q], carryId);
      tree.Set(q, rank[q]);
    }
    rank[i] = carryRank;
    id[i] = carryId;
    tree.Set(i, rank[i]);
  }
  return id;
}
