#pragma once
// The detail level of each side after a progressive build: the highest level
// 0..256 at which two of its corners fall onto one present vertex (-1 when
// that never happens). The side list is sorted by it.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "meshedit/core/side.h"

namespace pavix {

// One node's vertices [first, first + count), of which `locked` are always present.
struct CLevelRun {
  std::size_t first = 0;
  std::size_t count = 0;
  int locked = 0;
};

// `order`: per vertex, the vertex it collapses into (no presence bit).
// Vertices outside every run stay present at every level.
std::vector<int> SideLevels(std::span<const std::uint32_t> order, std::span<const CLevelRun> runs,
                            std::span<const CSide> sides);

// The same, walked level by level over every vertex and side: 257 passes.
// Kept for collapse orders that are not a forest below each node's first
// vertex, which only broken sides produce.
std::vector<int> SideLevelsByPasses(std::span<const std::uint32_t> order, std::span<const CLevelRun> runs,
                                    std::span<const CSide> sides);

}  // namespace pavix
