#include "meshedit/core/fan_list.h"

#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace {

std::vector<int> Items(const pavix::CFanList& list) { return {list.begin(), list.end()}; }

pavix::CFanList Filled(int n) {
  pavix::CFanList list;
  for (int k = 0; k < n; ++k) list.push_back(k * 10);
  return list;
}

std::vector<int> Expected(int n) {
  std::vector<int> items;
  for (int k = 0; k < n; ++k) items.push_back(k * 10);
  return items;
}

// Short lists live inside the list, longer ones in a block: both ways must
// keep every element through copies, moves and growth.
TEST(FanListTest, KeepsItsElementsInsideAndOutside) {
  for (int n : {0, 1, 6, 7, 40}) {
    pavix::CFanList list = Filled(n);
    EXPECT_EQ(Items(list), Expected(n)) << n;
    pavix::CFanList copy = list;
    EXPECT_EQ(Items(copy), Expected(n)) << n;
    pavix::CFanList moved = std::move(copy);
    EXPECT_EQ(Items(moved), Expected(n)) << n;
    EXPECT_TRUE(copy.empty());  // NOLINT(bugprone-use-after-move): a moved-from list is empty
    pavix::CFanList target = Filled(9);
    target = std::move(moved);
    EXPECT_EQ(Items(target), Expected(n)) << n;
    target = Filled(3);
    EXPECT_EQ(Items(target), Expected(3)) << n;
    // Vectors of lists move them when they grow.
    std::vector<pavix::CFanList> lists;
    for (int k = 0; k < 20; ++k) lists.push_back(Filled(n));
    for (const auto& l : lists) EXPECT_EQ(Items(l), Expected(n)) << n;
  }
}

TEST(FanListTest, EraseKeepsTheOrderOfTheRest) {
  pavix::CFanList list = Filled(10);
  list.erase(list.begin() + 2);
  list.EraseIf([](int v) { return v == 70 || v == 0; });
  EXPECT_EQ(Items(list), (std::vector<int>{10, 30, 40, 50, 60, 80, 90}));
  list.push_back(5);
  EXPECT_EQ(list[7], 5);
  list.clear();
  EXPECT_TRUE(list.empty());
  const std::vector<int> source{4, 5, 6, 7, 8, 9, 10, 11};
  list.assign(source.data(), source.data() + source.size());
  EXPECT_EQ(Items(list), source);
}

}  // namespace
