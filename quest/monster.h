#pragma once
// A monster or non-player character of the quest, with its placed instances.
#include <string_view>

#include "datafiles/multi_lang_text.h"
#include "quest/element_instance.h"
#include "quest/quest_list.h"

namespace platform {
class File;
}

class CMonster {
 public:
  CMonster() = default;
  // Takes every instance's nodes off the map, then frees the instances.
  ~CMonster();
  CMonster(const CMonster&) = delete;
  CMonster& operator=(const CMonster&) = delete;

  // A new instance "<key>_<counter>" at the head of the list, with its nodes.
  ElementInstance* AddInstance();
  ElementInstance* FindInstance(std::string_view instanceName) const;
  // Removes the named instance (ignoring case) with its nodes and links;
  // an unknown name does nothing.
  void DeleteInstance(std::string_view instanceName);

  // World-map graph of the instances.
  void CreateInstanceNodes(ElementInstance* instance);
  void LinkAllInstances();
  // Takes the instance's keys off the nodes (nodes left without keys go with
  // their links), removes its links, then unlinks and frees the instance.
  void RemoveInstanceNodes(ElementInstance* instance);
  void SnapshotPositions();
  void RestorePositions(int dx, int dy);
  void OffsetPositions(int dx, int dy);

  // The ".qst" monster record (throws platform::FileException). Saving takes
  // the instances' position snapshot from the world map first.
  void Save(platform::File& file);
  void Load(platform::File& file);

  CMonster* next = nullptr;
  char key[80] = {};
  char monsterClass[80] = {};
  char gift[80] = {};  // a quest object or game item object given; empty for none
  CMultiLangText name;
  CMultiLangText text2;
  CMultiLangText text;
  int life = 0;
  int damage1 = 0;
  int damage2 = 0;
  ElementInstance* instances = nullptr;
  int instanceCounter = 0;  // only grows
};

CMonster* NewMonster(CMonster*& head);
// The first monster whose key equals the given one, ignoring case.
CMonster* FindMonster(CMonster* head, std::string_view monsterKey);

// While one lives, FindMonster over the quest's monster list answers from an
// index of its keys instead of walking the list, so building the map of a
// large quest costs no lookup per monster. The list must not change meanwhile.
class MonsterKeyIndex {
 public:
  MonsterKeyIndex();
  ~MonsterKeyIndex();
  MonsterKeyIndex(const MonsterKeyIndex&) = delete;
  MonsterKeyIndex& operator=(const MonsterKeyIndex&) = delete;

 private:
  bool owner_ = false;
};

// Brings the monster's nodes in line with its key and gift after an edit.
void SyncMonsterGraph(CMonster* monster);
