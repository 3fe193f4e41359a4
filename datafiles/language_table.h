#pragma once
// The seven text languages, and the language table: upper-case text keys
// turned into the game's text in the current language. The current language
// is program-wide and lives in the global table.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class ByteSource;

inline constexpr int kLanguageCount = 7;
inline constexpr int kLanguageFrench = 0;
inline constexpr int kLanguageEnglish = 1;
inline constexpr int kLanguageOther = 6;
inline constexpr int kLanguageEntryStrings = 12;

// The index itself when 0 to 6; anything else (from a file or a quest) is English.
int ValidLanguage(int language);
// "French", "English", ... "Other", as shown in dialogs.
const char* LanguageName(int language);

// One row of "language.dat".
struct LanguageEntry {
  std::string key = "FREE";
  // One per language index (0 to 6 used, 7 to 11 carried); nullopt is absent.
  std::array<std::optional<std::string>, kLanguageEntryStrings> strings;
  std::uint32_t flags = 0;

  LanguageEntry();

  // Reads one entry. False with the entry cleared for an unknown version, and
  // false when the file ends inside the entry (the source is then failed).
  bool Read(ByteSource& source);
  // Frees every text: empty key, all strings absent, flags 0.
  void Clear();
  // The string of a language index, or nullptr when absent.
  const char* GetString(int index) const;
};

class CLanguageTable {
 public:
  static constexpr std::size_t kSpareRows = 128;
  // The game path; the archive layer opens it as data\text\language.dat.
  static constexpr const char* kFileName = "c:\\vrel\\kzt\\data\\text\\language.dat";

  // 0 when the file cannot be opened (table unchanged), else 1; a file that
  // is not a language table leaves the table empty.
  int Load();
  // Reads a whole table file. False (table empty) when its version is not 1,
  // its count cannot fit, or it ends inside an entry.
  bool Read(std::span<const std::uint8_t> bytes);
  bool Read(ByteSource& source);

  void Allocate(std::size_t count);
  void Free();
  void Sort();
  // Index of the first entry whose key equals `key` ignoring case, or -1.
  int Find(std::string_view key) const;
  // The key's text in the current language; the key itself when the key is
  // missing, has no text for the language, or is longer than 63 characters.
  const char* Translate(const char* key) const;

  int GetLanguage() const { return language_; }
  // Out-of-range indexes become English.
  void SetLanguage(int language) { language_ = ValidLanguage(language); }

  std::size_t Count() const { return count_; }
  std::size_t Capacity() const { return entries_.size(); }
  bool IsSorted() const { return sorted_; }
  const LanguageEntry& Entry(std::size_t index) const { return entries_[index]; }

  // Back to a new table: no entries, language 0 (for test isolation).
  void Reset();

 private:
  void RebuildIndex();

  int language_ = 0;
  std::vector<LanguageEntry> entries_;
  std::size_t count_ = 0;
  bool sorted_ = false;
  // Lower-cased key to the first entry holding it: the linear find's answer without the scan.
  std::unordered_map<std::string, int> firstByKey_;
};

extern CLanguageTable g_languageTable;
