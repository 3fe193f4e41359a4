#include "quest/monster.h"

#include <cstdio>
#include <string>

#include "platform/core/paths.h"
#include "quest/fixed_field.h"
#include "quest/quest_lists.h"
#include "quest/world_graph.h"

namespace {

// A key of this monster's instance. Keys carry the monster they were made
// for, so a machine (or a staged monster) with a like-named instance is never touched.
struct InstanceKey {
  const CMonster* monster;
  std::string_view instance;
  bool operator()(const GraphKey& k) const {
    return k.value == nullptr && k.element == monster && SameName(k.name, instance);
  }
};

}  // namespace

CMonster* NewMonster(CMonster*& head) { return PushHead(head, new CMonster); }

CMonster* FindMonster(CMonster* head, std::string_view monsterKey) {
  for (CMonster* m = head; m; m = m->next) {
    if (SameName(m->key, monsterKey)) return m;
  }
  return nullptr;
}

CMonster::~CMonster() {
  while (instances) RemoveInstanceNodes(instances);
}

ElementInstance* CMonster::AddInstance() {
  ElementInstance* instance = NewElementInstance(instances);
  char instanceName[128];
  std::snprintf(instanceName, sizeof instanceName, "%s_%d", key, instanceCounter);
  SetField(instance->name, instanceName);
  ++instanceCounter;
  CreateInstanceNodes(instance);
  return instance;
}

ElementInstance* CMonster::FindInstance(std::string_view instanceName) const {
  return FindInstanceNamed(instances, instanceName);
}

void CMonster::DeleteInstance(std::string_view instanceName) {
  if (ElementInstance* instance = FindInstance(instanceName)) RemoveInstanceNodes(instance);
}

void CMonster::CreateInstanceNodes(ElementInstance* instance) {
  QuestState& q = Quest();
  const MapPoint base = PlacementBase(false);
  GraphNode* node = NewGraphNode(q.graphNodes);
  node->Set(kNodeMonster, FieldText(key), base.x, base.y, this);
  NewGraphKey(node->keys)->Set(FieldText(instance->name), nullptr, this);
  if (FieldEmpty(gift)) return;
  GraphNode* giftNode = ReuseOrCreateObjectNode(FieldText(gift), base.x, base.y + 100);
  NewGraphKey(giftNode->keys)->Set(FieldText(instance->name), nullptr, this);
  AddGraphLink(node, giftNode, nullptr, FieldText(instance->name), this);
}

void CMonster::LinkAllInstances() {
  for (ElementInstance* i = instances; i; i = i->next) CreateInstanceNodes(i);
}

void CMonster::RemoveInstanceNodes(ElementInstance* instance) {
  const std::string instanceName(FieldText(instance->name));
  const InstanceKey match{this, instanceName};
  RemoveKeysEverywhere(match);
  RemoveLinksWhere([&](const GraphLink& l) { return l.element == this && SameName(l.name, instanceName); });
  RemoveElementInstance(instances, instance);
}

void CMonster::SnapshotPositions() {
  for (ElementInstance* i = instances; i; i = i->next) {
    i->FreePositions();
    const InstanceKey match{this, FieldText(i->name)};
    for (GraphNode* n = Quest().graphNodes; n; n = n->next) {
      if (!NodeHasKey(n, match)) continue;
      InstancePosition* p = NewInstancePosition(i->positions);
      p->paramNumber = 0;
      p->x = n->x;
      p->y = n->y;
      p->nodeType = n->kind;
      p->cellX = n->cellX;
      p->cellY = n->cellY;
      p->rotation = n->rotation;
    }
  }
}

void CMonster::RestorePositions(int dx, int dy) {
  for (ElementInstance* i = instances; i; i = i->next) {
    const InstanceKey match{this, FieldText(i->name)};
    for (InstancePosition* p = i->positions; p; p = p->next) {
      for (GraphNode* n = Quest().graphNodes; n; n = n->next) {
        if (n->kind != p->nodeType || !NodeHasKey(n, match)) continue;
        n->x = p->x + dx;
        n->y = p->y + dy;
        n->cellX = p->cellX;
        n->cellY = p->cellY;
        n->rotation = p->rotation;
      }
    }
  }
}

void CMonster::OffsetPositions(int dx, int dy) {
  for (ElementInstance* i = instances; i; i = i->next) {
    for (InstancePosition* p = i->positions; p; p = p->next) {
      p->x += dx;
      p->y += dy;
    }
  }
}

void SyncMonsterGraph(CMonster* monster) {
  const MapPoint base = SyncBase();

  // The gift may have changed: take each instance off its gift node.
  bool removedNode = false;
  MapPoint remembered;
  for (ElementInstance* i = monster->instances; i; i = i->next) {
    const InstanceKey match{monster, FieldText(i->name)};
    GraphNode* giftNode = FindNodeWithKey(kNodeObject, match);
    if (!giftNode) continue;
    RemoveLinksWhere([&](const GraphLink& l) {
      return l.owner == nullptr && l.element == monster && SameName(l.name, match.instance) &&
             ((l.from && l.from->kind == kNodeObject) || (l.to && l.to->kind == kNodeObject));
    });
    remembered = {giftNode->x, giftNode->y};
    if (RemoveKeysFromNode(giftNode, match)) removedNode = true;
  }

  // The key may have changed.
  for (ElementInstance* i = monster->instances; i; i = i->next) {
    GraphNode* node = FindNodeWithKey(kNodeMonster, InstanceKey{monster, FieldText(i->name)});
    if (node && FieldText(node->name) != FieldText(monster->key)) node->SetName(FieldText(monster->key));
  }

  if (FieldEmpty(monster->gift)) return;
  for (ElementInstance* i = monster->instances; i; i = i->next) {
    const InstanceKey match{monster, FieldText(i->name)};
    GraphNode* node = FindNodeWithKey(kNodeMonster, match);
    if (!node) continue;  // an instance without its node gets no gift node either
    GraphNode* giftNode = ReuseOrCreateObjectNode(FieldText(monster->gift), base.x, base.y);
    NewGraphKey(giftNode->keys)->Set(FieldText(i->name), nullptr, monster);
    if (removedNode) {
      giftNode->x = remembered.x;
      giftNode->y = remembered.y;
    }
    AddGraphLink(node, giftNode, nullptr, FieldText(i->name), monster);
  }
}
