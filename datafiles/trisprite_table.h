#pragma once
// Sprite cells of the tile art from "data\trisprite.dat", sorted by name
// (bytewise) and found by name ignoring case.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

class ByteSource;

struct TrispriteRecord {
  char name[32] = "FREE";
  std::int16_t column = 0;
  std::int16_t row = 0;
  std::int16_t valueA = 100;
  std::int16_t cellFormat = 0;  // footprint shape 0 to 5
  std::int16_t cellSize = 24;   // edge of one footprint unit
  std::int32_t valueB = 9;

  // True only for a version-1 row read whole. Another version leaves the row
  // at its defaults after its version word; a short file leaves the source failed.
  bool Read(ByteSource& source);
  int GetFootprintWidth() const;
  int GetFootprintHeight() const;
};

class CTrispriteTable {
 public:
  static constexpr std::size_t kSpareRows = 0;
  static constexpr const char* kFileName = "data\\trisprite.dat";

  // 0 when the file cannot be opened, else 1 (and the rows sorted once more).
  int Load();
  // False (table empty) when the version is not 1, the count cannot fit, or
  // the file ends inside a row.
  bool Read(std::span<const std::uint8_t> bytes);
  bool Read(ByteSource& source);

  void Allocate(std::size_t count);
  void Free();
  void Sort();
  // First row whose name equals `name` ignoring case; row 0 when none does.
  int Find(std::string_view name) const;
  // The row Find gives; a default "FREE" record when the table is empty.
  const TrispriteRecord& Get(std::string_view name) const;
  // The row Find gives when one has that name; null when none does. What
  // the program draws with, so a name without a row never shows row 0.
  const TrispriteRecord* Named(std::string_view name) const;

  std::size_t Count() const { return count_; }
  std::size_t Capacity() const { return rows_.size(); }
  const TrispriteRecord& Row(std::size_t index) const { return rows_[index]; }

 private:
  std::vector<TrispriteRecord> rows_;
  std::size_t count_ = 0;
};

extern CTrispriteTable g_trispriteTable;
