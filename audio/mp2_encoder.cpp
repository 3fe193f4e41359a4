#include "audio/mp2_encoder.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "audio/mp2_tables.h"

namespace {

constexpr int kBlocks = 3;
constexpr int kBlockSamples = 12;
constexpr int kHeaderBits = 32;
constexpr int kUnusedScaleFactor = 63;
// Slots of 8 bits per frame at 80 kbit/s and 44.1 kHz: 261.224...
constexpr double kSlotsPerFrame = 1152.0 / 44.1 * 80.0 / 8.0;
constexpr int kWholeSlots = 261;

int ScaleFactorsSent(int scfsi) { return scfsi == 0 ? 3 : scfsi == 2 ? 1 : 2; }

const mp2::QuantClass& ClassOf(int subband, int allocation) {
  return mp2::kQuantClasses[mp2::AllocClass(subband, allocation) - 1];
}

// Bits of one subband's 36 samples at an allocation.
int SampleBits(int subband, int allocation) {
  if (allocation == 0) return 0;
  const mp2::QuantClass& c = ClassOf(subband, allocation);
  return kBlockSamples * (c.grouped ? 1 : 3) * c.codewordBits;
}

}  // namespace

struct Mp2Encoder::Frame {
  std::array<std::int16_t, kFrameSamples> pcm{};
  double sample[kBlocks][kBlockSamples][mp2::kSubbands]{};
  int scaleIndex[kBlocks][mp2::kSubbands]{};
  int scfsi[mp2::kSubbands]{};
  int allocation[mp2::kSubbands]{};
  std::uint32_t code[kBlocks][kBlockSamples][mp2::kSubbands]{};
  double largestScale[mp2::kSubbands]{};
  double smr[mp2::kSubbands]{};
};

Mp2Encoder::Mp2Encoder() = default;
Mp2Encoder::~Mp2Encoder() = default;

int EncodeWavToMp2(std::string_view wavPath, std::string_view mp2Path) {
  Mp2Encoder encoder;
  return encoder.Encode(wavPath, mp2Path);
}

void Mp2Encoder::Reset() {
  if (input_.IsOpen()) input_.Abort();
  stream_.Abandon();
  filter_.Reset();
  model_.Reset();
  inputEnded_ = false;
  slotLag_ = -(kSlotsPerFrame - kWholeSlots);
}

int Mp2Encoder::OpenEncoderFiles(std::string_view wavPath, std::string_view mp2Path) {
  Reset();
  if (!input_.Open(wavPath, platform::File::modeRead)) return 0;
  if (!stream_.Open(mp2Path, kBitStreamBuffer)) {
    input_.Abort();
    return 0;
  }
  bool seeked = false;
  try {
    input_.Seek(kWavHeaderBytes, platform::File::begin);
    seeked = true;
  } catch (const platform::FileException&) {
  }
  if (!seeked) {
    std::printf("Could not seek to PCM sound data in \"%.*s\".\n", static_cast<int>(wavPath.size()), wavPath.data());
    stream_.Abandon();
    input_.Abort();
    return 0;
  }
  return 1;
}

int Mp2Encoder::Encode(std::string_view wavPath, std::string_view mp2Path) {
  frame_.reset(new (std::nothrow) Frame());
  if (!frame_) {
    std::printf("Unable to allocate %s\n", "frame buffers");
    return 1;
  }
  if (!OpenEncoderFiles(wavPath, mp2Path)) return 1;
  bool readFailed = false;
  while (true) {
    int got = 0;
    try {
      got = ReadSamples();
    } catch (const platform::FileException&) {
      readFailed = true;
    }
    if (readFailed || got == 0) break;
    const bool padded = NextFramePadded();
    const int availableBits = (kWholeSlots + (padded ? 1 : 0)) * 8;
    Analyse();
    ChooseScaleFactors();
    model_.Compute(std::span<const std::int16_t, kFrameSamples>(frame_->pcm),
                   std::span<const double, 32>(frame_->largestScale), std::span<double, 32>(frame_->smr));
    ChooseScaleFactorSelection();
    AllocateBits(availableBits);
    Quantise();
    WriteFrame(padded, availableBits);
    if (inputEnded_) break;
  }
  input_.Abort();
  if (readFailed) {
    stream_.Abandon();
    return 1;
  }
  return stream_.Close() ? 0 : 1;
}

int Mp2Encoder::ReadSamples() {
  if (inputEnded_) return 0;
  std::uint8_t bytes[kFrameSamples * 2];
  std::size_t got = 0;
  // A file ends only where a read gives nothing more.
  while (got < sizeof bytes) {
    const std::size_t n = input_.Read(bytes + got, sizeof bytes - got);
    if (n == 0) break;
    got += n;
  }
  const int samples = static_cast<int>(got / 2);
  for (int i = 0; i < kFrameSamples; ++i) {
    frame_->pcm[static_cast<std::size_t>(i)] =
        i < samples ? static_cast<std::int16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8)) : std::int16_t{0};
  }
  if (samples < kFrameSamples) inputEnded_ = true;
  return samples;
}

bool Mp2Encoder::NextFramePadded() {
  const double fraction = kSlotsPerFrame - kWholeSlots;
  if (fraction - 1.0 >= slotLag_) {
    slotLag_ += 1.0 - fraction;
    return true;
  }
  slotLag_ -= fraction;
  return false;
}

void Mp2Encoder::Analyse() {
  double in[32];
  for (int block = 0; block < kBlocks; ++block) {
    for (int s = 0; s < kBlockSamples; ++s) {
      const int base = (block * kBlockSamples + s) * 32;
      for (int j = 0; j < 32; ++j) in[j] = frame_->pcm[static_cast<std::size_t>(base + j)] / 32768.0;
      filter_.Analyse(in, frame_->sample[block][s]);
    }
  }
}

void Mp2Encoder::ChooseScaleFactors() {
  Frame& f = *frame_;
  for (int sb = 0; sb < mp2::kSubbands; ++sb) {
    f.largestScale[sb] = 0.0;
    for (int block = 0; block < kBlocks; ++block) {
      if (sb >= mp2::kSubbandLimit) {
        f.scaleIndex[block][sb] = kUnusedScaleFactor;
        continue;
      }
      double peak = 0.0;
      for (int s = 0; s < kBlockSamples; ++s) peak = std::max(peak, std::fabs(f.sample[block][s][sb]));
      int index = 62;
      while (index > 0 && mp2::kScaleFactors[index] < peak) --index;
      f.scaleIndex[block][sb] = index;
      f.largestScale[sb] = std::max(f.largestScale[sb], mp2::kScaleFactors[index]);
    }
  }
}

// Blocks whose scale factors lie within one step of each other share one, the
// largest of them, so no sample overloads its quantiser. Sharing across two steps
// saved bits but cost more in the blocks it coarsened.
void Mp2Encoder::ChooseScaleFactorSelection() {
  Frame& f = *frame_;
  for (int sb = 0; sb < mp2::kSubbandLimit; ++sb) {
    int* s[3] = {&f.scaleIndex[0][sb], &f.scaleIndex[1][sb], &f.scaleIndex[2][sb]};
    const bool near01 = std::abs(*s[0] - *s[1]) <= 1;
    const bool near12 = std::abs(*s[1] - *s[2]) <= 1;
    const bool near02 = std::abs(*s[0] - *s[2]) <= 1;
    if (near01 && near12 && near02) {
      f.scfsi[sb] = 2;
      *s[0] = *s[1] = *s[2] = std::min({*s[0], *s[1], *s[2]});
    } else if (near01) {
      f.scfsi[sb] = 1;
      *s[0] = *s[1] = std::min(*s[0], *s[1]);
    } else if (near12) {
      f.scfsi[sb] = 3;
      *s[1] = *s[2] = std::min(*s[1], *s[2]);
    } else {
      f.scfsi[sb] = 0;
    }
  }
}

void Mp2Encoder::AllocateBits(int availableBits) {
  Frame& f = *frame_;
  int fieldBits = 0;
  for (int sb = 0; sb < mp2::kSubbandLimit; ++sb) fieldBits += mp2::AllocBits(sb);
  const int available = availableBits - kHeaderBits - fieldBits;
  double mnr[mp2::kSubbands];
  bool open[mp2::kSubbands];
  for (int sb = 0; sb < mp2::kSubbands; ++sb) {
    f.allocation[sb] = 0;
    mnr[sb] = -f.smr[sb];
    open[sb] = sb < mp2::kSubbandLimit;
  }
  int used = 0;
  while (true) {
    double smallest = 999999.0;
    int pick = -1;
    for (int sb = 0; sb < mp2::kSubbandLimit; ++sb) {
      if (open[sb] && mnr[sb] < smallest) {
        smallest = mnr[sb];
        pick = sb;
      }
    }
    if (pick >= 0 && smallest >= 0.0) {
      // Every subband still open has its noise under its mask: the rest of the bits
      // go where the noise is loudest (its level less its quantiser's SNR).
      double loudest = -999999.0;
      for (int sb = 0; sb < mp2::kSubbandLimit; ++sb) {
        if (!open[sb]) continue;
        const double snr = f.allocation[sb] ? ClassOf(sb, f.allocation[sb]).snrDb : 0.0;
        const double noise = model_.LevelDb()[static_cast<std::size_t>(sb)] - snr;
        if (noise > loudest) {
          loudest = noise;
          pick = sb;
        }
      }
    }
    if (pick < 0) break;
    const int now = f.allocation[pick];
    int more = SampleBits(pick, now + 1) - SampleBits(pick, now);
    if (now == 0) more += 2 + 6 * ScaleFactorsSent(f.scfsi[pick]);
    if (used + more < available) {
      used += more;
      f.allocation[pick] = now + 1;
      mnr[pick] = ClassOf(pick, now + 1).snrDb - f.smr[pick];
      if (now + 1 == (1 << mp2::AllocBits(pick)) - 1) open[pick] = false;
    } else {
      open[pick] = false;
    }
  }
}

void Mp2Encoder::Quantise() {
  Frame& f = *frame_;
  for (int sb = 0; sb < mp2::kSubbandLimit; ++sb) {
    if (f.allocation[sb] == 0) continue;
    const mp2::QuantClass& c = ClassOf(sb, f.allocation[sb]);
    const double half = static_cast<double>(1u << (c.sampleBits - 1));
    const auto top = static_cast<std::int64_t>(c.steps - 1);
    for (int block = 0; block < kBlocks; ++block) {
      const double scale = mp2::kScaleFactors[f.scaleIndex[block][sb]];
      for (int s = 0; s < kBlockSamples; ++s) {
        const double x = f.sample[block][s][sb] / scale;
        if (x > 1.0 || x < -1.0) std::printf("Not scaled properly %d %d %d %d\n", 0, block, s, sb);
        // The top N bits of the two's-complement fraction A x + B, sign bit inverted.
        const double d = c.a * x + c.b;
        const auto q = static_cast<std::int64_t>(std::floor(d * half)) + static_cast<std::int64_t>(half);
        f.code[block][s][sb] = static_cast<std::uint32_t>(std::clamp<std::int64_t>(q, 0, top));
      }
    }
  }
}

void Mp2Encoder::WriteFrame(bool padded, int availableBits) {
  const Frame& f = *frame_;
  const std::uint64_t start = stream_.TotalBits();
  stream_.PutBits(kHeaderBase | (padded ? 0x200u : 0u), kHeaderBits);
  for (int sb = 0; sb < mp2::kSubbandLimit; ++sb) {
    stream_.PutBits(static_cast<std::uint32_t>(f.allocation[sb]), mp2::AllocBits(sb));
  }
  for (int sb = 0; sb < mp2::kSubbandLimit; ++sb) {
    if (f.allocation[sb]) stream_.PutBits(static_cast<std::uint32_t>(f.scfsi[sb]), 2);
  }
  for (int sb = 0; sb < mp2::kSubbandLimit; ++sb) {
    if (!f.allocation[sb]) continue;
    const auto put = [&](int block) { stream_.PutBits(static_cast<std::uint32_t>(f.scaleIndex[block][sb]), 6); };
    switch (f.scfsi[sb]) {
      case 0: put(0); put(1); put(2); break;
      case 1: put(0); put(2); break;
      case 2: put(0); break;
      default: put(0); put(1); break;
    }
  }
  for (int granule = 0; granule < 12; ++granule) {
    const int block = granule / 4;
    const int first = (granule % 4) * 3;
    for (int sb = 0; sb < mp2::kSubbandLimit; ++sb) {
      if (!f.allocation[sb]) continue;
      const mp2::QuantClass& c = ClassOf(sb, f.allocation[sb]);
      const std::uint32_t* codes[3] = {&f.code[block][first][sb], &f.code[block][first + 1][sb],
                                       &f.code[block][first + 2][sb]};
      if (c.grouped) {
        const auto steps = static_cast<std::uint32_t>(c.steps);
        stream_.PutBits(*codes[0] + steps * (*codes[1] + steps * *codes[2]), c.codewordBits);
      } else {
        for (const std::uint32_t* code : codes) stream_.PutBits(*code, c.codewordBits);
      }
    }
  }
  // Ancillary bits: zeros up to the frame's slot count.
  auto left = static_cast<std::int64_t>(availableBits) - static_cast<std::int64_t>(stream_.TotalBits() - start);
  while (left > 0) {
    const int n = left > 32 ? 32 : static_cast<int>(left);
    stream_.PutBits(0, n);
    left -= n;
  }
}
