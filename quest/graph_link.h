#pragma once
// A link of the world map between two nodes, made for one instance.
#include <string_view>

#include "quest/quest_list.h"

class CMachineParam;
class GraphNode;

struct GraphLink {
  GraphLink* next = nullptr;
  GraphNode* from = nullptr;
  GraphNode* to = nullptr;
  CMachineParam* owner = nullptr;  // the value that made it; null for monster gift links
  char name[80] = {};              // the instance name
  const void* element = nullptr;   // the machine or monster of that instance
};

GraphLink* NewGraphLink(GraphLink*& head);
