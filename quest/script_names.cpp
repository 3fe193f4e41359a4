#include "quest/script_names.h"

#include "datafiles/language_table.h"
#include "datafiles/multi_lang_text.h"
#include "quest/fixed_field.h"
#include "quest/generation_log.h"
#include "quest/machine.h"
#include "quest/machine_library.h"
#include "quest/monster.h"
#include "quest/qst_format.h"
#include "quest/quest_lists.h"
#include "quest/quest_object.h"
#include "quest/quest_texts.h"
#include "quest/room.h"
#include "quest/text_format.h"

namespace {

constexpr const char* kCannotHold = "which a quest script cannot hold";

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

std::string Fault(std::string_view value, bool lineBreaksAndTabs) {
  for (const char ch : value) {
    const auto c = static_cast<unsigned char>(ch);
    if (ch == '{' || ch == '}') return std::string("\"") + ch + "\"";
    if (lineBreaksAndTabs && (ch == '\r' || ch == '\n' || ch == '\t')) continue;
    if (IsControl(c)) return FormatText("a control character (code %u)", static_cast<unsigned>(c));
  }
  return {};
}

// Logs the field of the record when a script cannot hold it.
void LogName(bool& logged, const char* kind, std::string_view record, const char* field, std::string_view value) {
  const std::string fault = ScriptNameFault(value);
  if (fault.empty()) return;
  LogGeneration("%s %s: the %s holds %s, %s\r\n", kind, std::string(record).c_str(), field, fault.c_str(), kCannotHold);
  logged = true;
}

}  // namespace

std::string ScriptNameFault(std::string_view name) { return Fault(name, false); }

std::string ScriptTextFault(std::string_view text) { return Fault(text, true); }

std::vector<UnscriptablePart> UnscriptableParts(const CMultiLangText& text) {
  std::vector<UnscriptablePart> parts;
  for (int language = 0; language < kLanguageCount; ++language) {
    std::string fault = ScriptTextFault(text.Get(language));
    if (!fault.empty()) parts.push_back({language, std::move(fault)});
  }
  std::string fault = ScriptNameFault(text.GetVoiceName());
  if (!fault.empty()) parts.push_back({UnscriptablePart::kVoice, std::move(fault)});
  return parts;
}

std::string DescribeUnscriptablePart(const UnscriptablePart& part) {
  const std::string what = part.language == UnscriptablePart::kVoice
                               ? std::string("the voice name")
                               : std::string("the ") + LanguageName(part.language) + " text";
  return what + " holds " + part.fault + ", " + kCannotHold;
}

std::string RefuseUnscriptableTexts(QstContents& contents, bool withHeader) {
  std::string report;
  auto refuse = [&report](const std::string& label, CMultiLangText& text) {
    for (const UnscriptablePart& part : UnscriptableParts(text)) {
      if (part.language == UnscriptablePart::kVoice) {
        text.SetVoiceName("");
      } else {
        text.Set(part.language, "");
      }
      report += label + ": " + DescribeUnscriptablePart(part) + "; it is left out.\n";
    }
  };
  ForEachLabelledText(contents.machines, contents.objects, contents.monsters, contents.rooms, refuse);
  if (withHeader && contents.header.hasTexts) {
    refuse("Author", contents.header.author);
    refuse("Quest Info", contents.header.information);
  }
  return report;
}

bool LogUnscriptableNames() {
  bool logged = false;
  const QuestState& q = Quest();
  for (const CRoom* room = q.rooms; room; room = room->next)
    LogName(logged, "Room", FieldText(room->name), "name", FieldText(room->name));
  for (const CQuestObject* o = q.questObjects; o; o = o->next) {
    LogName(logged, "Object", FieldText(o->key), "key", FieldText(o->key));
    if (o->isVirtual == 1) continue;  // its parent and mesh are not written
    LogName(logged, "Object", FieldText(o->key), "parent", FieldText(o->parent));
    LogName(logged, "Object", FieldText(o->key), "mesh", FieldText(o->mesh));
  }
  for (const CMonster* m = q.monsters; m; m = m->next) {
    LogName(logged, "Monster", FieldText(m->key), "key", FieldText(m->key));
    LogName(logged, "Monster", FieldText(m->key), "class", FieldText(m->monsterClass));
    LogName(logged, "Monster", FieldText(m->key), "gift", FieldText(m->gift));
  }
  for (const CMachine* machine = q.machines; machine; machine = machine->next) {
    if (!q.library.FindMachine(FieldText(machine->typeKey))) continue;  // its code is not written
    LogName(logged, "Machine", FieldText(machine->name), "name", FieldText(machine->name));
    for (const CMachineParam* p = machine->params; p; p = p->next) {
      switch (p->type) {
        case kParamFrame:
        case kParamSound:
        case kParamAlpha:
        case kParamSkelFile:
        case kParamSkelName:
        case kParamObject:
        case kParamMonster:
          LogName(logged, "Machine", FieldText(machine->name), ("parameter " + std::to_string(p->number)).c_str(),
                  p->GetText());
          break;
        default:  // numbers, texts (checked below), choices of the library, and what writes nothing
          break;
      }
    }
  }
  ForEachLabelledQuestText([&logged](const std::string& label, CMultiLangText& text) {
    for (const UnscriptablePart& part : UnscriptableParts(text)) {
      LogGeneration("%s: %s\r\n", label.c_str(), DescribeUnscriptablePart(part).c_str());
      logged = true;
    }
  });
  return logged;
}
