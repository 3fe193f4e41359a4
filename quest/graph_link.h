#pragma once
// A link of the world map between two nodes, made for one instance.
#include <string_view>

#include "platform/video/types.h"
#include "quest/quest_list.h"

class CMachineParam;
class GraphNode;
struct ElementInstance;

struct GraphLink {
  GraphLink() = default;
  // Leaves its instance's chain (not the link list).
  ~GraphLink();
  GraphLink(const GraphLink&) = delete;
  GraphLink& operator=(const GraphLink&) = delete;

  void AttachToInstance(ElementInstance* linkInstance);
  void DetachFromInstance();

  // Draws the link between its nodes' rectangles (as last set), relative to
  // the view's left-top corner, and counts it on the sides it uses.
  void Draw(float elapsed, const platform::video::Rect& view);

  GraphLink* next = nullptr;
  GraphNode* from = nullptr;
  GraphNode* to = nullptr;
  CMachineParam* owner = nullptr;  // the value that made it; null for monster gift links
  char name[80] = {};              // the instance name
  const void* element = nullptr;   // the machine or monster of that instance

  // The list's back link (so a link leaves the list at once) and the chain
  // of the instance's links.
  GraphLink* prev = nullptr;
  ElementInstance* instance = nullptr;
  GraphLink* instancePrev = nullptr;
  GraphLink* instanceNext = nullptr;
};

// A new link at the head of the list.
GraphLink* NewGraphLink(GraphLink*& head);
// Unlinks a link of that list in one step and frees it.
void DeleteGraphLink(GraphLink*& head, GraphLink* link);

// Every link of the quest's list, in list order, in one engine frame over
// the visible view.
void DrawGraphLinks(float elapsed, const platform::video::Rect& view);
