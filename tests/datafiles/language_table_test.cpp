#include "datafiles/language_table.h"

#include <string>

#include <gtest/gtest.h>

#include "datafiles/mtf_archive.h"
#include "language_table_bytes.h"
#include "platform/core/trace.h"
#include "support/bytes.h"
#include "support/temp_dir.h"

using languagebytes::Entry;
using languagebytes::File;
using testsupport::Bytes;

namespace {

const std::vector<std::string> kSeven = {"fr", "en", "de", "es", "sv", "it", "xx"};

class LanguageTableTest : public ::testing::Test {
 protected:
  void SetUp() override { g_languageTable.Reset(); }
  void TearDown() override { g_languageTable.Reset(); }
  CLanguageTable table;
};

// --- Language index -----------------------------------------------------------

TEST(LanguageIndexTest, NamesAndOutOfRangeIndexesAreEnglish) {
  EXPECT_STREQ(LanguageName(0), "French");
  EXPECT_STREQ(LanguageName(3), "Spanish");
  EXPECT_STREQ(LanguageName(6), "Other");
  for (int bad : {-1, 7, 100, -2147483647 - 1}) {
    EXPECT_EQ(ValidLanguage(bad), kLanguageEnglish) << bad;
    EXPECT_STREQ(LanguageName(bad), "English") << bad;
  }
  CLanguageTable t;
  t.SetLanguage(9);
  EXPECT_EQ(t.GetLanguage(), kLanguageEnglish);
  t.SetLanguage(4);
  EXPECT_EQ(t.GetLanguage(), 4);
}

// --- Reading entries ------------------------------------------------------------

TEST_F(LanguageTableTest, EntryVersionsReadTheirFieldsAndFillSlots) {
  ASSERT_TRUE(table.Read(File({Entry(1, "ONE", {"a", "b"}), Entry(2, "two", {"x"}, 0x10), Entry(3, "THREE", kSeven, 1)})));
  ASSERT_EQ(table.Count(), 3u);
  EXPECT_EQ(table.Capacity(), 3u + 128u);
  EXPECT_TRUE(table.IsSorted());

  const LanguageEntry& one = table.Entry(static_cast<std::size_t>(table.Find("ONE")));
  EXPECT_EQ(one.flags, 0u);
  EXPECT_STREQ(one.GetString(0), "a");
  EXPECT_STREQ(one.GetString(1), "b");
  EXPECT_EQ(one.GetString(2), nullptr) << "version 1 leaves the strings after n absent";
  EXPECT_EQ(one.GetString(11), nullptr);

  const LanguageEntry& two = table.Entry(static_cast<std::size_t>(table.Find("TWO")));
  EXPECT_EQ(two.key, "TWO") << "keys are upper-cased when read";
  EXPECT_EQ(two.flags, 0x14u);
  EXPECT_STREQ(two.GetString(0), "x");
  for (int k = 1; k < 12; ++k) EXPECT_STREQ(two.GetString(k), "") << k;

  const LanguageEntry& three = table.Entry(static_cast<std::size_t>(table.Find("three")));
  EXPECT_EQ(three.flags, 5u);
  EXPECT_STREQ(three.GetString(6), "xx");
  EXPECT_STREQ(three.GetString(7), "");
}

TEST_F(LanguageTableTest, NewEntriesAreFreeWithTwelveEmptyStrings) {
  table.Allocate(2);
  EXPECT_EQ(table.Count(), 2u);
  EXPECT_EQ(table.Capacity(), 130u);
  EXPECT_EQ(table.Entry(129).key, "FREE");
  for (int k = 0; k < 12; ++k) EXPECT_STREQ(table.Entry(0).GetString(k), "");
  EXPECT_EQ(table.Find("free"), 0);
  table.Free();
  EXPECT_EQ(table.Count(), 0u);
  EXPECT_EQ(table.Capacity(), 0u);
}

TEST_F(LanguageTableTest, UnknownEntryVersionIsLeftClearedAndReadingGoesOn) {
  // The unknown entry is only its version word; the next entry follows it.
  Bytes unknown;
  unknown.u16(4);
  ASSERT_TRUE(table.Read(File({Entry(3, "A", kSeven), unknown, Entry(3, "B", kSeven)})));
  ASSERT_EQ(table.Count(), 3u);
  EXPECT_EQ(table.Entry(0).key, "") << "the cleared entry sorts first";
  EXPECT_EQ(table.Entry(0).GetString(1), nullptr);
  EXPECT_EQ(table.Find("B"), 2);
}

TEST_F(LanguageTableTest, MoreThanTwelveStringsKeepTheFirstTwelveAndStayInStep) {
  std::vector<std::string> many;
  for (int k = 0; k < 15; ++k) many.push_back("s" + std::to_string(k));
  platform::TraceCapture trace;
  ASSERT_TRUE(table.Read(File({Entry(3, "MANY", many), Entry(3, "NEXT", kSeven)})));
  EXPECT_STREQ(table.Entry(0).GetString(11), "s11");
  EXPECT_EQ(table.Entry(1).key, "NEXT");
  EXPECT_TRUE(trace.Contains("MANY HAS 15 STRINGS"));
}

TEST_F(LanguageTableTest, StoredTextsAreTerminatedWhateverTheirLengthSays) {
  Bytes e;
  e.u16(3).u32(0);
  e.u32(3).str("KEY");          // no terminator inside the length
  e.u32(2);
  e.u32(6).str("ab").zeros(4);  // terminator early
  e.u32(0);                     // nothing at all
  ASSERT_TRUE(table.Read(File({e})));
  EXPECT_EQ(table.Entry(0).key, "KEY");
  EXPECT_EQ(std::string(table.Entry(0).GetString(0)), "ab");
  EXPECT_STREQ(table.Entry(0).GetString(1), "");
}

// --- Hostile files -----------------------------------------------------------------

TEST_F(LanguageTableTest, DamagedFilesLeaveTheTableEmpty) {
  struct Case {
    const char* what;
    std::vector<std::uint8_t> bytes;
  };
  Bytes huge;
  huge.u16(1).u32(0xFFFFFFFFu).raw(Entry(3, "A", kSeven).data());
  Bytes badVersion;
  badVersion.u16(2).u32(1).raw(Entry(3, "A", kSeven).data());
  std::vector<std::uint8_t> cut = File({Entry(3, "A", kSeven), Entry(3, "B", kSeven)});
  cut.resize(cut.size() - 3);
  Bytes longKey;
  longKey.u16(1).u32(1).u16(1).u32(0x7FFFFFFF).str("KEY");
  Bytes longString;
  longString.u16(1).u32(1).u16(3).u32(0).u32(2).cstr("K").u32(1).u32(0xFFFFFFF0u).str("x");
  Bytes manyStrings;
  manyStrings.u16(1).u32(1).u16(3).u32(0).u32(2).cstr("K").u32(0xFFFFFFFFu).u32(1).u8(0);
  const Case cases[] = {
      {"empty file", {}},
      {"count missing", Bytes().u16(1).data()},
      {"count beyond the file", huge.data()},
      {"file version 2", badVersion.data()},
      {"cut inside the last entry", cut},
      {"key length beyond the file", longKey.data()},
      {"string length beyond the file", longString.data()},
      {"string count beyond the file", manyStrings.data()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    table.Allocate(3);
    EXPECT_FALSE(table.Read(c.bytes));
    EXPECT_EQ(table.Count(), 0u);
    EXPECT_EQ(table.Capacity(), 0u);
    EXPECT_EQ(table.Find("A"), -1);
  }
}

// --- Sort and find -------------------------------------------------------------------

TEST_F(LanguageTableTest, SortIgnoresCaseFoldingToLowerAndFindReturnsTheFirst) {
  // "A_" sorts before "AA" when both are lowered ('_' < 'a'), after it when raised.
  ASSERT_TRUE(table.Read(File({Entry(3, "AA", kSeven), Entry(3, "A_", kSeven), Entry(3, "Z", kSeven),
                               Entry(3, "B", {"first"}), Entry(3, "b", {"second"})})));
  ASSERT_EQ(table.Count(), 5u);
  EXPECT_EQ(table.Entry(0).key, "A_");
  EXPECT_EQ(table.Entry(1).key, "AA");
  EXPECT_STREQ(table.Entry(static_cast<std::size_t>(table.Find("b"))).GetString(0), "first")
      << "equal keys keep their file order here (no exchange between them)";
  EXPECT_EQ(table.Find("Z"), 4);
  EXPECT_EQ(table.Find("MISSING"), -1);
}

// --- Translate -----------------------------------------------------------------------

TEST_F(LanguageTableTest, TranslateHitsAndMisses) {
  ASSERT_TRUE(g_languageTable.Read(File({Entry(3, "STR50", kSeven), Entry(3, "EMPTY", {"f", "e", "g", ""}),
                                         Entry(1, "SHORT", {"f", "e"})})));
  struct Case {
    int language;
    const char* key;
    const char* expected;
  };
  const std::string longKey(64, 'K');
  const Case cases[] = {
      {1, "STR50", "en"},
      {1, "str50", "en"},     // found ignoring case
      {5, "Str50", "it"},
      {1, "Missing_Key", "Missing_Key"},  // the key as given, in its own case
      {3, "EMPTY", ""},       // an empty text is a text: no fallback
      {1, "SHORT", "e"},
      {4, "SHORT", "SHORT"},  // a string the entry never had gives the key
      {1, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.key) + " in " + std::to_string(c.language));
    g_languageTable.SetLanguage(c.language);
    EXPECT_STREQ(g_languageTable.Translate(c.key), c.expected);
  }
  const char* key = longKey.c_str();
  EXPECT_EQ(g_languageTable.Translate(key), key) << "a key longer than 63 characters comes back unchanged";
  EXPECT_STREQ(g_languageTable.Translate(nullptr), "");
}

TEST_F(LanguageTableTest, MissingTableTranslatesEveryKeyToItself) {
  EXPECT_STREQ(g_languageTable.Translate("STR50"), "STR50");
}

// --- Loading through the archive layer --------------------------------------------------

class LanguageTableLoadTest : public testsupport::TempDirTest {
 protected:
  void SetUp() override { MtfCloseAllArchives(); }
  void TearDown() override { MtfCloseAllArchives(); }
  CLanguageTable table;
};

TEST_F(LanguageTableLoadTest, LoadsTheGamePathAndReportsOnlyAMissingFile) {
  EXPECT_EQ(table.Load(), 0);

  auto bytes = File({Entry(3, "HELLO", kSeven)});
  dir.Write("data/text/language.dat", std::span<const std::uint8_t>(bytes));
  EXPECT_EQ(table.Load(), 1);
  EXPECT_EQ(table.Count(), 1u);

  dir.Write("data/text/language.dat", "\x02\x00");
  EXPECT_EQ(table.Load(), 1) << "a file of another version is opened, and leaves the table empty";
  EXPECT_EQ(table.Count(), 0u);
}

}  // namespace
