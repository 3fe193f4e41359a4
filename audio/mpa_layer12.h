#pragma once
// Layers I and II: bit allocation, scale factors and sample dequantisation
// into subband samples for the synthesis filterbank.
#include "audio/mpa_bit_reader.h"
#include "audio/mpa_header.h"

namespace mpa {

// [channel][time slot][subband]; Layer I fills 12 slots, Layer II 36.
using SubbandBlock = float[2][36][32];

// Reads the frame's audio data after the header (and check word).
// Returns the time slots filled, or -600 for a corrupt frame.
int DecodeLayer1(const MpaHeader& header, MpaBitReader& bits, SubbandBlock& out);
int DecodeLayer2(const MpaHeader& header, MpaBitReader& bits, SubbandBlock& out);
// Which Layer II allocation table a header selects (index into kLayer2Alloc).
int Layer2TableIndex(const MpaHeader& header);

}  // namespace mpa
