#include "quest/quest_lists.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "quest/element_instance.h"
#include "quest/machine.h"
#include "quest/marker.h"
#include "quest/monster.h"
#include "quest/quest_object.h"
#include "quest_fixture.h"

namespace {

using questtest::QuestTest;

template <class T>
std::vector<std::string> Keys(const T* head) {
  std::vector<std::string> keys;
  for (; head; head = head->next) keys.emplace_back(head->key);
  return keys;
}

class QuestLists : public QuestTest {};

TEST_F(QuestLists, NewRecordsArePushedAtTheHead) {
  CMonster*& monsters = Quest().monsters;
  for (const char* key : {"a", "b", "c"}) SetField(NewMonster(monsters)->key, key);
  EXPECT_EQ(Keys(monsters), (std::vector<std::string>{"c", "b", "a"}));
}

TEST_F(QuestLists, CountFirstFillKeepsTheWrittenOrder) {
  // As a reader does: allocate the stored count, then fill from the head.
  const std::vector<std::string> stored = {"first", "second", "third"};
  CQuestObject*& objects = Quest().questObjects;
  for (std::size_t i = 0; i < stored.size(); ++i) NewQuestObject(objects);
  CQuestObject* o = objects;
  for (const std::string& key : stored) {
    SetField(o->key, key);
    o = o->next;
  }
  EXPECT_EQ(Keys(objects), stored);
}

TEST_F(QuestLists, OneAtATimeFillComesBackReversed) {
  ElementInstance instance;
  for (int x : {10, 20, 30}) NewInstancePosition(instance.positions)->x = x;
  std::vector<int> xs;
  for (const InstancePosition* p = instance.positions; p; p = p->next) xs.push_back(p->x);
  EXPECT_EQ(xs, (std::vector<int>{30, 20, 10}));
}

TEST_F(QuestLists, UnlinkingIgnoresRecordsOfOtherLists) {
  CMonster*& monsters = Quest().monsters;
  CMonster* a = NewMonster(monsters);
  CMonster* b = NewMonster(monsters);
  CMonster* stray = nullptr;
  CMonster* outsider = NewMonster(stray);
  RemoveRecord(monsters, outsider);
  EXPECT_EQ(ListLength(monsters), 2u);
  RemoveRecord(monsters, b);
  EXPECT_EQ(monsters, a);
  RemoveRecord(monsters, a);
  EXPECT_EQ(monsters, nullptr);
  FreeList(stray);
}

TEST_F(QuestLists, RemovingAnInstanceFreesItWithItsPositions) {
  ElementInstance* list = nullptr;
  ElementInstance* a = NewElementInstance(list);
  ElementInstance* b = NewElementInstance(list);
  NewInstancePosition(a->positions);
  NewInstancePosition(a->positions);
  SetField(a->name, "Orc_0");
  SetField(b->name, "orc_1");
  EXPECT_EQ(FindInstanceNamed(list, "ORC_0"), a);
  RemoveElementInstance(list, a);
  EXPECT_EQ(list, b);
  EXPECT_EQ(FindInstanceNamed(list, "orc_0"), nullptr);
  FreeInstanceList(list);
  EXPECT_EQ(list, nullptr);
}

TEST_F(QuestLists, MonsterInstanceNamesNeverRepeat) {
  CMonster* orc = NewMonster(Quest().monsters);
  SetField(orc->key, "orc");
  for (int i = 0; i < 3; ++i) orc->AddInstance();
  std::vector<std::string> names;
  for (const ElementInstance* i = orc->instances; i; i = i->next) names.emplace_back(i->name);
  EXPECT_EQ(names, (std::vector<std::string>{"orc_2", "orc_1", "orc_0"}));
  orc->DeleteInstance("ORC_1");
  EXPECT_EQ(orc->FindInstance("orc_1"), nullptr);
  EXPECT_STREQ(orc->AddInstance()->name, "orc_3");
  EXPECT_EQ(orc->instanceCounter, 4);
  EXPECT_EQ(FindMonster(Quest().monsters, "ORC"), orc);
  EXPECT_EQ(FindMonster(Quest().monsters, "goblin"), nullptr);
}

TEST_F(QuestLists, NewRecordsHaveTheirDefaults) {
  CQuestObject* object = NewQuestObject(Quest().questObjects);
  EXPECT_STREQ(object->sprite.name, "FREE");
  EXPECT_EQ(object->sprite.column, 0);
  EXPECT_EQ(object->sprite.row, 0);
  EXPECT_EQ(object->sprite.valueA, 100);
  EXPECT_EQ(object->sprite.cellFormat, 0);
  EXPECT_EQ(object->sprite.cellSize, 24);
  EXPECT_EQ(object->sprite.valueB, 9);
  EXPECT_EQ(object->isVirtual, 0);
  EXPECT_EQ(object->questFlag, 0);
  EXPECT_STREQ(object->key, "");
  EXPECT_STREQ(object->mesh, "");
  EXPECT_STREQ(object->name.GetLocalized(), "");

  CMonster* monster = NewMonster(Quest().monsters);
  EXPECT_STREQ(monster->key, "");
  EXPECT_EQ(monster->life, 0);
  EXPECT_EQ(monster->instances, nullptr);
  EXPECT_EQ(monster->instanceCounter, 0);

  ElementInstance* instance = NewElementInstance(monster->instances);
  for (const auto& link : instance->links) EXPECT_STREQ(link, "");
  EXPECT_EQ(instance->positions, nullptr);
}

TEST_F(QuestLists, MarkerTakesTheViewOriginAndAShortName) {
  Quest().mapView = MapRect{300, -40, 1036, 440};
  Marker* marker = NewMarker(Quest().markers);
  marker->Init(std::string(40, 'm'));
  EXPECT_EQ(std::string(marker->name), std::string(31, 'm'));
  EXPECT_EQ(marker->x, 300);
  EXPECT_EQ(marker->y, -40);
  EXPECT_EQ(Quest().markers, marker);
}

TEST_F(QuestLists, ClosingTheQuestEmptiesEveryList) {
  QuestState& q = Quest();
  Define("STATE_MACHINE { KEY { door } PARAM { KEY { 1 } TYPE { FRAME } DISPLAY {} } }");
  CreateMachine(q.machines, kMachineStateMachine, "door", "gate")->AddInstance("", 0, 0, nullptr);
  SetField(NewMonster(q.monsters)->key, "orc");
  q.monsters->AddInstance();
  NewQuestObject(q.questObjects);
  NewMarker(q.markers);
  q.markerCounter = 3;
  NewMonster(q.mergeMonsters);
  ASSERT_GT(ListLength(q.graphNodes), 0u);
  FreeQuestLists();
  EXPECT_EQ(q.machines, nullptr);
  EXPECT_EQ(q.monsters, nullptr);
  EXPECT_EQ(q.questObjects, nullptr);
  EXPECT_EQ(q.markers, nullptr);
  EXPECT_EQ(q.markerCounter, 0);
  EXPECT_EQ(q.mergeMonsters, nullptr);
  EXPECT_EQ(q.graphNodes, nullptr);
  EXPECT_EQ(q.graphLinks, nullptr);
  EXPECT_NE(q.library.FindMachine("door"), nullptr) << "the library outlives the quest";
  ResetQuestState();
  EXPECT_EQ(q.library.FindMachine("door"), nullptr);
}

}  // namespace
