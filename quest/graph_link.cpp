#include "quest/graph_link.h"

#include "quest/element_instance.h"

GraphLink::~GraphLink() { DetachFromInstance(); }

void GraphLink::AttachToInstance(ElementInstance* linkInstance) {
  DetachFromInstance();
  instance = linkInstance;
  instanceNext = linkInstance->graphLinks;
  if (instanceNext) instanceNext->instancePrev = this;
  linkInstance->graphLinks = this;
}

void GraphLink::DetachFromInstance() {
  if (!instance) return;
  if (instancePrev) {
    instancePrev->instanceNext = instanceNext;
  } else {
    instance->graphLinks = instanceNext;
  }
  if (instanceNext) instanceNext->instancePrev = instancePrev;
  instance = nullptr;
  instancePrev = instanceNext = nullptr;
}

GraphLink* NewGraphLink(GraphLink*& head) {
  GraphLink* link = new GraphLink;
  link->next = head;
  if (head) head->prev = link;
  head = link;
  return link;
}

void DeleteGraphLink(GraphLink*& head, GraphLink* link) {
  if (link->prev) {
    link->prev->next = link->next;
  } else {
    head = link->next;
  }
  if (link->next) link->next->prev = link->prev;
  delete link;
}
