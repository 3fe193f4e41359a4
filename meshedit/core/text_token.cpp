#include "meshedit/core/text_token.h"

#include <charconv>
#include <cmath>

namespace pavix {

namespace {

bool IsSeparator(char c) { return static_cast<signed char>(c) < '!' || c == ':' || c == '"'; }

std::string_view SkipBlanks(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n' ||
                             text[i] == '\f' || text[i] == '\v'))
    ++i;
  return text.substr(i);
}

}  // namespace

bool ReadTextToken(TextReader& r, std::string& token) {
  token.clear();
  while (r.pos_ < r.text_.size() && IsSeparator(r.text_[r.pos_])) ++r.pos_;
  const std::size_t start = r.pos_;
  while (r.pos_ < r.text_.size() && !IsSeparator(r.text_[r.pos_])) ++r.pos_;
  token.assign(r.text_.substr(start, std::min(r.pos_ - start, kTokenCapacity - 1)));
  return !token.empty();
}

bool FindTextToken(TextReader& reader, std::string_view keyword) {
  std::string token;
  while (ReadTextToken(reader, token))
    if (token == keyword) return true;
  return false;
}

double ParseReal(std::string_view text) {
  text = SkipBlanks(text);
  if (!text.empty() && text[0] == '+') text.remove_prefix(1);
  double value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec == std::errc()) return value;
  if (result.ec != std::errc::result_out_of_range) return 0.0;
  // Beyond a double, as atof reads it: infinite when too large, 0 when too
  // small. The readers that take coordinates refuse what is not finite.
  const std::string_view number(text.data(), static_cast<std::size_t>(result.ptr - text.data()));
  const bool negative = number.front() == '-';
  const std::size_t e = number.find_first_of("eE");
  bool large;
  if (e != std::string_view::npos) {
    large = e + 1 >= number.size() || number[e + 1] != '-';
  } else {
    const std::string_view whole = number.substr(0, number.find('.'));
    large = whole.find_first_of("123456789") != std::string_view::npos;
  }
  if (!large) return negative ? -0.0 : 0.0;
  return negative ? -HUGE_VAL : HUGE_VAL;
}

long long ParseInteger(std::string_view text) {
  text = SkipBlanks(text);
  if (!text.empty() && text[0] == '+') text.remove_prefix(1);
  long long value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  return result.ec == std::errc() ? value : 0;
}

}  // namespace pavix
