#include "quest/script_names.h"

#include <gtest/gtest.h>

#include <string>

// What a quest script can hold between its braces: names hold no brace and
// no control character; a text in one language may also hold line breaks and
// tabs. Letters beyond ASCII (the game's Windows-1252) are letters.
TEST(ScriptNames, BracesAndControlCharactersAreNamedAndTheRestFits) {
  const struct {
    std::string value;
    const char* asName;
    const char* asText;
  } cases[] = {
      {"Cit\xe9 d'or, 3 (north) [old]", "", ""},
      {"open {door", "\"{\"", "\"{\""},
      {"door}", "\"}\"", "\"}\""},
      {"two\r\nlines\tand a tab", "a control character (code 13)", ""},
      {"tab\tonly", "a control character (code 9)", ""},
      {"bell\x07", "a control character (code 7)", "a control character (code 7)"},
      {"rub\x7fout", "a control character (code 127)", "a control character (code 127)"},
      {"escape\x1b}", "a control character (code 27)", "a control character (code 27)"},
      {"", "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ScriptNameFault(c.value), c.asName) << c.value;
    EXPECT_EQ(ScriptTextFault(c.value), c.asText) << c.value;
  }
}
