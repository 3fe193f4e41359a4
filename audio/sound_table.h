#pragma once
// The game's sound table "snd.dat": one row per sound name, each loading
// "data\sound\<name>.wav" into the sound system; sorted by name (bytewise,
// case-sensitive) and found by exact name.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

class ByteSource;
class CSoundSystem;

struct SoundRecord {
  char name[32] = {};
  int handle = -1;

  // 1 for a version-1 row read whole; 0 when a read fails or the version is
  // not 1 (the name is then not read). With a sound system the row's WAV is loaded.
  int Read(ByteSource& source, CSoundSystem* soundSystem);
};

class CSoundTable {
 public:
  static constexpr const char* kFileName = "c:\\vrel\\kzt\\data\\snd.dat";
  // More rows than the output has slots many times over cannot be a real table.
  static constexpr std::int32_t kMaxRows = 1 << 20;

  // 0 when the file cannot be opened, else 1.
  int Load(CSoundSystem* soundSystem);
  // 0 without a sound system (nothing read) or for a file version other than 1.
  int Read(std::span<const std::uint8_t> bytes, CSoundSystem* soundSystem);
  int Read(ByteSource& source, CSoundSystem* soundSystem);
  // False (table empty) when the rows cannot be allocated.
  bool Allocate(std::int32_t count);
  void Sort();
  void Free();
  // The first row named exactly `name`; 0 when none is or the table is empty.
  int Find(std::string_view name) const;
  // The row Find gives when one has that name; null when none does, so a
  // name without a row never plays the first row's sound.
  const SoundRecord* Named(std::string_view name) const;

  std::size_t Count() const { return rows_.size(); }
  const SoundRecord& Row(std::size_t index) const { return rows_[index]; }
  bool sorted() const { return sorted_; }

 private:
  std::vector<SoundRecord> rows_;
  bool sorted_ = false;
};

extern CSoundTable g_soundTable;
