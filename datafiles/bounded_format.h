#pragma once
// printf-style formatting of translated texts, which come from a data file
// and so cannot be trusted as format strings. Only the integer conversions
// (d i u o x X, with flags, width, precision and the h, hh, l, ll sizes) and
// "%%" are understood; any other directive is printed as it stands and takes
// no value. A missing value is 0. The output never exceeds capacity - 1
// bytes and is always terminated.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>

// Length written (without the terminator).
std::size_t FormatIntegers(char* out, std::size_t capacity, std::string_view format,
                           std::span<const std::int64_t> values);

inline std::size_t FormatIntegers(char* out, std::size_t capacity, std::string_view format,
                                  std::initializer_list<std::int64_t> values) {
  return FormatIntegers(out, capacity, format, std::span<const std::int64_t>(values.begin(), values.size()));
}

// Appends text to the zero-terminated text in out[capacity] as far as it fits.
void AppendBounded(char* out, std::size_t capacity, std::string_view text);
