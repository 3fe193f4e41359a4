#include "quest/text_scan.h"

#include <climits>
#include <cstddef>

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool ScanIntAt(std::string_view text, std::size_t& pos, int& value) {
  std::size_t i = pos;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  if (i >= text.size() || text[i] < '0' || text[i] > '9') return false;
  long long v = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (v <= static_cast<long long>(INT_MAX) + 1) v = v * 10 + (text[i] - '0');
  }
  if (negative) v = -v;
  if (v > INT_MAX) v = INT_MAX;
  if (v < INT_MIN) v = INT_MIN;
  value = static_cast<int>(v);
  pos = i;
  return true;
}

}  // namespace

bool ScanInt(std::string_view text, int& value) {
  std::size_t pos = 0;
  return ScanIntAt(text, pos, value);
}

bool ScanIntPair(std::string_view text, int& first, int& second) {
  std::size_t pos = 0;
  int a = 0;
  int b = 0;
  if (!ScanIntAt(text, pos, a)) return false;
  if (pos >= text.size() || text[pos] != ',') return false;
  ++pos;
  if (!ScanIntAt(text, pos, b)) return false;
  first = a;
  second = b;
  return true;
}
