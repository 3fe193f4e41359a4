#pragma once
// Packs bytes into the archives' LZ scheme, the inverse of LzUnpack: a
// 1024-byte ring written from position 1, a flag byte per eight items (least
// significant bit first, 1 = literal), back-references as a 16-bit word
// (distance in the low 10 bits, length (word >> 10) + 3), and a closing
// word of distance 0.
#include <cstdint>
#include <span>
#include <vector>

inline constexpr unsigned kLzMinMatch = 3;
inline constexpr unsigned kLzMaxMatch = 66;
inline constexpr unsigned kLzMaxDistance = 1023;

// The packed stream, always ended by the end marker. Back-references only
// reach bytes already produced, never the ring's initial contents.
std::vector<std::uint8_t> LzPack(std::span<const std::uint8_t> input);
