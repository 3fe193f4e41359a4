#pragma once
// One item object (weapon, armour or other thing a monster or quest object
// carries) from "data\itemobject.dat", and its translated description.
#include <cstdint>
#include <string>

class ByteSource;

struct CItemObject {
  static constexpr std::uint16_t kNewestVersion = 9;

  char name[32] = "FREE";
  char displayKey[32] = {};
  char text3[32] = {};
  std::int16_t value96 = 0;
  std::int16_t kind = 0;  // 1, 2 or 3 select the first description line
  std::int16_t value100 = 0;
  char text4[32] = {};    // from version 2
  std::int16_t value134 = 0;
  char text5[32] = {};    // from version 2
  std::int32_t value168 = 0;
  std::int32_t kind3Value = 0;
  std::int16_t kind1ValueA = 0;
  std::int16_t kind1ValueB = 0;
  std::int16_t kind2Value = 0;
  std::int16_t special = 0;  // 1 to 7 add a line
  std::int16_t flags = 0;    // 1, 2, 4, 8, 16, 32 add lines
  std::int16_t value186 = 0;
  std::int16_t signedC = 0;
  std::int16_t signedB = 0;
  std::int16_t signedA = 0;
  std::int16_t magic = 0;    // 36 to 49 name an effect; 51 drops the closing line
  std::int16_t value196 = 0;
  std::int16_t group1[4] = {};
  std::int16_t group2[3] = {};
  std::int16_t signedD = 0;
  std::int16_t signedE = 0;
  std::int16_t signedF = 0;
  std::int16_t rangeLow = 0;
  std::int16_t rangeHigh = 0;
  std::int16_t value222 = 0;
  std::int16_t value224 = 0;
  std::int16_t closing[4] = {};  // the fourth from version 6
  std::int16_t value234 = 0;
  std::int16_t value236 = 0;
  std::int16_t durabilityMax = 0;
  std::int16_t durability = 0;   // negative: indestructible
  std::int32_t values244[4] = {};
  std::int16_t value260 = 0;
  std::int16_t value262 = 0;
  std::uint32_t itemFlags = 0;   // from version 3; 32: indestructible
  std::int32_t value268 = 0;
  char pickSound[32] = "ITEM_PICK";  // from version 4
  char dropSound[32] = "ITEM_DROP";
  char useSound[32] = "ITEM_USE";
  std::int32_t value368 = 0;     // version 9
  float durabilityValue = 0;     // the current durability shown
  std::int16_t number = 0;
  std::int32_t value380 = 0;
  std::int32_t value384 = 0;
  std::int32_t value388 = 0;
  std::int32_t value404 = 0;     // from version 8
  std::int32_t spare = 0;

  // Reads one row: 1, or 0 with the row at its defaults for an unknown row
  // version (only the version word consumed) or a file that ends inside the
  // row (the source is then failed).
  int Read(ByteSource& source);

  // The description, lines separated by CR LF: without `append` the text
  // becomes the translated display name followed by the lines; with it the
  // lines follow what the text holds. Translated texts are the formats.
  void Describe(std::string& text, bool append) const;
};
