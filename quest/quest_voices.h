#pragma once
// The files of the voices that the quest's texts name. Texts name their
// voices by name only; a quest's encoded voices live in its own folder
// ("data\customQuest\<quest>\<voice>.mp2", QuestVoicePath), which
// generation packs, so that folder must hold every voice its texts name.
#include <string>
#include <string_view>

// Saving under another name: the voice of every name the open quest's texts
// give is copied from the old quest's folder into the new one, replacing a
// copy there; a voice never recorded there is left alone. Gives one line
// per copy that failed ("Can't write file <destination>, error = <cause>"
// when the new folder would not take it); empty when every copy was made.
std::string CopyQuestVoices(std::string_view fromQuest, std::string_view toQuest);

// Merging: the voices that the staged texts name come from the merged
// quest's folder into the open quest's. One already there with the same
// bytes is kept; another recording of that name stays the open quest's, and
// the merged one comes as "<voice><n>" (the first n from 2 that no text names
// and no file of the folder has), which the staged texts then name. Gives
// one line per voice that is missing ("Voice file <path> not found") or
// could not be brought; empty when all came.
std::string BringMergedVoices(std::string_view mergedQuest, std::string_view openQuest);

// Generation: logs every voice the quest's texts name that its folder does
// not hold, which aborts the package.
void CheckQuestVoices(std::string_view questName);
