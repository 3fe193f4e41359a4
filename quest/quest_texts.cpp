#include "quest/quest_texts.h"

#include <algorithm>

#include "datafiles/multi_lang_text.h"
#include "platform/core/paths.h"
#include "quest/fixed_field.h"
#include "quest/kelvar_doc.h"
#include "quest/machine.h"
#include "quest/monster.h"
#include "quest/quest_lists.h"
#include "quest/quest_object.h"
#include "quest/room.h"

void ForEachLabelledText(CMachine* machines, CQuestObject* objects, CMonster* monsters, CRoom* rooms,
                         const LabelledTextVisit& visit) {
  for (CMonster* m = monsters; m; m = m->next) {
    const std::string key(FieldText(m->key));
    visit("M_" + key + ":Name", m->name);
    visit("M_" + key + ":Text", m->text);
    visit("M_" + key + ":Death text", m->text2);
  }
  for (CQuestObject* o = objects; o; o = o->next) {
    const std::string key(FieldText(o->key));
    visit("O_" + key + ":Name", o->name);
    visit("O_" + key + ":Comment", o->comment);
  }
  for (CMachine* machine = machines; machine; machine = machine->next) {
    for (CMachineParam* p = machine->params; p; p = p->next) {
      if (p->type == kParamText)
        visit("T_" + std::string(FieldText(machine->name)) + ":" + std::to_string(p->number),
              static_cast<CMachineParamText*>(p)->value);
    }
  }
  for (CRoom* r = rooms; r; r = r->next) visit("R_" + std::string(FieldText(r->name)), r->text);
}

void ForEachLabelledQuestText(const LabelledTextVisit& visit) {
  QuestState& q = Quest();
  ForEachLabelledText(q.machines, q.questObjects, q.monsters, q.rooms, visit);
  visit("Author", QuestAuthorText());
  visit("Quest Info", QuestInfoText());
}

void ForEachQuestText(const std::function<void(CMultiLangText&)>& visit) {
  ForEachLabelledQuestText([&visit](const std::string&, CMultiLangText& text) { visit(text); });
}

std::vector<CMultiLangText*> MergedTexts() {
  QuestState& q = Quest();
  std::vector<CMultiLangText*> texts;
  ForEachLabelledText(q.mergeMachines, q.mergeObjects, q.mergeMonsters, q.mergeRooms,
                      [&texts](const std::string&, CMultiLangText& text) { texts.push_back(&text); });
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
