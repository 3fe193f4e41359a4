#include "quest/quest_lists.h"

#include "quest/graph_link.h"
#include "quest/graph_node.h"
#include "quest/machine.h"
#include "quest/marker.h"
#include "quest/monster.h"
#include "quest/quest_object.h"
#include "quest/room.h"

QuestState::QuestState() = default;

QuestState::~QuestState() {
  view = nullptr;  // the views are gone by now
  FreeList(graphNodes);
  FreeList(graphLinks);
  FreeList(mergeMachines);
  FreeList(mergeMonsters);
  FreeList(mergeObjects);
  FreeList(mergeRooms);
  FreeList(machines);
  FreeList(monsters);
  FreeList(questObjects);
  FreeList(rooms);
  FreeList(markers);
}

std::string FoldNodeName(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded;
}

QuestState& Quest() {
  static QuestState state;
  return state;
}

void FreeGraph() {
  QuestState& q = Quest();
  FreeList(q.graphNodes);
  FreeList(q.graphLinks);
  q.nodeNames.clear();
}

void FreeQuestLists() {
  QuestState& q = Quest();
  FreeGraph();
  FreeList(q.questObjects);
  FreeList(q.machines);
  FreeList(q.monsters);
  FreeList(q.rooms);
  FreeList(q.markers);
  q.markerCounter = 0;
  FreeList(q.mergeObjects);
  FreeList(q.mergeMachines);
  FreeList(q.mergeMonsters);
  FreeList(q.mergeRooms);
}

void ResetQuestState() {
  FreeQuestLists();
  QuestState& q = Quest();
  q.library.Clear();
  q.mapView = MapRect{};
  q.view = nullptr;
}
