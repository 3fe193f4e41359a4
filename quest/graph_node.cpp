#include "quest/graph_node.h"

#include <algorithm>

#include "quest/element_instance.h"
#include "quest/fixed_field.h"
#include "quest/quest_lists.h"
#include "quest/room.h"
#include "render/skinned_model.h"

namespace {
std::uint64_t g_nextSequence = 1;
}

GraphKey::~GraphKey() { DetachFromInstance(); }

void GraphKey::DetachFromInstance() {
  if (!instance) return;
  if (instancePrev) {
    instancePrev->instanceNext = instanceNext;
  } else {
    instance->graphKeys = instanceNext;
  }
  if (instanceNext) instanceNext->instancePrev = instancePrev;
  instance = nullptr;
  instancePrev = instanceNext = nullptr;
}

void GraphKey::Set(std::string_view instanceName, CMachineParam* keyValue, const void* keyElement) {
  SetField(name, instanceName);
  value = keyValue;
  element = keyElement;
}

GraphKey* NewGraphKey(GraphKey*& head) { return PushHead(head, new GraphKey); }

void RemoveGraphKey(GraphKey*& head, GraphKey* key) { RemoveRecord(head, key); }

void FreeKeyList(GraphKey*& head) { FreeList(head); }

GraphNode::GraphNode() : sequence(g_nextSequence++) { Reset(); }

GraphKey* GraphNode::AddKey(ElementInstance* keyInstance, CMachineParam* keyValue, const void* keyElement) {
  GraphKey* key = NewGraphKey(keys);
  key->Set(FieldText(keyInstance->name), keyValue, keyElement);
  key->node = this;
  key->instance = keyInstance;
  key->instanceNext = keyInstance->graphKeys;
  if (keyInstance->graphKeys) keyInstance->graphKeys->instancePrev = key;
  keyInstance->graphKeys = key;
  return key;
}

GraphNode::~GraphNode() {
  // Every path that frees a node comes here: no room may keep a pick or a
  // link's first click on it.
  for (CRoom* r = Quest().rooms; r; r = r->next) r->ForgetNode(this);
  for (CRoom* r = Quest().mergeRooms; r; r = r->next) r->ForgetNode(this);
  if (inNameIndex_) IndexName(false);
  FreeKeyList(keys);
}

void GraphNode::JoinNameIndex() {
  if (inNameIndex_) return;
  inNameIndex_ = true;
  IndexName(true);
}

void GraphNode::IndexName(bool add) {
  auto& index = Quest().nodeNames;
  const std::string folded = FoldNodeName(FieldText(name));
  if (add) {
    index[folded].push_back(this);
    return;
  }
  auto it = index.find(folded);
  if (it == index.end()) return;
  auto& nodes = it->second;
  nodes.erase(std::remove(nodes.begin(), nodes.end(), this), nodes.end());
  if (nodes.empty()) index.erase(it);
}

void GraphNode::Reset() {
  if (inNameIndex_) IndexName(false);
  FreeKeyList(keys);
  model.reset();
  modelLift = 0.0f;
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
  if (inNameIndex_) IndexName(true);
}

void GraphNode::Set(int nodeKind, std::string_view nodeName, int nodeX, int nodeY, void* nodeOwner) {
  x = nodeX;
  y = nodeY;
  kind = nodeKind;
  SetField(title, nodeName);
  SetName(nodeName);
  owner = nodeOwner;
}

void GraphNode::SetName(std::string_view nodeName) {
  if (inNameIndex_) IndexName(false);
  SetField(name, nodeName);
  if (inNameIndex_) IndexName(true);
}

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
