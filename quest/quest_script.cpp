#include "quest/quest_script.h"

#include <cctype>
#include <climits>
#include <string>

#include "datafiles/file_utils.h"
#include "datafiles/language_table.h"
#include "datafiles/multi_lang_text.h"
#include "platform/core/paths.h"
#include "quest/fixed_field.h"
#include "quest/generation_log.h"
#include "quest/kelvar_doc.h"
#include "quest/machine.h"
#include "quest/machine_def.h"
#include "quest/mesh_banks.h"
#include "quest/monster.h"
#include "quest/quest_lists.h"
#include "quest/quest_object.h"
#include "quest/room.h"
#include "quest/text_format.h"

namespace {

class Script {
 public:
  void Line(std::string_view text) {
    text_ += text;
    text_ += "\r\n";
  }
  // Seven lines "<indent><language> {<text>}", each language with its
  // fallback, then "<indent>7 {<voice>}" when asked and there is a voice.
  void Languages(std::string_view indent, const CMultiLangText& text, bool withVoice) {
    for (int language = 0; language < kLanguageCount; ++language) {
      text_ += indent;
      text_ += std::to_string(language);
      text_ += " {";
      text_ += text.GetLocalized(language);
      text_ += "}\r\n";
    }
    if (withVoice && text.GetVoiceName()[0]) {
      text_ += indent;
      text_ += "7 {";
      text_ += text.GetVoiceName();
      text_ += "}\r\n";
    }
  }
  // "<indent><keyword>", "<indent>{", the languages one tab deeper with the voice, "<indent>}".
  void NameBlock(std::string_view indent, std::string_view keyword, const CMultiLangText& text) {
    Line(std::string(indent) + std::string(keyword));
    Line(std::string(indent) + "{");
    Languages(std::string(indent) + "\t", text, true);
    Line(std::string(indent) + "}");
  }
  std::string Take() { return std::move(text_); }

 private:
  std::string text_;
};

bool HasText(const CMultiLangText& text) { return text.GetLocalized(-1)[0] != 0; }

void WriteRooms(Script& s, int land, const std::string& prefix) {
  for (const CRoom* room = Quest().rooms; room; room = room->next) {
    if (room->land != land) continue;
    const std::string key = prefix + std::string(FieldText(room->name));
    if (room->entrance) {
      s.Line("\tENTRANCE { " + key + " }");
      if (HasText(room->text)) {
        s.Line("\tENTRANCENAME");
        s.Line("\t{");
        s.Languages("\t\t", room->text, false);
        s.Line("\t}");
      }
      continue;
    }
    s.Line("\tROOM");
    s.Line("\t{");
    s.Line("\t\tKEY  { " + key + " }");
    if (room->levelFlag) s.Line("\t\tFLAG { LEVEL }");
    s.Line(room->level != 0 ? "\t\tLOCATION { inside }" : "\t\tLOCATION { outside }");
    s.Line(FormatText("\t\tLEVEL  { %d }", room->level));
    s.NameBlock("\t\t", "NAME", room->text);
    s.Line("\t}");
  }
}

void WriteObjects(Script& s, const ScriptJob& job) {
  for (CQuestObject* object = Quest().questObjects; object; object = object->next) {
    const bool isVirtual = object->isVirtual == 1;
    s.Line("\tOBJECT");
    s.Line("\t{");
    s.Line("\t\tKEY {" + job.prefix + std::string(FieldText(object->key)) + "}");
    s.Line(isVirtual ? std::string("\t\tPARENT {ITKEY}") : "\t\tPARENT {" + std::string(FieldText(object->parent)) + "}");
    if (!isVirtual) {
      if (!platform::EqualsNoCase(FieldText(object->sprite.name), "FREE")) {
        s.Line(FormatText("\t\tSPRITE {%d,%d,%d}", object->sprite.cellFormat, object->sprite.column,
                          object->sprite.row));
        object->questFlag = 1;
      }
      if (!FieldEmpty(object->mesh)) {
        s.Line("\t\tMESH {" + std::string(FieldText(object->mesh)) + "}");
        CopyCustomMesh(FieldText(object->mesh), job.questName);
        object->questFlag = 1;
      }
    }
    std::string flags = "\t\tFLAG {CUSTOM";
    if (object->questFlag != 0) flags += "|QUEST";
    if (isVirtual) flags += "|VIRTUAL";
    s.Line(flags + "}");
    const bool letter = HasText(object->comment);
    if (letter) s.Line("\t\tMAGIC { LETTER }");
    s.NameBlock("\t\t", "NAME", object->name);
    if (letter) s.NameBlock("\t\t", "NAME2", object->comment);
    s.Line("\t}");
    if (job.step) job.step();
  }
}

void WriteMonsters(Script& s, const ScriptJob& job) {
  for (const CMonster* monster = Quest().monsters; monster; monster = monster->next) {
    s.Line("\tAGENT");
    s.Line("\t{");
    s.Line("\t\tKEY {" + std::string(FieldText(monster->monsterClass)) + "}");
    s.Line("\t\tROOM {" + job.prefix + std::string(FieldText(monster->key)) + "}");
    if (!FieldEmpty(monster->gift)) {
      const std::string gift(FieldText(monster->gift));
      s.Line(FindQuestObject(Quest().questObjects, gift) ? "\t\tGIVE {" + job.prefix + gift + "}" : "\t\tGIVE {" + gift + "}");
    }
    if (monster->life > 0) s.Line(FormatText("\t\tLIFE {%d}", monster->life));
    if (monster->damage2 > 0) s.Line(FormatText("\t\tDAMAGE {%d,%d}", monster->damage1, monster->damage2));
    s.NameBlock("\t\t", "NAME", monster->name);
    if (HasText(monster->text)) s.NameBlock("\t\t", "TXT1", monster->text);
    s.Line("\t}");
    if (job.step) job.step();
  }
}

// One parameter reference's replacement. `line` is the current code line up
// to and including the character that ended the reference.
void Substitute(std::string& out, const CMachine& machine, long long number, std::string_view line,
                std::string_view prefix) {
  const int n = static_cast<int>(number);
  if (n == 0) {
    out += std::string(prefix) + std::string(FieldText(machine.name));
    return;
  }
  const CMachineParam* value = machine.FindParam(n);
  if (!value) {
    LogGeneration("Error: Param #%d Not Found in %s\r\n", n, machine.typeKey);
    return;
  }
  const std::string text = value->GetText();
  switch (value->type) {
    case kParamFrame:
    case kParamSound:
    case kParamAlpha:
    case kParamSkelFile:
    case kParamSkelName:
      out += text;
      break;
    case kParamObject:
      out += FindQuestObject(Quest().questObjects, text) ? std::string(prefix) + text : text;
      break;
    case kParamInt:
      out += std::to_string(static_cast<const CMachineParamInt*>(value)->value);
      break;
    case kParamMonster:
      if (const CMonster* monster = FindMonster(Quest().monsters, text)) {
        out += std::string(prefix) + std::string(FieldText(monster->key)) + std::string(FieldText(monster->monsterClass));
      } else {
        out += text;
      }
      break;
    case kParamText: {
      const CMultiLangText& t = static_cast<const CMachineParamText*>(value)->value;
      std::string indent(line);
      for (char& c : indent) {
        if (c != '\t') c = ' ';
      }
      out += "\r\n";
      for (int language = 0; language < kLanguageCount; ++language) {
        out += indent + std::to_string(language) + " {" + t.GetLocalized(language) + "}\r\n";
      }
      if (t.GetVoiceName()[0]) out += indent + "7 {" + t.GetVoiceName() + "}\r\n";
      break;
    }
    case kParamList: {
      if (!value->def) break;
      const ParamChoice* choice = value->def->choices;
      while (choice && !platform::EqualsNoCase(FieldText(choice->key), text)) choice = choice->next;
      if (!choice) {
        LogGeneration("Choice not found in Param List #%d of %s\r\n", n, machine.typeKey);
      } else {
        out += FieldEmpty(choice->label) ? std::string(FieldText(choice->key)) : std::string(FieldText(choice->label));
      }
      break;
    }
    default:  // SKELANIM and EFFECT write nothing
      break;
  }
}

}  // namespace

bool CopyCustomMesh(std::string_view meshName, const std::string& questName) {
  if (!IsPlainFileName(meshName)) {
    LogGeneration("Name %s is not a valid file name\r\n", std::string(meshName).c_str());
    return false;
  }
  const std::string source = "rozizuzi\\customMeshes\\" + std::string(meshName) + ".o3d";
  const std::string destination = "data\\customQuest\\" + questName + "\\" + std::string(meshName) + ".o3d";
  if (CopyWholeFile(source.c_str(), destination.c_str(), true)) return true;
  LogGeneration("Copy of %s to %s failed\r\n", source.c_str(), destination.c_str());
  return false;
}

std::string QuestScriptText(int land, const ScriptJob& job) {
  Script s;
  s.Line("QUEST");
  s.Line("{");
  if (job.debugMode) s.Line("\tDEBUG {}");
  if (land == 0) {
    s.Line("\tAUTHOR");
    s.Line("\t{");
    s.Languages("\t\t", QuestAuthorText(), false);
    s.Line("\t}");
    s.Line("\tINFO");
    s.Line("\t{");
    s.Languages("\t\t", QuestInfoText(), false);
    s.Line("\t}");
  }
  s.Line(FormatText("\tLAND {%d}", land));
  s.Line(FormatText("\tKEY {%sQuest%d}", job.prefix.c_str(), land));
  s.Line("\tQUESTNAME  { 0 { " + job.prefix + " } }");
  WriteRooms(s, land, job.prefix);
  if (land == 0) {
    WriteObjects(s, job);
    WriteMonsters(s, job);
  }
  s.Line("}");
  return s.Take();
}

std::string MachineCodeText(const CMachine& machine, const MachineDef& definition, std::string_view prefix) {
  std::string_view code(definition.code);
  if (definition.codeLength >= 0 && static_cast<std::size_t>(definition.codeLength) < code.size()) {
    code = code.substr(0, static_cast<std::size_t>(definition.codeLength));
  }
  std::string out;
  std::string line;  // the current code line, grown as needed
  bool inReference = false;
  bool hasDigits = false;
  long long number = 0;
  for (char c : code) {
    if (inReference && c >= '0' && c <= '9') {
      hasDigits = true;
      number = number > (INT_MAX - (c - '0')) / 10 ? INT_MAX : number * 10 + (c - '0');
      line += c;
      continue;
    }
    if (c == '%') {  // a reference starts (a new one drops the digits read so far)
      inReference = true;
      hasDigits = false;
      number = 0;
      line += c;
      continue;
    }
    if (c == '\n') {
      line.clear();
    } else {
      line += c;
    }
    if (inReference) {
      inReference = false;
      if (hasDigits) {
        Substitute(out, machine, number, line, prefix);
      } else {
        out += '%';  // no number follows: the sign stays as written
      }
    }
    out += c;
  }
  // A reference at the very end of the code is not substituted.
  return out;
}

void CopyMachineMeshes(const std::string& questName) {
  CBankList& bank = CustomMeshBank();
  for (const CMachine* machine = Quest().machines; machine; machine = machine->next) {
    for (const CMachineParam* value = machine->params; value; value = value->next) {
      if (value->type != kParamFrame) continue;
      const std::string text = value->GetText();
      if (text.empty()) continue;
      const int index = bank.FindName(text);
      if (index < 0) continue;
      std::string path = bank.GetPath(index);
      for (char& c : path) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      if (path.find("ROZIZUZI") == std::string::npos) continue;
      CopyCustomMesh(text, questName);
    }
  }
}
