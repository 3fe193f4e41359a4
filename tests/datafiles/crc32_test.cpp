#include "datafiles/common/crc32.h"

#include <cstring>

#include <gtest/gtest.h>

namespace {

TEST(Crc32, KnownValuesWithoutFinalInversion) {
  EXPECT_EQ(Crc32Update("abc", 3, 0), 0xCA6598D0u);
  // The common CRC-32 is the same register started at all ones and inverted at the end.
  const char* check = "123456789";
  EXPECT_EQ(~Crc32Update(check, 9, 0xFFFFFFFFu), 0xCBF43926u);
}

TEST(Crc32, ContinuesFromTheStartValue) {
  const char* text = "the quick brown fox";
  const std::size_t n = std::strlen(text);
  EXPECT_EQ(Crc32Update(text + 7, n - 7, Crc32Update(text, 7, 0)), Crc32Update(text, n, 0));
}

TEST(Crc32, NothingGivesZeroWhateverTheStart) {
  EXPECT_EQ(Crc32Update(nullptr, 10, 0x1234u), 0u);
  EXPECT_EQ(Crc32Update("abc", 0, 0x1234u), 0u);
}

}  // namespace
