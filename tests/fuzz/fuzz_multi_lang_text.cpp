// Any bytes as a seven-language text record: read whole, or refused with the
// text unchanged; what is read keeps every text present and terminated.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

#include "datafiles/byte_source.h"
#include "datafiles/multi_lang_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CMultiLangText text;
  text.SetVoiceName("before.mp2");
  SpanSource source(std::span<const std::uint8_t>(data, size));
  if (!text.Read(source)) {
    if (std::strcmp(text.GetVoiceName(), "before.mp2") != 0) __builtin_trap();  // unchanged on failure
    return 0;
  }
  for (int language = -1; language <= 8; ++language) {
    const char* s = text.GetLocalized(language);
    if (s == nullptr) __builtin_trap();
  }
  for (int language = 0; language < kLanguageCount; ++language) {
    if (text.Has(language) && text.Get(language)[0] == '\0') __builtin_trap();  // present means non-empty
  }
  if (std::strlen(text.GetVoiceName()) >= CMultiLangText::kVoiceNameSize) __builtin_trap();
  return 0;
}
