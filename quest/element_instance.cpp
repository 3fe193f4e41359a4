#include "quest/element_instance.h"

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

InstancePosition* NewInstancePosition(InstancePosition*& head) { return PushHead(head, new InstancePosition); }

void RemoveElementInstance(ElementInstance*& head, ElementInstance* instance) { RemoveRecord(head, instance); }

void FreeInstanceList(ElementInstance*& head) { FreeList(head); }

ElementInstance* FindInstanceNamed(ElementInstance* head, std::string_view name) {
  for (ElementInstance* i = head; i; i = i->next) {
    if (FieldEqualsNoCase(i->name, name)) return i;
  }
  return nullptr;
}
