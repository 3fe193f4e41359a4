#include "quest/quest_voices.h"

#include <algorithm>
#include <vector>

#include "datafiles/file_utils.h"
#include "datafiles/multi_lang_text.h"
#include "platform/core/file.h"
#include "platform/core/paths.h"
#include "quest/generation_log.h"
#include "quest/kelvar_doc.h"
#include "quest/quest_texts.h"
#include "quest/text_format.h"

namespace {

constexpr std::size_t kVoiceNameChars = CMultiLangText::kVoiceNameSize - 1;

bool IsVoiceFile(const std::string& path) { return platform::PathExists(path) && !platform::IsDirectory(path); }

// A voice name is used as a file name only when it is a plain one.
bool UsableVoiceName(std::string_view voice) { return IsPlainFileName(voice) && voice.size() <= kVoiceNameChars; }

std::string Fault(const FileCopy& copy, const std::string& destination) {
  if (copy.failed == FileCopy::kDestination)
    return FormatText("Can't write file %s, error = %u\n", destination.c_str(), copy.cause);
  return copy.message;
}

std::string Copy(const std::string& source, const std::string& destination) {
  const FileCopy copy = CopyWholeFileQuietly(source.c_str(), destination.c_str(), true);
  return copy.ok() ? std::string() : Fault(copy, destination);
}

bool SameBytes(const std::string& a, const std::string& b) {
  try {
    return platform::ReadWholeFile(a) == platform::ReadWholeFile(b);
  } catch (const platform::FileException&) {
    return false;
  }
}

bool Named(const std::vector<std::string>& names, std::string_view name) {
  return std::any_of(names.begin(), names.end(), [name](const std::string& n) { return platform::EqualsNoCase(n, name); });
}

// "<voice><n>" for the first n from 2 that no text names and no file of the
// quest's folder has; empty when that would not fit a voice name.
std::string FreeVoiceName(std::string_view voice, std::string_view quest, const std::vector<std::string>& named) {
  for (int n = 2;; ++n) {
    std::string candidate = std::string(voice) + std::to_string(n);
    if (candidate.size() > kVoiceNameChars) return {};
    if (!Named(named, candidate) && !platform::PathExists(QuestVoicePath(quest, candidate))) return candidate;
  }
}

}  // namespace

std::string CopyQuestVoices(std::string_view fromQuest, std::string_view toQuest) {
  if (!IsPlainFileName(fromQuest) || !IsPlainFileName(toQuest)) return {};
  std::string report;
  for (const std::string& voice : QuestVoiceNames()) {
    if (!UsableVoiceName(voice)) continue;
    const std::string source = QuestVoicePath(fromQuest, voice);
    if (!platform::PathExists(source)) continue;  // never recorded, or gone: nothing to take along
    report += Copy(source, QuestVoicePath(toQuest, voice));
  }
  return report;
}

std::string BringMergedVoices(std::string_view mergedQuest, std::string_view openQuest) {
  const std::vector<CMultiLangText*> texts = MergedTexts();
  const std::vector<std::string> voices = VoiceNames(texts);
  std::vector<std::string> named = QuestVoiceNames();
  named.insert(named.end(), voices.begin(), voices.end());
  const bool sameFolder = platform::EqualsNoCase(mergedQuest, openQuest);
  std::string report;
  for (const std::string& voice : voices) {
    if (!UsableVoiceName(voice) || !IsPlainFileName(openQuest)) {
      report += FormatText("Name %s is not a valid file name\n", voice.c_str());
      continue;
    }
    const std::string destination = QuestVoicePath(openQuest, voice);
    const std::string source = IsPlainFileName(mergedQuest) ? QuestVoicePath(mergedQuest, voice) : destination;
    if (sameFolder || !IsVoiceFile(source)) {
      // Nothing to bring: fine when the open quest's folder holds that voice.
      if (!IsVoiceFile(destination)) report += FormatText("Voice file %s not found\n", source.c_str());
      continue;
    }
    if (!platform::PathExists(destination)) {
      report += Copy(source, destination);
      continue;
    }
    if (SameBytes(source, destination)) continue;
    const std::string fresh = FreeVoiceName(voice, openQuest, named);
    if (fresh.empty()) {
      report += FormatText("Voice %s is already in the quest and cannot be renamed within %zu characters.\n",
                           voice.c_str(), kVoiceNameChars);
      continue;
    }
    named.push_back(fresh);
    const std::string fault = Copy(source, QuestVoicePath(openQuest, fresh));
    if (!fault.empty()) {
      report += fault;
      continue;
    }
    for (CMultiLangText* text : texts)
      if (platform::EqualsNoCase(text->GetVoiceName(), voice)) text->SetVoiceName(fresh);
  }
  return report;
}

void CheckQuestVoices(std::string_view questName) {
  for (const std::string& voice : QuestVoiceNames()) {
    if (!UsableVoiceName(voice)) {
      LogGeneration("Name %s is not a valid file name\r\n", voice.c_str());
      continue;
    }
    const std::string path = QuestVoicePath(questName, voice);
    if (!IsVoiceFile(path)) LogGeneration("Voice file %s not found\r\n", path.c_str());
  }
}
