#pragma once
// Hand-made "language.dat" files for the language table's and the item
// descriptions' tests.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "datafiles/language_table.h"
#include "support/bytes.h"
#include "table_bytes.h"

namespace languagebytes {

// One entry: version, flags (versions 2 and 3), the key and its strings, each
// stored with a length that counts its terminator.
inline testsupport::Bytes Entry(std::uint16_t version, std::string_view key, const std::vector<std::string>& strings,
                                std::uint32_t flags = 0) {
  testsupport::Bytes b;
  b.u16(version);
  if (version == 2 || version == 3) b.u32(flags);
  b.u32(static_cast<std::uint32_t>(key.size() + 1)).cstr(key);
  b.u32(static_cast<std::uint32_t>(strings.size()));
  for (const std::string& s : strings) b.u32(static_cast<std::uint32_t>(s.size() + 1)).cstr(s);
  return b;
}

using tablebytes::File;

// Fills the global table with version-3 entries whose English text is given,
// and makes English current.
inline void UseEnglishTexts(const std::vector<std::pair<std::string, std::string>>& texts) {
  std::vector<testsupport::Bytes> entries;
  for (const auto& [key, text] : texts) entries.push_back(Entry(3, key, {"", text, "", "", "", "", ""}));
  g_languageTable.Read(File(entries));
  g_languageTable.SetLanguage(kLanguageEnglish);
}

}  // namespace languagebytes
