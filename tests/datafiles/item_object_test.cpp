#include "datafiles/item_object.h"

#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "datafiles/byte_source.h"
#include "item_object_bytes.h"
#include "language_table_bytes.h"
#include "support/bytes.h"

using testsupport::Bytes;

namespace {

CItemObject ReadRow(const Bytes& bytes, int* result = nullptr, std::size_t* consumed = nullptr) {
  SpanSource source(bytes.data());
  CItemObject o;
  int r = o.Read(source);
  if (result) *result = r;
  if (consumed) *consumed = source.position();
  return o;
}

// --- Row versions ------------------------------------------------------------------------------

TEST(ItemObjectReadTest, EveryVersionHasItsRowSize) {
  const std::size_t sizes[9] = {210, 274, 282, 378, 382, 384, 384, 392, 396};
  CItemObject item = itembytes::Distinct("SWORD");
  for (int v = 1; v <= 9; ++v) {
    SCOPED_TRACE("version " + std::to_string(v));
    Bytes row = itembytes::Row(item, v);
    ASSERT_EQ(row.size(), 2 + sizes[v - 1]);
    row.str("tail");
    int result = 0;
    std::size_t consumed = 0;
    CItemObject back = ReadRow(row, &result, &consumed);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(consumed, 2 + sizes[v - 1]);
    EXPECT_STREQ(back.name, "SWORD");
    EXPECT_EQ(back.value388, item.value388) << "the last field every version has";
  }
}

TEST(ItemObjectReadTest, FieldsLandInTheirMemoryPlaces) {
  CItemObject item = itembytes::Distinct("AXE");
  CItemObject back = ReadRow(itembytes::Row(item, 9));
  // The file holds kind-1 value A, the kind-2 value, then kind-1 value B.
  EXPECT_EQ(back.kind1ValueA, item.kind1ValueA);
  EXPECT_EQ(back.kind1ValueB, item.kind1ValueB);
  EXPECT_EQ(back.kind2Value, item.kind2Value);
  EXPECT_EQ(back.number, item.number);
  EXPECT_EQ(back.value380, item.value380);
  EXPECT_EQ(back.value384, item.value384);
  EXPECT_STREQ(back.displayKey, "KEY_AXE");
  EXPECT_STREQ(back.text3, "three");
  EXPECT_STREQ(back.text4, "four");
  EXPECT_STREQ(back.text5, "five");
  EXPECT_EQ(back.kind, item.kind);
  EXPECT_EQ(back.signedA, item.signedA);
  EXPECT_EQ(back.signedC, item.signedC);
  EXPECT_EQ(back.magic, item.magic);
  EXPECT_EQ(back.group1[3], item.group1[3]);
  EXPECT_EQ(back.group2[0], item.group2[0]);
  EXPECT_EQ(back.rangeHigh, item.rangeHigh);
  EXPECT_EQ(back.closing[3], item.closing[3]);
  EXPECT_EQ(back.value236, item.value236);
  EXPECT_EQ(back.values244[3], item.values244[3]);
  EXPECT_EQ(back.value262, item.value262);
  EXPECT_EQ(back.itemFlags, item.itemFlags);
  EXPECT_EQ(back.value268, item.value268);
  EXPECT_STREQ(back.useSound, "USE");
  EXPECT_EQ(back.value404, item.value404);
  EXPECT_EQ(back.value368, item.value368);
  EXPECT_EQ(back.spare, 0);
  // Every stored field survives a rewrite in the same layout.
  EXPECT_EQ(itembytes::Row(back, 9, 0xDEADBEEF).data(), itembytes::Row(item, 9).data());
}

TEST(ItemObjectReadTest, FieldsAVersionLacksKeepTheirDefaults) {
  CItemObject item = itembytes::Distinct("CLUB");
  CItemObject v1 = ReadRow(itembytes::Row(item, 1));
  EXPECT_STREQ(v1.text4, "");
  EXPECT_STREQ(v1.text5, "");
  EXPECT_EQ(v1.itemFlags, 0u);
  EXPECT_STREQ(v1.pickSound, "ITEM_PICK");
  EXPECT_STREQ(v1.dropSound, "ITEM_DROP");
  EXPECT_STREQ(v1.useSound, "ITEM_USE");
  EXPECT_EQ(v1.closing[2], item.closing[2]);
  EXPECT_EQ(v1.closing[3], 0) << "the fourth closing value comes with version 6";
  EXPECT_EQ(v1.value404, 0);
  EXPECT_EQ(v1.value368, 0);
  CItemObject v5 = ReadRow(itembytes::Row(item, 5));
  EXPECT_EQ(v5.closing[3], 0);
  EXPECT_STREQ(v5.useSound, "USE");
  CItemObject v8 = ReadRow(itembytes::Row(item, 8));
  EXPECT_EQ(v8.value404, item.value404);
  EXPECT_EQ(v8.value368, 0);
}

TEST(ItemObjectReadTest, Version8CarriesFourMoreBytesBeforeTheNumber) {
  CItemObject item = itembytes::Distinct("BOW");
  Bytes v7 = itembytes::Row(item, 7);
  Bytes v8 = itembytes::Row(item, 8, 0x01020304);
  EXPECT_EQ(testsupport::ReadU16(v7.data().data() + 2), static_cast<std::uint16_t>(item.number));
  EXPECT_EQ(testsupport::ReadU16(v8.data().data() + 6), static_cast<std::uint16_t>(item.number));
  CItemObject back = ReadRow(v8);
  EXPECT_EQ(back.number, item.number);
  EXPECT_STREQ(back.name, "BOW");
}

TEST(ItemObjectReadTest, DurabilityValueIsDerivedByVersion) {
  struct Case {
    int version;
    std::int16_t max, current;
    float stored;
    float expected;
  };
  const Case cases[] = {
      {1, 50, 30, 0, 50},   {2, 50, 70, 0, 50},   {3, 50, 30, 0, 30},     {4, 50, 70, 0, 50},
      {5, 50, 30, 12.5f, 12.5f}, {6, 50, 30, 40, 30}, {9, 50, -1, 40, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    CItemObject item = itembytes::Distinct("X");
    item.durabilityMax = c.max;
    item.durability = c.current;
    item.durabilityValue = c.stored;
    EXPECT_FLOAT_EQ(ReadRow(itembytes::Row(item, c.version)).durabilityValue, c.expected);
  }
}

TEST(ItemObjectReadTest, UnknownVersionOrShortRowGivesZeroAndDefaults) {
  for (int version : {0, 10, 0xFFFF}) {
    Bytes row;
    row.u16(static_cast<std::uint16_t>(version)).raw(itembytes::Row(itembytes::Distinct("X"), 9).data());
    int result = 1;
    std::size_t consumed = 0;
    CItemObject back = ReadRow(row, &result, &consumed);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(consumed, 2u) << "only the version word is taken";
    EXPECT_STREQ(back.name, "FREE");
  }
  Bytes cut = itembytes::Row(itembytes::Distinct("X"), 4);
  cut.data().resize(cut.size() - 1);
  int result = 1;
  CItemObject back = ReadRow(cut, &result);
  EXPECT_EQ(result, 0);
  EXPECT_STREQ(back.name, "FREE");
  EXPECT_EQ(back.number, 0);
}

// --- Describe -------------------------------------------------------------------------------------

// Each key translates to itself followed by one "%d" per value the description passes.
const std::vector<std::pair<std::string, int>> kKeys = {
    {"STINDESTRUCTIBLE", 2}, {"STR50", 4}, {"STINDESTRUCTIBLE2", 1}, {"STR63", 3}, {"STR66", 0}, {"STR67", 1},
    {"STR64", 1}, {"STR65", 1}, {"STR51", 1}, {"STR52", 1}, {"STR53", 1}, {"STR54", 1}, {"STR71", 0},
    {"STR72", 0}, {"STR73", 0}, {"STMMISS", 0}, {"MAGIC_SPECIAL_TEMPETE", 0}, {"MAGIC_SPECIAL_STONE", 0},
    {"MAGIC_SPECIAL_CONFUSION", 0}, {"STR55", 1}, {"STR56", 2}, {"STR57", 0}, {"STR58", 0}, {"STR59", 0},
    {"STR60", 0}, {"STR61", 0}, {"STR62", 0}, {"STR74", 1}, {"STR75", 1}, {"STR76", 1}, {"STR77", 1},
    {"STR78", 1}, {"STR79", 1}, {"STR80", 1}, {"STR81", 1}, {"STR82", 1}, {"STR83", 1}, {"STR84", 1},
    {"STR85", 1}, {"STR86", 1}, {"STR87", 1}, {"STR88", 1}, {"MAGIC_VIELLESSE", 0}, {"MAGIC_LENTEUR", 0},
    {"MAGIC_IMMORTALITE", 0}, {"STR93", 1}, {"STR94", 1}, {"STR95", 1}, {"STR105", 1},
};

class DescribeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<std::pair<std::string, std::string>> texts = {{"SWORD", "Sword"}, {"STR92", "Closing:"}};
    for (const auto& [key, n] : kKeys) {
      std::string format = key;
      for (int k = 0; k < n; ++k) format += " %d";
      texts.emplace_back(key, format);
    }
    languagebytes::UseEnglishTexts(texts);
  }
  void TearDown() override { g_languageTable.Reset(); }

  static CItemObject Item() {
    CItemObject o;
    std::snprintf(o.displayKey, sizeof o.displayKey, "SWORD");
    return o;
  }
  static std::string Describe(const CItemObject& o) {
    std::string text;
    o.Describe(text, false);
    return text;
  }
};

TEST_F(DescribeTest, FirstLineByKind) {
  struct Case {
    const char* what;
    std::int16_t kind, durability;
    std::uint32_t itemFlags;
    std::int32_t kind3;
    const char* expected;
  };
  const Case cases[] = {
      {"kind 1, durability -1", 1, -1, 0, 0, "Sword\r\nSTINDESTRUCTIBLE 7 9"},
      {"kind 1, item flag 32", 1, 30, 32, 0, "Sword\r\nSTINDESTRUCTIBLE 7 9"},
      {"kind 1", 1, 30, 0x10, 0, "Sword\r\nSTR50 7 9 12 30"},
      {"kind 2, durability -1", 2, -1, 0, 0, "Sword\r\nSTINDESTRUCTIBLE2 4"},
      {"kind 2", 2, 30, 0, 0, "Sword\r\nSTR63 4 12 30"},
      {"kind 3, value 1", 3, 0, 0, 1, "Sword\r\nSTR66"},
      {"kind 3, value 5", 3, 0, 0, 5, "Sword\r\nSTR67 5"},
      {"kind 0", 0, 0, 0, 5, "Sword"},
      {"kind 4", 4, 0, 0, 5, "Sword"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CItemObject o = Item();
    o.kind = c.kind;
    o.durability = c.durability;
    o.itemFlags = c.itemFlags;
    o.kind3Value = c.kind3;
    o.kind1ValueA = 7;
    o.kind1ValueB = 9;
    o.kind2Value = 4;
    o.durabilityValue = 12.9f;
    EXPECT_EQ(Describe(o), c.expected);
  }
}

TEST_F(DescribeTest, SignedValuesUseTheirPositiveOrNegativeKey) {
  CItemObject o = Item();
  o.signedA = -3;
  o.signedB = 2;
  o.signedC = -1;
  o.signedD = 6;
  o.signedE = -2;
  o.signedF = 1;
  EXPECT_EQ(Describe(o), "Sword\r\nSTR65 -3\r\nSTR51 2\r\nSTR54 -1\r\nSTR83 6\r\nSTR86 -2\r\nSTR87 1");
  o = Item();
  o.signedA = 4;
  o.signedB = -5;
  o.signedC = 1;
  o.signedD = -1;
  o.signedE = 3;
  o.signedF = -7;
  EXPECT_EQ(Describe(o), "Sword\r\nSTR64 4\r\nSTR52 -5\r\nSTR53 1\r\nSTR84 -1\r\nSTR85 3\r\nSTR88 -7");
  EXPECT_EQ(Describe(Item()), "Sword") << "zero values add no line";
}

TEST_F(DescribeTest, SpecialRangeFlagsAndMagicLines) {
  struct Case {
    std::int16_t special, low, high, flags, magic;
    const char* lines;
  };
  const Case cases[] = {
      {1, 0, 0, 0, 0, "\r\nSTR71"},
      {3, 0, 0, 0, 0, "\r\nSTR73"},
      {4, 0, 0, 0, 0, "\r\nSTMMISS"},
      {5, 0, 0, 0, 0, "\r\nMAGIC_SPECIAL_TEMPETE"},
      {7, 0, 0, 0, 0, "\r\nMAGIC_SPECIAL_CONFUSION"},
      {8, 0, 0, 0, 0, ""},
      {0, 4, 4, 0, 0, "\r\nSTR55 4"},
      {0, 2, 6, 0, 0, "\r\nSTR56 2 6"},
      {0, 0, 3, 0, 0, "\r\nSTR56 0 3"},
      {0, 0, 0, 1, 0, "\r\nSTR57"},
      {0, 0, 0, 2 | 4 | 8, 0, "\r\nSTR58"},
      {0, 0, 0, 4 | 8, 0, "\r\nSTR59"},
      {0, 0, 0, 8, 0, "\r\nSTR60"},
      {0, 0, 0, 16 | 32, 0, "\r\nSTR61"},
      {0, 0, 0, 32, 0, "\r\nSTR62"},
      {0, 0, 0, 1 | 2 | 16, 0, "\r\nSTR57\r\nSTR58\r\nSTR61"},
      {0, 0, 0, 64, 0, ""},
      {0, 0, 0, 0, 36, "\r\nMAGIC_VIELLESSE"},
      {0, 0, 0, 0, 38, "\r\nMAGIC_LENTEUR"},
      {0, 0, 0, 0, 49, "\r\nMAGIC_IMMORTALITE"},
      {0, 0, 0, 0, 35, ""},
      {0, 0, 0, 0, 50, ""},
      {2, 1, 2, 1, 49, "\r\nSTR72\r\nSTR56 1 2\r\nSTR57\r\nMAGIC_IMMORTALITE"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lines);
    CItemObject o = Item();
    o.special = c.special;
    o.rangeLow = c.low;
    o.rangeHigh = c.high;
    o.flags = c.flags;
    o.magic = c.magic;
    EXPECT_EQ(Describe(o), std::string("Sword") + c.lines);
  }
}

TEST_F(DescribeTest, ValueGroupsCollapseWhenComplete) {
  struct Case {
    std::int16_t g1[4];
    std::int16_t g2[3];
    const char* lines;
  };
  const Case cases[] = {
      {{5, 5, 5, 5}, {0, 0, 0}, "\r\nSTR74 5"},
      {{5, 0, 5, 5}, {0, 0, 0}, "\r\nSTR75 5\r\nSTR77 5\r\nSTR78 5"},
      {{0, 1, 2, 3}, {0, 0, 0}, "\r\nSTR76 1\r\nSTR77 2\r\nSTR78 3"},
      {{0, 0, 0, 0}, {3, 3, 3}, "\r\nSTR79 3"},
      {{0, 0, 0, 0}, {3, 4, 0}, "\r\nSTR80 3\r\nSTR81 4"},
      {{0, 0, 0, 0}, {0, 0, 9}, "\r\nSTR82 9"},
      {{1, 2, 3, 4}, {5, 6, 7}, "\r\nSTR74 1\r\nSTR79 5"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lines);
    CItemObject o = Item();
    std::copy(std::begin(c.g1), std::end(c.g1), o.group1);
    std::copy(std::begin(c.g2), std::end(c.g2), o.group2);
    EXPECT_EQ(Describe(o), std::string("Sword") + c.lines);
  }
}

TEST_F(DescribeTest, ClosingLineJoinsItsPiecesUnlessMagic51) {
  struct Case {
    std::int16_t magic;
    std::int16_t closing[4];
    const char* lines;
  };
  const Case cases[] = {
      {0, {1, 0, 3, 4}, "\r\nClosing:STR93 1STR95 3STR105 4"},
      {0, {0, 2, 0, 0}, "\r\nClosing:STR94 2"},
      {0, {0, 0, 0, 0}, ""},
      {51, {1, 2, 3, 4}, ""},
      {38, {0, 0, 0, 8}, "\r\nMAGIC_LENTEUR\r\nClosing:STR105 8"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lines);
    CItemObject o = Item();
    o.magic = c.magic;
    std::copy(std::begin(c.closing), std::end(c.closing), o.closing);
    EXPECT_EQ(Describe(o), std::string("Sword") + c.lines);
  }
}

TEST_F(DescribeTest, AppendKeepsTheTextAndLinesFollowInOrder) {
  CItemObject o = Item();
  o.kind = 3;
  o.kind3Value = 2;
  o.signedA = 1;
  o.special = 1;
  o.rangeLow = o.rangeHigh = 2;
  o.flags = 1;
  o.group1[0] = 3;
  o.group2[1] = 4;
  o.signedD = 5;
  o.magic = 36;
  o.closing[0] = 6;
  std::string text = "Head";
  o.Describe(text, true);
  EXPECT_EQ(text,
            "Head\r\nSTR67 2\r\nSTR64 1\r\nSTR71\r\nSTR55 2\r\nSTR57\r\nSTR75 3\r\nSTR81 4\r\nSTR83 5\r\n"
            "MAGIC_VIELLESSE\r\nClosing:STR93 6");
  std::string fresh = "old";
  o.Describe(fresh, false);
  EXPECT_EQ(fresh.substr(0, 7), "Sword\r\n");
}

TEST_F(DescribeTest, HostileTranslationsAreNeitherFormatsNorOverruns) {
  languagebytes::UseEnglishTexts({
      {"STR64", "%s%n%p %f %d %*d %5d|%-4d|%04d %x %%"},
      {"STR65", std::string(400, 'L') + "%d"},
      {"STR92", std::string(150, 'C')},
      {"STR93", std::string(100, 'P') + "%d"},
      {"STR94", "%d%d%d"},
  });
  CItemObject o;
  o.signedA = 7;
  std::string text;
  o.Describe(text, false);
  EXPECT_EQ(text, "\r\n%s%n%p %f 7 %*d     0|0   |0000 0 %") << "one value given; the others are 0";

  o.signedA = -7;
  o.Describe(text, false);
  EXPECT_EQ(text, "\r\n" + std::string(159, 'L')) << "a line holds 159 characters";

  o.signedA = 0;
  o.closing[0] = 1;
  o.closing[1] = 2;
  o.Describe(text, false);
  EXPECT_EQ(text, "\r\n" + std::string(150, 'C') + std::string(9, 'P'));
}

}  // namespace
