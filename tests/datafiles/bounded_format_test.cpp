#include "datafiles/bounded_format.h"

#include <cstdio>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

namespace {

std::string Format(std::string_view format, std::initializer_list<std::int64_t> values, std::size_t capacity = 160) {
  std::string out(capacity + 8, '#');
  std::size_t n = FormatIntegers(out.data(), capacity, format, values);
  EXPECT_EQ(out[n], '\0');
  EXPECT_EQ(out.substr(capacity), std::string(8, '#')) << "nothing written past the buffer";
  return out.substr(0, n);
}

TEST(BoundedFormatTest, IntegerConversionsMatchTheCLibrary) {
  const char* formats[] = {"%d", "%i", "%5d", "%-5d|", "%05d", "%+d", "% d", "%.3d", "%8.3d", "%u", "%x", "%X",
                           "%#x", "%o", "%#o", "%hd", "%hu", "%hhd", "%ld", "%lld", "%-+6d|", "%.0d", "%#.0o"};
  const int values[] = {0, 7, -7, 255, -32768, 65535, 100000, -2147483647 - 1};
  for (const char* f : formats) {
    for (int v : values) {
      char expected[64];
      if (std::strstr(f, "ll")) std::snprintf(expected, sizeof expected, f, static_cast<long long>(v));
      else if (std::strchr(f, 'l')) std::snprintf(expected, sizeof expected, f, static_cast<long>(v));
      else std::snprintf(expected, sizeof expected, f, v);
      EXPECT_EQ(Format(f, {v}), expected) << f << " " << v;
    }
  }
}

TEST(BoundedFormatTest, AnythingElseIsPrintedAsItStands) {
  struct Case {
    const char* format;
    const char* expected;
  };
  const Case cases[] = {
      {"%s and %d", "%s and 1"},  // %s takes no value
      {"%n%p%f%c", "%n%p%f%c"},
      {"%*d", "%*d"},
      {"100%%", "100%"},
      {"end %", "end %"},
      {"end %5", "end %5"},
      {"%d %d %d", "1 2 0"},  // a missing value is 0
      {"\xe9t\xe9 %d", "\xe9t\xe9 1"},
  };
  for (const Case& c : cases) EXPECT_EQ(Format(c.format, {1, 2}), c.expected) << c.format;
}

TEST(BoundedFormatTest, OutputStopsAtTheBuffer) {
  EXPECT_EQ(Format("%999999999999d", {1}, 16), std::string(15, ' '));
  EXPECT_EQ(Format("abcdef%d", {12345}, 8), "abcdef1");
  EXPECT_EQ(Format("x", {}, 1), "");
  char none = 'z';
  EXPECT_EQ(FormatIntegers(&none, 0, "abc", {}), 0u);
  EXPECT_EQ(none, 'z');
}

TEST(BoundedFormatTest, AppendBoundedKeepsTheTerminator) {
  char buf[8] = "abc";
  AppendBounded(buf, sizeof buf, "defghij");
  EXPECT_STREQ(buf, "abcdefg");
  AppendBounded(buf, sizeof buf, "x");
  EXPECT_STREQ(buf, "abcdefg");
  char unterminated[4] = {'a', 'b', 'c', 'd'};
  AppendBounded(unterminated, sizeof unterminated, "x");
  EXPECT_EQ(unterminated[3], '\0');
}

}  // namespace
