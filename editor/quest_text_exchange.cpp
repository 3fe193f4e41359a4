#include "editor/quest_text_exchange.h"

#include <algorithm>

#include "datafiles/file_utils.h"
#include "datafiles/language_table.h"
#include "datafiles/multi_lang_text.h"
#include "platform/core/file.h"
#include "platform/core/paths.h"
#include "quest/kelvar_doc.h"
#include "quest/machine.h"
#include "quest/monster.h"
#include "quest/quest_lists.h"
#include "quest/quest_object.h"
#include "quest/room.h"
#include "quest/script_names.h"

namespace kelvar {

std::vector<QuestTextEntry> CollectQuestTexts() {
  std::vector<QuestTextEntry> entries;
  auto add = [&entries](std::string label, CMultiLangText& text) { entries.push_back({std::move(label), &text}); };
  for (CMonster* m = Quest().monsters; m; m = m->next) {
    add("M_" + std::string(m->key) + ":Name", m->name);
    add("M_" + std::string(m->key) + ":Text", m->text);
  }
  for (CQuestObject* o = Quest().questObjects; o; o = o->next) {
    if (o->isVirtual) continue;
    add("O_" + std::string(o->key) + ":Name", o->name);
    if (*o->comment.GetLocalized(-1)) add("O_" + std::string(o->key) + ":Comment", o->comment);
  }
  for (CMachine* machine = Quest().machines; machine; machine = machine->next) {
    for (CMachineParam* p = machine->params; p; p = p->next) {
      if (p->type != kParamText) continue;
      add("T_" + std::string(machine->name) + ":" + std::to_string(p->number), static_cast<CMachineParamText*>(p)->value);
    }
  }
  for (CRoom* r = Quest().rooms; r; r = r->next) add("R_" + std::string(r->name), r->text);
  add("Author", QuestAuthorText());
  add("Quest Info", QuestInfoText());
  return entries;
}

void SortByLabel(std::vector<QuestTextEntry>& entries) {
  std::stable_sort(entries.begin(), entries.end(), [](const QuestTextEntry& a, const QuestTextEntry& b) {
    const int c = platform::CompareNoCase(a.label, b.label);
    return c != 0 ? c < 0 : a.label < b.label;
  });
}

std::string EscapeExchangeText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    if (c == '\\') out += "\\\\";
    else if (c == '\r') out += "\\r";
    else if (c == '\n') out += "\\n";
    else out += c;
  }
  return out;
}

std::string UnescapeExchangeText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const char n = i + 1 < text.size() ? text[i + 1] : '\0';
    if (c == '\\' && (n == '\\' || n == 'r' || n == 'n')) {
      out += n == 'r' ? '\r' : n == 'n' ? '\n' : '\\';
      ++i;
    } else {
      out += c;
    }
  }
  return out;
}

void ExportQuestTexts(const std::vector<QuestTextEntry>& entries, std::string_view path) {
  platform::File file(path, platform::File::modeCreate | platform::File::modeWrite | platform::File::modeSafeSave);
  for (const QuestTextEntry& entry : entries) {
    const std::string_view text = entry.text->GetLocalized(-1);
    if (text.empty()) continue;
    WriteTextLine(file, entry.label + "\t" + EscapeExchangeText(text), true);
  }
  file.Close();
}

int ImportQuestTexts(const std::vector<QuestTextEntry>& entries, std::string_view path, std::string* refused) {
  const std::string content = platform::ReadWholeFile(path);
  const int language = g_languageTable.GetLanguage();
  int changed = 0;
  std::size_t start = 0;
  while (start < content.size()) {
    std::size_t end = content.find('\n', start);
    if (end == std::string::npos) end = content.size();
    std::string_view line(content.data() + start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::size_t tab = line.find('\t');
    const std::string_view label = line.substr(0, tab);
    const std::string text = tab == std::string_view::npos ? std::string() : UnescapeExchangeText(line.substr(tab + 1));
    const std::string fault = ScriptTextFault(text);
    for (const QuestTextEntry& entry : entries) {
      if (!platform::EqualsNoCase(entry.label, label)) continue;
      if (!fault.empty()) {
        if (refused)
          *refused += entry.label + ": " + DescribeUnscriptablePart(UnscriptablePart{language, fault}) +
                      "; the line is left out.\n";
        continue;
      }
      if (text == entry.text->Get(language)) continue;
      entry.text->Set(language, text.c_str());
      ++changed;
    }
  }
  return changed;
}

}  // namespace kelvar
