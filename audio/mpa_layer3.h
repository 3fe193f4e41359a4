#pragma once
// Layer III: side information, scale factors, Huffman decoding, requantisation,
// stereo processing, reordering, alias reduction and the hybrid filterbank, into
// subband samples for the synthesis filterbank. Keeps the overlap of each channel.
#include <cstdint>

#include "audio/mpa_bit_reader.h"
#include "audio/mpa_header.h"

namespace mpa {

// x[i] = sum over k of in[k] cos(pi / 2n (2i + 1 + n/2)(2k + 1)) for n = 36 and 12 outputs.
void Imdct36(const float in[18], float out[36]);
void Imdct12(const float in[6], float out[12]);

struct Layer3GranuleChannel {
  int part2_3_length = 0;
  int big_values = 0;
  int global_gain = 0;
  int scalefac_compress = 0;
  bool window_switching = false;
  int block_type = 0;
  bool mixed = false;
  int table_select[3] = {};
  int subblock_gain[3] = {};
  int region0_count = 0;
  int region1_count = 0;
  bool preflag = false;
  bool scalefac_scale = false;
  bool count1table = false;
};

struct Layer3SideInfo {
  int main_data_begin = 0;
  int scfsi[2][4] = {};
  int granules = 2;
  Layer3GranuleChannel gr[2][2];
};

class MpaLayer3 {
 public:
  using Output = float[2][36][32];  // [channel][time slot][subband]

  MpaLayer3();
  // Zeroes the hybrid filterbank's overlap.
  void Reset();

  // Reads the side information after the header (and check word); false when it
  // cannot describe a frame.
  static bool ReadSideInfo(const MpaHeader& header, MpaBitReader& bits, Layer3SideInfo& side);
  // Decodes every granule from the main data, which starts at the reader's position.
  // Returns the time slots written (18 per granule), or -600 for a corrupt frame.
  int Decode(const MpaHeader& header, const Layer3SideInfo& side, MpaBitReader& main, Output& out);
  // A frame whose main data is lost: silence, and the overlap forgotten.
  int Silence(const MpaHeader& header, Output& out);

 private:
  struct Scalefactors {
    int l[23] = {};
    int s[13][3] = {};
    int max_l[23] = {};  // lower-rate intensity: the illegal position of each band
    int max_s[13] = {};
  };

  bool ReadScalefactors(const MpaHeader& h, const Layer3SideInfo& side, int gr, int ch, MpaBitReader& bits);
  bool ReadScalefactorsLsf(const MpaHeader& h, const Layer3GranuleChannel& g, int ch, MpaBitReader& bits);
  bool HuffmanDecode(const MpaHeader& h, const Layer3GranuleChannel& g, MpaBitReader& bits, std::size_t end, int ch);
  void Requantise(const MpaHeader& h, const Layer3GranuleChannel& g, int ch);
  void Stereo(const MpaHeader& h, const Layer3GranuleChannel& right);
  void Hybrid(const MpaHeader& h, const Layer3GranuleChannel& g, int ch, int gr, Output& out);

  Scalefactors sf_[2];
  int values_[2][576];
  float xr_[2][576];
  int nonzero_[2] = {};  // lines up to the last non-zero value
  float overlap_[2][18][32];  // [channel][time slot][subband]
};

}  // namespace mpa
