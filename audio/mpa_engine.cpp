#include "audio/mpa_engine.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "audio/mpa_bit_reader.h"
#include "audio/mpa_layer12.h"

namespace mpa {
namespace {

constexpr std::size_t kReservoirBytes = 4096;

// 16-bit samples divided by 32 to 8-bit values, rounded to nearest.
struct EightBitTable {
  std::uint8_t values[2048];
  EightBitTable() {
    for (int i = 0; i < 2048; ++i) {
      const int sample = (i - 1024) * 32 + 16;
      values[i] = static_cast<std::uint8_t>(std::clamp((sample + 32768 + 128) >> 8, 0, 255));
    }
  }
};

}  // namespace

MpaEngine::MpaEngine() : reservoir_(kReservoirBytes) {}

MpaEngine::ReadFunction MpaEngine::MemoryReader(const void* data, std::size_t size) {
  auto pos = std::make_shared<std::size_t>(0);
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  return [bytes, size, pos](std::uint8_t* dst, int length) {
    if (length < 0 || size - *pos < static_cast<std::size_t>(length)) return kEndOfInput;
    std::memcpy(dst, bytes + *pos, static_cast<std::size_t>(length));
    *pos += static_cast<std::size_t>(length);
    return 0;
  };
}

void MpaEngine::SetEqualizer(const float (*gains)[32]) {
  synthesis_[0].SetEqualizer(gains ? gains[0] : nullptr);
  synthesis_[1].SetEqualizer(gains ? gains[1] : nullptr);
}

void MpaEngine::Reset() {
  pushback_.clear();
  pushback_pos_ = 0;
  have_next_ = false;
  report_lost_sync_ = false;
  reservoir_len_ = 0;
  frame_bytes_ = 0;
  layer3_.Reset();
  synthesis_[0].Reset();
  synthesis_[1].Reset();
}

int MpaEngine::ReadBytes(std::uint8_t* dst, int length) {
  int done = 0;
  while (done < length && pushback_pos_ < pushback_.size()) dst[done++] = pushback_[pushback_pos_++];
  if (pushback_pos_ == pushback_.size()) {
    pushback_.clear();
    pushback_pos_ = 0;
  }
  if (done == length) return 0;
  if (!read_) return kEndOfInput;
  return read_(dst + done, length - done);
}

int MpaEngine::FindHeader(std::uint32_t& word) {
  std::uint8_t bytes[4];
  if (int rc = ReadBytes(bytes, 4); rc < 0) return rc;
  word = static_cast<std::uint32_t>(bytes[0]) << 24 | bytes[1] << 16 | bytes[2] << 8 | bytes[3];
  while (!MpaHeader::IsHeader(word)) {
    std::uint8_t next;
    if (int rc = ReadBytes(&next, 1); rc < 0) {
      // Input that may grow (a streaming buffer): look at the last three bytes again next time.
      if (rc != kEndOfInput) {
        pushback_.assign({static_cast<std::uint8_t>(word >> 16), static_cast<std::uint8_t>(word >> 8),
                          static_cast<std::uint8_t>(word)});
        pushback_pos_ = 0;
      }
      return rc;
    }
    word = word << 8 | next;
  }
  return 0;
}

int MpaEngine::DownsampleShift(int rate) const {
  if (downsampling_ == 1) return rate >= 32000 ? 1 : 0;
  if (downsampling_ == 2) return rate >= 32000 ? 2 : (rate >= 16000 ? 1 : 0);
  return 0;
}

int MpaEngine::OutputChannels() const { return header_.Channels() == 2 && routing_ == 0 ? 2 : 1; }

int MpaEngine::OutputRateHz() const {
  const int rate = header_.SampleRateHz();
  return rate >> DownsampleShift(rate);
}

int MpaEngine::NextFrame(std::span<std::int16_t> out) {
  if (out.size() < kMaxFrameSamples) return -101;
  if (report_lost_sync_) {
    report_lost_sync_ = false;
    return kDecodeFault;
  }
  const bool checked = have_next_;
  std::uint32_t word = next_word_;
  have_next_ = false;
  if (!checked) {
    if (int rc = FindHeader(word); rc < 0) return rc;
  }
  const MpaHeader header = MpaHeader::Parse(word);
  const int body = header.FrameBytes() - 4;
  if (body <= 0 || body > static_cast<int>(frame_.size())) return kDecodeFault;
  if (int rc = ReadBytes(frame_.data(), body); rc < 0) {
    if (rc != kEndOfInput) {
      // Not all of the frame is there yet: keep its header for the next call.
      have_next_ = true;
      next_word_ = word;
    }
    return rc;
  }

  std::uint8_t peek[4];
  const int peeked = ReadBytes(peek, 4);
  if (peeked == 0) {
    const std::uint32_t following = static_cast<std::uint32_t>(peek[0]) << 24 | peek[1] << 16 | peek[2] << 8 | peek[3];
    if (MpaHeader::IsHeader(following)) {
      have_next_ = true;
      next_word_ = following;
    } else if (!checked) {
      // A header found by searching and not followed by another is taken for
      // rubbish: search again from the byte after it.
      std::vector<std::uint8_t> again;
      again.reserve(static_cast<std::size_t>(body) + 7 + pushback_.size() - pushback_pos_);
      again.push_back(static_cast<std::uint8_t>(word >> 16));
      again.push_back(static_cast<std::uint8_t>(word >> 8));
      again.push_back(static_cast<std::uint8_t>(word));
      again.insert(again.end(), frame_.begin(), frame_.begin() + body);
      again.insert(again.end(), peek, peek + 4);
      again.insert(again.end(), pushback_.begin() + static_cast<std::ptrdiff_t>(pushback_pos_), pushback_.end());
      pushback_ = std::move(again);
      pushback_pos_ = 0;
      return kDecodeFault;
    } else {
      // Sync lost after a good frame: keep this frame, report the loss next, and
      // search from the bytes that should have been a header.
      report_lost_sync_ = true;
      std::vector<std::uint8_t> again(peek, peek + 4);
      again.insert(again.end(), pushback_.begin() + static_cast<std::ptrdiff_t>(pushback_pos_), pushback_.end());
      pushback_ = std::move(again);
      pushback_pos_ = 0;
    }
  }
  header_ = header;
  frame_bytes_ = body;
  return DecodeBody(out);
}

int MpaEngine::DecodeBody(std::span<std::int16_t> out) {
  const MpaHeader& h = header_;
  MpaBitReader bits(frame_.data(), static_cast<std::size_t>(frame_bytes_));
  if (h.protection) bits.Skip(16);
  int slots;
  if (h.layer == 1) {
    slots = DecodeLayer1(h, bits, subbands_);
  } else if (h.layer == 2) {
    slots = DecodeLayer2(h, bits, subbands_);
  } else {
    Layer3SideInfo side;
    if (!MpaLayer3::ReadSideInfo(h, bits, side)) return kDecodeFault;
    const std::size_t data_start = bits.Position() / 8;
    if (data_start > static_cast<std::size_t>(frame_bytes_)) return kDecodeFault;
    const std::size_t data_len = static_cast<std::size_t>(frame_bytes_) - data_start;
    // Keep what later frames may point back to; the reservoir never overflows.
    if (reservoir_len_ + data_len > kReservoirBytes) {
      const std::size_t keep = kReservoirBytes - data_len;
      std::memmove(reservoir_.data(), reservoir_.data() + reservoir_len_ - keep, keep);
      reservoir_len_ = keep;
    }
    const std::size_t before = reservoir_len_;
    std::memcpy(reservoir_.data() + reservoir_len_, frame_.data() + data_start, data_len);
    reservoir_len_ += data_len;
    if (static_cast<std::size_t>(side.main_data_begin) > before) {
      slots = layer3_.Silence(h, subbands_);
    } else {
      MpaBitReader main(reservoir_.data(), reservoir_len_);
      main.SetPosition((before - static_cast<std::size_t>(side.main_data_begin)) * 8);
      slots = layer3_.Decode(h, side, main, subbands_);
    }
  }
  if (slots < 0) return slots;

  const int channels = h.Channels();
  const int shift = DownsampleShift(h.SampleRateHz());
  const int per_slot = 32 >> shift;
  synthesis_[0].SetDownsampleShift(shift);
  synthesis_[1].SetDownsampleShift(shift);
  std::int16_t* pcm = out.data();
  if (channels == 2 && routing_ == 0) {
    for (int t = 0; t < slots; ++t) {
      MpaSynthesis::SynthesizePair(synthesis_[0], synthesis_[1], subbands_[0][t], subbands_[1][t],
                                   pcm + t * per_slot * 2);
    }
    return slots * per_slot * 2;
  }
  for (int t = 0; t < slots; ++t) {
    const float* source = subbands_[0][t];
    float mixed[32];
    if (channels == 2 && routing_ == 2) {
      source = subbands_[1][t];
    } else if (channels == 2 && routing_ == 3) {
      for (int sb = 0; sb < 32; ++sb) mixed[sb] = (subbands_[0][t][sb] + subbands_[1][t][sb]) * 0.5f;
      source = mixed;
    }
    synthesis_[0].Synthesize(source, pcm + t * per_slot, 1);
  }
  return slots * per_slot;
}

std::uint8_t MpaEngine::To8BitShift(std::int16_t sample) {
  return static_cast<std::uint8_t>(sample / 256 + 128);
}

std::uint8_t MpaEngine::To8BitTable(std::int16_t sample) {
  static const EightBitTable table;
  return table.values[(sample + 32768) >> 5];
}

}  // namespace mpa
