#include "datafiles/trisprite_table.h"

#include <cstring>

#include "datafiles/byte_source.h"
#include "datafiles/common/exchange_sort.h"
#include "datafiles/table_file.h"
#include "platform/core/paths.h"

CTrispriteTable g_trispriteTable;

bool TrispriteRecord::Read(ByteSource& source) {
  *this = TrispriteRecord();
  std::uint16_t version = 0;
  if (!source.U16(version) || version != 1) return false;
  bool ok = source.Fixed(name, sizeof name);
  ok = source.I16(column) && ok;
  ok = source.I16(row) && ok;
  ok = source.I16(valueA) && ok;
  ok = source.I16(cellFormat) && ok;
  ok = source.I16(cellSize) && ok;
  ok = source.I32(valueB) && ok;
  return ok;
}

int TrispriteRecord::GetFootprintWidth() const {
  switch (cellFormat) {
    case 2: case 3: return 2 * cellSize;
    case 4: return 3 * cellSize;
    default: return cellSize;
  }
}

int TrispriteRecord::GetFootprintHeight() const {
  switch (cellFormat) {
    case 1: case 3: case 4: return 3 * cellSize;
    case 2: case 5: return 2 * cellSize;
    default: return cellSize;
  }
}

// ---------------------------------------------------------------------------

int CTrispriteTable::Load() {
  if (!LoadTableFile(*this, kFileName)) return 0;
  Sort();
  return 1;
}

bool CTrispriteTable::Read(std::span<const std::uint8_t> bytes) {
  SpanSource source(bytes);
  return Read(source);
}

bool CTrispriteTable::Read(ByteSource& source) { return ReadTableRows(source, "TRISPRITE TABLE", *this, rows_); }

void CTrispriteTable::Allocate(std::size_t count) {
  Free();
  rows_.resize(count + kSpareRows);
  count_ = count;
}

void CTrispriteTable::Free() {
  rows_.clear();
  rows_.shrink_to_fit();
  count_ = 0;
}

void CTrispriteTable::Sort() {
  ExchangeSortRows(std::span<TrispriteRecord>(rows_.data(), count_),
                   [](const TrispriteRecord& a, const TrispriteRecord& b) { return std::strcmp(a.name, b.name) < 0; });
}

const TrispriteRecord* CTrispriteTable::Named(std::string_view name) const {
  for (std::size_t i = 0; i < count_; ++i) {
    if (platform::EqualsNoCase(rows_[i].name, name)) return &rows_[i];
  }
  return nullptr;
}

int CTrispriteTable::Find(std::string_view name) const {
  const TrispriteRecord* row = Named(name);
  return row ? static_cast<int>(row - rows_.data()) : 0;
}

const TrispriteRecord& CTrispriteTable::Get(std::string_view name) const {
  static const TrispriteRecord kFree;
  if (count_ == 0) return kFree;
  return rows_[static_cast<std::size_t>(Find(name))];
}
