#include "quest/quest_texts.h"

#include <algorithm>

#include "datafiles/multi_lang_text.h"
#include "platform/core/paths.h"
#include "quest/kelvar_doc.h"
#include "quest/machine.h"
#include "quest/monster.h"
#include "quest/quest_lists.h"
#include "quest/quest_object.h"
#include "quest/room.h"

namespace {

// The texts of the records of these lists.
void ForEachListText(CMachine* machines, CQuestObject* objects, CMonster* monsters, CRoom* rooms,
                     const std::function<void(CMultiLangText&)>& visit) {
  for (CMonster* m = monsters; m; m = m->next) {
    visit(m->name);
    visit(m->text);
    visit(m->text2);
  }
  for (CQuestObject* o = objects; o; o = o->next) {
    visit(o->name);
    visit(o->comment);
  }
  for (CMachine* machine = machines; machine; machine = machine->next) {
    for (CMachineParam* p = machine->params; p; p = p->next)
      if (p->type == kParamText) visit(static_cast<CMachineParamText*>(p)->value);
  }
  for (CRoom* r = rooms; r; r = r->next) visit(r->text);
}

}  // namespace

void ForEachQuestText(const std::function<void(CMultiLangText&)>& visit) {
  QuestState& q = Quest();
  ForEachListText(q.machines, q.questObjects, q.monsters, q.rooms, visit);
  visit(QuestAuthorText());
  visit(QuestInfoText());
}

std::vector<CMultiLangText*> MergedTexts() {
  QuestState& q = Quest();
  std::vector<CMultiLangText*> texts;
  ForEachListText(q.mergeMachines, q.mergeObjects, q.mergeMonsters, q.mergeRooms,
                  [&texts](CMultiLangText& text) { texts.push_back(&text); });
  return texts;
}

std::vector<std::string> VoiceNames(const std::vector<CMultiLangText*>& texts) {
  std::vector<std::string> names;
  for (const CMultiLangText* text : texts) {
    const std::string voice = text->GetVoiceName();
    if (voice.empty()) continue;
    const bool known = std::any_of(names.begin(), names.end(),
                                   [&voice](const std::string& n) { return platform::EqualsNoCase(n, voice); });
    if (!known) names.push_back(voice);
  }
  return names;
}

std::vector<std::string> QuestVoiceNames() {
  std::vector<CMultiLangText*> texts;
  ForEachQuestText([&texts](CMultiLangText& text) { texts.push_back(&text); });
  return VoiceNames(texts);
}

std::string QuestVoicePath(std::string_view questName, std::string_view voiceName) {
  std::string path = "data\\customQuest\\";
  path.append(questName).append("\\").append(voiceName).append(".mp2");
  return path;
}
