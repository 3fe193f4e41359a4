#pragma once
// Every text of the open quest under a label ("M_orc:Name", "R_gate", ...),
// and the exchange file translators work on: one line per text, the label,
// a TAB and the text in the current language, lines ending in CR LF. Line
// breaks and backslashes inside a text are written as "\r", "\n" and "\\" so
// that a multi-line text stays on its line; reading undoes that.
#include <string>
#include <string_view>
#include <vector>

class CMultiLangText;

namespace kelvar {

struct QuestTextEntry {
  std::string label;
  CMultiLangText* text = nullptr;
};

// Monsters, objects, machines' TEXT values and rooms (each list from its
// head), then the author and the quest information.
std::vector<QuestTextEntry> CollectQuestTexts();
// Ascending by label ignoring case (then bytewise); equal labels keep their order.
void SortByLabel(std::vector<QuestTextEntry>& entries);

std::string EscapeExchangeText(std::string_view text);
std::string UnescapeExchangeText(std::string_view text);

// Writes each entry whose text (current language, with fallback) is not
// empty, in the entries' order. Throws platform::FileException; the file is
// replaced only when it was written whole.
void ExportQuestTexts(const std::vector<QuestTextEntry>& entries, std::string_view path);
// Reads the file (throws platform::FileException when it cannot be read) and
// sets the current-language text of every entry whose label matches a line's
// label ignoring case; a line without a TAB empties it. A line whose text no
// quest script can hold changes nothing, and `refused` (when given) gets a
// line naming each text it was for. Returns the number of texts that changed.
int ImportQuestTexts(const std::vector<QuestTextEntry>& entries, std::string_view path,
                     std::string* refused = nullptr);

}  // namespace kelvar
