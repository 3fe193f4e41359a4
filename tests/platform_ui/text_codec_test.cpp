#include <gtest/gtest.h>

#include "platform/ui/text_codec.h"

using namespace platform::ui;

namespace {

TEST(TextCodec, Windows1252RoundTrip) {
  std::string bytes = "Caf\xE9 \x80 \x93quoted\x94 \x9F";
  QString text = FromAnsi(bytes);
  EXPECT_EQ(text, QString::fromUtf8("Café € “quoted” Ÿ"));
  EXPECT_EQ(ToAnsi(text), bytes);
}

TEST(TextCodec, UnmappableCharactersBecomeQuestionMarks) {
  EXPECT_EQ(ToAnsi(QString::fromUtf8("a\u4E2Db\u0411")), "a?b?");
}

TEST(TextCodec, DisplayTextTakesUtf8OnlyWhenItIsValid) {
  EXPECT_EQ(FromDisplayText("Fichier r\xC3\xA9" "cent"), QString::fromUtf8("Fichier récent"));
  EXPECT_EQ(FromDisplayText("r\xE9" "cent"), QString::fromUtf8("récent"));  // not UTF-8: Windows-1252
  EXPECT_EQ(FromDisplayText("plain"), QString("plain"));
  EXPECT_EQ(FromDisplayText("\xC3"), QString::fromUtf8("Ã"));  // cut sequence
}

}  // namespace
