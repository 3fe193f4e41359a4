#pragma once
// The MPEG audio decoder's constant tables. audio/mpa_tables.cpp is generated from the
// reference CSV files by audio/mpa_tables_gen.py.
#include <cstdint>

namespace mpa {

struct QuantClass {
  std::uint16_t steps;
  std::uint8_t bits;  // per code word (one word per three samples when grouped)
  bool grouped;
};

struct AllocTable {
  int sblimit;
  std::uint8_t nbal[32];
  std::uint8_t classes[32][16];  // 1-based class per allocation value, 0 = no samples
};

// A Huffman code as a multi-level lookup (see the generator for the entry layout).
struct HuffTable {
  const std::uint16_t* lookup;  // null: table 0 or a table the standard leaves unused
  int root_bits;
  int linbits;
  int size;  // values 0..size-1 in x and y
};

// [0 MPEG-1, 1 MPEG-2 and 2.5][layer - 1][bit-rate index]; 0 for free format and forbidden.
extern const std::uint16_t kBitRateKbit[2][3][16];
// [0 MPEG-1, 1 MPEG-2, 2 MPEG-2.5][sampling-frequency index 0..2]
extern const std::uint32_t kSampleRateHz[3][3];
extern const float kSynthesisWindow[512];  // 16-byte aligned
extern const float kLayer12Scalefactor[64];  // index 63 reads as silence
extern const QuantClass kQuantClass[17];
// 3-B.2a (sblimit 27), 3-B.2b (30), 3-B.2c (8), 3-B.2d (12), lower rates (30).
extern const AllocTable kLayer2Alloc[5];
// Band starts, with the end as the last entry; [version * 3 + sampling-frequency index].
extern const std::uint16_t kSfbLong[9][23];
extern const std::uint16_t kSfbShort[9][14];
extern const std::uint8_t kPretab[22];
extern const std::uint8_t kSlen[2][16];
extern const HuffTable kHuffTables[32];
extern const HuffTable kCount1Tables[2];

}  // namespace mpa
