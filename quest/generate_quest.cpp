// Generate Quest: the room checks and exports, the seven scripts, the
// custom meshes, and the quest package.
#include <algorithm>
#include <array>
#include <cstdint>
#include <new>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "datafiles/file_utils.h"
#include "datafiles/language_table.h"
#include "datafiles/mtf_writer.h"
#include "platform/core/file.h"
#include "platform/core/paths.h"
#include "platform/core/save_batch.h"
#include "platform/core/services.h"
#include "quest/fixed_field.h"
#include "quest/generation_log.h"
#include "quest/graph_node.h"
#include "quest/kelvar_doc.h"
#include "quest/machine.h"
#include "quest/monster.h"
#include "quest/quest_lists.h"
#include "quest/quest_object.h"
#include "quest/quest_script.h"
#include "quest/quest_voices.h"
#include "quest/room.h"
#include "quest/room_checks.h"
#include "quest/room_node_index.h"
#include "quest/script_names.h"
#include "quest/text_format.h"

namespace {

constexpr int kScripts = 7;
constexpr const char* kAbortedTail = "\r\n\r\nQUEST GENERATION ABORTED.\r\n";

// Without the editor's dialogs: the texts as they are, debug on, the report in a box.
class HeadlessGenerationUi final : public IGenerationUi {
 public:
  bool RunGenerationDialog(std::string&, std::string&, bool&) override { return true; }
  void ShowProgress(int) override {}
  void StepProgress() override {}
  void HideProgress() override {}
  void ShowErrorReport(std::string_view report) override { platform::MessageBox(report, "", platform::kMbOk); }
};

IGenerationUi* g_ui = nullptr;

IGenerationUi& Ui() {
  static HeadlessGenerationUi headless;
  return g_ui ? *g_ui : headless;
}

void Box(const std::string& text) { platform::MessageBox(text, "", platform::kMbOk); }

// Puts a generation's files in place, durable, all at once. A file that
// cannot take its place is a fault of the generation, logged like a save
// that failed; the package, put in place last, then stays as it was.
bool CommitSaves(platform::SaveBatch& batch) {
  try {
    batch.Commit();
    return true;
  } catch (const platform::FileException& e) {
    LogGeneration("Error while saving %s, error = %u\r\n", e.path().c_str(), static_cast<unsigned>(e.cause()));
    return false;
  }
}

// The package entry of a quest-folder file.
std::string EntryName(const std::string& fileName) {
  const platform::PathParts parts = platform::SplitPath(fileName);
  if (platform::EqualsNoCase(parts.ext, ".tga")) return "data\\bankdatabase\\brimvault\\" + parts.fname + ".tga";
  if (platform::EqualsNoCase(parts.ext, ".mp2")) return "voices\\" + parts.fname + ".mp2";
  return "data\\customQuest\\" + parts.fname + parts.ext;
}

// What generation writes back into the quest, as the quest file keeps it:
// the author and information texts, node cells (saved in the instances'
// positions), trap images, instance links (a link to a machine that is gone
// is emptied) and object quest flags.
struct GeneratedState {
  std::array<std::string, kLanguageCount> author, information;
  std::vector<std::int32_t> values;

  bool operator==(const GeneratedState&) const = default;

  static GeneratedState Take() {
    GeneratedState s;
    for (int language = 0; language < kLanguageCount; ++language) {
      s.author[language] = QuestAuthorText().Get(language);
      s.information[language] = QuestInfoText().Get(language);
    }
    const QuestState& q = Quest();
    std::vector<std::int32_t>& v = s.values;
    for (const GraphNode* n = q.graphNodes; n; n = n->next) v.insert(v.end(), {n->cellX, n->cellY});
    for (const CRoom* room = q.rooms; room; room = room->next) {
      for (const RoomTrap* t = room->traps; t; t = t->next) {
        v.insert(v.end(), std::begin(t->data), std::end(t->data));
        v.insert(v.end(), {t->targetCellX, t->targetCellY, t->exportIndex});
      }
    }
    auto links = [&v](const ElementInstance* i) {
      for (; i; i = i->next) {
        for (const auto& link : i->links) v.push_back(FieldEmpty(link) ? 0 : 1);
      }
    };
    for (const CMachine* m = q.machines; m; m = m->next) links(m->instances);
    for (const CMonster* m = q.monsters; m; m = m->next) links(m->instances);
    for (const CQuestObject* o = q.questObjects; o; o = o->next) v.push_back(o->questFlag);
    return s;
  }
};

void Generate(CKelvarDoc& doc) {
  IGenerationUi& ui = Ui();
  const int language = g_languageTable.GetLanguage();
  std::string information = QuestInfoText().Get(language);
  std::string author = QuestAuthorText().Get(language);
  bool debugMode = true;
  if (!ui.RunGenerationDialog(information, author, debugMode)) return;
  QuestInfoText().Set(language, information.c_str());
  QuestAuthorText().Set(language, author.c_str());

  platform::ChangeDirectory(platform::StartDirectory());
  // Every room, object, monster and machine, and each of the seven scripts, moves the bar.
  ui.ShowProgress(doc.CountItems() + kScripts);
  ClearGenerationLog();

  const std::string questName = doc.QuestName();
  if (!IsPlainFileName(questName)) LogGeneration("Name %s is not a valid file name\r\n", questName.c_str());
  // A name no script can hold would be read otherwise than meant: then nothing is written at all.
  LogUnscriptableNames();
  if (!GenerationLog().empty()) {
    ui.HideProgress();
    ui.ShowErrorReport(GenerationLog() + kAbortedTail);
    return;
  }

  CheckRooms();
  // Every file generation writes becomes visible, durable, only at the end.
  platform::SaveBatch batch;
  {
    // The exports move nodes only from cell to cell, never on the map.
    const RoomNodeIndex index;
    const RoomNodeIndex::Scope scope(index);
    for (CRoom* room = Quest().rooms; room; room = room->next) {
      room->ExportCdf(kQuestNamePrefix, questName.c_str());
      ui.StepProgress();
    }
  }

  CreateQuestFolder(questName);
  std::array<platform::File, kScripts> scripts;
  std::array<std::string, kScripts> paths;
  for (int i = 0; i < kScripts; ++i) {
    paths[i] = FormatText("data\\customQuest\\%s\\quest%d.spt", questName.c_str(), i);
    platform::FileException error(platform::kCauseNone, 0, paths[i]);
    const unsigned mode = platform::File::modeCreate | platform::File::modeWrite | platform::File::modeSafeSave;
    if (!scripts[i].Open(paths[i], mode, &error)) {
      for (int j = 0; j < i; ++j) scripts[j].Abort();
      ui.HideProgress();
      if (!CommitSaves(batch)) ui.ShowErrorReport(GenerationLog() + kAbortedTail);  // the rooms, as exported
      Box(FormatText("Can't open file %s, error = %u\n", paths[i].c_str(), static_cast<unsigned>(error.cause())));
      return;
    }
  }

  ScriptJob job;
  job.questName = questName;
  job.debugMode = debugMode;
  job.step = [&ui] { ui.StepProgress(); };
  std::array<std::string, kScripts> texts;
  for (int i = 0; i < kScripts; ++i) {
    texts[i] = QuestScriptText(i, job);
    ui.StepProgress();
  }
  CopyMachineMeshes(questName);
  for (const CMachine* machine = Quest().machines; machine; machine = machine->next) {
    if (const MachineDef* def = Quest().library.FindMachine(FieldText(machine->typeKey))) {
      texts[0] += MachineCodeText(*machine, *def, kQuestNamePrefix);
    }
    ui.StepProgress();
  }
  // A text whose voice the folder lacks would leave the package without it.
  CheckQuestVoices(questName);

  ui.HideProgress();
  for (int i = 0; i < kScripts; ++i) {
    try {
      CKelvarDoc::WriteScriptLine(scripts[i], texts[i], false);
      scripts[i].Close();
    } catch (const platform::FileException& e) {
      scripts[i].Abort();
      LogGeneration("Error while saving %s, error = %u\r\n", paths[i].c_str(), static_cast<unsigned>(e.cause()));
    }
  }

  if (GenerationLog().empty()) {
    platform::CreateDirectory("quest");
    if (doc.PackQuest("quest", questName.c_str())) {
      if (CommitSaves(batch)) Box("Congratulation ! Quest Generation competed successfully.");
      else ui.ShowErrorReport(GenerationLog() + kAbortedTail);
      return;
    }
  }
  CommitSaves(batch);
  // A package that could not be made for missing files says why in the log.
  if (!GenerationLog().empty()) ui.ShowErrorReport(GenerationLog() + kAbortedTail);
}

}  // namespace

void SetGenerationUi(IGenerationUi* ui) { g_ui = ui; }

void CKelvarDoc::OnGenerateQuest() {
  // Generation edits the quest it exports; like any other edit, that makes
  // the document modified, however generation ends.
  const GeneratedState before = GeneratedState::Take();
  try {
    Generate(*this);
  } catch (const std::bad_alloc&) {
    // Whatever the quest holds, running out of memory is a fault of this
    // generation, not the end of the program.
    LogGeneration("Not enough memory to generate quest %s\r\n", QuestName().c_str());
    Ui().HideProgress();
    Ui().ShowErrorReport(GenerationLog() + kAbortedTail);
  }
  if (GeneratedState::Take() != before) SetModifiedFlag();
}

int CKelvarDoc::PackQuest(const char* folder, const char* questName) {
  const std::string quest = questName ? questName : "";
  if (!IsPlainFileName(quest)) {
    LogGeneration("Name %s is not a valid file name\r\n", quest.c_str());
    return 0;
  }
  // Durable once at the end, unless generation holds the saves for its own end.
  std::optional<platform::SaveBatch> own;
  if (!platform::SaveBatch::Current()) own.emplace();
  platform::SaveBatch& batch = *platform::SaveBatch::Current();
  CreateQuestFolder(quest);
  const std::string questFolder = "data\\customQuest\\" + quest;
  bool copied = true;
  for (int bank = 800; bank <= 815; ++bank) {
    const std::string source = FormatText("rozizuzi\\bank\\k%04d_OBJ.tga", bank);
    const std::string destination = FormatText("%s\\k%04d_OBJ.tga", questFolder.c_str(), bank);
    if (!CopyWholeFile(source.c_str(), destination.c_str(), false)) {
      LogGeneration("Copy of %s to %s failed\r\n", source.c_str(), destination.c_str());
      copied = false;
    }
  }
  if (!copied) return 0;

  // The folder's files as they will stand once the saves still pending are
  // in place. No temporary of a save goes in: not those pending, nor those a
  // crash left (a user's file named like one stays out too).
  const std::string nativeFolder = platform::ResolvePath(questFolder) + "/";
  auto inFolder = [&nativeFolder](const std::string& path) {
    return path.size() > nativeFolder.size() && path.compare(0, nativeFolder.size(), nativeFolder) == 0 &&
           path.find('/', nativeFolder.size()) == std::string::npos;
  };
  std::vector<std::string> files;
  for (platform::FindEntry& e : platform::FindFiles(questFolder + "\\*.*")) {
    if (!e.isDirectory && !platform::IsSafeSaveTemporaryName(e.name)) files.push_back(std::move(e.name));
  }
  for (const platform::SaveBatch::Pending& p : batch.pending()) {
    if (!inFolder(p.target)) continue;
    std::string name = p.target.substr(nativeFolder.size());
    if (std::find(files.begin(), files.end(), name) == files.end()) files.push_back(std::move(name));
  }
  if (files.empty()) return 0;
  std::sort(files.begin(), files.end(), platform::FindOrderLess);
  std::reverse(files.begin(), files.end());

  MtfWriter writer;
  std::vector<std::pair<std::string, std::string>> sources;  // file, entry
  for (const std::string& file : files) {
    const std::string entry = EntryName(file);
    const std::string source = questFolder + "\\" + file;
    sources.emplace_back(source, entry);
    try {
      // Copied in when the package is written, not held here; a file still
      // pending is read from its temporary.
      writer.AddFile(entry, source);
    } catch (const std::bad_alloc&) {
      Box(FormatText("error : file %s too large to fit in memory.\n", entry.c_str()));
      return 0;
    } catch (const platform::FileException& e) {
      Box(FormatText("Can't open file %s, error = %u\n", entry.c_str(), static_cast<unsigned>(e.cause())));
      return 0;
    } catch (const MtfWriteError& e) {
      Box(e.what());
      return 0;
    }
  }

  const std::string package = std::string(folder ? folder : "") + "\\" + quest + ".mtf";
  try {
    writer.Write(package);  // through a temporary file: a failure leaves no half package
    if (own) own->Commit();
  } catch (const platform::FileException& e) {
    // A file that failed while it was copied in is named as its entry.
    std::string failed = package;
    for (const auto& [source, entry] : sources) {
      if (source == e.path()) failed = entry;
    }
    Box(FormatText("Can't open file %s, error = %u\n", failed.c_str(), static_cast<unsigned>(e.cause())));
    return 0;
  } catch (const MtfWriteError& e) {
    Box(e.what());
    return 0;
  }
  return 1;
}
