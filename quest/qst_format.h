#pragma once
// The quest document file ".qst": the machines, quest objects, monsters and
// rooms of the quest, each list as a u32 count and its records from the head,
// then the header (map view origin, text language, markers, author and
// information texts). All numbers are 32-bit little-endian.
//
// Every record is written in its newest version and read in any version.
// The reader trusts nothing: each count, length, bound and index is checked
// against the bytes that remain and against the field it goes into, and a
// file that breaks one is refused with platform::FileException (cause
// kCauseEndOfFile when it ends early, kCauseGeneric when a value is out of
// range). Lists come back in their written order; a machine's parameter
// values and an instance's positions come back reversed, as they are pushed
// at the head one at a time.
#include <cstdint>

#include "datafiles/multi_lang_text.h"
#include "platform/core/file.h"

class CMachine;
class CMonster;
class CQuestObject;
class CRoom;
struct ElementInstance;
struct InstancePosition;
struct Marker;

inline constexpr std::uint32_t kQstMachineVersion = 1;
inline constexpr std::uint32_t kQstInstanceVersion = 3;
inline constexpr std::uint32_t kQstPositionVersion = 2;
inline constexpr std::uint32_t kQstObjectVersion = 4;
inline constexpr std::uint32_t kQstMonsterVersion = 3;
inline constexpr std::uint32_t kQstRoomVersion = 3;
inline constexpr std::uint32_t kQstHeaderVersion = 3;

// Collision bounds written for a room without any cell set.
inline constexpr std::int32_t kQstNoCellLow = 9999;
inline constexpr std::int32_t kQstNoCellHigh = -9999;

// The header record's contents.
struct QstHeader {
  QstHeader() = default;
  ~QstHeader();
  QstHeader(const QstHeader&) = delete;
  QstHeader& operator=(const QstHeader&) = delete;

  std::uint32_t version = kQstHeaderVersion;  // as read; 0 or less: nothing else was read
  std::int32_t viewLeft = 0;
  std::int32_t viewTop = 0;
  bool hasLanguage = false;  // from version 2
  std::int32_t language = 0;
  std::int32_t markerCounter = 0;
  Marker* markers = nullptr;  // owned, in file order
  bool hasTexts = false;      // from version 3
  CMultiLangText author;
  CMultiLangText information;
};

// Everything one ".qst" file holds, owned until handed over.
struct QstContents {
  QstContents() = default;
  ~QstContents();
  QstContents(const QstContents&) = delete;
  QstContents& operator=(const QstContents&) = delete;

  CMachine* machines = nullptr;
  CQuestObject* objects = nullptr;
  CMonster* monsters = nullptr;
  CRoom* rooms = nullptr;
  QstHeader header;
};

// The machine, object, monster and room records are the Save and Load
// members of their classes, the header record CKelvarDoc::WriteHeader and
// CKelvarDoc::ReadHeader; all are defined with this file's reader and writer.

// ---- Writing (throws platform::FileException) ---------------------------
void WriteInstancePosition(platform::File& file, const InstancePosition& position);
void WriteElementInstance(platform::File& file, const ElementInstance& instance);

// The whole file from the open quest's lists and header globals (the
// author and information texts given).
void WriteQuestFile(platform::File& file, const CMultiLangText& author, const CMultiLangText& information);

// ---- Reading (throws platform::FileException) ---------------------------
void ReadInstancePosition(platform::File& file, InstancePosition& position);
void ReadElementInstance(platform::File& file, ElementInstance& instance);

// The whole file into `out`; on an exception `out` still owns whatever was
// read, for the caller to drop.
void ReadQuestFile(platform::File& file, QstContents& out);
// The same without the header, which stays as constructed (merging a second quest).
void ReadQuestLists(platform::File& file, QstContents& out);
