#pragma once
// What the picker dialogs share: the quest entries' item data, the filters
// over the game tables, and the origins of quest objects and monsters.
#include <string_view>

#include "quest/object_picture.h"

class CMonster;
class CQuestObject;
struct CItemObject;
struct CMonsterClass;

namespace kelvar {

// Item data of a quest object or quest monster entry: this plus its position
// in the quest's list.
inline constexpr int kQuestEntryBase = 32000;

// The objects picker lists an item-object row when its flag byte has bit 7,
// or bit 5 without bit 3, or bit 0 or bit 2, or bit 1 with its word at byte
// 196 zero.
bool IsPickableItemObject(const CItemObject& row);

// The monster list's filters.
inline constexpr int kMonsterFilterAll = 0;
inline constexpr int kMonsterFilterMonsters = 1;
inline constexpr int kMonsterFilterNpc = 2;

// Whether a monster class, or a quest monster by its class, is listed under
// the filter.
bool ClassPassesFilter(const CMonsterClass& monsterClass, int filter, bool monstersOnly);
bool QuestMonsterPassesFilter(const CMonster& monster, int filter, bool monstersOnly);
// A quest monster's class index: that of its origin, or of the origin's own
// origin when the origin names another quest monster (one step); -1 when none.
int QuestMonsterClass(const CMonster& monster);

// The record at a position of the quest's lists (list order), or null.
CQuestObject* QuestObjectAt(int position);
CMonster* QuestMonsterAt(int position);

}  // namespace kelvar
