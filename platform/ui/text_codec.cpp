#include "platform/ui/text_codec.h"

#include <cstdint>

namespace platform::ui {
namespace {

// 0x80..0x9F of Windows-1252; 0 marks the five unassigned codes, kept as C1.
constexpr char16_t kHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

bool IsUtf8WithNonAscii(std::string_view s) {
  bool nonAscii = false;
  for (size_t i = 0; i < s.size();) {
    auto c = static_cast<std::uint8_t>(s[i]);
    int extra;
    if (c < 0x80) { ++i; continue; }
    if (c >= 0xC2 && c <= 0xDF) extra = 1;
    else if (c >= 0xE0 && c <= 0xEF) extra = 2;
    else if (c >= 0xF0 && c <= 0xF4) extra = 3;
    else return false;
    if (i + static_cast<size_t>(extra) >= s.size()) return false;
    for (int k = 1; k <= extra; ++k)
      if ((static_cast<std::uint8_t>(s[i + k]) & 0xC0) != 0x80) return false;
    nonAscii = true;
    i += extra + 1;
  }
  return nonAscii;
}

}  // namespace

QString FromAnsi(std::string_view bytes) {
  QString out;
  out.reserve(static_cast<qsizetype>(bytes.size()));
  for (char ch : bytes) {
    auto c = static_cast<std::uint8_t>(ch);
    if (c >= 0x80 && c < 0xA0 && kHigh[c - 0x80]) out.append(QChar(kHigh[c - 0x80]));
    else out.append(QChar(static_cast<char16_t>(c)));
  }
  return out;
}

std::string ToAnsi(const QString& text) {
  std::string out;
  out.reserve(static_cast<size_t>(text.size()));
  for (QChar qc : text) {
    char16_t u = qc.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
      out += static_cast<char>(u);
      continue;
    }
    char found = '?';
    for (int i = 0; i < 32; ++i) {
      if (kHigh[i] == u || (kHigh[i] == 0 && u == 0x80 + i)) {
        found = static_cast<char>(0x80 + i);
        break;
      }
    }
    out += found;
  }
  return out;
}

QString FromDisplayText(std::string_view bytes) {
  if (IsUtf8WithNonAscii(bytes))
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
  return FromAnsi(bytes);
}

QString FromNative(std::string_view path) {
  return QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size()));
}

std::string ToNative(const QString& path) { return path.toUtf8().toStdString(); }

}  // namespace platform::ui
