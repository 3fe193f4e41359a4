#include "audio/mpa_layer12.h"

#include <cstring>

#include "audio/mpa_tables.h"

namespace mpa {
namespace {

constexpr int kCorrupt = -600;

// A code c of a quantiser with `steps` levels, at unit scale.
float Dequantise(unsigned c, unsigned steps) {
  return static_cast<float>(2 * static_cast<int>(c) - static_cast<int>(steps) + 1) / static_cast<float>(steps);
}

// The three codes of each grouped code word of 3, 5 and 9 steps, first sample first
// (words past the last valid one are split the same way).
struct GroupTables {
  std::uint8_t g3[32][3], g5[128][3], g9[1024][3];
  GroupTables() {
    Fill(g3, 32, 3);
    Fill(g5, 128, 5);
    Fill(g9, 1024, 9);
  }
  static void Fill(std::uint8_t (*t)[3], unsigned words, unsigned steps) {
    for (unsigned w = 0; w < words; ++w) {
      unsigned code = w;
      for (int i = 0; i < 3; ++i) {
        t[w][i] = static_cast<std::uint8_t>(code % steps);
        code /= steps;
      }
    }
  }
  const std::uint8_t (*For(unsigned steps) const)[3] {
    return steps == 3 ? g3 : steps == 5 ? g5 : steps == 9 ? g9 : nullptr;
  }
};

const GroupTables& Groups() {
  static const GroupTables tables;
  return tables;
}

int Bound(const MpaHeader& h, int limit) {
  if (h.mode != 1) return limit;
  const int bound = 4 * (h.mode_extension + 1);
  return bound < limit ? bound : limit;
}

}  // namespace

int DecodeLayer1(const MpaHeader& h, MpaBitReader& bits, SubbandBlock& out) {
  const int channels = h.Channels();
  const int bound = Bound(h, 32);
  int alloc[2][32] = {};
  int scale[2][32] = {};
  for (int sb = 0; sb < 32; ++sb) {
    for (int ch = 0; ch < channels; ++ch) {
      if (sb >= bound && ch == 1) {
        alloc[1][sb] = alloc[0][sb];
        continue;
      }
      alloc[ch][sb] = static_cast<int>(bits.Read(4));
      if (alloc[ch][sb] == 15) return kCorrupt;
    }
  }
  for (int sb = 0; sb < 32; ++sb) {
    for (int ch = 0; ch < channels; ++ch) {
      if (alloc[ch][sb]) scale[ch][sb] = static_cast<int>(bits.Read(6));
    }
  }
  std::memset(out, 0, sizeof(out));
  for (int s = 0; s < 12; ++s) {
    for (int sb = 0; sb < 32; ++sb) {
      float shared = 0.0f;
      for (int ch = 0; ch < channels; ++ch) {
        const int a = alloc[ch][sb];
        if (!a) continue;
        const int nb = a + 1;
        const unsigned steps = (1u << nb) - 1;
        // Above the bound both channels share the first channel's sample.
        if (ch == 0 || sb < bound) shared = Dequantise(bits.Read(nb), steps);
        out[ch][s][sb] = shared * kLayer12Scalefactor[scale[ch][sb]];
      }
    }
  }
  return bits.Overrun() ? kCorrupt : 12;
}

int Layer2TableIndex(const MpaHeader& h) {
  if (h.Lsf()) return 4;
  const int per_channel = h.BitRateKbit() / h.Channels();
  const int rate = h.SampleRateHz();
  if (per_channel <= 48) return rate == 32000 ? 3 : 2;
  if (rate == 48000 || per_channel <= 80) return 0;
  return 1;
}

int DecodeLayer2(const MpaHeader& h, MpaBitReader& bits, SubbandBlock& out) {
  const AllocTable& table = kLayer2Alloc[Layer2TableIndex(h)];
  const int channels = h.Channels();
  const int sblimit = table.sblimit;
  const int bound = Bound(h, sblimit);
  int cls[2][32] = {};  // 1-based class, 0 none
  int scfsi[2][32] = {};
  int scale[2][32][3] = {};
  for (int sb = 0; sb < sblimit; ++sb) {
    for (int ch = 0; ch < channels; ++ch) {
      if (sb >= bound && ch == 1) {
        cls[1][sb] = cls[0][sb];
        continue;
      }
      cls[ch][sb] = table.classes[sb][bits.Read(table.nbal[sb])];
    }
  }
  for (int sb = 0; sb < sblimit; ++sb) {
    for (int ch = 0; ch < channels; ++ch) {
      if (cls[ch][sb]) scfsi[ch][sb] = static_cast<int>(bits.Read(2));
    }
  }
  for (int sb = 0; sb < sblimit; ++sb) {
    for (int ch = 0; ch < channels; ++ch) {
      if (!cls[ch][sb]) continue;
      int* s = scale[ch][sb];
      switch (scfsi[ch][sb]) {
        case 0:
          s[0] = static_cast<int>(bits.Read(6));
          s[1] = static_cast<int>(bits.Read(6));
          s[2] = static_cast<int>(bits.Read(6));
          break;
        case 1:
          s[0] = s[1] = static_cast<int>(bits.Read(6));
          s[2] = static_cast<int>(bits.Read(6));
          break;
        case 2:
          s[0] = s[1] = s[2] = static_cast<int>(bits.Read(6));
          break;
        default:
          s[0] = static_cast<int>(bits.Read(6));
          s[1] = s[2] = static_cast<int>(bits.Read(6));
          break;
      }
    }
  }
  // Per coded subband: its quantiser and, for each third of the frame, the scale
  // factor over the step count, so a code c becomes (2c - steps + 1) x factor.
  struct Coded {
    const QuantClass* q;
    const std::uint8_t (*groups)[3];
    int shared;  // above the bound: the first channel's samples
    float factor[3];
  };
  Coded coded[2][32];
  for (int sb = 0; sb < sblimit; ++sb) {
    for (int ch = 0; ch < channels; ++ch) {
      Coded& c = coded[ch][sb];
      c.q = cls[ch][sb] ? &kQuantClass[cls[ch][sb] - 1] : nullptr;
      if (!c.q) continue;
      c.groups = c.q->grouped ? Groups().For(c.q->steps) : nullptr;
      c.shared = sb >= bound && ch == 1;
      for (int part = 0; part < 3; ++part) {
        c.factor[part] = kLayer12Scalefactor[scale[ch][sb][part]] / static_cast<float>(c.q->steps);
      }
    }
  }
  std::memset(out, 0, sizeof(out));
  for (int gr = 0; gr < 12; ++gr) {
    const int part = gr >> 2;
    for (int sb = 0; sb < sblimit; ++sb) {
      int codes[3] = {};
      for (int ch = 0; ch < channels; ++ch) {
        const Coded& c = coded[ch][sb];
        if (!c.q) continue;
        if (!c.shared) {
          if (c.groups) {
            const std::uint8_t* g = c.groups[bits.Read(c.q->bits)];
            for (int i = 0; i < 3; ++i) codes[i] = g[i];
          } else {
            for (int& code : codes) code = static_cast<int>(bits.Read(c.q->bits));
          }
        }
        const int offset = 1 - static_cast<int>(c.q->steps);
        for (int i = 0; i < 3; ++i) out[ch][gr * 3 + i][sb] = static_cast<float>(2 * codes[i] + offset) * c.factor[part];
      }
    }
  }
  return bits.Overrun() ? kCorrupt : 36;
}

}  // namespace mpa
