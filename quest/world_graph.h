#pragma once
// The world map's graph: nodes for placed machine and monster instances and
// for the objects and monsters they name, links for what flows between them.
// It is derived from the machine and monster lists; node positions are kept
// per instance when the quest is saved.
#include <string>
#include <string_view>

#include "platform/core/paths.h"
#include "quest/fixed_field.h"
#include "quest/graph_link.h"
#include "quest/graph_node.h"
#include "quest/quest_lists.h"

struct MapPoint {
  int x = 0;
  int y = 0;
};

GraphNode* NewGraphNode(GraphNode*& head);
// Unlinks and destroys a node together with every link of the quest's link
// list that starts or ends at it.
void RemoveGraphNode(GraphNode*& head, GraphNode* node);
// A new link at the head of the quest's link list.
GraphLink* AddGraphLink(GraphNode* from, GraphNode* to, CMachineParam* owner, std::string_view name,
                        const void* element = nullptr);
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

// Where new instance nodes go: the view's left-top (plus 128, 128 for
// machines), or the stored click point; (128, 128) without a view.
MapPoint PlacementBase(bool forMachine);
// Where re-synchronisation puts new nodes: the view's left-top, or (128, 128).
MapPoint SyncBase();
// The first node named so (ignoring case) when it is an object node; else a
// new object node of that name at (x, y).
GraphNode* ReuseOrCreateObjectNode(std::string_view name, int x, int y);
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

// The same over every node.
template <class Pred>
void RemoveKeysEverywhere(Pred pred) {
  for (GraphNode* node : Each(Quest().graphNodes)) RemoveKeysFromNode(node, pred);
}

template <class Pred>
void RemoveLinksWhere(Pred pred) {
  for (GraphLink** link = &Quest().graphLinks; *link;) {
    GraphLink* l = *link;
    if (pred(*l)) {
      *link = l->next;
      delete l;
    } else {
      link = &l->next;
    }
  }
}

inline bool SameName(const char (&field)[80], std::string_view name) {
  return platform::EqualsNoCase(FieldText(field), name);
}
