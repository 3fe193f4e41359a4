#include "audio/mp2_bit_stream.h"

#include <cstdint>
#include <cstddef>
#include <string>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace {

using testsupport::TempDirTest;

using Mp2BitStreamTest = TempDirTest;

TEST_F(Mp2BitStreamTest, BitsArePackedMostSignificantFirstWithTheBegunByteWritten) {
  Mp2BitStream stream;
  ASSERT_TRUE(stream.Open("bits.bin", 4096));
  stream.PutBit(1);
  stream.PutBits(0x5, 3);       // 101
  stream.PutBits(0xABCD, 16);   // spans bytes
  stream.PutBits(0x3, 2);
  EXPECT_EQ(stream.TotalBits(), 22u);
  ASSERT_TRUE(stream.Close());
  // 1101 1010 1011 1100 1101 11(00)
  EXPECT_EQ(dir.Read("bits.bin"), std::string("\xDA\xBC\xDC", 3));
}

TEST_F(Mp2BitStreamTest, WholeBytesEndWithOneZeroByte) {
  Mp2BitStream stream;
  ASSERT_TRUE(stream.Open("bits.bin", 4096));
  stream.PutBits(0xFFFD50C0u, 32);
  ASSERT_TRUE(stream.Close());
  EXPECT_EQ(dir.Read("bits.bin"), std::string("\xFF\xFD\x50\xC0\x00", 5));
}

TEST_F(Mp2BitStreamTest, BufferRefillsKeepEveryByteInOrder) {
  Mp2BitStream stream;
  ASSERT_TRUE(stream.Open("bits.bin", 64));  // small buffer: many refills
  std::string expected;
  for (std::uint32_t i = 0; i < 1000; ++i) {
    const std::uint32_t word = i * 2654435761u;
    stream.PutBits(word, 32);
    for (int b = 3; b >= 0; --b) expected.push_back(static_cast<char>(word >> (8 * b)));
  }
  ASSERT_TRUE(stream.Close());
  expected.push_back('\0');
  EXPECT_EQ(dir.Read("bits.bin"), expected);
}

TEST_F(Mp2BitStreamTest, MoreThan32BitsAtOnceIsRefusedWithADiagnostic) {
  Mp2BitStream stream;
  ASSERT_TRUE(stream.Open("bits.bin", 4096));
  testing::internal::CaptureStdout();
  stream.PutBits(1, 33);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Cannot read or write more than 32 bits at a time.\n");
  EXPECT_EQ(stream.TotalBits(), 0u);
  stream.PutBits(0xA5, 8);
  ASSERT_TRUE(stream.Close());
  EXPECT_EQ(dir.Read("bits.bin"), std::string("\xA5\x00", 2));
}

TEST_F(Mp2BitStreamTest, AnAbandonedStreamLeavesNoFile) {
  Mp2BitStream stream;
  ASSERT_TRUE(stream.Open("bits.bin", 4096));
  stream.PutBits(0xFF, 8);
  stream.Abandon();
  EXPECT_FALSE(dir.Exists("bits.bin"));
}

TEST_F(Mp2BitStreamTest, ABufferThatCannotBeAllocatedStopsCleanly) {
  Mp2BitStream stream;
  testing::internal::CaptureStdout();
  EXPECT_FALSE(stream.Open("bits.bin", SIZE_MAX));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Unable to allocate bit stream buffer\n");
  EXPECT_FALSE(stream.IsOpen());
  EXPECT_FALSE(dir.Exists("bits.bin"));
  stream.PutBits(0xFF, 8);  // harmless on a stream that did not open
  EXPECT_FALSE(stream.Close());
  EXPECT_FALSE(dir.Exists("bits.bin"));
}

}  // namespace
