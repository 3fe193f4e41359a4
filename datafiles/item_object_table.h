#pragma once
// The item objects of "data\itemobject.dat", sorted by name (bytewise) and
// reached by index.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "datafiles/item_object.h"

class CItemObjectTable {
 public:
  static constexpr std::size_t kSpareRows = 32;
  static constexpr const char* kFileName = "data\\itemobject.dat";

  // 0 when the file cannot be opened, else 1.
  int Load();
  // False (table empty) when the version is not 1, the count cannot fit, or
  // the file ends inside a row. A row of an unknown version stays at its
  // defaults and the next row is read after its version word.
  bool Read(std::span<const std::uint8_t> bytes);
  bool Read(ByteSource& source);

  void Allocate(std::size_t count);
  void Free();
  void Sort();

  std::size_t Count() const { return count_; }
  std::size_t Capacity() const { return rows_.size(); }
  const CItemObject& Row(std::size_t index) const { return rows_[index]; }

 private:
  std::vector<CItemObject> rows_;
  std::size_t count_ = 0;
};

extern CItemObjectTable g_itemObjectTable;
