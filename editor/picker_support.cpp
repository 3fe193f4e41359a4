#include "editor/picker_support.h"

#include "datafiles/item_object_table.h"
#include "datafiles/monster_class_table.h"
#include "platform/core/paths.h"
#include "quest/fixed_field.h"
#include "quest/monster.h"
#include "quest/quest_lists.h"
#include "quest/quest_object.h"

namespace kelvar {

bool IsPickableItemObject(const CItemObject& row) {
  const unsigned flags = static_cast<unsigned>(row.flags) & 0xFFu;
  if (flags & 0x80u) return true;
  if ((flags & 0x20u) && !(flags & 0x08u)) return true;
  if (flags & 0x05u) return true;
  return (flags & 0x02u) && row.value196 == 0;
}

namespace {

bool HasHiddenBits(const CMonsterClass& c) { return (static_cast<unsigned>(c.flags) & 0x05u) != 0; }
bool IsFighter(const CMonsterClass& c) { return (c.type == 0 || c.type == 1) && !HasHiddenBits(c); }
bool IsNpc(const CMonsterClass& c) { return c.type == 2 && c.kind >= 0; }

}  // namespace

bool ClassPassesFilter(const CMonsterClass& c, int filter, bool monstersOnly) {
  switch (filter) {
    case kMonsterFilterAll:
      return (c.type == 0 || c.type == 1 || (c.type == 2 && !monstersOnly)) && !HasHiddenBits(c);
    case kMonsterFilterMonsters: return IsFighter(c);
    case kMonsterFilterNpc: return !monstersOnly && IsNpc(c);
    default: return false;
  }
}

int QuestMonsterClass(const CMonster& monster) {
  std::string_view origin = FieldText(monster.monsterClass);
  for (const CMonster* m = Quest().monsters; m; m = m->next) {
    if (platform::EqualsNoCase(FieldText(m->key), origin)) {
      origin = FieldText(m->monsterClass);
      break;
    }
  }
  return origin.empty() ? -1 : g_monsterClassTable.Find(origin);
}

bool QuestMonsterPassesFilter(const CMonster& monster, int filter, bool /*monstersOnly*/) {
  const int index = QuestMonsterClass(monster);
  if (index < 0) return false;
  const CMonsterClass& c = g_monsterClassTable.Row(static_cast<std::size_t>(index));
  switch (filter) {
    case kMonsterFilterAll: return c.kind >= 0;
    case kMonsterFilterMonsters: return IsFighter(c);
    case kMonsterFilterNpc: return IsNpc(c);
    default: return false;
  }
}

CQuestObject* QuestObjectAt(int position) {
  CQuestObject* o = Quest().questObjects;
  for (int i = 0; o && i < position; ++i) o = o->next;
  return position < 0 ? nullptr : o;
}

CMonster* QuestMonsterAt(int position) {
  CMonster* m = Quest().monsters;
  for (int i = 0; m && i < position; ++i) m = m->next;
  return position < 0 ? nullptr : m;
}

}  // namespace kelvar
