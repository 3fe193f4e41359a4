// Any bytes as "language.dat": the table reads or refuses them, and every
// text it holds is then safe to look up and to use as a description format.
#include <cstddef>
#include <cstdint>
#include <span>

#include "datafiles/bounded_format.h"
#include "datafiles/language_table.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CLanguageTable table;
  table.Read(std::span<const std::uint8_t>(data, size));
  for (std::size_t i = 0; i < table.Count() && i < 64; ++i) {
    const LanguageEntry& e = table.Entry(i);
    table.SetLanguage(static_cast<int>(i % 9) - 1);
    table.Translate(e.key.c_str());
    for (int k = 0; k < kLanguageEntryStrings; ++k) {
      const char* s = e.GetString(k);
      if (s == nullptr) continue;
      char line[160];
      FormatIntegers(line, sizeof line, s, {1, -2, 300000});
    }
  }
  return 0;
}
