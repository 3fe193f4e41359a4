#include "quest/element_instance.h"

#include <cstdio>

#include "platform/core/paths.h"
#include "quest/fixed_field.h"
#include "quest/graph_link.h"
#include "quest/graph_node.h"

ElementInstance::~ElementInstance() {
  FreePositions();
  while (graphKeys) graphKeys->DetachFromInstance();
  while (graphLinks) graphLinks->DetachFromInstance();
}

bool ElementInstance::AddLink(std::string_view text) {
  for (auto& slot : links) {
    if (FieldEmpty(slot)) {
      SetField(slot, text);
      return true;
    }
  }
  return false;
}

ElementInstance* NewElementInstance(ElementInstance*& head) { return PushHead(head, new ElementInstance); }

ElementInstance* NewNamedInstance(ElementInstance*& head, const char* ownerName, int& counter) {
  ElementInstance* instance = NewElementInstance(head);
  char instanceName[128];
  std::snprintf(instanceName, sizeof instanceName, "%s_%d", ownerName, counter);
  SetField(instance->name, instanceName);
  ++counter;
  return instance;
}

InstancePosition* NewInstancePosition(InstancePosition*& head) { return PushHead(head, new InstancePosition); }

void RemoveElementInstance(ElementInstance*& head, ElementInstance* instance) { RemoveRecord(head, instance); }

void FreeInstanceList(ElementInstance*& head) { FreeList(head); }

ElementInstance* FindInstanceNamed(ElementInstance* head, std::string_view name) {
  for (ElementInstance* i = head; i; i = i->next) {
    if (FieldEqualsNoCase(i->name, name)) return i;
  }
  return nullptr;
}

void StoreNodePosition(InstancePosition& position, const GraphNode& node) {
  position.x = node.x;
  position.y = node.y;
  position.nodeType = node.kind;
  position.cellX = node.cellX;
  position.cellY = node.cellY;
  position.rotation = node.rotation;
}

void RestoreNodePosition(GraphNode& node, const InstancePosition& position, int dx, int dy) {
  node.x = position.x + dx;
  node.y = position.y + dy;
  node.cellX = position.cellX;
  node.cellY = position.cellY;
  node.rotation = position.rotation;
}

void OffsetInstancePositions(ElementInstance* head, int dx, int dy) {
  for (ElementInstance* i = head; i; i = i->next) {
    for (InstancePosition* p = i->positions; p; p = p->next) {
      p->x += dx;
      p->y += dy;
    }
  }
}
