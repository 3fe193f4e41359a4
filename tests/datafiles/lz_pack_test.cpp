#include "datafiles/common/lz_pack.h"

#include <array>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "datafiles/common/lz_unpack.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes FromText(std::string_view s) { return Bytes(s.begin(), s.end()); }

Bytes Random(std::size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  Bytes b(n);
  for (auto& x : b) x = static_cast<std::uint8_t>(rng());
  return b;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

Bytes RepeatText(std::string_view sentence, std::size_t total) {
  Bytes out;
  while (out.size() < total) out.insert(out.end(), sentence.begin(), sentence.end());
  out.resize(total);
  return out;
}

struct StreamShape {
  std::size_t literals = 0;
  std::size_t references = 0;
  std::size_t maxLength = 0;
  bool endMarker = false;
  std::size_t bytesAfterEnd = 0;
  bool distancesWithinWritten = true;  // never a byte the ring did not receive
};

// Walks the items the way the decoder does, without decoding.
StreamShape Inspect(const Bytes& s) {
  StreamShape shape;
  std::size_t in = 0, produced = 0;
  while (in < s.size() && !shape.endMarker) {
    unsigned flags = s[in++];
    for (int bit = 0; bit < 8 && !shape.endMarker; ++bit, flags >>= 1) {
      if (flags & 1) {
        if (in >= s.size()) return shape;
        ++in;
        ++produced;
        ++shape.literals;
        continue;
      }
      if (in + 2 > s.size()) return shape;
      const unsigned w = s[in] | (s[in + 1] << 8);
      in += 2;
      const unsigned dist = w & 0x3FF, len = (w >> 10) + 3;
      if (dist == 0) {
        shape.endMarker = true;
        break;
      }
      if (dist > produced) shape.distancesWithinWritten = false;
      shape.maxLength = std::max<std::size_t>(shape.maxLength, len);
      ++shape.references;
      produced += len;
    }
  }
  shape.bytesAfterEnd = s.size() - in;
  return shape;
}

// A decoder whose ring starts full of garbage: a stream that relied on the
// zeroed ring would not survive it.
Bytes UnpackWithDirtyRing(const Bytes& s) {
  std::array<std::uint8_t, 1024> ring;
  ring.fill(0xCD);
  Bytes out;
  std::size_t pos = 1, in = 0;
  while (in < s.size()) {
    unsigned flags = s[in++];
    for (int bit = 0; bit < 8; ++bit, flags >>= 1) {
      if (flags & 1) {
        if (in >= s.size()) return out;
        out.push_back(ring[pos] = s[in++]);
        pos = (pos + 1) & 1023;
      } else {
        if (in + 2 > s.size()) return out;
        const unsigned w = s[in] | (s[in + 1] << 8);
        in += 2;
        if ((w & 0x3FF) == 0) return out;
        for (unsigned i = 0; i < (w >> 10) + 3; ++i) {
          out.push_back(ring[pos] = ring[(pos - (w & 0x3FF)) & 1023]);
          pos = (pos + 1) & 1023;
        }
      }
    }
  }
  return out;
}

struct Case {
  const char* name;
  Bytes input;
};

std::vector<Case> Inputs() {
  Bytes all256(256);
  for (int i = 0; i < 256; ++i) all256[i] = static_cast<std::uint8_t>(i);
  Bytes block = Random(700, 7);
  Bytes text = RepeatText("Le chevalier ouvre la porte du donjon. The knight opens the dungeon gate.\r\n", 5000);
  Bytes table;
  for (std::uint32_t i = 0; i < 3000; ++i) {
    for (std::uint32_t v : {i, i * 7u, 100u, 0u}) {
      for (int k = 0; k < 4; ++k) table.push_back(static_cast<std::uint8_t>(v >> (8 * k)));
    }
  }
  return {
      {"empty", {}},
      {"one byte", {0x42}},
      {"two bytes", {0x00, 0xFF}},
      {"three equal bytes", {9, 9, 9}},
      {"run of 67", Bytes(67, 'x')},
      {"run of 5000", Bytes(5000, 'x')},
      {"zeros first", Concat({Bytes(300, 0), FromText("after the zeros")})},
      {"random", Random(20000, 1)},
      {"text", text},
      {"table-like binary", table},
      {"far repeat past the ring", Concat({block, Random(2000, 8), block, Random(50, 9), block})},
      {"repeat at distance 1023", Concat({block, Random(323, 10), block})},
      {"repeat at distance 1024", Concat({block, Random(324, 11), block})},
      {"all byte values", Concat({all256, all256, all256})},
      {"run then all values", Concat({Bytes(200, 0xAA), all256, Bytes(70, 0xAA)})},
  };
}

TEST(LzPack, RoundTripsThroughTheUnpacker) {
  for (const Case& c : Inputs()) {
    SCOPED_TRACE(c.name);
    const Bytes packed = LzPack(c.input);
    Bytes out;
    const LzUnpackResult r = LzUnpack(packed, out);
    EXPECT_TRUE(r.complete);
    EXPECT_EQ(r.length, c.input.size());
    EXPECT_EQ(out, c.input);
    EXPECT_EQ(UnpackWithDirtyRing(packed), c.input);
  }
}

TEST(LzPack, StreamsEndWithTheMarkerAndReachOnlyWrittenBytes) {
  for (const Case& c : Inputs()) {
    SCOPED_TRACE(c.name);
    const StreamShape shape = Inspect(LzPack(c.input));
    EXPECT_TRUE(shape.endMarker);
    EXPECT_EQ(shape.bytesAfterEnd, 0u);
    EXPECT_TRUE(shape.distancesWithinWritten);
    EXPECT_LE(shape.maxLength, kLzMaxMatch);
  }
  // The empty input is the end marker alone.
  EXPECT_EQ(LzPack({}), (Bytes{0x00, 0x00, 0x00}));
}

TEST(LzPack, RunsBecomeOverlappingReferences) {
  // One literal, then distance 1 at the longest length: word 1 | 63 << 10.
  const Bytes packed = LzPack(Bytes(67, 'x'));
  EXPECT_EQ(packed, (Bytes{0x01, 'x', 0x01, 0xFC, 0x00, 0x00}));
  const StreamShape shape = Inspect(LzPack(Bytes(5000, 'x')));
  EXPECT_EQ(shape.literals, 1u);
  EXPECT_EQ(shape.maxLength, kLzMaxMatch);
}

TEST(LzPack, CompressesRepetitiveInput) {
  const Bytes text = RepeatText("The merchant of the northern gate sells healing potions at dawn. ", 100 * 1024);
  const Bytes packed = LzPack(text);
  EXPECT_LT(packed.size(), text.size() / 10);

  // Text that repeats only with variations still finds its matches.
  std::string varied;
  for (int i = 0; i < 2000; ++i) varied += "monster " + std::to_string(i) + " guards room " + std::to_string(i % 37) + "\n";
  const Bytes v = FromText(varied);
  EXPECT_LT(LzPack(v).size(), v.size() / 2);
}

TEST(LzPack, IncompressibleInputGrowsOnlyByItsFlags) {
  const Bytes noise = Random(64 * 1024, 3);
  const Bytes packed = LzPack(noise);
  EXPECT_LE(packed.size(), noise.size() + noise.size() / 8 + 4);
}

}  // namespace
