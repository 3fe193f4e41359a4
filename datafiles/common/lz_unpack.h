#pragma once
// The archives' LZ scheme: a 1024-byte ring written from position 1, a flag
// byte per eight items (least significant bit first, 1 = literal), and
// back-references of a 16-bit word: distance in the low 10 bits (0 ends the
// data), length (word >> 10) + 3.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

struct LzUnpackResult {
  std::size_t length = 0;     // bytes produced
  bool complete = false;      // the end marker was reached
};

// Decodes input into output (cleared first; a capacity the caller reserved is
// used before it grows, by at least 32 KiB a time, and is filled only as far
// as the output reaches, never zeroed ahead of it). Never reads past input;
// input that ends before the end marker gives what was decoded, with
// `complete` false. When the output cannot grow, writes
// "Can't allocate memory for Output...\n" to stderr and ends the program
// with code 1.
LzUnpackResult LzUnpack(std::span<const std::uint8_t> input, std::vector<std::uint8_t>& output);
