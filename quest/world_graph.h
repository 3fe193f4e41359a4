#pragma once
// The world map's graph: nodes for placed machine and monster instances and
// for the objects and monsters they name, links for what flows between them.
// It is derived from the machine and monster lists; node positions are kept
// per instance when the quest is saved.
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/paths.h"
#include "quest/element_instance.h"
#include "quest/fixed_field.h"
#include "quest/graph_link.h"
#include "quest/graph_node.h"
#include "quest/quest_lists.h"

struct MapPoint {
  int x = 0;
  int y = 0;
  friend bool operator==(const MapPoint&, const MapPoint&) = default;
};

GraphNode* NewGraphNode(GraphNode*& head);
// Unlinks and destroys a node together with every link of the quest's link
// list that starts or ends at it.
void RemoveGraphNode(GraphNode*& head, GraphNode* node);
// A new link at the head of the quest's link list.
GraphLink* AddGraphLink(GraphNode* from, GraphNode* to, CMachineParam* owner, std::string_view name);
// The same, made for an instance of a machine or monster (its element).
GraphLink* AddInstanceLink(GraphNode* from, GraphNode* to, CMachineParam* owner, ElementInstance* instance,
                           const void* element);
// The first link with that owner and name (ignoring case) whose from or to
// node has the kind; null when none.
GraphLink* FindGraphLink(int kind, const CMachineParam* owner, std::string_view name);
void RemoveGraphLinks(int kind, const CMachineParam* owner, std::string_view name);
// The first node holding a key of that value.
GraphNode* FindNodeWithValue(const CMachineParam* value);
void MoveSelectedGraphNodes(int dx, int dy);

// Builds the graph of every monster and machine of the quest and puts the
// nodes at their saved positions (after opening a quest).
void BuildQuestGraph();
// Frees the graph, then builds it again (after a merge).
void RebuildQuestGraph();
// After an element edit: every machine, then every monster.
void SyncAllGraphs();
// Points what a node stands for at another name, as the map's double-click
// on an object or a machine-named monster does: every machine value of
// `valueType` whose link joins the node to a machine node takes the name,
// and with `withGifts` every quest monster linked to it as a gift-giver (a
// monster node not named after a class) gets it as its gift. Then the whole
// graph follows. False, and nothing synchronised, when nothing changed.
bool RetargetNodeLinks(const GraphNode* node, std::string_view name, int valueType, bool withGifts);

// Where new instance nodes go: the view's left-top (plus 128, 128 for
// machines), or the stored click point; (128, 128) without a view.
MapPoint PlacementBase(bool forMachine);
// Where re-synchronisation puts new nodes: the view's left-top, or (128, 128).
MapPoint SyncBase();
// The first node of the quest's list named so (ignoring case), other than `except`.
GraphNode* FirstNodeNamed(std::string_view name, const GraphNode* except = nullptr);
// The first node named so (ignoring case) when it is an object node; else a
// new object node of that name at (x, y).
GraphNode* ReuseOrCreateObjectNode(std::string_view name, int x, int y);
// A gift node hangs below a monster node, for a monster's own instances
// (keys without a value) or for a machine's MONSTER value (keys of the value).
// Detaching takes each instance's keys off its gift node, with the instance's
// links to object nodes; it tells where the last node that went stood.
struct DetachedGifts {
  bool nodeRemoved = false;
  MapPoint at;
};
DetachedGifts DetachGiftNodes(ElementInstance* instances, CMachineParam* value);
// Hangs the gift's node below each instance's monster node of that kind
// (instances without one get none), in the place of a removed node when there was one.
void AttachGiftNodes(ElementInstance* instances, int monsterKind, CMachineParam* value, const void* element,
                     std::string_view gift, const DetachedGifts& detached);
// A definition comment as tooltip text: each run of control characters
// becomes one space before the next character; a run at the end is dropped.
std::string BuildToolText(std::string_view comment);
// True when the game's monster-class table has a class of that name.
bool IsMonsterClassName(std::string_view name);

// Helpers over the quest's nodes and links.
template <class Pred>
bool NodeHasKey(const GraphNode* node, Pred pred) {
  for (const GraphKey* k = node->keys; k; k = k->next) {
    if (pred(*k)) return true;
  }
  return false;
}

// The first node (of the kind, or any kind for 0) holding a key that matches.
template <class Pred>
GraphNode* FindNodeWithKey(int kind, Pred pred) {
  for (GraphNode* n = Quest().graphNodes; n; n = n->next) {
    if ((kind == 0 || n->kind == kind) && NodeHasKey(n, pred)) return n;
  }
  return nullptr;
}

// Removes the node's matching keys; true when it lost at least one.
template <class Pred>
bool RemoveNodeKeys(GraphNode* node, Pred pred) {
  bool removed = false;
  for (GraphKey** link = &node->keys; *link;) {
    GraphKey* key = *link;
    if (pred(*key)) {
      *link = key->next;
      delete key;
      removed = true;
    } else {
      link = &key->next;
    }
  }
  return removed;
}

// Removes the matching keys from one node; the node goes (with its links)
// when that left it without keys. True when the node was removed.
template <class Pred>
bool RemoveKeysFromNode(GraphNode* node, Pred pred) {
  if (RemoveNodeKeys(node, pred) && !node->keys) {
    RemoveGraphNode(Quest().graphNodes, node);
    return true;
  }
  return false;
}

template <class Pred>
void RemoveLinksWhere(Pred pred) {
  GraphLink*& head = Quest().graphLinks;
  for (GraphLink* l = head; l;) {
    GraphLink* next = l->next;
    if (pred(*l)) DeleteGraphLink(head, l);
    l = next;
  }
}

// Lookups through an instance's own keys and links. "First" is the node
// list's order: the node made last.
template <class Pred>
GraphNode* FirstNodeOfInstance(const ElementInstance* instance, int kind, Pred pred) {
  GraphNode* first = nullptr;
  for (const GraphKey* k = instance->graphKeys; k; k = k->instanceNext) {
    GraphNode* n = k->node;
    if ((kind == 0 || n->kind == kind) && pred(*k) && (!first || n->sequence > first->sequence)) first = n;
  }
  return first;
}

// The nodes holding the instance's matching keys, each once, in list order.
std::vector<GraphNode*> NodesOfInstance(const ElementInstance* instance, bool (*pred)(const GraphKey&, const void*),
                                        const void* context);

template <class Pred>
std::vector<GraphNode*> NodesOfInstanceWhere(const ElementInstance* instance, Pred pred) {
  return NodesOfInstance(
      instance, [](const GraphKey& k, const void* c) { return (*static_cast<const Pred*>(c))(k); }, &pred);
}

// Removes the instance's matching keys; nodes left without keys go with their links.
template <class Pred>
void RemoveInstanceKeys(ElementInstance* instance, Pred pred) {
  for (GraphNode* node : NodesOfInstanceWhere(instance, pred)) {
    RemoveKeysFromNode(node, [&](const GraphKey& k) { return k.instance == instance && pred(k); });
  }
}

template <class Pred>
void RemoveInstanceLinks(ElementInstance* instance, Pred pred) {
  for (GraphLink* l = instance->graphLinks; l;) {
    GraphLink* next = l->instanceNext;
    if (pred(*l)) DeleteGraphLink(Quest().graphLinks, l);
    l = next;
  }
}

inline bool SameName(const char (&field)[80], std::string_view name) { return FieldEqualsNoCase(field, name); }
