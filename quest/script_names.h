#pragma once
// What a quest script "quest%d.spt" can hold. A script gives every name and
// text between braces ("KEY {...}", "1 {...}") and has no way to escape one:
// a brace inside a name opens or closes a block for the game, and a control
// character is no part of any name. So no name or text that a script writes
// may hold "{", "}" or a control character; a text in one language may hold
// line breaks and tabs, which the game reads as they are.
//
// Every place a text enters the quest refuses what does not fit (the text
// dialogs, reading a ".qst" for Open and Merge, the exchange file's import),
// and generation checks the whole quest again before it writes anything.
#include <string>
#include <string_view>
#include <vector>

class CMultiLangText;
struct QstContents;

// Empty when the name fits between a script's braces; else what it holds
// that does not, as a message says it: "\"{\"", "\"}\"" or "a control
// character (code 7)".
std::string ScriptNameFault(std::string_view name);
// The same for a text in one language, where CR, LF and TAB are fine.
std::string ScriptTextFault(std::string_view text);

// A part of a text that no script can hold: a language (0..6) or the voice.
struct UnscriptablePart {
  static constexpr int kVoice = -1;
  int language = kVoice;
  std::string fault;  // as ScriptNameFault gives it
};
std::vector<UnscriptablePart> UnscriptableParts(const CMultiLangText& text);

// "the English text holds "}", which a quest script cannot hold" (or "the
// voice name holds ...").
std::string DescribeUnscriptablePart(const UnscriptablePart& part);

// Reading a quest: every part of the texts read (and of the header's texts
// when asked) that no script can hold is left out of its text. One line per
// part left out, naming the text by its label ("R_gate: the English text
// holds ...; it is left out."); empty when every text fits.
std::string RefuseUnscriptableTexts(QstContents& contents, bool withHeader);

// Generation: logs a line for every name and text of the open quest that
// its scripts would write and cannot hold. True when one was logged.
bool LogUnscriptableNames();
