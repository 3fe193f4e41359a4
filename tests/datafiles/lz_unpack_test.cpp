#include "datafiles/common/lz_unpack.h"

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "archive_fixture.h"

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

TEST(LzUnpack, EmptyInputGivesNothing) {
  std::vector<std::uint8_t> out = ToBytes("x");
  const LzUnpackResult r = LzUnpack({}, out);
  EXPECT_FALSE(r.complete);
  EXPECT_TRUE(out.empty());
}

}  // namespace
