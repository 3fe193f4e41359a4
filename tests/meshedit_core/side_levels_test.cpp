#include "meshedit/core/side_levels.h"

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

using namespace pavix;

namespace {

class Lcg {
 public:
  explicit Lcg(std::uint32_t seed) : state_(seed * 2654435761u + 7u) {}
  std::uint32_t Next(std::uint32_t bound) {
    state_ = state_ * 1664525u + 1013904223u;
    return (state_ >> 8) % bound;
  }

 private:
  std::uint32_t state_;
};

struct Case {
  std::vector<std::uint32_t> order;
  std::vector<CLevelRun> runs;
  std::vector<CSide> sides;
};

// Runs of random sizes (empty and single ones too) with random locked counts,
// vertices outside every run, collapse forests from long chains to bushes,
// and sides with corners anywhere, repeated corners included.
Case RandomCase(std::uint32_t seed) {
  Lcg rng(seed);
  Case c;
  const std::uint32_t runCount = 1 + rng.Next(4);
  for (std::uint32_t k = 0; k < runCount; ++k) {
    CLevelRun run;
    run.first = c.order.size();
    run.count = rng.Next(5) == 0 ? rng.Next(2) : 2 + rng.Next(300);
    run.locked = static_cast<int>(rng.Next(12)) - 3;
    if (rng.Next(6) == 0) run.locked = static_cast<int>(run.count) + 2;
    const std::uint32_t reach = rng.Next(2) == 0 ? 3 : 1000;  // chains or bushes
    for (std::size_t i = 0; i < run.count; ++i) {
      const auto v = static_cast<std::uint32_t>(run.first + i);
      if (i == 0) {
        c.order.push_back(v);
        continue;
      }
      const auto back = 1 + rng.Next(std::min<std::uint32_t>(static_cast<std::uint32_t>(i), reach));
      c.order.push_back(v - back);
    }
    c.runs.push_back(run);
    for (std::uint32_t extra = rng.Next(3); extra > 0; --extra) c.order.push_back(static_cast<std::uint32_t>(c.order.size()));
  }
  const auto nv = static_cast<std::uint32_t>(c.order.size());
  for (std::uint32_t si = rng.Next(400) + 1; si > 0; --si) {
    CSide s;
    // Mostly near one another, as in a mesh; now and then anywhere.
    const std::uint32_t base = rng.Next(nv);
    for (int j = 0; j < 3; ++j) s.index[j] = rng.Next(4) == 0 ? rng.Next(nv) : std::min(nv - 1, base + rng.Next(6));
    if (rng.Next(20) == 0) s.index[1] = s.index[0];
    s.index[3] = s.index[2];
    c.sides.push_back(s);
  }
  return c;
}

TEST(SideLevels, MatchLevelByLevelPassesOnRandomCollapseForests) {
  for (std::uint32_t seed = 1; seed <= 60; ++seed) {
    const Case c = RandomCase(seed);
    EXPECT_EQ(SideLevels(c.order, c.runs, c.sides), SideLevelsByPasses(c.order, c.runs, c.sides)) << "seed " << seed;
  }
}

// An order that is not a forest (a vertex pointing at itself or past itself)
// still gets the passes' answer.
TEST(SideLevels, MatchThePassesWhenTheOrderIsNotAForest) {
  for (std::uint32_t seed = 1; seed <= 20; ++seed) {
    Case c = RandomCase(seed);
    const CLevelRun& run = c.runs.front();
    if (run.count < 3) continue;
    c.order[run.first + run.count / 2] = static_cast<std::uint32_t>(run.first + run.count - 1 - seed % 2);
    EXPECT_EQ(SideLevels(c.order, c.runs, c.sides), SideLevelsByPasses(c.order, c.runs, c.sides)) << "seed " << seed;
  }
}

// Five vertices in one run, none locked, collapsing 1 -> 0, 2 -> 1, 3 -> 0,
// 4 -> 2. Two corners share a vertex while the first vertex below their
// common ancestor, on either path, is absent.
TEST(SideLevels, FollowTheForestByHand) {
  const std::vector<std::uint32_t> order = {0, 0, 1, 0, 2};
  const std::vector<CLevelRun> runs = {{0, 5, 0}};
  auto side = [](std::uint32_t a, std::uint32_t b, std::uint32_t c) {
    CSide s;
    s.index[0] = a;
    s.index[1] = b;
    s.index[2] = s.index[3] = c;
    return s;
  };
  // Present counts: max(1, 5 l >> 8): 1 up to level 102, 2 up to 153, 3 up
  // to 204, 4 up to 255, 5 at 256.
  const std::vector<CSide> sides = {
      side(2, 4, 0),  // 4 falls into 2 while 4 is absent: up to 255
      side(1, 3, 0),  // 3 falls into 0 while 3 is absent: up to 204
      side(3, 4, 3),  // a repeated corner: every level
      side(2, 3, 1),  // 2 falls into 1 while 2 is absent: up to 153
  };
  const std::vector<int> expected = {255, 204, 256, 153};
  EXPECT_EQ(SideLevels(order, runs, sides), expected);
  EXPECT_EQ(SideLevelsByPasses(order, runs, sides), expected);
}

}  // namespace
