#include "audio/sound_table.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "audio/sound_system.h"
#include "datafiles/byte_source.h"
#include "datafiles/common/exchange_sort.h"
#include "datafiles/table_file.h"

CSoundTable g_soundTable;

int SoundRecord::Read(ByteSource& source, CSoundSystem* soundSystem) {
  std::uint16_t version = 0;
  if (!source.U16(version) || version != 1) return 0;
  if (!source.Fixed(name, sizeof name)) return 0;
  if (soundSystem) {
    char path[64];
    std::snprintf(path, sizeof path, "data\\sound\\%s.wav", name);
    handle = soundSystem->LoadWave(path);
  }
  return 1;
}

int CSoundTable::Load(CSoundSystem* soundSystem) {
  std::vector<std::uint8_t> bytes;
  if (!ReadGameFile(kFileName, bytes)) return 0;
  Read(bytes, soundSystem);
  return 1;
}

int CSoundTable::Read(std::span<const std::uint8_t> bytes, CSoundSystem* soundSystem) {
  SpanSource source(bytes);
  return Read(source, soundSystem);
}

int CSoundTable::Read(ByteSource& source, CSoundSystem* soundSystem) {
  if (!soundSystem) return 0;
  Free();
  std::uint16_t version = 0;
  if (!source.U16(version) || version != 1) return 0;
  std::int32_t count = 0;
  source.I32(count);
  if (!Allocate(count)) return 1;
  // A row that fails keeps what it got; the rows after it are still read.
  for (SoundRecord& row : rows_) row.Read(source, soundSystem);
  Sort();
  return 1;
}

bool CSoundTable::Allocate(std::int32_t count) {
  Free();
  if (count <= 0 || count > kMaxRows) return false;
  try {
    rows_.resize(static_cast<std::size_t>(count));
  } catch (const std::bad_alloc&) {
    Free();
    return false;
  }
  return true;
}

void CSoundTable::Sort() {
  ExchangeSortRows(std::span<SoundRecord>(rows_),
                   [](const SoundRecord& a, const SoundRecord& b) { return std::strcmp(a.name, b.name) < 0; });
  sorted_ = true;
}

void CSoundTable::Free() {
  rows_.clear();
  rows_.shrink_to_fit();
  sorted_ = false;
}

const SoundRecord* CSoundTable::Named(std::string_view name) const {
  for (const SoundRecord& row : rows_) {
    if (std::string_view(row.name) == name) return &row;
  }
  return nullptr;
}

int CSoundTable::Find(std::string_view name) const {
  const SoundRecord* row = Named(name);
  return row ? static_cast<int>(row - rows_.data()) : 0;
}
