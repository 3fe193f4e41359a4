#include "quest/quest_object.h"

CQuestObject* NewQuestObject(CQuestObject*& head) { return PushHead(head, new CQuestObject); }
