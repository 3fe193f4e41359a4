#include "datafiles/monster_class_table.h"

#include <string>
#include <unordered_map>

#include "datafiles/byte_source.h"
#include "datafiles/common/exchange_sort.h"
#include "datafiles/table_file.h"
#include "platform/core/paths.h"
#include "platform/core/services.h"

CMonsterClassTable g_monsterClassTable;

namespace {

std::string Folded(std::string_view s) {
  std::string f(s);
  for (char& c : f) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return f;
}

}  // namespace

bool CMonsterClass::Read(ByteSource& source) {
  *this = CMonsterClass();
  std::uint16_t version = 0;
  if (!source.U16(version)) return false;
  if (version < 1 || version > kNewestVersion) {
    platform::MessageBox("Old version of RAZER", "ERROR", platform::kMbOk);
    platform::Exit(0);
  }
  ByteSource& s = source;
  s.Fixed(name, sizeof name);
  s.Fixed(displayKey, sizeof displayKey);
  s.I16(type);
  s.I16(kind);
  s.I32(lifeMin);
  s.I32(lifeMax);
  s.I32(value7);
  s.I32(value8);
  s.I32(damageMin);
  s.I32(damageMax);
  s.I16(value11);
  s.I16(value12);
  s.I16(value13);
  s.Read(values14, sizeof values14);
  s.Fixed(skeleton, sizeof skeleton);
  s.F32(previewTurnStep);
  s.I16(value28);
  if (version >= 2) s.I16(value29);
  s.I32(value30);
  s.I32(value31);
  if (version >= 3) s.I32(value32);
  if (version >= 4) s.F32(value33);
  if (version >= 5) s.I32(value34);
  if (version >= 6) s.I32(value35);
  if (version >= 7) {
    s.I32(flags);
    s.I32(value37);
    s.Fixed(originName, sizeof originName);
  }
  if (version >= 8) {
    s.I32(value39);
    s.I32(value40);
  }
  if (version >= 9) {
    s.I32(value41);
    s.Fixed(text42, sizeof text42);
  }
  if (version >= 10) s.I32(value43);
  if (version >= 11) s.I32(value44);
  if (version >= 12) s.Read(values45, sizeof values45);
  if (version >= 13) {
    for (auto& text : texts46) s.Fixed(text, sizeof text);
  }
  if (version >= 14) {
    s.I32(value52);
    s.I32(value53);
    s.I32(value54);
    s.I32(value55);
    s.Read(values56, sizeof values56);
  }
  if (version >= 15) {
    s.I32(value57);
    s.I32(value58);
  }
  if (version >= 16) s.Read(bytes59, sizeof bytes59);
  return !s.failed();
}

// ---------------------------------------------------------------------------

int CMonsterClassTable::Load() { return LoadTableFile(*this, kFileName); }

bool CMonsterClassTable::Read(std::span<const std::uint8_t> bytes) {
  SpanSource source(bytes);
  return Read(source);
}

bool CMonsterClassTable::Read(ByteSource& source) { return ReadTableRows(source, "MONSTER CLASS TABLE", *this, rows_); }

void CMonsterClassTable::Allocate(std::size_t count) {
  Free();
  rows_.resize(count + kSpareRows);
  count_ = count;
}

void CMonsterClassTable::Free() {
  rows_.clear();
  rows_.shrink_to_fit();
  count_ = 0;
  sorted_ = false;
}

void CMonsterClassTable::Sort() {
  ExchangeSortRows(std::span<CMonsterClass>(rows_.data(), count_), [](const CMonsterClass& a, const CMonsterClass& b) {
    return platform::CompareNoCase(a.name, b.name) < 0;
  });
  std::unordered_map<std::string, int> firstByName;
  firstByName.reserve(count_);
  for (std::size_t i = 0; i < count_; ++i) firstByName.try_emplace(Folded(rows_[i].name), static_cast<int>(i));
  for (std::size_t i = 0; i < count_; ++i) {
    CMonsterClass& row = rows_[i];
    if (row.originName[0] == '\0') continue;
    auto it = firstByName.find(Folded(row.originName));
    row.originIndex = it == firstByName.end() ? -1 : it->second;
  }
  sorted_ = true;
}

int CMonsterClassTable::Find(std::string_view name) const {
  for (std::size_t i = 0; i < count_; ++i) {
    if (platform::EqualsNoCase(rows_[i].name, name)) return static_cast<int>(i);
  }
  return -1;
}
