#include "datafiles/common/exchange_sort.h"

#include <limits>

// Why this gives the exchange sort's order. Rows with keys up to v move among
// themselves exactly as an exchange sort of those rows alone would: every
// pass takes the first smallest row out, and a row with key <= v takes part
// in a pass's exchanges only through rows with smaller keys. In that smaller
// sort, a row of the largest key v is exchanged only while it stands first:
// it then takes the place of the first remaining row with a smaller key, and
// one such row leaves per pass. So with the rows of key <= v numbered by
// place (slot), the k smaller rows at slots s_0 < s_1 < ..., pass t moves a
// row of key v standing at slot t to slot s_t; after k passes the rows of key
// v stand in their final order. A row at slot p moves to p + c(p), where c(p)
// counts the rows of key v that have at most p smaller rows before them.

namespace {

class Fenwick {
 public:
  explicit Fenwick(std::size_t n) : tree_(n + 1, 0) {}
  void Add(std::size_t index) {
    for (std::size_t i = index + 1; i < tree_.size(); i += i & (~i + 1)) ++tree_[i];
  }
  // Marked indexes below `index`.
  std::uint64_t CountBelow(std::size_t index) const {
    std::uint64_t sum = 0;
    for (std::size_t i = index; i > 0; i -= i & (~i + 1)) sum += tree_[i];
    return sum;
  }

 private:
  std::vector<std::uint32_t> tree_;
};

// Final order of one run of equal keys. members: original indexes, ascending;
// before[t]: smaller rows before member t in the file; smaller: all smaller rows.
void OrderRun(std::span<const std::uint32_t> members, std::span<const std::uint64_t> before,
              std::uint64_t smaller, std::vector<std::uint32_t>& out) {
  const std::size_t g = members.size();
  const std::uint64_t slots = smaller + g;
  if (static_cast<std::uint64_t>(g) * g <= slots) {
    // Few rows of this key: follow each one's jumps, a stretch of equal c(p) at a time.
    std::vector<std::pair<std::uint64_t, std::uint32_t>> finals;
    finals.reserve(g);
    for (std::size_t t = 0; t < g; ++t) {
      std::uint64_t p = before[t] + t;
      while (p < smaller) {
        std::size_t c = static_cast<std::size_t>(std::upper_bound(before.begin(), before.end(), p) - before.begin());
        std::uint64_t next = c < g ? before[c] : std::numeric_limits<std::uint64_t>::max();
        std::uint64_t limit = std::min(next, smaller);
        p += (limit - p + c - 1) / c * c;
      }
      finals.emplace_back(p, members[t]);
    }
    std::sort(finals.begin(), finals.end());
    for (const auto& f : finals) out.push_back(f.second);
    return;
  }
  // Many rows of this key: play the passes over all the slots.
  constexpr std::uint32_t kSmaller = std::numeric_limits<std::uint32_t>::max();
  std::vector<std::uint32_t> slot(static_cast<std::size_t>(slots), kSmaller);
  for (std::size_t t = 0; t < g; ++t) slot[static_cast<std::size_t>(before[t] + t)] = members[t];
  std::vector<bool> ownSlot(slot.size(), false);
  for (std::size_t t = 0; t < g; ++t) ownSlot[static_cast<std::size_t>(before[t] + t)] = true;
  std::size_t smallerSlot = 0;  // s_t
  for (std::size_t t = 0; t < smaller; ++t) {
    while (ownSlot[smallerSlot]) ++smallerSlot;
    if (slot[t] != kSmaller) slot[smallerSlot] = slot[t];
    ++smallerSlot;
  }
  out.insert(out.end(), slot.begin() + static_cast<std::ptrdiff_t>(smaller), slot.end());
}

}  // namespace

std::vector<std::uint32_t> ExchangeSortOrderOfRanks(std::span<const std::uint32_t> ranks) {
  const std::size_t n = ranks.size();
  std::vector<std::uint32_t> byRank(n);
  std::iota(byRank.begin(), byRank.end(), 0u);
  std::stable_sort(byRank.begin(), byRank.end(), [&](std::uint32_t a, std::uint32_t b) { return ranks[a] < ranks[b]; });
  if (n < 2) return byRank;

  std::vector<std::uint32_t> out;
  out.reserve(n);
  Fenwick placed(n);
  std::vector<std::uint64_t> before;
  std::uint64_t smaller = 0;
  for (std::size_t a = 0; a < n;) {
    std::size_t b = a + 1;
    while (b < n && ranks[byRank[b]] == ranks[byRank[a]]) ++b;
    std::span<const std::uint32_t> members(byRank.data() + a, b - a);
    if (members.size() == 1) {
      out.push_back(members[0]);
    } else {
      before.clear();
      for (std::uint32_t m : members) before.push_back(placed.CountBelow(m));
      OrderRun(members, before, smaller, out);
    }
    for (std::uint32_t m : members) placed.Add(m);
    smaller += members.size();
    a = b;
  }
  return out;
}
