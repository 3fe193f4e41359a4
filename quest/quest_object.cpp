#include "quest/quest_object.h"

#include "quest/fixed_field.h"

CQuestObject* NewQuestObject(CQuestObject*& head) { return PushHead(head, new CQuestObject); }

CQuestObject* FindQuestObject(CQuestObject* head, std::string_view key) {
  for (CQuestObject* o = head; o; o = o->next)
    if (FieldEqualsNoCase(o->key, key)) return o;
  return nullptr;
}
