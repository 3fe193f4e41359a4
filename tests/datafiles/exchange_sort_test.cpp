#include "datafiles/common/exchange_sort.h"

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/core/paths.h"

namespace {

// The sort as the tables describe it, swap by swap: the oracle.
template <class T, class Greater>
std::vector<std::uint32_t> LiteralExchangeSort(std::vector<T> keys, Greater greater) {
  std::vector<std::uint32_t> id(keys.size());
  for (std::uint32_t k = 0; k < id.size(); ++k) id[k] = k;
  for (std::size_t i = 0; i + 1 < keys.size(); ++i) {
    for (std::size_t j = i + 1; j < keys.size(); ++j) {
      if (greater(keys[i], keys[j])) {
        std::swap(keys[i], keys[j]);
        std::swap(id[i], id[j]);
      }
    }
  }
  return id;
}

std::vector<std::uint32_t> Fast(const std::vector<int>& keys) {
  return ExchangeSortOrder(keys.size(), [&](std::uint32_t a, std::uint32_t b) { return keys[a] < keys[b]; });
}
std::vector<std::uint32_t> Slow(const std::vector<int>& keys) {
  return LiteralExchangeSort(keys, [](int a, int b) { return a > b; });
}

TEST(ExchangeSortTest, KnownPermutationWithTies) {
  // Equal keys do not keep their order: {B1, B2, A} ends A, B2, B1.
  EXPECT_EQ(Fast({2, 2, 1}), (std::vector<std::uint32_t>{2, 1, 0}));
  EXPECT_EQ(Fast({}), std::vector<std::uint32_t>{});
  EXPECT_EQ(Fast({5}), std::vector<std::uint32_t>{0});
}

TEST(ExchangeSortTest, SameOrderAsTheLiteralSortOnRandomInputWithManyTies) {
  std::mt19937 rng(12345);
  for (int round = 0; round < 400; ++round) {
    std::size_t n = rng() % 120;
    int distinct = 1 + static_cast<int>(rng() % 12);
    std::vector<int> keys(n);
    for (int& k : keys) k = static_cast<int>(rng() % static_cast<unsigned>(distinct));
    ASSERT_EQ(Fast(keys), Slow(keys)) << "round " << round;
  }
}

TEST(ExchangeSortTest, SameOrderOnLargeInputsOfEveryShape) {
  // Runs of equal keys both small and large next to the rows with smaller keys.
  const std::size_t n = 3000;
  std::mt19937 rng(99);
  std::vector<std::vector<int>> shapes(8, std::vector<int>(n));
  for (std::size_t k = 0; k < n; ++k) {
    shapes[0][k] = static_cast<int>(n - k);              // reversed
    shapes[1][k] = static_cast<int>(k);                  // sorted
    shapes[2][k] = 7;                                    // all equal
    shapes[3][k] = static_cast<int>((n - k) / 3);        // reversed with ties
    shapes[4][k] = static_cast<int>(k % 2 ? k : n - k);  // zigzag
    shapes[5][k] = static_cast<int>(k % 2);              // two long runs, interleaved
    shapes[6][k] = static_cast<int>(rng() % 40);         // forty runs, random
    shapes[7][k] = static_cast<int>(rng() % 258) - 1;    // the side levels: -1 to 256
  }
  for (std::size_t s = 0; s < shapes.size(); ++s) EXPECT_EQ(Fast(shapes[s]), Slow(shapes[s])) << "shape " << s;
}

TEST(ExchangeSortTest, RowsMoveWholeUnderACaseInsensitiveKey) {
  struct Row {
    std::string name;
    int tag;
  };
  std::vector<Row> rows = {{"orc", 0}, {"Orc", 1}, {"ant", 2}, {"ORC", 3}, {"Ant", 4}};
  std::vector<std::string> names;
  for (const Row& r : rows) names.push_back(r.name);
  auto expected = LiteralExchangeSort(names, [](const std::string& a, const std::string& b) {
    return platform::CompareNoCase(a, b) > 0;
  });
  ExchangeSortRows(std::span<Row>(rows), [](const Row& a, const Row& b) { return platform::CompareNoCase(a.name, b.name) < 0; });
  for (std::size_t k = 0; k < rows.size(); ++k) EXPECT_EQ(static_cast<std::uint32_t>(rows[k].tag), expected[k]) << k;
}

}  // namespace
