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
  std::memset(out, 0, sizeof(out));
  for (int gr = 0; gr < 12; ++gr) {
    const int part = gr >> 2;
    for (int sb = 0; sb < sblimit; ++sb) {
      float unit[3] = {};
      for (int ch = 0; ch < channels; ++ch) {
        if (!cls[ch][sb]) continue;
        const QuantClass& q = kQuantClass[cls[ch][sb] - 1];
        if (sb >= bound && ch == 1) {
          // Above the bound both channels share the first channel's samples.
        } else if (q.grouped) {
          unsigned code = bits.Read(q.bits);
          for (float& u : unit) {
            u = Dequantise(code % q.steps, q.steps);
            code /= q.steps;
          }
        } else {
          for (float& u : unit) u = Dequantise(bits.Read(q.bits), q.steps);
        }
        const float factor = kLayer12Scalefactor[scale[ch][sb][part]];
        for (int i = 0; i < 3; ++i) out[ch][gr * 3 + i][sb] = unit[i] * factor;
      }
    }
  }
  return bits.Overrun() ? kCorrupt : 36;
}

}  // namespace mpa
