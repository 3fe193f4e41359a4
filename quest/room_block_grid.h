#pragma once
// The 64 x 64 blocks of a room, row after row. They are kept in four parts
// of modest size rather than inside the room record: allocators hand such
// parts out again from memory they already hold, where a record of several
// hundred kilobytes is often mapped afresh for every room made and its pages
// faulted in one by one (a quest file makes one room per room it holds).
#include <array>
#include <cstddef>
#include <memory>

#include "quest/room_block.h"

class RoomBlockGrid {
 public:
  static constexpr std::size_t kSide = 64;
  static constexpr std::size_t kCount = kSide * kSide;

  RoomBlockGrid() {
    for (auto& part : parts_) part.reset(new RoomBlock[kPerPart]);  // each block sets its own fields
  }

  RoomBlock& operator[](std::size_t i) { return parts_[i / kPerPart][i % kPerPart]; }
  const RoomBlock& operator[](std::size_t i) const { return parts_[i / kPerPart][i % kPerPart]; }
  static constexpr std::size_t size() { return kCount; }

  template <class Grid, class Block>
  class Iterator {
   public:
    Iterator(Grid* grid, std::size_t i) : grid_(grid), i_(i) {}
    Block& operator*() const { return (*grid_)[i_]; }
    Block* operator->() const { return &(*grid_)[i_]; }
    Iterator& operator++() {
      ++i_;
      return *this;
    }
    bool operator==(const Iterator& other) const { return i_ == other.i_; }

   private:
    Grid* grid_;
    std::size_t i_;
  };
  using iterator = Iterator<RoomBlockGrid, RoomBlock>;
  using const_iterator = Iterator<const RoomBlockGrid, const RoomBlock>;

  iterator begin() { return {this, 0}; }
  iterator end() { return {this, kCount}; }
  const_iterator begin() const { return {this, 0}; }
  const_iterator end() const { return {this, kCount}; }

 private:
  static constexpr std::size_t kParts = 4;
  static constexpr std::size_t kPerPart = kCount / kParts;
  std::array<std::unique_ptr<RoomBlock[]>, kParts> parts_;
};
