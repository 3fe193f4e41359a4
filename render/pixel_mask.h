#pragma once
// The two bit functions of the pixel formats: where a channel's mask starts
// and how wide it is.
#include <bit>
#include <cstdint>

// Index of the lowest set bit of a non-zero value (0 for 0).
constexpr int LowestSetBit(std::uint32_t value) { return value ? std::countr_zero(value) : 0; }

// Consecutive set bits from the lowest set bit; 0 for a zero mask.
constexpr int MaskBitCount(std::uint32_t mask) { return mask ? std::countr_one(mask >> LowestSetBit(mask)) : 0; }
