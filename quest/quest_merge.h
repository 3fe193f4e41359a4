#pragma once
// Merge: a second ".qst" file read into the open quest. Its machines, quest
// objects, monsters and rooms are read into the staging lists of the quest
// state, moved by the map view's origin, renamed where their names clash
// with the open quest's, and spliced in front of the quest's lists; the
// world-map graph is then built again. The second file's header (markers,
// view, language, texts) is not read.
//
// A merge is all or nothing: a file that cannot be read, or a clash whose
// new name would not fit its field, leaves the open quest as it was and the
// staging lists empty, and says why in a box.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// What Merge asks of the editor: its file dialog, and the views to refresh
// afterwards. The editor installs it; without one the dialog is cancelled.
class IMergeUi {
 public:
  virtual ~IMergeUi() = default;
  // A ".qst" chosen in an Open dialog that starts in `directory` (native;
  // empty: the current directory); nothing on Cancel.
  virtual std::optional<std::string> ChooseQuestFile(const std::string& directory) = 0;
  // The left view refills its trees and the room view redraws, each when it exists.
  virtual void RefreshViews() = 0;
};

// Installs the editor's side (not owned); nullptr removes it.
void SetMergeUi(IMergeUi* ui);

// The folder the Merge dialog opened last in; empty until a file was chosen.
std::string& MergeDialogDirectory();

// The longest name a key, room name, instance name or link text can have
// (the fields hold 80 bytes with the terminator).
inline constexpr std::size_t kMergeNameChars = 79;

// Renames the staged records whose names clash (ignoring case) with a record
// of the same kind in the open quest: "<name><n>" with the first n from 2
// upward free in both lists. The staged references follow (see the .cpp).
// Each returns false, with `refusal` naming the record, when its new name,
// an instance name made from it, or a staged link text rewritten to one of
// its instances would be longer than kMergeNameChars; the staging lists are
// then partly renamed.
bool RenameMergedRooms(std::string& refusal);
bool RenameMergedMonsters(std::string& refusal);
bool RenameMergedObjects(std::string& refusal);
bool RenameMergedMachines(std::string& refusal);

// Puts each non-empty staging list in front of its quest list (rooms,
// monsters, objects, machines) and empties the staging lists.
void SpliceMergedLists();
// Frees whatever the staging lists hold.
void FreeMergedLists();

// Merges the quest file at `path` into the open quest, named `questName`
// (every step after the dialog), bringing the voices its texts name into
// that quest's folder; a box lists those missing or not brought. True when
// it was merged; false, with the reason shown in a box and the open quest
// unchanged, otherwise.
bool MergeQuestFile(const std::string& path, std::string_view questName);
