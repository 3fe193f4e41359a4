#pragma once
// A text in the seven languages with the file name of its voice recording,
// embedded in every quest element. Each language's text is absent or
// non-empty; the voice name is at most 79 characters.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "datafiles/language_table.h"

class ByteSource;
namespace platform {
class File;
}

class CMultiLangText {
 public:
  static constexpr std::size_t kVoiceNameSize = 80;
  static constexpr std::uint32_t kRecordVersion = 3;

  CMultiLangText() = default;

  // 0 and nothing changed for a null text or a language outside 0 to 6; an
  // empty text removes the language's text and gives 0; else the length + 1.
  int Set(int language, const char* text);
  // The language's text; "" when absent or outside 0 to 6.
  const char* Get(int language) const;
  bool Has(int language) const;
  // The language's text, else English, else the first present text, else "".
  // A negative language is the current one; one beyond 6 is English.
  const char* GetLocalized(int language = -1) const;

  const char* GetVoiceName() const { return voiceName_; }
  // Kept up to 79 characters.
  void SetVoiceName(std::string_view name);

  void Copy(const CMultiLangText& other) { *this = other; }
  // Removes the seven texts (the voice name stays).
  void Free();

  // The version-3 record: u32 3; per language a u32 length counting the
  // terminator (0 when absent) and the bytes; the voice name as a counted string.
  void Write(platform::File& file) const;
  // Reads a record of any version. Throws platform::FileException (end of
  // file) when the stream ends inside it or a length runs past its end; the
  // text is then unchanged.
  void Read(platform::File& file);
  // The same from any source: false (text unchanged) where the above throws.
  bool Read(ByteSource& source);

 private:
  std::array<std::string, kLanguageCount> texts_;  // "" is absent
  char voiceName_[kVoiceNameSize] = {};
};
