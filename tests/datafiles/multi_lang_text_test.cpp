#include "datafiles/multi_lang_text.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "datafiles/byte_source.h"
#include "platform/core/file.h"
#include "support/bytes.h"
#include "support/temp_dir.h"

using testsupport::Bytes;

namespace {

class MultiLangTextTest : public testsupport::TempDirTest {
 protected:
  void SetUp() override { g_languageTable.Reset(); }
  void TearDown() override { g_languageTable.Reset(); }

  std::string Written(const CMultiLangText& t) {
    {
      platform::File f("rec.bin", platform::File::modeCreate | platform::File::modeWrite);
      t.Write(f);
      f.Close();
    }
    return dir.Read("rec.bin");
  }
  // Reads `bytes` through a file; true when it read without an exception.
  bool ReadFromFile(CMultiLangText& t, const Bytes& bytes, std::uint64_t* endPosition = nullptr) {
    dir.Write("in.bin", bytes.view());
    platform::File f("in.bin", platform::File::modeRead);
    try {
      t.Read(f);
    } catch (const platform::FileException& e) {
      EXPECT_EQ(e.cause(), platform::kCauseEndOfFile);
      return false;
    }
    if (endPosition) *endPosition = f.GetPosition();
    return true;
  }
};

// --- Set and Get -----------------------------------------------------------------------

TEST_F(MultiLangTextTest, SetStoresCopiesAndRefusesWhatItCannotHold) {
  CMultiLangText t;
  EXPECT_EQ(t.Set(2, "Hallo"), 6);
  EXPECT_STREQ(t.Get(2), "Hallo");
  EXPECT_TRUE(t.Has(2));
  EXPECT_EQ(t.Set(2, nullptr), 0);
  EXPECT_STREQ(t.Get(2), "Hallo") << "a null text changes nothing";
  EXPECT_EQ(t.Set(7, "x"), 0);
  EXPECT_EQ(t.Set(-1, "x"), 0);
  EXPECT_STREQ(t.Get(7), "");
  EXPECT_EQ(t.Set(2, ""), 0);
  EXPECT_FALSE(t.Has(2)) << "an empty text removes the language";
  EXPECT_STREQ(t.Get(2), "");
}

TEST_F(MultiLangTextTest, CopyIsDeepAndKeepsAbsentTexts) {
  CMultiLangText a;
  a.Set(0, "Bonjour");
  a.SetVoiceName("data\\customQuest\\q\\v.mp2");
  CMultiLangText b;
  b.Set(1, "stale");
  b.Copy(a);
  a.Set(0, "Salut");
  EXPECT_STREQ(b.Get(0), "Bonjour");
  EXPECT_FALSE(b.Has(1));
  EXPECT_STREQ(b.GetVoiceName(), "data\\customQuest\\q\\v.mp2");
  b.Free();
  EXPECT_FALSE(b.Has(0));
  EXPECT_STREQ(b.GetVoiceName(), "data\\customQuest\\q\\v.mp2");
}

TEST_F(MultiLangTextTest, VoiceNameKeepsAtMost79Characters) {
  CMultiLangText t;
  t.SetVoiceName(std::string(100, 'v'));
  EXPECT_EQ(std::string(t.GetVoiceName()), std::string(79, 'v'));
}

// --- GetLocalized ---------------------------------------------------------------------------

TEST_F(MultiLangTextTest, GetLocalizedFallsBackToEnglishThenTheFirstText) {
  struct Case {
    std::vector<std::pair<int, const char*>> texts;
    int current;
    int asked;
    const char* expected;
  };
  const Case cases[] = {
      {{{5, "it"}}, 1, -1, "it"},                    // only Italian: for every language
      {{{5, "it"}}, 0, 3, "it"},
      {{{0, "fr"}, {1, "en"}}, 2, -1, "en"},         // German current, absent: English
      {{{0, "fr"}, {1, "en"}}, 2, 0, "fr"},          // asked language present
      {{{0, "fr"}, {3, "es"}}, 2, -1, "fr"},         // no English: the first present
      {{{3, "es"}, {6, "xx"}}, 4, 4, "es"},
      {{{1, "en"}, {2, "de"}}, 0, 9, "en"},          // beyond 6 is English
      {{}, 1, -1, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("asked " + std::to_string(c.asked) + " current " + std::to_string(c.current));
    CMultiLangText t;
    for (auto [lang, text] : c.texts) t.Set(lang, text);
    g_languageTable.SetLanguage(c.current);
    EXPECT_STREQ(t.GetLocalized(c.asked), c.expected);
  }
}

// --- The record -----------------------------------------------------------------------------------

TEST_F(MultiLangTextTest, EmptyRecordIs36Bytes) {
  CMultiLangText t;
  Bytes expected;
  expected.u32(3);
  for (int k = 0; k < 7; ++k) expected.u32(0);
  expected.u32(0);
  EXPECT_EQ(Written(t), expected.string());
  EXPECT_EQ(expected.size(), 36u);
}

TEST_F(MultiLangTextTest, RecordCountsTheTerminatorForTextsButNotForTheVoiceName) {
  CMultiLangText t;
  t.Set(2, "Tor");
  t.SetVoiceName("v.mp2");
  Bytes expected;
  expected.u32(3).u32(0).u32(0).u32(4).cstr("Tor").u32(0).u32(0).u32(0).u32(0).u32(5).cstr("v.mp2");
  EXPECT_EQ(Written(t), expected.string());

  CMultiLangText back;
  back.Set(0, "old");
  ASSERT_TRUE(ReadFromFile(back, expected));
  EXPECT_FALSE(back.Has(0)) << "reading frees the texts it held";
  EXPECT_STREQ(back.Get(2), "Tor");
  EXPECT_STREQ(back.GetVoiceName(), "v.mp2");
}

TEST_F(MultiLangTextTest, OlderVersionsReadTheirOwnVoiceName) {
  auto seven = [] {
    Bytes b;
    for (int k = 0; k < 7; ++k) {
      if (k == 1) b.u32(3).cstr("en");
      else b.u32(0);
    }
    return b;
  };

  CMultiLangText v1;
  v1.SetVoiceName("kept.mp2");
  Bytes r1;
  r1.u32(1).raw(seven().data()).str("trailing");
  std::uint64_t end = 0;
  ASSERT_TRUE(ReadFromFile(v1, r1, &end));
  EXPECT_STREQ(v1.Get(1), "en");
  EXPECT_STREQ(v1.GetVoiceName(), "kept.mp2") << "version 1 has no voice name";
  EXPECT_EQ(end, r1.size() - 8);

  CMultiLangText v2;
  Bytes r2;
  r2.u32(2).raw(seven().data()).fixed("old.mp2", 80).str("next");
  ASSERT_TRUE(ReadFromFile(v2, r2, &end));
  EXPECT_STREQ(v2.GetVoiceName(), "old.mp2");
  EXPECT_EQ(end, r2.size() - 4) << "exactly 80 bytes of voice name";

  CMultiLangText v2full;
  Bytes r2full;
  r2full.u32(2).raw(seven().data()).str(std::string(80, 'n'));
  ASSERT_TRUE(ReadFromFile(v2full, r2full));
  EXPECT_EQ(std::string(v2full.GetVoiceName()), std::string(79, 'n')) << "terminated inside its 80 bytes";

  CMultiLangText v7;
  Bytes r7;
  r7.u32(7).raw(seven().data()).u32(5).cstr("n.mp2");
  ASSERT_TRUE(ReadFromFile(v7, r7));
  EXPECT_STREQ(v7.GetVoiceName(), "n.mp2") << "later versions read as version 3";
}

TEST_F(MultiLangTextTest, StoredTextsOfLengthZeroOrOneAreAbsentAndAllAreTerminated) {
  Bytes r;
  r.u32(3);
  r.u32(1).u8(0);            // the terminator alone
  r.u32(0);                  // nothing
  r.u32(3).str("abc");       // no terminator within its length
  r.u32(4).u8(0).str("xyz"); // empty before its bytes
  r.u32(0).u32(0).u32(0);
  r.u32(0);
  CMultiLangText t;
  ASSERT_TRUE(ReadFromFile(t, r));
  EXPECT_FALSE(t.Has(0));
  EXPECT_FALSE(t.Has(1));
  EXPECT_STREQ(t.Get(2), "abc");
  EXPECT_FALSE(t.Has(3));
}

TEST_F(MultiLangTextTest, DamagedRecordsThrowEndOfFileAndChangeNothing) {
  struct Case {
    const char* what;
    Bytes bytes;
  };
  Bytes hugeText;
  hugeText.u32(3).u32(0xFFFFFFFFu).str("abc");
  Bytes cutText;
  cutText.u32(3).u32(10).str("abc");
  Bytes hugeVoice;
  hugeVoice.u32(3).zeros(28).u32(0xFFFFFFFFu).str("v");
  Bytes cutVoice2;
  cutVoice2.u32(2).zeros(28).str("short");
  Bytes noVersion;
  noVersion.u16(3);
  const Case cases[] = {
      {"text length beyond the stream", hugeText},
      {"text cut short", cutText},
      {"voice length that would wrap", hugeVoice},
      {"version-2 voice cut short", cutVoice2},
      {"version cut short", noVersion},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CMultiLangText t;
    t.Set(4, "keep");
    t.SetVoiceName("keep.mp2");
    EXPECT_FALSE(ReadFromFile(t, c.bytes));
    EXPECT_STREQ(t.Get(4), "keep");
    EXPECT_STREQ(t.GetVoiceName(), "keep.mp2");

    SpanSource span(c.bytes.data());
    EXPECT_FALSE(t.Read(span));
    EXPECT_STREQ(t.Get(4), "keep");
  }
}

TEST_F(MultiLangTextTest, RoundTripsEveryLanguageAndWindows1252Bytes) {
  CMultiLangText t;
  const char* texts[] = {"\xc9t\xe9", "Summer", "Gr\xfc\xdf", "Ma\xf1" "ana", "V\xe5r", "Citt\xe0", "\x80\x99"};
  for (int k = 0; k < 7; ++k) t.Set(k, texts[k]);
  t.SetVoiceName("data\\customQuest\\q\\x.mp2");
  std::string bytes = Written(t);
  Bytes in;
  in.str(bytes);
  CMultiLangText back;
  ASSERT_TRUE(ReadFromFile(back, in));
  for (int k = 0; k < 7; ++k) EXPECT_STREQ(back.Get(k), texts[k]) << k;
  EXPECT_STREQ(back.GetVoiceName(), t.GetVoiceName());
  EXPECT_EQ(Written(back), bytes);
}

}  // namespace
