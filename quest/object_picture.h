#pragma once
// The picture an object is shown with, found one way for the world map, the
// pickers and the element dialogs: a quest object's own cell of the quest's
// sprite sheet, else the sprite-table row that its game item names. A name
// that no sprite row has gives no sprite, never the table's first row.
#include <optional>
#include <string_view>

#include "datafiles/trisprite_table.h"
#include "platform/video/types.h"

class CQuestObject;
struct CItemObject;

// The quest's sprite sheet, which the quest objects' own cells come from.
inline constexpr int kSpriteSheetSize = 256;
// A cell size of 0 or below counts as this.
inline constexpr int kDefaultCellSize = 24;

// The cell with a usable cell size.
TrispriteRecord UsableCell(const TrispriteRecord& cell);
// The cell a quest object's sprite record sets (a usable one); none when the
// record is "FREE" (ignoring case).
std::optional<TrispriteRecord> OwnCell(const TrispriteRecord& sprite);
// Where a cell lies on the sheet: its footprint at (column, row) times the
// cell size, kept inside the sheet.
platform::video::Rect SheetCellRect(const TrispriteRecord& cell);

// The item-object row with that key, ignoring case (first match); -1 when none.
int FindItemObject(std::string_view key);
// The sprite-table name an item object is shown with: its third text.
std::string_view ItemSpriteName(const CItemObject& item);

struct ObjectPicture {
  const CQuestObject* object = nullptr;     // the quest object of that key, if any
  const CItemObject* item = nullptr;        // the game item of that key, or the quest object's origin
  std::optional<TrispriteRecord> cell;      // the quest object's own cell, when it has one
  const TrispriteRecord* sprite = nullptr;  // otherwise the sprite row the item names, when there is one

  bool Shows() const { return cell || sprite; }
  // The size of what is shown; 0 x 0 when nothing is.
  int Width() const;
  int Height() const;
};

ObjectPicture ItemPicture(const CItemObject& item);
ObjectPicture QuestObjectPicture(const CQuestObject& object);
// A quest object's picture from its sprite record and origin key (those of
// an object being edited, say).
ObjectPicture QuestObjectPicture(const TrispriteRecord& sprite, std::string_view origin);
// By name: the quest object and the item row of that key (ignoring case),
// the item being the object's origin when no row has the name itself.
ObjectPicture ObjectPictureOf(std::string_view name);
