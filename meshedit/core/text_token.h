#pragma once
// Tokens of the text model formats: runs of bytes between separators (bytes
// below '!', bytes 0x80 to 0xFF, ':' and '"').
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace pavix {

inline constexpr std::size_t kTokenCapacity = 256;  // with the terminator

class TextReader {
 public:
  explicit TextReader(std::string_view text) : text_(text) {}
  bool AtEnd() const { return pos_ >= text_.size(); }

 private:
  friend bool ReadTextToken(TextReader&, std::string&);
  std::string_view text_;
  std::size_t pos_ = 0;
};

// The next token, empty at the end of the text. A token longer than 255
// bytes keeps its first 255; the rest of it is skipped.
bool ReadTextToken(TextReader& reader, std::string& token);
// Reads tokens until one equals the keyword exactly; false at the end.
bool FindTextToken(TextReader& reader, std::string_view keyword);

// Decimal numbers as the C library's atof and atoi read them, without locale:
// leading blanks skipped, the longest valid prefix taken, 0 when there is none.
// As with atof, "inf" and "nan" read as themselves and a real too large for a
// double as infinite.
double ParseReal(std::string_view text);
long long ParseInteger(std::string_view text);

}  // namespace pavix
