#include "datafiles/common/exchange_sort.h"


// Why this gives the exchange sort's order. Rows with keys up to v move among
// themselves exactly as an exchange sort of those rows alone would: every
// pass takes the first smallest row out, and a row with key <= v takes part
// in a pass's exchanges only through rows with smaller keys. In that smaller
// sort, a row of the largest key v is exchanged only while it stands first:
// it then takes the place of the first smaller row after it. So the rows of
// key v standing first form a queue: each smaller row the passes take out
// moves the queue's head to its back, and a row of key v met next joins at
// the back. Reading the file once, with the rows of key v kept as a circle
// and a head index into it, a run of smaller rows only moves the head, and
// each join is an insertion at a known index; the circle's final layout
// follows from those insertions, replayed backwards over the free places.

namespace {

class Fenwick {
 public:
  explicit Fenwick(std::size_t n) : tree_(n + 1, 0) {}
  void Add(std::size_t index, std::int32_t delta = 1) {
    for (std::size_t i = index + 1; i < tree_.size(); i += i & (~i + 1)) tree_[i] += delta;
  }
  // Marked indexes below `index`.
  std::uint64_t CountBelow(std::size_t index) const {
    std::int64_t sum = 0;
    for (std::size_t i = index; i > 0; i -= i & (~i + 1)) sum += tree_[i];
    return static_cast<std::uint64_t>(sum);
  }
  // The index holding the k-th mark (0-based); every index holds 0 or 1.
  std::size_t FindMarked(std::uint64_t k) const {
    std::size_t at = 0;
    std::size_t step = 1;
    while (step * 2 < tree_.size()) step *= 2;
    for (; step > 0; step /= 2) {
      if (at + step < tree_.size() && static_cast<std::uint64_t>(tree_[at + step]) <= k) {
        at += step;
        k -= static_cast<std::uint64_t>(tree_[at]);
      }
    }
    return at;
  }

 private:
  std::vector<std::int32_t> tree_;
};

// Final order of one run of equal keys. members: original indexes, ascending;
// before[t]: smaller rows before member t in the file; smaller: all smaller rows.
void OrderRun(std::span<const std::uint32_t> members, std::span<const std::uint64_t> before,
              std::uint64_t smaller, std::vector<std::uint32_t>& out) {
  const std::size_t g = members.size();
  std::vector<std::size_t> insertedAt(g);
  std::uint64_t head = 0;
  for (std::size_t t = 0; t < g; ++t) {
    if (t > 0) head = (head + before[t] - before[t - 1]) % t;
    insertedAt[t] = static_cast<std::size_t>(head);
    if (t > 0) ++head;  // the head row moved up one place
  }
  head = (head + smaller - before[g - 1]) % g;
  // Member t went in at insertedAt[t] among the t rows then in the circle:
  // backwards, it takes that free place among those the later rows left.
  std::vector<std::uint32_t> circle(g);
  Fenwick free(g);
  for (std::size_t i = 0; i < g; ++i) free.Add(i);
  for (std::size_t t = g; t-- > 0;) {
    const std::size_t place = free.FindMarked(insertedAt[t]);
    circle[place] = members[t];
    free.Add(place, -1);
  }
  const auto h = static_cast<std::ptrdiff_t>(head);
  out.insert(out.end(), circle.begin() + h, circle.end());
  out.insert(out.end(), circle.begin(), circle.begin() + h);
}

}  // namespace

std::vector<std::uint32_t> ExchangeSortOrderOfRanks(std::span<const std::uint32_t> ranks) {
  const std::size_t n = ranks.size();
  // Rows by rank, in file order within a rank: a counting sort when the
  // ranks are dense enough (as RanksOf's are), else a stable sort.
  std::vector<std::uint32_t> byRank(n);
  const std::uint32_t top = n == 0 ? 0 : *std::max_element(ranks.begin(), ranks.end());
  if (top <= n) {
    std::vector<std::uint32_t> start(static_cast<std::size_t>(top) + 2, 0);
    for (std::uint32_t r : ranks) ++start[static_cast<std::size_t>(r) + 1];
    for (std::size_t r = 1; r < start.size(); ++r) start[r] += start[r - 1];
    for (std::size_t i = 0; i < n; ++i) byRank[start[ranks[i]]++] = static_cast<std::uint32_t>(i);
  } else {
    std::iota(byRank.begin(), byRank.end(), 0u);
    std::stable_sort(byRank.begin(), byRank.end(),
                     [&](std::uint32_t a, std::uint32_t b) { return ranks[a] < ranks[b]; });
  }
  if (n < 2) return byRank;

  // The rows of smaller rank before each row, in one pass over the file with
  // a count per distinct rank (few, for most callers: the tree stays cached).
  std::vector<std::uint32_t> dense(n);
  std::uint32_t distinct = 0;
  for (std::size_t k = 0; k < n; ++k) {
    if (k > 0 && ranks[byRank[k]] != ranks[byRank[k - 1]]) ++distinct;
    dense[byRank[k]] = distinct;
  }
  std::vector<std::uint64_t> smallerBefore(n);
  Fenwick seen(static_cast<std::size_t>(distinct) + 1);
  for (std::size_t i = 0; i < n; ++i) {
    smallerBefore[i] = seen.CountBelow(dense[i]);
    seen.Add(dense[i]);
  }

  std::vector<std::uint32_t> out;
  out.reserve(n);
  std::vector<std::uint64_t> before;
  std::uint64_t smaller = 0;
  for (std::size_t a = 0; a < n;) {
    std::size_t b = a + 1;
    while (b < n && dense[byRank[b]] == dense[byRank[a]]) ++b;
    std::span<const std::uint32_t> members(byRank.data() + a, b - a);
    if (members.size() == 1) {
      out.push_back(members[0]);
    } else {
      before.clear();
      for (std::uint32_t m : members) before.push_back(smallerBefore[m]);
      OrderRun(members, before, smaller, out);
    }
    smaller += members.size();
    a = b;
  }
  return out;
}
