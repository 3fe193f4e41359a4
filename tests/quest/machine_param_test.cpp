#include "quest/machine_param.h"

#include <gtest/gtest.h>

#include <string>

#include "datafiles/language_table.h"
#include "platform/core/file.h"
#include "support/bytes.h"
#include "support/temp_dir.h"

namespace {

using testsupport::Bytes;

class MachineParamRecords : public testsupport::TempDirTest {
 protected:
  MachineParamRecords() { g_languageTable.SetLanguage(kLanguageEnglish); }
  ~MachineParamRecords() override { g_languageTable.Reset(); }

  std::string Written(const CMachineParam& value) {
    platform::File file("value.bin", platform::File::modeCreate | platform::File::modeWrite);
    value.Write(file);
    file.Close();
    return dir.Read("value.bin");
  }
  void ReadInto(CMachineParam& value, const Bytes& bytes) {
    dir.Write("in.bin", bytes.view());
    platform::File file("in.bin", platform::File::modeRead);
    value.Read(file);
    EXPECT_EQ(file.GetPosition(), bytes.size()) << "the record is read whole";
  }
};

struct StringType {
  int type;
  std::size_t size;
};

class StringValues : public MachineParamRecords, public ::testing::WithParamInterface<StringType> {};

TEST_P(StringValues, TextRoundTripAndRecordBytes) {
  const StringType t = GetParam();
  auto value = NewMachineParam(t.type);
  ASSERT_NE(value, nullptr);
  EXPECT_EQ(value->type, t.type);
  EXPECT_EQ(value->GetText(), "");
  value->number = 7;
  value->SetText("door frame");
  EXPECT_EQ(value->GetText(), "door frame");
  EXPECT_EQ(Written(*value), Bytes().u32(2).u32(7).u32(10).cstr("door frame").string());

  auto back = NewMachineParam(t.type);
  ReadInto(*back, Bytes().u32(2).u32(7).u32(10).cstr("door frame"));
  EXPECT_EQ(back->number, 7);
  EXPECT_EQ(back->GetText(), "door frame");

  auto empty = NewMachineParam(t.type);
  EXPECT_EQ(Written(*empty), Bytes().u32(2).u32(0).u32(0).string());
}

TEST_P(StringValues, VersionOneRecordHoldsTheRawField) {
  const StringType t = GetParam();
  auto value = NewMachineParam(t.type);
  ReadInto(*value, Bytes().u32(1).u32(3).fixed("old text", t.size));
  EXPECT_EQ(value->number, 3);
  EXPECT_EQ(value->GetText(), "old text");
}

TEST_P(StringValues, TextsLongerThanTheFieldAreCut) {
  const StringType t = GetParam();
  auto value = NewMachineParam(t.type);
  value->SetText(std::string(t.size + 20, 'a'));
  EXPECT_EQ(value->GetText(), std::string(t.size - 1, 'a'));

  // A raw field without a terminator, and a stored string too long for the field.
  auto raw = NewMachineParam(t.type);
  ReadInto(*raw, Bytes().u32(1).u32(1).str(std::string(t.size, 'r')));
  EXPECT_EQ(raw->GetText(), std::string(t.size - 1, 'r'));
  auto counted = NewMachineParam(t.type);
  const std::string stored(t.size + 5, 'c');
  ReadInto(*counted, Bytes().u32(2).u32(1).u32(static_cast<std::uint32_t>(stored.size())).cstr(stored));
  EXPECT_EQ(counted->GetText(), std::string(t.size - 1, 'c'));
}

INSTANTIATE_TEST_SUITE_P(Types, StringValues,
                         ::testing::Values(StringType{kParamFrame, 512}, StringType{kParamObject, 80},
                                           StringType{kParamSound, 80}, StringType{kParamAlpha, 512},
                                           StringType{kParamSkelFile, 512}, StringType{kParamSkelName, 80},
                                           StringType{kParamSkelAnim, 80}, StringType{kParamEffect, 80},
                                           StringType{kParamMonster, 80}, StringType{kParamList, 80}),
                         [](const ::testing::TestParamInfo<StringType>& param) {
                           return "Type" + std::to_string(param.param.type);
                         });

TEST_F(MachineParamRecords, IntTextAndNumber) {
  auto value = NewMachineParam(kParamInt);
  auto& i = static_cast<CMachineParamInt&>(*value);
  EXPECT_EQ(value->GetText(), "0");
  value->SetText("12abc");
  EXPECT_EQ(i.value, 12);
  EXPECT_EQ(value->GetText(), "12");
  value->SetText("none");
  EXPECT_EQ(i.value, 12) << "a text without a number keeps the number";
  EXPECT_STREQ(i.text, "none");
  EXPECT_EQ(value->GetText(), "12");
  value->SetText(" -40");
  EXPECT_EQ(value->GetText(), "-40");
}

TEST_F(MachineParamRecords, IntRecords) {
  auto value = NewMachineParam(kParamInt);
  value->number = 4;
  value->SetText("-5");
  EXPECT_EQ(Written(*value), Bytes().u32(2).u32(4).i32(-5).string());

  auto back = NewMachineParam(kParamInt);
  ReadInto(*back, Bytes().u32(2).u32(4).i32(77));
  EXPECT_EQ(static_cast<CMachineParamInt&>(*back).value, 77);
  EXPECT_STREQ(static_cast<CMachineParamInt&>(*back).text, "77");

  auto old = NewMachineParam(kParamInt);
  ReadInto(*old, Bytes().u32(1).u32(4).i32(9).fixed("nine", 80));
  EXPECT_EQ(static_cast<CMachineParamInt&>(*old).value, 9);
  EXPECT_STREQ(static_cast<CMachineParamInt&>(*old).text, "nine");
}

TEST_F(MachineParamRecords, TextValueInEveryLanguage) {
  auto value = NewMachineParam(kParamText);
  auto& t = static_cast<CMachineParamText&>(*value);
  value->number = 2;
  value->SetText("Hi");
  for (int l = 0; l < kLanguageCount; ++l) EXPECT_STREQ(t.value.Get(l), "Hi");
  t.value.Set(2, "Hallo");
  g_languageTable.SetLanguage(2);
  EXPECT_EQ(value->GetText(), "Hallo");
  g_languageTable.SetLanguage(kLanguageEnglish);
  EXPECT_EQ(value->GetText(), "Hi");

  Bytes expected;
  expected.u32(1).u32(2).u32(3);
  for (int l = 0; l < kLanguageCount; ++l) {
    if (l == 2) {
      expected.u32(6).cstr("Hallo");
    } else {
      expected.u32(3).cstr("Hi");
    }
  }
  expected.u32(0);
  EXPECT_EQ(Written(*value), expected.string());

  auto back = NewMachineParam(kParamText);
  ReadInto(*back, expected);
  EXPECT_EQ(back->number, 2);
  EXPECT_STREQ(static_cast<CMachineParamText&>(*back).value.Get(2), "Hallo");
  EXPECT_EQ(back->GetText(), "Hi");
}

TEST_F(MachineParamRecords, ShortRecordThrowsEndOfFile) {
  auto value = NewMachineParam(kParamObject);
  dir.Write("short.bin", Bytes().u32(2).u32(1).u32(10).str("abc").view());
  platform::File file("short.bin", platform::File::modeRead);
  try {
    value->Read(file);
    FAIL() << "read past the end";
  } catch (const platform::FileException& e) {
    EXPECT_EQ(e.cause(), platform::kCauseEndOfFile);
  }
  auto number = NewMachineParam(kParamInt);
  dir.Write("short2.bin", Bytes().u32(2).u32(1).view());
  platform::File file2("short2.bin", platform::File::modeRead);
  EXPECT_THROW(number->Read(file2), platform::FileException);
}

TEST(MachineParamFactory, OnlyTheTwelveTypes) {
  EXPECT_EQ(NewMachineParam(0), nullptr);
  EXPECT_EQ(NewMachineParam(13), nullptr);
  EXPECT_EQ(NewMachineParam(-1), nullptr);
  for (int type = 1; type <= 12; ++type) {
    auto value = NewMachineParam(type);
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->type, type);
    EXPECT_EQ(value->number, 0);
    EXPECT_EQ(value->def, nullptr);
    EXPECT_EQ(value->Flags(), 0);
    EXPECT_FALSE(value->IsDisplayed());
  }
}

}  // namespace
