#pragma once
// Fixed-size text fields of the quest records: always zero-terminated, and a
// text that does not fit is cut at the field's capacity minus one.
#include <cstddef>
#include <cstring>
#include <string_view>

template <std::size_t N>
void SetField(char (&field)[N], std::string_view text) {
  static_assert(N > 0);
  const std::size_t n = text.size() < N - 1 ? text.size() : N - 1;
  if (n) std::memcpy(field, text.data(), n);
  std::memset(field + n, 0, N - n);
}

// The text of a field, up to its terminator (or its whole size when a raw
// read left none).
template <std::size_t N>
std::string_view FieldText(const char (&field)[N]) {
  return std::string_view(field, strnlen(field, N));
}

template <std::size_t N>
bool FieldEmpty(const char (&field)[N]) {
  return field[0] == 0;
}

// The field's text equals the given one, ASCII case ignored; stops at the
// first difference without measuring the field.
template <std::size_t N>
bool FieldEqualsNoCase(const char (&field)[N], std::string_view text) {
  if (text.size() > N) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char a = field[i];
    char b = text[i];
    if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
    if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
    if (a != b || a == 0) return false;
  }
  return text.size() == N || field[text.size()] == 0;
}
