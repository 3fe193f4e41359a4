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

void ForEachQuestText(const std::function<void(CMultiLangText&)>& visit) {
  QuestState& q = Quest();
  for (CMonster* m = q.monsters; m; m = m->next) {
    visit(m->name);
    visit(m->text);
    visit(m->text2);
  }
  for (CQuestObject* o = q.questObjects; o; o = o->next) {
    visit(o->name);
    visit(o->comment);
  }
  for (CMachine* machine = q.machines; machine; machine = machine->next) {
    for (CMachineParam* p = machine->params; p; p = p->next)
      if (p->type == kParamText) visit(static_cast<CMachineParamText*>(p)->value);
  }
  for (CRoom* r = q.rooms; r; r = r->next) visit(r->text);
  visit(QuestAuthorText());
  visit(QuestInfoText());
}

std::vector<std::string> QuestVoiceNames() {
  std::vector<std::string> names;
  ForEachQuestText([&names](CMultiLangText& text) {
    const std::string voice = text.GetVoiceName();
    if (voice.empty()) return;
    const bool known = std::any_of(names.begin(), names.end(),
                                   [&voice](const std::string& n) { return platform::EqualsNoCase(n, voice); });
    if (!known) names.push_back(voice);
  });
  return names;
}

std::string QuestVoicePath(std::string_view questName, std::string_view voiceName) {
  std::string path = "data\\customQuest\\";
  path.append(questName).append("\\").append(voiceName).append(".mp2");
  return path;
}
