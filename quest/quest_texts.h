#pragma once
// Every seven-language text of the open quest, each once: the monsters'
// names, texts and death texts, the quest objects' names and comments, the
// machines' TEXT values, the rooms' names, and the author and information
// texts.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class CMultiLangText;

void ForEachQuestText(const std::function<void(CMultiLangText&)>& visit);

// The texts of the merge's staging lists: those of the records a merge
// brings (it reads no author or information text).
std::vector<CMultiLangText*> MergedTexts();

// The voice names the texts give, each once (ignoring case), in the order
// the texts come.
std::vector<std::string> VoiceNames(const std::vector<CMultiLangText*>& texts);
// Those of the open quest's texts.
std::vector<std::string> QuestVoiceNames();

// The encoded voice of a quest: "data\customQuest\<quest>\<voice>.mp2".
std::string QuestVoicePath(std::string_view questName, std::string_view voiceName);
