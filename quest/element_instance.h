#pragma once
// A placed instance of a machine or of a monster, with the map positions its
// nodes had when the quest was last saved.
#include <string_view>

#include "quest/quest_list.h"

class GraphNode;
struct GraphKey;
struct GraphLink;

struct InstancePosition {
  InstancePosition* next = nullptr;
  int paramNumber = 0;  // the machine parameter whose node this was; 0 for monsters
  int x = 0;
  int y = 0;
  int nodeType = 0;  // the node's kind
  int cellX = 0;
  int cellY = 0;
  int rotation = 0;
};

struct ElementInstance {
  static constexpr int kLinkSlots = 8;

  ElementInstance() = default;
  // Keys and links still standing for the instance forget it.
  ~ElementInstance();
  ElementInstance(const ElementInstance&) = delete;
  ElementInstance& operator=(const ElementInstance&) = delete;

  void FreePositions() { FreeList(positions); }
  // Puts the text into the first empty link slot; false when all are used.
  bool AddLink(std::string_view text);

  ElementInstance* next = nullptr;
  char name[80] = {};   // "<owner name>_<counter>"
  char name2[80] = {};
  int value1 = 0;
  int value2 = 0;
  char links[kLinkSlots][80] = {};  // empty or "<machine>:<instance>"
  InstancePosition* positions = nullptr;

  // The map keys and links made for this instance (not saved).
  GraphKey* graphKeys = nullptr;
  GraphLink* graphLinks = nullptr;
};

ElementInstance* NewElementInstance(ElementInstance*& head);
// A new instance "<owner name>_<counter>" at the head of the list; the
// counter moves on, so no name is given twice.
ElementInstance* NewNamedInstance(ElementInstance*& head, const char* ownerName, int& counter);
InstancePosition* NewInstancePosition(InstancePosition*& head);
// Unlinks and frees one instance with its positions (ignored when not in the list).
void RemoveElementInstance(ElementInstance*& head, ElementInstance* instance);
void FreeInstanceList(ElementInstance*& head);
// The first instance of the list with that name, ignoring case.
ElementInstance* FindInstanceNamed(ElementInstance* head, std::string_view name);

// A node's place kept as an instance position, and put back moved by (dx, dy).
void StoreNodePosition(InstancePosition& position, const GraphNode& node);
void RestoreNodePosition(GraphNode& node, const InstancePosition& position, int dx, int dy);
// Moves every kept position of the list's instances by (dx, dy).
void OffsetInstancePositions(ElementInstance* head, int dx, int dy);
