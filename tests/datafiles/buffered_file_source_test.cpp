// Reading the rest of a file through a window gives exactly what reading the
// same bytes from memory gives, whatever the steps, across every window edge.
#include "datafiles/byte_source.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/core/file.h"
#include "support/temp_dir.h"

namespace {

constexpr std::size_t kWindow = BufferedFileSource::kWindow;

std::vector<std::uint8_t> Pattern(std::size_t n) {
  std::vector<std::uint8_t> bytes(n);
  std::uint32_t x = 12345;
  for (auto& b : bytes) {
    x = x * 1103515245u + 12345u;
    b = static_cast<std::uint8_t>(x >> 24);
  }
  return bytes;
}

struct Step {
  bool skip;
  std::size_t n;
};

class BufferedFileSourceTest : public testsupport::TempDirTest {};

TEST_F(BufferedFileSourceTest, ReadsAndSkipsAsTheSameBytesInMemory) {
  const std::size_t kHead = 11;  // read from the file before the source takes over
  const std::vector<std::uint8_t> bytes = Pattern(3 * kWindow + 123);
  dir.Write("data.bin", bytes);
  const std::vector<std::vector<Step>> plans = {
      {{false, 4}, {false, kWindow}, {false, 1}, {false, 2 * kWindow + 10}, {false, 97}},
      {{false, kWindow - 12}, {false, 3}, {true, 5}, {false, kWindow + 1}, {true, kWindow}, {false, 200}},
      {{true, kWindow - 11}, {false, 2}, {true, 2 * kWindow}, {false, 20}},
      {{false, 3 * kWindow + 112}},
      {{false, 7}, {false, 3 * kWindow + 106}},  // one byte past the end
      {{true, 3 * kWindow + 113}, {false, 1}},
  };
  for (std::size_t p = 0; p < plans.size(); ++p) {
    platform::File file("data.bin", platform::File::modeRead);
    std::uint8_t head[kHead];
    ASSERT_EQ(file.Read(head, kHead), kHead);
    BufferedFileSource windowed(file);
    SpanSource memory(std::span<const std::uint8_t>(bytes).subspan(kHead));
    ASSERT_EQ(windowed.Remaining(), memory.Remaining());
    for (std::size_t s = 0; s < plans[p].size(); ++s) {
      const Step& step = plans[p][s];
      if (step.skip) {
        EXPECT_EQ(windowed.Skip(step.n), memory.Skip(step.n)) << p << " " << s;
      } else {
        std::vector<std::uint8_t> a(step.n, 0xAA), b(step.n, 0xAA);
        EXPECT_EQ(windowed.Read(a.data(), a.size()), memory.Read(b.data(), b.size())) << p << " " << s;
        EXPECT_EQ(a, b) << p << " " << s;
      }
      EXPECT_EQ(windowed.Remaining(), memory.Remaining()) << p << " " << s;
      EXPECT_EQ(windowed.failed(), memory.failed()) << p << " " << s;
    }
  }
}

TEST_F(BufferedFileSourceTest, FileThatShrinksEndsWhereItEnds) {
  const std::vector<std::uint8_t> bytes = Pattern(2 * kWindow);
  dir.Write("data.bin", bytes);
  platform::File file("data.bin", platform::File::modeRead);
  BufferedFileSource source(file);
  std::vector<std::uint8_t> first(10);
  ASSERT_TRUE(source.Read(first.data(), first.size()));
  dir.Write("data.bin", std::span<const std::uint8_t>(bytes.data(), kWindow + 5));  // cut behind its back

  std::vector<std::uint8_t> rest(2 * kWindow - 10);
  EXPECT_FALSE(source.Read(rest.data(), rest.size()));
  EXPECT_TRUE(source.failed());
  EXPECT_EQ(source.Remaining(), 0u);
  EXPECT_EQ(std::vector<std::uint8_t>(first.begin(), first.end()),
            std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 10));
}

}  // namespace
