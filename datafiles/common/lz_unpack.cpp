#include "datafiles/common/lz_unpack.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

#include "datafiles/common/little_endian.h"
#include "platform/core/services.h"

namespace {

constexpr std::size_t kRingSize = 1024;
constexpr std::size_t kGrowStep = 0x8000;
// Room for the longest back-reference, so one check covers a whole item.
constexpr std::size_t kMaxItem = 66;
constexpr std::size_t kWord = 8;
// A group of eight items: a flag byte and at most eight two-byte references
// in; at most eight longest references, each with two words of overrun, out.
constexpr std::size_t kGroupInput = 1 + 8 * 2;
constexpr std::size_t kGroupOutput = 8 * (kMaxItem + 2 * kWord);

// One word from s to d; s ends at or before d, so the word read is complete.
inline void CopyWord(std::uint8_t* d, const std::uint8_t* s) {
  std::uint64_t word;
  std::memcpy(&word, s, kWord);
  std::memcpy(d, &word, kWord);
}

// A reference copied byte by byte, at o in out: the copy overlaps what it
// produces, and what lies before the output's start is the ring's initial
// zeros.
inline void CopyBytes(std::uint8_t* out, std::size_t o, std::size_t dist, std::size_t len) {
  std::size_t i = 0;
  for (; i < len && o + i < dist; ++i) out[o + i] = 0;
  for (; i < len; ++i) out[o + i] = out[o + i - dist];
}

// A back-reference's word: distance (0 ends the data) and length.
struct Reference {
  std::size_t dist, len;
};
inline Reference ReadReference(const std::uint8_t* p) {
  const unsigned w = LoadLe16(p);
  return {w & 0x3FFu, (w >> 10) + 3u};
}

// Zeros come into the output this far ahead of the bytes that overwrite them,
// so they are still in the cache when they are; the capacity beyond is not
// filled first.
constexpr std::size_t kFillStep = 0x4000;

// Room for `need` bytes at o: within the capacity the size moves a step ahead
// (or to the capacity's end); past it the buffer grows by at least 32 KiB,
// and by half again what it holds, as large entries would otherwise be copied
// over and over.
void MakeRoom(std::vector<std::uint8_t>& out, std::size_t o, std::size_t need) {
  if (out.size() - o >= need) return;
  try {
    if (o + need > out.capacity()) {
      out.reserve(std::max(o + need, out.capacity() + std::max(kGrowStep, out.capacity() / 2)));
    }
    out.resize(std::min(out.capacity(), std::max(o + need, o + kFillStep)));
  } catch (const std::bad_alloc&) {
    std::fputs("Can't allocate memory for Output...\n", stderr);
    platform::Exit(1);
  }
}

// Room for a whole group with its overrun, as long as the capacity holds it.
bool RoomForGroup(std::vector<std::uint8_t>& out, std::size_t o) {
  if (out.capacity() - o < kGroupOutput) return false;
  MakeRoom(out, o, kGroupOutput);
  return true;
}

}  // namespace

LzUnpackResult LzUnpack(std::span<const std::uint8_t> input, std::vector<std::uint8_t>& output) {
  // The output doubles as the ring: the ring's position p after k bytes is
  // (1 + k) % 1024, and a distance below 1024 always lands on the newest byte
  // written there, i.e. output[k - d]. A reference to a ring cell never written
  // (k < d) reads the ring's initial zero.
  static_assert(kRingSize == 1024);
  output.clear();
  std::size_t o = 0;
  std::size_t in = 0;
  const std::size_t n = input.size();
  const std::uint8_t* src = input.data();
  LzUnpackResult result;

  while (in < n) {
    // Whole groups of eight items while the input surely holds one and the
    // capacity its longest output: one room check per group, not per byte.
    // Copies at a distance of a word or more go a word at a time and may
    // write past their end (at most two words), which the next items
    // overwrite; the group's room check leaves space for it.
    while (n - in >= kGroupInput) {
      if (output.size() - o < kGroupOutput && !RoomForGroup(output, o)) break;
      std::uint8_t* dst = output.data();
      unsigned flags = src[in++];
      if (flags == 0xFF) {
        std::memcpy(dst + o, src + in, 8);
        o += 8;
        in += 8;
        continue;
      }
      for (int bit = 0; bit < 8; ++bit, flags >>= 1) {
        if (flags & 1) {
          dst[o++] = src[in++];
          continue;
        }
        const Reference ref = ReadReference(src + in);
        in += 2;
        if (ref.dist == 0) {
          result.complete = true;
          goto done;
        }
        const std::size_t dist = ref.dist, len = ref.len;
        std::uint8_t* d = dst + o;
        if (dist >= kWord && o >= dist) {
          const std::uint8_t* s = d - dist;
          // Most references are short: two words without a loop test.
          CopyWord(d, s);
          CopyWord(d + kWord, s + kWord);
          for (std::size_t i = 2 * kWord; i < len; i += kWord) CopyWord(d + i, s + i);
        } else if (dist == 1 && o >= 1) {
          std::memset(d, d[-1], len);
        } else {
          CopyBytes(dst, o, dist, len);
        }
        o += len;
      }
    }
    if (in >= n) break;

    // Then a group (of the last items of the input, or near the end of the
    // capacity) item by item, each checked against the input's end and given
    // exactly its room.
    unsigned flags = src[in++];
    for (int bit = 0; bit < 8; ++bit, flags >>= 1) {
      if (flags & 1) {
        if (in >= n) goto done;
        MakeRoom(output, o, 1);
        output[o++] = src[in++];
      } else {
        if (n - in < 2) goto done;
        const Reference ref = ReadReference(src + in);
        in += 2;
        if (ref.dist == 0) {
          result.complete = true;
          goto done;
        }
        const std::size_t dist = ref.dist, len = ref.len;
        MakeRoom(output, o, len);
        CopyBytes(output.data(), o, dist, len);
        o += len;
      }
    }
  }
done:
  output.resize(o);
  result.length = o;
  return result;
}
