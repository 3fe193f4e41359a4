#pragma once
// Monster classes from "data\monsterclass.dat": sixteen row versions, each
// the one before with its own fields added; sorted by name ignoring case,
// then each class's origin class resolved to an index.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

class ByteSource;

struct CMonsterClass {
  static constexpr std::uint16_t kNewestVersion = 16;

  char name[32] = "FREE";
  char displayKey[32] = {};
  std::int16_t type = 0;
  std::int16_t kind = 0;
  std::int32_t lifeMin = 0;
  std::int32_t lifeMax = 0;
  std::int32_t value7 = 0;
  std::int32_t value8 = 0;
  std::int32_t damageMin = 0;
  std::int32_t damageMax = 0;
  std::int16_t value11 = 0;
  std::int16_t value12 = 0;
  std::int16_t value13 = 0;
  std::int32_t values14[12] = {};  // fields 14 to 25
  char skeleton[64] = {};
  float previewTurnStep = 0;
  std::int16_t value28 = 0;
  std::int16_t value29 = 1;  // from version 2
  std::int32_t value30 = 0;
  std::int32_t value31 = 0;
  std::int32_t value32 = 0;    // from 3
  float value33 = 0.5f;        // from 4
  std::int32_t value34 = 0;    // from 5
  std::int32_t value35 = 0;    // from 6
  std::int32_t flags = 0;      // from 7
  std::int32_t value37 = 0;
  char originName[32] = {};
  int originIndex = -1;        // resolved by the table's sort
  std::int32_t value39 = 0;    // from 8
  std::int32_t value40 = 0;
  std::int32_t value41 = 0;    // from 9
  char text42[32] = {};
  std::int32_t value43 = 0;    // from 10
  std::int32_t value44 = 0;    // from 11
  std::int32_t values45[2] = {};  // from 12
  char texts46[6][32] = {};       // fields 46 to 51, from 13
  std::int32_t value52 = 400;     // from 14
  std::int32_t value53 = -1;
  std::int32_t value54 = 0;
  std::int32_t value55 = 0;
  std::int32_t values56[2] = {};
  std::int32_t value57 = 0;       // from 15
  std::int32_t value58 = 0;
  std::uint8_t bytes59[16] = {100, 100, 100, 100, 100, 100, 100, 100,
                              100, 100, 100, 100, 100, 100, 100, 100};  // from 16

  // Reads one row. A row version outside 1 to 16 shows "Old version of RAZER"
  // and ends the program. False when the file ends inside the row.
  bool Read(ByteSource& source);
};

class CMonsterClassTable {
 public:
  static constexpr std::size_t kSpareRows = 64;
  static constexpr const char* kFileName = "data\\monsterclass.dat";

  // 0 when the file cannot be opened, else 1.
  int Load();
  // False (table empty) when the version is not 1, the count cannot fit, or
  // the file ends inside a row.
  bool Read(std::span<const std::uint8_t> bytes);
  bool Read(ByteSource& source);

  void Allocate(std::size_t count);
  void Free();
  void Sort();
  // First class whose name equals `name` ignoring case, or -1.
  int Find(std::string_view name) const;

  std::size_t Count() const { return count_; }
  std::size_t Capacity() const { return rows_.size(); }
  bool IsSorted() const { return sorted_; }
  const CMonsterClass& Row(std::size_t index) const { return rows_[index]; }

 private:
  std::vector<CMonsterClass> rows_;
  std::size_t count_ = 0;
  bool sorted_ = false;
};

extern CMonsterClassTable g_monsterClassTable;
