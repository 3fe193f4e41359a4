#include "quest/quest_merge.h"

#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "platform/core/paths.h"
#include "platform/core/services.h"
#include "quest/fixed_field.h"
#include "quest/kelvar_doc.h"
#include "quest/machine.h"
#include "quest/monster.h"
#include "quest/qst_format.h"
#include "quest/quest_lists.h"
#include "quest/quest_object.h"
#include "quest/quest_voices.h"
#include "quest/room.h"
#include "quest/room_map_box.h"
#include "quest/text_format.h"
#include "quest/world_graph.h"

namespace {

IMergeUi* g_ui = nullptr;

void Box(const std::string& text) { platform::MessageBox(text, "", platform::kMbOk); }

// Old names (folded) to the new names given to them.
using Renames = std::unordered_map<std::string, std::string>;

// The names of one kind in use, folded: the open quest's and every staged
// one, old or new. A new name is taken from neither.
class NameSet {
 public:
  template <class T, std::size_t N>
  NameSet(const T* open, const T* staged, char (T::*field)[N]) {
    for (const T* r = open; r; r = r->next) open_.insert(FoldNodeName(FieldText(r->*field)));
    used_ = open_;
    for (const T* r = staged; r; r = r->next) used_.insert(FoldNodeName(FieldText(r->*field)));
  }

  bool InOpenQuest(std::string_view name) const { return open_.contains(FoldNodeName(name)); }

  // "<name><n>" for the first n from 2 upward that no record uses; empty
  // when that name would not fit.
  std::string Take(std::string_view name) {
    for (int n = 2;; ++n) {
      std::string candidate = std::string(name) + std::to_string(n);
      if (candidate.size() > kMergeNameChars) return {};
      if (used_.insert(FoldNodeName(candidate)).second) return candidate;
    }
  }

 private:
  std::unordered_set<std::string> open_;
  std::unordered_set<std::string> used_;
};

std::string Refusal(const char* kind, std::string_view name) {
  return FormatText("%s %.*s is already in the quest and cannot be renamed within %zu characters.", kind,
                    static_cast<int>(name.size()), name.data(), kMergeNameChars);
}

// Renames the clashing records of one staged list in list order; each new
// name goes through `renamed` (old name, record) before the next record is
// looked at. False, with the refusal, when a name does not fit.
template <class T, std::size_t N, class OnRenamed>
bool RenameClashes(T* open, T* staged, char (T::*field)[N], const char* kind, std::string& refusal,
                   OnRenamed renamed) {
  NameSet names(open, staged, field);
  for (T* r = staged; r; r = r->next) {
    const std::string old(FieldText(r->*field));
    if (!names.InOpenQuest(old)) continue;
    const std::string fresh = names.Take(old);
    if (fresh.empty()) {
      refusal = Refusal(kind, old);
      return false;
    }
    SetField(r->*field, fresh);
    if (!renamed(old, *r)) {
      refusal = Refusal(kind, old);
      return false;
    }
  }
  return true;
}

// Renames every instance "<owner>_<counter>" in list order, the counter
// starting again at 0; `renamed` hears each old and new instance name.
// False when an instance name would not fit.
template <class OnInstance>
bool RenameInstances(ElementInstance* instances, std::string_view owner, int& counter, OnInstance renamed) {
  counter = 0;
  for (ElementInstance* i = instances; i; i = i->next) {
    std::string fresh = std::string(owner) + "_" + std::to_string(counter++);
    if (fresh.size() > kMergeNameChars) return false;
    const std::string old(FieldText(i->name));
    SetField(i->name, fresh);
    renamed(old, fresh);
  }
  return true;
}

// A staged text that names a renamed record (ignoring case) takes its new name.
template <std::size_t N>
void FollowRename(char (&field)[N], const Renames& renames) {
  if (FieldEmpty(field)) return;
  if (auto it = renames.find(FoldNodeName(FieldText(field))); it != renames.end()) SetField(field, it->second);
}

void FollowRename(CMachineParam& value, const Renames& renames) {
  const std::string text = value.GetText();
  if (text.empty()) return;
  if (auto it = renames.find(FoldNodeName(text)); it != renames.end()) value.SetText(it->second);
}

// Values of one type of every staged machine follow the renames.
void FollowInValues(int type, const Renames& renames) {
  if (renames.empty()) return;
  for (CMachine* m = Quest().mergeMachines; m; m = m->next) {
    for (CMachineParam* v = m->params; v; v = v->next) {
      if (v->type == type) FollowRename(*v, renames);
    }
  }
}

template <class T>
void SpliceInFront(T*& staged, T*& head) {
  if (!staged) return;
  T* last = staged;
  while (last->next) last = last->next;
  last->next = head;
  head = std::exchange(staged, nullptr);
}

}  // namespace

void SetMergeUi(IMergeUi* ui) { g_ui = ui; }

std::string& MergeDialogDirectory() {
  static std::string directory;
  return directory;
}

bool RenameMergedRooms(std::string& refusal) {
  QuestState& q = Quest();
  return RenameClashes(q.rooms, q.mergeRooms, &CRoom::name, "Room", refusal,
                       [](const std::string&, CRoom&) { return true; });
}

bool RenameMergedMonsters(std::string& refusal) {
  QuestState& q = Quest();
  Renames renames;
  const bool ok = RenameClashes(q.monsters, q.mergeMonsters, &CMonster::key, "Monster", refusal,
                                [&](const std::string& old, CMonster& m) {
                                  renames.emplace(FoldNodeName(old), FieldText(m.key));
                                  return RenameInstances(m.instances, FieldText(m.key), m.instanceCounter,
                                                         [](const std::string&, const std::string&) {});
                                });
  // Each value is looked up once, by the name it had in the file, so a
  // value never follows two renames.
  if (ok) FollowInValues(kParamMonster, renames);
  return ok;
}

bool RenameMergedObjects(std::string& refusal) {
  QuestState& q = Quest();
  Renames renames;
  const bool ok = RenameClashes(q.questObjects, q.mergeObjects, &CQuestObject::key, "Quest object", refusal,
                                [&](const std::string& old, CQuestObject& o) {
                                  renames.emplace(FoldNodeName(old), FieldText(o.key));
                                  return true;
                                });
  if (!ok || renames.empty()) return ok;
  FollowInValues(kParamObject, renames);
  for (CMonster* m = q.mergeMonsters; m; m = m->next) FollowRename(m->gift, renames);
  return true;
}

bool RenameMergedMachines(std::string& refusal) {
  QuestState& q = Quest();
  // "<machine>:<instance>" folded, to the new text and the machine's old name.
  struct LinkRename {
    std::string text;
    std::string machine;
  };
  std::unordered_map<std::string, LinkRename> links;
  const bool ok = RenameClashes(
      q.machines, q.mergeMachines, &CMachine::name, "Machine", refusal, [&](const std::string& old, CMachine& m) {
        const std::string_view fresh = FieldText(m.name);
        return RenameInstances(m.instances, fresh, m.instanceCounter,
                               [&](const std::string& oldInstance, const std::string& newInstance) {
                                 links.emplace(FoldNodeName(old + ":" + oldInstance),
                                               LinkRename{std::string(fresh) + ":" + newInstance, old});
                               });
      });
  if (!ok || links.empty()) return ok;
  // Monster instances link to machine instances as well: theirs follow too,
  // or they would name the open quest's machine of the old name.
  std::vector<ElementInstance*> holders;
  for (CMachine* m = q.mergeMachines; m; m = m->next) holders.push_back(m->instances);
  for (CMonster* m = q.mergeMonsters; m; m = m->next) holders.push_back(m->instances);
  for (ElementInstance* head : holders) {
    for (ElementInstance* i = head; i; i = i->next) {
      for (auto& link : i->links) {
        if (FieldEmpty(link)) continue;
        auto it = links.find(FoldNodeName(FieldText(link)));
        if (it == links.end()) continue;
        if (it->second.text.size() > kMergeNameChars) {
          refusal = Refusal("Machine", it->second.machine);
          return false;
        }
        SetField(link, it->second.text);
      }
    }
  }
  return true;
}

void SpliceMergedLists() {
  QuestState& q = Quest();
  SpliceInFront(q.mergeRooms, q.rooms);
  SpliceInFront(q.mergeMonsters, q.monsters);
  SpliceInFront(q.mergeObjects, q.questObjects);
  SpliceInFront(q.mergeMachines, q.machines);
}

void FreeMergedLists() {
  QuestState& q = Quest();
  FreeList(q.mergeObjects);
  FreeList(q.mergeMachines);
  FreeList(q.mergeMonsters);
  FreeList(q.mergeRooms);
}

bool MergeQuestFile(const std::string& path, std::string_view questName) {
  platform::ChangeDirectory(platform::StartDirectory());
  FreeMergedLists();

  {
    // Read aside: a file that fails leaves nothing behind.
    QstContents contents;
    if (!ReadQuestAside(path, contents, false)) return false;
    QuestState& q = Quest();
    q.mergeMachines = std::exchange(contents.machines, nullptr);
    q.mergeObjects = std::exchange(contents.objects, nullptr);
    q.mergeMonsters = std::exchange(contents.monsters, nullptr);
    q.mergeRooms = std::exchange(contents.rooms, nullptr);
  }
  platform::ChangeDirectory(platform::StartDirectory());

  QuestState& q = Quest();
  const int dx = q.mapView.left;
  const int dy = q.mapView.top;
  for (CMachine* m = q.mergeMachines; m; m = m->next) m->OffsetPositions(dx, dy);
  for (CMonster* m = q.mergeMonsters; m; m = m->next) m->OffsetPositions(dx, dy);
  OffsetRooms(q.mergeRooms, dx, dy);

  std::string refusal;
  if (!RenameMergedRooms(refusal) || !RenameMergedMonsters(refusal) || !RenameMergedObjects(refusal) ||
      !RenameMergedMachines(refusal)) {
    FreeMergedLists();
    Box(FormatText("Can't merge %s: %s\n", path.c_str(), refusal.c_str()));
    return false;
  }

  // The merged texts keep their voices: the recordings come into the open
  // quest's folder, which generation packs.
  const std::string voices = BringMergedVoices(platform::SplitPath(path).fname, questName);

  // The open quest's nodes come back where they are.
  for (CMonster* m = q.monsters; m; m = m->next) m->SnapshotPositions();
  for (CMachine* m = q.machines; m; m = m->next) m->SnapshotPositions();
  SpliceMergedLists();
  // Every node is made again; the old ones leave no room holding them (~GraphNode).
  RebuildQuestGraph();
  if (g_ui) g_ui->RefreshViews();
  if (!voices.empty()) Box(voices);
  return true;
}

void CKelvarDoc::OnMerge() {
  if (!g_ui) return;
  const std::optional<std::string> chosen = g_ui->ChooseQuestFile(MergeDialogDirectory());
  if (!chosen) return;
  const platform::PathParts parts = platform::SplitPath(*chosen);
  MergeDialogDirectory() = parts.drive + parts.dir;
  if (MergeQuestFile(*chosen, QuestName())) SetModifiedFlag(true);
}
