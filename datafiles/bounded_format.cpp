#include "datafiles/bounded_format.h"

#include <cstring>

namespace {

// A generous cap on width and precision: the output is bounded anyway, this
// only keeps the parsed numbers small.
constexpr std::size_t kMaxField = 4096;

class Output {
 public:
  Output(char* out, std::size_t capacity) : out_(out), limit_(capacity ? capacity - 1 : 0) {}
  void Put(char c) {
    if (len_ < limit_) out_[len_++] = c;
  }
  void Put(std::string_view s) {
    for (char c : s) Put(c);
  }
  void Repeat(char c, std::size_t n) {
    for (std::size_t k = 0; k < n && len_ < limit_; ++k) out_[len_++] = c;
  }
  bool full() const { return len_ >= limit_; }
  std::size_t Finish() {
    out_[len_] = '\0';
    return len_;
  }

 private:
  char* out_;
  std::size_t limit_;
  std::size_t len_ = 0;
};

struct Directive {
  bool left = false, plus = false, space = false, alt = false, zero = false;
  std::size_t width = 0;
  bool hasPrecision = false;
  std::size_t precision = 0;
  int size = 0;  // -2 hh, -1 h, 0 int, 1 l, 2 ll
  char conversion = 0;
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t ParseNumber(std::string_view f, std::size_t& i) {
  std::size_t v = 0;
  while (i < f.size() && IsDigit(f[i])) {
    v = v * 10 + static_cast<std::size_t>(f[i] - '0');
    if (v > kMaxField) v = kMaxField;
    ++i;
  }
  return v;
}

// Parses the directive after a '%' at f[i]; on success i is past it.
bool ParseDirective(std::string_view f, std::size_t& i, Directive& s) {
  for (; i < f.size(); ++i) {
    char c = f[i];
    if (c == '-') s.left = true;
    else if (c == '+') s.plus = true;
    else if (c == ' ') s.space = true;
    else if (c == '#') s.alt = true;
    else if (c == '0') s.zero = true;
    else break;
  }
  s.width = ParseNumber(f, i);
  if (i < f.size() && f[i] == '.') {
    ++i;
    s.hasPrecision = true;
    s.precision = ParseNumber(f, i);
  }
  if (i < f.size() && f[i] == 'h') {
    ++i;
    s.size = -1;
    if (i < f.size() && f[i] == 'h') ++i, s.size = -2;
  } else if (i < f.size() && f[i] == 'l') {
    ++i;
    s.size = 1;
    if (i < f.size() && f[i] == 'l') ++i, s.size = 2;
  }
  if (i >= f.size()) return false;
  char c = f[i];
  if (c == 'd' || c == 'i' || c == 'u' || c == 'o' || c == 'x' || c == 'X') {
    s.conversion = c;
    ++i;
    return true;
  }
  return false;
}

void Convert(Output& out, const Directive& s, std::int64_t value) {
  // The values are the game's 16- and 32-bit fields; the sizes narrow them as
  // the C library would have for an int argument.
  bool isSigned = s.conversion == 'd' || s.conversion == 'i';
  std::int64_t v = 0;
  if (isSigned) {
    if (s.size == -2) v = static_cast<std::int8_t>(value);
    else if (s.size == -1) v = static_cast<std::int16_t>(value);
    else v = static_cast<std::int32_t>(value);
  } else {
    if (s.size == -2) v = static_cast<std::uint8_t>(value);
    else if (s.size == -1) v = static_cast<std::uint16_t>(value);
    else v = static_cast<std::uint32_t>(value);
  }

  bool negative = isSigned && v < 0;
  std::uint64_t magnitude = negative ? static_cast<std::uint64_t>(-v) : static_cast<std::uint64_t>(v);
  unsigned base = 10;
  const char* digitsSet = "0123456789abcdef";
  if (s.conversion == 'o') base = 8;
  if (s.conversion == 'x') base = 16;
  if (s.conversion == 'X') base = 16, digitsSet = "0123456789ABCDEF";

  char digits[32];
  std::size_t nd = 0;
  for (std::uint64_t m = magnitude; m != 0; m /= base) digits[nd++] = digitsSet[m % base];
  std::size_t precision = s.hasPrecision ? s.precision : 1;
  std::size_t zerosForPrecision = precision > nd ? precision - nd : 0;

  std::string_view prefix;
  if (negative) prefix = "-";
  else if (isSigned && s.plus) prefix = "+";
  else if (isSigned && s.space) prefix = " ";
  if (s.alt && base == 16 && magnitude != 0) prefix = s.conversion == 'x' ? "0x" : "0X";
  if (s.alt && base == 8 && zerosForPrecision == 0) zerosForPrecision = 1;  // a leading 0

  std::size_t body = prefix.size() + zerosForPrecision + nd;
  std::size_t pad = s.width > body ? s.width - body : 0;
  bool zeroPad = s.zero && !s.left && !s.hasPrecision;
  if (!s.left && !zeroPad) out.Repeat(' ', pad);
  out.Put(prefix);
  if (zeroPad) out.Repeat('0', pad);
  out.Repeat('0', zerosForPrecision);
  while (nd > 0) out.Put(digits[--nd]);
  if (s.left) out.Repeat(' ', pad);
}

}  // namespace

std::size_t FormatIntegers(char* out, std::size_t capacity, std::string_view format,
                           std::span<const std::int64_t> values) {
  if (out == nullptr || capacity == 0) return 0;
  Output o(out, capacity);
  std::size_t next = 0;
  std::size_t i = 0;
  while (i < format.size() && !o.full()) {
    char c = format[i];
    if (c != '%') {
      o.Put(c);
      ++i;
      continue;
    }
    if (i + 1 < format.size() && format[i + 1] == '%') {
      o.Put('%');
      i += 2;
      continue;
    }
    std::size_t start = i;
    std::size_t j = i + 1;
    Directive directive;
    if (ParseDirective(format, j, directive)) {
      std::int64_t v = next < values.size() ? values[next] : 0;
      ++next;
      Convert(o, directive, v);
      i = j;
    } else {
      // Not ours: the '%' is printed and the rest follows as plain text.
      o.Put(format[start]);
      i = start + 1;
    }
  }
  return o.Finish();
}

void AppendBounded(char* out, std::size_t capacity, std::string_view text) {
  if (out == nullptr || capacity == 0) return;
  const void* zero = std::memchr(out, 0, capacity);
  // An unterminated buffer is treated as full; its last byte becomes the terminator.
  std::size_t len = zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - out) : capacity - 1;
  std::size_t room = capacity - 1 - len;
  std::size_t k = text.size() < room ? text.size() : room;
  std::memcpy(out + len, text.data(), k);
  out[len + k] = '\0';
}
