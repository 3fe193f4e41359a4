#include "datafiles/common/lz_pack.h"

#include <array>
#include <memory>

namespace {

constexpr unsigned kHashBits = 14;
constexpr unsigned kWindowMask = 1023;  // chain links live for one ring turn
// Enough to find nearly every match in a 1023-byte window while keeping
// pathological input (long runs of one value) linear.
constexpr unsigned kMaxChain = 128;

struct Match {
  unsigned length = 0;
  unsigned distance = 0;
};

// Collects items and their flag bytes in the decoder's order.
class ItemWriter {
 public:
  explicit ItemWriter(std::vector<std::uint8_t>& out) : out_(out) {}

  void Literal(std::uint8_t b) {
    Flag(true);
    out_.push_back(b);
  }
  void Reference(unsigned distance, unsigned length) {
    Word(static_cast<std::uint16_t>(distance | ((length - kLzMinMatch) << 10)));
  }
  void End() { Word(0); }

 private:
  void Word(std::uint16_t w) {
    Flag(false);
    out_.push_back(static_cast<std::uint8_t>(w & 0xFF));
    out_.push_back(static_cast<std::uint8_t>(w >> 8));
  }
  void Flag(bool literal) {
    if (bit_ == 8) {
      flagAt_ = out_.size();
      out_.push_back(0);
      bit_ = 0;
    }
    if (literal) out_[flagAt_] |= static_cast<std::uint8_t>(1u << bit_);
    ++bit_;
  }

  std::vector<std::uint8_t>& out_;
  std::size_t flagAt_ = 0;
  unsigned bit_ = 8;
};

// Hash chains over the last 1023 positions.
class MatchFinder {
 public:
  explicit MatchFinder(std::span<const std::uint8_t> in) : in_(in) {
    head_.fill(-1);
    prev_.fill(-1);
  }

  void Insert(std::size_t pos) {
    if (pos + kLzMinMatch > in_.size()) return;
    const unsigned h = Hash(pos);
    prev_[pos & kWindowMask] = head_[h];
    head_[h] = static_cast<std::int64_t>(pos);
  }

  // Longest match for the bytes at pos among the positions inserted so far.
  // Comparing input against input models overlapping copies: the decoder
  // produces each byte before it is needed again.
  Match Find(std::size_t pos) const {
    Match best;
    if (pos + kLzMinMatch > in_.size()) return best;
    const std::size_t limit = std::min<std::size_t>(kLzMaxMatch, in_.size() - pos);
    const std::int64_t oldest = static_cast<std::int64_t>(pos) - kLzMaxDistance;
    const std::uint8_t* cur = in_.data() + pos;
    std::int64_t cand = head_[Hash(pos)];
    for (unsigned chain = 0; cand >= 0 && cand >= oldest && chain < kMaxChain; ++chain) {
      const std::uint8_t* p = in_.data() + cand;
      // Cheap rejection: a longer match must agree at the current best length
      // (best.length < limit here, or the search would have stopped).
      if (p[best.length] == cur[best.length]) {
        unsigned len = 0;
        while (len < limit && p[len] == cur[len]) ++len;
        if (len > best.length) {
          best.length = len;
          best.distance = static_cast<unsigned>(static_cast<std::int64_t>(pos) - cand);
          if (len == limit) break;
        }
      }
      cand = prev_[static_cast<std::size_t>(cand) & kWindowMask];
    }
    if (best.length < kLzMinMatch) best = {};
    return best;
  }

 private:
  unsigned Hash(std::size_t pos) const {
    const std::uint32_t v = in_[pos] | (std::uint32_t(in_[pos + 1]) << 8) | (std::uint32_t(in_[pos + 2]) << 16);
    return (v * 2654435761u) >> (32 - kHashBits);
  }

  std::span<const std::uint8_t> in_;
  std::array<std::int64_t, 1u << kHashBits> head_;
  std::array<std::int64_t, kWindowMask + 1> prev_;
};

}  // namespace

std::vector<std::uint8_t> LzPack(std::span<const std::uint8_t> input) {
  std::vector<std::uint8_t> out;
  out.reserve(input.size() + input.size() / 8 + 4);
  ItemWriter items(out);
  auto finder = std::make_unique<MatchFinder>(input);

  const std::size_t n = input.size();
  std::size_t pos = 0;
  Match match = finder->Find(pos);
  while (pos < n) {
    finder->Insert(pos);
    if (match.length == 0) {
      items.Literal(input[pos]);
      match = finder->Find(++pos);
      continue;
    }
    // One step of lazy evaluation: a longer match one byte later is worth a literal.
    if (match.length < kLzMaxMatch) {
      const Match next = finder->Find(pos + 1);
      if (next.length > match.length) {
        items.Literal(input[pos]);
        ++pos;
        match = next;
        continue;
      }
    }
    items.Reference(match.distance, match.length);
    for (unsigned i = 1; i < match.length; ++i) finder->Insert(pos + i);
    pos += match.length;
    match = finder->Find(pos);
  }
  items.End();
  return out;
}
