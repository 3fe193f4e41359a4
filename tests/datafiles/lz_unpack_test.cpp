#include "datafiles/common/lz_unpack.h"

#include <algorithm>
#include <random>
#include <span>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "archive_fixture.h"
#include "datafiles/common/lz_pack.h"
#include "support/lz_reference.h"

using archivefixture::LzStream;
using archivefixture::ToBytes;

namespace {

std::string Str(const std::vector<std::uint8_t>& v) { return {v.begin(), v.end()}; }

TEST(LzUnpack, LiteralsAndOverlappingReferences) {
  std::vector<std::uint8_t> out;
  const auto lz = LzStream().Literals("ab").Ref(2, 6).Literal('c').Ref(1, 3).End().bytes();
  const LzUnpackResult r = LzUnpack(lz, out);
  EXPECT_TRUE(r.complete);
  EXPECT_EQ(r.length, 12u);
  EXPECT_EQ(Str(out), "abababab" "cccc");
}

TEST(LzUnpack, DistanceOneLengthSixtySixRepeatsTheLastByte) {
  std::vector<std::uint8_t> out;
  // Word 0xFC01: length bits all set (63 + 3), distance 1.
  const auto lz = LzStream().Literal('z').Word(0xFC01).End().bytes();
  EXPECT_TRUE(LzUnpack(lz, out).complete);
  EXPECT_EQ(Str(out), std::string(67, 'z'));
}

TEST(LzUnpack, EndMarkerStopsBeforeTheInputEnds) {
  std::vector<std::uint8_t> out;
  auto lz = LzStream().Literals("ok").End().Literals("ignored").bytes();
  const LzUnpackResult r = LzUnpack(lz, out);
  EXPECT_TRUE(r.complete);
  EXPECT_EQ(Str(out), "ok");
  // A distance of 0 ends the data whatever the length bits say.
  out.clear();
  lz = LzStream().Literals("ok").Word(0xFC00).Literals("ignored").bytes();
  EXPECT_TRUE(LzUnpack(lz, out).complete);
  EXPECT_EQ(Str(out), "ok");
}

TEST(LzUnpack, InputEndingBeforeTheMarkerGivesWhatWasDecoded) {
  const auto full = LzStream().Literals("abcdefghij").Ref(3, 5).End().bytes();
  // Every cut of the stream: never a byte read past it (the sanitizer watches a
  // buffer of exactly that size), and never the end marker seen.
  for (std::size_t cut = 0; cut + 2 < full.size(); ++cut) {
    const std::vector<std::uint8_t> in(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(cut));
    std::vector<std::uint8_t> out;
    const LzUnpackResult r = LzUnpack(in, out);
    EXPECT_FALSE(r.complete) << cut;
    EXPECT_EQ(r.length, out.size());
    EXPECT_EQ(Str(out), std::string("abcdefghijhijhi").substr(0, out.size())) << cut;
  }
  // A reference word cut after its first byte is dropped.
  std::vector<std::uint8_t> out;
  const auto lz = LzStream().Literals("abc").Ref(1, 3).bytes();
  EXPECT_EQ(LzUnpack(std::span(lz).first(lz.size() - 1), out).length, 3u);
}

TEST(LzUnpack, RingStartsZeroedAndWrapsAt1024) {
  std::vector<std::uint8_t> out;
  // Before anything is written the ring holds zeros.
  auto lz = LzStream().Literal('x').Ref(5, 4).Literal('y').End().bytes();
  LzUnpack(lz, out);
  EXPECT_EQ(Str(out), std::string("x\0\0\0\0y", 6));
  // Once 1030 bytes are out, distance 1023 reaches byte 7 of them.
  LzStream s;
  for (int i = 0; i < 1030; ++i) s.Literal(static_cast<std::uint8_t>(i * 7));
  lz = s.Ref(1023, 3).End().bytes();
  LzUnpack(lz, out);
  ASSERT_EQ(out.size(), 1033u);
  EXPECT_EQ(out[1030], std::uint8_t(7 * 7));
  EXPECT_EQ(out[1031], std::uint8_t(8 * 7));
  EXPECT_EQ(out[1032], std::uint8_t(9 * 7));
}

// References closer than a word, in the middle of a stream: one that repeats
// the last two bytes, and one that starts before the first byte (the ring's
// zeros) and runs on into the output (found by fuzzing: the copy once stepped
// its pointer before the bytes it read).
TEST(LzUnpack, ShortDistancesInTheMiddleOfAStream) {
  const std::string rest = "then the rest of the stream";
  std::vector<std::uint8_t> out;
  auto lz = LzStream().Literals("ab").Ref(2, 6).Literals(rest).End().bytes();
  EXPECT_TRUE(LzUnpack(lz, out).complete);
  EXPECT_EQ(Str(out), "abababab" + rest);
  lz = LzStream().Literal('x').Ref(5, 8).Literals(rest).End().bytes();
  EXPECT_TRUE(LzUnpack(lz, out).complete);
  EXPECT_EQ(Str(out), std::string("x\0\0\0\0x\0\0\0", 9) + rest);
}

TEST(LzUnpack, LongOutputGrowsAndOutputIsClearedFirst) {
  std::vector<std::uint8_t> out = ToBytes("stale");
  LzStream s;
  s.Literal('q');
  for (int i = 0; i < 5000; ++i) s.Ref(1, 66);  // 330,001 bytes from about 11 KB
  const auto lz = s.End().bytes();
  const LzUnpackResult r = LzUnpack(lz, out);
  EXPECT_TRUE(r.complete);
  ASSERT_EQ(out.size(), 330001u);
  EXPECT_EQ(std::count(out.begin(), out.end(), 'q'), 330001);
  // A capacity reserved by the caller is used as it is.
  std::vector<std::uint8_t> reserved;
  reserved.reserve(400000);
  LzUnpack(lz, reserved);
  EXPECT_EQ(reserved.capacity(), 400000u);
  EXPECT_EQ(reserved, out);
}

// The archive reader reserves an entry's size exactly: the output fills that
// capacity and never outgrows it (which would copy the whole output again).
TEST(LzUnpack, AnExactReservationIsNeverOutgrown) {
  std::string text;
  for (int i = 0; text.size() < 200000; ++i) text += "row " + std::to_string(i * 7919 % 1000) + " of the table\r\n";
  LzStream runs;
  runs.Literal('q');
  for (int i = 0; i < 5000; ++i) runs.Ref(1, 66);
  const std::vector<std::uint8_t> textBytes = ToBytes(text);
  const struct {
    const char* what;
    std::vector<std::uint8_t> lz;
    std::size_t size;
  } cases[] = {
      {"packed text", LzPack(textBytes), textBytes.size()},
      {"long runs", runs.End().bytes(), 330001},
      {"a few literals", LzStream().Literals("abc").End().bytes(), 3},
  };
  for (const auto& c : cases) {
    std::vector<std::uint8_t> out;
    out.reserve(c.size);
    const std::size_t reserved = out.capacity();
    EXPECT_TRUE(LzUnpack(c.lz, out).complete) << c.what;
    EXPECT_EQ(out.size(), c.size) << c.what;
    EXPECT_EQ(out.capacity(), reserved) << c.what;
  }
  std::vector<std::uint8_t> out;
  out.reserve(textBytes.size());
  LzUnpack(LzPack(textBytes), out);
  EXPECT_EQ(out, textBytes);
}

TEST(LzUnpack, EmptyInputGivesNothing) {
  std::vector<std::uint8_t> out = ToBytes("x");
  const LzUnpackResult r = LzUnpack({}, out);
  EXPECT_FALSE(r.complete);
  EXPECT_TRUE(out.empty());
}

}  // namespace

// The fast unpacker against a plain ring decoder, on streams that mix literals
// and references of every distance (below a word, at least a word, reaching
// before the first byte) and length, cut anywhere or ended by the marker, and
// on what the packer makes of text, runs and noise; with and without output
// space reserved by the caller.
TEST(LzUnpack, MatchesAPlainDecoderOnRandomStreams) {
  std::mt19937 rng(20261210);
  auto below = [&rng](unsigned n) { return static_cast<unsigned>(rng() % n); };
  std::vector<std::vector<std::uint8_t>> streams;
  for (int s = 0; s < 400; ++s) {
    std::vector<std::uint8_t> lz;
    const int groups = 1 + static_cast<int>(below(s % 10 == 0 ? 400 : 40));
    const unsigned literalShare = below(256);
    for (int g = 0; g < groups; ++g) {
      std::uint8_t flags = 0;
      for (int bit = 0; bit < 8; ++bit) flags |= (below(256) < literalShare ? 1 : 0) << bit;
      lz.push_back(flags);
      for (int bit = 0; bit < 8; ++bit) {
        if (flags >> bit & 1) {
          lz.push_back(static_cast<std::uint8_t>(below(256)));
          continue;
        }
        unsigned distance = 0;
        switch (below(4)) {
          case 0: distance = 1 + below(7); break;
          case 1: distance = 8 + below(24); break;
          default: distance = 1 + below(1023); break;
        }
        if (g + 1 == groups && bit == 7 && below(2)) distance = 0;  // the end marker
        const unsigned word = (below(64) << 10) | distance;
        lz.push_back(static_cast<std::uint8_t>(word));
        lz.push_back(static_cast<std::uint8_t>(word >> 8));
      }
    }
    if (below(3) == 0) lz.resize(below(static_cast<unsigned>(lz.size()) + 1));  // cut anywhere
    streams.push_back(std::move(lz));
  }
  std::string text;
  for (int i = 0; i < 20000; ++i) text += "the knight of the gate " + std::to_string(below(100)) + (i % 7 ? " " : "\r\n");
  std::vector<std::uint8_t> noise(70000), runs;
  for (auto& b : noise) b = static_cast<std::uint8_t>(below(256));
  for (int i = 0; i < 3000; ++i) runs.insert(runs.end(), 1 + below(200), static_cast<std::uint8_t>(below(3)));
  for (const auto* data : {&noise, &runs}) streams.push_back(LzPack(*data));
  streams.push_back(LzPack(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size())));

  for (std::size_t s = 0; s < streams.size(); ++s) {
    const testsupport::PlainLzResult plain = testsupport::PlainLzUnpack(streams[s]);
    for (std::size_t reserved : {std::size_t(0), plain.bytes.size(), std::size_t(100)}) {
      std::vector<std::uint8_t> out;
      out.reserve(reserved);
      const LzUnpackResult r = LzUnpack(streams[s], out);
      ASSERT_EQ(r.complete, plain.complete) << "stream " << s;
      ASSERT_EQ(r.length, out.size()) << "stream " << s;
      ASSERT_EQ(out, plain.bytes) << "stream " << s << ", reserved " << reserved;
    }
  }
}
