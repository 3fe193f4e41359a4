#include "quest/graph_node.h"

#include "quest/fixed_field.h"

void GraphKey::Set(std::string_view instanceName, CMachineParam* keyValue, const void* keyElement) {
  SetField(name, instanceName);
  value = keyValue;
  element = keyElement;
}

GraphKey* NewGraphKey(GraphKey*& head) { return PushHead(head, new GraphKey); }

void RemoveGraphKey(GraphKey*& head, GraphKey* key) { RemoveRecord(head, key); }

void FreeKeyList(GraphKey*& head) { FreeList(head); }

GraphNode::GraphNode() { Reset(); }

GraphNode::~GraphNode() { FreeKeyList(keys); }

void GraphNode::Reset() {
  FreeKeyList(keys);
  model.reset();
  x = y = 0;
  left = top = right = bottom = 0;
  kind = 0;
  owner = nullptr;
  drawSlot = -1;
  SetField(skeletonName, "");
  SetField(title, "");
  SetField(name, "");
  flags = 0;
  for (int& c : linkCounts) c = 0;
  cellX = cellY = 96;
  rotation = 0;
  exportIndex = 0;
}

void GraphNode::Set(int nodeKind, std::string_view nodeName, int nodeX, int nodeY, void* nodeOwner) {
  x = nodeX;
  y = nodeY;
  kind = nodeKind;
  SetField(title, nodeName);
  SetField(name, nodeName);
  owner = nodeOwner;
}

void GraphNode::SetName(std::string_view nodeName) { SetField(name, nodeName); }

int GraphNode::RemoveKeysOf(const CMachineParam* keyValue) {
  int remaining = 0;
  for (GraphKey** link = &keys; *link;) {
    GraphKey* key = *link;
    if (key->value == keyValue) {
      *link = key->next;
      delete key;
    } else {
      ++remaining;
      link = &key->next;
    }
  }
  return remaining;
}

CMachine* GraphNode::OwnerMachine() const {
  return (kind == kNodeMachine || kind == kNodeSkeleton) ? static_cast<CMachine*>(owner) : nullptr;
}

CMonster* GraphNode::OwnerMonster() const {
  return kind == kNodeMonster ? static_cast<CMonster*>(owner) : nullptr;
}
