#include "datafiles/language_table.h"

#include <cstring>

#include "datafiles/byte_source.h"
#include "datafiles/common/debug_trace.h"
#include "datafiles/common/exchange_sort.h"
#include "datafiles/table_file.h"
#include "platform/core/paths.h"

CLanguageTable g_languageTable;

namespace {

constexpr const char* kNames[kLanguageCount] = {"French", "English", "German", "Spanish",
                                                "Swedish", "Italian", "Other"};
// Translate looks keys up through a 64-byte copy; a longer key cannot be in the table's use.
constexpr std::size_t kMaxKeyLength = 63;

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string Folded(std::string_view key) {
  std::string s(key);
  for (char& c : s) c = Lower(c);
  return s;
}

}  // namespace

int ValidLanguage(int language) {
  return (language >= 0 && language < kLanguageCount) ? language : kLanguageEnglish;
}

const char* LanguageName(int language) { return kNames[ValidLanguage(language)]; }

// ---------------------------------------------------------------------------

LanguageEntry::LanguageEntry() {
  for (auto& s : strings) s.emplace();
}

void LanguageEntry::Clear() {
  key.clear();
  for (auto& s : strings) s.reset();
  flags = 0;
}

const char* LanguageEntry::GetString(int index) const {
  if (index < 0 || index >= kLanguageEntryStrings || !strings[index]) return nullptr;
  return strings[index]->c_str();
}

bool LanguageEntry::Read(ByteSource& source) {
  Clear();
  std::uint16_t version = 0;
  if (!source.U16(version)) return false;
  if (version < 1 || version > 3) return false;
  if (version >= 2 && !source.U32(flags)) return false;

  std::uint32_t length = 0;
  if (!source.U32(length) || !source.Text(length, key)) return false;
  for (char& c : key) c = Upper(c);

  std::uint32_t n = 0;
  if (!source.U32(n)) return false;
  std::string extra;
  for (std::uint32_t k = 0; k < n; ++k) {
    if (!source.U32(length)) return false;
    if (k < kLanguageEntryStrings) {
      strings[k].emplace();
      if (!source.Text(length, *strings[k])) return false;
    } else if (!source.Text(length, extra)) {
      return false;
    }
  }
  if (n > kLanguageEntryStrings) {
    DebugTrace("LANGUAGE ENTRY %s HAS %u STRINGS, %d KEPT\n", key.c_str(), static_cast<unsigned>(n),
               kLanguageEntryStrings);
  }
  if (version >= 2) {
    for (std::uint32_t k = n; k < kLanguageEntryStrings; ++k) strings[k].emplace();
    flags |= 4;
  }
  return true;
}

// ---------------------------------------------------------------------------

int CLanguageTable::Load() { return LoadTableFile(*this, kFileName); }

bool CLanguageTable::Read(std::span<const std::uint8_t> bytes) {
  SpanSource source(bytes);
  return Read(source);
}

bool CLanguageTable::Read(ByteSource& source) { return ReadTableRows(source, "LANGUAGE TABLE", *this, entries_); }

void CLanguageTable::Allocate(std::size_t count) {
  Free();
  entries_.resize(count + kSpareRows);
  count_ = count;
  RebuildIndex();
}

void CLanguageTable::Free() {
  entries_.clear();
  entries_.shrink_to_fit();
  count_ = 0;
  sorted_ = false;
  firstByKey_.clear();
}

void CLanguageTable::Sort() {
  ExchangeSortRows(std::span<LanguageEntry>(entries_.data(), count_), [](const LanguageEntry& a, const LanguageEntry& b) {
    return platform::CompareNoCase(a.key, b.key) < 0;
  });
  sorted_ = true;
  RebuildIndex();
}

void CLanguageTable::RebuildIndex() {
  firstByKey_.clear();
  firstByKey_.reserve(count_);
  for (std::size_t i = 0; i < count_; ++i) firstByKey_.try_emplace(Folded(entries_[i].key), static_cast<int>(i));
}

int CLanguageTable::Find(std::string_view key) const {
  auto it = firstByKey_.find(Folded(key));
  return it == firstByKey_.end() ? -1 : it->second;
}

const char* CLanguageTable::Translate(const char* key) const {
  if (key == nullptr) return "";
  if (std::strlen(key) > kMaxKeyLength) return key;
  int index = Find(key);
  if (index < 0) return key;
  const char* text = entries_[static_cast<std::size_t>(index)].GetString(ValidLanguage(language_));
  return text != nullptr ? text : key;
}

void CLanguageTable::Reset() {
  Free();
  language_ = 0;
}
