#pragma once
// The game tables, and the mesh editor's progressive side list, are ordered
// by an in-place exchange sort: for each row i, for each later row j, rows i
// and j swap when row i's key is greater. That sort is not stable, and which
// of two equal keys a linear find meets first (or which sides a mesh file
// lists first) depends on the exact permutation it leaves, so we keep it. The
// permutation is computed here without the quadratic work: keys become
// ranks, and only the order inside each run of equal keys is worked out.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <numeric>
#include <span>
#include <utility>
#include <vector>

// The permutation the exchange sort leaves for these ranks (equal rank, equal
// key): element k of the result is the original index of the row that ends
// at position k.
std::vector<std::uint32_t> ExchangeSortOrderOfRanks(std::span<const std::uint32_t> ranks);

// Ranks of n keys under a strict weak order `less(a, b)` on indexes.
template <class Less>
std::vector<std::uint32_t> RanksOf(std::size_t n, Less less) {
  std::vector<std::uint32_t> byKey(n);
  std::iota(byKey.begin(), byKey.end(), 0u);
  std::sort(byKey.begin(), byKey.end(), [&](std::uint32_t a, std::uint32_t b) { return less(a, b); });
  std::vector<std::uint32_t> ranks(n);
  std::uint32_t rank = 0;
  for (std::size_t k = 0; k < n; ++k) {
    if (k > 0 && less(byKey[k - 1], byKey[k])) ++rank;
    ranks[byKey[k]] = rank;
  }
  return ranks;
}

template <class Less>
std::vector<std::uint32_t> ExchangeSortOrder(std::size_t n, Less less) {
  std::vector<std::uint32_t> ranks = RanksOf(n, less);
  return ExchangeSortOrderOfRanks(ranks);
}

// Rearranges rows[0 .. n) into that order (whole rows move, as the swaps did).
template <class Row, class Less>
void ExchangeSortRows(std::span<Row> rows, Less keyLess) {
  if (rows.size() < 2) return;
  std::vector<std::uint32_t> order =
      ExchangeSortOrder(rows.size(), [&](std::uint32_t a, std::uint32_t b) { return keyLess(rows[a], rows[b]); });
  std::vector<Row> sorted;
  sorted.reserve(rows.size());
  for (std::uint32_t from : order) sorted.push_back(std::move(rows[from]));
  std::move(sorted.begin(), sorted.end(), rows.begin());
}
