#pragma once
// Every seven-language text of the open quest, each once: the monsters'
// names, texts and death texts, the quest objects' names and comments, the
// machines' TEXT values, the rooms' names, and the author and information
// texts.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class CMachine;
class CMonster;
class CMultiLangText;
class CQuestObject;
class CRoom;

void ForEachQuestText(const std::function<void(CMultiLangText&)>& visit);

// The texts of these lists under the labels that name them to the user:
// "M_<key>:Name", "M_<key>:Text", "M_<key>:Death text", "O_<key>:Name",
// "O_<key>:Comment", "T_<machine>:<parameter>" and "R_<room>".
using LabelledTextVisit = std::function<void(const std::string& label, CMultiLangText& text)>;
void ForEachLabelledText(CMachine* machines, CQuestObject* objects, CMonster* monsters, CRoom* rooms,
                         const LabelledTextVisit& visit);
// Those of the open quest, then "Author" and "Quest Info".
void ForEachLabelledQuestText(const LabelledTextVisit& visit);

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
