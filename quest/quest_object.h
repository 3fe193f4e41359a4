#pragma once
// A quest object: an item of the quest derived from a game item object, or a
// virtual one, with its names, sprite cell and custom mesh.
#include <string_view>

#include "datafiles/multi_lang_text.h"
#include "datafiles/trisprite_table.h"
#include "quest/quest_list.h"

namespace platform {
class File;
}

class CQuestObject {
 public:
  CQuestObject() = default;
  CQuestObject(const CQuestObject&) = delete;
  CQuestObject& operator=(const CQuestObject&) = delete;

  // The ".qst" object record (throws platform::FileException).
  void Save(platform::File& file) const;
  void Load(platform::File& file);

  CQuestObject* next = nullptr;
  int isVirtual = 0;
  char key[80] = {};
  char parent[80] = {};  // the game item object it derives from
  CMultiLangText name;
  int questFlag = 0;
  CMultiLangText comment;
  TrispriteRecord sprite;  // "FREE": no sprite
  char mesh[64] = {};      // base name of a custom mesh; empty for none
};

CQuestObject* NewQuestObject(CQuestObject*& head);
// The first object of the list whose key equals `key` ignoring case; null when none.
CQuestObject* FindQuestObject(CQuestObject* head, std::string_view key);
