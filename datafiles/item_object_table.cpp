#include "datafiles/item_object_table.h"

#include <cstring>

#include "datafiles/byte_source.h"
#include "datafiles/common/exchange_sort.h"
#include "datafiles/table_file.h"

CItemObjectTable g_itemObjectTable;

int CItemObjectTable::Load() { return LoadTableFile(*this, kFileName); }

bool CItemObjectTable::Read(std::span<const std::uint8_t> bytes) {
  SpanSource source(bytes);
  return Read(source);
}

bool CItemObjectTable::Read(ByteSource& source) { return ReadTableRows(source, "ITEM OBJECT TABLE", *this, rows_); }

void CItemObjectTable::Allocate(std::size_t count) {
  Free();
  rows_.resize(count + kSpareRows);
  count_ = count;
}

void CItemObjectTable::Free() {
  rows_.clear();
  rows_.shrink_to_fit();
  count_ = 0;
}

void CItemObjectTable::Sort() {
  ExchangeSortRows(std::span<CItemObject>(rows_.data(), count_),
                   [](const CItemObject& a, const CItemObject& b) { return std::strcmp(a.name, b.name) < 0; });
}
